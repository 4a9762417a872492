// The grid on a form (offscreen platform): typing through the widgets and
// through the control's key path, masks, the editing messages, validation,
// focus, Tab, the clipboard keys, painting and the mouse.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QHelpEvent>
#include <QThread>
#include <QToolTip>
#include <QWidget>

#include <cstdio>
#include <string>
#include <vector>

#include "grids/ah_tool.h"
#include "grids/align_grid.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/formats.h"
#include "support/gui_test.h"

namespace {

void Pump() { Application->ProcessMessages(); }

// A key as Qt delivers it to the widget that has the keyboard.
void QtKey(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
    Pump();
}

void QtType(const std::string& s) {
    for (char c : s) {
        const QChar q = QChar::fromLatin1(c);
        QtKey(q.toUpper().unicode(), Qt::NoModifier, QString(q));
    }
}

void QtEnter() { QtKey(Qt::Key_Return, Qt::NoModifier, "\r"); }

// A grid whose rows can be dragged from code, as the mouse drags them.
struct DragGrid : TStringAlignGrid {
    using TStringAlignGrid::TStringAlignGrid;
    void Drag(int from, int to) {
        MoveRowData(from, to);
        RowMoved(from, to);
    }
};

struct GridForm : ::testing::Test {
    TForm* form = nullptr;
    TStringAlignGrid* grid = nullptr;
    TEdit* other = nullptr;
    std::vector<std::string> events;

    void SetUp() override {
        form = new TForm(Application);
        form->SetName("FormGrade");
        form->SetBounds(0, 0, 460, 320);
        grid = new TStringAlignGrid(form);
        grid->SetName("Grade");
        grid->SetParent(form);
        grid->SetBounds(8, 8, 420, 200);
        other = new TEdit(form);
        other->SetName("Outro");
        other->SetParent(form);
        other->SetBounds(8, 220, 120, 21);
        grid->SetColCount(3);
        grid->SetRowCount(3);
        grid->SetOptions(grid->Options() | goEditing | goTabs);
        auto log = [this](const char* what) {
            return [this, what](TObject*, int c, int r) {
                events.push_back(std::string(what) + " " + std::to_string(c) + "," + std::to_string(r));
            };
        };
        grid->OnBeforeEdit = log("before");
        grid->OnAfterEdit = log("after");
        grid->OnCancelEdit = log("cancel");
        grid->SetFocus();
    }
    void TearDown() override { form->Free(); }

    // On screen, so that Qt's keyboard focus is real.
    void Show() {
        form->Show();
        form->Widget()->activateWindow();
        QApplication::setActiveWindow(form->Widget());
        Pump();
    }
    // Keys through the control's key path, as the scenario driver sends them.
    void Key(WORD vk, TShiftState shift = 0, char ch = 0) {
        form->ActiveControl()->SimulateKey(vk, shift, ch);
        Pump();
    }
    void Type(const std::string& s) {
        for (char c : s) {
            const char up = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
            Key((up >= 'A' && up <= 'Z') || (up >= '0' && up <= '9') ? WORD(up) : 0, 0, c);
        }
    }
    void Enter() { Key(VK_RETURN, 0, '\r'); }
    void Esc() { Key(VK_ESCAPE, 0, 27); }
    bool EditorShown() const { return grid->EditorVisible(); }
    QWidget* Viewport() const { return grid->Widget()->findChild<QAbstractScrollArea*>()->viewport(); }
};

TEST_F(GridForm, TypingIntoTheWidgetsOpensTheEditorAndEnterWritesTheCell) {
    Show();
    std::vector<std::string> written;
    grid->OnSetEditText = [&](TObject*, int c, int r, const std::string& v) {
        written.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
    };
    std::string pressed;
    grid->OnKeyPress = [&](TObject*, char& k) { pressed += k; };
    int enters = 0, exits = 0;
    grid->OnEnter = [&](TObject*) { ++enters; };
    grid->OnExit = [&](TObject*) { ++exits; };

    ASSERT_EQ(QApplication::focusWidget(), grid->Widget());
    QtType("12,5x");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(QApplication::focusWidget(), grid->InplaceEditor()->Widget()) << "the editor has the keyboard";
    EXPECT_TRUE(grid->Focused()) << "and the grid stays the form's active control";
    EXPECT_EQ(exits, 0);
    QtKey(Qt::Key_Backspace);
    EXPECT_EQ(grid->Cells(1, 1), "") << "not written while the editor is open";
    QtEnter();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(1, 1), "12,5");
    EXPECT_EQ(written, (std::vector<std::string>{"1,1=12,5"}));
    EXPECT_EQ(events, (std::vector<std::string>{"before 1,1", "after 1,1"}));
    EXPECT_EQ(pressed, "12,5x\b\r") << "the grid's OnKeyPress sees what the editor types";
    EXPECT_EQ(QApplication::focusWidget(), grid->Widget());

