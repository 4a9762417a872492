#include "html/reader/style_parser.h"

#include <algorithm>
#include <vector>

#include "html/reader/style_props.h"
#include "html/reader/url_subs.h"
#include "platform/runtime/strutil.h"

namespace {

// ---- parser state ----
unsigned char StyleCh = 0;
unsigned char StylePushBack = 0;
TStyleGetCh StyleGetCh;
std::string StyleBase;
TStyleList* StyleList = nullptr;
std::vector<std::string> Selectors;
bool Linked = false;
int AtDepth = 0;
long long CharsRead = 0;

// Media blocks nest no deeper than this; deeper ones are skipped.
constexpr int MaxAtDepth = 16;

const char* const ShortHands[] = {"margin",       "padding",       "border-width", "border",
                                  "border-top",   "border-right",  "border-bottom", "border-left",
                                  "font",         "background",    "list-style",   "border-color",
                                  "border-style"};
enum { shMargin, shPadding, shBorderWidth, shBorder, shBorderTop, shBorderRight, shBorderBottom,
       shBorderLeft, shFont, shBackground, shListStyle, shBorderColor, shBorderStyle, shCount };

const char* const FontWords[] = {"italic", "oblique", "normal",  "bolder",  "lighter", "bold",
                                 "small-caps", "larger", "smaller", "xx-small", "x-small", "small",
                                 "medium",  "large",   "x-large", "xx-large"};
const char* const BorderStyles[] = {"none",   "solid", "dashed", "dotted", "double",
                                    "groove", "inset", "outset", "ridge"};

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// Lower case, except inside "url(...)" groups: file names keep their case.
std::string LowerKeepUrls(const std::string& s) {
    std::string r = s;
    size_t i = 0;
    while (i < r.size()) {
        if (i + 4 <= r.size() && Lower(r.substr(i, 4)) == "url(") {
            for (size_t k = i; k < i + 4; ++k) r[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(r[k])));
            size_t close = r.find(')', i + 4);
            i = close == std::string::npos ? r.size() : close + 1;
            continue;
        }
        if (r[i] >= 'A' && r[i] <= 'Z') r[i] = static_cast<char>(r[i] + 32);
        ++i;
    }
    return r;
}

// One pair of matching outer quotes removed. A trailing "!important" (blanks
// may follow the "!") is dropped: kept in the value, it made the author's most
// insistent declarations the only ones that never apply ("red !important" is
// no colour).
std::string CleanValue(std::string v) {
    v = Trim(v);
    constexpr size_t kWord = 9;  // "important"
    if (v.size() > kWord && Lower(v.substr(v.size() - kWord)) == "important") {
        const std::string before = Trim(v.substr(0, v.size() - kWord));
        if (!before.empty() && before.back() == '!') v = Trim(before.substr(0, before.size() - 1));
    }
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return v;
}

// ---- characters ----

unsigned char StyleGetChar() {
    unsigned char c;
    ++CharsRead;
    if (StylePushBack) {
        c = StylePushBack;
        StylePushBack = 0;
    } else {
        c = StyleGetCh ? StyleGetCh() : 0;
    }
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return c;
}

void StyleNext() {
    for (;;) {
        unsigned char c = StyleGetChar();
        if (c == '/') {
            unsigned char n = StyleGetChar();
            if (n == '*') {
                unsigned char prev = 0;
                for (;;) {
                    unsigned char d = StyleGetChar();
                    if (d == 0 || d == '<') {
                        StyleCh = d;
                        return;
                    }
                    if (prev == '*' && d == '/') break;
                    prev = d;
                }
                continue;
            }
            StylePushBack = n;
            StyleCh = '/';
            return;
        }
        StyleCh = c;
        return;
    }
}

void StyleSkipSpace() {
    while (StyleCh == ' ') StyleNext();
}

// ---- values ----

