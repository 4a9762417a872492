// The currency edit on a form: the plain text while focused, the display
// format otherwise, bounds, the keystroke filter while typing, and values
// read back after typing and leaving.
#include <gtest/gtest.h>

#include "controls/currency_edit.h"
#include "controls_env.h"
#include "platform/runtime/errors.h"

namespace {

void Type(TWinControl* c, const std::string& keys) {
    for (char k : keys) c->SimulateKey(0, 0, k);
}

class CurrencyEditTest : public ctltest::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        edit = new TCurrencyEdit(form);
        edit->SetParent(form);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetTop(40);
    }
    // Types into the edit from scratch and leaves it.
    void Enter(const std::string& keys) {
        edit->SetFocus();
        edit->SelectAll();
        Type(edit, keys);
        other->SetFocus();
    }
    TCurrencyEdit* edit = nullptr;
    TEdit* other = nullptr;
};

TEST_F(CurrencyEditTest, Defaults) {
    EXPECT_EQ(edit->ButtonWidth(), 0);
    EXPECT_FALSE(edit->ButtonVisible());
    EXPECT_EQ(edit->DisplayFormat(), "R$ ,0.00;-R$ ,0.00");
    EXPECT_EQ(edit->DecimalPlaces(), 2);
    EXPECT_EQ(edit->Text(), "");  // zero shows as an empty edit text...
    EXPECT_EQ(edit->DisplayText(), "R$ 0,00");  // ...but not as an empty display
    EXPECT_EQ(edit->Value(), 0);
}

TEST_F(CurrencyEditTest, AmountShownFormattedUnlessFocused) {
    edit->SetDisplayFormat("#,##0.00;-#,##0.00");
    edit->SetValue(1234.5L);
    EXPECT_EQ(edit->Text(), "1234,5");
    EXPECT_EQ(edit->DisplayText(), "1.234,50");
    edit->SetFocus();
    EXPECT_EQ(edit->DisplayText(), "1234,5");
    other->SetFocus();
    EXPECT_EQ(edit->DisplayText(), "1.234,50");
    edit->SetValue(-0.004L);
    EXPECT_EQ(edit->DisplayText(), "0,00");
}

TEST_F(CurrencyEditTest, TextSetterCleansTheText) {
    edit->SetText("1.234,56");
    EXPECT_EQ(edit->Text(), "1234,56");
    EXPECT_EQ(edit->Value(), 1234.56L);
    edit->SetText("1234.56");
    EXPECT_EQ(edit->Value(), 123456);
    edit->SetText("");
    EXPECT_EQ(edit->Value(), 0);
    edit->SetText("-");
    EXPECT_EQ(edit->Value(), 0);
    edit->SetText("12,5");
    EXPECT_THROW(edit->SetText("abc"), EConvertError);
    EXPECT_EQ(edit->Text(), "12,5");  // unchanged
    EXPECT_EQ(edit->Value(), 12.5L);
}

TEST_F(CurrencyEditTest, BoundsClampWithoutAMessage) {
    edit->SetDisplayFormat(" ,0.00;-,0.00");
    edit->SetMaxValue(1);
    edit->SetValue(1.5L);
    EXPECT_EQ(edit->Value(), 1);
    Enter("2");
    EXPECT_EQ(edit->Value(), 1);
    EXPECT_TRUE(ctltest::Dialogs().Messages().empty());
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "-");  // minimum 0, maximum 1: no minus
    EXPECT_EQ(edit->Text(), "1");
    EXPECT_EQ(ctltest::Beeps(), 1);

    // With CheckOnExit the bounds are checked on leaving, and the focus stays.
    edit->CheckOnExit = true;
    Type(edit, "5");
    EXPECT_THROW(other->SetFocus(), ERangeError);
    EXPECT_EQ(form->ActiveControl(), edit);
    try {
        other->SetFocus();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message, "Value must be between 0,00 and 1,00");
    }
}

TEST_F(CurrencyEditTest, DivisorWithoutDecimals) {
    edit->SetDisplayFormat(" ,0;- ,0");
    edit->SetDecimalPlaces(0);
    edit->SetValue(36);
    EXPECT_EQ(edit->DisplayText(), " 36");
    edit->SetFocus();
    EXPECT_EQ(edit->DisplayText(), "36");
    Type(edit, ",");  // the caret is at the end after the focus selected all: "," is refused
    EXPECT_EQ(ctltest::Beeps(), 1);
    EXPECT_EQ(edit->Value(), 36);
}

