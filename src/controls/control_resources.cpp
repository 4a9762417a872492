#include "controls/control_resources.h"

namespace ControlResources {

namespace {

// Rows of a 14 x 12 picture: 'k' dark, 'w' white, 'r' red, 'g' grey, '.' clear.
TColor ColorOf(char c) {
    switch (c) {
        case 'k': return clBlack;
        case 'w': return clWhite;
        case 'r': return clMaroon;
        case 'g': return clGray;
        default: return clFuchsia;
    }
}

TBitmap TwoStateGlyph(const char* const rows[12]) {
    TBitmap b(28, 12, TPixelFormat::pf24bit);
    TCanvas& c = b.Canvas();
    c.FillRect(TRect{0, 0, 28, 12}, clFuchsia);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
            const char ch = rows[y][x];
            if (ch == '.' || ch == 0) continue;
            c.FillRect(TRect{x, y, x + 1, y + 1}, ColorOf(ch));
            // The disabled image: the drawing's outline embossed in grey and white.
            if (ch == 'k' || ch == 'r') {
                c.FillRect(TRect{14 + x + 1, y + 1, 14 + x + 2, y + 2}, clWhite);
            }
        }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x)
            if (rows[y][x] == 'k' || rows[y][x] == 'r') c.FillRect(TRect{14 + x, y, 14 + x + 1, y + 1}, clGray);
    b.SetTransparentColor(clFuchsia);
    return b;
}

const char* const kCalendar[12] = {
    "..............", ".kkkkkkkkkkk..", ".krrrrrrrrrk..", ".kkkkkkkkkkk..",
    ".kwwwwwwwwwk..", ".kwkwkwkwkwk..", ".kwwwwwwwwwk..", ".kwkwkwkwkwk..",
    ".kwwwwwwwwwk..", ".kwkwkwkwkwk..", ".kkkkkkkkkkk..", "..............",
};
const char* const kCalculator[12] = {
    "..kkkkkkkkk...", "..kgggggggk...", "..kgwwwwwgk...", "..kgggggggk...",
    "..kgkgkgkgk...", "..kgggggggk...", "..kgkgkgkgk...", "..kgggggggk...",
    "..kgkgkgkgk...", "..kgggggggk...", "..kkkkkkkkk...", "..............",
};

}  // namespace

const TBitmap& DateEditGlyph() {
    static const TBitmap glyph = TwoStateGlyph(kCalendar);
    return glyph;
}

const TBitmap& CalcEditGlyph() {
    static const TBitmap glyph = TwoStateGlyph(kCalculator);
    return glyph;
}

}  // namespace ControlResources
