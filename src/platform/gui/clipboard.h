#pragma once
// The clipboard: Windows-1252 text for the grids, UTF-16 text for the viewer and
// registered formats such as "HTML Format" (raw bytes). Formats set between Open
// and Close are published together at Close, beside what the clipboard already
// held unless Clear was called; a call outside Open/Close publishes at once.
#include <memory>
#include <string>

constexpr unsigned CF_TEXT = 1, CF_UNICODETEXT = 13;

// A stable id (0xC000 and up) for a format name; the same name always gives the
// same id. 0 for an empty name.
unsigned RegisterClipboardFormat(const std::string& name);
// The name a registered id stands for ("" when unknown).
std::string GetClipboardFormatName(unsigned format);

class TClipboard {
public:
    TClipboard();
    ~TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // Nested opens count; the outermost Close publishes.
    void Open();
    void Close();
    // Empties the clipboard (inside Open/Close: the set being built).
    void Clear();

    bool HasFormat(unsigned format) const;
    std::string AsText() const;  // Windows-1252; characters outside it become '?'
    void SetAsText(const std::string& text);
    std::u16string AsUnicodeText() const;
    void SetAsUnicodeText(const std::u16string& text);
    // Raw bytes of a format (a registered one, or CF_TEXT / CF_UNICODETEXT as
    // Windows-1252 / UTF-16LE bytes).
    std::string GetAsHandle(unsigned format) const;
    void SetAsHandle(unsigned format, const std::string& bytes);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The program's clipboard.
TClipboard& Clipboard();
