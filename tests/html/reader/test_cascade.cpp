#include <gmock/gmock.h>

#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"
#include "platform/gui/font_service.h"

namespace {

// The parser's stack as the element handlers keep it: the bottom entry from
// the default sheet, one pushed entry per open element.
class CascadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        styles.Initialize("Times New Roman", "Courier New", 10, 5, 0, true, 0x0000FF, 0x800080, 0xFF0000, 0, 12);
        ParserPropStack.Clear();
        auto bottom = std::make_unique<TProperties>();
        bottom->CopyDefaultFont(*styles.DefProp);
        ParserPropStack.Add(std::move(bottom));
    }
    void TearDown() override { ParserPropStack.Clear(); }

    void Sheet(const std::string& css) {
        size_t pos = 0;
        unsigned char ch = '>';
        DoStyle(&styles,
                [&]() -> unsigned char { return pos < css.size() ? static_cast<unsigned char>(css[pos++]) : 0; }, ch,
                "", false);
    }

    TProperties* Push(const std::string& tag, const std::string& cls = "", const std::string& id = "",
                      const std::string& style = "", const std::string& pseudo = "") {
        auto p = std::make_unique<TProperties>();
        TProperties* raw = p.get();
        raw->Inherit(tag, *ParserPropStack.Top());
        ParserPropStack.Add(std::move(p));
        TProperties* attr = nullptr;
        if (!style.empty()) {
            styleAttrs.push_back(std::make_unique<TProperties>());
            attr = styleAttrs.back().get();
            ParsePropertyStr(style, attr);
        }
        raw->Combine(&styles, tag, cls, id, pseudo, "", attr);
        return raw;
    }

    // Removes the entry named tag and re-inherits those above it, as a
    // misnested end tag does.
    void PopAProp(const std::string& tag) {
        for (int i = ParserPropStack.Count() - 1; i > 0; --i) {
            if (ParserPropStack[i]->PropTag != tag) continue;
            ParserPropStack.Delete(i);
            for (int k = i; k < ParserPropStack.Count(); ++k)
                ParserPropStack[k]->Reinherit(*ParserPropStack[k - 1], &styles, k);
            return;
        }
    }

    TStyleList styles;
    std::vector<std::unique_ptr<TProperties>> styleAttrs;
};

}  // namespace

TEST_F(CascadeTest, TheStyleAttributeWinsOverRules) {
    Sheet(".warn { color: red } p { color: green }");
    TProperties* p = Push("p", "warn", "", "color: blue");
    EXPECT_EQ(p->Props[piColor].Int(), 0xFF0000);
    // The element keeps its style set after the attribute list lets go of it.
    styleAttrs.clear();
    ASSERT_NE(p->PropStyle, nullptr);
    EXPECT_EQ(p->PropStyle->Props[piColor].Int(), 0xFF0000);
    // A presentational colour does not override what a rule set.
    p->Assign(int(0x00FF00), piColor);
    EXPECT_EQ(p->Props[piColor].Int(), 0xFF0000);
    TProperties* q = Push("font");
    q->Assign(int(0x00FF00), piColor);
    EXPECT_EQ(q->Props[piColor].Int(), 0x00FF00);
}

TEST_F(CascadeTest, IdBeatsClassBeatsTagWhateverTheOrder) {
    Sheet("#main { color: red } .note { color: green; margin-top: 2px } div { color: blue; margin-top: 1px }");
    TProperties* d = Push("div", "note", "main");
    EXPECT_EQ(d->Props[piColor].Int(), 0x0000FF);
    EXPECT_EQ(d->Props[piMarginTop].Text(), "2px");
    EXPECT_TRUE(d->PropSet[piColor]);
    EXPECT_FALSE(d->PropSet[piPaddingTop]);
}

TEST_F(CascadeTest, SeveralClassesAndPseudoClassKeys) {
    Sheet(".a { color: red } .b { font-weight: bold } .a.b { font-style: italic } a#go:hover { color: navy }");
    TProperties* s = Push("span", "b.a");
    EXPECT_EQ(s->PropClass, "b.a");
    EXPECT_EQ(s->Props[piColor].Int(), 0x0000FF);
    EXPECT_EQ(s->Props[piFontWeight].Text(), "bold");
    EXPECT_TRUE(styles.LinksActive);
    EXPECT_NE(styles.PropsOf("a#go:hover"), nullptr);
}

