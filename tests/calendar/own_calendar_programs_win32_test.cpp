// The user's own calendar drawn by the real programs: Vorelrun and Vorelset each draw this
// month in the box and the bar form with own days of both kinds and a calendar file, and
// every day number is compared with the colour its marks call for. Then the plate over a white
// picture: just dark enough for the white digits, and gone from the calendar-free copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "calendar/calendar_draw.h"
#include "calendar/plate.h"
#include "change/calendar_file_win32.h"
#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/dpi_win32.h"
#include "platform/gdi_canvas_win32.h"
#include "platform/time_zone_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "tests/calendar/tracing_canvas_win32.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

using testing::Area;

constexpr uint32_t kBackground = 0x808080;
// Corners of the colour cube (0x00BBGGRR): no blend of one with the grey or the shadow gives
// another.
constexpr uint32_t kYear = 0x00FFFF, kNormal = 0xFFFF00, kSat = 0xFF0000, kSun = 0x0000FF, kFest = 0xFF00FF,
                   kToday = 0x00FF00, kShadow = 0x000000, kMyDay = 0xFFFFFF;

Picture Uniform(uint32_t pixel) { return {1024, 768, std::vector<uint32_t>(1024 * 768, pixel)}; }

Date LocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

std::string Two(int32_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }
std::string Compact(const Date& d) { return std::to_string(d.year) + Two(d.month) + Two(d.day); }

enum class Program { kVorelrun, kVorelset };

struct Case {
  const char* name;
  Program program;
  int32_t form;
};

class OwnCalendarPrograms : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    log_ = testing::FreshResidentSettings(settings_, folder_);
    settings_.app.clear();
    settings_.appOption.clear();
  }
  void TearDown() override {
    testing::DeleteUserKey(kSettingsKeyPath);
    testing::SetDesktopValue("Wallpaper", "");
  }

  // The wallpaper file as the program leaves it after drawing the calendar over the picture.
  Picture RunProgram(Program program, const Picture& picture) {
    const std::string path = pictures_.File("絵.bmp");
    EXPECT_TRUE(testing::WriteFileBytes(path, EncodeBmp24(picture)));
    Win32Registry registry;
    if (program == Program::kVorelrun) {
      // Vorelrun's prepared mode draws today's calendar onto the picture now on the desktop.
      settings_.vorelrun = true;
      EXPECT_TRUE(SaveSettings(settings_, registry));
      testing::SetDesktopValue("Wallpaper", path);
      const testing::ProgramRun run = testing::RunProgram("\"" + testing::ExeFolder() + "..\\..\\Vorelrun.exe\"");
      EXPECT_TRUE(run.finished);
      return testing::ReadBmpFile(settings_.wallFile);
    }
    settings_.start = true;
    settings_.folders = {FolderEntry{pictures_.Path()}};
    settings_.app = testing::FixturePath("follow_up\\follow_up.exe");
    settings_.appOption = "\"" + log_ + "\" changed";
    EXPECT_TRUE(SaveSettings(settings_, registry));
    testing::RunningVorelset vorelset;
    EXPECT_TRUE(vorelset.Start());
    EXPECT_TRUE(testing::WaitFor([&] { return testing::CountLines(log_) >= 1; }, 30000));
    // Read before the exit, which leaves the calendar-free copy.
    Picture drawn = testing::ReadBmpFile(settings_.wallFile);
    vorelset.Close();
    return drawn;
  }

  // Where each text of the calendar lies, drawn as the program draws it from what it stored.
  std::vector<Area> Texts(Program program) {
    Win32Registry registry;
    const Settings stored =
        LoadSettings(program == Program::kVorelrun ? ProgramKind::kVorelrun : ProgramKind::kVorelset, registry,
                     {folder_.Path() + "\\", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), SystemDpi()});
    const CalendarLayout layout = CalendarLayoutFromSettings(stored);
    Picture scratch = Uniform(kBackground);
    GdiCanvas gdi(scratch, layout.Dpi);
    testing::TracingCanvas tracing(gdi, kToday);
    DrawCalendar(tracing, layout, stored.calenForm, [this] { return today_; });
    std::vector<Area> texts;
    for (const Area& a : tracing.areas)
      if (!a.shape && a.colour != kShadow) texts.push_back(a);
    return texts;
  }

  testing::TempFolder folder_;
  testing::TempFolder pictures_;
  Settings settings_;
  std::string log_;
  Date today_ = LocalDate();
};

