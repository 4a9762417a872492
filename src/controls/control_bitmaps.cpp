#include "controls/control_bitmaps.h"

#include <algorithm>

#include "controls/glyph_list.h"
#include "platform/gui/application.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"

namespace ControlUtils {

namespace {

// Pixels of a monochrome mask that are black (the picture's own pixels).
std::vector<TPoint> InkOf(const TBitmap& mask) {
    std::vector<TPoint> ink;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x)
            if ((ColorToRGB(mask.GetPixel(x, y)) & 0xFFFFFF) == 0) ink.push_back(TPoint{x, y});
    return ink;
}

void Stamp(TCanvas& canvas, const std::vector<TPoint>& ink, int dx, int dy, TColor color) {
    const TColor rgb = ColorToRGB(color);
    for (const TPoint& p : ink) canvas.FillRect(TRect{p.X + dx, p.Y + dy, p.X + dx + 1, p.Y + dy + 1}, rgb);
}

// Stamp on a 24-bit bitmap's own rows: a glyph's ink is a few hundred
// pixels, and one canvas fill for each costs more than the rest of the
// button's first paint.
void Stamp(TBitmap& bitmap, const std::vector<TPoint>& ink, int dx, int dy, TColor color) {
    const TColor rgb = ColorToRGB(color);
    for (const TPoint& p : ink) {
        const int x = p.X + dx, y = p.Y + dy;
        if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) continue;
        uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;  // blue, green, red
        pixel[0] = uint8_t(GetBValue(rgb));
        pixel[1] = uint8_t(GetGValue(rgb));
        pixel[2] = uint8_t(GetRValue(rgb));
    }
}

}  // namespace

void CopyBitmapCell(const TGraphic& Source, TBitmap& Dest, int Cols, int Index, int Rows) {
    Cols = std::max(Cols, 1);
    Rows = std::max(Rows, 1);
    Index = std::max(Index, 0);
    const int w = Source.Width() / Cols, h = Source.Height() / Rows;
    Dest.SetSize(w, h);
    if (auto* bmp = dynamic_cast<const TBitmap*>(&Source)) {
        const int x = Index % Cols * w, y = Index / Cols * h;
        Dest.Canvas().CopyRect(TRect{0, 0, w, h}, const_cast<TBitmap*>(bmp)->Canvas(), TRect{x, y, x + w, y + h});
        Dest.SetTransparentColor(bmp->TransparentColor());
        Dest.SetTransparent(bmp->Transparent());
    } else {
        Dest.Canvas().FillRect(TRect{0, 0, w, h}, clSilver);
        const int x = Index % Cols * w, y = Index / Cols * h;
        Dest.Canvas().Draw(-x, -y, Source);
    }
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& Source, TColor TransparentColor) {
    const int w = Source.Width(), h = Source.Height();
    auto mask = Source.CreateMask(ColorToRGB(TransparentColor));
    auto result = std::make_unique<TBitmap>(w, h, TPixelFormat::pf24bit);
    result->Canvas().FillRect(TRect{0, 0, w, h}, ColorToRGB(clBtnFace));
    const std::vector<TPoint> ink = InkOf(*mask);
    Stamp(*result, ink, 1, 1, clBtnHighlight);
    Stamp(*result, ink, 0, 0, clBtnShadow);
    return result;
}

void DrawDisabledImage(const TCustomImageList& Images, TCanvas& Canvas, int X, int Y, int Index, bool Emboss,
                       TColor ShadowColor, TColor HighlightColor) {
    const TBitmap* mask = Images.Mask(Index);
    if (!mask) return;
    const std::vector<TPoint> ink = InkOf(*mask);
    if (Emboss) Stamp(Canvas, ink, X + 1, Y + 1, HighlightColor);
    Stamp(Canvas, ink, X, Y, ShadowColor);
}

void PaintParentBackground(TControl& Control, TCanvas& Canvas) { PaintBehind(Control, Canvas); }

bool ThreadOwnsActiveWindow() { return Screen && Screen->ActiveForm() != nullptr; }

void RemovePendingMessage(TControl& Window, UINT Msg) {
    if (Application) Application->RemovePendingMessage(&Window, Msg);
}

namespace {

// 16 x 16 two-colour pictures: '#' black, '.' white, anything else clear.
HCURSOR MakeCursor(const char* const rows[16], int hotX, int hotY) {
    HCURSOR c;
    c.Width = 16;
    c.Height = 16;
    c.HotX = hotX;
    c.HotY = hotY;
    c.Pixels.resize(256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            char ch = rows[y][x];
            c.Pixels[y * 16 + x] = ch == '#' ? 0xFF000000u : ch == '.' ? 0xFFFFFFFFu : 0u;
        }
    return c;
}

const char* const kHand[16] = {
    "     ##         ", "    #..#        ", "    #..#        ", "    #..#        ",
    "    #..###      ", "    #..#..###   ", " ## #..#..#..## ", "#..##.......#.#",
    "#...#..........#", " #.............#", "  #............#", "  #...........# ",
    "   #..........# ", "    #........#  ", "     #.......#  ", "     #########  ",
};
const char* const kDrag[16] = {
    "                ", "     ## ## ##   ", "    #..#..#..#  ", "    #..#..#..## ",
    "    #..#..#..#.#", " ## #.........#.#", "#..##..........#", "#...#..........#",
    " #.............#", "  #............#", "  #...........# ", "   #..........# ",
    "    #........#  ", "     #.......#  ", "     #########  ", "                ",
};

}  // namespace

void RegisterCursors() {
    if (!Screen) return;
    if (!Screen->Cursors.count(crHand)) Screen->Cursors[crHand] = MakeCursor(kHand, 5, 0);
    if (!Screen->Cursors.count(crDragHand)) Screen->Cursors[crDragHand] = MakeCursor(kDrag, 8, 8);
}

}  // namespace ControlUtils
