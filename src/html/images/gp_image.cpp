#include "html/images/gp_image.h"

#include <algorithm>
#include <cmath>

#include "html/images/bmp_alpha.h"
#include "html/images/gif_decoder.h"
#include "html/images/jpeg_image.h"
#include "html/images/png_image.h"
#include "platform/gui/gdiplus.h"
#include "platform/runtime/files.h"

bool GdiPlusLoaded = true;

namespace {

uint32_t Argb(TColor c) {
    TColor rgb = ColorToRGB(c);
    return 0xFF000000u | (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | uint32_t(GetBValue(rgb));
}

// Source over destination, neither premultiplied.
uint32_t Over(uint32_t s, uint32_t d) {
    const uint32_t sa = s >> 24;
    if (sa == 255) return s;
    if (sa == 0) return d;
    const uint32_t da = d >> 24;
    const uint32_t outA = sa * 255 + da * (255 - sa);  // x 255
    if (outA == 0) return 0;
    auto ch = [&](int shift) {
        const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        return (sc * sa * 255 + dc * da * (255 - sa) + outA / 2) / outA;
    };
    return ((outA + 127) / 255 << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

// The pictures an ARGB image holds at most, as a bitmap.
constexpr int64_t kMaxArgbPixels = 64LL * 1024 * 1024;

void BitmapToArgb(const TBitmap& bmp, std::vector<uint32_t>& pixels) {
    pixels.resize(static_cast<size_t>(bmp.Width()) * bmp.Height());
    TBitmap copy(bmp);
    copy.SetPixelFormat(TPixelFormat::pf32bit);
    for (int y = 0; y < bmp.Height(); ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(copy.ScanLine(y));
        for (int x = 0; x < bmp.Width(); ++x) pixels[static_cast<size_t>(y) * bmp.Width() + x] = row[x] | 0xFF000000u;
    }
}

}  // namespace

void DecodeArgbPicture(const std::string& bytes, int& width, int& height, std::vector<uint32_t>& pixels) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    TMemoryStream stream(bytes);
    if (bytes.size() >= 4 && p[0] == 0x89 && p[1] == 'P' && p[2] == 'N' && p[3] == 'G') {
        DecodePngArgb(stream, width, height, pixels);
        return;
    }
    if (bytes.size() >= 4 && bytes.compare(0, 4, "GIF8") == 0) {
        // The first frame only, straight into the pixels: the strip's other
        // cells are never made.
        TGif gif;
        gif.ReadBlocks(stream);
        int stripWidth = 0, stripHeight = 0;
        gif.GetStripSize(stripWidth, stripHeight);
        const int w = gif.ScreenDescriptor().Width, h = gif.ScreenDescriptor().Height;
        if (static_cast<int64_t>(w) * h > kMaxArgbPixels) throw EOutOfResources();
        std::vector<uint32_t> out(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
        std::vector<uint8_t> mask;
        const size_t maskStride = (static_cast<size_t>(w) + 7) / 8;
        if (gif.IsTransparent()) mask.assign(maskStride * static_cast<size_t>(h), 0xFF);
        gif.DrawFrames(1, out.data(), static_cast<size_t>(w), mask.empty() ? nullptr : mask.data(), maskStride);
        if (!mask.empty()) {
            for (int y = 0; y < h; ++y) {
                const uint8_t* m = mask.data() + static_cast<size_t>(y) * maskStride;
                uint32_t* row = out.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
                for (int x = 0; x < w; ++x)
                    if ((m[x >> 3] >> (7 - (x & 7))) & 1) row[x] = 0;
            }
        }
        width = w;
        height = h;
        pixels = std::move(out);
        return;
    }
    if (bytes.size() >= 2 && p[0] == 0xFF && p[1] == 0xD8) {
        TJpegMod jpeg;
        jpeg.LoadFromBytes(bytes);
        jpeg.ReadArgb(width, height, pixels);
        return;
    }
    if (DecodeBmpAlpha(bytes.data(), bytes.size(), width, height, pixels)) return;
    TBitmap bmp;
    bmp.LoadFromStream(bytes);
    width = bmp.Width();
    height = bmp.Height();
    BitmapToArgb(bmp, pixels);
}

// ---- images ----

TGpImage::TGpImage(const std::string& FileName, bool TmpFile) {
    if (!FileExists(FileName)) throw EGDIPlus("Image file " + FileName + " not found.");
    if (TmpFile) fileName_ = FileName;
    std::string bytes;
    try {
        bytes = ReadFileBytes(FileName);
    } catch (const Exception&) {
        throw EGDIPlus("Can't load image file " + FileName + ".");
    }
    LoadBytes(bytes, FileName);
}

TGpImage::~TGpImage() {
    if (!fileName_.empty()) DeleteFile(fileName_);
}

void TGpImage::LoadBytes(const std::string& bytes, const std::string& name) {
    try {
        DecodeArgbPicture(bytes, width_, height_, pixels_);
    } catch (const std::exception&) {
        width_ = height_ = 0;
        pixels_.clear();
        throw EGDIPlus("Can't load image file " + name + ".");
    }
}

void TGpImage::Draw(TCanvas& canvas, const TRect& rect) const {
    GdipDrawArgb(canvas, rect, pixels_.data(), width_, height_, TRect{0, 0, width_, height_});
}

std::unique_ptr<TBitmap> TGpImage::GetTBitmap() const {
    auto bmp = std::make_unique<TBitmap>(width_, height_);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bmp->ScanLine(y));
        for (int x = 0; x < width_; ++x)
            row[x] = Over(pixels_[static_cast<size_t>(y) * width_ + x], 0xFFFFFFFFu) | 0xFF000000u;
    }
    return bmp;
}

TGpBitmap::TGpBitmap(int W, int H) {
    if (W <= 0 || H <= 0 || static_cast<long long>(W) * H > 64LL * 1024 * 1024) throw EGDIPlus("Can't create bitmap");
    width_ = W;
    height_ = H;
    pixels_.assign(static_cast<size_t>(W) * H, 0u);
}

std::unique_ptr<TGpBitmap> TGpBitmap::FromPixels(int W, int H, std::vector<uint32_t> pixels) {
    if (W <= 0 || H <= 0 || pixels.size() != static_cast<size_t>(W) * static_cast<size_t>(H))
        throw EGDIPlus("Can't create bitmap");
    std::unique_ptr<TGpBitmap> b(new TGpBitmap());
    b->width_ = W;
    b->height_ = H;
    b->pixels_ = std::move(pixels);
    return b;
}

std::unique_ptr<TGpBitmap> TGpBitmap::FromStream(TStream& stream) {
    std::unique_ptr<TGpBitmap> b(new TGpBitmap());
    TMemoryStream copy;
    copy.LoadFromStream(stream);
    b->LoadBytes(copy.Bytes(), "(stream)");
    return b;
}

// ---- graphics ----

TGpGraphics::TGpGraphics(TCanvas& canvas) : canvas_(&canvas) {}
TGpGraphics::TGpGraphics(TGpImage& image) : image_(&image) {}

void TGpGraphics::ScaleTransform(double sx, double sy) {
    sx_ *= sx;
    sy_ *= sy;
}

void TGpGraphics::DrawImage(const TGpImage& image, int X, int Y, int Width, int Height) {
    const TRect dest{static_cast<int>(std::lround(X * sx_)), static_cast<int>(std::lround(Y * sy_)),
                     static_cast<int>(std::lround((X + Width) * sx_)), static_cast<int>(std::lround((Y + Height) * sy_))};
    if (canvas_)
        canvas_->StretchDraw(dest, image);
    else
        Blend(image, dest, TRect{0, 0, image.Width(), image.Height()});
}

void TGpGraphics::DrawImage(const TGpImage& image, int X, int Y) { DrawImage(image, X, Y, image.Width(), image.Height()); }

void TGpGraphics::DrawImageRect(const TGpImage& image, int X, int Y, int srcX, int srcY, int srcW, int srcH) {
    const TRect src{srcX, srcY, srcX + srcW, srcY + srcH};
    const TRect dest{static_cast<int>(std::lround(X * sx_)), static_cast<int>(std::lround(Y * sy_)),
                     static_cast<int>(std::lround((X + srcW) * sx_)), static_cast<int>(std::lround((Y + srcH) * sy_))};
    if (canvas_)
        GdipDrawArgb(*canvas_, dest, image.Pixels().data(), image.Width(), image.Height(), src);
    else
        Blend(image, dest, src);
}

void TGpGraphics::Clear(TColor color) {
    if (canvas_) {
        canvas_->FillRect(canvas_->ClipRect(), color);
    } else {
        std::fill(image_->Pixels().begin(), image_->Pixels().end(), Argb(color));
    }
}

void TGpGraphics::Blend(const TGpImage& image, const TRect& dest, const TRect& src) {
    // Nearest source pixel for each target pixel.
    const int dw = dest.Width(), dh = dest.Height();
    if (dw <= 0 || dh <= 0 || src.Width() <= 0 || src.Height() <= 0) return;
    TGpImage& target = *image_;
    for (int ty = std::max(0, dest.Top); ty < std::min(target.Height(), dest.Bottom); ++ty) {
        const int sy = src.Top + static_cast<int>((static_cast<long long>(ty - dest.Top) * src.Height()) / dh);
        if (sy < 0 || sy >= image.Height()) continue;
        for (int tx = std::max(0, dest.Left); tx < std::min(target.Width(), dest.Right); ++tx) {
            const int sx = src.Left + static_cast<int>((static_cast<long long>(tx - dest.Left) * src.Width()) / dw);
            if (sx < 0 || sx >= image.Width()) continue;
            uint32_t& d = target.Pixels()[static_cast<size_t>(ty) * target.Width() + tx];
            d = Over(image.Pixels()[static_cast<size_t>(sy) * image.Width() + sx], d);
        }
    }
}
