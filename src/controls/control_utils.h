#pragma once
// Small routines shared by the input controls that need no window: rectangle
// sizes, string-resource texts and fitting a text to a width.
#include <string>

#include "platform/gui/graphics.h"

// Measures text for the layout routines; the canvas implements it on screen,
// tests with fixed metrics.
class TTextMeasure {
public:
    virtual ~TTextMeasure() = default;
    virtual int TextWidth(const std::string& text) = 0;
    // The box DrawText would fill with text laid out at most `width` wide
    // (lines broken at words only with wordWrap).
    virtual TSize TextBox(const std::string& text, int width, bool wordWrap) = 0;
};

namespace ControlUtils {

inline int RectWidth(const TRect& R) { return R.Right - R.Left; }
inline int RectHeight(const TRect& R) { return R.Bottom - R.Top; }
// Texts that came from string resources.
inline std::string ResourceText(const std::string& S) { return S; }

// S when it fits MaxWidth; otherwise its start followed by "...", dropping one
// more character each time (first two, then three...), down to "..." alone.
std::string FitTextToWidth(const std::string& S, TTextMeasure& Measure, int MaxWidth);

}  // namespace ControlUtils
