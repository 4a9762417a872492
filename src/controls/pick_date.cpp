#include "controls/pick_date.h"

#include <cmath>

#include "controls/date_util.h"
#include "platform/gui/application.h"
#include "platform/gui/canvas.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

namespace {

TDateTime Today() { return std::trunc(::Date()); }

}  // namespace

// ------------------------------------------------------------------ calendar

TRxCalendar::TRxCalendar(TComponent* AOwner) : TStringGrid(AOwner) {
    SetColCount(7);
    SetRowCount(7);
    SetFixedCols(0);
    SetFixedRows(1);
    SetScrollBars(TScrollStyle::ssNone);
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected);
    date_ = Today();
    BoundsChanged();
    RebuildMonth();
}

int TRxCalendar::Day() const {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    return d;
}

int TRxCalendar::Month() const {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    return m;
}

int TRxCalendar::Year() const {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    return y;
}

int TRxCalendar::DaysThisMonth() const { return DateUtil::DaysInMonth(Year(), Month()); }

void TRxCalendar::Change() {
    if (OnChange) OnChange(this);
}

void TRxCalendar::SetCalendarDate(TDateTime value) {
    if (value == date_ || !DateUtil::IsValidDateTime(value)) return;
    date_ = value;
    RebuildMonth();
    Change();
}

void TRxCalendar::TakeDate(TDateTime value, bool dayOnly) {
    date_ = value;
    useCurrentDate_ = false;
    RebuildMonth(dayOnly);
    Change();
}

void TRxCalendar::SetElement(PickDate::TDateElement element, int value) {
    TDateTime d = date_;
    if (PickDate::SetDateElement(d, element, value)) TakeDate(d, element == PickDate::deDay);
}

void TRxCalendar::SetDay(int value) { SetElement(PickDate::deDay, value); }
void TRxCalendar::SetMonth(int value) { SetElement(PickDate::deMonth, value); }
void TRxCalendar::SetYear(int value) { SetElement(PickDate::deYear, value); }

void TRxCalendar::PrevMonth() {
    TDateTime d = date_;
    if (PickDate::StepMonth(d, -1)) SetCalendarDate(d);
}

void TRxCalendar::NextMonth() {
    TDateTime d = date_;
    if (PickDate::StepMonth(d, 1)) SetCalendarDate(d);
}

void TRxCalendar::PrevYear() {
    TDateTime d = date_;
    if (PickDate::StepYear(d, -1)) TakeDate(d, false);
}

void TRxCalendar::NextYear() {
    TDateTime d = date_;
    if (PickDate::StepYear(d, 1)) TakeDate(d, false);
}

void TRxCalendar::SetStartOfWeek(TDayOfWeekName value) {
    if (value == startOfWeek_) return;
    startOfWeek_ = value;
    RebuildMonth();
}

void TRxCalendar::SetWeekends(TDaysOfWeek value) {
    if (value == weekends_) return;
    weekends_ = value;
    Invalidate();
}

void TRxCalendar::SetWeekendColor(TColor value) {
    if (value == weekendColor_) return;
    weekendColor_ = value;
    Invalidate();
}

