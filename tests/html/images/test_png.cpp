// PNG reading (colour types, depths, filters, Adam7, gamma, transparency and
// damaged files), the alpha reader, and the encoder's filter choice.
#include <gtest/gtest.h>

#include "html/images/png_image.h"
#include "html/images/zlib_streams.h"
#include "picture_builders.h"

namespace {

using pics::Chunk;
using pics::Ihdr;
using pics::Png;

std::string Bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s.push_back(char(b));
    return s;
}

void Load(TPNGImage& png, const std::string& bytes) {
    TMemoryStream s(bytes);
    png.LoadFromStream(s);
}

int ErrorOf(const std::string& bytes) {
    TPNGImage png;
    try {
        Load(png, bytes);
    } catch (const EPNGImageException& e) {
        return e.Code;
    }
    return 0;
}

// Filter bytes of the rows an encoded PNG holds.
std::vector<int> FilterTypes(const std::string& png, size_t rowSize, int rows) {
    TPNGImage reader;
    Load(reader, png);
    const std::string raw = pics::Inflate(reader.Chunks().ItemFromType("IDAT")->Data(), (rowSize + 1) * rows);
    std::vector<int> types;
    for (int r = 0; r < rows; ++r) types.push_back(static_cast<uint8_t>(raw[static_cast<size_t>(r) * (rowSize + 1)]));
    return types;
}

