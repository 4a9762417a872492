// Values and sets that the cascade shares between elements instead of
// copying: property values, STYLE sets, box values and fonts. Sharing must
// never let one element's change reach another.
#include <gmock/gmock.h>

#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"
#include "html/reader/viewer_types.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"
#include "reader_fixture.h"

namespace {

TEST(SharedValues, CopiesOfATextValueLiveOnTheirOwn) {
    TPropValue a("12pt");
    TPropValue b = a;
    TPropValue c;
    c = b;
    a = 7;  // the first holder lets go
    EXPECT_TRUE(b.Is("12pt"));
    b.Clear();
    EXPECT_EQ(c.Text(), "12pt");
    c = c;  // NOLINT: assigning a value to itself keeps it
    EXPECT_EQ(c.Text(), "12pt");
    TPropValue moved = std::move(c);
    EXPECT_EQ(moved.Text(), "12pt");
    EXPECT_TRUE(c.IsEmpty());  // NOLINT: a moved-from value is empty
    // Kinds stay apart: texts read as "" and numbers as 0 elsewhere.
    EXPECT_EQ(a.Text(), "");
    EXPECT_EQ(moved.Int(), 0);
    EXPECT_DOUBLE_EQ(TPropValue(2.5).Real(), 2.5);
    EXPECT_DOUBLE_EQ(a.Real(), 7.0);
    // Equal texts made apart compare equal; a text never equals a number.
    EXPECT_EQ(TPropValue("auto"), TPropValue(std::string("auto")));
    EXPECT_FALSE(TPropValue("0") == TPropValue(0));
    EXPECT_FALSE(TPropValue(0) == TPropValue(0.0));
}

TEST(SharedValues, PropertySetsCopiedThroughTheCascadeStayApart) {
    TProperties parent;
    parent.AddPropertyByName("font-family", "Arial");
    parent.AddPropertyByName("text-align", "right");
    TProperties child;
    child.Inherit("p", parent);
    parent.AddPropertyByName("text-align", "center");
    EXPECT_TRUE(child.Props[piTextAlign].Is("right"));
    child.Assign(TPropValue("left"), piTextAlign);
    EXPECT_TRUE(parent.Props[piTextAlign].Is("center"));
    EXPECT_EQ(child.Props[piFontFamily].Text(), "Arial");
}

TEST(SharedValues, EqualStyleTextsShareOneReadOnlySet) {
    auto first = StyleAttributes("text-align:right"), second = StyleAttributes("text-align:right"),
         other = StyleAttributes("text-align:left");
    const TProperties* s1 = first->GetStyle();
    const TProperties* s2 = second->GetStyle();
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(s1, s2);
    EXPECT_TRUE(other->GetStyle()->Props[piTextAlign].Is("left"));

    // An element holds its style set after its attribute list is gone, and
    // the next element with the same text gets the same values.
    TStyleList styles;
    styles.Initialize("Times New Roman", "Courier New", 10, 5, 0, true, 0x0000FF, 0x800080, 0xFF0000, 0, 12);
    ParserPropStack.Clear();
    auto bottom = std::make_unique<TProperties>();
    bottom->CopyDefaultFont(*styles.DefProp);
    ParserPropStack.Add(std::move(bottom));
    TProperties p;
    p.Inherit("p", *ParserPropStack.Top());
    p.Combine(&styles, "p", "", "", "", "", first->GetStyle());
    first.reset();
    second.reset();
    ASSERT_NE(p.PropStyle, nullptr);
    EXPECT_TRUE(p.PropStyle->Props[piTextAlign].Is("right"));
    EXPECT_TRUE(p.Props[piTextAlign].Is("right"));
    // A set that is not shared (built by hand) is copied.
    TProperties own;
    own.AddPropertyByName("color", "red");
    TProperties q;
    q.Inherit("p", *ParserPropStack.Top());
    q.Combine(&styles, "p", "", "", "", "", &own);
    own.AddPropertyByName("color", "blue");
    EXPECT_EQ(q.PropStyle->Props[piColor].Int(), 0x0000FF);
    ParserPropStack.Clear();
}

TEST(SharedValues, BoxValuesAreCopiedOnTheFirstEdit) {
    TProperties p;
    p.AddPropertyByName("margin-left", "3px");
    TSharedBoxValues a, b;
    p.GetBorderStyles(a.Edit());
    a.Share();
    p.GetBorderStyles(b.Edit());
    b.Share();
    EXPECT_EQ(&static_cast<const MargArrayO&>(a), &static_cast<const MargArrayO&>(b));
    b.Edit()[piMarginLeft] = 16;
    EXPECT_TRUE(a[piMarginLeft].Is("3px"));
    EXPECT_TRUE(b[piMarginLeft].Is(16));
    TSharedBoxValues fresh;
    EXPECT_TRUE(fresh[piWidth].IsEmpty());
    fresh.Edit()[piWidth] = "50%";
    EXPECT_TRUE(TSharedBoxValues()[piWidth].IsEmpty());
}

TEST(SharedValues, FilledBoxValuesAndConvertedBoxesShareEqualSets) {
    MargArrayO filled;
    filled[piMarginLeft] = "2em";
    TSharedBoxValues a, b, other;
    a.Assign(filled);
    b.Assign(filled);
    EXPECT_EQ(&static_cast<const MargArrayO&>(a), &static_cast<const MargArrayO&>(b));
    filled[piMarginLeft] = "3em";
    other.Assign(filled);
    EXPECT_TRUE(a[piMarginLeft].Is("2em"));
    EXPECT_TRUE(other[piMarginLeft].Is("3em"));
    b.Edit()[piMarginLeft] = 5;  // an edit copies the shared set first
    EXPECT_TRUE(a[piMarginLeft].Is("2em"));

    MargArray m{};
    m[piPaddingTop] = 3;
    TSharedMargArray x, y, z, zeros;
    x.Assign(m);
    y.Assign(m);
    EXPECT_EQ(&static_cast<const MargArray&>(x), &static_cast<const MargArray&>(y));
    m[piPaddingTop] = 4;
    z.Assign(m);
    EXPECT_EQ(x[piPaddingTop], 3);
    EXPECT_EQ(z[piPaddingTop], 4);
    EXPECT_EQ(zeros[piPaddingTop], 0);
}

// Boxes converted lately are remembered: converting again answers as
// converting afresh, for every size and em the values depend on.
TEST(SharedValues, ConvertingABoxAgainAnswersAsConvertingItAfresh) {
    auto box = [] {
        MargArrayO o;
        o[piMarginLeft] = "2em";
        o[piPaddingLeft] = "10%";
        o[piWidth] = "50%";
        o[piMarginRight] = "auto";
        return o;
    };
    auto convert = [](const MargArrayO& o, int base, int em, int keep) {
        MargArray m{};
        m[11] = m[13] = keep;  // the vertical margins pass through
        int autoCount = -1;
        ConvMargArray(o, base, 300, em, em / 2, autoCount, m);
        m[0] = autoCount;
        return m;
    };
    const MargArrayO a = box();
    const MargArray first = convert(a, 200, 16, 0);
    EXPECT_EQ(first[piMarginLeft], 32);
    EXPECT_EQ(first[piPaddingLeft], 20);
    EXPECT_EQ(first[piWidth], 100);
    EXPECT_EQ(first[0], 1);
    const MargArray wider = convert(a, 400, 16, 0);
    EXPECT_EQ(wider[piPaddingLeft], 40);
    EXPECT_EQ(wider[piWidth], 200);
    EXPECT_EQ(convert(a, 200, 20, 0)[piMarginLeft], 40);
    // Equal values made apart, and other pass-through margins.
    const MargArray again = convert(box(), 200, 16, 7);
    EXPECT_EQ(again[11], 7);
    EXPECT_EQ(again[13], 7);
    for (int i = MargLow; i <= MargHigh; ++i)
        if (i != 11 && i != 13) {
            EXPECT_EQ(again[static_cast<size_t>(i)], first[static_cast<size_t>(i)]) << i;
        }
    MargArrayO other = box();
    other[piMarginLeft] = "3em";
    EXPECT_EQ(convert(other, 200, 16, 0)[piMarginLeft], 48);
}

// Fonts of the same look are made once; what a font is made from changes
// the font.
TEST(SharedValues, FontsOfTheSameLookAreShared) {
    TFixedFontService fixed;
    TFontService* old = SetFontService(&fixed);
    auto props = [](const char* size, const char* weight) {
        auto p = std::make_unique<TProperties>();
        p->DefFontname = "Times New Roman";
        p->Props.Edit(piFontFamily) = "Arial";
        p->Props.Edit(piFontSize) = size;
        p->Props.Edit(piFontWeight) = weight;
        p->Props.Edit(piColor) = 0x112233;
        return p;
    };
    auto a = props("12pt", "normal"), b = props("12pt", "normal");
    std::unique_ptr<TMyFont> fa = a->GetFont(), fb = b->GetFont();
    EXPECT_TRUE(*fa == *fb);
    EXPECT_EQ(fa->tmHeight, fb->tmHeight);
    EXPECT_EQ(a->EmSize, 16);
    EXPECT_EQ(b->EmSize, 16);
    EXPECT_EQ(b->ExSize, 8);
    // Each caller owns its copy.
    fa->SetColor(0);
    EXPECT_EQ(b->GetFont()->Color(), 0x112233);
    EXPECT_EQ(props("24pt", "normal")->GetFont()->Height(), -32);
    EXPECT_TRUE(props("12pt", "bold")->GetFont()->Style() & fsBold);

    // Another font service or another idea of what is installed makes them
    // again.
    TFixedFontService other;
    SetFontService(&other);
    EXPECT_EQ(props("12pt", "normal")->GetFont()->tmHeight, fb->tmHeight);
    SetFontInstalledCheck([](const std::string& face) { return face != "Arial"; });
    EXPECT_EQ(props("12pt", "normal")->GetFont()->Name(), "Times New Roman");
    SetFontInstalledCheck(nullptr);
    EXPECT_EQ(props("12pt", "normal")->GetFont()->Name(), "Arial");
    SetFontService(old);
}

// Fitting measures only as much of a long text as the width can hold, with
// the answer of measuring all of it.
TEST(SharedValues, FittingALongTextAnswersAsMeasuringAllOfIt) {
    TFixedFontService fixed;
    TFontService* old = SetFontService(&fixed);
    TCanvas canvas;
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-16);
    canvas.SetFont(font);
    std::u16string text(5000, u'x');
    text[3000] = u' ';
    for (int width : {0, 7, 8, 2047, 2048, 8 * 300, 8 * 3000 + 3, 8 * 4999 + 4, 1000000}) {
        int all = 0;
        std::vector<int> dx(text.size());
        TSize whole;
        canvas.GetTextExtentExPointW(text.data(), static_cast<int>(text.size()), width, &all, dx.data(), whole);
        TSize ext;
        const int fit = FitText(canvas, text.data(), static_cast<int>(text.size()), width, ext);
        EXPECT_EQ(fit, all) << width;
        EXPECT_EQ(ext.cx, all > 0 ? dx[static_cast<size_t>(all - 1)] : 0) << width;
        EXPECT_EQ(ext.cy, whole.cy);
    }
    SetFontService(old);
}

}  // namespace
