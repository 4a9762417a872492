#include "html/images/viewer_globals.h"

#include "platform/gui/application.h"
#include "platform/gui/canvas.h"

uint8_t ScreenColorBits = 24;
std::vector<TColor> ScreenPalette;
TBitmap* DelayedImage = nullptr;
TBitmap* ErrorImage = nullptr;
TBitmap* ErrorImageMask = nullptr;
TMemoryStream* DeferredImageStream = nullptr;

namespace {

int gUsers = 0;

uint8_t BitsOfScreen(int bits) { return bits < 5 ? 4 : bits > 8 ? 24 : 8; }

// Pixel art: one character per pixel through a legend.
std::unique_ptr<TBitmap> Picture(const char* const* rows, int size, TColor (*legend)(char)) {
    auto bmp = std::make_unique<TBitmap>(size, size, TPixelFormat::pf24bit);
    for (int y = 0; y < size; ++y) {
        uint8_t* line = bmp->ScanLine(y);
        for (int x = 0; x < size; ++x) {
            const TColor c = legend(rows[y][x]);
            line[3 * x] = static_cast<uint8_t>(GetBValue(c));
            line[3 * x + 1] = static_cast<uint8_t>(GetGValue(c));
            line[3 * x + 2] = static_cast<uint8_t>(GetRValue(c));
        }
    }
    return bmp;
}

// A page with a red cross: the picture could not be shown. '.' is the
// transparent surround (the bottom-left pixel).
const char* const kError[16] = {
    "................",
    ".#############..",
    ".#wwwwwwwwwww#..",
    ".#wwwwwwwwwww#..",
    ".#wwRwwwwwRww#..",
    ".#wwwRwwwRwww#..",
    ".#wwwwRwRwwww#..",
    ".#wwwwwRwwwww#..",
    ".#wwwwRwRwwww#..",
    ".#wwwRwwwRwww#..",
    ".#wwRwwwwwRww#..",
    ".#wwwwwwwwwww#..",
    ".#wwwwwwwwwww#..",
    ".#############..",
    "................",
    "................",
};

// A small landscape in a frame: the picture is on its way.
const char* const kDelayed[16] = {
    "################",
    "#ssssssssssssss#",
    "#ssssssssssyyss#",
    "#sssssssssyyyys#",
    "#sssssssssyyyys#",
    "#ssssssssssyyss#",
    "#ssssssssssssss#",
    "#sssssgssssssss#",
    "#ssssgggsssssss#",
    "#sssgggggssssgs#",
    "#ssgggggggssggg#",
    "#sggggggggggggg#",
    "#gggggggggggggg#",
    "#gggggggggggggg#",
    "#gggggggggggggg#",
    "################",
};

TColor ErrorLegend(char c) {
    switch (c) {
        case '#': return clGray;
        case 'w': return clWhite;
        case 'R': return clRed;
        default: return clFuchsia;
    }
}

TColor DelayedLegend(char c) {
    switch (c) {
        case '#': return clGray;
        case 's': return RGB(166, 202, 240);
        case 'y': return clYellow;
        default: return RGB(0, 160, 0);
    }
}

// 32 x 32 arrows for the auto-scroll cursors: up, down or both from the centre.
HCURSOR ArrowCursor(bool up, bool down) {
    HCURSOR c;
    c.Width = c.Height = 32;
    c.HotX = c.HotY = 15;
    c.Pixels.assign(32 * 32, 0u);
    auto put = [&](int x, int y, uint32_t argb) {
        if (x >= 0 && y >= 0 && x < 32 && y < 32) c.Pixels[static_cast<size_t>(y) * 32 + x] = argb;
    };
    const uint32_t black = 0xFF000000u, white = 0xFFFFFFFFu;
    // A dot in the middle, triangles above and below.
    for (int y = 13; y <= 17; ++y)
        for (int x = 13; x <= 17; ++x) put(x, y, (x == 13 || x == 17 || y == 13 || y == 17) ? black : white);
    for (int i = 0; i < 7; ++i) {
        for (int x = 15 - i; x <= 15 + i; ++x) {
            const uint32_t v = (x == 15 - i || x == 15 + i || i == 6) ? black : white;
            if (up) put(x, 3 + i, v);
            if (down) put(x, 27 - i, v);
        }
    }
    return c;
}

}  // namespace

const std::vector<TColor>& DefaultPalette20() {
    static const std::vector<TColor> palette = {
        RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),   RGB(128, 128, 0), RGB(0, 0, 128),
        RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
        RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),
        RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
    };
    return palette;
}

std::vector<TColor> CreateScreenPalette() {
    // A palette screen's system palette: the static colours at both ends.
    std::vector<TColor> p(256, clBlack);
    const std::vector<TColor>& stock = DefaultPalette20();
    for (int i = 0; i < 10; ++i) {
        p[static_cast<size_t>(i)] = stock[static_cast<size_t>(i)];
        p[static_cast<size_t>(246 + i)] = stock[static_cast<size_t>(10 + i)];
    }
    static const int levels[6] = {55, 115, 165, 205, 235, 255};
    size_t n = 10;
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r) {
                if (r == 5 && g == 5 && b == 5) continue;  // white is a static colour
                p[n++] = RGB(levels[r], levels[g], levels[b]);
            }
    for (int i = 1; i <= 24; ++i) {
        if (i == 7 || i == 15 || i == 21) continue;
        const int v = i * 5 + 130;
        p[n++] = RGB(v, v, v);
    }
    p[245] = RGB(255, 255, 254);
    return p;
}

std::vector<TColor> CopyPalette(const std::vector<TColor>& palette) {
    if (ScreenColorBits > 8) return {};
    std::vector<TColor> copy(palette);
    copy.resize(256, clBlack);
    return copy;
}

void InitializeViewerGlobals() {
    if (gUsers++ > 0) return;
    ScreenColorBits = BitsOfScreen(ScreenColorDepth);
    ScreenPalette = ScreenColorBits == 8 ? CreateScreenPalette() : std::vector<TColor>();
    DelayedImage = Picture(kDelayed, 16, DelayedLegend).release();
    ErrorImage = Picture(kError, 16, ErrorLegend).release();
    ErrorImageMask = ErrorImage->CreateMask(ErrorImage->TransparentColor()).release();
    DeferredImageStream = new TMemoryStream();
    if (Screen) {
        HCURSOR hand;
        hand.Standard = crHandPoint;
        Screen->Cursors[HandCursor] = hand;
        Screen->Cursors[UpDownCursor] = ArrowCursor(true, true);
        Screen->Cursors[UpOnlyCursor] = ArrowCursor(true, false);
        Screen->Cursors[DownOnlyCursor] = ArrowCursor(false, true);
    }
}

void FinalizeViewerGlobals() {
    if (gUsers == 0 || --gUsers > 0) return;
    ScreenPalette.clear();
    delete DelayedImage;
    delete ErrorImage;
    delete ErrorImageMask;
    delete DeferredImageStream;
    DelayedImage = ErrorImage = ErrorImageMask = nullptr;
    DeferredImageStream = nullptr;
}
