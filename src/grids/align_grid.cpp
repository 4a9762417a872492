#include "grids/align_grid.h"

#include <algorithm>

#include "grids/ah_tool.h"
#include "grids/table_file.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/application.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/strutil.h"

namespace {

t_relation Relation(int c) { return c < 0 ? rel_less : c > 0 ? rel_greater : rel_equal; }

}  // namespace

void RepaintGrid(TStringAlignGrid* grid) {
    if (grid) grid->Invalidate();
}

// ---------------------------------------------------------------- editor

TNewInplaceEdit::TNewInplaceEdit(TStringAlignGrid* grid) : TInplaceEdit(grid), alignGrid_(grid) {}

void TNewInplaceEdit::SetEditAlignment(TMyAlign a) {
    editAlignment_ = a;
    switch (a) {
        case TMyAlign::alLeft: SetTextAlignment(taLeftJustify); break;
        case TMyAlign::alCenter: SetTextAlignment(taCenter); break;
        case TMyAlign::alRight:
        case TMyAlign::alDefault: SetTextAlignment(taRightJustify); break;
    }
}

void TNewInplaceEdit::UpdateContents() {
    // Bound first: loading the text notifies Change, which reads the bound cell.
    EditedCol = alignGrid_->Col();
    EditedRow = alignGrid_->Row();
    TInplaceEdit::UpdateContents();
    SetEditAlignment(alignGrid_->GetAlignCell(EditedCol, EditedRow));
    SetEditFont(alignGrid_->ResolveCellFont(EditedCol, EditedRow));
    SetEditColor(alignGrid_->GetColorCell(EditedCol, EditedRow));
    EditMultilineMode = alignGrid_->EditMultiline;
    SetIme(alignGrid_->ImeMode, alignGrid_->ImeName);
}

bool TNewInplaceEdit::WantsKey(WORD key, TShiftState shift) const {
    if (EditMultilineMode) {
        switch (key) {
            case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
            case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
                return true;
            default:
                break;
        }
    }
    return TInplaceEdit::WantsKey(key, shift);
}

void TNewInplaceEdit::EditKeyDown(WORD& key, TShiftState shift) {
    if (EditedCol < 0 || EditedRow < 0) {
        key = 0;
        return;
    }
    TInplaceEdit::EditKeyDown(key, shift);
}

void TNewInplaceEdit::EditKeyPress(char& key) {
    if (EditedCol < 0 || EditedRow < 0) {
        key = 0;
        return;
    }
    if (key == 13) {
        if (EditMultilineMode) {
            // A line break typed into the text; the cell stores it as a blank
            // when the edit ends (its rows travel one per line in state files).
            if (alignGrid_->CanEditModify()) {
                SetSelText("\r\n");
                Modified = true;
            }
            key = 0;
            return;
        }
        alignGrid_->PostEditMessage(GM_ENDEDITNEXT, EditedCol, EditedRow);
    } else if (key == 27 && !EditMultilineMode) {
        SetText(TextBeforeEdit);
        Modified = true;  // the cell may hold a refused text: write the old one back
        alignGrid_->PostEditMessage(GM_CANCELEDIT, EditedCol, EditedRow);
        key = 13;
    }
    TInplaceEdit::EditKeyPress(key);
}

void TNewInplaceEdit::Change() {
    TInplaceEdit::Change();
    // The cell keeps its stored text while the editor is open; after a refused
    // validation it holds the refused text, and Esc must still go back to the
    // text before the edit.
    if (EditedCol >= 0 && EditedRow >= 0 && !alignGrid_->EditingActive)
        TextBeforeEdit = alignGrid_->Cells(EditedCol, EditedRow);
}

// ---------------------------------------------------------------- grid

TStringAlignGrid::TStringAlignGrid(TComponent* AOwner) : TStringGrid(AOwner) { Init(); }

TStringAlignGrid::~TStringAlignGrid() = default;

void TStringAlignGrid::Init() {
    Editable = true;
    props_.Clear();
    CellPropertiesClass = NewCellProperties;
    alignment_ = TMyAlign::alLeft;
    wordwrap_ = ww_none;
    selectedCellColor_ = clActiveCaption;
    selectedFontColor_ = clWhite;
    fixedBrush_ = std::make_unique<aligngrid::TMyBrush>(this);
    fixedBrush_->SetColor(FixedColor());
    fixedFont_ = std::make_unique<aligngrid::TMyFont>(this);
    OnCompareCol = [](TObject* sender, int colrow, int a, int b) -> t_relation {
        auto* g = static_cast<TStringAlignGrid*>(sender);
        TDateTime da = StrToDate(g->Cells(colrow, a)), db = StrToDate(g->Cells(colrow, b));
        return da < db ? rel_less : da > db ? rel_greater : rel_equal;
    };
    CompareColText = [](TObject* sender, int colrow, int a, int b) -> t_relation {
        auto* g = static_cast<TStringAlignGrid*>(sender);
        return Relation(g->Cells(colrow, a).compare(g->Cells(colrow, b)));
    };
    OnCompareRow = [](TObject* sender, int colrow, int a, int b) -> t_relation {
        auto* g = static_cast<TStringAlignGrid*>(sender);
        return Relation(g->Cells(a, colrow).compare(g->Cells(b, colrow)));
    };
    ClipboardEnabled = true;
}

