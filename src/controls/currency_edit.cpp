#include "controls/currency_edit.h"

#include <algorithm>
#include <cmath>

#include "controls/calculator.h"
#include "controls/control_resources.h"
#include "platform/gui/edit_glue.h"
#include "controls/number_rules.h"
#include "controls/str_utils.h"
#include "platform/gui/application.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

TCustomNumEdit::TCustomNumEdit(TComponent* AOwner) : TCustomComboEdit(AOwner) {
    SetMaxLength(0);
    displayFormat_ = DefaultFormat();
    defNumGlyphs_ = 2;
    RefreshEditText();
    creating_ = true;
    SetGlyphKind(gkDefault);
    SetButtonWidth(20);
    creating_ = false;
    ShowAlignment();
}

const TBitmap* TCustomNumEdit::DefaultGlyph() const { return &ControlResources::CalcEditGlyph(); }

std::string TCustomNumEdit::DefaultFormat() const { return CurrEdit::DefaultNumberFormat(); }

long double TCustomNumEdit::ClampValue(long double value, bool raiseOnError) const {
    long double result = CurrEdit::ClampToBounds(value, minValue_, maxValue_);
    if (raiseOnError && result != value)
        throw ERangeError(CurrEdit::RangeErrorMessage(minValue_, maxValue_, decimalPlaces_));
    return result;
}

bool TCustomNumEdit::HoldsMoney() const {
    return !NotMoney && CurrEdit::HoldsMoney(decimalPlaces_, minValue_, maxValue_);
}

long double TCustomNumEdit::TypedAmount() const {
    const std::string text = TCustomComboEdit::Text();
    const bool money = HoldsMoney();
    long double value;
    if (money ? CurrEdit::TryReadAmount(text, value) : CurrEdit::TryReadDecimal(text, value)) {
        std::string decimals = StrUtils::TrimBlanks(text);
        if (!money) std::replace(decimals.begin(), decimals.end(), '.', FormatSettings.DecimalSeparator);
        if (CurrEdit::DecimalsOf(decimals) <= decimalPlaces_) return value;
    }
    // An amount typed the other way round ("1,480.55") is shown the form it takes.
    const std::string example = money ? std::string(" (ex.: ") + CurrEdit::kAmountExample + ")" : "";
    if (FieldName.empty()) throw EConvertError("'" + text + "' não é um número válido" + example);
    throw EConvertError("Valor inválido em " + FieldName + ": '" + text + "'" + example);
}

void TCustomNumEdit::ReadEditText() const { value_ = ClampValue(TypedAmount(), false); }

void TCustomNumEdit::CheckBounds() const {
    if (CheckOnExit) ClampValue(TypedAmount(), true);
}

long double TCustomNumEdit::Value() const {
    try {
        ReadEditText();
    } catch (const std::exception&) {
        value_ = minValue_;
    }
    return value_;
}

long double TCustomNumEdit::CheckedValue() const {
    ReadEditText();
    return value_;
}

void TCustomNumEdit::SetValue(long double value) {
    value_ = ClampValue(std::isfinite(value) ? value : minValue_, false);
    RefreshEditText();
    Invalidate();
}

void TCustomNumEdit::SetText(const std::string& text) {
    value_ = ClampValue(CurrEdit::ReadNumber(CurrEdit::NormalizeNumberText(text)), false);
    RefreshEditText();
    Invalidate();
}

void TCustomNumEdit::RefreshEditText() {
    TCustomComboEdit::SetText(CurrEdit::EditTextFor(value_, decimalPlaces_, zeroEmpty_));
    ShowText();
}

std::string TCustomNumEdit::FormatForDisplay(long double value) const {
    if (!std::isfinite(value)) return std::string();
    return displayFormat_.empty() ? FloatToStr(value) : FormatFloat(displayFormat_, value);
}

std::string TCustomNumEdit::DisplayText() const {
    if (PopupVisible() && Popup()->Visible()) return Popup()->DisplayText();
    if (focused_) return TCustomComboEdit::DisplayText();
    return FormatForDisplay(value_);
}

