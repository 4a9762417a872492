// The month calendar: where the days of a month fall for each start of week,
// month and year steps, keys and clicks on the grid, the drop-down calendar
// of a date edit and the modal date dialog.
#include <gtest/gtest.h>

#include "controls/calendar_month.h"
#include "controls/date_edit.h"
#include "controls/pick_date.h"
#include "controls_env.h"
#include "platform/gui/application.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/formats.h"

namespace {

using namespace PickDate;

const TDateTime kToday = EncodeDate(2026, 5, 15);

std::string Dmy(TDateTime d) { return FormatDateTime("dd/mm/yyyy", d); }

// The six week rows of a month as text, days joined by blanks, "." for empty.
std::string Layout(int year, int month, TDayOfWeekName start) {
    const int offset = MonthOffset(year, month, start);
    std::string out;
    for (int row = 1; row <= 6; ++row) {
        for (int col = 0; col < 7; ++col) {
            const std::string t = CellText(offset, col, row, DaysInAMonth(year, month), start);
            out += (t.empty() ? "." : t) + (col < 6 ? " " : "\n");
        }
    }
    return out;
}

TEST(CalendarMonth, DaysFallUnderTheirWeekdayForEachStartOfWeek) {
    // May 2026 begins on a Friday.
    EXPECT_EQ(MonthOffset(2026, 5, Mon), -3);
    int col, row;
    DayCell(1, -3, col, row);
    EXPECT_EQ(col, 4);
    EXPECT_EQ(row, 1);
    DayCell(31, -3, col, row);
    EXPECT_EQ(col, 6);
    EXPECT_EQ(row, 5);
    // February 2026 begins on a Sunday: the last column with a Monday start,
    // the first with a Sunday start.
    EXPECT_EQ(MonthOffset(2026, 2, Mon), -5);
    EXPECT_EQ(MonthOffset(2026, 2, Sun), 1);
    EXPECT_EQ(Layout(2026, 2, Mon),
              ". . . . . . 1\n2 3 4 5 6 7 8\n9 10 11 12 13 14 15\n16 17 18 19 20 21 22\n"
              "23 24 25 26 27 28 .\n. . . . . . .\n");
    EXPECT_EQ(Layout(2026, 2, Sun),
              "1 2 3 4 5 6 7\n8 9 10 11 12 13 14\n15 16 17 18 19 20 21\n22 23 24 25 26 27 28\n"
              ". . . . . . .\n. . . . . . .\n");
    // A 31-day month starting late fills the sixth row.
    EXPECT_EQ(Layout(2026, 8, Mon),
              ". . . . . 1 2\n3 4 5 6 7 8 9\n10 11 12 13 14 15 16\n17 18 19 20 21 22 23\n"
              "24 25 26 27 28 29 30\n31 . . . . . .\n");
    // Each start of week puts the 1st under its own weekday.
    for (int s = Sun; s <= Sat; ++s) {
        const int offset = MonthOffset(2024, 9, TDayOfWeekName(s));  // 1 September 2024: a Sunday
        DayCell(1, offset, col, row);
        EXPECT_EQ(ColumnDay(TDayOfWeekName(s), col), Sun) << s;
        EXPECT_EQ(row, 1);
    }

    EXPECT_EQ(CellText(0, 0, 0, 31, Mon), "seg");
    EXPECT_EQ(CellText(0, 6, 0, 31, Mon), "dom");
    EXPECT_EQ(CellText(0, 6, 0, 31, Sat), "sex");
    const TDaysOfWeek sundays = TDaysOfWeek().set(Sun);
    EXPECT_TRUE(IsWeekendColumn(Sun, sundays, 0));
    EXPECT_TRUE(IsWeekendColumn(Mon, sundays, 6));
    EXPECT_FALSE(IsWeekendColumn(Mon, sundays, 0));
}

TEST(CalendarMonth, MonthAndYearStepsKeepTheDayWhereTheyCan) {
    TDateTime d = EncodeDate(2024, 1, 31);
    EXPECT_TRUE(StepMonth(d, 1));
    EXPECT_EQ(Dmy(d), "29/02/2024");
    d = EncodeDate(2023, 3, 31);
    StepMonth(d, -1);
    EXPECT_EQ(Dmy(d), "28/02/2023");
    d = EncodeDate(2025, 12, 15);
    StepMonth(d, 1);
    EXPECT_EQ(Dmy(d), "15/01/2026");
    StepMonth(d, -1);
    EXPECT_EQ(Dmy(d), "15/12/2025");
    d = EncodeDate(2024, 2, 29);
    EXPECT_TRUE(StepYear(d, 1));
    EXPECT_EQ(Dmy(d), "28/02/2025");
    d = EncodeDate(2024, 2, 29);
    StepYear(d, -4);
    EXPECT_EQ(Dmy(d), "28/02/2020");  // 29 February becomes the 28th first
    // Steps out of the years 1..9999 are refused.
    d = EncodeDate(9999, 12, 31);
    EXPECT_FALSE(StepMonth(d, 1));
    EXPECT_FALSE(StepYear(d, 1));
    EXPECT_EQ(Dmy(d), "31/12/9999");

    d = EncodeDate(2026, 1, 31);
    EXPECT_FALSE(SetDateElement(d, deMonth, 13));
    EXPECT_FALSE(SetDateElement(d, deDay, 0));
    EXPECT_FALSE(SetDateElement(d, deDay, 31));  // unchanged
    EXPECT_TRUE(SetDateElement(d, deMonth, 2));
    EXPECT_EQ(Dmy(d), "28/02/2026");
    EXPECT_FALSE(SetDateElement(d, deDay, 29));  // past the month's end
    EXPECT_TRUE(SetDateElement(d, deYear, 2028));
    EXPECT_EQ(Dmy(d), "28/02/2028");
}

TEST(CalendarMonth, SevenCellsAndTheirLinesAlwaysFit) {
    for (int extent = 20; extent < 400; ++extent) {
        const int cell = CellExtent(extent, 1);
        EXPECT_LE(7 * (cell + 1), extent) << extent;
        EXPECT_GE(7 * (cell + 2), extent) << extent;
    }
    EXPECT_EQ(CellExtent(183, 1), 25);
    EXPECT_EQ(TitleText(kToday), "maio, 2026");
}

// ---------------------------------------------------------------- the grid

class ShownCalendar : public TRxCalendar {
public:
    using TRxCalendar::CellTextColor;
    using TRxCalendar::TRxCalendar;
};

class CalendarTest : public ctltest::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        SetClock([] { return kToday + 0.5; });
        cal = new ShownCalendar(form);
        cal->SetParent(form);
        cal->SetBounds(0, 0, 222, 111);
        cal->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override {
        SetClock(nullptr);
        FormTest::TearDown();
    }
    // Left press and release on the middle of a cell.
    void ClickCell(int col, int row) {
        const TRect r = cal->CellRect(col, row);
        cal->MouseDown(TMouseButton::mbLeft, 0, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        cal->MouseUp(TMouseButton::mbLeft, 0, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    ShownCalendar* cal = nullptr;
    int changes = 0;
};

TEST_F(CalendarTest, OpensOnTodayWithTheDaySelected) {
    EXPECT_EQ(cal->CalendarDate(), kToday);
    EXPECT_EQ(cal->Col(), 4);  // Friday 15 May 2026, Monday start
    EXPECT_EQ(cal->Row(), 3);
    EXPECT_EQ(cal->GetCellText(4, 1), "1");
    EXPECT_EQ(cal->GetCellText(3, 1), "");
    EXPECT_EQ(cal->ScriptCell(0, 0), "seg");
    // All seven rows are on show.
    EXPECT_EQ(cal->TopRow(), 1);
    EXPECT_GT(cal->CellRect(6, 6).Bottom, 0);
    EXPECT_LE(cal->CellRect(6, 6).Bottom, cal->ClientHeight());
}

TEST_F(CalendarTest, ArrowKeysMoveByDaysAcrossMonthsAndByWeeks) {
    cal->SetCalendarDate(EncodeDate(2026, 5, 31));
    changes = 0;
    cal->SimulateKey(VK_RIGHT);  // last day: the 1st of the next month, grid rebuilt
    EXPECT_EQ(Dmy(cal->CalendarDate()), "01/06/2026");
    EXPECT_EQ(cal->Col(), 0);  // 1 June 2026 is a Monday
    EXPECT_EQ(cal->Row(), 1);
    cal->SimulateKey(VK_LEFT);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "31/05/2026");
    cal->SimulateKey(VK_SUBTRACT);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "30/05/2026");
    cal->SimulateKey(VK_ADD);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "31/05/2026");
    EXPECT_EQ(changes, 4);
    cal->SimulateKey(VK_UP);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "24/05/2026");
    cal->SetDay(3);
    cal->SimulateKey(VK_UP);  // no week above: stays
    EXPECT_EQ(Dmy(cal->CalendarDate()), "03/05/2026");
    cal->SetDay(29);
    cal->SimulateKey(VK_DOWN);  // the cell below is empty: refused
    EXPECT_EQ(Dmy(cal->CalendarDate()), "29/05/2026");
    cal->SimulateKey(0, 0, 't');
    EXPECT_EQ(cal->CalendarDate(), kToday);
}

