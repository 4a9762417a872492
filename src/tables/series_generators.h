#pragma once
// The index series generators of the tables form (TForm8, unit tabelas): they
// turn a source table of index numbers or monthly percentages into a factor
// grid that carries an amount of each month to the table's last month (or to
// a key month). They work on the cell texts of the grids only.
//
// Source grids: row 0 a header; data rows from row 1, oldest month first;
// column 0 the month "mm/yyyy"; column 1 an index number or a monthly
// percentage; column 3, in the revision series, the divisor of a currency
// change taking effect in that month. The target gets the source's row and
// column counts and copies of its columns 0, 2 and 3; column 1 the factor.
//
// A source cell that is not a number, an index number of 0 or a currency
// divisor of 0 raises ECellValueError (an EConvertError whose message names
// the month and the column). The target keeps
// the rows written before the failure.
#include <string>

#include "tables/cell_errors.h"

class TCellMatrix;

namespace tabelas {

// Five decimals, cut towards zero: FormatFloat("0.00000", Trunc(v * 1e5) / 1e5).
// The value is first rounded to 12 significant digits, so that a binary
// representation error (1.0302 held as 1.03019999...) never cuts away a whole
// last digit.
std::string formatfloatx(long double value);
// The factor text of the ratio kind: formatfloatx for factors of 0,1 and
// above; below, cut at the decimal that keeps five significant digits
// (0,0000294129... gives 0,000029412).
std::string formatfactor(long double value);

// Round(value * 10^n) / 10^n with halves to even; n clamped to 0..15.
long double RoundNum(long double value, int n);

// Ratio kind: factor of row r = source[1, last] / source[1, r], cut by
// formatfactor; the last row "1,0000".
void geraindice(TCellMatrix& indicegrid, const TCellMatrix& INPCGrid);
void geraindiceI(TCellMatrix& SRVI, const TCellMatrix& SRevisaoI);
void geraindicexII(TCellMatrix& SRVII, const TCellMatrix& SRevisaoII);
void geraindicexIII(TCellMatrix& SRVIII, const TCellMatrix& SRevisaoIII);

// Cumulative percentage: factor of row r = product over the rows r .. last-1
// of (1 + percentage / 100), five decimals cut; the last row "1,0000".
void geraindice98(TCellMatrix& grid98, const TCellMatrix& gridinpc98);

// Cumulative percentage with currency divisor, keyed: the start row is the
// last row whose month equals `key` (the last row when none does) and gets
// "1,0000000"; each earlier row r-1 gets f := (f + f * p(r-1) / 100) / d(r),
// seven decimals rounded, where d(r) is column 3 of row r when it holds a
// digit, else 1. A start at row 1 or above (fewer than two data rows) writes
// "1,0000" there and stops, so a missing table never stops a calculation.
void geraindiceII(const std::string& key, TCellMatrix& target, const TCellMatrix& source);
// The same for SRVIII from SRevisaoIII, started at the last row.
void geraindiceIII(TCellMatrix& SRVIII, const TCellMatrix& SRevisaoIII);

// Truncation of a freshly reloaded source to the month of the date text D
// ("dd/mm/yyyy"): when the last row's month holds a digit and starts after D,
// rows are removed from the end until the last row's month is D's month or
// only two data rows are left (never fewer: a grid keeps its last data row).
// D that is not a date raises EConvertError.
void TruncateSeries(TCellMatrix& source, const std::string& D);

// The truncating reloaders. The form reloads the source grid from its table
// file first (when the file exists; the loader never shrinks the grid, so a
// reload restores rows an earlier truncation removed), then calls these, which
// truncate the source to D and regenerate the factor grid.
void geraindicex(const std::string& D, TCellMatrix& INPCGrid, TCellMatrix& indicegrid);
// SRevisaoI and SRevisaoII hold monthly percentages: their factors are
// regenerated with the cumulative kind, keyed at the last month left.
void geraindiceINSSI(const std::string& D, TCellMatrix& SRevisaoI, TCellMatrix& SRVI);
void geraindiceINSSII(const std::string& D, TCellMatrix& SRevisaoII, TCellMatrix& SRVII);
void geraindiceINSSIII(const std::string& D, TCellMatrix& SRevisaoIII, TCellMatrix& SRVIII);

} // namespace tabelas
