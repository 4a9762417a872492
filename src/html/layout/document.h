#pragma once
// The laid-out document: a tree of sections. A section (TSectionBase) is one
// vertical piece: a paragraph (TSection), a block box (TBlock family), a
// table, a rule, a page break or preformatted text. A cell (TCellBasic) is an
// ordered list of sections sharing one float manager; blocks and table cells
// hold one, and the root TSectionList is itself a cell that also keeps what
// is document-wide: styles, fonts and colours, images, forms, links, ids, the
// selection, inline boxes and the events of the viewer.
//
// Positions: every character (text, and one placeholder per image or
// control) has a document position counted from 0 in reading order; source
// positions are byte offsets into the document as received.
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "html/images/image_cache.h"
#include "html/images/streams.h"
#include "html/layout/floating.h"
#include "html/layout/form_control_obj.h"
#include "html/layout/layout_types.h"
#include "html/reader/style_props.h"
#include "html/reader/viewer_types.h"
#include "platform/gui/canvas.h"
#include "platform/gui/classes.h"

class TBlock;
class TCellBasic;
class TSectionList;
class TFontObj;
class TImageObj;
class TPanelObj;
class ThvPanel;
class TGIFImage;
class TTimer;
class TWinControl;
class TControl;
struct TTablePartRec;  // the tables' page-by-page printing state

// What GetLinkAt found.
constexpr unsigned guUrl = 1, guControl = 2, guTitle = 4;

// ---------------------------------------------------------------- sections

class TSectionBase : public TIDObject, public TSlabAllocated {
public:
    explicit TSectionBase(TCellBasic* AMasterList);
    // The copy for printing: SectionHeight and ZIndex.
    TSectionBase(TCellBasic* AMasterList, const TSectionBase& T);
    ~TSectionBase() override;

    TBlock* OwnerBlock = nullptr;
    TSectionList* ParentSectionList = nullptr;
    int SectionHeight = 0;
    int DrawHeight = 0;
    int StartCurs = 0;
    int Len = 0;
    int ZIndex = 0;
    static constexpr int NotLaidOut = 999999999;
    int YDraw = NotLaidOut;
    int ContentBot = 0, DrawTop = 0, DrawBot = 0, ContentTop = 0;
    int SectionNumber = 0;
    int ThisCycle = 0;

    void SetMasterList(TSectionList* Value) { ParentSectionList = Value; }

    // Slot 0.
    int GetYPosition() override;
    // Slot 1: the print copy, attached to the copy's cell (AMasterList).
    virtual std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const;
    virtual void CopySelectionToBuffer(SelTextCount& Buffer);
    // X, Y: where the section starts; XRef, YRef: the reference position of the
    // positioning block; AWidth: the width available; AHeight: the available
    // height; BlHt: the block height; MaxWidth: the widest content. Curs is the
    // document position of the first character and is advanced past the section.
    virtual int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                       IndentManager& IMgr, int& MaxWidth, int& Curs);
    // Returns the section's bottom.
    virtual int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef);
    // Hit tests (GetLinkAt, GetObjectAt, FindCursor) take document
    // coordinates: a paint-panel point plus the horizontal scroll and YOff.
    // Flags guUrl, guControl, guTitle. UrlTarg receives a copy of the link.
    virtual unsigned GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                               std::string& ATitle);
    // The image under the point and the point's offsets inside it.
    virtual bool GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff);
    // The document position under the point; caret X, top and height; Intext
    // false when the point lies beyond the line's text.
    virtual int FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext);
    // ToFind is lower case unless MatchCase.
    virtual int FindString(int From, const std::u16string& ToFind, bool MatchCase);
    virtual int FindStringR(int From, const std::u16string& ToFind, bool MatchCase);
    virtual int FindSourcePos(int DocPos);
    virtual int FindDocPos(int SourcePos, bool Prev);
    // Canvas may be null (then X is the line's start).
    virtual bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y);
    virtual bool GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj);
    virtual void MinMaxWidth(TCanvas& Canvas, int& Min, int& Max);
    virtual void AddToPositionList();

    // Identity tests the model needs without RTTI chains.
    virtual bool IsBlock() const { return false; }
    virtual bool IsSection() const { return false; }
    virtual bool IsPreFormated() const { return false; }
    // The rows of the document (Top to Bottom) outside of which Draw does
    // nothing at all: a page or view that lies wholly above or below them
    // may leave the section out. False when Draw may act wherever the page
    // is (page breaks, a table's paging, positioned boxes): it is then always
    // drawn. Top > Bottom when it draws nothing. Read from the last layout;
    // every class whose Draw differs from its base's says its own.
    virtual bool DrawReach(int& Top, int& Bottom);
    // Before destruction: remove what the document's lists hold of it.
    virtual void CheckFree() {}
    // Plain text and plain blocks, with no floats, pictures, controls, links,
    // positioning or percentages: laid out at any Y of 0 or more they come out
    // the same, moved, and they measure the same every time. Fixed once read.
    virtual bool IsPlain() const { return false; }
    // Whether the last layout, made at top, holds nothing above top: it can
    // then be moved to any other top of 0 or more.
    virtual bool LaidOutBelow(int top) const {
        return YDraw >= top && ContentTop >= top && DrawTop >= top && SectionHeight >= 0;
    }
    // The last layout moved down by dy (up when negative), its document
    // positions by dcurs.
    virtual void MoveDown(int dy, int dcurs);
};

