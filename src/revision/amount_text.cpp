#include "revision/amount_text.h"

#include <algorithm>
#include <cstdint>

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
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    const size_t end = text.find_last_not_of(" \t") + 1;
    if (text[i] == '-') ++i;
    int group = 0;  // digits since the start or the last point
    bool whole = false, point = false;
    for (; i < end && text[i] != ','; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            ++group;
            whole = true;
        } else if (text[i] == '.' && group >= 1 && group <= 3 && (!point || group == 3)) {
            point = true;
            group = 0;
        } else {
            return false;
        }
    }
    if (!whole || (point && group != 3)) return false;
    if (i == end) return true;
    if (++i == end) return false;  // "12,"
    for (; i < end; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

} // namespace amount_text