TEST(Png, PaletteAndGreyDepths) {
    // 8-bit palette, 2 x 1.
    TPNGImage png;
    Load(png, Png(Ihdr(2, 1, 8, 3), Bytes({0, 1, 0}), Chunk("PLTE", Bytes({10, 20, 30, 40, 50, 60}))));
    EXPECT_EQ(png.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(png.GetPixel(0, 0), RGB(40, 50, 60));
    EXPECT_EQ(png.GetPixel(1, 0), RGB(10, 20, 30));

    // Grey of depth 2: samples 0, 1, 2, 3 become the 4-bit bytes 0x05 0xAF.
    TPNGImage grey;
    Load(grey, Png(Ihdr(4, 1, 2, 0), Bytes({0, 0x1B})));
    EXPECT_EQ(grey.PixelFormat(), TPixelFormat::pf4bit);
    EXPECT_EQ(grey.ScanLine(0)[0], 0x05);
    EXPECT_EQ(grey.ScanLine(0)[1], 0xAF);
    const int want[] = {0, 85, 170, 255};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(grey.GetPixel(x, 0), RGB(want[x], want[x], want[x])) << x;

    // Grey of depth 16 keeps the high bytes; depth 1 keeps its bits.
    TPNGImage deep;
    Load(deep, Png(Ihdr(2, 1, 16, 0), Bytes({0, 0x12, 0x34, 0xFE, 0xDC})));
    EXPECT_EQ(deep.GetPixel(0, 0), RGB(0x12, 0x12, 0x12));
    EXPECT_EQ(deep.GetPixel(1, 0), RGB(0xFE, 0xFE, 0xFE));
    TPNGImage bits;
    Load(bits, Png(Ihdr(9, 1, 1, 0), Bytes({0, 0xA5, 0x80})));
    EXPECT_EQ(bits.PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(bits.GetPixel(0, 0), clWhite);
    EXPECT_EQ(bits.GetPixel(1, 0), clBlack);
    EXPECT_EQ(bits.GetPixel(8, 0), clWhite);
}

TEST(Png, ColourTypesWithAndWithoutAlphaBecome24Bit) {
    TPNGImage rgb16;
    Load(rgb16, Png(Ihdr(1, 1, 16, 2), Bytes({0, 0xAB, 1, 0xCD, 2, 0xEF, 3})));
    EXPECT_EQ(rgb16.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(rgb16.GetPixel(0, 0), RGB(0xAB, 0xCD, 0xEF));
    TPNGImage rgba;
    Load(rgba, Png(Ihdr(2, 1, 8, 6), Bytes({0, 1, 2, 3, 0, 4, 5, 6, 255})));
    EXPECT_EQ(rgba.GetPixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(rgba.GetPixel(1, 0), RGB(4, 5, 6));
    TPNGImage greyAlpha;
    Load(greyAlpha, Png(Ihdr(1, 1, 8, 4), Bytes({0, 77, 0})));
    EXPECT_EQ(greyAlpha.GetPixel(0, 0), RGB(77, 77, 77));
}

TEST(Png, EveryFilterTypeIsUndone) {
    // Three rows of 3 RGB pixels, each filter type in turn on each row.
    const std::string rows[3] = {Bytes({10, 200, 30, 40, 50, 60, 250, 5, 90}),
                                 Bytes({11, 190, 33, 44, 52, 61, 249, 7, 95}),
                                 Bytes({0, 255, 128, 1, 254, 127, 2, 253, 126})};
    for (int type = 0; type <= 4; ++type) {
        std::string raw;
        for (int r = 0; r < 3; ++r) raw += pics::FilterRow(type, rows[r], r ? rows[r - 1] : std::string(), 3);
        TPNGImage png;
        Load(png, Png(Ihdr(3, 3, 8, 2), raw));
        for (int r = 0; r < 3; ++r)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(png.GetPixel(x, r), RGB(static_cast<uint8_t>(rows[r][3 * x]),
                                                   static_cast<uint8_t>(rows[r][3 * x + 1]),
                                                   static_cast<uint8_t>(rows[r][3 * x + 2])))
                    << "filter " << type << " row " << r << " column " << x;
    }
}

TEST(Png, Adam7GivesThePlainPicture) {
    // A 9 x 9 grey picture, written interlaced by hand, must equal its plain form.
    const int n = 9;
    auto value = [](int x, int y) { return (x * 29 + y * 7) % 256; };
    std::string plain;
    for (int y = 0; y < n; ++y) {
        plain.push_back(0);
        for (int x = 0; x < n; ++x) plain.push_back(char(value(x, y)));
    }
    const int sr[] = {0, 0, 4, 0, 2, 0, 1}, rs[] = {8, 8, 8, 4, 4, 2, 2}, sc[] = {0, 4, 0, 2, 0, 1, 0},
              cs[] = {8, 8, 4, 4, 2, 2, 1};
    std::string interlaced;
    for (int p = 0; p < 7; ++p)
        for (int y = sr[p]; y < n; y += rs[p]) {
            interlaced.push_back(0);
            for (int x = sc[p]; x < n; x += cs[p]) interlaced.push_back(char(value(x, y)));
        }
    TPNGImage a, b;
    Load(a, Png(Ihdr(n, n, 8, 0), plain));
    Load(b, Png(Ihdr(n, n, 8, 0, 1), interlaced));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) ASSERT_EQ(a.GetPixel(x, y), b.GetPixel(x, y)) << x << "," << y;

    // Depth 1: the second pass (column 4, step 8) touches only bit 3 of its bytes.
    std::string bits;
    const std::string passRow[7] = {Bytes({0, 0x00}), Bytes({0, 0x80}), Bytes({0, 0x00}), Bytes({0, 0x00}),
                                    Bytes({0, 0x00}), Bytes({0, 0x00}), Bytes({0, 0x00})};
    for (int p = 0; p < 7; ++p)
        for (int y = sr[p]; y < 8; y += rs[p]) bits += passRow[p];
    TPNGImage one;
    Load(one, Png(Ihdr(8, 8, 1, 0, 1), bits));
    EXPECT_EQ(one.ScanLine(0)[0], 0x08);
    for (int y = 1; y < 8; ++y) EXPECT_EQ(one.ScanLine(y)[0], 0x00) << y;
}

TEST(Png, GammaAndTransparentColour) {
    std::string gama;
    pics::Be32(gama, 45455);
    TPNGImage png;
    Load(png, Png(Ihdr(1, 1, 8, 2), Bytes({0, 10, 128, 250}), Chunk("gAMA", gama) + Chunk("tRNS", Bytes({0, 10, 0, 128, 0, 250}))));
    auto* g = static_cast<TChunkGAMA*>(png.Chunks().ItemFromType("gAMA"));
    for (int i = 0; i < 256; ++i) EXPECT_NEAR(g->GammaTable[static_cast<size_t>(i)], i, 1) << i;
    EXPECT_EQ(png.GetPixel(0, 0), RGB(g->GammaTable[10], g->GammaTable[128], g->GammaTable[250]));
    EXPECT_TRUE(png.Transparent());
    EXPECT_EQ(png.TransparentColor(), RGB(10, 128, 250));

    // A file gamma of 1 is brightened for the screen.
    std::string dark;
    pics::Be32(dark, 100000);
    TPNGImage d;
    Load(d, Png(Ihdr(1, 1, 8, 0), Bytes({0, 128}), Chunk("gAMA", dark)));
    EXPECT_GT(GetRValue(d.GetPixel(0, 0)), 180);
}

TEST(Png, ChunksAsTheyCome) {
    // Two IDAT chunks are one stream; an unknown ancillary chunk stays listed.
    const std::string data = pics::Deflate(Bytes({0, 1, 2, 3, 0, 4, 5, 6}));
    const std::string file = pics::kPngSignature + Ihdr(1, 2, 8, 2) + Chunk("teSt", "x") +
                             Chunk("IDAT", data.substr(0, 5)) + Chunk("IDAT", data.substr(5)) + Chunk("IEND", "");
    TPNGImage png;
    Load(png, file);
    EXPECT_EQ(png.GetPixel(0, 1), RGB(4, 5, 6));
    EXPECT_NE(png.Chunks().ItemFromType("teSt"), nullptr);
    EXPECT_EQ(png.Chunks().Count(), 4);  // IHDR, teSt, IDAT, IEND
    EXPECT_THROW(png.Chunks().Item(4), EPNGImageException);
}

TEST(Png, DamagedFilesRaiseTheirErrors) {
    const std::string ok = Png(Ihdr(1, 1, 8, 0), Bytes({0, 9}));
    EXPECT_EQ(ErrorOf("GIF89a......"), 65311);
    EXPECT_EQ(ErrorOf(pics::kPngSignature + Ihdr(1, 1, 8, 0) + Chunk("ZZZZ", "") + Chunk("IEND", "")), 65289);
    std::string badCrc = ok;
    badCrc[8 + 8 + 3] ^= 1;  // a byte of the width
    EXPECT_EQ(ErrorOf(badCrc), 65282);
    EXPECT_EQ(ErrorOf(pics::kPngSignature + Ihdr(1, 1, 8, 0) + Chunk("IEND", "")), 65284);
    EXPECT_EQ(ErrorOf(pics::kPngSignature + Chunk("gAMA", "abcd") + Ihdr(1, 1, 8, 0)), 65283);
    EXPECT_EQ(ErrorOf(Png(Ihdr(1, 1, 8, 3), Bytes({0, 0}))), 65290);
    EXPECT_EQ(ErrorOf(Png(Ihdr(1, 1, 8, 3), Bytes({0, 0}), Chunk("PLTE", "ab"))), 65285);
    EXPECT_EQ(ErrorOf(Png(Ihdr(1, 1, 8, 0), Bytes({5, 0}))), 65287);
    EXPECT_EQ(ErrorOf(Png(Ihdr(1, 1, 8, 0, 2), Bytes({0, 0}))), 65288);
    EXPECT_EQ(ErrorOf(Png(Ihdr(1, 1, 8, 5), Bytes({0, 0}))), 65286);
    EXPECT_EQ(ErrorOf(Png(Ihdr(1, 1, 4, 2), Bytes({0, 0}))), 65286);
    EXPECT_EQ(ErrorOf(Png(Ihdr(0, 1, 8, 0), Bytes({0}))), 65282);
    // A chunk claiming more bytes than the file has.
    EXPECT_EQ(ErrorOf(ok.substr(0, ok.size() - 20)), 65282);
    try {
        TPNGImage png;
        Load(png, "not a png at all");
        FAIL();
    } catch (const EPNGImageException& e) {
        EXPECT_EQ(e.Message,
                  "Portable Network Graphics format handler error\r\n\r\nInvalid Portable Graphics Network image, it "
                  "has an invalid file header.");
    }
    // Image data that is not deflate data.
    EXPECT_THROW(Load(*std::make_unique<TPNGImage>(),
                      pics::kPngSignature + Ihdr(1, 1, 8, 0) + Chunk("IDAT", "garbage!") + Chunk("IEND", "")),
                 EZDecompressionError);
    // Image data that stops early leaves the rest black.
    TPNGImage shortData;
    Load(shortData, Png(Ihdr(1, 3, 8, 0), Bytes({0, 200})));
    EXPECT_EQ(shortData.GetPixel(0, 0), RGB(200, 200, 200));
    EXPECT_EQ(shortData.GetPixel(0, 2), clBlack);
}

TEST(Png, AlphaReaderKeepsTheAlpha) {
    TMemoryStream rgba(Png(Ihdr(2, 1, 8, 6), Bytes({0, 1, 2, 3, 128, 4, 5, 6, 255})));
    int w, h;
    std::vector<uint32_t> px;
    DecodePngArgb(rgba, w, h, px);
    ASSERT_EQ(px.size(), 2u);
    EXPECT_EQ(px[0], 0x80010203u);
    EXPECT_EQ(px[1], 0xFF040506u);
    // Palette entries get their tRNS alpha; a grey key colour is transparent.
    TMemoryStream pal(Png(Ihdr(2, 1, 8, 3), Bytes({0, 0, 1}),
                          Chunk("PLTE", Bytes({1, 2, 3, 4, 5, 6})) + Chunk("tRNS", Bytes({0}))));
    DecodePngArgb(pal, w, h, px);
    EXPECT_EQ(px[0], 0x00010203u);
    EXPECT_EQ(px[1], 0xFF040506u);
    TMemoryStream grey(Png(Ihdr(2, 1, 4, 0), Bytes({0, 0x5F}), Chunk("tRNS", Bytes({0, 5}))));
    DecodePngArgb(grey, w, h, px);
    EXPECT_EQ(px[0] >> 24, 0u);
    EXPECT_EQ(px[1], 0xFFFFFFFFu);
}

TEST(Png, EncoderFilterChoiceAndRoundTrip) {
    // A first row of indexes 0..9 goes out as Sub; equal bytes as None.
    TPNGImage pal;
    pal.SetSize(0, 0);
    pal.SetPixelFormat(TPixelFormat::pf8bit);
    pal.SetSize(10, 2);
    for (int x = 0; x < 10; ++x) {
        pal.ScanLine(0)[x] = static_cast<uint8_t>(x);
        pal.ScanLine(1)[x] = 7;
    }
    const std::string saved = pal.SaveToStream();
    EXPECT_EQ(FilterTypes(saved, 10, 2), (std::vector<int>{1, 0}));
    TPNGImage back;
    Load(back, saved);
    EXPECT_EQ(back.PixelFormat(), TPixelFormat::pf8bit);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(back.ScanLine(0)[x], x);
    EXPECT_EQ(back.Palette(), pal.Palette());

    // Rows of four bytes or fewer always None; the filter set {None} too.
    TPNGImage narrow;
    narrow.SetSize(1, 3);
    EXPECT_EQ(FilterTypes(narrow.SaveToStream(), 3, 3), (std::vector<int>{0, 0, 0}));
    pal.SetFilters(pfNone);
    EXPECT_EQ(FilterTypes(pal.SaveToStream(), 10, 2), (std::vector<int>{0, 0}));

    // A screen bitmap is written as 24-bit RGB, byte for byte.
    TPNGImage rgb;
    rgb.SetSize(2, 1);
    rgb.Canvas().FillRect(TRect{0, 0, 1, 1}, RGB(1, 2, 3));
    rgb.Canvas().FillRect(TRect{1, 0, 2, 1}, RGB(250, 251, 252));
    rgb.SetFilters(pfNone);
    const std::string rgbPng = rgb.SaveToStream();
    TPNGImage raw;
    Load(raw, rgbPng);
    EXPECT_EQ(pics::Inflate(raw.Chunks().ItemFromType("IDAT")->Data(), 7), Bytes({0, 1, 2, 3, 250, 251, 252}));
    EXPECT_EQ(static_cast<TChunkIHDR*>(raw.Chunks().Item(0))->InterlaceMethod(), 0);

    // A transparent colour survives the trip.
    rgb.SetTransparentColor(RGB(1, 2, 3));
    rgb.SetTransparent(true);
    TPNGImage t;
    Load(t, rgb.SaveToStream());
    EXPECT_TRUE(t.Transparent());
    EXPECT_EQ(t.TransparentColor(), RGB(1, 2, 3));
    TPNGImage empty;
    EXPECT_THROW(empty.SaveToStream(), EInvalidGraphicOperation);
}

// The format is registered by its description; hooks run in list order, so a
// gAMA after the image data comes too late to change it; an interlaced save
// writes Adam7 passes that read back as the same picture.
TEST(Png, RegisteredHooksInListOrderAndInterlacedSaving) {
    EXPECT_EQ(PictureFileFormats().size(), 1u);
    EXPECT_EQ(PictureFileFormats()[0].Extension, "PNG");
    EXPECT_EQ(PictureFileFormats()[0].Description, "Portable Network Graphics");

    std::string dark;
    pics::Be32(dark, 100000);
    TPNGImage late;
    Load(late, pics::kPngSignature + Ihdr(1, 1, 8, 0) + Chunk("IDAT", pics::Deflate(Bytes({0, 128}))) +
                   Chunk("gAMA", dark) + Chunk("IEND", ""));
    EXPECT_EQ(GetRValue(late.GetPixel(0, 0)), 128);

    // Pixel x of a row: a packed sample, or three bytes.
    auto sample = [](const uint8_t* row, int x, int bpp) {
        if (bpp == 24) return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
        return (row[x * bpp / 8] >> (8 - bpp - x * bpp % 8)) & ((1 << bpp) - 1);
    };
    for (const TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf24bit}) {
        TPNGImage png;
        png.SetPixelFormat(format);
        png.SetSize(11, 9);
        const int bpp = png.BitsPerPixel();
        for (int y = 0; y < 9; ++y) {
            uint8_t* row = png.ScanLine(y);
            for (int i = 0; i < (bpp * 11 + 7) / 8; ++i) row[i] = static_cast<uint8_t>(i * 37 + y * 11);
        }
        png.SetInterlacing(true);
        TPNGImage back;
        Load(back, png.SaveToStream());
        EXPECT_EQ(static_cast<TChunkIHDR*>(back.Chunks().Item(0))->InterlaceMethod(), 1);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 11; ++x)
                EXPECT_EQ(sample(back.ScanLine(y), x, bpp), sample(png.ScanLine(y), x, bpp)) << bpp << ": " << x << "," << y;
    }
}

}  // namespace
