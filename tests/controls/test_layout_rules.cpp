// Layout arithmetic of buttons and drop-downs, and the small string routines,
// measured with fixed metrics: 6 pixels a character, 13 a line.
#include <gtest/gtest.h>

#include "controls/glyph_layout.h"
#include "controls/max_min.h"
#include "controls/popup_placement.h"
#include "controls/str_utils.h"

namespace {

class FixedMeasure : public TTextMeasure {
public:
    int TextWidth(const std::string& text) override { return 6 * int(text.size()); }
    TSize TextBox(const std::string& text, int, bool) override {
        int lines = 1, longest = 0, current = 0;
        for (char c : text) {
            if (c == '\n') {
                ++lines;
                current = 0;
            } else if (c != '\r') {
                longest = std::max(longest, ++current);
            }
        }
        return TSize{6 * longest, 13 * lines};
    }
};

TEST(StringRoutines, EdgeCases) {
    using namespace StrUtils;
    EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");  // the replacement is not rescanned
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("1.2.3", ".", ""), "123");
    EXPECT_TRUE(AllCharsInSet("", CharSet("/ ")));
    EXPECT_TRUE(AllCharsInSet("  /  /    ", CharSet(std::string("/ \0", 3))));
    EXPECT_FALSE(AllCharsInSet("  /1 /    ", CharSet("/ ")));
    EXPECT_EQ(TrimBlanks(" \t x \t "), "\t x \t");  // blanks only, not tabs
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(StripChar("1.234.567", '.'), "1234567");
    EXPECT_EQ(RepeatChar('#', 3), "###");
    EXPECT_EQ(RepeatChar('#', 0), "");
    EXPECT_EQ(RepeatChar('#', -2), "");
    EXPECT_EQ(MaxMin::Max(3, -4), 3);
    EXPECT_EQ(MaxMin::Min(3, -4), -4);
}

TEST(TextFitting, ShortensFromTheEnd) {
    FixedMeasure m;
    EXPECT_EQ(ControlUtils::FitTextToWidth("abcdef", m, 36), "abcdef");
    EXPECT_EQ(ControlUtils::FitTextToWidth("abcdefgh", m, 36), "abc...");
    EXPECT_EQ(ControlUtils::FitTextToWidth("abcdefgh", m, 5), "...");  // never fits
    EXPECT_EQ(ControlUtils::FitTextToWidth("", m, 0), "");
    // Each line is fitted on its own; trailing blanks go.
    EXPECT_EQ(RXCtrls::FitCaption("abcdefgh\r\nab  ", m, 36, false), "abc...\r\nab");
    EXPECT_EQ(RXCtrls::FitCaption("abcdefgh", m, 36, true), "abcdefgh");
    EXPECT_EQ(RXCtrls::FitCaption(std::string(300, 'x'), m, 10000, false).size(), 255u);
}

TEST(GlyphStrip, ImageCount) {
    EXPECT_EQ(RXCtrls::NumGlyphsForStrip(28, 14, 1), 2);
    EXPECT_EQ(RXCtrls::NumGlyphsForStrip(84, 13, 3), 3);  // 84 is no multiple of 13
    EXPECT_EQ(RXCtrls::NumGlyphsForStrip(70, 10, 2), 1);  // seven images are too many
    EXPECT_EQ(RXCtrls::NumGlyphsForStrip(0, 0, 4), 4);
    EXPECT_EQ(RXCtrls::ClampNumGlyphs(9), 5);
    EXPECT_EQ(RXCtrls::ClampNumGlyphs(0), 1);
    EXPECT_EQ(RXCtrls::GrayLevel(255, 255, 255), 255);
    EXPECT_EQ(RXCtrls::GrayLevel(255, 0, 0), 76);
}

