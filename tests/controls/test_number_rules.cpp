// The number edit's rules: normalising amounts, bounds, the edit text, the
// keystroke filter, grouping and the default formats, under the program's
// settings (decimal ",", thousands ".").
#include <gtest/gtest.h>

#include <limits>

#include "controls/number_rules.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

using namespace CurrEdit;

namespace {

class NumberRules : public ::testing::Test {
protected:
    void TearDown() override { FormatSettings = TFormatSettings(); }
};

TEST_F(NumberRules, NormalisingAndReading) {
    EXPECT_EQ(NormalizeNumberText("1.234,56"), "1234,56");
    EXPECT_EQ(NormalizeNumberText("1234.56"), "123456");
    EXPECT_EQ(NormalizeNumberText("  12,5 "), "12,5");
    EXPECT_EQ(NormalizeNumberText(""), "0");
    EXPECT_EQ(NormalizeNumberText("   "), "0");
    EXPECT_EQ(NormalizeNumberText("-"), "-0");

    EXPECT_EQ(ReadNumber("1234,56"), 1234.56L);
    EXPECT_EQ(ReadNumber("-0"), 0);
    EXPECT_EQ(ReadNumber("1e5"), 100000);
    EXPECT_EQ(ReadNumber("1,"), 1);
    EXPECT_EQ(ReadNumber(",5"), 0.5L);
    for (const char* bad : {"abc", ",", "1e", "1,2,3", "--1", "1e99999", "1 2"}) {
        EXPECT_THROW(ReadNumber(bad), EConvertError) << bad;
    }
    try {
        ReadNumber("abc");
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' não é um número válido");
    }
    long double r = 7;
    EXPECT_FALSE(TryTextToFloat("12 ", r));  // a blank is not a number character
    EXPECT_EQ(r, 7);
}

TEST_F(NumberRules, BoundsRule) {
    EXPECT_EQ(ClampToBounds(1.5L, 0, 1), 1);      // coefficient
    EXPECT_EQ(ClampToBounds(-2, 0, 1), 0);
    EXPECT_EQ(ClampToBounds(31, 0, 30), 30);      // n/30 part
    EXPECT_EQ(ClampToBounds(-1e9L, 0, 0), -1e9L);  // equal bounds: no clamping
    EXPECT_EQ(ClampToBounds(5, 10, 0), 10);       // max below min and 0: no upper bound
    EXPECT_EQ(ClampToBounds(1e9L, 10, 0), 1e9L);
    EXPECT_EQ(ClampToBounds(0, 0, -5), -5);       // min 0 above max: no lower bound
    EXPECT_EQ(ClampToBounds(-100, 0, -5), -100);
    EXPECT_EQ(ClampToBounds(7, 10, 5), 7);        // both non-zero, reversed: nothing
    EXPECT_EQ(RangeErrorMessage(0, 1, 2), "Value must be between 0,00 and 1,00");
    EXPECT_EQ(RangeErrorMessage(-5, 30, 0), "Value must be between -5 and 30");
}

TEST_F(NumberRules, EditText) {
    EXPECT_EQ(EditFormat(2), "0.##");
    EXPECT_EQ(EditFormat(0), "0");
    EXPECT_EQ(EditTextFor(1234.5L, 2, true), "1234,5");
    EXPECT_EQ(EditTextFor(0.125L, 2, true), "0,13");
    EXPECT_EQ(EditTextFor(36, 0, true), "36");
    EXPECT_EQ(EditTextFor(-0.5L, 0, true), "-1");
    EXPECT_EQ(EditTextFor(0, 2, true), "");
    EXPECT_EQ(EditTextFor(0, 2, false), "0");
    EXPECT_EQ(EditTextFor(std::numeric_limits<long double>::quiet_NaN(), 2, false), "");
    EXPECT_EQ(EditTextFor(std::numeric_limits<long double>::infinity(), 2, false), "");
}

TEST_F(NumberRules, TypedAmountsWithThousandsPoints) {
    long double r = 0;
    EXPECT_TRUE(TryReadAmount("3.000,00", r));
    EXPECT_EQ(r, 3000);
    EXPECT_TRUE(TryReadAmount(" -1.234.567,5 ", r));
    EXPECT_EQ(r, -1234567.5L);
    EXPECT_TRUE(TryReadAmount("1.234", r));
    EXPECT_EQ(r, 1234);
    EXPECT_TRUE(TryReadAmount("999.999.999.999.999,99", r));
    for (const char* bad : {"1.5", "1234.567", ".123", "1,5.0", "1..234", "1.OOO,00",
                            "1.000.000.000.000.000,00", "999999999999999999,99"})
        EXPECT_FALSE(TryReadAmount(bad, r)) << bad;

    // Only money takes a thousands point: two decimals, no maximum below
    // 1000. Elsewhere "." is the decimal comma.
    EXPECT_TRUE(HoldsMoney(2, 0, 0));
    EXPECT_TRUE(HoldsMoney(2, 0, 1000));
    EXPECT_FALSE(HoldsMoney(2, 0, 1));   // a coefficient
    EXPECT_FALSE(HoldsMoney(2, 0, -5));  // no lower bound, an upper one of -5
    EXPECT_FALSE(HoldsMoney(0, 0, 0));   // a divisor
    EXPECT_FALSE(HoldsMoney(8, 0, 0));   // an increment
    EXPECT_TRUE(TryReadDecimal(" 0.95", r));
    EXPECT_EQ(r, 0.95L);
    EXPECT_FALSE(TryReadDecimal("1.234,5", r));
    EXPECT_EQ(DecimalsOf("1.480,555e3"), 3);

    EXPECT_TRUE(TakesThousandsPoint("-1.234", 6, 0));
    EXPECT_FALSE(TakesThousandsPoint("-", 1, 0));      // no digit before it
    EXPECT_FALSE(TakesThousandsPoint("3.", 2, 0));     // right after a point
    EXPECT_FALSE(TakesThousandsPoint("12,5", 2, 0));   // a comma is already there
    EXPECT_TRUE(TakesThousandsPoint("12,5", 2, 2));    // unless it is replaced
}

// Types the keys one by one at the end, as the filter sees them.
std::string Type(const std::string& keys, int decimals, long double minValue = 0, long double maxValue = 0) {
    std::string text;
    for (char k : keys) {
        if (KeyKeepsNumber(text, int(text.size()), 0, k, decimals, minValue, maxValue)) text += k;
    }
    return text;
}

TEST_F(NumberRules, KeystrokeFilter) {
    EXPECT_EQ(Type("1234,567", 2), "1234,56");  // a third decimal is refused
    EXPECT_EQ(Type("36,5", 0), "365");          // no decimal separator without decimals
    EXPECT_EQ(Type("-1,5", 2), "-1,5");         // no bounds: negatives are fine
    EXPECT_EQ(Type("-1,5", 2, 0, 1), "1,5");    // minimum 0, maximum 1: "-" refused
    EXPECT_EQ(Type("-3", 0, -10, 10), "-3");
    EXPECT_EQ(Type("1e5", 2), "15");            // "1e" is no number yet: refused
    EXPECT_TRUE(KeyKeepsNumber("15", 1, 0, 'e', 2, 0, 0));   // "1e5" is
    EXPECT_FALSE(KeyKeepsNumber("1e", 2, 0, '-', 2, 0, 0));  // "1e-" is not
    EXPECT_TRUE(KeyKeepsNumber("1,55", 3, 0, 'e', 1, 0, 0)); // the exponent letter is no decimal
    EXPECT_EQ(Type("12a3x", 2), "123");
    EXPECT_EQ(Type(",5", 2), ",5");
    EXPECT_EQ(Type("-,5", 2), "-,5");
    // Replacing a selection: "1234" with "23" selected, typing "9".
    EXPECT_TRUE(KeyKeepsNumber("1234", 1, 2, '9', 2, 0, 0));
    EXPECT_FALSE(KeyKeepsNumber("1,23", 4, 0, '4', 2, 0, 0));
    EXPECT_TRUE(KeyKeepsNumber("1,23", 3, 1, '4', 2, 0, 0));
    // Grouped text (formatting while editing) keeps its thousands points.
    EXPECT_TRUE(KeyKeepsNumber("1.234", 5, 0, '5', 2, 0, 0));
}

TEST_F(NumberRules, GroupingWhileTyping) {
    EXPECT_EQ(GroupDigits("1234567,5", true), "1.234.567,5");
    EXPECT_EQ(GroupDigits("-123", true), "-123");
    EXPECT_EQ(GroupDigits("-1234", true), "-1.234");
    EXPECT_EQ(GroupDigits("123456", true), "123.456");
    EXPECT_EQ(GroupDigits("1234e5", true), "1.234e5");
    EXPECT_EQ(GroupDigits("1234567,5", false), "1234567,5");
    EXPECT_EQ(GroupDigits("", true), "");
}

TEST_F(NumberRules, DefaultDisplayFormats) {
    EXPECT_EQ(DefaultNumberFormat(), ",0.##");
    EXPECT_EQ(DefaultCurrencyFormat(), "R$ ,0.00;-R$ ,0.00");
    FormatSettings.CurrencyString = "U.S,";
    FormatSettings.CurrencyFormat = 1;
    FormatSettings.CurrencyDecimals = 0;
    EXPECT_EQ(DefaultCurrencyFormat(), ",0.U'.'S',';-,0.U'.'S','");
    FormatSettings.CurrencyString = "";
    EXPECT_EQ(DefaultCurrencyFormat(), ",0.;-,0.");
}

}  // namespace
