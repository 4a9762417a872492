#include "html/layout/borders.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "html/layout/document.h"

TColor ResolveColor(TColor c) { return ColorToRGB(c & ~PalRelative); }

TColor Darker(TColor Color) {
    const TColor c = ResolveColor(Color);
    auto part = [&](int shift) {
        return static_cast<TColor>(std::lround(static_cast<double>((c >> shift) & 0xFF) * 0.75)) << shift;
    };
    return part(0) | part(8) | part(16);
}

namespace {

// Fills a polygon in a colour with no outline.
void FillPoly(TCanvas& Canvas, const std::vector<TPoint>& pts, TColor color) {
    const TPen savePen = Canvas.Pen();
    const TBrush saveBrush = Canvas.Brush();
    Canvas.Pen().SetStyle(TPenStyle::psClear);
    Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush().SetColor(color);
    Canvas.Polygon(pts);
    Canvas.SetPen(savePen);
    Canvas.SetBrush(saveBrush);
}

void Line(TCanvas& Canvas, int x1, int y1, int x2, int y2, TColor color) {
    const TPen savePen = Canvas.Pen();
    Canvas.Pen().SetStyle(TPenStyle::psSolid);
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetColor(color);
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
    Canvas.SetPen(savePen);
}

struct Quad {
    TPoint p[4];  // outer start, outer end, inner end, inner start
};

// The trapezoid of side s (0 left, 1 top, 2 right, 3 bottom) between two rectangles.
Quad SideQuad(const TRect& o, const TRect& i, int s) {
    const TPoint o0{o.Left, o.Top}, o1{o.Right, o.Top}, o2{o.Right, o.Bottom}, o3{o.Left, o.Bottom};
    const TPoint i0{i.Left, i.Top}, i1{i.Right, i.Top}, i2{i.Right, i.Bottom}, i3{i.Left, i.Bottom};
    switch (s) {
    case 0: return Quad{{o3, o0, i0, i3}};
    case 1: return Quad{{o0, o1, i1, i0}};
    case 2: return Quad{{o1, o2, i2, i1}};
    default: return Quad{{o2, o3, i3, i2}};
    }
}

int SideWidth(const TRect& o, const TRect& i, int s) {
    switch (s) {
    case 0: return i.Left - o.Left;
    case 1: return i.Top - o.Top;
    case 2: return o.Right - i.Right;
    default: return o.Bottom - i.Bottom;
    }
}

// Paints one side's band between the rectangles a (outer) and b (inner).
void Band(TCanvas& Canvas, const TRect& a, const TRect& b, int s, TColor color, bool print) {
    const int w = SideWidth(a, b, s);
    if (w <= 0) return;
    const Quad q = SideQuad(a, b, s);
    if (w == 1) {
        // A band one pixel thick is a line: its ends are the x of one corner
        // and the y of another, so that the four lines meet at the corners
        // without overlapping (the printer's lines stop short of the next side).
        static const int kScreen[4][4] = {{0, 1, 0, 3}, {0, 1, 1, 1}, {2, 0, 2, 1}, {1, 3, 3, 3}};
        static const int kPrint[4][4] = {{0, 1, 0, 3}, {0, 1, 2, 1}, {2, 0, 2, 2}, {1, 3, 3, 3}};
        const int* k = (print ? kPrint : kScreen)[s];
        Line(Canvas, q.p[k[0]].X, q.p[k[1]].Y, q.p[k[2]].X, q.p[k[3]].Y, color);
        return;
    }
    FillPoly(Canvas, {q.p[0], q.p[1], q.p[2], q.p[3]}, color);
}

// Dashed and dotted sides: a pen as wide as the side along the middle line.
// Neighbouring sides of the same style, colour and width are one path, so
// the pattern runs on round the corner; four alike close the path.
void StrokePatternSides(TCanvas& Canvas, const TRect& O, const TRect& I, const TRect& M, const htColorArray& C,
                        const htStyleArray& S) {
    // The middle line's corners, clockwise from the bottom left: side s runs
    // from corner s to corner s + 1.
    const TPoint corner[4] = {{M.Left, M.Bottom}, {M.Left, M.Top}, {M.Right, M.Top}, {M.Right, M.Bottom}};
    auto patterned = [&](int s) { return (S[s] == bssDashed || S[s] == bssDotted) && SideWidth(O, I, s) > 0; };
    auto alike = [&](int a, int b) {
        return patterned(a) && patterned(b) && S[a] == S[b] && ResolveColor(C[a]) == ResolveColor(C[b]) &&
               SideWidth(O, I, a) == SideWidth(O, I, b);
    };
    const bool all = alike(0, 1) && alike(1, 2) && alike(2, 3) && alike(3, 0);
    const TPen save = Canvas.Pen();
    for (int s = 0; s < 4; ++s) {
        // A chain starts at a patterned side that its predecessor does not join.
        if (!patterned(s) || (all ? s > 0 : alike((s + 3) % 4, s))) continue;
        std::vector<TPoint> pts{corner[s]};
        for (int e = s, n = 0;; e = (e + 1) % 4, ++n) {
            pts.push_back(corner[(e + 1) % 4]);
            if (all ? n == 2 : !alike(e, (e + 1) % 4)) break;
        }
        Canvas.Pen().SetStyle(S[s] == bssDotted ? TPenStyle::psDot : TPenStyle::psDash);
        Canvas.Pen().SetGeometric(true);
        Canvas.Pen().SetWidth(SideWidth(O, I, s));
        Canvas.Pen().SetColor(ResolveColor(C[s]));
        Canvas.BeginPath();
        Canvas.Polyline(pts);
        if (all) Canvas.CloseFigure();
        Canvas.EndPath();
        Canvas.StrokePath();
    }
    Canvas.SetPen(save);
}

}  // namespace

