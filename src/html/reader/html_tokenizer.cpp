#include "html/reader/html_tokenizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "html/reader/style_props.h"
#include "platform/runtime/arith.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/strutil.h"

namespace Readhtml {

std::string DocS;
TSourceKind SourceKind = TSourceKind::none;
size_t DocPtr = 0, DocEnd = 0;
std::string IncludeS;
size_t IncludePtr = 0, IncludeEnd = 0;
TSourceKind SavedSourceKind = TSourceKind::none;
unsigned char Ch = 0;
unsigned char LCh = 0;
int LineFold = 0;
int CharPos = -1;
int TagPos = 0;
Symb Sy = NoSy;
int Level = 0;
bool InComment = false;
bool NoCommentMode = false;
bool ScanPass = false;
bool IsUTF8 = false;
bool JISConverted = false;
TokenObj* Token = nullptr;
TAttributeList* Attributes = nullptr;
int DocCodePage = 0;

TObject* IncludeSender = nullptr;
TIncludeType IncludeEvent;
std::function<void(int)> ReportProgress;
int ProgressScale = 0;
TIDNameList* IDNameList = nullptr;

namespace {

TokenObj g_token;
TAttributeList g_attributes;
TCharCollection g_chars;
int g_startCharPos = -1;
// Spliced include text is bounded so that an include event that keeps
// including itself cannot grow the text without end.
constexpr size_t MaxIncludedBytes = size_t(16) << 20;
constexpr int MaxIncludes = 10000;
size_t g_includedBytes = 0;
int g_includes = 0;

struct Init {
    Init() {
        Token = &g_token;
        Attributes = &g_attributes;
    }
} g_init;

bool IsAZ(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

unsigned char ReadCharSlow();

// The document's next byte; every other case goes the long way.
inline unsigned char ReadChar() {
    if (SourceKind == TSourceKind::document && DocPtr < DocEnd) {
        const auto c = static_cast<unsigned char>(DocS[DocPtr++]);
        ++CharPos;
        if ((DocPtr & 4095) == 0 && !ScanPass && ProgressScale > 0 && ReportProgress && !DocS.empty())
            ReportProgress(static_cast<int>(static_cast<long long>(DocPtr) * ProgressScale /
                                            static_cast<long long>(DocS.size())));
        return c;
    }
    return ReadCharSlow();
}

// Where the bytes GetChQuick may take end: the document's end, or the byte
// whose reading reports progress.
inline size_t QuickEnd() { return std::min(DocEnd, DocPtr | 4095); }

// GetCh with its common case inline: a document byte that is no control
// character and starts no comment or server block (and whose reading reports
// no progress) becomes Ch directly.
inline void GetChQuick() {
    const size_t at = DocPtr;
    if (SourceKind == TSourceKind::document && at < QuickEnd()) {
        const auto b = static_cast<unsigned char>(DocS[at]);
        if (b >= 32 && (b != '<' || NoCommentMode || at + 1 >= DocEnd ||
                        (DocS[at + 1] != '!' && DocS[at + 1] != '%'))) {
            DocPtr = at + 1;
            ++CharPos;
            LineFold = 0;
            Ch = b;
            LCh = Upper(b);
            return;
        }
    }
    GetCh();
}

inline void SkipBlanksQuick() {
    while (Ch == ' ' || Ch == CR) GetChQuick();
}

// Takes at once the document bytes after Ch that `plain` accepts, as
// GetChQuick would read them one by one, and returns their count; they are
// DocS[DocPtr - count, DocPtr). Ch stays as it was, so the caller reads the
// next character itself. `plain` must refuse control characters and "<".
template <class Plain>
inline size_t TakeRun(Plain plain) {
    if (SourceKind != TSourceKind::document) return 0;
    const size_t from = DocPtr, end = QuickEnd();
    const char* s = DocS.data();
    size_t at = from;
    while (at < end && plain(static_cast<unsigned char>(s[at]))) ++at;
    const size_t n = at - from;
    if (n > 0) {
        DocPtr = at;
        CharPos += static_cast<int>(n);
        LineFold = 0;
    }
    return n;
}

unsigned char ReadCharSlow() {
    for (;;) {
        switch (SourceKind) {
            case TSourceKind::document: {
                if (DocPtr >= DocEnd) return 0;
                unsigned char c = static_cast<unsigned char>(DocS[DocPtr++]);
                ++CharPos;
                if (!ScanPass && ProgressScale > 0 && ReportProgress && (DocPtr & 4095) == 0 && !DocS.empty())
                    ReportProgress(static_cast<int>(static_cast<long long>(DocPtr) * ProgressScale /
                                                    static_cast<long long>(DocS.size())));
                return c;
            }
            case TSourceKind::include:
                if (IncludePtr < IncludeEnd) return static_cast<unsigned char>(IncludeS[IncludePtr++]);
                IncludeS.clear();
                IncludePtr = IncludeEnd = 0;
                SourceKind = SavedSourceKind;
                continue;
            default: return 0;
        }
    }
}

// Reads to the end of a comment: a run of two or more "-", optional blanks and
// line breaks, an optional "!", then ">". With countCurrent, Ch takes part.
void SkipComment(bool countCurrent) {
    int dashes = (countCurrent && Ch == '-') ? 1 : 0;
    bool haveChar = false;
    for (;;) {
        if (!haveChar) GetChBasic();
        haveChar = false;
        if (Ch == 0) break;
        if (Ch == '-') {
            ++dashes;
            continue;
        }
        if (dashes >= 2) {
            while (Ch == ' ' || Ch == CR) GetChBasic();
            if (Ch == '!') GetChBasic();
            if (Ch == '>') break;
            dashes = 0;
            haveChar = true;  // look at this character again
            continue;
        }
        dashes = 0;
    }
    InComment = false;
}

std::string ReadIncludeName() {
    std::string name;
    while (IsDigit(LCh) || IsAZ(LCh) || LCh == '_') {
        name += static_cast<char>(Ch);
        GetChBasic();
    }
    return name;
}

void DoInclude() {
    GetChBasic();  // "#"
    GetChBasic();
    std::string command = ReadIncludeName();
    auto params = std::make_unique<TStringList>();
    for (;;) {
        while (Ch == ' ' || Ch == CR) GetChBasic();
        if (!IsAZ(LCh)) break;
        std::string name = ReadIncludeName();
        while (Ch == ' ' || Ch == CR) GetChBasic();
        std::string value;
        if (Ch == '=') {
            GetChBasic();
            while (Ch == ' ' || Ch == CR) GetChBasic();
            if (Ch == '"' || Ch == '\'') {
                unsigned char q = Ch;
                GetChBasic();
                while (Ch != q && Ch != 0) {
                    if (Ch == CR) {
                        value += ' ';
                        GetChBasic();
                    } else if (Ch == '&') {
                        value += GetEntity(0);
                    } else {
                        value += static_cast<char>(Ch);
                        GetChBasic();
                    }
                }
                if (Ch == q) GetChBasic();
            } else {
                while (Ch != 0 && Ch != ' ' && Ch != CR && Ch != '-' && Ch != '>') {
                    value += static_cast<char>(Ch);
                    GetChBasic();
                }
            }
        }
        params->Add(name + "=" + value);
    }
    SkipComment(true);

    std::string rest;
    if (SourceKind == TSourceKind::include && IncludePtr < IncludeEnd) rest = IncludeS.substr(IncludePtr);
    std::string iString;
    if (IncludeEvent) IncludeEvent(IncludeSender, command, std::move(params), iString);
    if (iString.empty()) return;
    if (++g_includes > MaxIncludes || g_includedBytes + iString.size() > MaxIncludedBytes) return;
    g_includedBytes += iString.size();
    if (SourceKind != TSourceKind::include) SavedSourceKind = SourceKind;
    SourceKind = TSourceKind::include;
    IncludeS = iString + rest;
    IncludePtr = 0;
    IncludeEnd = IncludeS.size();
}

// A number read from attribute text: sign, digits, point, digits; rounded
// halves to even. Text that is not a number in full counts by its leading
// number ("10px" is 10).
int AttributeNumber(const std::string& text) {
    size_t i = 0;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
    long double v = 0;
    while (i < text.size() && IsDigit(static_cast<unsigned char>(text[i]))) {
        if (v < 1e12L) v = v * 10 + (text[i] - '0');
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        long double scale = 0.1L;
        for (++i; i < text.size() && IsDigit(static_cast<unsigned char>(text[i])); ++i) {
            v += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    if (neg) v = -v;
    if (v > 999999999) v = 999999999;
    if (v < -999999999) v = -999999999;
    return static_cast<int>(Round(v));
}

// Result of reading a character reference after "&".
struct Reference {
    bool resolved = false;
    bool numeric = false;
    int value = 0;
    std::string typed;  // what was read, for an unresolved reference
};

// Ch is "&". Reads the reference; `inAttribute` applies the rule that a named
// value above 255 needs its ";".
Reference ReadReference(bool inAttribute) {
    Reference r;
    r.typed.push_back('&');
    GetCh();
    if (Ch == '#') {
        GetCh();
        if (LCh == 'X') {
            r.typed += inAttribute ? "#" : "";
            r.typed += static_cast<char>(Ch);
            GetCh();
            bool any = false;
            long long v = 0;
            for (;;) {
                int d = IsDigit(Ch) ? Ch - '0' : (LCh >= 'A' && LCh <= 'F') ? LCh - 'A' + 10 : -1;
                if (d < 0) break;
                if (v < 0x7FFFFFFF) v = v * 16 + d;
                any = true;
                r.typed += static_cast<char>(Ch);
                GetCh();
            }
            if (!any) return r;
            r.value = static_cast<int>(std::min<long long>(v, 0x7FFFFFFF));
        } else if (IsDigit(Ch)) {
            long long v = 0;
            while (IsDigit(Ch)) {
                if (v < 0x7FFFFFFF) v = v * 10 + (Ch - '0');
                r.typed += static_cast<char>(Ch);
                GetCh();
            }
            r.value = static_cast<int>(std::min<long long>(v, 0x7FFFFFFF));
        } else {
            if (inAttribute) r.typed += "#";
            return r;
        }
        r.resolved = true;
        r.numeric = true;
        if (Ch == ';') GetCh();
        return r;
    }
    std::string name;
    while (name.size() < 11 && (IsDigit(Ch) || IsAZ(LCh))) {
        name += static_cast<char>(Ch);
        GetCh();
    }
    r.typed += name;
    int value;
    if (!name.empty() && FindEntity(name, value) && !(inAttribute && value > 255 && Ch != ';')) {
        r.resolved = true;
        r.value = value;
        if (Ch == ';') GetCh();
    }
    return r;
}

void FlushChars(TCharCollection& chars, int codePage) {
    if (chars.Size > 0) {
        Token->AddString(chars, codePage);
        chars.Clear();
    }
}

void AddEntityChar(TCharCollection& chars, const Reference& r, int position, int codePage) {
    int v = r.value;
    if (v == 9) {
        chars.Add(' ', position);
    } else if (v < 32) {
        chars.Add('?', position);
    } else if (r.numeric && v >= 127 && v <= 159) {
        // The byte of the document's code page, converted with the bytes
        // around it.
        chars.Add(static_cast<char>(v), position);
    } else {
        FlushChars(chars, codePage);
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
            Token->AddUnicodeChar(0xFFFD, position);
        } else if (v > 0xFFFF) {
            v -= 0x10000;
            Token->AddUnicodeChar(static_cast<char16_t>(0xD800 + (v >> 10)), position);
            Token->AddUnicodeChar(static_cast<char16_t>(0xDC00 + (v & 0x3FF)), position);
        } else {
            Token->AddUnicodeChar(static_cast<char16_t>(v), position);
        }
    }
}

// The attribute records of the tags read before, for the next tags (a long
// report repeats the same few attributes on tens of thousands of tags).
std::vector<std::unique_ptr<TAttribute>> g_spareAttributes;

constexpr size_t kSpareAttributesKept = 64;

void RecycleAttributes() {
    Attributes->MoveTailTo(0, g_spareAttributes, kSpareAttributesKept);
    Attributes->Clear();
}

// The records of the last tag with attributes while tags without any are
// read (a report's cells alternate the two kinds).
std::vector<std::unique_ptr<TAttribute>> g_parkedAttributes;

// Keeps the first `count` records of Attributes; the others are spare.
void KeepSpareAttributes(int count) {
    const int n = Attributes->Count();
    if (count >= n) return;
    if (count == 0 && g_parkedAttributes.empty() && n <= static_cast<int>(kSpareAttributesKept))
        Attributes->SwapItems(g_parkedAttributes);
    else
        Attributes->MoveTailTo(count, g_spareAttributes, kSpareAttributesKept);
}

// A record for GetAttribute, which sets every field of one it accepts.
std::unique_ptr<TAttribute> SpareAttribute() {
    if (g_spareAttributes.empty()) return std::make_unique<TAttribute>();
    std::unique_ptr<TAttribute> a = std::move(g_spareAttributes.back());
    g_spareAttributes.pop_back();
    return a;
}

// A tag read quickly fills the records of the tag before again in place:
// those parked, when the tag before had no attributes.
inline void UnparkAttributes() {
    if (Attributes->Count() == 0 && !g_parkedAttributes.empty()) Attributes->SwapItems(g_parkedAttributes);
}

inline TAttribute& QuickRecord(int i) {
    if (i == Attributes->Count()) Attributes->Add(SpareAttribute());
    return *(*Attributes)[i];
}

bool IsAttributeNameByte(unsigned char b) { return b == '-' || IsDigit(b) || IsAZ(Upper(b)); }

// Appends the document bytes taken by the last TakeRun.
void AppendRun(std::string& text, size_t n) {
    if (n > 0) text.append(DocS.data() + (DocPtr - n), n);
}

// The number of a quoted value that reads as one (trimmed, and without a
// "%" after it); num stays as it is otherwise.
void QuotedValueNumber(const std::string& text, int& num) {
    // Only a value that starts like a number is read as one; most do not,
    // and need no trimmed copy.
    size_t b = 0;
    while (b < text.size() && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    const unsigned char first = b < text.size() ? static_cast<unsigned char>(text[b]) : 0;
    if (first == '+' || first == '-' || first == '.' || IsDigit(first)) {
        std::string t = Trim(text);
        if (!t.empty() && t.back() == '%') t = Trim(t.substr(0, t.size() - 1));
        if (!t.empty() && (t[0] == '+' || t[0] == '-' || t[0] == '.' || IsDigit(static_cast<unsigned char>(t[0]))))
            num = AttributeNumber(t);
    }
}

bool GetAttribute(bool& ok, TAttribute& attr) {
    ok = false;
    SkipBlanksQuick();
    if (!IsAZ(LCh)) return false;
    char name[255];
    size_t length = 0;
    while (IsAttributeNameByte(LCh)) {
        if (length < sizeof name) name[length++] = static_cast<char>(LCh);
        const size_t n = TakeRun(IsAttributeNameByte);
        const char* run = DocS.data() + (DocPtr - n);
        for (size_t k = 0; k < n && length < sizeof name; ++k)
            name[length++] = static_cast<char>(Upper(static_cast<unsigned char>(run[k])));
        GetChQuick();
    }
    attr.AttrName.assign(name, length);
    Symb sym = AttributeSymbolOf(std::string_view(name, length));
    SkipBlanksQuick();
    int num = sym == BorderSy ? 1 : 0;
    std::string& text = attr.TextValue;
    text.clear();
    if (Ch == '=') {
        GetChQuick();
        SkipBlanksQuick();
        int entityCp = CurrentCodePage();
        if (Ch == '"' || Ch == '\'') {
            unsigned char q = Ch;
            int quotedCp = (sym == ValueSy && FormControlTextConversion) ? entityCp : 0;
            bool keepBreaks = sym == TitleSy || sym == AltSy;
            GetChQuick();
            while (Ch != q && Ch != 0) {
                if (Ch == CR) {
                    if (keepBreaks) text += "\r\n";
                    GetChQuick();
                } else if (Ch == '&') {
                    text += GetEntity(quotedCp);
                } else {
                    text += static_cast<char>(Ch);
                    AppendRun(text, TakeRun([q](unsigned char b) {
                                  return b >= 32 && b != '<' && b != q && b != '&';
                              }));
                    GetChQuick();
                }
            }
            if (Ch == q) GetChQuick();
            QuotedValueNumber(text, num);
        } else {
            // Unquoted: to a blank or ">", and a number also to "%".
            const bool number = Ch == '+' || Ch == '-' || IsDigit(Ch);
            const unsigned char stop = number ? '%' : '>';
            while (Ch != 0 && Ch != ' ' && Ch != CR && Ch != '>' && Ch != stop) {
                if (Ch == '&') {
                    text += GetEntity(entityCp);
                } else {
                    text += static_cast<char>(Ch);
                    AppendRun(text, TakeRun([stop](unsigned char b) {
                                  return b > ' ' && b != '<' && b != '>' && b != '&' && b != stop;
                              }));
                    GetChQuick();
                }
            }
            if (number) {
                SkipBlanksQuick();
                num = AttributeNumber(text);
                if (Ch == '%') {
                    text += '%';
                    GetChQuick();
                }
            }
        }
    }
    if (sym == IDSy && !text.empty() && !ScanPass && IDNameList) {
        std::string id = text;
        for (char& c : id)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        IDNameList->AddChPosObject(id, CharPos);
    }
    attr.Symbol = sym;
    attr.NumValue = num;
    attr.CodePage = DocCodePage;
    ok = true;
    return true;
}

// Byte classes of the quick tag reading: each bit but the first says that
// a plain byte goes on one kind of run.
enum : uint16_t {
    kPlainByte = 1,        // read as it is: not below 32, "<" or "&"
    kNameByte = 2,         // of an attribute name
    kTagNameByte = 4,      // of a tag name after its first byte
    kInTag = 8,            // not ">"
    kInDoubleQuotes = 16,  // not '"'
    kInSingleQuotes = 32,  // not "'"
    kInWord = 64,          // of an unquoted value: not a blank or ">"
    kInNumber = 128,       // of an unquoted number: nor "%"
    kBlank = 256,          // a space
};

constexpr std::array<unsigned char, 256> kUpper = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[static_cast<size_t>(b)] = static_cast<unsigned char>((b >= 'a' && b <= 'z') ? b - 32 : b);
    return t;
}();

constexpr std::array<uint16_t, 256> kByteClass = [] {
    std::array<uint16_t, 256> t{};
    for (int b = 32; b < 256; ++b) {
        if (b == '<' || b == '&') continue;
        const auto u = static_cast<unsigned char>((b >= 'a' && b <= 'z') ? b - 32 : b);
        const bool alnum = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z');
        uint16_t c = kPlainByte;
        if (alnum || u == '-') c |= kNameByte;
        if (alnum || u == '_') c |= kTagNameByte;
        if (b != '>') c |= kInTag;
        if (b != '"') c |= kInDoubleQuotes;
        if (b != '\'') c |= kInSingleQuotes;
        if (b != ' ' && b != '>') c |= kInWord;
        if (b != ' ' && b != '>' && b != '%') c |= kInNumber;
        if (b == ' ') c |= kBlank;
        t[static_cast<size_t>(b)] = c;
    }
    return t;
}();

template <class Word>
bool SameWord(const char* a, const char* b) {
    Word x, y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x == y;
}

bool SameBytes(const char* a, const char* b, size_t n) {
    if (n >= 8) {
        for (size_t k = 0; k + 8 < n; k += 8)
            if (!SameWord<uint64_t>(a + k, b + k)) return false;
        return SameWord<uint64_t>(a + n - 8, b + n - 8);
    }
    if (n >= 4) return SameWord<uint32_t>(a, b) && SameWord<uint32_t>(a + n - 4, b + n - 4);
    for (size_t k = 0; k < n; ++k)
        if (a[k] != b[k]) return false;
    return true;
}

// Makes text the n bytes at p; a recycled record often holds them already.
void SetText(std::string& text, const char* p, size_t n) {
    if (text.size() != n || !SameBytes(text.data(), p, n)) text.assign(p, n);
}

// Ends a tag read from the document up to its ">", before `end`: every byte
// read was plain and on this side of a progress report.
void EndQuickTag(size_t end, Symb sy, int level, bool keepBracket) {
    TagPos = CharPos;
    CharPos += static_cast<int>(end - DocPtr);
    DocPtr = end;
    LineFold = 0;
    Ch = LCh = '>';
    Sy = sy;
    Level = level;
    if (!keepBracket) GetChQuick();
}

// Tags read lately, by their bytes after "<" to the first ">", which ends
// them: equal bytes read alike, and a report repeats a few tags tens of
// thousands of times.
struct TRememberedTag {
    std::string bytes;
    Symb sy = NoSy;
    int level = 0;
    bool keepBracket = false;
    std::vector<TAttribute> attributes;
};
constexpr size_t kRememberedTagBytes = 200;
std::array<TRememberedTag, 16> g_rememberedTags;

TRememberedTag& RememberedTagFor(const char* bytes, size_t n) {
    const auto b = [&](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(bytes[i])); };
    return g_rememberedTags[(n * 5 + b(0) * 3 + b(n / 2)) & (g_rememberedTags.size() - 1)];
}

// A tag whose bytes were read lately: its symbols and attributes as then.
bool RememberedTag() {
    const size_t from = DocPtr, end = QuickEnd();
    if (from >= end) return false;
    const char* s = DocS.data() + from;
    const void* gt = std::memchr(s, '>', std::min(end - from, kRememberedTagBytes));
    if (!gt) return false;
    const size_t n = static_cast<size_t>(static_cast<const char*>(gt) - s) + 1;
    const TRememberedTag& r = RememberedTagFor(s, n);
    if (r.bytes.size() != n || std::memcmp(r.bytes.data(), s, n) != 0) return false;
    Attributes->ForgetCached();
    const int count = static_cast<int>(r.attributes.size());
    if (count > 0) UnparkAttributes();
    for (int i = 0; i < count; ++i) {
        TAttribute& attr = QuickRecord(i);
        const TAttribute& was = r.attributes[static_cast<size_t>(i)];
        if (was.Symbol == OtherAttribute || attr.Symbol != was.Symbol)
            SetText(attr.AttrName, was.AttrName.data(), was.AttrName.size());
        attr.Symbol = was.Symbol;
        SetText(attr.TextValue, was.TextValue.data(), was.TextValue.size());
        attr.NumValue = was.NumValue;
        attr.CodePage = DocCodePage;
    }
    if (count < Attributes->Count()) KeepSpareAttributes(count);
    EndQuickTag(from + n, r.sy, r.level, r.keepBracket);
    return true;
}

// A tag of plain bytes (none below 32, no "<" or "&" before its ">", and no
// progress report due) is read straight from the document, with the result
// the reading character by character gives; that reading takes any other
// tag, from its start, as nothing but attribute records has changed by then.
// Reports repeat a few such tags tens of thousands of times.
class TQuickTag {
public:
    bool Read() {
        const size_t from = DocPtr;
        if (!Next()) return false;
        bool endTag = false;
        if (c_ == '/') {
            endTag = true;
            if (!Next()) return false;
        } else if (!(c_ == '?' || IsAZ(Upper(c_)))) {
            return false;  // "<" as text
        }
        uint64_t room[kPaddedNameRoom / 8] = {};
        char* name = reinterpret_cast<char*>(room);
        size_t length = 0;
        const unsigned char first = Upper(c_);
        if (first == '/' || IsDigit(first) || IsAZ(first) || first == '_') {
            // A heading's level is no part of its name.
            if (first == 'H') {
                name[length++] = 'H';
                if (!Next()) return false;
                if (!(c_ >= '1' && c_ <= '6') && !ReadName(name, length)) return false;
            } else if (!ReadName(name, length)) {
                return false;
            }
        }
        const Symb sy = TagSymbolOfPadded(name, length, endTag);
        if (!SkipBlanks()) return false;
        int level = 0;
        if ((sy == HeadingSy || sy == HeadingEndSy) && c_ >= '1' && c_ <= '6') {
            level = c_ - '0';
            if (!Next()) return false;
        }
        // The records of the tag before are filled again in place.
        Attributes->ForgetCached();
        int count = 0;
        for (;;) {
            if (!SkipBlanks()) return false;
            if (!IsAZ(Upper(c_))) break;
            if (count == 0) UnparkAttributes();
            if (!Attribute(QuickRecord(count++))) return false;
            if (count > 4096) break;
        }
        KeepSpareAttributes(count);
        if (!ReadWhile(kInTag)) return false;
        const bool keepBracket = !endTag && (sy == ScriptSy || sy == StyleSy);
        Remember(from, sy, level, keepBracket);
        EndQuickTag(at_, sy, level, keepBracket);
        return true;
    }

private:
    const char* s_ = DocS.data();
    size_t at_ = DocPtr;
    const size_t end_ = QuickEnd();
    unsigned char c_ = 0;

    bool Next() {
        if (at_ >= end_) return false;
        c_ = static_cast<unsigned char>(s_[at_]);
        if (!(kByteClass[c_] & kPlainByte)) return false;
        ++at_;
        return true;
    }
    // Reads on from the current byte while bytes are of the run `kind`. The
    // document text ends in a NUL, which ends every run.
    bool ReadWhile(uint16_t kind) {
        size_t k = at_ - 1;
        while (kByteClass[static_cast<unsigned char>(s_[k])] & kind) ++k;
        if (k >= end_ || !(kByteClass[static_cast<unsigned char>(s_[k])] & kPlainByte)) return false;
        at_ = k + 1;
        c_ = static_cast<unsigned char>(s_[k]);
        return true;
    }
    bool SkipBlanks() { return ReadWhile(kBlank); }
    // The rest of a tag name from the current byte, upper-cased: a "/" ends
    // it after its first byte.
    bool ReadName(char* name, size_t& length) {
        const size_t from = at_ - 1;
        const size_t skip = length;  // bytes of the name read before
        if (length == 0) {
            if (!Next()) return false;
        }
        if (!ReadWhile(kTagNameByte)) return false;
        const size_t n = at_ - 1 - from;
        if (skip + n > 255) return false;  // the rest is read as attributes
        for (size_t k = 0; k < n && skip + k < kPaddedNameRoom; ++k)
            name[skip + k] = static_cast<char>(kUpper[static_cast<unsigned char>(s_[from + k])]);
        length = skip + n;
        return true;
    }
    // Remembers the tag just read from `from`, unless its ">" was not its
    // first or it recorded an id (which depends on more than its bytes).
    void Remember(size_t from, Symb sy, int level, bool keepBracket) const {
        const size_t n = at_ - from;
        if (n > kRememberedTagBytes || std::memchr(s_ + from, '>', n) != s_ + at_ - 1) return;
        const int count = Attributes->Count();
        for (int i = 0; i < count; ++i)
            if ((*Attributes)[i]->Symbol == IDSy) return;
        TRememberedTag& r = RememberedTagFor(s_ + from, n);
        r.bytes.assign(s_ + from, n);
        r.sy = sy;
        r.level = level;
        r.keepBracket = keepBracket;
        r.attributes.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) r.attributes[static_cast<size_t>(i)] = *(*Attributes)[i];
    }
    // The attribute name of n bytes at p upper-cased into key, zero after it
    // (n at most kPaddedNameRoom). A name holds letters, digits and "-", and
    // of those only letters have bit 0x40: it clears their bit 0x20.
    void UpperName(const char* p, size_t n, uint64_t* key) const {
        const size_t words = (n + 7) / 8;
        // The text ends in a NUL at DocS.size(), so room is read up to it.
        if (static_cast<size_t>(p - s_) + words * 8 > DocS.size() + 1) {
            char* k = reinterpret_cast<char*>(key);
            for (size_t i = 0; i < n; ++i) k[i] = static_cast<char>(kUpper[static_cast<unsigned char>(p[i])]);
            return;
        }
        for (size_t i = 0; i < words; ++i) {
            uint64_t w;
            std::memcpy(&w, p + 8 * i, 8);
            const size_t left = n - 8 * i;
            if (left < 8) w &= (uint64_t(1) << (8 * left)) - 1;  // little-endian: the first bytes are low
            key[i] = w & ~((w & 0x4040404040404040ull) >> 1);
        }
    }
    // As GetAttribute, at a letter; false where that reading must take over.
    bool Attribute(TAttribute& attr) {
        size_t from = at_ - 1;
        if (!ReadWhile(kNameByte)) return false;
        const size_t length = std::min<size_t>(at_ - 1 - from, 255);
        uint64_t key[kPaddedNameRoom / 8] = {};
        if (length <= kPaddedNameRoom) UpperName(s_ + from, length, key);
        const Symb sym = AttributeSymbolOfPadded(reinterpret_cast<const char*>(key), length);
        // A known symbol has one name: a record that had it has the name.
        if (sym == OtherAttribute || attr.Symbol != sym) {
            if (length <= kPaddedNameRoom) {
                attr.AttrName.assign(reinterpret_cast<const char*>(key), length);
            } else {
                attr.AttrName.assign(s_ + from, length);
                for (char& u : attr.AttrName) u = static_cast<char>(Upper(static_cast<unsigned char>(u)));
            }
        }
        // Name and symbol change together, even when the slower reading
        // takes over from here.
        attr.Symbol = sym;
        if (!SkipBlanks()) return false;
        int num = sym == BorderSy ? 1 : 0;
        std::string& text = attr.TextValue;
        if (c_ != '=') {
            text.clear();
        } else {
            if (!Next() || !SkipBlanks()) return false;
            if (c_ == '"' || c_ == '\'') {
                const unsigned char q = c_;
                if (!Next()) return false;
                from = at_ - 1;
                if (!ReadWhile(q == '"' ? kInDoubleQuotes : kInSingleQuotes)) return false;
                SetText(text, s_ + from, at_ - 1 - from);
                if (!Next()) return false;
                QuotedValueNumber(text, num);
            } else {
                const bool number = c_ == '+' || c_ == '-' || IsDigit(c_);
                from = at_ - 1;
                if (!ReadWhile(number ? kInNumber : kInWord)) return false;
                SetText(text, s_ + from, at_ - 1 - from);
                if (number) {
                    if (!SkipBlanks()) return false;
                    num = AttributeNumber(text);
                    if (c_ == '%') {
                        text += '%';
                        if (!Next()) return false;
                    }
                }
            }
        }
        // Ids are recorded with their position by the slower reading.
        if (sym == IDSy && !text.empty() && !ScanPass && IDNameList) return false;
        attr.NumValue = num;
        attr.CodePage = DocCodePage;
        return true;
    }
};

bool GetTag() {
    if (Ch != '<') return false;
    if (SourceKind == TSourceKind::document && (RememberedTag() || TQuickTag().Read())) return true;
    TagPos = CharPos;
    GetChQuick();
    bool endTag = false;
    if (Ch == '/') {
        endTag = true;
        GetChQuick();
    } else if (!(LCh == '?' || IsAZ(LCh))) {
        Sy = TextSy;
        Token->AddUnicodeChar(u'<', TagPos);
        return true;
    }
    Sy = OtherSy;
    char name[255];
    size_t length = 0;
    while ((LCh == '/' || IsDigit(LCh) || IsAZ(LCh) || LCh == '_') && length < sizeof name) {
        if (LCh == '/' && length > 0) break;
        name[length++] = static_cast<char>(LCh);
        GetChQuick();
        if (length == 1 && name[0] == 'H' && LCh >= '1' && LCh <= '6') break;
    }
    Sy = TagSymbolOf(std::string_view(name, length), endTag);
    SkipBlanksQuick();
    Level = 0;
    if ((Sy == HeadingSy || Sy == HeadingEndSy) && Ch >= '1' && Ch <= '6') {
        Level = Ch - '0';
        GetChQuick();
    }
    RecycleAttributes();
    for (;;) {
        // Most tags end here: no record taken for them.
        SkipBlanksQuick();
        if (!IsAZ(LCh)) break;
        bool ok;
        std::unique_ptr<TAttribute> a = SpareAttribute();
        if (!GetAttribute(ok, *a)) {
            g_spareAttributes.push_back(std::move(a));
            break;
        }
        Attributes->Add(std::move(a));
        if (Attributes->Count() > 4096) break;  // a tag of endless attributes
    }
    while (Ch != '>' && Ch != 0) GetChQuick();
    if (Ch == '>' && !(!endTag && (Sy == ScriptSy || Sy == StyleSy))) GetChQuick();
    return true;
}

bool IsTextRunByte(unsigned char b) { return b > ' ' && b != '&' && b != '<'; }

bool GetText() {
    Sy = TextSy;
    int cp = CurrentCodePage();
    // Windows-1252 converts byte by byte, so its plain text goes straight
    // into the token; only references wait in the collection.
    const bool direct = cp == 0 || cp == 1252;
    TCharCollection& chars = g_chars;
    chars.Clear();
    bool any = false;
    while (Ch != 0 && Ch >= 9 && Ch != '<') {
        any = true;
        if (Ch == '&') {
            GetTextEntity(chars, cp);
        } else if (Ch == ' ' || Ch == CR) {
            if (!ScanPass) {
                if (direct) {
                    FlushChars(chars, cp);
                    Token->AddUnicodeChar(u' ', CharPos);
                } else {
                    chars.Add(' ', CharPos);
                }
            }
            while (Ch == ' ' || Ch == CR) {
                TakeRun([](unsigned char b) { return b == ' '; });
                GetChQuick();
            }
        } else {
            while (Ch >= 9 && Ch != ' ' && Ch != CR && Ch != '&' && Ch != '<') {
                const char first = static_cast<char>(Ch);
                const int at = CharPos;
                // Ch is most often the byte before the run: one run with it.
                const bool joined = SourceKind == TSourceKind::document && DocPtr > 0 && DocS[DocPtr - 1] == first;
                const size_t n = TakeRun(IsTextRunByte);
                const char* run = DocS.data() + (DocPtr - n);
                if (direct) {
                    FlushChars(chars, cp);
                    if (joined) {
                        Token->AddCp1252(run - 1, static_cast<int>(n + 1), at);
                    } else {
                        Token->AddCp1252(&first, 1, at);
                        Token->AddCp1252(run, static_cast<int>(n), at + 1);
                    }
                } else {
                    chars.Add(first, at);
                    chars.Append(run, static_cast<int>(n), at + 1);
                }
                GetChQuick();
            }
        }
    }
    FlushChars(chars, cp);
    return any;
}

}  // namespace

int CurrentCodePage() {
    TProperties* top = ParserPropStack.Top();
    return top ? top->CodePage : DocCodePage;
}

void GetChBasic() {
    Ch = ReadChar();
    if ((Ch == LF && LineFold == 1) || (Ch == CR && LineFold == 2)) Ch = ReadChar();
    if (Ch == LF) {
        Ch = CR;
        LineFold = 2;
    } else if (Ch == CR) {
        LineFold = 1;
    } else {
        LineFold = 0;
        if (Ch == TAB) Ch = ' ';
    }
    LCh = Upper(Ch);
    // The end of the text ends an open comment or declaration: the page shows
    // what came before it.
    if (Ch == 0) InComment = false;
}

unsigned char PeekChar() {
    if (SourceKind == TSourceKind::include && IncludePtr < IncludeEnd)
        return static_cast<unsigned char>(IncludeS[IncludePtr]);
    if (SourceKind == TSourceKind::include && SavedSourceKind != TSourceKind::document) return 0;
    if ((SourceKind == TSourceKind::document || SourceKind == TSourceKind::include) && DocPtr < DocEnd)
        return static_cast<unsigned char>(DocS[DocPtr]);
    return 0;
}

void GetCh() {
    for (;;) {
        GetChBasic();
        if (LCh != '<' || NoCommentMode) return;
        unsigned char next = PeekChar();
        if (next == '!') {
            GetChBasic();  // "!"
            InComment = true;
            GetChBasic();
            if (Ch == '-') {
                GetChBasic();
                if (Ch == '-') {
                    if (IncludeEvent && PeekChar() == '#') DoInclude();
                    else SkipComment(false);
                    continue;
                }
            }
            // A declaration: skipped to its ">".
            while (Ch != '>' && Ch != 0) GetChBasic();
            InComment = false;
            continue;
        }
        if (next == '%') {
            GetChBasic();  // "%"
            unsigned char prev = 0;
            for (;;) {
                GetChBasic();
                if (Ch == 0) return;
                if (prev == '%' && Ch == '>') break;
                prev = Ch;
            }
            continue;
        }
        return;
    }
}

void SkipBlanks() { SkipBlanksQuick(); }

std::string GetEntity(int codePage) {
    Reference r = ReadReference(true);
    if (!r.resolved) return r.typed;
    int v = r.value;
    if (v == 9) return " ";
    if (v < 32) return "?";
    if (r.numeric && v >= 127 && v <= 159) return std::string(1, static_cast<char>(v));
    std::u16string w;
    if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
        w = u"?";
    } else if (v > 0xFFFF) {
        v -= 0x10000;
        w += static_cast<char16_t>(0xD800 + (v >> 10));
        w += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
        w += static_cast<char16_t>(v);
    }
    std::string bytes = WideToMultiByte(codePage == 0 ? 1252 : codePage, w);
    if (bytes.size() > 11) bytes.resize(11);
    return bytes;
}

