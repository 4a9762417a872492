#include "controls/glyph_layout.h"

#include <algorithm>
#include <vector>

#include "controls/max_min.h"

namespace RXCtrls {

int NumGlyphsForStrip(int Width, int Height, int Current) {
    if (Width <= 0 || Height <= 0 || Width % Height != 0) return Current;
    int n = Width / Height;
    return n > MaxNumGlyphs ? 1 : n;
}

int ClampNumGlyphs(int N) { return N < 1 ? 1 : (N > MaxNumGlyphs ? MaxNumGlyphs : N); }

int GrayLevel(int R, int G, int B) { return (R * 77 + G * 150 + B * 29) >> 8; }

std::string FitCaption(const std::string& Caption, TTextMeasure& Measure, int Width, bool WordWrap) {
    std::string result;
    if (WordWrap) {
        result = Caption;
    } else {
        std::vector<std::string> lines;
        size_t from = 0;
        for (;;) {
            size_t at = Caption.find('\n', from);
            std::string line = Caption.substr(from, at == std::string::npos ? std::string::npos : at - from);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            if (at == std::string::npos) break;
            from = at + 1;
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) result += "\r\n";
            result += ControlUtils::FitTextToWidth(lines[i], Measure, Width);
        }
    }
    while (!result.empty() && (result.back() == ' ' || result.back() == '\r' || result.back() == '\n'))
        result.pop_back();
    if (result.size() > 255) result.resize(255);
    return result;
}

TGlyphLayout CalcLayout(const TRect& Client, TPoint Offset, TButtonLayout Layout, int Margin, int Spacing,
                        TSize Glyph, const std::string& Caption, bool WordWrap, bool DropDownArrow,
                        TTextMeasure& Measure) {
    TGlyphLayout result;
    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    const TSize size{Client.Right - Client.Left, Client.Bottom - Client.Top};
    TSize g = Glyph;

    // The box the caption may use.
    TSize avail;
    if (horizontal) {
        avail.cx = size.cx - g.cx - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0) -
                   (DropDownArrow ? DropDownArrowWidth : 0);
        avail.cy = size.cy;
    } else {
        avail.cx = size.cx;
        avail.cy = size.cy - g.cy - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0);
    }
    avail.cx = std::max(avail.cx, 0);
    avail.cy = std::max(avail.cy, 0);

    TSize t{0, 0};
    if (!Caption.empty()) {
        result.Caption = FitCaption(Caption, Measure, avail.cx, WordWrap);
        if (!result.Caption.empty()) {
            t = Measure.TextBox(result.Caption, avail.cx, WordWrap);
            t.cx = MaxMin::Min(t.cx, avail.cx);
            t.cy = MaxMin::Min(t.cy, avail.cy);
        }
    }

    if (DropDownArrow) {
        if (g.cx == 0 || Layout == blGlyphLeft)
            t.cx += DropDownArrowWidth;
        else
            g.cx += 6;
    }

    TPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.Y = size.cy / 2 - g.cy / 2;
        textPos.Y = size.cy / 2 - t.cy / 2;
    } else {
        glyphPos.X = size.cx / 2 - g.cx / 2;
        textPos.X = size.cx / 2 - t.cx / 2;
    }

    // Along the layout axis.
    const int s = horizontal ? size.cx : size.cy;
    const int gl = horizontal ? g.cx : g.cy;
    const int tl = horizontal ? t.cx : t.cy;
    if (t.cx == 0 || g.cx == 0) Spacing = 0;
    int margin = Margin, spacing = Spacing;
    if (Margin == -1) {
        if (Spacing == -1) {
            margin = (s - (gl + tl)) / 3;
            spacing = margin;
        } else {
            margin = s / 2 - (gl + Spacing + tl) / 2;
        }
    } else if (Spacing == -1) {
        spacing = (s - (Margin + gl)) / 2 - tl / 2;
    }

    int glyphAt, textAt;
    switch (Layout) {
        case blGlyphLeft:
        case blGlyphTop:
            glyphAt = margin;
            textAt = margin + gl + spacing;
            break;
        default:
            glyphAt = s - margin - gl;
            textAt = glyphAt - spacing - tl;
            break;
    }
    if (horizontal) {
        glyphPos.X = glyphAt;
        textPos.X = textAt;
    } else {
        glyphPos.Y = glyphAt;
        textPos.Y = textAt;
    }

    const int dx = Client.Left + Offset.X, dy = Client.Top + Offset.Y;
    result.GlyphPos = TPoint{glyphPos.X + dx, glyphPos.Y + dy};
    result.TextBounds = TRect{textPos.X + dx, textPos.Y + dy, textPos.X + dx + t.cx, textPos.Y + dy + t.cy};
    return result;
}

TArrowRow DropDownArrowRow(int X, int Y, int Row) { return TArrowRow{X + Row, X + 7 - Row, Y + Row}; }

int EllipsisGlyphWidth(int ButtonWidth) { return std::max(1, ButtonWidth - 6); }

void EllipsisDots(int GlyphWidth, int DotX[3]) {
    const int w = GlyphWidth - 6;
    const int gap = std::min(std::max(w / 2, 1), 3);
    const int x0 = (w - 2 * gap) / 2;
    DotX[0] = x0;
    DotX[1] = x0 + gap + 2;
    DotX[2] = x0 + 2 * gap + 4;
}

}  // namespace RXCtrls
