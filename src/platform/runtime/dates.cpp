#include "platform/runtime/dates.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace {

constexpr long long kMSecsPerDay = 86400000;

// Days since 01/01/1970 of a proleptic Gregorian date (and back).
constexpr long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

constexpr long long kEpochDays = DaysFromCivil(1899, 12, 30);
// 01/01/0001 and 31/12/9999 as TDateTime days.
constexpr long long kMinDay = DaysFromCivil(1, 1, 1) - kEpochDays;
constexpr long long kMaxDay = DaysFromCivil(9999, 12, 31) - kEpochDays;

// A TDateTime split into its day and the milliseconds of the day. The time of
// a date before 30/12/1899 counts forward from its day too: -1.25 is
// 29/12/1899 06:00.
bool Split(TDateTime value, long long& day, long long& msec) {
    if (!std::isfinite(value)) return false;
    double whole = std::trunc(value);
    if (whole < static_cast<double>(kMinDay) || whole > static_cast<double>(kMaxDay)) return false;
    day = static_cast<long long>(whole);
    msec = std::llround(std::fabs(value - whole) * kMSecsPerDay);
    if (msec >= kMSecsPerDay) {
        msec -= kMSecsPerDay;
        day += value < 0 ? -1 : 1;
    }
    return true;
}

// A date and a time of day put together the way the runtime does: the time
// moves away from zero.
TDateTime Combine(TDateTime date, TDateTime time) {
    return date >= 0 ? date + std::fabs(time) : date - std::fabs(time);
}

std::mutex clockMutex;
TClock clockFn;

TDateTime SystemNow() {
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
           EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec < 60 ? tm.tm_sec : 59,
                      static_cast<int>(ms % 1000));
}

int CurrentYear() {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInAMonth(year, month))
        return false;
    date = static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                static_cast<unsigned>(day)) -
                                  kEpochDays);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Data inválida: dia, mês ou ano fora do calendário");
    return d;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    long long d, ms;
    if (!Split(date, d, ms)) {
        year = month = day = 0;
        return;
    }
    CivilFromDays(d + kEpochDays, year, month, day);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    time = static_cast<TDateTime>(((hour * 60LL + minute) * 60 + second) * 1000 + msec) /
           static_cast<TDateTime>(kMSecsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, minute, second, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec) {
    long long d, ms;
    if (!Split(time, d, ms)) ms = 0;
    msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    second = static_cast<int>(ms % 60);
    ms /= 60;
    minute = static_cast<int>(ms % 60);
    hour = static_cast<int>(ms / 60);
}

int DayOfWeek(TDateTime date) {
    long long d, ms;
    if (!Split(date, d, ms)) return 0;
    // 30/12/1899 was a Saturday.
    return static_cast<int>(((d - 1) % 7 + 7) % 7) + 1;
}

TDateTime IncMonth(TDateTime date, int months) {
    int y, m, d;
    DecodeDate(date, y, m, d);
    if (y == 0) throw EConvertError("Data inválida: dia, mês ou ano fora do calendário");
    long long total = static_cast<long long>(y) * 12 + (m - 1) + months;
    long long ny = total >= 0 ? total / 12 : (total - 11) / 12;
    int nm = static_cast<int>(total - ny * 12) + 1;
    if (ny < 1 || ny > 9999) throw EConvertError("Data inválida: dia, mês ou ano fora do calendário");
    int year = static_cast<int>(ny);
    int dim = DaysInAMonth(year, nm);
    TDateTime result = EncodeDate(year, nm, d < dim ? d : dim);
    return Combine(result, date - std::trunc(date));
}

// ---- Reading dates -----------------------------------------------------------

namespace {

enum class DateOrder { DMY, MDY, YMD };

DateOrder ShortDateOrder() {
    for (char c : FormatSettings.ShortDateFormat) {
        switch (c) {
        case 'd': case 'D': return DateOrder::DMY;
        case 'm': case 'M': return DateOrder::MDY;
        case 'y': case 'Y': return DateOrder::YMD;
        default: break;
        }
    }
    return DateOrder::DMY;
}

bool ScanNumber(const char*& p, const char* end, int maxDigits, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (++digits > maxDigits) return false;
        value = value * 10 + (*p - '0');
        ++p;
    }
    return digits > 0;
}

int ExpandYear(int year, int digits) {
    if (digits > 2) return year;
    int current = CurrentYear();
    int window = FormatSettings.TwoDigitYearCenturyWindow;
    if (window <= 0) return current / 100 * 100 + year;
    int threshold = current - window;
    int y = threshold / 100 * 100 + year;
    if (y < threshold) y += 100;
    return y;
}

