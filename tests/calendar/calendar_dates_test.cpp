// Date rules, holidays, colour roles and texts of the wallpaper calendar.
#include "calendar/calendar_dates.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vorel {
namespace {

TEST(CalendarDates, LeapYearsAndMonthLengths) {
  struct Case {
    int32_t year;
    bool leap;
  };
  for (const Case& c : {Case{2000, true}, Case{1900, false}, Case{2100, false}, Case{2004, true}, Case{1998, false},
                        Case{2400, true}}) {
    EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
    EXPECT_EQ(DaysInMonth(c.year, 2), c.leap ? 29 : 28) << c.year;
  }
  const int32_t lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int32_t m = 1; m <= 12; ++m) EXPECT_EQ(DaysInMonth(1998, m), lengths[m - 1]) << m;
  EXPECT_EQ(DaysInMonth(1998, 0), 0);
  EXPECT_EQ(DaysInMonth(1998, 13), 0);
}

TEST(CalendarDates, WeekdaysAndWeekRows) {
  struct Day {
    Date date;
    int32_t weekday;
  };
  for (const Day& c : {Day{{2000, 1, 1}, 6}, Day{{1998, 9, 2}, 3}, Day{{2006, 1, 15}, 0}, Day{{1970, 1, 1}, 4},
                       Day{{2000, 2, 29}, 2}, Day{{1600, 3, 1}, 3}, Day{{1, 1, 1}, 1}}) {
    EXPECT_EQ(WeekdayOf(c.date.year, c.date.month, c.date.day), c.weekday) << c.date.year << "-" << c.date.month;
  }
  struct Rows {
    int32_t year, month, rows;
  };
  for (const Rows& c :
       {Rows{2009, 2, 4}, Rows{1998, 5, 6}, Rows{1998, 8, 6}, Rows{1998, 9, 5}, Rows{2015, 2, 4}, Rows{1998, 6, 5}}) {
    EXPECT_EQ(WeeksInMonth(c.year, c.month), c.rows) << c.year << "-" << c.month;
  }
}

TEST(CalendarDates, EquinoxDaysFollowTheirFormulas) {
  struct Case {
    int32_t year, vernal, autumnal;
  };
  for (const Case& c :
       {Case{1970, 20, 22}, Case{1998, 21, 23}, Case{2000, 20, 23}, Case{2012, 20, 22}, Case{2092, 19, 22}}) {
    for (int32_t d = 1; d <= 31; ++d) {
      EXPECT_EQ(IsHoliday(c.year, 3, d), d == c.vernal) << c.year << "-03-" << d;
      EXPECT_EQ(IsHoliday(c.year, 9, d), d == c.autumnal || d == 15) << c.year << "-09-" << d;
    }
  }
}

TEST(CalendarDates, HolidaysOfAYearAreExactlyTheTable) {
  const std::set<std::pair<int32_t, int32_t>> expected = {{1, 1},  {1, 15},  {2, 11}, {3, 21},  {4, 29},
                                                          {5, 3},  {5, 4},   {5, 5},  {7, 20},  {9, 15},
                                                          {9, 23}, {10, 10}, {11, 3}, {11, 23}, {12, 23}};
  for (int32_t m = 1; m <= 12; ++m) {
    for (int32_t d = 0; d <= 32; ++d) EXPECT_EQ(IsHoliday(1998, m, d), expected.contains({m, d})) << m << "-" << d;
  }
  for (int32_t d = -1; d <= 31; ++d) {
    EXPECT_FALSE(IsHoliday(1998, 0, d));
    EXPECT_FALSE(IsHoliday(1998, 13, d));
  }
}

TEST(CalendarDates, DayColourRoles) {
  struct Case {
    Date date;
    bool isToday;
    bool colourChange;
    ColourRole role;
  };
  const Case cases[] = {
      {{2006, 1, 15}, false, false, ColourRole::kHoliday},  // Sunday holiday
      {{2006, 1, 16}, false, false, ColourRole::kSunday},   // the Monday after it
      {{2006, 1, 17}, false, false, ColourRole::kNormal},
      {{1998, 5, 3}, false, false, ColourRole::kHoliday},  // Sunday holiday, then two holidays
      {{1998, 5, 4}, false, false, ColourRole::kHoliday},
      {{1998, 5, 5}, false, false, ColourRole::kHoliday},
      {{1998, 5, 6}, false, false, ColourRole::kNormal},
      {{1998, 10, 10}, false, false, ColourRole::kHoliday},  // Saturday holiday
      {{1998, 10, 17}, false, false, ColourRole::kSaturday},
      {{1998, 10, 18}, false, false, ColourRole::kSunday},
      {{1998, 10, 19}, false, false, ColourRole::kNormal},  // Monday after a plain Sunday
      {{1998, 6, 1}, false, false, ColourRole::kNormal},    // a Monday the 1st looks at no day before
      {{2006, 1, 15}, true, true, ColourRole::kToday},
      {{1998, 10, 18}, true, true, ColourRole::kToday},
      {{2006, 1, 15}, true, false, ColourRole::kHoliday},
      {{1998, 10, 19}, false, true, ColourRole::kNormal},
  };
  for (const Case& c : cases) {
    const int32_t weekday = WeekdayOf(c.date.year, c.date.month, c.date.day);
    EXPECT_EQ(DayColourRole(c.date.year, c.date.month, c.date.day, weekday, c.isToday, c.colourChange), c.role)
        << c.date.year << "-" << c.date.month << "-" << c.date.day << " today " << c.isToday;
  }
}

