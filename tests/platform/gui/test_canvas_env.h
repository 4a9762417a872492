#pragma once
// Shared helpers of the canvas tests: a Qt application when the test program has
// none yet, and pixel counting on bitmaps.
#include <QApplication>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"

namespace canvas_test {

inline void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureApplication(); }
};

// Pixels of the rectangle whose colour is not `background`.
inline int CountInk(const TBitmap& bmp, const TRect& r, TColor background = clWhite) {
    int n = 0;
    for (int y = std::max(0, r.Top); y < std::min(bmp.Height(), r.Bottom); ++y)
        for (int x = std::max(0, r.Left); x < std::min(bmp.Width(), r.Right); ++x)
            if (bmp.GetPixel(x, y) != background) ++n;
    return n;
}

// Bounding box of the pixels that differ from `background` (empty when none).
inline TRect InkBox(const TBitmap& bmp, TColor background = clWhite) {
    TRect box{bmp.Width(), bmp.Height(), -1, -1};
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.GetPixel(x, y) != background) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    if (box.Right < 0) return TRect{};
    return box;
}

inline std::unique_ptr<TBitmap> WhiteBitmap(int w, int h, TPixelFormat f = TPixelFormat::pf24bit) {
    auto b = std::make_unique<TBitmap>(w, h, f);
    b->Canvas().FillRect(TRect{0, 0, w, h}, clWhite);
    return b;
}

}  // namespace canvas_test