// The date part of text [p, end); on success p is left after it.
bool ScanDate(const char*& p, const char* end, TDateTime& date) {
    const char sep = FormatSettings.DateSeparator;
    DateOrder order = ShortDateOrder();
    int n[3], len[3];
    int count = 0;
    for (;;) {
        int maxDigits = 2;
        if (order == DateOrder::YMD ? count == 0 : count == 2) maxDigits = 4;
        if (!ScanNumber(p, end, maxDigits, n[count], len[count])) return false;
        ++count;
        if (count == 3 || p == end || *p != sep) break;
        ++p;
    }
    if (count < 2) return false;
    int year, month, day;
    if (count == 2) {
        year = CurrentYear();
        if (order == DateOrder::MDY || order == DateOrder::YMD) {
            month = n[0];
            day = n[1];
        } else {
            day = n[0];
            month = n[1];
        }
    } else {
        switch (order) {
        case DateOrder::MDY:
            month = n[0], day = n[1], year = ExpandYear(n[2], len[2]);
            break;
        case DateOrder::YMD:
            year = ExpandYear(n[0], len[0]), month = n[1], day = n[2];
            break;
        default:
            day = n[0], month = n[1], year = ExpandYear(n[2], len[2]);
            break;
        }
    }
    return TryEncodeDate(year, month, day, date);
}

// "hh:nn[:ss[.zzz]]" or "hh:nn:ss" under the time separator.
bool ScanTime(const char*& p, const char* end, TDateTime& time) {
    const char sep = FormatSettings.TimeSeparator;
    int h, m, s = 0, ms = 0, len;
    if (!ScanNumber(p, end, 2, h, len)) return false;
    if (p == end || *p != sep) return false;
    ++p;
    if (!ScanNumber(p, end, 2, m, len)) return false;
    if (p < end && *p == sep) {
        ++p;
        if (!ScanNumber(p, end, 2, s, len)) return false;
        if (p < end && (*p == '.' || *p == FormatSettings.DecimalSeparator)) {
            ++p;
            if (!ScanNumber(p, end, 3, ms, len)) return false;
            if (len == 1) ms *= 100;
            if (len == 2) ms *= 10;
        }
    }
    return TryEncodeTime(h, m, s, ms, time);
}

void TrimBlanks(const char*& p, const char*& end) {
    while (p < end && *p == ' ') ++p;
    while (end > p && end[-1] == ' ') --end;
}

} // namespace

bool TryStrToDate(const std::string& text, TDateTime& date) {
    const char* p = text.data();
    const char* end = p + text.size();
    TrimBlanks(p, end);
    TDateTime d;
    if (!ScanDate(p, end, d) || p != end) return false;
    date = d;
    return true;
}

TDateTime StrToDate(const std::string& text) {
    TDateTime d;
    if (!TryStrToDate(text, d)) throw EConvertError("'" + text + "' não é uma data válida");
    return d;
}

TDateTime StrToDateDef(const std::string& text, TDateTime defaultValue) {
    TDateTime d;
    return TryStrToDate(text, d) ? d : defaultValue;
}

bool TryStrToDateTime(const std::string& text, TDateTime& value) {
    const char* p = text.data();
    const char* end = p + text.size();
    TrimBlanks(p, end);
    TDateTime d, t = 0;
    if (!ScanDate(p, end, d)) return false;
    if (p != end) {
        if (*p != ' ') return false;
        while (p < end && *p == ' ') ++p;
        if (!ScanTime(p, end, t) || p != end) return false;
    }
    value = Combine(d, t);
    return true;
}

TDateTime StrToDateTime(const std::string& text) {
    TDateTime v;
    if (!TryStrToDateTime(text, v))
        throw EConvertError("'" + text + "' não é uma data e hora válidas");
    return v;
}

std::string DateToStr(TDateTime date) {
    return FormatDateTime(FormatSettings.ShortDateFormat, date);
}

std::string TimeToStr(TDateTime time) { return FormatDateTime(FormatSettings.LongTimeFormat, time); }

std::string DateTimeToStr(TDateTime value) { return FormatDateTime("c", value); }

// ---- FormatDateTime ----------------------------------------------------------

