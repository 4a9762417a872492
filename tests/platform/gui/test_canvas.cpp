// Text measuring and output, shapes, regions, clipping and mapping of the canvas.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"
#include "platform/gui/metafile.h"
#include "platform/gui/region.h"
#include "test_canvas_env.h"

using namespace canvas_test;

namespace {

const auto* const kQtEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const std::u16string kRevisao = u"Revisão de Benefício";

void UseFont(TCanvas& c, const std::string& name, int height, TFontStyles style = 0) {
    c.Font().SetName(name);
    c.Font().SetHeight(height);
    c.Font().SetStyle(style);
}

}  // namespace

TEST(CanvasText, SameWidthOnEveryDevice) {
    TCanvas screen;
    TBitmap bmp(300, 40);
    TMetafile mf;
    TMetafileCanvas meta(mf, nullptr);
    TCanvas* canvases[] = {&screen, &bmp.Canvas(), &meta};
    int widths[3];
    for (int i = 0; i < 3; ++i) {
        UseFont(*canvases[i], "Arial", -16);
        widths[i] = canvases[i]->TextWidth(kRevisao);
    }
    EXPECT_GT(widths[0], 100);
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_EQ(widths[0], widths[2]);
    // Whole-pixel advances add up: the string is the sum of its characters.
    int sum = 0;
    for (char16_t ch : kRevisao) sum += screen.Face().CharWidth(ch);
    EXPECT_EQ(widths[0], sum);
    // The Windows-1252 overload measures the same text.
    EXPECT_EQ(screen.TextWidth(std::string("Revisão de Benefício")), widths[0]);
}

