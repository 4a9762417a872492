#pragma once
// Value conversions of the style side: colour names and colour texts, CSS
// lengths to pixels, CSS font sizes to points, the box arrays that blocks,
// cells, images and controls lay out with, and the font objects built from a
// property set.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gui/graphics.h"

class TCanvas;

// Length sentinels kept in the length slots and converted arrays.
constexpr int IntNull = -12345678;     // not set
constexpr int ParaSpace = -12348766;   // default paragraph spacing (14 px, automatic)
constexpr int Auto = -12348765;        // "auto"
constexpr int ParaSpacePixels = 14;

// Palette-relative flag of colours read from hex or rgb texts.
constexpr TColor PalRelative = 0x02000000;

// One property value: empty (not given), text, integer or real.
// Sixteen bytes: a text is held by a shared, reference-counted block, so the
// cascade copies property sets (sixty values per element) without copying or
// allocating strings. Values belong to the GUI thread (the count is plain).
class TPropValue {
public:
    enum Kind : uint8_t { vEmpty, vText, vInt, vReal };
    TPropValue() noexcept : bits_(0) {}
    TPropValue(const std::string& s) : kind_(vText), text_(NewText(s)) {}  // NOLINT: values convert freely
    TPropValue(const char* s) : kind_(vText), text_(NewText(s)) {}         // NOLINT
    TPropValue(int i) noexcept : kind_(vInt), int_(i) {}                   // NOLINT
    TPropValue(double r) noexcept : kind_(vReal), real_(r) {}              // NOLINT
    TPropValue(const TPropValue& o) noexcept : kind_(o.kind_), bits_(o.bits_) {
        if (kind_ == vText) ++text_->refs;
    }
    TPropValue(TPropValue&& o) noexcept : kind_(o.kind_), bits_(o.bits_) { o.kind_ = vEmpty; }
    TPropValue& operator=(const TPropValue& o) noexcept {
        if (o.kind_ == vText) ++o.text_->refs;
        Release();
        kind_ = o.kind_;
        bits_ = o.bits_;
        return *this;
    }
    TPropValue& operator=(TPropValue&& o) noexcept {
        if (this != &o) {
            Release();
            kind_ = o.kind_;
            bits_ = o.bits_;
            o.kind_ = vEmpty;
        }
        return *this;
    }
    ~TPropValue() { Release(); }

    Kind kind() const { return kind_; }
    bool IsEmpty() const { return kind_ == vEmpty; }
    bool IsText() const { return kind_ == vText; }
    bool IsInt() const { return kind_ == vInt; }
    bool IsReal() const { return kind_ == vReal; }
    bool IsNumber() const { return kind_ == vInt || kind_ == vReal; }
    const std::string& Text() const { return kind_ == vText ? text_->text : EmptyText(); }  // "" unless text
    int Int() const { return kind_ == vInt ? int_ : 0; }                                       // 0 unless integer
    double Real() const { return kind_ == vReal ? real_ : kind_ == vInt ? int_ : 0.0; }
    // Integer equal to v.
    bool Is(int v) const { return kind_ == vInt && int_ == v; }
    // Text equal to s.
    bool Is(const char* s) const { return kind_ == vText && text_->text == s; }
    void Clear() {
        Release();
        kind_ = vEmpty;
    }
    // A copy of o (same kind and payload): cheaper than == and implies it.
    bool SameCopy(const TPropValue& o) const { return kind_ == o.kind_ && bits_ == o.bits_; }
    bool operator==(const TPropValue& o) const {
        if (kind_ != o.kind_) return false;
        switch (kind_) {
            case vText: return text_ == o.text_ || text_->text == o.text_->text;
            case vInt: return int_ == o.int_;
            case vReal: return real_ == o.real_;
            default: return true;
        }
    }

private:
    struct SharedText {
        uint32_t refs;
        std::string text;
    };
    static SharedText* NewText(std::string s) { return new SharedText{1, std::move(s)}; }
    static const std::string& EmptyText();
    void Release() noexcept {
        if (kind_ == vText && --text_->refs == 0) delete text_;
    }
    Kind kind_ = vEmpty;
    union {
        int int_;
        double real_;
        SharedText* text_;
        uint64_t bits_;  // the payload as a whole, for copies
    };
};
static_assert(sizeof(TPropValue) == 16, "a property value stays small");

// Box arrays indexed like the property index (9..36 used; 0..8 unused).
constexpr int MargLow = 9, MargHigh = 36;
using MargArrayO = std::array<TPropValue, 37>;
using MargArray = std::array<int, 37>;

// Value sets shared lately, the one found last tried first: boxes of the
// same look come one after another, so a new box mostly finds its set here.
template <class T, size_t N = 8>
class TRecentSets {
public:
    // A recent set equal to `values`, or null.
    std::shared_ptr<T> Find(const T& values) {
        for (size_t k = 0; k < N; ++k) {
            const size_t i = (found_ + k) % N;
            const std::shared_ptr<T>& r = sets_[i];
            if (r && (r.get() == &values || *r == values)) {
                found_ = i;
                return r;
            }
        }
        return nullptr;
    }
    void Remember(std::shared_ptr<T> values) {
        sets_[next_] = std::move(values);
        next_ = (next_ + 1) % N;
    }
    // An equal set made lately, else a new copy of `values`, remembered.
    std::shared_ptr<T> Share(const T& values) {
        if (auto r = Find(values)) return r;
        auto made = std::make_shared<T>(values);
        Remember(made);
        return made;
    }

private:
    std::array<std::shared_ptr<T>, N> sets_;
    size_t found_ = 0, next_ = 0;
};

