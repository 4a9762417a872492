// Picture recognition, loading into bitmaps with masks, the GDI+ path, and
// drawing pictures with their masks and alpha.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "html/images/gif_image.h"
#include "html/images/image_loading.h"
#include "html/images/viewer_globals.h"
#include "picture_builders.h"
#include "platform/gui/metafile.h"

namespace {

using pics::Chunk;
using pics::Ihdr;

std::string Bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s.push_back(char(b));
    return s;
}

// A 3 x 2 palette PNG: entry 1 (green) fully transparent when `trns`.
std::string PalettePng(bool trns, bool trnsAfterData = false) {
    const std::string plte = Chunk("PLTE", Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255}));
    const std::string t = Chunk("tRNS", Bytes({255, 0}));
    const std::string data = Chunk("IDAT", pics::Deflate(Bytes({0, 0, 1, 2, 0, 1, 1, 0})));
    return pics::kPngSignature + Ihdr(3, 2, 8, 3) + plte + (trns && !trnsAfterData ? t : "") + data +
           (trns && trnsAfterData ? t : "") + Chunk("IEND", "");
}

class Loading : public ::testing::Test {
protected:
    void SetUp() override {
        gdi_ = GdiPlusLoaded;
        bits_ = ScreenColorBits;
    }
    void TearDown() override {
        GdiPlusLoaded = gdi_;
        ScreenColorBits = bits_;
    }
    bool gdi_ = true;
    uint8_t bits_ = 24;
};

TEST(Recognition, KindsFromTheFirstBytes) {
    EXPECT_EQ(KindOfImage("BMxxxx", 6), itBMP);
    EXPECT_EQ(KindOfImage("GIF87a", 6), itGIF87);
    EXPECT_EQ(KindOfImage("GIF89a", 6), itGIF89);
    EXPECT_EQ(KindOfImage("\x89PNG\r\n", 6), itPNG);
    EXPECT_EQ(KindOfImage("\xFF\xD8\xFF", 3), itJPEG);
    EXPECT_EQ(KindOfImage("<html>", 6), itNone);
    EXPECT_EQ(KindOfImage("B", 1), itNone);
    EXPECT_EQ(KindOfImageFile("/nonexistent/picture.gif"), itNone);
    const std::string name = ::testing::TempDir() + "short.gif";
    std::ofstream(name, std::ios::binary) << "GIF89a123";
    EXPECT_EQ(KindOfImageFile(name), itNone);  // fewer than 10 bytes
    std::ofstream(name, std::ios::binary) << "GIF89a1234";
    EXPECT_EQ(KindOfImageFile(name), itGIF89);
    std::remove(name.c_str());
}

TEST(Recognition, PngTransparencyOnlyFromAPaletteEntryBeforeTheData) {
    TColor c = clNone;
    TMemoryStream yes(PalettePng(true));
    yes.SetPosition(3);
    EXPECT_TRUE(PngHasTransparency(yes, c));
    EXPECT_EQ(c, clLime);
    EXPECT_EQ(yes.Position(), 3);
    TMemoryStream late(PalettePng(true, true));
    EXPECT_FALSE(PngHasTransparency(late, c));
    TMemoryStream none(PalettePng(false));
    EXPECT_FALSE(PngHasTransparency(none, c));
    TMemoryStream alpha(pics::Png(Ihdr(1, 1, 8, 6), Bytes({0, 1, 2, 3, 0}), Chunk("tRNS", Bytes({0, 0}))));
    EXPECT_FALSE(PngHasTransparency(alpha, c));
    TMemoryStream lying(pics::kPngSignature + std::string("\x7F\xFF\xFF\xFFPLTE", 8));
    EXPECT_FALSE(PngHasTransparency(lying, c));
}

TEST_F(Loading, StreamsTooShortOrNotPicturesGiveNothing) {
    std::unique_ptr<TBitmap> mask;
    Transparency t = NotTransp;
    EXPECT_EQ(LoadImageFromStream(nullptr, mask, t), nullptr);
    TMemoryStream nineteen(PalettePng(false).substr(0, 19));
    EXPECT_EQ(LoadImageFromStream(&nineteen, mask, t), nullptr);
    TMemoryStream text(std::string("<html><body>not a picture</body></html>"));
    EXPECT_EQ(LoadImageFromStream(&text, mask, t), nullptr);
    TMemoryStream gif(pics::Gif(1, 1, {0, 0xFFFFFF}, {pics::GifFrame{0, 0, 1, 1, {1}}}));
    EXPECT_EQ(LoadImageFromStream(&gif, mask, t), nullptr);  // GIFs are TGIFImage's
    std::unique_ptr<TBitmap> none;
    EXPECT_EQ(LoadImageFromFile("/nonexistent/a.png", none, t), nullptr);
}

