// The calendar drawn with GDI onto a wallpaper-size picture: the screen's measures, every
// role colour where the layout put its text or mark and nowhere else, and BMP files of the
// results to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "calendar/calendar_draw.h"
#include "engine/bmp_file.h"
#include "platform/gdi_canvas_win32.h"
#include "tests/calendar/tracing_canvas_win32.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::Area;
using testing::PixelOf;
using testing::TracingCanvas;

constexpr uint32_t kBackground = 0x808080;  // as a picture pixel, 0x00RRGGBB
// Canvas colours (0x00BBGGRR), each a corner of the colour cube: no blend of one of them
// with the background or the shadow can give another one exactly.
constexpr uint32_t kYear = 0x00FFFF, kNormal = 0xFFFF00, kSat = 0xFF0000, kSun = 0x0000FF, kFest = 0xFF00FF,
                   kToday = 0x00FF00, kShadow = 0x000000;
constexpr uint32_t kRoles[] = {kYear, kNormal, kSat, kSun, kFest, kToday, kShadow};

Picture Uniform(int32_t width, int32_t height) {
  return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, kBackground)};
}

// Italic glyphs lean past their measured width; a ring's 2-pixel pen straddles its edge.
bool Near(const Area& area, int32_t x, int32_t y) {
  const int32_t slack = area.shape ? 2 : 10;
  return x >= area.rect.left - slack && x < area.rect.right + slack && y >= area.rect.top - slack &&
         y < area.rect.bottom + slack;
}

void SaveForViewing(const testing::TempFolder& folder, const std::string& name, const Picture& picture) {
  const std::string bytes = EncodeBmp24(picture);
  EXPECT_TRUE(testing::WriteFileBytes(folder.File(name), bytes));
  const char* artifacts = std::getenv("VOREL_ARTIFACTS");
  if (artifacts == nullptr || *artifacts == '\0') return;
  std::string path = artifacts;
  // A Unix folder named by the shell that started Wine is reached through drive Z:.
  if (path.front() == '/') {
    path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
  }
  EXPECT_TRUE(testing::WriteFileBytes(path + "\\" + name, bytes)) << path;
}

struct Scenario {
  const char* name;
  int32_t form, place, arrangement, length, todayMark, yearFormat, monthFormat, dayWidth;
};

class CalendarGdi : public ::testing::TestWithParam<Scenario> {};

// Vorelset's defaults (its fonts included), with one colour per role.
CalendarLayout LayoutOf(const Scenario& s) {
  Settings settings = Settings::VorelsetDefaults();
  settings.screenWidth = 1024;
  settings.screenHeight = 768;
  settings.calenPlace = s.place;
  settings.calenTraOrLon = s.arrangement;
  settings.calenLength = s.length;
  settings.calenDay = s.todayMark;
  settings.calenYear = s.yearFormat;
  settings.calenMonth = s.monthFormat;
  settings.calenDayWidth = s.dayWidth;
  settings.colorYear = kYear;
  settings.colorNormal = kNormal;
  settings.colorSat = kSat;
  settings.colorSun = kSun;
  settings.colorFest = kFest;
  settings.colorToday = kToday;
  settings.colorShadow = kShadow;
  return CalendarLayoutFromSettings(settings);
}

