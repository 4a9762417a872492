#include "revision/report_font.h"

#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

namespace report_font {

namespace {

bool IsLetterOrDigit(unsigned char c) {
    // Windows-1252 letters: ASCII and the accented range (less × and ÷).
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

} // namespace

std::string NameProblem(const std::string& text) {
    bool plain = !text.empty() && text.size() <= kMaxNameLength &&
                 IsLetterOrDigit(static_cast<unsigned char>(text[0]));
    for (unsigned char c : text)
        if (!IsLetterOrDigit(c) && c != ' ' && c != '-' && c != '_' && c != '.') plain = false;
    return plain ? "" : QuotedExcerpt(text) + " não é um nome de fonte";
}

std::string SizeProblem(const std::string& text) {
    // Digits only: the text goes into the style as it stands.
    int size = 0;
    bool digits = !text.empty() && text.size() <= 2;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    if (!digits || !TryStrToInt(text, size) || size < kMinSize || size > kMaxSize)
        return QuotedExcerpt(text) + " não é um tamanho de " + std::to_string(kMinSize) + " a " +
               std::to_string(kMaxSize);
    return "";
}

std::string Span(const std::string& size, const std::string& name) {
    return "<span style=\"font-size:" + (SizeProblem(size).empty() ? size : kDefaultSize) +
           ".0pt;font-family:" + (NameProblem(name).empty() ? name : kDefaultName) + "\">";
}

} // namespace report_font
