#pragma once
// Arithmetic on the system's "extended" values (long double, 80-bit on x86-64).
#include <cstdint>

// Rounds halves to even ("banker's rounding"), as the runtime's Round does.
int64_t Round(long double value);
// Cuts towards zero.
int64_t Trunc(long double value);
long double Int(long double value);   // integer part, as extended
long double Frac(long double value);  // fractional part, sign kept
long double Power(long double base, long double exponent);
long double Abs(long double value);

// Checked arithmetic: raises EZeroDivide for a zero divisor, EInvalidOp or
// EOverflow when the result is not finite, so inf and NaN never reach a cell.
long double Divide(long double dividend, long double divisor);
long double CheckFinite(long double value);
