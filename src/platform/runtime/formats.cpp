#include "platform/runtime/formats.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>
#include <locale.h>

#include "platform/runtime/errors.h"

TFormatSettings FormatSettings;

namespace {

using u128 = unsigned __int128;

constexpr int kSigDigits = 18;

// A non-negative decimal value 0.d1d2...dn x 10^exponent; digits carry no
// leading or trailing zeros, and count 0 is the value zero. `exponent` is
// therefore the number of digits before the decimal point.
struct Decimal {
    char digits[24];
    int count = 0;
    int exponent = 0;
};

struct Pow10Table {
    u128 v[39];
    constexpr Pow10Table() : v() {
        u128 r = 1;
        for (int i = 0; i < 39; ++i) {
            v[i] = r;
            r *= 10;
        }
    }
};
constexpr Pow10Table kPow10;

int BitLength(u128 x) {
    uint64_t hi = static_cast<uint64_t>(x >> 64);
    if (hi) return 128 - __builtin_clzll(hi);
    uint64_t lo = static_cast<uint64_t>(x);
    return lo ? 64 - __builtin_clzll(lo) : 0;
}

void SetFromInteger(Decimal& d, uint64_t n, int exponent) {
    // n has exactly kSigDigits digits.
    // Two independent 9-digit halves convert faster than one long chain.
    char buf[kSigDigits];
    uint32_t hi = static_cast<uint32_t>(n / 1000000000), lo = static_cast<uint32_t>(n % 1000000000);
    for (int i = 8; i >= 0; --i) {
        buf[9 + i] = static_cast<char>('0' + lo % 10);
        lo /= 10;
        buf[i] = static_cast<char>('0' + hi % 10);
        hi /= 10;
    }
    int count = kSigDigits;
    while (count > 0 && buf[count - 1] == '0') --count;
    std::memcpy(d.digits, buf, count);
    d.count = count;
    d.exponent = exponent;
}

// Exact, locale-free fallback through the C library (exact in glibc): the
// mantissa digits are taken whatever character the locale uses as the point.
void DecimalBySnprintf(long double v, Decimal& d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", v);
    uint64_t n = 0;
    int nd = 0;
    const char* p = buf;
    for (; *p && *p != 'e' && *p != 'E'; ++p) {
        if (*p >= '0' && *p <= '9' && nd < kSigDigits) {
            n = n * 10 + static_cast<uint64_t>(*p - '0');
            ++nd;
        }
    }
    int exp10 = 0;
    if (*p) exp10 = std::atoi(p + 1);
    if (n == 0) {
        d.count = 0;
        d.exponent = 0;
        return;
    }
    SetFromInteger(d, n, exp10 + 1);
}

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
// round(m * 2^e2 * 10^k) with round-half-even, when it can be done exactly in
// 128/192-bit integers and fits 64 bits; false otherwise.
bool ScaleRound(uint64_t m, int e2, int k, uint64_t& out) {
    if (k >= 0) {
        if (k > 38 || e2 > 0) return false;
        u128 p = kPow10.v[k];
        // X = m * p as three 64-bit words.
        u128 lo = static_cast<u128>(m) * static_cast<uint64_t>(p);
        u128 hi = static_cast<u128>(m) * static_cast<uint64_t>(p >> 64);
        uint64_t w[3];
        w[0] = static_cast<uint64_t>(lo);
        u128 t = (lo >> 64) + static_cast<uint64_t>(hi);
        w[1] = static_cast<uint64_t>(t);
        w[2] = static_cast<uint64_t>(hi >> 64) + static_cast<uint64_t>(t >> 64);
        int s = -e2;
        if (s == 0) {
            if (w[1] || w[2]) return false;
            out = w[0];
            return true;
        }
        if (s >= 192) return false;
        // q = X >> s must fit 64 bits: every bit at or above s + 64 is zero.
        auto word = [&](int i) -> uint64_t { return i < 3 ? w[i] : 0; };
        int ws = s >> 6, bs = s & 63;
        uint64_t q, above;
        if (bs == 0) {
            q = word(ws);
            above = word(ws + 1) | word(ws + 2);
        } else {
            q = (word(ws) >> bs) | (word(ws + 1) << (64 - bs));
            above = (word(ws + 1) >> bs) | word(ws + 2);
        }
        if (above) return false;
        int hb = s - 1;
        bool half = (w[hb >> 6] >> (hb & 63)) & 1;
        int sw = hb >> 6, sb = hb & 63;
        bool sticky = sb && (w[sw] & ((uint64_t(1) << sb) - 1)) != 0;
        for (int i = 0; i < sw; ++i) sticky |= w[i] != 0;
        if (half && (sticky || (q & 1))) ++q;
        out = q;
        return true;
    }
    int j = -k;
    if (j > 38) return false;
    u128 x, den;
    if (e2 >= 0) {
        if (e2 > 63) return false;
        x = static_cast<u128>(m) << e2;
        den = kPow10.v[j];
    } else {
        if (BitLength(kPow10.v[j]) + (-e2) > 126) return false;
        x = m;
        den = kPow10.v[j] << (-e2);
    }
    u128 q = x / den;
    u128 r = x % den;
    if (2 * r > den || (2 * r == den && (q & 1))) ++q;
    if (q >> 64) return false;
    out = static_cast<uint64_t>(q);
    return true;
}
#endif

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
// The extended value v (finite, not zero) rounded to nearest at `count`
// significant digits: the integer n of exactly `count` digits and the
// exponent k with v ~ n / 10^k. False where the exact scaling does not reach.
bool RoundToDigits(long double v, int count, uint64_t& n, int& k) {
    uint64_t m;
    uint16_t se;
    std::memcpy(&m, &v, 8);
    std::memcpy(&se, reinterpret_cast<const char*>(&v) + 8, 2);
    const int biased = se & 0x7FFF;
    const int e2 = (biased == 0 ? 1 : biased) - 16383 - 63;
    if (biased == 0x7FFF || m == 0) return false;
    const uint64_t low = static_cast<uint64_t>(kPow10.v[count - 1]);
    const uint64_t high = static_cast<uint64_t>(kPow10.v[count]);
    const int b = (63 - __builtin_clzll(m)) + e2; // 2^b <= v < 2^(b+1)
    k = count - 1 - static_cast<int>(std::floor(b * 0.30102999566398120));
    for (int iter = 0; iter < 3; ++iter) {
        if (!ScaleRound(m, e2, k, n)) return false;
        if (n >= high)
            --k;
        else if (n < low)
            ++k;
        else
            return true;
    }
    return false;
}
#endif

// Writes v (finite, positive or zero) to kSigDigits significant digits,
// rounded to nearest.
void ToDecimal(long double v, Decimal& d) {
    if (v == 0) {
        d.count = 0;
        d.exponent = 0;
        return;
    }
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
    uint64_t n;
    int k;
    if (RoundToDigits(v, kSigDigits, n, k)) {
        SetFromInteger(d, n, kSigDigits - k);
        return;
    }
#endif
    DecimalBySnprintf(v, d);
}

} // namespace

