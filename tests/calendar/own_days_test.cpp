// The own-day records as the settings store holds them: which are days, what they say, how
// they are written back, and which days of a calendar they mark.
#include "calendar/own_days.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

struct RecordCase {
  const char* record;
  std::optional<OwnDay> day;
};

OwnDay Day(int32_t year, int32_t month, int32_t day, DayMarkKind kind, std::string name) {
  return {year, month, day, kind, std::move(name)};
}

constexpr DayMarkKind kOff = DayMarkKind::kHoliday;
constexpr DayMarkKind kAnniversary = DayMarkKind::kAnniversary;

TEST(OwnDays, RecordsThatNameADayAndRecordsThatDoNot) {
  const RecordCase cases[] = {
      {"2026/12/29,休日,年末年始休暇", Day(2026, 12, 29, kOff, "年末年始休暇")},
      {"12/29,休日,年末年始休暇", Day(0, 12, 29, kOff, "年末年始休暇")},
      {"04/01,記念日,創立記念日, 1962年, 本社", Day(0, 4, 1, kAnniversary, "創立記念日, 1962年, 本社")},
      {"2/3,記念日,節分", Day(0, 2, 3, kAnniversary, "節分")},
      {" 2026/8/13 , 休日 ,お盆休み", Day(2026, 8, 13, kOff, "お盆休み")},
      {"08/15,休日,", Day(0, 8, 15, kOff, "")},
      {"08/15,休日", Day(0, 8, 15, kOff, "")},
      {"02/29,記念日,うるう日", Day(0, 2, 29, kAnniversary, "うるう日")},
      {"2024/02/29,記念日,", Day(2024, 2, 29, kAnniversary, "")},
      // Not days.
      {"2026/02/31,休日,", std::nullopt},
      {"02/31,休日,", std::nullopt},
      {"2025/02/29,記念日,", std::nullopt},
      {"13/01,休日,", std::nullopt},
      {"00/10,休日,", std::nullopt},
      {"01/00,休日,", std::nullopt},
      {"0000/01/01,休日,", std::nullopt},
      {"26/01/01,休日,", std::nullopt},
      {"2026/001/01,休日,", std::nullopt},
      {"2026-01-01,休日,", std::nullopt},
      {"１２/２９,休日,", std::nullopt},
      {"12/29,祝日,", std::nullopt},
      {"12/29,,", std::nullopt},
      {"12/29", std::nullopt},
      {"", std::nullopt},
      {",休日,", std::nullopt},
      {"/,休日,", std::nullopt},
      {"12/,休日,", std::nullopt},
      {"2026/12/29/1,休日,", std::nullopt},
      {"99999999999/1,休日,", std::nullopt},
  };
  for (const RecordCase& c : cases) {
    SCOPED_TRACE(c.record);
    EXPECT_EQ(ParseOwnDay(c.record), c.day);
  }
  EXPECT_EQ(ParseOwnDay("12/29,休日," + std::string(kMaxOwnDayRecordBytes, 'x')), std::nullopt);
}

TEST(OwnDays, WrittenRecordsReadBackUnchanged) {
  for (const OwnDay& day : {Day(2026, 1, 5, kOff, "仕事始め, 午後から"), Day(0, 2, 29, kAnniversary, ""),
                            Day(0, 11, 3, kAnniversary, " 前後に空白 ")}) {
    const std::string record = OwnDayRecord(day);
    SCOPED_TRACE(record);
    EXPECT_EQ(ParseOwnDay(record), day);
  }
  EXPECT_EQ(OwnDayRecord(Day(2026, 1, 5, kOff, "x")), "2026/01/05,休日,x");
  EXPECT_EQ(OwnDayRecord(Day(0, 3, 9, kAnniversary, "y")), "03/09,記念日,y");
  // The damaged records are left out of the days, in order.
  EXPECT_EQ(ParseOwnDays({"01/02,休日,a", "02/30,休日,b", "03/04,記念日,c"}),
            (std::vector<OwnDay>{Day(0, 1, 2, kOff, "a"), Day(0, 3, 4, kAnniversary, "c")}));
}

TEST(OwnDays, MarksTheDaysOfTheSpan) {
  struct SpanCase {
    const char* name;
    DateSpan span;
    std::vector<OwnDay> days;
    std::vector<std::pair<Date, DayMarkKind>> marked;
  };
  const SpanCase cases[] = {
      {"every year across new year",
       {{2025, 12, 1}, {2026, 1, 31}},
       {Day(0, 12, 31, kOff, ""), Day(0, 1, 1, kAnniversary, ""), Day(0, 6, 1, kOff, "")},
       {{{2025, 12, 31}, kOff}, {{2026, 1, 1}, kAnniversary}}},
      {"that year only",
       {{2026, 1, 1}, {2026, 3, 31}},
       {Day(2025, 1, 5, kOff, ""), Day(2026, 1, 5, kOff, ""), Day(2027, 1, 5, kOff, "")},
       {{{2026, 1, 5}, kOff}}},
      {"29 February in leap years only",
       {{2027, 2, 1}, {2028, 3, 31}},
       {Day(0, 2, 29, kAnniversary, "")},
       {{{2028, 2, 29}, kAnniversary}}},
      {"a day off outranks an anniversary on the same day",
       {{2026, 5, 1}, {2026, 5, 31}},
       {Day(0, 5, 7, kAnniversary, ""), Day(2026, 5, 7, kOff, ""), Day(0, 5, 8, kAnniversary, "")},
       {{{2026, 5, 7}, kOff}, {{2026, 5, 8}, kAnniversary}}},
  };
  for (const SpanCase& c : cases) {
    SCOPED_TRACE(c.name);
    DayMarks marks;
    MarkOwnDays(marks, c.days, c.span);
    EXPECT_EQ(marks.Size(), c.marked.size());
    for (const auto& [date, kind] : c.marked) EXPECT_EQ(marks.At(date), kind) << date.month << "/" << date.day;
  }
}

TEST(DayNumbers, RoundTripAcrossCenturiesAndKnownWeekdays) {
  for (int64_t day = DayNumber({1582, 10, 15}); day < DayNumber({2401, 3, 1}); day += 13) {
    const Date date = DateOfDayNumber(day);
    ASSERT_TRUE(ValidDate(date));
    ASSERT_EQ(DayNumber(date), day);
  }
  EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
  EXPECT_EQ(DayNumber({2000, 3, 1}) - DayNumber({2000, 2, 28}), 2);
  EXPECT_EQ(DayNumber({1900, 3, 1}) - DayNumber({1900, 2, 28}), 1);
  EXPECT_EQ(DateOfDayNumber(-1), (Date{1969, 12, 31}));
}

}  // namespace
}  // namespace vorel
