// Layout of both calendar forms on a recording canvas: corners, month order, rows, the
// bar's start date and pen moves, shadows, colours and today's mark.
#include "calendar/calendar_draw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>

#include "engine/display_scale.h"
#include "tests/calendar/recording_canvas.h"

namespace vorel {
namespace {

using testing::Call;
using testing::CallKind;
using testing::RecordingCanvas;

constexpr uint32_t kYear = 0x11, kNormal = 0x22, kSat = 0x33, kSun = 0x44, kFest = 0x55, kToday = 0x66, kShadow = 0x77;

CalendarFont Font(int32_t size) {
  CalendarFont f;
  f.name = "Test";
  f.size = size;
  f.bold = false;
  f.italic = false;
  return f;
}

// Header font 24 (line 25), weekday font 16 (line 17, "Sun" 24 wide), day font 20 (two digits 20 by 21).
CalendarLayout TestLayout() {
  CalendarLayout l;
  l.ScreenWidth = 1024;
  l.ScreenHeight = 768;
  l.Length = 0;
  l.Place = 0;
  l.Arrangement = 1;
  l.Space = 16;
  l.DistX = 37;
  l.DistY = 16;
  CalendarStyle& s = l.Style;
  s.YearFormat = 1;
  s.MonthFormat = 2;
  s.WeekFormat = 3;
  s.TodayMark = 2;
  s.ColorYear = kYear;
  s.ColorNormal = kNormal;
  s.ColorSat = kSat;
  s.ColorSun = kSun;
  s.ColorFest = kFest;
  s.ColorToday = kToday;
  s.ColorShadow = kShadow;
  s.FontYear = Font(24);
  s.FontWeek = Font(16);
  s.FontDay = Font(20);
  return l;
}

Clock At(int32_t year, int32_t month, int32_t day) {
  return [=] { return Date{year, month, day}; };
}

std::vector<Call> WithColour(const RecordingCanvas& canvas, uint32_t colour) {
  std::vector<Call> out;
  for (const Call& c : canvas.calls) {
    if (c.kind == CallKind::kText && c.colour == colour) out.push_back(c);
  }
  return out;
}

std::vector<std::string> TextsOf(const std::vector<Call>& calls) {
  std::vector<std::string> out;
  for (const Call& c : calls) out.push_back(c.text);
  return out;
}

// Day numbers in drawing order (every text that is neither header nor shadow nor weekday).
std::vector<Call> Numbers(const RecordingCanvas& canvas, const CalendarLayout& layout) {
  std::vector<Call> out;
  for (const Call& c : canvas.Texts(kShadow)) {
    if (c.colour != kYear && c.font == layout.Style.FontDay) out.push_back(c);
  }
  return out;
}

std::optional<Call> FindNumber(const RecordingCanvas& canvas, const CalendarLayout& layout, const std::string& text) {
  for (const Call& c : Numbers(canvas, layout)) {
    if (c.text == text) return c;
  }
  return std::nullopt;
}

TEST(BoxCalendar, BlockCornerOfTheWorkedExample) {
  CalendarLayout layout = TestLayout();
  layout.Place = 3;
  RecordingCanvas canvas;
  DrawBoxCalendar(canvas, layout, At(1998, 9, 2));  // September 1998 fills 5 rows

  const std::vector<Call> headers = WithColour(canvas, kYear);
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_EQ(headers[0].text, "1998 / September");
  EXPECT_EQ(headers[0].x, 651 + 16);
  EXPECT_EQ(headers[0].y, 608);

  // "Sun" right-aligned in the first column below the header line and YW.
  const std::vector<Call> sundays = WithColour(canvas, kSun);
  ASSERT_FALSE(sundays.empty());
  EXPECT_EQ(sundays[0].text, "Sun");
  EXPECT_EQ(sundays[0].x, 651 + 48 - 24);
  EXPECT_EQ(sundays[0].y, 608 + 24 + 2);

  // The 1st is a Tuesday; the 30th ends the fifth row, whose cell ends on the block's bottom.
  const std::optional<Call> first = FindNumber(canvas, layout, "1");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->x, 651 + 3 * 48 - 10);
  EXPECT_EQ(first->y, 608 + 44);
  const std::optional<Call> last = FindNumber(canvas, layout, "30");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->x, 651 + 4 * 48 - 20);
  EXPECT_EQ(last->y + 20, 768 - 16);
}

TEST(BoxCalendar, CharHeightsNotLineHeightsSetTheBand) {
  CalendarLayout layout = TestLayout();
  layout.Place = 3;
  RecordingCanvas canvas;
  canvas.charHeights = {{24, 30}, {16, 12}};
  DrawBoxCalendar(canvas, layout, At(1998, 9, 2));
  const int32_t top = 768 - 16 - (30 + 2 + 12 + 2 + 100);
  EXPECT_EQ(WithColour(canvas, kYear).at(0).y, top);
  EXPECT_EQ(WithColour(canvas, kSun).at(0).y, top + 32);
  EXPECT_EQ(FindNumber(canvas, layout, "1")->y, top + 46);
}

