#include "platform/gui/mask.h"

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Letters of Windows-1252: ASCII, the accented range and the few in 0x80-0x9F.
bool IsLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
    return c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F ||
           c == 0xAA || c == 0xB5 || c == 0xBA;
}

char ToUpper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return char(c - 32);
    if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return char(c - 32);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return char(c - 16);
    if (c == 0xFF) return char(0x9F);
    return char(c);
}

char ToLower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return char(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return char(c + 16);
    if (c == 0x9F) return char(0xFF);
    return char(c);
}

}  // namespace

void TMaskEngine::SetMask(const std::string& editMask) {
    places_.clear();
    saveLiterals_ = true;
    leadingBlanks_ = false;
    blank_ = '_';

    // The mask part ends at the first ';' that is not escaped.
    size_t end = 0;
    while (end < editMask.size() && editMask[end] != ';') {
        if (editMask[end] == '\\' && end + 1 < editMask.size()) ++end;
        ++end;
    }
    const std::string mask = editMask.substr(0, end);
    if (end < editMask.size()) {
        size_t second = editMask.find(';', end + 1);
        std::string save = editMask.substr(end + 1, second == std::string::npos ? std::string::npos
                                                                               : second - end - 1);
        saveLiterals_ = save != "0";
        if (second != std::string::npos && second + 1 < editMask.size()) blank_ = editMask[second + 1];
    }

    int caseMode = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char m = mask[i];
        Place p;
        p.caseMode = caseMode;
        switch (m) {
            case '!': leadingBlanks_ = true; continue;
            case '>':
                if (i + 1 < mask.size() && mask[i + 1] == '<') {
                    caseMode = 0;
                    ++i;
                } else {
                    caseMode = 1;
                }
                continue;
            case '<':
                if (i + 1 < mask.size() && mask[i + 1] == '>') {
                    caseMode = 0;
                    ++i;
                } else {
                    caseMode = 2;
                }
                continue;
            case '\\':
                if (i + 1 >= mask.size()) continue;
                p.literal = mask[++i];
                break;
            case '0': p.kind = Kind::Digit; p.required = true; break;
            case '9': p.kind = Kind::Digit; break;
            case '#': p.kind = Kind::DigitSign; break;
            case 'L': p.kind = Kind::Letter; p.required = true; break;
            case 'l': p.kind = Kind::Letter; break;
            case 'A': p.kind = Kind::AlphaNum; p.required = true; break;
            case 'a': p.kind = Kind::AlphaNum; break;
            case 'C': p.kind = Kind::AnyChar; p.required = true; break;
            case 'c': p.kind = Kind::AnyChar; break;
            case '_': p.literal = ' '; break;
            default: p.literal = m; break;
        }
        places_.push_back(p);
    }
}

bool TMaskEngine::IsLiteral(int pos) const {
    return pos >= 0 && pos < Length() && places_[pos].kind == Kind::Literal;
}

bool TMaskEngine::Accepts(int pos, char& c) const {
    if (pos < 0 || pos >= Length()) return false;
    const Place& p = places_[pos];
    if (p.kind == Kind::Literal) return false;
    unsigned char u = static_cast<unsigned char>(p.caseMode == 1   ? ToUpper(c)
                                                 : p.caseMode == 2 ? ToLower(c)
                                                                   : c);
    bool ok = false;
    switch (p.kind) {
        case Kind::Digit: ok = IsDigit(u); break;
        case Kind::DigitSign: ok = IsDigit(u) || u == '+' || u == '-'; break;
        case Kind::Letter: ok = IsLetter(u); break;
        case Kind::AlphaNum: ok = IsLetter(u) || IsDigit(u); break;
        case Kind::AnyChar: ok = u >= 32; break;
        case Kind::Literal: break;
    }
    if (ok) c = static_cast<char>(u);
    return ok;
}

std::string TMaskEngine::EditText() const {
    std::string s;
    s.reserve(places_.size());
    for (const Place& p : places_)
        s += p.kind == Kind::Literal ? p.literal : (p.value ? p.value : blank_);
    return s;
}

void TMaskEngine::SetEditText(const std::string& text) {
    for (size_t i = 0; i < places_.size(); ++i) {
        Place& p = places_[i];
        if (p.kind == Kind::Literal) continue;
        p.value = 0;
        if (i >= text.size()) continue;
        char c = text[i];
        if (c == ' ' || c == blank_) continue;
        if (Accepts(static_cast<int>(i), c)) p.value = c;
    }
}