std::vector<std::string> SplitValues(const std::string& value, size_t maxParts) {
    std::string s;
    std::string t = Trim(value);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == ' ' && (s.empty() || s.back() == ' ' || s.back() == ',')) continue;
        if (t[i] == ',' && !s.empty() && s.back() == ' ') s.pop_back();
        s += t[i];
    }
    std::vector<std::string> parts;
    std::string cur;
    char quote = 0;
    auto flush = [&] {
        if (!cur.empty() && parts.size() < maxParts) parts.push_back(cur);
        cur.clear();
    };
    for (char c : s) {
        if (quote) {
            cur += c;
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
            cur += c;
        } else if (c == ' ') {
            flush();
        } else if (c == '/' && !cur.empty()) {
            flush();
            cur = "/";
        } else {
            cur += c;
        }
    }
    flush();
    return parts;
}

// Resolves the url of every "url(" group against StyleBase.
std::string RewriteURL(const std::string& value) {
    if (StyleBase.empty()) return value;
    std::string result;
    size_t i = 0;
    for (;;) {
        size_t p = value.find("url(", i);
        if (p == std::string::npos) {
            result += value.substr(i);
            break;
        }
        size_t close = value.find(')', p + 4);
        std::string url = Trim(value.substr(p + 4, close == std::string::npos ? std::string::npos : close - p - 4));
        if (url.size() >= 2 && (url[0] == '"' || url[0] == '\'') && url.back() == url[0]) url = url.substr(1, url.size() - 2);
        if (StyleBase.find("://") == std::string::npos) {
            std::replace(url.begin(), url.end(), '/', '\\');
            if (!((url.size() > 1 && url[1] == ':') || url.rfind("\\\\", 0) == 0)) url = StyleBase + url;
        } else if (!IsFullURL(url)) {
            url = Combine(StyleBase, url);
        }
        result += value.substr(i, p - i) + "url(" + url + ")";
        if (close == std::string::npos) break;
        i = close + 1;
    }
    return result;
}

using StoreFn = std::function<void(const std::string&, const std::string&)>;

// Takes every "name(" ... ")" group out of value.
std::vector<std::string> TakeGroups(std::string& value, const char* name) {
    std::vector<std::string> groups;
    for (;;) {
        size_t p = value.find(name);
        if (p == std::string::npos) break;
        size_t close = value.find(')', p);
        size_t end = close == std::string::npos ? value.size() : close + 1;
        groups.push_back(value.substr(p, end - p));
        value.erase(p, end - p);
    }
    return groups;
}

bool IsColour(const std::string& s) {
    TColor c;
    return ColorFromString(s, true, c);
}