void SignificantDigits(long double value, int count, char* digits, int& exponent,
                       bool& negative) {
    count = std::clamp(count, 1, kSigDigits);
    negative = std::signbit(value);
    const long double v = negative ? -value : value;
    exponent = 0;
    if (v == 0) {
        std::memset(digits, '0', static_cast<size_t>(count));
        return;
    }
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
    // The table factors come here by the thousand, and the C library's
    // conversion costs several times more.
    uint64_t n;
    int k;
    if (RoundToDigits(v, count, n, k)) {
        for (int i = count - 1; i >= 0; --i, n /= 10)
            digits[i] = static_cast<char>('0' + n % 10);
        exponent = count - 1 - k;
        return;
    }
#endif
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", count - 1, v);
    int nd = 0;
    const char* p = buf;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9' && nd < count) digits[nd++] = *p;
    while (nd < count) digits[nd++] = '0';
    exponent = *p ? std::atoi(p + 1) : 0;
}

namespace {

// Keeps `keep` leading digits, rounding half away from zero.
void RoundAt(Decimal& d, int keep) {
    if (keep >= d.count) return;
    if (keep < 0) {
        d.count = 0;
        d.exponent = 0;
        return;
    }
    bool up = d.digits[keep] >= '5';
    d.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') --i;
        if (i < 0) {
            d.digits[0] = '1';
            d.count = 1;
            d.exponent += 1;
            return;
        }
        d.digits[i] += 1;
        d.count = i + 1;
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    if (d.count == 0) d.exponent = 0;
}

void RoundDecimals(Decimal& d, int decimals) {
    if (d.count) RoundAt(d, d.exponent + decimals);
}

char DigitAt(const Decimal& d, int index) {
    return index >= 0 && index < d.count ? d.digits[index] : '0';
}

// Integer digits of d ("" for a value below one), with thousands grouping.
void AppendInteger(std::string& out, const Decimal& d, bool grouped, int minDigits) {
    int len = d.exponent > 0 ? d.exponent : 0;
    int total = len > minDigits ? len : minDigits;
    int pad = total - len;
    for (int p = 0; p < total; ++p) {
        out += p < pad ? '0' : DigitAt(d, p - pad);
        int rest = total - 1 - p;
        if (grouped && rest > 0 && rest % 3 == 0) out += FormatSettings.ThousandSeparator;
    }
}

void AppendExponent(std::string& out, int exp, bool alwaysSign, int minDigits) {
    if (exp < 0) {
        out += '-';
        exp = -exp;
    } else if (alwaysSign) {
        out += '+';
    }
    char buf[12];
    int n = 0;
    do {
        buf[n++] = static_cast<char>('0' + exp % 10);
        exp /= 10;
    } while (exp);
    for (int i = n; i < minDigits; ++i) out += '0';
    while (n) out += buf[--n];
}

bool NonFinite(long double value, std::string& out) {
    if (std::isnan(value)) {
        out = "NAN";
        return true;
    }
    if (std::isinf(value)) {
        out = value < 0 ? "-INF" : "INF";
        return true;
    }
    return false;
}

// ---- FormatFloat -----------------------------------------------------------

struct Section {
    const char* begin = nullptr;
    const char* end = nullptr;
    bool empty() const { return begin == end; }
};

struct SectionInfo {
    int intPlaces = 0;
    int firstZeroInt = -1;  // index of the first '0' among the integer places
    int decPlaces = 0;
    int lastZeroDec = 0;  // decimals that are always printed
    bool thousands = false;
    bool scientific = false;
};

const char* SkipQuoted(const char* p, const char* end) {
    char q = *p++;
    while (p < end && *p != q) ++p;
    return p < end ? p + 1 : end;
}

bool IsExponentAt(const char* p, const char* end) {
    return (*p == 'E' || *p == 'e') && p + 1 < end && (p[1] == '+' || p[1] == '-');
}

SectionInfo ScanSection(const Section& s) {
    SectionInfo info;
    bool afterPoint = false;
    for (const char* p = s.begin; p < s.end;) {
        char c = *p;
        if (c == '"' || c == '\'') {
            p = SkipQuoted(p, s.end);
            continue;
        }
        if (IsExponentAt(p, s.end)) {
            // Whatever follows the exponent is printed as written.
            info.scientific = true;
            break;
        }
        switch (c) {
        case '0':
        case '#':
            if (afterPoint) {
                ++info.decPlaces;
                if (c == '0') info.lastZeroDec = info.decPlaces;
            } else {
                if (c == '0' && info.firstZeroInt < 0) info.firstZeroInt = info.intPlaces;
                ++info.intPlaces;
            }
            break;
        case '.':
            afterPoint = true;
            break;
        case ',':
            if (!afterPoint) info.thousands = true;
            break;
        default:
            break;
        }
        ++p;
    }
    return info;
}

// Rounds d as the section prints it.
void RoundForSection(Decimal& d, const SectionInfo& info) {
    if (info.scientific) {
        int sig = info.intPlaces + info.decPlaces;
        RoundAt(d, sig > 0 ? sig : 1);
    } else {
        RoundDecimals(d, info.decPlaces);
    }
}

void ApplySection(std::string& out, const Section& s, const SectionInfo& info, const Decimal& d) {
    const char dsep = FormatSettings.DecimalSeparator;
    const char tsep = FormatSettings.ThousandSeparator;
    // The digits as the section lays them out.
    int intTotal;       // integer digits printed, leading zeros included
    int intPad;         // leading zeros among them
    int fracStart;      // index into d.digits of the first fraction digit
    int expValue = 0;
    bool grouped = info.thousands && !info.scientific;
    if (info.scientific) {
        intTotal = info.intPlaces;
        intPad = 0;
        fracStart = info.intPlaces;
        if (d.count) expValue = d.exponent - info.intPlaces;
    } else {
        int len = d.exponent > 0 ? d.exponent : 0;
        int minDigits = info.firstZeroInt >= 0 ? info.intPlaces - info.firstZeroInt : 0;
        intTotal = len > minDigits ? len : minDigits;
        intPad = intTotal - len;
        fracStart = d.exponent;
    }
    int fracShown = info.decPlaces;
    while (fracShown > info.lastZeroDec && DigitAt(d, fracStart + fracShown - 1) == '0')
        --fracShown;

    int next = 0;  // next integer digit to print
    auto emitIntegerUpTo = [&](int end) {
        for (; next < end; ++next) {
            out += next < intPad ? '0' : DigitAt(d, next - intPad);
            int rest = intTotal - 1 - next;
            if (grouped && rest > 0 && rest % 3 == 0) out += tsep;
        }
    };

    int intIndex = 0, decIndex = 0;
    bool afterPoint = false;
    for (const char* p = s.begin; p < s.end;) {
        char c = *p;
        if (c == '"' || c == '\'') {
            const char* close = std::find(p + 1, s.end, c);
            out.append(p + 1, close);
            p = close < s.end ? close + 1 : s.end;
            continue;
        }
        if (info.scientific && IsExponentAt(p, s.end)) {
            if (!afterPoint) emitIntegerUpTo(intTotal);
            out += c;
            bool alwaysSign = p[1] == '+';
            p += 2;
            int zeros = 0;
            while (p < s.end && *p == '0') {
                ++zeros;
                ++p;
            }
            AppendExponent(out, expValue, alwaysSign, zeros);
            out.append(p, s.end);
            return;
        }
        switch (c) {
        case '0':
        case '#':
            if (afterPoint) {
                if (decIndex < fracShown) out += DigitAt(d, fracStart + decIndex);
                ++decIndex;
            } else {
                emitIntegerUpTo(intTotal - info.intPlaces + intIndex + 1);
                ++intIndex;
            }
            break;
        case '.':
            if (!afterPoint) {
                afterPoint = true;
                emitIntegerUpTo(intTotal);
                if (fracShown > 0) out += dsep;
            }
            break;
        case ',':
            break;
        default:
            out += c;
            break;
        }
        ++p;
    }
    if (!afterPoint && info.intPlaces > 0) emitIntegerUpTo(intTotal);
}

std::string GeneralFormat(long double value, int precision, int expDigits);

} // namespace

