#include <gmock/gmock.h>

#include "html/reader/style_parser.h"
#include "html/reader/viewer_types.h"
#include "reader_fixture.h"

using namespace Readhtml;
using ::testing::ElementsAre;

namespace {

const TAttribute* Attr(const ReadSymbol& s, Symb sym) {
    for (const TAttribute& a : s.attributes)
        if (a.Symbol == sym) return &a;
    return nullptr;
}

}  // namespace

TEST_F(ReaderTest, LineBreakPairsFoldToOneBreakEach) {
    InitTokenizer("a\r\nb\n\rc\nd\re\r\n\nf");
    std::string seen;
    for (GetChBasic(); Ch; GetChBasic()) seen += Ch == CR ? '|' : static_cast<char>(Ch);
    EXPECT_EQ(seen, "a|b|c|d|e||f");
}

TEST_F(ReaderTest, TagsLevelsAndEndSymbols) {
    auto s = Read("<br/><h2 class=x>t</h2></h7></br><H1>u");
    ASSERT_GE(s.size(), 7u);
    EXPECT_EQ(s[0].sy, BRSy);
    EXPECT_EQ(s[1].sy, HeadingSy);
    EXPECT_EQ(s[1].level, 2);
    ASSERT_NE(Attr(s[1], ClassSy), nullptr);
    EXPECT_EQ(Attr(s[1], ClassSy)->TextValue, "x");
    EXPECT_EQ(s[3].sy, HeadingEndSy);
    EXPECT_EQ(s[3].level, 2);
    EXPECT_EQ(s[4].sy, OtherSy);  // no seventh level
    EXPECT_EQ(s[5].sy, OtherSy);  // BR has no end symbol
    EXPECT_EQ(s[6].sy, HeadingSy);
    EXPECT_EQ(s[6].level, 1);
}

TEST_F(ReaderTest, StrayLessThanIsTextAndProcessingInstructionIsOther) {
    auto s = Read("<?xml version=\"1.0\"?>a < b<3");
    EXPECT_EQ(s[0].sy, OtherSy);
    EXPECT_EQ(Text(s), u"a < b<3");
}

TEST_F(ReaderTest, CommentsAndDeclarationsAreSkipped) {
    auto s = Read("<!DOCTYPE html>a<!-- x -- y -->b<!-- z --!>c<!-- w --- >d<!-- - ->e-->f");
    EXPECT_EQ(Text(s), u"abcdf");
    // One left open ends the text.
    EXPECT_EQ(Text(Read("a<!-- never closed")), u"a");
    EXPECT_EQ(Text(Read("a<!DOCTYPE html")), u"a");
    // A server block ends at "%>" or at the end of the text.
    EXPECT_EQ(Text(Read("a<% x > y %>b")), u"ab");
    EXPECT_EQ(Text(Read("a<% open")), u"a");
}

TEST_F(ReaderTest, CharacterReferencesInText) {
    EXPECT_EQ(Text(Read("&amp;&amp &AMP; &#233;&#xE9;&#XE9;")), u"&& &AMP; \u00e9\u00e9\u00e9");
    // 150 is a byte of the document code page (Windows-1252: en dash); 9 a space.
    EXPECT_EQ(Text(Read("a&#150;b&#9;c&#1;d")), u"a\u2013b c?d");
    // In UTF-8 such a byte alone is no character.
    ParserPropStack[0]->AssignUTF8();
    EXPECT_EQ(Text(Read("a&#150;b")), u"a\ufffdb");
    ParserPropStack[0]->AssignCharSet(0);
    EXPECT_EQ(Text(Read("&#x;&#;&nosuch;")), u"&x;&;&nosuch;");
    EXPECT_EQ(Text(Read("&hellip&apos;")), u"\u2026\u2019");
    EXPECT_EQ(Text(Read("&#128512;")), u"\U0001F600");
}

TEST_F(ReaderTest, CharacterReferencesInAttributes) {
    auto s = Read("<a title=\"x&hellip\" alt=\"y&hellip;\" href='a&amp;b' name=c&lt;d>");
    // In Windows-1252 the ellipsis is the byte 0x85.
    EXPECT_EQ(Attr(s[0], TitleSy)->TextValue, "x&hellip");
    EXPECT_EQ(Attr(s[0], AltSy)->TextValue, "y\x85");
    EXPECT_EQ(Attr(s[0], HRefSy)->TextValue, "a&b");
    EXPECT_EQ(Attr(s[0], NameSy)->TextValue, "c<d");
}

