#include "html/reader/style_values.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "html/reader/style_props.h"
#include "platform/runtime/arith.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

double DefPointSize = 12.0;

const std::string& TPropValue::EmptyText() {
    static const std::string empty;
    return empty;
}

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

struct ColorRow {
    const char* name;
    uint32_t value;  // 0xRRGGBB for keywords; the stored value for the rest
    bool rgb;
};

// Keywords are written as 0xRRGGBB and stored as 0x00BBGGRR.
const ColorRow kColors[] = {
    {"transparent", uint32_t(clNone), false},
    {"black", 0x000000, true}, {"maroon", 0x800000, true}, {"green", 0x008000, true},
    {"olive", 0x808000, true}, {"navy", 0x000080, true}, {"purple", 0x800080, true},
    {"teal", 0x008080, true}, {"gray", 0x808080, true}, {"silver", 0xC0C0C0, true},
    {"red", 0xFF0000, true}, {"lime", 0x00FF00, true}, {"yellow", 0xFFFF00, true},
    {"blue", 0x0000FF, true}, {"fuchsia", 0xFF00FF, true}, {"aqua", 0x00FFFF, true},
    {"white", 0xFFFFFF, true},
    {"aliceblue", 0xF0F8FF, true}, {"antiquewhite", 0xFAEBD7, true}, {"aquamarine", 0x7FFFD4, true},
    {"azure", 0xF0FFFF, true}, {"beige", 0xF5F5DC, true}, {"bisque", 0xFFE4C4, true},
    {"blanchedalmond", 0xFFEBCD, true}, {"blueviolet", 0x8A2BE2, true}, {"brown", 0xA52A2A, true},
    {"burlywood", 0xDEB887, true}, {"cadetblue", 0x5F9EA0, true}, {"chartreuse", 0x7FFF00, true},
    {"chocolate", 0xD2691E, true}, {"coral", 0xFF7F50, true}, {"cornflowerblue", 0x6495ED, true},
    {"cornsilk", 0xFFF8DC, true}, {"crimson", 0xDC143C, true}, {"cyan", 0x00FFFF, true},
    {"darkblue", 0x00008B, true}, {"darkcyan", 0x008B8B, true}, {"darkgoldenrod", 0xB8860B, true},
    {"darkgray", 0xA9A9A9, true}, {"darkgreen", 0x006400, true}, {"darkkhaki", 0xBDB76B, true},
    {"darkmagenta", 0x8B008B, true}, {"darkolivegreen", 0x556B2F, true}, {"darkorange", 0xFF8C00, true},
    {"darkorchid", 0x9932CC, true}, {"darkred", 0x8B0000, true}, {"darksalmon", 0xE9967A, true},
    {"darkseagreen", 0x8FBC8F, true}, {"darkslateblue", 0x483D8B, true}, {"darkslategray", 0x2F4F4F, true},
    {"darkturquoise", 0x00CED1, true}, {"darkviolet", 0x9400D3, true}, {"deeppink", 0xFF1493, true},
    {"deepskyblue", 0x00BFFF, true}, {"dimgray", 0x696969, true}, {"dodgerblue", 0x1E90FF, true},
    {"firebrick", 0xB22222, true}, {"floralwhite", 0xFFFAF0, true}, {"forestgreen", 0x228B22, true},
    {"gainsboro", 0xDCDCDC, true}, {"ghostwhite", 0xF8F8FF, true}, {"gold", 0xFFD700, true},
    {"goldenrod", 0xDAA520, true}, {"greenyellow", 0xADFF2F, true}, {"honeydew", 0xF0FFF0, true},
    {"hotpink", 0xFF69B4, true}, {"indianred", 0xCD5C5C, true}, {"indigo", 0x4B0082, true},
    {"ivory", 0xFFFFF0, true}, {"khaki", 0xF0E68C, true}, {"lavender", 0xE6E6FA, true},
    {"lavenderblush", 0xFFF0F5, true}, {"lawngreen", 0x7CFC00, true}, {"lemonchiffon", 0xFFFACD, true},
    {"lightblue", 0xADD8E6, true}, {"lightcoral", 0xF08080, true}, {"lightcyan", 0xE0FFFF, true},
    {"lightgoldenrodyellow", 0xFAFAD2, true}, {"lightgreen", 0x90EE90, true}, {"lightgray", 0xD3D3D3, true},
    {"lightpink", 0xFFB6C1, true}, {"lightsalmon", 0xFFA07A, true}, {"lightseagreen", 0x20B2AA, true},
    {"lightskyblue", 0x87CEFA, true}, {"lightslategray", 0x778899, true}, {"lightsteelblue", 0xB0C4DE, true},
    {"lightyellow", 0xFFFFE0, true}, {"limegreen", 0x32CD32, true}, {"linen", 0xFAF0E6, true},
    {"magenta", 0xFF00FF, true}, {"mediumaquamarine", 0x66CDAA, true}, {"mediumblue", 0x0000CD, true},
    {"mediumorchid", 0xBA55D3, true}, {"mediumpurple", 0x9370DB, true}, {"mediumseagreen", 0x3CB371, true},
    {"mediumslateblue", 0x7B68EE, true}, {"mediumspringgreen", 0x00FA9A, true},
    {"mediumturquoise", 0x48D1CC, true}, {"mediumvioletred", 0xC71585, true}, {"midnightblue", 0x191970, true},
    {"mintcream", 0xF5FFFA, true}, {"mistyrose", 0xFFE4E1, true}, {"moccasin", 0xFFE4B5, true},
    {"navajowhite", 0xFFDEAD, true}, {"oldlace", 0xFDF5E6, true}, {"olivedrab", 0x6B8E23, true},
    {"orange", 0xFFA500, true}, {"orangered", 0xFF4500, true}, {"orchid", 0xDA70D6, true},
    {"palegoldenrod", 0xEEE8AA, true}, {"palegreen", 0x98FB98, true}, {"paleturquoise", 0xAFEEEE, true},
    {"palevioletred", 0xDB7093, true}, {"papayawhip", 0xFFEFD5, true}, {"peachpuff", 0xFFDAB9, true},
    {"peru", 0xCD853F, true}, {"pink", 0xFFC0CB, true}, {"plum", 0xDDA0DD, true},
    {"powderblue", 0xB0E0E6, true}, {"rosybrown", 0xBC8F8F, true}, {"royalblue", 0x4169E1, true},
    {"saddlebrown", 0x8B4513, true}, {"salmon", 0xFA8072, true}, {"sandybrown", 0xF4A460, true},
    {"seagreen", 0x2E8B57, true}, {"seashell", 0xFFF5EE, true}, {"sienna", 0xA0522D, true},
    {"skyblue", 0x87CEEB, true}, {"slateblue", 0x6A5ACD, true}, {"slategray", 0x708090, true},
    {"snow", 0xFFFAFA, true}, {"springgreen", 0x00FF7F, true}, {"steelblue", 0x4682B4, true},
    {"tan", 0xD2B48C, true}, {"thistle", 0xD8BFD8, true}, {"tomato", 0xFF6347, true},
    {"turquoise", 0x40E0D0, true}, {"violet", 0xEE82EE, true}, {"wheat", 0xF5DEB3, true},
    {"whitesmoke", 0xF5F5F5, true}, {"yellowgreen", 0x9ACD32, true},
    {"grey", 0x808080, true}, {"darkgrey", 0xA9A9A9, true}, {"darkslategrey", 0x2F4F4F, true},
    {"dimgrey", 0x696969, true}, {"lightgrey", 0xD3D3D3, true}, {"lightslategrey", 0x778899, true},
    {"slategrey", 0x708090, true},
    {"background", 0x80000001, false}, {"activecaption", 0x80000002, false},
    {"inactivecaption", 0x80000003, false}, {"menu", 0x80000004, false}, {"window", 0x80000005, false},
    {"windowframe", 0x80000006, false}, {"menutext", 0x80000007, false}, {"windowtext", 0x80000008, false},
    {"captiontext", 0x80000009, false}, {"activeborder", 0x8000000A, false},
    {"inactiveborder", 0x8000000B, false}, {"appworkSpace", 0x8000000C, false},
    {"highlight", 0x8000000D, false}, {"hightlighttext", 0x8000000E, false},
    {"buttonface", 0x8000000F, false}, {"buttonshadow", 0x80000010, false}, {"graytext", 0x80000011, false},
    {"buttontext", 0x80000012, false}, {"inactivecaptiontext", 0x80000013, false},
    {"buttonhighlight", 0x80000014, false}, {"threeddarkshadow", 0x80000015, false},
    {"threedlightshadow", 0x80000014, false}, {"infotext", 0x80000017, false},
    {"infobackground", 0x80000018, false}, {"scrollbar", 0x80000000, false},
    {"threedface", 0x8000000F, false}, {"threedhighlight", 0x80000016, false},
    {"threedshadow", 0x80000010, false},
};
static_assert(sizeof(kColors) / sizeof(kColors[0]) == 176, "the colour table has 176 rows");

