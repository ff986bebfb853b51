// The user's own days and the calendar file's days in both calendar forms: which colour wins
// on a day with several reasons for one, the days each form shows, and the own calendar's
// settings reaching the layout.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "calendar/calendar_draw.h"
#include "tests/calendar/recording_canvas.h"

namespace vorel {
namespace {

using testing::Call;
using testing::RecordingCanvas;

constexpr uint32_t kYear = 0x11, kNormal = 0x22, kSat = 0x33, kSun = 0x44, kFest = 0x55, kToday = 0x66,
                   kShadow = 0x77, kMyDay = 0x88;

CalendarLayout Layout(int32_t length) {
  CalendarLayout l;
  l.ScreenWidth = 1024;
  l.ScreenHeight = 768;
  l.Length = length;
  CalendarStyle& s = l.Style;
  s.TodayMark = 1;
  s.ColorYear = kYear;
  s.ColorNormal = kNormal;
  s.ColorSat = kSat;
  s.ColorSun = kSun;
  s.ColorFest = kFest;
  s.ColorToday = kToday;
  s.ColorShadow = kShadow;
  s.ColorMyDay = kMyDay;
  s.FontYear.size = 24;
  s.FontWeek.size = 16;
  s.FontDay.size = 20;
  return l;
}

OwnDay Own(int32_t month, int32_t day, DayMarkKind kind) { return {0, month, day, kind, ""}; }

// The colour of each day number as drawn on 20 January 2006, by day; where a number comes
// twice, the first one's.
std::map<int32_t, uint32_t> DayColours(const CalendarLayout& layout, int32_t form) {
  RecordingCanvas canvas;
  DrawCalendar(canvas, layout, form, [] { return Date{2006, 1, 20}; });
  std::map<int32_t, uint32_t> colours;
  for (const Call& c : canvas.Texts(kShadow))
    if (c.colour != kYear && c.font == layout.Style.FontDay) colours.emplace(std::stoi(c.text), c.colour);
  return colours;
}

TEST(OwnCalendarColours, WhichColourWinsOnEachDayInBothForms) {
  constexpr DayMarkKind kOff = DayMarkKind::kHoliday, kAnniversary = DayMarkKind::kAnniversary;
  // January 2006: Sunday the 1st and the 15th are public holidays, Mondays 2 and 16 drawn as
  // Sundays after them, the 7th and 14th Saturdays, the 20th today.
  struct DayCase {
    int32_t day;
    uint32_t plain;   // without marks
    uint32_t marked;  // with the marks below
  };
  const DayCase cases[] = {
      {9, kNormal, kFest},    // own day off on a weekday: as a public holiday
      {7, kSat, kFest},       // own day off on a Saturday
      {8, kSun, kFest},       // own day off on a Sunday, as a public holiday on a Sunday is
      {10, kNormal, kMyDay},  // anniversary on a weekday
      {14, kSat, kMyDay},     // anniversary on a Saturday
      {1, kFest, kFest},      // a public holiday keeps its colour over an anniversary
      {22, kSun, kSun},       // so does a Sunday
      {16, kSun, kSun},       // and a Monday drawn as a Sunday
      {20, kToday, kToday},   // today stays on top
      {11, kNormal, kFest},   // the file's day off
      {12, kNormal, kMyDay},  // the file's anniversary
      {13, kNormal, kFest},   // a day off and an anniversary on one day: the day off
      {3, kNormal, kNormal},  // unmarked
  };
  for (const int32_t form : {0, 1}) {
    SCOPED_TRACE(form == 0 ? "box" : "bar");
    CalendarLayout layout = Layout(form == 0 ? 0 : 16);
    layout.Place = form == 0 ? 3 : 0;
    const std::map<int32_t, uint32_t> plain = DayColours(layout, form);
    layout.OwnDays = {Own(1, 9, kOff),          Own(1, 7, kOff),          Own(1, 8, kOff),
                      Own(1, 10, kAnniversary), Own(1, 14, kAnniversary), Own(1, 1, kAnniversary),
                      Own(1, 22, kAnniversary), Own(1, 16, kAnniversary), Own(1, 20, kAnniversary),
                      Own(1, 13, kAnniversary)};
    layout.FileDays = {{2006, 1, 11}, {2006, 1, 13}, {2006, 2, 11}};
    layout.FileKind = kOff;
    CalendarLayout anniversaries = layout;
    anniversaries.FileKind = kAnniversary;
    anniversaries.FileDays = {{2006, 1, 12}};
    anniversaries.OwnDays = {Own(1, 13, kOff)};
    const std::map<int32_t, uint32_t> marked = DayColours(layout, form);
    const std::map<int32_t, uint32_t> fromFile = DayColours(anniversaries, form);
    for (const DayCase& c : cases) {
      SCOPED_TRACE(c.day);
      // The bar of the second half month shows the 16th on.
      if (form == 1 && c.day < 16) continue;
      EXPECT_EQ(plain.at(c.day), c.plain);
      EXPECT_EQ(c.day == 12 ? fromFile.at(c.day) : marked.at(c.day), c.marked);
    }
  }
  // Without today's colour change an anniversary today shows as one.
  CalendarLayout layout = Layout(0);
  layout.Style.TodayMark = 3;
  layout.OwnDays = {Own(1, 20, DayMarkKind::kAnniversary)};
  EXPECT_EQ(DayColours(layout, 0).at(20), kMyDay);
}

TEST(OwnCalendarSpan, TheDaysEachFormShows) {
  struct SpanCase {
    int32_t form, length, place;
    Date today;
    std::optional<DateSpan> span;
  };
  const SpanCase cases[] = {
      {0, 0, 3, {2026, 1, 20}, DateSpan{{2026, 1, 1}, {2026, 1, 31}}},
      {0, 2, 3, {2025, 12, 5}, DateSpan{{2025, 12, 1}, {2026, 2, 28}}},
      {0, 3, 3, {2026, 1, 20}, DateSpan{{2025, 12, 1}, {2026, 2, 28}}},
      {0, 4, 3, {2026, 1, 20}, std::nullopt},
      {1, 4, 0, {2026, 1, 20}, DateSpan{{2026, 1, 20}, {2026, 2, 19}}},
      {1, 10, 0, {2000, 1, 3}, DateSpan{{1999, 12, 26}, {2000, 1, 25}}},
      {1, 18, 3, {2026, 2, 16}, DateSpan{{2026, 2, 16}, {2026, 5, 15}}},
      {1, 19, 3, {2026, 2, 16}, std::nullopt},
      {1, 0, 4, {2026, 2, 16}, std::nullopt},
  };
  for (const SpanCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.form) + "/" + std::to_string(c.length));
    CalendarLayout layout = Layout(c.length);
    layout.Place = c.place;
    EXPECT_EQ(ShownSpan(layout, c.form, c.today), c.span);
  }
}