TEST(BoxCalendar, MonthsInOrderWithTodaysMarkInTodaysMonth) {
  struct Case {
    Date today;
    int32_t length;
    std::vector<std::string> headers;
    int32_t todayIndex;
  };
  const Case cases[] = {
      {{2006, 1, 15}, 0, {"2006 / January"}, 0},
      {{2006, 1, 15}, 1, {"2006 / January", "2006 / February"}, 0},
      {{2006, 1, 15}, 2, {"2006 / January", "2006 / February", "2006 / March"}, 0},
      {{2006, 1, 15}, 3, {"2005 / December", "2006 / January", "2006 / February"}, 1},
      {{2005, 12, 15}, 1, {"2005 / December", "2006 / January"}, 0},
      {{2005, 12, 15}, 3, {"2005 / November", "2005 / December", "2006 / January"}, 1},
  };
  for (const Case& c : cases) {
    CalendarLayout layout = TestLayout();
    layout.Length = c.length;
    RecordingCanvas canvas;
    DrawBoxCalendar(canvas, layout, At(c.today.year, c.today.month, c.today.day));
    EXPECT_EQ(TextsOf(WithColour(canvas, kYear)), c.headers) << c.length;
    // One mark only, and inside the columns of today's month.
    const std::vector<Call> shapes = canvas.Shapes();
    ASSERT_EQ(shapes.size(), 1u) << c.length;
    const int32_t monthLeft = 37 + c.todayIndex * (7 * 48 + 16);
    EXPECT_GE(shapes[0].x, monthLeft) << c.length;
    EXPECT_LT(shapes[0].right, monthLeft + 7 * 48 + 14) << c.length;
  }
}

TEST(BoxCalendar, SideBySideMonthsShareTheTopOfTheTallest) {
  CalendarLayout layout = TestLayout();
  layout.Length = 1;  // May 1998 has 6 rows, June 5
  for (int32_t place : {0, 1}) {
    layout.Place = place;
    RecordingCanvas canvas;
    DrawBoxCalendar(canvas, layout, At(1998, 5, 10));
    const std::vector<Call> headers = WithColour(canvas, kYear);
    ASSERT_EQ(headers.size(), 2u);
    const int32_t top = place == 0 ? 16 : 768 - 16 - (44 + 6 * 20);
    EXPECT_EQ(headers[0].y, top);
    EXPECT_EQ(headers[1].y, top);
    EXPECT_EQ(headers[0].x, 37 + 16);
    EXPECT_EQ(headers[1].x, 37 + 7 * 48 + 16 + 16);
  }
}

TEST(BoxCalendar, StuffDecidesTheRowsOfStackedMonths) {
  // January 2009: 5 rows, February 4, March 5.
  struct Case {
    bool stuff;
    int32_t length;
    int32_t place;
    std::vector<int32_t> tops;
  };
  const int32_t band = 44;
  const Case cases[] = {
      {true, 2, 0, {16, 16 + band + 100 + 16, 16 + 2 * band + 180 + 32}},
      {false, 2, 0, {16, 16 + band + 120 + 16, 16 + 2 * band + 240 + 32}},
      {false, 2, 1, {768 - 16 - (3 * band + 360 + 32), 768 - 16 - (2 * band + 240 + 16), 768 - 16 - (band + 120)}},
  };
  for (const Case& c : cases) {
    CalendarLayout layout = TestLayout();
    layout.Arrangement = 0;
    layout.Stuff = c.stuff;
    layout.Length = c.length;
    layout.Place = c.place;
    RecordingCanvas canvas;
    DrawBoxCalendar(canvas, layout, At(2009, 1, 5));
    std::vector<int32_t> tops;
    for (const Call& h : WithColour(canvas, kYear)) {
      tops.push_back(h.y);
      EXPECT_EQ(h.x, 37 + 16);
    }
    EXPECT_EQ(tops, c.tops) << c.stuff << " place " << c.place;
  }
  // A single month always takes its own rows.
  CalendarLayout single = TestLayout();
  single.Stuff = false;
  single.Place = 3;
  RecordingCanvas canvas;
  DrawBoxCalendar(canvas, single, At(2009, 2, 5));
  EXPECT_EQ(WithColour(canvas, kYear).at(0).y, 768 - 16 - (band + 80));
}

TEST(BoxCalendar, SaturdayStartedLongMonthEndsOnMondayOfRowSix) {
  CalendarLayout layout = TestLayout();
  RecordingCanvas canvas;
  DrawBoxMonth(canvas, 1998, 8, layout.Style, 100, 200, 32);  // 1 August 1998 is a Saturday
  const std::optional<Call> first = FindNumber(canvas, layout, "1");
  const std::optional<Call> last = FindNumber(canvas, layout, "31");
  ASSERT_TRUE(first && last);
  EXPECT_EQ(first->x, 200 + 7 * 48 - 10);
  EXPECT_EQ(first->colour, kSat);
  EXPECT_EQ(last->x, 200 + 2 * 48 - 20);
  EXPECT_EQ(last->y, first->y + 5 * 20);
  EXPECT_TRUE(canvas.Shapes().empty());
}

