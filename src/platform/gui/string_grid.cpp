#include "platform/gui/string_grid.h"

#include <QAbstractScrollArea>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

#include "platform/gui/application.h"
#include "platform/gui/canvas.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/qt_bridge.h"
#include "platform/runtime/errors.h"

using velorim_gui::Guard;
using velorim_gui::ToQ;

namespace {

// Cell texts never hold line or field breaks: they would break the table files.
std::string CleanCellText(std::string s) {
    for (char& c : s)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
        case Qt::RightButton: return TMouseButton::mbRight;
        case Qt::MiddleButton: return TMouseButton::mbMiddle;
        default: return TMouseButton::mbLeft;
    }
}

// Raises a counter for the duration of a call, also when it throws.
struct CountGuard {
    explicit CountGuard(int& n) : n_(n) { ++n_; }
    ~CountGuard() { --n_; }
    int& n_;
};

}  // namespace

// ---------------------------------------------------------------- the view

namespace velorim_gui {

// The scroll area inside the grid's window: paints the cells, reports the
// mouse, scrolls, and keeps the keyboard in the editor while it is open.
class TGridView : public QAbstractScrollArea {
public:
    TGridView(TStringGrid* grid, QWidget* parent) : QAbstractScrollArea(parent), grid_(grid) {
        setFocusPolicy(Qt::NoFocus);
        viewport()->setFocusPolicy(Qt::NoFocus);
        viewport()->setMouseTracking(true);
        viewport()->setAutoFillBackground(false);
        verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
        horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
        SetBorder(true);
        if (parent) parent->installEventFilter(this);
        viewport()->installEventFilter(this);
    }
    // The grid is going: events that still arrive do nothing.
    void Detach() { grid_ = nullptr; }
    void SetBorder(bool on) {
        if (on) {
            setFrameStyle(QFrame::Panel | QFrame::Sunken);
            setLineWidth(2);
        } else {
            setFrameStyle(QFrame::NoFrame);
        }
    }
    void WatchEditor(QWidget* editor) { editor->installEventFilter(this); }
    bool syncing = false;

protected:
    bool viewportEvent(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            if (!grid_) return true;
            auto* he = static_cast<QHelpEvent*>(e);
            std::string hint;
            TRect cell;
            TPoint at;
            bool show = false;
            Guard(grid_, [&] { show = grid_->CellHintAt(he->pos().x(), he->pos().y(), hint, cell, at); });
            if (show && !hint.empty())
                QToolTip::showText(viewport()->mapToGlobal(QPoint(at.X, at.Y)), ToQ(hint), viewport(),
                                   QRect(cell.Left, cell.Top, cell.Width(), cell.Height()));
            else
                QToolTip::hideText();
            return true;
        }
        return QAbstractScrollArea::viewportEvent(e);
    }
    void paintEvent(QPaintEvent* e) override {
        if (!grid_) return;
        QPainter p(viewport());
        const QRect r = e->rect();
        const TRect clip{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        TCanvas& canvas = grid_->Canvas();
        canvas.Attach(&p, &clip);
        canvas.Font().Assign(grid_->Font());
        canvas.Brush().SetColor(grid_->Color());
        Guard(grid_, [&] { grid_->Paint(clip); });
        canvas.Detach();
    }
    void scrollContentsBy(int, int) override {
        if (syncing || !grid_) return;
        TStringGrid* g = grid_;
        Guard(g, [&] {
            g->SetTopRow(g->FixedRows() + verticalScrollBar()->value());
            g->SetLeftCol(g->FixedCols() + horizontalScrollBar()->value());
        });
    }
    void mousePressEvent(QMouseEvent* e) override { Press(e, 0); }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        Press(e, ssDouble);
        if (grid_) Guard(grid_, [g = grid_] { g->DblClick(); });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!grid_) return;
        const QPoint p = e->position().toPoint();
        Guard(grid_, [&, g = grid_] { g->MouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!grid_) return;
        const QPoint p = e->position().toPoint();
        Guard(grid_, [&, g = grid_] {
            g->MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
        });
    }
    void wheelEvent(QWheelEvent* e) override {
        e->accept();
        const int steps = e->angleDelta().y() / 120;
        if (!grid_ || !steps) return;
        Guard(grid_, [&, g = grid_] { g->SetTopRow(g->TopRow() - steps * (Mouse ? Mouse->WheelScrollLines() : 3)); });
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        // A key the editor's widget leaves unused would travel up to the
        // grid's window and come back to the editor: it stops here.
        if (watched == viewport()) return e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease;
        if (!grid_ || e->type() != QEvent::FocusIn) return false;
        TStringGrid* g = grid_;
        if (watched == g->MadeWidget()) {
            // The grid's window got the keyboard while its editor is open.
            if (!g->movingFocus_) g->FocusEditor();
        } else if (g->editor_ && watched == g->editor_->MadeWidget()) {
            // A click into the open editor brings the focus to the grid.
            TForm* form = g->ParentForm();
            if (form && !g->Focused()) {
                Guard(g, [&] { form->SetActiveControl(g); });
                if (grid_ == g) g->FocusEditor();
            }
        }
        return false;
    }

private:
    void Press(QMouseEvent* e, TShiftState extra) {
        if (!grid_) return;
        const QPoint p = e->position().toPoint();
        const TShiftState s = ShiftOf(e->modifiers(), e->buttons()) | extra;
        Guard(grid_, [&, g = grid_] { g->MouseDown(ButtonOf(e->button()), s, p.x(), p.y()); });
    }

    TStringGrid* grid_;
};

}  // namespace velorim_gui

using velorim_gui::TGridView;

// ---------------------------------------------------------------- TInplaceEdit

TInplaceEdit::TInplaceEdit(TStringGrid* grid) : TCustomMaskEdit(grid), grid_(grid) {
    AutoSelect = false;
    SetTabStop(false);
    SetVisible(false);
    // The grid's window holds the editor's: made with it, or now.
    if (grid->MadeWidget()) MakeWidgets();
}

TControl* TInplaceEdit::WidgetHost() const { return grid_; }

void TInplaceEdit::CreateWidget() {
    if (!grid_->view_) return;
    TCustomMaskEdit::CreateWidget();
    if (auto* e = qobject_cast<QLineEdit*>(MadeWidget())) {
        e->setFrame(false);
        e->setParent(grid_->view_->viewport());
        e->setVisible(Visible());
        grid_->view_->WatchEditor(e);
    }
    ApplyIme();
}

void TInplaceEdit::SetIme(TImeMode mode, const std::string& name) {
    imeMode_ = mode;
    imeName_ = name;
    ApplyIme();
}