void TStringAlignGrid::SetAlignment(TMyAlign a) {
    alignment_ = a;
    Invalidate();
}
void TStringAlignGrid::SetWordwrap(T_Wordwrap w) {
    wordwrap_ = w;
    Invalidate();
}
void TStringAlignGrid::SetSelectedCellColor(TColor c) {
    selectedCellColor_ = c;
    Invalidate();
}
void TStringAlignGrid::SetSelectedFontColor(TColor c) {
    selectedFontColor_ = c;
    Invalidate();
}
void TStringAlignGrid::SetDrawSelection(bool on) {
    drawSelection_ = on;
    Invalidate();
}
void TStringAlignGrid::SetFixedColor(TColor c) {
    TStringGrid::SetFixedColor(c);
    if (fixedBrush_) fixedBrush_->SetColor(c);
}

// ---------------------------------------------------------------- resolution

TMyAlign TStringAlignGrid::GetAlignCell(int col, int row) const {
    auto* p = props_.Resolve(col, row, IsFixed(col, row),
                             [](const TCellProperties& r) { return r.Align != TMyAlign::alDefault; });
    TMyAlign a = p ? p->Align : alignment_;
    return a == TMyAlign::alDefault ? TMyAlign::alLeft : a;
}

T_Wordwrap TStringAlignGrid::GetWordwrapCell(int col, int row) const {
    auto* p = props_.Resolve(col, row, IsFixed(col, row),
                             [](const TCellProperties& r) { return r.WordWrap != ww_default; });
    T_Wordwrap w = p ? p->WordWrap : wordwrap_;
    return w == ww_default ? ww_none : w;
}

bool TStringAlignGrid::GetEditCell(int col, int row) const {
    auto* p = props_.Resolve(col, row, IsFixed(col, row), [](const TCellProperties& r) { return r.Edit != 0; });
    return p ? p->Edit == 2 : Editable;
}

const TFont& TStringAlignGrid::ResolveCellFont(int col, int row) const {
    const bool fixed = IsFixed(col, row);
    if (auto* p = props_.Resolve(col, row, fixed, [](const TCellProperties& r) { return r.Font() != nullptr; }))
        return *p->Font();
    return fixed ? static_cast<const TFont&>(*fixedFont_) : Font();
}

const TBrush& TStringAlignGrid::ResolveCellBrush(int col, int row) const {
    const bool fixed = IsFixed(col, row);
    if (auto* p = props_.Resolve(col, row, fixed, [](const TCellProperties& r) { return r.Brush() != nullptr; }))
        return *p->Brush();
    if (fixed) return *fixedBrush_;
    auto& own = const_cast<TBrush&>(gridBrush_);
    own.SetColor(Color());
    return own;
}

TColor TStringAlignGrid::GetSelectedColorCell(int col, int row) const {
    for (auto* p : {props_.CellRecord(col, row), props_.ColRecord(col, false), props_.RowRecord(row, false)})
        if (p && p->SelectedBrush()) return p->SelectedBrush()->Color();
    return selectedCellColor_;
}

TColor TStringAlignGrid::GetSelectedFontColorCell(int col, int row) const {
    for (auto* p : {props_.CellRecord(col, row), props_.ColRecord(col, false), props_.RowRecord(row, false)})
        if (p && p->SelectedFont()) return p->SelectedFont()->Color();
    return selectedFontColor_;
}

// ---------------------------------------------------------------- setters

TCellProperties& TStringAlignGrid::Record(TPropList& list, int index) {
    return TCellPropertyLists::Ensure(list, std::max(index, 0), CellPropertiesClass, this);
}

TCellProperties& TStringAlignGrid::CellRecordFor(int col, int row) {
    return props_.EnsureCell(std::max(col, 0), std::max(row, 0), CellPropertiesClass, this);
}

void TStringAlignGrid::SetAlignCell(int col, int row, TMyAlign a) {
    CellRecordFor(col, row).Align = a;
    Invalidate();
}
void TStringAlignGrid::SetAlignCol(int col, TMyAlign a) {
    Record(props_.PropCol, col).Align = a;
    Invalidate();
}
void TStringAlignGrid::SetAlignFixedCol(int col, TMyAlign a) {
    Record(props_.PropFixedCol, col).Align = a;
    Invalidate();
}
void TStringAlignGrid::SetAlignRow(int row, TMyAlign a) {
    Record(props_.PropRow, row).Align = a;
    Invalidate();
}
void TStringAlignGrid::SetAlignFixedRow(int row, TMyAlign a) {
    Record(props_.PropFixedRow, row).Align = a;
    Invalidate();
}
void TStringAlignGrid::SetWordwrapCell(int col, int row, T_Wordwrap w) {
    CellRecordFor(col, row).WordWrap = w;
    Invalidate();
}
void TStringAlignGrid::SetWordwrapCol(int col, T_Wordwrap w) {
    Record(props_.PropCol, col).WordWrap = w;
    Invalidate();
}
void TStringAlignGrid::SetWordwrapRow(int row, T_Wordwrap w) {
    Record(props_.PropRow, row).WordWrap = w;
    Invalidate();
}
void TStringAlignGrid::SetEditCell(int col, int row, bool editable) { CellRecordFor(col, row).Edit = 1 + editable; }
void TStringAlignGrid::SetEditCol(int col, bool editable) { Record(props_.PropCol, col).Edit = 1 + editable; }
void TStringAlignGrid::SetEditRow(int row, bool editable) { Record(props_.PropRow, row).Edit = 1 + editable; }