TEST_F(Loading, PngGoesThroughTheAlphaPathOrTheOwnDecoder) {
    std::unique_ptr<TBitmap> mask;
    Transparency t = LLCorner;
    TMemoryStream s(PalettePng(true));
    auto gp = LoadImageFromStream(&s, mask, t);
    ASSERT_NE(dynamic_cast<TGpBitmap*>(gp.get()), nullptr);
    EXPECT_EQ(t, NotTransp);
    EXPECT_EQ(mask, nullptr);
    EXPECT_EQ(static_cast<TGpBitmap*>(gp.get())->Pixels()[1] >> 24, 0u);  // alpha of the green entry

    GdiPlusLoaded = false;
    t = NotTransp;
    auto bmp = LoadImageFromStream(&s, mask, t);
    auto* b = dynamic_cast<TBitmap*>(bmp.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(t, TrPng);
    ASSERT_NE(mask, nullptr);
    // The mask covers exactly the green pixels, which are black in the image.
    const int idx[2][3] = {{0, 1, 2}, {1, 1, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(mask->GetPixel(x, y), idx[y][x] == 1 ? clWhite : clBlack) << x << "," << y;
            if (idx[y][x] == 1) {
                EXPECT_EQ(b->GetPixel(x, y), clBlack);
            }
        }
    EXPECT_EQ(b->GetPixel(0, 0), clRed);
    // Without a transparent entry the palette bitmap becomes a screen bitmap.
    TMemoryStream opaque(PalettePng(false));
    t = NotTransp;
    auto plain = LoadImageFromStream(&opaque, mask, t);
    EXPECT_EQ(static_cast<TBitmap*>(plain.get())->PixelFormat(), TPixelFormat::pfDevice);
    EXPECT_EQ(mask, nullptr);
}

TEST_F(Loading, BmpWithBottomLeftTransparencyAndFiles) {
    const std::string name = ::testing::TempDir() + "pic.bmp";
    std::ofstream(name, std::ios::binary)
        << pics::Bmp24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000});
    std::unique_ptr<TBitmap> mask;
    Transparency t = LLCorner;
    auto g = LoadImageFromFile(name, mask, t);
    ASSERT_NE(dynamic_cast<TBitmap*>(g.get()), nullptr);
    EXPECT_EQ(GetImageWidth(g.get()), 2);
    EXPECT_EQ(GetImageHeight(g.get()), 2);
    ASSERT_NE(mask, nullptr);
    // The bottom-left pixel is blue: only blue is transparent.
    EXPECT_EQ(mask->GetPixel(0, 1), clWhite);
    EXPECT_EQ(mask->GetPixel(0, 0), clBlack);
    EXPECT_EQ(mask->GetPixel(1, 1), clBlack);
    std::remove(name.c_str());

    // A damaged PNG file through the GDI+ path names the file.
    const std::string bad = ::testing::TempDir() + "bad.png";
    std::ofstream(bad, std::ios::binary) << pics::kPngSignature << "garbage that is no chunk";
    try {
        LoadImageFromFile(bad, mask, t);
        FAIL();
    } catch (const EGDIPlus& e) {
        EXPECT_EQ(e.Message, "Can't load image file " + bad + ".");
    }
    std::remove(bad.c_str());
    EXPECT_THROW(TGpImage("/nonexistent/x.png"), EGDIPlus);
}

