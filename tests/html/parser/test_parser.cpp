#include <gmock/gmock.h>

#include "html/layout/blocks.h"
#include "html/layout/section.h"
#include "html/layout/table_layout.h"
#include "html/reader/style_props.h"
#include "parser_fixture.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The first paragraph section found depth-first whose text holds `text`.
TSection* FindSection(TCellBasic& cell, const std::u16string& text) {
    for (const auto& s : cell) {
        if (auto* p = dynamic_cast<TSection*>(s.get()))
            if (p->BuffS.find(text) != std::u16string::npos) return p;
        if (auto* b = dynamic_cast<TBlock*>(s.get()))
            if (TSection* f = FindSection(*b->MyCell, text)) return f;
        if (auto* t = dynamic_cast<ThtmlTable*>(s.get()))
            for (const auto& row : t->Rows)
                for (const auto& c : *row)
                    if (c && c->Cell)
                        if (TSection* f = FindSection(*c->Cell, text)) return f;
    }
    return nullptr;
}

int CountOf(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
}

}  // namespace

TEST_F(ParserTest, TableSymbolsOutsideTablesFlowIntoTheBody) {
    EXPECT_EQ(Shape("<tr><td>cell</td></tr>"),
              "Document\n"
              "  Body tag=default\n"
              "    Section \"cell\"\n");
    // Content between rows goes before the table; a TD without TR gets a row.
    EXPECT_EQ(Shape("<table><td>a<tr><td>b</td></tr><span>x</span><tr><td>c</table>"),
              "Document\n"
              "  Body tag=default\n"
              "    Section \"x\"\n"
              "    TableBlock tag=table\n"
              "      Table rows=3 cols=0 border=0 padding=1 spacing=2\n"
              "        Row 0 type=1\n"
              "          Cell 0 span=1x1 valign=2\n"
              "            Section \"a\"\n"
              "        Row 1 type=1\n"
              "          Cell 0 span=1x1 valign=2\n"
              "            Section \"b\"\n"
              "        Row 2 type=1\n"
              "          Cell 0 span=1x1 valign=2\n"
              "            Section \"c\"\n");
}

TEST_F(ParserTest, MisnestedDivAroundATableStaysOpenUntilItsOwnEnd) {
    // The report writers put "</div></table>": the end DIV inside the table is
    // skipped, the table ends at its end TABLE and the DIV holds what follows.
    EXPECT_EQ(Shape("<div align=center><table border=1><tr><td>a</td></tr></div></table>after</div>z"),
              "Document\n"
              "  Body tag=default\n"
              "    Block tag=div\n"
              "      TableBlock tag=table\n"
              "        Table rows=1 cols=0 border=1 padding=1 spacing=2\n"
              "          Row 0 type=1\n"
              "            Cell 0 span=1x1 valign=2\n"
              "              Section \"a\"\n"
              "      Section \"after\"\n"
              "    Section \"z\"\n");
    // An end DIV inside a cell is skipped too.
    std::string s = Shape("<div><table><tr><td>a</div>b</td><td>c</td></tr></table>d</div>e");
    EXPECT_THAT(s, HasSubstr("Section \"ab\""));
    EXPECT_THAT(s, HasSubstr("      Section \"d\"\n    Section \"e\""));
}

TEST_F(ParserTest, RunsOfParagraphTagsMakeOneParagraph) {
    std::string s = Shape("<p align=left></p><p><P class=x align=right>text</p></P>more");
    EXPECT_EQ(CountOf(s, "Block tag=p"), 1);
    TSection* p = FindSection(*list_, u"text");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Justify, 3);  // the last P's ALIGN
    // A paragraph ended by a table loses its bottom margin.
    Parse("<p>x<table><tr><td>y</table>");
    auto* body = dynamic_cast<TBlock*>((*list_)[0]);
    ASSERT_NE(body, nullptr);
    auto* para = dynamic_cast<TBlock*>((*body->MyCell)[0]);
    ASSERT_NE(para, nullptr);
    EXPECT_TRUE(para->MargArrayO[piMarginBottom].Is(0));
}

