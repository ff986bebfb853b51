// Date arithmetic, the Japanese public holidays, the day colour rule, the year texts and
// the month and weekday name tables that the wallpaper calendar draws from. No state.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vorel {

struct Date {
  int32_t year = 0;
  int32_t month = 0;  // 1..12
  int32_t day = 0;    // 1..31
  bool operator==(const Date&) const = default;
};

bool IsLeapYear(int32_t year);
int32_t DaysInMonth(int32_t year, int32_t month);
// 0 = Sunday ... 6 = Saturday.
int32_t WeekdayOf(int32_t year, int32_t month, int32_t day);
// Week rows (4, 5 or 6) the month fills in a grid whose rows run Sunday to Saturday.
int32_t WeeksInMonth(int32_t year, int32_t month);
// Without currentLaw: the calendar's one fixed table with its two equinox formulas, the
// same for every year. With it: the holidays and substitute and citizens' holidays of the
// Act on National Holidays as amended, year by year from its start in July 1948.
bool IsHoliday(int32_t year, int32_t month, int32_t day, bool currentLaw = false);

// kAnniversary is never given by DayColourRole: it comes from the user's own marks (WithMark).
enum class ColourRole { kNormal, kSaturday, kSunday, kHoliday, kToday, kAnniversary };
ColourRole DayColourRole(int32_t year, int32_t month, int32_t day, int32_t weekday, bool isToday,
                         bool todayIsColourChange, bool currentLaw = false);

inline constexpr int32_t kYearFormatCount = 25;
inline constexpr int32_t kMonthStyleCount = 7;
inline constexpr int32_t kWeekdayStyleCount = 5;

// Texts are UTF-8. Out-of-table formats and styles give the empty text.
// With currentLaw the era is the one in force on the first day of `month`, and year 1 of
// an era is written "元" after the era's name.
std::string FormatYear(int32_t format, int32_t year, int32_t month = 1, bool currentLaw = false);
std::string MonthHeader(int32_t yearFormat, int32_t monthStyle, int32_t year, int32_t month, bool currentLaw = false);
const std::string& MonthNames(int32_t style, int32_t month);
const std::string& WeekdayNames(int32_t style, int32_t weekday);

// "Today" as the drawers read it; tests hand in a clock of their own.
using Clock = std::function<Date()>;
Date Today();  // the local date of the system clock

}  // namespace vorel
