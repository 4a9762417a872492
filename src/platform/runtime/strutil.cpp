#include "platform/runtime/strutil.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Windows-1252 letters: à..þ pair with À..Þ (except ÷ and ×), and the few
// letters in 0x80..0x9F and ÿ/Ÿ pair up by table.
char AnsiUpper(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
    switch (c) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return ch;
    }
}

char AnsiLower(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
    switch (c) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return ch;
    }
}

} // namespace

std::string Copy(const std::string& s, int index, int count) {
    int len = static_cast<int>(s.size());
    if (index < 1) index = 1;
    if (count <= 0 || index > len) return std::string();
    if (count > len - index + 1) count = len - index + 1;
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

int Pos(const std::string& sub, const std::string& s) {
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

void Delete(std::string& s, int index, int count) {
    int len = static_cast<int>(s.size());
    if (index < 1 || index > len || count <= 0) return;
    if (count > len - index + 1) count = len - index + 1;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const std::string& sub, std::string& s, int index) {
    int len = static_cast<int>(s.size());
    if (index < 1) index = 1;
    if (index > len + 1) index = len + 1;
    s.insert(static_cast<size_t>(index - 1), sub);
}

int Length(const std::string& s) { return static_cast<int>(s.size()); }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string UpperCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

std::string LowerCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

std::string AnsiUpperCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = AnsiUpper(c);
    return r;
}

std::string AnsiLowerCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = AnsiLower(c);
    return r;
}

int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<unsigned char>(AsciiUpper(a[i])) -
                static_cast<unsigned char>(AsciiUpper(b[i]));
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareStr(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

std::string StringReplace(const std::string& s, const std::string& from, const std::string& to,
                          int flags) {
    if (from.empty()) return s;
    const bool all = flags & rfReplaceAll;
    const bool nocase = flags & rfIgnoreCase;
    const std::string hay = nocase ? AnsiUpperCase(s) : std::string();
    const std::string needle = nocase ? AnsiUpperCase(from) : std::string();
    const std::string& h = nocase ? hay : s;
    const std::string& n = nocase ? needle : from;
    std::string out;
    size_t start = 0;
    for (;;) {
        size_t p = h.find(n, start);
        if (p == std::string::npos) break;
        out.append(s, start, p - start);
        out += to;
        start = p + n.size();
        if (!all) break;
    }
    out.append(s, start, std::string::npos);
    return out;
}

std::string StringOfChar(char c, int count) {
    return count > 0 ? std::string(static_cast<size_t>(count), c) : std::string();
}

std::string QuotedStr(const std::string& s) {
    std::string out;
    out.reserve(s.size() + 2);
    out += '\'';
    for (char c : s) {
        out += c;
        if (c == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

std::string QuotedExcerpt(std::string_view s) {
    constexpr size_t kShown = 40;
    std::string out = "'";
    for (const char c : s.substr(0, kShown)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) out += "[código " + std::to_string(u) + "]";
        else out += c;
    }
    return out + (s.size() > kShown ? "...'" : "'");
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0, i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text, start, i - start);
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n) lines.emplace_back(text, start, n - start);
    return lines;
}

std::string HtmlEscape(const std::string& text) {
    if (text.find_first_of("&<>") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}
