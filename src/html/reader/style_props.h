#pragma once
// The CSS side of the viewer: one property set per open element
// (TProperties), the style sheet (TStyleList: selector key to property set),
// the built-in default sheet, and the cascade that gives each element its
// properties when the parser opens it.
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/reader/style_values.h"
#include "html/reader/viewer_types.h"

// Property index: position of the name in PropWords.
enum PropIndices : int {
    piFontFamily = 0, piFontSize, piFontStyle, piFontWeight, piTextAlign, piTextDecoration,
    piLetterSpacing, piBorderStyle, piColor, piBackgroundColor, piBorderColor,
    piMarginTop, piMarginRight, piMarginBottom, piMarginLeft,
    piPaddingTop, piPaddingRight, piPaddingBottom, piPaddingLeft,
    piBorderTopWidth, piBorderRightWidth, piBorderBottomWidth, piBorderLeftWidth,
    piBorderTopColor, piBorderRightColor, piBorderBottomColor, piBorderLeftColor,
    piBorderTopStyle, piBorderRightStyle, piBorderBottomStyle, piBorderLeftStyle,
    piWidth, piHeight, piTopPos, piBottomPos, piRightPos, piLeftPos,
    piVisibility, piLineHeight, piBackgroundImage, piBackgroundPosition, piBackgroundRepeat,
    piBackgroundAttachment, piVerticalAlign, piPosition, piZIndex, piListStyleType,
    piListStyleImage, piFloat, piClear, piTextIndent, piPageBreakBefore, piPageBreakAfter,
    piPageBreakInside, piTextTransform, piWordWrap, piFontVariant, piBorderCollapse,
    piOverflow, piDisplay,
    PropCount
};
static_assert(PropCount == 60, "60 properties");

extern const char* const PropWords[PropCount];
// Index of an exact (case-sensitive) property name.
bool PropertyFromString(const std::string& name, int& index);

// "none" 0, "solid" 1, "inset" 2, "outset" 3, "groove" 4, "ridge" 5,
// "dashed" 6, "dotted" 7, "double" 8; unknown 0.
int BorderStyleFromString(const std::string& text);
// Image, panel, control and cell alignment codes; 0 for anything else.
int AlignmentFromString(const std::string& text);

class TStyleList;
class TCascadeMemo;

// Background position: kinds 0 top, 1 center, 2 bottom, 3 left, 4 right,
// 5 percent, 6 length.
struct PositionRec {
    int PosType = 6;
    int Value = 0;
    bool RepeatD = true;
    bool Fixed = false;
};
using PositionRecArray = std::array<PositionRec, 2>;  // horizontal, vertical

// A set's sixty values, shared between the sets that hold the same ones (a
// remembered cascade result and the stack entries made from it): a set makes
// its own copy on its first change. Read like the array; change through Edit.
class TPropValues {
public:
    using Array = std::array<TPropValue, PropCount>;
    TPropValues();
    TPropValues(const TPropValues& o) noexcept : b_(o.b_) { ++b_->refs; }
    TPropValues& operator=(const TPropValues& o) noexcept {
        ++o.b_->refs;
        Release();
        b_ = o.b_;
        return *this;
    }
    ~TPropValues() { Release(); }

    const TPropValue& operator[](size_t i) const { return b_->values[i]; }
    static constexpr size_t size() { return PropCount; }
    // The values for changing (a private copy when they are shared).
    Array& Edit() {
        if (b_->refs > 1) Detach();
        return b_->values;
    }
    TPropValue& Edit(size_t i) { return Edit()[i]; }
    bool SameBlock(const TPropValues& o) const { return b_ == o.b_; }
    bool operator==(const TPropValues& o) const { return SameBlock(o) || b_->values == o.b_->values; }

private:
    struct Block {
        uint32_t refs;
        Array values;
    };
    void Detach();
    void Release() noexcept {
        if (--b_->refs == 0) delete b_;
    }
    Block* b_;
};

