#pragma once
// Dates and times. TDateTime counts days since 30/12/1899 (the integral part)
// and the fraction of the day (the fractional part).
#include <cstdint>
#include <functional>
#include <string>

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

// Raises EConvertError "Data inválida: dia, mês ou ano fora do calendário" on an impossible date.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);

// Adds months keeping the day, clamped to the end of the target month; the time
// of day is kept.
TDateTime IncMonth(TDateTime date, int months = 1);

// Reads day, month and year separated by the date separator, in the order of
// the short date format; day and month of 1 or 2 digits; a year of 1 or 2
// digits lands within 50 years of the current year (the window starts at the
// current year minus 50). Anything else, or an impossible date (31/04), raises
// EConvertError "'<text>' não é uma data válida".
TDateTime StrToDate(const std::string& text);
bool TryStrToDate(const std::string& text, TDateTime& date);
TDateTime StrToDateDef(const std::string& text, TDateTime defaultValue);
// A date optionally followed by a blank and a time "hh:nn[:ss]".
TDateTime StrToDateTime(const std::string& text);
bool TryStrToDateTime(const std::string& text, TDateTime& value);

std::string DateToStr(TDateTime date);       // short date format
std::string TimeToStr(TDateTime time);       // long time format
std::string DateTimeToStr(TDateTime value);  // date, and the time when not midnight

// Format specifiers: d dd ddd dddd, m mm mmm mmmm, yy yyyy, h hh, n nn, s ss,
// z zzz, am/pm, "/" the date separator, ":" the time separator, c, ddddd,
// quoted literals ('...' and "...").
std::string FormatDateTime(const std::string& format, TDateTime value);

// The clock. Now, Date and Time read an injectable clock so that tests stay
// stable from year to year.
TDateTime Now();
TDateTime Date();
TDateTime Time();
using TClock = std::function<TDateTime()>;
void SetClock(TClock clock);  // an empty function restores the system clock
// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t GetTickCount();
