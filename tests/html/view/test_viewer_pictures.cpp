// Pictures in the view and on paper: an animated GIF is drawn and animates
// while in view, a PNG prints at its place and size under the default print
// options, a background one pixel high is stretched over the view instead of
// tiled pixel by pixel, pictures of a few pixels are drawn in larger tiles,
// and a box with hidden overflow but no width, in the body, grows with what
// it holds.
#include <gmock/gmock.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "html/images/gif_image.h"
#include "html/images/picture_builders.h"
#include "html/layout/document.h"
#include "html/view/metafile_printer.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/metafile.h"
#include "view_env.h"

namespace {

int Rgb(const TBitmap& b, int x, int y) {
    const TColor c = b.GetPixel(x, y);
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// A PNG of `rows` (0xRRGGBB), each row one colour.
std::string StripedPng(int width, const std::vector<uint32_t>& rows) {
    std::string raw;
    for (uint32_t c : rows) {
        raw.push_back('\0');
        for (int x = 0; x < width; ++x) raw += {char(c >> 16), char(c >> 8 & 0xFF), char(c & 0xFF)};
    }
    return pics::Png(pics::Ihdr(width, static_cast<uint32_t>(rows.size()), 8, 2), raw);
}

class PicturesTest : public velorim_test::ViewerTest {
protected:
    void TearDown() override {
        SetAnimationClock(nullptr);
        ViewerTest::TearDown();
    }
    // The view as a paint draws it; `log` records the drawing calls instead.
    std::unique_ptr<TBitmap> Painted(std::vector<std::string>* log = nullptr) {
        const TRect r = v->PaintPanel()->ClientRect();
        auto bmp = std::make_unique<TBitmap>(r.Width(), r.Height(), TPixelFormat::pf24bit);
        bmp->Canvas().SetRecorder(log);
        v->PaintDocument(bmp->Canvas(), r);
        bmp->Canvas().SetRecorder(nullptr);
        return bmp;
    }
};

TEST_F(PicturesTest, AnAnimatedGifIsDrawnAndAnimatesWhileInView) {
    uint32_t now = 1000;
    SetAnimationClock([&] { return now; });
    const pics::GifFrame red{0, 0, 4, 4, std::vector<uint8_t>(16, 1), 10};
    const pics::GifFrame green{0, 0, 4, 4, std::vector<uint8_t>(16, 2), 10};
    Write("anim.gif", pics::Gif(4, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {red, green}, 0));
    Write("foto.png", StripedPng(100, std::vector<uint32_t>(100, 0x0000FF)));
    v->LoadFromFile(Write("p.htm", "<body leftmargin=0 topmargin=0><img src=foto.png width=100 height=100>"
                                   "<img src=anim.gif width=100 height=100></body>"));
    auto first = Painted();
    EXPECT_EQ(Rgb(*first, 50, 50), 0x0000FF);
    EXPECT_EQ(Rgb(*first, 150, 50), 0xFF0000);
    now += 200;
    v->SectionList()->HandleGifTimer();
    EXPECT_EQ(Rgb(*Painted(), 150, 50), 0x00FF00);
}

TEST_F(PicturesTest, APngPrintsAtItsPlaceAndSizeUnderTheDefaultOptions) {
    Write("vermelho.png", StripedPng(200, std::vector<uint32_t>(200, 0xFF0000)));
    Write("azul.bmp", pics::Bmp24(200, 200, std::vector<uint32_t>(200 * 200, 0x0000FF)));
    v->LoadFromFile(Write("p.htm", "<p><img src=vermelho.png></p><p><img src=azul.bmp></p>"));
    ASSERT_EQ(v->htOptions(), htPrintTableBackground | htPrintMonochromeBlack);
    TMetaFilePrinter mf(nullptr);
    v->PrintPreview(&mf);
    ASSERT_GE(mf.LastAvailablePage(), 1);
    const int w = mf.PaperWidth / 8, h = mf.PaperHeight / 8;
    TBitmap page(w, h, TPixelFormat::pf24bit);
    page.Canvas().FillRect(TRect{0, 0, w, h}, clWhite);
    mf.GetMetaFile(0)->Draw(page.Canvas(), TRect{0, 0, w, h});
    int reds = 0, blues = 0, redLeft = w, blueLeft = w, redBottom = 0, blueTop = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int c = Rgb(page, x, y);
            if (c == 0xFF0000) ++reds, redLeft = std::min(redLeft, x), redBottom = y;
            if (c == 0x0000FF) ++blues, blueLeft = std::min(blueLeft, x), blueTop = std::min(blueTop, y);
        }
    EXPECT_GT(blues, 100);
    EXPECT_NEAR(reds, blues, blues / 10);
    EXPECT_NEAR(redLeft, blueLeft, 1);
    EXPECT_LT(redBottom, blueTop);
}

TEST_F(PicturesTest, ABackgroundOnePixelWideIsStretchedOverTheViewNotTiledPixelByPixel) {
    Write("fundo.png", StripedPng(1, {0xFF0000, 0x0000FF}));
    v->LoadFromFile(Write("p.htm", "<body background=fundo.png><p>texto</p></body>"));
    const auto view = Painted();
    // Stretched, a colour may come out a step off.
    auto near = [](int rgb, int want) {
        for (int shift : {0, 8, 16})
            if (std::abs((rgb >> shift & 0xFF) - (want >> shift & 0xFF)) > 2) return false;
        return true;
    };
    EXPECT_PRED2(near, Rgb(*view, 590, 200), 0xFF0000);
    EXPECT_PRED2(near, Rgb(*view, 590, 201), 0x0000FF);
    std::vector<std::string> log;
    Painted(&log);
    const auto tiles = std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("picture", 0) == 0; });
    EXPECT_LE(tiles, v->PaintPanel()->ClientHeight() / 2 + 1);
}

