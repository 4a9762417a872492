#pragma once
// HTML tables: a ThtmlTable section of rows (TCellList), each row a list of
// cells (TCellObj) whose content is a TCellObjCell. The table turns its rows
// into a rectangular grid (dummy cells fill the slots covered by column and
// row spans), computes column widths from the cells' minimum and maximum
// widths, row heights from the content, places and paints every cell. It sits
// in a TTableBlock (margins, float, width, background); a table with a
// caption is wrapped once more in a TTableAndCaptionBlock.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/layout/blocks.h"
#include "html/layout/document.h"
#include "html/reader/style_props.h"

class ThtmlTable;

// Which part of a table is being printed on the current page.
enum TablePartType : uint8_t { tpNormal = 0, tpDoHead = 1, tpDoBody1 = 2, tpDoBody2 = 3, tpDoBody3 = 4, tpDoFoot = 5 };

// The state of a table printed page by page, handed to the printing loop
// (through the document's TablePartRec) while the table runs on to further
// pages: which band it draws next and where that band lies in the document.
struct TTablePartRec {
    TablePartType TablePart = tpNormal;
    int PartStart = 0;   // document y of the head or foot band
    int PartHeight = 0;  // its height
    int FootHeight = 0;  // the foot band's height, kept free at each page end
};

// A column as COL or COLGROUP declares it.
struct TColObj {
    int ColWidth = 0;  // pixels, or tenths of a percent with AsPercent
    bool AsPercent = false;
    std::string ColAlign;
    uint8_t ColVAlign = 0;  // 0 none, 1 top, 2 middle, 3 baseline, 4 bottom
};

class TCellObj : public TSlabAllocated {
public:
    // AVAlign: the vertical alignment the row or column gives (2 middle by default).
    TCellObj(TSectionList* Master, uint8_t AVAlign, TAttributeList* Attr, TProperties* Prop);
    // The print copy.
    TCellObj(TSectionList* Master, const TCellObj& T);
    // A dummy filling a slot covered by a span (ColSpan 0).
    static std::unique_ptr<TCellObj> MakeDummy(int RowSpan);
    ~TCellObj();
    TCellObj(const TCellObj&) = delete;
    TCellObj& operator=(const TCellObj&) = delete;

    int ColSpan = 1, RowSpan = 1;
    int Wd = 0, Ht = 0;
    int VSize = 0;
    int SpecHt = 0;
    int SpecHtPercent = 0;
    int YIndent = 0;
    uint8_t VAlign = 2;
    int SpecWd = 0;
    bool WidthPercent = false;
    int EmSize = 16, ExSize = 8;
    int PadTop = -1, PadRight = -1, PadBottom = -1, PadLeft = -1;
    int BrdTop = 0, BrdRight = 0, BrdBottom = 0, BrdLeft = 0;
    int HzSpace = 0, VrSpace = 0;
    bool HasBorderStyle = false;
    std::unique_ptr<TCellObjCell> Cell;  // null for a dummy
    std::unique_ptr<TBackgroundPicture> Bg;  // rare: kept apart
    TBackgroundPicture& EditBg() { return TBackgroundPicture::Edit(Bg); }
    TSharedMargArray MargArray;
    bool BreakBefore = false, BreakAfter = false, KeepIntact = false;
    int RowTop = 0;  // document y of its row, set when placed

    bool IsDummy() const { return ColSpan == 0 || !Cell; }
    void InitializeCell(int TablePadding, const std::string& RowImageName, bool TableBorder,
                        const PositionRecArray& RowPos);
    // Returns whether the content is plain and stands laid out where it was
    // placed: placed there again from the same position, it is not touched.
    bool PlaceContents(TCanvas& Canvas, int X, int Y, int& Curs, int CellSpacing);
    void Draw(TCanvas& Canvas, const TRect& ARect, int X, int Y, int CellSpacing, bool Border, TColor Light,
              TColor Dark);
    // Lays the content out at width W - spaces, in a row whose top is RowTop,
    // from document position Curs (advanced past it); returns VSize. Where the
    // row and the position hold, placing the cell then costs nothing.
    int MeasureContent(TCanvas& Canvas, int W, int CellSpacing, int DeclaredHeight, int RowTop, int& Curs);
    // The content's narrowest and widest widths (Cell->MinMaxWidth).
    void ContentWidths(TCanvas& Canvas, int& Min, int& Max);
    // Whether the widths last measured hold for Canvas without measuring.
    bool WidthsHoldFor(const TCanvas& Canvas) const;

private:
    TCellObj() = default;

