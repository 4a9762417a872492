#pragma once
// Small grids written by hand for the calculation tests.
#include <sstream>
#include <string>
#include <vector>

#include "platform/runtime/cell_matrix.h"

// A grid from lines whose cells are separated by '|'; row 0 is the header.
inline TCellMatrix GridOf(const std::vector<std::string>& lines, int minCols = 1) {
    TCellMatrix grid(minCols, 1);
    int row = 0;
    for (const std::string& line : lines) {
        std::stringstream in(line);
        std::string cell;
        int col = 0;
        grid.SetRowCount(row + 1);
        while (std::getline(in, cell, '|')) {
            if (col >= grid.ColCount()) grid.SetColCount(col + 1);
            grid.SetCell(col++, row, cell);
        }
        ++row;
    }
    return grid;
}

inline std::vector<std::string> ColumnOf(const TCellMatrix& grid, int col, int first = 1,
                                         int last = -1) {
    if (last < 0) last = grid.RowCount() - 1;
    std::vector<std::string> out;
    for (int r = first; r <= last; ++r)
        out.push_back(grid.Cell(col, r));
    return out;
}

using Texts = std::vector<std::string>;

// The message of the error of type E that f raises, or "(no error)".
template <class E, class F> std::string MessageOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message;
    }
    return "(no error)";
}
