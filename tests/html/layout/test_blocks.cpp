// Block boxes, floats, list items, rules and page breaks.
#include "layout_fixture.h"

#include "html/layout/html_parser.h"
#include "support/golden.h"

namespace layout_test {
namespace {

// Two paragraphs with the given margins: the distance between their boxes.
class MarginTest : public LayoutTest {
protected:
    int Gap(const std::string& first, const std::string& second) {
        TBlock* a = Block("p", first);
        Para("a", a->MyCell.get());
        TBlock* b = Block("p", second);
        Para("b", b->MyCell.get());
        Layout(400);
        return b->YDraw - (a->YDraw + 20);
    }
};

TEST_F(MarginTest, AdjacentVerticalMarginsCollapse) {
    EXPECT_EQ(Gap("margin-bottom: 14px", "margin-top: 10px"), 14);
}

TEST_F(MarginTest, ANegativeMarginIsAdded) {
    EXPECT_EQ(Gap("margin-bottom: -5px", "margin-top: 10px"), 5);
}

TEST_F(MarginTest, TwoNegativeMarginsTakeTheMoreNegative) {
    EXPECT_EQ(Gap("margin-bottom: -5px", "margin-top: -10px"), -10);
}

// Box values are shared between blocks holding the same ones; a change to
// one block's values never shows in another's.
TEST(BoxValuesTest, AlikeSetsAreSharedAndChangedApart) {
    auto at = [](const TBoxValues& v) { return &static_cast<const MargArray&>(v); };
    TBoxValues fresh;
    EXPECT_EQ(fresh[piMarginTop], IntNull);
    EXPECT_EQ(fresh[piMarginBottom], IntNull);
    EXPECT_EQ(fresh[piWidth], 0);

    MargArray m{};
    m[piPaddingLeft] = 3;
    TBoxValues a, b;
    a = m;
    b = m;
    EXPECT_EQ(at(a), at(b));

    a[piPaddingLeft] = 5;
    EXPECT_EQ(a[piPaddingLeft], 5);
    EXPECT_EQ(b[piPaddingLeft], 3);
    b[piPaddingLeft] += 2;
    EXPECT_EQ(b[piPaddingLeft], 5);
    EXPECT_EQ(at(a), at(b));  // alike again: one set

    TBoxValues copy = a;
    a.Edit()[piWidth] = 7;
    EXPECT_EQ(a[piWidth], 7);
    EXPECT_EQ(copy[piWidth], 0);
    EXPECT_EQ(b[piWidth], 0);
}

TEST_F(LayoutTest, DisplayNoneTakesNoRoomAndHidesFromHitTests) {
    TBlock* hidden = Block("div", "display: none");
    Para("invisible", hidden->MyCell.get());
    TSection* after = Para("seen");
    Layout(400);
    EXPECT_EQ(hidden->SectionHeight, 0);
    EXPECT_EQ(after->YDraw, hidden->ContentTop);
    EXPECT_EQ(hidden->FindString(0, u"invisible", false), -1);
    auto log = Paint();
    for (const auto& l : log) EXPECT_EQ(l.find("invisible"), std::string::npos);
}

TEST_F(LayoutTest, AutoSideMarginsCentreADeclaredWidth) {
    TBlock* b = Block("div", "margin-left: auto; margin-right: auto; width: 200px");
    Para("x", b->MyCell.get());
    Layout(600);
    EXPECT_EQ(b->MargArray[piMarginLeft], 200);
    EXPECT_EQ(b->MargArray[piMarginRight], 200);
    EXPECT_EQ(b->NewWidth, 200);
    EXPECT_EQ(b->ContentLeft, 200);
}

TEST_F(LayoutTest, PaddingBorderAndMarginPlaceTheContent) {
    TBlock* b = Block("div", "margin: 10px; padding: 5px; border: 2px solid black");
    TSection* s = Para("x", b->MyCell.get());
    Layout(300);
    EXPECT_EQ(b->ContentLeft, 17);
    EXPECT_EQ(s->Lines[0].LineIndent, 0);  // lines are placed relative to the content box
    EXPECT_EQ(b->NewWidth, 300 - 34);
    EXPECT_EQ(b->SectionHeight, 10 + 2 + 5 + 20 + 5 + 2 + 10);
    int mn = 0, mx = 0;
    b->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 8 + 34);
    auto log = Paint();
    // The border is painted around the padding box.
    EXPECT_THAT(log, ::testing::Contains(::testing::StartsWith("poly")));
}

// Overflow is hidden only by a box of a declared width over 20 px: the
// others grow to their content.
TEST_F(LayoutTest, OnlyABoxOfAWidthClipsItsOverflow) {
    TBlock* outer = Block("div");
    TBlock* free = Block("div", "overflow: hidden; height: 10px", outer->MyCell.get());
    TBlock* narrow = Block("div", "overflow: hidden; height: 10px; width: 20px", outer->MyCell.get());
    TBlock* wide = Block("div", "overflow: hidden; height: 10px; width: 100px", outer->MyCell.get());
    for (TBlock* b : {free, narrow, wide}) Para("x\ny", b->MyCell.get());
    Layout(400);
    EXPECT_FALSE(free->HideOverflow);
    EXPECT_EQ(free->SectionHeight, 40);
    EXPECT_EQ(narrow->SectionHeight, 40);
    EXPECT_TRUE(wide->HideOverflow);
    EXPECT_EQ(wide->SectionHeight, 10);
}

TEST_F(LayoutTest, ALeftFloatPushesLaterTextAndTakesNoHeight) {
    TBlock* f = Block("div", "float: left; width: 100px");
    Para("f", f->MyCell.get());
    TSection* text = Para("beside");
    Layout(400);
    EXPECT_EQ(f->SectionHeight, 0);
    EXPECT_EQ(f->DrawHeight, 20);
    EXPECT_EQ(text->YDraw, f->ContentTop);
    Paint();
    EXPECT_EQ(text->Lines[0].DrawXX, 100);
}

TEST_F(LayoutTest, ClearMovesBelowFloats) {
    TBlock* f = Block("div", "float: left; width: 100px; height: 50px");
    Para("f", f->MyCell.get());
    TBlock* c = Block("div", "clear: left");
    Para("below", c->MyCell.get());
    Layout(400);
    EXPECT_GE(c->YDraw, f->ContentTop + 50);
}

// Floats fill a row and then start the next one below the earlier floats; a
// later float never goes back up beside them, and a right float that does
// not fit beside a left one moves below it too.
TEST_F(LayoutTest, FloatsThatDoNotFitMoveBelowTheEarlierOnes) {
    std::vector<TBlock*> f;
    const char* styles[] = {"float: left; width: 150px; height: 30px", "float: left; width: 150px; height: 50px",
                            "float: left; width: 150px; height: 20px", "float: left; width: 40px; height: 20px",
                            "float: right; width: 300px; height: 20px"};
    for (const char* style : styles) {
        f.push_back(Block("div", style));
        Para("f", f.back()->MyCell.get());
    }
    Layout(400);
    EXPECT_EQ(f[1]->ContentTop + f[1]->ClearAddon, 0);
    EXPECT_EQ(f[1]->ContentLeft, 150);
    EXPECT_EQ(f[2]->ClearAddon, 50);  // below both: the second still stands beside the room left
    EXPECT_EQ(f[2]->ContentLeft, 0);
    EXPECT_EQ(f[3]->ClearAddon, 50);  // beside the third, not back up beside the first two
    EXPECT_EQ(f[3]->ContentLeft, 150);
    EXPECT_EQ(f[4]->ClearAddon, 70);
    EXPECT_EQ(f[4]->ContentLeft, 100);
}

TEST_F(LayoutTest, ZIndexOrdersPainting) {
    TBlock* outer = Block("div");
    TBlock* top = Block("div", "position: relative; z-index: 2", outer->MyCell.get());
    Para("two", top->MyCell.get());
    TBlock* mid = Block("div", "position: relative; z-index: 1", outer->MyCell.get());
    Para("one", mid->MyCell.get());
    Para("zero", outer->MyCell.get());
    Layout(400);
    ASSERT_EQ(outer->DrawCount(), 3);
    EXPECT_EQ(outer->DrawItem(0)->ZIndex, 0);
    EXPECT_EQ(outer->DrawItem(1), mid);
    EXPECT_EQ(outer->DrawItem(2), top);
    // A cell already in order draws in its own order.
    ASSERT_EQ(top->DrawCount(), 1);
    EXPECT_EQ(top->DrawItem(0), (*top->MyCell)[0]);
    auto log = Paint();
    std::vector<std::string> order;
    for (const auto& l : log)
        for (const char* w : {"zero", "one", "two"})
            if (l.rfind("text", 0) == 0 && l.find(std::string(" ") + w) != std::string::npos) order.push_back(w);
    EXPECT_THAT(order, ::testing::ElementsAre("zero", "one", "two"));
}

TEST_F(LayoutTest, ListItemMarkers) {
    auto item = [&](Symb list, char type, int number) {
        TProperties* p = Push("li");
        auto* li = new TBlockLI(cell, p, cell, list, false, type, number, 1, nullptr);
        Pop();
        cell->Add(li, 0);
        return li;
    };
    EXPECT_EQ(item(OLSy, 'i', 3)->NumberText(), u"iii.");
    EXPECT_EQ(item(OLSy, 'i', 25)->NumberText(), u"xx.");
    EXPECT_EQ(item(OLSy, 'A', 30)->NumberText(), u"Z.");
    EXPECT_EQ(item(OLSy, '1', 7)->NumberText(), u"7.");
    TBlockLI* loose = item(LISy, ' ', 1);
    EXPECT_EQ(loose->ListType, 4);
    EXPECT_EQ(loose->ListStyle, 3);  // a disc
    Para("text", loose->MyCell.get());
    Layout(400);
    EXPECT_EQ(loose->ContentLeft, 16);  // the default indent of a lone item
    EXPECT_EQ(loose->FirstLineHt, loose->YDraw + 16);  // the first baseline
    auto log = Paint();
    EXPECT_THAT(log, ::testing::Contains(::testing::StartsWith("ellipse")));
}

TEST_F(LayoutTest, RulesAreShadedFlatOrBlack) {
    auto rule = [&](const std::string& attrs) {
        TAttributeList L;
        if (!attrs.empty()) {
            auto* a = new TAttribute;
            a->Symbol = attrs == "noshade" ? NoShadeSy : ColorSy;
            a->TextValue = attrs == "noshade" ? "" : attrs;
            L.Add(a);
        }
        TProperties* p = Push("hr");
        auto* hr = new THRBlock(cell, p, cell, &L);
        Pop();
        cell->Add(hr, 0);
        return hr;
    };
    THRBlock* shaded = rule("");
    THRBlock* red = rule("#FF0000");
    THRBlock* black = rule("noshade");
    Layout(200);
    ASSERT_NE(shaded->Line, nullptr);
    EXPECT_EQ(shaded->Line->VSize, 2);
    EXPECT_EQ(shaded->Line->Width, 200);
    EXPECT_EQ(red->Line->Color & 0xFFFFFF, static_cast<TColor>(0x0000FF));
    EXPECT_TRUE(black->Line->NoShade);
    auto log = Paint();
    int lines = 0, fills = 0;
    for (const auto& l : log) {
        if (l.rfind("line", 0) == 0) ++lines;
        if (l.rfind("fill", 0) == 0 && l.find("#FF0000") != std::string::npos) ++fills;
    }
    EXPECT_EQ(lines, 8);  // four edges for each shaded rule
    EXPECT_EQ(fills, 1);
}

// A rule is centred unless its ALIGN or a text-align of its own says
// otherwise; the sheet's "left" that every element inherits does not count.
TEST_F(LayoutTest, RulesAreCentredOrPlacedByTheirOwnAlignment) {
    Readhtml::HtmlParseString("<hr width=100><hr width=100 align=left><hr width=100 align=right>"
                              "<hr width=50%>"
                              "<hr width=100 align=left style=\"text-align:right\">",
                              doc.get());
    Layout(400);
    velorim_test::ExpectGolden("hr_align.paint", PaintText());
}

TEST_F(LayoutTest, BodyBackgroundGoesToTheDocument) {
    TProperties* p = Push("body", "background-color: #00FF00; margin-left: 7px");
    auto* body = new TBodyBlock(cell, p, cell, nullptr);
    Pop();
    cell->Add(body, 0);
    TSection* s = Para("x", body->MyCell.get());
    Layout(300);
    EXPECT_EQ(doc->Background & 0xFFFFFF, static_cast<TColor>(0x00FF00));
    EXPECT_EQ(body->ContentLeft, 7);
    Paint();
    EXPECT_EQ(s->Lines[0].DrawXX, 7);
    for (const auto& l : Paint()) EXPECT_EQ(l.find("#00FF00"), std::string::npos);  // no block background painted
}

TEST_F(LayoutTest, PrintingMovesALineThatCrossesThePageBottom) {
    for (int i = 0; i < 10; ++i) Para("line");
    Layout(300);
    auto copy = std::make_unique<TSectionList>(*doc);
    int mw = 0, curs = 0;
    copy->Layout(canvas, 0, 300, 600, 0, mw, curs);
    copy->Printing = true;
    copy->YOff = 0;
    copy->Draw(canvas, TRect{0, 0, 300, 50}, 300, 0, 0, 0, 0);
    EXPECT_EQ(copy->PageBottom, 40);  // the third line starts the next page
}

TEST_F(LayoutTest, APageBreakEndsThePrintedPage) {
    Para("one");
    cell->Add(new TPage(cell), 0);
    Para("two");
    Layout(300);
    auto copy = std::make_unique<TSectionList>(*doc);
    int mw = 0, curs = 0;
    copy->Layout(canvas, 0, 300, 600, 0, mw, curs);
    copy->Printing = true;
    copy->Draw(canvas, TRect{0, 0, 300, 500}, 300, 0, 0, 0, 0);
    EXPECT_EQ(copy->PageBottom, 20);
}

}  // namespace
}  // namespace layout_test