    // Enter opens and closes the editor; arrows move the current cell.
    QtEnter();
    EXPECT_TRUE(EditorShown());
    QtEnter();
    QtKey(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 2);
    QtKey(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), 2);

    // Leaving for another control fires OnExit once, with the editor open or not.
    QtType("z");
    other->SetFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(QApplication::focusWidget(), other->Widget());
    EXPECT_EQ(grid->Cells(2, 2), "z");
    grid->SetFocus();
    EXPECT_EQ(enters, 1);
}

TEST_F(GridForm, KeysSentToTheGridReachTheOpenEditor) {
    // The form is never shown: the scenario driver's path.
    Type("abc");
    ASSERT_TRUE(EditorShown());
    Key(VK_BACK, 0, 8);
    Key(VK_LEFT);
    Type("X");
    Enter();
    EXPECT_EQ(grid->Cells(1, 1), "aXb") << "Backspace removed one character, Left moved the caret";

    // Backspace on a closed cell opens the editor on an emptied text.
    Key(VK_BACK, 0, 8);
    ASSERT_TRUE(EditorShown());
    Type("n");
    Enter();
    EXPECT_EQ(grid->Cells(1, 1), "n");

    // Tab and Esc never become text; Esc restores what the cell had.
    Type("zz");
    Esc();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(1, 1), "n");
    EXPECT_EQ(events.back(), "cancel 1,1");

    // Rows removed under the open editor take its text with them.
    grid->FocusCell(1, 2);
    Type("lost");
    grid->SetRowCount(2);
    EXPECT_FALSE(EditorShown());
    grid->SetRowCount(3);
    EXPECT_EQ(grid->Cells(1, 2), "");
}

TEST_F(GridForm, AnAlwaysShownEditorComesBackWithItsSelection) {
    grid->SetOptions(grid->Options() | goAlwaysShowEditor);
    grid->SetCells(2, 1, "abcdef");
    grid->FocusCell(2, 1);
    ASSERT_TRUE(EditorShown());
    grid->InplaceEditor()->SetSelStart(1);
    grid->InplaceEditor()->SetSelLength(2);
    other->SetFocus();
    EXPECT_FALSE(EditorShown());
    EXPECT_TRUE(grid->RestoreEditorPending);
    grid->SetFocus();
    Pump();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->InplaceEditor()->SelStart(), 1);
    EXPECT_EQ(grid->InplaceEditor()->SelLength(), 2);

    // Sideways keys move the caret and leave the always-shown editor only
    // from the matching end of its text.
    Key(VK_RIGHT);
    Key(VK_LEFT);
    Key(VK_HOME);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->InplaceEditor()->SelStart(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_TRUE(EditorShown());
}

TEST_F(GridForm, AMaskedCellRefusesBadCharactersAndKeepsItsLiterals) {
    grid->OnGetEditMask = [](TObject*, int c, int, std::string& mask) {
        if (c == 1) mask = "!99/0000;1";
    };
    grid->SetCells(1, 2, "03/1999");
    Type("1");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->InplaceEditor()->EditText(), "1_/____");
    Type("2x/2a00");
    EXPECT_EQ(velorim_test::Beeps(), 2) << "x and a are refused with a beep";
    Type("9");
    Enter();
    EXPECT_EQ(grid->Cells(1, 1), "12/2009");

    // The next cell's text is read through the mask; another column has none.
    grid->FocusCell(1, 2);
    Key(VK_F2);
    EXPECT_EQ(grid->InplaceEditor()->EditText(), "03/1999");
    Key(VK_ESCAPE, 0, 27);
    grid->FocusCell(2, 2);
    Type("a/b");
    Enter();
    EXPECT_EQ(grid->Cells(2, 2), "a/b");
    EXPECT_EQ(velorim_test::Beeps(), 2);
}

