// Day numbers by the civil-from-days arithmetic of the proleptic Gregorian calendar, and the
// precedence of the user's marks over the calendar's own colours.
#include "calendar/day_marks.h"

namespace vorel {

std::optional<DayMarkKind> ParseDayMarkKind(std::string_view text) {
  if (text == kHolidayKindText) return DayMarkKind::kHoliday;
  if (text == kAnniversaryKindText) return DayMarkKind::kAnniversary;
  return std::nullopt;
}

const char* DayMarkKindText(DayMarkKind kind) {
  return kind == DayMarkKind::kHoliday ? kHolidayKindText : kAnniversaryKindText;
}

int64_t DayNumber(const Date& date) {
  // Years counted from 1 March, so that the leap day ends a year.
  const int64_t y = static_cast<int64_t>(date.year) - (date.month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
  const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

Date DateOfDayNumber(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int32_t>(year), static_cast<int32_t>(month), static_cast<int32_t>(day)};
}

bool ValidDate(const Date& date) {
  return date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

void DayMarks::Add(const Date& date, DayMarkKind kind) {
  const auto [at, added] = days_.emplace(DayNumber(date), kind);
  if (!added && kind == DayMarkKind::kHoliday) at->second = kind;
}

std::optional<DayMarkKind> DayMarks::At(const Date& date) const {
  if (days_.empty()) return std::nullopt;
  const auto at = days_.find(DayNumber(date));
  if (at == days_.end()) return std::nullopt;
  return at->second;
}

ColourRole WithMark(ColourRole role, std::optional<DayMarkKind> mark) {
  if (!mark || role == ColourRole::kToday) return role;
  if (*mark == DayMarkKind::kHoliday) return ColourRole::kHoliday;
  if (role == ColourRole::kHoliday || role == ColourRole::kSunday) return role;
  return ColourRole::kAnniversary;
}

}  // namespace vorel
