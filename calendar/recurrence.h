// The values of a calendar file that say when something happens: dates, date-times,
// durations, and recurrence rules with the dates they give. Only dates matter to the wallpaper
// calendar, so a rule is expanded day by day; the time of day is the start's throughout.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/day_marks.h"

namespace vorel {

// A DATE or DATE-TIME value as written: a whole day, a wall-clock time that floats (no zone),
// a UTC time ("Z"), or a time in a named zone (TZID).
struct IcsTime {
  enum class Kind : uint8_t { kDate, kFloating, kUtc, kZoned };
  Date date;
  int32_t seconds = 0;  // since midnight
  Kind kind = Kind::kDate;
  std::string zone;     // the TZID of a zoned time

  // Seconds since 1970-01-01 00:00 of the wall clock the time is written in.
  int64_t Wall() const { return DayNumber(date) * 86400 + seconds; }
  IcsTime At(const Date& day) const {
    IcsTime moved = *this;
    moved.date = day;
    return moved;
  }
};

// "YYYYMMDD" (asDate, or eight digits alone) or "YYYYMMDDTHHMMSS" with an optional "Z"; the
// zone applies to a time without "Z". Years 1 to 9999; nullopt for anything else.
std::optional<IcsTime> ParseIcsTime(std::string_view value, bool asDate, std::string_view zone);
// "P1D", "PT1H30M", "P2W", "-PT5M" ...; seconds (negative durations count as none).
std::optional<int64_t> ParseIcsDuration(std::string_view value);

enum class Frequency : uint8_t { kDaily, kWeekly, kMonthly, kYearly };

struct WeekdayNumber {
  int32_t ordinal = 0;  // 0: every such weekday; 2: the second; -1: the last
  int32_t weekday = 0;  // 0 Sunday ... 6 Saturday
};

struct RecurrenceRule {
  Frequency frequency = Frequency::kDaily;
  int64_t interval = 1;
  std::optional<int64_t> count;
  std::optional<IcsTime> until;
  std::vector<WeekdayNumber> byDay;
  std::vector<int32_t> byMonthDay;  // -31..-1, 1..31
  std::vector<int32_t> byMonth;     // 1..12
  std::vector<int32_t> bySetPos;    // -366..-1, 1..366
  int32_t weekStart = 1;            // WKST, Monday unless given
};

// The rule of an RRULE value. nullopt for a damaged rule, and for one this reader does not
// expand (SECONDLY to HOURLY, BYWEEKNO, BYYEARDAY): its event then counts once, at its start.
// BYHOUR, BYMINUTE and BYSECOND change the times of a day, not the days, and are passed over.
std::optional<RecurrenceRule> ParseRecurrenceRule(std::string_view value);

// How much work one file may make: a rule from the distant past with a count is walked
// period by period, and a 16 MB file can hold many of them.
struct ExpansionBudget {
  int64_t steps = 8'000'000;
  bool Take(int64_t n = 1) {
    if (steps < n) {
      steps = 0;
      return false;
    }
    steps -= n;
    return true;
  }
};

// The days of the rule for an event starting on `start`, in order, the start first (it counts
// towards COUNT even where the rule would not give it). Stops past `lastDay` (a day number),
// at COUNT, at the first day withinUntil refuses, when visit returns false, or when the budget
// is spent. Without a count the periods before firstDay (a hint) may be passed over unseen.
void ExpandRule(const RecurrenceRule& rule, const Date& start, int64_t firstDay, int64_t lastDay,
                const std::function<bool(const Date&)>& withinUntil, const std::function<bool(const Date&)>& visit,
                ExpansionBudget& budget);

}  // namespace vorel
