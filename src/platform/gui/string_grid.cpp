#include "platform/gui/string_grid.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

#include "platform/gui/clipboard.h"
#include "platform/gui/font_service.h"
#include "platform/runtime/codepage.h"

namespace {

QString ToQ(const std::string& s) {
    std::u16string u = Cp1252ToUtf16(s);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQ(const QString& s) {
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size()));
}

QColor ToQColor(TColor c) {
    TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QFont ToQFont(const TFont& f) {
    QFont q(ToQ(ResolveFaceName(f.Name())));
    int h = f.Height();
    if (h < 0) q.setPixelSize(-h);
    else if (h > 0) q.setPixelSize(std::max(1, h * 3 / 4));  // cell height includes leading
    else q.setPixelSize(11);
    q.setBold(f.Style() & fsBold);
    q.setItalic(f.Style() & fsItalic);
    q.setUnderline(f.Style() & fsUnderline);
    q.setStrikeOut(f.Style() & fsStrikeOut);
    return q;
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// Cell texts never hold line or field breaks: they would break the table files.
std::string CleanCellText(std::string s) {
    for (char& c : s)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return s;
}

bool TranslateKey(QKeyEvent* e, uint16_t& vk, TShiftState& shift, char& ch) {
    shift = 0;
    if (e->modifiers() & Qt::ShiftModifier) shift |= ssShift;
    if (e->modifiers() & Qt::ControlModifier) shift |= ssCtrl;
    if (e->modifiers() & Qt::AltModifier) shift |= ssAlt;
    vk = 0;
    ch = 0;
    switch (e->key()) {
    case Qt::Key_Backspace: vk = VK_BACK; ch = 8; break;
    case Qt::Key_Tab: vk = VK_TAB; ch = 9; break;
    case Qt::Key_Backtab: vk = VK_TAB; shift |= ssShift; ch = 9; break;
    case Qt::Key_Return: case Qt::Key_Enter: vk = VK_RETURN; ch = 13; break;
    case Qt::Key_Escape: vk = VK_ESCAPE; ch = 27; break;
    case Qt::Key_PageUp: vk = VK_PRIOR; break;
    case Qt::Key_PageDown: vk = VK_NEXT; break;
    case Qt::Key_End: vk = VK_END; break;
    case Qt::Key_Home: vk = VK_HOME; break;
    case Qt::Key_Left: vk = VK_LEFT; break;
    case Qt::Key_Up: vk = VK_UP; break;
    case Qt::Key_Right: vk = VK_RIGHT; break;
    case Qt::Key_Down: vk = VK_DOWN; break;
    case Qt::Key_Insert: vk = VK_INSERT; break;
    case Qt::Key_Delete: vk = VK_DELETE; break;
    case Qt::Key_F2: vk = VK_F2; break;
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta: return false;
    default:
        if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) vk = uint16_t('A' + (e->key() - Qt::Key_A));
        else if (e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9) vk = uint16_t('0' + (e->key() - Qt::Key_0));
        else if (e->key() == Qt::Key_Space) vk = VK_SPACE;
        break;
    }
    if (!ch && !(shift & (ssCtrl | ssAlt))) {
        std::string t = FromQ(e->text());
        if (t.size() == 1 && static_cast<unsigned char>(t[0]) >= 32) ch = t[0];
    }
    return true;
}

TShiftState MouseShift(const QMouseEvent* e) {
    TShiftState s = 0;
    if (e->modifiers() & Qt::ShiftModifier) s |= ssShift;
    if (e->modifiers() & Qt::ControlModifier) s |= ssCtrl;
    if (e->modifiers() & Qt::AltModifier) s |= ssAlt;
    if (e->buttons() & Qt::LeftButton) s |= ssLeft;
    if (e->buttons() & Qt::RightButton) s |= ssRight;
    return s;
}

}  // namespace

// ---------------------------------------------------------------- the view