void TInplaceEdit::ApplyIme() {
    QWidget* w = MadeWidget();
    if (!w) return;
    Qt::InputMethodHints hints = Qt::ImhNone;
    switch (imeMode_) {
        case TImeMode::imClose: hints = Qt::ImhPreferLatin; break;
        case TImeMode::imSAlpha:
        case TImeMode::imAlpha: hints = Qt::ImhPreferLatin | Qt::ImhLatinOnly; break;
        default: break;  // the input method picks its own script
    }
    w->setAttribute(Qt::WA_InputMethodEnabled, imeMode_ != TImeMode::imDisable);
    w->setInputMethodHints(hints);
    w->setProperty("imeName", ToQ(imeName_));
}

TInplaceEdit::~TInplaceEdit() = default;

void TInplaceEdit::Deselect() { SetSelStart(static_cast<int>(EditText().size())); }

void TInplaceEdit::SetTextAlignment(TAlignment alignment) { ShowAlignment(alignment); }

void TInplaceEdit::UpdateContents() {
    const int col = grid_->Col(), row = grid_->Row();
    // Clear under no mask first: the old cell's text must not be read
    // through the new cell's mask.
    SetEditMask("");
    SetText("");
    SetEditMask(grid_->GetEditMask(col, row));
    SetText(grid_->GetEditText(col, row));
    Modified = false;
    SetEditFont(grid_->Font());
    SetEditColor(grid_->Color());
}

bool TInplaceEdit::WantsKey(WORD key, TShiftState shift) const {
    // Sideways keys leave the editor only when it is always shown, and then
    // only at the matching end of the text.
    const bool forward = grid_->Options() & goAlwaysShowEditor;
    const int len = static_cast<int>(EditText().size());
    const int s = SelStart(), l = SelLength();
    const bool leftSide = s == 0 && (l == 0 || l == len);
    const bool rightSide = (s == 0 || l == 0) && s + l == len;
    switch (key) {
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_ESCAPE:
            return false;
        case VK_INSERT:
            return shift != 0;
        case VK_LEFT: case VK_HOME:
            return !(forward && ((shift & ssCtrl) || leftSide));
        case VK_RIGHT: case VK_END:
            return !(forward && ((shift & ssCtrl) || rightSide));
        case VK_TAB:
            return (shift & ssAlt) != 0;
        case VK_DELETE:
            return !(shift & ssCtrl);
        default:
            return true;
    }
}

void TInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
    // The editor is no control of the form: the form's preview and short-cuts
    // see its keys here (keys that came through the grid passed them already).
    TForm* form = fromGrid_ ? nullptr : grid_->ParentForm();
    if (form && form->KeyPreview) {
        form->KeyDown(key, shift);
        if (!key) return;
    }
    EditKeyDown(key, shift);
    if (key && form && form->Menu() && (shift & (ssCtrl | ssAlt)) && form->Menu()->IsShortCut(key, shift)) key = 0;
}

void TInplaceEdit::KeyPress(char& key) {
    TForm* form = fromGrid_ ? nullptr : grid_->ParentForm();
    if (form && form->KeyPreview) {
        form->KeyPress(key);
        if (!key) return;
    }
    EditKeyPress(key);
}

void TInplaceEdit::EditKeyDown(WORD& key, TShiftState shift) {
    if (!WantsKey(key, shift)) {
        grid_->EditorKeyDown(key, shift);
        return;
    }
    // The grid's OnKeyDown sees the keys its editor keeps too.
    if (grid_->OnKeyDown) grid_->OnKeyDown(grid_, key, shift);
}

void TInplaceEdit::EditKeyPress(char& key) {
    if (key == 27) {
        // Esc puts back the text the cell had and closes like Enter.
        SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
        Modified = false;
        key = 13;
    }
    grid_->EditorKeyPress(key);
    const unsigned char u = static_cast<unsigned char>(key);
    if (key == 9 || key == 27) {
        key = 0;  // never text
    } else if (key == 13) {
        if (Visible()) {
            if (SelStart() == 0 && SelLength() == static_cast<int>(EditText().size())) Deselect();
            else SelectAll();
        }
        key = 0;
    } else if ((key == 8 || key == 22 || key == 24 || u >= 32) && !grid_->CanEditModify()) {
        key = 0;
    }
}

void TInplaceEdit::DefaultKeyInput(WORD key, TShiftState shift, char ch) {
    // Backspace acts once, on its character: a key the grid hands on comes
    // as a key-down and then as a character.
    if (key == VK_BACK && ch != 8) return;
    if (ch == 8) {
        key = VK_BACK;
        ch = 0;
    }
    TCustomMaskEdit::DefaultKeyInput(key, shift, ch);
}

void TInplaceEdit::KeyUp(WORD& key, TShiftState shift) { grid_->KeyUp(key, shift); }

void TInplaceEdit::TypeKey(WORD key, TShiftState shift, char ch) {
    const bool was = fromGrid_;
    fromGrid_ = true;
    try {
        ProcessKeyDown(key, shift, ch, false);
    } catch (...) {
        fromGrid_ = was;
        throw;
    }
    fromGrid_ = was;
}

// ---------------------------------------------------------------- TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomControl(AOwner), cells_(5, 5) {
    clickOnRelease_ = false;  // the grid clicks when its current cell moves
    color_ = clWindow;
    parentColor_ = false;
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
    UpdateScrollRange();
}

void TStringGrid::CreateWidget() {
    TCustomControl::CreateWidget();
    view_ = new TGridView(this, MadeWidget());
    if (borderStyle_ != TBorderStyle::bsSingle) view_->SetBorder(false);
    view_->setGeometry(0, 0, Width(), Height());
    UpdateScrollRange();
    if (editor_) editor_->MakeWidgets();
}

TStringGrid::~TStringGrid() {
    if (view_) view_->Detach();
    // Without the keyboard first: Qt must not pass it on to another control
    // of the form while the grid is half gone.
    if (editor_ && editor_->MadeWidget() && editor_->MadeWidget()->hasFocus()) editor_->MadeWidget()->clearFocus();
    delete editor_;
    editor_ = nullptr;
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    cells_.SetCell(col, row, text);
    if (col >= 0 && row >= 0 && col < ColCount() && row < RowCount()) {
        InvalidateCell(col, row);
        if (EditorVisible() && col == col_ && row == row_ && !editor_->Modified)
            editor_->SetText(GetEditText(col, row));
    }
}

TObject* TStringGrid::Objects(int col, int row) const {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return nullptr;
    if (static_cast<size_t>(row) >= objects_.size()) return nullptr;
    const auto& r = objects_[row];
    return static_cast<size_t>(col) < r.size() ? r[col] : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* object) {
    if (col < 0 || row < 0) return;
    if (objects_.size() <= static_cast<size_t>(row)) objects_.resize(row + 1);
    auto& r = objects_[row];
    if (r.size() <= static_cast<size_t>(col)) r.resize(col + 1, nullptr);
    r[col] = object;
}

void TStringGrid::SetRows(int row, const TStringList& items) {
    cells_.SetRow(row, items);
    Invalidate();
}

void TStringGrid::SetCols(int col, const TStringList& items) {
    cells_.SetCol(col, items);
    Invalidate();
}