TEST_F(CurrencyEditTest, TypingAndLeavingReadsTheValue) {
    edit->SetDisplayFormat("#,##0.00;-#,##0.00");
    // An amount keeps a third decimal as typed, and leaving refuses it with
    // the form an amount takes instead of reading another number.
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "1234,567");
    EXPECT_EQ(edit->Text(), "1234,567");
    EXPECT_EQ(ctltest::FocusRefusal(other), "'1234,567' não é um número válido (ex.: 1.480,55)");
    Enter("1234,56");
    EXPECT_EQ(edit->Value(), 1234.56L);
    EXPECT_EQ(edit->DisplayText(), "1.234,56");
    EXPECT_EQ(ctltest::Beeps(), 0);
    // A value that is no amount (its maximum below 1000) refuses the key.
    edit->SetMaxValue(999);
    Enter("123,456");
    EXPECT_EQ(edit->Text(), "123,45");
    EXPECT_EQ(ctltest::Beeps(), 1);
    edit->SetMaxValue(0);

    Enter("1e5");  // "1e" does not read as a number: the "e" is refused
    EXPECT_EQ(edit->Value(), 15);
    Enter("-3,25");
    EXPECT_EQ(edit->DisplayText(), "-3,25");
    Enter("12x");
    EXPECT_EQ(edit->Text(), "12");
}

TEST_F(CurrencyEditTest, ThousandsPointsWhileTheIntegerPartIsTyped) {
    Enter("1.250.000,5");
    EXPECT_EQ(edit->Value(), 1250000.5L);
    // The keypad's decimal key always gives the decimal comma.
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "12");
    edit->SimulateKey(VK_DECIMAL, 0, '.');
    Type(edit, "5");
    EXPECT_EQ(edit->Text(), "12,5");

    // Points that group nothing are refused on leaving, naming the field.
    edit->FieldName = "RMI Autor";
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "1.5");
    EXPECT_EQ(ctltest::FocusRefusal(other), "Valor inválido em RMI Autor: '1.5' (ex.: 1.480,55)");
    EXPECT_EQ(form->ActiveControl(), edit);
    EXPECT_THROW(edit->CheckedValue(), EConvertError);
}

TEST_F(CurrencyEditTest, UnreadableTextsReadAsTheMinimum) {
    edit->SetFocus();
    Type(edit, "-");
    EXPECT_EQ(edit->Value(), 0);  // a lone minus while typing
    // An edit text that is no number (as a paste could leave it): the value
    // reads as MinValue and leaving is refused with the conversion message.
    edit->TCustomComboEdit::SetText("1e");
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_THROW(other->SetFocus(), EConvertError);
    EXPECT_EQ(form->ActiveControl(), edit);
    edit->SetMinValue(-5);
    edit->SetMaxValue(5);
    edit->TCustomComboEdit::SetText("x");
    EXPECT_EQ(edit->Value(), -5);
}

TEST_F(CurrencyEditTest, EscapeRestoresTheValue) {
    edit->SetValue(7);
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "99");
    EXPECT_EQ(edit->Text(), "99");
    edit->SimulateKey(VK_ESCAPE, 0, 27);
    EXPECT_EQ(edit->Text(), "7");
    // Value was read while typing only on demand: 7 again now.
    EXPECT_EQ(edit->Value(), 7);
}

TEST_F(CurrencyEditTest, NonFiniteValuesNeverReachTheText) {
    edit->SetMinValue(0);
    edit->SetValue(std::numeric_limits<long double>::infinity());
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(edit->Value(), 0);
    edit->SetValue(std::numeric_limits<long double>::quiet_NaN());
    EXPECT_EQ(edit->Value(), 0);
}

TEST_F(CurrencyEditTest, GroupingWhileEditing) {
    edit->SetDisplayFormat("#,##0.00;-#,##0.00");
    edit->SetFormatOnEditing(true);
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "1234567");
    EXPECT_EQ(edit->Text(), "1.234.567");
    other->SetFocus();
    EXPECT_EQ(edit->Value(), 1234567);
}

}  // namespace

#include "controls/date_edit.h"
#include "controls/script_values.h"

namespace {

TEST_F(CurrencyEditTest, ValuesTheScenarioDriverPrints) {
    std::string v;
    edit->SetDisplayFormat("#,##0.00;-#,##0.00");
    ASSERT_TRUE(ScriptSetControlValue(edit, "Value", "1.234,5"));
    ASSERT_TRUE(ScriptControlValue(edit, "value", v));
    EXPECT_EQ(v, "1234,5");
    ASSERT_TRUE(ScriptControlValue(edit, "Display", v));
    EXPECT_EQ(v, "1.234,50");
    EXPECT_FALSE(ScriptControlValue(edit, "Date", v));

    auto* date = new TDateEdit(form);
    date->SetParent(form);
    ASSERT_TRUE(ScriptControlValue(date, "Date", v));
    EXPECT_EQ(v, "NoDate");
    ASSERT_TRUE(ScriptSetControlValue(date, "Date", "1/2/3"));
    EXPECT_EQ(date->Text(), "01/02/2003");
    EXPECT_THROW(ScriptSetControlValue(date, "Date", "31/02/2003"), EConvertError);
    EXPECT_FALSE(ScriptControlValue(other, "Date", v));
}

}  // namespace