TEST_F(ParserTest, MisnestedInlineEndsCloseTheElementTheyName) {
    Parse("<b>bold<i>both</b>italic</i>plain");
    TSection* s = FindSection(*list_, u"bold");
    ASSERT_NE(s, nullptr);
    auto styleAt = [&](int pos) {
        int i = 0;
        TFontObj* f = s->Fonts.GetFontObjAt(pos, i);
        return f && f->TheFont ? f->TheFont->Style() : TFontStyles(0);
    };
    EXPECT_EQ(styleAt(0), fsBold);
    EXPECT_EQ(styleAt(5), fsBold | fsItalic);
    EXPECT_EQ(styleAt(9), fsItalic);  // "italic": the bold end left the italic in force
    EXPECT_EQ(styleAt(16), 0);
}

TEST_F(ParserTest, FontSizesFollowBaseFont) {
    auto sizeOf = [&](const std::u16string& text) {
        TSection* s = FindSection(*list_, text);
        if (!s) return -1;
        size_t at = s->BuffS.find(text);
        int i = 0;
        TFontObj* f = s->Fonts.GetFontObjAt(static_cast<int>(at), i);
        return f && f->TheFont ? f->TheFont->Size() : -1;
    };
    // Base 12 points: sizes 8, 10, 12, 14, 18, 24, 36 for 1..7.
    Parse("<font size=+1>four</font><basefont size=5><font size=-1>four2</font> <font size=9>seven</font>");
    EXPECT_EQ(sizeOf(u"four"), 14);
    EXPECT_EQ(sizeOf(u"four2"), 14);
    EXPECT_EQ(sizeOf(u"seven"), 36);
    EXPECT_EQ(Readhtml::BaseFontSize, 5);
    Readhtml::SetFontSizes(24);
    EXPECT_DOUBLE_EQ(Readhtml::FontSizes[1], 16);
    EXPECT_DOUBLE_EQ(Readhtml::PreFontSizes[7], 60);
}

TEST_F(ParserTest, ListItemsInsideAndOutsideLists) {
    std::string s = Shape("<li>alone<ul><li>one<li></ul><ol start=3><li>c<li value=9>i<li>j</ol>");
    EXPECT_EQ(CountOf(s, "ListItem tag=li"), 6);
    // The empty item still gets a line for its bullet: a no-break space.
    EXPECT_NE(FindSection(*list_, u"\u00a0"), nullptr);
}

TEST_F(ParserTest, TablesNestedElevenDeepFlattenTheLast) {
    std::string doc;
    for (int i = 0; i < 11; ++i) doc += "<table><tr><td>";
    doc += "inner";
    for (int i = 0; i < 11; ++i) doc += "</td></tr></table>";
    std::string s = Shape(doc);
    EXPECT_EQ(CountOf(s, "Table rows="), 10);
    EXPECT_THAT(s, HasSubstr("Section \"inner\""));
}

TEST_F(ParserTest, AlignmentWordsIgnoreCaseAndBlanksButNotOtherLetters) {
    Shape("<div align=center><p align=\" RIGHT\t\">r</p><p align=Justify>j</p><p align=Middle>m</p>"
          "<p align=\"mid dle\">x</p><p align=rights>y</p><p align=\"\">z</p></div>");
    EXPECT_EQ(FindSection(*list_, u"r")->Justify, 3);
    EXPECT_EQ(FindSection(*list_, u"j")->Justify, 4);
    EXPECT_EQ(FindSection(*list_, u"m")->Justify, 2);
    // Words that are not alignments leave the one inherited.
    EXPECT_EQ(FindSection(*list_, u"x")->Justify, 2);
    EXPECT_EQ(FindSection(*list_, u"y")->Justify, 2);
    EXPECT_EQ(FindSection(*list_, u"z")->Justify, 2);
}

