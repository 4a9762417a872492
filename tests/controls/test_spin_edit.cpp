// The spin edit: values and texts of the three value types, clamping,
// filtered keys, steps by keys and by the diagonal button with its repeat
// timer fired by hand, and the up-down spinner.
#include <gtest/gtest.h>

#include "controls/spin_edit.h"
#include "controls_env.h"
#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"

namespace {

using namespace RXSpin;

TEST(SpinRules, ValuesAndTextsOfEachType) {
    EXPECT_EQ(ValueOfText("", vtInteger, 0), 0);
    EXPECT_EQ(ValueOfText("12", vtInteger, 0), 12);
    EXPECT_EQ(ValueOfText("1,5", vtInteger, 2.7L), 2);  // unreadable: the minimum's whole part
    EXPECT_EQ(ValueOfText("99999999999", vtInteger, 0), 0);
    EXPECT_EQ(ValueOfText("FF", vtHex, 0), 255);
    EXPECT_EQ(ValueOfText("ZZ", vtHex, 2.7L), 2);
    EXPECT_EQ(ValueOfText("2,5", vtFloat, 0), 2.5L);
    EXPECT_EQ(ValueOfText("abc", vtFloat, 2.5L), 2.5L);

    EXPECT_EQ(TextOfValue(2.5L, vtFloat, 2, 0, 0), "2,50");
    EXPECT_EQ(TextOfValue(255, vtHex, 2, 0, 0), "FF");
    EXPECT_EQ(TextOfValue(2.5L, vtInteger, 0, 0, 0), "2");  // halves to even
    EXPECT_EQ(TextOfValue(3.5L, vtInteger, 0, 0, 0), "4");
    EXPECT_EQ(TextOfValue(40, vtInteger, 0, 0, 36), "36");
    EXPECT_EQ(TextOfValue(-3, vtInteger, 0, 0, 36), "0");
    EXPECT_EQ(TextOfValue(-3, vtInteger, 0, 5, 5), "-3");  // equal bounds: no clamping
    EXPECT_EQ(TextOfValue(1e30L, vtInteger, 0, 0, 0), "9200000000000000000");

    EXPECT_EQ(ClampValue(5, 10, 0), 10);  // Min 10, Max 0: below Min first
    EXPECT_EQ(WholeIncrement(0.5L), 1);   // 0.5 rounds to 0, and 0 becomes 1
    EXPECT_EQ(WholeIncrement(2.5L), 2);
    EXPECT_EQ(WholeIncrement(1.5L), 2);
}

TEST(SpinRules, KeysTheTypesTake) {
    EXPECT_TRUE(AcceptsKey('7', "1", vtInteger, true));
    EXPECT_TRUE(AcceptsKey('-', "1", vtInteger, true));
    EXPECT_FALSE(AcceptsKey(',', "1", vtInteger, true));
    EXPECT_FALSE(AcceptsKey('A', "1", vtInteger, true));
    EXPECT_TRUE(AcceptsKey(',', "1", vtFloat, true));
    EXPECT_FALSE(AcceptsKey(',', "1,5", vtFloat, true));
    EXPECT_TRUE(AcceptsKey('E', "1,5", vtFloat, true));
    EXPECT_FALSE(AcceptsKey('e', "1E5", vtFloat, true));
    EXPECT_FALSE(AcceptsKey('E', "1e5", vtFloat, true));
    EXPECT_TRUE(AcceptsKey('a', "F", vtHex, true));
    EXPECT_FALSE(AcceptsKey('G', "F", vtHex, true));
    EXPECT_TRUE(AcceptsKey('\b', "1", vtInteger, true));
    EXPECT_FALSE(AcceptsKey('5', "1", vtInteger, false));
    EXPECT_FALSE(AcceptsKey('\b', "1", vtInteger, false));
    EXPECT_TRUE(AcceptsKey('\r', "1", vtInteger, false));
}

TEST(SpinRules, HalvesOfTheDiagonalButton) {
    EXPECT_TRUE(InTopHalf(10, 10, 20, 20));  // on the diagonal: top
    EXPECT_FALSE(InTopHalf(10, 11, 20, 20));
    EXPECT_FALSE(InTopHalf(19, 2, 20, 20));
    EXPECT_TRUE(InTopHalf(9, 4, 18, 9));  // not square: the slope follows
    EXPECT_FALSE(InTopHalf(9, 5, 18, 9));
}

// -------------------------------------------------------------- the edit

class SpinEditTest : public ctltest::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        // The revision form's number of salaries.
        spin = new TRxSpinEdit(form);
        spin->SetParent(form);
        spin->SetDecimal(0);
        spin->SetMaxValue(36);
        spin->SetValue(36);
        spin->OnChange = [this](TObject*) { ++changes; };
        other = new TEdit(form);
        other->SetParent(form);
        other->SetTop(40);
        spin->SetFocus();
        changes = 0;
        Mouse->LeftButtonHook = [this] { return held; };
    }
    void TearDown() override {
        Mouse->LeftButtonHook = nullptr;
        FormTest::TearDown();
    }
    void Type(const std::string& keys) {
        for (char k : keys) spin->SimulateKey(0, 0, k);
    }
    TRxSpinEdit* spin = nullptr;
    TEdit* other = nullptr;
    int changes = 0;
    bool held = true;  // the left button, as the window system sees it
};

