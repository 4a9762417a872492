#include "controls/date_edit.h"

#include <cmath>

#include "controls/control_resources.h"
#include "controls/pick_date.h"
#include "controls/str_utils.h"
#include "platform/gui/application.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace DateEditHooks {
// The drop-down calendar and the date dialog of the program; tests may put
// stand-ins in their place.
std::function<std::unique_ptr<TPopupWindow>(TCustomDateEdit*)> CreatePopupCalendar =
    [](TCustomDateEdit* edit) { return PickDate::CreatePopupCalendar(edit); };
std::function<void(TPopupWindow*, TDayOfWeekName, TDaysOfWeek, const TStringList&, TColor)> SetupPopupCalendar =
    PickDate::SetupPopupCalendar;
std::function<bool(TDateTime&, const std::string&, TDayOfWeekName, TDaysOfWeek, TColor, const TStringList&)>
    ShowDateDialog = PickDate::ShowDateDialog;
}  // namespace DateEditHooks

namespace ToolEdit {
TDateTime DateOrDefault(TDateTime Date, TDateTime Default) { return Date == DateUtil::NoDate ? Default : Date; }
}  // namespace ToolEdit

std::string TCustomDateEdit::ControlDefaultDialogTitle() { return ControlResources::SDateDlgTitle; }

TCustomDateEdit::TCustomDateEdit(TComponent* AOwner) : TCustomComboEdit(AOwner) {
    defNumGlyphs_ = 2;
    CalendarHints.OnChange = [this] { HintsChanged(); };
    creating_ = true;
    RefreshFormat();
    SetCalendarStyle(csPopup);
    SetGlyphKind(gkDefault);
    creating_ = false;
    // A change of the system's date settings re-masks the edit, keeping its
    // date. The program's own formats are fixed at start-up, so only a test
    // or a platform that reports locale changes (Linux's do not) gets here.
    if (Application)
        hook_ = Application->HookMainWindow([this](TMessage& message) {
            if (message.Msg == WM_WININICHANGE && Application->UpdateFormatSettings) RefreshMask();
            return false;
        });
}

TCustomDateEdit::~TCustomDateEdit() {
    if (hook_ && Application) Application->UnhookMainWindow(hook_);
    CalendarHints.OnChange = nullptr;
}

const TBitmap* TCustomDateEdit::DefaultGlyph() const { return &ControlResources::DateEditGlyph(); }

bool TCustomDateEdit::UsesFourDigitYear() const {
    return yearDigits_ == dyFour || (yearDigits_ == dyDefault && DateUtil::UseFourDigitYear());
}

std::string TCustomDateEdit::MaskForDate() const { return DefaultDateEditMask(blanksChar_, UsesFourDigitYear()); }

void TCustomDateEdit::RefreshFormat() { dateFormat_ = DefaultDateFormat(UsesFourDigitYear()); }

TDateTime TCustomDateEdit::GetDate() const {
    return ParseDateWithFormat(dateFormat_, Text(), DefaultToday ? ::Date() : DateUtil::NoDate);
}

void TCustomDateEdit::SetDate(TDateTime value) {
    if (!DateUtil::IsValidDateTime(value) || value == DateUtil::NoDate)
        value = DefaultToday ? ::Date() : DateUtil::NoDate;
    const TDateTime before = GetDate();
    SetText(value == DateUtil::NoDate ? std::string() : FormatDateTime(dateFormat_, value));
    Modified = before != GetDate();
}

void TCustomDateEdit::SetDateAndSelect(TDateTime value) {
    SetDate(value);
    SelectAll();
}

void TCustomDateEdit::RefreshMask() {
    const TDateTime d = GetDate();
    const std::string oldFormat = dateFormat_;
    RefreshFormat();
    const std::string mask = MaskForDate();
    if (mask != EditMask() || oldFormat != dateFormat_) {
        SetEditMask("");
        SetEditMask(mask);
    }
    ConfigurePopup();
    SetDate(d);
}

bool TCustomDateEdit::HasDateText() const {
    static const std::string base(1, '\0');
    const std::string blanks = base + ' ' + FormatSettings.DateSeparator + blanksChar_;
    return !StrUtils::AllCharsInSet(Text(), StrUtils::CharSet(blanks));
}

void TCustomDateEdit::ValidateText() {
    if (!HasDateText()) return;
    formatting_ = true;
    try {
        SetDate(DateUtil::StrToDateWithFormat(dateFormat_, Text()));
    } catch (...) {
        formatting_ = false;
        throw;
    }
    formatting_ = false;
}

void TCustomDateEdit::DoExit() {
    if (CheckOnExit) ValidateText();  // an error keeps the focus here
    // A day the calendar does not have is refused, never moved to another.
    if (DateUtil::NamesNoDay(dateFormat_, Text())) {
        SelectAll();
        DateUtil::StrToDateWithFormat(dateFormat_, Text());
    }
    TCustomComboEdit::DoExit();
}

void TCustomDateEdit::Change() {
    if (!formatting_) TCustomComboEdit::Change();
}

void TCustomDateEdit::SetBlanksChar(char value) {
    if (static_cast<unsigned char>(value) < ' ') value = ' ';
    if (value == blanksChar_) return;
    blanksChar_ = value;
    RefreshMask();
}

void TCustomDateEdit::SetYearDigits(TYearDigits value) {
    if (value == yearDigits_) return;
    yearDigits_ = value;
    RefreshMask();
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName value) {
    if (value == startOfWeek_) return;
    startOfWeek_ = value;
    ConfigurePopup();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek value) {
    if (value == weekends_) return;
    weekends_ = value;
    ConfigurePopup();
}

