#pragma once
// Facts and objects every part of the viewer's picture handling shares: the
// screen's colour depth and palette, the small pictures shown for an image that
// is still coming or cannot be shown, the stream that marks a deferred image
// request, and the viewer's cursors. InitializeViewerGlobals makes them (the
// first call of several) and FinalizeViewerGlobals frees them (the last).
#include <cstdint>
#include <vector>

#include "html/images/streams.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/classes.h"

// Bits per pixel of the screen: 4, 8 or 24 (24 on this platform; tests set others).
extern uint8_t ScreenColorBits;
// The screen's palette: empty unless ScreenColorBits is 8.
extern std::vector<TColor> ScreenPalette;

// 16 x 16 pictures: a picture that is still coming, one that cannot be shown
// and the latter's mask (white = transparent); null outside Initialize/Finalize.
extern TBitmap* DelayedImage;
extern TBitmap* ErrorImage;
extern TBitmap* ErrorImageMask;
// An image request answered with this stream will be completed later.
extern TMemoryStream* DeferredImageStream;

// The viewer's cursors, registered in Screen->Cursors.
constexpr TCursor HandCursor = 10101, UpDownCursor = 10103, UpOnlyCursor = 10104, DownOnlyCursor = 10105;

void InitializeViewerGlobals();
void FinalizeViewerGlobals();
// Holds the globals for its lifetime.
class TViewerGlobalsUse {
public:
    TViewerGlobalsUse() { InitializeViewerGlobals(); }
    ~TViewerGlobalsUse() { FinalizeViewerGlobals(); }
    TViewerGlobalsUse(const TViewerGlobalsUse&) = delete;
    TViewerGlobalsUse& operator=(const TViewerGlobalsUse&) = delete;
};

// The 20 colours of the system's default palette (first and last ten of a
// palette screen's static colours).
const std::vector<TColor>& DefaultPalette20();
// The palette of an 8-bit screen: the 20 static colours around a cube of six
// levels (55 .. 255) and a ramp of greys.
std::vector<TColor> CreateScreenPalette();
// A 256-entry copy of a palette; empty when the screen has more than 8 bits.
std::vector<TColor> CopyPalette(const std::vector<TColor>& palette);
