// The arrears calculation from the first month to the last: the longest case
// the tables allow (05/1977 to 12/2026), thirteenth salary and interest on,
// every table full.
#include <benchmark/benchmark.h>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_engine.h"
#include "tables/series_generators.h"

namespace {

struct FullTables {
    TCellMatrix GridCorrRev{4, 1}, Gridcrmensal{2, 1}, tabatusal{2, 1}, GridSalmin{2, 1},
        gridiinss{3, 1}, INPCGrid{4, 1}, indicegrid{4, 1}, SRevisaoI{4, 1}, SRVI{4, 1},
        SRevisaoII{4, 1}, SRVII{4, 1}, SRevisaoIII{4, 1}, SRVIII{4, 1};

    static void Add(TCellMatrix& grid, std::initializer_list<std::string> cells) {
        int row = grid.RowCount();
        grid.SetRowCount(row + 1);
        int c = 0;
        for (const std::string& cell : cells)
            grid.SetCell(c++, row, cell);
    }

    FullTables() {
        // Quarterly readjustments before 1995 and yearly ones after, currency
        // cuts as the real series has them; the minimum wage stays well below
        // the benefits and the ceiling well above them.
        long double index = 100, wage = 1000, ceiling = 20000;
        for (int y = 1977; y <= 2026; ++y)
            for (int m = 1; m <= 12; ++m) {
                TDateTime d = EncodeDate(y, m, 1);
                std::string month = FormatDateTime("mm/yyyy", d);
                bool early = y < 1995, readjust = early ? m % 3 == 0 : m == 5;
                std::string factor = readjust ? (early ? "1,5" : "1,0834") : "1";
                bool cut = month == "03/1986" || month == "01/1989" || month == "08/1993";
                std::string divisor = cut ? "1000" : (month == "07/1994" ? "2750" : "");
                if (readjust) {
                    wage *= early ? 1.5L : 1.0834L;
                    ceiling *= early ? 1.5L : 1.0834L;
                }
                if (cut) {
                    wage /= 1000;
                    ceiling /= 1000;
                }
                if (month == "03/1994") {
                    wage /= 661.0052L;
                    ceiling /= 661.0052L;
                }
                Add(GridCorrRev, {month, factor, FormatFloat("#,##0.00", wage), "Moeda"});
                Add(Gridcrmensal, {month, factor});
                Add(tabatusal, {month, "4,51"});
                Add(GridSalmin, {"01/" + month, FormatFloat("#,##0.00", wage)});
                Add(gridiinss, {month, FormatFloat("#,##0.00", ceiling),
                                FormatFloat("#,##0.00", ceiling / 2)});
                index *= 1.0061L;
                std::string number = FormatFloat("0.000000", index);
                Add(INPCGrid, {month, number, "", divisor});
                Add(SRevisaoI, {month, "0,61", "", divisor});
                Add(SRevisaoII, {month, "0,58", "", divisor});
                Add(SRevisaoIII, {month, number, "", divisor});
            }
        tabelas::geraindicex("31/12/2026", INPCGrid, indicegrid);
        tabelas::geraindiceINSSI("31/12/2026", SRevisaoI, SRVI);
        tabelas::geraindiceINSSII("31/12/2026", SRevisaoII, SRVII);
        tabelas::geraindiceINSSIII("31/12/2026", SRevisaoIII, SRVIII);
    }

    calc::TTableGrids Grids() const {
        calc::TTableGrids t;
        t.GridCorrRev = &GridCorrRev;
        t.Gridcrmensal = &Gridcrmensal;
        t.tabatusal = &tabatusal;
        t.GridSalmin = &GridSalmin;
        t.gridiinss = &gridiinss;
        t.indicegrid = &indicegrid;
        t.SRVI = &SRVI;
        t.SRVII = &SRVII;
        t.SRVIII = &SRVIII;
        return t;
    }
};

calc::TPlanilhaInput LongestCase() {
    calc::TPlanilhaInput in;
    in.Dataini = "01/05/1977";
    in.Datafim = "31/12/2026";
    in.DatainiDate = StrToDate(in.Dataini);
    in.DatePrescricao = "01/01/2015";
    in.DatePrescricaoDate = StrToDate(in.DatePrescricao);
    in.Dateinicialjuros = "01/06/2020";
    in.Datefinaljuros = "01/12/2026";
    in.PropDate = EncodeDate(1996, 5, 1);
    in.Vinss = 15000;
    in.Vautor = 12000;
    in.Ejuros = 1;
    in.Check13 = true;
    in.Cjuros = true;
    in.Cadct1 = true;
    in.Cadct1inss = true;
    in.Dteto = true;
    in.ComboBox1 = calc::SeriesNames[3];
    return in;
}

void BM_ArrearsLongestCase(benchmark::State& state) {
    FullTables tables;
    calc::TPlanilhaInput in = LongestCase();
    TCellMatrix planilha(14, 2), Sdem(5, 2);
    calc::LayoutPlanilha(planilha);
    std::string marcalimite;
    size_t bytes = 0;
    for (auto _ : state) {
        calc::TArrearsEngine engine(planilha, tables.Grids(), in, marcalimite);
        engine.Calcular();
        calc::TReportInput report;
        report.Cfont = "8";
        report.Cnomefont = "Arial";
        report.Dataini = in.Dataini;
        report.Datafim = in.Datafim;
        report.DatainiDate = in.DatainiDate;
        report.Vinss = in.Vinss;
        report.Vautor = in.Vautor;
        report.ComboBox1 = in.ComboBox1;
        report.Sdem = &Sdem;
        report.planilha = &planilha;
        std::vector<std::string> lines = calc::imprixLines(report);
        bytes = 0;
        for (const std::string& l : lines)
            bytes += l.size() + 2;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["rows"] = planilha.RowCount();
    state.counters["report_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ArrearsLongestCase)->Unit(benchmark::kMillisecond);

// The regeneration of the four factor series before each calculation.
void BM_SeriesRegeneration(benchmark::State& state) {
    FullTables tables;
    for (auto _ : state) {
        tabelas::geraindicex("31/12/2026", tables.INPCGrid, tables.indicegrid);
        tabelas::geraindiceINSSI("31/12/2026", tables.SRevisaoI, tables.SRVI);
        tabelas::geraindiceINSSII("31/12/2026", tables.SRevisaoII, tables.SRVII);
        tabelas::geraindiceINSSIII("31/12/2026", tables.SRevisaoIII, tables.SRVIII);
    }
}
BENCHMARK(BM_SeriesRegeneration)->Unit(benchmark::kMillisecond);

} // namespace