void ExpandShorthand(int which, const std::string& value, const StoreFn& store, bool rewrite) {
    static const char* const sides[] = {"top", "right", "bottom", "left"};
    switch (which) {
        case shMargin:
        case shPadding:
        case shBorderWidth:
        case shBorderColor:
        case shBorderStyle: {
            std::vector<std::string> p = SplitValues(value, 4);
            if (p.empty()) return;
            std::string v[4];
            switch (p.size()) {
                case 1: v[0] = v[1] = v[2] = v[3] = p[0]; break;
                case 2: v[0] = v[2] = p[0], v[1] = v[3] = p[1]; break;
                case 3: v[0] = p[0], v[1] = v[3] = p[1], v[2] = p[2]; break;
                default: v[0] = p[0], v[1] = p[1], v[2] = p[2], v[3] = p[3]; break;
            }
            for (int k = 0; k < 4; ++k) {
                std::string name;
                if (which == shMargin) name = std::string("margin-") + sides[k];
                else if (which == shPadding) name = std::string("padding-") + sides[k];
                else if (which == shBorderWidth) name = std::string("border-") + sides[k] + "-width";
                else if (which == shBorderColor) name = std::string("border-") + sides[k] + "-color";
                else name = std::string("border-") + sides[k] + "-style";
                store(name, v[k]);
            }
            return;
        }
        case shBorder:
        case shBorderTop:
        case shBorderRight:
        case shBorderBottom:
        case shBorderLeft: {
            std::string n = ShortHands[which];
            std::string rest = value;
            for (const std::string& g : TakeGroups(rest, "rgb("))
                if (IsColour(g)) store(n + "-color", g);
            TakeGroups(rest, "url(");
            for (const std::string& part : SplitValues(rest, 7)) {
                if (IsColour(part)) {
                    store(n + "-color", part);
                } else if (std::find(std::begin(BorderStyles), std::end(BorderStyles), part) != std::end(BorderStyles)) {
                    store(n + "-style", part);
                } else if (which == shBorder) {
                    for (const char* side : sides) store(std::string("border-") + side + "-width", part);
                } else {
                    store(n + "-width", part);
                }
            }
            return;
        }
        case shFont: {
            std::vector<std::string> parts = SplitValues(value, 7);
            std::string family;
            bool inFamily = false;  // the words of a family name written without quotes go together
            for (size_t i = 0; i < parts.size(); ++i) {
                const std::string& part = parts[i];
                int word = -1;
                for (int k = 0; k < 16; ++k)
                    if (part == FontWords[k]) word = k;
                const bool familyWord = word < 0 && part[0] != '/' && !IsDigit(static_cast<unsigned char>(part[0]));
                if (familyWord) {
                    family = inFamily ? family + " " + part : part;
                    inFamily = true;
                    continue;
                }
                inFamily = false;
                if (part[0] == '/') {
                    store("line-height", part.substr(1));
                } else if (word >= 0) {
                    if (word <= 1) store("font-style", part);
                    else if (word <= 5) store("font-weight", part);
                    else if (word == 6) store("font-variant", part);
                    else store("font-size", part);
                } else {
                    bool whole = std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
                    if (!(whole && part.size() <= 9 && std::stol(part) >= 100)) store("font-size", part);
                }
            }
            if (!family.empty()) store("font-family", family);
            return;
        }
        case shBackground: {
            std::string rest = value;
            for (const std::string& g : TakeGroups(rest, "rgb(")) store("background-color", g);
            for (const std::string& g : TakeGroups(rest, "url(")) store("background-image", rewrite ? RewriteURL(g) : g);
            std::vector<std::string> left;
            for (const std::string& part : SplitValues(rest, 7)) {
                if (IsColour(part)) store("background-color", part);
                else if (part == "none") store("background-image", part);
                else if (part.find("repeat") != std::string::npos) store("background-repeat", part);
                else if (part == "fixed" || part == "scroll") store("background-attachment", part);
                else left.push_back(part);
            }
            if (!left.empty()) {
                std::string pos;
                for (size_t k = left.size() >= 2 ? left.size() - 2 : 0; k < left.size(); ++k) pos += left[k] + " ";
                store("background-position", pos);
            }
            return;
        }
        case shListStyle: {
            std::string rest = value;
            for (const std::string& g : TakeGroups(rest, "url(")) store("list-style-image", rewrite ? RewriteURL(g) : g);
            for (const std::string& part : SplitValues(rest, 7)) store("list-style-type", part);
            return;
        }
        default: return;
    }
}

int ShorthandIndex(const std::string& name) {
    for (int i = 0; i < shCount; ++i)
        if (name == ShortHands[i]) return i;
    return -1;
}

// ---- selectors ----

std::string MakeKey(const std::string& raw, bool normalise) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < raw.size()) {
        while (i < raw.size() && raw[i] == ' ') ++i;
        size_t j = i;
        while (j < raw.size() && raw[j] != ' ') ++j;
        if (j > i) parts.push_back(raw.substr(i, j - i));
        i = j;
    }
    if (parts.empty()) return {};
    if (normalise)
        for (std::string& p : parts) p = SortContextualItems(p);
    if (parts.size() == 1) return parts[0];
    std::string key = parts.back() + " " + std::to_string(parts.size() - 1) + StyleList->GetSeqNo();
    for (size_t k = parts.size() - 1; k-- > 0;) key += parts[k] + " ";
    return key;
}

