// Inline and floating images, the float manager and the border painter.
#include "layout_fixture.h"

#include "html/layout/html_parser.h"
#include "html/layout/table_layout.h"
#include "platform/gui/bitmap.h"
#include "support/golden.h"

namespace layout_test {
namespace {

class ImageTest : public LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        doc->BitmapList = &cache;
        // Every picture asked for is a 200 x 50 bitmap, unless the name says
        // "none", "one" (1 x 1) or "four" (4 x 4).
        doc->GetBitmap = [this](TObject*, const std::string& src, TBitmap*& bmp, TColor&) {
            ++requests;
            if (src.find("none") != std::string::npos) return;
            const int side = src.find("one") != std::string::npos ? 1 : src.find("four") != std::string::npos ? 4 : 0;
            bmp = new TBitmap;
            bmp->SetSize(side ? side : 200, side ? side : 50);
        };
    }
    void TearDown() override {
        doc->Clear();
        LayoutTest::TearDown();
    }
    TImageObj* Image(TSection* s, std::initializer_list<std::pair<Symb, std::string>> attrs) {
        TAttributeList L;
        for (const auto& [sy, v] : attrs) {
            auto* a = new TAttribute;
            a->Symbol = sy;
            a->TextValue = v;
            L.Add(a);
        }
        Push("img");
        TImageObj* img = s->AddImage(&L, cell, 0);
        Pop();
        return img;
    }
    // The pictures among the drawing calls.
    static std::vector<std::string> Pictures(const std::vector<std::string>& log) {
        std::vector<std::string> out;
        for (const auto& l : log)
            if (l.rfind("picture", 0) == 0) out.push_back(l);
        return out;
    }
    // The pictures a page paints, read and laid out 600 px wide.
    std::vector<std::string> PicturesOf(const std::string& html) {
        Readhtml::HtmlParseString(html, doc.get());
        Layout(600);
        return Pictures(Paint(600, 600));
    }
    TStringBitmapList cache;
    int requests = 0;
};

std::string Nums4(int a, int b, int c, int d) {
    return std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(d);
}

// A table cell paints its own picture, else its row's, placed where its
// style puts it; one whose picture cannot be had stays plain; a print copy
// paints pictures only when backgrounds are printed.
TEST_F(ImageTest, TableCellsPaintTheirOwnOrTheirRowsPicture) {
    Readhtml::HtmlParseString("<table cellspacing=0 cellpadding=0><tr background=\"row.bmp\">"
                              "<td width=300 height=60>a</td>"
                              "<td width=300 height=60 background=\"own.bmp\" style=\"background-position: 10px 5px\">b</td>"
                              "<td width=300 height=60 background=\"none.bmp\">c</td></tr></table>",
                              doc.get());
    Layout(1000);
    // The row's 200 x 50 picture tiles the first cell from its corner; the
    // second cell's own starts 10 px right and 5 px down of its corner (x 300),
    // tiled both ways; the third paints none.
    std::vector<std::string> expected;
    for (int y : {0, 50})
        for (int x : {0, 200}) expected.push_back("picture " + Nums4(x, y, x + 200, y + 50));
    for (int y : {-45, 5, 55})
        for (int x : {110, 310, 510}) expected.push_back("picture " + Nums4(x, y, x + 200, y + 50));
    const std::vector<std::string> shown = Pictures(Paint(1000, 600));
    EXPECT_EQ(shown, expected);
    doc->PrintTableBackgrounds = true;
    TSectionList copy(*doc);
    int mw = 0, curs = 0;
    copy.Layout(canvas, 0, 1000, 600, 0, mw, curs);
    std::vector<std::string> log;
    canvas.SetRecorder(&log);
    copy.Draw(canvas, TRect{0, 0, 1000, 600}, 1000, 0, 0, 0, 0);
    canvas.SetRecorder(nullptr);
    EXPECT_EQ(Pictures(log), shown);
    doc->PrintTableBackgrounds = false;
    TSectionList plain(*doc);
    plain.Layout(canvas, 0, 1000, 600, 0, mw, curs);
    log.clear();
    canvas.SetRecorder(&log);
    plain.Draw(canvas, TRect{0, 0, 1000, 600}, 1000, 0, 0, 0, 0);
    canvas.SetRecorder(nullptr);
    EXPECT_TRUE(Pictures(log).empty());
}

