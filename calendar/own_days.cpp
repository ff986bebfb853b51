// Reading and writing the own-day records. Registry values may have been edited by hand, so
// every field is checked and a record that fails is simply not a day.
#include "calendar/own_days.h"

#include <cstdio>

#include "calendar/text_fields.h"

namespace vorel {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<int32_t> Number(std::string_view text, size_t minDigits, size_t maxDigits) {
  const std::optional<int64_t> value = DecimalDigits(text, minDigits, maxDigits);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::optional<OwnDay> ParseDate(std::string_view text) {
  OwnDay day;
  const size_t firstSlash = text.find('/');
  if (firstSlash == std::string_view::npos) return std::nullopt;
  const size_t secondSlash = text.find('/', firstSlash + 1);
  std::optional<int32_t> year = 0, month, dayOfMonth;
  if (secondSlash == std::string_view::npos) {
    month = Number(text.substr(0, firstSlash), 1, 2);
    dayOfMonth = Number(text.substr(firstSlash + 1), 1, 2);
  } else {
    year = Number(text.substr(0, firstSlash), 4, 4);
    month = Number(text.substr(firstSlash + 1, secondSlash - firstSlash - 1), 1, 2);
    dayOfMonth = Number(text.substr(secondSlash + 1), 1, 2);
    if (year && *year == 0) return std::nullopt;
  }
  if (!year || !month || !dayOfMonth) return std::nullopt;
  day.year = *year;
  day.month = *month;
  day.day = *dayOfMonth;
  // Every year: 29 February is a day, if not in every year.
  const Date check{day.EveryYear() ? 2000 : day.year, day.month, day.day};
  if (!ValidDate(check)) return std::nullopt;
  return day;
}

}  // namespace

std::optional<OwnDay> ParseOwnDay(std::string_view record) {
  if (record.size() > kMaxOwnDayRecordBytes) return std::nullopt;
  const size_t firstComma = record.find(',');
  if (firstComma == std::string_view::npos) return std::nullopt;
  std::optional<OwnDay> day = ParseDate(Trimmed(record.substr(0, firstComma)));
  if (!day) return std::nullopt;
  const size_t secondComma = record.find(',', firstComma + 1);
  const std::string_view kindText =
      secondComma == std::string_view::npos ? record.substr(firstComma + 1)
                                            : record.substr(firstComma + 1, secondComma - firstComma - 1);
  const std::optional<DayMarkKind> kind = ParseDayMarkKind(Trimmed(kindText));
  if (!kind) return std::nullopt;
  day->kind = *kind;
  if (secondComma != std::string_view::npos) day->name = std::string(record.substr(secondComma + 1));
  return day;
}

std::string OwnDayDateText(const OwnDay& day) {
  char text[24];
  if (day.EveryYear())
    std::snprintf(text, sizeof(text), "%02d/%02d", static_cast<int>(day.month), static_cast<int>(day.day));
  else
    std::snprintf(text, sizeof(text), "%04d/%02d/%02d", static_cast<int>(day.year), static_cast<int>(day.month),
                  static_cast<int>(day.day));
  return text;
}

std::string OwnDayRecord(const OwnDay& day) {
  return OwnDayDateText(day) + "," + DayMarkKindText(day.kind) + "," + day.name;
}

std::vector<OwnDay> ParseOwnDays(const std::vector<std::string>& records) {
  std::vector<OwnDay> days;
  for (const std::string& record : records)
    if (std::optional<OwnDay> day = ParseOwnDay(record)) days.push_back(std::move(*day));
  return days;
}

void MarkOwnDays(DayMarks& marks, const std::vector<OwnDay>& days, const DateSpan& span) {
  for (const OwnDay& day : days) {
    if (!day.EveryYear()) {
      const Date date{day.year, day.month, day.day};
      if (span.Contains(date)) marks.Add(date, day.kind);
      continue;
    }
    for (int64_t year = span.first.year; year <= span.last.year; ++year) {
      const Date date{static_cast<int32_t>(year), day.month, day.day};
      if (ValidDate(date) && span.Contains(date)) marks.Add(date, day.kind);
    }
  }
}

}  // namespace vorel