void TCustomDateEdit::SetWeekendColor(TColor value) {
    if (value == weekendColor_) return;
    weekendColor_ = value;
    ConfigurePopup();
}

void TCustomDateEdit::HintsChanged() {
    if (CalendarHints.Count() > 4) {
        auto handler = std::move(CalendarHints.OnChange);
        CalendarHints.OnChange = nullptr;
        while (CalendarHints.Count() > 4) CalendarHints.Delete(CalendarHints.Count() - 1);
        CalendarHints.OnChange = std::move(handler);
    }
    ConfigurePopup();
}

void TCustomDateEdit::ConfigurePopup() {
    if (PopupIfMade() && DateEditHooks::SetupPopupCalendar)
        DateEditHooks::SetupPopupCalendar(PopupIfMade(), startOfWeek_, weekends_, CalendarHints, weekendColor_);
}

TColor TCustomDateEdit::PopupColor() const { return PopupIfMade() ? PopupIfMade()->Color() : popupColor_; }

void TCustomDateEdit::SetPopupColor(TColor value) {
    popupColor_ = value;
    if (PopupIfMade()) PopupIfMade()->SetColor(value);
}

TCalendarStyle TCustomDateEdit::CalendarStyle() const {
    // Until a drop-down calendar exists the chosen style is only remembered.
    if (!DateEditHooks::CreatePopupCalendar) return calendarStyle_;
    return Popup() ? csPopup : csDialog;
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle value) {
    calendarStyle_ = value;
    if (value == csPopup) {
        if (!PopupIfMade() && DateEditHooks::CreatePopupCalendar) {
            deferredCalendar_ = DateEditHooks::CreatePopupCalendar;
            deferredShowHint_ = ShowHint();
            // Forms hold dozens of date edits and show few of their calendars:
            // a new edit builds its calendar when it is first wanted.
            if (creating_) DeferPopup();
            else MakeDeferredPopup();
        }
    } else {
        deferredCalendar_ = nullptr;
        SetPopup(nullptr);
    }
}

void TCustomDateEdit::MakeDeferredPopup() {
    const auto make = std::move(deferredCalendar_);
    deferredCalendar_ = nullptr;
    if (!make) return;
    SetPopup(make(this));
    TPopupWindow* popup = PopupIfMade();
    if (!popup) return;
    // A calendar takes the edit's hint setting as it was when the edit asked for it.
    if (popup->ShowHint() == ShowHint() && ShowHint() != deferredShowHint_) popup->SetShowHint(deferredShowHint_);
    popup->SetColor(popupColor_);
    ConfigurePopup();
}

void TCustomDateEdit::ButtonClick() {
    TCustomComboEdit::ButtonClick();
    if (CalendarStyle() != csDialog || !DateEditHooks::ShowDateDialog) return;
    TDateTime d = GetDate();
    bool action = DateEditHooks::ShowDateDialog(d, DialogTitle, startOfWeek_, weekends_, weekendColor_,
                                                CalendarHints);
    if (CanFocus()) SetFocus();
    if (action) {
        if (OnAcceptDate) OnAcceptDate(this, d, action);
        if (action) {
            SetDate(d);
            if (Focused()) SelectAll();
        }
    }
}

void TCustomDateEdit::KeyDown(WORD& key, TShiftState shift) {
    const bool calendarKey = key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_UP ||
                             key == VK_RIGHT || key == VK_DOWN || key == VK_ADD || key == VK_SUBTRACT;
    if (calendarKey && PopupVisible()) {
        Popup()->KeyDown(key, shift);
        key = 0;
    } else if (!(shift & (ssShift | ssCtrl | ssAlt)) && DirectInput() && (key == VK_ADD || key == VK_SUBTRACT)) {
        const int step = key == VK_ADD ? 1 : -1;
        SetDateAndSelect(ToolEdit::DateOrDefault(GetDate(), Now()) + step);
        key = 0;
    }
    if (key) TCustomComboEdit::KeyDown(key, shift);
}

void TCustomDateEdit::KeyPress(char& key) {
    const bool dateKey = key == '+' || key == '-' || key == 'T' || key == 't';
    if (dateKey && PopupVisible()) {
        Popup()->KeyPress(key);
        key = 0;
    } else if (DirectInput()) {
        if (key == 'T' || key == 't') {
            SetDateAndSelect(std::trunc(Now()));
            key = 0;
        } else if (key == '+' || key == '-') {
            key = 0;
        }
    }
    if (key) TCustomComboEdit::KeyPress(key);
}

void TCustomDateEdit::SetPopupValue(const TPopupValue& value) {
    if (Popup()) Popup()->WriteValue(TPopupValue::OfDate(ParseDateWithFormat(dateFormat_, value.AsText(), ::Date())));
}

bool TCustomDateEdit::CanAcceptPopupValue(TPopupValue& value) {
    bool action = true;
    if (OnAcceptDate) {
        TDateTime d = DateUtil::NoDate;
        if (!value.IsNull() && !value.AsText().empty()) {
            try {
                d = value.AsDate();
            } catch (const Exception&) {
                d = DefaultToday ? ::Date() : DateUtil::NoDate;
            }
        }
        OnAcceptDate(this, d, action);
        if (action) value = TPopupValue::OfDate(d);
    }
    return action;
}

void TCustomDateEdit::AcceptPopupValue(const TPopupValue& value) {
    TDateTime d = DateUtil::NoDate;
    try {
        d = value.AsDate();
    } catch (const Exception&) {
    }
    SetDate(d);  // the text change fires OnChange
    UpdatePopupVisible();
}

TDateEdit::TDateEdit(TComponent* AOwner) : TCustomDateEdit(AOwner) { RefreshMask(); }
