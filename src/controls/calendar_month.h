#pragma once
// The month arithmetic of the calendars: where the days of a month fall in
// the 7 x 7 grid (row 0 holds the day names) for a start of week, and the
// month and year steps that keep the day of the month where they can. Plain
// functions of a date; no window needed.
#include <bitset>
#include <string>

#include "platform/runtime/dates.h"

enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
using TDaysOfWeek = std::bitset<7>;  // indexed by TDayOfWeekName

namespace PickDate {

// The day number that column 0 of row 1 stands for: -5..1.
int MonthOffset(int Year, int Month, TDayOfWeekName StartOfWeek);
// The cell of a day of the month for an offset (column 0..6, row 1..6).
void DayCell(int Day, int Offset, int& ACol, int& ARow);
// The day a cell shows, or 0 for an empty cell (and for row 0).
int CellDay(int Offset, int ACol, int ARow, int DaysInMonth);
// The day of week a column stands for.
TDayOfWeekName ColumnDay(TDayOfWeekName StartOfWeek, int ACol);
// Row 0: the short day name of the column; other rows: the day or "".
std::string CellText(int Offset, int ACol, int ARow, int DaysInMonth, TDayOfWeekName StartOfWeek);
bool IsWeekendColumn(TDayOfWeekName StartOfWeek, const TDaysOfWeek& Weekends, int ACol);

// One month on or back: the day is kept, or lowered to the last day of the
// new month (31 January + 1 = 28 or 29 February). False (Date unchanged) when
// the step would leave the years 1..9999.
bool StepMonth(TDateTime& Date, int Step);
// One year on or back; 29 February becomes 28 February first.
bool StepYear(TDateTime& Date, int Step);
// Sets the year, month or day of Date: values below 1 and months above 12
// are ignored, a day past the month's end is ignored, a year change lowers
// the day to the new month's end. True when the date changed.
enum TDateElement { deYear, deMonth, deDay };
bool SetDateElement(TDateTime& Date, TDateElement Element, int Value);

// Width (height) of one of the seven columns (rows) of a client extent: the
// grid lines between them taken off, and the cell made one pixel smaller when
// the line after the seventh cell would not fit, so no cell is ever scrolled.
int CellExtent(int ClientExtent, int LineWidth);

// "MMMM, YYYY": the title of the choosers.
std::string TitleText(TDateTime Date);

}  // namespace PickDate
