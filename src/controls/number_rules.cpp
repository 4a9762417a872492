#include "controls/number_rules.h"

#include <algorithm>
#include <cmath>

#include "controls/str_utils.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace CurrEdit {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a number text as the grammar reads them.
struct TNumberScan {
    bool prefixOk = false;   // S can still grow into a number
    bool complete = false;   // S is a whole number
    std::string canonical;   // sign, integer digits, separator and fraction, exponent
};

TNumberScan Scan(const std::string& S) {
    TNumberScan scan;
    const char sep = FormatSettings.DecimalSeparator;
    size_t i = 0, n = S.size();
    std::string sign, intPart, fracPart, expPart;
    if (i < n && (S[i] == '+' || S[i] == '-')) {
        if (S[i] == '-') sign = "-";
        ++i;
    }
    while (i < n && IsDigit(S[i])) intPart += S[i++];
    if (i < n && S[i] == sep) {
        ++i;
        while (i < n && IsDigit(S[i])) fracPart += S[i++];
    }
    const bool mantissa = !intPart.empty() || !fracPart.empty();
    bool expStarted = false;
    if (i < n && (S[i] == 'E' || S[i] == 'e')) {
        if (!mantissa) return scan;
        expStarted = true;
        ++i;
        if (i < n && (S[i] == '+' || S[i] == '-')) expPart += S[i++];
        size_t digitsFrom = expPart.size();
        while (i < n && IsDigit(S[i])) expPart += S[i++];
        if (expPart.size() == digitsFrom) {
            scan.prefixOk = i == n;
            return scan;
        }
    }
    if (i != n) return scan;
    scan.prefixOk = true;
    if (!mantissa) return scan;
    scan.complete = true;
    scan.canonical = sign + (intPart.empty() ? std::string("0") : intPart);
    if (!fracPart.empty()) scan.canonical += sep + fracPart;
    if (expStarted) scan.canonical += "E" + expPart;
    return scan;
}

// EditText with [SelStart, SelStart + SelLength) (0-based, clipped to the
// text) replaced by Insert.
std::string WithSelectionReplaced(const std::string& EditText, int SelStart, int SelLength, const std::string& Insert) {
    const int len = int(EditText.size());
    SelStart = std::clamp(SelStart, 0, len);
    SelLength = std::clamp(SelLength, 0, len - SelStart);
    return EditText.substr(0, SelStart) + Insert + EditText.substr(SelStart + SelLength);
}

}  // namespace

std::string NormalizeNumberText(const std::string& S) {
    const char dec = FormatSettings.DecimalSeparator;
    const char thou = FormatSettings.ThousandSeparator;
    std::string result = StrUtils::TrimBlanks(S);
    if (dec != thou) result = StrUtils::StripChar(result, thou);
    if (dec != '.' && thou != '.') result = StrUtils::ReplaceAll(result, ".", std::string(1, dec));
    if (dec != ',' && thou != ',') result = StrUtils::ReplaceAll(result, ",", std::string(1, dec));
    if (result.empty()) return "0";
    if (result == "-") return "-0";
    return result;
}

bool TryReadNumber(const std::string& S, long double& R) {
    TNumberScan scan = Scan(S);
    if (!scan.complete) return false;
    long double value;
    if (!TryStrToFloat(scan.canonical, value) || !std::isfinite(value)) return false;
    R = value;
    return true;
}

long double ReadNumber(const std::string& S) {
    long double value;
    if (!TryReadNumber(S, value)) throw EConvertError("'" + S + "' não é um número válido");
    return value;
}

bool TryTextToFloat(const std::string& S, long double& R) {
    const char sep = FormatSettings.DecimalSeparator;
    for (char c : S) {
        if (!(IsDigit(c) || c == '+' || c == '-' || c == 'E' || c == 'e' || c == sep)) return false;
    }
    return TryReadNumber(S.substr(0, 63), R);
}

bool IsNumberPrefix(const std::string& S) { return Scan(S).prefixOk; }

bool ThousandsWellPlaced(std::string_view S) {
    const char thou = FormatSettings.ThousandSeparator;
    size_t i = (!S.empty() && (S[0] == '-' || S[0] == '+')) ? 1 : 0;
    const char integerEnds[] = {FormatSettings.DecimalSeparator, 'E', 'e', '\0'};
    size_t end = S.find_first_of(integerEnds, i);
    if (end == std::string::npos) end = S.size();
    if (S.find(thou, end) != std::string::npos) return false;  // none past the integer part
    if (S.find(thou, i) == std::string::npos) return true;
    int group = 0;
    bool first = true;
    for (; i < end; ++i) {
        if (IsDigit(S[i])) {
            ++group;
        } else if (S[i] == thou) {
            if (group == 0 || group > 3 || (!first && group != 3)) return false;
            first = false;
            group = 0;
        } else {
            return false;
        }
    }
    return group == 3;
}

bool TryReadAmount(const std::string& S, long double& R) {
    return ThousandsWellPlaced(StrUtils::TrimBlanks(S)) && TryReadNumber(NormalizeNumberText(S), R) &&
           std::fabs(R) < kMaxAmount;
}

bool HoldsMoney(int Decimals, long double MinValue, long double MaxValue) {
    if (Decimals != 2) return false;
    const bool upperBound = MaxValue > MinValue || (MaxValue < MinValue && MinValue == 0);
    return !upperBound || MaxValue >= 1000;
}

