#pragma once
// The viewer's GDI+ pictures: images with an alpha channel, loaded from a file
// or a stream, asked for their size, drawn stretched and blended on any canvas
// (screen, bitmap, printer) or into another such image. There is no GDI+ on
// this platform: the pixels come from the viewer's own decoders (PNG with its
// alpha) and the drawing from the GUI layer (platform/gui/gdiplus.h).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/images/streams.h"
#include "platform/gui/bitmap.h"

// Every failure of the wrapper.
class EGDIPlus : public Exception {
public:
    using Exception::Exception;
};

// Whether the GDI+ path serves PNG pictures; always set here, and tests turn it
// off to exercise the viewer's own PNG decoder.
extern bool GdiPlusLoaded;

class TGpImage : public TGraphic {
public:
    // Loads a PNG, BMP, JPEG or GIF (first frame) file. "Image file %s not
    // found." when it is missing, "Can't load image file %s." when it cannot
    // be read; with TmpFile set the file is deleted when the image is freed.
    explicit TGpImage(const std::string& FileName, bool TmpFile = false);
    ~TGpImage() override;
    TGpImage(const TGpImage&) = delete;
    TGpImage& operator=(const TGpImage&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The whole image stretched into the rectangle, blended by its alpha.
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // A new bitmap of the image's size: white, with the image drawn on it.
    std::unique_ptr<TBitmap> GetTBitmap() const;

    // 0xAARRGGBB, not premultiplied, rows top-down.
    const std::vector<uint32_t>& Pixels() const { return pixels_; }
    std::vector<uint32_t>& Pixels() { return pixels_; }

protected:
    TGpImage() = default;
    void LoadBytes(const std::string& bytes, const std::string& name);

    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
    std::string fileName_;  // scratch file deleted with the image
};

class TGpBitmap : public TGpImage {
public:
    // A transparent 32-bit bitmap; "Can't create bitmap" for an impossible size.
    TGpBitmap(int W, int H);
    explicit TGpBitmap(const std::string& FileName, bool TmpFile = false) : TGpImage(FileName, TmpFile) {}
    // From the bytes of a stream (the whole stream); "Can't load image file
    // (stream)." when they are not a picture.
    static std::unique_ptr<TGpBitmap> FromStream(TStream& stream);
    // Takes pixels already decoded (0xAARRGGBB, W x H, rows top-down).
    static std::unique_ptr<TGpBitmap> FromPixels(int W, int H, std::vector<uint32_t> pixels);

private:
    TGpBitmap() = default;
};

// Draws on a canvas or into a TGpImage.
class TGpGraphics {
public:
    explicit TGpGraphics(TCanvas& canvas);
    explicit TGpGraphics(TGpImage& image);
    TGpGraphics(const TGpGraphics&) = delete;
    TGpGraphics& operator=(const TGpGraphics&) = delete;

    // The whole image stretched into the rectangle.
    void DrawImage(const TGpImage& image, int X, int Y, int Width, int Height);
    // At its natural size.
    void DrawImage(const TGpImage& image, int X, int Y);
    // Part of the image at a point, at its natural size.
    void DrawImageRect(const TGpImage& image, int X, int Y, int srcX, int srcY, int srcW, int srcH);
    // Fills everything with the colour (opaque).
    void Clear(TColor color);
    // Scales what is drawn from now on.
    void ScaleTransform(double sx, double sy);

private:
    void Blend(const TGpImage& image, const TRect& dest, const TRect& src);
    TCanvas* canvas_ = nullptr;
    TGpImage* image_ = nullptr;
    double sx_ = 1.0, sy_ = 1.0;
};

// Pixels of any picture the viewer decodes, with alpha; raises the decoders'
// exceptions.
void DecodeArgbPicture(const std::string& bytes, int& width, int& height, std::vector<uint32_t>& pixels);
