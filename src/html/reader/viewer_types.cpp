#include "html/reader/viewer_types.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/strutil.h"

bool FormControlTextConversion = true;

namespace {
int g_linkCounter = 0;

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}
}  // namespace

// ---------------------------------------------------------------- attributes

TAttributeList::TAttributeList() = default;
TAttributeList::~TAttributeList() = default;

bool TAttributeList::Find(Symb symbol, TAttribute*& attribute) const {
    for (int i = 0; i < Count(); ++i)
        if ((*this)[i]->Symbol == symbol) {
            attribute = (*this)[i];
            return true;
        }
    attribute = nullptr;
    return false;
}

const TAttribute* TAttributeList::Find(Symb symbol) const {
    TAttribute* a = nullptr;
    Find(symbol, a);
    return a;
}

std::unique_ptr<TStringList> TAttributeList::CreateStringList() const {
    auto list = std::make_unique<TStringList>();
    for (int i = 0; i < Count(); ++i) list->Add((*this)[i]->AttrName + "=" + (*this)[i]->TextValue);
    return list;
}

std::string TAttributeList::GetClass() const {
    const TAttribute* a = Find(ClassSy);
    if (!a) return {};
    std::string s = LowerAscii(Trim(a->TextValue));
    if (s.find(' ') == std::string::npos && s.find('\t') == std::string::npos) return s;
    std::string joined;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
        if (j > i) joined += "." + s.substr(i, j - i);
        i = j;
    }
    std::string r = SortContextualItems(joined);
    if (!r.empty() && r[0] == '.') r.erase(0, 1);
    return r;
}

std::string TAttributeList::GetID() {
    if (idCached_) return CachedID;
    const TAttribute* a = Find(IDSy);
    CachedID = a ? LowerAscii(a->TextValue) : std::string();
    idCached_ = true;
    return CachedID;
}

std::string TAttributeList::GetTitle() const {
    const TAttribute* a = Find(TitleSy);
    return a ? a->TextValue : std::string();
}

const TProperties* TAttributeList::GetStyle() {
    const TAttribute* a = Find(StyleSy);
    if (!a) return nullptr;
    // Parsing depends on the text alone; the cache is emptied when it grows
    // large, so odd documents cannot make it hold much.
    static std::unordered_map<std::string, std::shared_ptr<const TProperties>> parsed;
    auto it = parsed.find(a->TextValue);
    if (it == parsed.end()) {
        if (parsed.size() >= 256) parsed.clear();
        auto p = std::make_shared<TProperties>();
        ParsePropertyStr(a->TextValue, p.get());
        it = parsed.emplace(a->TextValue, std::move(p)).first;
    }
    styleProp_ = it->second;
    return styleProp_.get();
}

void TAttributeList::Clear() {
    ForgetCached();
    TFreeList<TAttribute>::Clear();
}

void TAttributeList::AssignFrom(const TAttributeList& from) {
    CachedID.clear();
    idCached_ = false;
    styleProp_.reset();
    const int n = from.Count();
    while (Count() > n) Delete(Count() - 1);
    for (int i = 0; i < n; ++i) {
        if (i < Count())
            *(*this)[i] = *from[i];
        else
            Add(std::make_unique<TAttribute>(*from[i]));
    }
}

// ---------------------------------------------------------------- link target

void TUrlTarget::Assign(const std::string& url, const std::string& target, const TAttributeList& attributes,
                        int start) {
    URL = url;
    Target = target;
    ID = ++g_linkCounter;
    LinkText.Start = start;
    Attr = attributes.CreateStringList()->Text();
}

void TUrlTarget::Copy(const TUrlTarget& other) {
    URL = other.URL;
    Target = other.Target;
    ID = other.ID;
    Attr = other.Attr;
    LinkText = other.LinkText;
    TabIndex = other.TabIndex;
}

void TUrlTarget::Clear() {
    URL.clear();
    Target.clear();
    ID = 0;
    TabIndex = 0;
    LinkText.Start = -1;
    LinkText.Last = -1;
}

// ---------------------------------------------------------------- character buffers

TCharCollection::TCharCollection() : Chars(300, '\0'), Indices(300, 0) {}

void TCharCollection::Add(char c, int index) {
    if (Size >= static_cast<int>(Chars.size())) {
        Chars.resize(Chars.size() + 50);
        Indices.resize(Indices.size() + 50);
    }
    Chars[static_cast<size_t>(Size)] = c;
    Indices[static_cast<size_t>(Size)] = index;
    ++Size;
}