TEST(BoxCalendar, EmptyWeekdayNamesStillTakeTheirRow) {
  CalendarLayout layout = TestLayout();
  RecordingCanvas named;
  DrawBoxMonth(named, 1998, 9, layout.Style, 0, 0, 32);
  layout.Style.WeekFormat = 0;
  RecordingCanvas empty;
  DrawBoxMonth(empty, 1998, 9, layout.Style, 0, 0, 32);

  std::vector<Call> weekdays;
  for (const Call& c : empty.Texts(kShadow)) {
    if (c.font == layout.Style.FontWeek) weekdays.push_back(c);
  }
  ASSERT_EQ(weekdays.size(), 7u);
  for (int32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(weekdays[i].text, "");
    EXPECT_EQ(weekdays[i].x, (i + 1) * 48 - 8);  // measured as one space
    EXPECT_EQ(weekdays[i].y, 26);
  }
  EXPECT_EQ(weekdays[0].colour, kSun);
  EXPECT_EQ(weekdays[6].colour, kSat);
  EXPECT_EQ(weekdays[3].colour, kNormal);
  EXPECT_EQ(FindNumber(empty, layout, "15")->y, FindNumber(named, layout, "15")->y);
}

TEST(BoxCalendar, DayColoursFollowTheirRoles) {
  CalendarLayout layout = TestLayout();
  layout.Style.TodayMark = 1;
  RecordingCanvas canvas;
  DrawBoxMonth(canvas, 2006, 1, layout.Style, 0, 0, 20);
  const std::pair<const char*, uint32_t> expected[] = {{"1", kFest},   {"2", kSun},   {"7", kSat},  {"8", kSun},
                                                       {"9", kNormal}, {"15", kFest}, {"16", kSun}, {"20", kToday}};
  for (const auto& [text, colour] : expected) EXPECT_EQ(FindNumber(canvas, layout, text)->colour, colour) << text;
}

TEST(SharedRules, ShadowIsDrawnFirstAtItsOffset) {
  for (int32_t offset : {2, 0, -3}) {
    CalendarLayout layout = TestLayout();
    layout.Style.ShadowOffset = offset;
    RecordingCanvas canvas;
    DrawBoxCalendar(canvas, layout, At(1998, 9, 2));
    int32_t texts = 0;
    for (size_t i = 0; i < canvas.calls.size(); ++i) {
      const Call& c = canvas.calls[i];
      if (c.kind != CallKind::kText || c.colour == kShadow) continue;
      ++texts;
      ASSERT_GT(i, 0u);
      const Call& shadow = canvas.calls[i - 1];
      EXPECT_EQ(shadow.colour, kShadow);
      EXPECT_EQ(shadow.text, c.text);
      EXPECT_EQ(shadow.x, c.x + offset);
      EXPECT_EQ(shadow.y, c.y + offset);
      EXPECT_EQ(shadow.font, c.font);
    }
    EXPECT_EQ(texts, 1 + 7 + 30);
  }
  CalendarLayout layout = TestLayout();
  layout.Style.ShadowOn = false;
  RecordingCanvas canvas;
  DrawBoxCalendar(canvas, layout, At(1998, 9, 2));
  EXPECT_TRUE(WithColour(canvas, kShadow).empty());
  EXPECT_EQ(canvas.Texts(kShadow).size(), 1u + 7 + 30);
}

TEST(SharedRules, TodaysMarkKinds) {
  struct Case {
    int32_t mark;
    CallKind shape;  // kText: no shape
    int32_t penWidth;
    BrushStyle brush;
    uint32_t numberColour;
  };
  const Case cases[] = {
      {0, CallKind::kText, 0, BrushStyle::kClear, kNormal},
      {1, CallKind::kText, 0, BrushStyle::kClear, kToday},
      {2, CallKind::kRectangle, 1, BrushStyle::kSolid, kNormal},
      {3, CallKind::kEllipse, 1, BrushStyle::kSolid, kNormal},
      {4, CallKind::kEllipse, 2, BrushStyle::kClear, kNormal},
      {5, CallKind::kRoundRect, 1, BrushStyle::kSolid, kNormal},
      {6, CallKind::kText, 0, BrushStyle::kClear, kNormal},
      {-1, CallKind::kText, 0, BrushStyle::kClear, kNormal},
  };
  for (const Case& c : cases) {
    CalendarLayout layout = TestLayout();
    layout.Style.TodayMark = c.mark;
    RecordingCanvas canvas;
    DrawBoxMonth(canvas, 1998, 9, layout.Style, 100, 100, 10);  // Thursday the 10th
    const std::vector<Call> shapes = canvas.Shapes();
    const std::optional<Call> number = FindNumber(canvas, layout, "10");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->colour, c.numberColour) << c.mark;
    if (c.shape == CallKind::kText) {
      EXPECT_TRUE(shapes.empty()) << c.mark;
      continue;
    }
    ASSERT_EQ(shapes.size(), 1u) << c.mark;
    const Call& s = shapes[0];
    EXPECT_EQ(s.kind, c.shape) << c.mark;
    EXPECT_EQ(s.pen, PenStyle::kSolid);
    EXPECT_EQ(s.penColour, kToday);
    EXPECT_EQ(s.penWidth, c.penWidth) << c.mark;
    EXPECT_EQ(s.brush, c.brush) << c.mark;
    if (c.brush == BrushStyle::kSolid) {
      EXPECT_EQ(s.brushColour, kToday);
    }
    if (c.shape == CallKind::kRoundRect) {
      EXPECT_EQ(s.cornerWidth, 24);
      EXPECT_EQ(s.cornerHeight, 10);
    }
    // Mark, then the number's shadow, then the number; pen and brush clear again by then.
    size_t shapeAt = 0, shadowAt = 0, numberAt = 0;
    for (size_t i = 0; i < canvas.calls.size(); ++i) {
      const Call& k = canvas.calls[i];
      if (k.kind == c.shape) shapeAt = i;
      if (k.kind == CallKind::kText && k.text == "10") (k.colour == kShadow ? shadowAt : numberAt) = i;
    }
    EXPECT_LT(shapeAt, shadowAt);
    EXPECT_LT(shadowAt, numberAt);
    EXPECT_EQ(canvas.calls[numberAt].pen, PenStyle::kClear);
    EXPECT_EQ(canvas.calls[numberAt].brush, BrushStyle::kClear);
  }
}