class TGridView : public QAbstractScrollArea {
public:
    explicit TGridView(TStringGrid* grid, QWidget* parent) : QAbstractScrollArea(parent), grid_(grid) {
        setFocusPolicy(Qt::StrongFocus);
        viewport()->setMouseTracking(true);
        viewport()->setAutoFillBackground(false);
        setFrameShape(QFrame::Box);
        resize(320, 120);
    }
    bool syncing = false;
    void FocusNext() { QAbstractScrollArea::focusNextPrevChild(true); }

protected:
    bool viewportEvent(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            auto* he = static_cast<QHelpEvent*>(e);
            std::string hint;
            TRect cell;
            if (grid_->CellHintAt(he->pos().x(), he->pos().y(), hint, cell) && !hint.empty())
                QToolTip::showText(viewport()->mapToGlobal(QPoint(cell.Left, cell.Bottom + 6)), ToQ(hint), viewport());
            else
                QToolTip::hideText();
            return true;
        }
        return QAbstractScrollArea::viewportEvent(e);
    }
    void paintEvent(QPaintEvent* e) override {
        QPainter p(viewport());
        const QRect r = e->rect();
        grid_->Paint(&p, TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    }
    void scrollContentsBy(int, int) override {
        if (syncing) return;
        grid_->SetTopRow(grid_->FixedRows() + verticalScrollBar()->value());
        grid_->SetLeftCol(grid_->FixedCols() + horizontalScrollBar()->value());
    }
    void resizeEvent(QResizeEvent* e) override {
        QAbstractScrollArea::resizeEvent(e);
        grid_->UpdateScrollRange();
        grid_->Resize();
    }
    bool focusNextPrevChild(bool next) override {
        if (grid_->Options() & goTabs) return false;  // Tab goes to keyPressEvent
        return QAbstractScrollArea::focusNextPrevChild(next);
    }
    void keyPressEvent(QKeyEvent* e) override {
        uint16_t vk;
        TShiftState shift;
        char ch;
        if (!TranslateKey(e, vk, shift, ch)) return;
        if (vk) {
            grid_->SendKeyDown(vk, shift);
            if (!vk) return;
        }
        if (ch) grid_->SendKeyPress(ch);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        uint16_t vk;
        TShiftState shift;
        char ch;
        if (TranslateKey(e, vk, shift, ch) && vk && grid_->OnKeyUp) grid_->OnKeyUp(grid_, vk, shift);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (!hasFocus() && !(grid_->editor_ && grid_->editor_->Widget()->hasFocus())) setFocus(Qt::MouseFocusReason);
        TMouseButton b = e->button() == Qt::RightButton ? mbRight : e->button() == Qt::MiddleButton ? mbMiddle : mbLeft;
        grid_->MouseDown(b, MouseShift(e), e->position().toPoint().x(), e->position().toPoint().y());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        grid_->HandleMouseMove(e->position().toPoint().x(), e->position().toPoint().y(), MouseShift(e));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        TMouseButton b = e->button() == Qt::RightButton ? mbRight : e->button() == Qt::MiddleButton ? mbMiddle : mbLeft;
        grid_->MouseUp(b, MouseShift(e), e->position().toPoint().x(), e->position().toPoint().y());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        mousePressEvent(e);
        grid_->DblClick();
    }
    void wheelEvent(QWheelEvent* e) override {
        int steps = e->angleDelta().y() / 120;
        if (steps) grid_->SetTopRow(grid_->TopRow() - steps * 3);
        e->accept();
    }
    void focusInEvent(QFocusEvent* e) override {
        QAbstractScrollArea::focusInEvent(e);
        grid_->HandleFocusIn();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QAbstractScrollArea::focusOutEvent(e);
        QPointer<TGridView> self(this);
        // The focus went to our own editor: the grid keeps it.
        QTimer::singleShot(0, this, [this] { grid_->HandleFocusOut(); });
    }

private:
    TStringGrid* grid_;
};

