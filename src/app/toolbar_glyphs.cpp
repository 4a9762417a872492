#include "app/toolbar_glyphs.h"

#include <vector>

#include "platform/gui/canvas.h"

namespace {

constexpr int kSize = 24;
const TColor kOutline = RGB(64, 64, 64);
const TColor kPaper = clWhite;
const TColor kBlue = RGB(30, 90, 170);
const TColor kYellow = RGB(240, 200, 80);
const TColor kGreen = RGB(40, 140, 60);

void Fill(TCanvas& c, TColor pen, TColor brush) {
    c.Pen().SetColor(pen);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(brush);
}

void Shape(TCanvas& c, std::vector<TPoint> points, TColor pen, TColor brush) {
    Fill(c, pen, brush);
    c.Polygon(points);
}

void Line(TCanvas& c, int x1, int y1, int x2, int y2, TColor color, int width = 1) {
    c.Pen().SetColor(color);
    c.Pen().SetWidth(width);
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
    c.Pen().SetWidth(1);
}

// A sheet with its top right corner folded and a few lines of text.
void Page(TCanvas& c, int left, int top) {
    Shape(c, {{left, top}, {left + 10, top}, {left + 15, top + 5}, {left + 15, top + 19}, {left, top + 19}},
          kOutline, kPaper);
    Line(c, left + 10, top, left + 10, top + 5, kOutline);
    Line(c, left + 10, top + 5, left + 15, top + 5, kOutline);
    for (int y = top + 8; y <= top + 16; y += 3) Line(c, left + 3, y, left + 12, y, RGB(150, 150, 150));
}

void Arrow(TCanvas& c, int x, int y, TColor color) {
    Shape(c, {{x, y - 3}, {x + 6, y - 3}, {x + 6, y - 7}, {x + 12, y}, {x + 6, y + 7}, {x + 6, y + 3}, {x, y + 3}},
          color, color);
}

}  // namespace

TBitmap ToolbarGlyph(TToolbarGlyph kind) {
    TBitmap bitmap(kSize, kSize, TPixelFormat::pf24bit);
    TCanvas& c = bitmap.Canvas();
    c.FillRect(TRect{0, 0, kSize, kSize}, clFuchsia);
    switch (kind) {
        case TToolbarGlyph::Novo:
            Page(c, 4, 2);
            Fill(c, RGB(200, 150, 0), kYellow);
            c.Ellipse(14, 14, 22, 22);
            break;
        case TToolbarGlyph::Editar:
            Page(c, 2, 2);
            Shape(c, {{21, 6}, {23, 8}, {12, 19}, {9, 20}, {10, 17}}, kOutline, kYellow);
            break;
        case TToolbarGlyph::Backup:
            Page(c, 2, 2);
            c.Pen().SetWidth(2);
            c.Pen().SetColor(kBlue);
            c.Arc(10, 10, 22, 22, 22, 16, 16, 10);
            c.Pen().SetWidth(1);
            Shape(c, {{12, 8}, {18, 11}, {13, 15}}, kBlue, kBlue);
            break;
        case TToolbarGlyph::Abrir:
            Shape(c, {{2, 6}, {8, 6}, {10, 8}, {19, 8}, {19, 20}, {2, 20}}, RGB(150, 110, 20), RGB(220, 170, 50));
            Shape(c, {{5, 11}, {23, 11}, {19, 20}, {2, 20}}, RGB(150, 110, 20), kYellow);
            break;
        case TToolbarGlyph::Salvar:
            Fill(c, RGB(20, 50, 100), kBlue);
            c.Rectangle(3, 3, 21, 21);
            Fill(c, kOutline, kPaper);
            c.Rectangle(6, 3, 18, 11);
            Fill(c, RGB(20, 50, 100), RGB(190, 190, 190));
            c.Rectangle(7, 14, 17, 21);
            c.FillRect(TRect{14, 4, 16, 9}, kBlue);
            break;
        case TToolbarGlyph::Impressao:
            Fill(c, kOutline, kPaper);
            c.Rectangle(6, 2, 18, 10);
            Fill(c, kOutline, RGB(170, 170, 170));
            c.Rectangle(2, 9, 22, 18);
            Fill(c, kOutline, kPaper);
            c.Rectangle(6, 15, 18, 22);
            c.FillRect(TRect{18, 11, 20, 13}, kGreen);
            break;
        case TToolbarGlyph::Sair:
            Fill(c, RGB(90, 50, 20), RGB(160, 100, 50));
            c.Rectangle(3, 2, 13, 22);
            c.FillRect(TRect{10, 11, 12, 13}, kYellow);
            Arrow(c, 11, 12, kGreen);
            break;
    }
    return bitmap;
}
