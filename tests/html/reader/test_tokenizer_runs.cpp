// Tags and text read from the document in whole runs give what reading them
// a character at a time gives (included text is always read that way).
#include <gmock/gmock.h>

#include "html/reader/viewer_types.h"
#include "reader_fixture.h"

using namespace Readhtml;
using ::testing::ElementsAre;

namespace {

std::string Describe(const ReadSymbol& s) {
    std::string d = std::to_string(s.sy) + " level " + std::to_string(s.level);
    for (const TAttribute& a : s.attributes)
        d += " [" + std::to_string(a.Symbol) + " " + a.AttrName + "=" + a.TextValue + " #" +
             std::to_string(a.NumValue) + " cp" + std::to_string(a.CodePage) + "]";
    return d;
}

class TokenizerRunsTest : public ReaderTest {
protected:
    // Symbols and attributes of `markup`, read as the document or spliced
    // in by an include.
    std::vector<std::string> Tags(const std::string& markup, bool included) {
        IncludeEvent = nullptr;
        if (included)
            IncludeEvent = [markup](TObject*, const std::string&, std::unique_ptr<TStringList>, std::string& text) {
                text = markup;
            };
        std::vector<std::string> out;
        for (const ReadSymbol& s : Read(included ? "<!--#t-->" : markup))
            if (s.sy != TextSy) out.push_back(Describe(s));
        IncludeEvent = nullptr;
        return out;
    }
};

}  // namespace

TEST_F(TokenizerRunsTest, TagsReadWholeAsCharacterByCharacter) {
    const std::string longName(300, 'q');
    const char* cases[] = {
        "<td> <p class=MsoNormal align=right style=\"text-align:right\">1.234,56</td>",
        "<H>a<H7>b<Hx>c<h1x>d</H2>e<H 3>f<h6 align=left>g</h6 >h<hr><h12>",
        "<//a></ b></1><_x><?xml x?></>< p><p/><p//><a/b><br/ >",
        "<img a=\"\" b='' c= d=> <img w=10% x=-5 % y=+.5 q=\" 12 %\" r=' -3.5% ' s=\"%\" t=\"x\">",
        "<a b=\"x'y\" c='x\"y' d=x\"y e=\"a>b\" f='c>d'>z",
        "<table border><table border=0><table BORDER='2'><table border=x><table border = 3 >",
        "<p class=\xe9t\xe9 title=\"\x80\x9f\" ALIGN=Right>",
        "<a b='x<y'><g h='i&amp;j'>k<l m=n&amp;o><p title=\"a\r\nb\" alt='c\td'>",
        "<td  width = 5  ><td\r\nwidth=1\r\n><td width\n=\n2>",
    };
    for (const char* markup : cases)
        EXPECT_EQ(Tags(markup, false), Tags(markup, true)) << markup;
    // Names longer than any known one, and beyond the 255 bytes kept.
    const std::string names = "<" + longName + " x=1><" + std::string(255, 'b') + "><p " + std::string(30, 'r') +
                              "=2 " + std::string(24, 's') + "='3' " + longName + "=4 border>";
    auto whole = Tags(names, false);
    EXPECT_EQ(whole, Tags(names, true));
    // The rest of a tag name beyond 255 bytes reads as an attribute.
    ASSERT_GE(whole.size(), 1u);
    EXPECT_NE(whole[0].find("[" + std::to_string(OtherAttribute) + " " + std::string(45, 'Q') + "= #0"),
              std::string::npos);
}

TEST_F(TokenizerRunsTest, TagsAcrossTheProgressMarkKeepTheirAttributesAndReports) {
    const std::string cell = "<td> <p class=MsoNormal align=right style=\"text-align:right\">1.234,56</td>";
    std::string doc;
    for (int i = 0; i < 200; ++i) doc += std::string(static_cast<size_t>(i % 7), ' ') + cell;
    std::vector<int> reported;
    ReportProgress = [&](int percent) { reported.push_back(percent); };
    ProgressScale = 1000;
    auto s = Read(doc);
    ReportProgress = nullptr;
    ProgressScale = 0;
    EXPECT_EQ(reported.size(), doc.size() / 4096);
    int paragraphs = 0;
    for (const ReadSymbol& r : s) {
        if (r.sy != PSy) continue;
        ++paragraphs;
        ASSERT_EQ(r.attributes.size(), 3u);
        EXPECT_EQ(r.attributes[0].AttrName, "CLASS");
        EXPECT_EQ(r.attributes[0].TextValue, "MsoNormal");
        EXPECT_EQ(r.attributes[1].TextValue, "right");
        EXPECT_EQ(r.attributes[2].Symbol, StyleSy);
        EXPECT_EQ(r.attributes[2].TextValue, "text-align:right");
    }
    EXPECT_EQ(paragraphs, 200);
    size_t text = 200 * 9;  // " 1.234,56" a cell, and a blank before most
    for (int i = 0; i < 200; ++i) text += i % 7 != 0;
    EXPECT_EQ(Text(s).size(), text);
}