void TStringGrid::MatrixChanged() {
    objects_.resize(std::min<size_t>(objects_.size(), static_cast<size_t>(RowCount())));
    if (static_cast<int>(rowHeights_.size()) > RowCount()) rowHeights_.resize(RowCount());
    if (static_cast<int>(colWidths_.size()) > ColCount()) colWidths_.resize(ColCount());
    if (fixedCols_ >= ColCount()) fixedCols_ = ColCount() - 1;
    if (fixedRows_ >= RowCount()) fixedRows_ = RowCount() - 1;
    ClampCurrent();
    UpdateScrollRange();
    if (EditorVisible() && !editor_->Modified) editor_->SetText(GetEditText(col_, row_));
    Invalidate();
}

void TStringGrid::SetColCount(int n) {
    n = std::max(n, 1);
    if (n == ColCount()) return;
    if (fixedCols_ >= n) fixedCols_ = n - 1;
    cells_.SetColCount(n);
    for (auto& r : objects_)
        if (static_cast<int>(r.size()) > n) r.resize(n);
    if (static_cast<int>(colWidths_.size()) > n) colWidths_.resize(n);
    if (static_cast<int>(tabStops_.size()) > n) tabStops_.resize(n);
    ClampCurrent();
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetRowCount(int n) {
    n = std::max(n, 1);
    if (n == RowCount()) return;
    if (fixedRows_ >= n) fixedRows_ = n - 1;
    cells_.SetRowCount(n);
    if (static_cast<int>(objects_.size()) > n) objects_.resize(n);
    if (static_cast<int>(rowHeights_.size()) > n) rowHeights_.resize(n);
    ClampCurrent();
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetFixedCols(int n) {
    fixedCols_ = std::clamp(n, 0, ColCount() - 1);
    ClampCurrent();
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetFixedRows(int n) {
    fixedRows_ = std::clamp(n, 0, RowCount() - 1);
    ClampCurrent();
    UpdateScrollRange();
    Invalidate();
}

// Keeps the current cell, the selection and the scroll position inside the
// non-fixed part after the counts changed.
void TStringGrid::ClampCurrent() {
    auto clampCol = [&](int c) { return std::clamp(c, fixedCols_, ColCount() - 1); };
    auto clampRow = [&](int r) { return std::clamp(r, fixedRows_, RowCount() - 1); };
    const int c = clampCol(col_), r = clampRow(row_);
    const bool moved = c != col_ || r != row_;
    if (moved && EditorVisible()) {
        // The edited cell went with the rows or columns removed: so does its text.
        if (col_ >= ColCount() || row_ >= RowCount()) editor_->Modified = false;
        HideEditor();
    }
    col_ = c;
    row_ = r;
    anchorCol_ = clampCol(anchorCol_);
    anchorRow_ = clampRow(anchorRow_);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, MaxTopRow()));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
}

int TStringGrid::ColWidths(int col) const {
    if (col >= 0 && static_cast<size_t>(col) < colWidths_.size() && colWidths_[col] != INT_MIN) return colWidths_[col];
    return defaultColWidth_;
}

void TStringGrid::SetColWidths(int col, int width) {
    if (col < 0 || col >= ColCount()) return;
    if (colWidths_.size() <= static_cast<size_t>(col)) colWidths_.resize(col + 1, INT_MIN);
    colWidths_[col] = std::max(width, 0);
    UpdateScrollRange();
    ColWidthsChanged();
    Invalidate();
}

int TStringGrid::RowHeights(int row) const {
    if (row >= 0 && static_cast<size_t>(row) < rowHeights_.size() && rowHeights_[row] != INT_MIN) return rowHeights_[row];
    return defaultRowHeight_;
}

void TStringGrid::SetRowHeights(int row, int height) {
    if (row < 0 || row >= RowCount()) return;
    if (rowHeights_.size() <= static_cast<size_t>(row)) rowHeights_.resize(row + 1, INT_MIN);
    rowHeights_[row] = std::max(height, 0);
    UpdateScrollRange();
    RowHeightsChanged();
    Invalidate();
}

void TStringGrid::SetDefaultColWidth(int w) {
    defaultColWidth_ = std::max(w, 0);
    colWidths_.clear();
    UpdateScrollRange();
    ColWidthsChanged();
    Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int h) {
    defaultRowHeight_ = std::max(h, 0);
    rowHeights_.clear();
    UpdateScrollRange();
    RowHeightsChanged();
    Invalidate();
}

void TStringGrid::SetGridLineWidth(int w) {
    gridLineWidth_ = std::max(w, 0);
    UpdateScrollRange();
    Invalidate();
}

bool TStringGrid::TabStops(int col) const {
    return col < 0 || static_cast<size_t>(col) >= tabStops_.size() || tabStops_[col];
}

void TStringGrid::SetTabStops(int col, bool stop) {
    if (col < 0) return;
    if (tabStops_.size() <= static_cast<size_t>(col)) tabStops_.resize(col + 1, 1);
    tabStops_[col] = stop;
}

void TStringGrid::SetCol(int col) {
    if (col != col_) FocusCell(col, row_, false);
}

void TStringGrid::SetRow(int row) {
    if (row != row_) FocusCell(col_, row, false);
}

bool TStringGrid::FocusCell(int col, int row, bool extend) {
    if (col < fixedCols_ || row < fixedRows_ || col >= ColCount() || row >= RowCount()) return false;
    if (!SelectCell(col, row)) return false;
    MoveCurrent(col, row, extend, true);
    Click();
    return true;
}

void TStringGrid::MoveCurrent(int col, int row, bool extend, bool show) {
    const bool moving = col != col_ || row != row_;
    if (moving) CellLeft(col_, row_);
    if (moving && EditorVisible()) {
        // The old cell's text is written before the current cell moves.
        HideEditor();
        editorMode_ = false;
    }
    InvalidateCell(col_, row_);
    col_ = col;
    row_ = row;
    if (!extend || !(options_ & goRangeSelect)) {
        anchorCol_ = col;
        anchorRow_ = row;
    }
    if (show) ScrollIntoView(col, row);
    Invalidate();
    if (moving && (options_ & goAlwaysShowEditor) && (options_ & goEditing)) ShowEditor();
}

TGridRect TStringGrid::Selection() const {
    if (options_ & goRowSelect)
        return TGridRect{fixedCols_, std::min(anchorRow_, row_), ColCount() - 1, std::max(anchorRow_, row_)};
    return TGridRect{std::min(anchorCol_, col_), std::min(anchorRow_, row_), std::max(anchorCol_, col_),
                     std::max(anchorRow_, row_)};
}

void TStringGrid::SetSelection(const TGridRect& rect) {
    TGridRect r = rect;
    r.Left = std::clamp(r.Left, fixedCols_, ColCount() - 1);
    r.Right = std::clamp(r.Right, fixedCols_, ColCount() - 1);
    r.Top = std::clamp(r.Top, fixedRows_, RowCount() - 1);
    r.Bottom = std::clamp(r.Bottom, fixedRows_, RowCount() - 1);
    // The current cell is the rectangle's top-left corner, the anchor its
    // opposite corner.
    if ((r.Left != col_ || r.Top != row_) && EditorVisible()) {
        HideEditor();
        editorMode_ = false;
    }
    col_ = r.Left;
    row_ = r.Top;
    anchorCol_ = r.Right;
    anchorRow_ = r.Bottom;
    ScrollIntoView(col_, row_);
    Invalidate();
}

int TStringGrid::FixedWidth() const {
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c) w += ColWidths(c) + gridLineWidth_;
    return w;
}

