#include "platform/runtime/cell_matrix.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/runtime/string_list.h"

namespace {
const std::string kEmpty;
} // namespace

TCellMatrix::TCellMatrix(int colCount, int rowCount)
    : cols_(std::max(colCount, 0)), rows_(std::max(rowCount, 0)) {}

TCellMatrix::TCellMatrix(TCellMatrix&& other) noexcept
    : cols_(other.cols_), rows_(other.rows_), cells_(std::move(other.cells_)),
      version_(other.version_), changed_(other.changed_) {
    other.cells_.clear();
    other.changed_ = true;
}

TCellMatrix& TCellMatrix::operator=(TCellMatrix&& other) noexcept {
    if (this == &other) return *this;
    cols_ = other.cols_;
    rows_ = other.rows_;
    cells_ = std::move(other.cells_);
    version_ = other.version_;
    changed_ = other.changed_;
    other.cells_.clear();
    other.changed_ = true;
    return *this;
}

uint64_t TCellMatrix::Version() const {
    static std::atomic<uint64_t> last{0};
    if (changed_) {
        version_ = last.fetch_add(1, std::memory_order_relaxed) + 1;
        changed_ = false;
    }
    return version_;
}

void TCellMatrix::SetColCount(int n) {
    Changed();
    n = std::max(n, 0);
    if (n < cols_) {
        for (auto& row : cells_)
            if (row.size() > static_cast<size_t>(n)) row.resize(static_cast<size_t>(n));
    }
    cols_ = n;
}

void TCellMatrix::SetRowCount(int n) {
    Changed();
    n = std::max(n, 0);
    if (n < rows_ && cells_.size() > static_cast<size_t>(n)) cells_.resize(static_cast<size_t>(n));
    rows_ = n;
}

const std::string& TCellMatrix::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return kEmpty;
    size_t r = static_cast<size_t>(row), c = static_cast<size_t>(col);
    if (r >= cells_.size() || c >= cells_[r].size()) return kEmpty;
    return cells_[r][c];
}

// The text is taken by value: a caller may pass a cell of this same matrix,
// which the resize below would otherwise free before it is copied.
void TCellMatrix::SetCell(int col, int row, std::string text) {
    if (col < 0 || row < 0) return;
    Changed();
    size_t r = static_cast<size_t>(row), c = static_cast<size_t>(col);
    if (r >= cells_.size()) {
        if (text.empty()) return;  // nothing to keep
        cells_.resize(r + 1);
    }
    auto& line = cells_[r];
    if (c >= line.size()) {
        if (text.empty()) return;
        line.resize(c + 1);
    }
    line[c] = std::move(text);
}

void TCellMatrix::ReserveRow(int row, int cols) {
    if (row < 0 || cols <= 0) return;
    const size_t r = static_cast<size_t>(row);
    if (r >= cells_.size()) cells_.resize(r + 1);
    cells_[r].reserve(static_cast<size_t>(cols));
}

TStringList TCellMatrix::Row(int row) const {
    TStringList list;
    auto& items = list.MutableItems();
    items.reserve(static_cast<size_t>(cols_));
    for (int c = 0; c < cols_; ++c) items.push_back(Cell(c, row));
    return list;
}

TStringList TCellMatrix::Col(int col) const {
    TStringList list;
    auto& items = list.MutableItems();
    items.reserve(static_cast<size_t>(rows_));
    for (int r = 0; r < rows_; ++r) items.push_back(Cell(col, r));
    return list;
}

void TCellMatrix::SetRow(int row, const TStringList& items) {
    if (row < 0) return;
    int n = items.Count();
    for (int c = 0; c < n; ++c) SetCell(c, row, items[c]);
    for (int c = n; c < cols_; ++c) SetCell(c, row, kEmpty);
}

void TCellMatrix::SetCol(int col, const TStringList& items) {
    if (col < 0) return;
    int n = items.Count();
    for (int r = 0; r < n; ++r) SetCell(col, r, items[r]);
    for (int r = n; r < rows_; ++r) SetCell(col, r, kEmpty);
}

void TCellMatrix::MoveRow(int from, int to) {
    Changed();
    if (from == to || from < 0 || to < 0 || from >= rows_ || to >= rows_) return;
    size_t hi = static_cast<size_t>(std::max(from, to));
    if (cells_.size() <= hi) cells_.resize(hi + 1);
    auto f = cells_.begin() + from, t = cells_.begin() + to;
    if (from < to)
        std::rotate(f, f + 1, t + 1);
    else
        std::rotate(t, f, f + 1);
}

void TCellMatrix::MoveCol(int from, int to) {
    Changed();
    if (from == to || from < 0 || to < 0 || from >= cols_ || to >= cols_) return;
    size_t hi = static_cast<size_t>(std::max(from, to));
    for (auto& line : cells_) {
        if (line.size() <= static_cast<size_t>(std::min(from, to))) continue;  // all empty
        if (line.size() <= hi) line.resize(hi + 1);
        auto f = line.begin() + from, t = line.begin() + to;
        if (from < to)
            std::rotate(f, f + 1, t + 1);
        else
            std::rotate(t, f, f + 1);
    }
}

void TCellMatrix::SwapRows(int r1, int r2) {
    Changed();
    if (r1 == r2 || r1 < 0 || r2 < 0 || r1 >= rows_ || r2 >= rows_) return;
    size_t hi = static_cast<size_t>(std::max(r1, r2));
    if (cells_.size() <= hi) cells_.resize(hi + 1);
    std::swap(cells_[static_cast<size_t>(r1)], cells_[static_cast<size_t>(r2)]);
}

void TCellMatrix::SwapCols(int c1, int c2) {
    Changed();
    if (c1 == c2 || c1 < 0 || c2 < 0 || c1 >= cols_ || c2 >= cols_) return;
    size_t hi = static_cast<size_t>(std::max(c1, c2));
    for (auto& line : cells_) {
        if (line.size() <= static_cast<size_t>(std::min(c1, c2))) continue;
        if (line.size() <= hi) line.resize(hi + 1);
        std::swap(line[static_cast<size_t>(c1)], line[static_cast<size_t>(c2)]);
    }
}

void TCellMatrix::Clear() {
    Changed();
    cells_.clear();
}