TEST_F(GridForm, RefusedValidationReopensAndEscGoesBack) {
    grid->SetCells(1, 1, "old");
    grid->AutoEditNextCell = true;
    grid->OnValidateEdit = [&](TObject*, int c, int r, bool& valid) { valid = grid->Cells(c, r) != "bad"; };
    Type("bad");
    Enter();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "bad");
    EXPECT_TRUE(grid->EditingActive);

    Esc();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(1, 1), "old");
    EXPECT_EQ(events.back(), "cancel 1,1");

    // An accepted edit moves on to the next editable cell, skipping refused ones.
    grid->SetEditCell(2, 1, false);
    Type("ok");
    Enter();
    EXPECT_EQ(grid->Cells(1, 1), "ok");
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridForm, AValidatorsErrorIsShownOnceAndTheTypedTextStays) {
    int validations = 0;
    grid->OnValidateEdit = [&](TObject*, int c, int r, bool&) {
        ++validations;
        StrToInt(grid->Cells(c, r));
    };
    Type("1/");
    Enter();
    EXPECT_EQ(grid->Cells(1, 1), "1/");
    EXPECT_EQ(events, (std::vector<std::string>{"before 1,1"}));
    // Editing another cell validates that one alone.
    grid->FocusCell(2, 1);
    Type("7");
    Enter();
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(velorim_test::Dialogs().Messages(), std::vector<std::string>{"'1/' não é um número inteiro válido"});
    EXPECT_EQ(events.back(), "after 2,1");
}

TEST_F(GridForm, MultiLineEditingTakesEnterAsText) {
    grid->EditMultiline = true;
    Type("ab");
    Enter();
    Type("c");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "ab\r\nc");
    EXPECT_EQ(events, (std::vector<std::string>{"before 1,1"}));
    grid->HideEditor();
    EXPECT_EQ(grid->Cells(1, 1), "ab c");  // the line break is one blank in the cell
}

