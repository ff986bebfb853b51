// Every monitor its own picture on a real desk of several monitors (tools/with-monitors.sh):
// the file of the virtual screen, each entry fitted to its own monitor and laid there by the
// desktop values, the desktop colour where no monitor is, the calendar on the primary alone,
// the records, a monitor whose picture does not load, the copy left at exit, new screens,
// and the one picture of old with the option off.
#include <gtest/gtest.h>

#include "change/change_run_win32.h"
#include "engine/bmp_file.h"
#include "platform/screen_geometry_win32.h"
#include "tests/fixtures/monitor_desk.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::DesktopValue;
using testing::Striped;
using testing::SystemWallpaper;

class EveryMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    layout_ = LayoutOf(CurrentScreenGeometry());
    ASSERT_TRUE(testing::IsTheDesk(layout_));

    settings_ = Settings::VorelsetDefaults();
    settings_.perMonitor = true;
    settings_.calender = false;
    settings_.tile = false;
    settings_.inOrder = true;
    settings_.wallFile = folder_.File("WallPaper.bmp");
    settings_.screenWidth = layout_.monitors[0].Width();
    settings_.screenHeight = layout_.monitors[0].Height();
    // Each entry with texts of its own: centred, bottom right, tiled, not scaled.
    const char* texts[][3] = {{kStandard, kStandard, kStandard},
                              {kStandard, "しない", "右下"},
                              {"タイル", kStandard, "左上"},
                              {kStandard, "する", kStandard}};
    for (uint32_t i = 0; i < 4; ++i) {
      sources_.push_back(Striped(500 + 300 * i, 400 + 100 * i, i + 1));
      PictureEntry e;
      e.path = folder_.File("絵" + std::to_string(i) + ".bmp");
      e.tile = texts[i][0];
      e.size = texts[i][1];
      e.position = texts[i][2];
      ASSERT_TRUE(testing::WriteFileBytes(e.path, EncodeBmp24(sources_.back())));
      settings_.pictures.push_back(e);
    }
  }

  ChangeEnvironment Environment(const CompositionContext& composition, const PictureLoadContext& load) {
    return {settings_, order_, patterns_, composition, load, [] { return 0; }, nullptr};
  }
  CompositionContext Composition() {
    calendar_ = CalendarLayoutFromSettings(settings_);
    CompositionContext context{settings_, calendar_};
    context.screens = CurrentScreenGeometry();
    return context;
  }
  PictureLoadContext Load() const {
    PictureLoadContext load;
    load.wallFile = settings_.wallFile;
    return load;
  }
  ChangeOutcome Change() {
    const CompositionContext composition = Composition();
    const PictureLoadContext load = Load();
    Picture picture;
    return ChangeWallpaper(picture, Environment(composition, load), InstallMode::kShow);
  }

  // What monitor m shows with entry e.
  Picture OnMonitor(size_t m, const CurrentPictureRecord& e, bool margins) const {
    size_t i = 0;
    while (settings_.pictures[i].path != e.path) ++i;
    return testing::OnMonitor(sources_[i], settings_, e, margins, layout_.monitors[m]);
  }
  Picture VirtualScreenInFile() const { return testing::VirtualScreenInFile(settings_.wallFile, layout_); }
  void ExpectDesk(const Picture& desk, const std::vector<Picture>& monitors) const {
    EXPECT_TRUE(testing::DeskShows(desk, layout_, monitors));
  }

  testing::TempFolder folder_;
  MemoryRegistry order_;
  std::vector<std::string> patterns_;
  Settings settings_;
  CalendarLayout calendar_;
  WallpaperLayout layout_;
  std::vector<Picture> sources_;
};

