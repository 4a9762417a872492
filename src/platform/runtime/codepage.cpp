#include "platform/runtime/codepage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <string_view>

namespace {

// 0x80..0x9F; the five bytes Windows-1252 leaves undefined keep their C1 value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 byte of a code point, or -1.
int ToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

// Decodes one code point of UTF-8 at s[i]; false on a malformed sequence
// (then i advances by one byte).
bool DecodeUtf8(std::string_view s, size_t& i, char32_t& cp) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        cp = c;
        ++i;
        return true;
    }
    int len;
    char32_t min;
    if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + len > s.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += static_cast<size_t>(len);
    return true;
}

// Decodes one code point of UTF-16 at s[i]; a lone surrogate gives false.
bool DecodeUtf16(const std::u16string& s, size_t& i, char32_t& cp) {
    char16_t c = s[i++];
    if (c < 0xD800 || c > 0xDFFF) {
        cp = c;
        return true;
    }
    if (c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
        cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (s[i++] - 0xDC00);
        return true;
    }
    return false;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

std::u16string Utf8ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::string_view s(bytes);
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp;
        if (DecodeUtf8(s, i, cp))
            AppendUtf16(out, cp);
        else
            out += kReplacement;
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp;
        if (DecodeUtf16(text, i, cp))
            AppendUtf8(out, cp);
        else
            out += '?';
    }
    return out;
}

// iconv's name for a Windows code-page number.
std::string IconvName(int codePage) {
    switch (codePage) {
    case 1201: return "UTF-16BE";
    case 12000: return "UTF-32LE";
    case 12001: return "UTF-32BE";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932:
    case 51932: return "EUC-JP";
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP";
    case 51936: return "GB2312";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    case 10000: return "MACINTOSH";
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28606) return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

// One conversion descriptor per direction and code page and thread: opening
// them is costly and a descriptor must not be shared between threads.
class IconvCache {
public:
    ~IconvCache() {
        for (auto& [key, cd] : map_)
            if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    iconv_t Get(int codePage, bool toUtf16) {
        auto key = std::make_pair(codePage, toUtf16);
        auto it = map_.find(key);
        if (it == map_.end()) {
            std::string name = IconvName(codePage);
            iconv_t cd = toUtf16 ? iconv_open("UTF-16LE", name.c_str())
                                 : iconv_open(name.c_str(), "UTF-16LE");
            it = map_.emplace(key, cd).first;
        }
        if (it->second != reinterpret_cast<iconv_t>(-1))
            iconv(it->second, nullptr, nullptr, nullptr, nullptr);  // initial state
        return it->second;
    }

private:
    std::map<std::pair<int, bool>, iconv_t> map_;
};

thread_local IconvCache iconvCache;

bool IconvOk(iconv_t cd) { return cd != reinterpret_cast<iconv_t>(-1); }

std::u16string IconvDecode(iconv_t cd, const std::string& bytes) {
    std::u16string out;
    std::string buf(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        size_t produced = buf.size() - oLeft;
        for (size_t k = 0; k + 1 < produced; k += 2)
            out += static_cast<char16_t>(static_cast<unsigned char>(buf[k]) |
                                         (static_cast<unsigned char>(buf[k + 1]) << 8));
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An undecodable or truncated sequence: one replacement per byte.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state.
    char* o = buf.data();
    size_t oLeft = buf.size();
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    return out;
}

std::string IconvEncode(iconv_t cd, const std::u16string& text) {
    std::string le;
    le.reserve(text.size() * 2);
    for (char16_t c : text) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
    }
    std::string out;
    std::string buf(text.size() * 4 + 16, '\0');
    char* in = le.data();
    size_t inLeft = le.size();
    while (inLeft > 0) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.data(), buf.size() - oLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // A character the code page lacks (or a lone surrogate): '?' for it.
        size_t skip = 2;
        if (inLeft >= 4) {
            char16_t c = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                               (static_cast<unsigned char>(in[1]) << 8));
            char16_t c2 = static_cast<char16_t>(static_cast<unsigned char>(in[2]) |
                                                (static_cast<unsigned char>(in[3]) << 8));
            if (c >= 0xD800 && c <= 0xDBFF && c2 >= 0xDC00 && c2 <= 0xDFFF) skip = 4;
        }
        if (skip > inLeft) skip = inLeft;
        in += skip;
        inLeft -= skip;
        o = buf.data();
        oLeft = buf.size();
        iconv(cd, nullptr, nullptr, &o, &oLeft);
        out.append(buf.data(), buf.size() - oLeft);
        out += '?';
    }
    char* o = buf.data();
    size_t oLeft = buf.size();
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    out.append(buf.data(), buf.size() - oLeft);
    return out;
}