// The Qt line edit behind TInplaceEdit.
class TInplaceLineEdit : public QLineEdit {
public:
    TInplaceLineEdit(TInplaceEdit* owner, QWidget* parent) : QLineEdit(parent), owner_(owner) {
        setFrame(false);
        connect(this, &QLineEdit::textEdited, this, [this] {
            owner_->modified_ = true;
            owner_->Change();
        });
    }
    void ProcessKey(QKeyEvent* e) { keyPressEvent(e); }

protected:
    bool focusNextPrevChild(bool) override { return false; }
    void keyPressEvent(QKeyEvent* e) override {
        uint16_t vk;
        TShiftState shift;
        char ch;
        if (!TranslateKey(e, vk, shift, ch)) return QLineEdit::keyPressEvent(e);
        QPointer<TInplaceLineEdit> self(this);
        if (vk) {
            owner_->KeyDown(vk, shift);
            if (!self) return;
            if (!vk) return;
        }
        if (ch) {
            char c = ch;
            owner_->KeyPress(c);
            if (!self || !c) return;
            if (static_cast<unsigned char>(c) < 32 && c != 8) return;  // Enter, Esc, Tab never become text
            if (c != ch) {
                insert(ToQ(std::string(1, c)));
                owner_->modified_ = true;
                owner_->Change();
                return;
            }
        }
        if (vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE) return;
        QLineEdit::keyPressEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override {
        QLineEdit::focusOutEvent(e);
        TStringGrid* g = owner_->grid_;
        QTimer::singleShot(0, g->view_, [g] { g->HandleFocusOut(); });
    }
    void focusInEvent(QFocusEvent* e) override {
        QLineEdit::focusInEvent(e);
        owner_->grid_->HandleFocusIn();
    }

private:
    TInplaceEdit* owner_;
};

// ---------------------------------------------------------------- TInplaceEdit

TInplaceEdit::TInplaceEdit(TStringGrid* grid) : grid_(grid) {
    auto* e = new TInplaceLineEdit(this, grid->view_->viewport());
    e->hide();
    edit_ = e;
}

TInplaceEdit::~TInplaceEdit() { delete static_cast<TInplaceLineEdit*>(edit_); }

static TInplaceLineEdit* LE(void* p) { return static_cast<TInplaceLineEdit*>(p); }

QWidget* TInplaceEdit::Widget() const { return LE(edit_); }
std::string TInplaceEdit::Text() const { return FromQ(LE(edit_)->text()); }
void TInplaceEdit::SetText(const std::string& text) {
    settingText_ = true;
    LE(edit_)->setText(ToQ(text));
    settingText_ = false;
}
int TInplaceEdit::SelStart() const {
    auto* e = LE(edit_);
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}
void TInplaceEdit::SetSelStart(int pos) { LE(edit_)->setCursorPosition(pos); }
int TInplaceEdit::SelLength() const { return static_cast<int>(LE(edit_)->selectedText().size()); }
void TInplaceEdit::SetSelLength(int len) {
    auto* e = LE(edit_);
    int start = e->cursorPosition();
    if (len < 0) e->selectAll();
    else e->setSelection(start, len);
}
void TInplaceEdit::SelectAll() { LE(edit_)->selectAll(); }
void TInplaceEdit::Deselect() {
    auto* e = LE(edit_);
    e->deselect();
    e->setCursorPosition(static_cast<int>(e->text().size()));
}
bool TInplaceEdit::Visible() const { return LE(edit_)->isVisible(); }
void TInplaceEdit::SetEditMask(const std::string& mask) { editMask_ = mask; }
void TInplaceEdit::SetTextAlignment(int alignment) {
    Qt::Alignment a = alignment == 2 ? Qt::AlignRight : alignment == 1 ? Qt::AlignHCenter : Qt::AlignLeft;
    LE(edit_)->setAlignment(a | Qt::AlignVCenter);
}
void TInplaceEdit::SetEditFont(const TFont& font) {
    auto* e = LE(edit_);
    e->setFont(ToQFont(font));
    QPalette pal = e->palette();
    pal.setColor(QPalette::Text, ToQColor(font.Color()));
    e->setPalette(pal);
}
void TInplaceEdit::SetEditColor(TColor color) {
    auto* e = LE(edit_);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    e->setPalette(pal);
}

void TInplaceEdit::UpdateContents() {
    std::string mask = grid_->GetEditMask(grid_->Col(), grid_->Row());
    SetEditMask(mask);
    SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
    modified_ = false;
    SetEditFont(grid_->Font());
    SetEditColor(grid_->Color());
}

bool TInplaceEdit::WantsKey(uint16_t key, TShiftState shift) const {
    auto* e = LE(edit_);
    switch (key) {
    case VK_LEFT:
        return e->cursorPosition() > 0 || e->hasSelectedText();
    case VK_RIGHT:
        return e->cursorPosition() < e->text().size() || e->hasSelectedText();
    case VK_HOME: case VK_END:
        return !(shift & ssCtrl);
    case VK_DELETE: case VK_BACK: case VK_INSERT:
        return true;  // clipboard keys act on the editor's text while it is open
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_TAB: case VK_RETURN: case VK_ESCAPE:
    case VK_F2:
        return false;
    default:
        return true;
    }
}

void TInplaceEdit::KeyDown(uint16_t& key, TShiftState shift) {
    if (WantsKey(key, shift)) return;
    TStringGrid* g = grid_;
    g->SendKeyDown(key, shift);
}

void TInplaceEdit::KeyPress(char& key) {
    if (key == 27) {
        // Esc puts back the text the cell had and then closes like Enter.
        SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
        modified_ = false;
        key = 13;
    }
    grid_->SendKeyPress(key);
}

void TInplaceEdit::Change() {}

void TInplaceEdit::SendKeyDown(uint16_t key, TShiftState shift) {
    Qt::Key k = Qt::Key_unknown;
    QString text;
    switch (key) {
    case VK_BACK: k = Qt::Key_Backspace; break;
    case VK_TAB: k = (shift & ssShift) ? Qt::Key_Backtab : Qt::Key_Tab; break;
    case VK_RETURN: k = Qt::Key_Return; text = "\r"; break;
    case VK_ESCAPE: k = Qt::Key_Escape; text = QString(QChar(27)); break;
    case VK_PRIOR: k = Qt::Key_PageUp; break;
    case VK_NEXT: k = Qt::Key_PageDown; break;
    case VK_END: k = Qt::Key_End; break;
    case VK_HOME: k = Qt::Key_Home; break;
    case VK_LEFT: k = Qt::Key_Left; break;
    case VK_UP: k = Qt::Key_Up; break;
    case VK_RIGHT: k = Qt::Key_Right; break;
    case VK_DOWN: k = Qt::Key_Down; break;
    case VK_INSERT: k = Qt::Key_Insert; break;
    case VK_DELETE: k = Qt::Key_Delete; break;
    case VK_F2: k = Qt::Key_F2; break;
    default: return;
    }
    Qt::KeyboardModifiers m;
    if (shift & ssShift) m |= Qt::ShiftModifier;
    if (shift & ssCtrl) m |= Qt::ControlModifier;
    if (shift & ssAlt) m |= Qt::AltModifier;
    QKeyEvent ev(QEvent::KeyPress, k, m, text);
    LE(edit_)->ProcessKey(&ev);
}

void TInplaceEdit::SendChar(char c) {
    QKeyEvent ev(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ToQ(std::string(1, c)));
    LE(edit_)->ProcessKey(&ev);
}

// ---------------------------------------------------------------- TStringGrid

TStringGrid::TStringGrid(QWidget* parent) : cells_(5, 5), canvas_(std::make_unique<TCanvas>()) {
    view_ = new TGridView(this, parent);
    UpdateScrollRange();
}

TStringGrid::~TStringGrid() {
    delete editor_;
    editor_ = nullptr;
    delete view_;
}

QWidget* TStringGrid::Widget() const { return view_; }

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    cells_.SetCell(col, row, text);
    if (col >= 0 && row >= 0 && col < ColCount() && row < RowCount()) {
        InvalidateCell(col, row);
        if (editor_ && editor_->Visible() && col == col_ && row == row_ && !editor_->Modified())
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
    ClampCurrent();
    UpdateScrollRange();
    if (editor_ && editor_->Visible() && !editor_->Modified()) editor_->SetText(GetEditText(col_, row_));
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
    n = std::clamp(n, 0, ColCount() - 1);
    fixedCols_ = n;
    ClampCurrent();
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetFixedRows(int n) {
    n = std::clamp(n, 0, RowCount() - 1);
    fixedRows_ = n;
    ClampCurrent();
    UpdateScrollRange();
    Invalidate();
}

// Keeps the current cell, the selection and the scroll position inside the
// non-fixed part after the counts changed.
void TStringGrid::ClampCurrent() {
    auto clampCol = [&](int c) { return std::clamp(c, fixedCols_, ColCount() - 1); };
    auto clampRow = [&](int r) { return std::clamp(r, fixedRows_, RowCount() - 1); };
    int c = clampCol(col_), r = clampRow(row_);
    bool moved = c != col_ || r != row_;
    col_ = c;
    row_ = r;
    anchorCol_ = clampCol(anchorCol_);
    anchorRow_ = clampRow(anchorRow_);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, MaxTopRow()));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
    if (moved && editor_ && editor_->Visible()) PlaceEditor();
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
    return true;
}

