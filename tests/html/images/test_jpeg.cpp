// JPEG through the JPEG library: colour, grey and progressive files made here
// with the library's compressor, 8-bit output, and damaged data.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

#include "html/images/jpeg_image.h"
#include "picture_builders.h"

namespace {

// A w x h picture: left half red, right half blue (or a grey ramp).
std::string Encode(int w, int h, bool gray, bool progressive) {
    return pics::Jpeg(
        w, h, gray ? 1 : 3,
        [w, gray](int x, int, int k) {
            if (gray) return static_cast<uint8_t>(x * 255 / (w - 1));
            const bool left = x < w / 2;
            return static_cast<uint8_t>(k == 0 ? (left ? 255 : 0) : k == 2 ? (left ? 0 : 255) : 0);
        },
        100, progressive);
}

bool Near(TColor a, TColor b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(Jpeg, ColourAndProgressiveFilesDecode) {
    for (bool progressive : {false, true}) {
        TJpegMod jpeg;
        jpeg.LoadFromBytes(Encode(32, 16, false, progressive));
        int w, h;
        bool gray;
        jpeg.ReadHeader(w, h, gray);
        EXPECT_EQ(w, 32);
        EXPECT_EQ(h, 16);
        EXPECT_FALSE(gray);
        auto bmp = jpeg.CreateBitmap();
        EXPECT_EQ(bmp->PixelFormat(), TPixelFormat::pf24bit);
        EXPECT_TRUE(Near(bmp->GetPixel(2, 8), clRed, 12)) << progressive;
        EXPECT_TRUE(Near(bmp->GetPixel(29, 8), clBlue, 12)) << progressive;
    }
}

TEST(Jpeg, GreyPicturesAndEightBitOutput) {
    TJpegMod grey;
    grey.LoadFromBytes(Encode(16, 8, true, false));
    auto g = grey.CreateBitmap();
    EXPECT_TRUE(Near(g->GetPixel(0, 0), clBlack, 6));
    EXPECT_TRUE(Near(g->GetPixel(15, 0), clWhite, 6));
    grey.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    auto g8 = grey.CreateBitmap();
    EXPECT_EQ(g8->PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_TRUE(Near(g8->GetPixel(15, 0), clWhite, 6));

    // Colour output mapped to a given palette uses only its entries.
    TJpegMod colour;
    colour.LoadFromBytes(Encode(16, 8, false, false));
    colour.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    colour.SetPalette({clBlack, clRed, clBlue, clWhite});
    auto c8 = colour.CreateBitmap();
    EXPECT_EQ(c8->PixelFormat(), TPixelFormat::pf8bit);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_LT(c8->ScanLine(y)[x], 4);
    EXPECT_EQ(c8->GetPixel(1, 4), clRed);
    EXPECT_EQ(c8->GetPixel(14, 4), clBlue);
}

TEST(Jpeg, DamagedDataRaisesTheLibrarysMessage) {
    TJpegMod bad;
    bad.LoadFromBytes(std::string("\xFF\xD8\xFF\xC0\x00\x02 nonsense", 15));
    try {
        bad.CreateBitmap();
        FAIL();
    } catch (const EJPEG& e) {
        EXPECT_FALSE(e.Message.empty());
    }
    TJpegMod empty;
    EXPECT_THROW(empty.CreateBitmap(), EJPEG);
    // A file cut short still gives a picture of its full size.
    const std::string whole = Encode(128, 128, false, false);
    TJpegMod cut;
    cut.LoadFromBytes(whole.substr(0, whole.size() * 3 / 4));
    auto bmp = cut.CreateBitmap();
    EXPECT_EQ(bmp->Height(), 128);
}

}  // namespace
