#include "controls/spin_edit.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/application.h"
#include "platform/gui/canvas.h"
#include "platform/gui/edit_glue.h"
#include "platform/gui/extctrls.h"
#include "platform/runtime/strutil.h"

namespace RXSpin {

namespace {

TBitmap Arrow(bool up) {
    TBitmap b(6, 6, TPixelFormat::pf24bit);
    TCanvas& c = b.Canvas();
    c.FillRect(TRect{0, 0, 6, 6}, clWhite);
    // Rows of 2, 4 and 6 pixels, point up or down.
    for (int i = 0; i < 3; ++i) {
        const int y = up ? 1 + i : 4 - i;
        c.FillRect(TRect{2 - i, y, 4 + i, y + 1}, clBlack);
    }
    b.SetTransparentColor(clWhite);
    b.SetTransparent(true);
    return b;
}

}  // namespace

const TBitmap& DefaultUpGlyph() {
    static const TBitmap glyph = Arrow(true);
    return glyph;
}

const TBitmap& DefaultDownGlyph() {
    static const TBitmap glyph = Arrow(false);
    return glyph;
}

int SpinWidth() { return std::min(GetSystemMetrics(SM_CXVSCROLL), 15); }

}  // namespace RXSpin

// ---------------------------------------------------------- diagonal button

TRxSpinButton::TRxSpinButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    upGlyph_ = RXSpin::DefaultUpGlyph();
    downGlyph_ = RXSpin::DefaultDownGlyph();
    SetBounds(0, 0, 20, 20);
}

void TRxSpinButton::SetUpGlyph(const TBitmap& glyph) {
    upGlyph_ = glyph.Empty() ? RXSpin::DefaultUpGlyph() : glyph;
    upGlyph_.SetTransparent(true);
    Invalidate();
}

void TRxSpinButton::SetDownGlyph(const TBitmap& glyph) {
    downGlyph_ = glyph.Empty() ? RXSpin::DefaultDownGlyph() : glyph;
    downGlyph_.SetTransparent(true);
    Invalidate();
}

void TRxSpinButton::SetState(TSpinPressState state) {
    if (state == state_) return;
    state_ = state;
    Invalidate();
}

void TRxSpinButton::FireClick(TSpinPressState half) {
    if (half == spTopDown) {
        if (OnTopClick) OnTopClick(this);
    } else if (half == spBottomDown) {
        if (OnBottomClick) OnBottomClick(this);
    }
    if (Mouse && !Mouse->LeftButtonDown()) SetState(spNotDown);
}

void TRxSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    if (FocusControl && FocusControl->TabStop() && FocusControl->CanFocus() && !FocusControl->Focused())
        FocusControl->SetFocus();
    if (state_ == spNotDown) {
        lastState_ = RXSpin::HalfAt(x, y, Width(), Height());
        SetState(lastState_);
        SetMouseCapture(true);
        if (!repeatTimer_) {
            repeatTimer_ = new TTimer(this);
            repeatTimer_->OnTimer = [this](TObject*) { TimerExpired(); };
        }
        repeatTimer_->SetEnabled(false);
        repeatTimer_->SetInterval(400);
        repeatTimer_->SetEnabled(true);
        dragging_ = true;
        FireClick(lastState_);
    }
    dragging_ = true;
}

void TRxSpinButton::TimerExpired() {
    repeatTimer_->SetInterval(100);
    if (state_ == spNotDown || !MouseCapture()) return;
    try {
        FireClick(state_);
    } catch (...) {
        repeatTimer_->SetEnabled(false);
        throw;
    }
}

void TRxSpinButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragging_) return;
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (inside && RXSpin::HalfAt(x, y, Width(), Height()) == lastState_)
        SetState(lastState_);
    else
        SetState(spNotDown);
}

void TRxSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    dragging_ = false;
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
    if (MouseCapture()) SetMouseCapture(false);
    lastState_ = spNotDown;
    SetState(spNotDown);
}

