// The calendar under today's holiday law and eras: whole years of holidays worked out from
// the law's text, its substitute and citizens' holidays, the era headers, and the day
// colours a substitute holiday gets.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "calendar/calendar_dates.h"

namespace vorel {
namespace {

using MonthDay = std::pair<int32_t, int32_t>;

std::vector<MonthDay> LawHolidaysOf(int32_t year) {
  std::vector<MonthDay> days;
  for (int32_t m = 1; m <= 12; ++m) {
    for (int32_t d = 1; d <= DaysInMonth(year, m); ++d) {
      if (IsHoliday(year, m, d, true)) days.emplace_back(m, d);
    }
  }
  return days;
}

struct YearCase {
  int32_t year;
  std::vector<MonthDay> holidays;
};

class LawYear : public testing::TestWithParam<YearCase> {};

TEST_P(LawYear, EveryHolidayOfTheYear) { EXPECT_EQ(LawHolidaysOf(GetParam().year), GetParam().holidays); }

INSTANTIATE_TEST_SUITE_P(Years, LawYear,
                         testing::Values(
                             // 11 February was a Sunday before substitutes began on 12 April; 30 April the first one.
                             YearCase{1973,
                                      {{1, 1},
                                       {1, 15},
                                       {2, 11},
                                       {3, 21},
                                       {4, 29},
                                       {4, 30},
                                       {5, 3},
                                       {5, 5},
                                       {9, 15},
                                       {9, 23},
                                       {9, 24},
                                       {10, 10},
                                       {11, 3},
                                       {11, 23}}},
                             // The funeral, Greenery Day on 29 April, the first citizens' holiday of the year on 4 May.
                             YearCase{1989,
                                      {{1, 1},
                                       {1, 2},
                                       {1, 15},
                                       {1, 16},
                                       {2, 11},
                                       {2, 24},
                                       {3, 21},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {9, 15},
                                       {9, 23},
                                       {10, 10},
                                       {11, 3},
                                       {11, 23},
                                       {12, 23}}},
                             // First Mondays rule for January and October; Marine Day still on 20 July.
                             YearCase{2000,
                                      {{1, 1},
                                       {1, 10},
                                       {2, 11},
                                       {3, 20},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {7, 20},
                                       {9, 15},
                                       {9, 23},
                                       {10, 9},
                                       {11, 3},
                                       {11, 23},
                                       {12, 23}}},
                             YearCase{2007,
                                      {{1, 1},
                                       {1, 8},
                                       {2, 11},
                                       {2, 12},
                                       {3, 21},
                                       {4, 29},
                                       {4, 30},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {7, 16},
                                       {9, 17},
                                       {9, 23},
                                       {9, 24},
                                       {10, 8},
                                       {11, 3},
                                       {11, 23},
                                       {12, 23},
                                       {12, 24}}},
                             YearCase{2016,
                                      {{1, 1},
                                       {1, 11},
                                       {2, 11},
                                       {3, 20},
                                       {3, 21},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {7, 18},
                                       {8, 11},
                                       {9, 19},
                                       {9, 22},
                                       {10, 10},
                                       {11, 3},
                                       {11, 23},
                                       {12, 23}}},
                             // The accession with a citizens' holiday either side, the enthronement, no birthday.
                             YearCase{2019, {{1, 1},  {1, 14},  {2, 11},  {3, 21}, {4, 29}, {4, 30}, {5, 1},  {5, 2},
                                             {5, 3},  {5, 4},   {5, 5},   {5, 6},  {7, 15}, {8, 11}, {8, 12}, {9, 16},
                                             {9, 23}, {10, 14}, {10, 22}, {11, 3}, {11, 4}, {11, 23}}},
                             YearCase{2020,
                                      {{1, 1},
                                       {1, 13},
                                       {2, 11},
                                       {2, 23},
                                       {2, 24},
                                       {3, 20},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {5, 6},
                                       {7, 23},
                                       {7, 24},
                                       {8, 10},
                                       {9, 21},
                                       {9, 22},
                                       {11, 3},
                                       {11, 23}}},
                             YearCase{2021,
                                      {{1, 1},
                                       {1, 11},
                                       {2, 11},
                                       {2, 23},
                                       {3, 20},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {7, 22},
                                       {7, 23},
                                       {8, 8},
                                       {8, 9},
                                       {9, 20},
                                       {9, 23},
                                       {11, 3},
                                       {11, 23}}},
                             YearCase{2026,
                                      {{1, 1},
                                       {1, 12},
                                       {2, 11},
                                       {2, 23},
                                       {3, 20},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {5, 6},
                                       {7, 20},
                                       {8, 11},
                                       {9, 21},
                                       {9, 22},
                                       {9, 23},
                                       {10, 12},
                                       {11, 3},
                                       {11, 23}}},
                             YearCase{2030,
                                      {{1, 1},
                                       {1, 14},
                                       {2, 11},
                                       {2, 23},
                                       {3, 20},
                                       {4, 29},
                                       {5, 3},
                                       {5, 4},
                                       {5, 5},
                                       {5, 6},
                                       {7, 15},
                                       {8, 11},
                                       {8, 12},
                                       {9, 16},
                                       {9, 23},
                                       {10, 14},
                                       {11, 3},
                                       {11, 4},
                                       {11, 23}}}),
                         [](const testing::TestParamInfo<YearCase>& param) {
                           return std::to_string(param.param.year);
                         });

struct DayCase {
  Date date;
  bool holiday;
  const char* why;
};

void ExpectDays(const std::vector<DayCase>& cases) {
  for (const DayCase& c : cases) {
    EXPECT_EQ(IsHoliday(c.date.year, c.date.month, c.date.day, true), c.holiday)
        << c.date.year << "-" << c.date.month << "-" << c.date.day << ": " << c.why;
  }
}

TEST(LawHolidays, CitizensHolidayBetweenTwoHolidays) {
  ExpectDays({
      {{1985, 5, 4}, false, "a Saturday between two holidays before the rule began"},
      {{1986, 5, 4}, false, "a Sunday stayed a Sunday before 2007"},
      {{1987, 5, 4}, true, "the substitute for 3 May"},
      {{1988, 5, 4}, true, "the first citizens' holiday"},
      {{2006, 5, 4}, true, "the last 4 May that was one"},
      {{2009, 9, 22}, true, "between Respect for the Aged Day and the equinox"},
      {{2015, 9, 22}, true, "between Respect for the Aged Day and the equinox"},
      {{2019, 4, 30}, true, "before the accession"},
      {{2019, 5, 2}, true, "after the accession"},
      {{2032, 9, 21}, true, "between Respect for the Aged Day and the equinox"},
      {{2020, 9, 23}, false, "the day after the equinox"},
  });
}

TEST(LawHolidays, SubstituteHolidays) {
  ExpectDays({
      {{1973, 2, 12}, false, "the Sunday holiday came before the substitute rule"},
      {{1973, 4, 30}, true, "the first substitute holiday"},
      {{1998, 5, 4}, true, "a Monday after the Sunday 3 May"},
      {{1998, 5, 6}, false, "before 2007 only the Monday was the substitute"},
      {{2008, 5, 6}, true, "4 May a Sunday: on past Children's Day"},
      {{2009, 5, 6}, true, "3 May a Sunday: on past two holidays"},
      {{2015, 5, 6}, true, "3 May a Sunday: on past two holidays"},
      {{2026, 5, 6}, true, "3 May a Sunday: on past two holidays"},
      {{2026, 5, 7}, false, "one substitute only"},
      {{2006, 12, 25}, false, "23 December 2006 was a Saturday"},
      {{2018, 12, 24}, true, "the last emperor's birthday on 23 December, a Sunday"},
      {{2024, 2, 12}, true, "National Foundation Day on a Sunday"},
      {{2023, 1, 2}, true, "New Year's Day on a Sunday"},
  });
}

TEST(LawHolidays, BeforeAndAtTheStartOfTheActAndBadDates) {
  ExpectDays({
      {{1948, 5, 3}, false, "before the act came into force"},
      {{1948, 9, 23}, true, "the first equinox day"},
      {{1948, 11, 3}, true, "Culture Day"},
      {{1949, 1, 15}, true, "Coming of Age Day"},
      {{1966, 9, 15}, true, "Respect for the Aged Day began"},
      {{1965, 9, 15}, false, "before Respect for the Aged Day"},
      {{1966, 2, 11}, false, "before National Foundation Day"},
      {{1959, 4, 10}, true, "an imperial wedding"},
      {{2019, 12, 23}, false, "no emperor's birthday in 2019"},
      {{2019, 2, 23}, false, "no emperor's birthday in 2019"},
      {{2026, 2, 30}, false, "no such day"},
      {{2026, 13, 1}, false, "no such month"},
      {{2026, 1, 0}, false, "no such day"},
      {{2147483647, 12, 31}, false, "the last representable day"},
      {{-2147483647 - 1, 1, 1}, false, "the first representable day"},
  });
  // The far future still has its rule days.
  EXPECT_TRUE(IsHoliday(2147483647, 1, 1, true));
}

TEST(LawHolidays, EquinoxesAcrossTheFormulasSpans) {
  struct Equinox {
    int32_t year, vernal, autumnal;
  };
  for (const Equinox& e : {Equinox{1950, 21, 23}, Equinox{1960, 20, 23}, Equinox{1979, 21, 24}, Equinox{1980, 20, 23},
                           Equinox{2012, 20, 22}, Equinox{2044, 20, 22}, Equinox{2099, 20, 23}}) {
    EXPECT_TRUE(IsHoliday(e.year, 3, e.vernal, true)) << e.year;
    EXPECT_TRUE(IsHoliday(e.year, 9, e.autumnal, true)) << e.year;
  }
}

TEST(LawHolidays, WithoutTheOptionTheFixedTableStays) {
  // The table's days that the law has moved, and the law's days the table lacks.
  EXPECT_TRUE(IsHoliday(2026, 1, 15));
  EXPECT_TRUE(IsHoliday(2026, 12, 23));
  EXPECT_FALSE(IsHoliday(2026, 1, 12));
  EXPECT_FALSE(IsHoliday(2026, 9, 22));
  EXPECT_FALSE(IsHoliday(2026, 1, 15, true));
  EXPECT_FALSE(IsHoliday(2026, 12, 23, true));
}

TEST(LawColours, SubstituteAndCitizensHolidaysAreHolidays) {
  struct Case {
    Date date;
    bool currentLaw;
    ColourRole role;
  };
  for (const Case& c : {
           Case{{2026, 5, 6}, true, ColourRole::kHoliday},
           Case{{2026, 5, 6}, false, ColourRole::kNormal},
           Case{{2026, 5, 4}, true, ColourRole::kHoliday},
           Case{{2026, 5, 4}, false, ColourRole::kHoliday},
           Case{{2026, 5, 3}, true, ColourRole::kHoliday},
           Case{{2019, 8, 12}, true, ColourRole::kHoliday},
           Case{{2019, 11, 4}, true, ColourRole::kHoliday},
           Case{{2019, 11, 4}, false, ColourRole::kSunday},
           Case{{2026, 9, 22}, true, ColourRole::kHoliday},
           Case{{2026, 9, 15}, true, ColourRole::kNormal},
           Case{{2026, 9, 15}, false, ColourRole::kHoliday},
           Case{{2026, 9, 19}, true, ColourRole::kSaturday},
           Case{{2026, 9, 20}, true, ColourRole::kSunday},
           Case{{2026, 10, 12}, true, ColourRole::kHoliday},
       }) {
    const int32_t weekday = WeekdayOf(c.date.year, c.date.month, c.date.day);
    EXPECT_EQ(DayColourRole(c.date.year, c.date.month, c.date.day, weekday, false, false, c.currentLaw), c.role)
        << c.date.month << "/" << c.date.day << " law " << c.currentLaw;
  }
  EXPECT_EQ(DayColourRole(2026, 5, 6, 3, true, true, true), ColourRole::kToday);
}

TEST(LawEras, HeadersTakeTheEraOfTheMonthsFirstDay) {
  struct Case {
    int32_t format, year, month;
    const char* text;
  };
  for (const Case& c : {
           Case{6, 2019, 4, "平成31年"},
           Case{6, 2019, 5, "令和元年"},
           Case{6, 2020, 1, "令和2年"},
           Case{6, 2026, 9, "令和8年"},
           Case{7, 2019, 4, "H31"},
           Case{7, 2019, 5, "R1"},
           Case{17, 2019, 5, "2019年(令和元)"},
           Case{19, 2019, 12, "2019(令和元年)"},
           Case{22, 2026, 9, "2026(R8年)"},
           Case{6, 1989, 1, "昭和64年"},  // 1 January 1989 still lay in Showa
           Case{6, 1989, 2, "平成元年"},
           Case{8, 1989, 2, "H1年"},
           Case{6, 1988, 12, "昭和63年"},
           Case{7, 1988, 12, "S63"},
           Case{6, 1926, 12, "昭和元年"},
           Case{6, 1927, 1, "昭和2年"},
           Case{14, 1926, 12, "1926(昭和元)"},
           Case{4, 2019, 5, "2019年"},
           Case{2, 2019, 5, "'19"},
           Case{0, 2019, 5, ""},
       }) {
    EXPECT_EQ(FormatYear(c.format, c.year, c.month, true), c.text) << c.format << " " << c.year << "-" << c.month;
  }
  // Without the option every year stays in Heisei, and the header uses the same text.
  EXPECT_EQ(FormatYear(6, 2019, 5), "平成31年");
  EXPECT_EQ(FormatYear(6, 1989, 1), "平成1年");
  EXPECT_EQ(FormatYear(6, 2026, 9, false), "平成38年");
  EXPECT_EQ(MonthHeader(6, 6, 2019, 5, true), "令和元年 / 5月");
  EXPECT_EQ(MonthHeader(6, 6, 2019, 5), "平成31年 / 5月");
}

}  // namespace
}  // namespace vorel
