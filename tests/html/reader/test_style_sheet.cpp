#include <gmock/gmock.h>

#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"

namespace {

// Parses `css` as an embedded sheet; returns the upper-cased stop character
// and what was left unread.
struct Embedded {
    unsigned char stop;
    std::string rest;
};

Embedded ParseEmbedded(TStyleList& styles, const std::string& css) {
    size_t pos = 0;
    unsigned char ch = '>';
    DoStyle(
        &styles, [&]() -> unsigned char { return pos < css.size() ? static_cast<unsigned char>(css[pos++]) : 0; },
        ch, "", false,
        [&]() -> unsigned char { return pos < css.size() ? static_cast<unsigned char>(css[pos]) : 0; });
    return {ch, css.substr(pos)};
}

const TPropValue& Value(TStyleList& styles, const std::string& key, int index) {
    static const TPropValue empty;
    TProperties* p = styles.PropsOf(key);
    return p ? p->Props[static_cast<size_t>(index)] : empty;
}

std::vector<std::string> Keys(const TStyleList& styles) {
    std::vector<std::string> k;
    for (int i = 0; i < styles.Count(); ++i) k.push_back(styles.Strings(i));
    return k;
}

}  // namespace

TEST(StyleSheet, EmbeddedSheetInCommentStopsAtTheEndTag) {
    TStyleList styles;
    Embedded e = ParseEmbedded(styles, "\r\n<!--\r\nP { color: red; margin-top: 3px }\r\n-->\r\n</style><p>");
    EXPECT_EQ(e.stop, '<');
    EXPECT_EQ(e.rest, "/style><p>");
    EXPECT_THAT(Keys(styles), ::testing::ElementsAre("p"));
    EXPECT_EQ(Value(styles, "p", piColor).Int(), 0x0000FF);
    EXPECT_EQ(Value(styles, "p", piMarginTop).Text(), "3px");
}

TEST(StyleSheet, AnEmptySheetDoesNotSwallowItsEndTag) {
    TStyleList styles;
    Embedded e = ParseEmbedded(styles, "</style><b>x</b>");
    EXPECT_EQ(e.stop, '<');
    EXPECT_EQ(e.rest, "/style><b>x</b>");
    EXPECT_EQ(styles.Count(), 0);
}

TEST(StyleSheet, SelectorListsAndFourSidedShorthands) {
    TStyleList styles;
    ParseEmbedded(styles, "h1, H2 { margin: 1px 2px } td {padding: 1px 2px 3px} th{border-width:1px 2px 3px 4px}");
    for (const char* key : {"h1", "h2"}) {
        EXPECT_EQ(Value(styles, key, piMarginTop).Text(), "1px");
        EXPECT_EQ(Value(styles, key, piMarginBottom).Text(), "1px");
        EXPECT_EQ(Value(styles, key, piMarginRight).Text(), "2px");
        EXPECT_EQ(Value(styles, key, piMarginLeft).Text(), "2px");
    }
    EXPECT_EQ(Value(styles, "td", piPaddingTop).Text(), "1px");
    EXPECT_EQ(Value(styles, "td", piPaddingLeft).Text(), "2px");
    EXPECT_EQ(Value(styles, "td", piPaddingBottom).Text(), "3px");
    EXPECT_EQ(Value(styles, "th", piBorderLeftWidth).Text(), "4px");
    EXPECT_EQ(Value(styles, "th", piBorderBottomWidth).Text(), "3px");
}

