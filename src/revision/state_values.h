#pragma once
// The checks the state-file readers make on each line before anything on a
// form changes, and the texts of their refusals. A file is read whole and
// checked; only a file that passes reaches the controls.
#include <cstddef>
#include <string>

#include "controls/number_rules.h"

class TCellMatrix;

namespace state_values {

using CurrEdit::kMaxAmount;

// Why a line cannot be taken, "" when it can.
// An amount: empty, or a number in the edit's form ("1.234,56", points
// only between thousands) within [minValue, maxValue] as the edit's bounds
// rule reads them (refused, not clamped) and below kMaxAmount.
std::string AmountProblem(const std::string& text, long double minValue, long double maxValue,
                          int decimals = 2);
// A date: empty, the empty mask ("  /  /    "), or a calendar date "dd/mm/yyyy".
std::string DateProblem(const std::string& text);
// A row count: a whole number of at least 1 (the header row counts).
std::string CountProblem(const std::string& text, int& count);
// A check box: exactly "true" or "false", as the writers put it.
std::string BooleanProblem(const std::string& text);
// A grid row as comma text: exactly `columns` cells, and no control
// character outside quotes (reading would split the cell there).
std::string RowProblem(const std::string& text, int columns);

// Whether a spreadsheet's rows are the months of its case. The calculation
// lays out the title, one row a month from Data Inicial's month for as long
// as Data Final allows (its day decides whether its own month counts), a
// thirteenth-salary row of the same month after each December with
// `check13`, and the sums row. `why` is "" when the rows are the case's;
// otherwise `row` is the first row whose "Data" is not the month due there,
// or 0 when the row count (or the dates themselves) is what is wrong.
struct TMonthsProblem {
    int row = 0;
    std::string why;
};
TMonthsProblem MonthsProblem(const TCellMatrix& planilha, const std::string& dataini,
                             const std::string& datafim, bool check13);

// "O arquivo <file> não foi aberto: linha <line> (<field>): <why>. Nada foi alterado."
std::string RefusedLine(const std::string& fileName, size_t line, const std::string& field,
                        const std::string& why);
// "O arquivo <file> não foi aberto: ele termina na linha <n> e falta a linha
// <n + 1> (<field>). Nada foi alterado."
std::string EndsEarly(const std::string& fileName, size_t lines, const std::string& field);
// "O arquivo <file> não foi aberto: <why>. Nada foi alterado."
std::string Refused(const std::string& fileName, const std::string& why);

} // namespace state_values