// A block paints its picture where its style puts it; a table's BACKGROUND
// gives its block one tiled from the corner.
TEST_F(ImageTest, BlocksPaintTheirPicture) {
    const auto shown = PicturesOf("<div style=\"background-image: url(blk.bmp); background-position: 30px 0; "
                                  "background-repeat: no-repeat; height: 80px\">x</div>"
                                  "<table background=\"t.bmp\" cellspacing=0 cellpadding=0><tr><td width=300 height=60>"
                                  "y</td></tr></table>");
    // The block's one picture 30 px in; the table's 200 x 50 tiles over its 300 x 60.
    const std::vector<std::string> expected{"picture 30 0 230 50", "picture 0 80 200 130", "picture 200 80 400 130",
                                            "picture 0 130 200 180", "picture 200 130 400 180"};
    EXPECT_EQ(shown, expected);
}

// A fixed picture is placed in the view, not in its box, and shows only
// where a box lies over it: a block's and a cell's alike.
TEST_F(ImageTest, FixedPicturesArePlacedInTheView) {
    const auto shown = PicturesOf("<div style=\"height: 40px\">a</div>"
                                  "<div style=\"background: url(blk.bmp) no-repeat fixed; height: 80px\">x</div>"
                                  "<table cellspacing=0 cellpadding=0><tr><td width=300 height=60 background=\"c.bmp\" "
                                  "style=\"background-attachment: fixed; background-position: 0 130px; "
                                  "background-repeat: repeat-x\">y</td></tr></table>");
    // The block (40..120) shows the view's corner tile; the cell (120..180)
    // the row of tiles 130 px down the view.
    const std::vector<std::string> expected{"picture 0 0 200 50", "picture 0 130 200 180", "picture 200 130 400 180"};
    EXPECT_EQ(shown, expected);
}

// A box's picture of one pixel is stretched over the part of the box in
// view, and one of a few pixels is drawn repeated in larger tiles, on the
// screen and on paper: a paint draws a few tiles however large the box.
TEST_F(ImageTest, SmallPicturesAreEnlargedAndTiledOnlyInView) {
    Readhtml::HtmlParseString("<div style=\"background: url(one.bmp); height: 3000px\">x</div>"
                              "<table cellspacing=0 cellpadding=0><tr><td width=300 height=3000 background=four.bmp>"
                              "y</td></tr></table>",
                              doc.get());
    Layout(600);
    EXPECT_THAT(Pictures(Paint(600, 400)), testing::ElementsAre("picture 0 0 600 400"));
    // The block's bottom, then the cell's 32 x 32 tiles of 8 x 8 copies
    // over its 300 x 300 in view.
    doc->SetYOffset(2900);
    const auto tiles = Pictures(Paint(600, 400));
    ASSERT_EQ(tiles.size(), 1u + 10u * 10u);
    EXPECT_EQ(tiles.front(), "picture 0 0 600 100");
    EXPECT_EQ(tiles[1], "picture 0 100 32 132");
    EXPECT_EQ(tiles.back(), "picture 288 388 320 420");
    doc->PrintTableBackgrounds = true;
    TSectionList copy(*doc);
    copy.Printing = true;
    int mw = 0, curs = 0;
    copy.Layout(canvas, 0, 600, 400, 0, mw, curs);
    copy.SetYOffset(2900);
    std::vector<std::string> log;
    canvas.SetRecorder(&log);
    copy.Draw(canvas, TRect{0, 0, 600, 400}, 600, 0, 0, 0, 0);
    canvas.SetRecorder(nullptr);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("blit", 0) == 0; }),
              1 + 10 * 10);
}

// An image under the mouse shows hovered, or pressed while the button is
// held, also when the mouse moves onto it with the button down.
TEST_F(ImageTest, AnImageUnderTheMouseShowsHoveredOrPressed) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    TImageObj* img = Image(s, {{SrcSy, "a.bmp"}});
    cell->Add(s, 0);
    Layout(600);
    Paint();
    TUrlTarget url;
    TFormControlObj* control = nullptr;
    std::string title;
    auto moveTo = [&](int x, int y) { doc->GetLinkAt(canvas, x, y, url, control, title); };
    moveTo(10, 10);
    EXPECT_EQ(img->Hover, 1);
    moveTo(10, 300);
    EXPECT_EQ(img->Hover, 0);
    doc->SetActiveImagePressed(true);
    moveTo(10, 10);
    EXPECT_EQ(img->Hover, 2);
    doc->SetActiveImagePressed(false);
    EXPECT_EQ(img->Hover, 1);
}