void DrawBorder(TCanvas& Canvas, TRect O, TRect I, const htColorArray& C, const htStyleArray& S, TColor BGround,
                bool Print) {
    O.Top = std::max(O.Top, -200);
    I.Top = std::max(I.Top, -200);
    O.Bottom = std::min(O.Bottom, 5000);
    I.Bottom = std::min(I.Bottom, 5000);
    bool gaps = false;
    for (int s = 0; s < 4; ++s)
        if (S[s] == bssDashed || S[s] == bssDotted || S[s] == bssDouble) gaps = true;
    if (gaps && BGround != clNone) {
        for (int s = 0; s < 4; ++s) Band(Canvas, O, I, s, ResolveColor(BGround), Print);
    }
    const TRect M{(O.Left + I.Left) / 2, (O.Top + I.Top) / 2, (O.Right + I.Right) / 2, (O.Bottom + I.Bottom) / 2};
    for (int s = 0; s < 4; ++s) {
        const int w = SideWidth(O, I, s);
        if (w <= 0 || S[s] == bssNone) continue;
        const TColor col = ResolveColor(C[s]);
        const bool leftTop = s == 0 || s == 1;
        switch (S[s]) {
        case bssSolid: Band(Canvas, O, I, s, col, Print); break;
        case bssInset: Band(Canvas, O, I, s, leftTop ? Darker(col) : col, Print); break;
        case bssOutset: Band(Canvas, O, I, s, leftTop ? col : Darker(col), Print); break;
        case bssGroove:
        case bssRidge: {
            const bool groove = S[s] == bssGroove;
            const TColor outer = (groove == leftTop) ? Darker(col) : col;
            const TColor inner = (groove == leftTop) ? col : Darker(col);
            Band(Canvas, O, M, s, outer, Print);
            Band(Canvas, M, I, s, inner, Print);
            break;
        }
        case bssDouble: {
            const int t = w / 3 + (w % 3 == 2 ? 1 : 0);
            if (t <= 0) {
                Band(Canvas, O, I, s, col, Print);
                break;
            }
            const TRect outerIn{O.Left + t, O.Top + t, O.Right - t, O.Bottom - t};
            const TRect innerOut{I.Left - t, I.Top - t, I.Right + t, I.Bottom + t};
            Band(Canvas, O, outerIn, s, col, Print);
            Band(Canvas, innerOut, I, s, col, Print);
            break;
        }
        case bssDashed:
        case bssDotted: break;  // stroked below, joined with their neighbours
        default: break;
        }
    }
    StrokePatternSides(Canvas, O, I, M, C, S);
}

