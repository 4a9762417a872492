#pragma once
// TStringAlignGrid: the one table control of the program. A string grid with
// display records per cell, column and row, row and column insertion, removal,
// swapping and moving that keep records and hints with their content, an
// editing protocol delivered through posted messages, the next-cell walk after
// an edit and for Tab, sorting, and the table text form for files and the
// clipboard.
#include <functional>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "grids/cell_properties.h"
#include "grids/cell_property_lists.h"
#include "grids/grid_navigation.h"
#include "grids/property_stream.h"
#include "platform/gui/string_grid.h"
#include "platform/runtime/dates.h"

class TStringAlignGrid;

using TCellEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TCellEventBool = std::function<void(TObject* Sender, int ACol, int ARow, bool& Valid)>;
using TCompareFunction = std::function<t_relation(TObject* Sender, int colrow, int compare1, int compare2)>;
using TColEvent = std::function<void(TObject* Sender, int ACol)>;
using TRowEvent = std::function<void(TObject* Sender, int ARow)>;
struct THintInfo {
    TPoint HintPos;   // where the hint shows, in grid coordinates
    TRect CursorRect;  // the cell's rectangle
};
using TShowHintCellProc = std::function<void(TObject* Sender, int ACol, int ARow, std::string& HintStr,
                                             bool& CanShow, THintInfo& HintInfo)>;

// The grid's own editing messages (posted to itself; 3027 is sent).
enum : int {
    GM_CANCELEDIT = 3024,
    GM_ENDEDITNEXT = 3025,
    GM_ENDEDIT = 3026,
    GM_BEFOREEDIT = 3027,
    GM_RESTOREEDITOR = 3028,
};

class TNewInplaceEdit : public TInplaceEdit {
public:
    explicit TNewInplaceEdit(TStringAlignGrid* grid);

    TMyAlign EditAlignment() const { return editAlignment_; }
    void SetEditAlignment(TMyAlign a);
    bool EditMultilineMode = false;
    int EditedCol = -1, EditedRow = -1;  // -1: bound to no cell
    bool BeforeEditSent = false;
    std::string TextBeforeEdit;

    void UpdateContents() override;
    void Change() override;
    bool WantsKey(WORD key, TShiftState shift) const override;
    bool TakesLineBreaks() const override { return EditMultilineMode; }

protected:
    void EditKeyDown(WORD& key, TShiftState shift) override;
    void EditKeyPress(char& key) override;

private:
    TStringAlignGrid* alignGrid_;
    TMyAlign editAlignment_ = TMyAlign::alLeft;
};

class TStringAlignGrid : public TStringGrid, private INextCellHost {
    friend class TNewInplaceEdit;

public:
    explicit TStringAlignGrid(TComponent* AOwner = nullptr);
    ~TStringAlignGrid() override;

    // --- grid-wide settings
    TMyAlign Alignment() const { return alignment_; }
    void SetAlignment(TMyAlign a);
    T_Wordwrap Wordwrap() const { return wordwrap_; }
    void SetWordwrap(T_Wordwrap w);
    bool Editable = true;
    TColor SelectedCellColor() const { return selectedCellColor_; }
    void SetSelectedCellColor(TColor c);
    TColor SelectedFontColor() const { return selectedFontColor_; }
    void SetSelectedFontColor(TColor c);
    bool DrawSelection() const { return drawSelection_; }
    void SetDrawSelection(bool on);
    void SetFixedColor(TColor c) override;
    aligngrid::TMyFont& FixedFont() { return *fixedFont_; }
    aligngrid::TMyBrush& FixedBrush() { return *fixedBrush_; }
    TCellPropertiesClass CellPropertiesClass = NewCellProperties;

    bool ShowCellHints = true;
    TGridCoord HintCellPos{-1, -1};
    bool EditingActive = false;
    bool RestoreEditorPending = false;
    int SavedSelStart = 0, SavedSelLength = 0;
    bool SelectEditText = true;
    bool EditMultiline = false;
    TImeMode ImeMode = TImeMode::imDontCare;  // given to the editor with ImeName
    std::string ImeName;
    bool AutoEditNextCell = false;
    T_nextcell NextCellEdit = nc_rightdown;
    T_nextcell NextCellTab = nc_rightdown;
    T_lastcell AfterLastCellEdit = lc_newcolrow;
    T_lastcell AfterLastCellTab = lc_first;
    bool AutoAdjustLastCol() const { return autoAdjustLastCol_; }
    void SetAutoAdjustLastCol(bool on);
    void SetGridLineWidth(int w) override;
    bool RedrawWhileScroll() const { return redrawWhileScroll_; }
    void SetRedrawWhileScroll(bool on);
    bool ProtectCells = false;
    bool ClipboardEnabled = true;