void GetTextEntity(TCharCollection& chars, int codePage) {
    int position = CharPos;
    Reference r = ReadReference(false);
    if (r.resolved) {
        AddEntityChar(chars, r, position, codePage);
        return;
    }
    for (size_t i = 0; i < r.typed.size(); ++i) chars.Add(r.typed[i], position + static_cast<int>(i));
}

void Next() {
    Token->Clear();
    if (Ch == 0) {
        Sy = EofSy;
        return;
    }
    if (GetTag()) return;
    if (!GetText()) {
        // A control character below 9: read as text by the next call.
        Ch = '?';
        LCh = '?';
    }
}

// ---------------------------------------------------------------- documents

bool IsJIS(const std::string& s) {
    size_t a = s.find("\x1b$@"), b = s.find("\x1b$B");
    if (a == std::string::npos && b == std::string::npos) return false;
    size_t from = a == std::string::npos ? b : b == std::string::npos ? a : std::max(a, b);
    return s.find("\x1b(J", from) != std::string::npos || s.find("\x1b(B", from) != std::string::npos;
}

namespace {
void JisPair(unsigned char j1, unsigned char j2, std::string& out) {
    int s1 = (j1 >= 33 && j1 <= 94) ? (j1 + 1) / 2 + 112 : (j1 + 1) / 2 + 176;
    int s2 = (j1 & 1) ? j2 + 31 + (j2 > 95 ? 1 : 0) : j2 + 126;
    out += static_cast<char>(s1 & 0xFF);
    out += static_cast<char>(s2 & 0xFF);
}
}  // namespace

