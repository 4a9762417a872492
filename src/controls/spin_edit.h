#pragma once
// The spin edit: a one-line numeric edit with a small spinner at its right
// end, either the diagonal button (upper half up, lower half down, repeating
// while held) or an up-down control. Its Value never fails to read: an
// unreadable text reads as MinValue; leaving the edit clamps the text.
#include <functional>

#include "controls/spin_rules.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"

class TPanel;
class TTimer;

// Reading order of a control; only bdRightToLeft places the spinner at the
// left end.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// A square button split along its diagonal; a press fires the half's click
// at once, then after 400 ms every 100 ms while held.
class TRxSpinButton : public TGraphicControl {
public:
    explicit TRxSpinButton(TComponent* AOwner);

    const TBitmap& UpGlyph() const { return upGlyph_; }
    // An empty bitmap brings the default arrow back.
    void SetUpGlyph(const TBitmap& glyph);
    const TBitmap& DownGlyph() const { return downGlyph_; }
    void SetDownGlyph(const TBitmap& glyph);
    // Takes the focus on a press (when it is a tab stop and can).
    TWinControl* FocusControl = nullptr;
    TNotifyEvent OnTopClick, OnBottomClick;

    TSpinPressState State() const { return state_; }
    TTimer* RepeatTimer() const { return repeatTimer_; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void Paint() override;

private:
    // Fires the half's click; when the left button is up by then (its
    // release went elsewhere), the button shows not down again.
    void FireClick(TSpinPressState half);
    void TimerExpired();
    void SetState(TSpinPressState state);

    TSpinPressState state_ = spNotDown;
    TSpinPressState lastState_ = spNotDown;
    TBitmap upGlyph_, downGlyph_;
    bool dragging_ = false;
    TTimer* repeatTimer_ = nullptr;
};

// The platform's up-down control as a spinner: it always rests at 0 and
// reports each step.
class TRxUpDown : public TUpDown {
public:
    explicit TRxUpDown(TComponent* AOwner);
    std::function<void(TUDBtnType)> OnStep;
};

class TRxSpinEdit : public TCustomEdit {
public:
    explicit TRxSpinEdit(TComponent* AOwner);

    // The text read as a number; never raises (an unreadable text gives
    // MinValue, or its whole part for the whole-number types).
    long double Value() const;
    // Clamped and written in the value type's form.
    void SetValue(long double value);
    long double MinValue() const { return minValue_; }
    void SetMinValue(long double value) { minValue_ = value; }
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double value) { maxValue_ = value; }
    long double Increment() const { return increment_; }
    void SetIncrement(long double value) { increment_ = value; }
    int Decimal() const { return decimal_; }
    void SetDecimal(int value);
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType value);
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode value);
    bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }
    bool ArrowKeys = true;
    TNotifyEvent OnTopClick, OnBottomClick;

    TRxSpinButton* Button() const { return button_; }
    TRxUpDown* UpDown() const { return upDown_; }

    virtual bool AcceptsKey(char key) const;
    // One increment up (down); a read-only edit only beeps. OnChange fires
    // once when the text changed.
    virtual void StepUp(TObject* Sender);
    virtual void StepDown(TObject* Sender);

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoExit() override;
    void Change() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetEnabled(bool enabled) override;
    void WndProc(TMessage& message) override;

protected:
    void WidgetEdited(const std::string& text) override;

private:
    // False on a read-only edit, which only beeps.
    bool Step(long double delta);
    void RecreateButton();
    void PlaceButton();

    TAlignment alignment_ = taLeftJustify;
    long double minValue_ = 0, maxValue_ = 0, increment_ = 1;
    int decimal_ = 2;
    bool changing_ = false;
    bool editorEnabled_ = true;
    TValueType valueType_ = vtInteger;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    TBiDiMode biDiMode_ = bdLeftToRight;
    TPanel* container_ = nullptr;
    TRxSpinButton* button_ = nullptr;
    TRxUpDown* upDown_ = nullptr;
    bool created_ = false;
};

namespace RXSpin {
// The default arrows ("RXSPINUP", "RXSPINDOWN"): 6 x 6, black on white.
const TBitmap& DefaultUpGlyph();
const TBitmap& DefaultDownGlyph();
// The up-down spinner's width: the scroll arrow's, at most 15.
int SpinWidth();
}  // namespace RXSpin