TEST_P(OwnCalendarPrograms, EveryDayOfTheMonthInTheColourItsMarksCallFor) {
  const Case& c = GetParam();
  const Date today = today_;
  const int32_t days = DaysInMonth(today.year, today.month);
  // This month's plain weekdays, Saturdays and Sundays, as the calendar colours them unmarked.
  std::map<int32_t, uint32_t> expected;
  std::vector<int32_t> weekdays, saturdays, sundays;
  for (int32_t d = 1; d <= days; ++d) {
    const ColourRole role = DayColourRole(today.year, today.month, d, WeekdayOf(today.year, today.month, d), false, false);
    const uint32_t colours[] = {kNormal, kSat, kSun, kFest, kToday, kMyDay};
    expected[d] = colours[static_cast<int>(role)];
    if (role == ColourRole::kNormal) weekdays.push_back(d);
    if (role == ColourRole::kSaturday) saturdays.push_back(d);
    if (role == ColourRole::kSunday && WeekdayOf(today.year, today.month, d) == 0) sundays.push_back(d);
  }
  ASSERT_GE(weekdays.size(), 9u);
  ASSERT_FALSE(saturdays.empty());
  ASSERT_FALSE(sundays.empty());
  const auto on = [&today](int32_t d) { return Date{today.year, today.month, d}; };
  const std::string mmdd = Two(today.month) + "/";
  const std::string yyyy = std::to_string(today.year) + "/";
  settings_.ownCalendar.myDays = {
      mmdd + Two(weekdays[0]) + ",休日,年末年始休暇",
      yyyy + mmdd + Two(weekdays[1]) + ",休日,創立記念日, 本社",
      mmdd + Two(weekdays[2]) + ",記念日,誕生日",
      mmdd + Two(saturdays[0]) + ",記念日,土曜の記念日",
      mmdd + Two(sundays[0]) + ",記念日,日曜の記念日",
      std::to_string(today.year + 1) + "/" + mmdd + Two(weekdays[7]) + ",休日,来年の休み",
      "02/31,休日,ない日",
  };
  for (const int32_t d : {weekdays[0], weekdays[1]}) expected[d] = kFest;
  for (const int32_t d : {weekdays[2], saturdays[0]}) expected[d] = kMyDay;

  // The calendar file: an all-day event, a weekly one with an exception, a timed one and a
  // cancelled one; folded and with LF line ends, as some exporters write.
  const Date weekly = on(weekdays[4]);
  const std::string ics =
      "BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:a\nDTSTART;VALUE=DATE:" + Compact(on(weekdays[3])) +
      "\nEND:VEVENT\nBEGIN:VEVENT\nUID:b\nDTSTART;VALUE=DATE:" + Compact(weekly) +
      "\nRRULE:FREQ=WEEKLY;CO\n UNT=3\nEXDATE;VALUE=DATE:" + Compact(DateOfDayNumber(DayNumber(weekly) + 7)) +
      "\nEND:VEVENT\nBEGIN:VEVENT\nUID:c\nDTSTART:" + Compact(on(weekdays[5])) + "T100000\nDTEND:" +
      Compact(on(weekdays[5])) + "T110000\nEND:VEVENT\nBEGIN:VEVENT\nUID:d\nDTSTART;VALUE=DATE:" +
      Compact(on(weekdays[6])) + "\nSTATUS:CANCELLED\nEND:VEVENT\nEND:VCALENDAR\n";
  settings_.ownCalendar.icsFile = folder_.File("予定.ics");
  ASSERT_TRUE(testing::WriteFileBytes(settings_.ownCalendar.icsFile, ics));
  for (const int32_t d : {weekdays[3], weekdays[4], weekdays[5]}) expected[d] = kMyDay;
  const Date third = DateOfDayNumber(DayNumber(weekly) + 14);
  if (third.month == today.month && (expected[third.day] == kNormal || expected[third.day] == kSat))
    expected[third.day] = kMyDay;

  settings_.calender = true;
  settings_.calenForm = c.form;
  settings_.calenLength = 0;
  settings_.calenPlace = 3;
  settings_.calenTraOrLon = 1;
  settings_.calenDay = 0;  // no today mark: today keeps its day's colour
  settings_.calenYear = 0;
  settings_.calenMonth = 1;
  if (c.form == 1) {
    // Thirty-one numbers along the bottom edge fit the screen.
    settings_.calenDayWidth = 10;
    for (CalendarFont& f : settings_.fonts) f.size = 12;
  }
  for (CalendarFont& f : settings_.fonts) f.italic = false;
  settings_.colorYear = kYear;
  settings_.colorNormal = kNormal;
  settings_.colorSat = kSat;
  settings_.colorSun = kSun;
  settings_.colorFest = kFest;
  settings_.colorToday = kToday;
  settings_.colorShadow = kShadow;
  settings_.ownCalendar.colorMyDay = kMyDay;

  const Picture drawn = RunProgram(c.program, Uniform(kBackground));
  if (!(LocalDate() == today_)) GTEST_SKIP() << "the day changed during the run";
  ASSERT_EQ(drawn.width, 1024);
  const std::vector<Area> texts = Texts(c.program);
  // Box: the header, seven weekday names, the days. Bar: the header, the days.
  const size_t first = c.form == 0 ? 8 : 1;
  ASSERT_EQ(texts.size(), first + static_cast<size_t>(days));
  const std::vector<uint32_t> roles = {kNormal, kSat, kSun, kFest, kToday, kMyDay};
  for (int32_t d = 1; d <= days; ++d) {
    const testing::RoleCount count = testing::CountRoles(drawn, texts, first + static_cast<size_t>(d - 1), roles, expected[d]);
    EXPECT_GT(count.own, 0) << "day " << d << " lacks " << std::hex << expected[d];
    EXPECT_EQ(count.other, 0) << "day " << d << " has another colour than " << std::hex << expected[d];
  }
}