TEST_F(SpinEditTest, StepsStayWithinTheBounds) {
    EXPECT_EQ(spin->Text(), "36");
    spin->SimulateKey(VK_UP);
    EXPECT_EQ(spin->Text(), "36");
    EXPECT_EQ(changes, 0);
    spin->SimulateKey(VK_DOWN);
    EXPECT_EQ(spin->Text(), "35");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(spin->Modified);
    spin->SetValue(0);
    changes = 0;
    spin->SimulateKey(VK_DOWN);
    EXPECT_EQ(spin->Text(), "0");
    EXPECT_EQ(changes, 0);
    spin->ArrowKeys = false;
    spin->SimulateKey(VK_UP);
    EXPECT_EQ(spin->Text(), "0");

    spin->SetReadOnly(true);
    const int beeps = ctltest::Beeps();
    int clicks = 0;
    spin->OnTopClick = spin->OnBottomClick = [&](TObject*) { ++clicks; };
    spin->StepUp(spin);
    spin->StepDown(spin);
    EXPECT_EQ(spin->Text(), "0");
    EXPECT_EQ(ctltest::Beeps(), beeps + 2);
    EXPECT_EQ(clicks, 0);  // a read-only edit only beeps
}

TEST_F(SpinEditTest, TypedTextIsFilteredAndClampedOnLeaving) {
    spin->SelectAll();
    Type("4,0");
    EXPECT_EQ(spin->Text(), "40");  // the comma was refused
    EXPECT_EQ(ctltest::Beeps(), 1);
    EXPECT_EQ(spin->Value(), 40);  // not clamped while typing
    std::string seenOnExit;
    spin->OnExit = [&](TObject*) { seenOnExit = spin->Text(); };
    other->SetFocus();
    EXPECT_EQ(seenOnExit, "40");
    EXPECT_EQ(spin->Text(), "36");

    spin->SetText("");
    EXPECT_EQ(spin->Value(), 0);
    spin->SetText("abc");
    EXPECT_EQ(spin->Value(), 0);
    spin->SetMinValue(1);
    EXPECT_EQ(spin->Value(), 1);

    spin->SetEditorEnabled(false);
    spin->SetFocus();
    spin->SetText("5");
    Type("7\b");
    EXPECT_EQ(spin->Text(), "5");
    spin->SimulateKey(VK_UP);
    EXPECT_EQ(spin->Text(), "6");
}

TEST_F(SpinEditTest, FloatAndHexValues) {
    spin->SetMaxValue(0);
    spin->SetIncrement(0.5L);
    spin->SetValueType(vtFloat);
    spin->SetDecimal(2);
    EXPECT_EQ(spin->Text(), "36,00");
    spin->SetValue(2.5L);
    EXPECT_EQ(spin->Text(), "2,50");
    spin->SimulateKey(VK_UP);
    EXPECT_EQ(spin->Text(), "3,00");
    spin->SelectAll();
    Type("1e3e");
    EXPECT_EQ(spin->Text(), "1e3");
    EXPECT_EQ(spin->Value(), 1000);
    spin->SetValueType(vtInteger);
    EXPECT_EQ(spin->Increment(), 1);
    EXPECT_EQ(spin->Text(), "1000");
    spin->SetValueType(vtHex);
    EXPECT_EQ(spin->Text(), "3E8");
    // A change of type keeps the value: it is read under the old type.
    spin->SetValueType(vtFloat);
    spin->SetValue(2.5L);
    spin->SetValueType(vtInteger);
    EXPECT_EQ(spin->Text(), "2");
}

