// The revision form's benefit evolution: the paid and the revised benefit
// month by month from the DIB to "Cálculo Até", their difference with the
// thirteenth salary, its correction, interest and totals.
#include <algorithm>
#include <unordered_map>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/revision_core.h"
#include "revision/revision_internal.h"
#include "revision/shared_helpers.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"
#include "tables/table_status.h"

namespace revisao {

using namespace detail;

namespace {

const TCellMatrix& Grid(const TCellMatrix* grid) {
    static const TCellMatrix empty(1, 1);
    return grid ? *grid : empty;
}

// First row of each month of a table.
std::unordered_map<std::string, int> MonthRows(const TCellMatrix& table) {
    std::unordered_map<std::string, int> rows;
    rows.reserve(table.RowCount() * 2);
    for (int r = 1; r < table.RowCount(); ++r)
        rows.emplace(table.Cell(0, r), r);
    return rows;
}

int Find(const std::unordered_map<std::string, int>& rows, const std::string& month) {
    auto it = rows.find(month);
    return it == rows.end() ? -1 : it->second;
}

// The factor series chosen, after the tables both evolutions read were
// found sound: a table refused at start-up, or edited since into values it
// would refuse, stops the evolution with its name.
const TCellMatrix& Series(const TRevisionTables& tables, const std::string& name,
                          const char*& file) {
    const TCellMatrix* series[3] = {tables.SRVI, tables.SRVII, tables.SRVIII};
    const char* files[3] = {tabelas::SeriesIFile, tabelas::SeriesIIFile, tabelas::SeriesIIIFile};
    for (int k = 0; k < 3; ++k)
        if (name == AtualizacaoNames[k]) {
            tabelas::RequireTables({{files[k], nullptr},
                                    {tabelas::CrMensalRev3File, tables.GridCorrRev},
                                    {tabelas::SalminFile, tables.GridSalmin},
                                    {tabelas::InssFile, tables.gridiinss}});
            file = files[k];
            return Grid(series[k]);
        }
    throw calc::ECalcError("Tabela de atualização desconhecida: '" + name + "'");
}

// What both evolutions share: the month rows, the correction column, the
// interest and the totals.
class TEvolution {
public:
    TEvolution(const TEvolucaoInput& in, const TRevisionTables& tables, TCellMatrix& grid)
        : in_(in), grid_(grid), series_(Series(tables, in.Catualizacao, seriesFile_)),
          seriesRows_(MonthRows(series_)) {}

    // Empties the grid and writes the months from the DIB to "Cálculo Até".
    void Layout() {
        LayoutEvolucao(grid_);
        for (int r = 1; r < grid_.RowCount(); ++r)
            for (int c = 0; c < 13; ++c)
                grid_.SetCell(c, r, "");
        const TDateTime dibMonth = MonthOfDate(in_.EDIB, "DIB");
        calcDate_ = DateOf(in_.Calculoate, "Cálculo Até");
        int y, m, d;
        simulacao::EntreDatas(calcDate_, dibMonth, y, m, d);
        grid_.SetRowCount(12 * y + m + 2);
        for (int k = 0; k + 1 < grid_.RowCount(); ++k)
            grid_.SetCell(0, k + 1, FormatDateTime("mm/yyyy", IncMonth(dibMonth, k)));

        rate_ = HasDigit(in_.Ejurosmes) ? FieldValue(in_.Ejurosmes, "Valor dos juros ao mês") : 0;
        juros_ = HasDigit(in_.Contagemjuros);
        if (juros_) {
            jurosStart_ = MonthOfDate(in_.Contagemjuros, "Juros de mora a partir de");
            simulacao::EntreDatas(calcDate_, jurosStart_, y, m, d);
            J_ = rate_ * (12 * y + m);
        }
        prescricao_ = HasDigit(in_.Prescricao);
        if (prescricao_) prescStart_ = MonthOfDate(in_.Prescricao, "Prescrição");
        totals_[0] = totals_[1] = totals_[2] = 0;
    }

    int Rows() const { return grid_.RowCount(); }

    TDateTime MonthStart(int r) const {
        TDateTime d;
        TryMonthStart(grid_.Cell(0, r), d);
        return d;
    }

    long double Val(int col, int r) const { return CellValue(grid_, col, r, EvolucaoHeaders[col]); }
    void Put(int col, int r, long double value) { grid_.SetCell(col, r, Fmt(value)); }

    // Column 7 with the thirteenth salary: `parts` is the divisor of the
    // month's share (12, or 24 when it is paid in two halves).
    void Difference(int r, int parts) {
        Put(7, r, Val(5, r) - Val(2, r));
        if (parts > 0) {
            long double diff = Val(7, r);
            Put(7, r, diff + diff * counter_ / parts);
        }
    }