TEST_F(ParserTest, HeadingsAndTheirAlignment) {
    std::string s = Shape("<h7>seven</h7><h3 align=center>three</h3><h2><center>two</h2>after");
    EXPECT_THAT(s, HasSubstr("Section \"seven\""));
    EXPECT_THAT(s, Not(HasSubstr("tag=h7")));
    EXPECT_EQ(FindSection(*list_, u"three")->Justify, 2);
    EXPECT_EQ(FindSection(*list_, u"two")->Justify, 2);
    EXPECT_EQ(FindSection(*list_, u"after")->Justify, 1);
}

TEST_F(ParserTest, ManyLinksFlagTheDocument) {
    auto links = [](int n) {
        std::string d;
        for (int i = 0; i < n; ++i) d += "<a href=\"#x\">l</a>";
        return d;
    };
    Parse(links(400));
    EXPECT_FALSE(list_->LinksFlag);
    Parse(links(401));
    EXPECT_TRUE(list_->LinksFlag);
    // Only links count: "href" in text, in other tags or inside comments
    // does not.
    std::string words;
    for (int i = 0; i < 450; ++i) words += "href HREF ";
    Parse("<p>" + words + "</p><!-- <a href=x>y</a> --><link href=\"a.css\">" + links(399));
    EXPECT_FALSE(list_->LinksFlag);
    std::string upper;
    for (int i = 0; i < 401; ++i) upper += "<A HrEf=\"#x\">l</A>";
    Parse(upper);
    EXPECT_TRUE(list_->LinksFlag);
}

TEST_F(ParserTest, HeadElementsAndEvents) {
    std::vector<std::string> metas;
    Readhtml::HtmlParseString(
        "<html><head><title> My  title </title><base href=\"http://h/\" target=t>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"><meta name=k content=v>"
        "<style>p { color: red }</style></head><body bgcolor=white><p>x</p></body></html>",
        list_.get(), nullptr, nullptr,
        [&](TObject*, const std::string& h, const std::string& n, const std::string& c) {
            metas.push_back(h + "|" + n + "|" + c);
        });
    EXPECT_EQ(Readhtml::DocTitle, "My title");
    EXPECT_EQ(Readhtml::DocBase, "http://h/");
    EXPECT_EQ(Readhtml::DocBaseTarget, "t");
    ASSERT_EQ(metas.size(), 2u);
    EXPECT_EQ(metas[1], "|k|v");
    TSection* p = FindSection(*list_, u"x");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Fonts[0]->TheFont->Color(), clRed);
}

TEST_F(ParserTest, PreformattedTextKeepsItsLines) {
    // The line break right after the start tag is an empty first line.
    std::string s = Shape("<pre>\na  b\n<b>c</b> &amp; d\n\n</pre>e");
    EXPECT_THAT(s, HasSubstr("Block tag=pre\n      Pre \"\"\n      Pre \"a b\"\n      Pre \"c & d\"\n"
                             "      Pre \"\"\n"));
    TSection* c = FindSection(*list_, u"c & d");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->BuffS.substr(0, 5), u"c & d");
    int i = 0;
    EXPECT_EQ(c->Fonts.GetFontObjAt(0, i)->TheFont->Style(), fsBold);
    // The spaces of preformatted text are kept.
    EXPECT_NE(FindSection(*list_, u"a  b"), nullptr);
    // A plain-text document is all preformatted.
    NewList();
    Readhtml::HtmlParseTextString("one <b>\r\ntwo", list_.get());
    EXPECT_NE(FindSection(*list_, u"one <b>"), nullptr);
    EXPECT_NE(FindSection(*list_, u"two"), nullptr);
}