namespace {

struct Parts {
    int year = 0, month = 0, day = 0, dow = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
    bool hasTime = false;
};

void AppendNumber(std::string& out, int value, int width) {
    char buf[12];
    int n = 0;
    unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    for (int i = n; i < width; ++i) out += '0';
    while (n) out += buf[--n];
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool StartsWithNoCase(const char* p, const char* end, const char* word) {
    for (; *word; ++word, ++p)
        if (p >= end || Lower(*p) != *word) return false;
    return true;
}

bool UsesTwelveHour(const std::string& fmt) {
    const char* end = fmt.data() + fmt.size();
    for (const char* p = fmt.data(); p < end; ++p) {
        if (*p == '"' || *p == '\'') {
            char q = *p;
            ++p;
            while (p < end && *p != q) ++p;
            if (p == end) break;
            continue;
        }
        if (StartsWithNoCase(p, end, "am/pm") || StartsWithNoCase(p, end, "a/p") ||
            StartsWithNoCase(p, end, "ampm"))
            return true;
    }
    return false;
}

void Format(std::string& out, const std::string& fmt, const Parts& t, int depth) {
    if (depth > 2) return;  // a format that names itself
    const TFormatSettings& fs = FormatSettings;
    const bool twelve = UsesTwelveHour(fmt);
    const char* p = fmt.data();
    const char* end = p + fmt.size();
    char last = 0;  // the previous specifier, for "m" after "h"
    while (p < end) {
        char c = *p;
        char lc = Lower(c);
        if (c == '"' || c == '\'') {
            const char* q = p + 1;
            while (q < end && *q != c) ++q;
            out.append(p + 1, q);
            p = q < end ? q + 1 : end;
            continue;
        }
        if (lc == 'a') {
            if (StartsWithNoCase(p, end, "am/pm")) {
                bool lower = c == 'a';
                out += t.hour < 12 ? (lower ? "am" : "AM") : (lower ? "pm" : "PM");
                p += 5;
            } else if (StartsWithNoCase(p, end, "a/p")) {
                bool lower = c == 'a';
                out += t.hour < 12 ? (lower ? 'a' : 'A') : (lower ? 'p' : 'P');
                p += 3;
            } else if (StartsWithNoCase(p, end, "ampm")) {
                out += t.hour < 12 ? "AM" : "PM";
                p += 4;
            } else {
                out += c;
                ++p;
                continue;
            }
            last = 'a';
            continue;
        }
        int n = 1;
        if (lc == 'd' || lc == 'm' || lc == 'y' || lc == 'h' || lc == 'n' || lc == 's' ||
            lc == 'z' || lc == 't') {
            while (p + n < end && Lower(p[n]) == lc) ++n;
        }
        switch (lc) {
        case 'c':
            Format(out, fs.ShortDateFormat, t, depth + 1);
            if (t.hasTime) {
                out += ' ';
                Format(out, fs.LongTimeFormat, t, depth + 1);
            }
            break;
        case 'd':
            if (n <= 2)
                AppendNumber(out, t.day, n);
            else if (n == 3)
                out += t.dow ? fs.ShortDayNames[t.dow - 1] : "";
            else if (n == 4)
                out += t.dow ? fs.LongDayNames[t.dow - 1] : "";
            else if (n == 5)
                Format(out, fs.ShortDateFormat, t, depth + 1);
            else
                Format(out, fs.LongDateFormat, t, depth + 1);
            break;
        case 'm':
            if (last == 'h' && n <= 2)
                AppendNumber(out, t.minute, n);
            else if (n <= 2)
                AppendNumber(out, t.month, n);
            else if (t.month >= 1)
                out += n == 3 ? fs.ShortMonthNames[t.month - 1] : fs.LongMonthNames[t.month - 1];
            break;
        case 'y':
            if (n <= 2)
                AppendNumber(out, t.year % 100, 2);
            else
                AppendNumber(out, t.year, 4);
            break;
        case 'h': {
            int h = t.hour;
            if (twelve) {
                h %= 12;
                if (h == 0) h = 12;
            }
            AppendNumber(out, h, n >= 2 ? 2 : 1);
            break;
        }
        case 'n':
            AppendNumber(out, t.minute, n >= 2 ? 2 : 1);
            break;
        case 's':
            AppendNumber(out, t.second, n >= 2 ? 2 : 1);
            break;
        case 'z':
            AppendNumber(out, t.msec, n >= 3 ? 3 : 1);
            break;
        case 't':
            Format(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, t, depth + 1);
            break;
        case '/':
            out += fs.DateSeparator;
            break;
        case ':':
            out += fs.TimeSeparator;
            break;
        default:
            out += c;
            ++p;
            continue;
        }
        last = lc == 'd' || lc == 'm' || lc == 'y' || lc == 'h' || lc == 'n' || lc == 's' ||
                       lc == 'z' || lc == 't' || lc == 'c'
                   ? lc
                   : last;
        p += n;
    }
}

} // namespace

std::string FormatDateTime(const std::string& format, TDateTime value) {
    Parts t;
    long long day, ms;
    if (Split(value, day, ms)) {
        CivilFromDays(day + kEpochDays, t.year, t.month, t.day);
        t.dow = static_cast<int>(((day - 1) % 7 + 7) % 7) + 1;
        t.hasTime = ms != 0;
        t.msec = static_cast<int>(ms % 1000);
        ms /= 1000;
        t.second = static_cast<int>(ms % 60);
        ms /= 60;
        t.minute = static_cast<int>(ms % 60);
        t.hour = static_cast<int>(ms / 60);
    }
    std::string out;
    out.reserve(format.size() + 8);
    Format(out, format.empty() ? std::string("c") : format, t, 0);
    return out;
}

// ---- Clock -------------------------------------------------------------------

TDateTime Now() {
    TClock fn;
    {
        std::lock_guard<std::mutex> lock(clockMutex);
        fn = clockFn;
    }
    return fn ? fn() : SystemNow();
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
    TDateTime n = Now();
    return std::fabs(n - std::trunc(n));
}

void SetClock(TClock clock) {
    std::lock_guard<std::mutex> lock(clockMutex);
    clockFn = std::move(clock);
}

uint32_t GetTickCount() {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now().time_since_epoch())
                  .count();
    return static_cast<uint32_t>(ms);
}