class TProperties : public std::enable_shared_from_this<TProperties> {
public:
    TProperties();
    ~TProperties();
    TProperties(const TProperties&) = delete;
    TProperties& operator=(const TProperties&) = delete;
    // The reader pushes and pops a set for every element; a set is too large
    // for the allocator's quick lists, so a few freed ones are kept for reuse.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    // Element facts.
    bool HasFontInfo = false;
    std::string DefFontname;
    std::string PropTag, PropClass, PropID, PropPseudo, PropTitle;
    // The element's style= set, held by Combine so it outlives the attribute
    // list it came from (shared when the set is, copied otherwise).
    const TProperties* PropStyle = nullptr;
    TColor BackgroundColorCache = clNone;
    int CharSet = DEFAULT_CHARSET;
    int CodePage = 0;
    int EmSize = 16, ExSize = 8;
    TPropValues Props;
    std::array<bool, PropCount> PropSet{};
    std::unique_ptr<TFontInfoArray> FontInfoArray;
    int SerialID;

    void Copy(const TProperties& source);
    void CopyDefaultFont(const TProperties& source);
    void Inherit(const std::string& tag, const TProperties& parent);
    // After an entry below was removed from the parser stack.
    void Reinherit(const TProperties& parent, TStyleList* styles, int stackIndex);
    void Combine(TStyleList* styles, const std::string& tag, const std::string& cls, const std::string& id,
                 const std::string& pseudo, const std::string& title, const TProperties* styleAttr);
    // A presentational attribute: stored only when the element's rules did not
    // set the property.
    void Assign(const TPropValue& value, int index);
    void AddPropertyByIndex(int index, const std::string& value);
    void AddPropertyByName(const std::string& name, const std::string& value);
    void AssignCharSet(int charSet);
    void AssignUTF8();

    // Getters.
    bool GetFloat(int& align) const;
    bool GetClear(int& clear) const;
    int GetPosition() const;
    int GetVisibility() const;
    int GetZIndex() const;
    bool DisplayNone() const;
    bool IsOverflowHidden() const;
    bool Collapse() const;
    bool GetVertAlign(int& align) const;
    int GetListStyleType() const;
    std::string GetListStyleImage() const;
    bool GetBackgroundImage(std::string& image) const;
    TColor GetBackgroundColor() const;
    TColor GetOriginalForegroundColor() const;
    void GetBackgroundColorInt();
    int GetBorderStyle() const;
    bool HasBorderStyle() const;
    int GetTextTransform() const;
    std::string GetFontVariant() const;
    void GetPageBreaks(bool& before, bool& after, bool& inside) const;
    int GetLineHeight(int newHeight) const;
    int GetTextIndent(bool& isPercent) const;
    void GetBackgroundPos(int emSize, int exSize, PositionRecArray& pos) const;
    // Margin-top and -bottom converted (base for percentages); the flags tell
    // which of them is the default paragraph spacing.
    void GetVMarginArray(MargArray& m, bool& topAuto, bool& bottomAuto, int base = 400) const;
    void GetBorderStyles(MargArrayO& o) const;
    // A new font (owned by the caller); also sets EmSize and ExSize.
    std::unique_ptr<TMyFont> GetFont();
    // The set's font itself, shared: whoever changes it must copy it first.
    std::shared_ptr<TMyFont> SharedFont();
    // Makes the set's font (TheFont) and sets EmSize and ExSize, as GetFont does.
    void EnsureFont();
    void GetFontInfo(ThtFontInfo& info) const;
    void SetFontInfoArray(TFontInfoArray& target) const;

    // The font made once per set (shared with the sets of the same look).
    const TMyFont* TheFont() const { return theFont_.get(); }
    // True when the box properties draw a border (inline boxes are opened for it).
    bool HasBorder() const;

private:
    friend class TStyleList;
    friend class TCascadeMemo;
    friend TProperties* PushCascade(TStyleList*, const std::string&, const std::string&, const std::string&,
                                    const std::string&, const std::string&, const TProperties*);
    // A copy of a remembered state (Inherit and Combine's result), with its own serial.
    struct CascadeCopy {};
    TProperties(const TProperties& state, CascadeCopy);
    // A change made to a set that is a copy of a remembered state leads to
    // another remembered state: the next set changed alike copies that one.
    struct StateChange {
        int index;  // the property assigned; -1: the font made
        TPropValue value;
        // What a font is made from besides the set.
        unsigned fontGeneration, checkGeneration;
        double point;
        bool operator==(const StateChange& o) const;
    };
    // The memo that remembers this set's state, when the set is a copy of it.
    TCascadeMemo* ExactMemo() const;
    // Takes the state the change led to before (true), or remembers the
    // change's result after it was made (`from`: the state before it).
    bool AdoptChange(TCascadeMemo* memo, const StateChange& change);
    void RememberChange(TCascadeMemo* memo, uint32_t from, StateChange change);
    void CombineClass(TStyleList* styles, const std::string& tag, const std::string& cls, const std::string& id,
                      const std::string& pseudo, const TProperties* styleAttr);
    void Merge(const TProperties& source);
    void MergeKey(TStyleList* styles, const std::string& key);
    bool MatchContextual(TStyleList* styles, int keyIndex, const std::string& tag, const std::string& cls,
                         const std::string& id, const std::string& pseudo);
    void SetLinkFontInfo(TStyleList* styles, int stackIndex);
    int StackIndexOfSelf() const;
    // Builds theFont_ from the properties and sets EmSize and ExSize.
    void MakeFont();