void TStringGrid::MoveCurrent(int col, int row, bool extend, bool show) {
    const bool moving = col != col_ || row != row_;
    if (moving) CellLeft(col_, row_);
    if (moving && editor_ && editor_->Visible()) {
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
    if (r.Left != col_ || r.Top != row_) {
        if (editor_ && editor_->Visible()) {
            HideEditor();
            editorMode_ = false;
        }
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

int TStringGrid::ClientWidth() const { return view_->viewport()->width(); }
int TStringGrid::ClientHeight() const { return view_->viewport()->height(); }

int TStringGrid::MaxTopRow() const {
    int room = ClientHeight() - FixedHeight();
    int r = RowCount() - 1, used = 0;
    while (r >= fixedRows_) {
        used += RowHeights(r) + gridLineWidth_;
        if (used > room) break;
        --r;
    }
    return std::max(fixedRows_, std::min(r + 1, RowCount() - 1));
}

int TStringGrid::MaxLeftCol() const {
    int room = ClientWidth() - FixedWidth();
    int c = ColCount() - 1, used = 0;
    while (c >= fixedCols_) {
        used += ColWidths(c) + gridLineWidth_;
        if (used > room) break;
        --c;
    }
    return std::max(fixedCols_, std::min(c + 1, ColCount() - 1));
}

void TStringGrid::UpdateScrollRange() {
    if (!view_) return;
    view_->syncing = true;
    int maxTop = MaxTopRow(), maxLeft = MaxLeftCol();
    topRow_ = std::clamp(topRow_, fixedRows_, maxTop);
    leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeft);
    QScrollBar* v = view_->verticalScrollBar();
    v->setRange(0, maxTop - fixedRows_);
    v->setPageStep(std::max(1, VisibleRowCount()));
    v->setValue(topRow_ - fixedRows_);
    v->setTracking(FollowThumbTracking());
    QScrollBar* h = view_->horizontalScrollBar();
    h->setRange(0, maxLeft - fixedCols_);
    h->setPageStep(std::max(1, VisibleColCount()));
    h->setValue(leftCol_ - fixedCols_);
    h->setTracking(FollowThumbTracking());
    view_->syncing = false;
    if (editor_ && editor_->Visible()) PlaceEditor();
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
        if (row < topRow_) SetTopRow(row);
        else {
            int room = ClientHeight() - FixedHeight(), used = 0, top = row;
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
        if (col < leftCol_) SetLeftCol(col);
        else {
            int room = ClientWidth() - FixedWidth(), used = 0, left = col;
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
    int x = ColX(col), y = RowY(row);
    if (x < 0 || y < 0) return TRect{};
    return TRect{x, y, x + ColWidths(col), y + RowHeights(row)};
}

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    TGridCoord c = MouseCoord(x, y);
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
        int next = pos + ColWidths(c) + gridLineWidth_;
        if (x < next) { out.X = c; break; }
        pos = next;
        if (pos > ClientWidth()) break;
    }
    pos = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (r == fixedRows_) {
            r = topRow_;
            if (r >= RowCount()) break;
        }
        int next = pos + RowHeights(r) + gridLineWidth_;
        if (y < next) { out.Y = r; break; }
        pos = next;
        if (pos > ClientHeight()) break;
    }
    if (out.X < 0 || out.Y < 0) return TGridCoord{-1, -1};
    return out;
}

void TStringGrid::SetBounds(int left, int top, int width, int height) {
    view_->setGeometry(left, top, width, height);
    UpdateScrollRange();
}

void TStringGrid::SetOptions(TGridOptions options) {
    if (options_ == options) return;
    options_ = options;
    if (!(options_ & goEditing) && editor_ && editor_->Visible()) HideEditor();
    if ((options_ & goAlwaysShowEditor) && (options_ & goEditing)) editorMode_ = true;
    if (!(options_ & goRangeSelect)) {
        anchorCol_ = col_;
        anchorRow_ = row_;
    }
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::SetColor(TColor c) {
    color_ = c;
    Invalidate();
}

void TStringGrid::SetFixedColor(TColor c) {
    fixedColor_ = c;
    Invalidate();
}

// ---------------------------------------------------------------- painting

void TStringGrid::Paint(void* painterPtr, const TRect& clip) {
    QPainter* p = static_cast<QPainter*>(painterPtr);
    const int w = ClientWidth(), h = ClientHeight();
    p->fillRect(QRect(0, 0, w, h), ToQColor(color_));
    TCanvas& canvas = *canvas_;
    canvas.Attach(p);
    const TGridRect sel = Selection();
    auto paintRange = [&](int r0, int r1, int c0, int c1) {
        for (int r = r0; r < r1; ++r) {
            int y = RowY(r);
            if (y < 0) {
                if (r >= fixedRows_) break;
                continue;
            }
            if (y >= clip.Bottom) break;
            for (int c = c0; c < c1; ++c) {
                int x = ColX(c);
                if (x < 0) {
                    if (c >= fixedCols_) break;
                    continue;
                }
                if (x >= clip.Right) break;
                TRect rect{x, y, x + ColWidths(c), y + RowHeights(r)};
                if (rect.Right <= clip.Left || rect.Bottom <= clip.Top) continue;
                TGridDrawState state = 0;
                if (c < fixedCols_ || r < fixedRows_) state |= gdFixed;
                else {
                    if (sel.Contains(c, r)) state |= gdSelected;
                    if (c == col_ && r == row_) state |= gdFocused;
                }
                const int level = canvas.SaveDC();
                canvas.IntersectClipRect(rect.Left, rect.Top, rect.Right + gridLineWidth_, rect.Bottom + gridLineWidth_);
                canvas.Brush().SetStyle(TBrushStyle::bsSolid);
                canvas.Brush().SetColor((state & gdFixed) ? fixedColor_ : color_);
                canvas.Font().Assign(font_);
                canvas.SetBkMode(TRANSPARENT);
                DrawCell(c, r, rect, state);
                canvas.RestoreDC(level);
                if ((state & gdFocused) && Focused() && !(options_ & goRowSelect) &&
                    !(editor_ && editor_->Visible())) {
                    QPen pen(Qt::black, 1, Qt::DotLine);
                    p->setPen(pen);
                    p->setBrush(Qt::NoBrush);
                    p->drawRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
                }
            }
        }
    };
    paintRange(0, fixedRows_, 0, fixedCols_);
    paintRange(0, fixedRows_, leftCol_, ColCount());
    paintRange(topRow_, RowCount(), 0, fixedCols_);
    paintRange(topRow_, RowCount(), leftCol_, ColCount());
    canvas.Detach();
    PaintLines(p, w, h);
}

void TStringGrid::PaintLines(void* painterPtr, int width, int height) {
    if (gridLineWidth_ <= 0) return;
    QPainter* p = static_cast<QPainter*>(painterPtr);
    const QColor lineColor = ToQColor(clSilver), fixedLine = ToQColor(clBlack);
    int fixedW = FixedWidth(), fixedH = FixedHeight();
    // Extent of the drawn cells.
    int right = fixedW, bottom = fixedH;
    for (int c = leftCol_; c < ColCount() && right < width; ++c) right += ColWidths(c) + gridLineWidth_;
    for (int r = topRow_; r < RowCount() && bottom < height; ++r) bottom += RowHeights(r) + gridLineWidth_;
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    auto vline = [&](int x, int y0, int y1, const QColor& c) { p->fillRect(QRect(x, y0, gridLineWidth_, y1 - y0), c); };
    auto hline = [&](int y, int x0, int x1, const QColor& c) { p->fillRect(QRect(x0, y, x1 - x0, gridLineWidth_), c); };
    // Vertical lines: fixed columns use the fixed flag, the rest the normal one;
    // each segment follows the row area it crosses.
    int x = 0;
    for (int c = 0; c < ColCount() && x < width; ++c) {
        if (c == fixedCols_) c = leftCol_;
        if (c >= ColCount()) break;
        x += ColWidths(c);
        bool fixedCol = c < fixedCols_;
        if (fixedCol ? (options_ & goFixedVertLine) : (options_ & goFixedVertLine)) vline(x, 0, fixedH, fixedLine);
        if (fixedCol ? (options_ & goFixedVertLine) : (options_ & goVertLine))
            vline(x, fixedH, bottom, fixedCol ? fixedLine : lineColor);
        x += gridLineWidth_;
    }
    int y = 0;
    for (int r = 0; r < RowCount() && y < height; ++r) {
        if (r == fixedRows_) r = topRow_;
        if (r >= RowCount()) break;
        y += RowHeights(r);
        bool fixedRow = r < fixedRows_;
        if (options_ & goFixedHorzLine) hline(y, 0, fixedW, fixedLine);
        if (fixedRow ? (options_ & goFixedHorzLine) : (options_ & goHorzLine))
            hline(y, fixedW, right, fixedRow ? fixedLine : lineColor);
        y += gridLineWidth_;
    }
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (defaultDrawing_ && canvas_->Attached()) {
        if ((state & gdSelected) && !(state & gdFixed) &&
            (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)))) {
            canvas_->Brush().SetColor(clHighlight);
            canvas_->Font().SetColor(clHighlightText);
        }
        canvas_->FillRect(rect);
        TRect t{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
        canvas_->DrawText(Cells(col, row), t, DT_LEFT | DT_NOPREFIX);
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::Invalidate() {
    if (view_) view_->viewport()->update();
}

void TStringGrid::InvalidateCell(int col, int row) {
    TRect r = CellRect(col, row);
    if (r.Width() > 0 && r.Height() > 0 && view_) view_->viewport()->update(ToQRect(r).adjusted(-1, -1, 1, 1));
}

bool TStringGrid::Visible() const { return view_->isVisible(); }
void TStringGrid::SetVisible(bool on) { view_->setVisible(on); }
bool TStringGrid::Enabled() const { return view_->isEnabled(); }
void TStringGrid::SetEnabled(bool on) { view_->setEnabled(on); }

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
    std::string text = CleanCellText(value);
    SetCells(col, row, text);
    if (OnSetEditText) OnSetEditText(this, col, row, text);
}

TInplaceEdit* TStringGrid::CreateEditor() { return new TInplaceEdit(this); }

void TStringGrid::Resize() {}
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
            if (editor_ && editor_->Visible()) SetEditorVisible(false);
            return;
        }
        ScrollIntoView(col_, row_);
        const bool wasVisible = editor_->Visible();
        editor_->UpdateContents();
        PlaceEditor();
        auto* w = editor_->Widget();
        w->show();
        if (view_->hasFocus() || hadFocus_ || !wasVisible) {
            if (view_->hasFocus() || QApplication::focusWidget() == nullptr || hadFocus_) w->setFocus(Qt::OtherFocusReason);
        }
        editor_->SelectAll();
        EditorShown();
        Invalidate();
    } else {
        if (!editor_ || !editor_->Visible()) return;
        const bool hadEditorFocus = editor_->Widget()->hasFocus();
        UpdateEditorText();
        editor_->Widget()->hide();
        if (hadEditorFocus) view_->setFocus(Qt::OtherFocusReason);
        Invalidate();
    }
}

