// The date edit on a form: its mask text, typing and reading dates back, the
// date keys, the button and the drop-down protocol (with a stand-in popup).
#include <gtest/gtest.h>

#include "controls/date_edit.h"
#include "controls_env.h"
#include "platform/gui/application.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace {

const TDateTime kToday = EncodeDate(2026, 5, 15);

void Type(TWinControl* c, const std::string& keys) {
    for (char k : keys) c->SimulateKey(k >= 'a' && k <= 'z' ? WORD(k - 32) : WORD(static_cast<unsigned char>(k)), 0, k);
}

class DateEditTest : public ctltest::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        savedCalendar = DateEditHooks::CreatePopupCalendar;
        SetClock([] { return kToday + 0.25; });
        edit = new TDateEdit(form);
        edit->SetParent(form);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetTop(40);
    }
    void TearDown() override {
        DateEditHooks::CreatePopupCalendar = savedCalendar;
        SetClock(nullptr);
        FormTest::TearDown();
    }
    decltype(DateEditHooks::CreatePopupCalendar) savedCalendar;
    TDateEdit* edit = nullptr;
    TEdit* other = nullptr;
};

TEST_F(DateEditTest, EmptyEditHoldsItsMaskText) {
    EXPECT_EQ(edit->EditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(edit->DateFormat(), "DD/MM/YYYY");
    EXPECT_EQ(edit->Text(), "  /  /    ");
    EXPECT_FALSE(edit->HasDateText());
    EXPECT_EQ(edit->Date(), DateUtil::NoDate);
    EXPECT_EQ(edit->ButtonWidth(), 21);
    EXPECT_EQ(edit->NumGlyphs(), 2);
    edit->DefaultToday = true;
    EXPECT_EQ(edit->Date(), kToday);
}

TEST_F(DateEditTest, TypedDatesReadBack) {
    edit->SetFocus();
    edit->SelectAll();
    Type(edit, "01052026");
    EXPECT_EQ(edit->Text(), "01/05/2026");
    EXPECT_EQ(edit->Date(), EncodeDate(2026, 5, 1));

    edit->SetText("");
    edit->SetSelStart(0);
    Type(edit, "0105");  // day and month only: the blank year is windowed
    EXPECT_EQ(edit->Text(), "01/05/    ");
    EXPECT_EQ(edit->Date(), EncodeDate(1999, 5, 1));

    edit->SetText("");
    edit->SetSelStart(0);
    Type(edit, "310420");  // no such day: no date, and no error
    EXPECT_EQ(edit->Date(), DateUtil::NoDate);
    Type(edit, "01");
    EXPECT_EQ(edit->Text(), "31/04/2001");
    EXPECT_EQ(edit->Date(), DateUtil::NoDate);
    // A day the month does not have is refused on leaving, never moved.
    EXPECT_EQ(ctltest::FocusRefusal(other), "'31/04/2001' não é uma data válida");
    EXPECT_EQ(form->ActiveControl(), edit);
    EXPECT_EQ(edit->Text(), "31/04/2001");
    edit->SetText("29/02/2024");
    other->SetFocus();  // a real day, and no other check (CheckOnExit is off)
    EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(DateEditTest, SetDateWritesTheFormatAndTracksModified) {
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetDate(EncodeDate(2000, 2, 29) + 0.75);
    EXPECT_EQ(edit->Text(), "29/02/2000");
    EXPECT_TRUE(edit->Modified);
    EXPECT_EQ(changes, 1);
    edit->SetDate(EncodeDate(2000, 2, 29));
    EXPECT_FALSE(edit->Modified);
    edit->SetDate(DateUtil::NoDate);
    EXPECT_EQ(edit->Text(), "  /  /    ");
    edit->SetDate(1e9);  // not a date: empties
    EXPECT_EQ(edit->Text(), "  /  /    ");
    edit->SetText("01/07/1994");
    EXPECT_EQ(edit->Date(), EncodeDate(1994, 7, 1));
}

TEST_F(DateEditTest, DateKeys) {
    edit->SetFocus();
    edit->SimulateKey(VK_SUBTRACT, 0, '-');  // numeric-pad minus on an empty edit: yesterday
    EXPECT_EQ(edit->Text(), "14/05/2026");
    edit->SimulateKey(VK_ADD, 0, '+');
    edit->SimulateKey(VK_ADD, 0, '+');
    EXPECT_EQ(edit->Text(), "16/05/2026");
    Type(edit, "t");
    EXPECT_EQ(edit->Text(), "15/05/2026");
    edit->SetDirectInput(false);
    Type(edit, "-");
    edit->SimulateKey(VK_ADD, 0, '+');
    EXPECT_EQ(edit->Text(), "15/05/2026");
}

TEST_F(DateEditTest, PropertySetters) {
    edit->SetBlanksChar('\t');
    EXPECT_EQ(edit->BlanksChar(), ' ');
    edit->SetBlanksChar('_');
    EXPECT_EQ(edit->EditMask(), "!99/99/9999;1;_");
    edit->SetDate(EncodeDate(2003, 2, 1));
    edit->SetYearDigits(dyTwo);  // re-masked, the date kept
    EXPECT_EQ(edit->EditMask(), "!99/99/99;1;_");
    EXPECT_EQ(edit->Text(), "01/02/03");
    EXPECT_EQ(edit->Date(), EncodeDate(2003, 2, 1));
    edit->CalendarHints.SetText("a\nb\nc\nd\ne\nf");
    EXPECT_EQ(edit->CalendarHints.Count(), 4);
    EXPECT_EQ(edit->CalendarStyle(), csPopup);
}

TEST_F(DateEditTest, AnEditIsNeverLowerThanALineOfItsFont) {
    edit->SetHeight(5);
    const int normal = edit->Height();
    EXPECT_GT(normal, 5);
    edit->Font().SetSize(4);
    edit->SetHeight(5);
    const int small = edit->Height();
    EXPECT_LT(small, normal) << "a smaller font lets the edit be lower";
    EXPECT_GT(small, 5);
    auto* twin = new TDateEdit(form);
    twin->SetParent(form);
    twin->SetHeight(5);
    EXPECT_EQ(twin->Height(), normal) << "the form's font again";
    edit->Font().SetSize(8);
    edit->SetHeight(5);
    EXPECT_EQ(edit->Height(), normal);
}

// A change of the system's date settings re-masks the edit and keeps its
// date; with UpdateFormatSettings off the edit stays as it is.
TEST_F(DateEditTest, SettingsChangeReMasksKeepingTheDate) {
    edit->SetDate(EncodeDate(2001, 2, 3));
    ASSERT_EQ(edit->Text(), "03/02/2001");
    const std::string saved = FormatSettings.ShortDateFormat;
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    Application->UpdateFormatSettings = false;
    Application->SettingsChanged();
    EXPECT_EQ(edit->Text(), "03/02/2001");
    Application->UpdateFormatSettings = true;
    Application->SettingsChanged();
    EXPECT_EQ(edit->DateFormat(), "YYYY/MM/DD");
    EXPECT_EQ(edit->Text(), "2001/02/03");
    EXPECT_EQ(edit->Date(), EncodeDate(2001, 2, 3));
    FormatSettings.ShortDateFormat = saved;
    Application->SettingsChanged();
    EXPECT_EQ(edit->Text(), "03/02/2001");
    // A freed edit no longer listens.
    edit->Free();
    edit = nullptr;
    Application->SettingsChanged();
}

TEST_F(DateEditTest, CheckOnExitRejectsANonDateAndKeepsTheFocus) {
    edit->CheckOnExit = true;
    edit->SetFocus();
    edit->SetText("31/02/2000");
    EXPECT_EQ(ctltest::FocusRefusal(other), "'31/02/2000' não é uma data válida");
    EXPECT_EQ(form->ActiveControl(), edit);
    edit->SetText("1/2/3");  // digits that read as a date are rewritten
    edit->SetText("");
    other->SetFocus();
    EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(DateEditTest, EnterWithoutPopupReachesTheDefaultButton) {
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetDefault(true);
    int clicked = 0;
    ok->OnClick = [&](TObject*) { ++clicked; };
    edit->SetFocus();
    edit->SimulateKey(VK_RETURN, 0, '\r');
    EXPECT_EQ(clicked, 1);
}

// A drop-down standing in for the calendar: it holds a date.
class FakeCalendar : public TPopupWindow {
public:
    using TPopupWindow::TPopupWindow;
    TPopupValue ReadValue() override { return TPopupValue::OfDate(date); }
    void WriteValue(const TPopupValue& v) override { date = v.AsDate(); }
    void KeyPress(char& key) override { keys += key; }
    double date = 0;
    std::string keys;
};

class DropDownTest : public DateEditTest {
protected:
    void SetUp() override {
        DateEditTest::SetUp();
        DateEditHooks::CreatePopupCalendar = [this](TCustomDateEdit* e) {
            auto p = std::make_unique<FakeCalendar>(e);
            p->SetBounds(0, 0, 187, 124);
            calendar = p.get();
            return p;
        };
        edit->SetCalendarStyle(csDialog);  // drops the program's calendar
        edit->SetCalendarStyle(csPopup);
        ASSERT_NE(calendar, nullptr);
        edit->OnButtonClick = [this](TObject*) { ++buttonClicks; };
    }
    FakeCalendar* calendar = nullptr;
    int buttonClicks = 0;
};

TEST_F(DropDownTest, OpensOnTodayAndAcceptsWithEnter) {
    edit->SetFocus();
    edit->SimulateKey(VK_DOWN, ssAlt);  // the click key, on an edit that holds no date
    EXPECT_EQ(buttonClicks, 1);
    ASSERT_TRUE(edit->PopupVisible());
    EXPECT_EQ(calendar->date, kToday);
    EXPECT_TRUE(calendar->Visible());
    Type(edit, "t");  // date keys go to the calendar while it shows
    EXPECT_EQ(calendar->keys, "t");
    calendar->date = EncodeDate(2024, 2, 29);
    edit->SimulateKey(VK_RETURN, 0, '\r');
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_FALSE(calendar->Visible());
    EXPECT_EQ(edit->Text(), "29/02/2024");
}

TEST_F(DropDownTest, EscapeAndFocusLossCloseWithoutAccepting) {
    edit->SetDate(EncodeDate(2001, 1, 1));
    edit->SetFocus();
    edit->ButtonClick();
    EXPECT_EQ(calendar->date, EncodeDate(2001, 1, 1));
    calendar->date = EncodeDate(2002, 2, 2);
    edit->SimulateKey(VK_ESCAPE, 0, 27);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "01/01/2001");

    edit->ButtonClick();
    other->SetFocus();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "01/01/2001");
}

TEST_F(DropDownTest, ReleaseInsideThePopupAcceptsAndTheHandlerMayRefuse) {
    edit->SetFocus();
    edit->ButtonClick();
    calendar->date = EncodeDate(2010, 10, 10);
    calendar->MouseUp(TMouseButton::mbLeft, 0, 300, 5);  // outside: closes, nothing taken
    EXPECT_EQ(edit->Text(), "  /  /    ");
    edit->ButtonClick();
    calendar->date = EncodeDate(2010, 10, 10);
    calendar->MouseUp(TMouseButton::mbLeft, 0, 5, 5);
    EXPECT_EQ(edit->Text(), "10/10/2010");

    edit->OnAcceptDate = [](TObject*, TDateTime& d, bool& action) { action = d < EncodeDate(2011, 1, 1); };
    edit->ButtonClick();
    calendar->date = EncodeDate(2012, 1, 1);
    calendar->Finish(true);
    EXPECT_EQ(edit->Text(), "10/10/2010");
}

TEST_F(DropDownTest, PressOnTheButtonWhileOpenClosesAccepting) {
    edit->SetFocus();
    edit->ButtonClick();
    calendar->date = EncodeDate(2020, 3, 3);
    TEditButton* b = edit->Button();
    b->MouseDown(TMouseButton::mbLeft, 0, 3, 3);
    b->MouseUp(TMouseButton::mbLeft, 0, 3, 3);  // the click that follows does nothing
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "03/03/2020");
    EXPECT_EQ(buttonClicks, 1);
    edit->SetReadOnly(true);
    edit->Button()->Click();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(buttonClicks, 1);
}

