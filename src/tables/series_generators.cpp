#include "tables/series_generators.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

std::string CellValueMessage(const std::string& row, const std::string& column,
                             const std::string& text) {
    return "Valor inválido na linha " + row + ", coluna " + column + ": '" + text + "'";
}

void MissingMonth(const std::string& month, const std::string& table) {
    throw ECellValueError("O mês " + month + " não está na tabela " + table);
}

int MonthRowOrFail(const TCellMatrix& table, const std::string& month,
                   const std::string& tableName) {
    for (int r = 1; r < table.RowCount(); ++r)
        if (table.Cell(0, r) == month) return r;
    MissingMonth(month, tableName);
}

void RequireSeriesEnd(const TCellMatrix& series, const std::string& month,
                      const std::string& table) {
    if (series.RowCount() < 2 || series.Cell(0, series.RowCount() - 1) != month)
        MissingMonth(month, table);
}

namespace {

bool HasDigit(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string RowLabel(const std::string& key, int row) {
    return HasDigit(key) ? key : IntToStr(row);
}

namespace tabelas {

namespace {

long double Number(const TCellMatrix& grid, int col, int row) {
    const std::string& text = grid.Cell(col, row);
    long double v;
    if (!TryStrToFloat(text, v))
        throw ECellValueError(
            CellValueMessage(RowLabel(grid.Cell(0, row), row), IntToStr(col), text));
    return v;
}

// A divisor read from the source: zero would stop the generator with a bare
// division error that names neither the month nor the value.
long double Divisor(const TCellMatrix& grid, int col, int row) {
    const long double v = Number(grid, col, row);
    if (v == 0)
        throw ECellValueError(
            CellValueMessage(RowLabel(grid.Cell(0, row), row), IntToStr(col), grid.Cell(col, row)));
    return v;
}

// Steps shared by the ratio and the keyed kinds: the target takes the
// source's size and its columns 0, 2 and 3; column 1 starts empty. Row 0
// keeps its cells but the first; the other rows are emptied in place, as
// every calculation derives the series again.
void PrepareTarget(TCellMatrix& target, const TCellMatrix& source) {
    const int rows = source.RowCount(), had = target.RowCount(), hadCols = target.ColCount();
    const int cols = std::max(hadCols, source.ColCount());
    target.SetCell(0, 0, "");
    if (had > rows) target.SetRowCount(rows);
    // Past the counts a text may be kept hidden: it is emptied too.
    for (int r = 1; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            if (r >= had || c >= hadCols || !target.Cell(c, r).empty()) target.SetCell(c, r, "");
    target.SetRowCount(rows);
    target.SetColCount(source.ColCount());
}

void CopyColumns(TCellMatrix& target, const TCellMatrix& source) {
    for (int c : {0, 2, 3}) {
        if (c >= source.ColCount()) continue;
        for (int r = 0; r < source.RowCount(); ++r)
            target.SetCell(c, r, source.Cell(c, r));
    }
}

void RatioKind(TCellMatrix& target, const TCellMatrix& source) {
    PrepareTarget(target, source);
    CopyColumns(target, source);
    int last = source.RowCount() - 1;
    target.SetCell(1, last, "1,0000");
    if (last - 1 < 1) return;
    long double top = Number(source, 1, last);
    for (int r = last - 1; r >= 1; --r)
        target.SetCell(1, r, formatfactor(top / Divisor(source, 1, r)));
}

} // namespace

namespace {

// A value as its first 12 significant digits, correctly rounded, and the
// decimal exponent of the first: d0.d1d2... x 10^exponent. Rounding to 12
// digits first means a binary representation error (1.0302 held as
// 1.03019999...) never cuts away a whole last digit.
struct TDigits {
    std::string digits;
    int exponent = 0;
    bool negative = false;
};

TDigits DigitsOf(long double value) {
    value = CheckFinite(value);
    char digits[12];
    TDigits d;
    SignificantDigits(value, 12, digits, d.exponent, d.negative);
    d.digits.assign(digits, sizeof digits);
    return d;
}

// The value cut (towards zero) at `decimals` decimals.
std::string CutDecimals(const TDigits& d, int decimals) {
    const int pointAt = d.exponent + 1; // digits before the decimal point
    auto digit = [&d](int i) {
        return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
    };
    std::string text;
    text.reserve(static_cast<size_t>(std::max(pointAt, 1) + decimals + 2));
    if (d.negative) text += '-';
    const size_t intStart = text.size();
    for (int i = 0; i < pointAt; ++i)
        if (text.size() > intStart || digit(i) != '0') text += digit(i);
    if (text.size() == intStart) text += '0';
    text += FormatSettings.DecimalSeparator;
    bool zero = text.size() == intStart + 2 && text[intStart] == '0';
    for (int i = pointAt; i < pointAt + decimals; ++i) {
        zero = zero && digit(i) == '0';
        text += digit(i);
    }
    // A value cut to zero has no sign.
    if (zero && d.negative) text.erase(0, 1);
    return text;
}

} // namespace

std::string formatfloatx(long double value) {
    return CutDecimals(DigitsOf(value), 5);
}

std::string formatfactor(long double value) {
    const TDigits d = DigitsOf(value);
    // Five decimals would leave a factor of a month before the Real with one
    // or two digits (0,00002 for 0,0000294...): below 0,1 the cut keeps five
    // significant digits instead. No table comes near 10^-25.
    if (d.exponent >= -1 || value == 0) return CutDecimals(d, 5);
    return CutDecimals(d, std::min(4 - d.exponent, 30));
}

long double RoundNum(long double value, int n) {
    n = std::clamp(n, 0, 15);
    long double scale = 1;
    for (int i = 0; i < n; ++i)
        scale *= 10;
    return static_cast<long double>(Round(value * scale)) / scale;
}

void geraindice(TCellMatrix& indicegrid, const TCellMatrix& INPCGrid) {
    RatioKind(indicegrid, INPCGrid);
}

void geraindiceI(TCellMatrix& SRVI, const TCellMatrix& SRevisaoI) {
    RatioKind(SRVI, SRevisaoI);
}

void geraindicexII(TCellMatrix& SRVII, const TCellMatrix& SRevisaoII) {
    RatioKind(SRVII, SRevisaoII);
}

void geraindicexIII(TCellMatrix& SRVIII, const TCellMatrix& SRevisaoIII) {
    RatioKind(SRVIII, SRevisaoIII);
}

void geraindice98(TCellMatrix& grid98, const TCellMatrix& gridinpc98) {
    grid98.SetRowCount(gridinpc98.RowCount());
    grid98.SetColCount(gridinpc98.ColCount());
    CopyColumns(grid98, gridinpc98);
    int last = gridinpc98.RowCount() - 1;
    grid98.SetCell(1, last, "1,0000");
    long double f = 1;
    for (int r = last - 1; r >= 1; --r) {
        f = CheckFinite(f + f * Number(gridinpc98, 1, r) / 100);
        grid98.SetCell(1, r, formatfloatx(f));
    }
}

void geraindiceII(const std::string& key, TCellMatrix& target, const TCellMatrix& source) {
    PrepareTarget(target, source);
    CopyColumns(target, source);
    int last = source.RowCount() - 1;
    int s = last;
    for (int r = 1; r <= last; ++r)
        if (source.Cell(0, r) == key) s = r;
    target.SetCell(1, s, FormatFloat("0.0000000", 1));
    long double f = 1;
    for (int r = s; r > 1; --r) {
        long double p = Number(source, 1, r - 1);
        long double d = HasDigit(source.Cell(3, r)) ? Divisor(source, 3, r) : 1;
        f = CheckFinite((f + f * p / 100) / d);
        target.SetCell(1, r - 1, FormatFloat("0.0000000", f));
    }
}

void geraindiceIII(TCellMatrix& SRVIII, const TCellMatrix& SRevisaoIII) {
    geraindiceII(SRevisaoIII.Cell(0, SRevisaoIII.RowCount() - 1), SRVIII, SRevisaoIII);
}

void TruncateSeries(TCellMatrix& source, const std::string& D) {
    int last = source.RowCount() - 1;
    const std::string& month = source.Cell(0, last);
    if (!HasDigit(month)) return;
    if (!(StrToDate(D) < StrToDate("01/" + month))) return;
    std::string key = Copy(D, 4, 7);
    // The grid never removes its last data row: stop there rather than loop.
    for (;;) {
        int n = source.RowCount();
        if (n <= 2) break;
        source.SetRowCount(n - 1);
        if (source.Cell(0, n - 2) == key || n - 2 == 2) break;
    }
}

void geraindicex(const std::string& D, TCellMatrix& INPCGrid, TCellMatrix& indicegrid) {
    TruncateSeries(INPCGrid, D);
    geraindice(indicegrid, INPCGrid);
}

void geraindiceINSSI(const std::string& D, TCellMatrix& SRevisaoI, TCellMatrix& SRVI) {
    TruncateSeries(SRevisaoI, D);
    geraindiceII(SRevisaoI.Cell(0, SRevisaoI.RowCount() - 1), SRVI, SRevisaoI);
}

void geraindiceINSSII(const std::string& D, TCellMatrix& SRevisaoII, TCellMatrix& SRVII) {
    TruncateSeries(SRevisaoII, D);
    geraindiceII(SRevisaoII.Cell(0, SRevisaoII.RowCount() - 1), SRVII, SRevisaoII);
}

void geraindiceINSSIII(const std::string& D, TCellMatrix& SRevisaoIII, TCellMatrix& SRVIII) {
    TruncateSeries(SRevisaoIII, D);
    geraindicexIII(SRVIII, SRevisaoIII);
}

} // namespace tabelas
