#pragma once
// Small types and helpers the whole viewer shares: an owning list, tag
// attributes, the link a run of text belongs to, character buffers with
// source positions, code-page conversions, wide-string helpers, file names
// from URLs, and the id and anchor list. Text is UTF-16 throughout the
// viewer; attribute values stay bytes of the document's code page.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/reader/html_symbols.h"
#include "platform/runtime/string_list.h"

class TProperties;
class TCanvas;
struct TSize;

// A text most of its holders leave empty (a title): it takes room only once
// it is given one.
class TRareText {
public:
    TRareText() = default;
    TRareText(const TRareText& o) { Set(o.Get()); }
    TRareText& operator=(const TRareText& o) {
        if (this != &o) Set(o.Get());
        return *this;
    }
    const std::string& Get() const { return text_ ? *text_ : Empty(); }
    void Set(const std::string& value) {
        if (value.empty()) text_.reset();
        else if (text_) *text_ = value;
        else text_ = std::make_unique<std::string>(value);
    }

private:
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }
    std::unique_ptr<std::string> text_;
};

// A list that owns its items: deleting, clearing or destroying frees them.
// Extract hands an item back without freeing it. Alloc places the list of
// pointers.
template <class T, class Alloc = std::allocator<std::unique_ptr<T>>>
class TFreeList {
public:
    TFreeList() = default;
    virtual ~TFreeList() = default;
    TFreeList(const TFreeList&) = delete;
    TFreeList& operator=(const TFreeList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    T* operator[](int index) const { return items_[static_cast<size_t>(index)].get(); }
    T* Items(int index) const { return (*this)[index]; }
    T* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }

    // Takes ownership; returns the index.
    int Add(T* item) {
        items_.emplace_back(item);
        return Count() - 1;
    }
    int Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Insert(int index, T* item) { items_.emplace(items_.begin() + index, item); }
    void Insert(int index, std::unique_ptr<T> item) { items_.insert(items_.begin() + index, std::move(item)); }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    std::unique_ptr<T> Extract(int index) {
        std::unique_ptr<T> item = std::move(items_[static_cast<size_t>(index)]);
        items_.erase(items_.begin() + index);
        return item;
    }
    // Moves the items from index on to the end of `to`, the last first (so
    // that taking them back from the end of `to` keeps their order), while
    // `to` holds fewer than `limit`; the others are freed.
    void MoveTailTo(int index, std::vector<std::unique_ptr<T>>& to, size_t limit) {
        for (size_t i = items_.size(); i-- > static_cast<size_t>(index);)
            if (to.size() < limit) to.push_back(std::move(items_[i]));
        items_.resize(static_cast<size_t>(index));
    }
    // Exchanges the items with `other`.
    void SwapItems(std::vector<std::unique_ptr<T>>& other) { items_.swap(other); }
    int IndexOf(const T* item) const {
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item) return static_cast<int>(i);
        return -1;
    }
    void Clear() { items_.clear(); }
    void Reserve(int count) { items_.reserve(static_cast<size_t>(count)); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<T>, Alloc> items_;
};

// One attribute of a tag.
struct TAttribute {
    Symb Symbol = OtherAttribute;
    int NumValue = 0;
    std::string AttrName;   // as written, upper case
    std::string TextValue;  // bytes of CodePage
    int CodePage = 0;       // the document code page when it was read
};

class TAttributeList : public TFreeList<TAttribute> {
public:
    TAttributeList();
    ~TAttributeList() override;