    // Every change goes through here: the set no longer matches a remembered state.
    void Touch() {
        cascadeState_ = 0;
        exactState_ = false;
    }
    // Whether a child inherits the same from this set as from `o`.
    bool SameForChildren(const TProperties& o) const;
    size_t HashForChildren() const;

    std::shared_ptr<TMyFont> theFont_;  // never changed once made
    std::shared_ptr<const TProperties> ownStyle_;
    // The remembered state this set last matched (0: none yet).
    mutable uint32_t cascadeState_ = 0;
    // The set is a copy of that state, not only alike for its children.
    mutable bool exactState_ = false;
    // The memo's number of the tags, classes, ids and pseudo-classes from the
    // stack's bottom up to this entry (0: not known yet).
    uint32_t pathId_ = 0;
};

// Pushes an element's set on ParserPropStack: inherited from the top entry
// (if any) and combined with the rules. Elements of a document repeat the same
// few sets: the style list remembers each result by what it was made from.
TProperties* PushCascade(TStyleList* styles, const std::string& tag, const std::string& cls, const std::string& id,
                         const std::string& pseudo, const std::string& title, const TProperties* styleAttr);

// The parser's stack of property sets (bottom entry = the document defaults).
class TPropStack : public TFreeList<TProperties> {
public:
    TProperties* Top() const { return Last(); }
};
// One document is read at a time: the reader and the cascade share this.
extern TPropStack ParserPropStack;

class TStyleList {
public:
    TStyleList();
    ~TStyleList();
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    // Sorted, case-insensitive; duplicates go after the equal keys.
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Strings(int i) const { return items_[static_cast<size_t>(i)].key; }
    TProperties* Objects(int i) const { return items_[static_cast<size_t>(i)].props.get(); }
    // Index of the first equal key (true) or of where it would go (false).
    bool Find(const std::string& key, int& index) const;
    TProperties* PropsOf(const std::string& key) const;
    int AddObject(const std::string& key, std::unique_ptr<TProperties> props);
    void Clear();

    void AddSelectorProp(const std::string& selector, const std::string& name, const std::string& value);
    void AddDuplicate(const std::string& selector, const TProperties& source);
    void SetPseudoColor(const std::string& pseudo, TColor color);
    std::string GetSeqNo();
    void Initialize(const std::string& fontName, const std::string& preFontName, int marginWidth,
                    int marginHeight, int charSet, bool underlineLinks, TColor hoverColor, TColor visitedColor,
                    TColor linkColor, TColor fontColor, double pointSize);

    // Drops the remembered cascade results (a new document, or its rules changed).
    void ForgetCascade();

    int SeqNo = 10;
    TProperties* DefProp = nullptr;
    // Raised by a rule for ":hover"; the section list reads it.
    bool LinksActive = false;
    std::function<void()> OnLinksActive;

private:
    friend TProperties* PushCascade(TStyleList*, const std::string&, const std::string&, const std::string&,
                                    const std::string&, const std::string&, const TProperties*);
    struct Item {
        std::string key;
        std::unique_ptr<TProperties> props;
    };
    std::vector<Item> items_;
    std::unique_ptr<TCascadeMemo> cascade_;
};

// Stores a value the way TStyleList.AddSelectorProp and
// TProperties.AddPropertyByIndex do; `strictColor` leaves a bad colour unset.
void StorePropValue(TProperties& p, int index, const std::string& value, bool strictColor);
