#pragma once
// The date edit: a masked edit for one date ("  /  /    " when empty) with a
// button that drops down a month calendar or opens the date dialog. Reading
// its date never fails: an empty or unreadable text gives NoDate (or today
// with DefaultToday).
#include <bitset>
#include <functional>
#include <memory>
#include <string>

#include "controls/calendar_month.h"
#include "controls/combo_edit.h"
#include "controls/date_util.h"
#include "platform/runtime/string_list.h"

enum TYearDigits { dyDefault, dyFour, dyTwo };
enum TCalendarStyle { csPopup, csDialog };
using TExecDateDialog = std::function<void(TObject* Sender, TDateTime& ADate, bool& Action)>;

class TCustomDateEdit;

// Where the drop-down calendar and the date dialog plug in (the program's
// own by default); without them the button opens nothing.
namespace DateEditHooks {
extern std::function<std::unique_ptr<TPopupWindow>(TCustomDateEdit*)> CreatePopupCalendar;
extern std::function<void(TPopupWindow*, TDayOfWeekName, TDaysOfWeek, const TStringList&, TColor)>
    SetupPopupCalendar;
extern std::function<bool(TDateTime&, const std::string& title, TDayOfWeekName, TDaysOfWeek, TColor,
                          const TStringList&)>
    ShowDateDialog;
}  // namespace DateEditHooks

namespace ToolEdit {
// Date unless it is NoDate, else Default.
TDateTime DateOrDefault(TDateTime Date, TDateTime Default);
}

class TCustomDateEdit : public TCustomComboEdit {
public:
    explicit TCustomDateEdit(TComponent* AOwner);
    ~TCustomDateEdit() override;

    // The text read as a date; never raises.
    TDateTime Date() const { return GetDate(); }
    TDateTime GetDate() const;
    // An invalid date or NoDate empties the edit (today with DefaultToday).
    void SetDate(TDateTime value);
    virtual void SetDateAndSelect(TDateTime value);
    // Re-derives the date format and the mask, keeping the date.
    virtual void RefreshMask();
    // Runs on leaving with CheckOnExit: raises EConvertError for a text that
    // holds digits but no date, and keeps the focus.
    void ValidateText();
    bool HasDateText() const;
    bool UsesFourDigitYear() const;
    std::string MaskForDate() const;
    const std::string& DateFormat() const { return dateFormat_; }

    bool DefaultToday = false;
    bool CheckOnExit = false;
    std::string DialogTitle = ControlDefaultDialogTitle();
    TExecDateDialog OnAcceptDate;
    char BlanksChar() const { return blanksChar_; }
    void SetBlanksChar(char value);
    TYearDigits YearDigits() const { return yearDigits_; }
    void SetYearDigits(TYearDigits value);
    TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeekName value);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek value);
    TColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(TColor value);
    TColor PopupColor() const;
    void SetPopupColor(TColor value);
    TCalendarStyle CalendarStyle() const;
    void SetCalendarStyle(TCalendarStyle value);
    // Hints of the calendar's four buttons; lines past the fourth are dropped.
    TStringList CalendarHints;

    void ButtonClick() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;
    void DoExit() override;

protected:
    const TBitmap* DefaultGlyph() const override;
    bool CanAcceptPopupValue(TPopupValue& value) override;
    void AcceptPopupValue(const TPopupValue& value) override;
    void SetPopupValue(const TPopupValue& value) override;
    void ConfigurePopup();
    void RefreshFormat();
    void MakeDeferredPopup() override;

private:
    static std::string ControlDefaultDialogTitle();
    void HintsChanged();

    char blanksChar_ = ' ';
    TYearDigits yearDigits_ = dyDefault;
    TDayOfWeekName startOfWeek_ = Mon;
    TDaysOfWeek weekends_ = TDaysOfWeek().set(Sun);
    TColor weekendColor_ = clRed;
    TColor popupColor_ = clBtnFace;
    TCalendarStyle calendarStyle_ = csPopup;
    // The calendar maker and hint setting of a deferred drop-down, as they
    // were when the edit was made.
    std::function<std::unique_ptr<TPopupWindow>(TCustomDateEdit*)> deferredCalendar_;
    bool deferredShowHint_ = false;
    std::string dateFormat_;
    bool formatting_ = false;
    int hook_ = 0;  // on the application's window
};

class TDateEdit : public TCustomDateEdit {
public:
    explicit TDateEdit(TComponent* AOwner);
};