// Records are filled again where they stand; nothing of one tag reaches the
// next, also when a tag is read the slow way after a start the quick way.
TEST_F(TokenizerRunsTest, RecordsFilledAgainKeepNothingOfTheTagBefore) {
    TIDNameList ids;
    IDNameList = &ids;
    auto s = Read("<p class=MsoNormal align=right style=\"a\"><p class=Other align=left>"
                  "<p align=right class=x><p foo=1><p bar=22><p class=k id=Key align=center><p><p style=b>");
    IDNameList = nullptr;
    ASSERT_EQ(s.size(), 9u);
    EXPECT_EQ(Describe(s[1]), Describe(Read("<p class=Other align=left>")[0]));
    ASSERT_EQ(s[2].attributes.size(), 2u);
    EXPECT_EQ(s[2].attributes[0].AttrName, "ALIGN");
    EXPECT_EQ(s[2].attributes[1].AttrName, "CLASS");
    EXPECT_EQ(s[2].attributes[1].TextValue, "x");
    ASSERT_EQ(s[4].attributes.size(), 1u);
    EXPECT_EQ(s[4].attributes[0].AttrName, "BAR");
    EXPECT_EQ(s[4].attributes[0].NumValue, 22);
    ASSERT_EQ(s[5].attributes.size(), 3u);
    EXPECT_EQ(s[5].attributes[1].TextValue, "Key");
    EXPECT_EQ(s[5].attributes[2].TextValue, "center");
    EXPECT_EQ(ids.IndexOf("key"), 0);
    EXPECT_TRUE(s[6].attributes.empty());
    ASSERT_EQ(s[7].attributes.size(), 1u);
    EXPECT_EQ(s[7].attributes[0].AttrName, "STYLE");
    EXPECT_EQ(s[7].attributes[0].TextValue, "b");
}

TEST_F(TokenizerRunsTest, PlainTextKeepsItsCharactersAndPositions) {
    // Windows-1252 bytes, references between them, and a run longer than the
    // token's first room.
    const std::string run(400, 'z');
    auto s = Read("a\x80" "b&amp;c\x9f  &#150;d<b>" + run + "\x85");
    ASSERT_EQ(s[0].sy, TextSy);
    EXPECT_EQ(s[0].text, u"a\u20acb&c\u0178 \u2013d");
    EXPECT_THAT(s[0].positions, ElementsAre(0, 1, 2, 3, 8, 9, 10, 12, 18));
    ASSERT_EQ(s[2].sy, TextSy);
    EXPECT_EQ(s[2].text, std::u16string(400, u'z') + u"\u2026");
    EXPECT_EQ(s[2].positions.front(), 22);
    EXPECT_EQ(s[2].positions.back(), 422);
    // Other code pages collect the bytes and convert them together.
    ParserPropStack[0]->AssignUTF8();
    auto u = Read("\xc3\xa9t\xc3\xa9 &amp;x");
    EXPECT_EQ(u[0].text, u"\u00e9t\u00e9 &x");
    EXPECT_THAT(u[0].positions, ElementsAre(0, 2, 3, 5, 6, 11));
}

TEST(CharacterBuffers, RunsAddedAtOnceTakeConsecutivePositions) {
    TCharCollection chars;
    chars.Add('a', 7);
    const std::string run(320, 'b');
    chars.Append(run.data(), static_cast<int>(run.size()), 8);
    ASSERT_EQ(chars.Size, 321);
    EXPECT_EQ(chars.GetAsString(), "a" + run);
    EXPECT_EQ(chars.Indices[320], 327);
    TokenObj token;
    token.AddCp1252("x\x80\x9f\xa0", 4, 100);
    token.AddCp1252(run.data(), static_cast<int>(run.size()), 104);
    EXPECT_EQ(token.GetString(), u"x\u20ac\u0178\u00a0" + std::u16string(320, u'b'));
    EXPECT_EQ(token.I[3], 103);
    EXPECT_EQ(token.I[323], 423);
}

// Tags read again read as the first time, where the document or the reader
// differ in what the bytes alone do not say.
TEST_F(TokenizerRunsTest, ATagReadAgainReadsAsTheFirstTime) {
    const std::string tags = "<p class=MsoNormal align=right><a title=\"x>y\" href=z>w<script type=x><p id=Key>";
    auto describe = [](const std::vector<ReadSymbol>& symbols) {
        std::vector<std::string> d;
        for (const ReadSymbol& s : symbols) d.push_back(Describe(s) + " " + std::string(s.text.begin(), s.text.end()));
        return d;
    };
    const auto first = describe(Read(tags));
    TIDNameList ids;
    IDNameList = &ids;
    const auto again = describe(Read("<i>" + tags));
    IDNameList = nullptr;
    ASSERT_EQ(again.size(), first.size() + 1);
    EXPECT_EQ(std::vector<std::string>(again.begin() + 1, again.end()), first);
    // The id is recorded: a tag with one is read afresh each time.
    ASSERT_EQ(ids.Count(), 1);
    EXPECT_EQ(ids.Strings(0), "key");
    // A script's start tag leaves its ">" to be read.
    InitTokenizer("<script type=x>a");
    GetCh();
    Next();
    EXPECT_EQ(Sy, ScriptSy);
    EXPECT_EQ(Ch, '>');
    // The code page of attribute values is the document's.
    ParserPropStack[0]->AssignUTF8();
    EXPECT_EQ(Read(tags)[0].attributes[0].CodePage, 65001);
}
