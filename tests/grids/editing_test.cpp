// The grid on screen (offscreen platform): typing, the editing messages,
// validation, Tab, the clipboard keys and painting.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "grids/align_grid.h"

namespace {

void Pump() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
    Pump();
}

void Type(const std::string& s) {
    for (char c : s) {
        QChar q = QChar::fromLatin1(c);
        Key(q.toUpper().unicode(), Qt::NoModifier, QString(q));
    }
}

void Mouse(TStringAlignGrid& g, QEvent::Type type, int x, int y, Qt::MouseButtons held = Qt::LeftButton) {
    QWidget* vp = static_cast<QAbstractScrollArea*>(g.Widget())->viewport();
    QPointF local(x, y);
    QMouseEvent e(type, local, vp->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &e);
    Pump();
}

void Drag(TStringAlignGrid& g, TPoint from, TPoint to) {
    Mouse(g, QEvent::MouseButtonPress, from.X, from.Y);
    Mouse(g, QEvent::MouseMove, (from.X + to.X) / 2, (from.Y + to.Y) / 2);
    Mouse(g, QEvent::MouseMove, to.X, to.Y);
    Mouse(g, QEvent::MouseButtonRelease, to.X, to.Y, Qt::NoButton);
}

TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// A window holding the grid and a line edit the focus can move to.
struct Window {
    QWidget top;
    TStringAlignGrid* grid;
    QLineEdit* other;
    std::unique_ptr<TStringAlignGrid> owned;
    std::vector<std::string> events;

    Window() {
        auto* layout = new QVBoxLayout(&top);
        owned = std::make_unique<TStringAlignGrid>(&top);
        grid = owned.get();
        layout->addWidget(grid->Widget());
        other = new QLineEdit(&top);
        layout->addWidget(other);
        top.resize(420, 300);
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
        top.show();
        top.activateWindow();
        Pump();
        grid->SetFocus();
        Pump();
    }
    ~Window() { owned.reset(); }
    bool EditorShown() const { return grid->Editor() && grid->Editor()->Visible(); }
};

}  // namespace

