// Colour reduction: palettes, lookups, error diffusion and the octree.
#include <gtest/gtest.h>

#include <functional>

#include "html/images/dither.h"
#include "html/images/viewer_globals.h"

namespace {

// Restores the screen facts a test changes.
class ScreenFacts : public ::testing::Test {
protected:
    void SetUp() override {
        bits_ = ScreenColorBits;
        palette_ = ScreenPalette;
    }
    void TearDown() override {
        ScreenColorBits = bits_;
        ScreenPalette = palette_;
    }
    uint8_t bits_ = 24;
    std::vector<TColor> palette_;
};

std::unique_ptr<TBitmap> Gradient(int w, int h) {
    auto bmp = std::make_unique<TBitmap>(w, h, TPixelFormat::pf24bit);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bmp->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<uint8_t>(x * 255 / (w - 1));
            row[3 * x + 1] = static_cast<uint8_t>(y * 255 / (h - 1));
            row[3 * x + 2] = static_cast<uint8_t>((x + y) * 255 / (w + h - 2));
        }
    }
    return bmp;
}

TEST_F(ScreenFacts, FourBitScreensGetTheTwentySystemColours) {
    ScreenColorBits = 4;
    auto src = Gradient(40, 30);
    auto out = DitherBitmap(src.get());
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(out->Palette(), DefaultPalette20());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_LT(out->ScanLine(y)[x], 20);
}

TEST_F(ScreenFacts, ScreenBitmapsAndOtherGraphicsAreNotReduced) {
    ScreenColorBits = 8;
    TBitmap device(3, 3);
    device.Canvas().FillRect(TRect{0, 0, 3, 3}, RGB(12, 34, 56));
    auto copy = DitherBitmap(&device);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->PixelFormat(), TPixelFormat::pfDevice);
    EXPECT_EQ(copy->GetPixel(1, 1), RGB(12, 34, 56));
    TBitmap empty;
    EXPECT_EQ(DitherBitmap(&empty), nullptr);
    EXPECT_EQ(DitherBitmap(nullptr), nullptr);
}

TEST_F(ScreenFacts, ErrorDiffusionKeepsTheAverage) {
    // Mid grey with only black and white: about half the pixels turn white,
    // spread out rather than in a block.
    ScreenPalette = {clBlack, clWhite};
    TBitmap grey(64, 64, TPixelFormat::pf24bit);
    for (int y = 0; y < 64; ++y) std::fill_n(grey.ScanLine(y), 64 * 3, 128);
    auto out = ReduceColors(grey, rmMyPalette, dmFloydSteinberg);
    int white = 0, whiteInFirstRow = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (out->ScanLine(y)[x] == 1) {
                ++white;
                if (y == 0) ++whiteInFirstRow;
            }
    EXPECT_NEAR(white, 64 * 64 * 128 / 255, 40);
    EXPECT_NEAR(whiteInFirstRow, 32, 2);
    // Nearest colour alone makes it all white.
    auto plain = ReduceColors(grey, rmMyPalette, dmNearest);
    EXPECT_EQ(plain->ScanLine(10)[10], 1);
    // Unknown reductions and modes give an unfilled 8-bit bitmap.
    EXPECT_EQ(ReduceColors(grey, 2, dmNearest)->ScanLine(5)[5], 0);
    EXPECT_EQ(ReduceColors(grey, rmWindows20, 9)->ScanLine(5)[5], 0);
    EXPECT_EQ(ReduceColors(grey, rmNone, 9)->PixelFormat(), TPixelFormat::pf24bit);
}

TEST(ColourLookups, CubeAndNearest) {
    TNetscapeColorLookup cube;
    int r, g, b;
    EXPECT_EQ(cube.Lookup(255, 0, 100, r, g, b), 5 * 36 + 0 * 6 + 2);
    EXPECT_EQ(b, 102);
    EXPECT_EQ(cube.Palette()[5 * 36 + 2], RGB(255, 0, 102));
    EXPECT_EQ(cube.Lookup(22, 23, 24, r, g, b), 0);  // (v + 3) div 51 rounds 22..24 down

    TFastColorLookup near({clBlack, RGB(200, 0, 0), RGB(0, 0, 200), RGB(200, 0, 0)});
    EXPECT_EQ(near.Lookup(180, 10, 10, r, g, b), 1);  // first of two equal entries
    EXPECT_EQ(r, 200);
    EXPECT_EQ(near.Lookup(10, 10, 190, r, g, b), 2);
    // Colours sharing their top five bits share the answer once cached.
    EXPECT_EQ(near.Lookup(96, 0, 97, r, g, b), near.Lookup(99, 3, 100, r, g, b));
}

TEST(ColourLookups, OctreeFindsFewColoursExactlyAndBoundsMany) {
    TColorQuantizer few(236, 8);
    for (int i = 0; i < 50; ++i) {
        few.AddColor(10, 20, 30);
        few.AddColor(200, 100, 0);
        few.AddColor(0, 255, 255);
    }
    std::vector<TColor> table = few.ColorTable();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_NE(std::find(table.begin(), table.end(), RGB(200, 100, 0)), table.end());

    TColorQuantizer many(16, 8);
    auto bmp = Gradient(64, 64);
    many.ProcessImage(*bmp);
    EXPECT_LE(many.ColorCount(), 16);
    EXPECT_LE(many.ColorTable().size(), 16u);

    auto reduced = ReduceColors(*bmp, rmQuantizeWindows, dmNearest);
    std::vector<TColor> pal = reduced->Palette();
    ASSERT_GE(pal.size(), 20u);
    EXPECT_TRUE(std::equal(DefaultPalette20().begin(), DefaultPalette20().end(), pal.begin()));
}

}  // namespace

namespace {

// The row reader and writer refuse what they cannot hold with GIFException.
TEST(DibRows, BadBitmapsAndRowsRaiseGifExceptions) {
    auto text = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const GIFException& e) {
            return e.Message;
        }
        return std::string("nothing raised");
    };
    TBitmap empty;
    EXPECT_EQ(text([&] { DitherUnit::TDIBReader r(empty); }), "Bitmap image is not valid");
    EXPECT_EQ(text([&] { DitherUnit::TDIBWriter w(empty, {}); }), "Image has no DIB");
    // Both are rows of a bitmap in their own format, reached the same way.
    auto source = Gradient(4, 3);
    DitherUnit::TDIBReader reader(*source);
    TBitmap target(4, 3);
    DitherUnit::TDIBWriter writer(target, {clBlack, clWhite});
    DitherUnit::TDIB& in = reader;
    DitherUnit::TDIB& out = writer;
    EXPECT_EQ(in.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(out.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_GE(in.ScanLineSize(), 12);
    EXPECT_EQ(text([&] { in.ScanLine(3); }), "Scan line index out of range");
    EXPECT_EQ(text([&] { out.ScanLine(-1); }), "Scan line index out of range");
    EXPECT_EQ(out.ScanLine(2), target.ScanLine(2));
    // An empty picture still reduces to an empty one.
    EXPECT_TRUE(ReduceColors(empty, rmWindows20, dmFloydSteinberg)->Empty());
}

}  // namespace
