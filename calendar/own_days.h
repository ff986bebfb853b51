// The user's own days as the settings store keeps them, one record a value: "DATE,KIND,NAME",
// DATE "YYYY/MM/DD" (that day only) or "MM/DD" (every year), KIND "休日" or "記念日", NAME the
// rest of the text, commas included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/day_marks.h"

namespace vorel {

struct OwnDay {
  int32_t year = 0;  // 0: every year
  int32_t month = 1;
  int32_t day = 1;
  DayMarkKind kind = DayMarkKind::kHoliday;
  std::string name;
  bool EveryYear() const { return year == 0; }
  bool operator==(const OwnDay&) const = default;
};

// Longer records are not own days but damage; a name of a few hundred characters is plenty.
inline constexpr size_t kMaxOwnDayRecordBytes = 4096;

// nullopt for a record that names no day: a date that is not one (31 February, 29 February of
// a common year, month 13), an unknown kind, a missing field or a record beyond the bound.
std::optional<OwnDay> ParseOwnDay(std::string_view record);
// The record as it is stored; ParseOwnDay reads it back unchanged.
std::string OwnDayRecord(const OwnDay& day);
// The date part alone, "2026/12/29" or "12/29".
std::string OwnDayDateText(const OwnDay& day);

// The records that name a day, in their order; the others are left out (and stay stored).
std::vector<OwnDay> ParseOwnDays(const std::vector<std::string>& records);

// Marks each day of the span that an own day names; an every-year 29 February only in leap
// years.
void MarkOwnDays(DayMarks& marks, const std::vector<OwnDay>& days, const DateSpan& span);

}  // namespace vorel