void TStringGrid::UpdateEditorText() {
    if (!editor_ || !editor_->Modified()) return;
    editor_->SetModified(false);
    SetEditText(col_, row_, editor_->Text());
}

void TStringGrid::PlaceEditor() {
    if (!editor_) return;
    TRect r = CellRect(col_, row_);
    editor_->Widget()->setGeometry(ToQRect(r));
}

void TStringGrid::InvalidateEditor() {
    if (editor_ && editor_->Visible()) {
        editor_->UpdateContents();
        PlaceEditor();
    }
}

// ---------------------------------------------------------------- focus

bool TStringGrid::Focused() const {
    QWidget* f = QApplication::focusWidget();
    return f && (f == view_ || (editor_ && f == editor_->Widget()));
}

void TStringGrid::SetFocus() {
    if (editor_ && editor_->Visible()) editor_->Widget()->setFocus(Qt::OtherFocusReason);
    else view_->setFocus(Qt::OtherFocusReason);
    HandleFocusIn();
}

void TStringGrid::HandleFocusIn() {
    if (hadFocus_ || inFocusIn_) return;
    inFocusIn_ = true;
    hadFocus_ = true;
    DoEnter();
    inFocusIn_ = false;
    Invalidate();
}

void TStringGrid::HandleFocusOut() {
    if (!hadFocus_ || Focused()) return;
    hadFocus_ = false;
    DoExit();
    Invalidate();
}