TEST_F(CascadeTest, LinkRulesAndLinkFonts) {
    Sheet("a { color: green } :visited { color: purple } a:hover { text-decoration: none }");
    EXPECT_EQ(styles.PropsOf("::link")->Props[piColor].Int(), 0x008000);
    EXPECT_TRUE(styles.LinksActive);
    TProperties* a = Push("a", "", "", "", "link");
    ASSERT_TRUE(a->HasFontInfo);
    ASSERT_NE(a->FontInfoArray, nullptr);
    EXPECT_EQ(a->Props[piColor].Int(), 0x008000);
    EXPECT_EQ(a->FontInfoArray->Ary[0].Color, 0x008000);
    EXPECT_TRUE(a->FontInfoArray->Ary[0].Style & fsUnderline);
    EXPECT_EQ(a->FontInfoArray->Ary[1].Color, 0x800080);
    // Hovered: the ":hover" rule drops the underline.
    EXPECT_FALSE(a->FontInfoArray->Ary[2].Style & fsUnderline);
    EXPECT_FALSE(a->FontInfoArray->Ary[3].Style & fsUnderline);
    EXPECT_EQ(ParserPropStack.Count(), 2);  // the transient sets are gone
    // Children of a link carry its fonts.
    TProperties* b = Push("b");
    EXPECT_TRUE(b->HasFontInfo);
    TProperties* s = Push("span", "", "", "color: red");
    EXPECT_EQ(s->FontInfoArray->Ary[0].Color, 0x0000FF);
}

TEST_F(CascadeTest, ContextualRules) {
    Sheet("div p { color: red } .box td b { color: green } ul ul li { margin-left: 3px }");
    Push("div");
    Push("span");
    TProperties* p = Push("p");
    EXPECT_EQ(p->Props[piColor].Int(), 0x0000FF);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);
    TProperties* q = Push("p");
    EXPECT_NE(q->Props[piColor].Int(), 0x0000FF);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);

    Push("table", "box");
    Push("td");
    TProperties* b = Push("b");
    EXPECT_EQ(b->Props[piColor].Int(), 0x008000);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);
    ParserPropStack.Delete(ParserPropStack.Count() - 1);

    Push("ul");
    TProperties* li1 = Push("li");
    EXPECT_TRUE(li1->Props[piMarginLeft].Is(IntNull));
    Push("ul");
    TProperties* li2 = Push("li");
    EXPECT_EQ(li2->Props[piMarginLeft].Text(), "3px");
}

TEST_F(CascadeTest, DefaultSheetSpacingForParagraphs) {
    TProperties* p = Push("p");
    EXPECT_TRUE(p->Props[piMarginTop].Is(ParaSpace));
    MargArray m{};
    bool topAuto, bottomAuto;
    p->GetVMarginArray(m, topAuto, bottomAuto);
    EXPECT_EQ(m[piMarginTop], 14);
    EXPECT_TRUE(topAuto);
    EXPECT_TRUE(bottomAuto);
    ParserPropStack.Delete(1);
    Push("pre");
    TProperties* inPre = Push("p");
    EXPECT_TRUE(inPre->Props[piMarginTop].Is(0));
    EXPECT_TRUE(inPre->Props[piMarginBottom].Is(ParaSpace));
    inPre->GetVMarginArray(m, topAuto, bottomAuto);
    EXPECT_EQ(m[piMarginTop], 0);
    EXPECT_FALSE(topAuto);
}