TEST_F(ReaderTest, LongQuotedValuesKeepEveryByteAndTheTextAfterThemItsPosition) {
    // The value runs across the 4096-byte mark, holds "<", an entity, a line
    // break and the other quote; the text after the tag keeps its position.
    const std::string head = "<p title=\"";
    std::string value(5000, 'v');
    value.replace(4090, 12, "a<b&amp;c'\r\nd");
    const std::string doc = head + value + "\">xy";
    auto s = Read(doc);
    ASSERT_GE(s.size(), 2u);
    std::string expected = value;
    expected.replace(4093, 5, "&");
    EXPECT_EQ(Attr(s[0], TitleSy)->TextValue, expected);
    ASSERT_EQ(s[1].sy, TextSy);
    EXPECT_EQ(s[1].text, u"xy");
    const int at = static_cast<int>(doc.size()) - 2;
    EXPECT_THAT(s[1].positions, ElementsAre(at, at + 1));
}

TEST_F(ReaderTest, WhiteSpaceCollapsesAndPositionsFollowTheSource) {
    auto s = Read("<p>ab  \r\n cd</p>");
    ASSERT_EQ(s[1].sy, TextSy);
    EXPECT_EQ(s[1].text, u"ab cd");
    EXPECT_THAT(s[1].positions, ElementsAre(3, 4, 5, 10, 11));
}

TEST_F(ReaderTest, ControlCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Text(Read("a\x01" "b")), u"a?b");
}

TEST_F(ReaderTest, NulBytesBecomeSpacesUpToAHundred) {
    Read(std::string(200, '\0') + "text");
    InitTokenizer(std::string(200, '\0') + "text");
    EXPECT_EQ(DocS, std::string(100, ' '));
    InitTokenizer(std::string(3, '\0') + "ab");
    EXPECT_EQ(DocS, "   ab");
}

TEST_F(ReaderTest, Utf8SignatureSwitchesToUtf8AndKeepsPositions) {
    auto s = Read("\xEF\xBB\xBF<b>\xC3\xA9t\xC3\xA9</b>");
    EXPECT_TRUE(IsUTF8);
    EXPECT_EQ(ParserPropStack[0]->CodePage, 65001);
    EXPECT_EQ(s[0].sy, BSy);
    ASSERT_EQ(s[1].sy, TextSy);
    EXPECT_EQ(s[1].text, u"\u00e9t\u00e9");
    // The "<" is byte 3 of the document as received.
    EXPECT_THAT(s[1].positions, ElementsAre(6, 8, 9));
}

TEST_F(ReaderTest, AttributeValues) {
    auto s = Read("<table border width=\"50%\" height=50% cellpadding=+3.5 align=center bgcolor=#FFCC00 "
                  "weird=10px hspace=2.5>");
    const ReadSymbol& t = s[0];
    EXPECT_EQ(t.sy, TableSy);
    EXPECT_EQ(Attr(t, BorderSy)->NumValue, 1);
    EXPECT_EQ(Attr(t, WidthSy)->NumValue, 50);
    EXPECT_EQ(Attr(t, WidthSy)->TextValue, "50%");
    EXPECT_EQ(Attr(t, HeightSy)->NumValue, 50);
    EXPECT_EQ(Attr(t, HeightSy)->TextValue, "50%");
    EXPECT_EQ(Attr(t, CellPaddingSy)->NumValue, 4);  // 3.5 to even
    EXPECT_EQ(Attr(t, HSpaceSy)->NumValue, 2);       // 2.5 to even
    EXPECT_EQ(Attr(t, AlignSy)->TextValue, "center");
    EXPECT_EQ(Attr(t, BGColorSy)->TextValue, "#FFCC00");
    EXPECT_EQ(Attr(t, OtherAttribute)->AttrName, "WEIRD");
    EXPECT_EQ(Attr(t, OtherAttribute)->NumValue, 10);
    // Line breaks in a title stay, elsewhere they go.
    auto u = Read("<img title=\"a\nb\" alt=\"c\nd\" src=\"e\nf\">");
    EXPECT_EQ(Attr(u[0], TitleSy)->TextValue, "a\r\nb");
    EXPECT_EQ(Attr(u[0], AltSy)->TextValue, "c\r\nd");
    EXPECT_EQ(Attr(u[0], SrcSy)->TextValue, "ef");
}

