// The calculator: its arithmetic and display with the decimal comma, errors,
// memory and clipboard keys; the keypad; and the drop-down calculator of a
// number edit.
#include <gtest/gtest.h>

#include "controls/calc_engine.h"
#include "controls/calculator.h"
#include "controls/currency_edit.h"
#include "controls_env.h"
#include "platform/gui/stdctrls.h"

namespace {

class CalcEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        calc.OnBeep = [this] { ++beeps; };
        calc.OnResult = [this] { ++results; };
        calc.OnError = [this] { ++errors; };
    }
    // Keys typed in a row; returns the text shown after them.
    std::string Keys(const std::string& keys) {
        for (char k : keys) calc.ProcessKey(k);
        return calc.Text();
    }
    TCalcEngine calc;
    int beeps = 0, results = 0, errors = 0;
};

TEST_F(CalcEngineTest, FourFunctionsAndPercentages) {
    EXPECT_EQ(Keys("2+3="), "5");
    EXPECT_EQ(results, 1);
    EXPECT_EQ(Keys("C2+3%"), "2,06");  // 3 % of 2 is 0.06
    EXPECT_EQ(results, 2);
    EXPECT_EQ(Keys("C50*10%"), "5");
    EXPECT_EQ(Keys("C200/50%"), "400");
    EXPECT_EQ(Keys("C10-4*3="), "18");  // left to right, no precedence
    EXPECT_EQ(Keys("C1,5*2="), "3");
    EXPECT_EQ(Keys("C0.1+0.2="), "0,3");  // "." types the decimal comma
    EXPECT_EQ(Keys("C2,,5"), "2,5");      // one separator only
    EXPECT_EQ(Keys("C7=+1="), "8");
    EXPECT_EQ(Keys("C1/3="), "0,333333333333333");
    EXPECT_EQ(Keys("C9\r"), "9");
    EXPECT_EQ(Keys("\r"), "9");
    EXPECT_EQ(calc.PendingOperator(), '\r');
    EXPECT_EQ(Keys("C,5+1="), "1,5");
}

TEST_F(CalcEngineTest, ErrorsShowAndOnlyClearLeavesThem) {
    EXPECT_EQ(Keys("1/0="), "Error");
    EXPECT_EQ(calc.State(), ceError);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(calc.DisplayedNumber(), 0);
    EXPECT_EQ(Keys("5+9=\b_"), "Error");
    calc.ProcessKey(27);  // Esc reaches the engine as nothing in this state
    EXPECT_EQ(calc.Text(), "Error");
    EXPECT_EQ(Keys("c"), "0");
    EXPECT_EQ(calc.State(), ceNew);
    EXPECT_EQ(Keys("4_Q"), "Error");
    EXPECT_EQ(Keys("C4R"), "0,25");
    EXPECT_EQ(Keys("C0R"), "Error");
    EXPECT_EQ(Keys("C16Q"), "4");
    calc.ShowNumber(1e4000L * 1e4000L);  // an overflow is an error, never INF
    EXPECT_EQ(calc.Text(), "Error");
    calc.BeepOnError = false;
    beeps = 0;
    Keys("C1/0=");
    EXPECT_EQ(beeps, 0);
}

TEST_F(CalcEngineTest, EntryLengthSignAndBackspace) {
    EXPECT_EQ(Keys("123456789012345"), "123456789012345");
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(Keys("6"), "123456789012345");  // the sixteenth digit beeps
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Keys("C12345678901234_"), "-12345678901234");
    EXPECT_EQ(Keys("5"), "-123456789012345");  // a leading "-" does not count
    EXPECT_EQ(Keys("6"), "-123456789012345");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(Keys("C5_\b"), "0");  // backspace on "-5"
    EXPECT_EQ(Keys("C123\b"), "12");
    EXPECT_EQ(Keys("0"), "120");
    EXPECT_EQ(Keys("C0_"), "0");  // no minus zero
    calc.SetPrecision(1);  // at least two digits
    EXPECT_EQ(Keys("C123"), "12");
    EXPECT_EQ(Keys("C2/3="), "0,67");
}