int TStringGrid::FixedHeight() const {
    int h = 0;
    for (int r = 0; r < fixedRows_; ++r) h += RowHeights(r) + gridLineWidth_;
    return h;
}

int TStringGrid::MaxTopRow() const {
    const int room = ClientHeight() - FixedHeight();
    int r = RowCount() - 1, used = 0;
    while (r >= fixedRows_) {
        used += RowHeights(r) + gridLineWidth_;
        if (used > room) break;
        --r;
    }
    return std::max(fixedRows_, std::min(r + 1, RowCount() - 1));
}

int TStringGrid::MaxLeftCol() const {
    const int room = ClientWidth() - FixedWidth();
    int c = ColCount() - 1, used = 0;
    while (c >= fixedCols_) {
        used += ColWidths(c) + gridLineWidth_;
        if (used > room) break;
        --c;
    }
    return std::max(fixedCols_, std::min(c + 1, ColCount() - 1));
}

namespace {
// The scroll area's border and scroll bars as the style draws them, measured
// once: the client area is the same whether the grid's window is made or not.
struct TGridMetrics {
    int frame, vbarWidth, hbarHeight;
};
const TGridMetrics& GridMetrics() {
    static const TGridMetrics metrics = [] {
        TGridView view(nullptr, nullptr);
        return TGridMetrics{view.frameWidth(), view.verticalScrollBar()->sizeHint().width(),
                            view.horizontalScrollBar()->sizeHint().height()};
    }();
    return metrics;
}
}  // namespace

void TStringGrid::UpdateScrollRange() {
    // The client area is worked out here rather than read from the scroll
    // area, whose layout only follows once its window is on screen: the
    // border, then each scroll bar the content needs.
    const TGridMetrics& metrics = GridMetrics();
    const int frame = borderStyle_ == TBorderStyle::bsSingle ? metrics.frame : 0;
    int w = std::max(0, Width() - 2 * frame), h = std::max(0, Height() - 2 * frame);
    long long totalW = static_cast<long long>(ColCount()) * (defaultColWidth_ + gridLineWidth_);
    for (size_t c = 0; c < colWidths_.size() && static_cast<int>(c) < ColCount(); ++c)
        if (colWidths_[c] != INT_MIN) totalW += colWidths_[c] - defaultColWidth_;
    long long totalH = static_cast<long long>(RowCount()) * (defaultRowHeight_ + gridLineWidth_);
    for (size_t r = 0; r < rowHeights_.size() && static_cast<int>(r) < RowCount(); ++r)
        if (rowHeights_[r] != INT_MIN) totalH += rowHeights_[r] - defaultRowHeight_;
    const bool allowV = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool allowH = scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth;
    const int sbw = metrics.vbarWidth;
    const int sbh = metrics.hbarHeight;
    bool vbar = false, hbar = false;
    for (int pass = 0; pass < 2; ++pass) {
        if (!vbar && allowV && totalH > h) {
            vbar = true;
            w = std::max(0, w - sbw);
        }
        if (!hbar && allowH && totalW > w) {
            hbar = true;
            h = std::max(0, h - sbh);
        }
    }
    clientWidth_ = w;
    clientHeight_ = h;

    const int maxTop = MaxTopRow(), maxLeft = MaxLeftCol();
    topRow_ = std::clamp(topRow_, fixedRows_, maxTop);
    leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeft);
    if (view_) {
        view_->syncing = true;
        view_->setVerticalScrollBarPolicy(vbar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        view_->setHorizontalScrollBarPolicy(hbar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        ShowScrollBars(maxTop, maxLeft);
    }
    if (EditorVisible()) PlaceEditor();
}

void TStringGrid::ShowScrollBars(int maxTop, int maxLeft) {
    QScrollBar* v = view_->verticalScrollBar();
    v->setRange(0, maxTop - fixedRows_);
    v->setPageStep(std::max(1, VisibleRowCount()));
    v->setValue(topRow_ - fixedRows_);
    v->setTracking(FollowThumbTracking());
    QScrollBar* hs = view_->horizontalScrollBar();
    hs->setRange(0, maxLeft - fixedCols_);
    hs->setPageStep(std::max(1, VisibleColCount()));
    hs->setValue(leftCol_ - fixedCols_);
    hs->setTracking(FollowThumbTracking());
    view_->syncing = false;
}

void TStringGrid::SetTopRow(int row) {
    row = std::clamp(row, fixedRows_, MaxTopRow());
    if (row == topRow_) return;
    topRow_ = row;
    UpdateScrollRange();
    TopLeftChanged();
    Invalidate();
}

void TStringGrid::SetLeftCol(int col) {
    col = std::clamp(col, fixedCols_, MaxLeftCol());
    if (col == leftCol_) return;
    leftCol_ = col;
    UpdateScrollRange();
    TopLeftChanged();
    Invalidate();
}

int TStringGrid::VisibleRowCount() const {
    int room = ClientHeight() - FixedHeight(), n = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        room -= RowHeights(r) + gridLineWidth_;
        if (room < 0) break;
        ++n;
    }
    return n;
}

int TStringGrid::VisibleColCount() const {
    int room = ClientWidth() - FixedWidth(), n = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        room -= ColWidths(c) + gridLineWidth_;
        if (room < 0) break;
        ++n;
    }
    return n;
}

void TStringGrid::ScrollIntoView(int col, int row) {
    if (row >= fixedRows_) {
        if (row < topRow_) {
            SetTopRow(row);
        } else {
            const int room = ClientHeight() - FixedHeight();
            int used = 0, top = row;
            // The lowest top row that still shows `row` whole.
            for (int r = row; r >= fixedRows_; --r) {
                used += RowHeights(r) + gridLineWidth_;
                if (used > room && r != row) break;
                top = r;
            }
            if (topRow_ < top) SetTopRow(top);
        }
    }
    if (col >= fixedCols_) {
        if (col < leftCol_) {
            SetLeftCol(col);
        } else {
            const int room = ClientWidth() - FixedWidth();
            int used = 0, left = col;
            for (int c = col; c >= fixedCols_; --c) {
                used += ColWidths(c) + gridLineWidth_;
                if (used > room && c != col) break;
                left = c;
            }
            if (leftCol_ < left) SetLeftCol(left);
        }
    }
}

