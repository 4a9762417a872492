// The GIF reader: frames, LZW data, interlacing, the strip and its mask, and
// the errors of damaged files.
#include <gtest/gtest.h>

#include "html/images/gif_decoder.h"
#include "picture_builders.h"

namespace {

using pics::GifFrame;

const std::vector<uint32_t> kColors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

std::unique_ptr<TBitmap> Strip(const std::string& bytes, std::unique_ptr<TBitmap>& mask, TGif& gif) {
    TMemoryStream s(bytes);
    gif.LoadFromStream(s);
    return gif.GetStripBitmap(mask);
}

std::string Raise(const std::string& bytes) {
    TGif gif;
    TMemoryStream s(bytes);
    try {
        gif.LoadFromStream(s);
        std::unique_ptr<TBitmap> mask;
        gif.GetStripBitmap(mask);
    } catch (const EInvalidGraphicOperation& e) {
        return e.Message;
    }
    return "no error";
}

TColor C(uint32_t rgb) { return RGB(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

GifFrame Frame(int w, int h, std::vector<uint8_t> px) {
    GifFrame f;
    f.width = w;
    f.height = h;
    f.pixels = std::move(px);
    return f;
}

TEST(Gif, SingleFramePixelsAndHeader) {
    // Lower-case signature, no trailer.
    std::string bytes = pics::Gif(3, 2, kColors, {Frame(3, 2, {0, 1, 2, 3, 2, 1})}, -1, "gif89a", false);
    TGif gif;
    std::unique_ptr<TBitmap> mask;
    auto strip = Strip(bytes, mask, gif);
    EXPECT_EQ(gif.ImageCount(), 1);
    EXPECT_EQ(gif.LoopCount(), -1);
    EXPECT_FALSE(gif.IsTransparent());
    EXPECT_EQ(mask, nullptr);
    ASSERT_EQ(strip->Width(), 3);
    ASSERT_EQ(strip->Height(), 2);
    const uint32_t want[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(strip->GetPixel(i % 3, i / 3), C(want[i])) << i;
    EXPECT_EQ(gif.GetImageDelay(0), 1);
    EXPECT_EQ(gif.GetImageDisposal(0), 0);
    EXPECT_EQ(gif.GetTransparentIndex(0), -1);
}

TEST(Gif, LzwOfLongRunsAndNoiseDecodesExactly) {
    // Runs exercise the code that is not yet in the table; noise over 256
    // colours fills the table to 12 bits and clears it.
    const int w = 120, h = 90;
    std::vector<uint8_t> px(w * h);
    uint32_t seed = 12345;
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245u + 12345u;
        px[static_cast<size_t>(i)] = i < w * 30 ? 7 : static_cast<uint8_t>((seed >> 16) & 0xFF);
    }
    std::vector<uint32_t> colors(256);
    for (int i = 0; i < 256; ++i) colors[static_cast<size_t>(i)] = static_cast<uint32_t>(i * 0x010101);
    TGif gif;
    std::unique_ptr<TBitmap> mask;
    auto strip = Strip(pics::Gif(w, h, colors, {Frame(w, h, px)}), mask, gif);
    EXPECT_EQ(gif.Image(0).Pixels, px);
    EXPECT_EQ(strip->GetPixel(5, 5), RGB(7, 7, 7));
}

TEST(Gif, InterlacedRowsLandInPlace) {
    const int w = 2, h = 11;
    std::vector<uint8_t> px;
    for (int y = 0; y < h; ++y) px.insert(px.end(), {uint8_t(y % 4), uint8_t((y + 1) % 4)});
    GifFrame f = Frame(w, h, px);
    f.interlaced = true;
    TGif gif;
    std::unique_ptr<TBitmap> mask;
    Strip(pics::Gif(w, h, kColors, {f}), mask, gif);
    EXPECT_EQ(gif.Image(0).Pixels, px);
}

TEST(Gif, FramesAreCutToTheScreenAndTheirCell) {
    // A 2 x 2 screen, a frame 3 wide and 3 tall at (1, 0): only column 1 rows 0-1 show.
    GifFrame f = Frame(3, 3, {1, 2, 2, 1, 2, 2, 1, 2, 2});
    f.left = 1;
    GifFrame g = Frame(2, 2, {3, 3, 3, 3});
    TGif gif;
    std::unique_ptr<TBitmap> mask;
    auto strip = Strip(pics::Gif(2, 2, kColors, {f, g}), mask, gif);
    EXPECT_EQ(gif.GetImageHeight(0), 2);
    ASSERT_EQ(strip->Width(), 4);
    EXPECT_EQ(strip->GetPixel(0, 0), clBlack);
    EXPECT_EQ(strip->GetPixel(1, 0), C(0xFF0000));
    EXPECT_EQ(strip->GetPixel(1, 1), C(0xFF0000));
    EXPECT_EQ(strip->GetPixel(2, 0), C(0x0000FF));  // the second cell is not overwritten by frame 1
    EXPECT_THROW(gif.GetImageLeft(2), EInvalidGraphicOperation);
}

TEST(Gif, TransparencyAndDisposalInTheMask) {
    // Frame 1: left pixel transparent. Frame 2 covers only the right pixel and
    // is transparent there too; frame 1 is disposed to background.
    GifFrame a = Frame(2, 1, {0, 1});
    a.transparent = 0;
    a.delay = 5;
    a.disposal = 2;
    GifFrame b = Frame(1, 1, {0});
    b.left = 1;
    b.transparent = 0;
    GifFrame c = Frame(1, 1, {2});
    TGif gif;
    std::unique_ptr<TBitmap> mask;
    auto strip = Strip(pics::Gif(2, 1, kColors, {a, b, c}), mask, gif);
    ASSERT_NE(mask, nullptr);
    EXPECT_TRUE(mask->Monochrome());
    EXPECT_EQ(gif.GetImageDisposal(0), 2);
    EXPECT_EQ(gif.GetImageDelay(0), 5);
    // Cell 0: transparent, opaque red.
    EXPECT_EQ(mask->GetPixel(0, 0), clWhite);
    EXPECT_EQ(mask->GetPixel(1, 0), clBlack);
    EXPECT_EQ(strip->GetPixel(1, 0), C(0xFF0000));
    // Cell 1: frame 1's rectangle disposed (mask white); the transparent pixel
    // of frame 2 leaves the copy as it was.
    EXPECT_EQ(mask->GetPixel(2, 0), clWhite);
    EXPECT_EQ(mask->GetPixel(3, 0), clWhite);
    EXPECT_EQ(strip->GetPixel(3, 0), C(0xFF0000));
    // Cell 2: frame 3 paints green over the copy of cell 1.
    EXPECT_EQ(strip->GetPixel(4, 0), C(0x00FF00));
    EXPECT_EQ(mask->GetPixel(4, 0), clBlack);
    EXPECT_EQ(mask->GetPixel(5, 0), clWhite);
}

TEST(Gif, MaskOfCellsOnWholeBytesIsCopiedAndClearedBitForBit) {
    // A 16-wide screen puts every cell on whole mask bytes. Frame 2 covers
    // columns 3-12 of row 0 only, across byte edges, with no transparency.
    std::vector<uint8_t> px(32, 1);
    px[0] = px[16 + 9] = 0;
    GifFrame a = Frame(16, 2, px);
    a.transparent = 0;
    GifFrame b = Frame(10, 1, std::vector<uint8_t>(10, 2));
    b.left = 3;
    TGif gif;
    std::unique_ptr<TBitmap> mask;
    auto strip = Strip(pics::Gif(16, 2, kColors, {a, b}), mask, gif);
    ASSERT_NE(mask, nullptr);
    for (int cell : {0, 16})
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool hole = (x == 0 && y == 0) || (x == 9 && y == 1);
                const bool covered = cell == 16 && y == 0 && x >= 3 && x <= 12;
                EXPECT_EQ(mask->GetPixel(cell + x, y), hole && !covered ? clWhite : clBlack) << cell + x << "," << y;
                if (covered) {
                    EXPECT_EQ(strip->GetPixel(cell + x, y), C(0x00FF00));
                }
            }
}

TEST(Gif, DamagedFilesRaiseTheirErrors) {
    const std::string good = pics::Gif(2, 2, kColors, {Frame(2, 2, {0, 1, 2, 3})});
    EXPECT_EQ(Raise(pics::Gif(2, 2, kColors, {Frame(2, 2, {0, 1, 2, 3})}, -1, "GIF88a")),
              "TGif: Invalid GIF Signature Code");
    EXPECT_EQ(GifLastError, 1);
    EXPECT_EQ(Raise("GIF8"), "TGif: Invalid GIF Signature Code");
    EXPECT_EQ(Raise(pics::Gif(2, 2, kColors, {})), "TGif: No Image Description");
    EXPECT_EQ(Raise(good.substr(0, good.size() - 6)), "TGif: Unexpected end of file");
    EXPECT_EQ(Raise(good.substr(0, 25)), "TGif: No Image Description");
    EXPECT_EQ(Raise(good.substr(0, 30)), "TGif: Unexpected end of file");
    EXPECT_EQ(Raise(pics::Gif(2, 2, kColors, {Frame(0, 2, {})})), "TGif: Zero width or height");
    std::string junk = good;
    junk.back() = 'x';
    EXPECT_EQ(Raise(junk), "TGif: Unknown Graphics Operation Code");
    std::string ext = good.substr(0, good.size() - 1) + "\x21\x77\x00;";
    EXPECT_EQ(Raise(ext), "TGif: unknown extension: 0077");
    EXPECT_EQ(GifLastError, 6);
    std::string gce = good;
    gce.insert(13 + 12, std::string("\x21\xF9\x05\x00\x00\x00\x00\x00\x00", 9));
    EXPECT_EQ(Raise(gce), "TGif: Invalid Extension Block Size");
    // A code far beyond the table.
    std::string lzw = good.substr(0, 13 + 12 + 10);
    lzw += std::string("\x02\x02\xFF\x0F\x00;", 6);
    EXPECT_EQ(Raise(lzw), "TGif: Invalid LZW Data Format");
    // A screen of 65535 x 65535: refused before anything that size is made.
    EXPECT_EQ(Raise(pics::Gif(65535, 65535, kColors, {Frame(65535, 65535, {})})), "TGif: Animated GIF too large");
}

}  // namespace