TEST_F(CalendarTest, ClicksPickDaysButNotEmptyCells) {
    ClickCell(2, 2);  // Wednesday of the second week: 6 May
    EXPECT_EQ(Dmy(cal->CalendarDate()), "06/05/2026");
    EXPECT_EQ(changes, 1);
    ClickCell(0, 1);  // before the 1st
    ClickCell(6, 6);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "06/05/2026");
    EXPECT_EQ(changes, 1);
    cal->SetReadOnly(true);
    ClickCell(3, 3);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "06/05/2026");
    cal->NextMonth();  // code still moves a read-only calendar
    EXPECT_EQ(Dmy(cal->CalendarDate()), "06/06/2026");
    EXPECT_EQ(cal->Col(), 5);
}

TEST_F(CalendarTest, YearStepsAndStartOfWeek) {
    cal->SetCalendarDate(EncodeDate(2024, 2, 29));
    EXPECT_TRUE(cal->UseCurrentDate());
    cal->NextYear();
    EXPECT_EQ(Dmy(cal->CalendarDate()), "28/02/2025");
    EXPECT_FALSE(cal->UseCurrentDate());
    cal->SetCalendarDate(EncodeDate(2024, 1, 28));

    cal->SetStartOfWeek(Sun);
    cal->SetWeekends(TDaysOfWeek().set(Sun));
    EXPECT_EQ(cal->GetCellText(0, 0), "dom");
    EXPECT_EQ(cal->CellTextColor(0, 0), clRed);  // the day name too
    EXPECT_EQ(cal->CellTextColor(0, 3), clRed);
    EXPECT_NE(cal->CellTextColor(1, 3), clRed);
    EXPECT_EQ(cal->Col(), 0);  // Sunday 28 January 2024
    EXPECT_EQ(cal->Row(), 5);
}