void TRxSpinButton::Paint() {
    TCanvas& c = Canvas();
    const int w = Width(), h = Height();
    const bool top = state_ == spTopDown, bottom = state_ == spBottomDown;
    c.FillRect(TRect{0, 0, w, h}, clBtnFace);
    auto line = [&](TColor color, std::initializer_list<TPoint> points) {
        c.Pen().SetColor(color);
        auto p = points.begin();
        c.MoveTo(p->X, p->Y);
        for (++p; p != points.end(); ++p) c.LineTo(p->X, p->Y);
    };
    c.Brush().SetColor(clWindowFrame);
    c.FrameRect(TRect{0, 0, w, h});
    line(clWindowFrame, {{-1, h}, {w, -1}});
    line(top ? clBtnShadow : clBtnHighlight, {{1, h - 4}, {1, 1}, {w - 3, 1}});
    if (!top) line(clBtnShadow, {{1, h - 3}, {w - 2, 0}});
    line(bottom ? clBtnHighlight : clBtnShadow, {{2, h - 2}, {w - 2, h - 2}, {w - 2, 1}});
    line(bottom ? clBtnShadow : clBtnHighlight, {{2, h - 2}, {w - 1, 1}});
    const int upShift = top ? 2 : 1;
    c.Draw(w / 4 - upGlyph_.Width() / 2 + upShift, h / 4 - upGlyph_.Height() / 2 + upShift, upGlyph_);
    c.Draw(3 * w / 4 - downGlyph_.Width() / 2 - 1, 3 * h / 4 - downGlyph_.Height() / 2 - 1, downGlyph_);
    if (bottom) line(clBtnShadow, {{3, h - 2}, {w - 1, 2}});
}

// ------------------------------------------------------------------ up-down

TRxUpDown::TRxUpDown(TComponent* AOwner) : TUpDown(AOwner) {
    SetMin(-1);
    SetMax(1);
    SetPosition(0);
    Thousands = false;
    OnClick = [this](TObject*, TUDBtnType button) {
        SetPosition(0);
        if (OnStep) OnStep(button);
    };
}

// ---------------------------------------------------------------- spin edit

TRxSpinEdit::TRxSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetText("0");
    SetBounds(Left(), Top(), 121, 21);
    RecreateButton();
    created_ = true;
    PlaceButton();
}

long double TRxSpinEdit::Value() const { return RXSpin::ValueOfText(Text(), valueType_, minValue_); }

void TRxSpinEdit::SetValue(long double value) {
    SetText(RXSpin::TextOfValue(value, valueType_, decimal_, minValue_, maxValue_));
}

void TRxSpinEdit::SetDecimal(int value) {
    value = std::clamp(value, 0, 255);
    if (value == decimal_) return;
    decimal_ = value;
    SetValue(Value());
}

void TRxSpinEdit::SetValueType(TValueType value) {
    if (value == valueType_) return;
    // Read under the old type: read under the new one, "2,50" would become 0
    // and "255" would stand for $255 with the same text.
    const long double v = Value();
    valueType_ = value;
    if (value != vtFloat) increment_ = RXSpin::WholeIncrement(increment_);
    SetValue(v);
}

void TRxSpinEdit::SetAlignment(TAlignment value) {
    alignment_ = value;
    EditGlue::SetTextAlignment(*this, value);
}

void TRxSpinEdit::SetButtonKind(TSpinButtonKind value) {
    if (value == buttonKind_) return;
    buttonKind_ = value;
    RecreateButton();
    PlaceButton();
}

void TRxSpinEdit::RecreateButton() {
    delete container_;  // the diagonal button is its own
    container_ = nullptr;
    button_ = nullptr;
    delete upDown_;
    upDown_ = nullptr;
    if (buttonKind_ == bkStandard) {
        upDown_ = new TRxUpDown(this);
        upDown_->SetParent(this);
        upDown_->OnStep = [this](TUDBtnType b) {
            if (TabStop() && CanFocus() && !Focused()) SetFocus();
            b == TUDBtnType::btNext ? StepUp(this) : StepDown(this);
        };
        upDown_->SetEnabled(Enabled());
    } else {
        container_ = new TPanel(this);
        container_->SetBevelOuter(TPanelBevel::bvNone);
        container_->SetParent(this);
        button_ = new TRxSpinButton(container_);
        button_->SetParent(container_);
        button_->FocusControl = this;
        button_->OnTopClick = [this](TObject* s) { StepUp(s); };
        button_->OnBottomClick = [this](TObject* s) { StepDown(s); };
        button_->SetEnabled(Enabled());
    }
}