void ReadSelectors() {
    do {
        if (StyleCh == ',') StyleNext();
        StyleSkipSpace();
        std::string sel;
        int specials = 0;
        bool normalise = false;
        while (StyleCh == ' ' || StyleCh == '#' || StyleCh == '-' || StyleCh == '.' || IsDigit(StyleCh) ||
               StyleCh == ':' || IsLetter(StyleCh) || StyleCh == '_') {
            if (StyleCh == ' ') specials = 0;
            else if (StyleCh == '#' || StyleCh == '.' || StyleCh == ':') {
                if (++specials >= 2) normalise = true;
            }
            sel += static_cast<char>(StyleCh);
            StyleNext();
        }
        std::string key = MakeKey(Trim(Lower(sel)), normalise);
        if (!key.empty()) Selectors.push_back(key);
    } while (StyleCh == ',');
    while (StyleCh != '{' && StyleCh != '<' && StyleCh != 0) StyleNext();
}

void StoreForSelectors(const std::string& name, const std::string& value) {
    int sh = ShorthandIndex(name);
    for (const std::string& key : Selectors) {
        if (sh >= 0) {
            ExpandShorthand(sh, value, [&](const std::string& n, const std::string& v) {
                StyleList->AddSelectorProp(key, n, v);
            }, true);
        } else {
            std::string v = value.find("url(") != std::string::npos ? RewriteURL(value) : value;
            StyleList->AddSelectorProp(key, name, v);
        }
    }
}

void ReadDeclarations() {
    if (StyleCh != '{') return;
    StyleNext();
    for (;;) {
        StyleSkipSpace();
        std::string name;
        while (StyleCh == '-' || IsDigit(StyleCh) || IsLetter(StyleCh)) {
            name += static_cast<char>(StyleCh);
            StyleNext();
        }
        name = Trim(Lower(name));
        StyleSkipSpace();
        if (StyleCh == ':' || StyleCh == '=') {
            StyleNext();
            std::string value;
            while (StyleCh != 0 && StyleCh != ';' && StyleCh != '<' && StyleCh != '}') {
                value += static_cast<char>(StyleCh);
                StyleNext();
            }
            value = CleanValue(LowerKeepUrls(value));
            if (!name.empty()) StoreForSelectors(name, value);
        }
        StyleSkipSpace();
        if (StyleCh == ';') StyleNext();
        while (StyleCh != 0 && StyleCh != '-' && !IsDigit(StyleCh) && !IsLetter(StyleCh) && StyleCh != '<' &&
               StyleCh != '}')
            StyleNext();
        if (StyleCh == 0 || StyleCh == '<' || StyleCh == '}') break;
    }
    if (StyleCh == '}') StyleNext();
}

void RuleLoop(bool inBlock);

void DoAtRule() {
    std::string text;
    StyleNext();
    while (StyleCh != 0 && StyleCh != ';' && StyleCh != '<' && StyleCh != '{') {
        text += static_cast<char>(StyleCh);
        StyleNext();
    }
    if (StyleCh == '{') {
        StyleNext();
        if (Lower(text).find("screen") != std::string::npos && AtDepth < MaxAtDepth) {
            ++AtDepth;
            RuleLoop(true);
            --AtDepth;
        } else {
            int depth = 1;
            while (StyleCh != 0 && StyleCh != '<') {
                if (StyleCh == '{') ++depth;
                else if (StyleCh == '}' && --depth == 0) break;
                StyleNext();
            }
        }
    }
    if (StyleCh == '}' || StyleCh == ';') StyleNext();
}

void RuleLoop(bool inBlock) {
    for (;;) {
        if (StyleCh == 0 || (StyleCh == '<' && !Linked) || (inBlock && StyleCh == '}')) break;
        long long before = CharsRead;
        if (StyleCh == '@') {
            DoAtRule();
        } else if (StyleCh == '<') {
            while (StyleCh != ' ' && StyleCh != 0) StyleNext();
        } else {
            Selectors.clear();
            ReadSelectors();
            ReadDeclarations();
        }
        while (StyleCh == ' ' || StyleCh == '-' || StyleCh == '>') StyleNext();
        if (CharsRead == before && StyleCh != 0) StyleNext();
    }
}

}  // namespace

