#pragma once
// Block boxes: content (a TBlockCell) inside padding, border and margin, with
// background, width and height, floats, clearing, static, relative or
// absolute positioning, z-order, visibility, display:none, overflow clipping
// and page-break rules. Also list items, the body, rules and page breaks.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/layout/borders.h"
#include "html/layout/document.h"
#include "html/reader/style_props.h"

// A box's background picture and where it goes, kept apart by the boxes that
// may have one: most have none.
struct TBackgroundPicture {
    std::string ImageName;  // a table cell's, loaded when it is laid out
    PositionRecArray Pos{};
    std::unique_ptr<TImageObj> Image;
    // The picture of a holder, made on first use.
    static TBackgroundPicture& Edit(std::unique_ptr<TBackgroundPicture>& holder) {
        if (!holder) holder = std::make_unique<TBackgroundPicture>();
        return *holder;
    }
    // Tiles the loaded picture over Area (canvas pixels), clipped to it, as
    // far as View (the part of the view painted) shows it. The position
    // places the first tile in Area, or in View when the picture is fixed,
    // so that a fixed picture stays put as the box scrolls past it.
    void Draw(TCanvas& Canvas, const TRect& Area, const TRect& View) const;
};

// A block's converted box values, shared with the blocks that hold the same
// ones (the paragraphs of a long table's cells all do): a change that makes
// them differ takes a set made lately with the new values, or a copy.
class TBoxValues {
public:
    TBoxValues();  // zeros, with the vertical margins not yet collapsed (IntNull)
    int operator[](size_t i) const { return (*values_)[i]; }
    operator const ::MargArray&() const { return *values_; }  // NOLINT: read like the array
    // One slot, read like an int and written through Set.
    class Slot {
    public:
        Slot(TBoxValues& box, size_t i) : box_(box), i_(i) {}
        operator int() const { return std::as_const(box_)[i_]; }  // NOLINT: read like an int
        Slot& operator=(int v) {
            box_.Set(i_, v);
            return *this;
        }
        Slot& operator=(const Slot& o) { return *this = static_cast<int>(o); }
        Slot& operator+=(int v) { return *this = static_cast<int>(*this) + v; }

    private:
        TBoxValues& box_;
        size_t i_;
    };
    Slot operator[](size_t i) { return Slot(*this, i); }
    void Set(size_t i, int v);
    // The vertical margins (collapsed) set at once.
    void SetVertical(int top, int bottom);
    TBoxValues& operator=(const ::MargArray& m);
    bool SameSet(const TBoxValues& o) const { return values_ == o.values_; }
    // The values for changing in place (a copy of its own when shared): the
    // reference holds until the next assignment.
    ::MargArray& Edit();

private:
    std::shared_ptr<::MargArray> values_;
};

// Whether a block of these properties adds nothing around its content when it
// is the first thing in its cell: no margin but the default paragraph spacing
// (which the cell's edges take away), no padding, border, background, size,
// offset, float, clearing, positioning, page break, title or hiding.
bool BoxAddsNothing(const TProperties& Prop);

class TBlock : public TSectionBase {
public:
    TBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, TAttributeList* Attributes);
    TBlock(TCellBasic* AMasterList, const TBlock& T);
    ~TBlock() override;

    TBoxValues MargArray;
    TSharedBoxValues MargArrayO;  // the element's box values as given
    std::unique_ptr<TBlockCell> MyCell;
    int EmSize = 16, ExSize = 8;
    TColor BorderColor = clBlack;
    uint8_t BorderStyle = 0;
    uint8_t FloatLR = 0;    // 0 none, 5 left, 6 right
    uint8_t ClearAttr = 0;  // 0 none, 1 left, 2 right, 3 both
    uint8_t Positioning = 0;  // 0 static, 1 absolute, 2 relative
    uint8_t Visibility = 2;   // 1 hidden, 2 visible
    bool BottomAuto = false;
    bool BreakBefore = false, BreakAfter = false, KeepIntact = false;
    bool DisplayNone = false;
    bool HideOverflow = false;
    uint8_t Justification = 1;
    TCellBasic* OwnerCell;
    int NewWidth = 0;
    int ClearAddon = 0;
    int ContentLeft = 0;
    int ClientContentBot = 0;
    std::unique_ptr<TBackgroundPicture> Bg;  // rare: kept apart
    TBackgroundPicture& EditBg() { return TBackgroundPicture::Edit(Bg); }
    int TopP = 0, LeftP = 0;
    TRect MyRect{};
    TRareText Title;  // most blocks have none
    IndentManager* RefIMgr = nullptr;
    int BlockTitleY = 0;

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
    bool IsBlock() const override { return true; }
    bool DrawReach(int& Top, int& Bottom) override;
    void CheckFree() override;
    bool IsPlain() const override;
    bool LaidOutBelow(int top) const override;
    void MoveDown(int dy, int dcurs) override;

    // ---- new virtual operations
    virtual void DrawBlockBorder(TCanvas& Canvas, const TRect& ORect, const TRect& IRect);
    // Content width for the available width; AutoCount from ConvMargArray.
    virtual int FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount);
    // Table blocks and caption pairs do not collapse their margins.
    virtual bool IsTableBlock() const { return false; }
    virtual bool IsTableAndCaption() const { return false; }
    virtual bool IsListItem() const { return false; }
    virtual bool IsBody() const { return false; }

    void CollapseMargins();
    void SortByZIndex();
    // The sections in drawing order (none before the first sort).
    int DrawCount() const { return !drawSorted_ ? 0 : zOrder_ ? static_cast<int>(zOrder_->size()) : MyCell->Count(); }
    TSectionBase* DrawItem(int i) const { return zOrder_ ? (*zOrder_)[static_cast<size_t>(i)] : (*MyCell)[i]; }
    void DrawContents(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int Y, int XRef, int YRef);
    // Border box on screen (the last Draw).
    int DrawBlock(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int Y, int XRef, int YRef);
    bool HasBackgroundImage() const { return Bg && Bg->Image; }
    // The element's tag (a caption pair answers for none): its cell keeps it.
    bool TagIs(const char* tag) const { return !IsTableAndCaption() && MyCell && MyCell->OwnersTag == tag; }

    // The content's minimum and maximum widths, measured once per layout
    // cycle: nested blocks would otherwise measure their content again at
    // every level.
    void ContentMinMax(TCanvas& Canvas, int& Min, int& Max);