TEST_F(GridForm, TheEditorTakesTheGridsInputMethodSettings) {
    grid->ImeMode = TImeMode::imDisable;
    grid->ImeName = "Anthy";
    Type("a");
    ASSERT_TRUE(EditorShown());
    QWidget* w = grid->InplaceEditor()->Widget();
    EXPECT_FALSE(w->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(w->property("imeName").toString(), "Anthy");
    Enter();
    grid->ImeMode = TImeMode::imAlpha;
    Type("b");
    EXPECT_TRUE(w->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(w->inputMethodHints() & Qt::ImhLatinOnly);
}

TEST_F(GridForm, DraggedRowsLeaveFixedRecordsAndRebindTheEditor) {
    auto* g = new DragGrid(form);
    g->SetParent(form);
    g->SetBounds(8, 8, 420, 200);
    g->SetRowCount(6);
    g->SetOptions(g->Options() | goEditing);
    g->SetAlignFixedRow(1, TMyAlign::alCenter);
    g->FocusCell(1, 3);
    g->ShowEditor();
    g->HideEditor();  // still bound to its cell
    const TNewInplaceEdit* ed = g->Editor();
    ASSERT_EQ(ed->EditedRow, 3);
    g->Drag(1, 3);  // the edited row stood where the dragged one lands: it moves up
    EXPECT_EQ(ed->EditedRow, 2);
    EXPECT_EQ(g->Row(), 2);
    g->Drag(4, 1);
    EXPECT_EQ(ed->EditedRow, 3);
    EXPECT_EQ(g->Row(), 3);
    g->Drag(4, 5);
    EXPECT_EQ(ed->EditedRow, 3);
    EXPECT_EQ(g->GetAlignCell(0, 1), TMyAlign::alCenter);
    EXPECT_EQ(g->GetAlignCell(0, 5), TMyAlign::alLeft);
}

TEST_F(GridForm, CellHintsMoveWithTheirHandlerAndGoWithTheCell) {
    Show();
    grid->SetHintCell(1, 1, "dica");
    TPoint shift{0, 0};
    grid->OnShowHintCell = [&](TObject*, int, int, std::string&, bool&, THintInfo& info) {
        info.HintPos.X += shift.X;
        info.HintPos.Y += shift.Y;
    };
    const TRect cell = grid->CellRect(1, 1);
    const QPoint inside((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    auto hintAt = [&]() -> QWidget* {
        QHelpEvent help(QEvent::ToolTip, inside, Viewport()->mapToGlobal(inside));
        QApplication::sendEvent(Viewport(), &help);
        Pump();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible()) return w;
        return nullptr;
    };
    QWidget* tip = hintAt();
    ASSERT_NE(tip, nullptr);
    const QPoint plain = tip->pos();
    shift = TPoint{30, 12};
    tip = hintAt();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->pos() - plain, QPoint(30, 12));
    EXPECT_EQ(grid->HintCellPos, (TGridCoord{1, 1}));

    const TRect next = grid->CellRect(2, 2);
    const QPointF away(next.Left + 2, next.Top + 2);
    QMouseEvent move(QEvent::MouseMove, away, Viewport()->mapToGlobal(away), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &move);
    Pump();
    EXPECT_EQ(grid->HintCellPos, (TGridCoord{-1, -1}));
    for (int i = 0; i < 300 && QToolTip::isVisible(); ++i) {  // Qt fades it out
        QThread::msleep(10);
        Pump();
    }
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(GridForm, LeavingTheGridEndsTheEditOrKeepsTheFocus) {
    Show();
    int exits = 0;
    grid->OnExit = [&](TObject*) { ++exits; };
    bool refuse = true;
    grid->OnValidateEdit = [&](TObject*, int, int, bool& valid) { valid = !refuse; };
    Type("x");
    Application->Dispatch(other, [&] { other->SetFocus(); });
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(grid->Focused());
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(QApplication::focusWidget(), grid->InplaceEditor()->Widget()) << "back in the reopened editor";

    refuse = false;
    other->SetFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(QApplication::focusWidget(), other->Widget());
    EXPECT_EQ(grid->Cells(1, 1), "x");
    EXPECT_EQ(events.back(), "after 1,1");
}

TEST_F(GridForm, LeavingWithTheEditorShownEndsItsEditEvenAfterEnter) {
    grid->SetOptions(grid->Options() | goAlwaysShowEditor);
    int validations = 0;
    grid->OnValidateEdit = [&](TObject*, int, int, bool&) { ++validations; };
    grid->FocusCell(2, 1);
    ASSERT_TRUE(EditorShown());
    Type("x");
    Enter();  // ends the edit; the editor stays on the cell
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(validations, 1);
    events.clear();
    other->SetFocus();
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(events, (std::vector<std::string>{"after 2,1"}));
}

TEST_F(GridForm, TabWalksTheCellsAndActsPastTheLastOne) {
    grid->FocusCell(2, 2);
    grid->AfterLastCellTab = lc_stop;
    Key(VK_TAB, 0, 9);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 2);

    grid->AfterLastCellTab = lc_first;
    Key(VK_TAB, 0, 9);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    Key(VK_TAB, ssShift);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 2);

    grid->AfterLastCellTab = lc_newcolrow;
    Key(VK_TAB, 0, 9);
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 3);

    // Tab from inside the editor walks too, writing the cell first.
    Type("t");
    Key(VK_TAB, 0, 9);
    EXPECT_EQ(grid->Cells(1, 3), "t");
    EXPECT_EQ(grid->Col(), 2);

    // A column that is no tab stop is skipped.
    grid->SetTabStops(2, false);
    grid->FocusCell(1, 1);
    Key(VK_TAB, 0, 9);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);

    // Past the last cell with the exit action, and without goTabs, the focus
    // goes to the next control of the form.
    grid->AfterLastCellTab = lc_exit;
    grid->FocusCell(1, 3);
    grid->SetTabStops(2, true);
    grid->FocusCell(2, 3);
    Key(VK_TAB, 0, 9);
    EXPECT_TRUE(other->Focused());
    grid->SetFocus();
    grid->SetOptions(grid->Options() & ~goTabs);
    Key(VK_TAB, 0, 9);
    EXPECT_TRUE(other->Focused());
}

