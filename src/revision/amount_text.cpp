#include "revision/amount_text.h"

#include <algorithm>
#include <cstdint>

#include "controls/number_rules.h"
#include "platform/runtime/formats.h"

namespace amount_text {

std::string KeepNumberChars(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == ',' || c == '-') kept += c;
    return kept;
}

namespace {

// Powers of ten up to 10^18 are exact in an 80-bit long double.
constexpr long double kPow10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                  1e14L, 1e15L, 1e16L, 1e17L, 1e18L};

} // namespace

long double ParseKept(const std::string& kept) {
    // An integer of at most 18 digits and a power of ten up to 10^18 are both
    // exact, so one division gives the correctly rounded value of the text.
    if (FormatSettings.DecimalSeparator == ',') {
        size_t i = 0, n = kept.size();
        bool negative = false;
        if (i < n && kept[i] == '-') {
            negative = true;
            ++i;
        }
        uint64_t mantissa = 0;
        int digits = 0, decimals = 0;
        bool comma = false, ok = i < n;
        for (; i < n && ok; ++i) {
            char c = kept[i];
            if (c >= '0' && c <= '9') {
                if (mantissa != 0 || c != '0') ++digits;
                mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
                if (comma) ++decimals;
            } else if (c == ',' && !comma) {
                comma = true;
            } else {
                ok = false;
            }
        }
        // "1," and ",5" are left to StrToFloat, whatever it makes of them.
        if (ok && kept[n - 1] != ',' && kept[negative ? 1 : 0] != ',' && digits <= 18 &&
            decimals <= 18) {
            long double v = static_cast<long double>(mantissa) / kPow10[decimals];
            return negative ? -v : v;
        }
    }
    return StrToFloat(kept);
}

bool IsAmountText(const std::string& text) {
    // Read in place: this runs for every cell every pass reads.
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const std::string_view t(text.data() + first, text.find_last_not_of(" \t") + 1 - first);
    bool whole = false, comma = false, decimals = false;
    for (size_t i = t[0] == '-' ? 1 : 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9')
            (comma ? decimals : whole) = true;
        else if (c == ',' && whole && !comma)
            comma = true;
        else if (c != '.' || comma)
            return false;
    }
    return whole && decimals == comma && CurrEdit::ThousandsWellPlaced(t);
}

} // namespace amount_text