TEST_F(CalcEngineTest, MemoryKeysOkAndClipboard) {
    Keys("5");
    calc.KeyClicked(cbMS);
    Keys("C");
    calc.KeyClicked(cbMR);
    EXPECT_EQ(calc.Text(), "5");
    calc.KeyClicked(cbMP);
    calc.KeyClicked(cbMP);
    EXPECT_EQ(calc.Memory(), 15);
    calc.KeyClicked(cbMC);
    EXPECT_EQ(calc.Memory(), 0);

    int oks = 0, cancels = 0;
    calc.OnOk = [&] { ++oks; };
    calc.OnCancel = [&] { ++cancels; };
    Keys("C2,50");
    calc.KeyClicked(cbOk);  // the text is normalised
    EXPECT_EQ(calc.Text(), "2,5");
    EXPECT_EQ(oks, 1);
    Keys("/0=");
    calc.KeyClicked(cbOk);
    EXPECT_EQ(oks, 1);
    calc.KeyClicked(cbCancel);
    EXPECT_EQ(cancels, 1);

    std::string copied, clip = "R$ 1234,5";
    calc.OnCopy = [&](const std::string& t) { copied = t; };
    calc.OnPaste = [&](std::string& t) {
        t = clip;
        return true;
    };
    Keys("C");
    calc.ProcessKey(22);
    EXPECT_EQ(calc.Text(), "1234,5");
    calc.ProcessKey(3);
    EXPECT_EQ(copied, "1234,5");
    clip = "1.234,5";  // no number: dropped
    calc.ProcessKey(22);
    EXPECT_EQ(calc.Text(), "1234,5");
}

TEST(CalcKeys, TypedCharactersFindTheirKeys) {
    EXPECT_EQ(RxCalc::KeyTag('.'), cbDcm - 1);
    EXPECT_EQ(RxCalc::KeyTag('\r'), cbEql - 1);
    EXPECT_EQ(RxCalc::KeyTag(27), cbClr - 1);
    EXPECT_EQ(RxCalc::KeyTag('q'), cbSqr - 1);
    EXPECT_EQ(RxCalc::KeyTag('x'), -1);
}

// ------------------------------------------------------------- on screen

using ctltest::FormTest;

TEST_F(FormTest, KeypadAndMemoryIndicator) {
    auto* panel = new TCalculatorPanel(form, clNormal);
    panel->SetParent(form);
    EXPECT_EQ(panel->Width(), 240);
    auto* display = new TPanel(form);
    display->SetParent(form);
    panel->SetDisplayControl(display);
    ASSERT_NE(panel->Button(cbMC), nullptr);
    EXPECT_EQ(panel->Button(cbDcm)->Caption(), ",");
    EXPECT_EQ(panel->Button(cbDiv)->Font().Color(), clPurple);
    EXPECT_EQ(panel->Button(cbMul)->Glyph().Width(), 14);
    panel->Button(cbNum7)->Click();
    panel->KeyPressed('*');
    panel->KeyPressed('6');
    panel->KeyPressed('\r');
    EXPECT_EQ(panel->DisplayText(), "42");
    EXPECT_EQ(display->Caption(), "42");
    EXPECT_EQ(panel->MemoryLabel()->Caption(), "");
    panel->Button(cbMS)->Click();
    EXPECT_EQ(panel->MemoryLabel()->Caption(), "M");
    panel->KeyPressed(27);
    EXPECT_EQ(panel->DisplayText(), "0");
    panel->Button(cbMC)->Click();
    EXPECT_EQ(panel->MemoryLabel()->Caption(), "");

    // The popup keypad has no square-root key: the engine takes "Q" itself.
    auto* loc = new TLocCalculator(form);
    loc->SetParent(form);
    EXPECT_EQ(loc->Button(cbSqr), nullptr);
    EXPECT_EQ(loc->Button(cbEql)->Width(), 44);
    loc->KeyPressed('9');
    loc->KeyPressed('q');
    EXPECT_EQ(loc->DisplayText(), "3");
}