std::string SortContextualItems(const std::string& selector) {
    std::string tag, classes, ids, pseudos;
    size_t i = 0;
    while (i < selector.size()) {
        char kind = selector[i];
        size_t j = i;
        if (kind == '#' || kind == '.' || kind == ':') ++j;
        else kind = 0;
        while (j < selector.size()) {
            char c = selector[j];
            if (c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) ++j;
            else break;
        }
        std::string part = selector.substr(i, j - i);
        switch (kind) {
            case '.': classes += part; break;
            case '#': ids += part; break;
            case ':': pseudos += part; break;
            default: tag += part; break;
        }
        // A character that belongs to no part is dropped.
        i = (j == i) ? i + 1 : j;
    }
    return tag + classes + ids + pseudos;
}

void DoStyle(TStyleList* styles, const TStyleGetCh& getCh, unsigned char& ch, const std::string& path,
             bool linked, const TStyleGetCh& peekCh) {
    StyleList = styles;
    StyleGetCh = getCh;
    StyleBase = path;
    Linked = linked;
    AtDepth = 0;
    Selectors.clear();
    StylePushBack = ch == '\r' ? ' ' : ch;
    StyleCh = ' ';
    // Passes an opening "<!--"; any other "<" is the end of an embedded sheet.
    for (;;) {
        if (StyleCh == ' ' || StyleCh == '!' || StyleCh == '-' || StyleCh == '>') {
            StyleNext();
        } else if (StyleCh == '<') {
            if (peekCh && !StylePushBack) {
                if (peekCh() == '!') {
                    StyleNext();
                    continue;
                }
                if (!linked) break;
            }
            unsigned char n = StyleGetChar();
            if (n == '!') {
                StyleNext();
                continue;
            }
            StylePushBack = n;
            if (linked) {
                StyleNext();
                continue;
            }
            break;
        } else {
            break;
        }
    }
    RuleLoop(false);
    ch = (StyleCh >= 'a' && StyleCh <= 'z') ? static_cast<unsigned char>(StyleCh - 32) : StyleCh;
    StyleGetCh = nullptr;
    StyleList = nullptr;
}

void DoStyleText(TStyleList* styles, const std::string& text, const std::string& path) {
    size_t pos = 0;
    unsigned char ch = ' ';
    DoStyle(styles, [&]() -> unsigned char {
        if (pos >= text.size()) return 0;
        auto c = static_cast<unsigned char>(text[pos++]);
        return c == 0 ? ' ' : c;
    }, ch, path, true);
}

void ParsePropertyStr(const std::string& text, TProperties* props) {
    if (!props) return;
    std::string s = LowerKeepUrls(text);
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    };
    auto store = [&](const std::string& n, const std::string& v) { props->AddPropertyByName(n, v); };
    while (i < s.size()) {
        skipSpace();
        size_t start = i;
        while (i < s.size() && (s[i] == '-' || IsDigit(static_cast<unsigned char>(s[i])) ||
                                IsLetter(static_cast<unsigned char>(s[i]))))
            ++i;
        std::string name = Trim(s.substr(start, i - start));
        skipSpace();
        if (i < s.size() && (s[i] == ':' || s[i] == '=')) {
            ++i;
            size_t vstart = i;
            while (i < s.size() && s[i] != ';' && s[i] != 0) ++i;
            std::string value = CleanValue(s.substr(vstart, i - vstart));
            if (!name.empty()) {
                int sh = ShorthandIndex(name);
                if (sh >= 0) ExpandShorthand(sh, value, store, false);
                else props->AddPropertyByName(name, value);
            }
        }
        skipSpace();
        if (i < s.size() && s[i] == ';') ++i;
        while (i < s.size() && s[i] != 0 && s[i] != '-' && !IsDigit(static_cast<unsigned char>(s[i])) &&
               !IsLetter(static_cast<unsigned char>(s[i])))
            ++i;
        if (i < s.size() && s[i] == 0) break;
    }
}
