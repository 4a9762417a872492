// BMP files with alpha: a 32-bit file with an alpha mask is shown blended, as
// browsers show it, while files without usable alpha stay plain bitmaps.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "html/images/bmp_alpha.h"
#include "html/images/image_loading.h"
#include "picture_builders.h"

namespace {

// A 32-bit bottom-up BMP of 0xAARRGGBB pixels (top row first) with a header of
// `header` bytes (40, 108 or 124) and the given compression (0 or 3) and alpha mask.
std::string Bmp32(int w, int h, const std::vector<uint32_t>& pixels, uint32_t header, uint32_t compression,
                  uint32_t alphaMask) {
    std::string s = "BM";
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
    };
    const uint32_t off = 14 + header;
    le32(off + uint32_t(w * h * 4));
    le32(0);
    le32(off);
    le32(header);
    le32(uint32_t(w));
    le32(uint32_t(h));
    pics::Le16(s, 1);
    pics::Le16(s, 32);
    le32(compression);
    le32(uint32_t(w * h * 4));
    le32(3780);
    le32(3780);
    le32(0);
    le32(0);
    if (header > 40) {
        le32(0x00FF0000u);
        le32(0x0000FF00u);
        le32(0x000000FFu);
        le32(alphaMask);
        s.resize(14 + header, '\0');
    }
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) le32(pixels[size_t(y) * w + x]);
    return s;
}

// Red at half alpha, opaque green / fully transparent blue, opaque white.
const std::vector<uint32_t> kPixels = {0x80FF0000u, 0xFF00FF00u, 0x000000FFu, 0xFFFFFFFFu};

TEST(BmpAlpha, AnAlphaMaskedFileIsDrawnBlended) {
    TMemoryStream s(Bmp32(2, 2, kPixels, 124, 3, 0xFF000000u));
    std::unique_ptr<TBitmap> mask;
    Transparency t = LLCorner;
    auto image = LoadImageFromStream(&s, mask, t);
    auto* gp = dynamic_cast<TGpBitmap*>(image.get());
    ASSERT_NE(gp, nullptr);
    EXPECT_EQ(t, NotTransp);
    EXPECT_EQ(mask, nullptr);
    EXPECT_EQ(gp->Pixels(), kPixels);

    TBitmap target(2, 2);
    target.Canvas().FillRect(TRect{0, 0, 2, 2}, clWhite);
    StretchDrawGpImage(target.Canvas(), *gp, 0, 0, 2, 2);
    const TColor half = target.GetPixel(0, 0);
    EXPECT_EQ(GetRValue(half), 255);
    EXPECT_NEAR(GetGValue(half), 127, 2);  // red over white at half strength
    EXPECT_EQ(target.GetPixel(1, 0), clLime);
    EXPECT_EQ(target.GetPixel(0, 1), clWhite);  // the transparent pixel shows what lies below

    // A file given to the GDI+ picture has the same alpha.
    const std::string name = ::testing::TempDir() + "alpha.bmp";
    std::ofstream(name, std::ios::binary) << Bmp32(2, 2, kPixels, 108, 3, 0xFF000000u);
    TGpImage fromFile(name);
    EXPECT_EQ(fromFile.Pixels(), kPixels);
    std::remove(name.c_str());
}

TEST(BmpAlpha, FilesWithoutUsableAlphaStayOpaque) {
    std::unique_ptr<TBitmap> mask;
    Transparency t = NotTransp;
    // An alpha mask over alpha bits that are all zero: alpha not in use.
    std::vector<uint32_t> noAlpha;
    for (uint32_t p : kPixels) noAlpha.push_back(p & 0xFFFFFFu);
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    const std::string unused = Bmp32(2, 2, noAlpha, 124, 0, 0xFF000000u);
    ASSERT_TRUE(DecodeBmpAlpha(unused.data(), unused.size(), w, h, px));
    for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(px[i], noAlpha[i] | 0xFF000000u);

    // The plain 40-byte header and a larger one naming no alpha mask: bitmaps as before.
    for (const std::string& bytes : {Bmp32(2, 2, kPixels, 40, 0, 0), Bmp32(2, 2, kPixels, 124, 3, 0)}) {
        TMemoryStream s(bytes);
        auto image = LoadImageFromStream(&s, mask, t);
        auto* bmp = dynamic_cast<TBitmap*>(image.get());
        ASSERT_NE(bmp, nullptr);
        EXPECT_EQ(bmp->GetPixel(0, 1), clBlue);
    }

    // Pixels cut short: the bitmap reader's own error, nothing half made.
    const std::string whole = Bmp32(2, 2, kPixels, 124, 3, 0xFF000000u);
    TMemoryStream cut(whole.substr(0, whole.size() - 5));
    try {
        LoadImageFromStream(&cut, mask, t);
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Bitmap image is not valid");
    }
}

}  // namespace
