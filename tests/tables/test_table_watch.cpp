#include <gtest/gtest.h>

#include "platform/runtime/cell_matrix.h"
#include "tables/table_names.h"
#include "tables/table_status.h"
#include "tables/table_watch.h"
#include "tables/test_tables_form_dir.h"

using namespace tabelas;

namespace {

std::string Refusal(const std::string& dir, const std::vector<TTableUse>& uses) {
    try {
        PrepareTables(dir, uses);
    } catch (const ETableError& e) {
        return e.Message;
    }
    return "";
}

} // namespace

TEST(TableWatch, MissingMonthsAreToldAsRanges) {
    std::vector<int> present;
    auto add = [&present](int y0, int m0, int y1, int m1) {
        for (int m = MonthNumber(y0, m0); m <= MonthNumber(y1, m1); ++m)
            present.push_back(m);
    };
    add(1989, 7, 1990, 12);
    add(1993, 1, 1993, 2);
    add(1994, 7, 2026, 1);
    int count = 0;
    EXPECT_EQ(MissingMonthsText({{MonthNumber(1992, 3), MonthNumber(1995, 2)}}, present, &count),
              "03/1992 a 12/1992 e 03/1993 a 06/1994");
    EXPECT_EQ(count, 26);
    // Spans that overlap are told once; a lone month alone.
    EXPECT_EQ(MissingMonthsText({{MonthNumber(2025, 12), MonthNumber(2026, 11)},
                                 {MonthNumber(2026, 2), MonthNumber(2026, 2)},
                                 {MonthNumber(1991, 1), MonthNumber(1991, 1)}},
                                present, &count),
              "01/1991 e 02/2026 a 11/2026");
    EXPECT_EQ(count, 11);
    EXPECT_EQ(MissingMonthsText({{MonthNumber(2000, 1), MonthNumber(2001, 1)}}, present, &count),
              "");
    EXPECT_EQ(count, 0);
    // A table with every other month gives a short list, not a page.
    std::vector<int> odd;
    for (int m = MonthNumber(2000, 1); m < MonthNumber(2004, 1); m += 2)
        odd.push_back(m);
    EXPECT_EQ(MissingMonthsText({{MonthNumber(2000, 1), MonthNumber(2003, 12)}}, odd, &count),
              "02/2000, 04/2000, 06/2000, 08/2000, 10/2000, 12/2000, 02/2001, 04/2001, 06/2001, "
              "08/2001, 10/2001, 12/2001 e outros 12 meses");
    EXPECT_EQ(count, 24);
}

// A refusal named one table and one month at a time, and some tables were
// read only at start-up: each month added cost a calculation and a restart.
TEST(TableWatch, OneRefusalListsEveryTableAndAChangedFileIsReadAgain) {
    TTableDir dir;
    ClearTableProblems();
    dir.Write(InssFile, {"Data|Maior|Menor", "01/2026|8157,41|8157,41"});
    dir.Write(SalminFile, {"Data|Valor", "01/01/2026|1518,00", "01/02/2026|x"});
    TCellMatrix inss(3, 2), salmin(2, 2), corr(4, 2);
    const int jan = MonthNumber(2026, 1), nov = MonthNumber(2026, 11);
    const std::vector<TTableUse> uses = {
        {InssFile, &inss, TFollow::Changes, {{jan, nov}}, 0, {}},
        {SalminFile, &salmin, TFollow::Changes, {{jan, nov}}, 0, {}},
        {CrMensalRev3File, &corr, TFollow::File, {{jan, nov}}, 0, {}},
        {InssFile, &inss, TFollow::Changes, {{jan, jan}}, 0, {}},
    };
    EXPECT_EQ(Refusal(dir.path, uses),
              "O cálculo não foi feito por causa destas tabelas da pasta de dados \"" + dir.path +
                  "\":\n"
                  "- inss.tab não tem os meses 02/2026 a 11/2026: acrescente esses meses ao "
                  "arquivo (uma linha por mês, em ordem; cada uma com Data, Maior e Menor "
                  "separados por TAB, como a de 01/2026: 01/2026; 8157,41; 8157,41), ou termine "
                  "o cálculo em 01/2026, o último mês que as tabelas têm.\n"
                  "- salmin.tab está danificada (linha 3: 'x' na coluna 2 não é um número): "
                  "corrija o arquivo.\n"
                  "- crmensalrev3.tab não foi encontrada na pasta de dados: coloque o arquivo "
                  "nessa pasta.\n"
                  "Feito isso, calcule de novo. Não é preciso reiniciar o programa: as tabelas "
                  "alteradas são lidas outra vez a cada cálculo.");

    // The files mended, the next calculation reads them: no restart.
    std::vector<std::string> inssRows = {"Data|Maior|Menor"}, salminRows = {"Data|Valor"},
                             corrRows = {"Data|Índice|SM|Moeda"};
    for (int m = jan; m <= nov; ++m) {
        inssRows.push_back(MonthText(m) + "|8157,41|8157,41");
        salminRows.push_back("01/" + MonthText(m) + "|1518,00");
        corrRows.push_back(MonthText(m) + "|1|1518,00|R$");
    }
    dir.Write(InssFile, inssRows);
    dir.Write(SalminFile, salminRows);
    dir.Write(CrMensalRev3File, corrRows);
    EXPECT_EQ(Refusal(dir.path, uses), "");
    EXPECT_EQ(inss.Cell(0, 11), "11/2026");
    EXPECT_EQ(TableProblem(SalminFile), "");

    // A file shortened again is the table: the rows taken out are gone.
    dir.Write(InssFile, {"Data|Maior|Menor", "01/2026|8157,41|8157,41"});
    EXPECT_NE(Refusal(dir.path, uses).find("- inss.tab não tem os meses 02/2026 a 11/2026"),
              std::string::npos);
    EXPECT_EQ(inss.RowCount(), 2);
    ClearTableProblems();
}