TEST_F(GridForm, DialogKeysBelongToTheEditingGrid) {
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetDefault(true);
    auto* cancel = new TButton(form);
    cancel->SetParent(form);
    cancel->SetCancel(true);
    std::string clicks;
    ok->OnClick = [&](TObject*) { clicks += "ok;"; };
    cancel->OnClick = [&](TObject*) { clicks += "cancel;"; };

    Enter();  // opens the editor, not the default button
    EXPECT_TRUE(EditorShown());
    Esc();  // closes the editor
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(clicks, "");
    Esc();  // with the editor closed Esc is the form's again
    EXPECT_EQ(clicks, "cancel;");

    grid->SetOptions(grid->Options() & ~goEditing);
    Enter();
    EXPECT_EQ(clicks, "cancel;ok;");
}

TEST_F(GridForm, PostedMessagesFollowInsertedRowsAndDropRemovedOnes) {
    grid->SetRowCount(5);
    grid->PostEditMessage(GM_ENDEDIT, 1, 2);
    grid->PostEditMessage(GM_ENDEDIT, 1, 4);
    grid->InsertRow(1);  // row 2 becomes 3, row 4 becomes 5
    grid->RemoveRow(5);
    Pump();
    EXPECT_EQ(events, (std::vector<std::string>{"after 1,3"}));

    // A message for a cell beyond the counts is dropped too; one posted by
    // someone else for a cell that exists is handled as it stands.
    events.clear();
    grid->PostEditMessage(GM_ENDEDIT, 1, 4);
    grid->SetRowCount(3);
    PostMessage(grid, GM_ENDEDIT, 2, 1);
    Pump();
    EXPECT_EQ(events, (std::vector<std::string>{"after 2,1"}));
}

TEST_F(GridForm, ClipboardKeysCopyCutAndPaste) {
    grid->SetColCount(4);
    grid->SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) grid->SetCells(c, r, "k");
    ASSERT_TRUE(ah_tool::StreamToClipboard("x\ty\t\r\nz\t\r\n", CF_TEXT));
    grid->FocusCell(1, 1);
    Key(VK_INSERT, ssShift);
    EXPECT_EQ(grid->Cells(1, 1), "x");
    EXPECT_EQ(grid->Cells(2, 1), "k");
    EXPECT_EQ(grid->Cells(1, 2), "k");

    grid->SetSelection(TGridRect{2, 2, 3, 3});
    Key(VK_INSERT, ssShift);
    EXPECT_EQ(grid->Cells(2, 2), "x");
    EXPECT_EQ(grid->Cells(3, 2), "y");
    EXPECT_EQ(grid->Cells(2, 3), "z");
    EXPECT_EQ(grid->Cells(3, 3), "k");

    Key(VK_DELETE, ssShift);
    std::string clip;
    ASSERT_TRUE(ah_tool::ClipboardToStream(clip, CF_TEXT));
    EXPECT_EQ(clip, "x\ty\t\r\nz\tk\t\r\n");
    EXPECT_EQ(grid->Cells(2, 2), "");
    EXPECT_EQ(grid->Cells(3, 3), "");
    EXPECT_EQ(grid->Cells(1, 1), "x");

    grid->FocusCell(1, 1);
    Key(VK_INSERT, ssCtrl);
    ASSERT_TRUE(ah_tool::ClipboardToStream(clip, CF_TEXT));
    EXPECT_EQ(clip, "x\t\r\n");

    // While the editor is open the keys act on its text, not on the cells.
    Type("ab");
    Key(VK_HOME, ssShift);
    Key(VK_INSERT, ssCtrl);
    ASSERT_TRUE(ah_tool::ClipboardToStream(clip, CF_TEXT));
    EXPECT_EQ(clip, "ab");
    Enter();
    EXPECT_EQ(grid->Cells(1, 1), "ab");
}