TEST(OwnCalendarSettings, ReachTheLayout) {
  Settings settings;
  CalendarLayout plain = CalendarLayoutFromSettings(settings);
  EXPECT_TRUE(plain.OwnDays.empty());
  EXPECT_FALSE(plain.Plate);
  EXPECT_EQ(plain.FileKind, DayMarkKind::kAnniversary);
  EXPECT_EQ(plain.Style.ColorMyDay, 0x0080FFu);

  settings.ownCalendar.myDays = {"12/29,休日,年末", "2026/02/30,休日,壊れた", "2026/04/01,記念日,創立, 60周年"};
  settings.ownCalendar.icsFile = "C:\\予定\\basic.ics";
  settings.ownCalendar.colorMyDay = 0x123456;
  settings.ownCalendar.plate = true;
  for (const auto& [kind, expected] : {std::pair{"休日", DayMarkKind::kHoliday},
                                       std::pair{"記念日", DayMarkKind::kAnniversary},
                                       std::pair{"祝日", DayMarkKind::kAnniversary}}) {
    settings.ownCalendar.icsKind = kind;
    const CalendarLayout layout = CalendarLayoutFromSettings(settings);
    EXPECT_EQ(layout.FileKind, expected) << kind;
    EXPECT_EQ(layout.OwnDays, (std::vector<OwnDay>{{0, 12, 29, DayMarkKind::kHoliday, "年末"},
                                                   {2026, 4, 1, DayMarkKind::kAnniversary, "創立, 60周年"}}));
    EXPECT_EQ(layout.File, "C:\\予定\\basic.ics");
    EXPECT_EQ(layout.Style.ColorMyDay, 0x123456u);
    EXPECT_TRUE(layout.Plate);
  }
}

}  // namespace
}  // namespace vorel
