#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/formats.h"

namespace {

struct Case {
    const char* format;
    long double value;
    const char* expected;
};

void ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(c.format, c.value), c.expected)
            << "format \"" << c.format << "\" value " << static_cast<double>(c.value);
}

TEST(FormatFloat, AmountsAndRounding) {
    ExpectAll({
        {"#,##0.00", 1234567.125L, "1.234.567,13"},   // half away from zero
        {"#,##0.00", -1234567.125L, "-1.234.567,13"},
        {"#,##0.00", 0.125L, "0,13"},
        {"#,##0.00", 999999.995L, "1.000.000,00"},   // carry through every digit
        {"#,##0.00", 0.1L + 0.2L, "0,30"},
        {"#,##0.00", 100, "100,00"},
        {"#,##0.00", 1000, "1.000,00"},
        {"#,##0.000000", 1.125L, "1,125000"},
        {"0.0000000", 0.0011L, "0,0011000"},
        {"0.00000", 1.0000099L, "1,00001"},
        {"0.0000", 1, "1,0000"},
        {"0", 2.5L, "3"},
        {"0", -2.5L, "-3"},
        {"0", 0.49L, "0"},
        {"0.000000000000000000000", 1.0L / 3, "0,333333333333333333000"},  // 18 digits
    });
}

TEST(FormatFloat, ZeroNeverShowsASign) {
    ExpectAll({
        {"#,##0.00", -0.004L, "0,00"},
        {"#,##0.00", -0.0L, "0,00"},
        {"0", -0.4L, "0"},
        {"0.00;(0.00)", -0.001L, "0,00"},
    });
}

TEST(FormatFloat, DigitPlacesAndLiterals) {
    ExpectAll({
        {"#,#00.00000", 5.12345L, "05,12345"},
        {"#,#00.00000", 12345.6L, "12.345,60000"},
        {"#", 0, ""},
        {"#", 12, "12"},
        {"#.##", 1, "1"},
        {"#.##", 1.5L, "1,5"},
        {"#.##", 0.5L, ",5"},
        {"0.0#", 1.5L, "1,5"},
        {"0.0#", 1.257L, "1,26"},
        {"000", 7, "007"},
        {"0-00", 12345, "123-45"},
        {"'R$ '#,##0.00", 1234.5L, "R$ 1.234,50"},
        {"\"Total: \"0", 3, "Total: 3"},
        {"0 'a;b'", 3, "3 a;b"},   // a quoted ';' does not split sections
        {"0%", 50, "50%"},
        {"#,##0", 1234567.5L, "1.234.568"},
    });
}

TEST(FormatFloat, Sections) {
    ExpectAll({
        {" ,0;- ,0", 36, " 36"},
        {" ,0;- ,0", -36, "- 36"},
        {"0.00;(0.00)", -1.5L, "(1,50)"},
        {"0.00;(0.00)", 1.5L, "1,50"},
        {"0.00;;'zero'", 0.001L, "zero"},   // rounds to zero at the positive decimals
        {"0.00;;'zero'", -1, "-1,00"},      // empty negative section: leading minus
        {"0.00;-0.00;'nada'", 0, "nada"},
        {"0.0000;;'zero'", 0.001L, "0,0010"},
    });
}

TEST(FormatFloat, ExponentsLargeAndTinyValues) {
    ExpectAll({
        {"0.00E+00", 12345, "1,23E+04"},
        {"0.00E+00", 1e-30L, "1,00E-30"},
        {"0.00E-00", 12345, "1,23E04"},
        {"0.00E-00", 0.00012345L, "1,23E-04"},
        {"00.00E+00", 12345, "12,35E+03"},
        {"0.00e+0", 0, "0,00e+0"},
        {"#,##0.00", 1e15L, "1.000.000.000.000.000,00"},
        {"0", 1e20L, "100000000000000000000"},
        {"0", 123456789012345678901.0L, "123456789012345679000"},
        {"#,##0.00", 1e-30L, "0,00"},
        {"0.0", 1e-4000L, "0,0"},
    });
    EXPECT_EQ(FormatFloat("0", 1e4000L).size(), 4001u);
}

TEST(FormatFloat, NonFiniteValuesAndEmptyFormat) {
    ExpectAll({
        {"#,##0.00", std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        {"#,##0.00", std::numeric_limits<long double>::infinity(), "INF"},
        {"#,##0.00", -std::numeric_limits<long double>::infinity(), "-INF"},
        {"", 0.1L, "0,1"},
        {"", 1e15L, "1E15"},
    });
}

TEST(FormatFloat, FollowsTheSeparatorsInForce) {
    TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5L), "1,234.50");
    FormatSettings = saved;
}

