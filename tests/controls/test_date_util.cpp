// Reading typed dates: column reading, free-form reading, the two-digit-year
// window and the default formats, with the clock fixed in 2026.
#include <gtest/gtest.h>

#include "controls/date_util.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace {

class DateRules : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock([] { return EncodeDate(2026, 5, 15) + 0.5; });
    }
    void TearDown() override {
        SetClock(nullptr);
        FormatSettings = TFormatSettings();
        DateUtil::FarEastSettings = DateUtil::TFarEastSettings();
    }
    // The date as the program writes it, or "default" for the given default.
    static std::string Read(const std::string& text, const std::string& format = "DD/MM/YYYY") {
        const TDateTime fallback = 12345.75;  // any recognisable default
        TDateTime d = ParseDateWithFormat(format, text, fallback);
        if (d == 12345.0) return "default";
        return FormatDateTime("dd/mm/yyyy", d);
    }
};

TEST_F(DateRules, ReadsByColumnsThenFreeForm) {
    EXPECT_EQ(Read("01/02/2003"), "01/02/2003");
    EXPECT_EQ(Read("1/2/3"), "01/02/2003");        // columns fail, free form succeeds
    EXPECT_EQ(Read("01-02-2003"), "01/02/2003");   // separator columns are not looked at
    EXPECT_EQ(Read("01/02/2003x"), "default");     // longer than the format, text left over
    EXPECT_EQ(Read("001/02/2003"), "01/02/2003");  // longer: free form only
    EXPECT_EQ(Read(" 1/ 2/2003"), "01/02/2003");
    EXPECT_EQ(Read("1/2"), "01/02/2026");          // free form without a year: this year
    EXPECT_EQ(Read("12345/1/2003"), "default");    // a fifth digit is never read
    EXPECT_EQ(Read("abc"), "default");
    EXPECT_EQ(Read("//"), "default");
}

TEST_F(DateRules, AFarEastDayNameFormatSkipsTheTextAfterTheDate) {
    DateUtil::FarEastSettings.FarEast = true;
    EXPECT_EQ(Read("1/2/2003 seg"), "default");  // the short date format shows no day name
    FormatSettings.ShortDateFormat = "dd/mm/yyyy ddd";
    EXPECT_EQ(Read("1/2/2003 seg x"), "01/02/2003");  // word by word to the end
    EXPECT_EQ(Read("1/2/2003 seg pm"), "default");    // up to the PM string, which is left
    FormatSettings.ShortTimeFormat = "0h:nn";
    EXPECT_EQ(Read("1/2/2003 seg x"), "01/02/2003");  // up to a digit: none
    EXPECT_EQ(Read("1/2/2003 seg 10"), "default");
}

TEST_F(DateRules, DaysNoMonthHas) {
    EXPECT_TRUE(DateUtil::NamesNoDay("DD/MM/YYYY", "45/13/2001"));
    EXPECT_TRUE(DateUtil::NamesNoDay("DD/MM/YYYY", "29/02/21  "));  // two-digit year, windowed
    EXPECT_FALSE(DateUtil::NamesNoDay("DD/MM/YYYY", "29/02/20  "));
    EXPECT_FALSE(DateUtil::NamesNoDay("DD/MM/YYYY", "00/02/2020"));  // no date at all
}

TEST_F(DateRules, EmptyAndBlankTexts) {
    EXPECT_EQ(ParseDateWithFormat("DD/MM/YYYY", "", 5.0), DateUtil::NoDate);
    EXPECT_EQ(ParseDateWithFormat("DD/MM/YYYY", "  /  /    ", DateUtil::NoDate), DateUtil::NoDate);
    EXPECT_EQ(Read("  /02/2003"), "default");  // a blank day fails
    EXPECT_EQ(Read("01/  /2003"), "default");  // a blank month fails
    // A blank year reads as -1, which the window turns into 1999.
    EXPECT_EQ(Read("01/02/    "), "01/02/1999");
    EXPECT_EQ(Read("01/02"), "01/02/1999");
}

TEST_F(DateRules, CalendarValidity) {
    EXPECT_EQ(Read("29/02/2000"), "29/02/2000");
    EXPECT_EQ(Read("29/02/1900"), "default");
    EXPECT_EQ(Read("31/04/2001"), "default");
    EXPECT_EQ(Read("00/01/2001"), "default");
    EXPECT_EQ(Read("01/13/2001"), "default");
    EXPECT_TRUE(DateUtil::IsValidDate(9999, 12, 31));
    EXPECT_FALSE(DateUtil::IsValidDate(10000, 1, 1));
    EXPECT_FALSE(DateUtil::IsValidDate(0, 1, 1));
    EXPECT_TRUE(DateUtil::IsValidDateTime(EncodeDate(2024, 2, 29)));
    EXPECT_FALSE(DateUtil::IsValidDateTime(1e12));
    EXPECT_FALSE(DateUtil::IsValidDateTime(std::numeric_limits<double>::quiet_NaN()));
}

