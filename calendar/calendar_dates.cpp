// Gregorian arithmetic, the holiday table with its two equinox formulas, the day colour rule
// and the texts of years, months and weekdays.
#include "calendar/calendar_dates.h"

#include <array>
#include <cmath>
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

// ---- The Act on National Holidays as amended ----
// Dates here carry 64-bit years so that the day before 1 January or after 31 December of
// any 32-bit year can be formed.
struct LawDate {
  int64_t year;
  int32_t month;
  int32_t day;
  bool operator==(const LawDate&) const = default;
  auto operator<=>(const LawDate&) const = default;
};

int32_t LawWeekday(const LawDate& d) {
  // The holiday rules only ever look at years inside the 32-bit range or one beyond it, and
  // the weekday repeats every 400 years.
  const int64_t wrapped = ((d.year % 400) + 400) % 400 + 2000;
  return WeekdayOf(static_cast<int32_t>(wrapped), d.month, d.day);
}

LawDate PreviousDay(LawDate d) {
  if (--d.day >= 1) return d;
  if (--d.month < 1) {
    d.month = 12;
    --d.year;
  }
  d.day = DaysInMonth(static_cast<int32_t>(((d.year % 400) + 400) % 400 + 2000), d.month);
  return d;
}

LawDate FollowingDay(LawDate d) {
  if (++d.day <= DaysInMonth(static_cast<int32_t>(((d.year % 400) + 400) % 400 + 2000), d.month)) return d;
  d.day = 1;
  if (++d.month > 12) {
    d.month = 1;
    ++d.year;
  }
  return d;
}

constexpr LawDate kActInForce{1948, 7, 20};
constexpr LawDate kSubstituteInForce{1973, 4, 12};
constexpr LawDate kCitizensHolidayInForce{1985, 12, 27};
// From here a Sunday holiday moves on past any holidays that follow it, and a day between
// two holidays is a holiday also on a Sunday.
constexpr LawDate kAmendment2007{2007, 1, 1};

// The day of the nth Monday of a month.
int32_t NthMonday(int64_t year, int32_t month, int32_t n) {
  const int32_t first = LawWeekday({year, month, 1});
  return 1 + (8 - first) % 7 + 7 * (n - 1);
}

// The equinox days as the observatory's formulas give them; beyond 2099 the last span's
// formula is kept, as no other is known there.
int64_t LawEquinoxDay(int64_t year, bool vernal) {
  const double k = static_cast<double>(year - 1980);
  if (year < 1980) {
    // The old span counts its leap days from 1983; truncation towards zero is part of it.
    const double base = vernal ? 20.8357 : 23.2588;
    return static_cast<int64_t>(std::trunc(base + 0.242194 * k - static_cast<double>((year - 1983) / 4)));
  }
  const double base = year < 2100 ? (vernal ? 20.8431 : 23.2488) : (vernal ? 21.8510 : 24.2488);
  return static_cast<int64_t>(std::floor(base + 0.242194 * k - std::floor(k / 4.0)));
}

// Days made holidays by their own laws: imperial events, and for 2019 the accession.
constexpr std::array<LawDate, 6> kOneOffHolidays = {{
    {1959, 4, 10},   // the Crown Prince's wedding
    {1989, 2, 24},   // the Showa Emperor's funeral
    {1990, 11, 12},  // the enthronement ceremony
    {1993, 6, 9},    // the Crown Prince's wedding
    {2019, 5, 1},    // the accession
    {2019, 10, 22},  // the enthronement ceremony
}};

// The Olympic years moved three holidays to other days of their own.
struct MovedHolidays {
  int64_t year;
  LawDate marine;
  LawDate sports;
  LawDate mountain;
};
constexpr std::array<MovedHolidays, 2> kMovedHolidays = {{
    {2020, {2020, 7, 23}, {2020, 7, 24}, {2020, 8, 10}},
    {2021, {2021, 7, 22}, {2021, 7, 23}, {2021, 8, 8}},
}};

const MovedHolidays* MovedIn(int64_t year) {
  for (const MovedHolidays& m : kMovedHolidays) {
    if (m.year == year) return &m;
  }
  return nullptr;
}

// A named holiday ("国民の祝日"), or a one-off day counted as one.
bool IsNamedHoliday(const LawDate& date) {
  if (date < kActInForce) return false;
  for (const LawDate& d : kOneOffHolidays) {
    if (d == date) return true;
  }
  const int64_t y = date.year;
  const int32_t m = date.month;
  const int32_t d = date.day;
  const MovedHolidays* moved = MovedIn(y);
  if (moved != nullptr && (date == moved->marine || date == moved->sports || date == moved->mountain)) return true;

  switch (m) {
    case 1:
      if (d == 1) return true;
      return y >= 2000 ? d == NthMonday(y, 1, 2) : d == 15;  // Coming of Age Day
    case 2:
      return (d == 11 && y >= 1967) || (d == 23 && y >= 2020);
    case 3:
      return d == LawEquinoxDay(y, true);
    case 4:
      return d == 29;  // the emperor's birthday, then Greenery Day, then Showa Day
    case 5:
      return d == 3 || d == 5 || (d == 4 && y >= 2007);
    case 7:  // Marine Day
      if (moved != nullptr || y < 1996) return false;
      return y >= 2003 ? d == NthMonday(y, 7, 3) : d == 20;
    case 8:  // Mountain Day
      return moved == nullptr && y >= 2016 && d == 11;
    case 9:
      if (d == LawEquinoxDay(y, false)) return true;
      if (y < 1966) return false;  // Respect for the Aged Day
      return y >= 2003 ? d == NthMonday(y, 9, 3) : d == 15;
    case 10:  // Health and Sports Day, then Sports Day
      if (moved != nullptr || y < 1966) return false;
      return y >= 2000 ? d == NthMonday(y, 10, 2) : d == 10;
    case 11:
      return d == 3 || d == 23;
    case 12:
      return d == 23 && y >= 1989 && y <= 2018;
    default:
      return false;
  }
}