std::string FormatFloat(const std::string& format, long double value) {
    std::string out;
    if (NonFinite(value, out)) return out;
    if (format.empty()) return GeneralFormat(value, 15, 0);

    Section sections[3];
    int nsec = 0;
    const char* f = format.data();
    const char* end = f + format.size();
    sections[0].begin = f;
    for (const char* p = f; p < end;) {
        if (*p == '"' || *p == '\'') {
            p = SkipQuoted(p, end);
            continue;
        }
        if (*p == ';') {
            sections[nsec].end = p;
            if (++nsec == 3) break;
            sections[nsec].begin = p + 1;
        }
        ++p;
    }
    if (nsec < 3) sections[nsec++].end = end;

    if (sections[0].empty()) return GeneralFormat(value, 15, 0);

    bool negative = std::signbit(value);
    Decimal d;
    ToDecimal(negative ? -value : value, d);

    SectionInfo info = ScanSection(sections[0]);
    Decimal r = d;
    RoundForSection(r, info);
    if (r.count == 0) {
        if (nsec >= 3 && !sections[2].empty()) {
            SectionInfo zinfo = ScanSection(sections[2]);
            ApplySection(out, sections[2], zinfo, r);
        } else {
            ApplySection(out, sections[0], info, r);
        }
        return out;
    }
    if (negative) {
        if (nsec >= 2 && !sections[1].empty()) {
            SectionInfo ninfo = ScanSection(sections[1]);
            Decimal n = d;
            RoundForSection(n, ninfo);
            ApplySection(out, sections[1], ninfo, n);
            return out;
        }
        out += '-';
    }
    ApplySection(out, sections[0], info, r);
    return out;
}

