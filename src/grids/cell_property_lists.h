#pragma once
// The sparse lists that attach display records and hints to the grid's
// columns, rows and cells. An index beyond a list's end, or an empty entry,
// means no record; lists grow on demand when written. The operations keep
// records and hints with their row or column when rows and columns are
// inserted, removed, swapped or moved.
#include <memory>
#include <string>
#include <vector>

#include "grids/cell_properties.h"

using TPropList = std::vector<std::unique_ptr<TCellProperties>>;

class TCellPropertyLists {
public:
    TPropList PropCol, PropRow, PropFixedCol, PropFixedRow;
    std::vector<TPropList> PropCell;                   // by column, then row
    std::vector<std::vector<std::string>> HintCell;    // by column, then row

    static TCellProperties* At(const TPropList& list, int index);
    TCellProperties* CellRecord(int col, int row) const;
    TCellProperties* ColRecord(int col, bool fixed) const { return At(fixed ? PropFixedCol : PropCol, col); }
    TCellProperties* RowRecord(int row, bool fixed) const { return At(fixed ? PropFixedRow : PropRow, row); }

    // Create the record on demand through make (the grid's record class).
    static TCellProperties& Ensure(TPropList& list, int index, TCellPropertiesClass make, TStringAlignGrid* owner);
    TCellProperties& EnsureCell(int col, int row, TCellPropertiesClass make, TStringAlignGrid* owner);

    const std::string& Hint(int col, int row) const;
    void SetHint(int col, int row, const std::string& text);

    // Resolution: the cell's record, then the column's, then the row's (the
    // fixed lists for a fixed cell), the first for which has(record) holds.
    template <class Pred>
    TCellProperties* Resolve(int col, int row, bool fixed, Pred has) const {
        if (TCellProperties* p = CellRecord(col, row); p && has(*p)) return p;
        if (TCellProperties* p = ColRecord(col, fixed); p && has(*p)) return p;
        if (TCellProperties* p = RowRecord(row, fixed); p && has(*p)) return p;
        return nullptr;
    }

    // An empty entry at `at` (entries from there on move one up); the entries
    // at `at` are dropped (the rest move one down); two entries exchanged; an
    // entry moved from one index to another, shifting those between.
    void InsertRow(int at);
    void DeleteRow(int at);
    void SwapRows(int r1, int r2);
    void MoveRow(int from, int to);
    void InsertCol(int at);
    void DeleteCol(int at);
    void SwapCols(int c1, int c2);
    void MoveCol(int from, int to);

    void Clear();
};

// Where an index ends up after the entry at `from` moved to `to`.
int MovedIndex(int index, int from, int to);