TEST(GlyphLayout, PlacesGlyphAndCaption) {
    FixedMeasure m;
    using RXCtrls::CalcLayout;
    // No caption: the spacing counts as 0 and the glyph is centred.
    auto l = CalcLayout(Rect(0, 0, 25, 25), Point(0, 0), blGlyphTop, -1, 1, TSize{14, 12}, "", false, false, m);
    EXPECT_EQ(l.GlyphPos, Point(5, 6));
    EXPECT_EQ(l.TextBounds.Width(), 0);

    // Glyph left of "OK", centred as a block, then moved by client and offset.
    l = CalcLayout(Rect(0, 0, 75, 25), Point(0, 0), blGlyphLeft, -1, 1, TSize{16, 16}, "OK", false, false, m);
    EXPECT_EQ(l.GlyphPos, Point(23, 4));
    EXPECT_EQ(l.TextBounds, Rect(40, 6, 52, 19));
    l = CalcLayout(Rect(2, 2, 77, 27), Point(1, 1), blGlyphLeft, -1, 1, TSize{16, 16}, "OK", false, false, m);
    EXPECT_EQ(l.GlyphPos, Point(26, 7));

    // Glyph right with a fixed margin; the spacing fills half of what is left.
    l = CalcLayout(Rect(0, 0, 75, 25), Point(0, 0), blGlyphRight, 4, -1, TSize{16, 16}, "OK", false, false, m);
    EXPECT_EQ(l.GlyphPos.X, 75 - 4 - 16);
    EXPECT_EQ(l.TextBounds.Right, 55 - ((75 - 20) / 2 - 6));

    // Margin and spacing automatic: three equal gaps.
    l = CalcLayout(Rect(0, 0, 60, 40), Point(0, 0), blGlyphBottom, -1, -1, TSize{10, 10}, "ab", false, false, m);
    EXPECT_EQ(l.GlyphPos.Y, 40 - 5 - 10);
    EXPECT_EQ(l.TextBounds.Top, 40 - 5 - 10 - 5 - 13);

    // A caption too wide for the button is shortened with "...".
    l = CalcLayout(Rect(0, 0, 40, 25), Point(0, 0), blGlyphTop, -1, 1, TSize{0, 0}, "Calcular", false, false, m);
    EXPECT_EQ(l.Caption, "Cal...");
    EXPECT_LE(l.TextBounds.Width(), 40);

    // The drop-down mark widens the text of a glyph-less button by 9 pixels.
    l = CalcLayout(Rect(0, 0, 60, 25), Point(0, 0), blGlyphTop, -1, 1, TSize{0, 0}, "ab", false, true, m);
    EXPECT_EQ(l.TextBounds.Width(), 12 + 9);
}

TEST(SmallBitmaps, ArrowAndEllipsis) {
    auto row = RXCtrls::DropDownArrowRow(10, 20, 3);
    EXPECT_EQ(row.Right - row.Left, 1);
    EXPECT_EQ(row.Left, 13);
    EXPECT_EQ(RXCtrls::DropDownArrowRow(10, 20, 0).Right - 10, 7);
    EXPECT_EQ(RXCtrls::EllipsisGlyphWidth(21), 15);
    EXPECT_EQ(RXCtrls::EllipsisGlyphWidth(3), 1);
    int x[3];
    RXCtrls::EllipsisDots(15, x);
    EXPECT_EQ(x[0], 1);
    EXPECT_EQ(x[1], 6);
    EXPECT_EQ(x[2], 11);
    RXCtrls::EllipsisDots(10, x);  // a narrow button: gaps shrink
    EXPECT_EQ(x[1] - x[0], 2 + 2);
}

TEST(PopupPlacement, StaysOnTheScreen) {
    const TSize screen{800, 600};
    using ToolEdit::PopupOrigin;
    // Right edges lined up, unless that would leave the screen on the left.
    EXPECT_EQ(PopupOrigin(Point(10, 100), TSize{121, 21}, TSize{180, 124}, screen, epaRight), Point(10, 121));
    EXPECT_EQ(PopupOrigin(Point(300, 100), TSize{121, 21}, TSize{180, 124}, screen, epaRight), Point(241, 121));
    // Near the bottom it opens above the edit.
    EXPECT_EQ(PopupOrigin(Point(300, 500), TSize{121, 21}, TSize{180, 124}, screen, epaRight), Point(241, 376));
    // Left-aligned: shifted only when it would pass the right edge, then clamped.
    EXPECT_EQ(PopupOrigin(Point(100, 0), TSize{121, 21}, TSize{180, 124}, screen, epaLeft), Point(100, 21));
    EXPECT_EQ(PopupOrigin(Point(700, 0), TSize{121, 21}, TSize{180, 124}, screen, epaLeft), Point(620, 21));
    EXPECT_EQ(PopupOrigin(Point(-50, 0), TSize{121, 21}, TSize{180, 124}, screen, epaLeft), Point(0, 21));
}

}  // namespace