TEST_F(SpinEditTest, DiagonalButtonRepeatsWhileHeld) {
    TRxSpinButton* b = spin->Button();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(spin->UpDown(), nullptr);
    EXPECT_EQ(b->Width(), spin->Height() - 3);
    spin->SetValue(10);
    changes = 0;
    int tops = 0, bottoms = 0;
    spin->OnTopClick = [&](TObject*) { ++tops; };
    spin->OnBottomClick = [&](TObject*) { ++bottoms; };
    other->SetFocus();
    const int w = b->Width(), h = b->Height();

    b->MouseDown(TMouseButton::mbLeft, 0, 2, 2);  // upper half: one step at once
    EXPECT_EQ(form->ActiveControl(), spin);
    EXPECT_EQ(b->State(), spTopDown);
    EXPECT_EQ(spin->Text(), "11");
    ASSERT_NE(b->RepeatTimer(), nullptr);
    EXPECT_EQ(b->RepeatTimer()->Interval(), 400u);
    b->RepeatTimer()->Fire();
    EXPECT_EQ(b->RepeatTimer()->Interval(), 100u);
    b->RepeatTimer()->Fire();
    EXPECT_EQ(spin->Text(), "13");
    b->MouseMove(ssLeft, w - 2, h - 2);  // into the other half: shown up, no repeat
    EXPECT_EQ(b->State(), spNotDown);
    b->RepeatTimer()->Fire();
    EXPECT_EQ(spin->Text(), "13");
    b->MouseMove(ssLeft, 3, 3);
    EXPECT_EQ(b->State(), spTopDown);
    b->MouseUp(TMouseButton::mbLeft, 0, 3, 3);
    EXPECT_EQ(b->State(), spNotDown);
    EXPECT_FALSE(b->RepeatTimer()->Enabled());
    EXPECT_EQ(tops, 3);

    b->MouseDown(TMouseButton::mbLeft, 0, w - 2, h - 2);
    b->MouseUp(TMouseButton::mbLeft, 0, w - 2, h - 2);
    EXPECT_EQ(spin->Text(), "12");
    EXPECT_EQ(bottoms, 1);
    EXPECT_EQ(changes, 4);

    spin->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    b->MouseDown(TMouseButton::mbLeft, 0, 2, 2);
    EXPECT_EQ(spin->Text(), "12");
}

TEST_F(SpinEditTest, AClickWhoseButtonIsAlreadyUpLeavesTheButtonUp) {
    TRxSpinButton* b = spin->Button();
    spin->SetValue(10);
    held = false;  // the release went to another window (a message box)
    b->MouseDown(TMouseButton::mbLeft, 0, 2, 2);
    EXPECT_EQ(spin->Text(), "11");
    EXPECT_EQ(b->State(), spNotDown);
    b->RepeatTimer()->Fire();
    b->RepeatTimer()->Fire();
    EXPECT_EQ(spin->Text(), "11");  // no steps after the release
}

TEST_F(SpinEditTest, RightToLeftPutsTheButtonAtTheLeftEnd) {
    TControl* box = spin->Button()->Parent();
    EXPECT_EQ(box->Left(), spin->Width() - spin->Height() + 1);
    spin->SetBiDiMode(bdRightToLeftNoAlign);  // only the full mode moves it
    EXPECT_EQ(box->Left(), spin->Width() - spin->Height() + 1);
    spin->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(box->Left(), 1);
    spin->SetButtonKind(bkStandard);
    EXPECT_EQ(spin->UpDown()->Left(), 2);
}

TEST_F(SpinEditTest, UpDownSpinnerStepsAndRestsAtZero) {
    spin->SetButtonKind(bkStandard);
    EXPECT_EQ(spin->Button(), nullptr);
    TRxUpDown* ud = spin->UpDown();
    ASSERT_NE(ud, nullptr);
    EXPECT_EQ(ud->Width(), SpinWidth());
    ud->ClickButton(TUDBtnType::btPrev);
    ud->ClickButton(TUDBtnType::btPrev);
    EXPECT_EQ(spin->Text(), "34");
    EXPECT_EQ(ud->Position(), 0);
    ud->ClickButton(TUDBtnType::btNext);
    EXPECT_EQ(spin->Text(), "35");
    spin->SetButtonKind(bkDiagonal);
    EXPECT_EQ(spin->UpDown(), nullptr);
    ASSERT_NE(spin->Button(), nullptr);
    spin->SetHeight(5);  // raised to the font's minimum
    EXPECT_GT(spin->Height(), 5);
}

}  // namespace
