// Both calendar forms share the shadowed text, the day colours and today's mark; the box
// form lays out month grids around a corner, the bar form runs day numbers along an edge.
#include "calendar/calendar_draw.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "engine/display_scale.h"

namespace vorel {
namespace {

// Hand-edited offsets and sizes may lie anywhere in the 32-bit range: positions are summed
// in 64 bits and saturated where they reach the canvas, so no sum can overflow.
using Px = int64_t;

int32_t ToCanvas(Px v) {
  return static_cast<int32_t>(
      std::clamp<Px>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

constexpr int32_t kNoDay = 32;  // a day that never occurs: the month holds no today

enum TodayMarkKind {
  kMarkNone = 0,
  kMarkColour = 1,
  kMarkRectangle = 2,
  kMarkDisc = 3,
  kMarkRing = 4,
  kMarkRounded = 5
};

// Text in the canvas's current font, shadow first so the text lies on top.
void PutShadowed(Canvas& canvas, const CalendarStyle& style, Px x, Px y, const std::string& text, uint32_t colour) {
  if (style.ShadowOn) {
    canvas.PutText(ToCanvas(x + style.ShadowOffset), ToCanvas(y + style.ShadowOffset), text, style.ColorShadow);
  }
  canvas.PutText(ToCanvas(x), ToCanvas(y), text, colour);
}

uint32_t RoleColour(const CalendarStyle& style, ColourRole role) {
  switch (role) {
    case ColourRole::kSaturday:
      return style.ColorSat;
    case ColourRole::kSunday:
      return style.ColorSun;
    case ColourRole::kHoliday:
      return style.ColorFest;
    case ColourRole::kToday:
      return style.ColorToday;
    case ColourRole::kAnniversary:
      return style.ColorMyDay;
    case ColourRole::kNormal:
      break;
  }
  return style.ColorNormal;
}

// A cellWidth by DayHeight shape centred on the number, pushed right by a sixth of the text
// height for an italic font, whose glyphs lean into the space after the text.
void DrawTodayMark(Canvas& canvas, const CalendarStyle& style, Px x, Px y, TextSize size, Px cellWidth) {
  const int32_t mark = style.TodayMark;
  // Marks 0 and 1 have no shape; a hand-edited value beyond the list marks nothing.
  if (mark < kMarkRectangle || mark > kMarkRounded) return;
  const Px cellHeight = style.DayHeight;
  const Px italicShift = style.FontDay.italic ? size.height / 3 : 0;
  const int32_t left = ToCanvas(x + (italicShift + size.width - cellWidth) / 2);
  const int32_t right = ToCanvas(x + (italicShift + size.width + cellWidth) / 2);
  const int32_t top = ToCanvas(y + (size.height - cellHeight) / 2);
  const int32_t bottom = ToCanvas(y + (size.height + cellHeight) / 2);

  if (mark == kMarkRing) {
    canvas.SetBrush(BrushStyle::kClear, style.ColorToday);
    canvas.SetPen(PenStyle::kSolid, style.ColorToday, style.RingWidth);
  } else {
    canvas.SetPen(PenStyle::kSolid, style.ColorToday, 1);
    canvas.SetBrush(BrushStyle::kSolid, style.ColorToday);
  }
  if (mark == kMarkRectangle) {
    canvas.DrawRectangle(left, top, right, bottom);
  } else if (mark == kMarkRounded) {
    canvas.DrawRoundRect(left, top, right, bottom, ToCanvas(cellWidth / 2), ToCanvas(cellHeight / 2));
  } else {
    canvas.DrawEllipse(left, top, right, bottom);
  }
  canvas.SetPen(PenStyle::kClear, style.ColorToday, 1);
  canvas.SetBrush(BrushStyle::kClear, style.ColorToday);
}

// One day number at (x, y), measured `size` in the day font, which the canvas holds.
void DrawDayNumber(Canvas& canvas, const CalendarStyle& style, const DayMarks& marks, Px x, Px y,
                   const std::string& text, TextSize size, Px cellWidth, Date date, int32_t weekday, bool isToday) {
  if (isToday) DrawTodayMark(canvas, style, x, y, size, cellWidth);
  const ColourRole role = WithMark(DayColourRole(date.year, date.month, date.day, weekday, isToday,
                                                 style.TodayMark == kMarkColour, style.CurrentLaw),
                                   marks.At(date));
  PutShadowed(canvas, style, x, y, text, RoleColour(style, role));
}

Date AddMonths(Date date, int32_t months) {
  int32_t index = date.month - 1 + months;
  while (index < 0) {
    index += 12;
    --date.year;
  }
  while (index >= 12) {
    index -= 12;
    ++date.year;
  }
  date.month = index + 1;
  return date;
}

Date NextDay(Date date) {
  if (++date.day <= DaysInMonth(date.year, date.month)) return date;
  date = AddMonths(date, 1);
  date.day = 1;
  return date;
}

void DrawMonthGrid(Canvas& canvas, int32_t year, int32_t month, const CalendarStyle& style, Px top, Px left,
                   int32_t todayDay, const DayMarks& marks) {
  const Px dayWidth = style.DayWidth;
  const Px dayHeight = style.DayHeight;

  canvas.SetFont(style.FontYear);
  PutShadowed(canvas, style, left + style.YearStart, top,
              MonthHeader(style.YearFormat, style.MonthFormat, year, month, style.CurrentLaw), style.ColorYear);

  const Px weekTop = top + canvas.CharHeight(style.FontYear) + style.YW;
  canvas.SetFont(style.FontWeek);
  for (int32_t i = 0; i < 7; ++i) {
    const std::string& text = WeekdayNames(style.WeekFormat, i);
    const TextSize size = canvas.MeasureText(style.FontWeek, text);
    const uint32_t colour = i == 0 ? style.ColorSun : i == 6 ? style.ColorSat : style.ColorNormal;
    PutShadowed(canvas, style, left + (i + 1) * dayWidth - size.width, weekTop, text, colour);
  }

  const Px daysTop = weekTop + canvas.CharHeight(style.FontWeek) + style.WD;
  canvas.SetFont(style.FontDay);
  int32_t column = WeekdayOf(year, month, 1);
  int32_t row = 0;
  for (int32_t day = 1; day <= DaysInMonth(year, month); ++day) {
    const std::string text = std::to_string(day);
    const TextSize size = canvas.MeasureText(style.FontDay, text);
    const Px x = left + (column + 1) * dayWidth - size.width;
    const Px y = daysTop + row * dayHeight + (size.height - dayHeight) / 2;
    DrawDayNumber(canvas, style, marks, x, y, text, size, dayWidth, {year, month, day}, column, day == todayDay);
    if (++column == 7) {
      column = 0;
      ++row;
    }
  }
}

void DrawRun(Canvas& canvas, int32_t place, const CalendarStyle& style, Px y0, Px x0, Date start, int32_t segments,
             Px space, int32_t arrangement, Date today, const DayMarks& marks) {
  const bool vertical = place == 1 || place == 2;
  const Px yearStart = style.YearStart;
  const Px dayWidth = style.DayWidth;
  const Px dayHeight = style.DayHeight;
  Px x = x0;
  Px y = y0;
  Px& along = vertical ? y : x;

  // Vertical bars turn their headers to read downwards, in the strip the text's height wide
  // to the right of the pen.
  auto header = [&](const std::string& text) {
    const TextSize size = canvas.MeasureText(style.FontYear, text);
    if (vertical) {
      canvas.SetRotatedFont(style.FontYear, size.height);
      PutShadowed(canvas, style, x + size.height, y, text, style.ColorYear);
    } else {
      canvas.SetFont(style.FontYear);
      PutShadowed(canvas, style, x, y, text, style.ColorYear);
    }
    along += size.width + static_cast<Px>(style.YW);
    canvas.SetFont(style.FontDay);
    return size;
  };

  along += yearStart;
  // Every number's foot is set level with the foot of this first header on a horizontal bar.
  const Px headerHeight =
      header(MonthHeader(style.YearFormat, style.MonthFormat, start.year, start.month, style.CurrentLaw)).height;
  const Px width30 = vertical ? canvas.MeasureText(style.FontDay, "30").width : 0;

  Date date = start;
  int32_t weekday = WeekdayOf(start.year, start.month, start.day);
  for (int32_t segment = 0; segment < segments; ++segment) {
    const int32_t length = DaysInMonth(date.year, date.month);
    for (int32_t k = 1; k <= length; ++k) {
      if (date.day == 1 && (k > 1 || segment > 0)) {
        along += yearStart;
        header(date.month == 1
                   ? MonthHeader(style.YearFormat, style.MonthFormat, date.year, date.month, style.CurrentLaw)
                   : MonthNames(style.MonthFormat, date.month));
      }
      const std::string text = std::to_string(date.day);
      const TextSize size = canvas.MeasureText(style.FontDay, text);
      // Vertical: right-aligned to the width of "30", foot DayHeight lower. Horizontal: foot
      // on the header line, and DayWidth is the gap after each number.
      const Px dx = vertical ? width30 - size.width : 0;
      const Px dy = vertical ? dayHeight - size.height : headerHeight - size.height;
      const bool isToday = date.day == today.day && date.month == today.month;
      DrawDayNumber(canvas, style, marks, x + dx, y + dy, text, size, vertical ? dayWidth : size.width, date,
                    weekday, isToday);
      along += vertical ? dayHeight : size.width + dayWidth;
      date = NextDay(date);
      weekday = (weekday + 1) % 7;
    }
    if (!vertical && arrangement == 0) {
      x = x0;
      y += dayHeight + space;
    } else if (vertical && arrangement == 1) {
      x += dayWidth + space;
      y = y0;
    }
  }
}

// The months of the box form in order, and which of them holds today.
struct BoxMonths {
  std::array<Date, 3> months{};
  int32_t count = 0;
  int32_t todayIndex = 0;
};
BoxMonths MonthsOfBox(int32_t length, const Date& today) {
  BoxMonths box;
  // Length 3 begins with last month; today's month is then the second one.
  box.todayIndex = length == 3 ? 1 : 0;
  box.count = length == 3 ? 3 : length + 1;
  for (int32_t i = 0; i < box.count; ++i) box.months[i] = AddMonths(today, i - box.todayIndex);
  return box;
}

struct BarRun {
  Date start;
  int32_t segments = 0;
};
BarRun RunOfBar(int32_t length, const Date& today) {
  Date start{today.year, today.month, 1};
  const int32_t segments = length <= 2 ? length + 1 : length == 3 ? 3 : (length - 4) % 3 + 1;
  if (length == 3) {
    start = AddMonths(start, -1);
  } else if (length >= 4 && length <= 6) {
    start = today;
  } else if (length >= 7 && length <= 15) {
    const int32_t weeksBack = (length - 7) / 3;
    start.day = today.day - WeekdayOf(today.year, today.month, today.day) - 7 * weeksBack;
    if (start.day < 1) {
      start = AddMonths(start, -1);
      start.day += DaysInMonth(start.year, start.month);
    }
  } else if (length >= 16) {
    start.day = today.day <= 15 ? 1 : 16;
  }
  return {start, segments};
}

// A segment is as long as the month in which it begins.
Date LastDayOfRun(const BarRun& run) {
  int64_t day = DayNumber(run.start);
  for (int32_t segment = 0; segment < run.segments; ++segment) {
    const Date begins = DateOfDayNumber(day);
    day += DaysInMonth(begins.year, begins.month);
  }
  return DateOfDayNumber(day - 1);
}

bool BoxDrawn(const CalendarLayout& layout) { return layout.Length >= 0 && layout.Length <= 3; }
bool BarDrawn(const CalendarLayout& layout) {
  return layout.Length >= 0 && layout.Length <= 18 && layout.Place >= 0 && layout.Place <= 3;
}

}  // namespace

std::optional<DateSpan> ShownSpan(const CalendarLayout& layout, int32_t form, const Date& today) {
  if (form == 0) {
    if (!BoxDrawn(layout)) return std::nullopt;
    const BoxMonths box = MonthsOfBox(layout.Length, today);
    const Date& last = box.months[static_cast<size_t>(box.count - 1)];
    return DateSpan{{box.months[0].year, box.months[0].month, 1},
                    {last.year, last.month, DaysInMonth(last.year, last.month)}};
  }
  if (!BarDrawn(layout)) return std::nullopt;
  const BarRun run = RunOfBar(layout.Length, today);
  return DateSpan{run.start, LastDayOfRun(run)};
}

DayMarks MarksOf(const CalendarLayout& layout, const DateSpan& span) {
  DayMarks marks;
  MarkOwnDays(marks, layout.OwnDays, span);
  for (const Date& day : layout.FileDays)
    if (span.Contains(day)) marks.Add(day, layout.FileKind);
  return marks;
}

CalendarLayout CalendarLayoutFromSettings(const Settings& settings) {
  CalendarLayout layout;
  layout.Stuff = settings.calenStuff;
  layout.Length = settings.calenLength;
  layout.Place = settings.calenPlace;
  layout.Arrangement = settings.calenTraOrLon;
  layout.Space = settings.calenSpace;
  layout.DistX = settings.calenDistX;
  layout.DistY = settings.calenDistY;
  layout.ScreenWidth = settings.screenWidth;
  layout.ScreenHeight = settings.screenHeight;
  layout.Dpi = settings.screenDpi;

  CalendarStyle& style = layout.Style;
  style.YearStart = settings.calenYearStart;
  style.YW = settings.calenYW;
  style.WD = settings.calenWD;
  style.DayWidth = settings.calenDayWidth;
  style.DayHeight = settings.calenDayHeight;
  style.ShadowOffset = settings.calenShadow;
  style.YearFormat = settings.calenYear;
  style.MonthFormat = settings.calenMonth;
  style.WeekFormat = settings.calenWeek;
  style.TodayMark = settings.calenDay;
  style.ShadowOn = settings.calenShadowOn;
  style.CurrentLaw = settings.calenCurrentLaw;
  style.ColorYear = settings.colorYear;
  style.ColorToday = settings.colorToday;
  style.ColorSun = settings.colorSun;
  style.ColorFest = settings.colorFest;
  style.ColorSat = settings.colorSat;
  style.ColorNormal = settings.colorNormal;
  style.ColorShadow = settings.colorShadow;
  style.FontYear = settings.fonts[kFontYear];
  style.FontWeek = settings.fonts[kFontWeek];
  style.FontDay = settings.fonts[kFontDay];

  const OwnCalendarSettings& own = settings.ownCalendar;
  style.ColorMyDay = own.colorMyDay;
  layout.OwnDays = ParseOwnDays(own.myDays);
  layout.File = own.icsFile;
  // Only "休日" draws the file's days as days off; an absent or unknown kind, as anniversaries.
  layout.FileKind = ParseDayMarkKind(own.icsKind).value_or(DayMarkKind::kAnniversary);
  layout.Plate = own.plate;
  return layout;
}

CalendarLayout InScreenPixels(const CalendarLayout& layout) {
  if (layout.Dpi == kDesignDpi) return layout;
  const auto px = [&layout](int32_t designValue) { return ScaleForDpi(designValue, layout.Dpi); };
  CalendarLayout scaled = layout;
  scaled.Space = px(layout.Space);
  scaled.DistX = px(layout.DistX);
  scaled.DistY = px(layout.DistY);
  CalendarStyle& style = scaled.Style;
  style.YearStart = px(layout.Style.YearStart);
  style.YW = px(layout.Style.YW);
  style.WD = px(layout.Style.WD);
  style.DayWidth = px(layout.Style.DayWidth);
  style.DayHeight = px(layout.Style.DayHeight);
  style.ShadowOffset = px(layout.Style.ShadowOffset);
  style.RingWidth = px(layout.Style.RingWidth);
  return scaled;
}

void DrawCalendar(Canvas& canvas, const CalendarLayout& layout, int32_t form, const Clock& clock) {
  if (form == 0) {
    DrawBoxCalendar(canvas, layout, clock);
  } else {
    DrawBarCalendar(canvas, layout, clock);
  }
}

void DrawBoxCalendar(Canvas& canvas, const CalendarLayout& stored, const Clock& clock) {
  // A hand-edited length names no months to show.
  if (!BoxDrawn(stored)) return;
  const CalendarLayout layout = InScreenPixels(stored);
  const CalendarStyle& style = layout.Style;
  canvas.SetBrush(BrushStyle::kClear, 0);
  const Date today = clock();

  const BoxMonths box = MonthsOfBox(layout.Length, today);
  const int32_t todayIndex = box.todayIndex;
  const int32_t count = box.count;
  const std::array<Date, 3>& months = box.months;
  const DayMarks marks = MarksOf(layout, *ShownSpan(layout, 0, today));
  std::array<Px, 3> rows{};
  Px rowSum = 0;
  Px rowMax = 0;
  for (int32_t i = 0; i < count; ++i) {
    const bool realRows = layout.Stuff || layout.Length == 0;
    rows[i] = realRows ? WeeksInMonth(months[i].year, months[i].month) : 6;
    rowSum += rows[i];
    rowMax = std::max(rowMax, rows[i]);
  }

  const Px dayWidth = style.DayWidth;
  const Px dayHeight = style.DayHeight;
  const Px space = layout.Space;
  const Px band = Px{canvas.CharHeight(style.FontYear)} + style.YW + canvas.CharHeight(style.FontWeek) + style.WD;
  // Only 0 stacks the months; every other value sets them side by side.
  const bool sideBySide = layout.Arrangement != 0;
  const Px areaWidth = sideBySide ? count * 7 * dayWidth + (count - 1) * space : 7 * dayWidth;
  const Px areaHeight =
      sideBySide ? band + dayHeight * rowMax : count * band + dayHeight * rowSum + (count - 1) * space;
  const bool right = layout.Place == 2 || layout.Place == 3;
  const bool bottom = layout.Place == 1 || layout.Place == 3;
  const Px left = right ? layout.ScreenWidth - areaWidth - layout.DistX : layout.DistX;
  const Px top = bottom ? layout.ScreenHeight - areaHeight - layout.DistY : layout.DistY;

  Px stacked = 0;
  for (int32_t i = 0; i < count; ++i) {
    const Px monthLeft = sideBySide ? left + i * (7 * dayWidth + space) : left;
    const Px monthTop = sideBySide ? top : top + stacked;
    DrawMonthGrid(canvas, months[i].year, months[i].month, style, monthTop, monthLeft,
                  i == todayIndex ? today.day : kNoDay, marks);
    stacked += band + dayHeight * rows[i] + space;
  }
}

void DrawBoxMonth(Canvas& canvas, int32_t year, int32_t month, const CalendarStyle& style, int32_t top, int32_t left,
                  int32_t todayDay, const DayMarks& marks) {
  DrawMonthGrid(canvas, year, month, style, top, left, todayDay, marks);
}

void DrawBarCalendar(Canvas& canvas, const CalendarLayout& stored, const Clock& clock) {
  // Lengths and places outside their lists can only come from a hand-edited store; they
  // define neither the run nor its origin, so nothing is drawn.
  if (!BarDrawn(stored)) return;
  const CalendarLayout layout = InScreenPixels(stored);
  const CalendarStyle& style = layout.Style;
  canvas.SetBrush(BrushStyle::kClear, 0);
  const Date today = clock();
  const BarRun run = RunOfBar(layout.Length, today);
  const Date start = run.start;
  const int32_t segments = run.segments;
  const DayMarks marks = MarksOf(layout, {start, LastDayOfRun(run)});

  // Like the box form, every arrangement other than 0 counts as 1.
  const int32_t arrangement = layout.Arrangement == 0 ? 0 : 1;
  const Px n = segments;
  const Px space = layout.Space;
  const Px dayWidth = style.DayWidth;
  const Px dayHeight = style.DayHeight;
  Px x0 = layout.DistX;
  Px y0 = layout.DistY;
  if (layout.Place == 2) {
    x0 = layout.ScreenWidth - x0 - (arrangement == 1 ? n * dayWidth + (n - 1) * space : dayWidth);
  } else if (layout.Place == 3) {
    y0 = layout.ScreenHeight - y0 - (arrangement == 1 ? dayHeight : n * dayHeight + (n - 1) * space);
  }
  DrawRun(canvas, layout.Place, style, y0, x0, start, segments, space, arrangement, today, marks);
}

void DrawBarRun(Canvas& canvas, int32_t place, const CalendarStyle& style, int32_t originY, int32_t originX, Date start,
                int32_t segments, int32_t space, int32_t arrangement, Date today, const DayMarks& marks) {
  DrawRun(canvas, place, style, originY, originX, start, segments, space, arrangement, today, marks);
}

}  // namespace vorel
