// Vorelset and Vorelrun on a desk of several monitors (tools/with-monitors.sh): a change puts
// one entry on every monitor and stores the records, the exit leaves every picture without
// calendar, an erase forgets them all, new screens compose the same pictures again (and a
// monitor without one gets the next), and Vorelrun's run, prepared mode and direct picture.
#include <gtest/gtest.h>

#include <algorithm>

#include "change/change_run_win32.h"
#include "change/compose_win32.h"
#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/screen_geometry_win32.h"
#include "platform/win32_registry.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/monitor_desk.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

using testing::CountLines;
using testing::RunningVorelset;
using testing::Striped;
using testing::WaitFor;

// Where the two pictures differ; every difference must lie in the bottom-right corner of the
// area (where the calendar's defaults put it), and there must be the calendar's many.
::testing::AssertionResult OnlyTheCalendarDiffers(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height) return ::testing::AssertionFailure() << "sizes differ";
  int changed = 0;
  for (int32_t y = 0; y < a.height; ++y)
    for (int32_t x = 0; x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y)) {
        if (x <= a.width - 37 - 2 * 7 * 48 - 16 - 8 || y <= a.height - 16 - 6 * 20 - 80)
          return ::testing::AssertionFailure() << "differs at " << x << ", " << y << " beside the calendar";
        ++changed;
      }
  if (changed < 2000) return ::testing::AssertionFailure() << "only " << changed << " pixels differ";
  return ::testing::AssertionSuccess();
}

Picture Part(const Picture& desk, const ScreenRect& r) {
  Picture part{r.Width(), r.Height(), std::vector<uint32_t>(static_cast<size_t>(r.Width()) * r.Height())};
  for (int32_t y = 0; y < r.Height(); ++y)
    for (int32_t x = 0; x < r.Width(); ++x)
      part.pixels[static_cast<size_t>(y) * r.Width() + x] = desk.At(r.left + x, r.top + y);
  return part;
}

class EveryMonitorPrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    layout_ = LayoutOf(CurrentScreenGeometry());
    ASSERT_TRUE(testing::IsTheDesk(layout_));
    log_ = testing::FreshResidentSettings(settings_, folder_);
    settings_.perMonitor = true;
    settings_.inOrder = true;
    for (uint32_t i = 0; i < 4; ++i) {
      sources_.push_back(Striped(600 + 250 * i, 450 + 120 * i, i + 1));
      PictureEntry e;
      e.path = pictureFolder_.File("絵" + std::to_string(i) + ".bmp");
      if (i == 3) e.position = "右下";
      ASSERT_TRUE(testing::WriteFileBytes(e.path, EncodeBmp24(sources_.back())));
      entries_.push_back(e);
    }
    settings_.pictures = entries_;
  }
  void TearDown() override {
    testing::DeleteUserKey(kSettingsKeyPath);
    // The next case's desk has every monitor again, whatever this one left.
    if (CurrentScreenGeometry().size() != layout_.monitors.size()) testing::SwitchMonitors("all");
  }

  void Store() {
    Win32Registry registry;
    ASSERT_TRUE(SaveSettings(settings_, registry));
  }
  std::string Text(const std::string& name) {
    Win32Registry registry;
    return registry.Open(kSettingsKeyPath, true)->ReadText(name).text;
  }
  bool Has(const std::string& name) {
    Win32Registry registry;
    return registry.Open(kSettingsKeyPath, true)->ReadText(name).status != TextStatus::kMissing;
  }
  int Changes() const { return CountLines(log_); }
  bool WaitForChanges(int n) const {
    return WaitFor([&] { return Changes() >= n; });
  }
  // The entry of list place i (in order, the first change shows 1, 2, …).
  const PictureEntry& Entry(size_t i) const { return entries_[i % entries_.size()]; }
  Picture Shows(size_t i, const ScreenRect& monitor, bool margins = false) const {
    const size_t k = i % sources_.size();
    return testing::OnMonitor(sources_[k], settings_, {Entry(k).path, Entry(k).tile, Entry(k).size, Entry(k).position},
                              margins, monitor);
  }
  // The pictures of list places first, first + 1, … on the monitors in order.
  std::vector<Picture> Showing(size_t first) const {
    std::vector<Picture> pictures;
    for (size_t m = 0; m < layout_.monitors.size(); ++m) pictures.push_back(Shows(first + m, layout_.monitors[m]));
    return pictures;
  }
  Picture FileDesk() const { return testing::VirtualScreenInFile(settings_.wallFile, layout_); }
  // Switches the desk and waits for Vorelset to have composed for it: it writes the desktop
  // values after the file. The file itself is not read meanwhile, which would keep Vorelset
  // from putting the new one in its place.
  ::testing::AssertionResult SwitchAndWaitForTheComposition(const std::string& which) {
    testing::SetDesktopValue("TileWallpaper", "x");
    if (!testing::SwitchMonitors(which)) return ::testing::AssertionFailure() << "the desk did not switch";
    if (!WaitFor([] { return testing::DesktopValue("TileWallpaper") != "x"; }, 20000))
      return ::testing::AssertionFailure() << "nothing was composed for the new screens";
    return ::testing::AssertionSuccess();
  }

  // The records reach the key when the settings window opens.
  void OpenAndCloseSettings(RunningVorelset& vorelset) {
    vorelset.Command(kCmdSetting);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(vorelset.FormMain()); }));
    PostMessageW(vorelset.FormMain(), WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(vorelset.FormMain()); }));
  }

  testing::TempFolder folder_;
  testing::TempFolder pictureFolder_;
  Settings settings_;
  WallpaperLayout layout_;
  std::vector<Picture> sources_;
  std::vector<PictureEntry> entries_;
  std::string log_;
};

