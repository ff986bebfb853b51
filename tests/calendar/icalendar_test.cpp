// The calendar-file reader on a table of files as calendar programs export them: the days
// each marks within the span, for every rule and its exceptions, folded lines, time zones,
// cancelled events and damaged files.
#include "calendar/icalendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/recurrence.h"

namespace vorel {
namespace {

constexpr int64_t kHour = 3600;

// Japan: nine hours ahead of UTC all year.
int64_t Tokyo(int64_t utc) { return utc + 9 * kHour; }

// New York: UTC-5, and UTC-4 from the second Sunday of March 07:00 UTC to the first Sunday of
// November 06:00 UTC (2026: 8 March, 1 November).
int64_t NewYork2026(int64_t utc) {
  const int64_t summerFrom = DayNumber({2026, 3, 8}) * 86400 + 7 * kHour;
  const int64_t summerTo = DayNumber({2026, 11, 1}) * 86400 + 6 * kHour;
  return utc + (utc >= summerFrom && utc < summerTo ? -4 : -5) * kHour;
}

// The lines joined with CRLF inside a calendar.
std::string Calendar(const std::string& body) {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
  std::string line;
  for (const char c : body) {
    if (c == '\n') {
      text += line + "\r\n";
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) text += line + "\r\n";
  return text + "END:VCALENDAR\r\n";
}

std::string Event(const std::string& lines, const std::string& uid = "a@test") {
  return "BEGIN:VEVENT\nUID:" + uid + "\nDTSTAMP:20251201T000000Z\n" + lines + "\nEND:VEVENT\n";
}

constexpr const char* kNewYorkZone =
    "BEGIN:VTIMEZONE\nTZID:America/New_York\n"
    "BEGIN:DAYLIGHT\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\nTZNAME:EDT\nDTSTART:19700308T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nEND:DAYLIGHT\n"
    "BEGIN:STANDARD\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nTZNAME:EST\nDTSTART:19701101T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nEND:STANDARD\nEND:VTIMEZONE\n";

struct FileCase {
  const char* name;
  std::string file;
  std::vector<Date> days;  // expected, within 2026-01-01 .. 2026-03-31 unless the span says
  IcsStatus status = IcsStatus::kRead;
  UtcToLocal toLocal = Tokyo;
  DateSpan span = {{2026, 1, 1}, {2026, 3, 31}};
};

std::vector<Date> Jan(std::initializer_list<int32_t> days, int32_t month = 1) {
  std::vector<Date> out;
  for (const int32_t d : days) out.push_back({2026, month, d});
  return out;
}

std::vector<Date> Joined(std::vector<Date> a, const std::vector<Date>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<FileCase> Cases() {
  return {
      {"all-day, DTEND exclusive", Calendar(Event("DTSTART;VALUE=DATE:20260105\nDTEND;VALUE=DATE:20260106")),
       Jan({5})},
      {"all-day over several days", Calendar(Event("DTSTART;VALUE=DATE:20260130\nDTEND;VALUE=DATE:20260203")),
       Joined(Jan({30, 31}), Jan({1, 2}, 2))},
      {"all-day without an end, and with a duration",
       Calendar(Event("DTSTART;VALUE=DATE:20260105") +
                Event("DTSTART;VALUE=DATE:20260110\nDURATION:P3D", "b@test")),
       Jan({5, 10, 11, 12})},
      {"a UTC time on its local date", Calendar(Event("DTSTART:20260105T200000Z\nDTEND:20260105T210000Z")),
       Jan({6})},
      {"a floating time spanning midnight", Calendar(Event("DTSTART:20260105T233000\nDTEND:20260106T003000")),
       Jan({5, 6})},
      {"an event ending at midnight stays on its day",
       Calendar(Event("DTSTART:20260105T220000\nDTEND:20260106T000000")), Jan({5})},
      {"a zone the file describes", Calendar(std::string(kNewYorkZone) +
                                             Event("DTSTART;TZID=America/New_York:20260105T220000\n"
                                                   "DTEND;TZID=America/New_York:20260105T230000")),
       Jan({6})},
      {"a zone in summer time by the file's rules",
       Calendar(std::string(kNewYorkZone) + Event("DTSTART;TZID=\"America/New_York\":20260320T100000")),
       Jan({20}, 3)},
      {"a zone the file does not describe is taken as written",
       Calendar(Event("DTSTART;TZID=Europe/Nowhere:20260105T233000")), Jan({5})},
      {"the system's summer time",
       Calendar(Event("DTSTART:20260115T033000Z") + Event("DTSTART:20260701T033000Z", "b@test")),
       {{2026, 1, 14}, {2026, 6, 30}}, IcsStatus::kRead, NewYork2026, {{2026, 1, 1}, {2026, 7, 31}}},
      {"DAILY with COUNT", Calendar(Event("DTSTART;VALUE=DATE:20260105\nRRULE:FREQ=DAILY;COUNT=3")),
       Jan({5, 6, 7})},
      {"DAILY with INTERVAL and UNTIL",
       Calendar(Event("DTSTART:20260105T090000\nRRULE:FREQ=DAILY;INTERVAL=10;UNTIL=20260125T090000")),
       Jan({5, 15, 25})},
      {"WEEKLY on three days every other week",
       Calendar(Event("DTSTART;VALUE=DATE:20260105\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE,FR;UNTIL=20260131")),
       Jan({5, 7, 9, 19, 21, 23})},
      {"WEEKLY on the start's weekday, COUNT",
       Calendar(Event("DTSTART:20260106T190000\nRRULE:FREQ=WEEKLY;COUNT=4")), Jan({6, 13, 20, 27})},
      {"MONTHLY on the second Monday", Calendar(Event("DTSTART;VALUE=DATE:20251208\nRRULE:FREQ=MONTHLY;BYDAY=2MO")),
       {{2026, 1, 12}, {2026, 2, 9}, {2026, 3, 9}}},
      {"MONTHLY on the last Friday", Calendar(Event("DTSTART;VALUE=DATE:20251226\nRRULE:FREQ=MONTHLY;BYDAY=-1FR")),
       {{2026, 1, 30}, {2026, 2, 27}, {2026, 3, 27}}},
      {"MONTHLY on the last day", Calendar(Event("DTSTART;VALUE=DATE:20251031\nRRULE:FREQ=MONTHLY;BYMONTHDAY=-1")),
       {{2026, 1, 31}, {2026, 2, 28}, {2026, 3, 31}}},
      {"MONTHLY on the 31st skips the short months",
       Calendar(Event("DTSTART;VALUE=DATE:20251231\nRRULE:FREQ=MONTHLY")), {{2026, 1, 31}, {2026, 3, 31}}},
      {"MONTHLY on the last weekday (BYSETPOS)",
       Calendar(Event("DTSTART;VALUE=DATE:20251231\nRRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1")),
       {{2026, 1, 30}, {2026, 2, 27}, {2026, 3, 31}}},
      {"YEARLY birthday", Calendar(Event("DTSTART;VALUE=DATE:19900214\nRRULE:FREQ=YEARLY")), Jan({14}, 2)},
      {"YEARLY on 29 February is missing in a common year",
       Calendar(Event("DTSTART;VALUE=DATE:20000229\nRRULE:FREQ=YEARLY")), {}},
      {"YEARLY in a month on an ordinal weekday",
       Calendar(Event("DTSTART;VALUE=DATE:20200113\nRRULE:FREQ=YEARLY;BYMONTH=1;BYDAY=2MO")), Jan({12})},
      {"YEARLY in two months by month day",
       Calendar(Event("DTSTART;VALUE=DATE:20200101\nRRULE:FREQ=YEARLY;BYMONTH=1,3;BYMONTHDAY=1,-1")),
       {{2026, 1, 1}, {2026, 1, 31}, {2026, 3, 1}, {2026, 3, 31}}},
      {"UNTIL before the span ends it", Calendar(Event("DTSTART;VALUE=DATE:20250101\nRRULE:FREQ=DAILY;UNTIL=20251231")),
       {}},
      {"COUNT used up before the span",
       Calendar(Event("DTSTART;VALUE=DATE:20251229\nRRULE:FREQ=DAILY;COUNT=5")), Jan({1, 2})},
      {"EXDATE, as a date and as a time",
       Calendar(Event("DTSTART;VALUE=DATE:20260105\nRRULE:FREQ=DAILY;COUNT=4\nEXDATE;VALUE=DATE:20260106") +
                Event("DTSTART:20260112T090000Z\nRRULE:FREQ=DAILY;COUNT=3\nEXDATE:20260113T090000Z,20260114T090000Z",
                      "b@test")),
       Jan({5, 7, 8, 12})},
      {"RDATE adds a day", Calendar(Event("DTSTART;VALUE=DATE:20260105\nRDATE;VALUE=DATE:20260220,20260221")),
       {{2026, 1, 5}, {2026, 2, 20}, {2026, 2, 21}}},
      {"RECURRENCE-ID moves one occurrence",
       Calendar(Event("DTSTART:20260105T100000Z\nRRULE:FREQ=WEEKLY;COUNT=3") +
                Event("RECURRENCE-ID:20260112T100000Z\nDTSTART:20260116T100000Z")),
       Jan({5, 16, 19})},
      {"RECURRENCE-ID cancelled removes it",
       Calendar(Event("DTSTART;VALUE=DATE:20260105\nRRULE:FREQ=WEEKLY;COUNT=3") +
                Event("RECURRENCE-ID;VALUE=DATE:20260112\nDTSTART;VALUE=DATE:20260112\nSTATUS:CANCELLED")),
       Jan({5, 19})},
      {"a cancelled event marks nothing",
       Calendar(Event("DTSTART;VALUE=DATE:20260105\nRRULE:FREQ=DAILY\nSTATUS:CANCELLED")), {}},
      {"an alarm inside an event changes nothing",
       Calendar(Event("DTSTART;VALUE=DATE:20260105\nBEGIN:VALARM\nTRIGGER:-PT15M\nDTSTART:20260301T000000\n"
                      "ACTION:DISPLAY\nEND:VALARM\nDTEND;VALUE=DATE:20260106")),
       Jan({5})},
      {"folded lines, LF only, with a byte-order mark",
       "\xEF\xBB\xBF"
       "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:x\nDTSTART;VALUE=DATE:20260106\nRRULE:FREQ=WEEKLY;CO\n UNT=2;BY\n\tDAY=TU\n"
       "END:VEVENT\nEND:VCALENDAR\n",
       Jan({6, 13})},
      {"lower-case names and values",
       "begin:vcalendar\r\nbegin:vevent\r\ndtstart;value=date:20260107\r\nrrule:freq=weekly;count=2\r\n"
       "end:vevent\r\nend:vcalendar\r\n",
       Jan({7, 14})},
      {"a damaged event is passed over, the others count",
       Calendar(Event("DTSTART;VALUE=DATE:20260231") + Event("DTSTART:2026") + Event("SUMMARY:no start") +
                Event("DTSTART;VALUE=DATE:20260108\nRRULE:FREQ=SOMETIMES", "b@test")),
       Jan({8})},
      {"a rule the reader does not expand counts once",
       Calendar(Event("DTSTART;VALUE=DATE:20260109\nRRULE:FREQ=YEARLY;BYWEEKNO=2;BYDAY=FR")), Jan({9})},
      {"a long rule from long ago with a count",
       Calendar(Event("DTSTART;VALUE=DATE:18000101\nRRULE:FREQ=DAILY;COUNT=82547")), Jan({1, 2})},
      {"a file cut short marks nothing",
       "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260105\r\nEND:VEVENT\r\n", {}, IcsStatus::kNotCalendar},
      {"another kind of file", "\x89PNG\r\n\x1a\nDTSTART:20260105\r\n", {}, IcsStatus::kNotCalendar},
      {"an empty file", "", {}, IcsStatus::kNotCalendar},
      {"a file over 16 MB",
       Calendar(Event("DTSTART;VALUE=DATE:20260105")) + std::string(kMaxIcsBytes, '\n'), {}, IcsStatus::kTooLarge},
  };
}

TEST(IcsReader, DaysOfEachFile) {
  for (const FileCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const IcsDays read = ReadIcsDays(c.file, c.span, c.toLocal);
    EXPECT_EQ(read.status, c.status);
    ASSERT_EQ(read.days.size(), c.days.size());
    for (size_t i = 0; i < c.days.size(); ++i)
      EXPECT_EQ(read.days[i], c.days[i]) << read.days[i].month << "/" << read.days[i].day;
  }
}

TEST(IcsReader, ExpansionStaysBoundedOnHostileRules) {
  // Every day since year 1 with the largest count, ten thousand times over: the budget ends
  // the walk, and what was read stays within the span.
  std::string body;
  for (int i = 0; i < 10000; ++i)
    body += Event("DTSTART;VALUE=DATE:00010101\nRRULE:FREQ=DAILY;COUNT=999999999", "u" + std::to_string(i));
  const IcsDays read = ReadIcsDays(Calendar(body), {{2026, 1, 1}, {2026, 1, 31}}, Tokyo);
  EXPECT_EQ(read.status, IcsStatus::kRead);
  EXPECT_EQ(read.events, 10000u);
  EXPECT_LE(read.days.size(), 31u);
}

TEST(IcsValues, TimesDurationsAndRules) {
  EXPECT_EQ(ParseIcsTime("20260105", false, "")->kind, IcsTime::Kind::kDate);
  EXPECT_EQ(ParseIcsTime("20260105T093000Z", false, "")->seconds, 9 * 3600 + 1800);
  EXPECT_EQ(ParseIcsTime("20260105T093000", false, "Asia/Tokyo")->kind, IcsTime::Kind::kZoned);
  for (const char* bad : {"20260105T093000", "2026010", "20261305", "20260105T250000", "2026-01-05", "00000101"})
    EXPECT_FALSE(ParseIcsTime(bad, std::string_view(bad) == "20260105T093000", "")) << bad;
  EXPECT_EQ(ParseIcsDuration("P1W"), 7 * 86400);
  EXPECT_EQ(ParseIcsDuration("P1DT2H3M4S"), 86400 + 2 * 3600 + 3 * 60 + 4);
  EXPECT_EQ(ParseIcsDuration("-PT5M"), 0);
  for (const char* bad : {"P", "PT", "1D", "P1H", "PT1D", "P1DT", "PTT1H"}) EXPECT_FALSE(ParseIcsDuration(bad)) << bad;
  for (const char* bad : {"COUNT=3", "FREQ=HOURLY", "FREQ=DAILY;COUNT=0", "FREQ=DAILY;INTERVAL=0",
                          "FREQ=DAILY;COUNT=2;UNTIL=20260101", "FREQ=MONTHLY;BYMONTHDAY=32", "FREQ=WEEKLY;BYDAY=XX",
                          "FREQ=MONTHLY;BYDAY=0MO", "FREQ=YEARLY;BYMONTH=13", "FREQ=DAILY;BYMONTH=1,,2"})
    EXPECT_FALSE(ParseRecurrenceRule(bad)) << bad;
}

}  // namespace
}  // namespace vorel
