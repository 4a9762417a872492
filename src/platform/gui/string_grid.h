#pragma once
// The string grid: a matrix of Windows-1252 text cells with fixed header rows
// and columns, a current cell, a selection and an in-place editor, shown in a
// scroll area whose fixed part stays in place. The cells live in a TCellMatrix
// (the runtime's cell store), so a read outside the counts gives "", a write
// beyond them is kept and shrinking drops what lies beyond.
//
// The grid is a custom control of a form: the form's active control is the
// grid even while its editor has the keyboard, so OnEnter and OnExit fire when
// the focus comes to or leaves the grid as a whole. Keys reach the grid
// through the control's key path (KeyDown, KeyPress); while the editor is open
// they go on to the editor, whichever of the two received them.
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/canvas.h"
#include "platform/gui/controls.h"
#include "platform/gui/script_grid.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/string_grid_types.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/string_list.h"

class TStringGrid;
class QWidget;

namespace velorim_gui {
class TGridView;
}

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

// What the input method should offer while a text is typed (the platform's
// IME modes, in their order).
enum class TImeMode : uint8_t {
    imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
    imSHanguel, imHanguel
};

// The in-place editor: a masked edit over the current cell (OnGetEditMask
// gives the mask). It belongs to the grid but is no control of the form: the
// grid keeps the focus. Descendant grids subclass it (CreateEditor) to add
// their own key rules.
class TInplaceEdit : public TCustomMaskEdit {
public:
    explicit TInplaceEdit(TStringGrid* grid);
    ~TInplaceEdit() override;
    TStringGrid* Grid() const { return grid_; }

    // Caret to the end, nothing selected.
    void Deselect();
    void SetTextAlignment(TAlignment alignment);
    void SetEditFont(const TFont& font) { Font().Assign(font); }
    void SetEditColor(TColor color) { SetColor(color); }
    // The input-method settings, as hints to the window system's input
    // method. The name is kept for it to read; no input method is chosen by
    // name here.
    void SetIme(TImeMode mode, const std::string& name);
    TImeMode ImeMode() const { return imeMode_; }
    const std::string& ImeName() const { return imeName_; }

    // Loads mask and text of the grid's current cell.
    virtual void UpdateContents();
    // Keys the editor keeps for itself instead of passing them to the grid.
    virtual bool WantsKey(WORD key, TShiftState shift) const;

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    // Key releases go to the grid (its OnKeyUp).
    void KeyUp(WORD& key, TShiftState shift) override;

    // A key that reached the grid while the editor is open: handled as if it
    // had been typed into the editor (the form saw it already).
    void TypeKey(WORD key, TShiftState shift, char ch);

protected:
    // The editor's own key rules, after the form's preview: keys it does not
    // keep go to the grid's KeyDown; characters go to the grid's KeyPress
    // first, then Tab and Esc are dropped and Enter toggles the selection.
    virtual void EditKeyDown(WORD& key, TShiftState shift);
    virtual void EditKeyPress(char& key);
    void DefaultKeyInput(WORD key, TShiftState shift, char ch) override;
    // The editor's window lives in the grid's.
    void CreateWidget() override;
    TControl* WidgetHost() const override;

    TStringGrid* grid_;

private:
    void ApplyIme();
    bool fromGrid_ = false;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
};

class TStringGrid : public TCustomControl, public IScriptGrid {
public:
    explicit TStringGrid(TComponent* AOwner = nullptr);
    ~TStringGrid() override;

    // --- cells
    const std::string& Cells(int col, int row) const { return cells_.Cell(col, row); }
    void SetCells(int col, int row, const std::string& text);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);
    TStringList Rows(int row) const { return cells_.Row(row); }
    void SetRows(int row, const TStringList& items);
    TStringList Cols(int col) const { return cells_.Col(col); }
    void SetCols(int col, const TStringList& items);
    // Direct access for code that fills big grids; call MatrixChanged after.
    TCellMatrix& Matrix() { return cells_; }
    const TCellMatrix& Matrix() const { return cells_; }
    void MatrixChanged();

    // --- shape
    int ColCount() const { return cells_.ColCount(); }
    void SetColCount(int n);
    int RowCount() const { return cells_.RowCount(); }
    void SetRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int n);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int n);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int w);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h);
    int GridLineWidth() const { return gridLineWidth_; }
    virtual void SetGridLineWidth(int w);
    bool TabStops(int col) const;
    void SetTabStops(int col, bool stop);

    // --- current cell and selection
    int Col() const { return col_; }
    void SetCol(int col);
    int Row() const { return row_; }
    void SetRow(int row);
    // Moves the current cell (OnSelectCell may refuse) and fires OnClick; the
    // selection collapses to it unless extend is set and range selection is on.
    bool FocusCell(int col, int row, bool extend = false);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& rect);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);
    int VisibleRowCount() const;
    int VisibleColCount() const;

    // --- options and looks
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on) { defaultDrawing_ = on; }
    TColor FixedColor() const { return fixedColor_; }
    virtual void SetFixedColor(TColor c);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);

    // --- geometry (client coordinates: inside the border)
    TRect CellRect(int col, int row) const;  // empty when not visible
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;
    int ClientWidth() const override { return clientWidth_; }
    int ClientHeight() const override { return clientHeight_; }

    // --- editor
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    void ShowEditor();
    void HideEditor();
    TInplaceEdit* InplaceEditor() const { return editor_; }
    bool EditorVisible() const { return editor_ && editor_->Visible(); }

    // --- painting
    void Invalidate();
    void InvalidateCell(int col, int row);

    // --- the scenario driver's view of the grid
    int ScriptColCount() const override { return ColCount(); }
    int ScriptRowCount() const override { return RowCount(); }
    std::string ScriptCell(int col, int row) const override { return Cells(col, row); }
    void ScriptSetCell(int col, int row, const std::string& text) override;
    void ScriptSetRowCount(int rows) override { SetRowCount(rows); }
    void ScriptSelect(int col, int row) override;

    // --- control plumbing
    int GetDlgCode() const override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    // The clipboard messages (WM_CUT, WM_COPY, WM_PASTE) end in WMCut and friends.
    void WndProc(TMessage& message) override;

    // --- events (OnKeyDown, OnKeyPress, OnEnter, OnExit, OnClick... are the control's)
    TSelectCellEvent OnSelectCell;
    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;

