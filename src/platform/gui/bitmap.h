#pragma once
// Off-screen bitmaps in the classic device-independent formats: 1, 4, 8 bits with
// a palette, 15/16, 24 and 32 bits, rows reachable through ScanLine in the
// window system's byte layout (top row 0, rows padded to 4 bytes, 24-bit pixels
// as blue, green, red), BMP files in and out, a canvas to draw on, transparency
// by a colour and monochrome masks. The pixels drawn by the canvas and the rows
// handed out by ScanLine are kept in step.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/canvas.h"
#include "platform/runtime/errors.h"

class QImage;
class QPainter;

enum class TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum class TTransparentMode : uint8_t { tmAuto, tmFixed };

// A picture that cannot be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
// An operation a picture cannot do ("Scan line index out of range").
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};
// A bitmap too large to make.
class EOutOfResources : public Exception {
public:
    EOutOfResources() : Exception("Out of Resources") {}
};

class TBitmapCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pfDevice);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap() override;
    void Assign(const TBitmap& other);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Keeps the pixels of the top-left part; new pixels are black (index 0).
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    TPixelFormat PixelFormat() const { return format_; }
    // Converts the pixels (to the nearest palette colour for the palette formats).
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const;
    bool Monochrome() const { return format_ == TPixelFormat::pf1bit; }
    void SetMonochrome(bool mono);

    TCanvas& Canvas();

    // Row `row` (0 = top) in the pixel format's layout; raises
    // EInvalidGraphicOperation "Scan line index out of range" outside the bitmap.
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    int BytesPerScanLine() const;

    // Palette of the 1-, 4- and 8-bit formats (empty for the others).
    std::vector<TColor> Palette() const;
    void SetPalette(const std::vector<TColor>& colors);
    TColor PaletteEntry(int index) const;
    void SetPaletteEntry(int index, TColor color);

    // Drawing a transparent bitmap leaves out the pixels of TransparentColor (with
    // tmAuto the colour of the bottom-left pixel).
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t) { transparent_ = t; }
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode m) { transparentMode_ = m; }
    // A monochrome bitmap of the same size: white (1) where the pixel is `color`,
    // black (0) elsewhere.
    std::unique_ptr<TBitmap> CreateMask(TColor color) const;

    TColor GetPixel(int x, int y) const;  // clNone outside the bitmap

    // A bitmap of the same format, palette and transparency holding this one
    // `cols` times across and `rows` times down.
    std::unique_ptr<TBitmap> Repeated(int cols, int rows) const;

    // BMP files (uncompressed, bit fields, RLE, top-down or bottom-up rows). A
    // missing file raises EFOpenError; a file that is not a valid BMP raises
    // EInvalidGraphic "Bitmap image is not valid" and leaves the bitmap as it was.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(const std::string& bytes);
    void LoadFromMemory(const void* data, size_t size);
    void SaveToFile(const std::string& fileName) const;
    std::string SaveToStream() const;

    void Draw(TCanvas& canvas, const TRect& rect) const override;

    // The pixels as a 32-bit image (what the canvas draws on).
    const QImage& Surface() const;
    // Replaces the pixels with an image, converted to the bitmap's format.
    void AssignImage(const QImage& image);
    QImage ToImage() const;

private:
    friend class TBitmapCanvas;
    QPainter* OpenPainter(bool& fresh);
    void ClosePainter() const;
    void SyncSurface() const;  // native rows -> surface
    void SyncNative() const;   // surface -> native rows
    bool Native32() const;
    void Allocate(int width, int height, TPixelFormat format);
    void DefaultPalette();

    int width_ = 0, height_ = 0;
    TPixelFormat format_ = TPixelFormat::pfDevice;
    mutable std::vector<uint8_t> bits_;  // rows of the 1..24-bit formats
    std::vector<uint32_t> palette_;      // 0xAARRGGBB
    struct Store;
    std::unique_ptr<Store> store_;
    mutable bool surfaceValid_ = true, nativeValid_ = true;
    bool transparent_ = false;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
    std::unique_ptr<TBitmapCanvas> canvas_;
};
