#pragma once
// Painting of boxes: the CSS border painter with per-side widths, colours and
// styles, the 3-D frames of form controls and image boxes, a rectangle fill,
// word-wrapped wide text and the clip region used while printing.
#include <array>
#include <cstdint>
#include <string>

#include "html/reader/style_values.h"
#include "platform/gui/canvas.h"
#include "platform/gui/region.h"

class TSectionList;

// Colours and styles in the order left, top, right, bottom.
using htColorArray = std::array<TColor, 4>;
using htStyleArray = std::array<uint8_t, 4>;
inline htColorArray MakeFourColors(TColor L, TColor T, TColor R, TColor B) { return {L, T, R, B}; }
inline htStyleArray MakeFourStyles(uint8_t L, uint8_t T, uint8_t R, uint8_t B) { return {L, T, R, B}; }

enum BorderStyleType : uint8_t {
    bssNone = 0, bssSolid, bssInset, bssOutset, bssGroove, bssRidge, bssDashed, bssDotted, bssDouble
};

// The colour value a canvas paints (system colours resolved).
TColor ResolveColor(TColor c);
// Each of red, green and blue x 0.75, rounded.
TColor Darker(TColor Color);

// O is the border's outer edge, I its inner edge; each side's width is the
// difference on that side. BGround clNone (0x1FFFFFFF) for no background.
void DrawBorder(TCanvas& Canvas, TRect O, TRect I, const htColorArray& C, const htStyleArray& S, TColor BGround,
                bool Print);

void FillRectColor(TCanvas& Canvas, int X1, int Y1, int X2, int Y2, TColor Color);
void RaisedRect(TCanvas& Canvas, int X1, int Y1, bool Raised, TColor Light, TColor Dark, int X2, int Y2);
void RaisedRectColor(TSectionList* ParentSectionList, TCanvas& Canvas, int X1, int Y1, int BorderWidth, bool Raised,
                     TColor Light, TColor Dark, int X2, int Y2);
void DrawFormControlFrame(TSectionList* ParentSectionList, TCanvas& Canvas, int X1, int Y1, int BorderWidth,
                          bool Raised, int X2, int Y2);
void FormControlRect(TCanvas& Canvas, int X1, int Y1, int X2, int Y2, bool UseFace, bool MonoCheck, bool FlatGrey,
                     TColor Color);
void WrapTextW(TCanvas& Canvas, int X1, int Y1, int X2, int Y2, const std::u16string& S);
// Saves the clip (Had = false when there was none) and selects the rectangle
// intersected with it (rectangle in logical units).
void GetClippingRgn(TCanvas& Canvas, const TRect& ARect, bool Printing, TRegion& OldRgn, bool& HadOld,
                    TRegion& NewRgn);

// One inline box piece on one line of a paragraph.
struct BorderRec {
    int BStart = 0, BEnd = 0;  // character positions within the section
    bool OpenStart = false, OpenEnd = false;
    ::MargArray MargArray{};
    int BRectLeft = 0, BRectTop = 0, BRectRight = 0, BRectBottom = 0;  // filled by the first drawing pass
    bool RectSet = false;
    void DrawInlineBorder(TCanvas& Canvas, int XOffset, int YOffset, bool Printing) const;
};