void FillRectColor(TCanvas& Canvas, int X1, int Y1, int X2, int Y2, TColor Color) {
    const TBrush save = Canvas.Brush();
    Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush().SetColor(Color);
    Canvas.FillRect(TRect{X1, Y1, X2, Y2});
    Canvas.SetBrush(save);
}

void RaisedRect(TCanvas& Canvas, int X1, int Y1, bool Raised, TColor Light, TColor Dark, int X2, int Y2) {
    const TColor tl = Raised ? Light : Dark, br = Raised ? Dark : Light;
    Line(Canvas, X1, Y2, X1, Y1, tl);
    Line(Canvas, X1, Y1, X2, Y1, tl);
    Line(Canvas, X2, Y1, X2, Y2, br);
    Line(Canvas, X2, Y2, X1 - 1, Y2, br);
}

void RaisedRectColor(TSectionList*, TCanvas& Canvas, int X1, int Y1, int BorderWidth, bool Raised, TColor Light,
                     TColor Dark, int X2, int Y2) {
    if (BorderWidth <= 0) return;  // a frame of no width is no frame
    if (BorderWidth == 1) {
        RaisedRect(Canvas, X1, Y1, Raised, Light, Dark, X2, Y2);
        return;
    }
    const TColor tl = Raised ? Light : Dark, br = Raised ? Dark : Light;
    const int g = BorderWidth - 1;
    DrawBorder(Canvas, TRect{X1 - g, Y1 - g, X2 + g + 1, Y2 + g + 1}, TRect{X1 + 1, Y1 + 1, X2, Y2},
               MakeFourColors(tl, tl, br, br), MakeFourStyles(bssSolid, bssSolid, bssSolid, bssSolid), clNone,
               false);
}

void DrawFormControlFrame(TSectionList* ParentSectionList, TCanvas& Canvas, int X1, int Y1, int BorderWidth,
                          bool Raised, int X2, int Y2) {
    bool whiteBack = true;
    bool printing = false;
    if (ParentSectionList) {
        printing = ParentSectionList->Printing;
        const TColor bg = ParentSectionList->Background & 0xFFFFFF;
        whiteBack = printing || ColorToRGB(ParentSectionList->Background) == 0xFFFFFF ||
                    (ParentSectionList->Background == clWindow && ColorToRGB(clWindow) == 0xFFFFFF) || bg == 0xFFFFFF;
    }
    TColor light, dark;
    if (printing && ParentSectionList->PrintMonoBlack && Canvas.GetDeviceCaps(BITSPIXEL) == 1 &&
        Canvas.GetDeviceCaps(PLANES) == 1) {
        light = dark = clBlack;
    } else {
        dark = clBtnShadow;
        light = whiteBack ? static_cast<TColor>(0xC0C0C0) : clBtnHighlight;
    }
    RaisedRectColor(ParentSectionList, Canvas, X1, Y1, BorderWidth, Raised, light, dark, X2, Y2);
}

