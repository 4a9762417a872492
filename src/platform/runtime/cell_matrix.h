#pragma once
// The cell store of a table grid: a matrix of Windows-1252 texts with a column
// and a row count. It carries the grid's rules and nothing of the screen, so
// table files, series generators and spreadsheet passes work on it directly.
#include <cstdint>
#include <string>
#include <vector>

class TStringList;

class TCellMatrix {
public:
    TCellMatrix(int colCount = 5, int rowCount = 5);

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    // Shrinking drops the texts beyond the new counts; growing shows any text
    // written there earlier (see SetCell).
    void SetColCount(int n);
    void SetRowCount(int n);

    // A read outside the counts (negative indexes included) gives "".
    const std::string& Cell(int col, int row) const;
    // A write beyond the counts is kept and appears when the grid grows; a
    // write at a negative index is ignored. The text may be a cell of this
    // matrix.
    void SetCell(int col, int row, std::string text);
    // Room for cols cells in the row, so that filling it left to right
    // allocates once; the texts and the counts stay as they are.
    void ReserveRow(int row, int cols);

    // A row or column as a string list of ColCount (RowCount) items.
    TStringList Row(int row) const;
    TStringList Col(int col) const;
    // Assigns items 0..n-1 to the row's cells; the row's remaining cells are
    // emptied.
    void SetRow(int row, const TStringList& items);
    void SetCol(int col, const TStringList& items);

    // Moves the texts of row `from` to index `to`, shifting those between
    // (the grid's RowMoved); the same for columns.
    void MoveRow(int from, int to);
    void MoveCol(int from, int to);
    void SwapRows(int r1, int r2);
    void SwapCols(int c1, int c2);
    void Clear();  // every text empty, counts kept

    // A number that every change of a text or a count replaces with a new
    // one, never given before: the same number again means the same cells,
    // without reading them. Copies carry it with the cells.
    uint64_t Version() const;

    TCellMatrix(const TCellMatrix&) = default;
    TCellMatrix& operator=(const TCellMatrix&) = default;
    // The matrix moved from is left changed.
    TCellMatrix(TCellMatrix&& other) noexcept;
    TCellMatrix& operator=(TCellMatrix&& other) noexcept;

private:
    void Changed() { changed_ = true; }

    int cols_, rows_;
    // Storage by row, each row a vector of texts; may hold more than the counts.
    std::vector<std::vector<std::string>> cells_;
    // Numbered only when asked: a change costs one store.
    mutable uint64_t version_ = 0;
    mutable bool changed_ = true;
};