void TRxSpinEdit::PlaceButton() {
    if (!created_) return;
    const int w = Width(), h = Height();
    const bool rtl = UseRightToLeftAlignment();
    int spinnerWidth = 0;
    if (container_) {
        // A square inside the edit's 3-D frame, its outer edge and bottom on
        // the frame's inner line; at the left end for right-to-left reading.
        const int side = std::max(0, h - 3);
        container_->SetBounds(rtl ? 1 : w - h + 1, 1, side, side);
        button_->SetBounds(0, 0, side, side);
        spinnerWidth = side;
    } else if (upDown_) {
        spinnerWidth = RXSpin::SpinWidth();
        upDown_->SetBounds(rtl ? 2 : w - spinnerWidth - 2, 2, spinnerWidth, std::max(0, h - 4));
    }
    if (rtl)
        EditGlue::SetTextMargins(*this, spinnerWidth + 1, 0);
    else
        EditGlue::SetRightTextMargin(*this, spinnerWidth + 2);
}

void TRxSpinEdit::SetBiDiMode(TBiDiMode value) {
    if (value == biDiMode_) return;
    biDiMode_ = value;
    PlaceButton();
}

void TRxSpinEdit::SetBounds(int left, int top, int width, int height) {
    if (created_) {
        TCanvas measure;
        measure.SetFont(Font());
        height = std::max(height, measure.TextHeight("Wg") + 4 * GetSystemMetrics(SM_CYBORDER) + 1);
    }
    TCustomEdit::SetBounds(left, top, width, height);
    PlaceButton();
}

void TRxSpinEdit::SetEnabled(bool enabled) {
    TCustomEdit::SetEnabled(enabled);
    if (button_) button_->SetEnabled(enabled);
    if (upDown_) upDown_->SetEnabled(enabled);
}

bool TRxSpinEdit::AcceptsKey(char key) const { return RXSpin::AcceptsKey(key, Text(), valueType_, editorEnabled_); }

bool TRxSpinEdit::Step(long double delta) {
    if (ReadOnly()) {
        MessageBeep(0);
        return false;
    }
    const std::string before = Text();
    changing_ = true;
    try {
        SetValue(Value() + delta);
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
    if (CompareText(before, Text()) != 0) {
        Modified = true;
        Change();
    }
    return true;
}

void TRxSpinEdit::StepUp(TObject*) {
    if (Step(increment_) && OnTopClick) OnTopClick(this);
}

void TRxSpinEdit::StepDown(TObject*) {
    if (Step(-increment_) && OnBottomClick) OnBottomClick(this);
}

void TRxSpinEdit::Change() {
    if (!changing_) TCustomEdit::Change();
}

void TRxSpinEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (ArrowKeys && (key == VK_UP || key == VK_DOWN)) {
        key == VK_UP ? StepUp(this) : StepDown(this);
        key = 0;
    }
}

void TRxSpinEdit::KeyPress(char& key) {
    if (key && !AcceptsKey(key)) {
        key = 0;
        MessageBeep(0);
    }
    TCustomEdit::KeyPress(key);
    // Enter and Esc reached the form's buttons as dialog keys before this.
    if (key == '\r') key = 0;
}

void TRxSpinEdit::WidgetEdited(const std::string& text) {
    // Without the editor (or read-only) the text changes only by the spinner.
    if (!editorEnabled_ || ReadOnly()) {
        ShowText();
        return;
    }
    TCustomEdit::WidgetEdited(text);
}

void TRxSpinEdit::WndProc(TMessage& message) {
    if ((message.Msg == WM_PASTE || message.Msg == WM_CUT) && (!editorEnabled_ || ReadOnly())) return;
    TCustomEdit::WndProc(message);
}

void TRxSpinEdit::DoExit() {
    TCustomEdit::DoExit();
    const long double v = Value();
    if (RXSpin::ClampValue(v, minValue_, maxValue_) != v) SetValue(v);
}
