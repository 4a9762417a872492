#include "html/layout/borders.h"

TColor ResolveColor(TColor c) { return ColorToRGB(c); }
TColor Darker(TColor Color) { return Color; }
void DrawBorder(TCanvas&, TRect, TRect, const htColorArray&, const htStyleArray&, TColor, bool) {}
void FillRectColor(TCanvas&, int, int, int, int, TColor) {}
void RaisedRect(TCanvas&, int, int, bool, TColor, TColor, int, int) {}
void RaisedRectColor(TSectionList*, TCanvas&, int, int, int, bool, TColor, TColor, int, int) {}
void DrawFormControlFrame(TSectionList*, TCanvas&, int, int, int, bool, int, int) {}
void FormControlRect(TCanvas&, int, int, int, int, bool, bool, bool, TColor) {}
void WrapTextW(TCanvas&, int, int, int, int, const std::u16string&) {}
void GetClippingRgn(TCanvas&, const TRect&, bool, TRegion&, bool& HadOld, TRegion&) { HadOld = false; }
void BorderRec::DrawInlineBorder(TCanvas&, int, int, bool) const {}
