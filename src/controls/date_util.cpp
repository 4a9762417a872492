#include "controls/date_util.h"

#include <algorithm>
#include <cmath>

#include "controls/str_utils.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

namespace DateUtil {

namespace {

const int kDaysPerMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// TDateTime of 01/01/0001 and of 31/12/9999.
constexpr double kMinDateTime = -693593.0;
constexpr double kMaxDateTime = 2958466.0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

}  // namespace

bool IsLeapYear(int AYear) { return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0; }

int DaysInMonth(int AYear, int AMonth) {
    if (AMonth < 1 || AMonth > 12) return 0;
    int days = kDaysPerMonth[AMonth - 1];
    if (AMonth == 2 && IsLeapYear(AYear)) ++days;
    return days;
}

bool IsValidDate(int Y, int M, int D) {
    return Y >= 1 && Y <= 9999 && M >= 1 && M <= 12 && D >= 1 && D <= DaysInMonth(Y, M);
}

bool IsValidDateTime(TDateTime ADate) {
    if (!std::isfinite(ADate) || ADate < kMinDateTime || ADate >= kMaxDateTime) return false;
    try {
        int y, m, d;
        DecodeDate(ADate, y, m, d);
        return IsValidDate(y, m, d);
    } catch (const Exception&) {
        return false;
    }
}

int LocalYear() {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
}

TDateFieldOrder DateOrderOf(const std::string& DateFormat) {
    for (char c : DateFormat) {
        switch (c & ~0x20) {
            case 'D': return doDMY;
            case 'E':
            case 'Y': return doYMD;
            case 'M': return doMDY;
            default: break;
        }
    }
    return doDMY;
}

int WindowYear(int Year) {
    if (Year >= 100) return Year;
    int n = LocalYear() - YearWindowOffset;
    Year += n / 100 * 100;
    if (YearWindowOffset > 0 && Year < n) Year += 100;
    return Year;
}

void SkipSpaces(const std::string& S, int& Pos) {
    while (Pos <= int(S.size()) && S[Pos - 1] == ' ') ++Pos;
}

bool ReadNumber(const std::string& S, int MaxLength, int& Pos, int& N) {
    SkipSpaces(S, Pos);
    int digits = 0;
    int value = 0;
    while (Pos <= int(S.size()) && IsDigit(S[Pos - 1]) && digits < MaxLength && value < 1000) {
        value = value * 10 + (S[Pos - 1] - '0');
        ++Pos;
        ++digits;
    }
    if (digits == 0) return false;
    N = value;
    return true;
}

bool ReadChar(const std::string& S, int& Pos, char Ch) {
    SkipSpaces(S, Pos);
    if (Pos <= int(S.size()) && S[Pos - 1] == Ch) {
        ++Pos;
        return true;
    }
    return false;
}

void SkipToDigit(const std::string& S, int& Pos) {
    // Windows-1252 has no lead bytes, so there is nothing to step over.
    while (Pos <= int(S.size()) && !IsDigit(S[Pos - 1])) ++Pos;
}

TFarEastSettings FarEastSettings;

namespace {

// Whether S from Pos begins with Prefix, case aside.
bool TextAt(const std::string& S, int Pos, const std::string& Prefix) {
    return AnsiUpperCase(S.substr(std::min<size_t>(Pos - 1, S.size()), Prefix.size())) == AnsiUpperCase(Prefix);
}

}  // namespace

bool ReadDateFreeForm(const std::string& S, const std::string& DateFormat, int& Pos, int& Y, int& M,
                      int& D) {
    Y = M = D = 0;
    const TDateFieldOrder order = DateOrderOf(DateFormat);
    const char sep = FormatSettings.DateSeparator;
    const int maxLen = 0x7FFFFFFF;
    if (!FormatSettings.ShortDateFormat.empty() && FormatSettings.ShortDateFormat[0] == 'g')
        SkipToDigit(S, Pos);
    int n1, n2, n3;
    if (!ReadNumber(S, maxLen, Pos, n1) || !ReadChar(S, Pos, sep) || !ReadNumber(S, maxLen, Pos, n2))
        return false;
    if (ReadChar(S, Pos, sep)) {
        if (!ReadNumber(S, maxLen, Pos, n3)) return false;
        switch (order) {
            case doMDY: M = n1, D = n2, Y = n3; break;
            case doDMY: D = n1, M = n2, Y = n3; break;
            case doYMD: Y = n1, M = n2, D = n3; break;
        }
        Y = WindowYear(Y);
    } else {
        Y = LocalYear();
        if (order == doDMY) {
            D = n1;
            M = n2;
        } else {
            M = n1;
            D = n2;
        }
    }
    ReadChar(S, Pos, sep);
    SkipSpaces(S, Pos);
    if (FarEastSettings.FarEast && FormatSettings.ShortDateFormat.find("ddd") != std::string::npos) {
        const std::string& timeFormat = FormatSettings.ShortTimeFormat;
        if (!timeFormat.empty() && IsDigit(timeFormat[0])) {
            SkipToDigit(S, Pos);
        } else {
            do {
                while (Pos <= int(S.size()) && S[Pos - 1] != ' ') ++Pos;
                SkipSpaces(S, Pos);
            } while (Pos <= int(S.size()) && !TextAt(S, Pos, FarEastSettings.TimeAMString) &&
                     !TextAt(S, Pos, FarEastSettings.TimePMString));
        }
    }
    return IsValidDate(Y, M, D) && Pos > int(S.size());
}

int MonthByName(const std::string& S, int MaxLen) {
    if (S.empty() || MaxLen <= 0) return 0;
    const std::string want = AnsiUpperCase(S.substr(0, MaxLen));
    for (int m = 1; m <= 12; ++m) {
        const std::string& name = FormatSettings.LongMonthNames[m - 1];
        if (name.empty()) continue;
        if (AnsiUpperCase(name.substr(0, MaxLen)) == want) return m;
    }
    return 0;
}

void ReadFieldAt(const std::string& Format, const std::string& S, char Ch, int Cnt, int& I, int Blank,
                 int Default) {
    I = Default;
    Ch = UpperAscii(Ch);
    int len = int(Format.size());
    if (int(S.size()) < len)
        len = int(S.size());
    else if (int(S.size()) > len)
        return;
    const std::string upper = AnsiUpperCase(Format);
    size_t at = upper.find(StrUtils::RepeatChar(Ch, Cnt));
    if (at == std::string::npos) return;
    std::string field;
    for (int j = int(at) + 1; j <= len && UpperAscii(Format[j - 1]) == Ch; ++j) {
        if (S[j - 1] != ' ' && field.size() < 20) field += S[j - 1];
    }
    if (field.empty())
        I = Blank;
    else if (Cnt > 1) {
        I = MonthByName(field, int(field.size()));
        if (I == 0) I = -1;
    } else
        I = StrToIntDef(field, -1);
}

bool ReadDateParts(const std::string& Format, const std::string& S, int& D, int& M, int& Y) {
    ReadFieldAt(Format, S, 'm', 3, M, -1, 0);
    if (M == 0) ReadFieldAt(Format, S, 'm', 1, M, -1, 0);
    ReadFieldAt(Format, S, 'd', 1, D, -1, 1);
    ReadFieldAt(Format, S, 'y', 1, Y, -1, LocalYear());
    Y = WindowYear(Y);
    if (IsValidDate(Y, M, D)) return true;
    int pos = 1;
    return ReadDateFreeForm(S, Format, pos, Y, M, D);
}

bool NamesNoDay(const std::string& Format, const std::string& S) {
    int d, m, y;
    ReadFieldAt(Format, S, 'd', 1, d, -1, 1);
    ReadFieldAt(Format, S, 'm', 1, m, -1, 0);
    ReadFieldAt(Format, S, 'y', 1, y, -1, LocalYear());
    if (d < 1 || m < 1) return false;
    return m > 12 || d > DaysInMonth(WindowYear(y), m);
}

bool TextToDate(const std::string& DateFormat, const std::string& S, TDateTime& ADate) {
    if (S.empty()) {
        ADate = NoDate;
        return true;
    }
    int d, m, y;
    if (!ReadDateParts(DateFormat, S, d, m, y)) return false;
    try {
        ADate = EncodeDate(y, m, d);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

TDateTime StrToDateWithFormat(const std::string& DateFormat, const std::string& S) {
    TDateTime result;
    if (!TextToDate(DateFormat, S, result)) throw EConvertError("'" + S + "' não é uma data válida");
    return result;
}

bool UseFourDigitYear() {
    static const bool fourDigits =
        AnsiUpperCase(FormatSettings.ShortDateFormat).find("YYYY") != std::string::npos;
    return fourDigits;
}

}  // namespace DateUtil

TDateTime ParseDateWithFormat(const std::string& DateFormat, const std::string& S, TDateTime Default) {
    TDateTime result;
    if (DateUtil::TextToDate(DateFormat, S, result)) return result;
    return std::trunc(Default);
}

std::string DefaultDateFormat(bool FourDigitYear) {
    switch (DateUtil::DateOrderOf(FormatSettings.ShortDateFormat)) {
        case DateUtil::doMDY: return FourDigitYear ? "MM/DD/YYYY" : "MM/DD/YY";
        case DateUtil::doYMD: return FourDigitYear ? "YYYY/MM/DD" : "YY/MM/DD";
        case DateUtil::doDMY: break;
    }
    return FourDigitYear ? "DD/MM/YYYY" : "DD/MM/YY";
}

std::string DefaultDateEditMask(char BlanksChar, bool FourDigitYear) {
    std::string mask;
    if (!FourDigitYear)
        mask = "!99/99/99;1;";
    else if (DateUtil::DateOrderOf(FormatSettings.ShortDateFormat) == DateUtil::doYMD)
        mask = "!9999/99/99;1;";
    else
        mask = "!99/99/9999;1;";
    return mask + BlanksChar;
}