void TCustomNumEdit::ShowAlignment() {
    // Unfocused, or under a popup, the display text shows at Alignment;
    // focused, the edit text as typed.
    if (!ToolEdit::PaintEditText(*this, DisplayText(), alignment_, focused_ && !PopupVisible()))
        EditGlue::SetTextAlignment(*this, formatOnEditing_ ? alignment_ : taLeftJustify);
}

void TCustomNumEdit::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    ShowAlignment();
}

void TCustomNumEdit::SetDisplayFormat(const std::string& value) {
    if (value == displayFormat_) return;
    displayFormat_ = value;
    RefreshEditText();
}

void TCustomNumEdit::SetDecimalPlaces(int value) {
    if (value < 0) value = 0;
    if (value == decimalPlaces_) return;
    decimalPlaces_ = value;
    RefreshEditText();
}

void TCustomNumEdit::SetMinValue(long double value) {
    if (value == minValue_) return;
    minValue_ = value;
    SetValue(Value());
}

void TCustomNumEdit::SetMaxValue(long double value) {
    if (value == maxValue_) return;
    maxValue_ = value;
    SetValue(Value());
}

void TCustomNumEdit::SetZeroEmpty(bool value) {
    if (value == zeroEmpty_) return;
    zeroEmpty_ = value;
    RefreshEditText();
}

void TCustomNumEdit::SetFormatOnEditing(bool value) {
    if (value == formatOnEditing_) return;
    formatOnEditing_ = value;
    ShowAlignment();
    if (focused_) {
        if (value) {
            GroupEditText();
        } else {
            try {
                ReadEditText();
            } catch (const std::exception&) {
                value_ = minValue_;
            }
            RefreshEditText();
        }
    }
}

void TCustomNumEdit::SetFocusState(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    formatting_ = true;
    RefreshEditText();
    formatting_ = false;
    ShowAlignment();
    Invalidate();
}

void TCustomNumEdit::GroupEditText() {
    formatting_ = true;
    std::string s = TCustomComboEdit::Text();
    const int before = int(s.size());
    if (!s.empty() && s != "-") s = CurrEdit::NormalizeNumberText(s);
    s = CurrEdit::GroupDigits(s, displayFormat_.find(',') != std::string::npos);
    const int at = EditGlue::CaretPosition(*this);
    const int caret = (at >= 0 ? at : selStart_) + int(s.size()) - before;
    TCustomComboEdit::SetText(s);
    if (focused_) SetSelStart(std::max(0, caret));
    formatting_ = false;
}

void TCustomNumEdit::Reset() {
    RefreshEditText();
    SelectAll();
}

bool TCustomNumEdit::KeyKeepsNumber(char key) const {
    // An amount keeps the keys of a slip ("1,480.55", a third decimal) so that
    // leaving refuses it as typed instead of keeping another number (1,48).
    const int decimals = HoldsMoney() ? kTypedDecimals : decimalPlaces_;
    return CurrEdit::KeyKeepsNumber(TCustomComboEdit::Text(), selStart_, selLength_, key, decimals, minValue_,
                                    maxValue_);
}

void TCustomNumEdit::KeyPress(char& key) {
    if (PopupVisible()) {
        const char upper = (key >= 'a' && key <= 'z') ? char(key - 32) : key;
        static const std::string calcKeys = "\b\r%*+,-./0123456789=CQR_";
        if (calcKeys.find(upper) != std::string::npos || upper == FormatSettings.DecimalSeparator) {
            Popup()->KeyPress(key);
            key = 0;
            return;
        }
    }
    // In an amount the main keyboard's "." groups thousands while the integer
    // part is typed (3.000,00) and stays as typed after the decimal comma (a
    // slip that leaving refuses); elsewhere, like the keypad's decimal key and
    // ",", it gives the decimal comma.
    const bool decimalKey = decimalKey_;
    decimalKey_ = false;
    if (key == ',' || (key == '.' && (decimalKey || !PointStays())))
        key = FormatSettings.DecimalSeparator;
    TCustomComboEdit::KeyPress(key);
    if (key == 27) {
        Reset();
        key = 0;
    } else if (static_cast<unsigned char>(key) >= 32 && !KeyKeepsNumber(key)) {
        key = 0;
        if (BeepOnError) MessageBeep(0);
    }
}

