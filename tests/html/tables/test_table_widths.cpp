#include <gtest/gtest.h>

#include "html/layout/table_widths.h"

using namespace TableMath;
using V = std::vector<int>;

TEST(TableMath, SpannedCellWidensItsColumnsInProportion) {
    V cols{30, 10, 50};
    SpreadSpan(cols, 0, 2, 100);
    EXPECT_EQ(cols, (V{75, 25, 50}));
    // Already wide enough: untouched.
    SpreadSpan(cols, 0, 2, 90);
    EXPECT_EQ(cols, (V{75, 25, 50}));
    // Columns at zero give everything to the first.
    V zero{0, 0, 0};
    SpreadSpan(zero, 1, 2, 40);
    EXPECT_EQ(zero, (V{0, 40, 0}));
    // Each share is truncated and what they leave over is nobody's; a span
    // past the end is cut.
    V odd{1, 1, 1};
    SpreadSpan(odd, 0, 3, 10);
    EXPECT_EQ(odd, (V{3, 3, 3}));
    V tail{5, 5};
    SpreadSpan(tail, 1, 4, 12);
    EXPECT_EQ(tail, (V{5, 12}));
}

TEST(TableMath, WidthsWithoutPercentages) {
    V mins{20, 40}, maxs{100, 60};
    EXPECT_EQ(FindTableWidths(mins, maxs, 50, false), mins);       // too narrow
    EXPECT_EQ(FindTableWidths(mins, maxs, 500, false), maxs);      // roomy
    // Room 100 between totals 60 and 160; 50 available over the minimum.
    V w = FindTableWidths(mins, maxs, 110, false);
    EXPECT_EQ(w, (V{60, 50}));
    // Stretched: grows past the maxes and fills the width exactly.
    V s = FindTableWidths(mins, maxs, 201, true);
    EXPECT_EQ(Sum(s), 201);
    EXPECT_GE(s[0], 100);
    // No column has room: growth in proportion to the minimums.
    V p = FindTableWidths(V{10, 30}, V{10, 30}, 81, true);
    EXPECT_EQ(Sum(p), 81);
    EXPECT_EQ(p[1], 60);
}

TEST(TableMath, FreeTableSharesTheGivenWidth) {
    // No percentages: the widths add up to the width given.
    V w = WidthsForFreeTable(V{10, 20, 30}, V{40, 20, 90}, V{0, 0, 0}, 100, false);
    EXPECT_EQ(Sum(w), 100);
    EXPECT_EQ(w[1], 20);
    // Every max equal to its min: an even share each.
    EXPECT_EQ(WidthsForFreeTable(V{10, 10}, V{10, 10}, V{0, 0}, 31, false), (V{16, 15}));
    // Narrower than the minimums: the minimums stay.
    EXPECT_EQ(WidthsForFreeTable(V{60, 60}, V{90, 90}, V{0, 0}, 100, false), (V{60, 60}));
}

TEST(TableMath, FreeTableWithPercentages) {
    // 50 % column with max 100 needs 200; the other max 50 needs 100: N = 200.
    V w = WidthsForFreeTable(V{10, 10}, V{100, 50}, V{500, 0}, 400, false);
    EXPECT_EQ(w, (V{100, 100}));
    // Given less than N: percent columns become W * pct, the rest spreads.
    V n = WidthsForFreeTable(V{10, 10}, V{100, 50}, V{500, 0}, 150, false);
    EXPECT_EQ(n[0], 75);
    EXPECT_EQ(Sum(n), 150);
    // A percentage that would squeeze its column below its minimum is dropped.
    V d = WidthsForFreeTable(V{80, 10}, V{100, 50}, V{100, 0}, 120, false);
    EXPECT_GE(d[0], 80);
    EXPECT_EQ(Sum(d), 120);
    // Percentages adding past 100 % with other columns: never below minimums.
    V o = WidthsForFreeTable(V{10, 10, 10}, V{50, 50, 50}, V{700, 700, 0}, 300, true);
    EXPECT_EQ(Sum(o), 300);
    for (int x : o) EXPECT_GE(x, 10);
}

TEST(TableMath, FixedTableMeetsItsDeclaredWidth) {
    // Percent columns take their share; a free column its minimum, grown by
    // the rest when it has room.
    V w = WidthsForFixedTable(V{10, 10, 10}, V{20, 20, 200}, V{250, 250, 0}, 400);
    EXPECT_EQ(Sum(w), 400);
    EXPECT_EQ(w[0], 100);
    EXPECT_EQ(w[1], 100);
    EXPECT_EQ(w[2], 200);
    // Too much asked: percent columns give up width but not below their minimum.
    V c = WidthsForFixedTable(V{90, 10, 50}, V{90, 10, 50}, V{500, 500, 0}, 160);
    EXPECT_EQ(Sum(c), 160);
    EXPECT_EQ(c[0], 90);
    EXPECT_GE(c[2], 50);
    // Only percent columns: they share the rest by their percentages.
    V p = WidthsForFixedTable(V{0, 0}, V{0, 0}, V{250, 250}, 300);
    EXPECT_EQ(p, (V{150, 150}));
}

TEST(TableMath, RowHeights) {
    V mins{20, 30, 10};
    V pcts{0, 0, 0};
    std::vector<bool> none(3, false);
    EXPECT_EQ(DistributeRowHeights(mins, pcts, none, 40), mins);  // less room than content
    // Spare height goes to rows without a declared height, the last taking the remainder.
    EXPECT_EQ(DistributeRowHeights(mins, pcts, std::vector<bool>{true, false, false}, 81), (V{20, 40, 21}));
    // All rows declared: spread in proportion.
    EXPECT_EQ(DistributeRowHeights(V{10, 10}, V{0, 0}, std::vector<bool>{true, true}, 60), (V{30, 30}));
    // Percent heights beyond the room: minimum plus a share of the spare height.
    V r = DistributeRowHeights(V{10, 10}, V{50, 10}, std::vector<bool>{true, false}, 40);
    EXPECT_EQ(r, (V{30, 10}));
    V span{10, 10, 10};
    SpreadRowSpan(span, 0, 2, 31);
    EXPECT_EQ(span, (V{15, 16, 10}));
}

TEST(TableMath, CellManagerTracksTakenColumns) {
    TCellManager m(3);
    // Row 0: a cell spanning two rows in the middle column.
    EXPECT_EQ(m.FindColNum(0), 0);
    int span = 1;
    m.AddCell(0, span, 1);
    span = 1;
    m.AddCell(0, span, 2);
    EXPECT_EQ(m.Strings(1), "oxo");
    // Row 1: COLSPAN 3 from column 0 can only take one column.
    EXPECT_EQ(m.FindColNum(1), 0);
    span = 3;
    m.AddCell(1, span, 1);
    EXPECT_EQ(span, 1);
    EXPECT_EQ(m.FindColNum(1), 2);
    span = 1;
    m.AddCell(1, span, 1);
    EXPECT_EQ(m.FindColNum(1), -1);
    EXPECT_EQ(m.FindColNum(7), -1);  // not the next row
}
