#pragma once
// Byte streams for the viewer's pictures: the decoders read from them, the
// compression streams wrap them, and the image requests of the document hand
// them over. Counts and positions are bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/runtime/errors.h"

constexpr int soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2;

class TStream {
public:
    virtual ~TStream();
    // Reads up to count bytes; fewer (0 at the end) when the stream runs out.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Returns the new position.
    virtual int64_t Seek(int64_t offset, int origin) = 0;
    virtual int64_t Size();

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
    // All or nothing: EReadError / EWriteError when the bytes are not there.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    // Copies count bytes from the source's position (count 0: the whole source
    // from its start); returns the bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Bytes in memory, growing as they are written.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }

    const uint8_t* Memory() const { return reinterpret_cast<const uint8_t*>(data_.data()); }
    const std::string& Bytes() const { return data_; }
    void SetBytes(std::string bytes);
    void SetSize(int64_t size);
    void Clear();
    // Raises EFOpenError for a file that cannot be read.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream& source);
    void SaveToFile(const std::string& fileName) const;

private:
    std::string data_;
    int64_t pos_ = 0;
};
