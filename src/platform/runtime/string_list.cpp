#include "platform/runtime/string_list.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

namespace {

[[noreturn]] void IndexError(int index) {
    throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

// Blanks and control characters end an unquoted item.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(const std::string& s) {
    for (char c : s)
        if (IsBlank(c) || c == ',' || c == '"') return true;
    return false;
}

} // namespace

const std::string& TStringList::operator[](int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return items_[static_cast<size_t>(index)];
}

void TStringList::SetStrings(int index, const std::string& value) {
    if (index < 0 || index >= Count()) IndexError(index);
    items_[static_cast<size_t>(index)] = value;
    Changed();
}

int TStringList::Add(const std::string& s) {
    items_.push_back(s);
    Changed();
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) IndexError(index);
    items_.insert(items_.begin() + index, s);
    Changed();
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count()) IndexError(index);
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

int TStringList::IndexOf(const std::string& s) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == s) return static_cast<int>(i);
    return -1;
}

void TStringList::Assign(const TStringList& other) {
    if (&other != this) items_ = other.items_;
    Changed();
}

void TStringList::AddStrings(const TStringList& other) {
    std::vector<std::string> copy = other.items_;  // other may be *this
    items_.insert(items_.end(), copy.begin(), copy.end());
    Changed();
}

std::string TStringList::Text() const {
    size_t total = 0;
    for (const auto& s : items_) total += s.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& s : items_) {
        out += s;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text) {
    items_ = SplitTextLines(text);
    Changed();
}

std::string TStringList::CommaText() const {
    // A lone empty item is written "" so that it reads back as one item.
    if (items_.size() == 1 && items_[0].empty()) return "\"\"";
    std::string out;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out += ',';
        const std::string& s = items_[i];
        if (!NeedsQuotes(s)) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            out += c;
            if (c == '"') out += '"';
        }
        out += '"';
    }
    return out;
}

void TStringList::SetCommaText(const std::string& text) {
    items_.clear();
    const size_t n = text.size();
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    bool pending = i < n;  // an item is due (text left, or a comma was just read)
    while (pending) {
        std::string item;
        if (i < n && text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            size_t start = i;
            while (i < n && !IsBlank(text[i]) && text[i] != ',') ++i;
            item.assign(text, start, i - start);
        }
        items_.push_back(std::move(item));
        skipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            skipBlanks();
            pending = true;
        } else {
            pending = i < n;
        }
    }
    Changed();
}

void TStringList::LoadFromFile(const std::string& fileName) { SetText(ReadFileBytes(fileName)); }

void TStringList::SaveToFile(const std::string& fileName) const {
    WriteFileAtomic(fileName, Text());
}

void TStringList::Changed() {
    if (OnChange) OnChange();
}