// ---- FloatToStrF ------------------------------------------------------------

namespace {

void AppendFraction(std::string& out, const Decimal& d, int from, int count) {
    if (count <= 0) return;
    out += FormatSettings.DecimalSeparator;
    for (int i = 0; i < count; ++i) out += DigitAt(d, from + i);
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Mantissa "d,ddd" with `decimals` fraction digits (trailing zeros dropped when
// `trim`), then "E" and the exponent.
void AppendScientific(std::string& out, const Decimal& d, int decimals, bool trim,
                      bool alwaysSign, int expDigits) {
    out += d.count ? d.digits[0] : '0';
    if (trim) {
        int last = d.count > 1 ? d.count - 1 : 0;
        decimals = decimals < last ? decimals : last;
    }
    AppendFraction(out, d, 1, decimals);
    out += 'E';
    AppendExponent(out, d.count ? d.exponent - 1 : 0, alwaysSign, expDigits);
}

std::string GeneralFormat(long double value, int precision, int expDigits) {
    std::string out;
    if (NonFinite(value, out)) return out;
    precision = Clamp(precision, 1, kSigDigits);
    bool negative = std::signbit(value);
    Decimal d;
    ToDecimal(negative ? -value : value, d);
    RoundAt(d, precision);
    if (d.count == 0) return "0";
    if (negative) out += '-';
    if (d.exponent > precision || d.exponent < -4) {
        AppendScientific(out, d, d.count - 1, true, false, Clamp(expDigits, 0, 4));
    } else {
        if (d.exponent > 0)
            AppendInteger(out, d, false, 1);
        else
            out += '0';
        AppendFraction(out, d, d.exponent, d.count - d.exponent);
    }
    return out;
}

void PlaceCurrency(std::string& out, const std::string& amount, bool negative) {
    const std::string& c = FormatSettings.CurrencyString;
    if (!negative) {
        switch (FormatSettings.CurrencyFormat) {
        case 0: out = c + amount; break;
        case 1: out = amount + c; break;
        case 3: out = amount + " " + c; break;
        default: out = c + " " + amount; break;
        }
        return;
    }
    switch (FormatSettings.NegCurrFormat) {
    case 0: out = "(" + c + amount + ")"; break;
    case 1: out = "-" + c + amount; break;
    case 2: out = c + "-" + amount; break;
    case 3: out = c + amount + "-"; break;
    case 4: out = "(" + amount + c + ")"; break;
    case 5: out = "-" + amount + c; break;
    case 6: out = amount + "-" + c; break;
    case 7: out = amount + c + "-"; break;
    case 8: out = "-" + amount + " " + c; break;
    case 9: out = "-" + c + " " + amount; break;
    case 10: out = amount + " " + c + "-"; break;
    case 11: out = c + " " + amount + "-"; break;
    case 13: out = amount + "- " + c; break;
    case 14: out = "(" + c + " " + amount + ")"; break;
    case 15: out = "(" + amount + " " + c + ")"; break;
    default: out = c + " -" + amount; break;
    }
}

} // namespace

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits) {
    std::string out;
    if (NonFinite(value, out)) return out;
    precision = Clamp(precision, 1, kSigDigits);
    bool negative = std::signbit(value);
    Decimal d;
    ToDecimal(negative ? -value : value, d);
    switch (format) {
    case TFloatFormat::ffGeneral:
        return GeneralFormat(value, precision, digits);
    case TFloatFormat::ffExponent:
        RoundAt(d, precision);
        if (negative && d.count) out += '-';
        AppendScientific(out, d, precision - 1, false, true, Clamp(digits, 0, 4));
        return out;
    case TFloatFormat::ffFixed:
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency: {
        digits = Clamp(digits, 0, kSigDigits);
        if (format != TFloatFormat::ffCurrency) {
            if (d.exponent > precision) return GeneralFormat(value, precision, 0);
            RoundAt(d, precision);
        }
        RoundDecimals(d, digits);
        bool grouped = format != TFloatFormat::ffFixed;
        std::string amount;
        AppendInteger(amount, d, grouped, 1);
        AppendFraction(amount, d, d.exponent, digits);
        bool neg = negative && d.count;
        if (format == TFloatFormat::ffCurrency) {
            PlaceCurrency(out, amount, neg);
            return out;
        }
        if (neg) out += '-';
        out += amount;
        return out;
    }
    }
    return out;
}

std::string FloatToStr(long double value) { return GeneralFormat(value, 15, 0); }

std::string CurrToStr(long double value) {
    // The currency type holds four decimals.
    std::string out;
    if (NonFinite(value, out)) return out;
    bool negative = std::signbit(value);
    Decimal d;
    ToDecimal(negative ? -value : value, d);
    RoundDecimals(d, 4);
    if (d.count == 0) return "0";
    if (negative) out += '-';
    AppendInteger(out, d, false, 1);
    AppendFraction(out, d, d.exponent, d.count - d.exponent);
    return out;
}

// ---- Parsing -----------------------------------------------------------------

namespace {

struct Pow10LD {
    long double v[28];
    constexpr Pow10LD() : v() {
        long double r = 1;
        for (int i = 0; i < 28; ++i) {
            v[i] = r;
            r *= 10;
        }
    }
};
// 10^0 .. 10^27 are exact in the 64-bit mantissa.
constexpr Pow10LD kPow10LD;

locale_t CLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

bool ParseFloat(const std::string& text, long double& value) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && *p == ' ') ++p;
    while (end > p && end[-1] == ' ') --end;
    if (p == end) return false;
    const char* start = p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    uint64_t mant = 0;
    int sig = 0;       // significant digits taken into mant
    int dropped = 0;   // significant digits beyond what mant can hold
    int scale = 0;     // decimal exponent of mant
    int digits = 0;
    bool point = false;
    const char dsep = FormatSettings.DecimalSeparator;
    for (; p < end; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9') {
            ++digits;
            if (sig == 0 && c == '0') {
                if (point) --scale;
                continue;
            }
            if (sig < 19) {
                mant = mant * 10 + static_cast<uint64_t>(c - '0');
                ++sig;
                if (point) --scale;
            } else {
                ++dropped;
                if (!point) ++scale;
            }
        } else if (c == dsep && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    long long exp10 = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool expNeg = false;
        if (p < end && (*p == '+' || *p == '-')) {
            expNeg = *p == '-';
            ++p;
        }
        if (p == end || *p < '0' || *p > '9') return false;
        for (; p < end && *p >= '0' && *p <= '9'; ++p)
            if (exp10 < 100000) exp10 = exp10 * 10 + (*p - '0');
        if (expNeg) exp10 = -exp10;
    }
    if (p != end) return false;

