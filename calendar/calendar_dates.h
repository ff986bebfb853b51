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
bool IsHoliday(int32_t year, int32_t month, int32_t day);

enum class ColourRole { kNormal, kSaturday, kSunday, kHoliday, kToday };
ColourRole DayColourRole(int32_t year, int32_t month, int32_t day, int32_t weekday, bool isToday,
                         bool todayIsColourChange);

inline constexpr int32_t kYearFormatCount = 25;
inline constexpr int32_t kMonthStyleCount = 7;
inline constexpr int32_t kWeekdayStyleCount = 5;

// Texts are UTF-8. Out-of-table formats and styles give the empty text.
std::string FormatYear(int32_t format, int32_t year);
std::string MonthHeader(int32_t yearFormat, int32_t monthStyle, int32_t year, int32_t month);
const std::string& MonthNames(int32_t style, int32_t month);
const std::string& WeekdayNames(int32_t style, int32_t weekday);

// "Today" as the drawers read it; tests hand in a clock of their own.
using Clock = std::function<Date()>;
Date Today();  // the local date of the system clock

}  // namespace vorel