TEST_F(DateRules, TwoDigitYearWindowFollowsTheClock) {
    EXPECT_EQ(DateUtil::WindowYear(66), 1966);
    EXPECT_EQ(DateUtil::WindowYear(65), 2065);
    EXPECT_EQ(DateUtil::WindowYear(0), 2000);
    EXPECT_EQ(DateUtil::WindowYear(100), 100);
    EXPECT_EQ(Read("01/05/96  "), "01/05/1996");  // two digits typed into the four-digit mask
    EXPECT_EQ(Read("01/05/30"), "01/05/2030");
    SetClock([] { return EncodeDate(2090, 1, 1); });
    EXPECT_EQ(DateUtil::WindowYear(29), 2129);
    EXPECT_EQ(DateUtil::WindowYear(30), 2030);
}

TEST_F(DateRules, ScanningSteps) {
    int pos = 1, n = 0;
    EXPECT_TRUE(DateUtil::ReadNumber("12345", 0x7FFFFFFF, pos, n));
    EXPECT_EQ(n, 1234);
    EXPECT_EQ(pos, 5);
    pos = 1;
    EXPECT_FALSE(DateUtil::ReadNumber("  x", 0x7FFFFFFF, pos, n));
    pos = 1;
    EXPECT_TRUE(DateUtil::ReadChar("  /", pos, '/'));
    EXPECT_EQ(pos, 4);
}

TEST_F(DateRules, MonthNamesInAThreeLetterField) {
    EXPECT_EQ(DateUtil::MonthByName("MARÇO", 5), 3);
    EXPECT_EQ(DateUtil::MonthByName("fev", 3), 2);
    EXPECT_EQ(DateUtil::MonthByName("xyz", 3), 0);
    EXPECT_EQ(DateUtil::MonthByName("", 3), 0);
    EXPECT_EQ(Read("01/fev/2003", "DD/MMM/YYYY"), "01/02/2003");
}

TEST_F(DateRules, StrictReadingRaisesWithTheDoubledQuotes) {
    EXPECT_EQ(DateUtil::StrToDateWithFormat("DD/MM/YYYY", "02/01/2000"), EncodeDate(2000, 1, 2));
    try {
        DateUtil::StrToDateWithFormat("DD/MM/YYYY", "31/02/2000");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'31/02/2000' não é uma data válida");
    }
}

TEST_F(DateRules, FieldOrderAndDefaultFormats) {
    EXPECT_TRUE(DateUtil::UseFourDigitYear());  // under the program's "dd/mm/yyyy"
    EXPECT_EQ(DateUtil::DateOrderOf("dd/mm/yyyy"), DateUtil::doDMY);
    EXPECT_EQ(DateUtil::DateOrderOf("M/d/yy"), DateUtil::doMDY);
    EXPECT_EQ(DateUtil::DateOrderOf("yyyy-mm-dd"), DateUtil::doYMD);
    EXPECT_EQ(DateUtil::DateOrderOf("ee/mm/dd"), DateUtil::doYMD);
    EXPECT_EQ(DateUtil::DateOrderOf("//"), DateUtil::doDMY);

    EXPECT_EQ(DefaultDateFormat(true), "DD/MM/YYYY");
    EXPECT_EQ(DefaultDateFormat(false), "DD/MM/YY");
    EXPECT_EQ(DefaultDateEditMask(' ', true), "!99/99/9999;1; ");
    EXPECT_EQ(DefaultDateEditMask('_', false), "!99/99/99;1;_");
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    EXPECT_EQ(DefaultDateFormat(true), "YYYY/MM/DD");
    EXPECT_EQ(DefaultDateEditMask(' ', true), "!9999/99/99;1; ");
    FormatSettings.ShortDateFormat = "M/d/yy";
    EXPECT_EQ(DefaultDateFormat(true), "MM/DD/YYYY");
    EXPECT_EQ(Read("2/1/2003", "MM/DD/YYYY"), "01/02/2003");
    EXPECT_TRUE(DateUtil::UseFourDigitYear());  // fixed when first asked
}

}  // namespace
