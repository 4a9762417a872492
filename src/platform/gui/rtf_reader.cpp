#include "platform/gui/rtf_reader.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/runtime/codepage.h"

namespace {

struct State {
    bool bold = false, italic = false, underline = false;
    int halfPoints = 24;
    int colorIndex = 0;
    int fontIndex = -1;
    int uc = 1;         // characters to skip after \u
    bool skip = false;  // inside a destination whose text is not shown
    enum class Table : uint8_t { None, Fonts, Colors } table = Table::None;
};

// Destinations whose content is never shown.
const std::set<std::string>& SkippedDestinations() {
    static const std::set<std::string> names = {
        "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer",
        "footerl", "footerr", "footerf", "footnote", "listtable", "listoverridetable", "revtbl",
        "rsidtbl", "filetbl", "object", "objdata", "bkmkstart", "bkmkend", "xe", "tc", "datafield",
        "themedata", "colorschememapping", "latentstyles", "datastore", "generator", "fldinst",
        "xmlnstbl", "mmathPr", "pgdsctbl", "annotation", "atnid", "atnauthor", "comment", "shppict",
        "nonshppict", "blipuid", "template", "userprops", "docvar", "private"};
    return names;
}

class Reader {
public:
    explicit Reader(const std::string& data) : s_(data) {}

    TRtfDocument Read() {
        stack_.push_back(State{});
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '{') {
                ++pos_;
                skipChars_ = 0;
                // Deep nesting of empty groups must not grow without bound.
                if (stack_.size() < 100000) stack_.push_back(stack_.back());
                else ++overflow_;
                starting_ = true;
                continue;
            }
            if (c == '}') {
                ++pos_;
                skipChars_ = 0;
                if (overflow_ > 0) --overflow_;
                else if (stack_.size() > 1) {
                    EndGroup();
                    stack_.pop_back();
                }
                starting_ = false;
                continue;
            }
            if (c == '\\') {
                ControlWord();
                starting_ = false;
                continue;
            }
            ++pos_;
            starting_ = false;
            if (c == '\r' || c == '\n' || c == 0) continue;
            Text(Cp1252CharToUtf16(static_cast<unsigned char>(c)));
        }
        return std::move(doc_);
    }