std::string JISToShiftJis(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    bool twoByte = false;
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c == 0x1B && i + 2 < s.size()) {
            char a = s[i + 1], b = s[i + 2];
            if (a == '(' && (b == 'B' || b == 'J')) {
                twoByte = false;
                i += 3;
                continue;
            }
            if (a == '$' && (b == '@' || b == 'B')) {
                twoByte = true;
                i += 3;
                continue;
            }
        }
        c &= 0x7F;
        if (twoByte && i + 1 < s.size()) {
            auto c2 = static_cast<unsigned char>(s[i + 1] & 0x7F);
            JisPair(c, c2, out);
            i += 2;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}

std::string EUCToShiftJis(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 161 && i + 1 < s.size()) {
            JisPair(c & 0x7F, static_cast<unsigned char>(s[i + 1]) & 0x7F, out);
            i += 2;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}

bool TranslateCharset(const std::string& name, int& charset) {
    static const struct {
        const char* key;
        int charset;
    } table[] = {{"1252", 0},        {"8859-1", 0},     {"1253", 161},     {"8859-7", 161},
                 {"1250", 238},      {"8859-2", 31},    {"1251", 204},     {"8859-5", 204},
                 {"koi", 204},       {"866", 204},      {"1254", 162},     {"8859-3", 162},
                 {"8859-9", 162},    {"1257", 186},     {"8859-4", 186},   {"932", 128},
                 {"949", 129},       {"936", 134},      {"950", 136},      {"1255", 177},
                 {"1256", 178},      {"1258", 163},     {"874", 222},      {"ansi", 0},
                 {"default", 1},     {"symbol", 2},     {"shiftjis", 128}, {"shift_jis", 128},
                 {"x-sjis", 128},    {"hangeul", 129},  {"gb2312", 134},   {"big5", 136},
                 {"oem", 255},       {"johab", 130},    {"hebrew", 177},   {"arabic", 178},
                 {"greek", 161},     {"turkish", 162},  {"vietnamese", 163}, {"thai", 222},
                 {"easteurope", 238}, {"russian", 204}, {"euc-kr", 129},   {"5601", 129},
                 {"euc-jp", 30},     {"8859-15", 0},    {"tis-620", 222}};
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    for (const auto& row : table) {
        if (lower.find(row.key) == std::string::npos) continue;
        if (row.charset == 30) {
            if (!JISConverted) {
                // Same length: the read position stays valid.
                DocS = EUCToShiftJis(DocS);
                DocEnd = DocS.size();
                JISConverted = true;
            }
            charset = 128;
        } else {
            charset = row.charset;
        }
        return true;
    }
    return false;
}