// ---------------------------------------------------------------- cells

// An element's tag name, held as one shared text per name: every cell keeps
// its owner's tag, and the names come from the reader's fixed set.
class TTagName {
public:
    TTagName() = default;
    TTagName& operator=(const std::string& name) {
        name_ = Intern(name);
        return *this;
    }
    TTagName& operator=(const char* name) { return *this = std::string(name); }
    bool empty() const { return name_->empty(); }
    friend bool operator==(const TTagName& a, const char* b) { return *a.name_ == b; }
    friend bool operator==(const TTagName& a, const std::string& b) { return *a.name_ == b; }
    friend std::ostream& operator<<(std::ostream& o, const TTagName& t) { return o << *t.name_; }

private:
    static const std::string* Intern(const std::string& name);
    static const std::string* Empty() {
        static const std::string empty;
        return &empty;
    }
    const std::string* name_ = Empty();
};

// A cell's list of sections, held in the slabs with them.
using TSectionItems = TFreeList<TSectionBase, TSlabAllocator<std::unique_ptr<TSectionBase>>>;

class TCellBasic : public TSectionItems, public TSlabAllocated {
public:
    explicit TCellBasic(TSectionList* Master);
    // Every section copied through its CreateCopy slot.
    TCellBasic(TSectionList* Master, const TCellBasic& T);
    ~TCellBasic() override;

    TSectionList* MasterList;
    IndentManager* IMgr = nullptr;  // lent to a TCell while it lays out or paints; a TBlockCell uses its block's
    int YValue = 0;
    int StartCurs = 0;
    int Len = 0;
    // Kept by TBlockCell.LayoutContents.
    int tcContentBot = 0, tcDrawTop = 0, tcDrawBot = 0;
    // Top of the float of this cell laid out last: a later float goes no
    // higher (reset by each layout).
    int LastFloatTop = INT_MIN;

private:
    // Of the cache of where the sections draw (below), kept in the room the
    // ints above leave: every paragraph's block has a cell.
    bool reachValid_ = false;   // cleared by whatever moves or changes the sections
    bool reachAlways_ = false;  // some section is drawn wherever the page is

public:
    TTagName OwnersTag;  // the owning element's tag
    TBlock* Owner = nullptr;  // the owning block, when there is one

    // A TSection with pending text is finished first; an empty finished section
    // (not preformatted) is freed instead of added. Takes ownership.
    void Add(TSectionBase* Item, int TagIndex);
    void Add(std::unique_ptr<TSectionBase> Item, int TagIndex) { Add(Item.release(), TagIndex); }
    bool CheckLastBottomMargin();

    virtual int Layout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs);
    virtual void MinMaxWidth(TCanvas& Canvas, int& Min, int& Max);
    virtual int Draw(TCanvas& Canvas, const TRect& ARect, int ClipWidth, int X, int Y, int XRef, int YRef);
    virtual unsigned GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                               std::string& ATitle);

    // Draws the sections in order, leaving out those that reach nowhere
    // near ARect (TSectionBase::DrawReach), and, when ZeroOnly, those of a
    // z-index; returns the last section's bottom (Y when there is none).
    int DrawSections(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int Y, int XRef, int YRef,
                     bool ZeroOnly = false);
    // Whether the section, one of this cell's, may draw anything within ARect.
    bool MayDraw(TSectionBase& S, const TRect& ARect);
    // The sections' reach together (TSectionBase::DrawReach).
    bool DrawReach(int& Top, int& Bottom);

    bool GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff);
    int FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext);
    int FindString(int From, const std::u16string& ToFind, bool MatchCase);
    int FindStringR(int From, const std::u16string& ToFind, bool MatchCase);
    int FindSourcePos(int DocPos);
    int FindDocPos(int SourcePos, bool Prev);
    bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y);
    bool GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj);
    void CopySelectionToBuffer(SelTextCount& Buffer);
    void AddSectionsToPositionList();
    // Lays out the sections at X (the base of TCellBasic.Layout).
    int LayoutSections(TCanvas& Canvas, int X, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs);
    // Frees every section (their CheckFree first).
    void ClearSections();
    // Every section plain, every section's last layout below top (TSectionBase).
    bool IsPlain() const;
    bool LaidOutBelow(int top) const;
    // The last layout of every section moved down; YValue and StartCurs follow.
    void MoveDown(int dy, int dcurs);

