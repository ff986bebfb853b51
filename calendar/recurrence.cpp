// Values of a calendar file and the expansion of its recurrence rules. The rule is walked one
// period (day, week, month or year, times INTERVAL) at a time: each period gives its set of
// candidate days by the BYxxx parts, BYSETPOS picks among them, and the days before the start
// are dropped.
#include "calendar/recurrence.h"

#include <algorithm>
#include <cctype>

#include "calendar/text_fields.h"

namespace vorel {
namespace {

std::optional<int64_t> Digits(std::string_view text) { return DecimalDigits(text, 1, 9); }

std::optional<int64_t> SignedNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::optional<int64_t> value = Digits(text);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

// Splits at the separator; empty pieces are kept so that "1,,2" is seen to be damaged.
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t from = 0;
  while (true) {
    const size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) break;
    from = at + 1;
  }
  return parts;
}

std::optional<int32_t> WeekdayOfCode(std::string_view code) {
  static constexpr std::string_view kCodes[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
  for (int32_t i = 0; i < 7; ++i)
    if (code == kCodes[i]) return i;
  return std::nullopt;
}

// A list of numbers each within [low, high] and never 0.
bool NumberList(std::string_view text, int32_t low, int32_t high, std::vector<int32_t>& out) {
  for (const std::string_view part : Split(text, ',')) {
    const std::optional<int64_t> n = SignedNumber(part);
    if (!n || *n == 0 || *n < low || *n > high) return false;
    out.push_back(static_cast<int32_t>(*n));
  }
  return true;
}

int32_t WeekdayOfDay(int64_t day) {
  // 1 January 1970 was a Thursday.
  return static_cast<int32_t>(((day % 7) + 7 + 4) % 7);
}

// The days of [first, last] that the BYDAY parts name; ordinals count within the range.
void DaysByWeekday(const std::vector<WeekdayNumber>& byDay, int64_t first, int64_t last, std::vector<int64_t>& out) {
  for (const WeekdayNumber& w : byDay) {
    const int64_t firstMatch = first + (w.weekday - WeekdayOfDay(first) + 7) % 7;
    if (firstMatch > last) continue;
    const int64_t matches = (last - firstMatch) / 7 + 1;
    if (w.ordinal == 0) {
      for (int64_t d = firstMatch; d <= last; d += 7) out.push_back(d);
    } else if (w.ordinal > 0 && w.ordinal <= matches) {
      out.push_back(firstMatch + 7 * (w.ordinal - 1));
    } else if (w.ordinal < 0 && -w.ordinal <= matches) {
      out.push_back(firstMatch + 7 * (matches + w.ordinal));
    }
  }
}

bool WeekdayListed(const std::vector<WeekdayNumber>& byDay, int64_t day) {
  const int32_t weekday = WeekdayOfDay(day);
  return std::any_of(byDay.begin(), byDay.end(), [weekday](const WeekdayNumber& w) { return w.weekday == weekday; });
}

bool MonthDayListed(const std::vector<int32_t>& byMonthDay, const Date& date) {
  const int32_t length = DaysInMonth(date.year, date.month);
  return std::any_of(byMonthDay.begin(), byMonthDay.end(),
                     [&](int32_t n) { return (n > 0 ? n : length + 1 + n) == date.day; });
}

bool Listed(const std::vector<int32_t>& values, int32_t value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// The BYMONTHDAY days of a month, the out-of-month ones (31 in April, -30 in February) left out.
void MonthDays(const std::vector<int32_t>& byMonthDay, int32_t year, int32_t month, std::vector<int64_t>& out) {
  const int32_t length = DaysInMonth(year, month);
  for (const int32_t n : byMonthDay) {
    const int32_t day = n > 0 ? n : length + 1 + n;
    if (day >= 1 && day <= length) out.push_back(DayNumber({year, month, day}));
  }
}

// Month and year periods by their index: months since year 0, years as they are.
Date MonthOfIndex(int64_t index) {
  return {static_cast<int32_t>(index / 12), static_cast<int32_t>(index % 12) + 1, 1};
}

// Years beyond this are past any calendar drawn; the walk ends there.
constexpr int64_t kLastYear = 9999;

// The candidate days of period k, sorted, before BYSETPOS and the start.
void PeriodDays(const RecurrenceRule& rule, const Date& start, int64_t startDay, int64_t k,
                std::vector<int64_t>& days) {
  days.clear();
  switch (rule.frequency) {
    case Frequency::kDaily: {
      const int64_t day = startDay + k * rule.interval;
      const Date date = DateOfDayNumber(day);
      if (!rule.byMonth.empty() && !Listed(rule.byMonth, date.month)) return;
      if (!rule.byMonthDay.empty() && !MonthDayListed(rule.byMonthDay, date)) return;
      if (!rule.byDay.empty() && !WeekdayListed(rule.byDay, day)) return;
      days.push_back(day);
      return;
    }
    case Frequency::kWeekly: {
      const int64_t weekStart =
          startDay - (WeekdayOfDay(startDay) - rule.weekStart + 7) % 7 + 7 * k * rule.interval;
      for (int64_t day = weekStart; day < weekStart + 7; ++day) {
        const bool weekday =
            rule.byDay.empty() ? WeekdayOfDay(day) == WeekdayOfDay(startDay) : WeekdayListed(rule.byDay, day);
        if (!weekday) continue;
        const Date date = DateOfDayNumber(day);
        if (!rule.byMonth.empty() && !Listed(rule.byMonth, date.month)) continue;
        if (!rule.byMonthDay.empty() && !MonthDayListed(rule.byMonthDay, date)) continue;
        days.push_back(day);
      }
      return;
    }
    case Frequency::kMonthly: {
      const Date month = MonthOfIndex(static_cast<int64_t>(start.year) * 12 + start.month - 1 + k * rule.interval);
      if (!rule.byMonth.empty() && !Listed(rule.byMonth, month.month)) return;
      const int64_t first = DayNumber(month);
      const int64_t last = first + DaysInMonth(month.year, month.month) - 1;
      if (!rule.byMonthDay.empty()) {
        MonthDays(rule.byMonthDay, month.year, month.month, days);
        if (!rule.byDay.empty())
          std::erase_if(days, [&](int64_t day) { return !WeekdayListed(rule.byDay, day); });
      } else if (!rule.byDay.empty()) {
        DaysByWeekday(rule.byDay, first, last, days);
      } else if (start.day <= last - first + 1) {
        days.push_back(first + start.day - 1);
      }
      break;
    }
    case Frequency::kYearly: {
      const int32_t year = static_cast<int32_t>(start.year + k * rule.interval);
      std::vector<int32_t> months = rule.byMonth;
      if (!rule.byMonthDay.empty()) {
        if (months.empty())
          for (int32_t m = 1; m <= 12; ++m) months.push_back(m);
        for (const int32_t m : months) MonthDays(rule.byMonthDay, year, m, days);
        if (!rule.byDay.empty())
          std::erase_if(days, [&](int64_t day) { return !WeekdayListed(rule.byDay, day); });
      } else if (!rule.byDay.empty()) {
        if (months.empty()) {
          DaysByWeekday(rule.byDay, DayNumber({year, 1, 1}), DayNumber({year, 12, 31}), days);
        } else {
          for (const int32_t m : months) {
            const int64_t first = DayNumber({year, m, 1});
            DaysByWeekday(rule.byDay, first, first + DaysInMonth(year, m) - 1, days);
          }
        }
      } else {
        if (months.empty()) months.push_back(start.month);
        for (const int32_t m : months)
          if (start.day <= DaysInMonth(year, m)) days.push_back(DayNumber({year, m, start.day}));
      }
      break;
    }
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
}

void ApplySetPositions(const std::vector<int32_t>& bySetPos, std::vector<int64_t>& days) {
  if (bySetPos.empty() || days.empty()) return;
  std::vector<int64_t> picked;
  const auto size = static_cast<int64_t>(days.size());
  for (const int32_t position : bySetPos) {
    const int64_t index = position > 0 ? position - 1 : size + position;
    if (index >= 0 && index < size) picked.push_back(days[static_cast<size_t>(index)]);
  }
  std::sort(picked.begin(), picked.end());
  picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
  days = std::move(picked);
}

// The first day period k can give, to know when the walk has passed the last day.
int64_t PeriodFirstDay(const RecurrenceRule& rule, const Date& start, int64_t startDay, int64_t k) {
  switch (rule.frequency) {
    case Frequency::kDaily:
      return startDay + k * rule.interval;
    case Frequency::kWeekly:
      return startDay - (WeekdayOfDay(startDay) - rule.weekStart + 7) % 7 + 7 * k * rule.interval;
    case Frequency::kMonthly:
      return DayNumber(MonthOfIndex(static_cast<int64_t>(start.year) * 12 + start.month - 1 + k * rule.interval));
    case Frequency::kYearly:
      break;
  }
  return DayNumber({static_cast<int32_t>(start.year + k * rule.interval), 1, 1});
}

// The last period that may be passed over unseen when the walk need not count from the start.
int64_t PeriodsBefore(const RecurrenceRule& rule, const Date& start, int64_t startDay, int64_t firstDay) {
  if (rule.count || firstDay <= startDay) return 0;
  int64_t periods = 0;
  switch (rule.frequency) {
    case Frequency::kDaily:
      periods = (firstDay - startDay) / rule.interval;
      break;
    case Frequency::kWeekly:
      periods = (firstDay - startDay) / (7 * rule.interval);
      break;
    case Frequency::kMonthly: {
      const Date first = DateOfDayNumber(firstDay);
      periods = ((int64_t{first.year} - start.year) * 12 + first.month - start.month) / rule.interval;
      break;
    }
    case Frequency::kYearly:
      periods = (int64_t{DateOfDayNumber(firstDay).year} - start.year) / rule.interval;
      break;
  }
  return std::max<int64_t>(0, periods - 1);
}

}  // namespace

std::optional<IcsTime> ParseIcsTime(std::string_view value, bool asDate, std::string_view zone) {
  IcsTime t;
  if (value.size() < 8) return std::nullopt;
  const std::optional<int64_t> year = Digits(value.substr(0, 4));
  const std::optional<int64_t> month = Digits(value.substr(4, 2));
  const std::optional<int64_t> day = Digits(value.substr(6, 2));
  if (!year || !month || !day || *year < 1) return std::nullopt;
  t.date = {static_cast<int32_t>(*year), static_cast<int32_t>(*month), static_cast<int32_t>(*day)};
  if (!ValidDate(t.date)) return std::nullopt;
  if (value.size() == 8) {
    t.kind = IcsTime::Kind::kDate;
    return t;
  }
  if (asDate) return std::nullopt;
  const bool utc = value.size() == 16 && (value[15] == 'Z' || value[15] == 'z');
  if ((value.size() != 15 && !utc) || (value[8] != 'T' && value[8] != 't')) return std::nullopt;
  const std::optional<int64_t> hour = Digits(value.substr(9, 2));
  const std::optional<int64_t> minute = Digits(value.substr(11, 2));
  const std::optional<int64_t> second = Digits(value.substr(13, 2));
  // Second 60 is a leap second; it still belongs to its day.
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
  t.seconds = static_cast<int32_t>(*hour * 3600 + *minute * 60 + std::min<int64_t>(*second, 59));
  if (utc) {
    t.kind = IcsTime::Kind::kUtc;
  } else if (!zone.empty()) {
    t.kind = IcsTime::Kind::kZoned;
    t.zone = std::string(zone);
  } else {
    t.kind = IcsTime::Kind::kFloating;
  }
  return t;
}

std::optional<int64_t> ParseIcsDuration(std::string_view value) {
  bool negative = false;
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  if (value.empty() || (value.front() != 'P' && value.front() != 'p')) return std::nullopt;
  value.remove_prefix(1);
  int64_t seconds = 0;
  bool inTime = false;
  bool any = false;
  bool anyTime = false;
  while (!value.empty()) {
    const char lead = static_cast<char>(std::toupper(static_cast<unsigned char>(value.front())));
    if (lead == 'T') {
      if (inTime) return std::nullopt;
      inTime = true;
      value.remove_prefix(1);
      continue;
    }
    size_t digits = 0;
    while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
    const std::optional<int64_t> n = Digits(value.substr(0, digits));
    if (!n || digits >= value.size()) return std::nullopt;
    const char unit = static_cast<char>(std::toupper(static_cast<unsigned char>(value[digits])));
    int64_t scale = 0;
    if (!inTime && unit == 'W') scale = 7 * 86400;
    if (!inTime && unit == 'D') scale = 86400;
    if (inTime && unit == 'H') scale = 3600;
    if (inTime && unit == 'M') scale = 60;
    if (inTime && unit == 'S') scale = 1;
    if (scale == 0) return std::nullopt;
    seconds += *n * scale;
    any = true;
    anyTime = anyTime || inTime;
    value.remove_prefix(digits + 1);
  }
  if (!any || (inTime && !anyTime)) return std::nullopt;
  return negative ? 0 : seconds;
}

std::optional<RecurrenceRule> ParseRecurrenceRule(std::string_view value) {
  RecurrenceRule rule;
  bool frequency = false;
  for (const std::string_view part : Split(value, ';')) {
    if (part.empty()) continue;
    const size_t equals = part.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string name = AsciiUpper(part.substr(0, equals));
    const std::string text = AsciiUpper(part.substr(equals + 1));
    if (name == "FREQ") {
      if (text == "DAILY") {
        rule.frequency = Frequency::kDaily;
      } else if (text == "WEEKLY") {
        rule.frequency = Frequency::kWeekly;
      } else if (text == "MONTHLY") {
        rule.frequency = Frequency::kMonthly;
      } else if (text == "YEARLY") {
        rule.frequency = Frequency::kYearly;
      } else {
        return std::nullopt;
      }
      frequency = true;
    } else if (name == "INTERVAL") {
      const std::optional<int64_t> n = Digits(text);
      // An interval of more than a million periods repeats nothing a calendar shows.
      if (!n || *n < 1 || *n > 1'000'000) return std::nullopt;
      rule.interval = *n;
    } else if (name == "COUNT") {
      const std::optional<int64_t> n = Digits(text);
      if (!n || *n < 1) return std::nullopt;
      rule.count = *n;
    } else if (name == "UNTIL") {
      rule.until = ParseIcsTime(text, false, "");
      if (!rule.until) return std::nullopt;
    } else if (name == "BYDAY") {
      for (const std::string_view item : Split(text, ',')) {
        if (item.size() < 2) return std::nullopt;
        const std::optional<int32_t> weekday = WeekdayOfCode(item.substr(item.size() - 2));
        const std::string_view ordinalText = item.substr(0, item.size() - 2);
        const std::optional<int64_t> ordinal = ordinalText.empty() ? int64_t{0} : SignedNumber(ordinalText);
        if (!weekday || !ordinal || *ordinal < -53 || *ordinal > 53 || (*ordinal == 0 && !ordinalText.empty()))
          return std::nullopt;
        rule.byDay.push_back({static_cast<int32_t>(*ordinal), *weekday});
      }
    } else if (name == "BYMONTHDAY") {
      if (!NumberList(text, -31, 31, rule.byMonthDay)) return std::nullopt;
    } else if (name == "BYMONTH") {
      if (!NumberList(text, 1, 12, rule.byMonth)) return std::nullopt;
    } else if (name == "BYSETPOS") {
      if (!NumberList(text, -366, 366, rule.bySetPos)) return std::nullopt;
    } else if (name == "WKST") {
      const std::optional<int32_t> weekday = WeekdayOfCode(text);
      if (!weekday) return std::nullopt;
      rule.weekStart = *weekday;
    } else if (name == "BYWEEKNO" || name == "BYYEARDAY") {
      return std::nullopt;
    }
    // BYHOUR, BYMINUTE, BYSECOND and names of later extensions change no day.
  }
  // COUNT and UNTIL together are not a rule.
  if (!frequency || (rule.count && rule.until)) return std::nullopt;
  return rule;
}

void ExpandRule(const RecurrenceRule& rule, const Date& start, int64_t firstDay, int64_t lastDay,
                const std::function<bool(const Date&)>& withinUntil, const std::function<bool(const Date&)>& visit,
                ExpansionBudget& budget) {
  const int64_t startDay = DayNumber(start);
  int64_t given = 0;
  const auto give = [&](int64_t day) {
    if (day > lastDay) return false;
    const Date date = DateOfDayNumber(day);
    if (!withinUntil(date)) return false;
    if (rule.count && given >= *rule.count) return false;
    ++given;
    return visit(date);
  };
  // The start is the first occurrence, given or not by the rule.
  if (!budget.Take() || !give(startDay)) return;
  std::vector<int64_t> days;
  for (int64_t k = PeriodsBefore(rule, start, startDay, firstDay);; ++k) {
    if (!budget.Take()) return;
    const int64_t periodFirst = PeriodFirstDay(rule, start, startDay, k);
    if (periodFirst > lastDay || DateOfDayNumber(periodFirst).year > kLastYear) return;
    PeriodDays(rule, start, startDay, k, days);
    ApplySetPositions(rule.bySetPos, days);
    if (!budget.Take(static_cast<int64_t>(days.size()))) return;
    for (const int64_t day : days) {
      if (day <= startDay) continue;
      if (!give(day)) return;
    }
  }
}

}  // namespace vorel
