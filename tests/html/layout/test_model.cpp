// The document root's bookkeeping: links and hovering, inline records,
// positions, progress, and the block rules that print and position.
#include "html/layout/html_parser.h"
#include <cstdio>
#include <map>

#include "layout_fixture.h"
#include "platform/gui/bitmap.h"

namespace layout_test {
namespace {

class ModelTest : public LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        doc->BitmapList = &cache;
    }
    void TearDown() override {
        doc->Clear();
        LayoutTest::TearDown();
    }
    void Parse(const std::string& html) {
        doc->Clear();
        doc->SetFonts("Times New Roman", "Courier New", 0, 0, 0, true, true, clWhite, clRed, clPurple, clBlue,
                      clBlack, 12);
        Readhtml::HtmlParseString(html, doc.get());
    }
    // The paragraphs of html laid out 800 pixels wide, in document order.
    std::vector<TSection*> Sections(const std::string& html);
    // What GetLinkAt finds just inside the character at document position pos.
    unsigned HitAt(int pos, std::string& title) {
        TUrlTarget url;
        TFormControlObj* control = nullptr;
        int x = 0, y = 0;
        if (!doc->CursorToXY(&canvas, pos, x, y)) return ~0u;
        return doc->GetLinkAt(canvas, x + 1, y + 5, url, control, title);
    }
    TStringBitmapList cache;
};

TEST_F(ModelTest, HoveringALinkSwitchesAllItsRunsToTheHoverFont) {
    Parse("<p><a href=\"x.htm\">one <b>two</b></a> three <a href=\"y.htm\">four</a></p>");
    Layout(800);
    Paint();
    ASSERT_GE(doc->LinkList.size(), 3u);
    TFontObj* first = doc->LinkList[0];
    TFontObj* bold = doc->LinkList[1];
    TFontObj* other = doc->LinkList.back();
    EXPECT_EQ(first->Link().ID, bold->Link().ID);
    EXPECT_EQ(first->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clBlue));
    std::string title;
    ASSERT_EQ(HitAt(1, title) & guUrl, guUrl);
    EXPECT_EQ(doc->ActiveLink, first);
    EXPECT_TRUE(first->Hover);
    EXPECT_TRUE(bold->Hover);  // the whole link, not just the run under the mouse
    EXPECT_FALSE(other->Hover);
    EXPECT_EQ(bold->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clRed));
    doc->CancelActives();
    EXPECT_FALSE(first->Hover);
    EXPECT_FALSE(bold->Hover);
    other->SetVisited(true);
    EXPECT_EQ(other->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clPurple));
}

void CollectSections(TCellBasic& cell, std::vector<TSection*>& out) {
    for (const auto& s : cell) {
        if (auto* p = dynamic_cast<TSection*>(s.get())) out.push_back(p);
        else if (auto* b = dynamic_cast<TBlock*>(s.get())) CollectSections(*b->MyCell, out);
    }
}

std::vector<TSection*> ModelTest::Sections(const std::string& html) {
    Parse(html);
    Layout(800);
    std::vector<TSection*> sections;
    CollectSections(*doc, sections);
    return sections;
}

// Paragraphs made one after another keep their own box values, alike or
// not: a margin or a border style of their own changes what they hold.
TEST_F(ModelTest, ParagraphsInARowKeepTheirOwnBoxValues) {
    std::vector<TSection*> s = Sections(
        "<p style=\"margin-left:10px\">a</p><p style=\"margin-left:20px\">b</p><p style=\"margin-left:10px\">c</p>"
        "<p style=\"margin-left:10px; border-top-style:dashed\">d</p><p style=\"margin-left:10px\">e</p>");
    ASSERT_EQ(s.size(), 5u);
    std::string lefts, styles;
    for (TSection* p : s) {
        TBlock* b = p->OwnerBlock;
        ASSERT_NE(b, nullptr);
        lefts += std::to_string(b->MargArray[piMarginLeft]) + " ";
        styles += b->MargArrayO[piBorderTopStyle].Is(BorderStyleFromString("dashed")) ? "d" : "-";
    }
    EXPECT_EQ(lefts, "10 20 10 10 10 ");
    EXPECT_EQ(styles, "---d-");
}