TEST_F(GridForm, PaintsCellBrushesWhereTheMouseFindsTheCells) {
    Show();
    // The client area the grid works out is the one Qt lays out.
    EXPECT_EQ(Viewport()->width(), grid->ClientWidth());
    EXPECT_EQ(Viewport()->height(), grid->ClientHeight());
    grid->SetRowCount(40);
    Pump();
    EXPECT_EQ(Viewport()->height(), grid->ClientHeight()) << "with the scroll bar the rows need";
    EXPECT_LT(grid->ClientWidth(), 420 - 4);

    grid->BrushCell(2, 2).SetColor(clRed);
    grid->SetWordwrapCell(1, 1, ww_wordwrap);
    grid->SetWordwrapCell(2, 1, ww_ellipsis);
    grid->SetCells(1, 1, "um texto longo que quebra");
    grid->SetCells(2, 1, "um texto longo com reticências & mais");
    int drawn = 0;
    grid->OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++drawn; };
    const QImage shot = Viewport()->grab().toImage();
    EXPECT_GT(drawn, 0);
    const TRect r = grid->CellRect(2, 2);
    ASSERT_GT(r.Width(), 0);
    const QPoint centre((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_EQ(shot.pixelColor(centre), QColor(255, 0, 0));
    int col = -1, row = -1;
    grid->MouseToCell(centre.x(), centre.y(), col, row);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 2);

    // Scrolled down, the fixed row stays and row 1 is gone from view.
    grid->SetRow(39);
    EXPECT_GT(grid->TopRow(), 1);
    EXPECT_EQ(grid->CellRect(1, 1).Width(), 0);
    EXPECT_GT(grid->CellRect(1, 0).Width(), 0);
    EXPECT_GT(grid->CellRect(1, 39).Width(), 0);
}

TEST_F(GridForm, WithoutGridLinesTheTextRunsOverTheLineButTheFillDoesNot) {
    grid->SetOptions(grid->Options() & ~(goVertLine | goHorzLine));
    grid->SetGridLineWidth(3);
    grid->SetCells(1, 1, "fim");
    grid->SetAlignCell(1, 1, TMyAlign::alRight);
    grid->BrushCell(1, 1).SetColor(clRed);
    std::vector<std::string> log;
    grid->Canvas().SetRecorder(&log);
    Show();
    Viewport()->grab();
    grid->Canvas().SetRecorder(nullptr);
    const TRect cell = grid->CellRect(1, 1);
    int fillRight = -1, textRight = -1;
    for (const std::string& line : log) {
        int l, t, r, b, x, base, w;
        if (std::sscanf(line.c_str(), "fill %d %d %d %d", &l, &t, &r, &b) == 4 && l == cell.Left && t == cell.Top)
            fillRight = r;
        if (std::sscanf(line.c_str(), "text %d %d %d", &x, &base, &w) == 3 && line.ends_with(" fim"))
            textRight = x + w;
    }
    EXPECT_EQ(fillRight, cell.Right);
    EXPECT_EQ(textRight, cell.Right + 3 - 2);
}