// A picture of a few pixels, behind the page, a block and a cell, is drawn
// repeated in a few large tiles, its pattern and transparency kept.
TEST_F(PicturesTest, SmallPicturesShowTheirPatternInAFewTiles) {
    // Red and blue checks of one pixel; a GIF of 4 x 4, its left half clear.
    const std::string red("\xFF\0\0", 3), blue("\0\0\xFF", 3);
    Write("xadrez.png", pics::Png(pics::Ihdr(2, 2, 8, 2), std::string(1, '\0') + red + blue + '\0' + blue + red));
    std::vector<uint8_t> half;
    for (int i = 0; i < 16; ++i) half.push_back(i % 4 < 2 ? 0 : 1);
    Write("meio.gif", pics::Gif(4, 4, {0x000000, 0xFF0000}, {{0, 0, 4, 4, half, -1, 0}}));
    v->LoadFromFile(Write("p.htm", "<body background=xadrez.png leftmargin=0 topmargin=0>"
                                   "<div style=\"background: #00FF00 url(meio.gif); height: 100px\"></div>"
                                   "<table cellspacing=0 cellpadding=0><tr><td width=301 height=200 "
                                   "background=xadrez.png></td></tr></table></body>"));
    std::vector<std::string> log;
    const auto view = Painted(&log);
    const auto tiles = std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("picture", 0) == 0; });
    EXPECT_LT(tiles, 400);
    const int right = view->Width() - 1, bottom = view->Height() - 1;
    auto checks = [&](int x, int y) { return Rgb(*view, x, y) == ((x + y) % 2 ? 0x0000FF : 0xFF0000); };
    for (int x : {0, 1, 31, 32, 33, 300, 301, 302, right})
        for (int y : {100, 131, 132, 299, 300, 301, bottom}) EXPECT_TRUE(checks(x, y)) << x << " " << y;
    for (int x : {0, 1, 2, 3, 32, 33, 34, 35, right - 1, right})
        for (int y : {0, 31, 32, 99}) EXPECT_EQ(Rgb(*view, x, y), x % 4 < 2 ? 0x00FF00 : 0xFF0000) << x << " " << y;
}

// Boxes of hostile pages, tall and behind small pictures (one of them
// animated), are painted, laid out again and previewed for print.
TEST_F(PicturesTest, TallBoxesBehindSmallPicturesPaintAndPreview) {
    Write("one.png", pics::Png(pics::Ihdr(1, 1, 8, 2), std::string("\0\x80\x80\x80", 4)));
    const pics::GifFrame red{0, 0, 4, 4, std::vector<uint8_t>(16, 1), 10};
    const pics::GifFrame green{0, 0, 4, 4, std::vector<uint8_t>(16, 2), 10};
    Write("anim.gif", pics::Gif(4, 4, {0x000000, 0xFF0000, 0x00FF00}, {red, green}, 0));
    for (const char* page :
         {"<div style=\"background:url(one.png);height:30000px\">x</div>",
          "<table border=5 cellpadding=300><td colspan=0 rowspan=1 BACKGROUND=\"one.png\">"
          "<textarea rows=99999 cols=-5 wrap=off>",
          "<menu style=background-image:url(anim.gif)><textarea rows=99999 cols=-5 wrap=off>",
          "<table><tr><th background=anim.gif><textarea rows=99999>x</textarea></th></tr></table>"}) {
        v->LoadFromFile(Write("p.htm", page));
        Painted();
        v->SetBounds(0, 0, 500, 400);
        Painted();
        TMetaFilePrinter mf(nullptr);
        mf.SetRecordedPages(0, 1);
        v->PrintPreview(&mf);
        EXPECT_GT(mf.LastAvailablePage(), 1) << page;
        ASSERT_NE(mf.GetMetaFile(1), nullptr) << page;
        EXPECT_FALSE(mf.GetMetaFile(1)->Empty()) << page;
        v->SetBounds(0, 0, 600, 400);
    }
}

TEST_F(PicturesTest, ABoxWithHiddenOverflowAndNoWidthGrowsInTheBody) {
    v->LoadFromFile(Write("p.htm", "<body leftmargin=0 topmargin=0>"
                                   "<div style=\"overflow:hidden;height:20px;background:#FF0000\">a<br>b<br>c<br>d</div>"
                                   "<p style=\"margin:0;background:#00FF00\">depois</p></body>"));
    const auto view = Painted();
    EXPECT_EQ(Rgb(*view, 300, 50), 0xFF0000);  // the box's third line, not the paragraph laid over it
}

}  // namespace
