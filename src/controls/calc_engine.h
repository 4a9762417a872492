#pragma once
// The pocket calculator's engine: the display text, the number being typed,
// the pending operator and its operand, and a memory. Keys come in as the
// characters of the keypad ("0".."9", "_" change sign, "." or "," decimal,
// "/", "*", "-", "+", "Q" square root, "%", "R" reciprocal, "=", backspace,
// "C" clear). Plain state and arithmetic; the panel around it supplies the
// beep and the clipboard.
#include <functional>
#include <string>

enum TCalcEntryState { ceNew, ceTyping, ceError };

// The keys of the keypad; a key's tag is its kind - 1, the position of its
// character in RxCalc::KeyChars.
enum TCalcBtnKind {
    cbNone, cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9,
    cbSgn, cbDcm, cbDiv, cbMul, cbSub, cbAdd, cbSqr, cbPcnt, cbRev, cbEql, cbBck, cbClr,
    cbMP, cbMS, cbMR, cbMC, cbOk, cbCancel
};

namespace RxCalc {
// The key characters of kinds 1..22.
constexpr const char* KeyChars = "0123456789_./*-+Q%R=\bC";
constexpr const char* SError = "Error";
// The tag of the key a typed character presses (the decimal separator, ","
// and "." press the decimal key, Enter "=", Esc "C"); -1 for none.
int KeyTag(char key);
}  // namespace RxCalc

class TCalcEngine {
public:
    TCalcEngine() = default;
    virtual ~TCalcEngine() = default;

    const std::string& Text() const { return text_; }
    TCalcEntryState State() const { return state_; }
    char PendingOperator() const { return operator_; }
    long double Operand() const { return operand_; }
    long double Memory() const { return memory_; }
    int Precision() const { return precision_; }
    // At least 2 is used.
    void SetPrecision(int value) { precision_ = value; }
    bool BeepOnError = true;

    std::function<void()> OnError, OnOk, OnCancel, OnResult, OnTextChange, OnDisplayChange;
    // May change (or drop, with 0) the key before it is processed.
    std::function<void(char& key)> OnKey;
    std::function<void()> OnBeep;
    std::function<void(const std::string& text)> OnCopy;
    // True with the clipboard's text.
    std::function<bool(std::string& text)> OnPaste;

    // The number shown (0 while "Error" shows).
    long double DisplayedNumber() const;
    // Shows R in the general format at the precision; a value that is not
    // finite shows the error instead.
    void ShowNumber(long double R);
    void ShowError();
    // The next digit starts a new number.
    void StartEntry();
    void ClearAll();
    void PutText(const std::string& S);

    // One key character (Ctrl+C #3 copies the text, Ctrl+V #22 pastes a number).
    void ProcessKey(char key);
    // A key of the keypad, memory keys, OK and Cancel included.
    void KeyClicked(TCalcBtnKind kind);

protected:
    // The text changed (the panel's display follows).
    virtual void TextUpdated();

private:
    void Beep();
    int Digits() const { return precision_ < 2 ? 2 : precision_; }

    std::string text_ = "0";
    TCalcEntryState state_ = ceNew;
    char operator_ = '=';
    long double operand_ = 0;
    long double memory_ = 0;
    int precision_ = 15;
};