// Cells changed since the last check are checked again: a table edited in
// the tables form, or one the calculation shortened.
TEST(TableWatch, ChangedCellsAreCheckedOrMadeAgainFromTheFile) {
    TTableDir dir;
    ClearTableProblems();
    dir.Write(SalminFile, {"Data|Valor", "01/01/2026|1518,00", "01/02/2026|1518,00"});
    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2026|100", "02/2026|101", "03/2026|102"});
    TCellMatrix salmin(2, 2), series(2, 2);
    const std::vector<TTableUse> uses = {
        {SalminFile, &salmin, TFollow::Changes, {{MonthNumber(2026, 1), MonthNumber(2026, 2)}}, 0, {}},
        {SeriesIIIFile, &series, TFollow::File, {{MonthNumber(2026, 1), MonthNumber(2026, 3)}}, 0, {}}};
    EXPECT_EQ(Refusal(dir.path, uses), "");

    salmin.SetCell(1, 2, "0");
    EXPECT_NE(Refusal(dir.path, uses)
                  .find("- salmin.tab tem um valor que não pode ser usado (linha 3: '0' na coluna "
                        "2 não pode ser zero nem negativo): corrija esse valor."),
              std::string::npos);
    salmin.SetCell(1, 2, "1518,00");
    // A table that follows its file is made what the file holds before it
    // is read: an edit or a cut gives way to the file.
    PrepareTable(dir.path, SeriesIIIFile, series, TFollow::File);
    EXPECT_EQ(series.Cell(1, 3), "102");
    series.SetRowCount(2);
    series.SetCell(1, 1, "99");
    EXPECT_EQ(Refusal(dir.path, uses), "");
    PrepareTable(dir.path, SeriesIIIFile, series, TFollow::File);
    EXPECT_EQ(series.RowCount(), 4);
    EXPECT_EQ(series.Cell(1, 1), "100");
    ClearTableProblems();
}

// The Decreto 83.080/79 road reads the smaller ceiling, a column that may be
// empty: the calculation stopped on it after the one refusal had been met.
TEST(TableWatch, AnEmptyCellTheCalculationReadsIsToldWithTheMissingMonths) {
    TTableDir dir;
    ClearTableProblems();
    dir.Write(InssFile, {"Data|Maior valor-teto|Menor valor-teto", "05/1989|936,00|",
                         "06/1989|936,00|"});
    TCellMatrix inss(3, 2);
    const int june = MonthNumber(1989, 6);
    const TTableUse use{InssFile, &inss, TFollow::Changes, {{MonthNumber(1989, 4), june}},
                        2, {{june, june}}};
    EXPECT_NE(Refusal(dir.path, {use}).find(
                  "- inss.tab não tem o mês 04/1989, e não tem o valor da coluna 3 (Menor "
                  "valor-teto) no mês 06/1989: acrescente esse mês ao arquivo (uma linha, no "
                  "seu lugar entre os outros meses; com Data e Maior valor-teto separados por "
                  "TAB, como a de 05/1989: 05/1989; 936,00), e preencha esse valor.\n"),
              std::string::npos);
    ClearTableProblems();
}
