// The wallpaper calendar: its two option records, the entry DrawCalendar, the box form
// (one to three month grids) and the bar form (a run of day numbers along an edge).
// The records' distances are the stored 96-DPI values; the drawers scale them by the screen's
// DPI ÷ 96, the factor by which the fonts' point sizes grow in pixels, so that the calendar
// keeps its proportions at every display scale. The screen's size stays in its own pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calendar/calendar_dates.h"
#include "calendar/canvas.h"
#include "calendar/day_marks.h"
#include "calendar/own_days.h"
#include "engine/settings.h"

namespace vorel {

struct CalendarStyle {
  int32_t YearStart = 16;
  int32_t YW = 2;
  int32_t WD = 2;
  int32_t DayWidth = 48;
  int32_t DayHeight = 20;
  int32_t ShadowOffset = 2;
  int32_t RingWidth = 2;  // the pen of the ring around today (mark 4)
  int32_t YearFormat = 1;
  int32_t MonthFormat = 2;
  int32_t WeekFormat = 3;
  int32_t TodayMark = 3;
  bool ShadowOn = true;
  bool CurrentLaw = false;  // today's holiday law and eras rather than the one fixed table
  uint32_t ColorYear = 0xFFFFFF;
  uint32_t ColorToday = 0x00FF00;
  uint32_t ColorSun = 0x0000FF;
  uint32_t ColorFest = 0x0000FF;
  uint32_t ColorSat = 0xFF0000;
  uint32_t ColorNormal = 0xFFFFFF;
  uint32_t ColorShadow = 0x000000;
  uint32_t ColorMyDay = 0x0080FF;  // the user's anniversaries
  CalendarFont FontYear;
  CalendarFont FontWeek;
  CalendarFont FontDay;
};

struct CalendarLayout {
  bool Stuff = true;
  int32_t Length = 1;
  int32_t Place = 3;
  int32_t Arrangement = 1;
  int32_t Space = 16;
  int32_t DistX = 37;
  int32_t DistY = 16;
  int32_t ScreenWidth = 0;
  int32_t ScreenHeight = 0;
  int32_t Dpi = 96;  // the screen's, for which the distances above and in Style are scaled
  CalendarStyle Style;

  // The user's own calendar: their days, and the calendar file whose days the composition
  // reads afresh for each drawing (FileDays) and marks as FileKind.
  std::vector<OwnDay> OwnDays;
  std::string File;
  DayMarkKind FileKind = DayMarkKind::kAnniversary;
  std::vector<Date> FileDays;
  bool Plate = false;  // the picture under the calendar made to set off the normal days' colour
};

// The layout's distances, offsets and the ring's pen in pixels of a screen of layout.Dpi; at
// 96 DPI the layout itself.
CalendarLayout InScreenPixels(const CalendarLayout& layout);

// The records as the loaded settings describe them (screen size included).
CalendarLayout CalendarLayoutFromSettings(const Settings& settings);

// The days the calendar of that form shows today, from the first day of its first month to the
// last day of its last one; nullopt when the layout draws nothing.
std::optional<DateSpan> ShownSpan(const CalendarLayout& layout, int32_t form, const Date& today);
// The own days and the file's days within the span, each as its kind.
DayMarks MarksOf(const CalendarLayout& layout, const DateSpan& span);

// form 0 draws the box form, any other value the bar form.
void DrawCalendar(Canvas& canvas, const CalendarLayout& layout, int32_t form, const Clock& clock = Today);
void DrawBoxCalendar(Canvas& canvas, const CalendarLayout& layout, const Clock& clock = Today);
// One month grid and one bar run with a style in pixels of the canvas (InScreenPixels).
void DrawBoxMonth(Canvas& canvas, int32_t year, int32_t month, const CalendarStyle& style, int32_t top, int32_t left,
                  int32_t todayDay, const DayMarks& marks = {});
void DrawBarCalendar(Canvas& canvas, const CalendarLayout& layout, const Clock& clock = Today);
void DrawBarRun(Canvas& canvas, int32_t place, const CalendarStyle& style, int32_t originY, int32_t originX, Date start,
                int32_t segments, int32_t space, int32_t arrangement, Date today, const DayMarks& marks = {});

}  // namespace vorel