// ---------------------------------------------------- drop-down and dialog

class ChooserTest : public ctltest::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        SetClock([] { return kToday + 0.5; });
        edit = new TDateEdit(form);
        edit->SetParent(form);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetTop(40);
        edit->SetFocus();
    }
    void TearDown() override {
        ctltest::Dialogs().OnModalForm = nullptr;
        SetClock(nullptr);
        FormTest::TearDown();
    }
    TPopupCalendar* Popup() { return dynamic_cast<TPopupCalendar*>(edit->Popup()); }
    TDateEdit* edit = nullptr;
    TEdit* other = nullptr;
};

TEST_F(ChooserTest, DropDownFollowsTheEditsKeysAndWritesTheDateBack) {
    ASSERT_NE(Popup(), nullptr);
    EXPECT_EQ(Popup()->Width(), 187);
    EXPECT_EQ(Popup()->Height(), 124);
    edit->SimulateKey(VK_DOWN, ssAlt);
    ASSERT_TRUE(edit->PopupVisible());
    TLocCalendar* cal = Popup()->Calendar();
    EXPECT_EQ(cal->CalendarDate(), kToday);  // an empty edit opens on today
    EXPECT_EQ(Popup()->TitleLabel()->Caption(), "maio, 2026");
    edit->SimulateKey(VK_RIGHT);
    edit->SimulateKey(VK_NEXT);
    EXPECT_EQ(Dmy(cal->CalendarDate()), "16/06/2026");
    EXPECT_EQ(Popup()->TitleLabel()->Caption(), "junho, 2026");
    edit->SimulateKey(VK_PRIOR, ssCtrl);
    edit->SimulateKey(VK_SUBTRACT, 0, '-');
    EXPECT_EQ(Dmy(cal->CalendarDate()), "15/06/2025");
    EXPECT_EQ(edit->Text(), "  /  /    ");  // nothing written while it shows
    edit->SimulateKey(VK_RETURN, 0, '\r');
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "15/06/2025");

    edit->ButtonClick();  // opens on the edit's date
    EXPECT_EQ(Dmy(cal->CalendarDate()), "15/06/2025");
    Popup()->Buttons(3)->Click();
    Popup()->Buttons(1)->Click();
    EXPECT_EQ(Dmy(cal->CalendarDate()), "15/05/2026");
    edit->SimulateKey(0, 0, 't');
    edit->SimulateKey(VK_ESCAPE, 0, 27);
    EXPECT_EQ(edit->Text(), "15/06/2025");
}

TEST_F(ChooserTest, TheDropDownsSevenColumnsFillItWithoutScrolling) {
    edit->SetText("07/06/2026");  // a Sunday: the last column
    edit->ButtonClick();
    TLocCalendar* cal = Popup()->Calendar();
    ASSERT_EQ(cal->ClientWidth(), 183);
    EXPECT_EQ(cal->DefaultColWidth(), 26);
    EXPECT_EQ(cal->Col(), 6);
    EXPECT_EQ(cal->LeftCol(), 0);
    EXPECT_LE(cal->CellRect(6, 1).Right, 183);
    EXPECT_LE(cal->CellRect(0, 6).Bottom, cal->ClientHeight());
}

