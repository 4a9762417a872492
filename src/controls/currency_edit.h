#pragma once
// The number edits: a one-line edit that owns an extended value. Focused, it
// shows the plain number being typed (digits, decimal comma, sign, exponent);
// unfocused, the value clamped to MinValue..MaxValue in DisplayFormat.
// Reading Value never fails: an unreadable text reads as MinValue.
#include <memory>
#include <string>

#include "controls/combo_edit.h"

class TCustomNumEdit : public TCustomComboEdit {
public:
    explicit TCustomNumEdit(TComponent* AOwner);

    // Brings the value up to date from the text; never raises.
    long double Value() const;
    // The same for the forms' calculations: a text that is no amount raises
    // EConvertError naming the field instead of reading as another number.
    long double CheckedValue() const;
    // The field as the user knows it ("RMI Autor"), named by the message that
    // refuses a text that is no amount; without it the message names the text.
    std::string FieldName;
    // Set on a value of two decimals and no upper bound that is no amount of
    // money (a rate, a coefficient in percent): "." is then its decimal
    // comma, never a thousands point.
    bool NotMoney = false;
    // Clamped; a value that is not finite counts as MinValue.
    void SetValue(long double value);
    // The text being edited ("1234,5"; empty for 0 with ZeroEmpty).
    std::string Text() const override { return TCustomComboEdit::Text(); }
    // Takes the value of the cleaned text; raises EConvertError (value and
    // text unchanged) when it is no number.
    void SetText(const std::string& text) override;
    void Clear() { SetText(""); }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& value);
    int DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(int value);
    long double MinValue() const { return minValue_; }
    void SetMinValue(long double value);
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double value);
    bool ZeroEmpty() const { return zeroEmpty_; }
    void SetZeroEmpty(bool value);
    bool FormatOnEditing() const { return formatOnEditing_; }
    void SetFormatOnEditing(bool value);
    bool BeepOnError = true;
    bool CheckOnExit = false;

    // The value in DisplayFormat (FloatToStr without one).
    std::string FormatForDisplay(long double value) const;
    // What the edit shows now: the edit text while focused, else the value in
    // DisplayFormat (the popup's text while one shows).
    std::string DisplayText() const override;
    virtual std::string DefaultFormat() const;
    // Esc: the edit text rebuilt from the value, all selected.
    void Reset();

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    void SetEnabled(bool enabled) override;

    // Gives the edit a drop-down (the calculator of RxCalc::CreatePopupCalculator);
    // it opens with the button (a ButtonWidth of 0 shows none) or the click key.
    void SetPopup(std::unique_ptr<TPopupWindow> popup);
    // Hands the drop-down calculator the precision and BeepOnError.
    virtual void ConfigurePopup();
    void DropDown(bool disableEdit) override;
    // Shows DisplayText in the window now (the calculator's text while it
    // drops down).
    void ShowDisplayText() { ShowText(); }

protected:
    // The window shows the edit's own text again once the drop-down closes.
    void HidePopupWindow() override;
    // A drop-down that shows an error hands back nothing: the value stays.
    bool CanAcceptPopupValue(TPopupValue& value) override;
    virtual void RefreshEditText();
    virtual bool KeyKeepsNumber(char key) const;
    // Two decimals and no upper bound below 1000, unless NotMoney: an amount
    // of money, typed with thousands points; any other value takes "." as
    // its decimal comma.
    bool HoldsMoney() const;
    // The edit text read as typed (an amount, or a value with "." as its
    // decimal comma) with at most DecimalPlaces decimals; raises
    // EConvertError naming the field (FieldName) when it is none, with the
    // form an amount takes.
    long double TypedAmount() const;
    void ReadEditText() const;
    void CheckBounds() const;
    void GroupEditText();
    void SetFocusState(bool focused);
    long double ClampValue(long double value, bool raiseOnError) const;
    const TBitmap* DefaultGlyph() const override;
    void AcceptPopupValue(const TPopupValue& value) override;
    void WidgetEdited(const std::string& text) override;
    std::string displayFormat_;

private:
    void ShowAlignment();
    // Whether the main keyboard's "." goes in as typed rather than as the
    // decimal comma.
    bool PointStays() const;
    // The decimals an amount may take while typed; leaving checks them.
    static constexpr int kTypedDecimals = 63;

    TAlignment alignment_ = taRightJustify;
    bool focused_ = false;
    mutable long double value_ = 0;
    long double minValue_ = 0, maxValue_ = 0;
    int decimalPlaces_ = 2;
    bool zeroEmpty_ = true;
    bool formatOnEditing_ = false;
    bool formatting_ = false;
    bool decimalKey_ = false;  // the key being typed is the keypad's decimal key
};

class TCurrencyEdit : public TCustomNumEdit {
public:
    explicit TCurrencyEdit(TComponent* AOwner);
    std::string DefaultFormat() const override;
};
