// The fast ways to pixels give what the plain ways give: GIF frames decoded
// straight into the strip against the strip built, as the format describes it,
// from each frame's own pixels; JPEG written by the library straight into
// 32-bit pixels against its 24-bit output.
#include <gtest/gtest.h>

#include <random>

#include "html/images/gif_decoder.h"
#include "html/images/image_loading.h"
#include "html/images/jpeg_image.h"
#include "html/images/viewer_globals.h"
#include "picture_builders.h"

namespace {

using pics::GifFrame;

// The strip of a decoded GIF built pixel by pixel: frames side by side, each
// cell starting as a copy of the previous one, transparent pixels black under
// a white mask in the first frame and untouched later, disposed rectangles
// white in the next cell's mask. Colours as 0xRRGGBB, mask true = white.
void ModelStrip(const TGif& gif, std::vector<uint32_t>& image, std::vector<bool>& mask, int& width) {
    const int sw = gif.ScreenDescriptor().Width, sh = gif.ScreenDescriptor().Height, n = gif.ImageCount();
    width = sw * n;
    image.assign(size_t(width) * sh, 0);
    mask.assign(size_t(width) * sh, true);
    for (int i = 0; i < n; ++i) {
        const TGifImageDescriptor& f = gif.Image(i);
        const std::vector<TColor>& colors = gif.ColorTable(f.ColorTableIndex).Colors;
        const int ti = gif.GetTransparentIndex(i);
        for (int y = 0; y < f.Height && f.Top + y < sh; ++y)
            for (int x = 0; x < f.StoredWidth && f.Left + x < sw; ++x) {
                const int idx = f.Pixels[size_t(y) * f.StoredWidth + x];
                const size_t at = size_t(f.Top + y) * width + size_t(i) * sw + f.Left + x;
                if (idx != ti) {
                    const TColor c = idx < int(colors.size()) ? colors[size_t(idx)] : clBlack;
                    image[at] = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
                    mask[at] = false;
                } else if (i == 0) {
                    image[at] = 0;
                    mask[at] = true;
                }
            }
        if (i + 1 == n) break;
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const size_t from = size_t(y) * width + size_t(i) * sw + x;
                image[from + sw] = image[from];
                mask[from + sw] = mask[from];
            }
        const int d = gif.GetImageDisposal(i);
        if (d == 2 || d == 3)
            for (int y = f.Top; y < f.Top + f.Height && y < sh; ++y)
                for (int x = f.Left; x < f.Left + f.Width && x < sw; ++x)
                    mask[size_t(y) * width + size_t(i + 1) * sw + x] = true;
    }
}

TEST(GifStrip, DecodedStraightIntoTheStripItIsTheStripOfTheFrames) {
    std::mt19937 rng(2024);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::vector<uint32_t> colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
    for (int round = 0; round < 60; ++round) {
        const int sw = pick(1, 40), sh = pick(1, 30);
        std::vector<GifFrame> frames(static_cast<size_t>(pick(1, 4)));
        for (GifFrame& f : frames) {
            f.width = pick(1, 45);
            f.height = pick(1, 35);
            f.left = pick(0, sw + 3);
            f.top = pick(0, sh + 3);
            // Interlaced rows past a cut height would be an error of their own.
            f.interlaced = f.height <= sh && pick(0, 3) == 0;
            f.transparent = pick(0, 2) == 0 ? pick(0, 7) : -1;
            f.disposal = pick(0, 3);
            f.delay = 5;
            // Indexes past the table (7) show black; a plain frame may end early.
            const int count = !f.interlaced && pick(0, 3) == 0 ? pick(1, f.width * f.height) : f.width * f.height;
            for (int k = 0; k < count; ++k) f.pixels.push_back(static_cast<uint8_t>(pick(0, 7)));
        }
        const std::string bytes = pics::Gif(sw, sh, colors, frames, 0);
        SCOPED_TRACE("round " + std::to_string(round));

        TGif whole, blocks;
        TMemoryStream a(bytes), b(bytes);
        whole.LoadFromStream(a);
        blocks.ReadBlocks(b);
        std::vector<uint32_t> want;
        std::vector<bool> wantMask;
        int width = 0;
        ModelStrip(whole, want, wantMask, width);
        for (TGif* gif : {&whole, &blocks}) {
            std::unique_ptr<TBitmap> mask;
            auto strip = gif->GetStripBitmap(mask);
            ASSERT_EQ(strip->Width(), width);
            ASSERT_EQ(mask != nullptr, gif->IsTransparent());
            for (int y = 0; y < sh; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint32_t c = want[size_t(y) * width + x];
                    ASSERT_EQ(strip->GetPixel(x, y), RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF)) << x << "," << y;
                    if (mask) {
                        ASSERT_EQ(mask->GetPixel(x, y) == clWhite, wantMask[size_t(y) * width + x]) << x << "," << y;
                    }
                }
        }
    }
}