void FormControlRect(TCanvas& Canvas, int X1, int Y1, int X2, int Y2, bool UseFace, bool MonoCheck, bool FlatGrey,
                     TColor Color) {
    const bool mono = MonoCheck && Canvas.GetDeviceCaps(BITSPIXEL) == 1 && Canvas.GetDeviceCaps(PLANES) == 1;
    FillRectColor(Canvas, X1, Y1, X2, Y2, UseFace && !mono ? clBtnFace : Color);
    if (mono) {
        const TPen save = Canvas.Pen();
        Canvas.Pen().SetColor(clBlack);
        Canvas.Pen().SetWidth(1);
        Canvas.Brush().SetStyle(TBrushStyle::bsClear);
        Canvas.Rectangle(X1, Y1, X2, Y2);
        Canvas.SetPen(save);
        return;
    }
    const TColor tl = FlatGrey ? static_cast<TColor>(0xC0C0C0) : clBtnShadow;
    const TColor br = FlatGrey ? clBtnShadow : static_cast<TColor>(0xC0C0C0);
    const TPen save = Canvas.Pen();
    Canvas.Pen().SetWidth(2);
    Canvas.Pen().SetColor(tl);
    Canvas.MoveTo(X1 + 1, Y2 - 1);
    Canvas.LineTo(X1 + 1, Y1 + 1);
    Canvas.LineTo(X2 - 1, Y1 + 1);
    Canvas.Pen().SetColor(br);
    Canvas.LineTo(X2 - 1, Y2 - 1);
    Canvas.LineTo(X1 + 1, Y2 - 1);
    Canvas.SetPen(save);
}

void WrapTextW(TCanvas& Canvas, int X1, int Y1, int X2, int Y2, const std::u16string& S) {
    const unsigned save = Canvas.SetTextAlign(TA_LEFT | TA_TOP);
    TRect r{X1, Y1, X2, Y2};
    Canvas.DrawTextW(S, r, DT_WORDBREAK | DT_NOPREFIX);
    Canvas.SetTextAlign(save);
}

void GetClippingRgn(TCanvas& Canvas, const TRect& ARect, bool Printing, TRegion& OldRgn, bool& HadOld,
                    TRegion& NewRgn) {
    HadOld = Canvas.GetClipRgn(OldRgn) == 1;
    TPoint pts[2] = {{ARect.Left, ARect.Top}, {ARect.Right, ARect.Bottom}};
    const TPoint org = Canvas.GetWindowOrg();
    for (auto& p : pts) {
        p.X -= org.X;
        p.Y -= org.Y;
    }
    if (Printing) {
        const TSize we = Canvas.GetWindowExt(), ve = Canvas.GetViewportExt();
        for (auto& p : pts) {
            if (we.cx) p.X = static_cast<int>(std::lround(static_cast<double>(p.X) * ve.cx / we.cx));
            if (we.cy) p.Y = static_cast<int>(std::lround(static_cast<double>(p.Y) * ve.cy / we.cy));
        }
    }
    NewRgn = TRegion::FromRect(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
    if (HadOld) CombineRgn(NewRgn, NewRgn, OldRgn, RGN_AND);
    Canvas.SelectClipRgn(&NewRgn);
}

void BorderRec::DrawInlineBorder(TCanvas& Canvas, int XOffset, int YOffset, bool Printing) const {
    const ::MargArray& m = MargArray;
    const int lw = OpenStart ? 0 : m[piBorderLeftWidth], rw = OpenEnd ? 0 : m[piBorderRightWidth];
    const int tw = m[piBorderTopWidth], bw = m[piBorderBottomWidth];
    const TRect r{BRectLeft + XOffset, BRectTop + YOffset, BRectRight + XOffset, BRectBottom + YOffset};
    const TColor bg = m[piBackgroundColor];
    if (bg != clNone) FillRectColor(Canvas, r.Left, r.Top, r.Right, r.Bottom, bg);
    DrawBorder(Canvas, TRect{r.Left - lw, r.Top - tw, r.Right + rw, r.Bottom + bw}, r,
               MakeFourColors(m[piBorderLeftColor], m[piBorderTopColor], m[piBorderRightColor],
                              m[piBorderBottomColor]),
               MakeFourStyles(static_cast<uint8_t>(m[piBorderLeftStyle]), static_cast<uint8_t>(m[piBorderTopStyle]),
                              static_cast<uint8_t>(m[piBorderRightStyle]),
                              static_cast<uint8_t>(m[piBorderBottomStyle])),
               bg, Printing);
}