TEST_F(ImageTest, SizesFromAttributesAndThePicture) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    TImageObj* pct = Image(s, {{SrcSy, "a.bmp"}, {WidthSy, "50%"}, {BorderSy, "2"}});
    TImageObj* byHeight = Image(s, {{SrcSy, "a.bmp"}, {HeightSy, "100"}});
    TImageObj* bad = Image(s, {{SrcSy, "a.bmp"}, {WidthSy, "150%"}});
    TImageObj* missing = Image(s, {{SrcSy, "none.bmp"}});
    TImageObj* spaced = Image(s, {{SrcSy, "a.bmp"}, {HSpaceSy, "-60"}});
    TImageObj* floating = Image(s, {{SrcSy, "a.bmp"}, {AlignSy, "left"}});
    cell->Add(s, 0);
    Layout(600);
    EXPECT_EQ(pct->ImageWidth, 302);  // 50 % of 596, and the border on both sides
    EXPECT_EQ(pct->ImageHeight, 75 + 4);  // the picture's ratio
    EXPECT_EQ(byHeight->ImageWidth, 400);
    EXPECT_EQ(bad->ImageWidth, 200);  // 150 % is neither pixels nor a percentage
    EXPECT_EQ(missing->ImageWidth, 24);
    EXPECT_EQ(missing->ImageHeight, 24);
    EXPECT_EQ(spaced->HSpaceL, 40);
    EXPECT_EQ(floating->HSpaceL, 3);
    EXPECT_EQ(floating->HSpaceR, 3);
    EXPECT_EQ(requests, 2);  // the cache answers "A.BMP" after the first request
}

TEST_F(ImageTest, SameNameInOtherCaseOrBlanksHitsTheCache) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    Image(s, {{SrcSy, "pic.bmp"}});
    Image(s, {{SrcSy, " PIC.BMP "}});
    cell->Add(s, 0);
    Layout(600);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(cache.Count(), 1);
}

TEST_F(ImageTest, ADeferredImageIsReportedDelayed) {
    doc->GetBitmap = nullptr;
    doc->GetImage = [](TObject*, const std::string&, TStream*& stream) { stream = DeferredImageStream; };
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    TImageObj* img = Image(s, {{SrcSy, "later.gif"}});
    cell->Add(s, 0);
    Layout(600);
    EXPECT_TRUE(img->Missing);
    EXPECT_EQ(img->Image, static_cast<TGraphic*>(DelayedImage));
    ASSERT_EQ(doc->MissingImages.size(), 1u);
    EXPECT_EQ(doc->MissingImages[0].second, img);
    doc->SetBackgroundBitmap("back.gif", PositionRecArray{});
    doc->GetBackgroundBitmap();
    EXPECT_EQ(doc->MissingImages.size(), 2u);
    EXPECT_EQ(doc->MissingImages[1].first, "back.gif");
}

TEST_F(ImageTest, InlineImageRaisesItsLineAndFloatsMakeRoom) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    AddText(s, "ab ");
    Image(s, {{SrcSy, "a.bmp"}});  // bottom aligned: the line grows above the baseline
    AddText(s, " cd");
    cell->Add(s, 0);
    Layout(800);
    ASSERT_EQ(s->Lines.size(), 1u);
    EXPECT_EQ(s->Lines[0].SpaceBefore, 50 - (20 - 4));
    auto* t = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    TImageObj* f = Image(t, {{SrcSy, "a.bmp"}, {AlignSy, "left"}});
    AddText(t, "beside");
    cell->Add(t, 0);
    Layout(800);
    EXPECT_EQ(f->Indent, 3);
    Paint();
    EXPECT_EQ(t->Lines[0].DrawXX, 206);  // past the float and its spacing
    EXPECT_EQ(t->DrawHeight, 50);
}

// Floating pictures are painted and found where their room was kept: a
// right float at the right edge with the text beside it on the left.
TEST_F(ImageTest, FloatingPicturesArePaintedAndFoundInTheirRoom) {
    Readhtml::HtmlParseString("<p><img src=\"a.bmp\" align=right>texto ao lado da figura</p>"
                              "<p><img src=\"b.bmp\" align=left width=100 height=40>outro texto</p>",
                              doc.get());
    Layout(600);
    velorim_test::ExpectGolden("floating_images.paint", PaintText());
    TFloatingObj* obj = nullptr;
    int dx = 0, dy = 0;
    EXPECT_FALSE(doc->GetObjectAt(10, 10, obj, dx, dy));  // text, not the picture
    ASSERT_TRUE(doc->GetObjectAt(600 - 3 - 200 + 5, 10, obj, dx, dy));
    EXPECT_EQ(dx, 5);
}

