#pragma once
// The arithmetic of table layout, kept apart from the document model so that
// it can be checked by hand: spreading a spanned cell's width over its
// columns, the three ways of choosing column widths, sharing a table's
// height among its rows, and the column bookkeeping of COL/COLGROUP.
#include <string>
#include <vector>

namespace TableMath {

// a * b / c with a 64-bit product, truncated toward zero; 0 when c is 0.
int MulDivTrunc(int a, int b, int c);

// Raises columns first..first+span-1 of `cols` towards `value`: the
// shortfall is spread in proportion to the columns' current values, each
// share truncated (all of it to the first column when they add up to 0).
void SpreadSpan(std::vector<int>& cols, int first, int span, int value);

// Widths of a table without percentages (available width `avail`): mins when
// they do not fit, maxes when those fit and the table is not stretched, else
// min + a share of the room between min and max.
std::vector<int> FindTableWidths(const std::vector<int>& mins, const std::vector<int>& maxs, int avail,
                                 bool stretch);

// Widths of a table with a declared width `tw`; percents in tenths (1000 = 100 %).
std::vector<int> WidthsForFixedTable(const std::vector<int>& mins, const std::vector<int>& maxs,
                                     const std::vector<int>& percents, int tw);

// Widths of a table without a declared width, given width `w`. The result
// may add up to less than `w` when percentages make the table narrower.
std::vector<int> WidthsForFreeTable(const std::vector<int>& mins, const std::vector<int>& maxs,
                                    const std::vector<int>& percents, int w, bool wantsWidth);

// Final row heights from the rows' minimum and percent heights and the
// flag of rows with a declared height, for an available height `a`.
std::vector<int> DistributeRowHeights(const std::vector<int>& mins, const std::vector<int>& percents,
                                      const std::vector<bool>& flagged, int a);

// When heights[first..first+span-1] add up to less than `value`, each gets
// the difference divided by the span, the remainder going to the last one.
void SpreadRowSpan(std::vector<int>& heights, int first, int span, int value);

int Sum(const std::vector<int>& v);

}  // namespace TableMath

// Which columns of a table with COL/COLGROUP specifications each row has
// already used: one string per row, "o" for a free column, "x" for a taken one.
class TCellManager {
public:
    explicit TCellManager(int numCols) : numCols_(numCols) {}
    // The first free column of `row` (0-based), -1 when none; adds the row
    // when it is the next one.
    int FindColNum(int row);
    // Takes the columns of a cell starting at the first free column of `row`
    // for `rowSpan` rows; colSpan is shortened to the columns it could take.
    void AddCell(int row, int& colSpan, int rowSpan);
    int Count() const { return static_cast<int>(rows_.size()); }
    const std::string& Strings(int i) const { return rows_[static_cast<size_t>(i)]; }

private:
    void EnsureRows(int count);
    int numCols_;
    std::vector<std::string> rows_;
};
