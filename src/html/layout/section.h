#pragma once
// A paragraph of inline content: its text (UTF-16) with one break code per
// character, the font runs that say which font, colour and link cover which
// characters, the images, panels and form controls that stand in the text as
// placeholders, and after layout the list of lines.
//
// Placeholders: #2 (like an object for breaking, left out of copies), #4 an
// image, panel or control, #8 a hard line break. Break codes: 'y' a break is
// allowed, 'n' none, 's' a soft hyphen followed, 'a' break after.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/layout/borders.h"
#include "html/layout/document.h"
#include "html/reader/style_values.h"
#include "platform/gui/controls.h"

class TSection;
class TFontObj;

// The invisible focus holder of a link: a window of its own, off the view,
// so that the keys typed while the link has the focus reach it.
class ThtTabcontrol : public TCustomControl {
public:
    explicit ThtTabcontrol(TComponent* AOwner);
    TFontObj* Run = nullptr;
    void WndProc(TMessage& message) override;
    int GetDlgCode() const override { return DLGC_WANTARROWS; }
};

class TFontObj : public TSlabAllocated {
public:
    TFontObj(TSection* ASection, TMyFont* F, int Position);  // takes F
    TFontObj(TSection* ASection, std::shared_ptr<TMyFont> F, int Position);
    // The print copy: the plain link font for a link.
    TFontObj(TSection* ASection, const TFontObj& T);
    ~TFontObj();
    TFontObj(const TFontObj&) = delete;
    TFontObj& operator=(const TFontObj&) = delete;

    // Members ordered to leave no padding: every paragraph has a run.
    TSection* Section;
    bool Visited = false, Hover = false;
    bool Active = false;
    uint8_t SScript = 0;  // 0 normal, 8 sub, 9 super
    int YValue = 0;
    int Pos;
    int FontHeight = 0, tmHeight = 0, tmMaxCharWidth = 0, Overhang = 0, Descent = 0;
    // Shared with the runs (and property sets) of the same look; a run copies
    // it before it changes it.
    std::shared_ptr<TMyFont> TheFont;
    std::unique_ptr<TFontInfoArray> FontInfoArray;  // links only
    // The run's link; most runs have none and hold no target (a null target
    // reads as an empty one).
    std::unique_ptr<TUrlTarget> UrlTarget;
    std::unique_ptr<ThtTabcontrol> TabControl;

    const TUrlTarget& Link() const { return UrlTarget ? *UrlTarget : NoLink; }
    const std::string& Title() const { return title_.Get(); }
    void SetTitle(const std::string& Value) { title_.Set(Value); }
    // TUrlTarget::Copy and Clear, allocating only for a target that is not empty.
    void CopyLink(const TUrlTarget& from);
    void ClearLink() {
        if (UrlTarget) UrlTarget->Clear();
    }

    void SetVisited(bool Value);
    void SetHover(bool Value);
    // This run and the neighbouring runs of the same link.
    void SetHoverForLink(const std::vector<TFontObj*>& List, bool Value);
    const std::string& GetURL() const { return Link().URL; }
    void CreateFontInfoArray(TProperties* Prop);
    void AssignNewFont(TMyFont* F);  // takes F
    void ApplyFontInfo(const ThtFontInfo& Font);
    void SetLinkYPosition(int Y);
    void CreateFocusHolder(int TabIndex);
    // Metrics from the font (resolved through the current font service).
    void FontChanged();

    // Focus holder events.
    void EnterEvent();
    void ExitEvent();
    void KeyDownEvent(uint16_t& Key, TShiftState Shift);

private:
    static const TUrlTarget NoLink;
    TRareText title_;
    // The font for changing: a copy of its own when it is shared.
    TMyFont& OwnFont();
};

class TFontList : public TFreeList<TFontObj, TSlabAllocator<std::unique_ptr<TFontObj>>> {
public:
    TFontList() = default;
    TFontList(TSection* Section, const TFontList& T);
    TFontObj* GetFontObjAt(int Posn, int& Index) const;
    TMyFont* GetFontAt(int Posn, int& OHang) const;  // FontAtPosition
    // Characters up to the next run's start (or up to Leng).
    int GetFontCountAt(int Posn, int Leng) const;     // CharsToNextRun
    void Decrement(int N, TSectionList* ParentSectionList);  // DecrementPositions

private:
    int RunAfter(int Posn) const;
};

// One source-position run: characters from Pos on come from Index on.
struct IndexObj {
    int Pos;
    int Index;
};