void TStringGrid::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TStringGrid::DoExit() {
    if (!(options_ & goAlwaysShowEditor)) HideEditor();
    else UpdateEditorText();
    if (OnExit) OnExit(this);
}

void TStringGrid::ScriptSelect(int col, int row) {
    if (col == col_ && row == row_) return;
    FocusCell(col, row, false);
}

void TStringGrid::ScriptSetCell(int col, int row, const std::string& text) {
    if (col >= ColCount() || row >= RowCount() || col < 0 || row < 0) return;
    const bool inGrid = col >= fixedCols_ && row >= fixedRows_;
    if (inGrid) ScriptSelect(col, row);
    if (inGrid && col == col_ && row == row_ && (options_ & goEditing)) {
        ShowEditor();
        if (editor_ && editor_->Visible()) {
            editor_->SetText(CleanCellText(text));
            editor_->SetModified(true);
            editor_->Change();
            editor_->SendKeyDown(VK_RETURN, 0);
            // The edit's posted messages (validation, after-edit) run now.
            QCoreApplication::processEvents();
            return;
        }
    }
    // A cell the user could not edit: written as the editor would write it.
    SetEditText(col, row, text);
}

bool TStringGrid::CellHintAt(int, int, std::string&, TRect&) { return false; }

void TStringGrid::ShiftCurrent(int col, int row, int anchorCol, int anchorRow) {
    col_ = col;
    row_ = row;
    anchorCol_ = anchorCol;
    anchorRow_ = anchorRow;
    ClampCurrent();
    Invalidate();
}

void TStringGrid::FocusNextControl() { view_->FocusNext(); }

void TStringGrid::PostMessage(std::function<void()> f) {
    QMetaObject::invokeMethod(view_, std::move(f), Qt::QueuedConnection);
}

// ---------------------------------------------------------------- keyboard

void TStringGrid::SendKeyDown(uint16_t key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (key) KeyDown(key, shift);
}

void TStringGrid::SendKeyPress(char key) {
    if (OnKeyPress) OnKeyPress(this, key);
    if (key) KeyPress(key);
}

void TStringGrid::KeyDown(uint16_t& key, TShiftState shift) {
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT:
        KeyNavigate(key, shift);
        key = 0;
        break;
    case VK_TAB:
        if ((options_ & goTabs) && !(shift & ssAlt)) {
            KeyNavigate(key, shift);
            key = 0;
        }
        break;
    case VK_F2:
        if (options_ & goEditing) {
            ShowEditor();
            if (editor_ && editor_->Visible()) editor_->Deselect();
        }
        key = 0;
        break;
    case VK_INSERT:
        if (shift & ssShift) WMPaste();
        else if (shift & ssCtrl) WMCopy();
        break;
    case VK_DELETE:
        if (shift & ssShift) WMCut();
        break;
    default:
        if ((shift & ssCtrl) && key == 'C') WMCopy();
        else if ((shift & ssCtrl) && key == 'X') WMCut();
        else if ((shift & ssCtrl) && key == 'V') WMPaste();
        break;
    }
}