private:
    State& Top() { return stack_.back(); }

    void EndGroup() {
        State& st = Top();
        if (st.table == State::Table::Fonts && !fontName_.empty()) {
            if (pendingFont_ >= 0) fonts_[pendingFont_] = Trimmed(fontName_);
            fontName_.clear();
        }
    }

    static std::string Trimmed(std::string s) {
        while (!s.empty() && (s.back() == ';' || s.back() == ' ')) s.pop_back();
        while (!s.empty() && s.front() == ' ') s.erase(s.begin());
        return s;
    }

    void Text(char16_t ch) {
        State& st = Top();
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        if (st.table == State::Table::Fonts) {
            if (ch == u';') {
                if (pendingFont_ >= 0) fonts_[pendingFont_] = Trimmed(fontName_);
                fontName_.clear();
            } else {
                fontName_ += static_cast<char>(ch < 256 ? ch : '?');
            }
            return;
        }
        if (st.table == State::Table::Colors) {
            if (ch == u';') {
                colors_.push_back(haveColor_ ? RGB(red_, green_, blue_) : clNone);
                red_ = green_ = blue_ = 0;
                haveColor_ = false;
            }
            return;
        }
        if (st.skip) return;
        Emit(std::u16string(1, ch));
    }

    void Emit(const std::u16string& text) {
        const State& st = Top();
        TRtfRun run;
        run.Bold = st.bold;
        run.Italic = st.italic;
        run.Underline = st.underline;
        run.FontSize = st.halfPoints / 2;
        if (st.colorIndex > 0 && st.colorIndex < static_cast<int>(colors_.size())) run.Color = colors_[st.colorIndex];
        if (auto it = fonts_.find(st.fontIndex); it != fonts_.end()) run.FontName = it->second;
        if (!doc_.Runs.empty() && doc_.Runs.back().SameFormat(run)) {
            doc_.Runs.back().Text += text;
        } else {
            run.Text = text;
            doc_.Runs.push_back(std::move(run));
        }
    }

    void ControlWord() {
        ++pos_;  // the backslash
        if (pos_ >= s_.size()) return;
        const char c = s_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            switch (c) {
                case '\\':
                case '{':
                case '}': Text(static_cast<char16_t>(c)); break;
                case '~': Text(u'\u00A0'); break;
                case '_': Text(u'-'); break;
                case '*': Top().skip = true; break;
                case '\'': {
                    int v = 0, digits = 0;
                    while (digits < 2 && pos_ < s_.size() && IsHex(s_[pos_])) {
                        v = v * 16 + HexValue(s_[pos_]);
                        ++pos_;
                        ++digits;
                    }
                    if (digits > 0) Text(Cp1252CharToUtf16(static_cast<unsigned char>(v)));
                    break;
                }
                case '\r':
                case '\n':
                    if (skipChars_ > 0) --skipChars_;
                    else if (!Top().skip && Top().table == State::Table::None) Emit(u"\n");
                    break;
                default: break;
            }
            return;
        }
        std::string word;
        while (pos_ < s_.size() && IsLetter(s_[pos_]) && word.size() < 32) word += s_[pos_++];
        while (pos_ < s_.size() && IsLetter(s_[pos_])) ++pos_;
        bool hasParam = false;
        bool negative = false;
        long param = 0;
        if (pos_ < s_.size() && s_[pos_] == '-' && pos_ + 1 < s_.size() && IsDigit(s_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < s_.size() && IsDigit(s_[pos_])) {
            if (digits < 10) param = param * 10 + (s_[pos_] - '0');
            ++digits;
            ++pos_;
            hasParam = true;
        }
        if (negative) param = -param;
        if (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
        Apply(word, hasParam, param);
    }

    void Apply(const std::string& w, bool hasParam, long p) {
        State& st = Top();
        const bool on = !hasParam || p != 0;
        // Skipped characters after \u count control words too.
        if (skipChars_ > 0 && w != "u") {
            --skipChars_;
            if (w != "bin") return;
        }
        if (w == "bin") {
            const long n = hasParam && p > 0 ? p : 0;
            pos_ = std::min(s_.size(), pos_ + static_cast<size_t>(n));
            return;
        }
        if (starting_ && (w == "fonttbl")) {
            st.table = State::Table::Fonts;
            return;
        }
        if (starting_ && w == "colortbl") {
            st.table = State::Table::Colors;
            colors_.clear();
            return;
        }
        if (SkippedDestinations().count(w)) {
            st.skip = true;
            return;
        }
        if (st.table == State::Table::Colors) {
            if (w == "red") red_ = static_cast<int>(p), haveColor_ = true;
            else if (w == "green") green_ = static_cast<int>(p), haveColor_ = true;
            else if (w == "blue") blue_ = static_cast<int>(p), haveColor_ = true;
            return;
        }
        if (st.table == State::Table::Fonts) {
            if (w == "f") {
                if (!fontName_.empty() && pendingFont_ >= 0) fonts_[pendingFont_] = Trimmed(fontName_);
                fontName_.clear();
                pendingFont_ = static_cast<int>(p);
            }
            return;
        }
        if (w == "par" || w == "line" || w == "sect" || w == "page" || w == "row") {
            if (!st.skip) Emit(u"\n");
        } else if (w == "tab" || w == "cell") {
            if (!st.skip) Emit(u"\t");
        } else if (w == "b") {
            st.bold = on;
        } else if (w == "i") {
            st.italic = on;
        } else if (w == "ul") {
            st.underline = on;
        } else if (w == "ulnone") {
            st.underline = false;
        } else if (w == "fs") {
            if (hasParam && p > 0 && p < 4000) st.halfPoints = static_cast<int>(p);
        } else if (w == "cf") {
            st.colorIndex = hasParam ? static_cast<int>(p) : 0;
        } else if (w == "f") {
            st.fontIndex = static_cast<int>(p);
        } else if (w == "plain") {
            st.bold = st.italic = st.underline = false;
            st.halfPoints = 24;
            st.colorIndex = 0;
        } else if (w == "uc") {
            if (hasParam && p >= 0 && p < 100) st.uc = static_cast<int>(p);
        } else if (w == "u") {
            if (!hasParam) return;
            long v = p < 0 ? p + 65536 : p;
            if (v < 0 || v > 0xFFFF) v = '?';
            if (!st.skip && st.table == State::Table::None) Emit(std::u16string(1, static_cast<char16_t>(v)));
            skipChars_ = st.uc;
        } else if (w == "emdash") {
            Text(u'\u2014');
        } else if (w == "endash") {
            Text(u'\u2013');
        } else if (w == "bullet") {
            Text(u'\u2022');
        } else if (w == "lquote") {
            Text(u'\u2018');
        } else if (w == "rquote") {
            Text(u'\u2019');
        } else if (w == "ldblquote") {
            Text(u'\u201C');
        } else if (w == "rdblquote") {
            Text(u'\u201D');
        }
        // Anything else (paragraph formatting, unknown words) is ignored.
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
    static int HexValue(char c) {
        if (IsDigit(c)) return c - '0';
        return (c | 0x20) - 'a' + 10;
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::vector<State> stack_;
    size_t overflow_ = 0;
    bool starting_ = false;
    int skipChars_ = 0;
    TRtfDocument doc_;
    std::vector<TColor> colors_;
    std::map<int, std::string> fonts_;
    std::string fontName_;
    int pendingFont_ = -1;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool haveColor_ = false;
};

}  // namespace

std::u16string TRtfDocument::PlainText() const {
    std::u16string s;
    for (const TRtfRun& r : Runs) s += r.Text;
    return s;
}

bool LooksLikeRtf(const std::string& data) {
    size_t i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\r' || data[i] == '\n' || data[i] == '\t')) ++i;
    return data.compare(i, 5, "{\\rtf") == 0;
}

TRtfDocument ReadRtf(const std::string& data) {
    if (!LooksLikeRtf(data)) {
        TRtfDocument doc;
        TRtfRun run;
        for (char c : data)
            if (c != '\r') run.Text += Cp1252CharToUtf16(static_cast<unsigned char>(c));
        doc.Runs.push_back(std::move(run));
        return doc;
    }
    return Reader(data).Read();
}