TEST(SharedRules, MarkRectangleUprightAndItalic) {
  struct Case {
    bool italic;
    int32_t left, right;
  };
  for (const Case& c : {Case{false, -14, 34}, Case{true, -10, 37}}) {
    CalendarLayout layout = TestLayout();
    layout.Style.FontDay.italic = c.italic;
    RecordingCanvas canvas;
    DrawBoxMonth(canvas, 1998, 9, layout.Style, 100, 100, 10);
    const std::optional<Call> number = FindNumber(canvas, layout, "10");
    ASSERT_TRUE(number);
    const Call shape = canvas.Shapes().at(0);
    EXPECT_EQ(shape.x - number->x, c.left) << c.italic;
    EXPECT_EQ(shape.right - number->x, c.right) << c.italic;
    EXPECT_EQ(shape.y - number->y, 0);
    EXPECT_EQ(shape.bottom - number->y, 20);
  }
}

TEST(BarCalendar, StartDatesAndHeadersOfTheRun) {
  struct Case {
    Date today;
    int32_t length;
    std::vector<std::string> headers;
    std::string first;
    size_t numbers;
  };
  const Case cases[] = {
      {{1998, 9, 2}, 7, {"1998 / August", "September"}, "30", 31},
      {{1998, 9, 2}, 8, {"1998 / August", "September", "October"}, "30", 61},
      {{2000, 1, 3}, 10, {"1999 / December", "2000 / January"}, "26", 31},
      {{2000, 1, 3}, 13, {"1999 / December", "2000 / January"}, "19", 31},
      {{1998, 9, 15}, 16, {"1998 / September"}, "1", 30},
      {{1998, 9, 16}, 16, {"1998 / September", "October"}, "16", 30},
      {{1998, 9, 20}, 18, {"1998 / September", "October", "November", "December"}, "16", 91},
      {{1998, 1, 20}, 4, {"1998 / January", "February"}, "20", 31},
      {{1998, 12, 20}, 5, {"1998 / December", "1999 / January", "February"}, "20", 62},
      {{2006, 1, 15}, 3, {"2005 / December", "2006 / January", "February"}, "1", 90},
      {{2006, 1, 15}, 2, {"2006 / January", "February", "March"}, "1", 90},
      {{1998, 5, 1}, 0, {"1998 / May"}, "1", 31},
  };
  for (const Case& c : cases) {
    CalendarLayout layout = TestLayout();
    layout.Length = c.length;
    RecordingCanvas canvas;
    DrawBarCalendar(canvas, layout, At(c.today.year, c.today.month, c.today.day));
    EXPECT_EQ(TextsOf(WithColour(canvas, kYear)), c.headers) << c.length;
    const std::vector<Call> numbers = Numbers(canvas, layout);
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers[0].text, c.first) << c.length;
    EXPECT_EQ(numbers.size(), c.numbers) << c.length;
  }
}

TEST(BarCalendar, HorizontalRunSetsNumbersOnTheHeaderLine) {
  CalendarLayout layout = TestLayout();
  layout.Length = 7;  // from Sunday 30 August 1998
  RecordingCanvas canvas;
  DrawBarCalendar(canvas, layout, At(1998, 9, 2));
  const std::vector<Call> headers = WithColour(canvas, kYear);
  const std::vector<Call> numbers = Numbers(canvas, layout);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0].x, 37 + 16);
  EXPECT_EQ(headers[0].y, 16);
  // "1998 / August" is 13 characters of 12 pixels; feet level: 25 - 21.
  EXPECT_EQ(numbers[0].x, 37 + 16 + 13 * 12 + 2);
  EXPECT_EQ(numbers[0].y, 16 + 4);
  EXPECT_EQ(numbers[1].x, numbers[0].x + 20 + 48);
  // "31", then YearStart, the header "September", YW, and the "1" on the same line.
  EXPECT_EQ(headers[1].x, numbers[1].x + 20 + 48 + 16);
  EXPECT_EQ(headers[1].y, 16);
  EXPECT_EQ(numbers[2].text, "1");
  EXPECT_EQ(numbers[2].x, headers[1].x + 9 * 12 + 2);
  EXPECT_EQ(numbers[2].y, 16 + 4);
  EXPECT_EQ(numbers[2].colour, kNormal);  // a Tuesday
  for (const Call& c : canvas.calls) EXPECT_NE(c.kind, CallKind::kRotatedFont);
}

