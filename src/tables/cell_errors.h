#pragma once
// The error of a step that meets a cell (or a typed value) that must hold a
// number or a date and does not. It is a conversion error whose message names
// the place, e.g. "Valor inválido na linha 05/1990, coluna Correção: ''", so
// the user can find and mend the cell; the step stops and nothing already
// computed is lost.
#include <string>

#include "platform/runtime/errors.h"

class TCellMatrix;

class ECellValueError : public EConvertError {
public:
    using EConvertError::EConvertError;
};

// "Valor inválido na linha <row>, coluna <column>: '<text>'".
std::string CellValueMessage(const std::string& row, const std::string& column,
                             const std::string& text);
// The row as the user knows it: its month (column 0) when that holds a digit,
// else its number.
std::string RowLabel(const std::string& key, int row);

// A calculation that needs a month its table does not hold stops with
// "O mês 01/2011 não está na tabela <table>" rather than read another
// month's value, a factor of 1 or a floor of 0 in its place.
[[noreturn]] void MissingMonth(const std::string& month, const std::string& table);
// The row of the month in a table's key column (the first one), or
// MissingMonth. The key columns hold no month twice (tables/table_check.h).
int MonthRowOrFail(const TCellMatrix& table, const std::string& month, const std::string& tableName);
// A factor series carries amounts to its last month: it must end at the
// month the calculation carries them to, or MissingMonth.
void RequireSeriesEnd(const TCellMatrix& series, const std::string& month,
                      const std::string& table);