TEST_F(EveryMonitorPrograms, VorelsetPutsAnEntryOnEveryMonitorAndStoresTheRecords) {
  const size_t n = layout_.monitors.size();
  settings_.start = true;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));
  EXPECT_EQ(testing::ReadBmpFile(settings_.wallFile).width, layout_.Width());
  EXPECT_TRUE(testing::DeskShows(FileDesk(), layout_, Showing(1)));
  EXPECT_TRUE(testing::DeskShows(testing::DeskAsInstalled(layout_), layout_, Showing(1)));
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), settings_.wallFile);

  vorelset.Command(kCmdReDraw);
  ASSERT_TRUE(WaitForChanges(2));
  EXPECT_TRUE(testing::DeskShows(FileDesk(), layout_, Showing(1 + n)));
  OpenAndCloseSettings(vorelset);
  EXPECT_EQ(Text("OldFile"), Entry(1 + n).path);
  for (size_t m = 1; m < n; ++m) EXPECT_EQ(Text("OldFile" + std::to_string(m)), Entry(1 + n + m).path) << m;
  EXPECT_FALSE(Has("OldFile" + std::to_string(n)));
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(EveryMonitorPrograms, TheExitLeavesEveryPictureWithoutCalendarAndAnEraseForgetsThemAll) {
  settings_.start = true;
  settings_.calender = true;
  Store();
  {
    RunningVorelset vorelset;
    ASSERT_TRUE(vorelset.Start());
    ASSERT_TRUE(WaitForChanges(1));
    const Picture desk = FileDesk();
    const std::vector<Picture> bare = Showing(1);
    EXPECT_TRUE(OnlyTheCalendarDiffers(Part(desk, layout_.monitors[0]), bare[0]));
    for (size_t m = 1; m < bare.size(); ++m) EXPECT_TRUE(Part(desk, layout_.monitors[m]) == bare[m]) << m;
    EXPECT_EQ(vorelset.Close(), 0u);
    EXPECT_TRUE(testing::DeskShows(FileDesk(), layout_, bare));
    EXPECT_EQ(testing::DesktopValue("Wallpaper"), settings_.wallFile);
  }
  // The left click erases (index 0): nothing on any monitor, nothing composed at the exit.
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(2));
  vorelset.Tray(WM_LBUTTONDOWN);
  ASSERT_TRUE(WaitForChanges(3));  // the follow-up program after the erase
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), "");
  OpenAndCloseSettings(vorelset);
  EXPECT_EQ(Text("OldFile"), "");
  EXPECT_FALSE(Has("OldFile1"));
  const std::string file = testing::ReadFileBytes(settings_.wallFile);
  EXPECT_EQ(vorelset.Close(), 0u);
  EXPECT_EQ(testing::ReadFileBytes(settings_.wallFile), file);
}

