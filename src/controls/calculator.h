#pragma once
// The calculator panel (keypad over the calculator engine), its keys and the
// drop-down calculator a number edit can open to compute its value.
#include <memory>
#include <string>
#include <vector>

#include "controls/calc_engine.h"
#include "controls/combo_edit.h"
#include "controls/speed_button.h"
#include "platform/gui/extctrls.h"

class TLabel;

// One key of the keypad.
class TCalcButton : public TRxSpeedButton {
public:
    TCalcButton(TComponent* AOwner, TCalcBtnKind kind);
    TCalcBtnKind Kind() const { return kind_; }
    // The key colour is the font colour, kept when the parent font changes.
    TColor KeyColor() const { return keyColor_; }

protected:
    void FontChanged() override;

private:
    TCalcBtnKind kind_;
    TColor keyColor_;
    bool applying_ = false;
};

enum TCalculatorLayout { clNormal, clPopup };

class TCalculatorPanel : public TPanel {
public:
    TCalculatorPanel(TComponent* AOwner, TCalculatorLayout layout);

    TCalcEngine& Engine() { return engine_; }
    // The text on show ("0", "12,5", "Error").
    const std::string& DisplayText() const { return engine_.Text(); }
    TCalcEntryState State() const { return engine_.State(); }
    long double DisplayValue() const { return engine_.DisplayedNumber(); }
    void SetDisplayValue(long double value) { engine_.ShowNumber(value); }
    int Precision() const { return engine_.Precision(); }
    void SetPrecision(int value) { engine_.SetPrecision(value); }
    bool BeepOnError() const { return engine_.BeepOnError; }
    void SetBeepOnError(bool value) { engine_.BeepOnError = value; }
    // A control whose caption follows the text; at first the label of the
    // display panel.
    void SetDisplayControl(TControl* control);
    // The standard layout's display: a panel whose label shows the text, for
    // the form that hosts the keypad to place; nullptr in the popup layout.
    TPanel* DisplayPanel() const { return displayPanel_; }
    // 3-D: keys of the new style and a sunken display; else keys of the old
    // style and a display with a single border.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);

    TNotifyEvent OnError, OnOk, OnCancel, OnResult, OnTextChange, OnDisplayChange;
    std::function<void(TObject* Sender, char& Key)> OnCalcKey;

    // The key of a kind (nullptr when the layout has none).
    TCalcButton* Button(TCalcBtnKind kind) const;
    // A key of the keypad was clicked.
    void KeyClicked(TCalcBtnKind kind);
    // A typed character: the key it stands for is clicked (shown pressed), or
    // the engine takes the character when the layout has no such key.
    void KeyPressed(char key);
    void ProcessKey(char key) { engine_.ProcessKey(key); }
    void ClearAll() { engine_.ClearAll(); }
    // "M" while the memory holds a value.
    TLabel* MemoryLabel() const { return memoryLabel_; }

protected:
    virtual void TextUpdated();

private:
    void UpdateMemoryLabel();
    void ApplyCtl3D();

    TCalcEngine engine_;
    TCalculatorLayout layout_;
    bool ctl3D_ = true;
    std::vector<TCalcButton*> buttons_;
    TControl* display_ = nullptr;
    TPanel* displayPanel_ = nullptr;
    TPanel* memoryPanel_ = nullptr;
    TLabel* memoryLabel_ = nullptr;
};

// The panel inside the drop-down: never takes the focus.
class TLocCalculator : public TCalculatorPanel {
public:
    explicit TLocCalculator(TComponent* AOwner);
};

// The drop-down calculator of a number edit: typed keys go to the
// calculator, whose text the edit shows; "=" or Enter closes it with the
// result.
class TPopupCalculator : public TPopupWindow {
public:
    explicit TPopupCalculator(TCustomComboEdit* AOwner);
    TLocCalculator* Calculator() const { return calculator_; }

    // A null value while "Error" shows.
    TPopupValue ReadValue() override;
    // Shows the value as a new number (0 when empty or unreadable).
    void WriteValue(const TPopupValue& value) override;
    std::string DisplayText() const override { return calculator_->DisplayText(); }
    void KeyPress(char& key) override;

private:
    TLocCalculator* calculator_ = nullptr;
};

namespace RxCalc {
// "CALCBTNS": six 14 x 13 cells: Cancel, OK, change sign, times, minus, plus.
const TBitmap& CalcButtonGlyphs();
// The calculator's font: the message font made bold.
void SetCalculatorFont(TFont& Font);
std::unique_ptr<TPopupWindow> CreatePopupCalculator(TCustomComboEdit* AOwner);
// Only for a drop-down calculator: precision (at least 2) and the beep flag.
void SetupPopupCalculator(TPopupWindow* PopupCalc, int APrecision, bool ABeepOnError);
}  // namespace RxCalc
