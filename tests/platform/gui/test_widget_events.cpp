// Input as the widgets report it (Qt key and mouse events) reaching the
// controls' events, and the key and short-cut vocabulary.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QAbstractButton>
#include <QWidget>

#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "support/gui_test.h"

namespace {

template <class T>
T* Make(TForm* form, TWinControl* parent, const char* name) {
    auto* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    return c;
}

void Key(QWidget* w, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(w, &release);
}

struct WidgetEvents : ::testing::Test {
    TForm* form = nullptr;
    std::string log;
    void SetUp() override { form = new TForm(Application); }
    void TearDown() override { form->Free(); }
};

TEST_F(WidgetEvents, KeysFromTheWidgetCarryVirtualCodesAndEditTheText) {
    auto* e = Make<TEdit>(form, form, "E");
    e->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
        log += std::to_string(key) + (shift & ssShift ? "S" : "") + ";";
    };
    e->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { log += "up" + std::to_string(key) + ";"; };
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetFocus();
    Key(e->Widget(), Qt::Key_A, Qt::ShiftModifier, "A");
    Key(e->Widget(), Qt::Key_Plus, Qt::KeypadModifier, "+");
    Key(e->Widget(), Qt::Key_F2);
    EXPECT_EQ(log, "65S;up65;107;up107;113;up113;");
    EXPECT_EQ(e->Text(), "A+") << "the widget edited the text itself";
    EXPECT_EQ(changes, 2);
}

// A letter the program's texts cannot hold ("L" with a stroke) never reaches
// the text (it would be saved and printed as "?"); "a" with a tilde and the
// euro sign do.
TEST_F(WidgetEvents, AnEditRefusesLettersOutsideTheProgramsCharacters) {
    auto* e = Make<TEdit>(form, form, "E");
    e->SetFocus();
    Key(e->Widget(), Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x141)));
    Key(e->Widget(), Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xE3)));
    Key(e->Widget(), Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
    EXPECT_EQ(e->Text(), "\xE3\x80");
    // A paste: its line break would split a line of a saved case, and a "c"
    // followed by a combining cedilla is the letter the program holds.
    auto* line = qobject_cast<QLineEdit*>(e->Widget());
    ASSERT_TRUE(line);
    e->SetText("");
    line->insert(QString("Ana\nSilva\t") + QChar(u'c') + QChar(0x327));
    EXPECT_EQ(e->Text(), "Ana Silva \xE7");
    // A paste longer than an edit takes is refused whole, never cut.
    e->SetText("Ana");
    line->setCursorPosition(3);
    line->insert(QString(40000, u'x'));
    EXPECT_EQ(e->Text().size(), 3u);
    line->insert(QString(32767 - 3, u'x'));
    EXPECT_EQ(e->Text().size(), 32767u);
}

TEST_F(WidgetEvents, AMaskedEditTakesItsKeysFromTheEngine) {
    auto* date = Make<TMaskEdit>(form, form, "D");
    date->SetEditMask("!99/99/9999;1;_");
    auto* next = Make<TEdit>(form, form, "N");
    date->SetFocus();
    date->SetSelStart(0);
    for (QChar c : QStringLiteral("3112"))
        Key(date->Widget(), Qt::Key_0 + (c.unicode() - '0'), Qt::NoModifier, QString(c));
    Key(date->Widget(), Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_EQ(date->Text(), "31/12/    ");
    EXPECT_EQ(velorim_test::Beeps(), 1);
    Key(date->Widget(), Qt::Key_Backspace);
    EXPECT_EQ(date->Text(), "31/1 /    ");
    Key(date->Widget(), Qt::Key_Tab);
    EXPECT_TRUE(next->Focused()) << "Tab moves on through the form";
}

TEST_F(WidgetEvents, TheMouseReachesGraphicControlsAndFocusFollowsTheWidget) {
    auto* box = Make<TPaintBox>(form, form, "PB");
    box->SetBounds(0, 0, 50, 50);
    box->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log += "down" + std::to_string(x) + "," + std::to_string(y) + (b == TMouseButton::mbLeft ? "L" : "") +
               (s & ssLeft ? "l" : "") + ";";
    };
    box->OnClick = [&](TObject*) { log += "click;"; };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 6), QPointF(5, 6), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box->Widget(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 6), QPointF(5, 6), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box->Widget(), &release);
    QMouseEvent outside(QEvent::MouseButtonRelease, QPointF(80, 6), QPointF(80, 6), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box->Widget(), &outside);
    EXPECT_EQ(log, "down5,6Ll;click;") << "a release outside is no click";

    auto* a = Make<TEdit>(form, form, "A");
    auto* b = Make<TEdit>(form, form, "B");
    a->OnExit = [&](TObject*) { log += "exitA;"; };
    a->SetFocus();
    log.clear();
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(b->Widget(), &in);
    EXPECT_EQ(log, "exitA;");
    EXPECT_TRUE(b->Focused());
}