TEST(BarCalendar, BottomBarInRowsOneBelowTheOther) {
  CalendarLayout layout = TestLayout();
  layout.Place = 3;
  layout.Arrangement = 0;
  layout.Length = 2;
  RecordingCanvas canvas;
  DrawBarCalendar(canvas, layout, At(1998, 9, 2));
  const std::vector<Call> headers = WithColour(canvas, kYear);
  ASSERT_EQ(headers.size(), 3u);
  const int32_t y0 = 768 - 16 - 3 * 20 - 2 * 16;
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(headers[i].x, 37 + 16) << i;
    EXPECT_EQ(headers[i].y, y0 + i * (20 + 16)) << i;
  }
  EXPECT_EQ(headers[2].y, 768 - 16 - 20);
  const std::vector<Call> numbers = Numbers(canvas, layout);
  ASSERT_EQ(numbers.size(), 30u + 31 + 30);
  EXPECT_EQ(numbers[30].text, "1");
  EXPECT_EQ(numbers[30].y, y0 + 36 + 4);
  EXPECT_EQ(numbers[30].x, 37 + 16 + 7 * 12 + 2);  // after "October"
}

TEST(BarCalendar, RightBarInColumnsWithRotatedHeaders) {
  CalendarLayout layout = TestLayout();
  layout.Place = 2;
  layout.Arrangement = 1;
  layout.Length = 1;
  RecordingCanvas canvas;
  DrawBarCalendar(canvas, layout, At(1998, 9, 2));
  const int32_t x0 = 1024 - 37 - 2 * 48 - 16;
  const std::vector<Call> headers = WithColour(canvas, kYear);
  ASSERT_EQ(headers.size(), 2u);
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(headers[i].rotated);
    EXPECT_EQ(headers[i].cellHeight, 25);
    EXPECT_EQ(headers[i].x, x0 + i * (48 + 16) + 25) << i;
    EXPECT_EQ(headers[i].y, 16 + 16) << i;
  }
  const std::vector<Call> numbers = Numbers(canvas, layout);
  ASSERT_EQ(numbers.size(), 30u + 31);
  // Right-aligned to "30", each foot DayHeight below the previous one.
  const int32_t firstFoot = 16 + 16 + 16 * 12 + 2 + 20;  // "1998 / September" is 16 characters
  EXPECT_EQ(numbers[0].x, x0 + 10);
  EXPECT_EQ(numbers[0].y + 21, firstFoot);
  EXPECT_EQ(numbers[9].x, x0);
  EXPECT_EQ(numbers[9].y + 21, firstFoot + 9 * 20);
  EXPECT_FALSE(numbers[0].rotated);
  EXPECT_EQ(numbers[30].x, x0 + 64 + 10);
  EXPECT_EQ(numbers[30].y + 21, 16 + 16 + 7 * 12 + 2 + 20);  // below "October"
}

TEST(BarCalendar, MarkWidthOnBars) {
  struct Case {
    int32_t place;
    int32_t dayWidth;
    int32_t left, right;  // relative to today's number
  };
  // Horizontal bars: as wide as the number whatever DayWidth is; vertical: DayWidth.
  for (const Case& c : {Case{0, 48, 0, 20}, Case{0, 0, 0, 20}, Case{1, 48, -14, 34}}) {
    CalendarLayout layout = TestLayout();
    layout.Place = c.place;
    layout.Style.DayWidth = c.dayWidth;
    RecordingCanvas canvas;
    DrawBarCalendar(canvas, layout, At(1998, 9, 10));
    const std::optional<Call> number = FindNumber(canvas, layout, "10");
    ASSERT_TRUE(number);
    const std::vector<Call> shapes = canvas.Shapes();
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].x - number->x, c.left) << c.place << " " << c.dayWidth;
    EXPECT_EQ(shapes[0].right - number->x, c.right) << c.place << " " << c.dayWidth;
    EXPECT_EQ(shapes[0].y - number->y, 0);
  }
}

TEST(BarCalendar, EmptyHeadersStillMoveThePen) {
  CalendarLayout layout = TestLayout();
  layout.Style.YearFormat = 0;
  layout.Style.MonthFormat = 0;
  layout.Length = 4;  // 20 January 1998 to 19 February
  RecordingCanvas canvas;
  DrawBarCalendar(canvas, layout, At(1998, 1, 20));
  const std::vector<Call> headers = WithColour(canvas, kYear);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0].text, "");
  const std::vector<Call> numbers = Numbers(canvas, layout);
  EXPECT_EQ(numbers[0].x, 37 + 16 + 12 + 2);
  EXPECT_EQ(headers[1].x, numbers[11].x + 20 + 48 + 16);
  EXPECT_EQ(numbers[12].x, headers[1].x + 12 + 2);
}

TEST(BarCalendar, TodayOnlyWhereDayAndMonthMatch) {
  CalendarLayout layout = TestLayout();
  layout.Style.TodayMark = 1;
  layout.Length = 2;  // January to March 2006
  RecordingCanvas canvas;
  DrawBarCalendar(canvas, layout, At(2006, 1, 20));
  const std::vector<Call> numbers = Numbers(canvas, layout);
  ASSERT_EQ(numbers.size(), 31u + 28 + 31);
  for (size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i].colour == kToday, i == 19) << i;
  EXPECT_EQ(numbers[14].colour, kFest);       // Sunday 15 January, a holiday
  EXPECT_EQ(numbers[15].colour, kSun);        // the Monday after it
  EXPECT_EQ(numbers[31 + 10].colour, kFest);  // Saturday 11 February, a holiday
  EXPECT_EQ(numbers[31 + 12].colour, kNormal);
}