TEST_F(EveryMonitorPrograms, NewScreensGetTheSamePicturesAgainAndAMonitorWithoutOneTheNext) {
  const size_t n = layout_.monitors.size();
  settings_.start = true;
  settings_.calender = true;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));

  // One monitor left: the primary's picture alone, for the size of the screen now, with the
  // calendar in that screen's corner. No new picture, no follow-up program.
  ASSERT_TRUE(SwitchAndWaitForTheComposition("one"));
  const ScreenRect screen = testing::AloneMonitor();
  EXPECT_TRUE(OnlyTheCalendarDiffers(testing::ReadBmpFile(settings_.wallFile), Shows(1, screen)));
  EXPECT_EQ(Changes(), 1);
  OpenAndCloseSettings(vorelset);
  EXPECT_EQ(Text("OldFile"), Entry(1).path);
  EXPECT_FALSE(Has("OldFile1"));

  // All of them back: the primary keeps its picture, the others get the next entries.
  ASSERT_TRUE(SwitchAndWaitForTheComposition("all"));
  const Picture desk = FileDesk();
  EXPECT_TRUE(OnlyTheCalendarDiffers(Part(desk, layout_.monitors[0]), Shows(1, layout_.monitors[0])));
  for (size_t m = 1; m < n; ++m) EXPECT_TRUE(Part(desk, layout_.monitors[m]) == Shows(n + m, layout_.monitors[m])) << m;
  EXPECT_EQ(Changes(), 1);
  OpenAndCloseSettings(vorelset);
  EXPECT_EQ(Text("OldFile1"), Entry(n + 1).path);
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(EveryMonitorPrograms, WithTheOptionOffNewScreensGetTheOnePictureForTheirSize) {
  settings_.perMonitor = false;
  settings_.start = true;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == Shows(1, layout_.monitors[0]));
  const ScreenRect alone = testing::AloneMonitor();
  ASSERT_TRUE(SwitchAndWaitForTheComposition("one"));
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == Shows(1, alone));
  ASSERT_TRUE(SwitchAndWaitForTheComposition("all"));
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == Shows(1, layout_.monitors[0]));
  EXPECT_EQ(Changes(), 1);
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(EveryMonitorPrograms, VorelrunShowsPreparesAndRefreshesEveryMonitor) {
  const size_t n = layout_.monitors.size();
  const auto run = [](const std::string& arguments = "") {
    const std::string exe = testing::ExeFolder() + "..\\..\\Vorelrun.exe";
    return testing::RunProgram("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
  };
  settings_.calender = true;
  settings_.vorelrun = false;
  Store();
  // A run: shown with the calendar, the file left without it; the records of every monitor.
  ASSERT_TRUE(run().finished);
  EXPECT_TRUE(testing::DeskShows(FileDesk(), layout_, Showing(1)));
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), settings_.wallFile);
  EXPECT_EQ(Text("OldFile"), Entry(1).path);
  for (size_t m = 1; m < n; ++m) EXPECT_EQ(Text("OldFile" + std::to_string(m)), Entry(1 + m).path);

  // Prepared mode: the next log-on's pictures, bare, named as the wallpaper, not shown.
  testing::DeleteUserKey(kSettingsKeyPath);
  settings_.vorelrun = true;
  Store();
  testing::SetDesktopValue("Wallpaper", "");
  ASSERT_TRUE(run().finished);
  EXPECT_TRUE(testing::DeskShows(FileDesk(), layout_, Showing(1)));
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), settings_.wallFile);
  EXPECT_EQ(Text("OldFile1"), Entry(2).path);

  // The next log-on refreshes them with today's calendar on the primary; with no picture to
  // prepare (the list emptied) that is what stays in the file.
  settings_.pictures.clear();
  settings_.current = RecordOf(Entry(1));
  for (size_t m = 1; m < n; ++m) settings_.otherMonitors.push_back(RecordOf(Entry(1 + m)));
  Store();
  ASSERT_TRUE(run().finished);
  const Picture desk = FileDesk();
  EXPECT_TRUE(OnlyTheCalendarDiffers(Part(desk, layout_.monitors[0]), Shows(1, layout_.monitors[0])));
  for (size_t m = 1; m < n; ++m) EXPECT_TRUE(Part(desk, layout_.monitors[m]) == Shows(1 + m, layout_.monitors[m]));
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), settings_.wallFile);

  // A picture named on the command line goes on the primary; the others keep theirs.
  testing::DeleteUserKey(kSettingsKeyPath);
  settings_.calender = false;
  Store();
  const std::string named = pictureFolder_.File("絵0.bmp");
  ASSERT_TRUE(run("\"" + named + "\"").finished);
  std::vector<Picture> expected = Showing(1);
  expected[0] =
      testing::OnMonitor(sources_[0], settings_, {named, kStandard, kStandard, kStandard}, false, layout_.monitors[0]);
  EXPECT_TRUE(testing::DeskShows(FileDesk(), layout_, expected));
  EXPECT_EQ(Text("OldFile"), named);
  EXPECT_EQ(Text("OldFile1"), Entry(2).path);
}

}  // namespace
}  // namespace vorel
