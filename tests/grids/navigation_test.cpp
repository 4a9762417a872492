// The next-cell walk in every direction with every end action, and the sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "grids/grid_navigation.h"

namespace {

struct FakeHost : INextCellHost {
    int cols = 4, rows = 4, fixedCols = 1, fixedRows = 1;
    std::vector<std::string> log;
    int HostColCount() const override { return cols; }
    int HostRowCount() const override { return rows; }
    int HostFixedCols() const override { return fixedCols; }
    int HostFixedRows() const override { return fixedRows; }
    void HostInsertRow(int r) override {
        ++rows;
        log.push_back("row@" + std::to_string(r));
    }
    void HostInsertColumn(int c) override {
        ++cols;
        log.push_back("col@" + std::to_string(c));
    }
    void HostExitGrid() override { log.push_back("exit"); }
};

TGridCoord Step(FakeHost& h, T_nextcell d, T_lastcell a, int c, int r) {
    NextCellStep(h, d, a, c, r);
    return TGridCoord{c, r};
}

}  // namespace

TEST(NextCell, StepsAndWrapsInEachDirection) {
    FakeHost h;  // non-fixed cells are columns 1..3, rows 1..3
    EXPECT_EQ(Step(h, nc_rightdown, lc_stop, 1, 1), (TGridCoord{2, 1}));
    EXPECT_EQ(Step(h, nc_rightdown, lc_stop, 3, 1), (TGridCoord{1, 2}));
    EXPECT_EQ(Step(h, nc_downright, lc_stop, 2, 3), (TGridCoord{3, 1}));
    EXPECT_EQ(Step(h, nc_leftdown, lc_stop, 1, 1), (TGridCoord{3, 2}));
    EXPECT_EQ(Step(h, nc_downleft, lc_stop, 3, 3), (TGridCoord{2, 1}));
    EXPECT_EQ(Step(h, nc_leftup, lc_stop, 1, 3), (TGridCoord{3, 2}));
    EXPECT_EQ(Step(h, nc_upleft, lc_stop, 3, 1), (TGridCoord{2, 3}));
    EXPECT_EQ(Step(h, nc_rightup, lc_stop, 3, 3), (TGridCoord{1, 2}));
    EXPECT_EQ(Step(h, nc_upright, lc_stop, 1, 1), (TGridCoord{2, 3}));
}

TEST(NextCell, EndActionsPastTheLastCell) {
    struct Case {
        T_nextcell d;
        int c, r;               // the last cell in that direction
        TGridCoord first;       // lc_first
        TGridCoord added;       // lc_newcolrow
        std::string insertion;  // what lc_newcolrow inserted
    };
    const Case cases[] = {
        {nc_rightdown, 3, 3, {1, 1}, {1, 4}, "row@4"}, {nc_downright, 3, 3, {1, 1}, {4, 1}, "col@4"},
        {nc_leftdown, 1, 3, {3, 1}, {3, 4}, "row@4"},  {nc_downleft, 1, 3, {3, 1}, {1, 1}, "col@1"},
        {nc_leftup, 1, 1, {3, 3}, {3, 1}, "row@1"},    {nc_upleft, 1, 1, {3, 3}, {1, 3}, "col@1"},
        {nc_rightup, 3, 1, {1, 3}, {1, 1}, "row@1"},   {nc_upright, 3, 1, {1, 3}, {4, 3}, "col@4"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.d));
        FakeHost h;
        EXPECT_EQ(Step(h, k.d, lc_stop, k.c, k.r), (TGridCoord{-1, -1}));
        EXPECT_EQ(Step(h, k.d, lc_first, k.c, k.r), k.first);
        EXPECT_TRUE(h.log.empty());
        EXPECT_EQ(Step(h, k.d, lc_exit, k.c, k.r), (TGridCoord{-1, -1}));
        ASSERT_EQ(h.log.size(), 1u);
        EXPECT_EQ(h.log[0], "exit");
        h.log.clear();
        EXPECT_EQ(Step(h, k.d, lc_newcolrow, k.c, k.r), k.added);
        ASSERT_EQ(h.log.size(), 1u);
        EXPECT_EQ(h.log[0], k.insertion);
    }
}

TEST(NextCell, ShiftTabReversesTheDirection) {
    FakeHost h;
    EXPECT_EQ(ReverseDirection(nc_rightdown), nc_leftup);
    EXPECT_EQ(ReverseDirection(nc_downleft), nc_upright);
    for (int d = nc_rightdown; d <= nc_upright; ++d)
        EXPECT_EQ(ReverseDirection(ReverseDirection(static_cast<T_nextcell>(d))), d);
    // From the first cell backwards with lc_first lands on the last cell.
    TGridCoord c = FindNextCell(h, ReverseDirection(nc_rightdown), lc_first, 1, 1,
                                [](int, int) { return true; }, false);
    EXPECT_EQ(c, (TGridCoord{3, 3}));
}

TEST(NextCell, FindSkipsRefusedCellsAndNeverHangs) {
    FakeHost h;
    auto onlyCol3 = [](int c, int) { return c == 3; };
    EXPECT_EQ(FindNextCell(h, nc_rightdown, lc_first, 3, 1, onlyCol3, true), (TGridCoord{3, 2}));
    // Nothing acceptable: the walk comes back to the start.
    EXPECT_EQ(FindNextCell(h, nc_rightdown, lc_first, 2, 2, [](int, int) { return false; }, true),
              (TGridCoord{2, 2}));
    // A start outside the walk (a grid without non-fixed cells) stops after a bound.
    FakeHost empty;
    empty.cols = 1;
    empty.rows = 1;
    EXPECT_EQ(FindNextCell(empty, nc_rightdown, lc_first, 0, 0, [](int, int) { return false; }, true),
              (TGridCoord{-1, -1}));
    // A new row is taken whether acceptable or not.
    EXPECT_EQ(FindNextCell(h, nc_rightdown, lc_newcolrow, 3, 3, [](int, int) { return false; }, true),
              (TGridCoord{1, 4}));
}

TEST(Sort, OrdersAscendingAndDescendingWithDuplicates) {
    for (bool descending : {false, true}) {
        std::vector<int> v = {5, 3, 9, 3, 1, 7, 7, 2, 8, 0, 6, 4};
        auto cmp = [&](int a, int b) -> t_relation { return v[a] < v[b] ? rel_less : v[a] > v[b] ? rel_greater : rel_equal; };
        SortRange(0, static_cast<int>(v.size()) - 1, descending ? rel_greater : rel_less, cmp,
                  [&](int a, int b) { std::swap(v[a], v[b]); });
        std::vector<int> sorted = v;
        if (descending) std::sort(sorted.begin(), sorted.end(), std::greater<int>());
        else std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(v, sorted);
    }
    // Sorted input of some size keeps a shallow stack and ends sorted.
    std::vector<int> big(3000);
    for (int i = 0; i < 3000; ++i) big[i] = i;
    SortRange(0, 2999, rel_less, [&](int a, int b) -> t_relation { return big[a] < big[b] ? rel_less : big[a] > big[b] ? rel_greater : rel_equal; },
              [&](int a, int b) { std::swap(big[a], big[b]); });
    EXPECT_TRUE(std::is_sorted(big.begin(), big.end()));
}
