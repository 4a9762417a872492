#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "platform/runtime/arith.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace {

TEST(StrToFloat, AcceptsTheNumberSyntax) {
    struct {
        const char* text;
        long double value;
    } cases[] = {
        {"0", 0},           {"1234,56", 1234.56L}, {"-5,00", -5},         {"+7", 7},
        {" 12,5 ", 12.5L},  {",5", 0.5L},         {"3,", 3},             {"1E3", 1000},
        {"1,5e-3", 0.0015L}, {"2E+2", 200},       {"000123", 123},      {"0,0011", 0.0011L},
        {"12345678901234567890123", 12345678901234567890123.0L},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToFloat(c.text), c.value) << c.text;
}

TEST(StrToFloat, RejectsEverythingElse) {
    for (const char* text : {"", " ", "-", ",", "1.234,56", "1.5", "1,2,3", "12a", "a12", "1e",
                             "1e+", "R$ 5", "5 5", "\t5", "1e99999", "nan", "inf", "0x10"}) {
        long double v = 42;
        EXPECT_FALSE(TryStrToFloat(text, v)) << text;
        EXPECT_EQ(v, 42) << "untouched on failure";
    }
    try {
        StrToFloat("1.5");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1.5' não é um número válido");
    }
    EXPECT_EQ(StrToFloatDef("x", -1), -1);
}

// Decimal text must read as the nearest long double, as the C library's exact
// reader gives it; and cents written by FormatFloat must read back unchanged.
TEST(StrToFloat, ReadsTheNearestValue) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 50000; ++i) {
        std::string digits = std::to_string(rng());
        digits = digits.substr(0, 1 + rng() % digits.size());
        if (i % 7 == 0) digits += std::to_string(rng());  // beyond 19 digits
        int point = static_cast<int>(rng() % (digits.size() + 1));
        int exp = static_cast<int>(rng() % 80) - 40;
        std::string text = (i % 2 ? "-" : "") + digits.substr(0, point) + "," +
                           digits.substr(point) + "E" + std::to_string(exp);
        std::string c = text;
        c[c.find(',')] = '.';
        ASSERT_EQ(StrToFloat(text), std::strtold(c.c_str(), nullptr)) << text;
        long double cents = static_cast<long double>(rng() % 10000000000ULL) / 100;
        ASSERT_EQ(StrToFloat(FormatFloat("0.00", cents)), cents);
    }
}

TEST(StrToInt, DecimalAndHexadecimal) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("  -42"), -42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    for (const char* text : {"", "-", "2147483648", "12 ", "1,0", "1e3", "$", "abc", "--1"}) {
        int v = 5;
        EXPECT_FALSE(TryStrToInt(text, v)) << text;
        EXPECT_EQ(v, 5);
    }
    try {
        StrToInt("12a");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12a' não é um número inteiro válido");
    }
    EXPECT_EQ(StrToIntDef("x", 3), 3);
    EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");
}

TEST(Arith, RoundTruncAndCheckedDivision) {
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(3.5L), 4);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(-2.6L), -3);
    EXPECT_EQ(Round(0.49999999999999999L), 0);
    EXPECT_EQ(Trunc(-2.9L), -2);
    EXPECT_EQ(Trunc(123456.999L), 123456);
    EXPECT_EQ(Int(-2.5L), -2);
    EXPECT_EQ(Frac(-2.5L), -0.5L);
    EXPECT_THROW(Trunc(1e30L), EInvalidOp);
    EXPECT_THROW(Round(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
    EXPECT_EQ(Divide(1, 4), 0.25L);
    EXPECT_THROW(Divide(1, 0), EZeroDivide);
    EXPECT_THROW(Divide(0, 0), EInvalidOp);
    EXPECT_THROW(Divide(1e4000L, 1e-4000L), EOverflow);
    EXPECT_THROW(Power(-8, 0.5L), EInvalidOp);
    EXPECT_EQ(Power(2, 10), 1024);
    EXPECT_THROW(Abort(), EAbort);
}

} // namespace