// A paragraph's source-position runs. Nearly every paragraph has one run
// (its text is one stretch of the document): that one is held in place.
class TIndexRuns {
public:
    TIndexRuns() = default;
    TIndexRuns(const TIndexRuns& o)
        : one_(o.one_), n_(o.n_), more_(o.more_ ? std::make_unique<std::vector<IndexObj>>(*o.more_) : nullptr) {}
    TIndexRuns& operator=(const TIndexRuns&) = delete;

    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    const IndexObj* begin() const { return more_ ? more_->data() : &one_; }
    const IndexObj* end() const { return begin() + n_; }
    const IndexObj& operator[](size_t i) const { return begin()[i]; }
    const IndexObj& front() const { return *begin(); }
    const IndexObj& back() const { return begin()[n_ - 1]; }
    void clear() {
        n_ = 0;
        more_.reset();
    }
    void push_back(const IndexObj& r) {
        if (n_ == 0) {
            one_ = r;
        } else {
            if (!more_) more_ = std::make_unique<std::vector<IndexObj>>(1, one_);
            more_->push_back(r);
        }
        ++n_;
    }

private:
    IndexObj one_{};
    uint32_t n_ = 0;
    std::unique_ptr<std::vector<IndexObj>> more_;  // all the runs once there are two
};

// The borders of the inline boxes on a line, made on first use: most lines
// have none, and every paragraph has a line.
class TLineBorders {
public:
    TLineBorders() = default;
    TLineBorders(const TLineBorders& o) : list_(o.list_ ? std::make_unique<List>(*o.list_) : nullptr) {}
    TLineBorders(TLineBorders&&) noexcept = default;
    TLineBorders& operator=(const TLineBorders& o) {
        list_ = o.list_ ? std::make_unique<List>(*o.list_) : nullptr;
        return *this;
    }
    TLineBorders& operator=(TLineBorders&&) noexcept = default;
    bool empty() const { return !list_ || list_->empty(); }
    size_t size() const { return list_ ? list_->size() : 0; }
    const BorderRec& operator[](size_t i) const { return (*list_)[i]; }
    void clear() {
        if (list_) list_->clear();
    }
    void push_back(const BorderRec& r) {
        if (!list_) list_ = std::make_unique<List>();
        list_->push_back(r);
    }
    BorderRec* begin() { return list_ ? list_->data() : nullptr; }
    BorderRec* end() { return list_ ? list_->data() + list_->size() : nullptr; }
    const BorderRec* begin() const { return list_ ? list_->data() : nullptr; }
    const BorderRec* end() const { return list_ ? list_->data() + list_->size() : nullptr; }

private:
    using List = std::vector<BorderRec>;
    std::unique_ptr<List> list_;
};

struct LineRec {
    int Start = 0;  // index of its first character in the section's text
    int SpaceBefore = 0, SpaceAfter = 0;
    int LineHt = 0;
    int LineImgHt = 0;
    int Ln = 0;
    int Descent = 0;
    int LineIndent = 0;
    int DrawXX = 0;
    int DrawWidth = 0;
    int DrawY = 0;
    int Spaces = 0, Extra = 0;
    int FirstX = 0;
    bool FirstDraw = false;
    bool Shy = false;
    TLineBorders BorderList;
};

// The reader's no-break state (inside NOBR or a NOWRAP cell).
extern bool ParserNoBreak;

class TSection : public TSectionBase {
public:
    TSection(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop, TUrlTarget* AnURL, bool FirstItem);
    TSection(TCellBasic* AMasterList, const TSection& T);
    ~TSection() override;

    std::u16string BuffS;   // the text while it is built; the text after Finish
    std::string Brk;        // break codes (+ a closing 'y' once finished)
    std::vector<int> SIndexList;  // source positions while building
    TFontList Fonts;
    TImageObjList Images;   // FloatObjects
    TFormControlList FormControls;
    TIndexRuns SourceIndexRuns;
    std::vector<LineRec> Lines;
    uint8_t Justify = 1;   // Alignment: 1 left, 2 center, 3 right, 4 justify
    uint8_t ClearAttr = 0; // ClearMode: 0 none, 1 left, 2 right, 3 all
    int LineHeight = -1;   // LineHeightPx
    int AvailableWidth = 0;
    int CachedMin = 0, CachedMax = 0;
    int FirstLineIndent = 0;
    int FLPercent = 0;
    bool BreakWord = false;
    bool Finished = false;
    // The whole content of a table cell, read from a p element whose box adds
    // nothing (no margin, padding, border, background, size, float or
    // position): the paragraph stands in the cell in its block's place and is
    // laid out, painted, hit and copied as that block would have it.
    bool InPlaceOfBlock = false;

