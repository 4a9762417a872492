#include "controls/calendar_month.h"

#include <cmath>

#include "controls/date_util.h"
#include "platform/runtime/formats.h"

namespace PickDate {

namespace {

bool Decode(TDateTime date, int& y, int& m, int& d) {
    if (!DateUtil::IsValidDateTime(date)) return false;
    DecodeDate(date, y, m, d);
    return true;
}

bool Encode(int y, int m, int d, TDateTime& date) {
    if (!DateUtil::IsValidDate(y, m, d)) return false;
    date = EncodeDate(y, m, d);
    return true;
}

}  // namespace

int MonthOffset(int Year, int Month, TDayOfWeekName StartOfWeek) {
    const int w = DayOfWeek(EncodeDate(Year, Month, 1));
    const int offset = 2 - ((w - static_cast<int>(StartOfWeek) + 7) % 7);
    return offset == 2 ? -5 : offset;
}

void DayCell(int Day, int Offset, int& ACol, int& ARow) {
    ACol = (Day - Offset) % 7;
    ARow = (Day - Offset) / 7 + 1;
}

int CellDay(int Offset, int ACol, int ARow, int DaysInMonth) {
    if (ARow < 1) return 0;
    const int n = Offset + ACol + (ARow - 1) * 7;
    return n >= 1 && n <= DaysInMonth ? n : 0;
}

TDayOfWeekName ColumnDay(TDayOfWeekName StartOfWeek, int ACol) {
    return static_cast<TDayOfWeekName>((static_cast<int>(StartOfWeek) + ACol) % 7);
}

std::string CellText(int Offset, int ACol, int ARow, int DaysInMonth, TDayOfWeekName StartOfWeek) {
    if (ARow == 0) return FormatSettings.ShortDayNames[ColumnDay(StartOfWeek, ACol)];
    const int n = CellDay(Offset, ACol, ARow, DaysInMonth);
    return n ? IntToStr(n) : std::string();
}

bool IsWeekendColumn(TDayOfWeekName StartOfWeek, const TDaysOfWeek& Weekends, int ACol) {
    return Weekends.test(ColumnDay(StartOfWeek, ACol));
}

bool StepMonth(TDateTime& Date, int Step) {
    int y, m, d;
    if (!Decode(Date, y, m, d)) return false;
    // From the month's last day (or its first) one day on lands in the next
    // (previous) month whatever its length.
    const TDateTime edge = Step > 0 ? EncodeDate(y, m, DateUtil::DaysInMonth(y, m)) : EncodeDate(y, m, 1);
    int ny, nm, nd;
    if (!Decode(edge + Step, ny, nm, nd)) return false;
    const int last = DateUtil::DaysInMonth(ny, nm);
    return Encode(ny, nm, d < last ? d : last, Date);
}

bool StepYear(TDateTime& Date, int Step) {
    int y, m, d;
    if (!Decode(Date, y, m, d)) return false;
    if (m == 2 && d == 29) d = 28;
    return Encode(y + Step, m, d, Date);
}

bool SetDateElement(TDateTime& Date, TDateElement Element, int Value) {
    if (Value < 1) return false;
    int y, m, d;
    if (!Decode(Date, y, m, d)) return false;
    switch (Element) {
        case deYear:
            if (Value == y || Value > 9999) return false;
            y = Value;
            break;
        case deMonth:
            if (Value == m || Value > 12) return false;
            m = Value;
            break;
        case deDay:
            if (Value == d || Value > DateUtil::DaysInMonth(y, m)) return false;
            d = Value;
            break;
    }
    if (d > DateUtil::DaysInMonth(y, m)) d = DateUtil::DaysInMonth(y, m);
    return Encode(y, m, d, Date);
}

int CellExtent(int ClientExtent, int LineWidth) {
    int cell = (ClientExtent - 6 * LineWidth) / 7;
    if (7 * (cell + LineWidth) > ClientExtent) --cell;
    return cell < 0 ? 0 : cell;
}

std::string TitleText(TDateTime Date) { return FormatDateTime("MMMM, YYYY", Date); }

}  // namespace PickDate