TEST(CalendarDates, YearTextsInEveryFormat) {
  struct Row {
    const char* y1998;
    const char* y2005;
    const char* y1985;
  };
  const Row rows[kYearFormatCount] = {
      {"", "", ""},
      {"1998", "2005", "1985"},
      {"'98", "'05", "'85"},
      {"98", "05", "85"},
      {"1998年", "2005年", "1985年"},
      {"98年", "05年", "85年"},
      {"平成10年", "平成17年", "平成-3年"},
      {"H10", "H17", "H-3"},
      {"H10年", "H17年", "H-3年"},
      {"1998(H10)", "2005(H17)", "1985(H-3)"},
      {"'98(H10)", "'05(H17)", "'85(H-3)"},
      {"98(H10)", "05(H17)", "85(H-3)"},
      {"1998年(H10)", "2005年(H17)", "1985年(H-3)"},
      {"98年(H10)", "05年(H17)", "85年(H-3)"},
      {"1998(平成10)", "2005(平成17)", "1985(平成-3)"},
      {"'98(平成10)", "'05(平成17)", "'85(平成-3)"},
      {"98(平成10)", "05(平成17)", "85(平成-3)"},
      {"1998年(平成10)", "2005年(平成17)", "1985年(平成-3)"},
      {"98年(平成10)", "05年(平成17)", "85年(平成-3)"},
      {"1998(平成10年)", "2005(平成17年)", "1985(平成-3年)"},
      {"'98(平成10年)", "'05(平成17年)", "'85(平成-3年)"},
      {"98(平成10年)", "05(平成17年)", "85(平成-3年)"},
      {"1998(H10年)", "2005(H17年)", "1985(H-3年)"},
      {"'98(H10年)", "'05(H17年)", "'85(H-3年)"},
      {"98(H10年)", "05(H17年)", "85(H-3年)"},
  };
  for (int32_t f = 0; f < kYearFormatCount; ++f) {
    EXPECT_EQ(FormatYear(f, 1998), rows[f].y1998) << f;
    EXPECT_EQ(FormatYear(f, 2005), rows[f].y2005) << f;
    EXPECT_EQ(FormatYear(f, 1985), rows[f].y1985) << f;
  }
  EXPECT_EQ(FormatYear(3, 2007), "07");
  EXPECT_EQ(FormatYear(3, 5), "05");
  EXPECT_EQ(FormatYear(6, 1988), "平成0年");
  EXPECT_EQ(FormatYear(25, 1998), "");
  EXPECT_EQ(FormatYear(-1, 1998), "");
}

TEST(CalendarDates, NamesAndHeaders) {
  const char* june[kMonthStyleCount] = {"", "6", "June", "Jun", "水無月", "陸月", "6月"};
  const char* december[kMonthStyleCount] = {"", "12", "December", "Dec", "師走", "壱拾弐月", "12月"};
  for (int32_t s = 0; s < kMonthStyleCount; ++s) {
    EXPECT_EQ(MonthNames(s, 6), june[s]) << s;
    EXPECT_EQ(MonthNames(s, 12), december[s]) << s;
  }
  EXPECT_EQ(MonthNames(5, 11), "壱拾壱月");
  EXPECT_EQ(MonthNames(4, 1), "睦月");
  const char* sunday[kWeekdayStyleCount] = {"", "S", "Su", "Sun", "日"};
  const char* saturday[kWeekdayStyleCount] = {"", "S", "Sa", "Sat", "土"};
  for (int32_t s = 0; s < kWeekdayStyleCount; ++s) {
    EXPECT_EQ(WeekdayNames(s, 0), sunday[s]) << s;
    EXPECT_EQ(WeekdayNames(s, 6), saturday[s]) << s;
  }
  EXPECT_EQ(WeekdayNames(1, 4), "T");
  EXPECT_EQ(WeekdayNames(4, 3), "水");

  // Hand-edited styles outside the tables name nothing.
  EXPECT_EQ(MonthNames(7, 1), "");
  EXPECT_EQ(MonthNames(-1, 1), "");
  EXPECT_EQ(MonthNames(2, 0), "");
  EXPECT_EQ(MonthNames(2, 13), "");
  EXPECT_EQ(WeekdayNames(5, 0), "");
  EXPECT_EQ(WeekdayNames(3, 7), "");
  EXPECT_EQ(WeekdayNames(3, -1), "");

  EXPECT_EQ(MonthHeader(1, 2, 1998, 1), "1998 / January");
  EXPECT_EQ(MonthHeader(0, 2, 1998, 1), "January");
  EXPECT_EQ(MonthHeader(1, 0, 1998, 1), "1998");
  EXPECT_EQ(MonthHeader(0, 0, 1998, 1), "");
  EXPECT_EQ(MonthHeader(6, 4, 2005, 3), "平成17年 / 弥生");
  EXPECT_EQ(MonthHeader(30, 9, 1998, 1), "");
}

TEST(CalendarDates, TodayIsAValidLocalDate) {
  const Date today = Today();
  EXPECT_GE(today.year, 2024);
  ASSERT_GE(today.month, 1);
  ASSERT_LE(today.month, 12);
  EXPECT_GE(today.day, 1);
  EXPECT_LE(today.day, DaysInMonth(today.year, today.month));
}

}  // namespace
}  // namespace vorel