    // First attribute with the symbol (linear search).
    bool Find(Symb symbol, TAttribute*& attribute) const;
    const TAttribute* Find(Symb symbol) const;
    // One line per attribute: name "=" value.
    std::unique_ptr<TStringList> CreateStringList() const;
    // CLASS trimmed and lower-cased; several names become one normal-form
    // key without its leading "." ("b a" -> "b.a").
    std::string GetClass() const;
    // ID lower-cased (cached until Clear).
    std::string GetID();
    std::string GetTitle() const;
    // The STYLE text parsed into a property set; nullptr when the tag has no
    // STYLE. Equal texts share one read-only set (a report repeats the same
    // STYLE on thousands of cells).
    const TProperties* GetStyle();
    const TProperties* StyleProp() const { return styleProp_.get(); }
    void Clear();
    // Forgets what Clear forgets but keeps the records, for a reader that
    // fills them again.
    void ForgetCached() {
        CachedID.clear();
        idCached_ = false;
    }
    // Becomes a copy of `from`, reusing its own records.
    void AssignFrom(const TAttributeList& from);

    std::string CachedID;

private:
    std::shared_ptr<const TProperties> styleProp_;
    bool idCached_ = false;
};

// Start and last document positions of a link's text (-1 when not set).
struct TutText {
    int Start = -1;
    int Last = -1;
};

// The link a run of text belongs to.
class TUrlTarget {
public:
    std::string URL;
    std::string Target;
    int ID = 0;        // unique per link for the whole run
    std::string Attr;  // the link's attributes, one "name=value" line each (CR LF)
    TutText LinkText;
    int TabIndex = 0;

    void Assign(const std::string& url, const std::string& target, const TAttributeList& attributes, int start);
    void Copy(const TUrlTarget& other);
    void Clear();
    void SetLast(int position) { LinkText.Last = position; }
    // Sets Last here and on the link targets of the runs at the end of `runs`
    // that carry this link's ID. `runs` needs Count() and operator[] giving
    // pointers to objects with an UrlTarget member (a TUrlTarget, a pointer to
    // one or a unique_ptr).
    template <class RunList>
    void SetLast(const RunList& runs, int position) {
        LinkText.Last = position;
        for (int i = runs.Count() - 1; i >= 0; --i) {
            TUrlTarget* t = TargetOf(runs[i]->UrlTarget);
            if (!t || t->ID != ID) break;
            t->LinkText.Last = position;
        }
    }

private:
    static TUrlTarget* TargetOf(TUrlTarget& t) { return &t; }
    static TUrlTarget* TargetOf(TUrlTarget* t) { return t; }
    static TUrlTarget* TargetOf(const std::unique_ptr<TUrlTarget>& t) { return t.get(); }
};

// 8-bit characters with the source position of each.
class TCharCollection {
public:
    TCharCollection();
    void Add(char c, int index);
    // Adds n bytes whose positions run on from firstIndex.
    void Append(const char* bytes, int n, int firstIndex);
    void Concat(const TCharCollection& other);
    std::string GetAsString() const { return Chars.substr(0, static_cast<size_t>(Size)); }
    void Clear() { Size = 0; }

    std::string Chars;         // room grows by 50
    std::vector<int> Indices;  // same length as Chars
    int Size = 0;
};

// A token of text for the paragraphs: wide characters with source positions.
// Indices are 0-based: C[0..Leng-1], I[0..Leng-1].
class TokenObj {
public:
    TokenObj();
    void AddUnicodeChar(char16_t ch, int index);
    // Adds n Windows-1252 bytes whose positions run on from firstIndex, as
    // AddString would convert them.
    void AddCp1252(const char* bytes, int n, int firstIndex);
    // Converts the bytes with the code page; each wide character takes the
    // source position of the first byte of its character.
    void AddString(const TCharCollection& chars, int codePage);
    // Appends another token.
    void Concat(const TokenObj& other);
    const std::u16string& GetString() const;
    void Clear();
    // Drops the first n characters.
    void Remove(int n);

    std::vector<char16_t> C;
    std::vector<int> I;
    int MaxIndex = 300;
    int Leng = 0;

private:
    void Grow();
    mutable std::u16string s_;
    mutable bool stringOK_ = true;
};

// ---- code pages ----

// Converted with the code page; when that gives nothing, with the system ANSI
// code page (Windows-1252).
std::u16string MultibyteToWideString(int codePage, const std::string& s);
std::string WideStringToMultibyte(int codePage, const std::u16string& s);
// Bytes of the character at p (NUL-terminated text): UTF-8 lead bytes give
// 2..4, double-byte code pages 2 for a lead byte followed by a byte, a NUL 0,
// everything else 1.
int CharLength(int codePage, const char* p);

