#pragma once
// Shared by the files of the revision worksheet.
#include <string>

#include "platform/runtime/dates.h"

class TCellMatrix;

namespace revisao::detail {

std::string Fmt(long double value); // "#,##0.00"
bool HasDigit(const std::string& text);
// A typed amount (TForm6.RemovePonto: no digits reads 0); a text it cannot
// read stops with a message naming the field.
long double FieldValue(const std::string& text, const std::string& field);
// A cell's amount; the message names the row (its month) and the column.
long double CellValue(const TCellMatrix& grid, int col, int row, const std::string& column,
                      const std::string& table = "");
// The first day of the month of a date text "dd/mm/yyyy"; a text that is no
// date stops with a message naming the field.
TDateTime MonthOfDate(const std::string& dateText, const std::string& field);
TDateTime DateOf(const std::string& dateText, const std::string& field);
// The first day of a month text "mm/yyyy"; false when it is no month.
bool TryMonthStart(const std::string& month, TDateTime& date);
// Adds the row's Corrigido, Juros and Total to the running totals.
void AddTotals(const TCellMatrix& grid, int r, long double totals[3]);
// Appends the evolution's totals row: the label and the three sums in bold.
void AppendTotals(TCellMatrix& grid, const long double totals[3]);

} // namespace revisao::detail
