#pragma once
// Bitmap and window routines of the input controls: cutting a cell out of a
// glyph strip, the embossed look of disabled images, the parent's background
// under a transparent control, and the cursors the controls register.
#include <memory>

#include "platform/gui/bitmap.h"
#include "platform/gui/classes.h"

class TControl;
class TCustomImageList;

namespace ControlUtils {

// Dest becomes cell Index of a Cols x Rows strip of Source (a bitmap keeps
// its transparent colour; another picture is drawn on silver).
void CopyBitmapCell(const TGraphic& Source, TBitmap& Dest, int Cols, int Index, int Rows);
// Source drawn as disabled: every pixel that is not TransparentColor shows as
// a highlight shifted by (1, 1) under a shadow, on the button face colour.
std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& Source, TColor TransparentColor);
// Image Index of the list drawn the same way at (X, Y); without Emboss only
// the shadow is drawn.
void DrawDisabledImage(const TCustomImageList& Images, TCanvas& Canvas, int X, int Y, int Index, bool Emboss,
                       TColor ShadowColor, TColor HighlightColor);
// What shows behind a transparent control: its parent's painting and the
// graphic controls under it.
void PaintParentBackground(TControl& Control, TCanvas& Canvas);
// True while one of the program's windows is the active one.
bool ThreadOwnsActiveWindow();
// Takes one pending message Msg of the window out of the queue (a click
// still queued for a button whose menu has just closed).
void RemovePendingMessage(TControl& Window, UINT Msg);

// The hand (14000) and drag (14001) cursors in the screen's cursor table.
constexpr int crHand = 14000, crDragHand = 14001;
void RegisterCursors();

}  // namespace ControlUtils
