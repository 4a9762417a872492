#include "grids/grid_navigation.h"

namespace {

void EndAction(INextCellHost& h, T_nextcell d, T_lastcell a, int& col, int& row) {
    col = row = -1;
    switch (a) {
    case lc_stop:
        return;
    case lc_exit:
        h.HostExitGrid();
        return;
    case lc_first: {
        int firstCol = h.HostFixedCols(), firstRow = h.HostFixedRows();
        int lastCol = h.HostColCount() - 1, lastRow = h.HostRowCount() - 1;
        switch (d) {
        case nc_rightdown: case nc_downright: col = firstCol; row = firstRow; break;
        case nc_leftdown: case nc_downleft: col = lastCol; row = firstRow; break;
        case nc_leftup: case nc_upleft: col = lastCol; row = lastRow; break;
        case nc_rightup: case nc_upright: col = firstCol; row = lastRow; break;
        }
        return;
    }
    case lc_newcolrow:
        switch (d) {
        case nc_rightdown:
            h.HostInsertRow(h.HostRowCount());
            col = h.HostFixedCols(); row = h.HostRowCount() - 1;
            break;
        case nc_downright:
            h.HostInsertColumn(h.HostColCount());
            col = h.HostColCount() - 1; row = h.HostFixedRows();
            break;
        case nc_leftdown:
            h.HostInsertRow(h.HostRowCount());
            col = h.HostColCount() - 1; row = h.HostRowCount() - 1;
            break;
        case nc_downleft:
            h.HostInsertColumn(h.HostFixedCols());
            col = h.HostFixedCols(); row = h.HostFixedRows();
            break;
        case nc_leftup:
            h.HostInsertRow(h.HostFixedRows());
            col = h.HostColCount() - 1; row = h.HostFixedRows();
            break;
        case nc_upleft:
            h.HostInsertColumn(h.HostFixedCols());
            col = h.HostFixedCols(); row = h.HostRowCount() - 1;
            break;
        case nc_rightup:
            h.HostInsertRow(h.HostFixedRows());
            col = h.HostFixedCols(); row = h.HostFixedRows();
            break;
        case nc_upright:
            h.HostInsertColumn(h.HostColCount());
            col = h.HostColCount() - 1; row = h.HostRowCount() - 1;
            break;
        }
        return;
    }
}

}  // namespace

void NextCellStep(INextCellHost& h, T_nextcell d, T_lastcell a, int& col, int& row) {
    const int colCount = h.HostColCount(), rowCount = h.HostRowCount();
    const int fixedCols = h.HostFixedCols(), fixedRows = h.HostFixedRows();
    bool pastEnd = false;
    switch (d) {
    case nc_rightdown:
        if (++col >= colCount) { col = fixedCols; ++row; }
        pastEnd = row >= rowCount;
        break;
    case nc_downright:
        if (++row >= rowCount) { row = fixedRows; ++col; }
        pastEnd = col >= colCount;
        break;
    case nc_leftdown:
        if (--col < fixedCols) { col = colCount - 1; ++row; }
        pastEnd = row >= rowCount;
        break;
    case nc_downleft:
        if (++row >= rowCount) { row = fixedRows; --col; }
        pastEnd = col < fixedCols;
        break;
    case nc_leftup:
        if (--col < fixedCols) { col = colCount - 1; --row; }
        pastEnd = row < fixedRows;
        break;
    case nc_upleft:
        if (--row < fixedRows) { row = rowCount - 1; --col; }
        pastEnd = col < fixedCols;
        break;
    case nc_rightup:
        if (++col >= colCount) { col = fixedCols; --row; }
        pastEnd = row < fixedRows;
        break;
    case nc_upright:
        if (--row < fixedRows) { row = rowCount - 1; ++col; }
        pastEnd = col >= colCount;
        break;
    }
    if (pastEnd) EndAction(h, d, a, col, row);
}

T_nextcell ReverseDirection(T_nextcell d) {
    switch (d) {
    case nc_rightdown: return nc_leftup;
    case nc_leftup: return nc_rightdown;
    case nc_downright: return nc_upleft;
    case nc_upleft: return nc_downright;
    case nc_leftdown: return nc_rightup;
    case nc_rightup: return nc_leftdown;
    case nc_downleft: return nc_upright;
    case nc_upright: return nc_downleft;
    }
    return d;
}

TGridCoord FindNextCell(INextCellHost& h, T_nextcell d, T_lastcell a, int col, int row,
                        const std::function<bool(int, int)>& accept, bool stopOnGrowth) {
    const int startCol = col, startRow = row;
    const long long limit = static_cast<long long>(h.HostColCount() + 1) * (h.HostRowCount() + 1) + 2;
    for (long long step = 0; step < limit; ++step) {
        const int colCount = h.HostColCount(), rowCount = h.HostRowCount();
        NextCellStep(h, d, a, col, row);
        if (col == -1 && row == -1) break;
        if (col == startCol && row == startRow) break;
        if (stopOnGrowth && (colCount != h.HostColCount() || rowCount != h.HostRowCount())) break;
        if (col >= 0 && row >= 0 && col < h.HostColCount() && row < h.HostRowCount() && accept(col, row))
            break;
        if (step + 1 == limit) col = row = -1;
    }
    return TGridCoord{col, row};
}

void SortRange(int lo, int hi, t_relation want, const std::function<t_relation(int, int)>& compare,
               const std::function<void(int, int)>& exchange) {
    // Recurse into the smaller part and loop on the larger one: the same
    // exchanges as plain recursion, with a stack depth bounded by log n.
    while (hi - lo > 0) {
        int i = lo, j = hi - 1;
        for (;;) {
            while (i < hi && compare(i, hi) == want) ++i;
            while (j != lo && compare(hi, j) == want) --j;
            if (j > i) {
                exchange(i, j);
                ++i;
                --j;
            } else {
                if (i != hi) exchange(i, hi);
                break;
            }
        }
        const int p = i;
        if (p - lo < hi - p) {
            SortRange(lo, p - 1, want, compare, exchange);
            lo = p + 1;
        } else {
            SortRange(p + 1, hi, want, compare, exchange);
            hi = p - 1;
        }
    }
}