void TStringAlignGrid::SetSelectedColorCell(int col, int row, TColor c) {
    TBrush b;
    b.SetColor(c);
    CellRecordFor(col, row).SetSelectedBrush(&b);
    Invalidate();
}
void TStringAlignGrid::SetSelectedColorCol(int col, TColor c) {
    TBrush b;
    b.SetColor(c);
    Record(props_.PropCol, col).SetSelectedBrush(&b);
    Invalidate();
}
void TStringAlignGrid::SetSelectedColorRow(int row, TColor c) {
    TBrush b;
    b.SetColor(c);
    Record(props_.PropRow, row).SetSelectedBrush(&b);
    Invalidate();
}
void TStringAlignGrid::SetSelectedFontColorCell(int col, int row, TColor c) {
    TFont f;
    f.SetColor(c);
    CellRecordFor(col, row).SetSelectedFont(&f);
    Invalidate();
}

void TStringAlignGrid::SetHintCell(int col, int row, const std::string& hint) { props_.SetHint(col, row, hint); }

namespace {
aligngrid::TMyFont& OwnFont(TCellProperties& r, const TFont& model) {
    if (!r.Font()) r.SetFont(&model);
    return *r.Font();
}
aligngrid::TMyBrush& OwnBrush(TCellProperties& r, TColor color) {
    if (!r.Brush()) {
        TBrush b;
        b.SetColor(color);
        r.SetBrush(&b);
    }
    return *r.Brush();
}
}  // namespace

aligngrid::TMyFont& TStringAlignGrid::FontCell(int col, int row) { return OwnFont(CellRecordFor(col, row), Font()); }
aligngrid::TMyFont& TStringAlignGrid::FontCol(int col) { return OwnFont(Record(props_.PropCol, col), Font()); }
aligngrid::TMyFont& TStringAlignGrid::FontFixedCol(int col) { return OwnFont(Record(props_.PropFixedCol, col), Font()); }
aligngrid::TMyFont& TStringAlignGrid::FontRow(int row) { return OwnFont(Record(props_.PropRow, row), Font()); }
aligngrid::TMyFont& TStringAlignGrid::FontFixedRow(int row) { return OwnFont(Record(props_.PropFixedRow, row), Font()); }
aligngrid::TMyBrush& TStringAlignGrid::BrushCell(int col, int row) { return OwnBrush(CellRecordFor(col, row), Color()); }
aligngrid::TMyBrush& TStringAlignGrid::BrushCol(int col) { return OwnBrush(Record(props_.PropCol, col), Color()); }
aligngrid::TMyBrush& TStringAlignGrid::BrushFixedCol(int col) { return OwnBrush(Record(props_.PropFixedCol, col), Color()); }
aligngrid::TMyBrush& TStringAlignGrid::BrushRow(int row) { return OwnBrush(Record(props_.PropRow, row), Color()); }
aligngrid::TMyBrush& TStringAlignGrid::BrushFixedRow(int row) { return OwnBrush(Record(props_.PropFixedRow, row), Color()); }

// ---------------------------------------------------------------- drawing

void TStringAlignGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TRect textRect = rect;
    DrawCellBackground(col, row, textRect, state);
    DrawCellText(col, row, textRect, state);
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringAlignGrid::DrawCellBackground(int col, int row, TRect& rect, TGridDrawState state) {
    TCanvas& c = Canvas();
    if (!c.Attached()) return;
    c.Font().Assign(ResolveCellFont(col, row));
    c.Brush().Assign(ResolveCellBrush(col, row));
    const bool focusPlain = (state & gdFocused) && !(Options() & (goDrawFocusSelected | goRowSelect));
    if (drawSelection_ && (state & gdSelected) && !focusPlain) {
        c.Brush().SetColor(GetSelectedColorCell(col, row));
        c.Font().SetColor(GetSelectedFontColorCell(col, row));
    }
    if (!DefaultDrawing()) return;
    c.FillRect(rect);
    // Without grid lines the text may run over where a line would be.
    const bool fixed = state & gdFixed;
    if (!(Options() & (fixed ? goFixedVertLine : goVertLine))) rect.Right += GridLineWidth();
    if (!(Options() & (fixed ? goFixedHorzLine : goHorzLine))) rect.Bottom += GridLineWidth();
    c.SetBkMode(TRANSPARENT);
}