    // --- events
    TCellEvent OnAfterEdit, OnCancelEdit, OnBeforeEdit;
    TCellEventBool OnValidateEdit;
    TShowHintCellProc OnShowHintCell;
    TCompareFunction OnCompareCol;   // rows ordered by a column (default: by date)
    TCompareFunction CompareColText;  // the text comparer of two rows
    TCompareFunction OnCompareRow;   // columns ordered by a row (default: by text)
    TNotifyEvent OnColWidthsChanged, OnRowHeightsChanged;
    TColEvent OnFixedColClick;
    TRowEvent OnFixedRowClick;

    // --- resolution (creates nothing)
    TMyAlign GetAlignCell(int col, int row) const;
    T_Wordwrap GetWordwrapCell(int col, int row) const;
    bool GetEditCell(int col, int row) const;
    const TFont& ResolveCellFont(int col, int row) const;
    const TBrush& ResolveCellBrush(int col, int row) const;
    TColor GetColorCell(int col, int row) const { return ResolveCellBrush(col, row).Color(); }
    TColor GetSelectedColorCell(int col, int row) const;
    TColor GetSelectedFontColorCell(int col, int row) const;
    bool IsFixed(int col, int row) const { return col < FixedCols() || row < FixedRows(); }
    const std::string& GetHintCell(int col, int row) const { return props_.Hint(col, row); }

    // --- setters (records created on demand)
    void SetAlignCell(int col, int row, TMyAlign a);
    void SetAlignCol(int col, TMyAlign a);
    void SetAlignFixedCol(int col, TMyAlign a);
    void SetAlignRow(int row, TMyAlign a);
    void SetAlignFixedRow(int row, TMyAlign a);
    void SetWordwrapCell(int col, int row, T_Wordwrap w);
    void SetWordwrapCol(int col, T_Wordwrap w);
    void SetWordwrapRow(int row, T_Wordwrap w);
    void SetEditCell(int col, int row, bool editable);
    void SetEditCol(int col, bool editable);
    void SetEditRow(int row, bool editable);
    void SetSelectedColorCell(int col, int row, TColor c);
    void SetSelectedColorCol(int col, TColor c);
    void SetSelectedColorRow(int row, TColor c);
    void SetSelectedFontColorCell(int col, int row, TColor c);
    void SetHintCell(int col, int row, const std::string& hint);
    aligngrid::TMyFont& FontCell(int col, int row);
    aligngrid::TMyFont& FontCol(int col);
    aligngrid::TMyFont& FontFixedCol(int col);
    aligngrid::TMyFont& FontRow(int row);
    aligngrid::TMyFont& FontFixedRow(int row);
    aligngrid::TMyBrush& BrushCell(int col, int row);
    aligngrid::TMyBrush& BrushCol(int col);
    aligngrid::TMyBrush& BrushFixedCol(int col);
    aligngrid::TMyBrush& BrushRow(int row);
    aligngrid::TMyBrush& BrushFixedRow(int row);
    // The records themselves (nullptr when absent).
    TCellProperties* CellProperties(int col, int row) const { return props_.CellRecord(col, row); }
    TCellProperties* ColProperties(int col, bool fixed = false) const { return props_.ColRecord(col, fixed); }
    TCellProperties* RowProperties(int row, bool fixed = false) const { return props_.RowRecord(row, fixed); }
    TCellPropertyLists& PropertyLists() { return props_; }

    // --- rows and columns
    void InsertRow(int row);
    void InsertColumn(int col);
    // Never removes a fixed row nor the last non-fixed row.
    void RemoveRow(int row);
    void SwapRows(int r1, int r2);
    void SwapColumns(int c1, int c2);
    TDateTime CellAsDateTime(int col, int row) const;  // raises EConvertError
    // Orders rows From..To by column colrow (byColumn) or columns by row colrow.
    virtual void Sort(int colrow, int from, int to, bool descending, bool byColumn);

    // --- table text, files and clipboard
    std::string CellsToStream(char separator = '\t', TGridRect rect = TGridRect{-1, -1, -1, -1}) const;
    void CellsFromStream(std::string_view stream, char separator = '\t',
                         TGridRect rect = TGridRect{0, 0, -1, -1});
    void SaveToFile(const std::string& fileName) const;
    void LoadFromFile(const std::string& fileName);
    void CopyToClipboard(char separator, TGridRect rect);
    void PasteFromClipboard(char separator, TGridRect rect);
    void CutToClipboard();

