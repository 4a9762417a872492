// Element handlers beyond the report's needs: links and anchors, inline
// boxes, maps, scripts, text areas, markup characters typed into cells.
#include <gmock/gmock.h>

#include "html/layout/blocks.h"
#include "html/layout/form_controls.h"
#include "html/layout/section.h"
#include "parser_fixture.h"

using ::testing::HasSubstr;

namespace {

TSection* FirstSection(TCellBasic& cell) {
    for (const auto& s : cell) {
        if (auto* p = dynamic_cast<TSection*>(s.get())) return p;
        if (auto* b = dynamic_cast<TBlock*>(s.get()))
            if (TSection* f = FirstSection(*b->MyCell)) return f;
    }
    return nullptr;
}

}  // namespace

TEST_F(ParserTest, MarkupCharactersTypedIntoCellsStayText) {
    std::string s = Shape("<table><tr><td>a < b & c <3 &x</td><td>R$ 1.000,00</td></tr></table>");
    EXPECT_THAT(s, HasSubstr("Section \"a < b & c <3 &x\""));
    EXPECT_THAT(s, HasSubstr("Section \"R$ 1.000,00\""));
}

TEST_F(ParserTest, LinksCarryTheirTargetsAndAnchorsRegister) {
    Parse("<p>go <a href=\"page.htm#x\" target=_blank>there</a> now <a name=\"#Here\">anchor</a></p>");
    TSection* s = FirstSection(*list_);
    ASSERT_NE(s, nullptr);
    int i = 0;
    TFontObj* link = s->Fonts.GetFontObjAt(3, i);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Link().URL, "page.htm#x");
    EXPECT_EQ(link->Link().Target, "_blank");
    TFontObj* after = s->Fonts.GetFontObjAt(10, i);
    EXPECT_TRUE(after->Link().URL.empty());
    EXPECT_GE(list_->IDNameList.IndexOf("here"), 0);
    EXPECT_EQ(list_->LinkList.size(), 1u);
}

TEST_F(ParserTest, BorderedSpansOpenAndCloseInlineBoxes) {
    Parse("<p>a <span style=\"border: 1px solid red\">boxed</span> b</p>");
    ASSERT_EQ(list_->InlineList->Count(), 1);
    InlineRec* r = (*list_->InlineList)[0];
    EXPECT_LT(r->StartBDoc, r->EndBDoc);
    EXPECT_NE(r->EndBDoc, 999999);
}

TEST_F(ParserTest, MapsAreKeptOnlyWhenClosed) {
    Parse("<map name=nav><area href=a.htm coords=\"0,0,10,10\"><area href=b.htm shape=circle coords=\"5,5,2\"></map>"
          "<map name=open><area href=c.htm>text<b><i><u>");
    ASSERT_EQ(list_->MapList.Count(), 1);
    EXPECT_EQ(list_->MapList[0]->MapName, "NAV");
    EXPECT_EQ(list_->MapList[0]->Areas.size(), 2u);
}

TEST_F(ParserTest, ScriptsGoToTheirHandlerOrAreSkipped) {
    std::string got;
    list_->ScriptEvent = [&](TObject*, const std::string& name, const std::string& lang, const std::string& text) {
        got = name + "|" + lang + "|" + text;
    };
    Readhtml::HtmlParseString("a<script name=n language=js>if (x < 1)\n y();</SCRIPT>b", list_.get());
    EXPECT_EQ(got, "n|js|if (x < 1)\r\n y();");
    EXPECT_THAT(ShapeOf(*list_), HasSubstr("Section \"ab\""));
    EXPECT_THAT(Shape("a<script>document.write('<p>x</p>')</script>b"), HasSubstr("Section \"ab\""));
}

TEST_F(ParserTest, TextAreasReadTheirRawText) {
    Parse("<form><textarea name=t rows=3 cols=20><b>&amp; not bold</b>\nline 2</TextArea>after</form>");
    auto* area = dynamic_cast<TTextAreaFormControlObj*>(list_->htmlFormList[0]->ControlList[0]);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->TheText, "<b>& not bold</b>\r\nline 2");
    EXPECT_EQ(area->Rows, 3);
    EXPECT_EQ(area->Cols, 20);
    EXPECT_THAT(ShapeOf(*list_), HasSubstr("\"\\oafter\""));
}

TEST_F(ParserTest, PreformattedParagraphsAndForms) {
    std::string s = Shape("<pre>one<p>\ntwo</p>three<form><input name=x></form>four</pre>");
    EXPECT_THAT(s, HasSubstr("Block tag=p\n        Pre \"two\""));
    EXPECT_THAT(s, HasSubstr("Block tag=form"));
    EXPECT_EQ(list_->htmlFormList.Count(), 1);
    EXPECT_THAT(s, HasSubstr("Pre \"four\""));
}

TEST_F(ParserTest, BodyAttributesRebuildTheBody) {
    Parse("<html><head><title>t</title></head><body leftmargin=30 topmargin=999 link=red>x</body></html>");
    ASSERT_EQ(list_->Count(), 1);
    auto* body = dynamic_cast<TBodyBlock*>((*list_)[0]);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->MyCell->OwnersTag, "body");
    EXPECT_TRUE(body->MargArrayO[piMarginLeft].Is(30));
    EXPECT_TRUE(body->MargArrayO[piMarginTop].Is(200));
    // A second BODY once there is content changes nothing.
    Parse("x<body leftmargin=50>y");
    body = dynamic_cast<TBodyBlock*>((*list_)[0]);
    EXPECT_EQ(body->MyCell->OwnersTag, "default");
}

// A cell that opens with a paragraph gives it its own font's em, as a cell
// that opens with anything else does.
TEST_F(ParserTest, CellsOpeningWithAParagraphPassTheirEmOn) {
    auto height = [this](const std::string& size, const std::string& before) {
        Parse("<table><tr><td style=\"font-size:" + size + "\"> " + before +
              "<p style=\"margin-top:2em\">x</p></td></tr></table>");
        return Layout(400);
    };
    const int big = height("30pt", "");
    EXPECT_EQ(big, height("30pt", "<span></span>"));
    EXPECT_GT(big, height("10pt", ""));
}