void TStringAlignGrid::DrawCellText(int col, int row, const TRect& rect, TGridDrawState) {
    TCanvas& c = Canvas();
    if (!c.Attached() || !DefaultDrawing()) return;
    unsigned flags = DT_NOPREFIX;
    switch (GetAlignCell(col, row)) {
    case TMyAlign::alRight: flags |= DT_RIGHT; break;
    case TMyAlign::alCenter: flags |= DT_CENTER; break;
    default: flags |= DT_LEFT; break;
    }
    switch (GetWordwrapCell(col, row)) {
    case ww_wordwrap: flags |= DT_WORDBREAK; break;
    case ww_ellipsis: flags |= DT_END_ELLIPSIS; break;
    default: break;
    }
    TRect t{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
    c.DrawText(Cells(col, row), t, flags);
}

// ---------------------------------------------------------------- stored description

TGridProperties TStringAlignGrid::StreamedProperties() const {
    auto* self = const_cast<TStringAlignGrid*>(this);
    return TGridProperties{self->props_,       Matrix(),           self->loadedCells_, self->hintsStored_,
                           self->cellsStored_, CellPropertiesClass, self,              Font(),
                           Color(),            Name()};
}

std::string TStringAlignGrid::WriteDescription() const { return WriteGridDescription(StreamedProperties()); }

void TStringAlignGrid::ReadDescription(std::string_view description) {
    TGridProperties grid = StreamedProperties();
    ReadGridDescription(description, grid);
    Invalidate();
    Loaded();
}

void TStringAlignGrid::Loaded() {
    if (loadedCells_) {
        for (int c = 0; c < ColCount(); ++c)
            for (int r = 0; r < RowCount(); ++r) {
                auto it = loadedCells_->find({c, r});
                Matrix().SetCell(c, r, it != loadedCells_->end() ? it->second : std::string());
            }
        MatrixChanged();
        loadedCells_.reset();
    }
    RestoreEditorPending = (Options() & goAlwaysShowEditor) != 0;
    if (RestoreEditorPending && SelectEditText) SavedSelLength = -1;
    HideEditor();
}

// ---------------------------------------------------------------- hints, sizes

bool TStringAlignGrid::CellHintAt(int x, int y, std::string& hint, TRect& cellRect, TPoint& hintPos) {
    if (!ShowCellHints) return false;
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X < 0) {
        HintCellPos = TGridCoord{-1, -1};
        return false;
    }
    HintCellPos = cell;
    cellRect = CellRect(cell.X, cell.Y);
    hint = GetHintCell(cell.X, cell.Y);
    bool canShow = !hint.empty();
    THintInfo info{TPoint{cellRect.Left, cellRect.Bottom + 6}, cellRect};
    if (OnShowHintCell) OnShowHintCell(this, cell.X, cell.Y, hint, canShow, info);
    // The handler may move the hint and widen or narrow the area it lives in.
    hintPos = info.HintPos;
    cellRect = info.CursorRect;
    return canShow;
}

void TStringAlignGrid::MouseMove(TShiftState shift, int x, int y) {
    if (HintCellPos.X >= 0 || HintCellPos.Y >= 0) {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell.X != HintCellPos.X || cell.Y != HintCellPos.Y) {
            HideCellHint();
            HintCellPos = TGridCoord{-1, -1};
        }
    }
    TStringGrid::MouseMove(shift, x, y);
}

void TStringAlignGrid::SetAutoAdjustLastCol(bool on) {
    autoAdjustLastCol_ = on;
    if (on) AdjustLastCol();
}

void TStringAlignGrid::SetGridLineWidth(int w) {
    TStringGrid::SetGridLineWidth(w);
    if (autoAdjustLastCol_) AdjustLastCol();
}

void TStringAlignGrid::SetRedrawWhileScroll(bool on) {
    redrawWhileScroll_ = on;
    UpdateScrollRange();
}

bool TStringAlignGrid::FollowThumbTracking() const {
    return redrawWhileScroll_ || TStringGrid::FollowThumbTracking();
}

void TStringAlignGrid::AdjustLastCol() {
    if (!autoAdjustLastCol_ || ColCount() < 1) return;
    int sum = 0;
    for (int c = 0; c < ColCount() - 1; ++c) sum += ColWidths(c);
    const int lines = (Options() & (goFixedVertLine | goVertLine)) ? ColCount() * GridLineWidth() : 0;
    const int client = ClientWidth();
    if (sum < client) {
        int w = std::max(0, client - sum - lines);
        if (w != ColWidths(ColCount() - 1)) SetColWidths(ColCount() - 1, w);
    }
}

void TStringAlignGrid::Resize() {
    TStringGrid::Resize();
    AdjustLastCol();
}

void TStringAlignGrid::ColWidthsChanged() {
    TStringGrid::ColWidthsChanged();
    if (OnColWidthsChanged) OnColWidthsChanged(this);
}

void TStringAlignGrid::RowHeightsChanged() {
    TStringGrid::RowHeightsChanged();
    if (OnRowHeightsChanged) OnRowHeightsChanged(this);
}

void TStringAlignGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {  // the second press of a double click too
        TGridCoord cell = MouseCoord(x, y);
        if (cell.X >= 0 && cell.Y >= 0) {
            const bool fixedCol = cell.X < FixedCols(), fixedRow = cell.Y < FixedRows();
            if (fixedCol && !fixedRow) {
                if (OnFixedRowClick) OnFixedRowClick(this, cell.Y);
            } else if (fixedRow && !fixedCol) {
                if (OnFixedColClick) OnFixedColClick(this, cell.X);
            }
        }
    }
    TStringGrid::MouseDown(button, shift, x, y);
}

void TStringAlignGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TStringGrid::MouseUp(button, shift, x, y);
    AdjustLastCol();
}

// ---------------------------------------------------------------- rows and columns

template <class F>
void TStringAlignGrid::AdjustEditedCells(F map) {
    if (TNewInplaceEdit* ed = Editor(); ed && ed->EditedCol >= 0 && ed->EditedRow >= 0) {
        if (!map(ed->EditedCol, ed->EditedRow)) {
            ed->EditedCol = ed->EditedRow = -1;
            ed->BeforeEditSent = false;
        }
    }
    for (PendingEdit& p : pending_)
        if (!p.dropped && p.col >= 0 && p.row >= 0 && !map(p.col, p.row)) p.dropped = true;
}


void TStringAlignGrid::ReshowEditor() {
    ShowEditor();
}

void TStringAlignGrid::InsertRow(int row) {
    row = std::clamp(row, FixedRows(), RowCount());
    bool reshow = false;
    if (EditorVisible() && Editor()->EditedRow >= row) {
        HideEditor();
        reshow = true;
    }
    SetRowCount(RowCount() + 1);
    props_.InsertRow(row);
    const int last = RowCount() - 1;
    for (int c = 0; c < ColCount(); ++c) {
        Matrix().SetCell(c, last, std::string());
        SetObjects(c, last, nullptr);
    }
    MoveRowData(last, row);
    AdjustEditedCells([row](int&, int& r) {
        if (r >= row) ++r;
        return true;
    });
    if (Row() >= row) {
        SelectCell(Col(), Row() + 1);  // the current cell follows its content
        ShiftCurrent(Col(), Row() + 1, AnchorCol(), AnchorRow() >= row ? AnchorRow() + 1 : AnchorRow());
    } else if (AnchorRow() >= row) {
        ShiftCurrent(Col(), Row(), AnchorCol(), AnchorRow() + 1);
    }
    if (reshow) ReshowEditor();
    Invalidate();
}

void TStringAlignGrid::InsertColumn(int col) {
    col = std::clamp(col, FixedCols(), ColCount());
    bool reshow = false;
    if (EditorVisible() && Editor()->EditedCol >= col) {
        HideEditor();
        reshow = true;
    }
    SetColCount(ColCount() + 1);
    props_.InsertCol(col);
    const int last = ColCount() - 1;
    for (int r = 0; r < RowCount(); ++r) {
        Matrix().SetCell(last, r, std::string());
        SetObjects(last, r, nullptr);
    }
    MoveColData(last, col);
    AdjustEditedCells([col](int& c, int&) {
        if (c >= col) ++c;
        return true;
    });
    if (Col() >= col) {
        SelectCell(Col() + 1, Row());
        ShiftCurrent(Col() + 1, Row(), AnchorCol() >= col ? AnchorCol() + 1 : AnchorCol(), AnchorRow());
    } else if (AnchorCol() >= col) {
        ShiftCurrent(Col(), Row(), AnchorCol() + 1, AnchorRow());
    }
    if (reshow) ReshowEditor();
    Invalidate();
}

void TStringAlignGrid::RemoveRow(int row) {
    if (row < FixedRows() || row >= RowCount() || RowCount() == FixedRows() + 1) return;
    bool reshow = false;
    if (EditorVisible()) {
        if (Editor()->EditedRow == row) {
            HideEditor();
        } else if (Editor()->EditedRow > row) {
            HideEditor();
            reshow = true;
        }
    }
    AdjustEditedCells([row](int&, int& r) {
        if (r == row) return false;
        if (r > row) --r;
        return true;
    });
    props_.DeleteRow(row);
    const int last = RowCount() - 1;
    MoveRowData(row, last);
    for (int c = 0; c < ColCount(); ++c) {
        Matrix().SetCell(c, last, std::string());
        SetObjects(c, last, nullptr);
    }
    const int curRow = Row(), anchorRow = AnchorRow();
    SetRowCount(RowCount() - 1);
    ShiftCurrent(Col(), curRow > row ? curRow - 1 : std::min(curRow, RowCount() - 1), AnchorCol(),
                 anchorRow > row ? anchorRow - 1 : std::min(anchorRow, RowCount() - 1));
    if (reshow) ReshowEditor();
    Invalidate();
}

