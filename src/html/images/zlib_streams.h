#pragma once
// Forward-only streams that deflate what is written to them into another
// stream, or inflate what they read from another stream: the PNG decoder reads
// its image data with plain Read calls and its encoder writes with Write.
#include <zlib.h>

#include <memory>

#include "html/images/streams.h"
#include "platform/gui/classes.h"

class EZLibError : public Exception {
public:
    using Exception::Exception;
};
class EZCompressionError : public EZLibError {
public:
    using EZLibError::EZLibError;
};
class EZDecompressionError : public EZLibError {
public:
    using EZLibError::EZLibError;
};

enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

class TCustomZStream : public TStream {
public:
    ~TCustomZStream() override;
    TCustomZStream(const TCustomZStream&) = delete;
    TCustomZStream& operator=(const TCustomZStream&) = delete;

    // Fired each time a buffer's worth of bytes passes to or from the other stream.
    TNotifyEvent OnProgress;

protected:
    explicit TCustomZStream(TStream& strm);
    void Progress();

    static constexpr size_t kBufferSize = 65536;
    TStream& strm_;
    int64_t strmPos_;
    z_stream zrec_{};
    std::unique_ptr<unsigned char[]> buffer_;
};

class TZCompressionStream : public TCustomZStream {
public:
    TZCompressionStream(TCompressionLevel level, TStream& dest);
    // Finishes the compressed data unless Finish already did (errors there are
    // lost: call Finish to see them).
    ~TZCompressionStream() override;

    size_t Write(const void* buffer, size_t count) override;
    // Raises EZCompressionError "Invalid ZStream operation!".
    size_t Read(void* buffer, size_t count) override;
    // Only the position query (0 from the current position): the bytes taken in.
    int64_t Seek(int64_t offset, int origin) override;
    // Flushes the end of the compressed data into the destination.
    void Finish();

private:
    bool finished_ = false;
};

class TZDecompressionStream : public TCustomZStream {
public:
    explicit TZDecompressionStream(TStream& source);
    ~TZDecompressionStream() override;

    // Fewer bytes than asked when the source runs out or the compressed data ends.
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    // 0 from the beginning starts over; forward moves read and drop; the result
    // is the bytes produced. Anything else raises "Invalid ZStream operation!".
    int64_t Seek(int64_t offset, int origin) override;

private:
    int64_t startPos_;  // where the compressed data begins in the source
    bool ended_ = false;
};