// Each tag gets exactly its own attributes, whatever the tags before it had.
TEST_F(ReaderTest, AttributesOfOneTagNeverReachTheNext) {
    std::string doc = "<p class=MsoNormal align=right style=\"text-align:right\" title=longer-than-a-short-string>";
    doc += "<td width=30 name=x>";
    for (int i = 0; i < 100; ++i) doc += "<p a" + std::to_string(i) + "=" + std::to_string(i);
    doc += ">";
    doc += "<p><td id=Z>";
    auto s = Read(doc);
    ASSERT_EQ(s.size(), 6u);  // and the end
    ASSERT_EQ(s[0].attributes.size(), 4u);
    EXPECT_EQ(Attr(s[0], StyleSy)->TextValue, "text-align:right");
    EXPECT_EQ(Attr(s[0], TitleSy)->TextValue, "longer-than-a-short-string");
    ASSERT_EQ(s[1].attributes.size(), 2u);
    EXPECT_EQ(Attr(s[1], WidthSy)->NumValue, 30);
    EXPECT_EQ(Attr(s[1], WidthSy)->TextValue, "30");
    EXPECT_EQ(Attr(s[1], NameSy)->AttrName, "NAME");
    EXPECT_EQ(Attr(s[1], NameSy)->TextValue, "x");
    EXPECT_EQ(Attr(s[1], StyleSy), nullptr);
    ASSERT_EQ(s[2].attributes.size(), 100u);
    EXPECT_EQ(s[2].attributes[99].AttrName, "A99");
    EXPECT_EQ(s[2].attributes[99].NumValue, 99);
    EXPECT_TRUE(s[3].attributes.empty());
    ASSERT_EQ(s[4].attributes.size(), 1u);
    EXPECT_EQ(Attr(s[4], IDSy)->TextValue, "Z");
    EXPECT_EQ(Attr(s[4], IDSy)->NumValue, 0);
}

TEST_F(ReaderTest, TheProgramsOwnMalformedReports) {
    auto s = Read("<div align=center><table border =1 ><tr><td>5 < 6 & 7 &gt; 1</td></div></table>");
    EXPECT_THAT(Symbols(s), ElementsAre(DivSy, TableSy, TRSy, TDSy, TextSy, TextSy, TextSy, TDEndSy, DivEndSy, TableEndSy, EofSy));
    EXPECT_EQ(Attr(s[0], AlignSy)->TextValue, "center");
    EXPECT_EQ(Attr(s[1], BorderSy)->NumValue, 1);
    EXPECT_EQ(Attr(s[1], BorderSy)->TextValue, "1");
    EXPECT_EQ(Text(s), u"5 < 6 & 7 > 1");
}

TEST_F(ReaderTest, ScriptAndStyleStartTagsLeaveTheClosingBracket) {
    InitTokenizer("<style type=text/css>p{}</style><b>");
    GetCh();
    Next();
    EXPECT_EQ(Sy, StyleSy);
    EXPECT_EQ(Ch, '>');
    InitTokenizer("<b>x");
    GetCh();
    Next();
    EXPECT_EQ(Ch, 'x');
}

TEST_F(ReaderTest, IdsAreRecordedOutsideTheScanPass) {
    TIDNameList ids;
    IDNameList = &ids;
    Read("<p id=First>x</p><span ID=\"two\">");
    ASSERT_EQ(ids.Count(), 2);
    EXPECT_GE(ids.IndexOf("first"), 0);
    EXPECT_GE(ids.IndexOf("two"), 0);
    ids.Clear();
    InitTokenizer("<p id=z>");
    ScanPass = true;
    GetCh();
    Next();
    EXPECT_EQ(ids.Count(), 0);
    IDNameList = nullptr;
}

TEST_F(ReaderTest, IncludedTextIsSplicedAtTheCommentsPosition) {
    std::string command;
    std::string params;
    IncludeEvent = [&](TObject*, const std::string& cmd, std::unique_ptr<TStringList> p, std::string& text) {
        command = cmd;
        params = p->Text();
        if (cmd == "date") text = "<b>hoje</b>";
    };
    auto s = Read("ab<!--#date fmt=\"d/m\" x=1 -->cd");
    EXPECT_EQ(command, "date");
    EXPECT_EQ(params, "fmt=d/m\r\nx=1\r\n");
    EXPECT_THAT(Symbols(s), ElementsAre(TextSy, BSy, TextSy, BEndSy, TextSy, EofSy));
    EXPECT_EQ(s[2].text, u"hoje");
    EXPECT_THAT(s[2].positions, ElementsAre(28, 28, 28, 28));
    EXPECT_EQ(s[4].text, u"cd");
}