TEST_F(CascadeTest, InheritanceOfSpansTableSectionsAndTables) {
    Sheet("span { margin-left: 4px; background-color: yellow } tbody { color: red }");
    Push("span");
    TProperties* child = Push("b");
    EXPECT_EQ(child->Props[piMarginLeft].Text(), "4px");
    EXPECT_EQ(child->Props[piBackgroundColor].Int(), 0x00FFFF);
    EXPECT_FALSE(child->PropSet[piMarginLeft]);
    ParserPropStack.Delete(2);
    ParserPropStack.Delete(1);

    TProperties* div = Push("div", "", "", "margin-top: 8px; background-color: red; word-wrap: break-word");
    EXPECT_EQ(div->Props[piWordWrap].Text(), "break-word");
    TProperties* inner = Push("i");
    EXPECT_TRUE(inner->Props[piMarginTop].Is(IntNull));
    EXPECT_TRUE(inner->Props[piBackgroundColor].IsEmpty());
    EXPECT_EQ(inner->Props[piWordWrap].Text(), "break-word");
    TProperties* table = Push("table");
    EXPECT_EQ(table->Props[piWordWrap].Text(), "normal");
    Push("tbody");
    TProperties* tr = Push("tr");
    EXPECT_EQ(tr->Props[piColor].Int(), 0x0000FF);
    EXPECT_TRUE(tr->PropSet[piColor]);
}

TEST_F(CascadeTest, MisnestedEndTagsCloseTheNamedElement) {
    Push("b");
    TProperties* i = Push("i");
    EXPECT_EQ(i->Props[piFontWeight].Text(), "bold");
    EXPECT_EQ(i->Props[piFontStyle].Text(), "italic");
    PopAProp("b");
    ASSERT_EQ(ParserPropStack.Top(), i);
    EXPECT_EQ(i->Props[piFontWeight].Text(), "normal");
    EXPECT_EQ(i->Props[piFontStyle].Text(), "italic");
}

TEST_F(CascadeTest, FontSizesBecomePoints) {
    TProperties* big = Push("big");
    EXPECT_DOUBLE_EQ(big->Props[piFontSize].Real(), 15.0);
    TProperties* h = Push("h1");
    EXPECT_DOUBLE_EQ(h->Props[piFontSize].Real(), 24.0);
    TProperties* s = Push("span", "", "", "font-size: larger");
    EXPECT_DOUBLE_EQ(s->Props[piFontSize].Real(), 30.0);
    TProperties* code = Push("code");
    EXPECT_NEAR(code->Props[piFontSize].Real(), 24.99, 0.001);
}

TEST_F(CascadeTest, StoringValues) {
    TProperties p;
    p.AddPropertyByName("border-style", "dashed");
    EXPECT_EQ(p.Props[piBorderLeftStyle].Text(), "dashed");
    p.AddPropertyByName("border-top-style", "none");
    EXPECT_EQ(p.Props[piBorderStyle].Text(), "dashed");
    p.AddPropertyByName("border-color", "#010203");
    EXPECT_EQ(p.Props[piBorderTopColor].Int(), 0x02030201);
    p.AddPropertyByName("border-color", "nope");
    EXPECT_EQ(p.Props[piBorderColor].Int(), 0x02030201);
    p.AddPropertyByName("background-color", "nope");
    EXPECT_EQ(p.Props[piBackgroundColor].Int(), clNone);
    p.AddPropertyByName("visibility", "collapse");
    EXPECT_TRUE(p.Props[piVisibility].IsEmpty());
    p.AddPropertyByName("text-transform", "capitalize");
    EXPECT_TRUE(p.Props[piTextTransform].Is(0));
    p.AddPropertyByName("word-wrap", "anywhere");
    EXPECT_EQ(p.Props[piWordWrap].Text(), "normal");
    p.AddPropertyByName("Color", "red");
    EXPECT_TRUE(p.Props[piColor].IsEmpty());
    styles.AddSelectorProp("p", "color", "nope");
    EXPECT_TRUE(styles.PropsOf("p")->Props[piColor].IsEmpty());
    styles.AddSelectorProp(":link", "color", "lime");
    EXPECT_EQ(styles.PropsOf("::hover")->Props[piColor].Int(), 0x00FF00);
    EXPECT_EQ(styles.PropsOf("::visited")->Props[piColor].Int(), 0x00FF00);
}