TEST(CanvasText, FaceNamesResolveToInstalledFaces) {
    EXPECT_EQ(ResolveFaceName("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(ResolveFaceName("arial"), "Liberation Sans");
    EXPECT_EQ(ResolveFaceName("Courier New"), "Liberation Mono");
    EXPECT_EQ(ResolveFaceName("MS Sans Serif"), "DejaVu Sans");
    EXPECT_EQ(ResolveFaceName("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(ResolveFaceName("Nonexistent Face 42"), "DejaVu Sans");

    TCanvas c;
    UseFont(c, "Times New Roman", -16);
    TTextMetric tm;
    ASSERT_TRUE(c.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 16);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_ROMAN);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set means variable pitch

    UseFont(c, "Courier New", -16);
    c.GetTextMetrics(tm);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
    EXPECT_EQ(c.TextWidth(u"iiii"), c.TextWidth(u"WWWW"));

    // A positive height is the cell height.
    UseFont(c, "Arial", 20);
    c.GetTextMetrics(tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);

    // Bold is wider; an absurd height is clamped rather than allocated.
    UseFont(c, "Arial", -16);
    int plain = c.TextWidth(kRevisao);
    UseFont(c, "Arial", -16, fsBold);
    EXPECT_GT(c.TextWidth(kRevisao), plain);
    // The same font set again measures with its own face, not the last one.
    UseFont(c, "Arial", -16);
    EXPECT_EQ(c.TextWidth(kRevisao), plain);
    UseFont(c, "Arial", -16);
    EXPECT_EQ(c.TextWidth(kRevisao), plain);
    UseFont(c, "Arial", -100000000);
    EXPECT_GT(c.TextWidth(u"x"), 0);
}

TEST(CanvasText, FittingAndPartialExtents) {
    TCanvas c;
    UseFont(c, "Times New Roman", -16);
    const int n = static_cast<int>(kRevisao.size());
    std::vector<int> dx(n);
    TSize size;
    int fit = -1;
    ASSERT_TRUE(c.GetTextExtentExPointW(kRevisao.data(), n, -1, &fit, dx.data(), size));
    EXPECT_EQ(fit, n);
    EXPECT_EQ(size.cx, dx[n - 1]);
    EXPECT_EQ(size.cx, c.TextWidth(kRevisao));
    for (int i = 1; i < n; ++i) EXPECT_GT(dx[i], dx[i - 1]);
    // Exactly the extent of seven characters fits seven; one pixel less fits six.
    c.GetTextExtentExPointW(kRevisao.data(), n, dx[6], &fit, nullptr, size);
    EXPECT_EQ(fit, 7);
    c.GetTextExtentExPointW(kRevisao.data(), n, dx[6] - 1, &fit, nullptr, size);
    EXPECT_EQ(fit, 6);
    c.GetTextExtentExPointW(kRevisao.data(), n, 0, &fit, nullptr, size);
    EXPECT_EQ(fit, 0);
    // Nothing to measure is not an error.
    EXPECT_TRUE(c.GetTextExtentExPointW(nullptr, 0, 10, &fit, nullptr, size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_FALSE(c.GetTextExtentExPointW(nullptr, 3, 10, &fit, nullptr, size));
}

TEST(CanvasText, CharacterExtraAndJustification) {
    TCanvas c;
    UseFont(c, "Arial", -14);
    const std::u16string s = u"a b c d";
    int base = c.TextWidth(s);
    c.SetTextCharacterExtra(2);
    EXPECT_EQ(c.TextWidth(s), base + 2 * 7);
    c.SetTextCharacterExtra(0);

    // 10 pixels over 3 breaks: 4, 3, 3.
    c.SetTextJustification(10, 3);
    std::vector<int> dx(s.size());
    TSize size;
    c.GetTextExtentExPointW(s.data(), 7, -1, nullptr, dx.data(), size);
    EXPECT_EQ(size.cx, base + 10);
    const TFontFace& f = c.Face();
    EXPECT_EQ(dx[1] - dx[0], f.CharWidth(u' ') + 4);
    EXPECT_EQ(dx[3] - dx[2], f.CharWidth(u' ') + 3);

    // Output consumes the remainder, so a line drawn in two runs adds up to it too.
    c.SetTextAlign(TA_UPDATECP | TA_BASELINE);
    c.MoveTo(0, 20);
    c.TextOutW(0, 0, s.data(), 3);          // "a b": one break, 4 extra
    c.TextOutW(0, 0, s.data() + 3, 4);      // " c d": two breaks, 3 each
    EXPECT_EQ(c.PenPos().X, base + 10);
    c.SetTextJustification(0, 0);
    EXPECT_EQ(c.TextWidth(s), base);

    // Extents without a fit or advances ask for the same sums.
    c.SetTextCharacterExtra(3);
    TSize plain;
    c.GetTextExtentPoint32W(s.data(), 7, plain);
    EXPECT_EQ(plain.cx, base + 3 * 7);
    EXPECT_EQ(plain.cy, f.Metrics().tmHeight);
    c.SetTextJustification(10, 3);
    c.GetTextExtentPoint32W(s.data(), 7, plain);
    EXPECT_EQ(plain.cx, base + 3 * 7 + 10);
    c.SetTextJustification(0, 0);
    c.SetTextCharacterExtra(0);
}

TEST(CanvasText, AlignmentAndCurrentPosition) {
    auto bmp = WhiteBitmap(200, 80);
    TCanvas& c = bmp->Canvas();
    UseFont(c, "Arial", -20);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    TTextMetric tm;
    c.GetTextMetrics(tm);

    c.SetTextAlign(TA_BASELINE);
    c.TextOutW(10, 40, u"H", 1);
    TRect ink = InkBox(*bmp);
    EXPECT_LE(ink.Bottom, 41);  // capital letters sit on the baseline
    EXPECT_GT(ink.Bottom, 36);

    c.FillRect(TRect{0, 0, 200, 80}, clWhite);
    c.SetTextAlign(TA_TOP);
    c.TextOutW(10, 40, u"H", 1);
    ink = InkBox(*bmp);
    EXPECT_GE(ink.Top, 40);
    EXPECT_LE(ink.Bottom, 40 + tm.tmAscent + 1);

    // Right-aligned with the current position: the text ends at it, and it moves left.
    c.FillRect(TRect{0, 0, 200, 80}, clWhite);
    c.SetTextAlign(TA_RIGHT | TA_UPDATECP | TA_TOP);
    c.MoveTo(150, 10);
    int w = c.TextWidth(u"HH");
    c.TextOutW(0, 0, u"HH", 2);
    EXPECT_EQ(c.PenPos().X, 150 - w);
    ink = InkBox(*bmp);
    EXPECT_LE(ink.Right, 151);
    EXPECT_GE(ink.Left, 150 - w);

    // Centred text straddles the point.
    c.FillRect(TRect{0, 0, 200, 80}, clWhite);
    c.SetTextAlign(TA_CENTER | TA_TOP);
    c.TextOutW(100, 10, u"HHHH", 4);
    ink = InkBox(*bmp);
    EXPECT_LT(ink.Left, 100);
    EXPECT_GT(ink.Right, 100);
}

TEST(CanvasText, BackgroundModesAndOpaqueRectangles) {
    auto bmp = WhiteBitmap(200, 60);
    TCanvas& c = bmp->Canvas();
    UseFont(c, "Arial", -16);
    c.SetBkColor(clYellow);
    c.SetBkMode(OPAQUE);
    c.TextOut(10, 10, std::string("Revisão"));
    int w = c.TextWidth(std::string("Revisão"));
    TTextMetric tm;
    c.GetTextMetrics(tm);
    // The cell behind the text is filled: its corners are yellow.
    EXPECT_EQ(bmp->GetPixel(10, 10), clYellow);
    EXPECT_EQ(bmp->GetPixel(10 + w - 1, 10 + tm.tmHeight - 1), clYellow);
    EXPECT_EQ(bmp->GetPixel(10 + w, 10), clWhite);
    EXPECT_EQ(c.PenPos(), (TPoint{10 + w, 10}));

    c.FillRect(TRect{0, 0, 200, 60}, clWhite);
    c.SetBkMode(TRANSPARENT);
    c.TextOut(10, 10, std::string("Revisão"));
    EXPECT_EQ(CountInk(*bmp, TRect{0, 0, 200, 60}, clYellow), 200 * 60);  // no yellow at all
    EXPECT_GT(CountInk(*bmp, TRect{0, 0, 200, 60}), 20);

    // ExtTextOut: the opaque rectangle is filled and the text clipped to it.
    c.FillRect(TRect{0, 0, 200, 60}, clWhite);
    TRect r{5, 5, 30, 40};
    c.ExtTextOutW(5, 10, ETO_OPAQUE | ETO_CLIPPED, &r, kRevisao.data(), static_cast<int>(kRevisao.size()));
    EXPECT_EQ(bmp->GetPixel(5, 5), clYellow);
    EXPECT_EQ(CountInk(*bmp, TRect{30, 0, 200, 60}), 0);
}

TEST(CanvasText, DrawTextFlags) {
    auto bmp = WhiteBitmap(300, 200);
    TCanvas& c = bmp->Canvas();
    UseFont(c, "Arial", -13);
    TTextMetric tm;
    c.GetTextMetrics(tm);
    const std::string text = "Os valores foram corrigidos pelo índice oficial de cada mês";

    TRect calc{0, 0, 120, 0};
    int h = c.DrawText(text, calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GT(h, tm.tmHeight);
    EXPECT_EQ(h % tm.tmHeight, 0);
    EXPECT_EQ(calc.Bottom, h);
    EXPECT_LE(calc.Right, 120);

    TRect single{0, 0, 120, 0};
    EXPECT_EQ(c.DrawText(text, single, DT_SINGLELINE | DT_CALCRECT), tm.tmHeight);
    EXPECT_GT(single.Right, 120);

    // Line ends split paragraphs even without word breaking.
    TRect lines{0, 0, 300, 0};
    EXPECT_EQ(c.DrawText("um\r\ndois\ntrês", lines, DT_CALCRECT), 3 * tm.tmHeight);

    // Prefix ampersands are not drawn unless DT_NOPREFIX.
    TRect a{0, 0, 300, 0}, b{0, 0, 300, 0};
    c.DrawText("&Arquivo", a, DT_CALCRECT);
    c.DrawText("&Arquivo", b, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(a.Right, c.TextWidth(std::string("Arquivo")));
    EXPECT_GT(b.Right, a.Right);

    // Drawn text stays in its rectangle; an ellipsis shortens it.
    TRect box{10, 10, 90, 40};
    c.DrawText(text, box, DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER);
    TRect ink = InkBox(*bmp);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 90);
    EXPECT_GE(ink.Top, 10);
    EXPECT_LE(ink.Bottom, 40);

    c.FillRect(TRect{0, 0, 300, 200}, clWhite);
    TRect right{0, 50, 300, 80};
    c.DrawText("fim", right, DT_RIGHT | DT_SINGLELINE);
    ink = InkBox(*bmp);
    EXPECT_GT(ink.Left, 250);
    EXPECT_LE(ink.Right, 300);
}

TEST(CanvasShapes, EdgesFollowTheWindowSystemRules) {
    auto bmp = WhiteBitmap(50, 50);
    TCanvas& c = bmp->Canvas();
    c.Pen().SetColor(clBlack);
    c.Brush().SetColor(clRed);
    c.Rectangle(10, 10, 20, 20);
    EXPECT_EQ(InkBox(*bmp), (TRect{10, 10, 20, 20}));
    EXPECT_EQ(bmp->GetPixel(10, 10), clBlack);
    EXPECT_EQ(bmp->GetPixel(19, 19), clBlack);
    EXPECT_EQ(bmp->GetPixel(15, 15), clRed);

    // Without a pen the fill stops one pixel short.
    c.FillRect(TRect{0, 0, 50, 50}, clWhite);
    c.Pen().SetStyle(TPenStyle::psClear);
    c.Rectangle(10, 10, 20, 20);
    EXPECT_EQ(InkBox(*bmp), (TRect{10, 10, 19, 19}));

    // FillRect covers right and bottom exclusive; FrameRect uses the brush colour.
    c.FillRect(TRect{0, 0, 50, 50}, clWhite);
    c.FillRect(TRect{5, 5, 8, 9});
    EXPECT_EQ(InkBox(*bmp), (TRect{5, 5, 8, 9}));
    c.FillRect(TRect{0, 0, 50, 50}, clWhite);
    c.Brush().SetColor(clBlue);
    c.FrameRect(TRect{20, 20, 30, 30});
    EXPECT_EQ(bmp->GetPixel(20, 20), clBlue);
    EXPECT_EQ(bmp->GetPixel(29, 29), clBlue);
    EXPECT_EQ(bmp->GetPixel(25, 25), clWhite);

    // A line leaves its end point undrawn; the current position moves there.
    c.FillRect(TRect{0, 0, 50, 50}, clWhite);
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.MoveTo(5, 30);
    c.LineTo(15, 30);
    EXPECT_EQ(InkBox(*bmp), (TRect{5, 30, 15, 31}));
    EXPECT_EQ(c.PenPos(), (TPoint{15, 30}));
}

TEST(CanvasShapes, FocusRectangleInvertsAndRestores) {
    auto bmp = WhiteBitmap(40, 40);
    TCanvas& c = bmp->Canvas();
    c.FillRect(TRect{0, 0, 40, 40}, clSilver);
    c.DrawFocusRect(TRect{5, 5, 25, 20});
    int changed = CountInk(*bmp, TRect{0, 0, 40, 40}, clSilver);
    EXPECT_GT(changed, 10);
    EXPECT_LT(changed, 2 * (20 + 15));  // dotted, not solid
    c.DrawFocusRect(TRect{5, 5, 25, 20});
    EXPECT_EQ(CountInk(*bmp, TRect{0, 0, 40, 40}, clSilver), 0);
}

TEST(Regions, CombineAndTest) {
    TRegion a = TRegion::FromRect(0, 0, 10, 10);
    TRegion b = TRegion::FromRect(5, 5, 15, 15);
    TRegion r;
    EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(r, 1, 1));
    EXPECT_TRUE(PtInRegion(r, 14, 14));
    EXPECT_FALSE(PtInRegion(r, 14, 1));
    EXPECT_EQ(r.BoundingBox(), (TRect{0, 0, 15, 15}));

    EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_TRUE(r.Contains(5, 5));
    EXPECT_FALSE(r.Contains(4, 4));
    EXPECT_FALSE(r.Contains(10, 10));  // right and bottom edges are outside

    CombineRgn(r, a, b, RGN_DIFF);
    EXPECT_TRUE(r.Contains(2, 2));
    EXPECT_FALSE(r.Contains(7, 7));
    CombineRgn(r, a, b, RGN_XOR);
    EXPECT_TRUE(r.Contains(12, 12));
    EXPECT_FALSE(r.Contains(7, 7));
    EXPECT_EQ(CombineRgn(r, a, TRegion::FromRect(20, 20, 30, 30), RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(r, a, b, 99), RGN_ERROR);

    TRegion e = TRegion::FromEllipse(TRect{0, 0, 20, 20});
    EXPECT_TRUE(e.Contains(10, 10));
    EXPECT_FALSE(e.Contains(0, 0));
    TPoint tri[] = {{0, 0}, {20, 0}, {0, 20}};
    TRegion t = TRegion::FromPolygon(tri, 3);
    EXPECT_TRUE(t.Contains(2, 2));
    EXPECT_FALSE(t.Contains(18, 18));
    EXPECT_TRUE(TRegion::FromPolygon(tri, 2).IsEmpty());
    OffsetRgn(t, 100, 0);
    EXPECT_TRUE(t.Contains(102, 2));

    // A region of printer pixels placed at a quarter of the size.
    TRegion big = TRegion::FromRect(400, 400, 800, 1200);
    TRegion small = big.Transformed(0.25, 0.25, 10, 0);
    EXPECT_EQ(small.BoundingBox(), (TRect{110, 100, 210, 300}));

    std::vector<TRect> runs = {{0, 0, 3, 1}, {5, 0, 8, 1}, {0, 1, 8, 2}, {2, 0, 6, 1}};
    TRegion many = TRegion::FromRects(runs);
    EXPECT_TRUE(many.Contains(4, 0));
    EXPECT_TRUE(many.Contains(7, 1));
    EXPECT_FALSE(many.Contains(8, 0));
}

TEST(CanvasClipping, ClipRegionsLimitDrawing) {
    auto bmp = WhiteBitmap(40, 40);
    TCanvas& c = bmp->Canvas();
    TRegion ell = TRegion::FromEllipse(TRect{0, 0, 40, 40});
    c.SelectClipRgn(&ell);
    c.FillRect(TRect{0, 0, 40, 40}, clRed);
    EXPECT_EQ(bmp->GetPixel(20, 20), clRed);
    EXPECT_EQ(bmp->GetPixel(0, 0), clWhite);
    EXPECT_EQ(bmp->GetPixel(39, 39), clWhite);
    TRegion got;
    EXPECT_EQ(c.GetClipRgn(got), 1);
    EXPECT_TRUE(got == ell);

    // Intersect and exclude narrow it further; save/restore brings it back.
    int level = c.SaveDC();
    c.IntersectClipRect(10, 10, 30, 30);
    c.ExcludeClipRect(15, 15, 25, 25);
    c.FillRect(TRect{0, 0, 40, 40}, clBlue);
    EXPECT_EQ(bmp->GetPixel(12, 12), clBlue);
    EXPECT_EQ(bmp->GetPixel(20, 20), clRed);
    EXPECT_EQ(bmp->GetPixel(5, 20), clRed);
    TRect box;
    c.GetClipBox(box);
    EXPECT_EQ(box, (TRect{10, 10, 30, 30}));
    EXPECT_TRUE(c.RestoreDC(level));
    c.SelectClipRgn(nullptr);
    EXPECT_EQ(c.GetClipRgn(got), 0);
    c.FillRect(TRect{0, 0, 40, 40}, clGreen);
    EXPECT_EQ(bmp->GetPixel(0, 0), clGreen);
    EXPECT_FALSE(c.RestoreDC(5));
}

TEST(CanvasMapping, WindowToViewport) {
    auto bmp = WhiteBitmap(100, 100);
    TCanvas& c = bmp->Canvas();
    c.SetMapMode(MM_ANISOTROPIC);
    c.SetWindowExtEx(200, 200);
    c.SetViewportExtEx(100, 100);
    c.SetWindowOrgEx(-20, -20);
    TPoint p{100, 100};
    c.LPtoDP(&p, 1);
    EXPECT_EQ(p, (TPoint{60, 60}));
    c.DPtoLP(&p, 1);
    EXPECT_EQ(p, (TPoint{100, 100}));
    c.FillRect(TRect{0, 0, 100, 100}, clBlack);
    EXPECT_EQ(InkBox(*bmp), (TRect{10, 10, 60, 60}));
    // Clip rectangles are given in logical units too.
    c.IntersectClipRect(0, 0, 40, 40);
    TRect box;
    c.GetClipBox(box);
    EXPECT_EQ(box, (TRect{0, 0, 40, 40}));
    c.SetMapMode(MM_TEXT);
    c.SetWindowOrgEx(0, 0);
    p = TPoint{7, 7};
    c.LPtoDP(&p, 1);
    EXPECT_EQ(p, (TPoint{7, 7}));
    EXPECT_EQ(c.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(c.GetDeviceCaps(HORZRES), 100);
}

TEST(CanvasObjects, ObjectsDriveTheContextColours) {
    TCanvas c;
    c.Font().SetColor(clRed);
    EXPECT_EQ(c.GetTextColor(), clRed);
    c.SetTextColor(clBlue);  // a direct call wins until the font changes again
    EXPECT_EQ(c.GetTextColor(), clBlue);
    TFont same;
    same.Assign(c.Font());
    c.SetFont(same);  // setting a font, even the same one, takes its colour again
    EXPECT_EQ(c.GetTextColor(), clRed);
    c.SetTextColor(clBlue);
    c.Font().SetColor(clWindowText);
    EXPECT_EQ(c.GetTextColor(), clBlack);
    c.Brush().SetColor(clBtnFace);
    EXPECT_EQ(c.GetBkColor(), ColorToRGB(clBtnFace));
    EXPECT_EQ(c.GetBkMode(), OPAQUE);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    EXPECT_EQ(c.GetBkMode(), TRANSPARENT);
    // Saving keeps the objects; restoring brings back font and colours together.
    c.Font().SetName("Arial");
    c.SaveDC();
    c.Font().SetName("Courier New");
    c.SetTextColor(clLime);
    c.RestoreDC(-1);
    EXPECT_EQ(c.Font().Name(), "Arial");
    EXPECT_EQ(c.GetTextColor(), clBlack);
    EXPECT_EQ(c.Face().Family(), "Liberation Sans");
}

TEST(Graphics, ObjectsAndHelpers) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TGraphicsObject*) { ++changes; };
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(f.Size(), 12);
    f.SetSize(12);
    EXPECT_EQ(changes, 1);  // no change, no event
    // A printer font keeps the size in points when a screen font is assigned.
    TFont printerFont;
    printerFont.SetPixelsPerInch(600);
    printerFont.Assign(f);
    EXPECT_EQ(printerFont.Size(), 12);
    EXPECT_EQ(printerFont.Height(), -100);

    TBrush b;
    b.SetStyle(TBrushStyle::bsClear);
    b.SetColor(clRed);
    EXPECT_EQ(b.Style(), TBrushStyle::bsSolid);
    b.SetColor(clNone);
    EXPECT_EQ(b.Style(), TBrushStyle::bsClear);

    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(0x02A0A0A0), 0xA0A0A0);
    EXPECT_EQ(ColorToRGB(clNone), clNone);

    TRect r;
    EXPECT_FALSE(IntersectRect(r, TRect{0, 0, 5, 5}, TRect{5, 0, 9, 5}));
    EXPECT_EQ(r, TRect{});
    EXPECT_TRUE(UnionRect(r, TRect{}, TRect{1, 2, 3, 4}));
    EXPECT_EQ(r, (TRect{1, 2, 3, 4}));
    EXPECT_FALSE(PtInRect(TRect{0, 0, 5, 5}, TPoint{5, 2}));
}

TEST(FontServices, ATestServiceReplacesTheInstalledFonts) {
    TCanvas c;
    UseFont(c, "Arial", -16);
    const int real = c.TextWidth(u"ab cd");
    {
        TFixedFontService fixed;
        TFontService* old = SetFontService(&fixed);
        // The canvas notices the new service without a font change.
        EXPECT_EQ(c.TextWidth(u"ab cd"), 4 * 8 + 4);
        TTextMetric tm;
        c.GetTextMetrics(tm);
        EXPECT_EQ(tm.tmAscent, 16);
        EXPECT_EQ(tm.tmHeight, 20);
        UseFont(c, "Arial", -16, fsBold);
        EXPECT_EQ(c.TextWidth(u"ab"), 18);
        // Drawing with a face that has no Qt font still works.
        auto bmp = WhiteBitmap(60, 30);
        bmp->Canvas().TextOut(2, 2, std::string("ab"));
        EXPECT_GT(CountInk(*bmp, TRect{0, 0, 60, 30}), 0);
        SetFontService(old);
    }
    UseFont(c, "Arial", -16);
    EXPECT_EQ(c.TextWidth(u"ab cd"), real);
}

TEST(CanvasShapes, PathsPolygonsAndArcs) {
    auto bmp = WhiteBitmap(60, 60);
    TCanvas& c = bmp->Canvas();
    // Figures collected in a path draw nothing until stroked.
    c.Pen().SetWidth(3);
    c.Pen().SetGeometric(true);
    c.Pen().SetStyle(TPenStyle::psDot);
    c.BeginPath();
    c.MoveTo(10, 10);
    c.LineTo(50, 10);
    c.LineTo(50, 50);
    c.LineTo(10, 50);
    c.CloseFigure();
    c.EndPath();
    EXPECT_EQ(CountInk(*bmp, TRect{0, 0, 60, 60}), 0);
    c.StrokePath();
    int dotted = CountInk(*bmp, TRect{0, 0, 60, 60});
    EXPECT_GT(dotted, 40);
    EXPECT_LT(dotted, 4 * 40 * 3);  // gaps between the dots
    EXPECT_EQ(bmp->GetPixel(30, 30), clWhite);
    c.StrokePath();  // the path is used up
    EXPECT_EQ(CountInk(*bmp, TRect{0, 0, 60, 60}), dotted);

    c.FillRect(TRect{0, 0, 60, 60}, clWhite);
    c.Brush().SetColor(clGreen);
    c.Pen().SetStyle(TPenStyle::psClear);
    TPoint tri[] = {{0, 0}, {40, 0}, {0, 40}};
    c.Polygon(tri, 3);
    EXPECT_EQ(bmp->GetPixel(5, 5), clGreen);
    EXPECT_EQ(bmp->GetPixel(35, 35), clWhite);

    // An arc from the right end of the horizontal axis counter-clockwise to the
    // top: ink only in the upper-right quadrant.
    c.FillRect(TRect{0, 0, 60, 60}, clWhite);
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetGeometric(false);
    c.Arc(10, 10, 51, 51, 60, 30, 30, 0);
    EXPECT_GT(CountInk(*bmp, TRect{31, 0, 60, 29}), 10);
    EXPECT_EQ(CountInk(*bmp, TRect{0, 32, 60, 60}), 0);
    EXPECT_EQ(CountInk(*bmp, TRect{0, 0, 28, 60}), 0);

    // Pen modes: an xor line drawn twice vanishes; InvertRect inverts.
    c.FillRect(TRect{0, 0, 60, 60}, clWhite);
    c.SetROP2(R2_XORPEN);
    c.Pen().SetColor(clWhite);
    c.MoveTo(0, 55);
    c.LineTo(60, 55);
    EXPECT_EQ(bmp->GetPixel(30, 55), clBlack);
    c.MoveTo(0, 55);
    c.LineTo(60, 55);
    EXPECT_EQ(bmp->GetPixel(30, 55), clWhite);
    EXPECT_EQ(c.SetROP2(R2_COPYPEN), R2_XORPEN);
    c.InvertRect(TRect{0, 0, 5, 5});
    EXPECT_EQ(bmp->GetPixel(4, 4), clBlack);

    c.PatBlt(0, 0, 10, 10, BLACKNESS);
    EXPECT_EQ(bmp->GetPixel(9, 9), clBlack);
    EXPECT_FALSE(c.PatBlt(0, 0, 10, 10, SRCCOPY));  // needs a source
}

TEST(CanvasText, AdvanceArraysPlaceEachCharacter) {
    auto bmp = WhiteBitmap(120, 40);
    TCanvas& c = bmp->Canvas();
    UseFont(c, "Arial", -20);
    c.SetBkMode(TRANSPARENT);
    int dx[] = {60, 0};
    c.ExtTextOutW(10, 5, 0, nullptr, u"II", 2, dx);
    EXPECT_GT(CountInk(*bmp, TRect{10, 0, 20, 40}), 0);
    EXPECT_EQ(CountInk(*bmp, TRect{20, 0, 70, 40}), 0);
    EXPECT_GT(CountInk(*bmp, TRect{70, 0, 80, 40}), 0);
    // Characters the face lacks are drawn by another face, with its advance.
    EXPECT_GT(c.TextWidth(u"\u4E2D"), 0);
    c.FillRect(TRect{0, 0, 120, 40}, clWhite);
    c.TextOutW(10, 5, u"\u4E2D", 1);
    EXPECT_GT(CountInk(*bmp, TRect{0, 0, 120, 40}), 0);
}

TEST(CanvasDevices, AttachedPainterIsLeftAsLent) {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(10, 5);
    TCanvas c;
    TRect update{0, 0, 40, 20};
    c.Attach(&painter, &update);
    EXPECT_TRUE(c.Attached());
    EXPECT_EQ(c.ClipRect(), update);
    TRegion clip = TRegion::FromRect(0, 0, 20, 20);
    c.SelectClipRgn(&clip);
    c.FillRect(TRect{0, 0, 100, 100}, clRed);
    UseFont(c, "Arial", -16);
    TCanvas screen;
    UseFont(screen, "Arial", -16);
    EXPECT_EQ(c.TextWidth(kRevisao), screen.TextWidth(kRevisao));
    c.Detach();
    EXPECT_FALSE(c.Attached());
    EXPECT_FALSE(painter.hasClipping());
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(10, 5));
    painter.end();
    // The painter's own translation is the device space the canvas draws in.
    EXPECT_EQ(QColor(image.pixel(15, 10)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(5, 10)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(35, 10)), QColor(Qt::white));
    // Without a painter drawing does nothing and measuring still works.
    c.FillRect(TRect{0, 0, 10, 10}, clRed);
    EXPECT_GT(c.TextWidth(kRevisao), 0);
}

TEST(Metafiles, TextRecordedAndPlayedAtTheSameSize) {
    TMetafile mf;
    int width;
    {
        TMetafileCanvas mc(mf, nullptr, 200, 40);
        UseFont(mc, "Times New Roman", -16);
        mc.SetBkMode(TRANSPARENT);
        mc.TextOut(0, 0, std::string("Revisão de Benefício"));
        width = mc.TextWidth(std::string("Revisão de Benefício"));
    }
    ASSERT_EQ(mf.Width(), 200);
    auto bmp = WhiteBitmap(200, 40);
    bmp->Canvas().Draw(0, 0, mf);
    TRect ink = InkBox(*bmp);
    EXPECT_LE(ink.Left, 2);
    EXPECT_NEAR(ink.Right, width, 3);
    // An empty metafile draws nothing.
    TMetafile empty;
    bmp->Canvas().FillRect(TRect{0, 0, 200, 40}, clWhite);
    bmp->Canvas().Draw(0, 0, empty);
    EXPECT_EQ(CountInk(*bmp, TRect{0, 0, 200, 40}), 0);
}

// A page whose drawing would pass the bound of a recording is cut there:
// what came before plays back, what came after is dropped.
TEST(Metafiles, ARecordingIsCutAtItsBound) {
    TMetafile mf;
    {
        TMetafileCanvas mc(mf, nullptr, 200, 40);
        mc.FillRect(TRect{0, 0, 100, 40}, clRed);
        // Lines off the page, recorded at 16 bytes a point.
        const std::vector<TPoint> line(1 << 20, TPoint{-50, -50});
        for (size_t i = 0; i < kMaxMetafileBytes / (16 << 20) + 2; ++i) mc.Polyline(line);
        EXPECT_TRUE(mc.Cut());
        mc.FillRect(TRect{100, 0, 200, 40}, clBlue);
    }
    auto bmp = WhiteBitmap(200, 40);
    bmp->Canvas().Draw(0, 0, mf);
    EXPECT_EQ(bmp->GetPixel(50, 20), clRed);
    EXPECT_EQ(bmp->GetPixel(150, 20), clWhite);
}

TEST(CanvasRecording, DrawingCallsAreLoggedWithoutADevice) {
    // A layout test's set-up: fixed metrics, no device, a log of what is painted.
    TFixedFontService fixed;
    TFontService* old = SetFontService(&fixed);
    TCanvas c;
    std::vector<std::string> log;
    c.SetRecorder(&log);
    UseFont(c, "Times New Roman", -16, fsBold);
    c.Font().SetColor(clNavy);
    c.SetTextAlign(TA_BASELINE);
    c.TextOutW(10, 30, u"Benefício", 9);
    c.FillRect(TRect{0, 0, 5, 5}, clYellow);
    c.Pen().SetColor(clRed);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Rectangle(1, 2, 3, 4);
    c.MoveTo(0, 0);
    c.LineTo(7, 0);
    TRect r{0, 0, 100, 20};
    c.SetTextAlign(TA_TOP);
    c.DrawText(std::string("a&b"), r, DT_RIGHT | DT_SINGLELINE);
    SetFontService(old);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "text 10 30 81 \"Times New Roman\" -16 b #000080 Benef\xC3\xAD" "cio");  // UTF-8
    EXPECT_EQ(log[1], "fill 0 0 5 5 #FFFF00");
    EXPECT_EQ(log[2], "rect 1 2 3 4 pen #FF0000 1 brush none");
    EXPECT_EQ(log[3], "line 0 0 7 0 #FF0000 1");
    EXPECT_EQ(log[4], "text 82 16 18 \"Times New Roman\" -16 b #000080 ab");
}