// The 18-digit conversion must agree with the C library's exact one on every
// binade, from denormals to the largest values.
TEST(FormatFloat, EighteenDigitsAgreeWithExactConversion) {
    std::mt19937_64 rng(20240601);
    for (int i = 0; i < 200000; ++i) {
        long double v;
        if (i % 3 == 0)
            v = static_cast<long double>(rng() % 100000000) / 100;  // amounts
        else if (i % 3 == 1)
            v = std::ldexp(static_cast<long double>(rng() | (1ULL << 63)),
                           static_cast<int>(rng() % 400) - 263);
        else
            v = std::ldexp(static_cast<long double>(rng()), static_cast<int>(rng() % 32700) - 16445);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17Le", v);
        std::string expected(buf);
        for (char& c : expected) {
            if (c == '.') c = ',';
            if (c == 'e') c = 'E';
        }
        ASSERT_EQ(FormatFloat("0.00000000000000000E+00", v), expected) << i;
    }
}

// The digits as "%.*Le" gives them, ties to even included (4097/4096 is
// 1,000244140625 exactly: twelve digits end in 2, not 3).
TEST(SignificantDigits, AgreeWithExactConversion) {
    std::mt19937_64 rng(20261207);
    std::vector<long double> values = {4097.0L / 4096, -4097.0L / 4096, 0.0L, -0.0L,
                                       9.9999999999995L, 0.1L, 1e-30L, 123456789012345.0L};
    for (int i = 0; i < 100000; ++i)
        values.push_back(i % 2 ? std::ldexp(static_cast<long double>(rng() | (1ULL << 63)),
                                            static_cast<int>(rng() % 200) - 143)
                               : std::ldexp(static_cast<long double>(rng() >> (rng() % 64)),
                                            static_cast<int>(rng() % 32700) - 16445));
    for (size_t i = 0; i < values.size(); ++i) {
        const int count = i % 5 ? 12 : 1 + static_cast<int>(i % 18);
        char buf[64], digits[18];
        std::snprintf(buf, sizeof buf, "%.*Le", count - 1, values[i]);
        const std::string text(buf);
        int exponent = 0;
        bool negative = false;
        SignificantDigits(values[i], count, digits, exponent, negative);
        std::string expected = text.substr(0, text.find('e'));
        expected.erase(std::remove_if(expected.begin(), expected.end(),
                                      [](char c) { return c < '0' || c > '9'; }),
                       expected.end());
        ASSERT_EQ(std::string(digits, count), expected) << text;
        ASSERT_EQ(exponent, std::atoi(text.c_str() + text.find('e') + 1)) << text;
        ASSERT_EQ(negative, text[0] == '-') << text;
    }
}

TEST(FloatToStr, GeneralAndFixedForms) {
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(0.1L), "0,1");
    EXPECT_EQ(FloatToStr(-2.5L), "-2,5");
    EXPECT_EQ(FloatToStr(123456789012345.0L), "123456789012345");
    EXPECT_EQ(FloatToStr(1e15L), "1E15");
    EXPECT_EQ(FloatToStr(0.00001L), "0,00001");
    EXPECT_EQ(FloatToStr(1.5e-10L), "1,5E-10");
    EXPECT_EQ(FloatToStr(1.0L / 3), "0,333333333333333");
    EXPECT_EQ(FloatToStrF(1234.5678L, TFloatFormat::ffFixed, 15, 2), "1234,57");
    EXPECT_EQ(FloatToStrF(1234.5678L, TFloatFormat::ffNumber, 15, 2), "1.234,57");
    EXPECT_EQ(FloatToStrF(-0.001L, TFloatFormat::ffFixed, 15, 2), "0,00");
    EXPECT_EQ(FloatToStrF(1234.5L, TFloatFormat::ffExponent, 4, 2), "1,235E+03");
    EXPECT_EQ(FloatToStrF(1234.5L, TFloatFormat::ffCurrency, 15, 2), "R$ 1.234,50");
    EXPECT_EQ(FloatToStrF(-1234.5L, TFloatFormat::ffCurrency, 15, 2), "R$ -1.234,50");
    EXPECT_EQ(CurrToStr(1234.56789L), "1234,5679");
}

} // namespace