    long double v;
    long long total = exp10 + scale;
    if (mant == 0) {
        v = 0;
    } else if (dropped == 0 && total >= -27 && total <= 27) {
        // One correctly rounded operation on exact operands.
        v = static_cast<long double>(mant);
        if (total > 0)
            v *= kPow10LD.v[total];
        else if (total < 0)
            v /= kPow10LD.v[-total];
    } else {
        std::string buf(start, end);
        for (char& c : buf)
            if (c == dsep) c = '.';
        v = strtold_l(buf.c_str(), nullptr, CLocale());
        value = v;
        return std::isfinite(v);
    }
    value = negative ? -v : v;
    return std::isfinite(value);
}

template <typename T>
bool ParseInt(const std::string& text, T& value) {
    using U = std::make_unsigned_t<T>;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    bool hex = false;
    if (p < end && (*p == '$' || *p == 'x' || *p == 'X')) {
        hex = true;
        ++p;
    } else if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p == end) return false;
    U acc = 0;
    const U maxU = static_cast<U>(-1);
    for (; p < end; ++p) {
        unsigned dgt;
        char c = *p;
        if (c >= '0' && c <= '9')
            dgt = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            dgt = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            dgt = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        unsigned base = hex ? 16 : 10;
        if (acc > (maxU - dgt) / base) return false;
        acc = acc * base + dgt;
    }
    const U limit = static_cast<U>(std::numeric_limits<T>::max());
    if (hex) {
        // Hexadecimal text covers the whole bit pattern, as the runtime's does.
        T v = static_cast<T>(acc);
        value = negative ? static_cast<T>(U(0) - acc) : v;
        return true;
    }
    if (negative) {
        if (acc > limit + 1) return false;
        value = static_cast<T>(U(0) - acc);
    } else {
        if (acc > limit) return false;
        value = static_cast<T>(acc);
    }
    return true;
}

} // namespace