TEST_F(WidgetEvents, ARefusedExitKeepsTheFocusAndDropsTheButtonClick) {
    auto* e = Make<TEdit>(form, form, "E");
    auto* b = Make<TButton>(form, form, "B");
    e->OnExit = [](TObject*) { throw Exception("Data inválida"); };
    bool clicked = false;
    b->OnClick = [&](TObject*) { clicked = true; };
    e->SetFocus();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(b->Widget(), &press);
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(b->Widget(), &in);
    static_cast<QAbstractButton*>(b->Widget())->click();
    EXPECT_FALSE(clicked);
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(velorim_test::Dialogs().Messages(), std::vector<std::string>{"Data inválida"});
    static_cast<QAbstractButton*>(b->Widget())->click();
    EXPECT_TRUE(clicked) << "only the click of that press was dropped";
}

TEST(Keys, ShortCutsReadAndWriteAsText) {
    EXPECT_EQ(TextToShortCut("Ctrl+T"), TShortCut(scCtrl | 'T'));
    EXPECT_EQ(TextToShortCut("shift+f2"), TShortCut(scShift | VK_F2));
    EXPECT_EQ(TextToShortCut("Del"), TShortCut(VK_DELETE));
    EXPECT_EQ(TextToShortCut("Ctrl+Nada"), 0);
    EXPECT_EQ(TextToShortCut("Hyper+A"), 0);
    for (const char* s : {"Ctrl+C", "Shift+Ctrl+F12", "Alt+Down", "Enter", "Ctrl+1"})
        EXPECT_EQ(ShortCutToText(TextToShortCut(s)), s);
    WORD key;
    TShiftState shift;
    ShortCutToKey(ShortCut(VK_DOWN, ssAlt), key, shift);
    EXPECT_EQ(key, VK_DOWN);
    EXPECT_EQ(shift, TShiftState(ssAlt));
}

TEST(Screen, FactsAndCursors) {
    EXPECT_EQ(Screen->PixelsPerInch(), 96);
    EXPECT_EQ(Screen->ColorDepth(), 24);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    const TStringList& fonts = Screen->Fonts();
    ASSERT_GT(fonts.Count(), 0);
    EXPECT_GE(fonts.IndexOf("Liberation Sans"), 0);
    HCURSOR hand;
    hand.Standard = crHandPoint;
    Screen->Cursors[10101] = hand;
    Screen->SetCursor(10101);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A press the window system still has to deliver (Qt posts the press that
// closed a popup menu to the control under it) can be taken out, as can a
// mouse message posted for the control; the next one arrives again.
TEST_F(WidgetEvents, APendingPressOfAControlCanBeTakenOut) {
    auto* panel = Make<TPanel>(form, form, "P");
    panel->SetBounds(0, 0, 50, 50);
    int downs = 0;
    panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        ++downs;
        EXPECT_EQ(x, 5);
        EXPECT_EQ(y, 6);
    };
    form->Show();
    auto press = [&] {
        QCoreApplication::postEvent(panel->Widget(), new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 6),
                                                                     QPointF(5, 6), Qt::LeftButton,
                                                                     Qt::LeftButton, Qt::NoModifier));
    };
    press();
    Application->RemovePendingMessage(panel, WM_LBUTTONDOWN);
    Application->ProcessMessages();
    EXPECT_EQ(downs, 0);
    // Posted while the current event is still being handled: taken too.
    Application->RemovePendingMessage(panel, WM_LBUTTONDOWN);
    press();
    Application->ProcessMessages();
    EXPECT_EQ(downs, 0);
    press();
    Application->ProcessMessages();
    EXPECT_EQ(downs, 1);

    PostMessage(panel, WM_LBUTTONDOWN, 0, 5 | (6 << 16));
    PostMessage(panel, WM_LBUTTONDOWN, 0, 5 | (6 << 16));
    Application->RemovePendingMessage(panel, WM_LBUTTONDOWN);
    Application->ProcessMessages();
    EXPECT_EQ(downs, 2);  // one of the two was taken
}

}  // namespace
