// The rich-text reader: text, formatting, tables, skipped destinations and
// damaged input.
#include <gtest/gtest.h>

#include "platform/gui/rtf_reader.h"
#include "platform/runtime/codepage.h"

namespace {

std::string Plain(const std::string& rtf) { return Utf16ToCp1252(ReadRtf(rtf).PlainText()); }

TEST(RtfReader, TextBreaksAndEscapes) {
    EXPECT_EQ(Plain("{\\rtf1\\ansi Linha um\\par Linha\\tab dois\\line tr\\'eas \\{x\\}\\\\}"),
              "Linha um\nLinha\tdois\ntr\xEAs {x}\\");
    // Line ends in the source are not text; a backslash before one is a break.
    EXPECT_EQ(Plain("{\\rtf1 a\r\nb\\\nc}"), "ab\nc");
}

TEST(RtfReader, FormattingRunsFollowGroups) {
    const TRtfDocument doc = ReadRtf("{\\rtf1 a{\\b b\\i c}\\ul d\\ul0 e\\fs36 f}");
    ASSERT_EQ(doc.Runs.size(), 6u);
    EXPECT_EQ(doc.Runs[0].Text, u"a");
    EXPECT_FALSE(doc.Runs[0].Bold);
    EXPECT_TRUE(doc.Runs[1].Bold);
    EXPECT_TRUE(doc.Runs[2].Bold && doc.Runs[2].Italic);
    EXPECT_EQ(doc.Runs[2].Text, u"c");
    EXPECT_TRUE(doc.Runs[3].Underline && !doc.Runs[3].Bold) << "the group end restored bold";
    EXPECT_EQ(doc.Runs[4].Text, u"e");
    EXPECT_EQ(doc.Runs[4].FontSize, 12);
    EXPECT_EQ(doc.Runs[5].FontSize, 18);
}

TEST(RtfReader, UnicodeSkipsItsFallback) {
    EXPECT_EQ(ReadRtf("{\\rtf1 \\u8364?x}").PlainText(), u"\u20ACx");
    EXPECT_EQ(ReadRtf("{\\rtf1 \\uc2\\u8364\\'80\\'80y}").PlainText(), u"\u20ACy");
    EXPECT_EQ(ReadRtf("{\\rtf1 \\uc0\\u-3913 z}").PlainText(), u"\uF0B7z") << "negative values wrap";
    EXPECT_EQ(ReadRtf("{\\rtf1 {\\u8364}?}").PlainText(), u"\u20AC?") << "a group end stops the skip";
}

TEST(RtfReader, TablesGiveFacesAndColoursAndOtherDestinationsAreSkipped) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "{\\stylesheet{\\s1 Normal;}}{\\info{\\title T\\'edtulo}}{\\*\\generator Gerador;}"
        "{\\pict\\wmetafile8 0102ABCD}"
        "\\f1\\cf2 Azul\\cf1\\f0 Vermelho}";
    const TRtfDocument doc = ReadRtf(rtf);
    EXPECT_EQ(Utf16ToCp1252(doc.PlainText()), "AzulVermelho");
    ASSERT_EQ(doc.Runs.size(), 2u);
    EXPECT_EQ(doc.Runs[0].FontName, "Times New Roman");
    EXPECT_EQ(doc.Runs[0].Color, clBlue);
    EXPECT_EQ(doc.Runs[1].FontName, "Arial");
    EXPECT_EQ(doc.Runs[1].Color, clRed);
}

TEST(RtfReader, DamagedInputIsReadToItsEnd) {
    EXPECT_EQ(Plain("{\\rtf1 a}}}b{"), "ab");
    EXPECT_EQ(Plain("{\\rtf1 \\'4"), "\x04");
    EXPECT_EQ(Plain("{\\rtf1 x\\"), "x");
    EXPECT_EQ(Plain("{\\rtf1 \\unknownword123 y\\fs99999999999999 z}"), "yz");
    EXPECT_EQ(Plain("{\\rtf1 \\bin99999 abc"), "");
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 200000; ++i) deep += '{';
    deep += "fundo";
    EXPECT_EQ(Plain(deep), "fundo");
    EXPECT_FALSE(LooksLikeRtf("texto"));
    EXPECT_EQ(Plain("texto\r\nsimples"), "texto\nsimples");
}

}  // namespace
