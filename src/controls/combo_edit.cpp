#include "controls/combo_edit.h"

#include <algorithm>
#include <vector>

#include "controls/control_bitmaps.h"
#include "platform/gui/edit_glue.h"
#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"

// ---------------------------------------------------------------- popup value

std::string TPopupValue::AsText() const {
    switch (Kind) {
        case vkText: return Text;
        case vkDate: return DateToStr(double(Number));
        case vkNumber: return FloatToStr(Number);
        case vkNull: break;
    }
    return std::string();
}

double TPopupValue::AsDate() const {
    switch (Kind) {
        case vkText: return StrToDate(Text);
        case vkDate:
        case vkNumber: return double(Number);
        case vkNull: break;
    }
    return 0.0;
}

// --------------------------------------------------------------- popup window

TPopupWindow::TPopupWindow(TCustomComboEdit* AOwner) : TCustomControl(nullptr), editor_(AOwner) {
    SetVisible(false);
    EditGlue::MakePopupWindow(*this);
    SetColor(clBtnFace);
    SetTabStop(false);
}

void TPopupWindow::Finish(bool accept) {
    if (OnCloseUp) OnCloseUp(this, accept);
}

void TPopupWindow::ShowAt(TPoint origin) {
    SetBounds(origin.X, origin.Y, Width(), Height());
    SetVisible(true);  // a tool-tip window already stays on top
}

void TPopupWindow::HideWindow() { SetVisible(false); }

void TPopupWindow::InvalidateEditor() {
    if (editor_) editor_->Repaint();
}

void TPopupWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (button == TMouseButton::mbLeft) Finish(x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight());
}

// ---------------------------------------------------------------- edit button

TEditButton::TEditButton(TCustomComboEdit* AOwner) : TRxSpeedButton(AOwner), editor_(AOwner) {}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        noAction_ = editor_->PopupVisible();
        if (noAction_)
            editor_->ClosePopup(editor_->Popup(), true);
        else if (editor_->TabStop() && editor_->CanFocus() && !editor_->Focused())
            editor_->SetFocus();
    }
    TRxSpeedButton::MouseDown(button, shift, x, y);
}

void TEditButton::Click() {
    if (noAction_) {
        noAction_ = false;
        return;
    }
    TRxSpeedButton::Click();
}

void TEditButton::Paint() {
    TRxSpeedButton::Paint();
    if (State() == rbsDown || State() == rbsExclusive) return;
    TCanvas& c = Canvas();
    c.FillRect(TRect{0, 0, 1, Height() - 1}, ColorToRGB(clBtnFace));
    c.FillRect(TRect{1, 1, 2, Height() - 2}, ColorToRGB(clBtnHighlight));
}

// ------------------------------------------------------------------ combo edit

namespace ToolEdit {

TPoint TextMargins(TCustomComboEdit& edit) {
    const int inner = 1;  // the 3-D border of the edits
    return TPoint{EditGlue::LeftTextMargin(edit) + inner, inner};
}

bool PaintEditText(TCustomComboEdit& edit, const std::string& text, TAlignment alignment, bool standard) {
    if (standard) return false;
    // The platform draws the window: placing the text is what is left.
    EditGlue::ShowText(edit, text, edit.PopupVisible() ? taLeftJustify : alignment);
    return true;
}

TBitmap DropDownArrowGlyph() {
    TBitmap b(11, 6, TPixelFormat::pf24bit);
    b.Canvas().FillRect(TRect{0, 0, 11, 6}, clFuchsia);
    for (int row = 0; row < 4; ++row)
        b.Canvas().FillRect(TRect{2 + row, 1 + row, 9 - row, 2 + row}, clBlack);
    b.SetTransparentColor(clFuchsia);
    return b;
}

TBitmap EllipsisGlyph(int buttonWidth) {
    const int w = RXCtrls::EllipsisGlyphWidth(buttonWidth);
    TBitmap b(w, 4, TPixelFormat::pf24bit);
    b.Canvas().FillRect(TRect{0, 0, w, 4}, clWhite);
    int x[3];
    RXCtrls::EllipsisDots(w, x);
    for (int dot : x) b.Canvas().FillRect(TRect{dot, 1, dot + 2, 3}, clBlack);
    b.SetTransparentColor(clWhite);
    return b;
}

}  // namespace ToolEdit

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    container_ = new TPanel(this);
    container_->SetBevelOuter(TPanelBevel::bvNone);
    container_->SetBounds(0, 0, 21, 17);
    container_->SetParent(this);
    button_ = new TEditButton(this);
    button_->SetBounds(0, 0, 21, 17);
    button_->SetParent(container_);
    button_->OnClick = [this](TObject*) { EditButtonPressed(); };
    SetBounds(Left(), Top(), Width(), 21);
    PlaceButton();
    creating_ = false;
}

TCustomComboEdit::~TCustomComboEdit() {
    outsideWatch_.reset();
    if (button_) button_->OnClick = nullptr;
    if (popup_) popup_->OnCloseUp = nullptr;
}