long double StrToFloat(const std::string& text) {
    long double v;
    if (!ParseFloat(text, v))
        throw EConvertError("'" + text + "' não é um número válido");
    return v;
}

bool TryStrToFloat(const std::string& text, long double& value) {
    long double v;
    if (!ParseFloat(text, v)) return false;
    value = v;
    return true;
}

long double StrToFloatDef(const std::string& text, long double defaultValue) {
    long double v;
    return ParseFloat(text, v) ? v : defaultValue;
}

int StrToInt(const std::string& text) {
    int v;
    if (!ParseInt(text, v)) throw EConvertError("'" + text + "' não é um número inteiro válido");
    return v;
}

bool TryStrToInt(const std::string& text, int& value) { return ParseInt(text, value); }

int StrToIntDef(const std::string& text, int defaultValue) {
    int v;
    return ParseInt(text, v) ? v : defaultValue;
}

int64_t StrToInt64(const std::string& text) {
    int64_t v;
    if (!ParseInt(text, v)) throw EConvertError("'" + text + "' não é um número inteiro válido");
    return v;
}

bool TryStrToInt64(const std::string& text, int64_t& value) { return ParseInt(text, value); }

std::string IntToStr(int64_t value) {
    char buf[24];
    int n = 0;
    uint64_t u = value < 0 ? uint64_t(0) - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        buf[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    std::string out;
    out.reserve(n + 1);
    if (value < 0) out += '-';
    while (n) out += buf[--n];
    return out;
}

std::string IntToHex(int64_t value, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    uint64_t u = static_cast<uint64_t>(value);
    char buf[16];
    int n = 0;
    do {
        buf[n++] = hex[u & 15];
        u >>= 4;
    } while (u);
    std::string out;
    digits = Clamp(digits, 0, 32);
    for (int i = n; i < digits; ++i) out += '0';
    while (n) out += buf[--n];
    return out;
}