void TCharCollection::Append(const char* bytes, int n, int firstIndex) {
    if (n <= 0) return;
    while (Size + n > static_cast<int>(Chars.size())) {
        Chars.resize(Chars.size() + 50);
        Indices.resize(Indices.size() + 50);
    }
    std::memcpy(Chars.data() + Size, bytes, static_cast<size_t>(n));
    int* index = Indices.data() + Size;
    for (int k = 0; k < n; ++k) index[k] = firstIndex + k;
    Size += n;
}

void TCharCollection::Concat(const TCharCollection& other) {
    int newSize = Size + other.Size;
    if (newSize > static_cast<int>(Chars.size())) {
        Chars.resize(static_cast<size_t>(newSize) + 50);
        Indices.resize(static_cast<size_t>(newSize) + 50);
    }
    std::copy(other.Chars.begin(), other.Chars.begin() + other.Size, Chars.begin() + Size);
    std::copy(other.Indices.begin(), other.Indices.begin() + other.Size, Indices.begin() + Size);
    Size = newSize;
}

TokenObj::TokenObj() : C(300), I(300) {}

void TokenObj::Grow() {
    MaxIndex += 50;
    C.resize(static_cast<size_t>(MaxIndex));
    I.resize(static_cast<size_t>(MaxIndex));
}

void TokenObj::AddUnicodeChar(char16_t ch, int index) {
    if (Leng >= MaxIndex) Grow();
    C[static_cast<size_t>(Leng)] = ch;
    I[static_cast<size_t>(Leng)] = index;
    ++Leng;
    stringOK_ = false;
}

namespace {
// Windows-1252 by byte (the runtime's conversion holds no other state).
const std::array<char16_t, 256> kCp1252Wide = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b) t[static_cast<size_t>(b)] = Cp1252CharToUtf16(static_cast<unsigned char>(b));
    return t;
}();
}  // namespace

void TokenObj::AddCp1252(const char* bytes, int n, int firstIndex) {
    if (n <= 0) return;
    while (Leng + n > MaxIndex) Grow();
    char16_t* c = C.data() + Leng;
    int* index = I.data() + Leng;
    for (int k = 0; k < n; ++k) c[k] = kCp1252Wide[static_cast<unsigned char>(bytes[k])];
    for (int k = 0; k < n; ++k) index[k] = firstIndex + k;
    Leng += n;
    stringOK_ = false;
}

void TokenObj::AddString(const TCharCollection& chars, int codePage) {
    if (chars.Size <= 0) return;
    if (codePage == 0 || codePage == 1252) {
        // One character a byte: no conversion buffers.
        while (Leng + chars.Size > MaxIndex) Grow();
        for (int k = 0; k < chars.Size; ++k) {
            const auto byte = static_cast<unsigned char>(chars.Chars[static_cast<size_t>(k)]);
            C[static_cast<size_t>(Leng + k)] = kCp1252Wide[byte];
            I[static_cast<size_t>(Leng + k)] = chars.Indices[static_cast<size_t>(k)];
        }
        Leng += chars.Size;
        stringOK_ = false;
        return;
    }
    std::string bytes = chars.GetAsString();
    std::u16string w = MultibyteToWideString(codePage, bytes);
    int n = static_cast<int>(w.size());
    while (Leng + n > MaxIndex) Grow();
    if (n == chars.Size) {
        for (int k = 0; k < n; ++k) {
            C[static_cast<size_t>(Leng + k)] = w[static_cast<size_t>(k)];
            I[static_cast<size_t>(Leng + k)] = chars.Indices[static_cast<size_t>(k)];
        }
        Leng += n;
    } else {
        // Each character takes the position of its first byte. The low half of
        // a surrogate pair shares its high half's position.
        int j = 0;
        const char* p = bytes.c_str();
        int added = 0;
        for (int k = 0; k < n; ++k) {
            char16_t ch = w[static_cast<size_t>(k)];
            int pos = chars.Indices[static_cast<size_t>(std::min(j, chars.Size - 1))];
            C[static_cast<size_t>(Leng + added)] = ch;
            I[static_cast<size_t>(Leng + added)] = pos;
            ++added;
            if (ch >= 0xD800 && ch <= 0xDBFF && k + 1 < n) {
                char16_t lo = w[static_cast<size_t>(k + 1)];
                if (lo >= 0xDC00 && lo <= 0xDFFF) {
                    ++k;
                    C[static_cast<size_t>(Leng + added)] = lo;
                    I[static_cast<size_t>(Leng + added)] = pos;
                    ++added;
                }
            }
            if (j < chars.Size) {
                int len = CharLength(codePage, p + j);
                if (len < 1) break;
                j = std::min(j + len, chars.Size);
            }
        }
        Leng += added;
    }
    stringOK_ = false;
}