void TRxCalendar::RebuildMonth(bool dayOnly) {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    monthOffset_ = PickDate::MonthOffset(y, m, startOfWeek_);
    int col, row;
    PickDate::DayCell(d, monthOffset_, col, row);
    updating_ = true;
    try {
        FocusCell(col, row);
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
    // A new month changes every cell; a new day only the selection, which
    // moving it repaints.
    if (!dayOnly) Invalidate();
}

std::string TRxCalendar::GetCellText(int ACol, int ARow) const {
    return PickDate::CellText(monthOffset_, ACol, ARow, DaysThisMonth(), startOfWeek_);
}

std::string TRxCalendar::ScriptCell(int col, int row) const { return GetCellText(col, row); }

bool TRxCalendar::SelectCell(int col, int row) {
    if (GetCellText(col, row).empty()) return false;
    if (readOnly_ && !updating_) return false;
    return TStringGrid::SelectCell(col, row);
}

void TRxCalendar::Click() {
    TStringGrid::Click();
    const int n = PickDate::CellDay(monthOffset_, Col(), Row(), DaysThisMonth());
    if (n) SetDay(n);
}

void TRxCalendar::KeyDown(WORD& key, TShiftState shift) {
    if (!(shift & (ssShift | ssCtrl | ssAlt))) {
        switch (key) {
            case VK_LEFT:
            case VK_SUBTRACT:
                if (Day() > 1)
                    SetDay(Day() - 1);
                else
                    SetCalendarDate(date_ - 1);
                key = 0;
                return;
            case VK_RIGHT:
            case VK_ADD:
                if (Day() < DaysThisMonth())
                    SetDay(Day() + 1);
                else
                    SetCalendarDate(date_ + 1);
                key = 0;
                return;
            default: break;
        }
    }
    TStringGrid::KeyDown(key, shift);
}

void TRxCalendar::KeyPress(char& key) {
    if (key == 'T' || key == 't') {
        SetCalendarDate(Today());
        key = 0;
        return;
    }
    TStringGrid::KeyPress(key);
}

TColor TRxCalendar::CellTextColor(int col, int) const {
    return PickDate::IsWeekendColumn(startOfWeek_, weekends_, col) ? weekendColor_ : Font().Color();
}

void TRxCalendar::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TCanvas& c = Canvas();
    if (c.Attached()) {
        const bool selected = (state & gdSelected) && !(state & gdFixed);
        if (selected) c.Brush().SetColor(clHighlight);
        c.FillRect(rect);
        c.Font().SetColor(selected ? clHighlightText : CellTextColor(col, row));
        const std::string text = GetCellText(col, row);
        if (!text.empty()) {
            const TSize size = c.TextExtent(text);
            c.TextOut(rect.Left + (rect.Width() - size.cx) / 2, rect.Top + (rect.Height() - size.cy) / 2, text);
        }
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TRxCalendar::BoundsChanged() {
    TStringGrid::BoundsChanged();
    const int line = GridLineWidth();
    // The lines between the columns are taken off only when they are drawn.
    const int w = PickDate::CellExtent(ClientWidth(), (Options() & goVertLine) ? line : 0);
    const int h = PickDate::CellExtent(ClientHeight(), line);
    if (w != DefaultColWidth()) SetDefaultColWidth(w);
    if (h != DefaultRowHeight()) SetDefaultRowHeight(h);
}

// ------------------------------------------------------- calendar in a chooser

TLocCalendar::TLocCalendar(TComponent* AOwner) : TRxCalendar(AOwner) {
    SetTabStop(false);
    SetBorderStyle(TBorderStyle::bsNone);
    SetOptions(goFixedHorzLine | goDrawFocusSelected);
    // Only the line under the day names is drawn, by the cells themselves:
    // without lines between them the seven 26-pixel columns of the drop-down
    // fill its 183 pixels.
    SetGridLineWidth(0);
    SetParentColor(true);
    SetFixedColor(Color());
    SetCalendarDate(Today());
    SetUseCurrentDate(false);
}

void TLocCalendar::ColorChanged() {
    TRxCalendar::ColorChanged();
    SetFixedColor(Color());
}

void TLocCalendar::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TRxCalendar::DrawCell(col, row, rect, state);
    TCanvas& c = Canvas();
    if (!c.Attached()) return;
    if (row == 0) {
        c.FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, clBlack);
        return;
    }
    int y, m, d;
    DecodeDate(Today(), y, m, d);
    const int n = PickDate::CellDay(MonthOffset(), col, row, DaysThisMonth());
    if (n != d || m != Month() || y != Year()) return;
    // A sunken frame marks today.
    c.FillRect(TRect{rect.Left, rect.Top, rect.Right, rect.Top + 1}, clBtnShadow);
    c.FillRect(TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, clBtnShadow);
    c.FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, clBtnHighlight);
    c.FillRect(TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, clBtnHighlight);
}

// -------------------------------------------------------------- arrow button

TRxTimerSpeedButton::TRxTimerSpeedButton(TComponent* AOwner) : TRxSpeedButton(AOwner) {
    SetStyle(bsWin31);
    SetAllowTimer(true);
}

