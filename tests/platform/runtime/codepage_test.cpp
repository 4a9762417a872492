#include <gtest/gtest.h>

#include "platform/runtime/codepage.h"

namespace {

TEST(Cp1252, AllBytesRoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    std::u16string wide = Cp1252ToUtf16(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0x80], u'\u20AC');
    EXPECT_EQ(wide[0x81], u'\u0081');  // undefined bytes keep their C1 value
    EXPECT_EQ(wide[0x9D], u'\u009D');
    EXPECT_EQ(wide[0x9F], u'\u0178');
    EXPECT_EQ(wide[0xE7], u'\u00E7');
    EXPECT_EQ(Utf16ToCp1252(wide), all);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(WideToMultiByte(0, MultiByteToWide(1252, all)), all);
    EXPECT_EQ(Cp1252ToUtf8("Revisão €"), "Revis\xC3\xA3o \xE2\x82\xAC");
}

TEST(Cp1252, UnmappableAndMalformedInput) {
    EXPECT_EQ(Utf16ToCp1252(u"a\u4E2Db\U0001F600c"), "a?b?c");
    EXPECT_EQ(Utf16ToCp1252(std::u16string(1, u'\xD800') + u"x"), "?x");
    EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");            // truncated
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");       // overlong
    EXPECT_EQ(MultiByteToWide(65001, "\xFF" "a"), u"\uFFFDa");
    // The checked forms tell whether every character made it.
    std::string out;
    EXPECT_TRUE(TryUtf8ToCp1252("Concei\xC3\xA7\xC3\xA3o \xC2\x81", out));
    EXPECT_EQ(out, "Conceição \x81");
    EXPECT_FALSE(TryUtf8ToCp1252("Ant\xF4nia", out));
    EXPECT_EQ(out, "Ant?nia");
    EXPECT_FALSE(TryUtf16ToCp1252(u"/tmp/\u4E2D", out));
    EXPECT_EQ(out, "/tmp/?");
}

TEST(CodePages, ConvertThroughIconv) {
    // "Ação" and Cyrillic, Greek and Japanese samples.
    EXPECT_EQ(MultiByteToWide(1251, "\xCF\xF0\xE8"), u"\u041F\u0440\u0438");
    EXPECT_EQ(WideToMultiByte(1251, u"\u041F\u0440\u0438"), "\xCF\xF0\xE8");
    EXPECT_EQ(MultiByteToWide(1253, "\xE1"), u"\u03B1");
    EXPECT_EQ(MultiByteToWide(1250, "\x8A"), u"\u0160");
    EXPECT_EQ(MultiByteToWide(932, "\x82\xA0"), u"\u3042");
    EXPECT_EQ(WideToMultiByte(932, u"\u3042"), "\x82\xA0");
    EXPECT_EQ(MultiByteToWide(936, "\xC4\xE3"), u"\u4F60");
    EXPECT_EQ(MultiByteToWide(874, "\xA1"), u"\u0E01");
    EXPECT_EQ(MultiByteToWide(949, "\xB0\xA1"), u"\uAC00");
    EXPECT_EQ(MultiByteToWide(950, "\xA4\x40"), u"\u4E00");
    EXPECT_EQ(WideToMultiByte(1251, u"a\u00E7b"), "a?b");   // not in the code page
    EXPECT_EQ(MultiByteToWide(932, "a\x82"), u"a\uFFFD");   // truncated at the end
    EXPECT_EQ(MultiByteToWide(65001, "\xC3\xA7"), u"\u00E7");
    EXPECT_EQ(WideToMultiByte(65001, u"\u00E7"), "\xC3\xA7");
    EXPECT_EQ(MultiByteToWide(1200, std::string("A\0\x3B\x04", 4)), u"A\u043B");
    EXPECT_EQ(WideToMultiByte(1200, u"A"), std::string("A\0", 2));
    for (int cp : {0, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874, 932,
                   936, 949, 950, 65001})
        EXPECT_TRUE(IsCodePageSupported(cp)) << cp;
    EXPECT_FALSE(IsCodePageSupported(12345));
    EXPECT_EQ(MultiByteToWide(12345, "\xE7"), u"\u00E7");   // unknown: read as 1252
}

} // namespace