bool TCustomNumEdit::PointStays() const {
    if (!HoldsMoney()) return false;
    const std::string text = TCustomComboEdit::Text();
    if (CurrEdit::TakesThousandsPoint(text, selStart_, selLength_)) return true;
    const int start = std::clamp(selStart_, 0, int(text.size()));
    const int length = std::clamp(selLength_, 0, int(text.size()) - start);
    const std::string rest = text.substr(0, start) + text.substr(start + length);
    return rest.find(FormatSettings.DecimalSeparator) != std::string::npos;
}

void TCustomNumEdit::KeyDown(WORD& key, TShiftState shift) {
    decimalKey_ = key == VK_DECIMAL;
    TCustomComboEdit::KeyDown(key, shift);
}

void TCustomNumEdit::WidgetEdited(const std::string& text) {
    // Typing was filtered key by key; what else arrives (a paste) must still
    // read as a number, or the old text comes back.
    const std::string normal = CurrEdit::NormalizeNumberText(text);
    long double r;
    const bool readable = CurrEdit::TryReadNumber(normal, r) || CurrEdit::IsNumberPrefix(normal);
    if (!DirectInput() || !readable) {
        ShowText();
        SelectAll();
        if (BeepOnError) MessageBeep(0);
        return;
    }
    TCustomComboEdit::WidgetEdited(text);
}

void TCustomNumEdit::Change() {
    if (formatting_) return;
    if (formatOnEditing_ && focused_) GroupEditText();
    TCustomComboEdit::Change();
}

void TCustomNumEdit::DoEnter() {
    SetFocusState(true);
    if (formatOnEditing_) GroupEditText();
    TCustomComboEdit::DoEnter();
}

void TCustomNumEdit::DoExit() {
    try {
        CheckBounds();
        ReadEditText();
    } catch (...) {
        SelectAll();
        throw;  // the edit keeps the focus; the message is shown
    }
    SetFocusState(false);
    SetSelStart(0);
    TCustomComboEdit::DoExit();
}

void TCustomNumEdit::SetEnabled(bool enabled) {
    TCustomComboEdit::SetEnabled(enabled);
    Invalidate();
}

void TCustomNumEdit::AcceptPopupValue(const TPopupValue& value) { TCustomComboEdit::AcceptPopupValue(value); }

void TCustomNumEdit::SetPopup(std::unique_ptr<TPopupWindow> popup) {
    TCustomComboEdit::SetPopup(std::move(popup));
    ConfigurePopup();
}

void TCustomNumEdit::ConfigurePopup() {
    if (Popup()) RxCalc::SetupPopupCalculator(Popup(), 15, BeepOnError);
}

void TCustomNumEdit::DropDown(bool disableEdit) {
    ConfigurePopup();  // BeepOnError may have changed since
    TCustomComboEdit::DropDown(disableEdit);
}

void TCustomNumEdit::HidePopupWindow() {
    TCustomComboEdit::HidePopupWindow();
    ShowText();
}

bool TCustomNumEdit::CanAcceptPopupValue(TPopupValue& value) {
    return !value.IsNull() && TCustomComboEdit::CanAcceptPopupValue(value);
}

TCurrencyEdit::TCurrencyEdit(TComponent* AOwner) : TCustomNumEdit(AOwner) {
    displayFormat_ = DefaultFormat();
    SetButtonWidth(0);
    RefreshEditText();
}

std::string TCurrencyEdit::DefaultFormat() const { return CurrEdit::DefaultCurrencyFormat(); }
