#pragma once
// The error of a step that meets a cell (or a typed value) that must hold a
// number or a date and does not. It is a conversion error whose message names
// the place, e.g. "Valor inválido na linha 05/1990, coluna Correção: ''", so
// the user can find and mend the cell; the step stops and nothing already
// computed is lost.
#include <string>

#include "platform/runtime/errors.h"

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