int TStringGrid::ColX(int col) const {
    if (col < 0 || col >= ColCount()) return -1;
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c) x += ColWidths(c) + gridLineWidth_;
        return x;
    }
    if (col < leftCol_) return -1;
    x = FixedWidth();
    const int limit = ClientWidth();
    for (int c = leftCol_; c < col; ++c) {
        x += ColWidths(c) + gridLineWidth_;
        if (x >= limit) return -1;
    }
    return x;
}

int TStringGrid::RowY(int row) const {
    if (row < 0 || row >= RowCount()) return -1;
    int y = 0;
    if (row < fixedRows_) {
        for (int r = 0; r < row; ++r) y += RowHeights(r) + gridLineWidth_;
        return y;
    }
    if (row < topRow_) return -1;
    y = FixedHeight();
    const int limit = ClientHeight();
    for (int r = topRow_; r < row; ++r) {
        y += RowHeights(r) + gridLineWidth_;
        if (y >= limit) return -1;
    }
    return y;
}

TRect TStringGrid::CellRect(int col, int row) const {
    const int x = ColX(col), y = RowY(row);
    if (x < 0 || y < 0) return TRect{};
    return TRect{x, y, x + ColWidths(col), y + RowHeights(row)};
}

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    const TGridCoord c = MouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

TGridCoord TStringGrid::MouseCoord(int x, int y) const {
    TGridCoord out{-1, -1};
    if (x < 0 || y < 0) return out;
    int pos = 0;
    for (int c = 0; c < ColCount(); ++c) {
        if (c == fixedCols_) {
            c = leftCol_;
            if (c >= ColCount()) break;
        }
        const int next = pos + ColWidths(c) + gridLineWidth_;
        if (x < next) {
            out.X = c;
            break;
        }
        pos = next;
        if (pos > ClientWidth()) break;
    }
    pos = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (r == fixedRows_) {
            r = topRow_;
            if (r >= RowCount()) break;
        }
        const int next = pos + RowHeights(r) + gridLineWidth_;
        if (y < next) {
            out.Y = r;
            break;
        }
        pos = next;
        if (pos > ClientHeight()) break;
    }
    if (out.X < 0 || out.Y < 0) return TGridCoord{-1, -1};
    return out;
}