TEST(StyleSheet, SelectorKeys) {
    TStyleList styles;
    ParseEmbedded(styles, "p#x.y {color:red} P.Y#X {color:blue} p.y {color:green} a#n:hover {color:red}"
                          "div p {color:red} ul li {color:red} div ul li {color:red}");
    std::vector<std::string> keys = Keys(styles);
    EXPECT_THAT(keys, ::testing::Contains("p.y#x"));
    EXPECT_THAT(keys, ::testing::Contains("p.y"));
    // The pseudo-class goes last, the form the cascade looks for.
    EXPECT_THAT(keys, ::testing::Contains("a#n:hover"));
    EXPECT_THAT(keys, ::testing::Contains("p 110div "));
    EXPECT_THAT(keys, ::testing::Contains("li 111ul "));
    EXPECT_THAT(keys, ::testing::Contains("li 212ul div "));
    EXPECT_EQ(styles.SeqNo, 13);
    // Both written orders merged into one set: the later colour wins.
    EXPECT_EQ(Value(styles, "p.y#x", piColor).Int(), 0xFF0000);
    EXPECT_EQ(SortContextualItems("#i.c:hover.d"), ".c.d#i:hover");
}

TEST(StyleSheet, FontShorthand) {
    TStyleList styles;
    ParseEmbedded(styles, "p { font: bold 12pt/14pt arial, helvetica } "
                          "div { font: 700 italic 10px Times New Roman } "
                          "span { font: x-large 'Courier New' } h1 { font: arial bold 9pt }");
    EXPECT_EQ(Value(styles, "p", piFontWeight).Text(), "bold");
    EXPECT_EQ(Value(styles, "p", piFontSize).Text(), "12pt");
    EXPECT_EQ(Value(styles, "p", piLineHeight).Text(), "14pt");
    EXPECT_EQ(Value(styles, "p", piFontFamily).Text(), "arial,helvetica");
    EXPECT_TRUE(Value(styles, "div", piFontWeight).IsEmpty());
    EXPECT_EQ(Value(styles, "div", piFontStyle).Text(), "italic");
    EXPECT_EQ(Value(styles, "div", piFontSize).Text(), "10px");
    EXPECT_EQ(Value(styles, "div", piFontFamily).Text(), "times new roman");
    EXPECT_EQ(Value(styles, "span", piFontSize).Text(), "x-large");
    EXPECT_EQ(Value(styles, "span", piFontFamily).Text(), "'courier new'");
    // Words after the family are read for what they are.
    EXPECT_EQ(Value(styles, "h1", piFontFamily).Text(), "arial");
    EXPECT_EQ(Value(styles, "h1", piFontWeight).Text(), "bold");
    EXPECT_EQ(Value(styles, "h1", piFontSize).Text(), "9pt");
}

TEST(StyleSheet, BorderBackgroundAndListShorthands) {
    TStyleList styles;
    ParseEmbedded(styles, "td { border: 2px solid rgb(255, 0, 0) } th { border-top: dotted #00f 1px } "
                          "body { background: #fff url(Img/Bg.gif) no-repeat fixed top left } "
                          "ul { list-style: square url(dot.gif) }");
    EXPECT_EQ(Value(styles, "td", piBorderColor).Int(), 0x020000FF);
    EXPECT_EQ(Value(styles, "td", piBorderRightColor).Int(), 0x020000FF);
    EXPECT_EQ(Value(styles, "td", piBorderStyle).Text(), "solid");
    EXPECT_EQ(Value(styles, "td", piBorderLeftStyle).Text(), "solid");
    for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i) EXPECT_EQ(Value(styles, "td", i).Text(), "2px");
    EXPECT_EQ(Value(styles, "th", piBorderTopStyle).Text(), "dotted");
    EXPECT_EQ(Value(styles, "th", piBorderTopColor).Int(), 0x02FF0000);
    EXPECT_EQ(Value(styles, "th", piBorderTopWidth).Text(), "1px");
    EXPECT_EQ(Value(styles, "body", piBackgroundColor).Int(), 0x02FFFFFF);
    EXPECT_EQ(Value(styles, "body", piBackgroundImage).Text(), "url(Img/Bg.gif)");
    EXPECT_EQ(Value(styles, "body", piBackgroundRepeat).Text(), "no-repeat");
    EXPECT_EQ(Value(styles, "body", piBackgroundAttachment).Text(), "fixed");
    EXPECT_EQ(Value(styles, "body", piBackgroundPosition).Text(), "top left ");
    EXPECT_EQ(Value(styles, "ul", piListStyleType).Text(), "square");
    EXPECT_EQ(Value(styles, "ul", piListStyleImage).Text(), "url(dot.gif)");
}