void TStringGrid::KeyNavigate(uint16_t key, TShiftState shift) {
    const bool extend = (shift & ssShift) && key != VK_TAB;
    const bool ctrl = shift & ssCtrl;
    int c = col_, r = row_;
    const int firstCol = fixedCols_, firstRow = fixedRows_, lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    const int page = std::max(1, VisibleRowCount() - 1);
    switch (key) {
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_LEFT: if (options_ & goRowSelect) --r; else --c; break;
    case VK_RIGHT: if (options_ & goRowSelect) ++r; else ++c; break;
    case VK_PRIOR: r -= page; break;
    case VK_NEXT: r += page; break;
    case VK_HOME: c = firstCol; if (ctrl) r = firstRow; break;
    case VK_END: c = lastCol; if (ctrl) r = lastRow; break;
    case VK_TAB:
        if (shift & ssShift) {
            if (--c < firstCol) { c = lastCol; if (--r < firstRow) r = lastRow; }
        } else if (++c > lastCol) {
            c = firstCol;
            if (++r > lastRow) r = firstRow;
        }
        break;
    }
    c = std::clamp(c, firstCol, lastCol);
    r = std::clamp(r, firstRow, lastRow);
    if (c != col_ || r != row_) FocusCell(c, r, extend);
}

void TStringGrid::KeyPress(char& key) {
    if (key == 13) {
        if (!(options_ & goAlwaysShowEditor)) {
            if (editorMode_ && editor_ && editor_->Visible()) HideEditor();
            else if (options_ & goEditing) ShowEditor();
        } else if (editor_ && editor_->Visible()) {
            UpdateEditorText();
            editor_->SelectAll();
        }
        key = 0;
        return;
    }
    if (!(options_ & goEditing)) return;
    const unsigned char u = static_cast<unsigned char>(key);
    if (key == 8 || u >= 32) {
        if (editor_ && editor_->Visible()) return;  // the editor types it itself
        ShowEditor();
        if (editor_ && editor_->Visible()) {
            // The typed character replaces the cell text.
            editor_->SendChar(key);
            key = 0;
        }
    }
}

// ---------------------------------------------------------------- mouse

bool TStringGrid::NearColBorder(int x, int y, int& col) const {
    if (y >= FixedHeight()) return false;
    for (int c = 0; c < ColCount(); ++c) {
        int cx = ColX(c);
        if (cx < 0) continue;
        int right = cx + ColWidths(c);
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
        int ry = RowY(r);
        if (ry < 0) continue;
        int bottom = ry + RowHeights(r);
        if (y >= bottom - 3 && y <= bottom + gridLineWidth_ + 2) {
            row = r;
            return true;
        }
        if (ry > y) break;
    }
    return false;
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button != mbLeft) return;
    int idx;
    if ((options_ & goColSizing) && NearColBorder(x, y, idx)) {
        gesture_ = Gesture::SizingCol;
        gestureIndex_ = idx;
        gestureStart_ = x;
        gestureOrigSize_ = ColWidths(idx);
        return;
    }
    if ((options_ & goRowSizing) && NearRowBorder(x, y, idx)) {
        gesture_ = Gesture::SizingRow;
        gestureIndex_ = idx;
        gestureStart_ = y;
        gestureOrigSize_ = RowHeights(idx);
        return;
    }
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X < 0) return;
    const bool fixedRow = cell.Y < fixedRows_, fixedCol = cell.X < fixedCols_;
    if (fixedRow && !fixedCol && (options_ & goColMoving)) {
        gesture_ = Gesture::MovingCol;
        gestureIndex_ = gestureTarget_ = cell.X;
        return;
    }
    if (fixedCol && !fixedRow && (options_ & goRowMoving)) {
        gesture_ = Gesture::MovingRow;
        gestureIndex_ = gestureTarget_ = cell.Y;
        return;
    }
    if (fixedRow || fixedCol) return;
    const bool wasCurrent = cell.X == col_ && cell.Y == row_;
    if (wasCurrent && (options_ & goEditing) && !(shift & ssShift) && !(editor_ && editor_->Visible()) &&
        hadFocus_) {
        ShowEditor();
        return;
    }
    FocusCell(cell.X, cell.Y, (shift & ssShift) != 0);
    if (options_ & goRangeSelect) gesture_ = Gesture::Selecting;
}

