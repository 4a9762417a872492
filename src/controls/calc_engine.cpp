#include "controls/calc_engine.h"

#include <cmath>
#include <cstring>

#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

namespace RxCalc {

int KeyTag(char key) {
    if (key >= 'a' && key <= 'z') key = char(key - 32);
    if (key == FormatSettings.DecimalSeparator || key == ',' || key == '.') key = '.';
    else if (key == '\r') key = '=';
    else if (key == 27) key = 'C';
    if (key == 0) return -1;
    const char* p = std::strchr(KeyChars, key);
    return p ? static_cast<int>(p - KeyChars) : -1;
}

}  // namespace RxCalc

void TCalcEngine::Beep() {
    if (OnBeep) OnBeep();
}

void TCalcEngine::TextUpdated() {
    if (OnTextChange) OnTextChange();
}

void TCalcEngine::PutText(const std::string& S) {
    if (S == text_) return;
    text_ = S;
    TextUpdated();
}

long double TCalcEngine::DisplayedNumber() const {
    if (state_ == ceError) return 0;
    long double r = 0;
    return TryStrToFloat(Trim(text_), r) ? r : 0;
}

void TCalcEngine::ShowNumber(long double R) {
    if (!std::isfinite(R)) {
        ShowError();
        return;
    }
    if (R == 0) R = 0;  // no "-0"
    const std::string s = FloatToStrF(R, TFloatFormat::ffGeneral, Digits(), 0);
    if (s == text_) return;
    PutText(s);
    if (OnDisplayChange) OnDisplayChange();
}

void TCalcEngine::ShowError() {
    state_ = ceError;
    PutText(RxCalc::SError);
    if (BeepOnError) Beep();
    if (OnError) OnError();
}

void TCalcEngine::StartEntry() {
    if (state_ != ceNew) return;
    state_ = ceTyping;
    PutText("0");
}

void TCalcEngine::ClearAll() {
    state_ = ceNew;
    ShowNumber(0);
    operator_ = '=';
}

void TCalcEngine::ProcessKey(char key) {
    if (key >= 'a' && key <= 'z') key = char(key - 32);
    if (state_ == ceError && key != 'C') key = 0;
    if (OnKey) OnKey(key);
    const char sep = FormatSettings.DecimalSeparator;
    if (key == sep || key == '.' || key == ',') {
        StartEntry();
        if (text_.find(sep) == std::string::npos) PutText(text_ + sep);
        return;
    }
    switch (key) {
        case 'R':
        case 'Q':
            if (state_ != ceNew && state_ != ceTyping) return;
            state_ = ceNew;
            if (key == 'R') {
                const long double d = DisplayedNumber();
                if (d == 0) ShowError();
                else ShowNumber(1 / d);
            } else {
                const long double d = DisplayedNumber();
                if (d < 0) ShowError();
                else ShowNumber(std::sqrt(d));
            }
            return;
        case '0': case '1': case '2': case '3': case '4':
        case '5': case '6': case '7': case '8': case '9': {
            StartEntry();
            std::string t = text_ == "0" ? std::string() : text_;
            if (t.find('E') == std::string::npos) {
                const size_t room = Digits() + (t.find('-') != std::string::npos ? 1 : 0);
                if (t.size() < room) t += key;
                else if (BeepOnError) Beep();
            }
            PutText(t);
            return;
        }
        case '\b':
            StartEntry();
            if (text_.size() == 1 || (text_.size() == 2 && text_[0] == '-')) PutText("0");
            else PutText(text_.substr(0, text_.size() - 1));
            return;
        case '_':
            ShowNumber(-DisplayedNumber());
            return;
        case '+': case '-': case '*': case '/': case '=': case '%': case '\r':
            if (state_ == ceTyping) {
                state_ = ceNew;
                long double r = DisplayedNumber();
                if (key == '%') {
                    if (operator_ == '+' || operator_ == '-') r = operand_ * r / 100;
                    else if (operator_ == '*' || operator_ == '/') r = r / 100;
                }
                switch (operator_) {
                    case '+': ShowNumber(operand_ + r); break;
                    case '-': ShowNumber(operand_ - r); break;
                    case '*': ShowNumber(operand_ * r); break;
                    case '/':
                        if (r == 0) ShowError();
                        else ShowNumber(operand_ / r);
                        break;
                    default: break;
                }
            }
            operator_ = key;
            operand_ = DisplayedNumber();
            if ((key == '\r' || key == '%' || key == '=') && OnResult) OnResult();
            return;
        case 27:
        case 'C':
            ClearAll();
            return;
        case 3:
            if (OnCopy) OnCopy(text_);
            return;
        case 22: {
            std::string pasted;
            if (!OnPaste || !OnPaste(pasted)) return;
            const std::string& currency = FormatSettings.CurrencyString;
            if (!currency.empty())
                for (size_t p; (p = pasted.find(currency)) != std::string::npos;) pasted.erase(p, currency.size());
            long double r;
            if (TryStrToFloat(Trim(pasted), r)) ShowNumber(r);
            return;
        }
        default: return;
    }
}

void TCalcEngine::KeyClicked(TCalcBtnKind kind) {
    const bool valid = state_ == ceNew || state_ == ceTyping;
    switch (kind) {
        case cbNone: return;
        case cbMP:
            if (valid) {
                state_ = ceNew;
                memory_ += DisplayedNumber();
            }
            return;
        case cbMS:
            if (valid) memory_ = DisplayedNumber();
            return;
        case cbMR:
            if (valid) {
                state_ = ceNew;
                StartEntry();
                ShowNumber(memory_);
            }
            return;
        case cbMC: memory_ = 0; return;
        case cbOk:
            if (state_ == ceError) {
                if (BeepOnError) Beep();
                return;
            }
            ShowNumber(DisplayedNumber());
            if (OnOk) OnOk();
            return;
        case cbCancel:
            if (OnCancel) OnCancel();
            return;
        default: ProcessKey(RxCalc::KeyChars[kind - 1]); return;
    }
}