TEST(GridEditing, TypingOpensTheEditorAndEnterWritesTheCell) {
    Window w;
    std::vector<std::string> written;
    w.grid->OnSetEditText = [&](TObject*, int c, int r, const std::string& v) {
        written.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
    };
    Type("12,5");
    ASSERT_TRUE(w.EditorShown());
    EXPECT_EQ(w.grid->Cells(1, 1), "");  // not written while the editor is open
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_FALSE(w.EditorShown());
    EXPECT_EQ(w.grid->Cells(1, 1), "12,5");
    EXPECT_EQ(written, (std::vector<std::string>{"1,1=12,5"}));
    EXPECT_EQ(w.events, (std::vector<std::string>{"before 1,1", "after 1,1"}));

    // Enter toggles the editor; arrows move the current cell.
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_TRUE(w.EditorShown());
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    Key(Qt::Key_Down);
    EXPECT_EQ(w.grid->Row(), 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(w.grid->Col(), 2);
}

TEST(GridEditing, RefusedValidationReopensAndEscGoesBack) {
    Window w;
    w.grid->SetCells(1, 1, "old");
    w.grid->AutoEditNextCell = true;
    w.grid->OnValidateEdit = [&](TObject*, int c, int r, bool& valid) {
        valid = w.grid->Cells(c, r) != "bad";
    };
    Type("bad");
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    ASSERT_TRUE(w.EditorShown());
    EXPECT_EQ(w.grid->Col(), 1);
    EXPECT_EQ(w.grid->Row(), 1);
    EXPECT_EQ(w.grid->Editor()->Text(), "bad");
    EXPECT_TRUE(w.grid->EditingActive);

    Key(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_FALSE(w.EditorShown());
    EXPECT_EQ(w.grid->Cells(1, 1), "old");
    ASSERT_FALSE(w.events.empty());
    EXPECT_EQ(w.events.back(), "cancel 1,1");

    // An accepted edit moves on to the next editable cell, skipping refused ones.
    w.grid->SetEditCell(2, 1, false);
    Type("ok");
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(w.grid->Cells(1, 1), "ok");
    EXPECT_TRUE(w.EditorShown());
    EXPECT_EQ(w.grid->Col(), 1);
    EXPECT_EQ(w.grid->Row(), 2);
}

TEST(GridEditing, LeavingTheGridEndsTheEditOrPullsTheFocusBack) {
    Window w;
    int exits = 0;
    w.grid->OnExit = [&](TObject*) { ++exits; };
    bool refuse = true;
    w.grid->OnValidateEdit = [&](TObject*, int, int, bool& valid) { valid = !refuse; };
    Type("x");
    w.other->setFocus();
    Pump();
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(w.grid->Focused());
    EXPECT_TRUE(w.EditorShown());

    refuse = false;
    w.other->setFocus();
    Pump();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(w.grid->Cells(1, 1), "x");
    EXPECT_EQ(w.events.back(), "after 1,1");
}

TEST(GridEditing, TabWalksAndActsPastTheLastCell) {
    Window w;
    w.grid->SetFixedCols(1);
    w.grid->FocusCell(2, 2);
    w.grid->AfterLastCellTab = lc_stop;
    Key(Qt::Key_Tab);
    EXPECT_EQ(w.grid->Col(), 2);
    EXPECT_EQ(w.grid->Row(), 2);

    w.grid->AfterLastCellTab = lc_first;
    Key(Qt::Key_Tab);
    EXPECT_EQ(w.grid->Col(), 1);
    EXPECT_EQ(w.grid->Row(), 1);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(w.grid->Col(), 2);
    EXPECT_EQ(w.grid->Row(), 2);

    w.grid->AfterLastCellTab = lc_newcolrow;
    Key(Qt::Key_Tab);
    EXPECT_EQ(w.grid->RowCount(), 4);
    EXPECT_EQ(w.grid->Col(), 1);
    EXPECT_EQ(w.grid->Row(), 3);

    // A column that is no tab stop is skipped.
    w.grid->SetTabStops(2, false);
    w.grid->FocusCell(1, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(w.grid->Col(), 1);
    EXPECT_EQ(w.grid->Row(), 2);
}

TEST(GridEditing, PostedMessagesFollowInsertedRowsAndDropRemovedOnes) {
    Window w;
    w.grid->SetRowCount(5);
    w.grid->PostEditMessage(GM_ENDEDIT, 1, 2);
    w.grid->PostEditMessage(GM_ENDEDIT, 1, 4);
    w.grid->InsertRow(1);  // row 2 becomes 3, row 4 becomes 5
    w.grid->RemoveRow(5);
    Pump();
    EXPECT_EQ(w.events, (std::vector<std::string>{"after 1,3"}));

    // A message for a cell beyond the counts is dropped too.
    w.events.clear();
    w.grid->PostEditMessage(GM_ENDEDIT, 1, 4);
    w.grid->SetRowCount(3);
    Pump();
    EXPECT_TRUE(w.events.empty());
}

TEST(GridEditing, ClipboardKeysCopyCutAndPaste) {
    Window w;
    w.grid->SetColCount(4);
    w.grid->SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) w.grid->SetCells(c, r, "k");
    ASSERT_TRUE(GridClipboardSetText("x\ty\t\r\nz\t\r\n"));
    w.grid->FocusCell(1, 1);
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(w.grid->Cells(1, 1), "x");
    EXPECT_EQ(w.grid->Cells(2, 1), "k");
    EXPECT_EQ(w.grid->Cells(1, 2), "k");

    w.grid->SetSelection(TGridRect{2, 2, 3, 3});
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(w.grid->Cells(2, 2), "x");
    EXPECT_EQ(w.grid->Cells(3, 2), "y");
    EXPECT_EQ(w.grid->Cells(2, 3), "z");
    EXPECT_EQ(w.grid->Cells(3, 3), "k");

    Key(Qt::Key_Delete, Qt::ShiftModifier);
    std::string clip;
    ASSERT_TRUE(GridClipboardGetText(clip));
    EXPECT_EQ(clip, "x\ty\t\r\nz\tk\t\r\n");
    EXPECT_EQ(w.grid->Cells(2, 2), "");
    EXPECT_EQ(w.grid->Cells(3, 3), "");
    EXPECT_EQ(w.grid->Cells(1, 1), "x");

    w.grid->FocusCell(1, 1);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    ASSERT_TRUE(GridClipboardGetText(clip));
    EXPECT_EQ(clip, "x\t\r\n");
}

TEST(GridEditing, PaintsCellBrushesAndSurvivesEveryDrawingMode) {
    Window w;
    w.grid->BrushCell(2, 2).SetColor(clRed);
    w.grid->SetWordwrapCell(1, 1, ww_wordwrap);
    w.grid->SetWordwrapCell(2, 1, ww_ellipsis);
    w.grid->SetCells(1, 1, "um texto longo que quebra");
    w.grid->SetCells(2, 1, "um texto longo com reticências & mais");
    int drawn = 0;
    w.grid->OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++drawn; };
    QImage shot = w.grid->Widget()->grab().toImage();
    EXPECT_GT(drawn, 0);
    TRect r = w.grid->CellRect(2, 2);
    ASSERT_GT(r.Width(), 0);
    QPoint centre = w.grid->Widget()->findChild<QWidget*>()->mapTo(w.grid->Widget(), QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    EXPECT_EQ(shot.pixelColor(centre), QColor(255, 0, 0));
}

TEST(GridEditing, ScriptWritesCellsAsTheUserWould) {
    Window w;
    std::vector<std::string> seen;
    w.grid->OnValidateEdit = [&](TObject*, int c, int r, bool& valid) {
        seen.push_back(w.grid->ScriptCell(c, r));
        valid = true;
    };
    w.grid->ScriptSetCell(2, 2, "01/2000");
    EXPECT_EQ(w.grid->ScriptCell(2, 2), "01/2000");
    EXPECT_EQ(seen, (std::vector<std::string>{"01/2000"}));
    EXPECT_EQ(w.events, (std::vector<std::string>{"before 2,2", "after 2,2"}));
    EXPECT_EQ(w.grid->Col(), 2);
    EXPECT_EQ(w.grid->Row(), 2);

    // Header cells and grids without editing are written directly.
    w.grid->ScriptSetCell(0, 0, "Data");
    EXPECT_EQ(w.grid->ScriptCell(0, 0), "Data");
    w.grid->SetOptions(w.grid->Options() & ~goEditing);
    w.grid->ScriptSetCell(1, 1, "x\ty");
    EXPECT_EQ(w.grid->ScriptCell(1, 1), "x y");
    EXPECT_EQ(w.events.size(), 2u);
}

TEST(GridEditing, MouseSelectsSizesAndMovesRowsWithTheirRecords) {
    Window w;
    w.grid->SetRowCount(5);
    for (int r = 0; r < 5; ++r) w.grid->SetCells(1, r, "r" + std::to_string(r));
    std::vector<std::string> fixedClicks;
    w.grid->OnFixedColClick = [&](TObject*, int c) { fixedClicks.push_back("col " + std::to_string(c)); };
    w.grid->OnFixedRowClick = [&](TObject*, int r) { fixedClicks.push_back("row " + std::to_string(r)); };

    TPoint p = Centre(w.grid->CellRect(2, 3));
    Mouse(w.grid[0], QEvent::MouseButtonPress, p.X, p.Y);
    Mouse(w.grid[0], QEvent::MouseButtonRelease, p.X, p.Y, Qt::NoButton);
    EXPECT_EQ(w.grid->Col(), 2);
    EXPECT_EQ(w.grid->Row(), 3);

    Drag(w.grid[0], Centre(w.grid->CellRect(1, 1)), Centre(w.grid->CellRect(2, 2)));
    EXPECT_EQ(w.grid->Selection(), (TGridRect{1, 1, 2, 2}));

    p = Centre(w.grid->CellRect(2, 0));
    Mouse(w.grid[0], QEvent::MouseButtonPress, p.X, p.Y);
    Mouse(w.grid[0], QEvent::MouseButtonRelease, p.X, p.Y, Qt::NoButton);
    p = Centre(w.grid->CellRect(0, 4));
    Mouse(w.grid[0], QEvent::MouseButtonPress, p.X, p.Y);
    Mouse(w.grid[0], QEvent::MouseButtonRelease, p.X, p.Y, Qt::NoButton);
    EXPECT_EQ(fixedClicks, (std::vector<std::string>{"col 2", "row 4"}));

    // Dragging a column border in the header sizes the column.
    w.grid->SetOptions(w.grid->Options() | goColSizing | goRowMoving);
    const TRect head = w.grid->CellRect(1, 0);
    const int before = w.grid->ColWidths(1);
    Drag(w.grid[0], TPoint{head.Right, Centre(head).Y}, TPoint{head.Right + 30, Centre(head).Y});
    EXPECT_EQ(w.grid->ColWidths(1), before + 30);

    // Dragging a row by its fixed cell moves its texts and records.
    w.grid->SetAlignRow(1, TMyAlign::alRight);
    w.grid->SetHintCell(1, 1, "dica");
    Drag(w.grid[0], Centre(w.grid->CellRect(0, 1)), Centre(w.grid->CellRect(0, 3)));
    EXPECT_EQ(w.grid->Cols(1).CommaText(), "r0,r2,r3,r1,r4");
    EXPECT_EQ(w.grid->GetAlignCell(1, 3), TMyAlign::alRight);
    EXPECT_EQ(w.grid->GetHintCell(1, 3), "dica");
    EXPECT_EQ(w.grid->GetAlignCell(1, 1), TMyAlign::alLeft);
}