int TCustomComboEdit::ButtonWidth() const { return button_->Width(); }

bool TCustomComboEdit::ButtonVisible() const { return container_->Visible(); }

void TCustomComboEdit::SetButtonWidth(int value) {
    if (value == ButtonWidth()) return;
    container_->SetVisible(value >= 2);
    if (creating_ || value < Width()) {
        button_->SetWidth(value);
        container_->SetWidth(value);
        RebuildGlyph();
    }
    PlaceButton();
}

const std::string& TCustomComboEdit::ButtonHint() const { return button_->Hint(); }
void TCustomComboEdit::SetButtonHint(const std::string& hint) { button_->SetHint(hint); }
const TBitmap& TCustomComboEdit::Glyph() const { return button_->Glyph(); }

void TCustomComboEdit::SetGlyph(const TBitmap& bitmap) {
    glyphKind_ = gkCustom;
    button_->SetGlyph(bitmap);
}

int TCustomComboEdit::NumGlyphs() const { return button_->NumGlyphs(); }

void TCustomComboEdit::SetNumGlyphs(int value) {
    switch (glyphKind_) {
        case gkDropDown:
        case gkEllipsis: value = 1; break;
        case gkDefault: value = defNumGlyphs_; break;
        case gkCustom: break;
    }
    button_->SetNumGlyphs(value);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind) {
    if (kind == glyphKind_ && !creating_) return;
    glyphKind_ = kind;
    RebuildGlyph();
    if (kind == gkDefault) {
        const TBitmap* g = DefaultGlyph();
        if (g && !g->Empty())
            SetButtonWidth(std::max(g->Width() / std::max(1, defNumGlyphs_) + 6, ButtonWidth()));
    } else if (kind == gkDropDown) {
        SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
    }
}

void TCustomComboEdit::RebuildGlyph() {
    switch (glyphKind_) {
        case gkDefault:
            if (const TBitmap* g = DefaultGlyph()) {
                button_->SetGlyph(*g);
                button_->SetNumGlyphs(defNumGlyphs_);
            }
            break;
        case gkDropDown:
            button_->SetGlyph(ToolEdit::DropDownArrowGlyph());
            button_->SetNumGlyphs(1);
            break;
        case gkEllipsis:
            button_->SetGlyph(ToolEdit::EllipsisGlyph(ButtonWidth()));
            button_->SetNumGlyphs(1);
            break;
        case gkCustom: break;
    }
}

void TCustomComboEdit::PlaceButton() {
    const int w = ButtonWidth();
    // Inside the edit's 2-pixel frame, as the text area is.
    container_->SetBounds(Width() - w - 2, 2, w, std::max(0, Height() - 4));
    button_->SetBounds(0, 0, w, std::max(0, Height() - 4));
    SetTextArea();
}

namespace {
// A line of text's height in a font; the system font's characters are 13
// pixels high. Forms place their edits several times while they are built,
// so each font is measured once.
int LineHeight(const TFont& font) {
    struct Measured {
        TFont font;
        int height;
    };
    static std::vector<Measured> measured;
    for (const Measured& m : measured)
        if (m.font == font && m.font.PixelsPerInch() == font.PixelsPerInch()) return m.height;
    TCanvas measure;
    measure.SetFont(font);
    const int height = std::min(measure.TextHeight("Wg"), 13);
    if (measured.size() < 64) measured.push_back({font, height});
    return height;
}
}  // namespace

void TCustomComboEdit::SetTextArea() {
    EditGlue::SetRightTextMargin(*this, container_->Visible() ? container_->Width() + 2 : 0);
}

int TCustomComboEdit::FontTextHeight() const { return LineHeight(Font()); }

void TCustomComboEdit::ShowTextCaret() { EditGlue::ShowCaret(*this); }

void TCustomComboEdit::SetBounds(int left, int top, int width, int height) {
    if (!creating_) height = std::max(height, FontTextHeight() + 4 * GetSystemMetrics(SM_CYBORDER) + 1);
    TCustomMaskEdit::SetBounds(left, top, width, height);
    if (button_) PlaceButton();
}

void TCustomComboEdit::SetEnabled(bool enabled) {
    TCustomMaskEdit::SetEnabled(enabled);
    button_->SetEnabled(enabled);
}

void TCustomComboEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    ApplyReadOnly();
}

void TCustomComboEdit::SetDirectInput(bool value) {
    directInput_ = value;
    ApplyReadOnly();
}

void TCustomComboEdit::ApplyReadOnly() { TCustomMaskEdit::SetReadOnly(readOnly_ || !directInput_); }

void TCustomComboEdit::SelectAll() {
    if (directInput_) TCustomMaskEdit::SelectAll();
}

TPopupWindow* TCustomComboEdit::Popup() const {
    if (popupDeferred_) {
        auto* self = const_cast<TCustomComboEdit*>(this);
        self->popupDeferred_ = false;
        self->MakeDeferredPopup();
    }
    return popup_.get();
}

