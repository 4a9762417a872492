#include "platform/runtime/arith.h"

#include <cmath>

#include "platform/runtime/errors.h"

namespace {

// The range an int64_t result can take; values outside it (and NaN) cannot be
// rounded to an integer and raise EInvalidOp instead of invoking undefined
// behaviour on the conversion.
void CheckIntegral(long double value) {
    if (!(value >= -9223372036854775808.0L && value < 9223372036854775808.0L)) throw EInvalidOp();
}

} // namespace

int64_t Round(long double value) {
    // Round half to even, independent of the current rounding mode.
    if (std::isnan(value)) throw EInvalidOp();
    long double fl = std::floor(value);
    long double diff = value - fl;
    long double r;
    if (diff > 0.5L) {
        r = fl + 1;
    } else if (diff < 0.5L) {
        r = fl;
    } else {
        r = std::fmod(fl, 2.0L) == 0 ? fl : fl + 1;
    }
    CheckIntegral(r);
    return static_cast<int64_t>(r);
}

int64_t Trunc(long double value) {
    if (std::isnan(value)) throw EInvalidOp();
    long double t = std::trunc(value);
    CheckIntegral(t);
    return static_cast<int64_t>(t);
}

long double Int(long double value) { return std::trunc(value); }

long double Frac(long double value) { return value - std::trunc(value); }

long double Power(long double base, long double exponent) {
    long double r = std::pow(base, exponent);
    // A negative base with a fractional exponent has no real result.
    if (std::isnan(r) && !std::isnan(base) && !std::isnan(exponent)) throw EInvalidOp();
    return r;
}

long double Abs(long double value) { return std::fabs(value); }

long double Divide(long double dividend, long double divisor) {
    if (divisor == 0) {
        if (dividend == 0 || std::isnan(dividend)) throw EInvalidOp();
        throw EZeroDivide();
    }
    return CheckFinite(dividend / divisor);
}

long double CheckFinite(long double value) {
    if (std::isnan(value)) throw EInvalidOp();
    if (std::isinf(value)) throw EOverflow();
    return value;
}