void InitTokenizer(const std::string& doc) {
    SourceKind = TSourceKind::document;
    SavedSourceKind = TSourceKind::none;
    IncludeS.clear();
    IncludePtr = IncludeEnd = 0;
    CharPos = -1;
    IsUTF8 = JISConverted = InComment = NoCommentMode = ScanPass = false;
    LineFold = 0;
    Ch = LCh = 0;
    Sy = NoSy;
    Level = 0;
    TagPos = 0;
    g_includedBytes = 0;
    g_includes = 0;
    Token->Clear();
    Attributes->Clear();

    DocS = doc;
    // The first 100 NUL bytes become spaces; the text ends before a 101st.
    int nuls = 0;
    for (size_t i = 0; i < DocS.size(); ++i) {
        const void* nul = std::memchr(DocS.data() + i, '\0', DocS.size() - i);
        if (!nul) break;
        i = static_cast<size_t>(static_cast<const char*>(nul) - DocS.data());
        if (++nuls > 100) {
            DocS.resize(i);
            break;
        }
        DocS[i] = ' ';
    }
    TProperties* bottom = ParserPropStack.Count() > 0 ? ParserPropStack[0] : nullptr;
    if (DocS.size() > 3 && DocS.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        if (bottom) bottom->AssignUTF8();
        DocS.erase(0, 3);
        CharPos = 2;
        IsUTF8 = true;
    } else if (IsJIS(DocS)) {
        DocS = JISToShiftJis(DocS);
        JISConverted = true;
        if (bottom) bottom->AssignCharSet(128);
    }
    DocCodePage = bottom ? bottom->CodePage : (IsUTF8 ? 65001 : 0);
    DocPtr = 0;
    DocEnd = DocS.size();
    g_startCharPos = CharPos;
}

void RestartTokenizer() {
    SourceKind = TSourceKind::document;
    SavedSourceKind = TSourceKind::none;
    IncludeS.clear();
    IncludePtr = IncludeEnd = 0;
    DocPtr = 0;
    CharPos = g_startCharPos;
    LineFold = 0;
    InComment = false;
    Ch = LCh = 0;
    g_includedBytes = 0;
    g_includes = 0;
    Token->Clear();
}

void EndTokenizer() {
    DocS.clear();
    DocS.shrink_to_fit();
    IncludeS.clear();
    SourceKind = TSourceKind::none;
    DocPtr = DocEnd = 0;
    Token->Clear();
    Attributes->Clear();
}

}  // namespace Readhtml