// Runs made one after another each measure their own font: a heading
// between paragraphs is not given the face found before it, nor the
// paragraph after it the heading's.
TEST_F(ModelTest, RunsInARowMeasureTheirOwnFont) {
    std::vector<TSection*> s = Sections("<p>a</p><h1>b</h1><p>c</p>");
    ASSERT_EQ(s.size(), 3u);
    const TFontObj& p = *s[0]->Fonts[0];
    EXPECT_GT(s[1]->Fonts[0]->tmHeight, p.tmHeight);
    EXPECT_GT(s[1]->Fonts[0]->tmMaxCharWidth, p.tmMaxCharWidth);
    EXPECT_EQ(s[2]->Fonts[0]->tmHeight, p.tmHeight);
    EXPECT_EQ(s[2]->Fonts[0]->tmMaxCharWidth, p.tmMaxCharWidth);
}

// Runs outside links carry no link; a print copy keeps every run's link.
TEST_F(ModelTest, OnlyRunsInsideLinksCarryTheirLinkAndPrintCopiesKeepIt) {
    std::vector<TSection*> sections =
        Sections("<p>zero <a href=\"x.htm\" target=\"_top\">one <b>two</b></a> three <a href=\"y.htm\">four</a></p>");
    ASSERT_EQ(sections.size(), 1u);
    auto urls = [](const TSection& s) {
        std::string out;
        for (const auto& f : s.Fonts) {
            const TUrlTarget& link = f->Link();
            out += (link.URL.empty() ? "-" : link.URL + "/" + link.Target) + " ";
        }
        return out;
    };
    EXPECT_EQ(urls(*sections[0]), "- x.htm/_top x.htm/_top - y.htm/ ");
    EXPECT_EQ(sections[0]->Fonts[0]->UrlTarget, nullptr);
    TCell holder(doc.get());
    auto copy = sections[0]->CreateCopy(&holder);
    EXPECT_EQ(urls(static_cast<TSection&>(*copy)), urls(*sections[0]));
    EXPECT_EQ(static_cast<TSection&>(*copy).Fonts[1]->Link().ID, sections[0]->Fonts[1]->Link().ID);
}

// Paragraphs of the same look share one font; a link's run changes a copy of
// its own, so hovering it leaves the others as they are.
TEST_F(ModelTest, RunsShareTheirFontUntilOneChangesIt) {
    std::vector<TSection*> sections = Sections("<p>one</p><p>two</p><a href=\"x.htm\"><p>three</p></a><p>four</p>");
    ASSERT_EQ(sections.size(), 4u);
    TFontObj* one = sections[0]->Fonts[0];
    TFontObj* link = sections[2]->Fonts[0];
    TFontObj* four = sections[3]->Fonts[0];
    EXPECT_EQ(one->TheFont.get(), sections[1]->Fonts[0]->TheFont.get());
    EXPECT_EQ(one->TheFont.get(), four->TheFont.get());
    EXPECT_NE(one->TheFont.get(), link->TheFont.get());
    EXPECT_EQ(link->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clBlue));
    EXPECT_TRUE(link->TheFont->Style() & fsUnderline);
    link->SetHover(true);
    EXPECT_EQ(link->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clRed));
    for (TFontObj* plain : {one, four}) {
        EXPECT_EQ(plain->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clBlack));
        EXPECT_FALSE(plain->TheFont->Style() & fsUnderline);
    }

    // Two links of the same look: hovering one leaves the other.
    sections = Sections("<a href=\"x.htm\"><p>one</p></a><a href=\"y.htm\"><p>two</p></a>");
    ASSERT_EQ(sections.size(), 2u);
    sections[0]->Fonts[0]->SetHover(true);
    EXPECT_EQ(sections[0]->Fonts[0]->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clRed));
    EXPECT_EQ(sections[1]->Fonts[0]->TheFont->Color() & 0xFFFFFF, static_cast<TColor>(clBlue));
}

TEST_F(ModelTest, InlineRecordsConvertToDocumentPositionsOnce) {
    Parse("<p>ab <span style=\"border: 1px solid\">cd</span> ef</p>");
    ASSERT_EQ(doc->InlineList->Count(), 1);
    Layout(800);
    EXPECT_EQ(doc->InlineList->GetStartB(0), 3);
    EXPECT_EQ(doc->InlineList->GetEndB(0), 5);
    EXPECT_EQ(doc->InlineList->GetStartB(1), 99999999);
    EXPECT_EQ(doc->InlineList->GetEndB(-1), 99999999);
}