namespace PickDate {

namespace {

// Left- or right-pointing solid triangles, 4 x 7 each, side by side.
TBitmap MakeArrow(bool next, int count) {
    const int w = 4 * count, h = 7;
    TBitmap b(w, h, TPixelFormat::pf24bit);
    TCanvas& c = b.Canvas();
    c.FillRect(TRect{0, 0, w, h}, clFuchsia);
    for (int t = 0; t < count; ++t)
        for (int i = 0; i < 4; ++i) {
            const int x = t * 4 + (next ? 3 - i : i);
            c.FillRect(TRect{x, 3 - i, x + 1, 4 + i}, clBlack);
        }
    b.SetTransparentColor(clFuchsia);
    return b;
}

const char* const kDefaultHints[4] = {SPrevYear, SPrevMonth, SNextMonth, SNextYear};

void ApplyHints(TRxSpeedButton* const buttons[4], const TStringList& hints) {
    for (int i = 0; i < 4 && i < hints.Count(); ++i)
        if (!hints[i].empty()) buttons[i]->SetHint(hints[i]);
}

}  // namespace

const TBitmap& ArrowGlyph(int index) {
    static const TBitmap glyphs[4] = {MakeArrow(false, 2), MakeArrow(false, 1), MakeArrow(true, 1),
                                      MakeArrow(true, 2)};
    return glyphs[index < 0 ? 0 : index > 3 ? 3 : index];
}

void SetMessageFont(TFont& Font) {
    Font.SetName("MS Sans Serif");
    Font.SetSize(8);
    Font.SetStyle(0);
    Font.SetColor(clWindowText);
}

std::unique_ptr<TPopupWindow> CreatePopupCalendar(TCustomComboEdit* AOwner) {
    return std::make_unique<TPopupCalendar>(AOwner);
}

void SetupPopupCalendar(TPopupWindow* PopupCalendar, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                        const TStringList& Hints, TColor WeekendColor) {
    auto* popup = dynamic_cast<TPopupCalendar*>(PopupCalendar);
    if (!popup) return;
    popup->Calendar()->SetStartOfWeek(StartOfWeek);
    popup->Calendar()->SetWeekendColor(WeekendColor);
    popup->Calendar()->SetWeekends(Weekends);
    TRxSpeedButton* const buttons[4] = {popup->Buttons(0), popup->Buttons(1), popup->Buttons(2),
                                        popup->Buttons(3)};
    ApplyHints(buttons, Hints);
}

bool ShowDateDialog(TDateTime& Date, const std::string& Title, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                    TColor WeekendColor, const TStringList& Hints) {
    auto* dlg = new TSelectDateDlg(Application);
    struct Release {
        TSelectDateDlg* d;
        ~Release() { d->Free(); }
    } release{dlg};
    if (!Title.empty()) dlg->SetCaption(Title);
    dlg->SetDate(Date == DateUtil::NoDate ? Today() : Date);
    dlg->Calendar->SetStartOfWeek(StartOfWeek);
    dlg->Calendar->SetWeekends(Weekends);
    dlg->Calendar->SetWeekendColor(WeekendColor);
    TRxSpeedButton* const buttons[4] = {dlg->PrevYearBtn, dlg->PrevMonthBtn, dlg->NextMonthBtn, dlg->NextYearBtn};
    ApplyHints(buttons, Hints);
    if (dlg->ShowModal() != mrOk) return false;
    Date = dlg->Date();
    return true;
}

}  // namespace PickDate

// ------------------------------------------------------- drop-down calendar

TPopupCalendar::TPopupCalendar(TCustomComboEdit* AOwner) : TPopupWindow(AOwner) {
    SetBounds(0, 0, 187, 124);
    SetColor(clBtnFace);
    PickDate::SetMessageFont(Font());
    if (AOwner) SetShowHint(AOwner->ShowHint());

    back_ = new TPanel(this);
    back_->SetBorderStyle(TBorderStyle::bsSingle);
    back_->SetParent(this);
    back_->SetAlign(TAlign::alClient);
    back_->SetParentColor(true);

    titlePanel_ = new TPanel(this);
    titlePanel_->SetBevelOuter(TPanelBevel::bvNone);
    titlePanel_->SetParent(back_);
    titlePanel_->SetBounds(0, 0, Width() - 4, 18);
    titlePanel_->SetAlign(TAlign::alTop);
    titlePanel_->SetParentColor(true);

    calendar_ = new TLocCalendar(this);
    calendar_->SetParent(back_);
    calendar_->SetAlign(TAlign::alClient);
    calendar_->OnChange = [this](TObject*) { TitleChanged(); };
    calendar_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        CalendarMouseUp(button, x, y);
    };

    const int pw = titlePanel_->Width();
    const int lefts[4] = {-1, 12, pw - 26, pw - 13};
    for (int i = 0; i < 4; ++i) {
        auto* b = new TRxTimerSpeedButton(this);
        b->SetParent(titlePanel_);
        b->SetBounds(lefts[i], -1, 14, 14);
        b->SetGlyph(PickDate::ArrowGlyph(i));
        b->SetHint(PickDate::kDefaultHints[i]);
        buttons_[i] = b;
    }
    buttons_[0]->OnClick = [this](TObject*) { calendar_->PrevYear(); };
    buttons_[1]->OnClick = [this](TObject*) { calendar_->PrevMonth(); };
    buttons_[2]->OnClick = [this](TObject*) { calendar_->NextMonth(); };
    buttons_[3]->OnClick = [this](TObject*) { calendar_->NextYear(); };

    title_ = new TLabel(this);
    title_->SetParent(titlePanel_);
    title_->SetAutoSize(false);
    title_->SetBounds(29, 1, pw - 58, 14);
    title_->SetAlignment(taCenter);
    title_->SetTransparent(true);
    title_->OnDblClick = [this](TObject*) { calendar_->SetCalendarDate(Today()); };
    TitleChanged();
}

