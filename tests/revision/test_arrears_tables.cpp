#include <gtest/gtest.h>

#include "grid_text.h"
#include "revision/arrears_engine.h"
#include "tables/table_names.h"

namespace {

// "grid file: mm/yyyy-mm/yyyy ..." for each table a calculation reads.
Texts Needs(const std::vector<calc::TTableNeed>& needs) {
    Texts out;
    for (const calc::TTableNeed& n : needs) {
        std::string line = std::string(n.grid) + " " + n.file + ":";
        for (const tabelas::TMonthSpan& s : n.months)
            line += " " + tabelas::MonthText(s.first) + "-" + tabelas::MonthText(s.last);
        out.push_back(line);
    }
    return out;
}

const std::string kInpc = tabelas::SeriesIIIFile;

} // namespace

// A case was refused for a series table it does not read.
TEST(ArrearsTables, TheSpreadsheetNeedsOnlyTheSeriesItReads) {
    calc::TPlanilhaInput in;
    in.Dataini = "15/03/1995";
    in.Datafim = "30/11/2026";
    in.ComboBox1 = calc::SeriesNames[0];
    const Texts base = {"GridCorrRev crmensalrev3.tab: 03/1995-11/2026",
                        "tabatusal atuaprev.tab:", "GridSalmin salmin.tab: 04/1995-11/2026",
                        "gridiinss inss.tab: 04/1995-11/2026"};
    Texts expected = base;
    expected.push_back("INPCGrid " + kInpc + ": 03/1995-11/2026");
    EXPECT_EQ(Needs(calc::PlanilhaTables(in, tabelas::CrMensalRev3File, false)), expected);
    in.ComboBox1 = calc::SeriesNames[1];
    expected.back() = "SRevisaoI " + std::string(tabelas::SeriesIFile) + ": 03/1995-11/2026";
    EXPECT_EQ(Needs(calc::PlanilhaTables(in, tabelas::CrMensalRev3File, false)), expected);
    // The carry without ceiling corrects by the INPC series.
    in.Csteto = true;
    expected.back() = "INPCGrid " + kInpc + ": 03/1995-11/2026";
    EXPECT_EQ(Needs(calc::PlanilhaTables(in, tabelas::CrMensalRev3File, false)), expected);
}

TEST(ArrearsTables, TheNewRmiNeedsWhatItsRoadReads) {
    calc::TNovaRmiInput in;
    in.DateEdit1 = "01/03/1992";
    in.DateEdit2 = "28/02/1995";
    in.DateEdit2Date = EncodeDate(1995, 2, 28);
    in.DateEdit3 = "15/03/1995";
    EXPECT_EQ(Needs(calc::NovaRmiTables(in, false)),
              (Texts{"INPCGrid " + kInpc + ": 03/1995-03/1995 03/1992-02/1995"}));
    // Limited salaries read the minimum wage and the ceiling of their months,
    // and the RMI those of "Atualizar até" (the ceiling of the month after a
    // mid-month date).
    in.Csmt = true;
    in.Catual24 = true;
    EXPECT_EQ(Needs(calc::NovaRmiTables(in, false)),
              (Texts{"INPCGrid " + kInpc + ": 03/1995-03/1995 03/1992-02/1994",
                     "GridSalmin salmin.tab: 03/1992-02/1995 03/1995-03/1995",
                     "gridiinss inss.tab: 03/1992-02/1995 04/1995-04/1995"}));
    in.Csmt = false;
    in.caplicar = true;
    EXPECT_EQ(Needs(calc::NovaRmiTables(in, false)),
              (Texts{"INPCGrid " + kInpc + ": 03/1995-03/1995 03/1992-02/1994",
                     "GridSalmin salmin.tab: 02/1995-02/1995",
                     "gridiinss inss.tab: 03/1995-03/1995 03/1995-03/1995"}));
    // A salary to correct after the month its factors carry it to has none.
    in.caplicar = false;
    in.Catual24 = false;
    in.DateEdit3 = "15/11/1994";
    EXPECT_EQ(MessageOf<calc::ECalcError>([&] { calc::NovaRmiTables(in, false); }),
              "Os salários de 12/1994 a 02/1995 são posteriores a 11/1994, o mês de "
              "\"Atualizar até\": os salários são corrigidos até esse mês, e nenhum índice "
              "corrige um salário posterior. Revise as datas.");
}

// The first month's minimum wage of the correction table, and those art. 58
// of the ADCT takes for factors, may be empty cells: they stopped the
// calculation after the one refusal had been met.
TEST(ArrearsTables, TheSpreadsheetNeedsTheMinimumWagesItReads) {
    calc::TPlanilhaInput in;
    in.Dataini = "15/03/1991";
    in.Datafim = "30/06/1992";
    in.ComboBox1 = calc::SeriesNames[0];
    auto filled = [&] {
        const calc::TTableNeed corr = calc::PlanilhaTables(in, tabelas::CrMensalRev3File, false)[0];
        Texts spans = {std::to_string(corr.column)};
        for (const tabelas::TMonthSpan& s : corr.filled)
            spans.push_back(tabelas::MonthText(s.first) + "-" + tabelas::MonthText(s.last));
        return spans;
    };
    EXPECT_EQ(filled(), (Texts{"2", "03/1991-03/1991"}));
    in.Cadct1 = true;
    in.Cadct2inss = true;
    EXPECT_EQ(filled(), (Texts{"2", "03/1991-03/1991", "03/1991-12/1991", "03/1991-12/1991"}));
}
