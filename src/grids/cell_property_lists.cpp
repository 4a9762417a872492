#include "grids/cell_property_lists.h"

#include <algorithm>
#include <utility>

namespace {

const std::string kEmpty;

template <class T>
void InsertAt(std::vector<T>& list, int at) {
    if (at >= 0 && static_cast<size_t>(at) <= list.size()) list.insert(list.begin() + at, T{});
}

template <class T>
void DeleteAt(std::vector<T>& list, int at) {
    if (at >= 0 && static_cast<size_t>(at) < list.size()) list.erase(list.begin() + at);
}

template <class T>
void PadTo(std::vector<T>& list, int index) {
    if (index >= 0 && list.size() <= static_cast<size_t>(index)) list.resize(index + 1);
}

template <class T>
void SwapAt(std::vector<T>& list, int a, int b) {
    if (a < 0 || b < 0 || a == b) return;
    PadTo(list, std::max(a, b));
    std::swap(list[a], list[b]);
}

template <class T>
void MoveAt(std::vector<T>& list, int from, int to) {
    if (from < 0 || to < 0 || from == to) return;
    PadTo(list, std::max(from, to));
    T item = std::move(list[from]);
    list.erase(list.begin() + from);
    list.insert(list.begin() + to, std::move(item));
}

}  // namespace

int MovedIndex(int index, int from, int to) {
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (from > to && index >= to && index < from) return index + 1;
    return index;
}

TCellProperties* TCellPropertyLists::At(const TPropList& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return nullptr;
    return list[index].get();
}

TCellProperties* TCellPropertyLists::CellRecord(int col, int row) const {
    if (col < 0 || static_cast<size_t>(col) >= PropCell.size()) return nullptr;
    return At(PropCell[col], row);
}

TCellProperties& TCellPropertyLists::Ensure(TPropList& list, int index, TCellPropertiesClass make,
                                            TStringAlignGrid* owner) {
    PadTo(list, index);
    if (!list[index]) list[index] = make ? make(owner) : NewCellProperties(owner);
    return *list[index];
}

TCellProperties& TCellPropertyLists::EnsureCell(int col, int row, TCellPropertiesClass make,
                                                TStringAlignGrid* owner) {
    PadTo(PropCell, col);
    return Ensure(PropCell[col], row, make, owner);
}

const std::string& TCellPropertyLists::Hint(int col, int row) const {
    if (col < 0 || row < 0 || static_cast<size_t>(col) >= HintCell.size()) return kEmpty;
    const auto& rows = HintCell[col];
    return static_cast<size_t>(row) < rows.size() ? rows[row] : kEmpty;
}

void TCellPropertyLists::SetHint(int col, int row, const std::string& text) {
    if (col < 0 || row < 0) return;
    PadTo(HintCell, col);
    PadTo(HintCell[col], row);
    HintCell[col][row] = text;
}

// The fixed lists stay where they are: they describe the header rows and
// columns by position, not the content that moves under them.
void TCellPropertyLists::InsertRow(int at) {
    InsertAt(PropRow, at);
    for (auto& l : PropCell) InsertAt(l, at);
    for (auto& l : HintCell) InsertAt(l, at);
}

void TCellPropertyLists::DeleteRow(int at) {
    DeleteAt(PropRow, at);
    for (auto& l : PropCell) DeleteAt(l, at);
    for (auto& l : HintCell) DeleteAt(l, at);
}

void TCellPropertyLists::SwapRows(int r1, int r2) {
    SwapAt(PropRow, r1, r2);
    for (auto& l : PropCell) SwapAt(l, r1, r2);
    for (auto& l : HintCell) SwapAt(l, r1, r2);
}

void TCellPropertyLists::MoveRow(int from, int to) {
    MoveAt(PropRow, from, to);
    for (auto& l : PropCell) MoveAt(l, from, to);
    for (auto& l : HintCell) MoveAt(l, from, to);
}

void TCellPropertyLists::InsertCol(int at) {
    InsertAt(PropCol, at);
    InsertAt(PropCell, at);
    InsertAt(HintCell, at);
}

void TCellPropertyLists::DeleteCol(int at) {
    DeleteAt(PropCol, at);
    DeleteAt(PropCell, at);
    DeleteAt(HintCell, at);
}

void TCellPropertyLists::SwapCols(int c1, int c2) {
    SwapAt(PropCol, c1, c2);
    SwapAt(PropCell, c1, c2);
    SwapAt(HintCell, c1, c2);
}

void TCellPropertyLists::MoveCol(int from, int to) {
    MoveAt(PropCol, from, to);
    MoveAt(PropCell, from, to);
    MoveAt(HintCell, from, to);
}

void TCellPropertyLists::Clear() {
    PropCol.clear();
    PropRow.clear();
    PropFixedCol.clear();
    PropFixedRow.clear();
    PropCell.clear();
    HintCell.clear();
}
