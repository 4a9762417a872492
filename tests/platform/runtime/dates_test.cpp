#include <gtest/gtest.h>

#include "platform/runtime/dates.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

namespace {

class Dates : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock([] { return EncodeDate(2025, 6, 15) + EncodeTime(14, 30, 0, 0); });
    }
    void TearDown() override { SetClock(nullptr); }
    static std::string D(TDateTime d) { return FormatDateTime("dd/mm/yyyy", d); }
};

TEST_F(Dates, EncodeDecodeAndWeekdaysOverTheWholeRange) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 29)), 5);   // Thursday
    int prevDow = DayOfWeek(EncodeDate(1, 1, 1));
    for (TDateTime d = EncodeDate(1, 1, 2); d <= EncodeDate(9999, 12, 31); d += 1) {
        int y, m, day;
        DecodeDate(d, y, m, day);
        ASSERT_EQ(EncodeDate(y, m, day), d);
        int dow = DayOfWeek(d);
        ASSERT_EQ(dow, prevDow % 7 + 1);
        prevDow = dow;
    }
    EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    int y, m, day;
    DecodeDate(-1.25, y, m, day);  // the time of a date before 1899 counts forward too
    EXPECT_EQ(D(-1.25), "29/12/1899");
    EXPECT_EQ(FormatDateTime("hh:nn", -1.25), "06:00");
    DecodeDate(1e300, y, m, day);
    EXPECT_EQ(y, 0);
}

TEST_F(Dates, IncMonthClampsToTheMonthEnd) {
    EXPECT_EQ(D(IncMonth(EncodeDate(2000, 1, 31), 1)), "29/02/2000");
    EXPECT_EQ(D(IncMonth(EncodeDate(2001, 3, 31), -1)), "28/02/2001");
    EXPECT_EQ(D(IncMonth(EncodeDate(2001, 1, 15), -13)), "15/12/1999");
    EXPECT_EQ(D(IncMonth(EncodeDate(1999, 12, 31), 2)), "29/02/2000");
    TDateTime withTime = EncodeDate(2001, 1, 31) + 0.75;
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", IncMonth(withTime, 1)), "28/02/2001 18:00");
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
}

TEST_F(Dates, StrToDateReadsDayMonthYear) {
    EXPECT_EQ(D(StrToDate("12/05/2001")), "12/05/2001");
    EXPECT_EQ(D(StrToDate("1/2/2001")), "01/02/2001");
    EXPECT_EQ(D(StrToDate("  01/05/1977 ")), "01/05/1977");
    EXPECT_EQ(D(StrToDate("12/05")), "12/05/2025");      // current year from the clock
    EXPECT_EQ(D(StrToDate("12/05/95")), "12/05/1995");
    EXPECT_EQ(D(StrToDate("12/05/05")), "12/05/2005");
    EXPECT_EQ(D(StrToDate("12/05/75")), "12/05/1975");   // the window starts at 2025 - 50
    EXPECT_EQ(D(StrToDate("12/05/74")), "12/05/2074");
    EXPECT_EQ(D(StrToDate("12/05/0")), "12/05/2000");
    EXPECT_EQ(FormatDateTime("d/m/yyyy", StrToDate("12/05/095")), "12/5/0095");
    EXPECT_EQ(D(StrToDate("29/02/2000")), "29/02/2000");
    SetClock([] { return EncodeDate(2090, 1, 1); });
    EXPECT_EQ(D(StrToDate("12/05/39")), "12/05/2139");
}

TEST_F(Dates, StrToDateRejectsAnythingElse) {
    for (const char* text : {"", "  /  /    ", "31/04/2001", "29/02/2001", "00/01/2001",
                             "12/13/2001", "12/05/0000", "123/05/2001", "12/05/20011",
                             "12/05/", "12", "12-05-2001", "12 /05/2001", "12/05/2001 x",
                             "12/05/2001/", "a2/05/2001", "12/05/2001 10:00"}) {
        TDateTime d = -7;
        EXPECT_FALSE(TryStrToDate(text, d)) << text;
        EXPECT_EQ(d, -7);
    }
    try {
        StrToDate("31/04/2001");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'31/04/2001' não é uma data válida");
    }
    EXPECT_EQ(StrToDateDef("x", 5), 5);
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn:ss", StrToDateTime("12/05/2001 10:20:30")),
              "12/05/2001 10:20:30");
    EXPECT_THROW(StrToDateTime("12/05/2001 25:00"), EConvertError);
}

TEST_F(Dates, FormatDateTimeSpecifiers) {
    TDateTime v = EncodeDate(2001, 3, 4) + EncodeTime(15, 7, 9, 45);  // a Sunday
    EXPECT_EQ(FormatDateTime("d/m/yy", v), "4/3/01");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", v), "04/03/2001");
    EXPECT_EQ(FormatDateTime("mm/yyyy", v), "03/2001");
    EXPECT_EQ(FormatDateTime("ddd dddd", v), "dom domingo");
    EXPECT_EQ(FormatDateTime("mmm mmmm", v), "mar março");
    EXPECT_EQ(FormatDateTime("h:n:s z", v), "15:7:9 45");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", v), "15:07:09.045");
    EXPECT_EQ(FormatDateTime("hh:mm", v), "15:07");            // m after h is minutes
    EXPECT_EQ(FormatDateTime("hh:mm dd/mm", v), "15:07 04/03");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", v), "3:07 pm");
    EXPECT_EQ(FormatDateTime("h:nn A/P", EncodeTime(0, 5, 0, 0)), "12:05 A");
    EXPECT_EQ(FormatDateTime("ddddd", v), "04/03/2001");
    EXPECT_EQ(FormatDateTime("dddddd", v), "domingo, 4 de março de 2001");
    EXPECT_EQ(FormatDateTime("c", v), "04/03/2001 15:07:09");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2001, 3, 4)), "04/03/2001");
    EXPECT_EQ(FormatDateTime("'dia' d \"de\" mmmm", v), "dia 4 de março");
    EXPECT_EQ(DateToStr(v), "04/03/2001");
    EXPECT_EQ(TimeToStr(v), "15:07:09");
    EXPECT_EQ(DateTimeToStr(v), "04/03/2001 15:07:09");
    TFormatSettings saved = FormatSettings;
    FormatSettings.DateSeparator = '-';
    FormatSettings.ShortDateFormat = "ddddd";  // names itself: must not recurse forever
    EXPECT_EQ(FormatDateTime("dd/mm", v), "04-03");
    FormatDateTime("c", v);
    FormatSettings = saved;
}

TEST_F(Dates, ClockIsInjectable) {
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", Now()), "15/06/2025 14:30");
    EXPECT_EQ(D(Date()), "15/06/2025");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Time()), "14:30:00");
    SetClock(nullptr);
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    EXPECT_GE(y, 2024);
}

} // namespace