void TStringAlignGrid::SwapRows(int r1, int r2) {
    if (r1 == r2 || r1 < 0 || r2 < 0) return;
    bool reshow = false;
    if (EditorVisible() && (Editor()->EditedRow == r1 || Editor()->EditedRow == r2)) {
        HideEditor();
        reshow = true;
    }
    props_.SwapRows(r1, r2);
    SwapRowData(r1, r2);
    AdjustEditedCells([r1, r2](int&, int& r) {
        if (r == r1) r = r2;
        else if (r == r2) r = r1;
        return true;
    });
    if (Row() == r1) ShiftCurrent(Col(), r2, AnchorCol(), AnchorRow() == r1 ? r2 : AnchorRow());
    else if (Row() == r2) ShiftCurrent(Col(), r1, AnchorCol(), AnchorRow() == r2 ? r1 : AnchorRow());
    if (reshow) ReshowEditor();
    Invalidate();
}

void TStringAlignGrid::SwapColumns(int c1, int c2) {
    if (c1 == c2 || c1 < 0 || c2 < 0) return;
    bool reshow = false;
    if (EditorVisible() && (Editor()->EditedCol == c1 || Editor()->EditedCol == c2)) {
        HideEditor();
        reshow = true;
    }
    props_.SwapCols(c1, c2);
    SwapColData(c1, c2);
    AdjustEditedCells([c1, c2](int& c, int&) {
        if (c == c1) c = c2;
        else if (c == c2) c = c1;
        return true;
    });
    if (Col() == c1) ShiftCurrent(c2, Row(), AnchorCol() == c1 ? c2 : AnchorCol(), AnchorRow());
    else if (Col() == c2) ShiftCurrent(c1, Row(), AnchorCol() == c2 ? c1 : AnchorCol(), AnchorRow());
    if (reshow) ReshowEditor();
    Invalidate();
}

void TStringAlignGrid::RowMoved(int from, int to) {
    if (from == to) return;
    TStringGrid::RowMoved(from, to);
    props_.MoveRow(from, to);
    for (PendingEdit& p : pending_)
        if (!p.dropped && p.row >= 0) p.row = MovedIndex(p.row, from, to);
    // The edited row shifts as the current row and the pending messages do,
    // so the edit's end validates the row the user edited, also after a
    // drag downwards onto it.
    if (TNewInplaceEdit* ed = Editor(); ed && ed->EditedRow >= 0) ed->EditedRow = MovedIndex(ed->EditedRow, from, to);
    ShiftCurrent(Col(), MovedIndex(Row(), from, to), AnchorCol(), MovedIndex(AnchorRow(), from, to));
    if (EditorVisible()) InvalidateEditor();
}

void TStringAlignGrid::ColumnMoved(int from, int to) {
    if (from == to) return;
    TStringGrid::ColumnMoved(from, to);
    props_.MoveCol(from, to);
    for (PendingEdit& p : pending_)
        if (!p.dropped && p.col >= 0) p.col = MovedIndex(p.col, from, to);
    if (TNewInplaceEdit* ed = Editor(); ed && ed->EditedCol >= 0) ed->EditedCol = MovedIndex(ed->EditedCol, from, to);
    ShiftCurrent(MovedIndex(Col(), from, to), Row(), MovedIndex(AnchorCol(), from, to), AnchorRow());
    if (EditorVisible()) InvalidateEditor();
}

TDateTime TStringAlignGrid::CellAsDateTime(int col, int row) const { return StrToDateTime(Cells(col, row)); }

void TStringAlignGrid::Sort(int colrow, int from, int to, bool descending, bool byColumn) {
    const int count = byColumn ? RowCount() : ColCount();
    from = std::max(from, 0);
    to = std::min(to, count - 1);
    const TCompareFunction& cmp = byColumn ? OnCompareCol : OnCompareRow;
    if (!cmp || from >= to) return;
    SortRange(
        from, to, descending ? rel_greater : rel_less, [&](int a, int b) { return cmp(this, colrow, a, b); },
        [&](int a, int b) {
            if (byColumn) SwapRows(a, b);
            else SwapColumns(a, b);
        });
}

// ---------------------------------------------------------------- table text

std::string TStringAlignGrid::CellsToStream(char separator, TGridRect rect) const {
    std::string out;
    CellsToText(Matrix(), out, separator, rect);
    return out;
}

void TStringAlignGrid::CellsFromStream(std::string_view stream, char separator, TGridRect rect) {
    std::function<bool(int, int)> mayWrite;
    if (ProtectCells) mayWrite = [this](int c, int r) { return GetEditCell(c, r); };
    CellsFromText(Matrix(), stream, separator, rect, mayWrite);
    MatrixChanged();
}

void TStringAlignGrid::SaveToFile(const std::string& fileName) const { SaveTableFile(Matrix(), fileName); }

void TStringAlignGrid::LoadFromFile(const std::string& fileName) {
    std::function<bool(int, int)> mayWrite;
    if (ProtectCells) mayWrite = [this](int c, int r) { return GetEditCell(c, r); };
    LoadTableFile(Matrix(), fileName, mayWrite);
    MatrixChanged();
}

void TStringAlignGrid::CopyToClipboard(char separator, TGridRect rect) {
    ah_tool::StreamToClipboard(CellsToStream(separator, rect), CF_TEXT);
}

void TStringAlignGrid::PasteFromClipboard(char separator, TGridRect rect) {
    std::string stream;
    if (!ah_tool::ClipboardToStream(stream, CF_TEXT)) return;
    CellsFromStream(stream, separator, rect);
}