void TStringGrid::HandleMouseMove(int x, int y, TShiftState shift) {
    int idx;
    switch (gesture_) {
    case Gesture::SizingCol:
        SetColWidths(gestureIndex_, std::max(0, gestureOrigSize_ + x - gestureStart_));
        return;
    case Gesture::SizingRow:
        SetRowHeights(gestureIndex_, std::max(0, gestureOrigSize_ + y - gestureStart_));
        return;
    case Gesture::MovingCol: {
        TGridCoord c = MouseCoord(x, std::min(y, FixedHeight() - 1));
        if (c.X >= fixedCols_) gestureTarget_ = c.X;
        return;
    }
    case Gesture::MovingRow: {
        TGridCoord c = MouseCoord(std::min(x, FixedWidth() - 1), y);
        if (c.Y >= fixedRows_) gestureTarget_ = c.Y;
        return;
    }
    case Gesture::Selecting: {
        if (!(shift & ssLeft)) {
            gesture_ = Gesture::None;
            return;
        }
        TGridCoord c = MouseCoord(x, y);
        if (c.X >= fixedCols_ && c.Y >= fixedRows_ && (c.X != anchorCol_ || c.Y != anchorRow_ || true)) {
            // Dragging moves the far corner; the anchor stays where the press was.
            if (c.X != col_ || c.Y != row_) {
                int ac = anchorCol_, ar = anchorRow_;
                if (SelectCell(c.X, c.Y)) {
                    MoveCurrent(c.X, c.Y, true, true);
                    anchorCol_ = ac;
                    anchorRow_ = ar;
                }
            }
        }
        return;
    }
    case Gesture::None: {
        bool sizing = ((options_ & goColSizing) && NearColBorder(x, y, idx)) ||
                      ((options_ & goRowSizing) && NearRowBorder(x, y, idx));
        view_->viewport()->setCursor(sizing ? Qt::SplitHCursor : Qt::ArrowCursor);
        return;
    }
    }
}

void TStringGrid::MouseUp(TMouseButton, TShiftState, int, int) {
    Gesture g = gesture_;
    gesture_ = Gesture::None;
    if (g == Gesture::MovingCol && gestureTarget_ != gestureIndex_ && gestureTarget_ >= 0) {
        MoveColData(gestureIndex_, gestureTarget_);
        ColumnMoved(gestureIndex_, gestureTarget_);
        Invalidate();
    } else if (g == Gesture::MovingRow && gestureTarget_ != gestureIndex_ && gestureTarget_ >= 0) {
        MoveRowData(gestureIndex_, gestureTarget_);
        RowMoved(gestureIndex_, gestureTarget_);
        Invalidate();
    } else if (g == Gesture::Selecting || g == Gesture::None) {
        if (OnClick) OnClick(this);
    }
}

void TStringGrid::DblClick() {
    if (OnDblClick) OnDblClick(this);
    if ((options_ & goEditing) && !(editor_ && editor_->Visible())) ShowEditor();
}

// ---------------------------------------------------------------- moving data

void TStringGrid::RowMoved(int, int) {}
void TStringGrid::ColumnMoved(int, int) {}

void TStringGrid::MoveRowData(int from, int to) {
    if (from == to || from < 0 || to < 0) return;
    cells_.MoveRow(from, to);
    int hi = std::max(from, to);
    if (objects_.size() <= static_cast<size_t>(hi)) objects_.resize(hi + 1);
    auto item = std::move(objects_[from]);
    objects_.erase(objects_.begin() + from);
    objects_.insert(objects_.begin() + to, std::move(item));
    if (rowHeights_.size() > static_cast<size_t>(std::min(from, to))) {
        rowHeights_.resize(std::max<size_t>(rowHeights_.size(), hi + 1), INT_MIN);
        int h = rowHeights_[from];
        rowHeights_.erase(rowHeights_.begin() + from);
        rowHeights_.insert(rowHeights_.begin() + to, h);
    }
    Invalidate();
}

void TStringGrid::MoveColData(int from, int to) {
    if (from == to || from < 0 || to < 0) return;
    cells_.MoveCol(from, to);
    int hi = std::max(from, to);
    for (auto& r : objects_) {
        if (r.size() <= static_cast<size_t>(std::min(from, to))) continue;
        if (r.size() <= static_cast<size_t>(hi)) r.resize(hi + 1, nullptr);
        TObject* o = r[from];
        r.erase(r.begin() + from);
        r.insert(r.begin() + to, o);
    }
    if (colWidths_.size() > static_cast<size_t>(std::min(from, to))) {
        colWidths_.resize(std::max<size_t>(colWidths_.size(), hi + 1), INT_MIN);
        int w = colWidths_[from];
        colWidths_.erase(colWidths_.begin() + from);
        colWidths_.insert(colWidths_.begin() + to, w);
    }
    Invalidate();
}

void TStringGrid::SwapRowData(int r1, int r2) {
    if (r1 == r2 || r1 < 0 || r2 < 0) return;
    cells_.SwapRows(r1, r2);
    int hi = std::max(r1, r2);
    if (objects_.size() > static_cast<size_t>(std::min(r1, r2))) {
        if (objects_.size() <= static_cast<size_t>(hi)) objects_.resize(hi + 1);
        std::swap(objects_[r1], objects_[r2]);
    }
    Invalidate();
}

void TStringGrid::SwapColData(int c1, int c2) {
    if (c1 == c2 || c1 < 0 || c2 < 0) return;
    cells_.SwapCols(c1, c2);
    int hi = std::max(c1, c2);
    for (auto& r : objects_) {
        if (r.size() <= static_cast<size_t>(std::min(c1, c2))) continue;
        if (r.size() <= static_cast<size_t>(hi)) r.resize(hi + 1, nullptr);
        std::swap(r[c1], r[c2]);
    }
    Invalidate();
}

// ---------------------------------------------------------------- clipboard

bool GridClipboardSetText(const std::string& text) {
    try {
        TClipboard& cb = Clipboard();
        cb.SetAsText(text);
        return cb.HasFormat(CF_TEXT) && cb.AsText() == text;
    } catch (...) {
        return false;
    }
}

bool GridClipboardGetText(std::string& text) {
    TClipboard& cb = Clipboard();
    if (!cb.HasFormat(CF_TEXT)) return false;
    text = cb.AsText();
    return true;
}