TEST_F(ModelTest, PositionListAndAnchors) {
    Parse("<p>first</p><p><a name=\"here\">second</a></p><p id=\"third\">third</p>");
    Layout(800);
    int top = 0, index = 0;
    TSectionBase* s = doc->FindSectionAtPosition(30, top, index);
    ASSERT_NE(s, nullptr);
    EXPECT_LE(top, 30);
    EXPECT_EQ(doc->FindSectionAtPosition(-5, top, index), nullptr);
    TIDObject* anchor = doc->IDNameList.ObjectOf("here");
    ASSERT_NE(anchor, nullptr);
    int x = 0, y = 0;
    doc->CursorToXY(&canvas, 6, x, y);
    EXPECT_EQ(anchor->GetYPosition(), y);
    EXPECT_NE(doc->IDNameList.ObjectOf("third"), nullptr);
}

TEST_F(ModelTest, ProgressIsReportedEveryFiftiethSectionOncePerLayout) {
    std::string html;
    for (int i = 0; i < 120; ++i) html += "<p>p" + std::to_string(i) + "</p>";
    Parse(html);
    std::vector<int> reports;
    doc->ReportProgress = [&](int p) { reports.push_back(p); };
    Layout(800);
    EXPECT_THAT(reports, ::testing::ElementsAre(41, 83));  // sections 50 and 100 of 120
    Layout(800);
    EXPECT_EQ(reports.size(), 4u);
}

TEST_F(ModelTest, TextTransformAndTitles) {
    Parse("<p style=\"text-transform: uppercase\">abc <span title=\"t\">de</span></p>");
    Layout(800);
    Paint();
    EXPECT_GE(doc->FindString(0, u"ABC", true), 0);
    std::string title;
    EXPECT_EQ(HitAt(4, title), guTitle);
    EXPECT_EQ(title, "t");
    EXPECT_EQ(HitAt(1, title), 0u);  // no title outside the span
}

// A block's title shows over its box only.
TEST_F(ModelTest, BlockTitles) {
    Parse("<div title=\"caixa\"><p>texto</p></div><p>fora</p>");
    Layout(800);
    Paint();
    std::string title;
    EXPECT_EQ(HitAt(1, title) & guTitle, guTitle);
    EXPECT_EQ(title, "caixa");
    const int outside = doc->FindString(0, u"fora", true);
    ASSERT_GE(outside, 0);
    EXPECT_EQ(HitAt(outside + 1, title) & guTitle, 0u);
}

TEST_F(ModelTest, ScrollingFlagsControlsAndPanelsHidden) {
    Parse("<p>x</p>");
    doc->SetYOffset(120);
    EXPECT_EQ(doc->YOff, 120);
    EXPECT_TRUE(doc->YOffChange);
    Layout(800);
    Paint();
    EXPECT_FALSE(doc->YOffChange);
    EXPECT_EQ(doc->GetFormControlData(), nullptr);  // no forms
}

TEST_F(ModelTest, RelativeAndAbsolutePositions) {
    Parse("<div style=\"position: relative; top: 10px; left: 20px\">rel</div>"
          "<div style=\"position: absolute; top: 100px; left: 50px; width: 80px\">abs</div><p>after</p>");
    Layout(400);
    auto texts = Paint();
    std::map<std::string, std::pair<int, int>> at;
    for (const auto& l : texts) {
        if (l.rfind("text ", 0) != 0) continue;
        int x = 0, base = 0;
        std::sscanf(l.c_str(), "text %d %d", &x, &base);
        at[l.substr(l.rfind(' ') + 1)] = {x, base};
    }
    EXPECT_EQ(at["rel"].first, 20);
    EXPECT_EQ(at["rel"].second, 10 + 16);
    EXPECT_EQ(at["abs"].first, 50);
    EXPECT_EQ(at["abs"].second, 100 + 16);
    EXPECT_EQ(at["after"].second, 20 + 14 + 16);  // the absolute block takes no room
}

TEST_F(ModelTest, OverflowHiddenClipsToThePaddingBox) {
    Parse("<div style=\"overflow: hidden; width: 40px; height: 20px\">aaaaaaaaaa bbbbbbbbbb</div>");
    Layout(400);
    std::vector<std::string> log;
    TBitmap bmp;
    bmp.SetSize(200, 100);
    bmp.Canvas().FillRect(TRect{0, 0, 200, 100}, clWhite);
    doc->Draw(bmp.Canvas(), TRect{0, 0, 200, 100}, 200, 0, 0, 0, 0);
    for (int x = 41; x < 200; ++x)
        for (int y = 0; y < 100; ++y) ASSERT_EQ(ColorToRGB(bmp.Canvas().Pixel(x, y)), 0xFFFFFFu) << x << "," << y;
}

