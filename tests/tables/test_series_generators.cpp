#include <gtest/gtest.h>

#include "platform/runtime/cell_matrix.h"
#include "revision/grid_text.h"
#include "tables/series_generators.h"

TEST(SeriesGenerators, FormatFloatxCutsFiveDecimalsAfterTwelveDigits) {
    EXPECT_EQ(tabelas::formatfloatx(1.234569L), "1,23456");
    EXPECT_EQ(tabelas::formatfloatx(1.0000099L), "1,00000");
    EXPECT_EQ(tabelas::formatfloatx(-1.234569L), "-1,23456");
    EXPECT_EQ(tabelas::formatfloatx(0.0011L), "0,00110");
    EXPECT_EQ(tabelas::formatfloatx(-0.000001L), "0,00000");
    EXPECT_EQ(tabelas::formatfloatx(123456.7L), "123456,70000");
    // 1.02 x 1.01 is held just below 1.0302: the cut must not lose the 2.
    long double f = 1.0L + 2.0L / 100;
    f = f + f * 1.0L / 100;
    EXPECT_EQ(tabelas::formatfloatx(f), "1,03020");
    EXPECT_EQ(tabelas::RoundNum(2.5L, 0), 2.0L);
    EXPECT_EQ(tabelas::RoundNum(1.2345L, 40), tabelas::RoundNum(1.2345L, 15));
}

// Factors of months before the Real cut at five decimals kept one or two
// digits (0,00002 for 0,0000294...): below 0,1 five significant digits stay.
TEST(SeriesGenerators, SmallFactorsKeepFiveSignificantDigits) {
    EXPECT_EQ(tabelas::formatfactor(0.0000294129876L), "0,000029412");
    EXPECT_EQ(tabelas::formatfactor(0.0999999L), "0,099999");
    EXPECT_EQ(tabelas::formatfactor(0.1L), "0,10000");
    EXPECT_EQ(tabelas::formatfactor(2.4388999L), "2,43889");
    EXPECT_EQ(tabelas::formatfactor(0), "0,00000");
    EXPECT_EQ(tabelas::formatfactor(1.5e-30L), "0,000000000000000000000000000001");
    TCellMatrix source = GridOf({"Mês|Índice", "06/1993|3400", "04/1995|0,1"});
    TCellMatrix target(1, 1);
    tabelas::geraindice(target, source);
    EXPECT_EQ(target.Cell(1, 1), "0,000029411");
}

TEST(SeriesGenerators, RatioKindCarriesEachMonthToTheLast) {
    TCellMatrix source =
        GridOf({"Mês|Índice|x|y", "01/2000|100|a|", "02/2000|100,00099|b|", "03/2000|200|c|1000"});
    TCellMatrix target(1, 1);
    target.SetCell(0, 0, "old");
    tabelas::geraindice(target, source);
    EXPECT_EQ(target.RowCount(), 4);
    EXPECT_EQ(target.ColCount(), 4);
    EXPECT_EQ(ColumnOf(target, 1), (Texts{"2,00000", "1,99998", "1,0000"}));
    EXPECT_EQ(ColumnOf(target, 0), (Texts{"01/2000", "02/2000", "03/2000"}));
    EXPECT_EQ(ColumnOf(target, 2), (Texts{"a", "b", "c"}));
    EXPECT_EQ(target.Cell(3, 3), "1000");
    EXPECT_EQ(target.Cell(0, 0), "Mês");
}

TEST(SeriesGenerators, RatioKindReportsTheCellItCannotRead) {
    TCellMatrix source = GridOf({"Mês|Índice", "01/2000|", "02/2000|100", "03/2000|0"});
    TCellMatrix target(1, 1);
    EXPECT_EQ(MessageOf<ECellValueError>([&] { tabelas::geraindice(target, source); }),
              "Valor inválido na linha 01/2000, coluna 1: ''");
    // Rows written before the failure stay.
    EXPECT_EQ(target.Cell(1, 2), "0,00000");
    TCellMatrix zero = GridOf({"Mês|Índice", "01/2000|0", "02/2000|100"});
    EXPECT_EQ(MessageOf<ECellValueError>([&] { tabelas::geraindice(target, zero); }),
              "Valor inválido na linha 01/2000, coluna 1: '0'");
}