    const char16_t* Buff() const { return BuffS.c_str(); }

    // ---- building
    virtual void AddChar(char16_t C, int Index);
    virtual void AddTokenObj(TokenObj& T);
    void ChangeFont(TProperties* Prop);
    void HRef(Symb Sy, TSectionList* List, TUrlTarget* AnURL, TAttributeList* Attributes, TProperties* Prop);
    TImageObj* AddImage(TAttributeList* L, TCellBasic* ACell, int Index);
    TPanelObj* AddPanel(TAttributeList* L, TCellBasic* ACell, int Index);
    TPanelObj* CreatePanel(TAttributeList* L, TCellBasic* ACell);
    void AddObject(TFloatingObj* PO, int Index);  // takes PO
    TFormControlObj* AddFormControl(Symb Which, TSectionList* AMasterList, TAttributeList* L, TCellBasic* ACell,
                                    int Index, TProperties* Prop);
    void AllowBreakAfterLast();
    virtual void Finish(int SourceIndex = 0);
    void CheckFree() override;
    // Appends #4 for an object at the current end.
    void AddPlaceholder(int Index, char Code);

    // ---- overrides
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    void CopySelectionToBuffer(SelTextCount& Buffer) override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    int Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) override;
    bool DrawReach(int& Top, int& Bottom) override;
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
    bool IsSection() const override { return true; }
    bool IsPlain() const override;

    // ---- measuring (also used by drawing and hit tests)
    // Pixels of N characters from Start; DropTrailing leaves out trailing
    // spaces and #8.
    int TextWidth(TCanvas& Canvas, int Start, int N, bool DropTrailing);
    // How many of N characters from Start fit in Width.
    int FindCountThatFits(TCanvas& Canvas, int Width, int Start, int N);
    int FindTextWidthA(TCanvas& Canvas, int Start, int N) { return TextWidth(Canvas, Start, N, false); }

protected:
    void FinishText();
    void DeleteChar(int I);
    // Placed: the floats placed by the running layout, which a line tried
    // again lower must not place a second time.
    int FindLineCount(TCanvas& Canvas, int Start, int N, int Y, IndentManager& IMgr, int& ImgHt, int& Width,
                      std::vector<TFloatingObj*>& Later, std::vector<TFloatingObj*>& Placed, int& FloatBottom);
    void DrawTheText(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, LineRec& LR, int X, int Y,
                     int Start, bool FirstPass);
    void BuildBorderList(LineRec& LR);
    int LineAt(int Offset) const;  // index of the line holding a character offset
    // Characters of plain text from I, at most Limit: up to the next change of
    // font run, image or form control, and before any placeholder (one that
    // belongs to no object, such as a hidden field's). May be 0.
    int TextRunLength(int I, int Limit) const;
    // First position in I .. I + Limit - 1 holding C (a placeholder or #8),
    // or -1; found through an index of those characters, so that a long
    // paragraph is not rescanned line after line.
    int FindMarker(char16_t C, int I, int Limit) const;

    int SmallCapsStack_ = 0;
    mutable uint32_t markersFor_ = UINT32_MAX;  // the text length markers_ indexes
    mutable std::vector<int> markers_;  // positions of placeholders and #8

    // The width of the text from its start, all of it and without its trailing
    // spaces: measuring, fitting and placing a one-line paragraph each ask for
    // them. Kept for one font service generation and font resolution (all a
    // canvas adds); a paragraph with objects, or with runs that change font
    // later (links), is measured each time.
    struct TWholeText {
        unsigned fonts = 0;
        int trimmed = 0, full = 0;
        int16_t ppi = 0;  // 0: not measured
    };
    TWholeText whole_;
    // The widths above, or null when they cannot be kept.
    const TWholeText* WholeText(TCanvas& Canvas);
    int MeasureText(TCanvas& Canvas, int Start, int N);
};

// The paragraph of a pre element: keeps its line breaks, never wraps unless
// "word-wrap" is "break-word".
class TPreFormated : public TSection {
public:
    TPreFormated(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop, TUrlTarget* AnURL, bool FirstItem);
    TPreFormated(TCellBasic* AMasterList, const TPreFormated& T);
    std::unique_ptr<TSectionBase> CreateCopy(TCellBasic* AMasterList) const override;
    void Finish(int SourceIndex = 0) override;
    void MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) override;
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override;
    bool IsPreFormated() const override { return true; }

    int MaxWidthCache = -1;
};

// The shared one-entry cache of FindCountThatFits.
void ResetFitCache();
