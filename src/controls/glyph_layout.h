#pragma once
// Layout arithmetic of the speed button's glyph and caption, and the small
// bitmaps' geometry. Plain logic on sizes and rectangles.
#include <string>

#include "controls/control_utils.h"
#include "platform/gui/graphics.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

namespace RXCtrls {

// Width of the drop-down mark beside the caption (7-pixel triangle and gaps).
constexpr int DropDownArrowWidth = 9;
constexpr int MaxNumGlyphs = 5;

// A strip whose width is a multiple of its height holds width / height
// images (above five counts as one); any other strip keeps Current.
int NumGlyphsForStrip(int Width, int Height, int Current);
// NumGlyphs as the property stores it: 1..5.
int ClampNumGlyphs(int N);

// The inactive (grey) look of one pixel: (R x 77 + G x 150 + B x 29) >> 8.
int GrayLevel(int R, int G, int B);

struct TGlyphLayout {
    TPoint GlyphPos;
    TRect TextBounds;
    std::string Caption;  // as fitted to the space left
};

// Lines of the caption shortened to Width with "..." (unless WordWrap),
// trailing blanks removed, at most 255 characters.
std::string FitCaption(const std::string& Caption, TTextMeasure& Measure, int Width, bool WordWrap);

// Places glyph and caption in Client: Glyph is the size of one image (0 x 0
// without glyph); Margin and Spacing -1 mean "centred" and "automatic".
TGlyphLayout CalcLayout(const TRect& Client, TPoint Offset, TButtonLayout Layout, int Margin, int Spacing,
                        TSize Glyph, const std::string& Caption, bool WordWrap, bool DropDownArrow,
                        TTextMeasure& Measure);

// The drop-down mark: rows of 7, 5, 3 and 1 pixels, starting at (X, Y). Row i
// spans [X + i, X + 7 - i) on line Y + i.
struct TArrowRow {
    int Left, Right, Y;
};
TArrowRow DropDownArrowRow(int X, int Y, int Row);

// The ellipsis glyph of a combo edit's button: a bitmap max(1, ButtonWidth - 6)
// wide and 4 high with three 2 x 2 dots at y = 1; DotX receives their left edges.
int EllipsisGlyphWidth(int ButtonWidth);
void EllipsisDots(int GlyphWidth, int DotX[3]);

}  // namespace RXCtrls