bool IsSubstituteHoliday(const LawDate& date) {
  if (IsNamedHoliday(date)) return false;
  LawDate before = PreviousDay(date);
  if (date < kAmendment2007) {
    return !(before < kSubstituteInForce) && LawWeekday(before) == 0 && IsNamedHoliday(before);
  }
  // The first day after a Sunday holiday that is not itself a named holiday; a run of
  // holidays is never longer than a week.
  for (int32_t i = 0; i < 7 && IsNamedHoliday(before); ++i) {
    if (LawWeekday(before) == 0) return true;
    before = PreviousDay(before);
  }
  return false;
}

bool IsCitizensHoliday(const LawDate& date) {
  if (date < kCitizensHolidayInForce || IsNamedHoliday(date)) return false;
  if (!IsNamedHoliday(PreviousDay(date)) || !IsNamedHoliday(FollowingDay(date))) return false;
  // Before 2007 a Sunday or a substitute day between two holidays stayed what it was.
  if (date < kAmendment2007) return LawWeekday(date) != 0 && !IsSubstituteHoliday(date);
  return true;
}

bool IsLawHoliday(int32_t year, int32_t month, int32_t day) {
  if (!ValidMonth(month) || day < 1 || day > DaysInMonth(year, month)) return false;
  const LawDate date{year, month, day};
  return IsNamedHoliday(date) || IsSubstituteHoliday(date) || IsCitizensHoliday(date);
}

struct Era {
  LawDate start;  // the first month whose first day lies in the era
  const char* name;
  const char* letter;
  int32_t offset;  // Gregorian year minus era year
};
// Newest first. Showa is the earliest era the formats know: it also numbers the years
// before its start, as zero or less.
constexpr std::array<Era, 3> kEras = {{
    {{2019, 5, 1}, "令和", "R", 2018},
    {{1989, 2, 1}, "平成", "H", 1988},
    {{0, 1, 1}, "昭和", "S", 1925},
}};

const Era& EraOfMonth(int32_t year, int32_t month) {
  const LawDate first{year, month, 1};
  for (const Era& era : kEras) {
    if (!(first < era.start)) return era;
  }
  return kEras.back();
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

bool IsHoliday(int32_t year, int32_t month, int32_t day, bool currentLaw) {
  if (currentLaw) return IsLawHoliday(year, month, day);
  if (!ValidMonth(month) || day < 1) return false;
  for (int32_t fixed : kFixedHolidays[month - 1]) {
    if (fixed == day) return true;
  }
  if (month == 3) return day == VernalEquinoxDay(year);
  if (month == 9) return day == AutumnalEquinoxDay(year);
  return false;
}

ColourRole DayColourRole(int32_t year, int32_t month, int32_t day, int32_t weekday, bool isToday,
                         bool todayIsColourChange, bool currentLaw) {
  if (isToday && todayIsColourChange) return ColourRole::kToday;
  // A substitute holiday is a holiday of its own under the law, not a Sunday-coloured day.
  if (currentLaw) {
    if (IsLawHoliday(year, month, day)) return ColourRole::kHoliday;
    return weekday == 0 ? ColourRole::kSunday : weekday == 6 ? ColourRole::kSaturday : ColourRole::kNormal;
  }
  if (IsHoliday(year, month, day)) return ColourRole::kHoliday;
  // The Monday after a Sunday holiday looks back only within its own month.
  if (weekday == 0 || (weekday == 1 && IsHoliday(year, month, day - 1))) return ColourRole::kSunday;
  return weekday == 6 ? ColourRole::kSaturday : ColourRole::kNormal;
}

std::string FormatYear(int32_t format, int32_t year, int32_t month, bool currentLaw) {
  if (format < 0 || format >= kYearFormatCount) return {};
  const std::string y4 = std::to_string(year);
  const std::string padded = "00" + y4;
  const std::string y2 = padded.substr(padded.size() - 2);
  // Heisei counts from 1988 for every year, so earlier years get zero or a negative number.
  std::string h = std::to_string(static_cast<int64_t>(year) - 1988);
  std::string_view eraName = "平成";
  std::string_view eraLetter = "H";
  if (currentLaw) {
    const Era& era = EraOfMonth(year, month);
    eraName = era.name;
    eraLetter = era.letter;
    h = std::to_string(static_cast<int64_t>(year) - era.offset);
  }
  // "元" only follows the era's name; after its letter the digit stays, as in "R1".
  const std::string hAfterName = currentLaw && h == "1" ? "元" : h;

  std::string text;
  for (const char* p = kYearFormats[format]; *p != '\0'; ++p) {
    const std::string_view rest(p);
    if (rest.starts_with("平成{h}")) {
      text += eraName;
      text += hAfterName;
      p += std::string_view("平成{h}").size() - 1;
      continue;
    }
    if (rest.starts_with("H{h}")) {
      text += eraLetter;
      text += h;
      p += 3;
      continue;
    }
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

std::string MonthHeader(int32_t yearFormat, int32_t monthStyle, int32_t year, int32_t month, bool currentLaw) {
  std::string text = FormatYear(yearFormat, year, month, currentLaw);
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