TEST(Calendar, OutOfListValuesDrawNothingOrFallBack) {
  const Clock clock = At(1998, 9, 2);
  for (int32_t length : {-1, 4, 100}) {
    CalendarLayout layout = TestLayout();
    layout.Length = length;
    RecordingCanvas canvas;
    DrawCalendar(canvas, layout, 0, clock);
    EXPECT_TRUE(canvas.calls.empty()) << length;
  }
  for (auto [length, place] : {std::pair{19, 0}, std::pair{-1, 0}, std::pair{0, 4}, std::pair{0, -1}}) {
    CalendarLayout layout = TestLayout();
    layout.Length = length;
    layout.Place = place;
    RecordingCanvas canvas;
    DrawCalendar(canvas, layout, 1, clock);
    EXPECT_TRUE(canvas.calls.empty()) << length << " " << place;
  }
  // Arrangements other than 0 draw as 1 in both forms.
  for (int32_t form : {0, 1}) {
    for (int32_t place : {0, 2, 3}) {
      CalendarLayout layout = TestLayout();
      layout.Length = 1;
      layout.Place = place;
      RecordingCanvas one, seven;
      DrawCalendar(one, layout, form, clock);
      layout.Arrangement = 7;
      DrawCalendar(seven, layout, form, clock);
      EXPECT_EQ(TextsOf(one.calls), TextsOf(seven.calls));
      ASSERT_EQ(one.calls.size(), seven.calls.size());
      for (size_t i = 0; i < one.calls.size(); ++i) {
        EXPECT_EQ(one.calls[i].x, seven.calls[i].x);
        EXPECT_EQ(one.calls[i].y, seven.calls[i].y);
      }
    }
  }
  // Styles outside their tables show no names.
  CalendarLayout layout = TestLayout();
  layout.Style.YearFormat = 25;
  layout.Style.MonthFormat = 7;
  layout.Style.WeekFormat = -1;
  RecordingCanvas canvas;
  DrawCalendar(canvas, layout, 0, clock);
  EXPECT_EQ(TextsOf(WithColour(canvas, kYear)), std::vector<std::string>{""});
  EXPECT_EQ(WithColour(canvas, kSun).at(0).text, "");
}

TEST(Calendar, ExtremeOffsetsSaturateInsteadOfOverflowing) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  for (int32_t v : {kMax, kMin}) {
    for (int32_t form : {0, 1}) {
      for (int32_t place = 0; place < 4; ++place) {
        CalendarLayout layout = TestLayout();
        layout.Length = 2;
        layout.Place = place;
        layout.Arrangement = place % 2;
        layout.Space = layout.DistX = layout.DistY = v;
        layout.ScreenWidth = layout.ScreenHeight = v == kMax ? kMin : kMax;
        CalendarStyle& s = layout.Style;
        s.YearStart = s.YW = s.WD = s.DayWidth = s.DayHeight = s.ShadowOffset = v;
        RecordingCanvas canvas;
        DrawCalendar(canvas, layout, form, At(1998, 9, 2));
        EXPECT_FALSE(canvas.Texts(kShadow).empty());
        // From the top-left corner every position lies beyond the largest coordinate.
        if (v != kMax || place != 0) continue;
        for (const Call& c : canvas.calls) {
          if (c.kind != CallKind::kText) continue;
          EXPECT_EQ(c.x, kMax) << form << " " << c.text;
          EXPECT_EQ(c.y, kMax) << form << " " << c.text;
        }
      }
    }
  }
}

TEST(Calendar, FormChoosesTheDrawer) {
  const Clock clock = At(1998, 9, 2);
  for (int32_t form : {0, 1, 2}) {
    CalendarLayout layout = TestLayout();
    RecordingCanvas canvas;
    DrawCalendar(canvas, layout, form, clock);
    bool weekdayRow = false;
    for (const Call& c : canvas.calls) weekdayRow |= c.font == layout.Style.FontWeek && c.kind == CallKind::kText;
    EXPECT_EQ(weekdayRow, form == 0) << form;
  }
}

