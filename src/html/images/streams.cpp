#include "html/images/streams.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/files.h"

TStream::~TStream() = default;

int64_t TStream::Size() {
    int64_t here = Seek(0, soFromCurrent);
    int64_t end = Seek(0, soFromEnd);
    Seek(here, soFromBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char buf[65536];
    int64_t done = 0;
    while (done < count) {
        size_t n = static_cast<size_t>(std::min<int64_t>(count - done, sizeof buf));
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        done += static_cast<int64_t>(n);
    }
    return done;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (pos_ >= static_cast<int64_t>(data_.size())) return 0;
    size_t n = std::min(count, data_.size() - static_cast<size_t>(pos_));
    if (n == 0) return 0;  // an empty read may come with no buffer at all
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += static_cast<int64_t>(n);
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    size_t end = static_cast<size_t>(pos_) + count;
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ = static_cast<int64_t>(end);
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, int origin) {
    int64_t base = origin == soFromCurrent ? pos_ : origin == soFromEnd ? Size() : 0;
    pos_ = std::max<int64_t>(0, base + offset);
    return pos_;
}

void TMemoryStream::SetBytes(std::string bytes) {
    data_ = std::move(bytes);
    pos_ = 0;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    pos_ = std::min<int64_t>(pos_, Size());
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) { SetBytes(ReadFileBytes(fileName)); }

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    std::string bytes(static_cast<size_t>(source.Size()), '\0');
    source.ReadBuffer(bytes.data(), bytes.size());
    SetBytes(std::move(bytes));
}

void TMemoryStream::SaveToFile(const std::string& fileName) const { WriteFileAtomic(fileName, data_); }