    // --- stored description (property_stream.h): cell texts and hints once a
    // description carried them, and the display records
    std::string WriteDescription() const;
    // All or nothing: a damaged description raises EReadError and the grid
    // stays as it was. Loaded follows a successful read.
    void ReadDescription(std::string_view description);
    // Puts the texts read into the cells (every cell not named becomes empty)
    // and prepares the editor.
    virtual void Loaded();

    TNewInplaceEdit* Editor() const { return static_cast<TNewInplaceEdit*>(InplaceEditor()); }
    void Invalidate() { TStringGrid::Invalidate(); }

    // The editing messages' handlers (public so forms and tests can drive them).
    void GMCancelEdit(int col, int row);
    void GMEndEditNext(int col, int row);
    void GMEndEdit(int col, int row);
    void GMBeforeEdit(int col, int row);
    void GMRestoreEditor();
    // Posts one of the editing messages for a cell; it is dropped when the
    // cell is gone (rows removed) by the time it runs.
    void PostEditMessage(int message, int col, int row);

    // Ends the edit of (col, row) as the focus loss does: validation, then
    // after-edit; a refusal reopens the editor on the cell.
    void EndEditWithValidation(int col, int row);

    // --- control plumbing
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    // Leaving the grid ends the open edit; a refused validation keeps the
    // focus in the grid (the change of focus is aborted).
    void DoEnter() override;
    void DoExit() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // Leaving the cell whose hint shows takes the hint away.
    void MouseMove(TShiftState shift, int x, int y) override;
    // The editing messages arrive here.
    void WndProc(TMessage& message) override;

protected:
    virtual void Init();
    // May narrow the rectangle (from the left) for the text drawn after it;
    // widens it over the grid lines that are off.
    virtual void DrawCellBackground(int col, int row, TRect& rect, TGridDrawState state);
    virtual void DrawCellText(int col, int row, const TRect& rect, TGridDrawState state);

    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool CanEditShow() override;
    // A line break typed in a multi-line edit becomes one blank in the cell.
    void SetEditText(int col, int row, const std::string& value) override;
    TInplaceEdit* CreateEditor() override;
    void Resize() override;
    void RowMoved(int from, int to) override;
    void ColumnMoved(int from, int to) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void WMCut() override;
    void WMCopy() override;
    void WMPaste() override;
    void CellLeft(int col, int row) override;
    void EditorShown() override;
    bool CellHintAt(int x, int y, std::string& hint, TRect& cellRect, TPoint& hintPos) override;
    bool FollowThumbTracking() const override;

    void AdjustLastCol();

private:
    // A posted editing message: the cell it was posted for, and the cell it
    // now stands for after rows or columns moved (dropped when it went).
    struct PendingEdit {
        int message, postedCol, postedRow, col, row;
        bool dropped = false;
    };

    // INextCellHost
    int HostColCount() const override { return ColCount(); }
    int HostRowCount() const override { return RowCount(); }
    int HostFixedCols() const override { return FixedCols(); }
    int HostFixedRows() const override { return FixedRows(); }
    void HostInsertRow(int row) override { InsertRow(row); }
    void HostInsertColumn(int col) override { InsertColumn(col); }
    void HostExitGrid() override { FocusNextControl(); }

    template <class F>
    void AdjustEditedCells(F map);
    TCellProperties& Record(TPropList& list, int index);
    TCellProperties& CellRecordFor(int col, int row);
    void ReshowEditor();

    TGridProperties StreamedProperties() const;

    TCellPropertyLists props_;
    std::unique_ptr<TLoadedCells> loadedCells_;
    bool hintsStored_ = false, cellsStored_ = false;
    TMyAlign alignment_ = TMyAlign::alLeft;
    T_Wordwrap wordwrap_ = ww_none;
    TColor selectedCellColor_ = clActiveCaption, selectedFontColor_ = clWhite;
    bool drawSelection_ = true;
    bool autoAdjustLastCol_ = false;
    bool redrawWhileScroll_ = false;
    std::unique_ptr<aligngrid::TMyFont> fixedFont_;
    std::unique_ptr<aligngrid::TMyBrush> fixedBrush_;
    TBrush gridBrush_;
    std::deque<PendingEdit> pending_;
    bool keepTextBeforeEdit_ = false;
    std::string reopenTextBeforeEdit_;
};
