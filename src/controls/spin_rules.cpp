#include "controls/spin_rules.h"

#include <cmath>
#include <cstdint>

#include "platform/runtime/arith.h"
#include "platform/runtime/formats.h"

namespace RXSpin {

namespace {

// Whole values beyond what the text can hold are kept at its ends.
int64_t WholeOf(long double v) {
    constexpr long double limit = 9.2e18L;
    if (!(v == v)) return 0;
    if (v > limit) return int64_t(limit);
    if (v < -limit) return -int64_t(limit);
    return Round(v);
}

}  // namespace

long double ClampValue(long double V, long double MinValue, long double MaxValue) {
    if (MaxValue != MinValue) {
        if (V < MinValue) return MinValue;
        if (V > MaxValue) return MaxValue;
    }
    return V;
}

long double ValueOfText(const std::string& Text, TValueType Type, long double MinValue) {
    switch (Type) {
        case vtFloat: {
            long double r;
            return TryStrToFloat(Text, r) && std::isfinite(r) ? r : MinValue;
        }
        case vtHex: {
            int r;
            return TryStrToInt("$" + Text, r) ? static_cast<long double>(r) : std::trunc(MinValue);
        }
        case vtInteger: break;
    }
    int r;
    return TryStrToInt(Text, r) ? static_cast<long double>(r) : std::trunc(MinValue);
}

std::string TextOfValue(long double V, TValueType Type, int Decimals, long double MinValue, long double MaxValue) {
    if (!std::isfinite(V)) V = MinValue;
    const long double v = ClampValue(V, MinValue, MaxValue);
    switch (Type) {
        case vtFloat: return FloatToStrF(v, TFloatFormat::ffFixed, 15, Decimals);
        case vtHex: return IntToHex(WholeOf(v), 1);
        case vtInteger: break;
    }
    return IntToStr(WholeOf(v));
}

bool AcceptsKey(char Key, const std::string& Text, TValueType Type, bool EditorEnabled) {
    const unsigned char k = static_cast<unsigned char>(Key);
    if (!EditorEnabled) return k < 32 && Key != '\b';
    if (k < 32) return true;
    if (Key == '+' || Key == '-' || (Key >= '0' && Key <= '9')) return true;
    if (Type == vtFloat) {
        if (Key == FormatSettings.DecimalSeparator) return Text.find(Key) == std::string::npos;
        if (Key == 'E' || Key == 'e') return Text.find_first_of("Ee") == std::string::npos;
    }
    if (Type == vtHex) return (Key >= 'A' && Key <= 'F') || (Key >= 'a' && Key <= 'f');
    return false;
}

long double WholeIncrement(long double Increment) {
    const long double r = static_cast<long double>(WholeOf(Increment));
    return r == 0 ? 1 : r;
}

bool InTopHalf(int X, int Y, int Width, int Height) {
    if (Width <= 0) return Y <= Height;
    return static_cast<double>(Y) <= Height - (static_cast<double>(Height) / Width) * X;
}

TSpinPressState HalfAt(int X, int Y, int Width, int Height) {
    return InTopHalf(X, Y, Width, Height) ? spTopDown : spBottomDown;
}

}  // namespace RXSpin
