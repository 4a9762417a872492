// A paragraph's text is measured once and its widths kept: they must follow
// whatever changes a measurement (the font service, a link's hover font,
// justification on the canvas), and fitting or breaking a line with them must
// give the lines the character-by-character walk gives.
#include "html/parser/parser_fixture.h"
#include "layout_fixture.h"

namespace layout_test {
namespace {

TEST_F(LayoutTest, TextIsMeasuredAgainForAnotherFontServiceOrResolution) {
    TSection* s = Para("abc de");  // "abc de " once finished
    Layout(400);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, true), 5 * 8 + 4);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, false), 5 * 8 + 2 * 4);
    SetFontService(nullptr);  // the installed fonts
    s->Fonts[0]->TheFont->AssignToCanvas(canvas);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, true), canvas.TextWidth(std::u16string(u"abc de")));
    SetFontService(&fonts_);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, true), 5 * 8 + 4);
    // A printer's canvas keeps sizes in points: twice the pixels a character.
    TCanvas printer;
    printer.Font().SetPixelsPerInch(192);
    EXPECT_EQ(s->TextWidth(printer, 0, s->Len, true), 5 * 16 + 8);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, true), 5 * 8 + 4);
}

TEST_F(LayoutTest, JustifiedMeasuringSpreadsTheExtraAndLeavesThePlainWidth) {
    TSection* s = Para("a b c");  // "a b c ": three spaces
    Layout(400);
    const int plain = s->TextWidth(canvas, 0, s->Len, false);
    EXPECT_EQ(plain, 3 * 8 + 3 * 4);
    canvas.SetTextJustification(9, 3);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, false), plain + 9);
    canvas.SetTextJustification(0, 0);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, false), plain);
}

// "ab cd " is 40 pixels wide, 36 without its closing space.
TEST_F(LayoutTest, AOneLineParagraphFitsAsTheWalkFitsIt) {
    const std::pair<int, std::vector<std::string>> cases[] = {
        {41, {"ab cd "}}, {40, {"ab cd "}}, {39, {"ab cd "}}, {36, {"ab cd "}},
        {35, {"ab ", "cd "}}, {20, {"ab ", "cd "}}, {12, {"ab ", "cd "}},
    };
    std::vector<TSection*> paragraphs;
    for (const auto& c : cases) {
        TBlock* b = Block("div", "width: " + std::to_string(c.first) + "px");
        paragraphs.push_back(Para("ab cd", b->MyCell.get()));
    }
    int mn = 0, mx = 0;
    paragraphs[0]->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 16);
    EXPECT_EQ(mx, 36);
    Layout(400);
    for (size_t i = 0; i < paragraphs.size(); ++i) EXPECT_EQ(LineTexts(*paragraphs[i]), cases[i].second) << cases[i].first;
}

TEST_F(LayoutTest, TextOfTwoRunsMeasuresEachRunWithItsOverhang) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, true);
    AddText(s, "ab");
    s->ChangeFont(Push("i"));
    AddText(s, "cd");
    Pop();
    cell->Add(s, 0);
    Layout(400);
    // The italic run adds its overhang, a tenth of its 20 pixel height, once.
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, true), 4 * 8 + 2);
    EXPECT_EQ(s->TextWidth(canvas, 0, s->Len, false), 4 * 8 + 4 + 2);
    EXPECT_EQ(s->TextWidth(canvas, 2, 2, false), 2 * 8 + 2);
    EXPECT_THAT(LineTexts(*s), ::testing::ElementsAre("abcd "));
}

// Paragraphs of a table share box values: their conversions must still
// follow each one's em size and the width laid out against.
TEST_F(LayoutTest, SharedBoxValuesConvertForEachEmSizeAndWidth) {
    const std::string box = "margin-left: 2em; padding-left: 10%";
    auto paragraph = [&](TBlock* in, int em) {
        TBlock* p = Block("p", box, in->MyCell.get());
        p->EmSize = em;
        p->ExSize = em / 2;
        Para("x", p->MyCell.get());
        return p;
    };
    TBlock* narrow = Block("div", "width: 200px");
    TBlock* a = paragraph(narrow, 12);
    TBlock* wide = Block("div", "width: 400px");
    TBlock* b = paragraph(wide, 24);
    TBlock* c = paragraph(wide, 12);
    Layout(600);
    EXPECT_EQ(a->MargArray[piMarginLeft], 2 * 12);
    EXPECT_EQ(b->MargArray[piMarginLeft], 2 * 24);
    EXPECT_EQ(c->MargArray[piMarginLeft], 2 * 12);
    EXPECT_EQ(a->MargArray[piPaddingLeft], 20);
    EXPECT_EQ(b->MargArray[piPaddingLeft], 40);
    EXPECT_EQ(c->MargArray[piPaddingLeft], 40);
}

}  // namespace

class LinkMeasureTest : public ParserTest {};

TEST_F(LinkMeasureTest, ALinkIsMeasuredInTheFontItShowsNow) {
    Parse("<style>a:hover { font-weight: bold }</style><a href=\"x.htm\">link</a>");
    Layout(400);
    ASSERT_FALSE(list_->LinkList.empty());
    TFontObj* run = list_->LinkList[0];
    TSection* s = run->Section;
    const int plain = s->TextWidth(canvas_, 0, s->Len, true);
    EXPECT_EQ(plain, 4 * 8);
    run->SetHover(true);
    EXPECT_EQ(s->TextWidth(canvas_, 0, s->Len, true), 4 * 9);  // bold adds a pixel a character
    run->SetHover(false);
    EXPECT_EQ(s->TextWidth(canvas_, 0, s->Len, true), plain);
}

}  // namespace layout_test