    // Plain content (TSectionBase::IsPlain) is laid out once per width: a
    // cell placed elsewhere at the width of its last layout is moved there,
    // measured at it keeps its height, and its widths are measured once.
    struct TLastLayout {
        const TCanvas* canvas = nullptr;  // none yet
        unsigned fonts = 0;               // the font service's generation
        int width = 0, top = 0, curs = 0, len = 0, height = 0;
        bool movable = false;  // nothing above top
    };
    TLastLayout last_;
    int8_t plain_ = -1;  // whether the content is plain (-1: not looked at yet)
    const TCanvas* widthsCanvas_ = nullptr;  // the widths below hold for it (none: measure again)
    unsigned widthsFonts_ = 0;
    int minWidth_ = 0, maxWidth_ = 0;
    bool PlainContent();
    // Whether the last layout holds for Canvas at width (so it can be moved).
    bool Reusable(const TCanvas& Canvas, int width);
    // Lays the content out at top and remembers it.
    int LayOut(TCanvas& Canvas, int top, int width, int height, int& Curs);
};

// A table row; empty slots are allowed (null items).
class TCellList : public TFreeList<TCellObj> {
public:
    TCellList(TAttributeList* Attr, TProperties* Prop);
    TCellList(TSectionList* Master, const TCellList& T);

    bool BkGnd = false;
    TColor BkColor = clNone;
    std::string BkImage;
    PositionRecArray APRec{};
    int RowHeight = 0;
    int SpecRowHeight = 0;  // largest spanned height
    uint8_t RowType = 1;    // 0 header, 1 body, 2 footer
    bool BreakBefore = false, BreakAfter = false, KeepIntact = false;

    void AddCell(TCellObj* CellObj);  // Add: takes ownership, ORs the page breaks
    void ApplyRowBackground();
    // Measures the cells of a row whose RowSpan equals Span, at the row's top
    // and from document position Curs: returns the row height and the percent
    // height (both with CellSpacing).
    void MeasureRow(TCanvas& Canvas, const std::vector<int>& Widths, int Span, int TableHeight, int CellSpacing,
                    int RowTop, int& Curs, int& Height, int& PercentHeight, bool& Declared);
    // Returns whether every cell of the row is left in place (PlaceContents).
    bool PlaceRow(TCanvas& Canvas, const std::vector<int>& Widths, int X, int Y, int CellSpacing, int& Curs);
    void Draw(TCanvas& Canvas, const TRect& ARect, const std::vector<int>& Widths, int X, int Y, int CellSpacing,
              bool Border, TColor Light, TColor Dark);
};

class ThtmlTable : public TSectionBase {
public:
    ThtmlTable(TCellBasic* AMasterList, TAttributeList* Attr, TProperties* Prop);
    ThtmlTable(TCellBasic* AMasterList, const ThtmlTable& T);
    ~ThtmlTable() override;

    std::unique_ptr<TTablePartRec> TablePartRec;
    TFreeList<TCellList> Rows;
    bool Initialized = false;
    int BorderWidth = 0;
    int NumCols = 0;
    int tbWidth = 0;
    bool UseAbsolute = false;
    int CellPadding = 1, CellSpacing = 2;
    TColor BorderColorLight = 0x80000014, BorderColorDark = 0x80000010;
    bool BorderColorGiven = false;
    bool BkGnd = false;
    TColor BkColor = clNone;
    TFreeList<TColObj> ColInfo;
    std::vector<int> Widths, MaxWidths, MinWidths, Percents, Heights;
    int TableWidth = 0, TableHeight = 0;
    int HeaderHeight = 0, HeaderRowCount = 0, FootHeight = 0, FootStartRow = -1;
    bool HeadOrFoot = false;
    bool HasBorder = false;  // a border attribute was given
    int TableIndent = 0;     // the block's shift clear of floats
    bool HeightsValid = false;
    int LastAvailHeight = -1;
    bool Stretch = false;  // the block wants the given width filled

    void AddColInfo(std::unique_ptr<TColObj> Col);
    // Builds the rectangular grid once.
    void Initialize();
    void GetMinMax(TCanvas& Canvas, int& TotalMin, int& TotalMax);
    void GetMinMaxAbs(TCanvas& Canvas, int& TotalMin, int& TotalMax);
    // Top and Curs: where the table's first row and its content start.
    void FindRowHeights(TCanvas& Canvas, int AHeight, int Top, int Curs);

    // ---- overrides
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    void CopySelectionToBuffer(SelTextCount& Buffer) override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
    unsigned GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                       std::string& ATitle) override;
    bool GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff) override;
    int FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext) override;
    int FindString(int From, const std::u16string& ToFind, bool MatchCase) override;
    int FindStringR(int From, const std::u16string& ToFind, bool MatchCase) override;
    int FindSourcePos(int DocPos) override;
    int FindDocPos(int SourcePos, bool Prev) override;
    bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) override;
    bool GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj) override;
    void MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) override;
    void AddToPositionList() override;

    // Left x of column c (from the table's left edge, spacing included).
    int ColumnLeft(int c) const;

