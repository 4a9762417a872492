#pragma once
// The pictures and texts the input controls ship with, drawn in code: the
// date edit's and number edit's button glyphs (two 14 x 12 images each:
// normal and disabled) and the dialog strings.
#include "platform/gui/bitmap.h"

namespace ControlResources {

// "DEDITBMP": a small calendar page.
const TBitmap& DateEditGlyph();
// "CEDITBMP": a small calculator.
const TBitmap& CalcEditGlyph();

constexpr const char* SDateDlgTitle = "Select a Date";
constexpr const char* SOutOfRange = "Value must be between %d and %d";

}  // namespace ControlResources
