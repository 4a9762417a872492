#pragma once
// The month calendar grid, its variant inside the choosers, the drop-down
// calendar a date edit opens under itself and the modal date dialog. The
// calendar shows one month in a 7 x 7 grid (day names in row 0); its date
// moves by day, month and year while the day of the month is kept where it
// can be.
#include <memory>
#include <string>

#include "controls/calendar_month.h"
#include "controls/combo_edit.h"
#include "controls/speed_button.h"
#include "platform/gui/forms.h"
#include "platform/gui/string_grid.h"
#include "platform/runtime/string_list.h"

class TLabel;
class TPanel;
class TButton;
class TCustomDateEdit;

class TRxCalendar : public TStringGrid {
public:
    explicit TRxCalendar(TComponent* AOwner);

    TDateTime CalendarDate() const { return date_; }
    // A different date is stored, the month rebuilt and OnChange fired; a
    // value that is no date of the years 1..9999 is not taken.
    void SetCalendarDate(TDateTime value);
    int Day() const;
    int Month() const;
    int Year() const;
    // Values below 1, months above 12 and days past the month's end change
    // nothing; a new month or year lowers the day to the month's end.
    void SetDay(int value);
    void SetMonth(int value);
    void SetYear(int value);
    int DaysThisMonth() const;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeekName value);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek value);
    TColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(TColor value);
    bool UseCurrentDate() const { return useCurrentDate_; }
    void SetUseCurrentDate(bool value) { useCurrentDate_ = value; }
    TNotifyEvent OnChange;

    void PrevMonth();
    void NextMonth();
    void PrevYear();
    void NextYear();

    // Row 0: the day names; other rows: the day number or "".
    std::string GetCellText(int ACol, int ARow) const;
    // Places the selection on the date's day and repaints.
    virtual void RebuildMonth(bool dayOnly = false);
    int MonthOffset() const { return monthOffset_; }

    void Click() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    // The scenario driver reads the cells as they are shown.
    std::string ScriptCell(int col, int row) const override;

protected:
    bool SelectCell(int col, int row) override;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    void BoundsChanged() override;
    void Change();
    // Text colour of a cell that is not selected.
    TColor CellTextColor(int col, int row) const;

private:
    void SetElement(PickDate::TDateElement element, int value);
    void TakeDate(TDateTime value, bool dayOnly);

    TDateTime date_ = 0;
    int monthOffset_ = 0;
    bool readOnly_ = false;
    TDayOfWeekName startOfWeek_ = Mon;
    bool updating_ = false;
    bool useCurrentDate_ = true;
    TDaysOfWeek weekends_ = TDaysOfWeek().set(Sun);
    TColor weekendColor_ = clRed;
};

// The calendar inside the choosers: takes no focus but gets the mouse, grid
// lines only under the day names, and a sunken frame around today.
class TLocCalendar : public TRxCalendar {
public:
    explicit TLocCalendar(TComponent* AOwner);
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const { TStringGrid::MouseToCell(X, Y, ACol, ARow); }

protected:
    void ColorChanged() override;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
};

// An arrow button of the choosers: held down, it repeats its click.
class TRxTimerSpeedButton : public TRxSpeedButton {
public:
    explicit TRxTimerSpeedButton(TComponent* AOwner);
};

// The drop-down calendar of a date edit: a title with the month and year,
// four arrow buttons (previous year, previous month, next month, next year)
// and the calendar; a click on a day closes it with that date.
class TPopupCalendar : public TPopupWindow {
public:
    explicit TPopupCalendar(TCustomComboEdit* AOwner);
    TLocCalendar* Calendar() const { return calendar_; }
    TLabel* TitleLabel() const { return title_; }
    // 0 previous year, 1 previous month, 2 next month, 3 next year.
    TRxTimerSpeedButton* Buttons(int index) const { return buttons_[index]; }

    TPopupValue ReadValue() override;
    // An empty or unreadable value shows today.
    void WriteValue(const TPopupValue& value) override;
    // Page Up/Down step months (years with Ctrl); other keys go to the calendar.
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    void CalendarMouseUp(TMouseButton button, int x, int y);
    void TitleChanged();

    TPanel* back_ = nullptr;
    TPanel* titlePanel_ = nullptr;
    TLocCalendar* calendar_ = nullptr;
    TLabel* title_ = nullptr;
    TRxTimerSpeedButton* buttons_[4] = {};
};

// The modal date dialog: the same chooser with OK and Cancel.
class TSelectDateDlg : public TForm {
public:
    explicit TSelectDateDlg(TComponent* AOwner);

    TRxCalendar* Calendar;
    TLabel* TitleLabel;
    TPanel* TopPanel;
    TPanel* BottomPanel;
    TPanel* ClientPanel;
    TRxTimerSpeedButton* PrevYearBtn;
    TRxTimerSpeedButton* PrevMonthBtn;
    TRxTimerSpeedButton* NextMonthBtn;
    TRxTimerSpeedButton* NextYearBtn;
    TButton* OkBtn;
    TButton* CancelBtn;

    TDateTime Date() const { return Calendar->CalendarDate(); }
    void SetDate(TDateTime value);
    TRxTimerSpeedButton* Buttons(int index) const;

    void PrevYearBtnClick(TObject* Sender);
    void NextYearBtnClick(TObject* Sender);
    void PrevMonthBtnClick(TObject* Sender);
    void NextMonthBtnClick(TObject* Sender);
    void CalendarChange(TObject* Sender);
    void CalendarDblClick(TObject* Sender);
    void TopPanelDblClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
};

namespace PickDate {

// The hints of the arrow buttons and the dialog's texts.
constexpr const char* SPrevYear = "Previous Year|";
constexpr const char* SPrevMonth = "Previous Month|";
constexpr const char* SNextMonth = "Next Month|";
constexpr const char* SNextYear = "Next Year|";
constexpr const char* SDateDlgTitle = "Select a Date";
constexpr const char* SOKButton = "OK";
constexpr const char* SCancelButton = "Cancel";

// The arrow glyphs: PREV2, PREV1, NEXT1, NEXT2 (index 0..3).
const TBitmap& ArrowGlyph(int index);
// The font of the choosers.
void SetMessageFont(TFont& Font);

std::unique_ptr<TPopupWindow> CreatePopupCalendar(TCustomComboEdit* AOwner);
// Only for a drop-down calendar: start of week, weekends, their colour and
// the hints of buttons 0..3 (empty lines leave a hint as it is).
void SetupPopupCalendar(TPopupWindow* PopupCalendar, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                        const TStringList& Hints, TColor WeekendColor);
// Shows the date dialog on Date (NoDate: today); true with the chosen date
// when closed with OK.
bool ShowDateDialog(TDateTime& Date, const std::string& Title, TDayOfWeekName StartOfWeek,
                    TDaysOfWeek Weekends, TColor WeekendColor, const TStringList& Hints);

}  // namespace PickDate