void TokenObj::Concat(const TokenObj& other) {
    for (int k = 0; k < other.Leng; ++k)
        AddUnicodeChar(other.C[static_cast<size_t>(k)], other.I[static_cast<size_t>(k)]);
}

const std::u16string& TokenObj::GetString() const {
    if (!stringOK_) {
        s_.assign(C.begin(), C.begin() + Leng);
        stringOK_ = true;
    }
    return s_;
}

void TokenObj::Clear() {
    Leng = 0;
    s_.clear();
    stringOK_ = true;
}

void TokenObj::Remove(int n) {
    n = std::clamp(n, 0, Leng);
    std::copy(C.begin() + n, C.begin() + Leng, C.begin());
    std::copy(I.begin() + n, I.begin() + Leng, I.begin());
    Leng -= n;
    stringOK_ = false;
}

// ---------------------------------------------------------------- code pages

std::u16string MultibyteToWideString(int codePage, const std::string& s) {
    if (s.empty()) return {};
    std::u16string r = MultiByteToWide(codePage, s);
    if (r.empty()) r = MultiByteToWide(1252, s);
    return r;
}

std::string WideStringToMultibyte(int codePage, const std::u16string& s) {
    if (s.empty()) return {};
    std::string r = WideToMultiByte(codePage, s);
    if (r.empty()) r = WideToMultiByte(1252, s);
    return r;
}

namespace {
bool IsLeadByte(int codePage, unsigned char b) {
    switch (codePage) {
        case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case 936:
        case 949:
        case 950: return b >= 0x81 && b <= 0xFE;
        case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
        default: return false;
    }
}
}  // namespace

int CharLength(int codePage, const char* p) {
    auto b = static_cast<unsigned char>(*p);
    if (b == 0) return 0;
    if (codePage == 65001) {
        if (b >= 0xC0 && b <= 0xDF) return 2;
        if (b >= 0xE0 && b <= 0xEF) return 3;
        if (b >= 0xF0 && b <= 0xF7) return 4;
        return 1;
    }
    if (IsLeadByte(codePage, b) && p[1] != 0) return 2;
    return 1;
}

// ---------------------------------------------------------------- wide strings

const char16_t* WidePos(const char16_t* text, const char16_t* sub) {
    if (!text || !sub || !*sub) return nullptr;
    for (const char16_t* t = text; *t; ++t) {
        const char16_t* a = t;
        const char16_t* b = sub;
        while (*a && *b && *a == *b) ++a, ++b;
        if (!*b) return t;
    }
    return nullptr;
}

const char16_t* WideStrScan(const char16_t* text, char16_t ch) {
    if (!text) return nullptr;
    for (; *text; ++text)
        if (*text == ch) return text;
    return nullptr;
}

const char16_t* WideStrRScan(const char16_t* text, char16_t ch) {
    if (!text) return nullptr;
    const char16_t* last = nullptr;
    for (; *text; ++text)
        if (*text == ch) last = text;
    return last;
}

int WideStrPos(const std::u16string& sub, const std::u16string& s) {
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == std::u16string::npos ? 0 : static_cast<int>(p) + 1;
}

char16_t WideUpperChar(char16_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? char16_t(c - 32) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char16_t(c - 32);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x131) return 'I';
        if (c == 0x130 || c == 0x138 || c == 0x149) return c;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : char16_t(c - 1);
        if (c == 0x17F) return 'S';
        if (c == 0x178) return c;
        return (c & 1) ? char16_t(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return char16_t(c - 32);
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return char16_t(c - 32);
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 80);
    return c;
}

char16_t WideLowerChar(char16_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) return 'i';
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? char16_t(c + 1) : c;
        return (c & 1) ? c : char16_t(c + 1);
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return char16_t(c + 32);
    if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);
    if (c >= 0x400 && c <= 0x40F) return char16_t(c + 80);
    return c;
}