TEST(Calendar, LayoutFromSettings) {
  Settings s;
  s.calenYear = 12;
  s.calenMonth = 13;
  s.calenWeek = 14;
  s.calenDay = 15;
  s.calenStuff = false;
  s.calenLength = 5;
  s.calenPlace = 2;
  s.calenTraOrLon = 0;
  s.calenSpace = 3;
  s.calenDistX = 4;
  s.calenDistY = 5;
  s.screenWidth = 800;
  s.screenHeight = 600;
  s.calenYearStart = 6;
  s.calenYW = 7;
  s.calenWD = 8;
  s.calenDayWidth = 9;
  s.calenDayHeight = 10;
  s.calenShadow = 11;
  s.calenShadowOn = false;
  s.colorYear = 1;
  s.colorToday = 2;
  s.colorSun = 3;
  s.colorFest = 4;
  s.colorSat = 5;
  s.colorNormal = 6;
  s.colorShadow = 7;
  s.fonts[kFontYear].size = 30;
  s.fonts[kFontWeek].size = 31;
  s.fonts[kFontDay].size = 32;
  const CalendarLayout l = CalendarLayoutFromSettings(s);
  EXPECT_EQ(std::vector<int32_t>(
                {l.Stuff, l.Length, l.Place, l.Arrangement, l.Space, l.DistX, l.DistY, l.ScreenWidth, l.ScreenHeight}),
            std::vector<int32_t>({0, 5, 2, 0, 3, 4, 5, 800, 600}));
  const CalendarStyle& t = l.Style;
  EXPECT_EQ(std::vector<int32_t>({t.YearStart, t.YW, t.WD, t.DayWidth, t.DayHeight, t.ShadowOffset, t.ShadowOn,
                                  t.YearFormat, t.MonthFormat, t.WeekFormat, t.TodayMark}),
            std::vector<int32_t>({6, 7, 8, 9, 10, 11, 0, 12, 13, 14, 15}));
  EXPECT_EQ(std::vector<uint32_t>(
                {t.ColorYear, t.ColorToday, t.ColorSun, t.ColorFest, t.ColorSat, t.ColorNormal, t.ColorShadow}),
            std::vector<uint32_t>({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(t.FontYear, s.fonts[kFontYear]);
  EXPECT_EQ(t.FontWeek, s.fonts[kFontWeek]);
  EXPECT_EQ(t.FontDay, s.fonts[kFontDay]);
}

TEST(Calendar, CurrentLawReachesHeadersAndColoursOfBothForms) {
  Settings settings;
  EXPECT_FALSE(CalendarLayoutFromSettings(settings).Style.CurrentLaw);
  settings.calenCurrentLaw = true;
  EXPECT_TRUE(CalendarLayoutFromSettings(settings).Style.CurrentLaw);

  for (bool law : {false, true}) {
    CalendarLayout layout = TestLayout();
    layout.Style.CurrentLaw = law;
    layout.Style.YearFormat = 6;
    layout.Style.MonthFormat = 6;
    layout.Style.TodayMark = 0;
    // The bar from 16 December 1988 runs into January: each year header takes the era of
    // its month's first day, and 1 January 1989 still lay in Showa.
    layout.Length = 16;
    RecordingCanvas bar;
    DrawCalendar(bar, layout, 1, At(1988, 12, 20));
    const std::vector<std::string> barHeaders = law ? std::vector<std::string>{"昭和63年 / 12月", "昭和64年 / 1月"}
                                                    : std::vector<std::string>{"平成0年 / 12月", "平成1年 / 1月"};
    EXPECT_EQ(TextsOf(WithColour(bar, kYear)), barHeaders);
    // 2 January 1989 was a substitute holiday; the birthday on 23 December began in 1989.
    EXPECT_EQ(FindNumber(bar, layout, "2")->colour, law ? kFest : kSun);
    EXPECT_EQ(FindNumber(bar, layout, "23")->colour, law ? kNormal : kFest);

    layout.Length = 0;
    RecordingCanvas box;
    DrawCalendar(box, layout, 0, At(2019, 5, 20));
    EXPECT_EQ(TextsOf(WithColour(box, kYear)), std::vector<std::string>{law ? "令和元年 / 5月" : "平成31年 / 5月"});
    EXPECT_EQ(FindNumber(box, layout, "1")->colour, law ? kFest : kNormal);
    EXPECT_EQ(FindNumber(box, layout, "6")->colour, law ? kFest : kSun);
  }
}

// A screen of some DPI, measured as a font of that screen measures: the character height is
// the point size × DPI ÷ 72, the line a sixth taller, each character half as wide as high. At
// the default 18 points every one of these is a whole number at the DPIs below, so any
// difference of proportion comes from the layout.
class ScreenCanvas : public RecordingCanvas {
 public:
  explicit ScreenCanvas(int32_t dpi) : dpi_(dpi) {}
  int32_t CharHeight(const CalendarFont& font) override { return font.size * dpi_ / 72; }
  TextSize MeasureText(const CalendarFont& font, const std::string& text) override {
    const int32_t em = CharHeight(font);
    return {std::max(Glyphs(text), 1) * em / 2, em + em / 6};
  }

 private:
  int32_t dpi_;
};

// Vorelset's stored calendar (its default fonts, distances and gaps) on a 1920 × 1080 screen.
CalendarLayout DefaultLayoutAt(int32_t dpi, int32_t place, int32_t length) {
  Settings settings = Settings::VorelsetDefaults();
  settings.screenWidth = 1920;
  settings.screenHeight = 1080;
  settings.screenDpi = dpi;
  settings.calenPlace = place;
  settings.calenLength = length;
  return CalendarLayoutFromSettings(settings);
}

TEST(CalendarDpi, TheStoredValuesAreTheLayoutAt96AndStayStored) {
  Settings settings = Settings::VorelsetDefaults();
  settings.screenDpi = 192;
  const CalendarLayout stored = CalendarLayoutFromSettings(settings);
  // The records keep the stored 96-DPI values; only the drawing scales them.
  EXPECT_EQ(stored.Dpi, 192);
  EXPECT_EQ(std::vector<int32_t>({stored.Space, stored.DistX, stored.DistY, stored.Style.DayWidth,
                                  stored.Style.DayHeight, stored.Style.YW}),
            std::vector<int32_t>({16, 37, 16, 48, 20, 2}));
  const CalendarLayout drawn = InScreenPixels(stored);
  EXPECT_EQ(std::vector<int32_t>({drawn.Space, drawn.DistX, drawn.DistY, drawn.Style.YearStart, drawn.Style.YW,
                                  drawn.Style.WD, drawn.Style.DayWidth, drawn.Style.DayHeight, drawn.Style.ShadowOffset,
                                  drawn.Style.RingWidth, drawn.ScreenWidth}),
            std::vector<int32_t>({32, 74, 32, 32, 4, 4, 96, 40, 4, 4, stored.ScreenWidth}));

  settings.screenDpi = 96;
  const CalendarLayout at96 = CalendarLayoutFromSettings(settings);
  const CalendarLayout same = InScreenPixels(at96);
  EXPECT_EQ(
      std::vector<int32_t>({same.Space, same.DistX, same.DistY, same.Style.YearStart, same.Style.YW, same.Style.WD,
                            same.Style.DayWidth, same.Style.DayHeight, same.Style.ShadowOffset, same.Style.RingWidth}),
      std::vector<int32_t>({16, 37, 16, 16, 2, 2, 48, 20, 2, 2}));
}

// Every text and shape of the calendar at a DPI lies where the one at 96 DPI lies, scaled by the
// DPI ÷ 96 from the corner or edge it is anchored to, so the numbers overlap their rows no
// more than at 100 %. Unscaled distances with fonts that grow put the numbers of a 200 %
// screen on top of each other.
TEST(CalendarDpi, KeepsItsProportionsAtEveryScale) {
  const struct {
    const char* name;
    int32_t form, place, length;
  } shapes[] = {
      {"box, two months, bottom right", 0, 3, 1},
      {"box, three months, top left", 0, 0, 3},
      {"bar along the top", 1, 0, 1},
      {"bar down the right edge", 1, 2, 4},
  };
  const Clock today = At(2026, 12, 9);
  for (const auto& shape : shapes) {
    const CalendarLayout base = DefaultLayoutAt(96, shape.place, shape.length);
    ScreenCanvas reference(96);
    DrawCalendar(reference, base, shape.form, today);
    ASSERT_GT(reference.calls.size(), 40u) << shape.name;
    const bool fromRight = shape.place == 2 || shape.place == 3;
    const bool fromBottom = shape.form == 0 ? (shape.place == 1 || shape.place == 3) : shape.place == 3;
    for (const int32_t dpi : {120, 144, 168, 192, 288}) {
      SCOPED_TRACE(::testing::Message() << shape.name << " at " << dpi << " DPI");
      ScreenCanvas screen(dpi);
      DrawCalendar(screen, DefaultLayoutAt(dpi, shape.place, shape.length), shape.form, today);
      ASSERT_EQ(screen.calls.size(), reference.calls.size());
      // Distances from the anchoring edges, scaled; the rounding of a few scaled distances adds
      // up to a pixel or two.
      const auto expectScaled = [&](int32_t at96, int32_t atDpi, int32_t screenSide, bool fromFar, const char* what,
                                    size_t call) {
        const int32_t want = fromFar ? screenSide - ScaleForDpi(screenSide - at96, dpi) : ScaleForDpi(at96, dpi);
        EXPECT_LE(std::abs(atDpi - want), 3)
            << what << " of call " << call << " (" << reference.calls[call].text << "): " << atDpi << " for " << want;
      };
      for (size_t i = 0; i < reference.calls.size(); ++i) {
        const Call& r = reference.calls[i];
        const Call& c = screen.calls[i];
        ASSERT_EQ(c.kind, r.kind) << i;
        // The ring's pen grows; the one-pixel outline of a filled mark is drawn in the fill's colour.
        if (c.kind == CallKind::kPen) {
          EXPECT_EQ(c.penWidth, r.penWidth == 1 ? 1 : ScaleForDpi(r.penWidth, dpi)) << i;
        }
        if (c.kind == CallKind::kRotatedFont) {
          EXPECT_EQ(c.cellHeight, ScaleForDpi(r.cellHeight, dpi)) << i;
        }
        if (c.kind != CallKind::kText && c.kind != CallKind::kRectangle && c.kind != CallKind::kEllipse &&
            c.kind != CallKind::kRoundRect)
          continue;
        expectScaled(r.x, c.x, 1920, fromRight, "left", i);
        expectScaled(r.y, c.y, 1080, fromBottom, "top", i);
        if (c.kind != CallKind::kText) {
          expectScaled(r.right, c.right, 1920, fromRight, "right", i);
          expectScaled(r.bottom, c.bottom, 1080, fromBottom, "bottom", i);
        }
      }
      // The box form's rows are as far apart, in proportion, as the numbers are high: a day lies
      // one row's height below the day a week before it.
      if (shape.form == 0) {
        // The default fonts of the three rows are alike: the numbers are the digits that are
        // not shadows.
        const auto dayNumbers = [&base](const RecordingCanvas& canvas) {
          std::vector<Call> out;
          for (const Call& c : canvas.Texts(base.Style.ColorShadow))
            if (!c.text.empty() && c.text.find_first_not_of("0123456789") == std::string::npos) out.push_back(c);
          return out;
        };
        const std::vector<Call> numbers = dayNumbers(screen);
        const std::vector<Call> numbers96 = dayNumbers(reference);
        ASSERT_EQ(numbers.size(), numbers96.size());
        size_t monthStart = 0;
        for (size_t i = 0; i < numbers.size(); ++i) {
          if (numbers[i].text == "1") monthStart = i;
          if (i < monthStart + 7) continue;
          EXPECT_EQ(numbers[i].y - numbers[i - 7].y, ScaleForDpi(numbers96[i].y - numbers96[i - 7].y, dpi));
          EXPECT_EQ(numbers[i].y - numbers[i - 7].y, ScaleForDpi(20, dpi));
        }
      }
    }
  }
}

}  // namespace
}  // namespace vorel