INSTANTIATE_TEST_SUITE_P(BothProgramsBothForms, OwnCalendarPrograms,
                         ::testing::Values(Case{"VorelrunBox", Program::kVorelrun, 0},
                                           Case{"VorelrunBar", Program::kVorelrun, 1},
                                           Case{"VorelsetBox", Program::kVorelset, 0},
                                           Case{"VorelsetBar", Program::kVorelset, 1}),
                         [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

class OwnCalendarPlate : public OwnCalendarPrograms {};

TEST_F(OwnCalendarPlate, JustDarkEnoughUnderTheCalendarAndNotInTheCalendarFreeCopy) {
  settings_.calender = true;
  settings_.ownCalendar.plate = true;
  const Picture white = Uniform(0xFFFFFF);
  const Picture drawn = RunProgram(Program::kVorelrun, white);
  ASSERT_EQ(drawn.width, 1024);
  // The changed pixels lie in one rectangle, most of them the plate's one grey.
  RECT box{1024, 768, 0, 0};
  for (int32_t y = 0; y < drawn.height; ++y)
    for (int32_t x = 0; x < drawn.width; ++x)
      if (drawn.At(x, y) != 0xFFFFFF) box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
  ASSERT_LT(box.left, box.right);
  // Two months at the bottom right corner, the plate a few pixels beyond them.
  EXPECT_GT(box.right, 1024 - 37) << "the calendar's corner is the bottom right";
  EXPECT_GT(box.bottom, 768 - 16);
  EXPECT_GT(box.top, 768 / 2);
  std::map<uint32_t, int> counts;
  for (LONG y = box.top; y < box.bottom; ++y)
    for (LONG x = box.left; x < box.right; ++x) ++counts[drawn.At(x, y)];
  const auto grey = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  EXPECT_GT(grey->second, (box.right - box.left) * (box.bottom - box.top) / 2);
  const double contrast = ContrastRatio(LuminanceOfPixel(grey->first), 1.0);
  EXPECT_GE(contrast, kPlateContrast);
  EXPECT_LT(contrast, 4.8) << "no darker than the white digits need";

  // A normal run leaves the calendar-free copy: the picture without calendar or plate.
  settings_.vorelrun = false;
  settings_.folders = {FolderEntry{pictures_.Path()}};
  Win32Registry registry;
  ASSERT_TRUE(SaveSettings(settings_, registry));
  ASSERT_TRUE(testing::RunProgram("\"" + testing::ExeFolder() + "..\\..\\Vorelrun.exe\"").finished);
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == white);
}

// The calendar file as the programs read it: its state, the 16 MB bound before a byte is
// read, and UTC times in the system's zone with that year's rules.
TEST(CalendarFileWin32, ReadsTheFileAndConvertsBySystemZone) {
  testing::TempFolder folder;
  const DateSpan span{{2026, 1, 1}, {2026, 1, 31}};
  EXPECT_EQ(ReadCalendarFile(folder.File("ない.ics"), span).status, IcsStatus::kUnreadable);
  EXPECT_EQ(ReadCalendarFile("", span).status, IcsStatus::kUnreadable);
  const std::string good = folder.File("予定.ics");
  ASSERT_TRUE(testing::WriteFileBytes(
      good, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260105\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
  const IcsDays read = ReadCalendarFile(good, span);
  EXPECT_EQ(read.status, IcsStatus::kRead);
  EXPECT_EQ(read.days, (std::vector<Date>{Date{2026, 1, 5}}));
  const std::string large = folder.File("大きい.ics");
  {
    UniqueFile file(CreateFileW(ToWide(large).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(kMaxIcsBytes) + 1;
    ASSERT_TRUE(SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get()));
  }
  EXPECT_EQ(ReadCalendarFile(large, span).status, IcsStatus::kTooLarge);

  // The offset the system gives a January and a July noon of 2026, as its own zone says.
  for (const WORD month : {WORD{1}, WORD{7}}) {
    const int64_t utc = DayNumber({2026, month, 15}) * 86400 + 12 * 3600;
    TIME_ZONE_INFORMATION zone{};
    ASSERT_TRUE(GetTimeZoneInformationForYear(2026, nullptr, &zone));
    SYSTEMTIME utcTime{2026, month, 0, 15, 12, 0, 0, 0};
    SYSTEMTIME local{};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &utcTime, &local));
    const int64_t expected = DayNumber({local.wYear, local.wMonth, local.wDay}) * 86400 + local.wHour * 3600 +
                             local.wMinute * 60 + local.wSecond;
    EXPECT_EQ(SystemUtcToLocal(utc), expected) << month;
  }
  EXPECT_EQ(SystemUtcToLocal(DayNumber({1500, 1, 1}) * 86400), DayNumber({1500, 1, 1}) * 86400);
}

}  // namespace
}  // namespace vorel