// A box's values as given, shared between boxes that hold the same ones
// (every cell paragraph of a long report does): copied on the first edit.
class TSharedBoxValues {
public:
    TSharedBoxValues();
    const TPropValue& operator[](size_t i) const { return (*values_)[i]; }
    operator const MargArrayO&() const { return *values_; }  // NOLINT: read like the array
    // The values for changing (a private copy when they are shared).
    MargArrayO& Edit();
    // After filling or editing: shares an equal set made lately, if any.
    void Share();
    // Takes values filled elsewhere: an equal set made lately, else a copy.
    void Assign(const MargArrayO& values);

private:
    std::shared_ptr<MargArrayO> values_;
};

// Converted box values shared between boxes that convert alike (the cells
// and paragraphs of a long table do). Zeros until assigned.
class TSharedMargArray {
public:
    TSharedMargArray();
    int operator[](size_t i) const { return (*values_)[i]; }
    operator const MargArray&() const { return *values_; }  // NOLINT: read like the array
    // Takes an equal set made lately, else a copy of m.
    void Assign(const MargArray& m);

private:
    std::shared_ptr<const MargArray> values_;
};

// ---- colours ----

// Colour from a name, "#rgb", "#rrggbb", "rgb(r, g, b)"; with needPound a hex
// text without "#" is refused.
bool ColorFromString(const std::string& text, bool needPound, TColor& color);
// Part after "rgb": "(r, g, b)" with numbers or percentages.
bool RGBFromString(const std::string& text, TColor& color);

// ---- lengths and sizes ----

// Every length and count read from a page is held to +-kMaxPageLength: no
// real page comes near it, and the layout can add up a box's margins,
// borders, paddings, width and offsets at every nesting level, or multiply a
// count by a line or character size, without overflowing.
constexpr int kMaxPageLength = 32000;
// v rounded (halves to even) and held to +-kMaxPageLength; NaN gives 0.
int ClampPageLength(double v);
// The leading whole number of a page's text (blanks, an optional sign,
// digits), held to +-kMaxPageLength; 0, and *found false, when there is none.
int PageInteger(const std::string& text, bool* found = nullptr);
// Thousands of such lengths still add up: the sums the layout makes (lines,
// sections, rows, columns) stop at +-kMaxPageExtent, so everything beyond
// lands at that edge and the box values added on top of it still fit in an int.
constexpr int kMaxPageExtent = 1 << 29;
inline int AddExtent(int64_t a, int64_t b) {
    const int64_t s = a + b;
    return static_cast<int>(s > kMaxPageExtent ? kMaxPageExtent : s < -kMaxPageExtent ? -kMaxPageExtent : s);
}

// Pixels of a CSS length: "in", "cm", "mm", "pt", "px", "pc", "em", "ex", "%"
// (of base); any other unit gives def; no unit gives base * v when relative,
// else v. Rounded halves to even.
int LengthConv(const std::string& text, bool relative, int base, int def, int exSize, int emSize);
// Points of a CSS font size against a base size in points.
double FontSizeConv(const std::string& text, double base);
// The unit-wide default point size (set by the default sheet).
extern double DefPointSize;

// The url of a "url(...)" text ("" when there is none).
std::string ReadURL(const std::string& value);
// First installed face of a comma-separated family list (generic names map
// to "Times New Roman", "Courier New", "Arial", "Lucida Handwriting"); "".
std::string ReadFontName(const std::string& list);
// Whether a face counts as installed. Replaceable for tests; nullptr restores
// the default (the installed families and the well-known faces the font
// service stands in for).
using TFontInstalledCheck = std::function<bool(const std::string&)>;
void SetFontInstalledCheck(TFontInstalledCheck check);
bool FontIsInstalled(const std::string& name);

// Windows character set to code page; false when the set is not in the table.
bool CharSetToCodePage(int charSet, int& codePage);

// ---- box arrays ----

void ConvMargArray(const MargArrayO& o, int base, int height, int emSize, int exSize, int& autoCount,
                   MargArray& m);
void ConvInlineMargArray(const MargArrayO& o, int base, MargArray& m, int emSize, int exSize);
void ConvVertMargins(const MargArrayO& o, int emSize, int exSize, MargArray& m);

// ---- fonts ----

class ThtFontInfo {
public:
    std::string Name;
    double Size = 12;  // points
    TFontStyles Style = 0;
    TColor Color = clBlack;
    TColor BkColor = clNone;
    int CharSet = DEFAULT_CHARSET;
    TPropValue CharExtra;  // "letter-spacing" as stored
    void Assign(const ThtFontInfo& o) { *this = o; }
};

// Fonts of a link: 0 link, 1 visited, 2 hovered, 3 hovered visited.
class TFontInfoArray {
public:
    std::array<ThtFontInfo, 4> Ary;
    void Assign(const TFontInfoArray& o) { Ary = o.Ary; }
};

// A platform font with its background colour, its screen metrics and its
// letter spacing.
class TMyFont : public TFont {
public:
    TColor BkColor = clNone;
    int tmHeight = 0;
    int tmDescent = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmCharset = 0;
    int CharExtra = 0;

    void Assign(const TMyFont& other);
    void Assign(const TFont& other) { TFont::Assign(other); }
    // Sets the canvas font and the canvas's character extra.
    void AssignToCanvas(TCanvas& canvas) const;
};
