#include "platform/runtime/text_file.h"

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

TTextFileReader::TTextFileReader(const std::string& fileName, size_t maxSize)
    : lines_(SplitTextLines(ReadFileBytes(fileName, maxSize))) {}

std::string TTextFileReader::Readln() {
    if (next_ >= lines_.size()) return std::string();
    return std::move(lines_[next_++]);
}

bool TTextFileReader::Eof() const { return next_ >= lines_.size(); }