TEST_F(GridForm, ScriptWritesCellsAsTheUserWould) {
    std::vector<std::string> seen;
    grid->OnValidateEdit = [&](TObject*, int c, int r, bool& valid) {
        seen.push_back(grid->ScriptCell(c, r));
        valid = true;
    };
    grid->OnGetEditMask = [](TObject*, int c, int, std::string& mask) {
        if (c == 2) mask = "!99/0000;1";
    };
    grid->SetCells(2, 2, "old");
    grid->ScriptSetCell(2, 2, "01/2000");
    EXPECT_EQ(grid->ScriptCell(2, 2), "01/2000");
    EXPECT_EQ(seen, (std::vector<std::string>{"01/2000"}));
    EXPECT_EQ(events, (std::vector<std::string>{"before 2,2", "after 2,2"}));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 2);
    grid->ScriptSetCell(1, 2, "");
    EXPECT_EQ(grid->ScriptCell(1, 2), "");

    // Header cells and grids without editing are written directly.
    events.clear();
    grid->ScriptSetCell(0, 0, "Data");
    EXPECT_EQ(grid->ScriptCell(0, 0), "Data");
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->ScriptSetCell(1, 1, "x\ty");
    EXPECT_EQ(grid->ScriptCell(1, 1), "x y");
    EXPECT_TRUE(events.empty());
    EXPECT_THROW(grid->ScriptSetCell(5, 1, "x"), Exception);
}

TEST_F(GridForm, MouseSelectsSizesAndMovesRowsWithTheirRecords) {
    grid->SetRowCount(5);
    for (int r = 0; r < 5; ++r) grid->SetCells(1, r, "r" + std::to_string(r));
    std::vector<std::string> fixedClicks;
    grid->OnFixedColClick = [&](TObject*, int c) { fixedClicks.push_back("col " + std::to_string(c)); };
    grid->OnFixedRowClick = [&](TObject*, int r) { fixedClicks.push_back("row " + std::to_string(r)); };
    int clicks = 0;
    grid->OnClick = [&](TObject*) { ++clicks; };
    other->SetFocus();

    auto mouse = [&](QEvent::Type type, TPoint p, Qt::MouseButtons held = Qt::LeftButton) {
        const QPointF local(p.X, p.Y);
        QMouseEvent e(type, local, Viewport()->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(Viewport(), &e);
        Pump();
    };
    auto click = [&](TPoint p) {
        mouse(QEvent::MouseButtonPress, p);
        mouse(QEvent::MouseButtonRelease, p, Qt::NoButton);
    };
    auto drag = [&](TPoint from, TPoint to) {
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, TPoint{(from.X + to.X) / 2, (from.Y + to.Y) / 2});
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    };
    auto centre = [&](int c, int r) {
        const TRect rc = grid->CellRect(c, r);
        return TPoint{(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2};
    };

    click(centre(2, 3));
    EXPECT_TRUE(grid->Focused()) << "a click brings the focus";
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(clicks, 1);
    click(centre(2, 3));
    EXPECT_TRUE(EditorShown()) << "a click on the current cell of a focused grid edits it";
    grid->HideEditor();

    drag(centre(1, 1), centre(2, 2));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 2}));

    click(centre(2, 0));
    click(centre(0, 4));
    EXPECT_EQ(fixedClicks, (std::vector<std::string>{"col 2", "row 4"}));
    mouse(QEvent::MouseButtonDblClick, centre(0, 4));  // the second press of a double click
    mouse(QEvent::MouseButtonRelease, centre(0, 4), Qt::NoButton);
    EXPECT_EQ(fixedClicks, (std::vector<std::string>{"col 2", "row 4", "row 4"}));

    // Dragging a column border in the header sizes the column.
    grid->SetOptions(grid->Options() | goColSizing | goRowMoving);
    const TRect head = grid->CellRect(1, 0);
    const int before = grid->ColWidths(1);
    const int y = (head.Top + head.Bottom) / 2;
    drag(TPoint{head.Right, y}, TPoint{head.Right + 30, y});
    EXPECT_EQ(grid->ColWidths(1), before + 30);

    // Dragging a row by its fixed cell moves its texts and records.
    grid->SetAlignRow(1, TMyAlign::alRight);
    grid->SetHintCell(1, 1, "dica");
    drag(centre(0, 1), centre(0, 3));
    EXPECT_EQ(grid->Cols(1).CommaText(), "r0,r2,r3,r1,r4");
    EXPECT_EQ(grid->GetAlignCell(1, 3), TMyAlign::alRight);
    EXPECT_EQ(grid->GetHintCell(1, 3), "dica");
    EXPECT_EQ(grid->GetAlignCell(1, 1), TMyAlign::alLeft);
}

}  // namespace