void TStringAlignGrid::CutToClipboard() {
    TGridRect r = Selection();
    if (r.Right < r.Left || r.Right < 0) r.Right = ColCount() - 1;
    if (r.Left < 0) r.Left = 0;
    if (r.Bottom < r.Top || r.Bottom < 0) r.Bottom = RowCount() - 1;
    if (r.Top < 0) r.Top = 0;
    // The cells are emptied only once the clipboard holds their text.
    if (!ah_tool::StreamToClipboard(CellsToStream(TableSeparator, r), CF_TEXT)) return;
    for (int row = r.Top; row <= r.Bottom; ++row)
        for (int col = r.Left; col <= r.Right; ++col)
            if (!ProtectCells || GetEditCell(col, row)) Matrix().SetCell(col, row, std::string());
    MatrixChanged();
}

void TStringAlignGrid::WMCopy() {
    if (ClipboardEnabled) CopyToClipboard(TableSeparator, Selection());
}

void TStringAlignGrid::WMCut() {
    if (ClipboardEnabled) CutToClipboard();
}

void TStringAlignGrid::WMPaste() {
    if (ClipboardEnabled) PasteFromClipboard(TableSeparator, Selection());
}

// ---------------------------------------------------------------- editing protocol

TInplaceEdit* TStringAlignGrid::CreateEditor() { return new TNewInplaceEdit(this); }

void TStringAlignGrid::SetEditText(int col, int row, const std::string& value) {
    TStringGrid::SetEditText(col, row, StringReplace(value, "\r\n", " "));
}

bool TStringAlignGrid::CanEditShow() {
    if ((Options() & goAlwaysShowEditor) && !EditorMode()) SetEditorModeFlag(true);
    bool r = TStringGrid::CanEditShow();
    TNewInplaceEdit* ed = Editor();
    if (ed && ed->EditedCol >= 0 && ed->EditedRow >= 0 && (ed->EditedCol != Col() || ed->EditedRow != Row())) {
        PostEditMessage(GM_ENDEDIT, ed->EditedCol, ed->EditedRow);
        ed->EditedCol = ed->EditedRow = -1;
        ed->BeforeEditSent = false;
    }
    r = r && GetEditCell(Col(), Row());
    if (r) {
        if (ed && !ed->BeforeEditSent) {
            ed->BeforeEditSent = true;
            GMBeforeEdit(Col(), Row());
            ed->TextBeforeEdit = keepTextBeforeEdit_ ? reopenTextBeforeEdit_ : Cells(Col(), Row());
        }
        keepTextBeforeEdit_ = false;
    } else {
        if (ed) ed->EditedCol = ed->EditedRow = -1;
        SetEditorModeFlag(false);
    }
    return r;
}

void TStringAlignGrid::EditorShown() {
    if (!SelectEditText && Editor()) Editor()->Deselect();
}

void TStringAlignGrid::CellLeft(int col, int row) {
    // Leaving the edited cell ends its edit (validated after the move).
    TNewInplaceEdit* ed = Editor();
    if (ed && ed->BeforeEditSent && ed->EditedCol == col && ed->EditedRow == row) {
        PostEditMessage(GM_ENDEDIT, col, row);
        ed->BeforeEditSent = false;
        ed->EditedCol = ed->EditedRow = -1;
    }
}

void TStringAlignGrid::PostEditMessage(int message, int col, int row) {
    pending_.push_back(PendingEdit{message, col, row, col, row});
    ::PostMessage(this, static_cast<UINT>(message), static_cast<WPARAM>(col), static_cast<LPARAM>(row));
}

void TStringAlignGrid::WndProc(TMessage& m) {
    if (m.Msg < GM_CANCELEDIT || m.Msg > GM_RESTOREEDITOR) {
        TStringGrid::WndProc(m);
        return;
    }
    int col = static_cast<int>(static_cast<intptr_t>(m.WParam)), row = static_cast<int>(m.LParam);
    // Messages arrive in posting order: the oldest pending one is this one,
    // with its cell moved along with inserted and removed rows and columns.
    if (!pending_.empty() && pending_.front().message == static_cast<int>(m.Msg) &&
        pending_.front().postedCol == col && pending_.front().postedRow == row) {
        const PendingEdit p = pending_.front();
        pending_.pop_front();
        if (p.dropped) return;
        col = p.col;
        row = p.row;
    }
    if (col >= ColCount() || row >= RowCount()) return;  // the cell is gone
    switch (m.Msg) {
        case GM_CANCELEDIT: GMCancelEdit(col, row); break;
        case GM_ENDEDITNEXT: GMEndEditNext(col, row); break;
        case GM_ENDEDIT: GMEndEdit(col, row); break;
        case GM_BEFOREEDIT: GMBeforeEdit(col, row); break;
        case GM_RESTOREEDITOR: GMRestoreEditor(); break;
        default: break;
    }
}