protected:
    void ForgetReach() { reachValid_ = false; }

private:
    // Where the sections draw, found once after each layout. A cell of many
    // sections also keeps, for each section, the lowest bottom of those up
    // to it and the highest top of those from it on, both in order, so that
    // a page finds the sections it may show by halves.
    struct TReachIndex {
        std::vector<int> BottomUpTo, TopFrom;
        std::vector<int> Always;  // the sections drawn wherever the page is
    };
    void FindReach();
    std::unique_ptr<TReachIndex> reachIndex_;
    int reachTop_ = 0, reachBottom_ = 0;
};

// A cell with a float manager of its own while it lays out or paints: what
// its content places beside floats matters only then, so the managers are
// lent, and a long table's thousands of cells hold none.
class TCell : public TCellBasic {
public:
    explicit TCell(TSectionList* Master);
    TCell(TSectionList* Master, const TCell& T);
    ~TCell() override;
    int Layout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, int ClipWidth, int X, int Y, int XRef, int YRef) override;

private:
    int laidOutWidth_ = 0;  // the width of the last layout
};

// The content of a table cell: adds the cell rectangle and a whole-cell link.
class TCellObjCell : public TCell {
public:
    explicit TCellObjCell(TSectionList* Master);
    TCellObjCell(TSectionList* Master, const TCellObjCell& T);
    TRect MyRect{};  // set by the table's drawing, in screen coordinates
    // A link or title on the cell itself (rare: kept apart).
    struct TCellLink {
        std::string Url, Target, Title;
    };
    std::unique_ptr<TCellLink> Link;
    TCellLink& EditLink() {
        if (!Link) Link = std::make_unique<TCellLink>();
        return *Link;
    }
    TColor BkColor = clNone;  // the cell's background colour
    bool BkGnd = false;
    unsigned GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                       std::string& ATitle) override;
};

// The content of a block box; it uses the float manager passed to its block.
class TBlockCell : public TCellBasic {
public:
    explicit TBlockCell(TSectionList* Master);
    TBlockCell(TSectionList* Master, const TBlockCell& T);
    int LayoutContents(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int Width, int AHeight, int BlHt,
                       int& MaxWidth, int& Curs);
    // The last LayoutContents moved down (the content is plain).
    void MoveContentsDown(int dy, int dcurs);
    int DoLayout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs);
};

// ---------------------------------------------------------------- inline boxes

struct InlineRec {
    int StartB = 0, EndB = 0;        // document positions
    int ID = 0;                      // the element's SerialID
    int StartBDoc = 0, EndBDoc = 0;  // source positions
    ::MargArray MargArray{};
};

class TInlineList : public TFreeList<InlineRec> {
public:
    explicit TInlineList(TSectionList* AnOwner) : Owner(AnOwner) {}
    TSectionList* Owner;
    bool NeedsConvert = true;
    void Clear() {
        TFreeList<InlineRec>::Clear();
        NeedsConvert = true;
    }
    // Document positions of entry I (99999999 when out of range).
    int GetStartB(int I);
    int GetEndB(int I);

private:
    void AdjustValues();
};

// ---------------------------------------------------------------- events

using TGetBitmapEvent = std::function<void(TObject* Sender, const std::string& SRC, TBitmap*& Bitmap, TColor& Color)>;
// An image request: Stream set to DeferredImageStream defers the image; left
// null, the name is resolved to a file; any other stream is read (and stays
// the caller's).
using TGetImageEvent = std::function<void(TObject* Sender, const std::string& SRC, TStream*& Stream)>;
using TExpandNameEvent = std::function<void(TObject* Sender, const std::string& SRC, std::string& Result)>;
using TObjectClickEvent = std::function<void(TObject* Sender, TFormControlObj* Obj, const std::string& OnClick)>;
using TFileBrowseEvent = std::function<void(TObject* Sender, TFormControlObj* Obj, std::string& S)>;
using TFormSubmitEvent = std::function<void(TObject* Sender, const std::string& Action, const std::string& Target,
                                            const std::string& EncType, const std::string& Method,
                                            TStringList* Results)>;