// ---- wide strings ----

const char16_t* WidePos(const char16_t* text, const char16_t* sub);  // null-terminated
const char16_t* WideStrScan(const char16_t* text, char16_t ch);
const char16_t* WideStrRScan(const char16_t* text, char16_t ch);
int WideStrPos(const std::u16string& sub, const std::u16string& s);  // 1-based, 0 absent
std::u16string WideUpperCase(const std::u16string& s);
std::u16string WideLowerCase(const std::u16string& s);
char16_t WideUpperChar(char16_t c);
char16_t WideLowerChar(char16_t c);
bool WideSameStr(const std::u16string& a, const std::u16string& b);
std::u16string WideTrim(const std::u16string& s);
// Position (1-based) of sub at or after start (start <= 1 searches all); 0 absent.
int PosX(const std::string& sub, const std::string& s, int start = 0);
inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }

// Characters of text[0..count) that fit in width on the canvas's font, and
// their extent (0 when none fit).
int FitText(TCanvas& canvas, const char16_t* text, int count, int width, TSize& extent);
TSize GetTextExtent(TCanvas& canvas, const char16_t* text, int count);

// ---- URLs as file names ----

// "%" + two hex digits decoded; a "%" first or in the last two characters stops
// decoding; a pair that is not hexadecimal raises EConvertError.
std::string DecodeURLEscapes(const std::string& s);
// Escapes decoded; with a "/", "file:///", "file://" or "file:/" dropped, "|"
// to ":" and "/" to "\".
std::string HTMLServerToDos(const std::string& url);
// HTMLServerToDos, trimmed; a result beginning with a single "\" gets the base
// path in front.
std::string HTMLToDos(const std::string& url, const std::string& basePath);

// When set, form-control values are decoded with the document's code page.
extern bool FormControlTextConversion;
// The platform lacks the wide-character interface (never on this platform).
constexpr bool PlatformLacksWideApi = false;

// ---- ids and anchors ----

// Anything an id or anchor can point at.
class TIDObject {
public:
    virtual ~TIDObject();
    virtual int GetYPosition() = 0;
};

// What an anchor at a character position asks for its y.
class TChPosSource {
public:
    virtual ~TChPosSource();
    // The y of a document character position; false when not found.
    virtual bool GetChPosY(int chPos, int& y) = 0;
};

class TChPosObj : public TIDObject {
public:
    TChPosObj(TChPosSource* list, int chPos) : ChPos(chPos), List(list) {}
    int GetYPosition() override;
    int ChPos;
    TChPosSource* List;
};

// Sorted (case-insensitive) list of ids and anchor names with the object each
// points at. TChPosObj objects are owned; others belong to their sections.
class TIDNameList {
public:
    explicit TIDNameList(TChPosSource* list = nullptr) : list_(list) {}
    ~TIDNameList();
    TIDNameList(const TIDNameList&) = delete;
    TIDNameList& operator=(const TIDNameList&) = delete;

    // A name already present is replaced (its TChPosObj freed).
    void AddObject(const std::string& name, TIDObject* object);
    void AddChPosObject(const std::string& name, int position);
    bool Find(const std::string& name, int& index) const;
    int IndexOf(const std::string& name) const;
    TIDObject* ObjectOf(const std::string& name) const;
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Strings(int i) const { return items_[static_cast<size_t>(i)].name; }
    TIDObject* Objects(int i) const { return items_[static_cast<size_t>(i)].object; }
    void Clear();
    // Takes the name out (freeing its TChPosObj).
    void Delete(int index) { Remove(index); }
    void SetSource(TChPosSource* list) { list_ = list; }

private:
    struct Entry {
        std::string name;
        TIDObject* object;
        bool owned;
    };
    void Remove(int index);
    std::vector<Entry> items_;
    TChPosSource* list_;
};