bool IsAnsi(int codePage) { return codePage == 0 || codePage == 1252; }

} // namespace

char16_t Cp1252CharToUtf16(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

std::u16string Cp1252ToUtf16(const std::string& text) {
    std::u16string out(text.size(), u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = Cp1252CharToUtf16(static_cast<unsigned char>(text[i]));
    return out;
}

bool TryUtf16ToCp1252(const std::u16string& text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    bool whole = true;
    size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        char32_t cp;
        int b = DecodeUtf16(text, i, cp) ? ToCp1252(cp) : -1;
        if (b < 0) whole = false;
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return whole;
}

std::string Utf16ToCp1252(const std::u16string& text) {
    std::string out;
    TryUtf16ToCp1252(text, out);
    return out;
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else
            AppendUtf8(out, Cp1252CharToUtf16(c));
    }
    return out;
}

bool TryUtf8ToCp1252(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    bool whole = true;
    std::string_view s(text);
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        char32_t cp;
        int b = DecodeUtf8(s, i, cp) ? ToCp1252(cp) : -1;
        if (b < 0) whole = false;
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return whole;
}

bool IsUtf8(std::string_view bytes) {
    size_t i = 0;
    char32_t cp;
    while (i < bytes.size())
        if (!DecodeUtf8(bytes, i, cp)) return false;
    return true;
}

std::string Utf8ToCp1252(const std::string& text) {
    std::string out;
    TryUtf8ToCp1252(text, out);
    return out;
}

std::u16string MultiByteToWide(int codePage, const std::string& bytes) {
    if (IsAnsi(codePage)) return Cp1252ToUtf16(bytes);
    if (codePage == 65001) return Utf8ToUtf16(bytes);
    if (codePage == 1200) {
        std::u16string out;
        out.reserve(bytes.size() / 2 + 1);
        size_t i = 0;
        for (; i + 1 < bytes.size(); i += 2)
            out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (i < bytes.size()) out += kReplacement;
        return out;
    }
    iconv_t cd = iconvCache.Get(codePage, true);
    if (!IconvOk(cd)) return Cp1252ToUtf16(bytes);
    return IconvDecode(cd, bytes);
}

std::string WideToMultiByte(int codePage, const std::u16string& text) {
    if (IsAnsi(codePage)) return Utf16ToCp1252(text);
    if (codePage == 65001) return Utf16ToUtf8(text);
    if (codePage == 1200) {
        std::string out;
        out.reserve(text.size() * 2);
        for (char16_t c : text) {
            out += static_cast<char>(c & 0xFF);
            out += static_cast<char>(c >> 8);
        }
        return out;
    }
    iconv_t cd = iconvCache.Get(codePage, false);
    if (!IconvOk(cd)) return Utf16ToCp1252(text);
    return IconvEncode(cd, text);
}

bool IsCodePageSupported(int codePage) {
    if (IsAnsi(codePage) || codePage == 65001 || codePage == 1200) return true;
    if (codePage < 0) return false;
    return IconvOk(iconvCache.Get(codePage, true));
}