// A line holding only a picture still takes the paragraph's line height.
TEST_F(ImageTest, ALineOfOnlyAPictureTakesTheLineHeight) {
    Push("p", "line-height: 40px");
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    Pop();
    Image(s, {{SrcSy, "a.bmp"}, {WidthSy, "10"}, {HeightSy, "10"}});
    AddText(s, "\ntexto");  // the picture's line ends at the break
    cell->Add(s, 0);
    Layout(800);
    ASSERT_EQ(s->Lines.size(), 2u);
    EXPECT_EQ(s->Lines[0].LineHt, 0);
    EXPECT_EQ(s->Lines[0].SpaceBefore, 20);
    EXPECT_EQ(s->Lines[0].SpaceAfter, 20);
}

TEST_F(ImageTest, TwoLeftFloatsSitSideBySide) {
    IndentManager m;
    m.Reset(0, 600);
    TImageObj a(doc.get(), 0, nullptr), b(doc.get(), 1, nullptr);
    for (TImageObj* o : {&a, &b}) {
        o->Floating = ALeft;
        o->ImageWidth = 100;
        o->ImageHeight = 40;
        o->HSpaceL = o->HSpaceR = 3;
    }
    m.AddFloatingObj(10, &a);
    m.AddFloatingObj(10, &b);
    EXPECT_EQ(a.Indent, 3);
    EXPECT_EQ(b.Indent, 106 + 3);
    EXPECT_EQ(m.LeftIndent(20), 212);
    EXPECT_EQ(m.LeftIndent(50), 0);  // below the floats
    EXPECT_EQ(m.GetNextWiderY(20), 50);
    EXPECT_EQ(m.GetNextWiderY(60), 60);  // no float below: the argument
    int cl = 0, cr = 0;
    m.GetClearY(cl, cr);
    EXPECT_EQ(cl, 51);
    EXPECT_EQ(cr, 0);
    TImageObj r(doc.get(), 2, nullptr);
    r.Floating = ARight;
    r.ImageWidth = 50;
    r.ImageHeight = 10;
    m.AddFloatingObj(0, &r);
    EXPECT_EQ(m.RightSide(5), 550);
    EXPECT_EQ(r.Indent, 550);
}

TEST_F(ImageTest, AFloatThatDoesNotFitMovesBelowEarlierFloats) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    Image(s, {{SrcSy, "a.bmp"}, {AlignSy, "left"}});
    TImageObj* second = Image(s, {{SrcSy, "a.bmp"}, {AlignSy, "left"}});
    cell->Add(s, 0);
    Layout(300);  // 206 + 206 does not fit in 300
    EXPECT_EQ(second->DrawYY, 50);
    EXPECT_EQ(second->Indent, 3);
}

TEST_F(ImageTest, AFloatBeforeAnOverlongWordIsPlacedOnce) {
    // Laid out after the paragraph, it counts the float records in force.
    struct FloatCount : TSectionBase {
        using TSectionBase::TSectionBase;
        size_t floats = 0;
        int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                   IndentManager& IMgr, int& MaxWidth, int& Curs) override {
            floats = IMgr.LeftRecs.size();
            return TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
        }
    };
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    TImageObj* f = Image(s, {{SrcSy, "a.bmp"}, {AlignSy, "left"}, {WidthSy, "30"}, {HeightSy, "20"}});
    AddText(s, "longwordlongword");
    cell->Add(s, 0);
    auto* probe = new FloatCount(cell);
    cell->Add(probe, 0);
    Layout(100);  // the word does not fit beside the float: it goes below it
    EXPECT_EQ(f->DrawYY, 0);
    EXPECT_EQ(probe->floats, 1u);
    ASSERT_EQ(s->Lines.size(), 2u);  // the room beside the float, then the word below it
    EXPECT_EQ(s->Lines[0].Ln, 0);
    EXPECT_EQ(s->Lines[0].LineHt, 20);
    EXPECT_EQ(s->Lines[1].Ln, 18);
}

TEST(BorderPainter, DoubleSidesDrawTwoBands) {
    TCanvas canvas;
    std::vector<std::string> log;
    canvas.SetRecorder(&log);
    const uint8_t d = bssDouble;
    DrawBorder(canvas, TRect{0, 0, 50, 50}, TRect{5, 5, 45, 45}, MakeFourColors(clBlack, clBlack, clBlack, clBlack),
               MakeFourStyles(d, d, d, d), clNone, false);
    int polys = 0;
    for (const auto& l : log)
        if (l.rfind("poly", 0) == 0) ++polys;
    EXPECT_EQ(polys, 8);
    // The left side's outer band is 2 pixels wide (5 div 3, plus one for the remainder 2).
    EXPECT_THAT(log, ::testing::Contains(::testing::HasSubstr("0,50 0,0 2,2 2,48")));
}