    // Columns 8 to 12 and the row's share of the totals.
    void Tail(int r) {
        const std::string& month = grid_.Cell(0, r);
        const int s = Find(seriesRows_, month);
        if (s < 0) MissingMonth(month, seriesFile_);
        const std::string& factor = series_.Cell(1, s);
        grid_.SetCell(8, r, factor.empty() ? "0" : factor);
        Put(9, r, Val(7, r) * Val(8, r));

        const TDateTime d = MonthStart(r);
        if (juros_ && d > jurosStart_) J_ -= rate_;
        Put(10, r, J_);
        Put(11, r, Val(9, r) * Val(10, r) / 100);
        Put(12, r, Val(9, r) + Val(11, r));

        // The months before the prescription are not due. The totals add
        // the cents shown, so they match their columns and Total is
        // Corrigido plus Juros.
        if (!prescricao_ || d >= prescStart_) AddTotals(grid_, r, totals_);
    }

    void AppendTotals() { revisao::detail::AppendTotals(grid_, totals_); }

    int counter_ = 0;

private:
    const TEvolucaoInput& in_;
    TCellMatrix& grid_;
    const char* seriesFile_ = nullptr; // set while series_ is found
    const TCellMatrix& series_;
    std::unordered_map<std::string, int> seriesRows_;
    TDateTime calcDate_ = 0, jurosStart_ = 0, prescStart_ = 0;
    long double rate_ = 0, J_ = 0;
    bool juros_ = false, prescricao_ = false;
    long double totals_[3] = {0, 0, 0};
};

bool StartsWith12(const std::string& month) {
    return month.size() >= 2 && month[0] == '1' && month[1] == '2';
}

} // namespace

namespace detail {

void AddTotals(const TCellMatrix& grid, int r, long double totals[3]) {
    totals[0] += CellValue(grid, 9, r, EvolucaoHeaders[9]);
    totals[1] += CellValue(grid, 11, r, EvolucaoHeaders[11]);
    totals[2] += CellValue(grid, 12, r, EvolucaoHeaders[12]);
}

void AppendTotals(TCellMatrix& grid, const long double totals[3]) {
    const int r = grid.RowCount();
    grid.SetRowCount(r + 1);
    for (int c = 0; c < 13; ++c)
        grid.SetCell(c, r, "");
    grid.SetCell(0, r, TotalLabel);
    grid.SetCell(9, r, "<b>" + Fmt(totals[0]) + "</b>");
    grid.SetCell(11, r, "<b>" + Fmt(totals[1]) + "</b>");
    grid.SetCell(12, r, "<b>" + Fmt(totals[2]) + "</b>");
}

} // namespace detail

void evolucao(const TEvolucaoInput& in, const TRevisionTables& tables, TCellMatrix& SEvolucao) {
    TEvolution e(in, tables, SEvolucao);
    e.Layout();
    const TCellMatrix& corr = Grid(tables.GridCorrRev);
    const auto corrRows = MonthRows(corr);
    auto index = [&](int r) -> std::string {
        const int j = Find(corrRows, SEvolucao.Cell(0, r));
        if (j < 0) MissingMonth(SEvolucao.Cell(0, r), tabelas::CrMensalRev3File);
        return FormatFloat("#,##0.00000000",
                           CellValue(corr, 1, j, "1", tabelas::CrMensalRev3File));
    };

    for (int r = 1; r < e.Rows(); ++r) {
        const std::string month = SEvolucao.Cell(0, r);
        if (r == 1) {
            SEvolucao.SetCell(1, 1, index(1));
            std::string inc = "1";
            if (HasDigit(in.ENRMIMR))
                inc = in.ENIncrementoRMI.empty() ? "1,00000000" : in.ENIncrementoRMI;
            SEvolucao.SetCell(4, 1, inc);
            e.Put(2, 1, FieldValue(in.ERMIMR, "RMI/MR"));
            e.Put(5, 1, FieldValue(in.ENRMIMR, "Nova RMI/MR"));
        } else {
            SEvolucao.SetCell(1, r, index(r));
            SEvolucao.SetCell(4, r, index(r));
            const long double mr = e.Val(2, r - 1);
            e.Put(2, r, mr + mr * e.Val(1, r) / 100);
            const long double previous = e.Val(4, r - 1);
            if (previous == 0)
                throw calc::ECalcError("Divisão por zero na linha " + month +
                                       ", coluna Evolução Autor: o índice de " +
                                       SEvolucao.Cell(0, r - 1) + " é zero");
            e.Put(5, r, e.Val(5, r - 1) / previous * e.Val(4, r));
        }
        // Nothing here limits the amounts, so there is no clamp to mark.
        SEvolucao.SetCell(3, r, "");
        SEvolucao.SetCell(6, r, "");

        ++e.counter_;
        const bool december = in.Chek13 && StartsWith12(month);
        e.Difference(r, december ? 12 : 0);
        if (december) e.counter_ = 0;
        e.Tail(r);
    }
    e.AppendTotals();
}

void evolucao2(const TEvolucaoInput& in, const TRevisionTables& tables, TCellMatrix& SEvolucao1,
               std::string& marcalimite) {
    TEvolution e(in, tables, SEvolucao1);
    e.Layout();
    const TCellMatrix& corr = Grid(tables.GridCorrRev);
    const auto corrRows = MonthRows(corr);
    TValueLimiter limiter(Grid(tables.GridSalmin), Grid(tables.gridiinss), tables.Cusetabsc,
                          marcalimite);
    const long double inc =
        HasDigit(in.EIncrementoRMI) ? FieldValue(in.EIncrementoRMI, "Incremento (RMI)") : 1;
    const long double ninc =
        HasDigit(in.ENIncrementoRMI) ? FieldValue(in.ENIncrementoRMI, "Incremento (Nova RMI)") : 1;
    // The increment comes with the first readjustment after the DIB.
    bool readjusted = false;

    for (int r = 1; r < e.Rows(); ++r) {
        const std::string month = SEvolucao1.Cell(0, r);
        if (r == 1) {
            e.Put(1, 1, FieldValue(in.ERMIMR, "RMI/MR"));
            e.Put(4, 1, FieldValue(in.ENRMIMR, "Nova RMI/MR"));
        } else {
            const int j = Find(corrRows, month);
            if (j < 0) MissingMonth(month, tabelas::CrMensalRev3File);
            const long double factor = CellValue(corr, 1, j, "1", tabelas::CrMensalRev3File);
            if (factor != 1) readjusted = true;
            e.Put(1, r, e.Val(1, r - 1) * factor);
            e.Put(4, r, e.Val(4, r - 1) * factor);
        }
        const TDateTime d = e.MonthStart(r);
        SEvolucao1.SetCell(
            2, r, limiter.devolvevalorAtMonth(Fmt(e.Val(1, r) * (readjusted ? inc : 1)), d));
        SEvolucao1.SetCell(3, r, marcalimite);
        SEvolucao1.SetCell(
            5, r, limiter.devolvevalorAtMonth(Fmt(e.Val(4, r) * (readjusted ? ninc : 1)), d));
        SEvolucao1.SetCell(6, r, marcalimite);

        // The thirteenth salary: paid in December; in 2006 half of it came in
        // August and half in December. One counter runs through the year and
        // restarts after each December.
        ++e.counter_;
        int parts = 0;
        if (in.Chek13) {
            if (month == "12/2006" || month == "08/2006")
                parts = 24;
            else if (StartsWith12(month))
                parts = 12;
        }
        e.Difference(r, parts);
        if (parts > 0 && StartsWith12(month)) e.counter_ = 0;
        e.Tail(r);
    }
    e.AppendTotals();
}

void evolucao3(const TCellMatrix& SEvolucao1, const std::string& Prescricao,
               TCellMatrix& SEvolucao) {
    const bool hasP = HasDigit(Prescricao);
    const TDateTime pStart = hasP ? MonthOfDate(Prescricao, "Prescrição") : 0;
    LayoutEvolucao(SEvolucao);
    for (int r = 1; r < SEvolucao.RowCount(); ++r)
        for (int c = 0; c < 13; ++c)
            SEvolucao.SetCell(c, r, "");
    SEvolucao.SetRowCount(1);

    long double totals[3] = {0, 0, 0};
    for (int r = 1; r < SEvolucao1.RowCount(); ++r) {
        TDateTime d;
        // Only month rows: the totals row of SEvolucao1 is rebuilt below.
        if (!TryMonthStart(SEvolucao1.Cell(0, r), d)) continue;
        if (hasP && d < pStart) continue;
        const int to = SEvolucao.RowCount();
        SEvolucao.SetRowCount(to + 1);
        for (int c = 0; c < 13; ++c)
            SEvolucao.SetCell(c, to, SEvolucao1.Cell(c, r));
        AddTotals(SEvolucao1, r, totals);
    }
    AppendTotals(SEvolucao, totals);
}

} // namespace revisao