std::string TMaskEngine::Text() const {
    std::string s;
    s.reserve(places_.size());
    for (const Place& p : places_) {
        if (p.kind == Kind::Literal) {
            if (saveLiterals_) s += p.literal;
        } else {
            s += p.value ? p.value : ' ';
        }
    }
    return s;
}

void TMaskEngine::SetText(const std::string& text) {
    Clear();
    if (saveLiterals_) {
        SetEditText(text);
        return;
    }
    std::vector<int> editable;
    for (int i = 0; i < Length(); ++i)
        if (!IsLiteral(i)) editable.push_back(i);
    const int n = static_cast<int>(editable.size());
    const int m = static_cast<int>(text.size());
    const int offset = (leadingBlanks_ && m < n) ? n - m : 0;
    for (int k = 0; k + offset < n && k < m; ++k) {
        char c = text[k];
        const int pos = editable[k + offset];
        if (c != ' ' && c != blank_ && Accepts(pos, c)) places_[pos].value = c;
    }
}

void TMaskEngine::Clear() {
    for (Place& p : places_) p.value = 0;
}

int TMaskEngine::NextEditable(int pos) const {
    if (pos < 0) pos = 0;
    while (pos < Length() && IsLiteral(pos)) ++pos;
    return pos;
}

int TMaskEngine::PrevEditable(int pos) const {
    if (pos > Length()) pos = Length();
    for (int i = pos - 1; i >= 0; --i)
        if (!IsLiteral(i)) return i;
    return -1;
}

bool TMaskEngine::TypeChar(int& pos, char c) {
    if (pos < 0) pos = 0;
    if (pos > Length()) pos = Length();
    // A literal typed where it stands is stepped over; typed right after the
    // caret skipped it, it is taken as already there.
    if (IsLiteral(pos) && places_[pos].literal == c) {
        ++pos;
        while (IsLiteral(pos)) ++pos;
        return true;
    }
    const int target = NextEditable(pos);
    char value = c;
    if (target < Length() && c == ' ' && !places_[target].required) {
        places_[target].value = 0;
    } else if (target < Length() && Accepts(target, value)) {
        places_[target].value = value;
    } else {
        if (IsLiteral(pos - 1) && places_[pos - 1].literal == c) return true;
        // A separator typed early jumps to the field after it.
        int lit = pos;
        while (lit < Length() && !IsLiteral(lit)) ++lit;
        if (lit < Length() && places_[lit].literal == c) {
            pos = lit + 1;
            while (IsLiteral(pos)) ++pos;
            return true;
        }
        return false;
    }
    pos = target + 1;
    while (IsLiteral(pos)) ++pos;
    return true;
}

void TMaskEngine::ClearRange(int from, int to) {
    if (from < 0) from = 0;
    if (to > Length()) to = Length();
    for (int i = from; i < to; ++i) places_[i].value = 0;
}

bool TMaskEngine::Backspace(int& pos) {
    const int p = PrevEditable(pos);
    if (p < 0) return false;
    places_[p].value = 0;
    pos = p;
    return true;
}

bool TMaskEngine::DeleteAt(int pos) {
    const int p = NextEditable(pos);
    if (p >= Length()) return false;
    places_[p].value = 0;
    return true;
}

int TMaskEngine::FirstMissing() const {
    for (int i = 0; i < Length(); ++i)
        if (places_[i].kind != Kind::Literal && places_[i].required && !places_[i].value) return i;
    return -1;
}

bool TMaskEngine::IsBlank() const {
    for (const Place& p : places_)
        if (p.kind != Kind::Literal && p.value) return false;
    return true;
}

int TMaskEngine::FirstBlank() const {
    for (int i = 0; i < Length(); ++i)
        if (places_[i].kind != Kind::Literal && !places_[i].value) return i;
    return -1;
}

void TMaskEngine::Validate() const {
    if (FirstMissing() >= 0) throw EDBEditError("Valor inválido para a máscara");
}

std::string FormatMaskText(const std::string& editMask, const std::string& value) {
    TMaskEngine engine(editMask);
    if (!engine.IsMasked()) return value;
    engine.SetText(value);
    return engine.Text();
}