private:
    // Where the rows lie after a layout: RowOffsets[r] is the top of row r
    // from the table's top (the sum of the heights above it, one entry more
    // than rows), and SpanStart[r] the first row holding a cell that reaches
    // into row r. Painting and hit tests find their rows by halving; empty
    // when a negative height leaves the offsets out of order.
    std::vector<int> RowOffsets, SpanStart;
    void FindRowOffsets();
    // The rows that may hold what lies between document y top and bottom.
    std::pair<int, int> RowsBetween(int top, int bottom) const;
    struct CellHit {
        TCellObj* Cell = nullptr;
        int X = 0;
    };
    // The real cell covering the point (document coordinates).
    CellHit CellAt(int X, int Y) const;
    // Calls f on the content of every real cell in order (reversed), until
    // one answers 0 or more.
    template <class F>
    int ForCells(bool Reverse, F f) const;
    void MeasureSpans(TCanvas& Canvas, bool WithPercents);
    // PageRules: while printing, rows cut by the page end move PageBottom.
    void DrawRows(TCanvas& Canvas, const TRect& ARect, int X, int Y, int FirstRow, int LastRow, bool PageRules);
    // Printing with the head and foot repeated on every page the table reaches.
    void DrawPrinted(TCanvas& Canvas, const TRect& ARect, int X, int Y);
    void SetPart(TTablePartRec& Part, TablePartType Type) const;
    int LastFootRow() const;
    int DrawX_ = 0;  // x of the table at the last layout or drawing
    // The inputs of the last MeasureSpans: the columns' measures hold while
    // they are the same and the cells' widths hold (plain content on the same
    // canvas and fonts), or within one layout cycle.
    int spansCycle_ = -1, spansTbWidth_ = 0;
    bool spansPercents_ = false;
    const TCanvas* spansCanvas_ = nullptr;  // none: the widths may change
    unsigned spansFonts_ = 0;
    // Every cell left in place by the last layout, at this top, from this
    // document position, on this canvas and fonts: laid out again with the
    // same widths and heights, the rows are not walked (none: walk them).
    struct TSettled {
        const TCanvas* canvas = nullptr;
        unsigned fonts = 0;
        int top = 0, curs = 0;
    };
    TSettled settled_;
    bool cellSizesSet_ = false;  // every cell's Wd and Ht follow Widths and Heights
};

class TTableBlock : public TBlock {
public:
    TTableBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, ThtmlTable* ATable,
                TAttributeList* Attr, bool TableLevel);
    TTableBlock(TCellBasic* AMasterList, const TTableBlock& T);

    ThtmlTable* Table;  // owned by MyCell
    int WidthAttr = 0;
    bool AsPercent = false;
    bool BkColorSet = false;
    TColor TableBkColor = clNone;
    int HSpace = 0, VSpace = 0;
    bool HasBorder = false;
    bool HasCaption = false;
    int TableIndentShift = 0;

    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
    // Draw may move the page's end wherever the page is.
    bool DrawReach(int&, int&) override { return false; }
    void MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) override;
    int FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount) override;
    void DrawBlockBorder(TCanvas& Canvas, const TRect& ORect, const TRect& IRect) override;
    void AddToPositionList() override;
    bool IsTableBlock() const override { return true; }

private:
    // Paddings and borders at the sides.
    int SideSpace() const;
};

class TTableAndCaptionBlock : public TBlock {
public:
    TTableAndCaptionBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell,
                          TAttributeList* Attr, TTableBlock* ATableBlock);
    TTableAndCaptionBlock(TCellBasic* AMasterList, const TTableAndCaptionBlock& T);

    bool TopCaption = true;
    TTableBlock* TableBlock = nullptr;  // owned by MyCell
    TBlock* CaptionBlock = nullptr;     // owned by MyCell
    uint8_t Justify = 0;                // 1 left, 2 center, 3 right
    int TableID = 0;

    // Puts the caption block above or below the table block (takes it).
    void SetCaptionBlock(TBlock* Value);
    void RegisterID(TAttributeList* Attr);

    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    void MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) override;
    int FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount) override;
    int FindString(int From, const std::u16string& ToFind, bool MatchCase) override;
    int FindStringR(int From, const std::u16string& ToFind, bool MatchCase) override;
    bool IsTableAndCaption() const override { return true; }
};