TEST_F(EveryMonitor, EachMonitorShowsItsOwnEntryFittedToIt) {
  settings_.screen = true;
  settings_.screenX = 24;
  settings_.screenY = 12;
  const size_t n = layout_.monitors.size();
  for (size_t change = 0; change < 2; ++change) {
    SCOPED_TRACE(change);
    testing::SetDesktopValue("TileWallpaper", "x");
    const ChangeOutcome outcome = Change();
    ASSERT_TRUE(outcome.installed);
    ASSERT_EQ(outcome.records.size(), n);
    std::vector<Picture> expected;
    for (size_t m = 0; m < n; ++m) {
      // List order across the monitors, from one change to the next: 1, 2, (3,) then on.
      EXPECT_EQ(outcome.records[m], RecordOf(settings_.pictures[(1 + change * n + m) % 4])) << m;
      expected.push_back(OnMonitor(m, outcome.records[m], true));
    }
    EXPECT_EQ(outcome.installed->path, outcome.records[0].path);
    const Picture file = testing::ReadBmpFile(settings_.wallFile);
    EXPECT_EQ(file.width, layout_.Width());
    EXPECT_EQ(file.height, layout_.Height());
    ExpectDesk(VirtualScreenInFile(), expected);
    // Laid on the desk by the values written, every picture lands on its own monitor.
    ExpectDesk(testing::DeskAsInstalled(layout_), expected);
    const bool tiled = SystemVirtualScreenStyle() == VirtualScreenStyle::kTiledFromPrimary;
    EXPECT_EQ(DesktopValue("TileWallpaper"), tiled ? "1" : "0");
    EXPECT_EQ(DesktopValue("WallpaperStyle"), tiled ? "0" : "22");
    EXPECT_EQ(SystemWallpaper(), settings_.wallFile);
    Settings after = settings_;
    TakeRecords(after, outcome.records);
    EXPECT_EQ(after.otherMonitors.size(), n - 1);
  }
}

TEST_F(EveryMonitor, TheCalendarIsDrawnOnThePrimaryAlone) {
  Change();
  const Picture plain = testing::ReadBmpFile(settings_.wallFile);
  order_ = MemoryRegistry{};  // the same entries again
  settings_.calender = true;
  Change();
  const Picture stamped = testing::ReadBmpFile(settings_.wallFile);
  ASSERT_EQ(stamped.width, plain.width);
  ASSERT_EQ(stamped.height, plain.height);
  // Found where the desk shows it: in the primary's bottom-right corner (the defaults).
  Picture before = plain, after = stamped;
  if (SystemVirtualScreenStyle() == VirtualScreenStyle::kTiledFromPrimary) {
    UnrollVirtualScreen(before, layout_.PrimaryCorner());
    UnrollVirtualScreen(after, layout_.PrimaryCorner());
  }
  const ScreenRect& primary = layout_.monitors[0];
  int changed = 0;
  for (int32_t y = 0; y < before.height; ++y)
    for (int32_t x = 0; x < before.width; ++x)
      if (before.At(x, y) != after.At(x, y)) {
        ++changed;
        ASSERT_TRUE(x >= primary.left && x < primary.right && y >= primary.top && y < primary.bottom) << x << ", " << y;
        ASSERT_GT(x, primary.right - 37 - 2 * 7 * 48 - 16 - 8) << y;
        ASSERT_GT(y, primary.bottom - 16 - 6 * 20 - 80) << x;
      }
  EXPECT_GT(changed, 2000);
}

TEST_F(EveryMonitor, AMonitorWhosePictureDoesNotLoadKeepsTheOneItShows) {
  const size_t n = layout_.monitors.size();
  // The second monitor's next entry (list order: entry 2) is broken; it showed entry 0.
  ASSERT_TRUE(testing::WriteFileBytes(settings_.pictures[2].path, "BM not a picture"));
  settings_.current = RecordOf(settings_.pictures[3]);
  settings_.otherMonitors = {RecordOf(settings_.pictures[0])};
  const ChangeOutcome outcome = Change();
  ASSERT_TRUE(outcome.installed);
  ASSERT_EQ(outcome.records.size(), n);
  EXPECT_EQ(outcome.records[0], RecordOf(settings_.pictures[1]));
  EXPECT_EQ(outcome.records[1], RecordOf(settings_.pictures[0]));
  std::vector<Picture> expected;
  for (size_t m = 0; m < n; ++m) expected.push_back(OnMonitor(m, outcome.records[m], false));
  ExpectDesk(VirtualScreenInFile(), expected);

  // No monitor's new picture loads: nothing changes.
  for (const PictureEntry& e : settings_.pictures) ASSERT_TRUE(testing::WriteFileBytes(e.path, "broken"));
  const std::string before = testing::ReadFileBytes(settings_.wallFile);
  testing::SetDesktopValue("TileWallpaper", "x");
  const ChangeOutcome none = Change();
  EXPECT_TRUE(none.hadCandidates);
  EXPECT_FALSE(none.installed);
  EXPECT_TRUE(none.records.empty());
  EXPECT_EQ(testing::ReadFileBytes(settings_.wallFile), before);
  EXPECT_EQ(DesktopValue("TileWallpaper"), "x");
}