void TStringGrid::SetOptions(TGridOptions options) {
    if (options_ == options) return;
    options_ = options;
    if (!(options_ & goEditing) && EditorVisible()) HideEditor();
    if ((options_ & goAlwaysShowEditor) && (options_ & goEditing)) editorMode_ = true;
    if (!(options_ & goRangeSelect)) {
        anchorCol_ = col_;
        anchorRow_ = row_;
    }
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetFixedColor(TColor c) {
    fixedColor_ = c;
    Invalidate();
}

void TStringGrid::SetScrollBars(TScrollStyle value) {
    scrollBars_ = value;
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetBorderStyle(TBorderStyle value) {
    borderStyle_ = value;
    if (view_) view_->SetBorder(value == TBorderStyle::bsSingle);
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::BoundsChanged() {
    TCustomControl::BoundsChanged();
    if (view_) view_->setGeometry(0, 0, Width(), Height());
    UpdateScrollRange();
}

void TStringGrid::Resize() { TCustomControl::Resize(); }

void TStringGrid::FontChanged() {
    TCustomControl::FontChanged();
    InvalidateEditor();
    Invalidate();
}

void TStringGrid::ColorChanged() {
    TCustomControl::ColorChanged();
    InvalidateEditor();
    Invalidate();
}

// ---------------------------------------------------------------- painting

void TStringGrid::Paint(const TRect& clip) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(clip, Color());
    const TGridRect sel = Selection();
    const bool showFocus = Focused() && !(options_ & goRowSelect) && !EditorVisible();
    auto paintRange = [&](int r0, int r1, int c0, int c1) {
        for (int r = r0; r < r1; ++r) {
            const int y = RowY(r);
            if (y < 0) {
                if (r >= fixedRows_) break;
                continue;
            }
            if (y >= clip.Bottom) break;
            for (int c = c0; c < c1; ++c) {
                const int x = ColX(c);
                if (x < 0) {
                    if (c >= fixedCols_) break;
                    continue;
                }
                if (x >= clip.Right) break;
                const TRect rect{x, y, x + ColWidths(c), y + RowHeights(r)};
                if (rect.Right <= clip.Left || rect.Bottom <= clip.Top) continue;
                TGridDrawState state = 0;
                if (c < fixedCols_ || r < fixedRows_) {
                    state |= gdFixed;
                } else {
                    if (sel.Contains(c, r)) state |= gdSelected;
                    if (c == col_ && r == row_) state |= gdFocused;
                }
                const int level = canvas.SaveDC();
                canvas.IntersectClipRect(rect.Left, rect.Top, rect.Right + gridLineWidth_, rect.Bottom + gridLineWidth_);
                canvas.Brush().SetStyle(TBrushStyle::bsSolid);
                canvas.Brush().SetColor((state & gdFixed) ? fixedColor_ : Color());
                canvas.Font().Assign(Font());
                canvas.SetBkMode(TRANSPARENT);
                DrawCell(c, r, rect, state);
                canvas.RestoreDC(level);
                if ((state & gdFocused) && showFocus) canvas.DrawFocusRect(rect);
            }
        }
    };
    paintRange(0, fixedRows_, 0, fixedCols_);
    paintRange(0, fixedRows_, leftCol_, ColCount());
    paintRange(topRow_, RowCount(), 0, fixedCols_);
    paintRange(topRow_, RowCount(), leftCol_, ColCount());
    PaintLines(ClientWidth(), ClientHeight());
}

void TStringGrid::PaintLines(int width, int height) {
    if (gridLineWidth_ <= 0) return;
    TCanvas& canvas = Canvas();
    const TColor lineColor = clSilver, fixedLine = clBlack;
    const int fixedW = FixedWidth(), fixedH = FixedHeight();
    // Extent of the drawn cells.
    int right = fixedW, bottom = fixedH;
    for (int c = leftCol_; c < ColCount() && right < width; ++c) right += ColWidths(c) + gridLineWidth_;
    for (int r = topRow_; r < RowCount() && bottom < height; ++r) bottom += RowHeights(r) + gridLineWidth_;
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    auto vline = [&](int x, int y0, int y1, TColor c) { canvas.FillRect(TRect{x, y0, x + gridLineWidth_, y1}, c); };
    auto hline = [&](int y, int x0, int x1, TColor c) { canvas.FillRect(TRect{x0, y, x1, y + gridLineWidth_}, c); };
    // Each vertical segment follows the row area it crosses: fixed lines
    // beside the header rows, the column's own kind below them.
    int x = 0;
    for (int c = 0; c < ColCount() && x < width; ++c) {
        if (c == fixedCols_) c = leftCol_;
        if (c >= ColCount()) break;
        x += ColWidths(c);
        const bool fixedCol = c < fixedCols_;
        if (options_ & goFixedVertLine) vline(x, 0, fixedH, fixedLine);
        if (fixedCol ? (options_ & goFixedVertLine) : (options_ & goVertLine))
            vline(x, fixedH, bottom, fixedCol ? fixedLine : lineColor);
        x += gridLineWidth_;
    }
    int y = 0;
    for (int r = 0; r < RowCount() && y < height; ++r) {
        if (r == fixedRows_) r = topRow_;
        if (r >= RowCount()) break;
        y += RowHeights(r);
        const bool fixedRow = r < fixedRows_;
        if (options_ & goFixedHorzLine) hline(y, 0, fixedW, fixedLine);
        if (fixedRow ? (options_ & goFixedHorzLine) : (options_ & goHorzLine))
            hline(y, fixedW, right, fixedRow ? fixedLine : lineColor);
        y += gridLineWidth_;
    }
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TCanvas& canvas = Canvas();
    if (defaultDrawing_ && canvas.Attached()) {
        if ((state & gdSelected) && !(state & gdFixed) &&
            (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)))) {
            canvas.Brush().SetColor(clHighlight);
            canvas.Font().SetColor(clHighlightText);
        }
        canvas.FillRect(rect);
        TRect t{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
        canvas.DrawText(Cells(col, row), t, DT_LEFT | DT_NOPREFIX);
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::Invalidate() {
    if (view_) view_->viewport()->update();
}

void TStringGrid::InvalidateCell(int col, int row) {
    const TRect r = CellRect(col, row);
    if (r.Width() > 0 && r.Height() > 0 && view_)
        view_->viewport()->update(QRect(r.Left - 1, r.Top - 1, r.Width() + 2, r.Height() + 2));
}

// ---------------------------------------------------------------- hooks

bool TStringGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

bool TStringGrid::CanEditShow() {
    return (options_ & goEditing) && editorMode_ && !(options_ & goRowSelect) && col_ >= fixedCols_ &&
           row_ >= fixedRows_;
}

bool TStringGrid::CanEditModify() { return (options_ & goEditing) != 0; }

std::string TStringGrid::GetEditMask(int col, int row) {
    std::string mask;
    if (OnGetEditMask) OnGetEditMask(this, col, row, mask);
    return mask;
}

std::string TStringGrid::GetEditText(int col, int row) {
    std::string text = Cells(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, text);
    return text;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
    const std::string text = CleanCellText(value);
    SetCells(col, row, text);
    if (OnSetEditText) OnSetEditText(this, col, row, text);
}

TInplaceEdit* TStringGrid::CreateEditor() { return new TInplaceEdit(this); }

void TStringGrid::RowMoved(int, int) {}
void TStringGrid::ColumnMoved(int, int) {}
void TStringGrid::ColWidthsChanged() {}
void TStringGrid::RowHeightsChanged() {}
void TStringGrid::TopLeftChanged() {
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// ---------------------------------------------------------------- editor

void TStringGrid::SetEditorMode(bool on) {
    if (on == editorMode_) return;
    if (on) ShowEditor();
    else HideEditor();
}

void TStringGrid::ShowEditor() {
    editorMode_ = true;
    SetEditorVisible(true);
}

void TStringGrid::HideEditor() {
    editorMode_ = (options_ & goAlwaysShowEditor) && (options_ & goEditing);
    SetEditorVisible(false);
}

void TStringGrid::SetEditorVisible(bool on) {
    if (on) {
        if (!editor_ && (options_ & goEditing)) editor_ = CreateEditor();
        if (!editor_ || !CanEditShow()) {
            if (EditorVisible()) SetEditorVisible(false);
            return;
        }
        ScrollIntoView(col_, row_);
        if (EditorVisible() && shownCol_ == col_ && shownRow_ == row_) {
            // Already open on this cell: keep what is typed.
            PlaceEditor();
            FocusEditor();
            return;
        }
        editor_->UpdateContents();
        shownCol_ = col_;
        shownRow_ = row_;
        PlaceEditor();
        editor_->Show();
        FocusEditor();
        editor_->SelectAll();
        EditorShown();
        Invalidate();
    } else {
        if (!EditorVisible()) return;
        QWidget* ew = editor_->MadeWidget();
        const bool hadFocus = ew && ew->hasFocus();
        UpdateEditorText();
        if (!editor_) return;
        if (hadFocus) HandOverKeyboard(ew);
        editor_->Hide();
        shownCol_ = shownRow_ = -1;
        Invalidate();
    }
}

void TStringGrid::HandOverKeyboard(QWidget* editorWidget) {
    // Before the editor goes, or Qt would pass the keyboard to whichever
    // window comes next: to the grid while it is the form's active control,
    // else to the control the focus is moving to (the form switched its
    // active control before the grid's exit).
    TForm* form = ParentForm();
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (Focused() && MadeWidget()) {
        movingFocus_ = true;
        MadeWidget()->setFocus(Qt::OtherFocusReason);
        movingFocus_ = false;
    } else if (active && active->MadeWidget() && active->MadeWidget()->isVisible()) {
        active->MadeWidget()->setFocus(Qt::OtherFocusReason);
    } else {
        editorWidget->clearFocus();
    }
}

void TStringGrid::FocusEditor() {
    if (!EditorVisible() || !Focused()) return;
    if (QWidget* ew = editor_->MadeWidget(); ew && !ew->hasFocus()) ew->setFocus(Qt::OtherFocusReason);
}

void TStringGrid::UpdateEditorText() {
    if (!editor_ || !editor_->Modified) return;
    editor_->Modified = false;
    SetEditText(col_, row_, editor_->Text());
}

void TStringGrid::PlaceEditor() {
    if (!editor_) return;
    const TRect r = CellRect(col_, row_);
    editor_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TStringGrid::InvalidateEditor() {
    if (EditorVisible()) {
        const bool modified = editor_->Modified;
        if (!modified) editor_->UpdateContents();
        PlaceEditor();
    }
}

// ---------------------------------------------------------------- focus

void TStringGrid::DoEnter() {
    TCustomControl::DoEnter();
    FocusEditor();
    Invalidate();
}

void TStringGrid::DoExit() {
    if (!(options_ & goAlwaysShowEditor)) HideEditor();
    else UpdateEditorText();
    TCustomControl::DoExit();
    Invalidate();
}

void TStringGrid::FocusNextControl(bool forward) {
    if (TForm* form = ParentForm()) form->SelectNext(this, forward, true);
}

bool TStringGrid::CellHintAt(int, int, std::string&, TRect&, TPoint&) { return false; }

void TStringGrid::HideCellHint() { QToolTip::hideText(); }

void TStringGrid::ShiftCurrent(int col, int row, int anchorCol, int anchorRow) {
    col_ = col;
    row_ = row;
    anchorCol_ = anchorCol;
    anchorRow_ = anchorRow;
    ClampCurrent();
    if (EditorVisible()) {
        shownCol_ = col_;
        shownRow_ = row_;
        PlaceEditor();
    }
    Invalidate();
}

// ---------------------------------------------------------------- the scenario driver

void TStringGrid::ScriptSelect(int col, int row) {
    if (ParentForm() && CanFocus() && !Focused()) SetFocus();
    if (col != col_ || row != row_) FocusCell(col, row, false);
}

void TStringGrid::ScriptSetCell(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) throw Exception("Grid index out of range");
    const std::string clean = CleanCellText(text);
    if (col >= fixedCols_ && row >= fixedRows_ && (options_ & goEditing)) {
        ScriptSelect(col, row);
        if (col == col_ && row == row_) ShowEditor();
        if (col == col_ && row == row_ && EditorVisible()) {
            // Typed key by key: the editor's mask and the key events see it all.
            editor_->SelectAll();
            SimulateKey(VK_DELETE);
            for (char c : clean) {
                if (!EditorVisible()) break;
                SimulateKey(0, 0, c);
            }
            SimulateKey(VK_RETURN, 0, '\r');
            Application->DeliverPostedMessages();
            return;
        }
    }
    // Header cells and cells the user cannot edit are written directly.
    SetEditText(col, row, clean);
}

// ---------------------------------------------------------------- keyboard

int TStringGrid::GetDlgCode() const {
    int code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (options_ & goTabs) code |= DLGC_WANTTAB;
    // An editing grid keeps Enter (it opens and closes the editor) and, while
    // the editor is open, Esc; it passes Tab and Esc on itself otherwise.
    if (options_ & goEditing) code |= DLGC_WANTALLKEYS;
    return code;
}

void TStringGrid::EditorKeyDown(WORD& key, TShiftState shift) {
    CountGuard g(inEditorKey_);
    KeyDown(key, shift);
}

void TStringGrid::EditorKeyPress(char& key) {
    CountGuard g(inEditorKey_);
    KeyPress(key);
}

void TStringGrid::KeyDown(WORD& key, TShiftState shift) {
    if (KeyGoesToEditor()) {
        editor_->TypeKey(key, shift, 0);
        return;
    }
    TCustomControl::KeyDown(key, shift);
    if (!key) return;
    switch (key) {
        case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
        case VK_PRIOR: case VK_NEXT:
            KeyNavigate(key, shift);
            key = 0;
            break;
        case VK_TAB:
            if (shift & (ssAlt | ssCtrl)) break;
            if (options_ & goTabs) KeyNavigate(key, shift);
            else FocusNextControl(!(shift & ssShift));
            key = 0;
            break;
        case VK_ESCAPE:
            if (!EditorVisible() && (options_ & goEditing))
                if (TForm* form = ParentForm(); form && form->DialogKey(key, shift)) key = 0;
            break;
        case VK_F2:
            if (options_ & goEditing) {
                ShowEditor();
                if (EditorVisible()) editor_->Deselect();
            }
            key = 0;
            break;
        case VK_INSERT:
            if (shift == ssShift) Perform(WM_PASTE);
            else if (shift == ssCtrl) Perform(WM_COPY);
            else break;
            key = 0;
            break;
        case VK_DELETE:
            if (shift == ssShift) {
                Perform(WM_CUT);
                key = 0;
            }
            break;
        default:
            if (shift == ssCtrl && (key == 'C' || key == 'X' || key == 'V')) {
                Perform(key == 'C' ? WM_COPY : key == 'X' ? WM_CUT : WM_PASTE);
                key = 0;
            }
            break;
    }
}

void TStringGrid::KeyNavigate(WORD key, TShiftState shift) {
    const bool extend = (shift & ssShift) && key != VK_TAB;
    const bool ctrl = shift & ssCtrl;
    int c = col_, r = row_;
    const int firstCol = fixedCols_, firstRow = fixedRows_, lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    const int page = std::max(1, VisibleRowCount() - 1);
    switch (key) {
        case VK_UP: --r; break;
        case VK_DOWN: ++r; break;
        case VK_LEFT:
            if (options_ & goRowSelect) --r;
            else --c;
            break;
        case VK_RIGHT:
            if (options_ & goRowSelect) ++r;
            else ++c;
            break;
        case VK_PRIOR: r -= page; break;
        case VK_NEXT: r += page; break;
        case VK_HOME:
            c = firstCol;
            if (ctrl) r = firstRow;
            break;
        case VK_END:
            c = lastCol;
            if (ctrl) r = lastRow;
            break;
        case VK_TAB:
            if (shift & ssShift) {
                if (--c < firstCol) {
                    c = lastCol;
                    if (--r < firstRow) r = lastRow;
                }
            } else if (++c > lastCol) {
                c = firstCol;
                if (++r > lastRow) r = firstRow;
            }
            break;
        default: break;
    }
    c = std::clamp(c, firstCol, lastCol);
    r = std::clamp(r, firstRow, lastRow);
    if (c != col_ || r != row_) FocusCell(c, r, extend);
}

void TStringGrid::KeyPress(char& key) {
    if (KeyGoesToEditor()) {
        editor_->TypeKey(0, 0, key);
        key = 0;
        return;
    }
    const unsigned char u = static_cast<unsigned char>(key);
    if (!inEditorKey_ && (options_ & goEditing) && (key == 8 || u >= 32)) {
        // A typed character opens the editor and goes into it.
        ShowEditor();
        if (EditorVisible()) {
            editor_->TypeKey(0, 0, key);
            key = 0;
            return;
        }
    }
    TCustomControl::KeyPress(key);
    if (key != 13) return;
    if (!(options_ & goAlwaysShowEditor)) {
        if (editorMode_ && EditorVisible()) HideEditor();
        else if (options_ & goEditing) ShowEditor();
    } else if (EditorVisible()) {
        // The editor stays: Enter writes its text into the cell.
        UpdateEditorText();
        editor_->SelectAll();
    }
    key = 0;
}

void TStringGrid::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_CUT: WMCut(); return;
        case WM_COPY: WMCopy(); return;
        case WM_PASTE: WMPaste(); return;
        default: TCustomControl::WndProc(message); return;
    }
}

// ---------------------------------------------------------------- mouse

bool TStringGrid::NearColBorder(int x, int y, int& col) const {
    if (y >= FixedHeight()) return false;
    for (int c = 0; c < ColCount(); ++c) {
        const int cx = ColX(c);
        if (cx < 0) continue;
        const int right = cx + ColWidths(c);
        if (x >= right - 3 && x <= right + gridLineWidth_ + 2) {
            col = c;
            return true;
        }
        if (cx > x) break;
    }
    return false;
}

bool TStringGrid::NearRowBorder(int x, int y, int& row) const {
    if (x >= FixedWidth()) return false;
    for (int r = 0; r < RowCount(); ++r) {
        const int ry = RowY(r);
        if (ry < 0) continue;
        const int bottom = ry + RowHeights(r);
        if (y >= bottom - 3 && y <= bottom + gridLineWidth_ + 2) {
            row = r;
            return true;
        }
        if (ry > y) break;
    }
    return false;
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    const bool hadFocus = Focused();
    if (!hadFocus && ParentForm() && CanFocus()) {
        SetFocus();
        if (!Focused()) return;  // the focused control kept the focus
    }
    if (button == TMouseButton::mbLeft && !(shift & ssDouble)) {
        int idx;
        if ((options_ & goColSizing) && NearColBorder(x, y, idx)) {
            gesture_ = Gesture::SizingCol;
            gestureIndex_ = idx;
            gestureStart_ = x;
            gestureOrigSize_ = ColWidths(idx);
        } else if ((options_ & goRowSizing) && NearRowBorder(x, y, idx)) {
            gesture_ = Gesture::SizingRow;
            gestureIndex_ = idx;
            gestureStart_ = y;
            gestureOrigSize_ = RowHeights(idx);
        } else if (const TGridCoord cell = MouseCoord(x, y); cell.X >= 0) {
            const bool fixedRow = cell.Y < fixedRows_, fixedCol = cell.X < fixedCols_;
            if (fixedRow && !fixedCol && (options_ & goColMoving)) {
                gesture_ = Gesture::MovingCol;
                gestureIndex_ = gestureTarget_ = cell.X;
            } else if (fixedCol && !fixedRow && (options_ & goRowMoving)) {
                gesture_ = Gesture::MovingRow;
                gestureIndex_ = gestureTarget_ = cell.Y;
            } else if (!fixedRow && !fixedCol) {
                const bool wasCurrent = cell.X == col_ && cell.Y == row_;
                if (wasCurrent && (options_ & goEditing) && !(shift & ssShift) && !EditorVisible() && hadFocus) {
                    ShowEditor();
                } else {
                    FocusCell(cell.X, cell.Y, (shift & ssShift) != 0);
                    if (options_ & goRangeSelect) gesture_ = Gesture::Selecting;
                }
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TStringGrid::MouseMove(TShiftState shift, int x, int y) {
    int idx;
    switch (gesture_) {
        case Gesture::SizingCol:
            SetColWidths(gestureIndex_, std::max(0, gestureOrigSize_ + x - gestureStart_));
            break;
        case Gesture::SizingRow:
            SetRowHeights(gestureIndex_, std::max(0, gestureOrigSize_ + y - gestureStart_));
            break;
        case Gesture::MovingCol: {
            const TGridCoord c = MouseCoord(x, std::min(y, FixedHeight() - 1));
            if (c.X >= fixedCols_) gestureTarget_ = c.X;
            break;
        }
        case Gesture::MovingRow: {
            const TGridCoord c = MouseCoord(std::min(x, FixedWidth() - 1), y);
            if (c.Y >= fixedRows_) gestureTarget_ = c.Y;
            break;
        }
        case Gesture::Selecting: {
            if (!(shift & ssLeft)) {
                gesture_ = Gesture::None;
                break;
            }
            // Dragging moves the far corner; the anchor stays where the press was.
            const TGridCoord c = MouseCoord(x, y);
            if (c.X >= fixedCols_ && c.Y >= fixedRows_ && (c.X != col_ || c.Y != row_)) {
                const int ac = anchorCol_, ar = anchorRow_;
                if (SelectCell(c.X, c.Y)) {
                    MoveCurrent(c.X, c.Y, true, true);
                    anchorCol_ = ac;
                    anchorRow_ = ar;
                }
            }
            break;
        }
        case Gesture::None: {
            const bool sizing = ((options_ & goColSizing) && NearColBorder(x, y, idx)) ||
                                ((options_ & goRowSizing) && NearRowBorder(x, y, idx));
            if (view_) view_->viewport()->setCursor(sizing ? Qt::SplitHCursor : Qt::ArrowCursor);
            break;
        }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TStringGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const Gesture g = gesture_;
    gesture_ = Gesture::None;
    if (g == Gesture::MovingCol && gestureTarget_ != gestureIndex_ && gestureTarget_ >= 0) {
        MoveColData(gestureIndex_, gestureTarget_);
        ColumnMoved(gestureIndex_, gestureTarget_);
        Invalidate();
    } else if (g == Gesture::MovingRow && gestureTarget_ != gestureIndex_ && gestureTarget_ >= 0) {
        MoveRowData(gestureIndex_, gestureTarget_);
        RowMoved(gestureIndex_, gestureTarget_);
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TStringGrid::DblClick() {
    TCustomControl::DblClick();
    if ((options_ & goEditing) && !EditorVisible()) ShowEditor();
}

// ---------------------------------------------------------------- moving data

void TStringGrid::MoveRowData(int from, int to) {
    if (from == to || from < 0 || to < 0) return;
    cells_.MoveRow(from, to);
    const int hi = std::max(from, to);
    if (objects_.size() <= static_cast<size_t>(hi)) objects_.resize(hi + 1);
    auto item = std::move(objects_[from]);
    objects_.erase(objects_.begin() + from);
    objects_.insert(objects_.begin() + to, std::move(item));
    if (rowHeights_.size() > static_cast<size_t>(std::min(from, to))) {
        rowHeights_.resize(std::max<size_t>(rowHeights_.size(), hi + 1), INT_MIN);
        const int h = rowHeights_[from];
        rowHeights_.erase(rowHeights_.begin() + from);
        rowHeights_.insert(rowHeights_.begin() + to, h);
    }
    Invalidate();
}

void TStringGrid::MoveColData(int from, int to) {
    if (from == to || from < 0 || to < 0) return;
    cells_.MoveCol(from, to);
    const int hi = std::max(from, to);
    for (auto& r : objects_) {
        if (r.size() <= static_cast<size_t>(std::min(from, to))) continue;
        if (r.size() <= static_cast<size_t>(hi)) r.resize(hi + 1, nullptr);
        TObject* o = r[from];
        r.erase(r.begin() + from);
        r.insert(r.begin() + to, o);
    }
    if (colWidths_.size() > static_cast<size_t>(std::min(from, to))) {
        colWidths_.resize(std::max<size_t>(colWidths_.size(), hi + 1), INT_MIN);
        const int w = colWidths_[from];
        colWidths_.erase(colWidths_.begin() + from);
        colWidths_.insert(colWidths_.begin() + to, w);
    }
    Invalidate();
}

void TStringGrid::SwapRowData(int r1, int r2) {
    if (r1 == r2 || r1 < 0 || r2 < 0) return;
    cells_.SwapRows(r1, r2);
    const int hi = std::max(r1, r2);
    if (objects_.size() > static_cast<size_t>(std::min(r1, r2))) {
        if (objects_.size() <= static_cast<size_t>(hi)) objects_.resize(hi + 1);
        std::swap(objects_[r1], objects_[r2]);
    }
    Invalidate();
}

void TStringGrid::SwapColData(int c1, int c2) {
    if (c1 == c2 || c1 < 0 || c2 < 0) return;
    cells_.SwapCols(c1, c2);
    const int hi = std::max(c1, c2);
    for (auto& r : objects_) {
        if (r.size() <= static_cast<size_t>(std::min(c1, c2))) continue;
        if (r.size() <= static_cast<size_t>(hi)) r.resize(hi + 1, nullptr);
        std::swap(r[c1], r[c2]);
    }
    Invalidate();
}

