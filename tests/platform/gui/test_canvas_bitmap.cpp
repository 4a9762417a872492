// Bitmaps: pixel formats, rows, palettes, BMP files, raster operations, masks and
// metafile play-back.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/gui/bitmap.h"
#include "platform/gui/metafile.h"
#include "platform/gui/printer.h"
#include "test_canvas_env.h"

using namespace canvas_test;

namespace {

std::unique_ptr<TBitmap> Solid(int w, int h, TColor c, TPixelFormat f = TPixelFormat::pf24bit) {
    auto b = std::make_unique<TBitmap>(w, h, f);
    b->Canvas().FillRect(TRect{0, 0, w, h}, c);
    return b;
}

TColor Blit(TColor dst, TColor src, uint32_t rop, TColor brush = clBlack) {
    auto d = Solid(4, 4, dst);
    auto s = Solid(4, 4, src);
    d->Canvas().Brush().SetColor(brush);
    EXPECT_TRUE(d->Canvas().BitBlt(0, 0, 4, 4, &s->Canvas(), 0, 0, rop)) << std::hex << rop;
    return d->GetPixel(2, 2);
}

}  // namespace

TEST(BitmapRasterOps, CombineSourceAndDestination) {
    const TColor d = RGB(0x0F, 0xF0, 0x55), s = RGB(0x33, 0x3C, 0xAA);
    auto rgb = [](TColor c) { return c & 0xFFFFFF; };
    EXPECT_EQ(Blit(d, s, SRCCOPY), s);
    EXPECT_EQ(Blit(d, s, SRCAND), rgb(d & s));
    EXPECT_EQ(Blit(d, s, SRCPAINT), rgb(d | s));
    EXPECT_EQ(Blit(d, s, SRCINVERT), rgb(d ^ s));
    EXPECT_EQ(Blit(d, s, SRCERASE), rgb(s & ~d));
    EXPECT_EQ(Blit(d, s, NOTSRCCOPY), rgb(~s));
    EXPECT_EQ(Blit(d, s, MERGEPAINT), rgb(~s | d));
    EXPECT_EQ(Blit(d, s, MERGECOPY, RGB(0xF0, 0x0F, 0xFF)), rgb(s & RGB(0xF0, 0x0F, 0xFF)));
    EXPECT_EQ(Blit(d, s, PATCOPY, clRed), clRed);
    EXPECT_EQ(Blit(d, s, PATINVERT, clWhite), rgb(~d));
    EXPECT_EQ(Blit(d, s, DSTINVERT), rgb(~d));
    EXPECT_EQ(Blit(d, s, BLACKNESS), clBlack);
    // Operations without a shortcut are worked out bit by bit (on bitmaps), such
    // as the two that paint monochrome glyphs in the brush colour.
    const TColor p = RGB(0xAA, 0x0F, 0x3C);
    EXPECT_EQ(Blit(d, s, 0x00B8074A, p), rgb((s & d) | (~s & p)));  // PSDPxax
    EXPECT_EQ(Blit(d, s, 0x00E20746, p), rgb((d & ~s) | (p & s)));  // DSPDxax
    EXPECT_EQ(Blit(d, s, WHITENESS), clWhite);

    // Stretching doubles every source pixel.
    auto src = Solid(2, 1, clWhite);
    src->Canvas().SetPixel(0, 0, clBlack);
    auto dst = Solid(4, 2, clRed);
    dst->Canvas().StretchBlt(0, 0, 4, 2, &src->Canvas(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst->GetPixel(1, 1), clBlack);
    EXPECT_EQ(dst->GetPixel(2, 0), clWhite);
    // Only the part of a request inside the source is copied, to the matching place.
    auto red = Solid(4, 4, clRed);
    auto target = Solid(10, 10, clWhite);
    EXPECT_TRUE(target->Canvas().BitBlt(0, 0, 6, 6, &red->Canvas(), -2, -2, SRCCOPY));
    EXPECT_EQ(InkBox(*target), (TRect{2, 2, 6, 6}));
    // (the 4x4 pixels of a million-pixel request shrink to nothing)
    EXPECT_TRUE(target->Canvas().StretchBlt(0, 0, 10, 10, &red->Canvas(), 0, 0, 1000000, 1000000, SRCCOPY));
    EXPECT_EQ(InkBox(*target), (TRect{2, 2, 6, 6}));
    // A source that is not a bitmap cannot be copied from.
    TCanvas nothing;
    EXPECT_FALSE(dst->Canvas().BitBlt(0, 0, 2, 2, &nothing, 0, 0, SRCCOPY));
}

TEST(BitmapRasterOps, MonochromeMasksMakeTransparentDraws) {
    // A 4x4 image: left half red, right half green; the mask hides the right half.
    auto image = Solid(4, 4, clRed);
    image->Canvas().FillRect(TRect{2, 0, 4, 4}, clLime);
    TBitmap mask(4, 4, TPixelFormat::pf1bit);
    mask.Canvas().FillRect(TRect{0, 0, 4, 4}, clBlack);
    mask.Canvas().FillRect(TRect{2, 0, 4, 4}, clWhite);

    // The classic three steps: the inverted mask clears the image's hidden pixels,
    // the mask punches a hole into the destination, the image is or'ed in.
    TBitmap inverted(4, 4);
    inverted.Canvas().BitBlt(0, 0, 4, 4, &mask.Canvas(), 0, 0, NOTSRCCOPY);
    auto cleared = std::make_unique<TBitmap>(*image);
    cleared->Canvas().BitBlt(0, 0, 4, 4, &inverted.Canvas(), 0, 0, SRCAND);
    EXPECT_EQ(cleared->GetPixel(3, 0), clBlack);
    EXPECT_EQ(cleared->GetPixel(0, 0), clRed);
    auto dest = Solid(4, 4, clBlue);
    dest->Canvas().BitBlt(0, 0, 4, 4, &mask.Canvas(), 0, 0, SRCAND);
    dest->Canvas().BitBlt(0, 0, 4, 4, &cleared->Canvas(), 0, 0, SRCPAINT);
    EXPECT_EQ(dest->GetPixel(0, 0), clRed);
    EXPECT_EQ(dest->GetPixel(3, 3), clBlue);

    // The same on any device in one call.
    auto direct = Solid(8, 8, clBlue);
    direct->Canvas().DrawMasked(TRect{0, 0, 8, 8}, *image, TRect{0, 0, 4, 4}, mask);
    EXPECT_EQ(direct->GetPixel(1, 1), clRed);
    EXPECT_EQ(direct->GetPixel(6, 6), clBlue);

    // A transparent bitmap leaves out its transparent colour (by default the
    // bottom-left pixel's).
    auto sprite = Solid(4, 4, clFuchsia);
    sprite->Canvas().FillRect(TRect{1, 1, 3, 3}, clYellow);
    sprite->SetTransparent(true);
    EXPECT_EQ(sprite->TransparentColor(), clFuchsia);
    auto bg = Solid(10, 10, clWhite);
    bg->Canvas().Draw(3, 3, *sprite);
    EXPECT_EQ(bg->GetPixel(3, 3), clWhite);
    EXPECT_EQ(bg->GetPixel(4, 4), clYellow);
    auto m = sprite->CreateMask(clFuchsia);
    EXPECT_EQ(m->PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(m->GetPixel(0, 0), clWhite);
    EXPECT_EQ(m->GetPixel(1, 1), clBlack);

    // Monochrome to colour takes the destination's text and background colours.
    auto coloured = Solid(4, 4, clWhite);
    coloured->Canvas().SetTextColor(clNavy);
    coloured->Canvas().SetBkColor(clYellow);
    coloured->Canvas().BitBlt(0, 0, 4, 4, &mask.Canvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(coloured->GetPixel(0, 0), clNavy);
    EXPECT_EQ(coloured->GetPixel(3, 0), clYellow);
    // Colour to monochrome: the source's background colour becomes white.
    TBitmap mono(4, 4, TPixelFormat::pf1bit);
    image->Canvas().SetBkColor(clLime);
    mono.Canvas().BitBlt(0, 0, 4, 4, &image->Canvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(mono.GetPixel(3, 0), clWhite);
    EXPECT_EQ(mono.GetPixel(0, 0), clBlack);
}

TEST(BitmapFormats, RowsFollowTheDeviceIndependentLayout) {
    TBitmap b24(3, 2, TPixelFormat::pf24bit);
    EXPECT_EQ(b24.BytesPerScanLine(), 12);
    b24.Canvas().FillRect(TRect{0, 0, 3, 2}, RGB(1, 2, 3));
    const uint8_t* row = b24.ScanLine(1);
    EXPECT_EQ(row[0], 3);  // blue, green, red
    EXPECT_EQ(row[1], 2);
    EXPECT_EQ(row[2], 1);
    b24.ScanLine(0)[3 * 2 + 2] = 200;  // red of the last pixel of the top row
    EXPECT_EQ(b24.GetPixel(2, 0), RGB(200, 2, 3));
    EXPECT_THROW(b24.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b24.ScanLine(-1), EInvalidGraphicOperation);

    TBitmap b8(5, 1, TPixelFormat::pf8bit);
    b8.SetPaletteEntry(7, RGB(10, 20, 30));
    b8.ScanLine(0)[4] = 7;
    EXPECT_EQ(b8.GetPixel(4, 0), RGB(10, 20, 30));
    // Drawing picks the nearest palette entry.
    b8.Canvas().FillRect(TRect{0, 0, 1, 1}, RGB(11, 19, 31));
    EXPECT_EQ(b8.ScanLine(0)[0], 7);

    TBitmap b1(10, 1, TPixelFormat::pf1bit);
    EXPECT_EQ(b1.BytesPerScanLine(), 4);
    b1.Canvas().FillRect(TRect{1, 0, 2, 1}, clWhite);
    b1.Canvas().FillRect(TRect{9, 0, 10, 1}, clWhite);
    EXPECT_EQ(b1.ScanLine(0)[0], 0x40);  // most significant bit first
    EXPECT_EQ(b1.ScanLine(0)[1], 0x40);

    TBitmap b4(3, 1, TPixelFormat::pf4bit);
    b4.ScanLine(0)[0] = 0x9C;  // high nibble is the left pixel
    EXPECT_EQ(b4.GetPixel(0, 0), b4.PaletteEntry(9));
    EXPECT_EQ(b4.GetPixel(1, 0), b4.PaletteEntry(12));

    TBitmap b32(2, 1, TPixelFormat::pf32bit);
    b32.Canvas().SetPixel(1, 0, RGB(9, 8, 7));
    EXPECT_EQ(b32.ScanLine(0)[4], 7);
    EXPECT_EQ(b32.ScanLine(0)[6], 9);

    // Converting keeps the picture; resizing keeps the top-left pixels.
    b24.SetPixelFormat(TPixelFormat::pf32bit);
    EXPECT_EQ(b24.GetPixel(2, 0), RGB(200, 2, 3));
    b24.SetSize(5, 5);
    EXPECT_EQ(b24.GetPixel(2, 0), RGB(200, 2, 3));
    EXPECT_EQ(b24.GetPixel(4, 4), clBlack);
    EXPECT_THROW(TBitmap(100000, 100000), EOutOfResources);
}

TEST(BitmapFiles, RoundTripEveryFormatAndRejectBadInput) {
    for (TPixelFormat f : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf15bit,
                           TPixelFormat::pf16bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit, TPixelFormat::pfDevice}) {
        TBitmap b(7, 3, f);
        b.Canvas().FillRect(TRect{0, 0, 7, 3}, clWhite);
        b.Canvas().FillRect(TRect{2, 1, 5, 2}, clBlack);
        std::string bytes = b.SaveToStream();
        TBitmap c;
        c.LoadFromStream(bytes);
        ASSERT_EQ(c.Width(), 7);
        ASSERT_EQ(c.Height(), 3);
        TPixelFormat expected = f == TPixelFormat::pfDevice ? TPixelFormat::pf24bit : f;
        EXPECT_EQ(c.PixelFormat(), expected) << int(f);
        EXPECT_EQ(c.GetPixel(0, 0), clWhite) << int(f);
        EXPECT_EQ(c.GetPixel(3, 1), clBlack) << int(f);
        EXPECT_EQ(c.GetPixel(6, 2), clWhite) << int(f);
    }

    TBitmap keep(2, 2);
    keep.Canvas().FillRect(TRect{0, 0, 2, 2}, clRed);
    std::string good = keep.SaveToStream();
    for (std::string bad : {std::string(), std::string("BM"), std::string("GIF89a") + std::string(60, '\0'),
                            good.substr(0, good.size() - 3)}) {
        EXPECT_THROW(keep.LoadFromStream(bad), EInvalidGraphic);
        EXPECT_EQ(keep.GetPixel(1, 1), clRed);  // unchanged
    }
    std::string huge = good;
    huge[18] = huge[19] = huge[20] = '\x7F';  // width about two billion
    EXPECT_THROW(keep.LoadFromStream(huge), EInvalidGraphic);
    // A size the pixels that follow cannot fill is refused before anything is
    // allocated for it.
    std::string big = good;
    big[18] = big[22] = '\x40';
    big[19] = big[23] = '\x1F';  // 8000 x 8000
    EXPECT_THROW(keep.LoadFromStream(big), EInvalidGraphic);
    EXPECT_THROW(keep.LoadFromFile("/nonexistent/x.bmp"), EFOpenError);

    // A run-length coded 8-bit file: 4x2, bottom row 1 1 2 2, top row 3 3 3 3
    // (palette 1 blue, 2 green, 3 red).
    std::string rle = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) rle.push_back(char((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](uint16_t v) {
        rle.push_back(char(v & 0xFF));
        rle.push_back(char(v >> 8));
    };
    std::string data = {2, 1, 2, 2, 0, 0, 4, 3, 0, 1};
    put32(14 + 40 + 16 + static_cast<uint32_t>(data.size()));
    put32(0);
    put32(14 + 40 + 16);
    put32(40);
    put32(4);
    put32(2);
    put16(1);
    put16(8);
    put32(1);
    put32(static_cast<uint32_t>(data.size()));
    put32(0);
    put32(0);
    put32(4);
    put32(0);
    for (uint32_t c : {0x000000u, 0x0000FFu, 0x00FF00u, 0xFF0000u}) put32(c);
    rle += data;
    TBitmap r;
    r.LoadFromStream(rle);
    EXPECT_EQ(r.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(r.GetPixel(0, 1), clBlue);
    EXPECT_EQ(r.GetPixel(3, 1), clLime);
    EXPECT_EQ(r.GetPixel(0, 0), clRed);

    std::string path = ::testing::TempDir() + "canvas_roundtrip.bmp";
    keep.SaveToFile(path);
    TBitmap fromFile;
    fromFile.LoadFromFile(path);
    EXPECT_EQ(fromFile.GetPixel(0, 0), clRed);
    std::remove(path.c_str());
}

TEST(Metafiles, PlayBackIntoAQuarterSizeRectangle) {
    TPrinter printer;
    printer.SetOutputFileName(::testing::TempDir() + "unused.pdf");
    const int dpi = printer.DeviceCaps().LogPixelsX;
    ASSERT_EQ(dpi, 600);

    TMetafile mf;
    {
        TMetafileCanvas mc(mf, &printer.Canvas());
        EXPECT_EQ(mc.GetDeviceCaps(LOGPIXELSY), 600);
        EXPECT_EQ(mc.GetDeviceCaps(TECHNOLOGY), DT_METAFILE);
        // A black square one inch wide, one inch from the top-left corner, and a
        // clipped fill that must not leak outside its clip when played back.
        mc.FillRect(TRect{dpi, dpi, 2 * dpi, 2 * dpi}, clBlack);
        TRegion clip = TRegion::FromRect(3 * dpi, 0, 4 * dpi, dpi);
        mc.SelectClipRgn(&clip);
        mc.FillRect(TRect{0, 0, 8 * dpi, 8 * dpi}, clRed);
        // Text measures as anywhere else at the same height.
        mc.Font().SetName("Arial");
        mc.Font().SetHeight(-16);
        TCanvas screen;
        screen.Font().SetName("Arial");
        screen.Font().SetHeight(-16);
        EXPECT_EQ(mc.TextWidth(std::string("Revisão de Benefício")),
                  screen.TextWidth(std::string("Revisão de Benefício")));
    }
    EXPECT_FALSE(mf.Empty());
    EXPECT_EQ(mf.ReferenceDpiX(), 600);
    ASSERT_GT(mf.Width(), 4 * dpi);

    // The page played into a quarter of its size: an inch of 600 pixels lands on
    // 150 pixels of the bitmap.
    const int w = mf.Width() / 4, h = mf.Height() / 4;
    TBitmap page(w + 20, h + 20);
    page.Canvas().FillRect(TRect{0, 0, w + 20, h + 20}, clWhite);
    page.Canvas().IntersectClipRect(10, 10, 10 + w, 10 + h);
    page.Canvas().StretchDraw(TRect{10, 10, 10 + w, 10 + h}, mf);
    const int q = dpi / 4;
    EXPECT_EQ(page.GetPixel(10 + q + q / 2, 10 + q + q / 2), clBlack);
    EXPECT_EQ(page.GetPixel(10 + q - 3, 10 + q - 3), clWhite);
    EXPECT_EQ(page.GetPixel(10 + 2 * q + 3, 10 + 2 * q + 3), clWhite);
    EXPECT_EQ(page.GetPixel(10 + 3 * q + q / 2, 10 + q / 2), clRed);
    EXPECT_EQ(page.GetPixel(10 + 5 * q, 10 + q / 2), clWhite);
    // The page's own clip holds: nothing lands in the margin.
    EXPECT_EQ(CountInk(page, TRect{0, 0, w + 20, 10}), 0);
}

TEST(BitmapFiles, DamagedFilesFailCleanly) {
    // Every header field and pixel byte of small files in each format, overwritten
    // with awkward values: the load either succeeds or raises EInvalidGraphic.
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (TPixelFormat f : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf16bit,
                           TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
        TBitmap b(5, 3, f);
        const std::string good = b.SaveToStream();
        for (int round = 0; round < 300; ++round) {
            std::string bad = good;
            int edits = 1 + static_cast<int>(next() % 4);
            for (int e = 0; e < edits; ++e) {
                size_t at = next() % bad.size();
                static const char values[] = {0, 1, 2, 3, 4, 8, 16, 24, 32, '\x7F', '\x80', '\xFF'};
                bad[at] = values[next() % sizeof(values)];
            }
            if (next() % 5 == 0) bad.resize(next() % bad.size());
            TBitmap target;
            try {
                target.LoadFromStream(bad);
                EXPECT_GT(target.Width(), 0);
            } catch (const EInvalidGraphic&) {
            } catch (const EOutOfResources&) {
            }
        }
    }
}