TEST_F(EveryMonitor, ExitLeavesEveryPictureWithoutCalendarAndNewScreensKeepThem) {
  const size_t n = layout_.monitors.size();
  settings_.calender = true;
  settings_.screen = true;  // never applied to the copy
  settings_.screenX = 30;
  settings_.current = RecordOf(settings_.pictures[2]);
  settings_.otherMonitors = {RecordOf(settings_.pictures[1])};  // the third monitor, if any, has none
  const std::string other = folder_.File("other.bmp");
  ASSERT_TRUE(testing::WriteFileBytes(other, EncodeBmp24(Striped(8, 8, 9))));
  TellSystemWallpaper(other);
  Picture picture;
  const CompositionContext composition = Composition();
  RecomposeAtExit(picture, composition, Load());
  std::vector<Picture> expected = {OnMonitor(0, settings_.current, false),
                                   OnMonitor(1, settings_.otherMonitors[0], false)};
  while (expected.size() < n) expected.push_back(Picture{});
  // A monitor without a picture is the desktop colour.
  for (size_t m = 2; m < n; ++m) expected[m] = testing::Filled(layout_.monitors[m], DesktopColour());
  ExpectDesk(VirtualScreenInFile(), expected);
  EXPECT_EQ(SystemWallpaper(), other);

  // New screens: the same pictures again with the calendar, the system told; a monitor
  // without one gets the next entry (list order: entry 1).
  const std::string before = testing::ReadFileBytes(settings_.wallFile);
  const PictureLoadContext load = Load();
  const std::vector<CurrentPictureRecord> records = RecomposeForScreens(picture, Environment(composition, load));
  ASSERT_EQ(records.size(), n);
  EXPECT_EQ(records[0], settings_.current);
  EXPECT_EQ(records[1], settings_.otherMonitors[0]);
  if (n > 2) {
    EXPECT_EQ(records[2], RecordOf(settings_.pictures[1]));
  }
  EXPECT_EQ(SystemWallpaper(), settings_.wallFile);
  EXPECT_NE(testing::ReadFileBytes(settings_.wallFile), before);  // margins and calendar now

  // Erased: nothing to compose again.
  settings_.ForgetCurrentPictures();
  const std::string erased = testing::ReadFileBytes(settings_.wallFile);
  EXPECT_TRUE(RecomposeForScreens(picture, Environment(composition, load)).empty());
  EXPECT_EQ(testing::ReadFileBytes(settings_.wallFile), erased);
}

TEST_F(EveryMonitor, WithTheOptionOffThePrimaryScreensPictureIsAsBefore) {
  settings_.perMonitor = false;
  settings_.otherMonitors = {RecordOf(settings_.pictures[3])};
  testing::SetDesktopValue("WallpaperStyle", "22");
  const ChangeOutcome outcome = Change();
  ASSERT_EQ(outcome.records.size(), 1u);
  const Picture file = testing::ReadBmpFile(settings_.wallFile);
  EXPECT_EQ(file.width, layout_.monitors[0].Width());
  EXPECT_EQ(file.height, layout_.monitors[0].Height());
  EXPECT_TRUE(file == OnMonitor(0, outcome.records[0], false));
  EXPECT_EQ(DesktopValue("TileWallpaper"), "0");
  // A span left from the virtual screen would stretch this one picture over every monitor.
  EXPECT_EQ(DesktopValue("WallpaperStyle"), "0");
  Settings after = settings_;
  TakeRecords(after, outcome.records);
  EXPECT_TRUE(after.otherMonitors.empty());
}

}  // namespace
}  // namespace vorel
