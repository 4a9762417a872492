// End tags in the wrong order inside blocks that pop the style stack back
// when they end (preformatted text, tables, captions) and a BODY inside a
// block. The blocks end without freeing what the elements around them still
// hold (the sanitized build stops at any use after free) and the text after
// them keeps the style of those elements.
#include <gmock/gmock.h>

#include "html/layout/blocks.h"
#include "html/layout/floating.h"
#include "parser_fixture.h"

using ::testing::HasSubstr;

namespace {

// The first font run of the paragraph whose text starts with `text`.
std::string RunOf(const std::string& dump, const std::string& text) {
    const size_t at = dump.find("text=\"" + text);
    if (at == std::string::npos) return "";
    const size_t run = dump.find("Run ", at);
    return run == std::string::npos ? "" : dump.substr(run, dump.find('\n', run) - run);
}

}  // namespace

TEST_F(ParserTest, AMisnestedEndTagInsidePreOrACaptionFreesNothingOutside) {
    Parse("<font color=red><b>after</b></font>");
    const std::string around = RunOf(Dump(), "after");
    ASSERT_THAT(around, HasSubstr(" b color="));
    Parse("<font color=red><b><a href=x>link</a><a href=y><pre>code</a></pre>after</b></font>");
    Layout(400);
    EXPECT_EQ(RunOf(Dump(), "after"), around);

    // The table's own entry outlives a caption whose link ends inside a PRE.
    for (const char* html : {"<table><caption><a href=x><pre></a>", "<table><caption><a href=x><pre></a></pre>t</table>z",
                             "<table><tr><td><a href=x><pre></a></pre>c</td></tr></table><p>z",
                             "<table><thead><tr><td><b><pre></b></thead><tr><td>c</table>z"}) {
        Parse(html);
        Layout(300);
        TCanvas canvas;
        list_->Draw(canvas, TRect{0, 0, 300, 600}, 300, 0, 0, 0, 0);
    }
    // Pages one after the other, as the viewer loads them.
    const std::string soup = "<b><a href=1><pre><i></a></b>x</pre></i><table><caption><pre></caption></table>y";
    for (int i = 0; i < 3; ++i) Parse(soup);
    EXPECT_NE(list_->FindString(0, u"y", false), -1);
}

TEST_F(ParserTest, ABodyInsideABlockKeepsTheBlocksCell) {
    for (const char* html : {"<center><body bgcolor=yellow>a</center>b<p>c</p>",
                             "<form><body bgcolor=yellow>a</form>b<p>c</p>", "<div><center><body>a</center></div>b<p>c"}) {
        Parse(html);
        Layout(400);
        for (const char16_t* t : {u"a", u"b", u"c"}) EXPECT_NE(list_->FindString(0, t, false), -1) << html;
    }
}

// A paragraph or a form opened inside preformatted text ends where its end
// tag stands: what follows goes back to the block it was opened in.
TEST_F(ParserTest, AParagraphEndInsideAFormInPreReturnsToTheForm) {
    const std::string shape = Shape("<pre><form><p>a</p>b</form>c</pre>");
    // "b" is in the form's block, beside the paragraph's, not inside it.
    const size_t p = shape.find("\"a\""), b = shape.find("\"b\"");
    ASSERT_NE(p, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    auto depth = [&](size_t at) { return at - shape.rfind('\n', at); };
    EXPECT_LT(depth(b), depth(p));
    EXPECT_THAT(Shape("<pre><p>a<form>b</p>c</form>d</pre>e"), HasSubstr("\"e\""));
}

// A linked style sheet whose address the expand-name handler expands is
// asked for by the expanded address, and its pictures are read against that
// address's base.
TEST_F(ParserTest, ALinkedSheetOfAnExpandedNameReadsAgainstItsBase) {
    std::vector<std::string> asked;
    Readhtml::LinkedSheetEvent = [&](const std::string& name, std::string& text, std::string& path) {
        asked.push_back(name);
        text = "div { background-image: url(fundo.gif) }";
        path = "/outra/";
        return true;
    };
    NewList();
    list_->ExpandName = [](TObject*, const std::string& src, std::string& result) { result = "http://host/css/" + src; };
    Readhtml::HtmlParseString("<link rel=stylesheet href=estilo.css><div>a</div>", list_.get());
    Readhtml::LinkedSheetEvent = nullptr;
    EXPECT_THAT(asked, ::testing::ElementsAre("http://host/css/estilo.css"));
    std::string picture;
    std::vector<TCellBasic*> open{list_.get()};
    while (!open.empty()) {
        TCellBasic* c = open.back();
        open.pop_back();
        for (const auto& s : *c)
            if (auto* b = dynamic_cast<TBlock*>(s.get())) {
                if (b->HasBackgroundImage()) picture = b->Bg->Image->Source;
                open.push_back(b->MyCell.get());
            }
    }
    EXPECT_EQ(picture, "http://host/css/fundo.gif");
}