void TPopupCalendar::TitleChanged() { title_->SetCaption(PickDate::TitleText(calendar_->CalendarDate())); }

void TPopupCalendar::CalendarMouseUp(TMouseButton button, int x, int y) {
    if (button != TMouseButton::mbLeft) return;
    int col, row;
    calendar_->MouseToCell(x, y, col, row);
    if (row > 0 && !calendar_->GetCellText(col, row).empty()) Finish(true);
}

TPopupValue TPopupCalendar::ReadValue() { return TPopupValue::OfDate(calendar_->CalendarDate()); }

void TPopupCalendar::WriteValue(const TPopupValue& value) {
    TDateTime date = Today();
    if (!value.IsNull()) {
        std::string text;
        for (char c : value.AsText())
            if (c != FormatSettings.DateSeparator) text += c;
        if (!Trim(text).empty()) {
            try {
                date = value.AsDate();
            } catch (const Exception&) {
                date = Today();
            }
        }
    }
    if (!DateUtil::IsValidDateTime(date)) date = Today();
    calendar_->SetCalendarDate(date);
    TitleChanged();
}

void TPopupCalendar::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_PRIOR || key == VK_NEXT) {
        const bool ctrl = shift & ssCtrl;
        if (key == VK_PRIOR)
            ctrl ? calendar_->PrevYear() : calendar_->PrevMonth();
        else
            ctrl ? calendar_->NextYear() : calendar_->NextMonth();
        key = 0;
        return;
    }
    calendar_->KeyDown(key, shift);
}

void TPopupCalendar::KeyPress(char& key) { calendar_->KeyPress(key); }

// --------------------------------------------------------------- date dialog

