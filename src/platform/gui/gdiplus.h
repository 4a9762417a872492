#pragma once
// What the viewer's GDI+ pictures need of the platform: pixels with alpha
// (0xAARRGGBB, not premultiplied, rows top-down) blended over any canvas
// (screen, bitmap, printer, metafile), a part of the picture stretched into a
// rectangle of the canvas's logical coordinates. No Qt in this header.
#include <cstdint>

#include "platform/gui/canvas.h"

// Draws part `src` of the picture into `dest`; `smooth` filters the
// stretching. A canvas without a device draws nothing.
void GdipDrawArgb(TCanvas& canvas, const TRect& dest, const uint32_t* pixels, int width, int height,
                  const TRect& src, bool smooth = true);