protected:
    // Converted box values at the last layout.
    int LastAutoCount = 0;
    int contentCycle_ = -1, contentMin_ = 0, contentMax_ = 0;
    int blockCycle_ = -1, blockMin_ = 0, blockMax_ = 0;
    // The box values converted for the last width and height laid out at.
    int convWidth_ = -1, convHeight_ = -1, convAutoCount_ = 0;
    bool convValid_ = false;
    int8_t boxRelative_ = -1;  // whether a box value is a percentage (-1: not looked at yet)
    bool drawSorted_ = false;  // sorted once the cell held a section
    TSharedMargArray conv_;
    void ConvertBox(int AWidth, int AHeight);
    // The box values converted against a width and height; converted once
    // when no value is a percentage (measuring and placing then agree).
    const ::MargArray& ConvertedBox(int AWidth, int AHeight);
    std::unique_ptr<IndentManager> ownIMgr_;  // absolutely positioned blocks
    // Sections out of their cell's order for z-index; null while the cell's
    // own order is the drawing order, as it nearly always is.
    std::unique_ptr<std::vector<TSectionBase*>> zOrder_;
};

class TBlockLI : public TBlock {
public:
    TBlockLI(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, Symb Sy, bool APlain,
             char IndexType, int AListNumber, int ListLevel, TAttributeList* Attributes);
    TBlockLI(TCellBasic* AMasterList, const TBlockLI& T);
    ~TBlockLI() override;

    uint8_t ListType = 0;  // 1 ordered, 2 unordered, 3 definition, 4 outside any list
    int ListNumber = 0;
    uint8_t ListStyle = 0;
    std::unique_ptr<TMyFont> ListFont;
    std::unique_ptr<TImageObj> Image;
    int FirstLineHt = 0;

    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
    bool DrawReach(int& Top, int& Bottom) override;
    bool IsListItem() const override { return true; }
    // The marker text of an ordered item ("iii.", "Z."), "" for bullets.
    std::u16string NumberText() const;
};

class TBodyBlock : public TBlock {
public:
    TBodyBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, TAttributeList* Attributes);
    TBodyBlock(TCellBasic* AMasterList, const TBodyBlock& T);
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
    bool DrawReach(int& Top, int& Bottom) override;
    unsigned GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                       std::string& ATitle) override;
    bool IsBody() const override { return true; }
};

class THorzLine : public TSectionBase {
public:
    THorzLine(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop);
    THorzLine(TCellBasic* AMasterList, const THorzLine& T);
    int VSize = 2;
    TColor Color = clNone;
    uint8_t Align = 2;
    bool NoShade = false;
    bool BkGnd = false;
    int Width = 0;
    int Indent = 0;  // left of the rule from the left of its content

    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    void CopySelectionToBuffer(SelTextCount& Buffer) override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
    bool DrawReach(int& Top, int& Bottom) override;
};

class THRBlock : public TBlock {
public:
    THRBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, TAttributeList* Attributes);
    THRBlock(TCellBasic* AMasterList, const THRBlock& T);
    uint8_t Align = 0;
    THorzLine* Line = nullptr;  // the content (owned by MyCell)
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    int FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount) override;
};

// A p element holding nothing, alone in a table cell, whose box adds
// nothing: its block would take no room and paint nothing, and it still ends
// a copied line. Kept as this instead of a block.
class TEmptyParagraph : public TSectionBase {
public:
    using TSectionBase::TSectionBase;
    TEmptyParagraph(TCellBasic* AMasterList, const TEmptyParagraph& T)
        : TSectionBase(AMasterList, T), LaidOutWidth(T.LaidOutWidth) {}
    int LaidOutWidth = 0;  // the width its block would have had
    bool IsPlain() const override { return true; }
    bool DrawReach(int& Top, int& Bottom) override;
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    void CopySelectionToBuffer(SelTextCount& Buffer) override;
};

// A forced page break for printing.
class TPage : public TSectionBase {
public:
    using TSectionBase::TSectionBase;
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
};