TEST_F(FormTest, TheStandardDisplaySinksIn3DAndIsFramedFlat) {
    auto* panel = new TCalculatorPanel(form, clNormal);
    panel->SetParent(form);
    TPanel* display = panel->DisplayPanel();
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(panel->Ctl3D());
    EXPECT_EQ(display->BevelInner(), TPanelBevel::bvLowered);
    EXPECT_EQ(display->BorderStyle(), TBorderStyle::bsNone);
    EXPECT_EQ(panel->Button(cbNum5)->Style(), bsNew);
    display->SetParent(form);
    panel->KeyPressed('1');
    panel->KeyPressed('2');
    ASSERT_EQ(display->ControlCount(), 1);
    EXPECT_EQ(display->Controls(0)->Caption(), "12");  // its label follows the text

    panel->SetCtl3D(false);
    EXPECT_EQ(display->BevelInner(), TPanelBevel::bvNone);
    EXPECT_EQ(display->BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(panel->Button(cbNum5)->Style(), bsWin31);
    EXPECT_EQ(panel->Button(cbOk)->Style(), bsWin31);

    EXPECT_EQ((new TLocCalculator(form))->DisplayPanel(), nullptr);  // the popup shows its text in the edit
}

class CalcEditTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        edit = new TCurrencyEdit(form);
        edit->SetParent(form);
        edit->SetButtonWidth(20);
        edit->SetPopup(RxCalc::CreatePopupCalculator(edit));
        edit->SetValue(10);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetTop(40);
        edit->SetFocus();
    }
    TPopupCalculator* Popup() { return dynamic_cast<TPopupCalculator*>(edit->Popup()); }
    void Type(const std::string& keys) {
        for (char k : keys) edit->SimulateKey(0, 0, k);
    }
    TCurrencyEdit* edit = nullptr;
    TEdit* other = nullptr;
};

TEST_F(CalcEditTest, ComputesFromTheValueAndEnterTakesTheResult) {
    ASSERT_NE(Popup(), nullptr);
    EXPECT_EQ(Popup()->Width(), 104);
    edit->SimulateKey(VK_DOWN, ssAlt);
    ASSERT_TRUE(edit->PopupVisible());
    EXPECT_EQ(Popup()->DisplayText(), "10");
    Type("*2,5");
    EXPECT_EQ(edit->DisplayText(), "2,5");  // the edit shows the calculator's text
    Type("\r");
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "25");
    EXPECT_EQ(edit->Value(), 25);

    edit->ButtonClick();
    Type("+1");
    edit->SimulateKey(VK_ESCAPE, 0, 27);  // closes without taking the result
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Value(), 25);
    EXPECT_EQ(edit->DisplayText(), "25");
}

TEST_F(CalcEditTest, AnErrorKeepsTheValue) {
    edit->ButtonClick();
    Popup()->Calculator()->Button(cbDiv)->Click();
    Popup()->Calculator()->Button(cbNum0)->Click();
    Type("=");
    EXPECT_TRUE(edit->PopupVisible());  // "=" on an error does not close
    EXPECT_EQ(edit->DisplayText(), "Error");
    const int beeps = ctltest::Beeps();
    edit->ButtonClick();  // closes, handing back nothing
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_GT(ctltest::Beeps(), beeps);
    EXPECT_EQ(edit->Value(), 10);

    edit->BeepOnError = false;
    edit->ButtonClick();
    EXPECT_FALSE(Popup()->Calculator()->BeepOnError());
    EXPECT_EQ(Popup()->DisplayText(), "10");  // opens afresh on the value
    other->SetFocus();
    EXPECT_FALSE(edit->PopupVisible());
}

TEST_F(CalcEditTest, ShownNumbersReadBackWithTheDecimalComma) {
    Popup()->WriteValue(TPopupValue::OfText("1234,5"));
    EXPECT_EQ(Popup()->DisplayText(), "1234,5");
    Popup()->WriteValue(TPopupValue::OfText("abc"));
    EXPECT_EQ(Popup()->DisplayText(), "0");
    Popup()->WriteValue(TPopupValue::Null());
    EXPECT_EQ(Popup()->DisplayText(), "0");
    Popup()->WriteValue(TPopupValue::OfNumber(0.125L));
    EXPECT_EQ(Popup()->ReadValue().AsText(), "0,125");
}

}  // namespace