TEST(GifStrip, DamagedDataFailsInTheStripAsInTheWholeDecode) {
    GifFrame f;
    f.width = f.height = 2;
    f.pixels = {0, 1, 2, 3};
    std::string bytes = pics::Gif(2, 2, {0, 0xFF0000, 0x00FF00, 0x0000FF}, {f});
    // A code far beyond the table.
    bytes = bytes.substr(0, 13 + 12 + 10) + std::string("\x02\x02\xFF\x0F\x00;", 6);
    TGif whole, blocks;
    TMemoryStream a(bytes), b(bytes);
    EXPECT_THROW(whole.LoadFromStream(a), EInvalidGraphicOperation);
    blocks.ReadBlocks(b);
    std::unique_ptr<TBitmap> mask;
    try {
        blocks.GetStripBitmap(mask);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "TGif: Invalid LZW Data Format");
    }
}

// Stripes and ramps enough to exercise the colour conversion and upsampling.
std::string Jpeg(int w, int h, int components, bool progressive = false) {
    return pics::Jpeg(
        w, h, components,
        [](int x, int y, int k) { return static_cast<uint8_t>((x * (k + 3) + y * (7 - k) + (x / 9) * 40) & 0xFF); }, 80,
        progressive);
}

TEST(JpegPixels, ThirtyTwoBitOutputHasTheColoursOfTheTwentyFourBitOne) {
    struct Case {
        int w, h, components;
        bool progressive;
    };
    for (const Case& k : {Case{37, 23, 3, false}, Case{64, 40, 3, true}, Case{33, 17, 1, false}, Case{21, 19, 4, false}}) {
        SCOPED_TRACE(std::to_string(k.components) + " components");
        TJpegMod jpeg;
        jpeg.LoadFromBytes(Jpeg(k.w, k.h, k.components, k.progressive));
        auto plain = jpeg.CreateBitmap();
        jpeg.SetPixelFormat(TJPEGPixelFormat::jf32Bit);
        auto direct = jpeg.CreateBitmap();
        int w = 0, h = 0;
        std::vector<uint32_t> argb;
        jpeg.ReadArgb(w, h, argb);
        ASSERT_EQ(direct->PixelFormat(), TPixelFormat::pfDevice);
        ASSERT_EQ(direct->Width(), k.w);
        ASSERT_EQ(h, k.h);
        for (int y = 0; y < k.h; ++y)
            for (int x = 0; x < k.w; ++x) {
                const TColor c = plain->GetPixel(x, y);
                ASSERT_EQ(direct->GetPixel(x, y), c) << x << "," << y;
                ASSERT_EQ(argb[size_t(y) * w + x],
                          0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c));
            }
    }
}

TEST(JpegPixels, TheLoaderGivesDeepScreensScreenBitmaps) {
    const uint8_t bits = ScreenColorBits;
    ScreenColorBits = 24;
    const std::string bytes = Jpeg(300, 200, 3);
    TMemoryStream s(bytes);
    std::unique_ptr<TBitmap> mask;
    Transparency t = NotTransp;
    auto image = LoadImageFromStream(&s, mask, t);
    ScreenColorBits = bits;
    auto* bmp = dynamic_cast<TBitmap*>(image.get());
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->PixelFormat(), TPixelFormat::pfDevice);
    TJpegMod jpeg;
    jpeg.LoadFromBytes(bytes);
    auto plain = jpeg.CreateBitmap();
    for (int y = 0; y < 200; y += 3)
        for (int x = 0; x < 300; x += 3) ASSERT_EQ(bmp->GetPixel(x, y), plain->GetPixel(x, y));
    // A truncated file still ends as the library ends it, and damage raises.
    TJpegMod cut;
    cut.LoadFromBytes(bytes.substr(0, bytes.size() / 2));
    cut.SetPixelFormat(TJPEGPixelFormat::jf32Bit);
    EXPECT_NO_THROW(cut.CreateBitmap());
    TJpegMod junk;
    junk.LoadFromBytes(std::string("\xFF\xD8\xFF\xC0\x00\x02garbage", 13));
    junk.SetPixelFormat(TJPEGPixelFormat::jf32Bit);
    EXPECT_THROW(junk.CreateBitmap(), EJPEG);
}

}  // namespace
