// Documents read from HTML text, laid out and painted: small pages built for
// one rule each, and the program's own reports and help pages.
#include "html/layout/html_parser.h"
#include "layout_fixture.h"
#include "support/golden.h"

namespace layout_test {
namespace {

using velorim_test::ExpectGolden;
using velorim_test::ReadTestFile;

class DocumentTest : public LayoutTest {
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
        doc->SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clRed, clPurple, clBlue,
                      clBlack, 12);
        Readhtml::HtmlParseString(html, doc.get());
    }
    // Every painted text, one per entry.
    std::vector<std::string> Texts(const std::vector<std::string>& log) {
        std::vector<std::string> out;
        for (const auto& l : log) {
            if (l.rfind("text ", 0) != 0) continue;
            // text X BASELINE WIDTH "FACE" HEIGHT STYLE #RRGGBB TEXT
            size_t p = l.find('"');
            p = l.find('"', p + 1);
            for (int skip = 0; skip < 4; ++skip) p = l.find(' ', p + 1);
            out.push_back(l.substr(p + 1));
        }
        return out;
    }
    std::string AllText(const std::vector<std::string>& log) {
        std::string all;
        for (const auto& t : Texts(log)) all += t + "|";
        return all;
    }
    std::string SelectAllText() {
        doc->SelB = 0;
        doc->SelE = doc->Len;
        const std::u16string w = doc->GetSelText();
        std::string s;
        for (char16_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
        return s;
    }
    TStringBitmapList cache;
};

TEST_F(DocumentTest, ParagraphsAndHeadingsStackWithCollapsedMargins) {
    Parse("<h2>Title</h2><p>First para.</p><p>Second para.</p>");
    Layout(400);
    std::vector<TSection*> paras;
    std::function<void(TCellBasic&)> walk = [&](TCellBasic& c) {
        for (const auto& s : c) {
            if (s->IsBlock()) walk(*static_cast<TBlock*>(s.get())->MyCell);
            else if (s->IsSection()) paras.push_back(static_cast<TSection*>(s.get()));
        }
    };
    walk(*doc);
    ASSERT_EQ(paras.size(), 3u);
    // The paragraphs are one default spacing (14) apart.
    EXPECT_EQ(paras[2]->YDraw - (paras[1]->YDraw + paras[1]->SectionHeight), 14);
    EXPECT_GT(paras[1]->YDraw, paras[0]->YDraw + paras[0]->SectionHeight);
}

TEST_F(DocumentTest, ReportCellsHoldingMarkupCharactersPaint) {
    Parse("<table border=1><tr><td>Maria &amp; Filhos &lt;teste&gt;</td><td>1 < 2 & 3</td></tr></table>");
    Layout(800);
    const std::string all = AllText(Paint());
    EXPECT_NE(all.find("Maria & Filhos <teste>"), std::string::npos) << all;
    EXPECT_NE(all.find("1 < 2 & 3"), std::string::npos) << all;
}

TEST_F(DocumentTest, LinksGetTheirUrlUnderTheMouse) {
    Parse("<p>See <a href=\"next.htm\" title=\"go\">the next page</a> now.</p>");
    Layout(800);
    Paint();
    TUrlTarget url;
    TFormControlObj* control = nullptr;
    std::string title;
    // "See " is 28 px; the link starts there, on the first line (20 px high).
    int y = 0, x = 0;
    ASSERT_TRUE(doc->CursorToXY(&canvas, 5, x, y));
    const unsigned flags = doc->GetLinkAt(canvas, x + 2, y + 10, url, control, title);
    EXPECT_EQ(flags & guUrl, guUrl);
    EXPECT_EQ(url.URL, "next.htm");
    EXPECT_EQ(title, "go");
    EXPECT_EQ(doc->GetLinkAt(canvas, 2, y + 10, url, control, title) & guUrl, 0u);
}

// The character at a document position, wherever the text sits: a
// paragraph, a table cell or a block; and the section that holds it.
TEST_F(DocumentTest, CharacterAtAPositionInParagraphCellAndBlock) {
    Parse("<p>ab</p><table><tr><td>cd</td></tr></table><div>ef</div>");
    Layout(400);
    std::u16string text;
    std::vector<TSectionBase*> owners;
    char16_t ch = 0;
    TSectionBase* obj = nullptr;
    for (int pos = 0; doc->GetCharAt(pos, ch, obj); ++pos) {
        text += ch;
        owners.push_back(obj);
    }
    // Every character up to the document's end answers, nothing past it.
    EXPECT_EQ(static_cast<int>(text.size()), doc->Len);
    const size_t a = text.find(u"ab"), c = text.find(u"cd"), e = text.find(u"ef");
    ASSERT_NE(a, std::u16string::npos);
    ASSERT_NE(c, std::u16string::npos);
    ASSERT_NE(e, std::u16string::npos);
    EXPECT_LT(a, c);
    EXPECT_LT(c, e);
    // Each piece's two letters come from one paragraph section, its own.
    for (size_t at : {a, c, e}) {
        ASSERT_NE(owners[at], nullptr);
        EXPECT_TRUE(owners[at]->IsSection());
        EXPECT_EQ(owners[at], owners[at + 1]);
        EXPECT_GE(static_cast<int>(at), owners[at]->StartCurs);
        EXPECT_LT(static_cast<int>(at), owners[at]->StartCurs + owners[at]->Len);
    }
    EXPECT_NE(owners[a], owners[c]);
    EXPECT_NE(owners[c], owners[e]);
    EXPECT_FALSE(doc->GetCharAt(-1, ch, obj));
    EXPECT_FALSE(doc->GetCharAt(doc->Len + 5, ch, obj));
}

TEST_F(DocumentTest, SelectAllCopiesParagraphsAsLines) {
    Parse("<p>One two.</p><p>Three.</p>");
    Layout(800);
    Paint();
    EXPECT_EQ(SelectAllText(), "One two.\r\n\r\nThree.\r\n");
}

TEST_F(DocumentTest, PreKeepsItsLinesAndBlanks) {
    Parse("<pre>  a  b\nlong line that never wraps</pre>");
    Layout(100);
    const auto texts = Texts(Paint());
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], "  a  b");
    EXPECT_EQ(texts[1], "long line that never wraps");
}