std::u16string WideUpperCase(const std::u16string& s) {
    std::u16string r = s;
    for (char16_t& c : r) c = WideUpperChar(c);
    return r;
}

std::u16string WideLowerCase(const std::u16string& s) {
    std::u16string r = s;
    for (char16_t& c : r) c = WideLowerChar(c);
    return r;
}

bool WideSameStr(const std::u16string& a, const std::u16string& b) { return a == b; }

std::u16string WideTrim(const std::u16string& s) {
    size_t i = 0, j = s.size();
    while (i < j && s[i] < 33) ++i;
    while (j > i && s[j - 1] < 33) --j;
    return s.substr(i, j - i);
}

int PosX(const std::string& sub, const std::string& s, int start) {
    if (sub.empty()) return 0;
    size_t from = start <= 1 ? 0 : static_cast<size_t>(start - 1);
    if (from > s.size()) return 0;
    size_t p = s.find(sub, from);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

// ---------------------------------------------------------------- URLs as file names

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string DecodeURLEscapes(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c != '%') {
            r += c;
            ++i;
            continue;
        }
        // A "%" first or in the last two characters ends the decoding.
        if (i == 0 || i + 2 >= s.size()) {
            r.append(s, i, std::string::npos);
            break;
        }
        int h = HexValue(s[i + 1]), l = HexValue(s[i + 2]);
        if (h < 0 || l < 0) throw EConvertError("'" + s.substr(i + 1, 2) + "' não é um número inteiro válido");
        r += static_cast<char>(h * 16 + l);
        i += 3;
    }
    return r;
}

std::string HTMLServerToDos(const std::string& url) {
    std::string s = DecodeURLEscapes(url);
    if (s.find('/') == std::string::npos) return s;
    std::string lower = LowerAscii(s);
    for (const char* prefix : {"file:///", "file://", "file:/"}) {
        size_t p = lower.find(prefix);
        if (p != std::string::npos) {
            s.erase(p, std::strlen(prefix));
            break;
        }
    }
    for (char& c : s) {
        if (c == '|') c = ':';
        else if (c == '/') c = '\\';
    }
    return s;
}

std::string HTMLToDos(const std::string& url, const std::string& basePath) {
    std::string s = Trim(HTMLServerToDos(url));
    if (!s.empty() && !basePath.empty() && s.rfind("\\\\", 0) != 0 && !(s.size() > 1 && s[1] == ':') &&
        s[0] == '\\')
        s = basePath + s;
    return s;
}

// ---------------------------------------------------------------- ids and anchors

TIDObject::~TIDObject() = default;
TChPosSource::~TChPosSource() = default;

int TChPosObj::GetYPosition() {
    int y = 0;
    if (List && List->GetChPosY(ChPos, y)) return y;
    return 0;
}

TIDNameList::~TIDNameList() { Clear(); }

bool TIDNameList::Find(const std::string& name, int& index) const {
    auto it = std::lower_bound(items_.begin(), items_.end(), name,
                               [](const Entry& e, const std::string& n) { return CompareText(e.name, n) < 0; });
    index = static_cast<int>(it - items_.begin());
    return it != items_.end() && CompareText(it->name, name) == 0;
}

int TIDNameList::IndexOf(const std::string& name) const {
    int i;
    return Find(name, i) ? i : -1;
}

TIDObject* TIDNameList::ObjectOf(const std::string& name) const {
    int i;
    return Find(name, i) ? items_[static_cast<size_t>(i)].object : nullptr;
}

void TIDNameList::Remove(int index) {
    Entry& e = items_[static_cast<size_t>(index)];
    if (e.owned) delete e.object;
    items_.erase(items_.begin() + index);
}

void TIDNameList::AddObject(const std::string& name, TIDObject* object) {
    int i;
    if (Find(name, i)) Remove(i);
    items_.insert(items_.begin() + i, Entry{name, object, false});
}

void TIDNameList::AddChPosObject(const std::string& name, int position) {
    int i;
    if (Find(name, i)) Remove(i);
    items_.insert(items_.begin() + i, Entry{name, new TChPosObj(list_, position), true});
}

void TIDNameList::Clear() {
    for (Entry& e : items_)
        if (e.owned) delete e.object;
    items_.clear();
}
