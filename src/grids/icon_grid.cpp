#include "grids/icon_grid.h"

#include "platform/gui/bitmap.h"

TIconGrid::TIconGrid(TComponent* AOwner) : TStringAlignGrid(AOwner) {
    // The base constructor ran the base Init: only the record class differs.
    CellPropertiesClass = NewCellPropertiesIcon;
}

void TIconGrid::Init() {
    TStringAlignGrid::Init();
    CellPropertiesClass = NewCellPropertiesIcon;
}

void TIconGrid::DrawCellBackground(int col, int row, TRect& rect, TGridDrawState state) {
    TStringAlignGrid::DrawCellBackground(col, row, rect, state);
    const auto* p = dynamic_cast<const TCellPropertiesIcon*>(CellProperties(col, row));
    if (!p || !p->Icon() || p->Icon()->Empty()) return;
    if (Canvas().Attached()) DrawIcon(Canvas(), rect.Left, rect.Top, *p->Icon());
    rect.Left += p->Icon()->Width();
}

void DrawIcon(TCanvas& canvas, int x, int y, const TIcon& icon) {
    const TIconImage* img = icon.Image();
    if (!img) return;
    const int w = img->Width, h = img->Height;
    TBitmap image(w, h, TPixelFormat::pf24bit), mask(w, h, TPixelFormat::pf24bit);
    const bool alpha = img->HasAlpha();
    const TColor under = ColorToRGB(canvas.Brush().Color());
    const uint32_t ur = GetRValue(under), ug = GetGValue(under), ub = GetBValue(under);
    for (int row = 0; row < h; ++row) {
        uint8_t* out = image.ScanLine(row);
        uint8_t* m = mask.ScanLine(row);
        for (int col = 0; col < w; ++col) {
            const size_t i = static_cast<size_t>(row) * w + col;
            const uint32_t c = img->Colors[i];
            uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            bool clear = img->Mask[i] != 0;
            if (alpha) {
                const uint32_t a = c >> 24;
                clear = a == 0;
                r = (r * a + ur * (255 - a) + 127) / 255;
                g = (g * a + ug * (255 - a) + 127) / 255;
                b = (b * a + ub * (255 - a) + 127) / 255;
            }
            out[3 * col] = static_cast<uint8_t>(b);
            out[3 * col + 1] = static_cast<uint8_t>(g);
            out[3 * col + 2] = static_cast<uint8_t>(r);
            const uint8_t v = clear ? 0xFF : 0x00;  // white leaves the canvas
            m[3 * col] = m[3 * col + 1] = m[3 * col + 2] = v;
        }
    }
    canvas.DrawMasked(TRect{x, y, x + w, y + h}, image, TRect{0, 0, w, h}, mask);
}