const std::unordered_map<std::string, TColor>& ColorList() {
    static const std::unordered_map<std::string, TColor> list = [] {
        std::unordered_map<std::string, TColor> m;
        for (const ColorRow& r : kColors) {
            TColor c = r.rgb ? RGB(int(r.value >> 16) & 0xFF, int(r.value >> 8) & 0xFF, int(r.value) & 0xFF)
                             : TColor(r.value);
            m.emplace(Lower(r.name), c);
        }
        return m;
    }();
    return list;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The leading number of a text (sign, digits, one point, digits; an "e" ends
// it). `used` is the count of characters read; no digit gives 0 and used 0.
double LeadingNumber(const std::string& s, size_t& used) {
    size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    double v = 0;
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (v < 1e15) v = v * 10 + (s[i] - '0');
        digits = true;
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        double scale = 0.1;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            v += (s[j] - '0') * scale;
            scale /= 10;
            digits = true;
            ++j;
        }
        if (digits) i = j;
    }
    if (!digits) {
        used = 0;
        return 0;
    }
    used = i;
    return neg ? -v : v;
}

}  // namespace

int ClampPageLength(double v) {
    if (!(v == v)) return 0;
    v = std::clamp(v, -double(kMaxPageLength), double(kMaxPageLength));
    return static_cast<int>(Round(static_cast<long double>(v)));
}