TEST(BorderPainter, DottedSidesLeaveGapsOverTheBackground) {
    TBitmap bmp;
    bmp.SetSize(40, 30);
    bmp.Canvas().FillRect(TRect{0, 0, 40, 30}, clWhite);
    const uint8_t d = bssDotted;
    DrawBorder(bmp.Canvas(), TRect{0, 0, 40, 30}, TRect{2, 2, 38, 28}, MakeFourColors(clRed, clRed, clRed, clRed),
               MakeFourStyles(d, d, d, d), clYellow, false);
    int red = 0, yellow = 0;
    for (int x = 4; x < 36; ++x) {
        const TColor c = ColorToRGB(bmp.Canvas().Pixel(x, 1));
        if (c == 0x0000FF) ++red;
        if (c == 0x00FFFF) ++yellow;
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(yellow, 0) << red;  // the gaps show the background colour
    EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixel(20, 15)), static_cast<TColor>(0xFFFFFF));  // inside is untouched
}

// Dotted and dashed sides are stroked along their middle line, sides alike
// joined in one path; one-pixel sides meet at the corners without overlap.
TEST(BorderPainter, PatternedSidesAreStrokedPathsAndThinSidesMeetAtTheCorners) {
    auto paint = [](const TRect& o, const TRect& i, const htColorArray& c, uint8_t style, bool print) {
        TCanvas canvas;
        std::vector<std::string> log;
        canvas.SetRecorder(&log);
        DrawBorder(canvas, o, i, c, MakeFourStyles(style, style, style, style), clNone, print);
        return log;
    };
    const htColorArray red = MakeFourColors(clRed, clRed, clRed, clRed);
    EXPECT_THAT(paint(TRect{0, 0, 40, 30}, TRect{4, 4, 36, 26}, red, bssDotted, false),
                ::testing::ElementsAre("path stroke pen #FF0000 4 style 2 brush #FFFFFF M 2,28 2,2 38,2 38,28 2,28"));
    // A blue top stands alone; the other three run on round two corners.
    EXPECT_THAT(paint(TRect{0, 0, 40, 30}, TRect{4, 4, 36, 26}, MakeFourColors(clRed, clBlue, clRed, clRed),
                      bssDashed, false),
                ::testing::ElementsAre("path stroke pen #0000FF 4 style 1 brush #FFFFFF M 2,2 38,2",
                                       "path stroke pen #FF0000 4 style 1 brush #FFFFFF M 38,2 38,28 2,28 2,2"));
    EXPECT_THAT(paint(TRect{0, 0, 10, 10}, TRect{1, 1, 9, 9}, red, bssSolid, false),
                ::testing::ElementsAre("line 0 0 0 9 #FF0000 1", "line 0 0 10 0 #FF0000 1", "line 9 0 9 10 #FF0000 1",
                                       "line 0 9 9 9 #FF0000 1"));
    EXPECT_THAT(paint(TRect{0, 0, 10, 10}, TRect{1, 1, 9, 9}, red, bssSolid, true),
                ::testing::ElementsAre("line 0 0 0 9 #FF0000 1", "line 0 0 9 0 #FF0000 1", "line 9 0 9 9 #FF0000 1",
                                       "line 0 9 9 9 #FF0000 1"));
}

TEST(BorderPainter, InsetDarkensTheTopAndLeft) {
    EXPECT_EQ(Darker(static_cast<TColor>(0x808080)), static_cast<TColor>(0x606060));
    TCanvas canvas;
    std::vector<std::string> log;
    canvas.SetRecorder(&log);
    const uint8_t i = bssInset;
    DrawBorder(canvas, TRect{0, 0, 20, 20}, TRect{3, 3, 17, 17}, MakeFourColors(0x808080, 0x808080, 0x808080, 0x808080),
               MakeFourStyles(i, i, i, i), clNone, false);
    int dark = 0, plain = 0;
    for (const auto& l : log) {
        if (l.find("#606060") != std::string::npos) ++dark;
        if (l.find("#808080") != std::string::npos) ++plain;
    }
    EXPECT_EQ(dark, 2);
    EXPECT_EQ(plain, 2);
}

}  // namespace
}  // namespace layout_test