TEST_F(DocumentTest, HelpPageLaysOutAndPaintsAsBefore) {
    Parse(ReadTestFile(std::string(VELORIM_SOURCE_DIR) + "/data/ajudav.htm"));
    EXPECT_GT(Layout(800), 0);
    const auto log = Paint(800, 4000);
    std::string golden;
    for (const auto& l : log) golden += l + "\n";
    ExpectGolden("ajudav_htm.paint", golden);
    const std::string all = AllText(log);
    EXPECT_NE(all.find("1."), std::string::npos);  // the numbered steps
    EXPECT_NE(SelectAllText().find("Tabelas de"), std::string::npos);
}

TEST_F(DocumentTest, AboutPageLaysOutAndPaintsAsBefore) {
    Parse(ReadTestFile(std::string(VELORIM_SOURCE_DIR) + "/data/velorimrev.htm"));
    EXPECT_GT(Layout(800), 0);
    std::string golden;
    for (const auto& l : Paint(800, 4000)) golden += l + "\n";
    ExpectGolden("velorimrev_htm.paint", golden);
}

// The arrears report: rows outside tables, misnested "</div></table>", amounts
// in right-aligned cells. Every month and the total are painted, in order.
TEST_F(DocumentTest, ArrearsReportPaintsEveryRow) {
    Parse(ReadTestFile(std::string(VELORIM_TEST_DATA) + "/html/parser/data/atual.html"));
    const int h = Layout(800);
    EXPECT_GT(h, 300);
    const auto texts = Texts(Paint(800, h + 10));
    std::vector<std::string> months;
    for (const auto& t : texts)
        if (t.size() == 7 && t[2] == '/' && t.substr(3) == "1998") months.push_back(t);
    // Three salary months of the new RMI, then the ten months of the evolution
    // (December twice: the thirteenth).
    EXPECT_THAT(months, ::testing::ElementsAre("01/1998", "02/1998", "03/1998", "04/1998", "05/1998", "06/1998",
                                               "07/1998", "08/1998", "09/1998", "10/1998", "11/1998", "12/1998",
                                               "12/1998"));
    const std::string all = AllText(Paint(800, h + 10));
    EXPECT_NE(all.find("4.498,27"), std::string::npos);
    // The sections of the position list run down the page.
    int last = -1;
    for (TSectionBase* s : doc->PositionList) {
        EXPECT_GE(s->GetYPosition(), last);
        last = s->GetYPosition();
    }
    EXPECT_GE(doc->FindString(0, u"teto", false), 0);
}

