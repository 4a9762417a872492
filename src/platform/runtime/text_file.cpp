#include "platform/runtime/text_file.h"

#include <algorithm>
#include <string_view>

#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

struct TTextFileWriter::Impl {
    Impl(const std::string& fileName, TDurability durability) : file(fileName, durability) {}
    TAtomicFileWriter file;
};

TTextFileWriter::TTextFileWriter(const std::string& fileName, TDurability durability)
    : impl_(std::make_unique<Impl>(fileName, durability)) {}

TTextFileWriter::~TTextFileWriter() = default;

namespace {
[[noreturn]] void NotOpen() { throw EInOutError("O arquivo não está aberto para gravação", 103); }
} // namespace

void TTextFileWriter::Write(const std::string& text) {
    if (!IsOpen()) NotOpen();
    impl_->file.Write(text);
}

void TTextFileWriter::Writeln(const std::string& line) {
    if (!IsOpen()) NotOpen();
    impl_->file.Write(line);
    impl_->file.Write("\r\n", 2);
}

void TTextFileWriter::Close() {
    if (!IsOpen()) NotOpen();
    impl_->file.Commit();
}

bool TTextFileWriter::IsOpen() const { return impl_ && impl_->file.IsOpen(); }

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string Line(size_t number) { return "linha " + std::to_string(number) + ": "; }

// Where the line starting at `start` ends (its line end, or the text's end).
size_t LineEnd(std::string_view text, size_t start) {
    const size_t end = text.find_first_of("\r\n", start);
    return end == std::string_view::npos ? text.size() : end;
}

// Past the line end at `end`.
size_t NextLine(std::string_view text, size_t end) {
    if (end >= text.size()) return end;
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

size_t CountLines(std::string_view text) {
    size_t count = 0;
    for (size_t start = 0; start < text.size(); start = NextLine(text, LineEnd(text, start))) ++count;
    return count;
}

// The number of the first line `bad` finds fault with (a line end is the same
// byte in UTF-8 and Windows-1252, so a fault lies within one line).
template <class Bad>
size_t FirstBadLine(std::string_view text, Bad bad) {
    size_t number = 1;
    for (size_t start = 0; start < text.size(); ++number) {
        const size_t end = LineEnd(text, start);
        if (bad(text.substr(start, end - start))) return number;
        start = NextLine(text, end);
    }
    return number;
}

bool Plain(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

bool DecodeText(std::string bytes, std::string& text, std::string& problem) {
    const bool marked = std::string_view(bytes).substr(0, kUtf8Mark.size()) == kUtf8Mark;
    if (marked) bytes.erase(0, kUtf8Mark.size());
    if (marked && !IsUtf8(bytes)) {
        problem = Line(FirstBadLine(bytes, [](std::string_view line) { return !IsUtf8(line); })) +
                  "o arquivo começa com a marca de UTF-8, mas não está em UTF-8";
        return false;
    }
    if (!marked && (Plain(bytes) || !IsUtf8(bytes))) {
        text = std::move(bytes);
        return true;
    }
    if (TryUtf8ToCp1252(bytes, text)) return true;
    std::string kept;
    problem = Line(FirstBadLine(bytes, [&](std::string_view line) {
                  return !TryUtf8ToCp1252(std::string(line), kept);
              })) +
              "o arquivo está em UTF-8 e tem caracteres que o programa não consegue usar (use só "
              "letras do alfabeto latino, com ou sem acento, algarismos e sinais comuns)";
    return false;
}

namespace {

// The checks of ReadTextLines on a decoded text; the count of its lines.
bool CheckLines(std::string_view text, size_t& count, std::string& problem) {
    count = CountLines(text);
    if (count > kMaxTextFileLines) {
        problem = "o arquivo tem mais de " + FormatFloat("#,##0", kMaxTextFileLines) +
                  " de linhas e deve estar danificado";
        return false;
    }
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') {
        problem = Line(count) + "a última linha não termina com fim de linha: o arquivo foi cortado";
        return false;
    }
    return true;
}

} // namespace

bool ReadTextLines(const std::string& bytes, std::vector<std::string>& lines,
                   std::string& problem) {
    std::string text;
    size_t count = 0;
    if (!DecodeText(bytes, text, problem) || !CheckLines(text, count, problem)) return false;
    lines = SplitTextLines(text);
    return true;
}

TTextFileReader::TTextFileReader(const std::string& fileName, size_t maxSize) {
    std::string problem;
    if (!DecodeText(ReadFileBytes(fileName, maxSize), text_, problem) ||
        !CheckLines(text_, count_, problem))
        throw EInOutError(OpenErrorText(fileName, problem), 0, problem);
}

std::string TTextFileReader::Readln() {
    if (next_ >= count_) return std::string();
    const size_t end = LineEnd(text_, pos_);
    std::string line = text_.substr(pos_, end - pos_);
    pos_ = NextLine(text_, end);
    ++next_;
    return line;
}