// A new edit builds its calendar when something first needs it, with every
// setting made before then; most edits of a form never build one.
class LaterCalendarTest : public DateEditTest {
protected:
    void SetUp() override {
        DateEditTest::SetUp();
        DateEditHooks::CreatePopupCalendar = [this](TCustomDateEdit* e) {
            ++made;
            auto p = std::make_unique<FakeCalendar>(e);
            p->SetBounds(0, 0, 187, 124);
            return p;
        };
    }
    TDateEdit* NewEdit(int top) {
        auto* e = new TDateEdit(form);
        e->SetParent(form);
        e->SetTop(top);
        return e;
    }
    int made = 0;
};

TEST_F(LaterCalendarTest, TheFirstDropDownBuildsTheCalendarWithTheSettingsMadeBefore) {
    TDateEdit* later = NewEdit(80);
    TDateEdit* never = NewEdit(120);
    later->SetPopupColor(clYellow);
    later->SetText("10/02/2026");
    EXPECT_EQ(later->PopupColor(), clYellow);
    EXPECT_EQ(made, 0);
    later->SetFocus();
    later->ButtonClick();
    EXPECT_EQ(made, 1);
    ASSERT_TRUE(later->PopupVisible());
    auto* calendar = dynamic_cast<FakeCalendar*>(later->Popup());
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->Color(), clYellow);
    EXPECT_EQ(calendar->date, EncodeDate(2026, 2, 10));
    later->SimulateKey(VK_ESCAPE, 0, 27);
    later->ButtonClick();
    EXPECT_EQ(made, 1) << "built once";
    later->SimulateKey(VK_RETURN, 0, '\r');
    EXPECT_EQ(later->Text(), "10/02/2026");
    // The dialog style chosen first: no calendar is ever built for it.
    never->SetCalendarStyle(csDialog);
    EXPECT_EQ(never->Popup(), nullptr);
    EXPECT_EQ(made, 1);
}