TEST(SeriesGenerators, CumulativePercentage) {
    TCellMatrix source = GridOf({"Mês|%", "09/1998|1", "10/1998|2", "11/1998|57"});
    TCellMatrix target(1, 1);
    tabelas::geraindice98(target, source);
    EXPECT_EQ(ColumnOf(target, 1), (Texts{"1,03020", "1,02000", "1,0000"}));
}

TEST(SeriesGenerators, CumulativeWithCurrencyDivisor) {
    TCellMatrix source = GridOf(
        {"Mês|%|x|Divisor", "01/1986|5||", "02/1986|10||", "03/1986|20||1000", "04/1986|1||"});
    TCellMatrix target(1, 1);
    tabelas::geraindiceII("03/1986", target, source);
    // Started at 03/1986: 02/1986 carries (1 + 10 %) / 1000; 04/1986 is past
    // the key and gets no factor.
    EXPECT_EQ(ColumnOf(target, 1), (Texts{"0,0011550", "0,0011000", "1,0000000", ""}));

    tabelas::geraindiceIII(target, source);
    EXPECT_EQ(ColumnOf(target, 1), (Texts{"0,0013860", "0,0013200", "1,2000000", "1,0000000"}));

    // A table with one data row (or none) still gives a factor grid.
    TCellMatrix single = GridOf({"Mês|%", "01/1986|5"});
    tabelas::geraindiceII("01/1986", target, single);
    EXPECT_EQ(ColumnOf(target, 1), (Texts{"1,0000000"}));
    TCellMatrix empty = GridOf({"Mês|%"});
    tabelas::geraindiceII("", target, empty);
    EXPECT_EQ(target.Cell(1, 0), "1,0000000");

    TCellMatrix zero = GridOf({"Mês|%|x|Divisor", "01/1986|5||", "02/1986|10||0"});
    EXPECT_EQ(MessageOf<ECellValueError>([&] { tabelas::geraindiceII("02/1986", target, zero); }),
              "Valor inválido na linha 02/1986, coluna 3: '0'");
}

TEST(SeriesGenerators, TruncatingReloadEndsTheSeriesAtTheDate) {
    auto source = [] {
        return GridOf({"Mês|Índice", "01/2000|100", "02/2000|110", "03/2000|121", "04/2000|133,1",
                       "05/2000|146,41"});
    };
    TCellMatrix inpc = source(), indicegrid(1, 1);
    tabelas::geraindicex("15/03/2000", inpc, indicegrid);
    EXPECT_EQ(inpc.RowCount(), 4); // two rows removed
    EXPECT_EQ(ColumnOf(indicegrid, 1), (Texts{"1,21000", "1,10000", "1,0000"}));

    inpc = source();
    tabelas::geraindicex("01/05/2000", inpc, indicegrid);
    EXPECT_EQ(inpc.RowCount(), 6);
    tabelas::geraindicex("31/12/2030", inpc, indicegrid);
    EXPECT_EQ(inpc.RowCount(), 6);

    // No row matches: it stops with two data rows, and never loops on a
    // table too short to shorten.
    inpc = source();
    tabelas::TruncateSeries(inpc, "01/01/1990");
    EXPECT_EQ(inpc.RowCount(), 3);
    tabelas::TruncateSeries(inpc, "01/01/1990");
    EXPECT_EQ(inpc.RowCount(), 2);
    TCellMatrix one = GridOf({"Mês|Índice", "05/2000|1"});
    tabelas::TruncateSeries(one, "01/01/1990");
    EXPECT_EQ(one.RowCount(), 2);

    EXPECT_THROW(tabelas::TruncateSeries(inpc, "xx"), EConvertError);
}

TEST(SeriesGenerators, RevisionSeriesAreRegeneratedFromPercentages) {
    TCellMatrix srev =
        GridOf({"Mês|%|x|Divisor", "01/2000|10||", "02/2000|0||", "03/2000|5||", "04/2000|0||"});
    TCellMatrix srv(1, 1);
    tabelas::geraindiceINSSI("10/03/2000", srev, srv);
    EXPECT_EQ(srev.RowCount(), 4);
    EXPECT_EQ(ColumnOf(srv, 1), (Texts{"1,1000000", "1,0000000", "1,0000000"}));
    TCellMatrix none = GridOf({"Mês|%|x|Divisor", "|||"}), srv2(1, 1);
    tabelas::geraindiceINSSII("10/03/2000", none, srv2);
    EXPECT_EQ(srv2.Cell(1, 1), "1,0000000");
}