// A break opens the next section itself: the text after it takes the
// paragraph's alignment, not that of the inline element around it.
TEST_F(ParserTest, ABreakOpensTheSectionAfterIt) {
    Parse("<p>a<br> <span style=\"text-align: right\">b</span></p>");
    TSection* b = FindSection(*list_, u"b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Justify, 1);
}

// A comment or declaration left open ends the page: what came before shows.
TEST_F(ParserTest, OpenCommentAtTheEndEndsThePage) {
    for (const char* open : {"<!-- never closed <p>hidden", "<!DOCTYPE html", "<!--#include x <p>hidden"}) {
        EXPECT_NO_THROW(Parse(std::string("<p>kept</p>") + open)) << open;
        EXPECT_NE(FindSection(*list_, u"kept"), nullptr) << open;
        EXPECT_EQ(FindSection(*list_, u"hidden"), nullptr) << open;
    }
    // The parser is usable again afterwards.
    EXPECT_NO_THROW(Parse("<table><tr><td>fine"));
    EXPECT_NE(FindSection(*list_, u"fine"), nullptr);
}

TEST_F(ParserTest, ColumnSpecificationsAndRowSpans) {
    // The second column of row 1 is taken by a ROWSPAN: COLSPAN 3 keeps 1.
    Parse("<table><col width=10><col width=20%><col><tr><td>a</td><td rowspan=2>b</td><td>c</td></tr>"
          "<tr><td colspan=3>d</td></tr></table>");
    auto* tb = dynamic_cast<TTableBlock*>((*dynamic_cast<TBlock*>((*list_)[0])->MyCell)[0]);
    ASSERT_NE(tb, nullptr);
    ThtmlTable* t = tb->Table;
    TCellObj* d = (*t->Rows[1])[0];
    EXPECT_EQ(d->ColSpan, 1);
    TCellObj* a = (*t->Rows[0])[0];
    EXPECT_EQ(a->SpecWd, 10);
    TCellObj* b = (*t->Rows[0])[1];
    EXPECT_EQ(b->SpecWd, 200);
    EXPECT_TRUE(b->WidthPercent);
}

TEST_F(ParserTest, CellsTakeTheirAttributes) {
    Parse("<table cellpadding=4 cellspacing=50 border><tr bgcolor=red valign=top>"
          "<td width=50% height=30 colspan=2 nowrap>a b</td><th align=center>h</th></tr></table>");
    auto* tb = dynamic_cast<TTableBlock*>((*dynamic_cast<TBlock*>((*list_)[0])->MyCell)[0]);
    ASSERT_NE(tb, nullptr);
    ThtmlTable* t = tb->Table;
    EXPECT_EQ(t->CellPadding, 4);
    EXPECT_EQ(t->CellSpacing, 40);
    EXPECT_EQ(t->BorderWidth, 1);
    TCellObj* c = (*t->Rows[0])[0];
    EXPECT_EQ(c->SpecWd, 500);
    EXPECT_EQ(c->SpecHt, 30);
    EXPECT_EQ(c->ColSpan, 2);
    EXPECT_EQ(c->VAlign, 1);
    // NOWRAP with a percent width: no break opportunities in the cell.
    TSection* ab = FindSection(*c->Cell, u"a b");
    ASSERT_NE(ab, nullptr);
    EXPECT_EQ(ab->Brk.substr(0, 3), "nnn");
    EXPECT_EQ(FindSection(*(*t->Rows[0])[1]->Cell, u"h")->Justify, 2);
}

TEST_F(ParserTest, CaptionWrapsTheTable) {
    std::string s = Shape("<table align=center><caption align=bottom>cap</caption><tr><td>x</td></tr></table>");
    EXPECT_THAT(s, HasSubstr("TableAndCaption tag=table\n      TableBlock tag=table\n"));
    EXPECT_THAT(s, HasSubstr("      Block tag=caption\n        Section \"cap\"\n"));
}

TEST_F(ParserTest, FormsAndControls) {
    Parse("<form action=go method=post><input name=a value=1><input type=checkbox name=c>"
          "<select name=s><option value=v1>one<option selected>two</select>"
          "<textarea name=t>hello\nworld</textarea><input type=hidden name=h value=z></form>"
          "<input name=outside>");
    ASSERT_EQ(list_->htmlFormList.Count(), 2);
    ThtmlForm* f = list_->htmlFormList[0];
    EXPECT_EQ(f->Method, "post");
    EXPECT_EQ(f->ControlList.Count(), 5);
    EXPECT_EQ(f->NonHiddenCount, 4);
    auto sub = f->CollectSubmission();
    ASSERT_EQ(sub->Count(), 4);
    EXPECT_EQ((*sub)[0], "a=1");
    EXPECT_EQ((*sub)[1], "s=two");
    EXPECT_EQ((*sub)[2], "t=hello\r\nworld");
    EXPECT_EQ((*sub)[3], "h=z");
    EXPECT_EQ(list_->htmlFormList[1]->ControlList.Count(), 1);
}

// Pages nested far deeper than any real one load, lay out and keep all their
// text: the innermost text and the text after every level has closed.
TEST_F(ParserTest, VeryDeepNestingKeepsEveryText) {
    const int depth = 100000;
    const std::pair<std::string, std::string> kinds[] = {
        {"<div>", "</div>"}, {"<ul><li>", "</ul>"}, {"<blockquote>", "</blockquote>"},
        {"<ol><li><div>", "</div></ol>"}, {"<table><tr><td>", "</td></tr></table>"}};
    for (const auto& [open, close] : kinds) {
        std::string html;
        html.reserve((open.size() + close.size()) * depth + 64);
        for (int i = 0; i < depth; ++i) html += open;
        html += "innermost";
        for (int i = 0; i < depth; ++i) html += close;
        html += "<p>after";
        Parse(html);
        EXPECT_GT(Layout(800), 0) << open;
        EXPECT_NE(FindSection(*list_, u"innermost"), nullptr) << open;
        EXPECT_NE(FindSection(*list_, u"after"), nullptr) << open;
    }
}

// Below the limit nesting is kept as written, and an end tag dropped for a
// refused level does not close the levels that were opened.
TEST_F(ParserTest, NestingAtTheLimitClosesItsOwnLevels) {
    std::string html;
    for (int i = 0; i < 300; ++i) html += "<div>";
    html += "deep";
    for (int i = 0; i < 300; ++i) html += "</div>";
    html += "outside";
    Parse(html);
    std::string dump = ShapeOf(*list_);
    // "outside" follows the outermost division, at the body's own level.
    ASSERT_NE(dump.find("Section \"deep\""), std::string::npos);
    size_t outside = dump.find("Section \"outside\"");
    ASSERT_NE(outside, std::string::npos);
    std::string line = dump.substr(dump.rfind('\n', outside) + 1, outside - dump.rfind('\n', outside) - 1);
    EXPECT_EQ(line, "    ");
}

// Inline elements nest only so deep as well: a start tag beyond the limit
// changes nothing and its end tag is dropped, so the levels that did open
// close at their own ends, in running and in preformatted text.
TEST_F(ParserTest, InlineNestingAtTheLimitKeepsTextAndClosesItsOwnLevels) {
    for (const std::string pre : {"", "<pre>"}) {
        std::string html = pre + "<u>";
        for (int i = 0; i < 150; ++i) html += "<b><font color=red>";
        html += "<i>deep</i>";
        for (int i = 0; i < 150; ++i) html += "</font></b>";
        html += "under</u>plain";
        Parse(html);
        TSection* s = FindSection(*list_, u"deepunderplain");
        ASSERT_NE(s, nullptr) << pre;
        auto styleAt = [&](int pos) {
            int i = 0;
            TFontObj* f = s->Fonts.GetFontObjAt(pos, i);
            return f && f->TheFont ? f->TheFont->Style() : TFontStyles(0);
        };
        EXPECT_EQ(styleAt(0), fsBold | fsUnderline) << pre;  // the italic level is beyond the limit
        EXPECT_EQ(styleAt(4), fsUnderline) << pre;
        EXPECT_EQ(styleAt(9), 0) << pre;
    }
}
