#include <gtest/gtest.h>

#include "arrears_case.h"

TEST(ArrearsInterest, PrescriptionWithoutInterest) {
    ArrearsCase c;
    c.Period("01/04/2000", "31/07/2000", "15/06/2000");
    c.in.ComboBox1 = calc::SeriesNames[0];
    for (const char* m : {"04/2000", "05/2000", "06/2000", "07/2000"})
        ArrearsCase::Set(c.indicegrid, m, 1, "1,5");
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 7, 1, 4), (Texts{"100,00", "100,00", "100,00", "100,00"}));
    // The month of the prescription date counts.
    EXPECT_EQ(ColumnOf(c.planilha, 9, 1, 4), (Texts{"0,00", "0,00", "150,00", "150,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 10, 1, 4), (Texts{"0,00", "0,00", "0,00", "0,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 11, 1, 4), (Texts{"0,00", "0,00", "150,00", "150,00"}));
    EXPECT_EQ(c.planilha.RowCount(), 6);
    EXPECT_EQ(c.Sums(0), "");
    EXPECT_EQ(c.Sums(9), "300,00");
    EXPECT_EQ(c.Sums(11), "300,00");
}

namespace {

// Interest of 1 % a month over 24 months from 01/11/2000; differences of
// 100,00 a month from 10/2000, none prescribed.
ArrearsCase InterestCase(bool thirteenth) {
    ArrearsCase c;
    c.Period("01/10/2000", "28/02/2001", "01/01/2000");
    c.in.Cjuros = true;
    c.in.Ejuros = 1;
    c.in.Dateinicialjuros = "01/11/2000";
    c.in.Datefinaljuros = "01/11/2002";
    c.in.Check13 = thirteenth;
    c.Run();
    return c;
}

} // namespace

TEST(ArrearsInterest, CountsDownMonthByMonth) {
    ArrearsCase c = InterestCase(false);
    // The month before the interest start gets the full count; January counts
    // one month less than December.
    EXPECT_EQ(ColumnOf(c.planilha, 10, 1, 5), (Texts{"24,00", "24,00", "23,00", "22,00", "21,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 11, 1, 5),
              (Texts{"124,00", "124,00", "123,00", "122,00", "121,00"}));
    EXPECT_EQ(c.Sums(9), "500,00");
    EXPECT_EQ(c.Sums(11), "614,00");
}

TEST(ArrearsInterest, ThirteenthSalaryGetsDecembersInterest) {
    ArrearsCase c = InterestCase(true);
    EXPECT_EQ(ColumnOf(c.planilha, 0, 3, 5), (Texts{"12/2000", "12/2000", "01/2001"}));
    EXPECT_EQ(ColumnOf(c.planilha, 10, 1, 6),
              (Texts{"24,00", "24,00", "23,00", "23,00", "22,00", "21,00"}));
    EXPECT_EQ(c.At("12/2000", 7, 2), "25,00"); // (50,00 - 25,00): 3/12 of December
    EXPECT_EQ(c.At("12/2000", 11, 2), "30,75");
    EXPECT_EQ(c.Sums(11), "644,75");
}

TEST(ArrearsInterest, MonthOnThePrescriptionDateIsSummed) {
    ArrearsCase c;
    c.Period("01/05/2000", "31/07/2000", "01/06/2000");
    c.in.Cjuros = true;
    c.in.Ejuros = 1;
    c.in.Dateinicialjuros = "01/05/2000";
    c.in.Datefinaljuros = "01/08/2000";
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 10, 1, 3), (Texts{"3,00", "2,00", "1,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 11, 1, 3), (Texts{"0,00", "102,00", "101,00"}));
    EXPECT_EQ(c.Sums(11), "203,00");
    EXPECT_EQ(c.Sums(9), "200,00");
}

TEST(ArrearsInterest, AHandEditedCellThatIsNoAmountStopsTheTotals) {
    ArrearsCase c = InterestCase(false);
    calc::TArrearsEngine engine(c.planilha, c.Tables(), c.in, c.marcalimite);
    const int r = c.Row("12/2000");
    // Read by their digits these would count as 52905, 40, 105 and nothing
    // while the report prints them as typed.
    for (const char* typed : {"529.05", "4x0", "1e5", "abc", "1.0.0", "12,"}) {
        c.planilha.SetCell(5, r, typed);
        EXPECT_THROW(engine.fimx(), ECellValueError) << typed;
    }
    c.planilha.SetCell(5, r, " 1.025,50 ");
    engine.fimx();
    EXPECT_EQ(c.At("12/2000", 7),
              FormatFloat("#,##0.00", calc::RemovePonto(c.At("12/2000", 2)) - 1025.50L));
}

// With interest a prescription date in mid-month cut its month away, while
// without interest the same month was owed.
TEST(ArrearsInterest, ThePrescriptionMonthIsOwedWithOrWithoutInterest) {
    for (bool juros : {false, true}) {
        ArrearsCase c;
        c.Period("01/04/2000", "31/07/2000", "15/06/2000");
        c.in.Cjuros = juros;
        c.in.Ejuros = 1;
        c.in.Dateinicialjuros = "01/07/2000";
        c.in.Datefinaljuros = "01/08/2000";
        c.Run();
        EXPECT_EQ(ColumnOf(c.planilha, 9, 1, 4), (Texts{"0,00", "0,00", "100,00", "100,00"}))
            << juros;
        const Texts totals = juros ? Texts{"0,00", "0,00", "101,00", "101,00"}
                                   : Texts{"0,00", "0,00", "100,00", "100,00"};
        EXPECT_EQ(ColumnOf(c.planilha, 11, 1, 4), totals);
        EXPECT_EQ(c.Sums(11), juros ? "202,00" : "200,00");
    }
}
