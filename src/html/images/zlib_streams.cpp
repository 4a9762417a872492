#include "html/images/zlib_streams.h"

#include <algorithm>
#include <string>

namespace {

const char* const kInvalidOperation = "Invalid ZStream operation!";

std::string ZMessage(int code) {
    const char* text = zError(code);
    return text && *text ? text : "zlib error " + std::to_string(code);
}

int CCheck(int code) {
    if (code < 0) throw EZCompressionError(ZMessage(code));
    return code;
}

int DCheck(int code) {
    if (code < 0) throw EZDecompressionError(ZMessage(code));
    return code;
}

}  // namespace

TCustomZStream::TCustomZStream(TStream& strm)
    : strm_(strm), strmPos_(strm.Position()), buffer_(new unsigned char[kBufferSize]) {}

TCustomZStream::~TCustomZStream() = default;

void TCustomZStream::Progress() {
    if (OnProgress) OnProgress(nullptr);
}

// ---- compression ----

TZCompressionStream::TZCompressionStream(TCompressionLevel level, TStream& dest) : TCustomZStream(dest) {
    static const int levels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION, Z_BEST_COMPRESSION};
    zrec_.next_out = buffer_.get();
    zrec_.avail_out = kBufferSize;
    CCheck(deflateInit(&zrec_, levels[static_cast<int>(level)]));
}

TZCompressionStream::~TZCompressionStream() {
    try {
        Finish();
    } catch (...) {
    }
    deflateEnd(&zrec_);
}

size_t TZCompressionStream::Write(const void* buffer, size_t count) {
    if (finished_) throw EZCompressionError(kInvalidOperation);
    const unsigned char* in = static_cast<const unsigned char*>(buffer);
    size_t left = count;
    if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
    while (left > 0) {
        // zlib counts in 32 bits: feed very large writes in pieces.
        uInt piece = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
        zrec_.next_in = const_cast<Bytef*>(in);
        zrec_.avail_in = piece;
        while (zrec_.avail_in > 0) {
            CCheck(deflate(&zrec_, Z_NO_FLUSH));
            if (zrec_.avail_out == 0) {
                strm_.WriteBuffer(buffer_.get(), kBufferSize);
                zrec_.next_out = buffer_.get();
                zrec_.avail_out = kBufferSize;
                strmPos_ = strm_.Position();
                Progress();
            }
        }
        in += piece;
        left -= piece;
    }
    return count;
}

void TZCompressionStream::Finish() {
    if (finished_) return;
    finished_ = true;
    zrec_.next_in = nullptr;
    zrec_.avail_in = 0;
    if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
    while (CCheck(deflate(&zrec_, Z_FINISH)) != Z_STREAM_END) {
        if (zrec_.avail_out == 0) {
            strm_.WriteBuffer(buffer_.get(), kBufferSize);
            zrec_.next_out = buffer_.get();
            zrec_.avail_out = kBufferSize;
        }
    }
    size_t rest = kBufferSize - zrec_.avail_out;
    if (rest > 0) strm_.WriteBuffer(buffer_.get(), rest);
    strmPos_ = strm_.Position();
}

size_t TZCompressionStream::Read(void*, size_t) { throw EZCompressionError(kInvalidOperation); }

int64_t TZCompressionStream::Seek(int64_t offset, int origin) {
    if (offset == 0 && origin == soFromCurrent) return static_cast<int64_t>(zrec_.total_in);
    throw EZCompressionError(kInvalidOperation);
}

// ---- decompression ----

TZDecompressionStream::TZDecompressionStream(TStream& source) : TCustomZStream(source), startPos_(strmPos_) {
    zrec_.next_in = buffer_.get();
    zrec_.avail_in = 0;
    DCheck(inflateInit(&zrec_));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&zrec_); }

size_t TZDecompressionStream::Read(void* buffer, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(buffer);
    size_t produced = 0;
    if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
    while (produced < count && !ended_) {
        if (zrec_.avail_in == 0) {
            size_t got = strm_.Read(buffer_.get(), kBufferSize);
            if (got == 0) break;
            zrec_.next_in = buffer_.get();
            zrec_.avail_in = static_cast<uInt>(got);
            strmPos_ = strm_.Position();
            Progress();
        }
        uInt room = static_cast<uInt>(std::min<size_t>(count - produced, 1u << 30));
        zrec_.next_out = out + produced;
        zrec_.avail_out = room;
        int rc = DCheck(inflate(&zrec_, Z_NO_FLUSH));
        produced += room - zrec_.avail_out;
        // Bytes after the end of the compressed data are not ours to read: stop
        // there rather than ask inflate again and again.
        if (rc == Z_STREAM_END) ended_ = true;
    }
    return produced;
}

size_t TZDecompressionStream::Write(const void*, size_t) { throw EZDecompressionError(kInvalidOperation); }

int64_t TZDecompressionStream::Seek(int64_t offset, int origin) {
    int64_t produced = static_cast<int64_t>(zrec_.total_out);
    if (offset == 0 && origin == soFromBeginning) {
        DCheck(inflateReset(&zrec_));
        zrec_.next_in = buffer_.get();
        zrec_.avail_in = 0;
        ended_ = false;
        strm_.SetPosition(startPos_);
        strmPos_ = startPos_;
        return 0;
    }
    int64_t skip;
    if (origin == soFromCurrent && offset >= 0)
        skip = offset;
    else if (origin == soFromBeginning && offset >= produced)
        skip = offset - produced;
    else
        throw EZDecompressionError(kInvalidOperation);
    char scratch[4096];
    while (skip > 0) {
        size_t n = Read(scratch, static_cast<size_t>(std::min<int64_t>(skip, sizeof scratch)));
        if (n == 0) break;
        skip -= static_cast<int64_t>(n);
    }
    return static_cast<int64_t>(zrec_.total_out);
}