using TScriptEvent = std::function<void(TObject* Sender, const std::string& Name, const std::string& Language,
                                        const std::string& Script)>;
using TPanelCreateEvent = std::function<void(TObject* Sender, const std::string& AName, const std::string& AType,
                                             const std::string& SRC, ThvPanel* Handle)>;
using TPanelDestroyEvent = std::function<void(TObject* Sender, ThvPanel* Handle)>;
using TPanelPrintEvent = std::function<void(TObject* Sender, ThvPanel* Handle, TBitmap* Bitmap)>;
// While printing: a piece of a link was drawn at R.
using TLinkDrawnEvent = std::function<void(TObject* Sender, int Page, const std::string& Url,
                                           const std::string& Target, const TRect& R)>;

// ---------------------------------------------------------------- the root

// The GIF animation timer interval: 50 ms at first, 40 ms after a tick.
constexpr unsigned GifTimerFirst = 50, GifTimerNext = 40;
// The unit-wide table nesting counter (reset with the root's by each layout).
extern int TableNestLevelGlobal;

class TSectionList : public TCell, public TChPosSource {
public:
    // AnOwner: the viewer; APaintPanel: the control repainted on changes (either
    // may be null in tests).
    TSectionList(TWinControl* AnOwner, TControl* APaintPanel);
    // The print copy: display settings copied, image cache and inline list
    // shared, its own empty form, GIF and panel lists; IsCopy set.
    explicit TSectionList(const TSectionList& T);
    ~TSectionList() override;

    // ---- owner and events
    TWinControl* TheOwner;
    TControl* PPanel;
    TGetBitmapEvent GetBitmap;  // OnBitmapRequest
    TGetImageEvent GetImage;    // OnImageRequest
    TExpandNameEvent ExpandName;
    TObjectClickEvent ObjectClick, ObjectFocus, ObjectBlur, ObjectChange;
    TFileBrowseEvent FileBrowse;
    TFormSubmitEvent SubmitForm;
    TScriptEvent ScriptEvent;
    TPanelCreateEvent PanelCreateEvent;
    TPanelDestroyEvent PanelDestroyEvent;
    TPanelPrintEvent PanelPrintEvent;
    TLinkDrawnEvent LinkDrawnEvent;
    std::function<void()> BackgroundChange;
    // Services of the viewer.
    std::function<std::string(const std::string&)> ResolveFileName;
    std::function<void(int Percent)> ReportProgress;
    // A form control or link run got the focus: scroll it into view.
    std::function<void(TObject* Obj, int Y, bool IsLink)> ControlEnterEvent;
    // The Enter key on a focused link.
    std::function<void(TFontObj* Link)> LinkFollowEvent;
    // The viewer's key handling, for the keys a focused link, check box or
    // radio button does not use itself; it clears a key it used.
    std::function<void(uint16_t& Key, TShiftState Shift)> ViewerKeyDown;

    // ---- display settings
    std::string FontName;
    std::string PreFontName;
    double FontSize = 12;
    TColor FontColor = clBlack;
    TColor HotSpotColor = clBlue, LinkVisitedColor = clPurple, LinkActiveColor = clBlue;
    bool LinksActive = false;
    TColor Background = clWhite;
    int MarginWidth = 10, MarginHeight = 5;
    int CharSet = DEFAULT_CHARSET;
    bool UnLine = true;  // underline links
    bool ShowImages = true;
    bool PrintTableBackgrounds = false;
    bool PrintBackground = false;
    bool PrintMonoBlack = true;
    bool ShowDummyCaret = false;
    bool Printing = false;
    bool NoPartialLine = false;
    bool PageShortened = false;  // PageBottom moved up on this page
    bool FirstPageItem = true;
    int PrintingPage = 0;

