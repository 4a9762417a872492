#pragma once
// The string grid: a matrix of Windows-1252 text cells with fixed header rows
// and columns, a current cell, a selection and an in-place editor, shown in a
// scroll area whose fixed part stays in place. The cells live in a TCellMatrix
// (the runtime's cell store), so a read outside the counts gives "", a write
// beyond them is kept and shrinking drops what lies beyond.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/canvas.h"
#include "platform/gui/graphics.h"
#include "platform/gui/string_grid_types.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/string_list.h"

class QWidget;
class TStringGrid;
class TInplaceEdit;
class TGridView;

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TGridKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TGridKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TGridNotifyEvent = std::function<void(TObject* Sender)>;

class TStringGrid : public TObject {
public:
    explicit TStringGrid(QWidget* parent = nullptr);
    virtual ~TStringGrid();
    TStringGrid(const TStringGrid&) = delete;
    TStringGrid& operator=(const TStringGrid&) = delete;

    // The Qt widget that shows the grid (for layouts and tests).
    QWidget* Widget() const;

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
    // Moves the current cell (OnSelectCell may refuse); the selection
    // collapses to it unless extend is set and range selection is on.
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
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TColor FixedColor() const { return fixedColor_; }
    virtual void SetFixedColor(TColor c);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // What cell painting draws with (inside DrawCell and OnDrawCell).
    TCanvas* Canvas() const { return canvas_.get(); }

    // --- geometry
    TRect CellRect(int col, int row) const;  // empty when not visible
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetBounds(int left, int top, int width, int height);

    // --- editor
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    void ShowEditor();
    void HideEditor();
    TInplaceEdit* InplaceEditor() const { return editor_; }

    // --- focus and painting
    void SetFocus();
    bool Focused() const;
    void Invalidate();
    void InvalidateCell(int col, int row);
    bool Visible() const;
    void SetVisible(bool on);
    bool Enabled() const;
    void SetEnabled(bool on);
    std::string Name;

    // Runs f on the GUI thread after the current input event (a posted
    // message); dropped if the grid is gone by then.
    void PostMessage(std::function<void()> f);

    // What the scenario driver uses: read cells, write one as the user would
    // (select it, type, confirm: the editing events fire), select a cell as a
    // click would.
    int ScriptColCount() const { return ColCount(); }
    int ScriptRowCount() const { return RowCount(); }
    std::string ScriptCell(int col, int row) const { return Cells(col, row); }
    void ScriptSetCell(int col, int row, const std::string& text);
    void ScriptSetRowCount(int rows) { SetRowCount(rows); }
    void ScriptSelect(int col, int row);

    // Keys and typed characters as the platform delivers them to the grid.
    void SendKeyDown(uint16_t key, TShiftState shift);
    void SendKeyPress(char key);

    // --- events
    TSelectCellEvent OnSelectCell;
    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TGridKeyEvent OnKeyDown, OnKeyUp;
    TGridKeyPressEvent OnKeyPress;
    TGridNotifyEvent OnEnter, OnExit, OnClick, OnDblClick, OnTopLeftChanged;

protected:
    // Hooks for descendant grids, in the platform grid's tradition.
    virtual bool SelectCell(int col, int row);
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    virtual bool CanEditShow();
    virtual bool CanEditModify();
    virtual std::string GetEditMask(int col, int row);
    virtual std::string GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const std::string& value);
    virtual TInplaceEdit* CreateEditor();
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    virtual void Resize();
    virtual void RowMoved(int from, int to);
    virtual void ColumnMoved(int from, int to);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    // The standard clipboard messages (Shift+Delete, Ctrl+Insert, Shift+Insert).
    virtual void WMCut() {}
    virtual void WMCopy() {}
    virtual void WMPaste() {}
    // Called with the scroll position a thumb drag reached; RedrawWhileScroll
    // style grids follow it live.
    virtual bool FollowThumbTracking() const { return (options_ & goThumbTracking) != 0; }

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
    // Text of the tooltip for a point of the grid; false shows none.
    virtual bool CellHintAt(int x, int y, std::string& hint, TRect& cellRect);
    // Moves the current cell and the selection anchor without asking
    // OnSelectCell (rows were inserted or removed under them).
    void ShiftCurrent(int col, int row, int anchorCol, int anchorRow);
    int AnchorCol() const { return anchorCol_; }
    int AnchorRow() const { return anchorRow_; }
    void SetEditorModeFlag(bool on) { editorMode_ = on; }
    // Moves the focus to the next control of the window.
    void FocusNextControl();
    // Recomputes the scroll bars after counts, sizes or options changed.
    void UpdateScrollRange();

private:
    friend class TGridView;
    friend class TInplaceEdit;
    friend class TInplaceLineEdit;

    void Paint(void* painter, const TRect& clip);
    void PaintLines(void* painter, int width, int height);
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
    void KeyNavigate(uint16_t key, TShiftState shift);
    void HandleMouseMove(int x, int y, TShiftState shift);
    void HandleFocusIn();
    void HandleFocusOut();

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
    TColor color_ = clWindow, fixedColor_ = clBtnFace;
    TFont font_;
    bool editorMode_ = false;
    bool inFocusIn_ = false, hadFocus_ = false;

    // Mouse gestures in progress.
    enum class Gesture { None, Selecting, SizingCol, SizingRow, MovingCol, MovingRow };
    Gesture gesture_ = Gesture::None;
    int gestureIndex_ = -1, gestureStart_ = 0, gestureOrigSize_ = 0, gestureTarget_ = -1;

    TGridView* view_ = nullptr;
    TInplaceEdit* editor_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

// The system clipboard's plain text, as Windows-1252 bytes. Set returns
// false when the clipboard did not take the text; Get returns false when it
// holds no text.
bool GridClipboardSetText(const std::string& text);
bool GridClipboardGetText(std::string& text);

// The in-place editor: a line edit over the current cell. Descendant grids
// subclass it (CreateEditor) to add their own key rules.
class TInplaceEdit {
public:
    explicit TInplaceEdit(TStringGrid* grid);
    virtual ~TInplaceEdit();
    TStringGrid* Grid() const { return grid_; }
    QWidget* Widget() const;

    std::string Text() const;
    void SetText(const std::string& text);
    int SelStart() const;
    void SetSelStart(int pos);
    int SelLength() const;
    void SetSelLength(int len);
    void SelectAll();
    void Deselect();
    bool Modified() const { return modified_; }
    void SetModified(bool m) { modified_ = m; }
    bool Visible() const;
    // "mask;save-literals;blank" as the masked edits take it; empty = none.
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask);
    // Text alignment inside the editor: 0 left, 1 centre, 2 right.
    void SetTextAlignment(int alignment);
    void SetEditFont(const TFont& font);
    void SetEditColor(TColor color);

    // Called when the editor is placed on the grid's current cell.
    virtual void UpdateContents();
    // Keys reaching the editor first; a key set to 0 is consumed.
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // The text changed by the user.
    virtual void Change();
    // Keys the editor keeps for itself instead of passing them to the grid.
    virtual bool WantsKey(uint16_t key, TShiftState shift) const;

    // Types a key into the editor as the platform would.
    void SendKeyDown(uint16_t key, TShiftState shift);
    void SendChar(char c);

protected:
    TStringGrid* grid_;

private:
    friend class TStringGrid;
    friend class TInplaceLineEdit;
    void* edit_ = nullptr;  // the Qt line edit
    std::string editMask_;
    bool modified_ = false;
    bool settingText_ = false;
};