bool TryReadDecimal(const std::string& S, long double& R) {
    std::string t = StrUtils::TrimBlanks(S);
    std::replace(t.begin(), t.end(), '.', FormatSettings.DecimalSeparator);
    if (t.empty() || t == "-") t += '0';
    return TryReadNumber(t, R) && std::fabs(R) < kMaxAmount;
}

int DecimalsOf(std::string_view S) {
    const size_t p = S.find(FormatSettings.DecimalSeparator);
    if (p == std::string_view::npos) return 0;
    const size_t e = S.find_first_of("Ee", p + 1);
    return int((e == std::string_view::npos ? S.size() : e) - p - 1);
}

bool TakesThousandsPoint(const std::string& EditText, int SelStart, int SelLength) {
    const std::string rest = WithSelectionReplaced(EditText, SelStart, SelLength, "");
    if (rest.find(FormatSettings.DecimalSeparator) != std::string::npos) return false;
    const std::string before = rest.substr(0, std::clamp(SelStart, 0, int(rest.size())));
    size_t i = (!before.empty() && (before[0] == '-' || before[0] == '+')) ? 1 : 0;
    if (i == before.size() || !IsDigit(before.back())) return false;
    for (; i < before.size(); ++i)
        if (!IsDigit(before[i]) && before[i] != FormatSettings.ThousandSeparator) return false;
    return true;
}

std::string GroupDigits(const std::string& S, bool Thousands) {
    std::string sign, rest = S;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        sign = rest.substr(0, 1);
        rest.erase(0, 1);
    }
    size_t end = rest.find_first_of(std::string(1, FormatSettings.DecimalSeparator) + "Ee");
    if (end == std::string::npos) end = rest.size();
    const std::string digits = rest.substr(0, end);
    std::string grouped;
    int count = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        grouped.insert(grouped.begin(), digits[i]);
        ++count;
        if (Thousands && count % 3 == 0 && i > 0) grouped.insert(grouped.begin(), FormatSettings.ThousandSeparator);
    }
    return sign + grouped + rest.substr(end);
}

long double ClampToBounds(long double V, long double MinValue, long double MaxValue) {
    if (MaxValue == MinValue) return V;
    if (MaxValue > MinValue) {
        if (V < MinValue) return MinValue;
        if (V > MaxValue) return MaxValue;
    } else if (MaxValue == 0) {
        if (V < MinValue) return MinValue;
    } else if (MinValue == 0) {
        if (V > MaxValue) return MaxValue;
    }
    return V;
}

std::string RangeErrorMessage(long double MinValue, long double MaxValue, int Decimals) {
    std::string format = "0";
    if (Decimals > 0) format += "." + StrUtils::RepeatChar('0', Decimals);
    return "Value must be between " + FormatFloat(format, MinValue) + " and " + FormatFloat(format, MaxValue);
}

std::string EditFormat(int Decimals) {
    std::string format = "0";
    if (Decimals > 0) format += "." + StrUtils::RepeatChar('#', Decimals);
    return format;
}

std::string EditTextFor(long double V, int Decimals, bool ZeroEmpty) {
    if (!std::isfinite(V)) return std::string();
    if (V == 0 && ZeroEmpty) return std::string();
    return FormatFloat(EditFormat(Decimals), V);
}

bool KeyKeepsNumber(const std::string& EditText, int SelStart, int SelLength, char Key, int Decimals,
                    long double MinValue, long double MaxValue) {
    const std::string s = NormalizeNumberText(WithSelectionReplaced(EditText, SelStart, SelLength, std::string(1, Key)));
    const char sep = FormatSettings.DecimalSeparator;
    size_t p = s.find(sep);
    if (p != std::string::npos) {
        if (Decimals <= 0) return false;
        size_t e = s.find_first_of("Ee", p + 1);
        size_t decimals = (e != std::string::npos ? e : s.size()) - p - 1;
        if (decimals > size_t(Decimals < 0 ? 0 : Decimals)) return false;
    }
    long double r = 0;
    if (!TryTextToFloat(s, r)) {
        // A number may begin with its decimal separator (",5"), signed or not.
        const size_t signs = (s[0] == '-' || s[0] == '+') ? 1 : 0;
        if (s.size() != signs + 1 || s[signs] != sep) return false;
    }
    if (MinValue >= 0 && MaxValue > 0 && (r < 0 || s[0] == '-')) return false;
    return true;
}

std::string DefaultNumberFormat() { return ",0.##"; }

std::string DefaultCurrencyFormat() {
    std::string f = ",0." + StrUtils::RepeatChar('0', FormatSettings.CurrencyDecimals);
    std::string c;
    for (char ch : FormatSettings.CurrencyString) {
        if (ch == ',' || ch == '.')
            c += std::string("'") + ch + "'";
        else
            c += ch;
    }
    if (!c.empty()) {
        switch (FormatSettings.CurrencyFormat) {
            case 0: f = c + f; break;
            case 1: f = f + c; break;
            case 2: f = c + " " + f; break;
            case 3: f = f + " " + c; break;
            default: break;
        }
    }
    return f + ";-" + f;
}

}  // namespace CurrEdit