    // ---- document content
    TStyleList* Styles;  // owned by the screen list, shared by a copy
    TStringBitmapList* BitmapList = nullptr;  // the viewer's image cache
    TFreeList<ThtmlForm> htmlFormList;
    std::vector<TGIFImage*> AGifList;  // animated images being shown
    TFormControlList FormControlList;
    std::vector<int> RealizedControls;  // places in FormControlList of the controls with a window on the view
    std::vector<TPanelObj*> PanelList;
    std::vector<TFontObj*> LinkList;
    // Image names that will arrive later, each with the object asking for it.
    std::vector<std::pair<std::string, TImageObj*>> MissingImages;
    TIDNameList IDNameList;
    std::vector<TSectionBase*> PositionList;
    // Sorted by key ("%.5d%.3d" of tab index and count); duplicates allowed.
    std::vector<std::pair<std::string, TObject*>> TabOrderList;
    std::shared_ptr<TInlineList> InlineList;
    TDrawList DrawList;
    TFreeList<TMapItem> MapList;
    bool LinksFlag = false;  // more than 400 links: no focus holders

    // ---- background
    std::string BackgroundBitmapName;
    PositionRecArray BackgroundPos{};
    bool BitmapLoaded = false;
    TGraphic* BackgroundBitmap = nullptr;  // from the cache
    TBitmap* BackgroundMask = nullptr;
    TGIFImage* BackgroundAniGif = nullptr;
    std::string BackgroundCacheKey;

    // ---- selection, scrolling, paging
    int SelB = 0, SelE = 0;
    int YOff = 0;
    bool YOffChange = false;
    // The X the last Draw was given (minus the horizontal scroll): drawn
    // positions are kept in document coordinates, and hit tests take those.
    int DrawOriginX = 0;
    int PageBottom = 0;
    int ProgressStart = 0;
    int CycleNumber = 0;
    int SectionCount = 0;  // running count of non-empty sections
    TFontObj* ActiveLink = nullptr;
    TImageObj* ActiveImage = nullptr;
    bool LeftButtonDown = false;  // told by the view: an image under the mouse shows pressed
    bool IsCopy = false;
    double ScaleX = 1.0, ScaleY = 1.0;
    int* FirstLineHtPtr = nullptr;  // where a list item wants its first baseline
    SelTextCount* SelectionBuffer = nullptr;
    int TableNestLevel = 0;
    bool TableRelayout = false;  // tables measure their rows again
    TTablePartRec* TablePartRec = nullptr;
    TObject* CurrentForm = nullptr;
    std::unique_ptr<TTimer> Timer;  // GIF animation

    // ---- operations
    void Clear();
    void ClearLists();
    // A run about to be freed, or no longer a link: no list of the document
    // keeps it or its focus holder.
    void ForgetRun(TFontObj* Run);
    void SetFonts(const std::string& Name, const std::string& PreName, int AMarginWidth, int AMarginHeight,
                  int ACharSet, bool LinkUnderLine, bool LnksActive, TColor ABackground, TColor AHoverColor,
                  TColor AVisitedColor, TColor ALinkColor, TColor Color, double Size);
    void SetBackground(TColor ABackground);
    void SetBackgroundBitmap(const std::string& Name, const PositionRecArray& APrec);
    void SetYOffset(int Y);
    int GetSelLength();
    void CopyToClipboard();
    // Copies the selection into the buffer; returns the count (with the closing 0).
    int GetSelTextBuf(char16_t* Buffer, int BufSize);
    // The selected text.
    std::u16string GetSelText();
    int DoLayout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs);
    int Layout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, int ClipWidth, int X, int Y, int XRef, int YRef) override;
    unsigned GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                       std::string& ATitle) override;
    int FindDocPos(int SourcePos, bool Prev);
    bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y);
    TSectionBase* FindSectionAtPosition(int Pos, int& TopPos, int& Index);
    // A copy of every form's data; null when there are no forms.
    std::unique_ptr<TFreeList<TStringList>> GetFormControlData();
    // Transp: 0 none, 1 lower-left colour, 2 own mask, 3 set by the loaders.
    TGraphic* GetTheBitmap(const std::string& BMName, Transparency& Transparent, TBitmap*& AMask, bool& FromCache,
                           bool& Delay);
    void GetBackgroundBitmap();
    void ProcessInlines(int SIndex, TProperties* Prop, bool Start);
    void CancelActives();
    void SetActiveImagePressed(bool Pressed);
    // The y of a character position.
    bool GetChPosY(int chPos, int& y) override;
    // Invalidates the paint panel.
    void Repaint();
    // Timer tick of the GIF animation.
    void HandleGifTimer();
    bool ViewerVisible() const;

private:
    void ReleaseBackground();
    std::unique_ptr<TStyleList> ownStyles_;
};

// Loads a file as a picture: a one-frame GIF becomes a bitmap and mask.
std::unique_ptr<TGraphic> LoadImageFile(const std::string& FName, std::unique_ptr<TBitmap>& AMask,
                                        Transparency& Transparent);