TEST_P(CalendarGdi, RoleColoursLieWhereTheLayoutPutThem) {
  const Scenario& s = GetParam();
  const CalendarLayout layout = LayoutOf(s);
  Picture picture = Uniform(1024, 768);
  std::vector<Area> areas;
  {
    GdiCanvas gdi(picture, layout.Dpi);
    ASSERT_TRUE(gdi.Drawable());
    TracingCanvas tracing(gdi, kToday);
    DrawCalendar(tracing, layout, s.form, [] { return Date{1998, 9, 2}; });
    areas = tracing.areas;
    gdi.Finish();
  }
  testing::TempFolder folder;
  SaveForViewing(folder, std::string("calendar_") + s.name + ".bmp", picture);

  for (uint32_t role : kRoles) {
    EXPECT_TRUE(std::any_of(areas.begin(), areas.end(), [&](const Area& a) { return a.colour == role; }))
        << "no text or mark in " << std::hex << role;
  }

  int32_t strays = 0;
  for (int32_t y = 0; y < picture.height; ++y) {
    for (int32_t x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.At(x, y);
      if (p == kBackground) continue;
      bool explained = (p & 0xFF000000) == 0 &&
                       std::any_of(areas.begin(), areas.end(), [&](const Area& a) { return Near(a, x, y); });
      for (uint32_t role : kRoles) {
        if (p != PixelOf(role)) continue;
        explained = explained && std::any_of(areas.begin(), areas.end(),
                                             [&](const Area& a) { return a.colour == role && Near(a, x, y); });
      }
      if (!explained && ++strays <= 5)
        ADD_FAILURE() << "pixel " << std::hex << p << std::dec << " at " << x << "," << y;
    }
  }
  EXPECT_EQ(strays, 0);

  for (const Area& a : areas) {
    if (a.blank || a.colour == kShadow) continue;
    ASSERT_TRUE(a.rect.left >= 0 && a.rect.right <= 1024 && a.rect.top >= 0 && a.rect.bottom <= 768)
        << "off the picture: " << a.rect.left << "," << a.rect.top << "-" << a.rect.right << "," << a.rect.bottom;
    bool found = false;
    for (int32_t y = std::max<int32_t>(a.rect.top, 0); !found && y < std::min<int32_t>(a.rect.bottom, 768); ++y) {
      for (int32_t x = std::max<int32_t>(a.rect.left, 0); !found && x < std::min<int32_t>(a.rect.right, 1024); ++x) {
        found = picture.At(x, y) == PixelOf(a.colour);
      }
    }
    EXPECT_TRUE(found) << "colour " << std::hex << a.colour << std::dec << " missing in " << a.rect.left << ","
                       << a.rect.top << "-" << a.rect.right << "," << a.rect.bottom;
    if (a.shape && s.todayMark == 2) {
      // A filled rectangle: GDI's right and bottom edges lie outside it.
      const RECT& r = a.rect;
      EXPECT_EQ(picture.At(r.left, r.top), PixelOf(kToday));
      EXPECT_EQ(picture.At(r.right - 1, r.bottom - 1), PixelOf(kToday));
      EXPECT_NE(picture.At(r.right, r.bottom - 1), PixelOf(kToday));
      EXPECT_NE(picture.At(r.left, r.bottom), PixelOf(kToday));
      EXPECT_NE(picture.At(r.left - 1, r.top), PixelOf(kToday));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, CalendarGdi,
                         // Short headers and gaps keep the bars on the screen.
                         ::testing::Values(Scenario{"box", 0, 3, 1, 1, 2, 1, 2, 48},
                                           Scenario{"box_stacked", 0, 0, 0, 3, 3, 6, 4, 48},
                                           Scenario{"bar_right", 1, 2, 1, 1, 4, 0, 3, 48},
                                           Scenario{"bar_left", 1, 1, 0, 4, 2, 0, 6, 48},
                                           Scenario{"bar_bottom", 1, 3, 0, 2, 5, 0, 3, 2}),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

struct LawMonth {
  const char* name;
  Date today;
  std::vector<int32_t> holidays;  // worked out from the law by hand
};

class CalendarLawGdi : public ::testing::TestWithParam<LawMonth> {};

// Every day number of a box month drawn with today's law carries its own role's colour and
// no other role's: substitute and citizens' holidays in the holiday colour.
TEST_P(CalendarLawGdi, EveryDayHasTheColourOfItsRole) {
  const LawMonth& m = GetParam();
  Settings settings = Settings::VorelsetDefaults();
  settings.screenWidth = 1024;
  settings.screenHeight = 768;
  settings.calenLength = 0;
  settings.calenDay = 0;  // no mark, so today keeps the colour of its role
  settings.calenYear = 6;
  settings.calenMonth = 6;
  settings.calenCurrentLaw = true;
  settings.colorYear = kYear;
  settings.colorNormal = kNormal;
  settings.colorSat = kSat;
  settings.colorSun = kSun;
  settings.colorFest = kFest;
  settings.colorToday = kToday;
  settings.colorShadow = kShadow;
  const CalendarLayout layout = CalendarLayoutFromSettings(settings);

  Picture picture = Uniform(1024, 768);
  std::vector<Area> texts;
  {
    GdiCanvas gdi(picture, layout.Dpi);
    ASSERT_TRUE(gdi.Drawable());
    TracingCanvas tracing(gdi, kToday);
    DrawCalendar(tracing, layout, 0, [&] { return m.today; });
    for (const Area& a : tracing.areas) {
      if (!a.shape && a.colour != kShadow) texts.push_back(a);
    }
    gdi.Finish();
  }
  testing::TempFolder folder;
  SaveForViewing(folder, std::string("calendar_law_") + m.name + ".bmp", picture);

  // The header, the seven weekday names, then the days in order.
  const int32_t days = DaysInMonth(m.today.year, m.today.month);
  ASSERT_EQ(texts.size(), static_cast<size_t>(8 + days));
  const std::vector<uint32_t> dayRoles = {kNormal, kSat, kSun, kFest, kToday};
  for (int32_t day = 1; day <= days; ++day) {
    const int32_t weekday = WeekdayOf(m.today.year, m.today.month, day);
    const bool holiday = std::find(m.holidays.begin(), m.holidays.end(), day) != m.holidays.end();
    const uint32_t expected = holiday ? kFest : weekday == 0 ? kSun : weekday == 6 ? kSat : kNormal;
    const testing::RoleCount count = testing::CountRoles(picture, texts, static_cast<size_t>(7 + day), dayRoles, expected);
    EXPECT_GT(count.own, 0) << "day " << day << " lacks " << std::hex << expected;
    EXPECT_EQ(count.other, 0) << "day " << day << " has another role's colour";
  }
}

INSTANTIATE_TEST_SUITE_P(Months, CalendarLawGdi,
                         ::testing::Values(LawMonth{"May2019", {2019, 5, 20}, {1, 2, 3, 4, 5, 6}},
                                           LawMonth{"September2026", {2026, 9, 15}, {21, 22, 23}}),
                         [](const ::testing::TestParamInfo<LawMonth>& param) { return std::string(param.param.name); });

TEST(GdiCanvasMeasures, CharHeightAndTheEmptyText) {
  Picture picture = Uniform(8, 8);
  CalendarFont font = Settings::VorelsetDefaults().fonts[kFontDay];
  // The point size becomes pixels at the DPI the canvas is given, whatever the screen's.
  for (int32_t dpi : {96, 120, 144, 192}) {
    GdiCanvas scaled(picture, dpi);
    for (int32_t size : {8, 9, 10, 11, 12, 18, 20, 36}) {
      font.size = size;
      EXPECT_EQ(scaled.CharHeight(font), std::lround(size * dpi / 72.0)) << size << " pt at " << dpi;
    }
    font.size = 18;
    EXPECT_GE(scaled.MeasureText(font, "30").height, scaled.CharHeight(font)) << dpi;
  }
  GdiCanvas canvas(picture, 96);
  font.size = 18;
  const TextSize space = canvas.MeasureText(font, " ");
  EXPECT_EQ(canvas.MeasureText(font, ""), space);
  EXPECT_GT(space.width, 0);
  // The line height holds the internal leading on top of the character height.
  EXPECT_GE(space.height, canvas.CharHeight(font));
  EXPECT_GT(canvas.MeasureText(font, "水無月").width, canvas.MeasureText(font, "30").width);

  // The character height is the em height: a font with internal leading (Wine's own Tahoma)
  // measures a taller line.
  CalendarFont tahoma{"Tahoma", DEFAULT_CHARSET, 18, false, false, false, false};
  EXPECT_GT(canvas.MeasureText(tahoma, "30").height, canvas.CharHeight(tahoma));
}

TEST(GdiCanvasPixels, DrawingReachesThePictureAtFinishAndAtTheEnd) {
  Picture picture = Uniform(64, 32);
  {
    GdiCanvas canvas(picture, 96);
    canvas.SetPen(PenStyle::kSolid, kSun, 1);
    canvas.SetBrush(BrushStyle::kSolid, kSun);
    canvas.DrawRectangle(2, 3, 10, 8);
    EXPECT_EQ(picture.At(2, 3), kBackground);
    canvas.Finish();
    EXPECT_EQ(picture.At(2, 3), PixelOf(kSun));
    EXPECT_EQ(picture.At(9, 7), PixelOf(kSun));
    EXPECT_EQ(picture.At(10, 7), kBackground);
    EXPECT_EQ(picture.At(9, 8), kBackground);

    // A ring with a clear brush leaves its inside alone; the top byte of a colour is ignored.
    canvas.SetBrush(BrushStyle::kClear, kSun);
    canvas.SetPen(PenStyle::kSolid, 0xFF000000 | kSat, 2);
    canvas.DrawEllipse(20, 4, 40, 24);
  }
  EXPECT_EQ(picture.At(30, 14), kBackground);
  int32_t ring = 0;
  for (uint32_t p : picture.pixels) {
    EXPECT_EQ(p & 0xFF000000, 0u);
    ring += p == PixelOf(kSat) ? 1 : 0;
  }
  EXPECT_GT(ring, 40);
}

TEST(GdiCanvasPixels, EmptyPictureDrawsNowhere) {
  Picture picture;
  GdiCanvas canvas(picture, 96);
  EXPECT_FALSE(canvas.Drawable());
  CalendarLayout layout = LayoutOf({"empty", 0, 0, 1, 2, 2, 1, 2, 48});
  DrawCalendar(canvas, layout, 0, [] { return Date{1998, 9, 2}; });
  canvas.Finish();
  EXPECT_TRUE(picture.pixels.empty());
}

}  // namespace
}  // namespace vorel