void TCustomComboEdit::SetPopup(std::unique_ptr<TPopupWindow> popup) {
    popupDeferred_ = false;
    if (popup_) popup_->OnCloseUp = nullptr;
    popup_ = std::move(popup);
    if (popup_) popup_->OnCloseUp = [this](TObject* sender, bool accept) { ClosePopup(sender, accept); };
}

void TCustomComboEdit::UpdatePopupVisible() { popupVisible_ = popup_ && popup_->Visible(); }

void TCustomComboEdit::DropDown(bool disableEdit) {
    if (!Popup() || GetReadOnly() || popupVisible_) return;
    const TPoint origin =
        ToolEdit::PopupOrigin(ClientToScreen(TPoint{0, 0}), TSize{Width(), Height()},
                              TSize{popup_->Width(), popup_->Height()}, EditGlue::ScreenSize(), PopupAlign);
    const std::string text = Text();
    SetPopupValue(text.empty() ? TPopupValue::Null() : TPopupValue::OfText(text));
    if (CanFocus()) SetFocus();
    ShowPopupAt(origin);
    popupVisible_ = true;
    if (disableEdit) TCustomMaskEdit::SetReadOnly(true);
    outsideWatch_ = std::make_unique<EditGlue::TOutsideClickWatch>(
        std::vector<TControl*>{this, popup_.get(), button_, container_}, [this] {
            Application->PostCall(this, [this] { ClosePopup(popup_.get(), false); });
        });
}

void TCustomComboEdit::ClosePopup(TObject*, bool accept) {
    if (!popupVisible_) return;
    if (Mouse && Mouse->Capture() && Mouse->Capture() != this) Mouse->Capture()->SetMouseCapture(false);
    TPopupValue value = GetPopupValue();
    HidePopupWindow();
    // The keys go to the edit again (a click elsewhere that moved the focus
    // closed the popup before this, on leaving).
    try {
        if (CanFocus()) SetFocus();
        if (Focused()) ShowTextCaret();
    } catch (const std::exception&) {
        // The popup closes all the same.
    }
    outsideWatch_.reset();
    ApplyReadOnly();
    Invalidate();
    popupVisible_ = false;
    if (accept && CanAcceptPopupValue(value) && EditCanModify()) {
        AcceptPopupValue(value);
        if (Focused()) SelectAll();
    }
    popupVisible_ = false;
}

void TCustomComboEdit::ButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
    if (!Popup()) return;
    if (!popupVisible_)
        DropDown(true);
    else
        ClosePopup(popup_.get(), true);
}

void TCustomComboEdit::EditButtonPressed() {
    if (readOnly_ && !alwaysEnable_) return;
    ButtonClick();
}

void TCustomComboEdit::ShowPopupAt(TPoint origin) {
    if (popup_) popup_->ShowAt(origin);
}

void TCustomComboEdit::HidePopupWindow() {
    if (popup_) popup_->HideWindow();
}

bool TCustomComboEdit::CanAcceptPopupValue(TPopupValue&) { return true; }

void TCustomComboEdit::AcceptPopupValue(const TPopupValue& value) {
    const std::string text = value.AsText();
    if (text == Text()) return;
    SetText(text);  // fires OnChange
    Modified = true;
    UpdatePopupVisible();
}

void TCustomComboEdit::SetPopupValue(const TPopupValue& value) {
    if (popup_) popup_->WriteValue(value);
}

TPopupValue TCustomComboEdit::GetPopupValue() {
    return popup_ ? popup_->ReadValue() : TPopupValue::OfText(std::string());
}

void TCustomComboEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomMaskEdit::KeyDown(key, shift);
    if (key && ShortCut(key, shift & (ssShift | ssCtrl | ssAlt)) == ClickKey && ButtonWidth() > 0) {
        EditButtonPressed();
        key = 0;
    }
}

void TCustomComboEdit::KeyPress(char& key) {
    if ((key == '\r' || key == 27) && PopupVisible()) {
        ClosePopup(popup_.get(), key == '\r');
        key = 0;
        return;
    }
    TCustomMaskEdit::KeyPress(key);
    if (key == '\r') key = 0;
}

int TCustomComboEdit::GetDlgCode() const {
    return TCustomMaskEdit::GetDlgCode() | (PopupVisible() ? DLGC_WANTALLKEYS : 0);
}

void TCustomComboEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && (popup_ || popupDeferred_)) {
        if (CanFocus() && !Focused()) SetFocus();
        if (!Focused()) return;
        if (popupVisible_) ClosePopup(popup_.get(), false);
    }
    TCustomMaskEdit::MouseDown(button, shift, x, y);
}

void TCustomComboEdit::DoExit() {
    // Losing the focus closes the popup without taking its value.
    if (popupVisible_) {
        TPopupValue ignored = GetPopupValue();
        (void)ignored;
        HidePopupWindow();
        outsideWatch_.reset();
        ApplyReadOnly();
        popupVisible_ = false;
    }
    TCustomMaskEdit::DoExit();
}