TEST_F(CascadeTest, Getters) {
    TProperties* p = Push("div", "", "",
                          "float: right; clear: both; position: relative; visibility: hidden; z-index: 7;"
                          "display: none; overflow: hidden; border-collapse: collapse; vertical-align: text-top;"
                          "list-style-type: upper-roman; list-style-image: url(\"dot.gif\");"
                          "page-break-before: always; page-break-inside: avoid; text-indent: 10%;"
                          "background-image: none; line-height: 1.5");
    int v = -1;
    EXPECT_TRUE(p->GetFloat(v));
    EXPECT_EQ(v, 6);
    EXPECT_TRUE(p->GetClear(v));
    EXPECT_EQ(v, 3);
    EXPECT_EQ(p->GetPosition(), 2);
    EXPECT_EQ(p->GetVisibility(), 1);
    EXPECT_EQ(p->GetZIndex(), 7);
    EXPECT_TRUE(p->DisplayNone());
    EXPECT_TRUE(p->IsOverflowHidden());
    EXPECT_TRUE(p->Collapse());
    EXPECT_TRUE(p->GetVertAlign(v));
    EXPECT_EQ(v, 1);
    EXPECT_EQ(p->GetListStyleType(), 9);
    EXPECT_EQ(p->GetListStyleImage(), "dot.gif");
    bool before, after, inside;
    p->GetPageBreaks(before, after, inside);
    EXPECT_TRUE(before);
    EXPECT_FALSE(after);
    EXPECT_TRUE(inside);
    bool percent;
    EXPECT_EQ(p->GetTextIndent(percent), 10);
    EXPECT_TRUE(percent);
    std::string image = "x";
    EXPECT_TRUE(p->GetBackgroundImage(image));
    EXPECT_EQ(image, "");
    EXPECT_EQ(p->GetLineHeight(20), 30);
    TProperties* q = Push("span", "", "", "line-height: 2em; float: middle");
    q->EmSize = 10;
    EXPECT_EQ(q->GetLineHeight(20), 20);
    EXPECT_FALSE(q->GetFloat(v));
    ParserPropStack.Delete(2);
    ParserPropStack.Delete(1);
    EXPECT_EQ(Push("i")->GetLineHeight(20), -1);
}

TEST_F(CascadeTest, BackgroundPositions) {
    auto pos = [&](const std::string& style) {
        TProperties* p = Push("div", "", "", style);
        PositionRecArray r;
        p->GetBackgroundPos(16, 8, r);
        ParserPropStack.Delete(ParserPropStack.Count() - 1);
        return r;
    };
    PositionRecArray r = pos("background-position: top left; background-repeat: repeat-x");
    EXPECT_EQ(r[0].PosType, 3);
    EXPECT_EQ(r[1].PosType, 0);
    EXPECT_TRUE(r[0].RepeatD);
    EXPECT_FALSE(r[1].RepeatD);
    r = pos("background-position: center left");
    EXPECT_EQ(r[0].PosType, 3);
    EXPECT_EQ(r[1].PosType, 1);
    r = pos("background-position: 25% 2em; background-attachment: fixed");
    EXPECT_EQ(r[0].PosType, 5);
    EXPECT_EQ(r[0].Value, 25);
    EXPECT_EQ(r[1].PosType, 6);
    EXPECT_EQ(r[1].Value, 32);
    EXPECT_TRUE(r[0].Fixed && r[1].Fixed);
    r = pos("background-position: bottom");
    EXPECT_EQ(r[1].PosType, 2);
    EXPECT_EQ(r[0].PosType, 1);
    r = pos("color: red");
    EXPECT_EQ(r[0].PosType, 6);
    EXPECT_EQ(r[1].Value, 0);
}

TEST_F(CascadeTest, FontsFromProperties) {
    TFixedFontService fixed;
    TFontService* old = SetFontService(&fixed);
    TProperties* p = Push("span", "", "", "font-weight: 700; text-decoration: underline; letter-spacing: 2px");
    std::unique_ptr<TMyFont> f = p->GetFont();
    EXPECT_EQ(f->Name(), "Times New Roman");
    EXPECT_EQ(f->Height(), -16);
    EXPECT_EQ(f->Style(), fsBold | fsUnderline);
    EXPECT_EQ(f->CharExtra, 2);
    EXPECT_EQ(p->EmSize, 16);
    EXPECT_EQ(p->ExSize, 8);
    EXPECT_EQ(f->tmHeight, 20);
    TProperties* h = Push("h2");
    EXPECT_EQ(h->GetFont()->Height(), -24);
    SetFontService(old);
}
