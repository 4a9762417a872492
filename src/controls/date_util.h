#pragma once
// Date rules of the input controls: calendar arithmetic, reading a typed date
// in the day/month/year order of a date format (with a window for two-digit
// years), and the default date format and edit mask. Plain functions of text
// and numbers; "today" and the current year come from the runtime's clock and
// the field order from the program's own format settings, never the host.
#include <string>

#include "platform/runtime/dates.h"

namespace DateUtil {

// Stands for "no date" (30/12/1899).
constexpr TDateTime NoDate = 0.0;
// Two-digit years fall into the hundred years that begin this many years
// before the current one.
constexpr unsigned char YearWindowOffset = 60;

enum TDateFieldOrder { doMDY, doDMY, doYMD };

bool IsLeapYear(int AYear);
// AMonth must be 1..12.
int DaysInMonth(int AYear, int AMonth);
bool IsValidDate(int Y, int M, int D);
// False for a value that does not decode to a date of years 1..9999.
bool IsValidDateTime(TDateTime ADate);
int LocalYear();

TDateFieldOrder DateOrderOf(const std::string& DateFormat);
int WindowYear(int Year);

// Scanning steps over a 1-based position Pos of S; a space is character 32.
void SkipSpaces(const std::string& S, int& Pos);
// At most four digits are taken: reading stops once the value reaches 1000.
bool ReadNumber(const std::string& S, int MaxLength, int& Pos, int& N);
bool ReadChar(const std::string& S, int& Pos, char Ch);
void SkipToDigit(const std::string& S, int& Pos);

// What a Far East system adds to the locale. The program never sets FarEast,
// so the trailing text after a date is never skipped here.
struct TFarEastSettings {
    bool FarEast = false;  // the system locale is a Far East one
    std::string TimeAMString = "AM", TimePMString = "PM";
};
extern TFarEastSettings FarEastSettings;

// Reads "n sep n [sep n]" from Pos; true only for a valid date with nothing
// left unread. On a Far East system whose short date format shows the day's
// name ("ddd"), the text after the date (a day name, a time) is skipped: up to
// the next digit when the short time format begins with one, else word by
// word until the end or an AM or PM string.
bool ReadDateFreeForm(const std::string& S, const std::string& DateFormat, int& Pos, int& Y, int& M,
                      int& D);
// 1..12 for the first long month name whose first MaxLen characters match
// those of S (case-insensitive); 0 for none or an empty S.
int MonthByName(const std::string& S, int MaxLen);
// Reads one field of S at the columns the format gives to Cnt copies of Ch.
void ReadFieldAt(const std::string& Format, const std::string& S, char Ch, int Cnt, int& I, int Blank,
                 int Default);
// Column reading, then free-form reading.
bool ReadDateParts(const std::string& Format, const std::string& S, int& D, int& M, int& Y);
// Whether the day and month columns of S are filled in with numbers that name
// no day of the calendar ("31/02/2020", "45/13/2001"). Blank, zero or
// unreadable fields are not such a date.
bool NamesNoDay(const std::string& Format, const std::string& S);
// An empty S gives NoDate and true.
bool TextToDate(const std::string& DateFormat, const std::string& S, TDateTime& ADate);
// Raises EConvertError "'<S>' não é uma data válida", the runtime's own text.
TDateTime StrToDateWithFormat(const std::string& DateFormat, const std::string& S);

// Whether the program's short date format holds a four-digit year; read once,
// the first time it is asked.
bool UseFourDigitYear();

}  // namespace DateUtil

// Never raises: a text that is no date gives the whole days of Default.
TDateTime ParseDateWithFormat(const std::string& DateFormat, const std::string& S, TDateTime Default);
// "DD/MM/YYYY" and the like, in the field order of the program's short date format.
std::string DefaultDateFormat(bool FourDigitYear);
// "!99/99/9999;1;" followed by BlanksChar, and the like.
std::string DefaultDateEditMask(char BlanksChar, bool FourDigitYear);