int PageInteger(const std::string& text, bool* found) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const size_t first = i;
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (v <= kMaxPageLength) v = v * 10 + (text[i] - '0');
    if (found) *found = i > first;
    return static_cast<int>(std::clamp(negative ? -v : v, -(long long)kMaxPageLength, (long long)kMaxPageLength));
}

// ---------------------------------------------------------------- colours

bool RGBFromString(const std::string& text, TColor& color) {
    size_t open = text.find('('), close = text.find(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    std::string inner = text.substr(open + 1, close - open - 1);
    int parts[3] = {0, 0, 0};
    size_t start = 0;
    for (int k = 0; k < 3; ++k) {
        size_t comma = inner.find(',', start);
        std::string part = Trim(inner.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        int v;
        if (part.find('%') != std::string::npos) {
            size_t used;
            double d = LeadingNumber(part, used);
            v = ClampPageLength(d * 255 / 100);
        } else {
            v = StrToIntDef(part, 0);
        }
        parts[k] = v < 0 ? 0 : v > 255 ? 255 : v;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    color = TColor(parts[2] * 65536 + parts[1] * 256 + parts[0]) | PalRelative;
    return true;
}

bool ColorFromString(const std::string& text, bool needPound, TColor& color) {
    static std::string cacheText = "?&%@";
    static bool cachePound = false;
    static TColor cacheColor = 0;
    if (text.empty()) return false;
    std::string s = Lower(Trim(text));
    if (s == cacheText && needPound == cachePound) {
        color = cacheColor;
        return true;
    }
    bool ok = false;
    TColor c = 0;
    if ((s.empty() || s[0] != '#') && s.find("rgb(") == std::string::npos) {
        auto it = ColorList().find(s);
        if (it != ColorList().end()) {
            c = it->second;
            ok = true;
        }
    }
    if (!ok) {
        size_t rgb = s.find("rgb");
        if (rgb != std::string::npos) {
            ok = RGBFromString(s.substr(rgb + 3), c);
        } else if (s.find('#') == std::string::npos && needPound) {
            return false;
        } else {
            size_t hash = s.rfind('#');
            std::string rest = Trim(hash == std::string::npos ? s : s.substr(hash + 1));
            if (rest.size() < 4) {
                std::string doubled;
                for (char ch : rest) doubled += std::string(2, ch);
                rest = doubled;
            }
            if (rest.empty() || rest.size() > 8) return false;
            uint32_t v = 0;
            for (char ch : rest) {
                int d = HexDigit(ch);
                if (d < 0) return false;
                v = v * 16 + static_cast<uint32_t>(d);
            }
            c = RGB(int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF) | PalRelative;
            ok = true;
        }
    }
    if (ok) {
        cacheText = s;
        cachePound = needPound;
        cacheColor = c;
        color = c;
    }
    return ok;
}

// ---------------------------------------------------------------- lengths


int LengthConv(const std::string& text, bool relative, int base, int def, int exSize, int emSize) {
    std::string t = Trim(text);
    size_t used;
    double v = LeadingNumber(t, used);
    std::string unit = Lower(Trim(t.substr(used)));
    const double P = LogicalPixelsPerInch;
    double r;
    if (unit.empty()) r = relative ? base * v : v;
    else if (unit == "in") r = P * v;
    else if (unit == "cm") r = P * v / 2.54;
    else if (unit == "mm") r = P * v / 25.4;
    else if (unit == "pt") r = v * P / 72;
    else if (unit == "px") r = v;
    else if (unit == "pc") r = v * P / 6;
    else if (unit == "em") r = emSize * v;
    else if (unit == "ex") r = exSize * v;
    else if (unit == "%") r = base * v / 100;
    else return def;
    return ClampPageLength(r);
}

double FontSizeConv(const std::string& text, double base) {
    std::string t = Trim(text);
    size_t used;
    double v = LeadingNumber(t, used);
    std::string unit = Lower(Trim(t.substr(used)));
    const double P = LogicalPixelsPerInch;
    const double D = DefPointSize;
    double r;
    if (used > 0 && (unit.empty() || unit == "px")) r = v * 72 / P;
    else if (used > 0 && unit == "in") r = 72 * v;
    else if (used > 0 && unit == "cm") r = 72 * v / 2.54;
    else if (used > 0 && unit == "mm") r = 72 * v / 25.4;
    else if (used > 0 && unit == "pt") r = v;
    else if (used > 0 && unit == "pc") r = 12 * v;
    else if (used > 0 && unit == "em") r = base * v;
    else if (used > 0 && unit == "ex") r = base * v / 2;
    else if (used > 0 && unit == "%") r = base * v / 100;
    else if (unit == "smaller") r = 0.75 * base;
    else if (unit == "larger") r = 1.25 * base;
    else if (unit == "xx-small") r = D / 1.5;
    else if (unit == "x-small") r = D / 1.2;
    else if (unit == "small") r = D;
    else if (unit == "medium") r = 1.2 * D;
    else if (unit == "large") r = 1.5 * D;
    else if (unit == "x-large") r = 2 * D;
    else if (unit == "xx-large") r = 3 * D;
    else r = D;
    // Keep sizes a font engine can build.
    if (!(r == r)) r = D;
    if (r < 0) r = 0;
    if (r > 3000) r = 3000;
    return r;
}

std::string ReadURL(const std::string& value) {
    size_t p = value.find("url(");
    if (p == std::string::npos) return {};
    std::string s = value.substr(p + 4);
    size_t close = s.find(')');
    if (close != std::string::npos) s.erase(close);
    if (s.size() > 2 && (s[0] == '"' || s[0] == '\'')) s = s.substr(1, s.size() - 2);
    return s;
}

std::string ReadFontName(const std::string& list) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string entry = Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (entry.empty()) return {};
        std::string lower = Lower(entry);
        if (lower == "serif") entry = "Times New Roman";
        else if (lower == "monospace") entry = "Courier New";
        else if (lower == "sans-serif") entry = "Arial";
        else if (lower == "cursive") entry = "Lucida Handwriting";
        if (!entry.empty() && (entry.back() == '"' || entry.back() == '\'')) entry.pop_back();
        if (!entry.empty() && (entry.front() == '"' || entry.front() == '\'')) entry.erase(0, 1);
        if (!entry.empty() && FontIsInstalled(entry)) return entry;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return {};
}

bool CharSetToCodePage(int charSet, int& codePage) {
    static const int table[][2] = {{0, 1252},   {1, 0},      {2, 0},      {77, 2},     {128, 932},
                                   {129, 949},  {130, 1361}, {134, 936},  {136, 950},  {161, 1253},
                                   {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
                                   {204, 1251}, {222, 874},  {238, 1250}, {255, 1},    {31, 28592}};
    for (const auto& row : table)
        if (row[0] == charSet) {
            codePage = row[1];
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- box arrays

namespace {
// The sets shared lately.
TRecentSets<MargArrayO>& RecentBoxes() {
    static TRecentSets<MargArrayO> recent;
    return recent;
}

const std::shared_ptr<MargArrayO>& EmptyBox() {
    static const std::shared_ptr<MargArrayO> empty = std::make_shared<MargArrayO>();
    return empty;
}
}  // namespace

TSharedBoxValues::TSharedBoxValues() : values_(EmptyBox()) {}

MargArrayO& TSharedBoxValues::Edit() {
    if (values_.use_count() > 1) values_ = std::make_shared<MargArrayO>(*values_);
    return *values_;
}

void TSharedBoxValues::Share() {
    if (auto r = RecentBoxes().Find(*values_)) {
        values_ = std::move(r);
        return;
    }
    RecentBoxes().Remember(values_);
}

void TSharedBoxValues::Assign(const MargArrayO& values) { values_ = RecentBoxes().Share(values); }

TSharedMargArray::TSharedMargArray() {
    static const auto zeros = std::make_shared<const MargArray>();
    values_ = zeros;
}

void TSharedMargArray::Assign(const MargArray& m) {
    static TRecentSets<const MargArray> recent;
    values_ = recent.Share(m);
}

namespace {
int StyleOf(const TPropValue& v) {
    if (v.IsInt()) return v.Int() == IntNull ? 0 : v.Int();
    if (v.IsText()) return BorderStyleFromString(v.Text());
    return 0;
}

int BorderWidth(const MargArrayO& o, int i, int base, int emSize, int exSize) {
    if (StyleOf(o[static_cast<size_t>(i + 8)]) == 0) return 0;
    const TPropValue& v = o[static_cast<size_t>(i)];
    if (v.IsText()) {
        if (v.Text() == "thin") return 2;
        if (v.Text() == "medium") return 4;
        if (v.Text() == "thick") return 6;
        return LengthConv(v.Text(), false, base, 4, exSize, emSize);
    }
    if (v.IsInt()) return v.Int() == IntNull ? 4 : v.Int();
    if (v.IsReal()) return ClampPageLength(v.Real());
    return 4;
}

// Text through LengthConv, a set integer itself, else `otherwise`.
int Length(const TPropValue& v, int base, int def, int emSize, int exSize, int otherwise) {
    if (v.IsText()) return LengthConv(v.Text(), false, base, def, exSize, emSize);
    if (v.IsInt() && v.Int() != IntNull) return v.Int();
    if (v.IsReal()) return ClampPageLength(v.Real());
    return otherwise;
}
}  // namespace

namespace {

void ConvertBox(const MargArrayO& o, int base, int height, int emSize, int exSize, int& autoCount, MargArray& m);

// Boxes converted lately: the cells and paragraphs of a long table convert
// the same values against the same sizes one after another.
struct TConvertedBox {
    bool used = false;
    MargArrayO o;
    int base = 0, height = 0, emSize = 0, exSize = 0, autoCount = 0;
    MargArray m{};
};
std::array<TConvertedBox, 4> g_converted;
size_t g_nextConverted = 0;

bool SameBoxValues(const MargArrayO& a, const MargArrayO& b) {
    for (int i = MargLow; i <= MargHigh; ++i) {
        const auto k = static_cast<size_t>(i);
        if (!a[k].SameCopy(b[k]) && !(a[k] == b[k])) return false;
    }
    return true;
}

}  // namespace

void ConvMargArray(const MargArrayO& o, int base, int height, int emSize, int exSize, int& autoCount,
                   MargArray& m) {
    // Every slot from MargLow on is written except 11 and 13, which pass through.
    for (const TConvertedBox& c : g_converted) {
        if (!c.used || c.base != base || c.height != height || c.emSize != emSize || c.exSize != exSize ||
            !SameBoxValues(c.o, o))
            continue;
        const int keep11 = m[11], keep13 = m[13];
        std::copy(c.m.begin() + MargLow, c.m.begin() + MargHigh + 1, m.begin() + MargLow);
        m[11] = keep11;
        m[13] = keep13;
        autoCount = c.autoCount;
        return;
    }
    ConvertBox(o, base, height, emSize, exSize, autoCount, m);
    TConvertedBox& c = g_converted[g_nextConverted];
    g_nextConverted = (g_nextConverted + 1) % g_converted.size();
    c.used = true;
    c.o = o;
    c.base = base;
    c.height = height;
    c.emSize = emSize;
    c.exSize = exSize;
    c.autoCount = autoCount;
    c.m = m;
}

namespace {

void ConvertBox(const MargArrayO& o, int base, int height, int emSize, int exSize, int& autoCount, MargArray& m) {
    autoCount = 0;
    for (int i = MargLow; i <= MargHigh; ++i) {
        const TPropValue& v = o[static_cast<size_t>(i)];
        int b = (i == 32 || i == 33) ? height : base;
        int& out = m[static_cast<size_t>(i)];
        switch (i) {
            case 9:
            case 10: out = v.IsInt() && v.Int() != IntNull ? v.Int() : clNone; break;
            case 11:
            case 13: break;
            case 12:
            case 14:
                if (v.IsText() && v.Text() == "auto") {
                    out = Auto;
                    ++autoCount;
                } else {
                    out = Length(v, b, 0, emSize, exSize, 0);
                }
                break;
            case 15: case 16: case 17: case 18:
                out = Length(v, b, 0, emSize, exSize, 0);
                break;
            case 19: case 20: case 21: case 22:
                out = BorderWidth(o, i, b, emSize, exSize);
                break;
            case 31:
                out = Length(v, b, Auto, emSize, exSize, Auto);
                if (out == Auto) ++autoCount;
                break;
            case 32:
                out = Length(v, b, 0, emSize, exSize, 0);
                if (v.IsText() && v.Text().find('%') != std::string::npos)
                    out -= m[15] + m[17] + m[19] + m[21];
                break;
            case 33: case 34: case 35: case 36:
                out = Length(v, b, Auto, emSize, exSize, Auto);
                break;
            default:  // 23..30
                out = Length(v, b, 0, emSize, exSize, 0);
                break;
        }
    }
}

}  // namespace

void ConvInlineMargArray(const MargArrayO& o, int base, MargArray& m, int emSize, int exSize) {
    for (int i = 11; i <= 14; ++i) m[static_cast<size_t>(i)] = Length(o[static_cast<size_t>(i)], base, 0, emSize, exSize, IntNull);
    for (int i = 19; i <= 22; ++i) m[static_cast<size_t>(i)] = BorderWidth(o, i, base, emSize, exSize);
    for (int i = 31; i <= 32; ++i)
        m[static_cast<size_t>(i)] = Length(o[static_cast<size_t>(i)], base, Auto, emSize, exSize, IntNull);
}

void ConvVertMargins(const MargArrayO& o, int emSize, int exSize, MargArray& m) {
    for (int i = 15; i <= 18; ++i) m[static_cast<size_t>(i)] = Length(o[static_cast<size_t>(i)], -100, 0, emSize, exSize, -1);
}