TEST_F(ReaderTest, AnIncludeThatIncludesItselfEnds) {
    IncludeEvent = [](TObject*, const std::string&, std::unique_ptr<TStringList>, std::string& text) {
        text = "xxxxxxxxxx<!--#again-->";
    };
    auto s = Read("<!--#again-->");
    EXPECT_EQ(s.back().sy, EofSy);
}

TEST_F(ReaderTest, CharsetNames) {
    int cs = -1;
    EXPECT_TRUE(TranslateCharset("ISO-8859-15", cs));
    EXPECT_EQ(cs, 0);
    EXPECT_TRUE(TranslateCharset("windows-1251", cs));
    EXPECT_EQ(cs, 204);
    EXPECT_TRUE(TranslateCharset("iso-8859-2", cs));
    EXPECT_EQ(cs, 31);
    EXPECT_FALSE(TranslateCharset("utf-8", cs));
    InitTokenizer("x\xB0\xA1y");
    EXPECT_TRUE(TranslateCharset("EUC-JP", cs));
    EXPECT_EQ(cs, 128);
    EXPECT_EQ(DocS, "x\x88\x9Fy");
}

TEST_F(ReaderTest, JisTextIsConvertedToShiftJis) {
    std::string jis = "a\x1b$B\x30\x21\x1b(Bb";
    EXPECT_TRUE(IsJIS(jis));
    EXPECT_FALSE(IsJIS("a\x1b(Bb\x1b$B\x30\x21"));
    InitTokenizer(jis);
    EXPECT_TRUE(JISConverted);
    EXPECT_EQ(DocS, "a\x88\x9F" "b");
    EXPECT_EQ(ParserPropStack[0]->CodePage, 932);
}

TEST_F(ReaderTest, TagAndAttributeTables) {
    EXPECT_EQ(TagSymbolOf("TD", false), TDSy);
    EXPECT_EQ(TagSymbolOf("TD", true), TDEndSy);
    EXPECT_EQ(TagSymbolOf("LI", true), OtherSy);
    EXPECT_EQ(TagNameOfSymbol(BlockQuoteSy), "blockquote");
    EXPECT_EQ(TagNameOfEndSymbol(ObjectEndSy), "object");
    EXPECT_EQ(EndSymbolOf(HtmlSy), HtmlEndSy);
    EXPECT_EQ(EndSymbolOf(BRSy), NoSy);
    EXPECT_EQ(AttributeSymbolOf("STYLE"), StyleSy);
    EXPECT_EQ(AttributeSymbolOf("HTTP-EQUIV"), HttpEqSy);
    EXPECT_EQ(AttributeSymbolOf("LABEL"), LabelSy);
    EXPECT_EQ(EntityCount(), 253);
    int v = 0;
    EXPECT_TRUE(FindEntity("Agrave", v));
    EXPECT_EQ(v, 192);
    EXPECT_TRUE(FindEntity("agrave", v));
    EXPECT_EQ(v, 224);
    EXPECT_TRUE(FindEntity("euro", v));
    EXPECT_EQ(v, 8364);
}

TEST_F(ReaderTest, EmbeddedStyleSheetsReadFromTheTokenizer) {
    TStyleList styles;
    for (const char* doc : {"<style><!-- p { color: red } --></style><b>x", "<style></style><b>x",
                            "<STYLE type=text/css>\r\ni {}\r\n</STYLE>\r\n<b>x"}) {
        InitTokenizer(doc);
        GetCh();
        Next();
        ASSERT_EQ(Sy, StyleSy);
        DoStyle(&styles, [] { GetChBasic(); return Ch; }, Ch, "", false, [] { return PeekChar(); });
        LCh = Ch;
        Next();
        EXPECT_EQ(Sy, StyleEndSy) << doc;
        Next();
        if (Sy == TextSy) Next();
        EXPECT_EQ(Sy, BSy) << doc;
        Next();
        EXPECT_EQ(Token->GetString(), u"x");
    }
    ASSERT_NE(styles.PropsOf("p"), nullptr);
    EXPECT_EQ(styles.PropsOf("p")->Props[piColor].Int(), 0x0000FF);
}