TEST_F(Loading, PaletteScreensDitherWhatIsLoaded) {
    ScreenColorBits = 4;
    GdiPlusLoaded = false;
    std::unique_ptr<TBitmap> mask;
    Transparency t = NotTransp;
    TMemoryStream s(pics::Bmp24(4, 4, std::vector<uint32_t>(16, 0x123456)));
    auto g = LoadImageFromStream(&s, mask, t);
    auto* b = dynamic_cast<TBitmap*>(g.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(b->Palette(), DefaultPalette20());
}

TEST(Sizes, OnlyKnownPictureKindsHaveOne) {
    TMetafile meta;
    EXPECT_NO_THROW(GetImageWidth(&meta));
    class Other : public TGraphic {
        int Width() const override { return 1; }
        int Height() const override { return 1; }
        void Draw(TCanvas&, const TRect&) const override {}
    } other;
    try {
        GetImageHeight(&other);
        FAIL();
    } catch (const EGDIPlus& e) {
        EXPECT_EQ(e.Message, "Not a TBitmap, TGifImage, TMetafile, or TGpImage");
    }
    EXPECT_THROW(GetImageWidth(nullptr), EGDIPlus);
}

TEST(Drawing, MasksLeaveTheBackgroundAlone) {
    TBitmap image(2, 2), mask(2, 2, TPixelFormat::pf1bit);
    image.Canvas().FillRect(TRect{0, 0, 2, 2}, clRed);
    mask.Canvas().FillRect(TRect{0, 0, 2, 2}, clBlack);
    mask.Canvas().FillRect(TRect{1, 0, 2, 2}, clWhite);  // right column transparent
    TBitmap target(4, 4);
    target.Canvas().FillRect(TRect{0, 0, 4, 4}, clYellow);
    PrintTransparentBitmap(target.Canvas(), image, mask, 4, 4, 0, 0);
    EXPECT_EQ(target.GetPixel(0, 3), clRed);
    EXPECT_EQ(target.GetPixel(3, 0), clYellow);

    target.Canvas().FillRect(TRect{0, 0, 4, 4}, clYellow);
    PrintBitmap1(target.Canvas(), 0, 0, 4, 4, &mask, image, 2, 0);
    EXPECT_EQ(target.GetPixel(1, 1), clRed);
    EXPECT_EQ(target.GetPixel(2, 1), clYellow);

    // The region of a mask's visible pixels, scaled.
    TXForm xf;
    xf.eM11 = xf.eM22 = 3;
    xf.eDx = 10;
    TRegion r = BitmapToRegion(mask, &xf, clWhite);
    EXPECT_EQ(r.BoundingBox(), (TRect{10, 0, 13, 6}));

    target.Canvas().FillRect(TRect{0, 0, 4, 4}, clYellow);
    EnlargeImage(target.Canvas(), 0, 0, image, 4, 4);
    EXPECT_EQ(target.GetPixel(3, 3), clRed);

    TDib dib(image);
    EXPECT_EQ(dib.InfoSize(), 40u);
    EXPECT_EQ(dib.BitsSize(), 2u * 8u);  // rows of 6 bytes padded to 8
}

TEST(Drawing, AlphaPicturesBlendOverTheCanvas) {
    TGpBitmap half(2, 1);
    half.Pixels()[0] = 0x80FF0000u;  // red at half alpha
    half.Pixels()[1] = 0x00000000u;  // fully transparent
    TBitmap target(2, 1);
    target.Canvas().FillRect(TRect{0, 0, 2, 1}, clBlue);
    DrawGpImage(target.Canvas(), half, 0, 0);
    const TColor mixed = target.GetPixel(0, 0);
    EXPECT_NEAR(GetRValue(mixed), 128, 2);
    EXPECT_NEAR(GetBValue(mixed), 127, 2);
    EXPECT_EQ(target.GetPixel(1, 0), clBlue);

    auto onWhite = half.GetTBitmap();
    EXPECT_EQ(onWhite->GetPixel(1, 0), clWhite);
    EXPECT_NEAR(GetGValue(onWhite->GetPixel(0, 0)), 127, 2);

    TBitmap printed(4, 2);
    StretchPrintGpImageOnColor(printed.Canvas(), half, 0, 0, 4, 2, clLime);
    EXPECT_EQ(printed.GetPixel(3, 1), clLime);

    // Drawing into another GDI+ picture, and a one-pixel side widened.
    TGpBitmap canvasImage(2, 1);
    TGpGraphics g(canvasImage);
    g.Clear(clWhite);
    g.DrawImage(half, 0, 0);
    EXPECT_EQ(canvasImage.Pixels()[1], 0xFFFFFFFFu);
    EXPECT_NEAR(static_cast<int>((canvasImage.Pixels()[0] >> 8) & 0xFF), 127, 2);
    auto wide = ConvertImage(half, 300, 1);
    EXPECT_EQ(wide->Width(), 2);
    TGpBitmap thin(1, 1);
    EXPECT_EQ(ConvertImage(thin, 300, 40)->Width(), 100);
    EXPECT_EQ(ConvertImage(thin, 300, 40)->Height(), 40);
    EXPECT_THROW(TGpBitmap(0, 5), EGDIPlus);
}

}  // namespace
