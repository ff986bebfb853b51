// The user's own marks on the calendar: days off ("休日") drawn as public holidays are, and
// anniversaries ("記念日") in a colour of their own; where two marks meet, which one shows.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "calendar/calendar_dates.h"

namespace vorel {

enum class DayMarkKind : uint8_t { kHoliday, kAnniversary };

inline constexpr const char* kHolidayKindText = "休日";
inline constexpr const char* kAnniversaryKindText = "記念日";

// "休日" or "記念日" exactly; anything else is no kind.
std::optional<DayMarkKind> ParseDayMarkKind(std::string_view text);
const char* DayMarkKindText(DayMarkKind kind);

// Days counted from 1 January 1970 (negative before), for any year of the 32-bit range.
int64_t DayNumber(const Date& date);
Date DateOfDayNumber(int64_t days);
bool ValidDate(const Date& date);

// The first and last day a calendar shows, both included.
struct DateSpan {
  Date first;
  Date last;
  bool Contains(const Date& date) const { return DayNumber(date) >= DayNumber(first) && DayNumber(date) <= DayNumber(last); }
  bool operator==(const DateSpan&) const = default;
};

class DayMarks {
 public:
  // A day marked twice keeps the holiday: a day off outranks an anniversary.
  void Add(const Date& date, DayMarkKind kind);
  std::optional<DayMarkKind> At(const Date& date) const;
  bool Empty() const { return days_.empty(); }
  size_t Size() const { return days_.size(); }

 private:
  std::map<int64_t, DayMarkKind> days_;
};

// The colour role of a marked day: a day off is drawn as a public holiday; an anniversary
// takes its own colour except on public holidays and Sundays (and the Mondays drawn as
// Sundays); today, when the today mark is the colour change, stays today.
ColourRole WithMark(ColourRole role, std::optional<DayMarkKind> mark);

}  // namespace vorel
