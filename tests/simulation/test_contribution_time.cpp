// The contribution-time arithmetic worked out by hand: both ends of a period
// counted, 30-day months and 360-day years, the toll, special time
// converted, and the periods put in order with their overlap removed.
#include "contribution_env.h"

#include "platform/runtime/string_list.h"

namespace {

using soma::TTempo;

// The forms exist (some cases go through TForm2's own methods).
class ContributionArithmetic : public ContributionTest {};

TDateTime D(int day, int month, int year) {
    return EncodeDate(year, month, day);
}

TEST_F(ContributionArithmetic, EntreDatasCountsBothEndsIn30DayMonths) {
    struct Case {
        TDateTime a, b;
        TTempo expected;
    } cases[] = {
        {D(31, 12, 2000), D(1, 1, 2000), {1, 0, 0}}, // 30 days a month, 12 months a year
        {D(14, 2, 2000), D(15, 1, 2000), {0, 1, 0}},  {D(15, 3, 1995), D(1, 3, 1995), {0, 0, 15}},
        {D(9, 5, 1990), D(10, 5, 1980), {10, 0, 0}},  // 29 days + 1 carry into a year
        {D(10, 2, 2001), D(31, 1, 2001), {0, 0, 11}}, // the 31st counts as the 30th
        {D(15, 3, 2000), D(31, 1, 2000), {0, 1, 16}}, // 1 + February (30) + 15
        {D(1, 1, 2000), D(1, 1, 2000), {0, 0, 0}},    // no later end: nothing
        {D(1, 1, 1999), D(1, 1, 2000), {0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(soma::EntreDatas(c.a, c.b), c.expected)
            << DateToStr(c.b) << " a " << DateToStr(c.a);

    int y = -1, m = -1, d = -1;
    Form2->EntreDatas(y, m, d, D(14, 2, 2000), D(15, 1, 2000));
    EXPECT_EQ(std::vector<int>({y, m, d}), std::vector<int>({0, 1, 0}));
}

// Starts on the 29th-31st and on 29/02, counted by hand in 30-day months: a
// month passed whole counts 30 days (February too), a start on the 31st
// counts as the 30th, and a period that ends inside a month counts its days.
TEST_F(ContributionArithmetic, EntreDatasFromMonthEndsCountsNoDayNotWorked) {
    struct Case {
        TDateTime b, a;
        TTempo expected;
    } cases[] = {
        {D(31, 1, 2001), D(31, 3, 2001), {0, 2, 1}},  // 31/01, then February and March whole
        {D(31, 1, 2001), D(30, 3, 2001), {0, 2, 0}},  // to the day before 31/03
        {D(31, 1, 2001), D(28, 2, 2001), {0, 0, 29}}, // 31/01 and 28 days: February not passed
        {D(31, 1, 2001), D(1, 3, 2001), {0, 1, 2}},   // 31/01, February (30), 01/03
        {D(30, 1, 2001), D(28, 2, 2001), {0, 0, 29}}, // 30/01 (the 31st not counted) and 28 days
        {D(30, 1, 2001), D(31, 1, 2001), {0, 0, 2}},
        {D(29, 1, 2001), D(28, 2, 2001), {0, 1, 0}},  // 29/01, 30/01 and 28 days
        {D(29, 1, 2001), D(1, 3, 2001), {0, 1, 3}},   // 29/01, 30/01, February (30), 01/03
        {D(31, 3, 2001), D(30, 4, 2001), {0, 1, 0}},  // into a 30-day month
        {D(31, 3, 2001), D(1, 5, 2001), {0, 1, 2}},
        {D(29, 1, 2000), D(29, 2, 2000), {0, 1, 1}},  // to the day before 29/02, then 29/02
        {D(29, 2, 2000), D(28, 2, 2001), {1, 0, 0}},  // 29/02/2000 to 28/02/2001 is a year
        {D(29, 2, 2000), D(1, 3, 2001), {1, 0, 3}},   // then 29 and 30/02 of 30-day months, 01/03
        {D(29, 2, 2000), D(28, 2, 2004), {4, 0, 0}},
        {D(29, 2, 2000), D(29, 2, 2004), {4, 0, 1}},
        {D(31, 12, 1999), D(30, 12, 2000), {1, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(soma::EntreDatas(c.a, c.b), c.expected)
            << DateToStr(c.b) << " a " << DateToStr(c.a);
}

// The count as first written: 12-month then 1-month steps, each from the
// date the step before reached. Its results stand for starts up to the 28th,
// where no step is clamped to a month's end.
TTempo SteppedCount(TDateTime A, TDateTime B) {
    TTempo t;
    if (A <= B) return t;
    for (; IncMonth(B, 12) <= A; B = IncMonth(B, 12)) ++t.Anos;
    for (; IncMonth(B, 1) <= A; B = IncMonth(B, 1)) ++t.Meses;
    int y, m, a, b;
    DecodeDate(A, y, m, a);
    DecodeDate(B, y, m, b);
    t.Dias = (a >= b ? a - b : a - (std::min(b, 30) - 30)) + 1;
    if (t.Dias > 29) t.Dias = 0, ++t.Meses;
    if (t.Meses > 11) ++t.Anos, t.Meses = 0;
    return t;
}

int64_t Total(const TTempo& t) {
    return soma::EmDias(t.Anos, t.Meses, t.Dias);
}

TEST_F(ContributionArithmetic, EntreDatasNeverGainsTime) {
    const TDateTime first = D(1, 1, 1999);
    for (TDateTime b = first; b < first + 800; ++b) {
        int y, m, day;
        DecodeDate(b, y, m, day);
        int64_t previous = 0;
        for (TDateTime a = b; a < b + 420; ++a) {
            const TTempo t = soma::EntreDatas(a, b);
            if (day <= 28) {
                ASSERT_EQ(t, SteppedCount(a, b)) << DateToStr(b) << " a " << DateToStr(a);
            }
            // A later end never counts less; a later start never counts more.
            ASSERT_GE(Total(t), previous) << DateToStr(b) << " a " << DateToStr(a);
            ASSERT_LE(Total(soma::EntreDatas(a, b + 1)), Total(t)) << DateToStr(b) << " a " << DateToStr(a);
            previous = Total(t);
        }
    }
}

TEST_F(ContributionArithmetic, DayTotalsSplitWithCarries) {
    EXPECT_EQ(soma::Divide(29), (TTempo{0, 0, 29}));
    EXPECT_EQ(soma::Divide(359), (TTempo{0, 11, 29}));
    EXPECT_EQ(soma::Divide(360), (TTempo{1, 0, 0}));
    EXPECT_EQ(soma::Divide(-360), (TTempo{0, 0, -360})); // a negative total stays in the days

    // 40 % of the 10 years missing to 30.
    EXPECT_EQ(soma::Divide(soma::DiasPedagio(30, 20, 0, 0)), (TTempo{4, 0, 0}));
    // 12600 - 7360 = 5240 days missing, 2096 of toll.
    EXPECT_EQ(soma::Divide(soma::DiasPedagio(35, 20, 5, 10)), (TTempo{5, 9, 26}));
    // One day missing: 0,4 day is cut.
    EXPECT_EQ(soma::DiasPedagio(30, 29, 11, 29), 0);
    EXPECT_EQ(soma::Divide(soma::DiasApoMaisPedagio(30, 4, 11, 29)), (TTempo{34, 11, 29}));
    EXPECT_EQ(soma::Divide(soma::DiasCumprop(10, 5, 20, 3, 7, 25)), (TTempo{6, 9, 25}));
    EXPECT_EQ(soma::DiasApoint(30, 31, 0, 0), -360);
    // Special time: 391 days x 1,2 = 469,2, cut to 469.
    EXPECT_EQ(soma::Divide(soma::DiasFator(1, 1, 1.2L, 1)), (TTempo{1, 3, 19}));
    EXPECT_EQ(soma::Divide(soma::DiasFator(10, 0, 1.4L, 0)), (TTempo{14, 0, 0}));
    EXPECT_THROW(soma::DiasFator(10, 0, 1e30L, 0), soma::ESomaError);

    // The form keeps the split in its fields.
    Form2->pedagio(30, 20, 0, 0);
    EXPECT_EQ(std::vector<int>({Form2->SplitYears, Form2->SplitMonths, Form2->SplitDays}),
              std::vector<int>({4, 0, 0}));
    Form2->retornacerto(389);
    EXPECT_EQ(std::vector<int>({Form2->ExactYears, Form2->ExactMonths, Form2->ExactDays}),
              std::vector<int>({1, 0, 29}));

    EXPECT_EQ(soma::DifDias(D(2, 1, 2000), D(1, 1, 2000)), 1);
    EXPECT_EQ(soma::DifDias(D(1, 1, 2000), D(11, 1, 2000)), 10);
    EXPECT_EQ(soma::formatano(1) + soma::formatmes(0) + soma::formatdia(2), " ano mês dias");
    EXPECT_EQ(soma::formatano(2) + soma::formatmes(12), " anos meses");
}

class ContributionPeriods : public ContributionTest {};

TEST_F(ContributionPeriods, OrganiseSortsFillsFactorsAndRemovesOverlap) {
    TCellMatrix& grid = Form2->IconGrid3->Matrix();
    Periods(grid, {{"C", "01/06/1995", "31/12/1998", ""},
                   {"", "", "", "1,4"}, // no start: removed
                   {"A", "01/01/1990", "31/12/1995", "1,40"},
                   {"D", "01/01/1997", "30/06/1997", ""}, // inside C
                   {"E", "01/01/1999", "31/12/2000", "1"}});
    Form2->organiza();

    // The user's list: in order, factors filled, empty rows at the end.
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_EQ(Row(grid, 1, 5), (Texts{"A", "", "01/01/1990", "31/12/1995", "1,40"}));
    EXPECT_EQ(Row(grid, 2, 5), (Texts{"C", "", "01/06/1995", "31/12/1998", "1"}));
    EXPECT_EQ(Row(grid, 3, 5), (Texts{"D", "", "01/01/1997", "30/06/1997", "1"}));
    EXPECT_EQ(Row(grid, 4, 5), (Texts{"E", "", "01/01/1999", "31/12/2000", "1"}));
    EXPECT_EQ(Row(grid, 5, 5), Texts(5));

    // The organised copy: each period starts after the one before it ends.
    const TCellMatrix& org = Form2->IconGrid1->Matrix();
    ASSERT_EQ(org.RowCount(), 5);
    EXPECT_EQ(org.ColCount(), 6);
    EXPECT_EQ(Row(org, 0, 5), Row(grid, 0, 5));
    EXPECT_EQ(Row(org, 1, 6), (Texts{"A", "", "01/01/1990", "31/12/1995", "1,40", ""}));
    EXPECT_EQ(Row(org, 2, 6),
              (Texts{"C", "", "01/01/1996", "31/12/1998", "1", "Retirada Duplicidade"}));
    // Inside the previous one: collapsed to its end, which carries on.
    EXPECT_EQ(Row(org, 3, 6),
              (Texts{"D", "", "31/12/1998", "31/12/1998", "1", "Retirada Duplicidade"}));
    EXPECT_EQ(Row(org, 4, 6), (Texts{"E", "", "01/01/1999", "31/12/2000", "1", ""}));

    // Separately: ordered, nothing cut.
    Form2->RadioButton6->SetChecked(true);
    Form2->organiza();
    EXPECT_EQ(org.Cell(2, 2), "01/06/1995");
    EXPECT_EQ(org.Cell(5, 2), "");
    EXPECT_EQ(org.Cell(2, 3), "01/01/1997");
}

TEST_F(ContributionPeriods, HandWorkedSumWithSpecialTimeAndToll) {
    TCellMatrix& grid = Form2->IconGrid3->Matrix();
    Periods(grid, {{"A", "01/01/1990", "31/12/1995", ""},
                   {"B", "01/06/1995", "31/12/1998", ""},
                   {"C", "01/01/1999", "31/12/2000", "1,4"}});
    Form2->organiza();
    const TCellMatrix& org = Form2->IconGrid1->Matrix();

    // Each period in days, converted by its factor, then summed.
    int64_t total = 0;
    for (int r = 1; r < org.RowCount(); ++r) {
        const TTempo t = soma::EntreDatas(StrToDate(org.Cell(3, r)), StrToDate(org.Cell(2, r)));
        total += soma::DiasFator(t.Anos, t.Meses, Form2->RemovePonto(org.Cell(4, r)), t.Dias);
    }
    // 6 years + 3 years + 2 years x 1,4 (1008 days).
    Form2->TotalDays = total;
    Form2->cvx1();
    EXPECT_EQ(std::vector<int>({Form2->SplitYears, Form2->SplitMonths, Form2->SplitDays}),
              std::vector<int>({11, 9, 18}));

    // At 16/12/1998: 6 years and 2 years, 11 months, 16 days.
    const TDateTime ec20 = D(16, 12, 1998);
    int64_t before = 0;
    for (int r = 1; r < org.RowCount(); ++r) {
        const TDateTime start = StrToDate(org.Cell(2, r));
        const TDateTime end = std::min(StrToDate(org.Cell(3, r)), ec20);
        const TTempo t = soma::EntreDatas(end, start);
        before += soma::EmDias(t.Anos, t.Meses, t.Dias);
    }
    EXPECT_EQ(soma::Divide(before), (TTempo{8, 11, 16}));
    // 7574 days missing to 30 years; 40 % is 3029,6, cut to 3029.
    Form2->pedagio(30, 8, 11, 16);
    EXPECT_EQ(std::vector<int>({Form2->SplitYears, Form2->SplitMonths, Form2->SplitDays}),
              std::vector<int>({8, 4, 29}));
    Form2->apomaispedagio(30, 8, 4, 29);
    EXPECT_EQ(Form2->SplitYears, 38);
}

TEST_F(ContributionPeriods, BadDatesStopBeforeAnythingChanges) {
    TCellMatrix& grid = Form2->IconGrid3->Matrix();
    Periods(grid, {{"B", "01/01/1995", "", ""}, {"A", "01/01/1990", "31/12/1991", ""}});
    const Texts before = Row(grid, 1, 5);
    // Cutting overlaps needs every end date.
    EXPECT_THROW(Form2->organiza(), EAbort);
    EXPECT_EQ(Messages(), Texts{"A data final do período da linha 1 ('') não é uma data válida."});
    EXPECT_EQ(Row(grid, 1, 5), before);
    EXPECT_EQ(grid.Cell(4, 2), "");

    grid.SetCell(2, 2, "32/13/1990");
    EXPECT_THROW(Form2->sortcol(), EAbort);
    EXPECT_EQ(Messages().back(),
              "A data inicial do período da linha 2 ('32/13/1990') não é uma data válida.");

    // Without another period nothing is cut, and no end is needed.
    grid.SetCell(2, 2, "");
    Form2->organiza();
    EXPECT_EQ(Row(grid, 1, 5), (Texts{"B", "", "01/01/1995", "", "1"}));

    // No period at all: the one data row stays and the pass ends.
    TCellMatrix lone(5, 2);
    TCellMatrix copy(7, 2);
    lone.SetCell(0, 1, "sem datas");
    soma::organiza(lone, copy, true);
    EXPECT_EQ(lone.RowCount(), 2);
    EXPECT_EQ(lone.Cell(0, 1), "sem datas");
}

TEST_F(ContributionPeriods, GridHandlersFormatFactorsAndDates) {
    TStringAlignGrid* g = Form2->IconGrid3;
    g->SetCells(4, 1, "1,4");
    Form2->IconGrid3SetEditText(g, 4, 1, "1,4");
    EXPECT_EQ(g->Cells(4, 1), "1,40");
    g->SetCells(4, 1, "1,1256");
    Form2->IconGrid3SetEditText(g, 4, 1, "");
    EXPECT_EQ(g->Cells(4, 1), "1,126");
    g->SetCells(4, 2, "1,2,3");
    Form2->IconGrid3SetEditText(g, 4, 2, "");
    Form2->IconGrid3SetEditText(g, 0, 2, "");  // another cell of the row: told again
    EXPECT_EQ(g->Cells(4, 2), "1,2,3");
    EXPECT_EQ(Messages(), Texts(2, "Valor inválido na linha 2, coluna Fator: '1,2,3'"));

    bool valid = false;
    const std::pair<const char*, const char*> dates[] = {
        {"01/02/90", "01/02/1990"},
        {"31/04/2000", "30/04/2000"},
        {"  /  /    ", ""}};
    for (const auto& [typed, kept] : dates) {
        g->SetCells(2, 3, typed);
        Form2->IconGrid3ValidateEdit(g, 2, 3, valid);
        EXPECT_TRUE(valid);
        EXPECT_EQ(g->Cells(2, 3), kept) << typed;
    }
    // A field that is no number raises the conversion error; the text stays.
    g->SetCells(2, 3, "1 /2 /2000");
    EXPECT_THROW(Form2->IconGrid3ValidateEdit(g, 2, 3, valid), EConvertError);
    EXPECT_EQ(g->Cells(2, 3), "1 /2 /2000");
    g->SetCells(0, 3, "01/02/90");
    Form2->IconGrid3ValidateEdit(g, 0, 3, valid);
    EXPECT_EQ(g->Cells(0, 3), "01/02/90");

    std::string mask;
    Form2->IconGrid3GetEditMask(g, 3, 1, mask);
    EXPECT_EQ(mask, "!99/99/0000;1");
    mask.clear();
    Form2->IconGrid3GetEditMask(g, 4, 1, mask);
    EXPECT_EQ(mask, "");
}

TEST_F(ContributionPeriods, RowButtonsNeverTouchTheHeader) {
    TStringAlignGrid* g = Form2->IconGrid3;
    g->SetCells(0, 1, "A");
    g->SetCells(0, 2, "B");
    Form2->Show(); // forgets the selected row
    g->FocusCell(0, 2);
    Form2->FormShow(nullptr);
    Form2->SpeedButton4Click(nullptr); // the current row
    EXPECT_EQ(g->Cells(0, 0), "Empresa");
    EXPECT_EQ(g->Cells(0, 2), "");
    EXPECT_EQ(g->Cells(0, 1), "A");

    g->FocusCell(0, 1);
    Form2->SpeedButton7Click(nullptr);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->Cells(0, 2), "");
    Form2->SpeedButton6Click(nullptr);
    EXPECT_EQ(g->Cells(0, 2), "A");
    // The selection follows its row, so the row removed is still A's.
    Form2->SpeedButton5Click(nullptr);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->Cells(0, 1) + g->Cells(0, 2), "");
}

} // namespace