TEST_F(DocumentTest, RevisionReportPaintsItsTables) {
    Parse(ReadTestFile(std::string(VELORIM_TEST_DATA) + "/html/parser/data/revisao.html"));
    const int h = Layout(800);
    const std::string all = AllText(Paint(800, h + 10));
    EXPECT_NE(all.find("Maria & Filhos <teste>"), std::string::npos);
    EXPECT_NE(all.find("1.209,57"), std::string::npos);
}

TEST_F(DocumentTest, NarrowWidthsNeverHang) {
    Parse(ReadTestFile(std::string(VELORIM_TEST_DATA) + "/html/parser/data/atual.html"));
    for (int w : {0, 1, 7, 50, 3000}) EXPECT_GT(Layout(w), 0) << w;
    Parse("<p>" + std::string(5000, 'x') + "</p><img src=none width=200% height=5000>");
    EXPECT_GT(Layout(10), 0);
}

}  // namespace
}  // namespace layout_test

namespace layout_test {
namespace {

TEST_F(DocumentTest, AnInlineBoxAcrossTwoLinesIsOpenAtTheBreak) {
    Parse("<p>aaa <span style=\"border: 2px solid #FF0000\">bbb ccc</span> ddd</p>");
    Layout(90);  // 70 inside the margins: "aaa bbb " then "ccc ddd "
    auto log = Paint();
    std::vector<TSection*> paras;
    std::function<void(TCellBasic&)> walk = [&](TCellBasic& c) {
        for (const auto& s : c) {
            if (s->IsBlock()) walk(*static_cast<TBlock*>(s.get())->MyCell);
            else if (s->IsSection()) paras.push_back(static_cast<TSection*>(s.get()));
        }
    };
    walk(*doc);
    ASSERT_EQ(paras.size(), 1u);
    TSection* s = paras[0];
    ASSERT_EQ(s->Lines.size(), 2u);
    ASSERT_EQ(s->Lines[0].BorderList.size(), 1u);
    ASSERT_EQ(s->Lines[1].BorderList.size(), 1u);
    const BorderRec& first = s->Lines[0].BorderList[0];
    const BorderRec& second = s->Lines[1].BorderList[0];
    EXPECT_FALSE(first.OpenStart);
    EXPECT_TRUE(first.OpenEnd);  // no right border on the first line
    EXPECT_TRUE(second.OpenStart);  // no left border on the second
    EXPECT_FALSE(second.OpenEnd);
    EXPECT_EQ(first.BRectLeft, 10 + 28);  // after the margin and "aaa "
    int red = 0;
    for (const auto& l : log)
        if (l.find("#FF0000") != std::string::npos) ++red;
    EXPECT_EQ(red, 6);  // top, bottom and the closed side of each piece
}

TEST_F(DocumentTest, APrintCopySharesPicturesAndLaysOutAlike) {
    Parse("<p>One <img src=\"x.bmp\" width=30 height=10> two</p><ul><li>three</ul>");
    const int h = Layout(300);
    doc->PrintTableBackgrounds = true;
    TSectionList copy(*doc);
    EXPECT_TRUE(copy.IsCopy);
    EXPECT_EQ(copy.BitmapList, doc->BitmapList);
    EXPECT_EQ(copy.InlineList, doc->InlineList);
    int mw = 0, curs = 0;
    EXPECT_EQ(copy.Layout(canvas, 0, 300, 600, 0, mw, curs), h);
    EXPECT_EQ(curs, doc->Len);
}

}  // namespace
}  // namespace layout_test