void TStringAlignGrid::GMCancelEdit(int col, int row) {
    EditingActive = false;
    if (TNewInplaceEdit* ed = Editor()) {
        ed->BeforeEditSent = false;
        if (ed->EditedCol == col && ed->EditedRow == row && !ed->Visible()) ed->EditedCol = ed->EditedRow = -1;
    }
    if (col >= 0 && row >= 0 && OnCancelEdit) OnCancelEdit(this, col, row);
}

void TStringAlignGrid::GMBeforeEdit(int col, int row) {
    if (col >= 0 && row >= 0 && OnBeforeEdit) OnBeforeEdit(this, col, row);
    EditingActive = true;
}

void TStringAlignGrid::EndEditWithValidation(int col, int row) {
    EditingActive = false;
    TNewInplaceEdit* ed = Editor();
    const std::string textBefore = ed ? ed->TextBeforeEdit : std::string();
    if (ed) ed->BeforeEditSent = false;
    auto unbindHidden = [&] {
        if (ed && ed->EditedCol == col && ed->EditedRow == row && !ed->Visible())
            ed->EditedCol = ed->EditedRow = -1;
    };
    bool valid = true;
    try {
        if (col >= 0 && row >= 0 && OnValidateEdit) OnValidateEdit(this, col, row, valid);
    } catch (...) {
        // The validator's error ends this edit (its text stays in the cell):
        // the cell is not validated again when the editor opens elsewhere.
        unbindHidden();
        throw;
    }
    if (!valid) {
        // The user stays in the cell with the refused text; Esc still goes
        // back to the text before the edit.
        keepTextBeforeEdit_ = true;
        reopenTextBeforeEdit_ = textBefore;
        if (ed) ed->EditedCol = ed->EditedRow = -1;
        if (col != Col() || row != Row()) FocusCell(col, row);
        ShowEditor();
        keepTextBeforeEdit_ = false;
        EditingActive = true;
        return;
    }
    unbindHidden();
    if (col >= 0 && row >= 0 && OnAfterEdit) OnAfterEdit(this, col, row);
}

void TStringAlignGrid::GMEndEdit(int col, int row) { EndEditWithValidation(col, row); }

void TStringAlignGrid::GMEndEditNext(int col, int row) {
    EndEditWithValidation(col, row);
    if (!AutoEditNextCell || EditingActive || col < 0 || row < 0) return;
    TGridCoord next = FindNextCell(*this, NextCellEdit, AfterLastCellEdit, Col(), Row(),
                                   [this](int c, int r) { return GetEditCell(c, r); }, true);
    if (next.X < 0 || next.Y < 0 || next.X >= ColCount() || next.Y >= RowCount()) return;
    if (TNewInplaceEdit* ed = Editor()) ed->EditedCol = ed->EditedRow = -1;
    if (next.X != Col() || next.Y != Row()) FocusCell(next.X, next.Y);
    ShowEditor();
    EditingActive = true;
}

void TStringAlignGrid::GMRestoreEditor() {
    RestoreEditorPending = false;
    ShowEditor();
    TNewInplaceEdit* ed = Editor();
    if (!ed || !ed->Visible()) return;
    if (SavedSelLength < 0) {
        ed->SelectAll();
    } else {
        ed->SetSelStart(SavedSelStart);
        ed->SetSelLength(SavedSelLength);
    }
}

void TStringAlignGrid::KeyDown(WORD& key, TShiftState shift) {
    if (KeyGoesToEditor()) {
        TStringGrid::KeyDown(key, shift);
        return;
    }
    if (key == VK_TAB && !(shift & ssAlt) && (Options() & goTabs)) {
        const T_nextcell dir = (shift & ssShift) ? ReverseDirection(NextCellTab) : NextCellTab;
        TGridCoord next = FindNextCell(*this, dir, AfterLastCellTab, Col(), Row(),
                                       [this](int c, int) { return TabStops(c); }, false);
        if (next.X >= 0 && next.Y >= 0 && next.X < ColCount() && next.Y < RowCount() &&
            (next.X != Col() || next.Y != Row()))
            FocusCell(next.X, next.Y);
        key = 0;
        return;
    }
    TStringGrid::KeyDown(key, shift);
}

void TStringAlignGrid::KeyPress(char& key) {
    if (key == 13 && EditMultiline && !KeyGoesToEditor()) {
        key = 0;
        return;
    }
    TStringGrid::KeyPress(key);
}

void TStringAlignGrid::DoEnter() {
    TStringGrid::DoEnter();
    if (RestoreEditorPending && (Options() & goAlwaysShowEditor)) PostEditMessage(GM_RESTOREEDITOR, -1, -1);
}

void TStringAlignGrid::DoExit() {
    TNewInplaceEdit* ed = Editor();
    if (ed && EditorMode()) {
        RestoreEditorPending = true;
        SavedSelStart = ed->SelStart();
        SavedSelLength = ed->SelLength();
        if (ed->Visible()) {
            const int c = Col(), r = Row();
            HideEditor();
            EndEditWithValidation(c, r);
        }
    }
    if (EditingActive && ed && ed->Visible()) {
        // A refused validation keeps the user in the cell: the focus stays.
        RestoreEditorPending = false;
        Abort();
    }
    TStringGrid::DoExit();
    SetEditorModeFlag(false);
}
