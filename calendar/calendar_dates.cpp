// Gregorian arithmetic, the holiday table with its two equinox formulas, the day colour rule
// and the texts of years, months and weekdays.
#include "calendar/calendar_dates.h"

#include <array>
#include <ctime>
#include <string_view>

namespace vorel {
namespace {

bool ValidMonth(int32_t month) { return month >= 1 && month <= 12; }

// Holidays on fixed dates, one row per month; the equinoxes are computed.
constexpr std::array<std::array<int32_t, 3>, 12> kFixedHolidays = {{
    {1, 15, 0},
    {11, 0, 0},
    {0, 0, 0},
    {29, 0, 0},
    {3, 4, 5},
    {0, 0, 0},
    {20, 0, 0},
    {0, 0, 0},
    {15, 0, 0},
    {10, 0, 0},
    {3, 23, 0},
    {23, 0, 0},
}};

// Both formulas are kept as they have always been written, also for the years before 1980
// where they disagree with each other about the quarter day; 64 bits keep any year in range.
int64_t VernalEquinoxDay(int32_t year) {
  const double k = static_cast<double>(year) - 1980.0;
  return static_cast<int64_t>(20.8431 + 0.242194 * k) - static_cast<int64_t>(0.25 * k);
}

int64_t AutumnalEquinoxDay(int32_t year) {
  const int64_t k = static_cast<int64_t>(year) - 1980;
  const int64_t q = k / 4;
  return static_cast<int64_t>(23.2488 + 0.242194 * static_cast<double>(k) - static_cast<double>(q));
}

const std::string& Empty() {
  static const std::string empty;
  return empty;
}

// {y4} the year, {y2} its last two digits, {h} the Heisei year.
constexpr std::array<const char*, kYearFormatCount> kYearFormats = {
    "",
    "{y4}",
    "'{y2}",
    "{y2}",
    "{y4}年",
    "{y2}年",
    "平成{h}年",
    "H{h}",
    "H{h}年",
    "{y4}(H{h})",
    "'{y2}(H{h})",
    "{y2}(H{h})",
    "{y4}年(H{h})",
    "{y2}年(H{h})",
    "{y4}(平成{h})",
    "'{y2}(平成{h})",
    "{y2}(平成{h})",
    "{y4}年(平成{h})",
    "{y2}年(平成{h})",
    "{y4}(平成{h}年)",
    "'{y2}(平成{h}年)",
    "{y2}(平成{h}年)",
    "{y4}(H{h}年)",
    "'{y2}(H{h}年)",
    "{y2}(H{h}年)",
};

using MonthTable = std::array<std::array<std::string, 12>, kMonthStyleCount>;
using WeekdayTable = std::array<std::array<std::string, 7>, kWeekdayStyleCount>;

const MonthTable& MonthTableData() {
  static const MonthTable table = {{
      {},
      {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"},
      {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
       "December"},
      {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      {"睦月", "如月", "弥生", "卯月", "皐月", "水無月", "文月", "葉月", "長月", "神無月", "霜月", "師走"},
      {"壱月", "弐月", "参月", "肆月", "伍月", "陸月", "漆月", "捌月", "玖月", "壱拾月", "壱拾壱月", "壱拾弐月"},
      {"1月", "2月", "3月", "4月", "5月", "6月", "7月", "8月", "9月", "10月", "11月", "12月"},
  }};
  return table;
}

const WeekdayTable& WeekdayTableData() {
  static const WeekdayTable table = {{
      {},
      {"S", "M", "T", "W", "T", "F", "S"},
      {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"},
      {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
      {"日", "月", "火", "水", "木", "金", "土"},
  }};
  return table;
}

}  // namespace

bool IsLeapYear(int32_t year) { return year % 4 == 0 && !(year % 100 == 0 && year % 400 != 0); }

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr std::array<int32_t, 12> kLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (!ValidMonth(month)) return 0;
  return kLengths[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

int32_t WeekdayOf(int32_t year, int32_t month, int32_t day) {
  if (!ValidMonth(month)) return 0;
  // Days since 1 March of year 0 on the proleptic calendar, counted in 400-year eras so
  // that years before the common era divide correctly.
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra;  // day 0 is a Wednesday
  return static_cast<int32_t>(((days + 3) % 7 + 7) % 7);
}

int32_t WeeksInMonth(int32_t year, int32_t month) {
  if (!ValidMonth(month)) return 0;
  const int32_t systemWeekday = WeekdayOf(year, month, 1) + 1;
  return (systemWeekday + DaysInMonth(year, month) - 2) / 7 + 1;
}

bool IsHoliday(int32_t year, int32_t month, int32_t day) {
  if (!ValidMonth(month) || day < 1) return false;
  for (int32_t fixed : kFixedHolidays[month - 1]) {
    if (fixed == day) return true;
  }
  if (month == 3) return day == VernalEquinoxDay(year);
  if (month == 9) return day == AutumnalEquinoxDay(year);
  return false;
}

ColourRole DayColourRole(int32_t year, int32_t month, int32_t day, int32_t weekday, bool isToday,
                         bool todayIsColourChange) {
  if (isToday && todayIsColourChange) return ColourRole::kToday;
  if (IsHoliday(year, month, day)) return ColourRole::kHoliday;
  // The Monday after a Sunday holiday looks back only within its own month.
  if (weekday == 0 || (weekday == 1 && IsHoliday(year, month, day - 1))) return ColourRole::kSunday;
  return weekday == 6 ? ColourRole::kSaturday : ColourRole::kNormal;
}

std::string FormatYear(int32_t format, int32_t year) {
  if (format < 0 || format >= kYearFormatCount) return {};
  const std::string y4 = std::to_string(year);
  const std::string padded = "00" + y4;
  const std::string y2 = padded.substr(padded.size() - 2);
  // Heisei counts from 1988 for every year, so earlier years get zero or a negative number.
  const std::string h = std::to_string(static_cast<int64_t>(year) - 1988);

  std::string text;
  for (const char* p = kYearFormats[format]; *p != '\0'; ++p) {
    const std::string_view rest(p);
    if (rest.starts_with("{y4}")) {
      text += y4;
      p += 3;
    } else if (rest.starts_with("{y2}")) {
      text += y2;
      p += 3;
    } else if (rest.starts_with("{h}")) {
      text += h;
      p += 2;
    } else {
      text += *p;
    }
  }
  return text;
}

std::string MonthHeader(int32_t yearFormat, int32_t monthStyle, int32_t year, int32_t month) {
  std::string text = FormatYear(yearFormat, year);
  const std::string& name = MonthNames(monthStyle, month);
  if (!text.empty() && !name.empty()) text += " / ";
  return text + name;
}

// A style outside the lists can only come from a hand-edited store; it names nothing
// rather than guessing at a neighbouring style.
const std::string& MonthNames(int32_t style, int32_t month) {
  if (style < 0 || style >= kMonthStyleCount || !ValidMonth(month)) return Empty();
  return MonthTableData()[style][month - 1];
}

const std::string& WeekdayNames(int32_t style, int32_t weekday) {
  if (style < 0 || style >= kWeekdayStyleCount || weekday < 0 || weekday > 6) return Empty();
  return WeekdayTableData()[style][weekday];
}

Date Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace vorel
