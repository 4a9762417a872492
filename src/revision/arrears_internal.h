#pragma once
// Shared by the files of the spreadsheet engine.
#include <string>
#include <unordered_map>

#include "revision/arrears_engine.h"
#include "revision/shared_helpers.h"

namespace calc {

struct TArrearsEngine::Indexes {
    Indexes(const TTableGrids& tables, std::string& marcalimite);
    revisao::TValueLimiter limiter;
    // First row of each month text, per table grid.
    std::unordered_map<const TCellMatrix*, std::unordered_map<std::string, int>> monthRows;
};

namespace detail {

const TCellMatrix& Grid(const TCellMatrix* grid);
std::string Fmt(long double value); // "#,##0.00"
bool StartsWith12(const std::string& month);
// The amount in a cell of a worksheet grid, read as RemovePonto reads it once
// the text is an amount (amount_text::IsAmountText); otherwise
// ECellValueError naming the row (its month) and the column.
long double CellAmount(const TCellMatrix& grid, int col, int row, const std::string& column);
// The first day of a month text "mm/yyyy", as StrToDate("01/" + month).
bool TryMonthStart(const std::string& month, TDateTime& date);

} // namespace detail
} // namespace calc