TSelectDateDlg::TSelectDateDlg(TComponent* AOwner) : TForm(AOwner) {
    SetName("SelectDateDlg");
    SetCaption(PickDate::SDateDlgTitle);
    SetBorderStyle(TFormBorderStyle::bsToolWindow);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(222);
    SetClientHeight(154);
    SetColor(clBtnFace);
    PickDate::SetMessageFont(Font());
    SetShowHint(true);
    KeyPreview = true;

    TopPanel = Make<TPanel>(this, this, "TopPanel");
    TopPanel->SetBounds(0, 0, 222, 22);
    TopPanel->SetBevelOuter(TPanelBevel::bvNone);
    TopPanel->SetBevelInner(TPanelBevel::bvLowered);
    TopPanel->SetAlign(TAlign::alTop);

    TitleLabel = Make<TLabel>(this, TopPanel, "TitleLabel");
    TitleLabel->SetAutoSize(false);
    TitleLabel->SetBounds(35, 4, 152, 14);
    TitleLabel->SetAlignment(taCenter);
    TitleLabel->SetTransparent(true);
    TFont bold = Font();
    bold.SetStyle(fsBold);
    bold.SetColor(clBlue);
    TitleLabel->SetFont(bold);

    const char* names[4] = {"PrevYearBtn", "PrevMonthBtn", "NextMonthBtn", "NextYearBtn"};
    const int lefts[4] = {3, 18, 188, 203};
    TRxTimerSpeedButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = Make<TRxTimerSpeedButton>(this, TopPanel, names[i]);
        buttons[i]->SetBounds(lefts[i], 3, 16, 16);
        buttons[i]->SetGlyph(PickDate::ArrowGlyph(i));
        buttons[i]->SetHint(PickDate::kDefaultHints[i]);
    }
    PrevYearBtn = buttons[0];
    PrevMonthBtn = buttons[1];
    NextMonthBtn = buttons[2];
    NextYearBtn = buttons[3];

    BottomPanel = Make<TPanel>(this, this, "BottomPanel");
    BottomPanel->SetBounds(0, 133, 222, 21);
    BottomPanel->SetBevelOuter(TPanelBevel::bvNone);
    BottomPanel->SetAlign(TAlign::alBottom);
    OkBtn = Make<TButton>(this, BottomPanel, "OkBtn");
    OkBtn->SetCaption(PickDate::SOKButton);
    OkBtn->SetBounds(0, 0, 112, 21);
    OkBtn->SetModalResult(mrOk);
    CancelBtn = Make<TButton>(this, BottomPanel, "CancelBtn");
    CancelBtn->SetCaption(PickDate::SCancelButton);
    CancelBtn->SetBounds(111, 0, 111, 21);
    CancelBtn->SetModalResult(mrCancel);

    ClientPanel = Make<TPanel>(this, this, "ClientPanel");
    ClientPanel->SetBounds(0, 22, 222, 111);
    ClientPanel->SetBevelOuter(TPanelBevel::bvNone);
    ClientPanel->SetBevelInner(TPanelBevel::bvLowered);
    ClientPanel->SetAlign(TAlign::alClient);

    Calendar = Make<TRxCalendar>(this, ClientPanel, "Calendar");
    Calendar->SetAlign(TAlign::alClient);
    Calendar->SetColor(clWhite);
    Calendar->SetUseCurrentDate(false);
    Calendar->SetTabOrder(0);

    PrevYearBtn->OnClick = [this](TObject* s) { PrevYearBtnClick(s); };
    NextYearBtn->OnClick = [this](TObject* s) { NextYearBtnClick(s); };
    PrevMonthBtn->OnClick = [this](TObject* s) { PrevMonthBtnClick(s); };
    NextMonthBtn->OnClick = [this](TObject* s) { NextMonthBtnClick(s); };
    Calendar->OnChange = [this](TObject* s) { CalendarChange(s); };
    Calendar->OnDblClick = [this](TObject* s) { CalendarDblClick(s); };
    TitleLabel->OnDblClick = [this](TObject* s) { TopPanelDblClick(s); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };

    SetActiveControl(Calendar);
    CalendarChange(Calendar);
}

TRxTimerSpeedButton* TSelectDateDlg::Buttons(int index) const {
    switch (index) {
        case 0: return PrevYearBtn;
        case 1: return PrevMonthBtn;
        case 2: return NextMonthBtn;
        default: return NextYearBtn;
    }
}

void TSelectDateDlg::SetDate(TDateTime value) {
    Calendar->SetCalendarDate(value);
    CalendarChange(Calendar);
}

void TSelectDateDlg::PrevYearBtnClick(TObject*) { Calendar->PrevYear(); }
void TSelectDateDlg::NextYearBtnClick(TObject*) { Calendar->NextYear(); }
void TSelectDateDlg::PrevMonthBtnClick(TObject*) { Calendar->PrevMonth(); }
void TSelectDateDlg::NextMonthBtnClick(TObject*) { Calendar->NextMonth(); }

void TSelectDateDlg::CalendarChange(TObject*) { TitleLabel->SetCaption(PickDate::TitleText(Calendar->CalendarDate())); }

void TSelectDateDlg::CalendarDblClick(TObject*) { SetModalResult(mrOk); }

void TSelectDateDlg::TopPanelDblClick(TObject*) { Calendar->SetCalendarDate(std::trunc(::Date())); }

void TSelectDateDlg::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    const bool ctrl = Shift & ssCtrl;
    switch (Key) {
        case VK_ESCAPE: SetModalResult(mrCancel); break;
        case VK_RETURN: SetModalResult(mrOk); break;
        case VK_TAB:
            if (Shift & ssShift)
                Calendar->PrevMonth();
            else
                Calendar->NextMonth();
            TitleLabel->Update();
            break;
        case VK_PRIOR:
            ctrl ? Calendar->PrevYear() : Calendar->PrevMonth();
            TitleLabel->Update();
            break;
        case VK_NEXT:
            ctrl ? Calendar->NextYear() : Calendar->NextMonth();
            TitleLabel->Update();
            break;
        default: return;
    }
    Key = 0;
}