TEST_F(LaterCalendarTest, AnEditBuildsTheCalendarOfItsOwnTime) {
    TDateEdit* early = NewEdit(80);
    int others = 0;
    DateEditHooks::CreatePopupCalendar = [&others](TCustomDateEdit* e) {
        ++others;
        return std::make_unique<FakeCalendar>(e);
    };
    ASSERT_NE(early->Popup(), nullptr);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(others, 0);
    // A mouse press on an edit whose calendar was never built still takes
    // the focus as one with a calendar does.
    TDateEdit* pressed = NewEdit(120);
    pressed->MouseDown(TMouseButton::mbLeft, 0, 3, 3);
    EXPECT_TRUE(pressed->Focused());
    EXPECT_EQ(others, 0);
}

}  // namespace

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "platform/gui/application.h"

namespace {

void PressOn(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

void ClickAt(QWidget* w, QPointF at) {
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, at, w->mapToGlobal(at), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

TEST_F(DateEditTest, AClickIntoTheBlanksTypesFromTheFirstOfThem) {
    QWidget* w = edit->Widget();
    ClickAt(w, QPointF(w->width() / 2.0, w->height() / 2.0));
    Type(edit, "31/10/2025");
    EXPECT_EQ(edit->Text(), "31/10/2025");
    EXPECT_EQ(edit->Date(), EncodeDate(2025, 10, 31));
    // A click before the blanks leaves the caret where it landed.
    edit->SetText("31/1 /    ");
    ClickAt(w, QPointF(3, w->height() / 2.0));
    EXPECT_EQ(edit->SelStart(), 0);
    ClickAt(w, QPointF(w->width() - 30, w->height() / 2.0));
    EXPECT_EQ(edit->SelStart(), 4);
}

TEST_F(DropDownTest, ClosingThePopupGivesTheKeysBackToTheEdit) {
    form->Show();
    QApplication::setActiveWindow(form->Widget());
    edit->SetFocus();
    edit->ButtonClick();
    edit->Widget()->clearFocus();  // the window system moved the keys away
    calendar->date = EncodeDate(2015, 5, 5);
    calendar->Finish(true);
    EXPECT_TRUE(edit->Widget()->hasFocus());
    EXPECT_EQ(edit->Text(), "05/05/2015");
}

TEST_F(DropDownTest, AClickElsewhereClosesThePopup) {
    edit->SetFocus();
    edit->ButtonClick();
    calendar->date = EncodeDate(2015, 5, 5);
    PressOn(calendar->Widget());  // inside the popup: stays open
    Application->DeliverPostedMessages();
    EXPECT_TRUE(edit->PopupVisible());
    PressOn(form->Widget());
    Application->DeliverPostedMessages();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "  /  /    ");
    EXPECT_EQ(form->ActiveControl(), edit);  // the popup never took the focus
}

}  // namespace
