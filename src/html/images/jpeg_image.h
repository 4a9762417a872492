#pragma once
// JPEG pictures through the JPEG library (baseline and progressive), decoded
// from memory into a 24-bit bitmap, an 8-bit one with a palette for screens
// that have one, or straight into the 32-bit pixels a deep screen draws. The
// library's errors become EJPEG with its message.
#include <memory>
#include <string>
#include <vector>

#include "html/images/streams.h"
#include "platform/gui/bitmap.h"

class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// jf32Bit gives a screen bitmap (pfDevice) filled by the library directly.
enum class TJPEGPixelFormat { jf24Bit, jf8Bit, jf32Bit };

class TJpegMod {
public:
    // Keeps the bytes of the stream from its start; decoding waits for CreateBitmap.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(std::string bytes) { data_ = std::move(bytes); }

    TJPEGPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TJPEGPixelFormat f) { pixelFormat_ = f; }
    // For 8-bit output: the colours to map to (at most 256); empty lets the
    // library choose its own.
    void SetPalette(std::vector<TColor> palette) { palette_ = std::move(palette); }

    // The size and kind from the header; raises EJPEG.
    void ReadHeader(int& width, int& height, bool& grayscale) const;
    // Decodes; raises EJPEG (and EOutOfResources for a picture too large).
    std::unique_ptr<TBitmap> CreateBitmap() const;
    // Decodes into 0xFFRRGGBB pixels, rows top-down; raises as CreateBitmap.
    void ReadArgb(int& width, int& height, std::vector<uint32_t>& pixels) const;

private:
    std::string data_;
    TJPEGPixelFormat pixelFormat_ = TJPEGPixelFormat::jf24Bit;
    std::vector<TColor> palette_;
};