TEST_F(ChooserTest, AClickOnADayClosesTheDropDownWithIt) {
    edit->SetText("10/02/2026");
    edit->ButtonClick();
    TLocCalendar* cal = Popup()->Calendar();
    auto click = [&](int col, int row) {
        const TRect r = cal->CellRect(col, row);
        const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
        cal->MouseDown(TMouseButton::mbLeft, 0, x, y);
        cal->MouseUp(TMouseButton::mbLeft, 0, x, y);
    };
    click(0, 1);  // before 1 February: nothing, still open
    EXPECT_TRUE(edit->PopupVisible());
    click(3, 4);  // Thursday of the fourth week: 19 February 2026
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), "19/02/2026");
    EXPECT_EQ(form->ActiveControl(), edit);
}

TEST_F(ChooserTest, SettingsReachTheDropDown) {
    edit->SetStartOfWeek(Sun);
    edit->SetWeekendColor(clBlue);
    edit->CalendarHints.SetText("Ano anterior\n\nMês seguinte");
    TLocCalendar* cal = Popup()->Calendar();
    EXPECT_EQ(cal->StartOfWeek(), Sun);
    EXPECT_EQ(cal->WeekendColor(), clBlue);
    EXPECT_EQ(Popup()->Buttons(0)->Hint(), "Ano anterior");
    EXPECT_EQ(Popup()->Buttons(1)->Hint(), "Previous Month|");  // an empty line keeps it
    EXPECT_EQ(Popup()->Buttons(2)->Hint(), "Mês seguinte");
    // An unreadable text opens the drop-down on today.
    Popup()->WriteValue(TPopupValue::OfText("xx/yy"));
    EXPECT_EQ(cal->CalendarDate(), kToday);
    Popup()->WriteValue(TPopupValue::OfText("  /  /    "));
    EXPECT_EQ(cal->CalendarDate(), kToday);
    Popup()->WriteValue(TPopupValue::OfDate(EncodeDate(2001, 9, 11)));
    EXPECT_EQ(Popup()->TitleLabel()->Caption(), "setembro, 2001");
}

TEST_F(ChooserTest, DialogTakesTheDateOnlyWithOk) {
    edit->SetCalendarStyle(csDialog);
    EXPECT_EQ(edit->Popup(), nullptr);
    EXPECT_EQ(edit->CalendarStyle(), csDialog);
    edit->DialogTitle = "Data";
    std::string caption, title;
    ctltest::Dialogs().OnModalForm = [&](TForm& f) {
        auto& dlg = dynamic_cast<TSelectDateDlg&>(f);
        caption = dlg.Caption();
        EXPECT_EQ(dlg.ActiveControl(), dlg.Calendar);
        EXPECT_EQ(dlg.Date(), kToday);  // the edit held no date
        dlg.Calendar->SimulateKey(VK_TAB);  // next month
        dlg.Calendar->SimulateKey(VK_RIGHT);
        title = dlg.TitleLabel->Caption();
        dlg.Calendar->SimulateKey(VK_RETURN, 0, '\r');
    };
    edit->ButtonClick();
    EXPECT_EQ(caption, "Data");
    EXPECT_EQ(title, "junho, 2026");
    EXPECT_EQ(edit->Text(), "16/06/2026");

    ctltest::Dialogs().OnModalForm = [&](TForm& f) {
        auto& dlg = dynamic_cast<TSelectDateDlg&>(f);
        EXPECT_EQ(Dmy(dlg.Date()), "16/06/2026");
        dlg.Calendar->SimulateKey(VK_TAB, ssShift);
        dlg.Calendar->SimulateKey(VK_NEXT, ssCtrl);
        EXPECT_EQ(Dmy(dlg.Date()), "16/05/2027");
        dlg.Calendar->SimulateKey(VK_ESCAPE, 0, 27);
    };
    edit->ButtonClick();
    EXPECT_EQ(edit->Text(), "16/06/2026");

    // The accept handler may still refuse what the dialog gave.
    edit->OnAcceptDate = [](TObject*, TDateTime&, bool& action) { action = false; };
    ctltest::Dialogs().OnModalForm = [&](TForm& f) { dynamic_cast<TSelectDateDlg&>(f).OkBtn->Click(); };
    edit->ButtonClick();
    EXPECT_EQ(edit->Text(), "16/06/2026");
}

}  // namespace