TEST_F(ModelTest, PrintingBreaksPagesBeforeBlocksAndKeepsIntactOnes) {
    Parse("<p>one</p><div style=\"page-break-before: always\">two</div>");
    Layout(400);
    auto copy = std::make_unique<TSectionList>(*doc);
    int mw = 0, curs = 0;
    copy->Layout(canvas, 0, 400, 600, 0, mw, curs);
    copy->Printing = true;
    copy->Draw(canvas, TRect{0, 0, 400, 1000}, 400, 0, 0, 0, 0);
    EXPECT_EQ(copy->PageBottom, 34);  // the second block's top

    Parse("<p>one</p><div style=\"page-break-inside: avoid\">a<br>b<br>c</div>");
    Layout(400);
    copy = std::make_unique<TSectionList>(*doc);
    copy->Layout(canvas, 0, 400, 600, 0, mw, curs);
    copy->Printing = true;
    copy->Draw(canvas, TRect{0, 0, 400, 80}, 400, 0, 0, 0, 0);
    EXPECT_EQ(copy->PageBottom, 34);  // the whole block (74 high) goes to the next page
}

TEST_F(ModelTest, NearWhiteTextPrintsGreyWithoutBackgrounds) {
    Parse("<p><font color=\"#F0F0F0\">pale</font> dark</p>");
    Layout(400);
    auto copy = std::make_unique<TSectionList>(*doc);
    int mw = 0, curs = 0;
    copy->Layout(canvas, 0, 400, 600, 0, mw, curs);
    copy->Printing = true;
    std::vector<std::string> log;
    canvas.SetRecorder(&log);
    copy->Draw(canvas, TRect{0, 0, 400, 600}, 400, 0, 0, 0, 0);
    canvas.SetRecorder(nullptr);
    bool grey = false;
    for (const auto& l : log)
        if (l.find("pale") != std::string::npos && l.find("#A0A0A0") != std::string::npos) grey = true;
    EXPECT_TRUE(grey) << ::testing::PrintToString(log);
}

TEST_F(ModelTest, ImagesAnswerHitTestsAndMaps) {
    doc->GetBitmap = [](TObject*, const std::string&, TBitmap*& bmp, TColor&) {
        bmp = new TBitmap;
        bmp->SetSize(40, 20);
    };
    Parse("<p><a href=\"srv.cgi\"><img src=\"a.bmp\" ismap border=0></a>"
          "<img src=\"b.bmp\" usemap=\"#m\" title=\"map\"></p>"
          "<map name=\"m\"><area shape=rect coords=\"0,0,9,9\" href=\"corner.htm\"></map>");
    Layout(400);
    Paint();
    TUrlTarget url;
    TFormControlObj* control = nullptr;
    std::string title;
    // The first image sits at x 0, its bottom on the baseline (16).
    const unsigned f = doc->GetLinkAt(canvas, 5, 3, url, control, title);
    EXPECT_EQ(f & guUrl, guUrl);
    EXPECT_EQ(url.URL, "srv.cgi?5,3");
    const unsigned g = doc->GetLinkAt(canvas, 42, 2, url, control, title);
    EXPECT_EQ(g, guUrl | guTitle);
    EXPECT_EQ(url.URL, "corner.htm");
    EXPECT_EQ(title, "map");
    TFloatingObj* obj = nullptr;
    int ix = 0, iy = 0;
    EXPECT_TRUE(doc->GetObjectAt(45, 10, obj, ix, iy));
    EXPECT_EQ(ix, 5);
    EXPECT_EQ(iy, 10);
}

TEST_F(ModelTest, ClearingTheDocumentEmptiesItsLists) {
    Parse("<p><a href=\"x\">l</a><img src=\"none\"></p><map name=\"m\"></map>");
    Layout(400);
    doc->SelB = 0;
    doc->SelE = 1;
    doc->Clear();
    EXPECT_EQ(doc->Count(), 0);
    EXPECT_TRUE(doc->LinkList.empty());
    EXPECT_TRUE(doc->PositionList.empty());
    EXPECT_EQ(doc->SelE, 0);
    EXPECT_EQ(doc->InlineList->Count(), 0);
}

}  // namespace
}  // namespace layout_test
