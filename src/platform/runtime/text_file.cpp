#include "platform/runtime/text_file.h"

#include <algorithm>

#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
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

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string Line(size_t number) { return "linha " + std::to_string(number) + ": "; }

// The text after a UTF-8 mark as Windows-1252, line by line (a line end is
// the same byte in both) so that a refusal names its line.
bool FromUtf8(const std::string& bytes, std::string& text, std::string& problem) {
    const std::vector<std::string> lines = SplitTextLines(bytes.substr(sizeof kUtf8Mark - 1));
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line;
        if (TryUtf8ToCp1252(lines[i], line)) continue;
        const bool valid = MultiByteToWide(65001, lines[i]).find(u'\uFFFD') == std::u16string::npos;
        problem = Line(i + 1) +
                  (valid ? "o arquivo está em UTF-8 e tem caracteres que o programa não consegue usar "
                           "(use só letras do alfabeto latino, com ou sem acento, algarismos e sinais "
                           "comuns)"
                         : "o arquivo começa com a marca de UTF-8, mas não está em UTF-8");
        return false;
    }
    return TryUtf8ToCp1252(bytes.substr(sizeof kUtf8Mark - 1), text);
}

// Text without the mark that reads whole as UTF-8 and holds a letter beyond
// ASCII, as most editors save it. In Windows-1252 an accented letter is a
// lone byte beside plain ones, which is no UTF-8: the program's own files
// read as they always did.
bool FromUnmarkedUtf8(const std::string& bytes, std::string& text) {
    const bool plain = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !plain && TryUtf8ToCp1252(bytes, text);
}

} // namespace

bool ReadTextLines(const std::string& bytes, std::vector<std::string>& lines,
                   std::string& problem) {
    std::string converted;
    const bool marked = bytes.compare(0, sizeof kUtf8Mark - 1, kUtf8Mark) == 0;
    if (marked && !FromUtf8(bytes, converted, problem)) return false;
    const bool utf8 = marked || FromUnmarkedUtf8(bytes, converted);
    const std::string& text = utf8 ? converted : bytes;
    lines = SplitTextLines(text);
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') {
        problem = Line(lines.size()) + "a última linha não termina com fim de linha: o arquivo foi cortado";
        return false;
    }
    return true;
}

TTextFileReader::TTextFileReader(const std::string& fileName, size_t maxSize) {
    std::string problem;
    if (!ReadTextLines(ReadFileBytes(fileName, maxSize), lines_, problem))
        throw EInOutError(OpenErrorText(fileName, problem), 0, problem);
}

std::string TTextFileReader::Readln() {
    if (next_ >= lines_.size()) return std::string();
    return std::move(lines_[next_++]);
}

bool TTextFileReader::Eof() const { return next_ >= lines_.size(); }