TEST(StyleSheet, MediaBlocksAndAtRules) {
    TStyleList styles;
    ParseEmbedded(styles, "@import url(x.css); @media print { p { color: red } .x { a: b } } "
                          "@media screen, print { b { color: blue } } i { color: green }");
    EXPECT_THAT(Keys(styles), ::testing::ElementsAre("b", "i"));
}

TEST(StyleSheet, CommentsEndAtTheEndTag) {
    TStyleList styles;
    ParseEmbedded(styles, "p { color: red } /* b { color: blue } </style> i {color: red}");
    EXPECT_THAT(Keys(styles), ::testing::ElementsAre("p"));
    TStyleList more;
    ParseEmbedded(more, "/* a */ p /* b */ { /* c */ color /* d */ : red }");
    EXPECT_EQ(Value(more, "p", piColor).Int(), 0x0000FF);
}

TEST(StyleSheet, DeclarationsThatDoNotFitAreSkipped) {
    TStyleList styles;
    ParseEmbedded(styles, "p { color red; margin-top: 4px !important; nonsense: 1; color: \"navy\" }"
                          "* { color: red } div > p { color: blue }");
    EXPECT_EQ(Value(styles, "p", piMarginTop).Text(), "4px");
    EXPECT_EQ(Value(styles, "p", piColor).Int(), 0x800000);
    // What stands before an unsupported combinator is the selector.
    EXPECT_EQ(Value(styles, "div", piColor).Int(), 0xFF0000);
}

TEST(StyleSheet, UrlsOfLinkedSheetsResolveAgainstTheirBase) {
    TStyleList styles;
    DoStyleText(&styles, "p { background-image: url('img/a.gif') } div { background: url(/b.gif) }",
                "http://host/css/");
    EXPECT_EQ(Value(styles, "p", piBackgroundImage).Text(), "url(http://host/css/img/a.gif)");
    EXPECT_EQ(Value(styles, "div", piBackgroundImage).Text(), "url(http://host/b.gif)");
    TStyleList local;
    DoStyleText(&local, "p { background-image: url(img/a.gif) } b { background-image: url(c:/x.gif) }",
                "C:\\dados\\");
    EXPECT_EQ(Value(local, "p", piBackgroundImage).Text(), "url(C:\\dados\\img\\a.gif)");
    EXPECT_EQ(Value(local, "b", piBackgroundImage).Text(), "url(c:\\x.gif)");
}

// Blanks may stand between "!" and "important": the declaration still holds,
// in a sheet and in a style attribute.
TEST(StyleSheet, ImportantWithBlanksKeepsTheDeclaration) {
    TStyleList styles;
    ParseEmbedded(styles, "p { color: blue ! important; margin-top: 4px !  IMPORTANT }");
    EXPECT_EQ(Value(styles, "p", piColor).Int(), 0xFF0000);
    EXPECT_EQ(Value(styles, "p", piMarginTop).Text(), "4px");
    TProperties p;
    ParsePropertyStr("color: blue ! important", &p);
    EXPECT_EQ(p.Props[piColor].Int(), 0xFF0000);
}

TEST(StyleSheet, StyleAttributes) {
    TProperties p;
    ParsePropertyStr("COLOR: RED; Margin: 0 AUTO;font-weight=bold;; bogus:1; width:50%", &p);
    EXPECT_EQ(p.Props[piColor].Int(), 0x0000FF);
    EXPECT_EQ(p.Props[piMarginLeft].Text(), "auto");
    EXPECT_EQ(p.Props[piMarginTop].Text(), "0");
    EXPECT_EQ(p.Props[piFontWeight].Text(), "bold");
    EXPECT_EQ(p.Props[piWidth].Text(), "50%");
    // A colour that does not parse is black in a style attribute.
    TProperties q;
    ParsePropertyStr("color: nocolour", &q);
    EXPECT_EQ(q.Props[piColor].Int(), 0);
}