protected:
    friend class TInplaceEdit;
    friend class velorim_gui::TGridView;

    // Hooks for descendant grids, in the platform grid's tradition.
    virtual bool SelectCell(int col, int row);
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    virtual bool CanEditShow();
    virtual bool CanEditModify();
    virtual std::string GetEditMask(int col, int row);
    virtual std::string GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const std::string& value);
    virtual TInplaceEdit* CreateEditor();
    virtual void RowMoved(int from, int to);
    virtual void ColumnMoved(int from, int to);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    virtual void WMCut() {}
    virtual void WMCopy() {}
    virtual void WMPaste() {}
    // Whether the scroll bars follow the thumb while it is dragged.
    virtual bool FollowThumbTracking() const { return (options_ & goThumbTracking) != 0; }
    void Resize() override;
    void BoundsChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void CreateWidget() override;

    // Moves the texts and objects of one row (column) to another index,
    // shifting those between; records of descendants follow in the hooks.
    void MoveRowData(int from, int to);
    void MoveColData(int from, int to);
    void SwapRowData(int r1, int r2);
    void SwapColData(int c1, int c2);
    void InvalidateEditor();  // the editor re-reads font, alignment and text
    void UpdateEditorText();  // writes the editor's text into its cell
    bool IsDesigning() const { return false; }
    // The current cell leaves (col, row) for another cell (before it moves).
    virtual void CellLeft(int col, int row) { (void)col; (void)row; }
    // The editor was just shown on the current cell.
    virtual void EditorShown() {}
    // Text of the tooltip for a point of the grid, where it shows (its top
    // left corner) and the cell it belongs to; false shows none.
    virtual bool CellHintAt(int x, int y, std::string& hint, TRect& cellRect, TPoint& hintPos);
    // Takes away a tooltip the grid shows.
    void HideCellHint();
    // Moves the current cell and the selection anchor without asking
    // OnSelectCell (rows were inserted or removed under them).
    void ShiftCurrent(int col, int row, int anchorCol, int anchorRow);
    int AnchorCol() const { return anchorCol_; }
    int AnchorRow() const { return anchorRow_; }
    void SetEditorModeFlag(bool on) { editorMode_ = on; }
    // Moves the focus to the next control of the form.
    void FocusNextControl(bool forward = true);
    // Recomputes the client area and the scroll bars after counts, sizes or
    // options changed.
    void UpdateScrollRange();
    void ShowScrollBars(int maxTop, int maxLeft);
    // True while the key in progress came from the editor (the grid handles
    // it); false when the grid must hand it on to the open editor.
    bool KeyGoesToEditor() const { return EditorVisible() && !inEditorKey_; }

private:
    void Paint(const TRect& clip);
    void PaintLines(int width, int height);
    void ClampCurrent();
    void MoveCurrent(int col, int row, bool extend, bool show);
    void ScrollIntoView(int col, int row);
    void SetEditorVisible(bool on);
    void PlaceEditor();
    int ColX(int col) const;  // left of a visible column, -1 when hidden
    int RowY(int row) const;
    int MaxTopRow() const;
    int MaxLeftCol() const;
    int FixedWidth() const;
    int FixedHeight() const;
    bool NearColBorder(int x, int y, int& col) const;
    bool NearRowBorder(int x, int y, int& row) const;
    void KeyNavigate(WORD key, TShiftState shift);
    void EditorKeyDown(WORD& key, TShiftState shift);
    void EditorKeyPress(char& key);
    void FocusEditor();
    void HandOverKeyboard(QWidget* editorWidget);

    TCellMatrix cells_;
    std::vector<std::vector<TObject*>> objects_;  // [row][col], grown on demand
    int fixedCols_ = 1, fixedRows_ = 1;
    int col_ = 1, row_ = 1;
    int anchorCol_ = 1, anchorRow_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    std::vector<int> colWidths_, rowHeights_;
    std::vector<char> tabStops_;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24, gridLineWidth_ = 1;
    TGridOptions options_ = DefaultGridOptions;
    bool defaultDrawing_ = true;
    TColor fixedColor_ = clBtnFace;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool editorMode_ = false;
    int inEditorKey_ = 0;
    bool movingFocus_ = false;
    int shownCol_ = -1, shownRow_ = -1;  // cell the open editor shows

    // Mouse gestures in progress.
    enum class Gesture { None, Selecting, SizingCol, SizingRow, MovingCol, MovingRow };
    Gesture gesture_ = Gesture::None;
    int gestureIndex_ = -1, gestureStart_ = 0, gestureOrigSize_ = 0, gestureTarget_ = -1;

    velorim_gui::TGridView* view_ = nullptr;
    TInplaceEdit* editor_ = nullptr;
};

