#pragma once
// The walk from one cell to the next (after an edit, and for Tab) and the
// grid's row and column sort. Both work through small host interfaces so the
// rules do not depend on the widget.
#include <functional>

#include "grids/cell_properties.h"
#include "platform/gui/string_grid_types.h"

class INextCellHost {
public:
    virtual ~INextCellHost() = default;
    virtual int HostColCount() const = 0;
    virtual int HostRowCount() const = 0;
    virtual int HostFixedCols() const = 0;
    virtual int HostFixedRows() const = 0;
    virtual void HostInsertRow(int row) = 0;
    virtual void HostInsertColumn(int col) = 0;
    // The end action lc_exit: the focus leaves the grid.
    virtual void HostExitGrid() = 0;
};

// One step in direction d; past the last cell the end action a applies: a
// new row or column, a stop (-1, -1), a jump to the first cell, or leaving
// the grid (-1, -1).
void NextCellStep(INextCellHost& host, T_nextcell d, T_lastcell a, int& col, int& row);

// Shift+Tab walks the opposite way.
T_nextcell ReverseDirection(T_nextcell d);

// Steps from (col, row) until accept(col, row) holds, the walk is back at the
// start, it reached (-1, -1), or (with stopOnGrowth) a step added a row or a
// column. Returns where it stopped. Bounded by the number of cells, so a grid
// without an acceptable cell never hangs.
TGridCoord FindNextCell(INextCellHost& host, T_nextcell d, T_lastcell a, int col, int row,
                        const std::function<bool(int col, int row)>& accept, bool stopOnGrowth);

// Quicksort of the elements lo..hi with the last element as pivot; want is
// rel_less for ascending and rel_greater for descending order.
void SortRange(int lo, int hi, t_relation want, const std::function<t_relation(int a, int b)>& compare,
               const std::function<void(int a, int b)>& exchange);
