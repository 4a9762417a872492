// The shared pictures, palettes and cursors of the viewer.
#include <gtest/gtest.h>

#include "html/images/viewer_globals.h"
#include "platform/gui/application.h"

namespace {

TEST(ViewerGlobals, MadeByTheFirstUserAndFreedByTheLast) {
    {
        TViewerGlobalsUse a;
        ASSERT_NE(ErrorImage, nullptr);
        TBitmap* first = ErrorImage;
        {
            TViewerGlobalsUse b;
            EXPECT_EQ(ErrorImage, first);
        }
        ASSERT_EQ(ErrorImage, first);
        EXPECT_EQ(ScreenColorBits, 24);
        EXPECT_TRUE(ScreenPalette.empty());
        EXPECT_EQ(DelayedImage->Width(), 16);
        EXPECT_NE(DeferredImageStream, nullptr);
        // The error picture's surround is transparent, its page is not.
        EXPECT_EQ(ErrorImageMask->GetPixel(0, 15), clWhite);
        EXPECT_EQ(ErrorImageMask->GetPixel(5, 5), clBlack);
        EXPECT_EQ(ErrorImage->GetPixel(4, 4), clRed);
        EXPECT_EQ(Screen->Cursors.count(UpDownCursor), 1u);
        EXPECT_EQ(Screen->Cursors[HandCursor].Standard, crHandPoint);
    }
    EXPECT_EQ(ErrorImage, nullptr);
    EXPECT_EQ(DeferredImageStream, nullptr);
}

TEST(ViewerGlobals, ScreenPaletteLayout) {
    std::vector<TColor> p = CreateScreenPalette();
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[0], clBlack);
    EXPECT_EQ(p[9], RGB(166, 202, 240));
    EXPECT_EQ(p[255], clWhite);
    EXPECT_EQ(p[10], RGB(55, 55, 55));
    EXPECT_EQ(p[11], RGB(115, 55, 55));  // red varies fastest
    EXPECT_EQ(p[224], RGB(235, 255, 255));  // the cube without white
    EXPECT_EQ(p[225], RGB(135, 135, 135));
    EXPECT_EQ(p[230], RGB(160, 160, 160));  // 165 is left out
    EXPECT_EQ(p[245], RGB(255, 255, 254));
    EXPECT_TRUE(CopyPalette(p).empty());  // a 24-bit screen has no palette
}

}  // namespace
