// Vorelrun end to end: the real program against a prepared settings key and picture
// folder; the registry, the wallpaper file and the system's wallpaper are inspected after.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/bmp_file.h"
#include "change/compose_win32.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::DesktopValue;

Picture Striped(int32_t width, int32_t height, uint32_t seed) {
  Picture p{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      p.pixels[static_cast<size_t>(y) * width + x] = ((seed * 40 + x) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | seed;
  return p;
}

// The picture as the wallpaper file holds it without calendar: fitted with the defaults
// of Vorelrun (no tile, centre, no scaling) on the 1024 x 768 screen.
Picture CalendarFree(Picture picture) {
  FitPicture(picture, {{false, 4, false, false}, 0, 0, 1024, 768}, DesktopColour);
  return picture;
}

// Pixels that differ between two screen-sized pictures.
int Differences(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

class VorelrunWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::DeleteUserKey(kSettingsKeyPath);
    testing::SetDesktopValue("Wallpaper", "");
    settings_ = Settings::VorelrunDefaults();
    settings_.tile = false;
    settings_.vorelrun = false;
    settings_.wallFile = folder_.File("WallPaper.bmp");
    for (uint32_t i = 0; i < 3; ++i) {
      pictures_.push_back(Striped(640 + 40 * i, 480, i + 1));
      ASSERT_TRUE(testing::WriteFileBytes(PicturePath(i), EncodeBmp24(pictures_.back())));
    }
    FolderEntry folder;
    folder.path = pictureFolder_.Path();
    settings_.folders = {folder};
  }
  void TearDown() override { testing::DeleteUserKey(kSettingsKeyPath); }

  std::string PicturePath(uint32_t i) const { return pictureFolder_.File("絵" + std::to_string(i) + ".bmp"); }
  int PictureIndex(const std::string& path) const {
    for (uint32_t i = 0; i < pictures_.size(); ++i)
      if (path == PicturePath(i)) return static_cast<int>(i);
    return -1;
  }
  void Store() {
    Win32Registry registry;
    ASSERT_TRUE(SaveSettings(settings_, registry));
    // Vorelrun stores nothing of its own but the delay.
    registry.Open(kSettingsKeyPath, true)->WriteInt("DelayTime", delay_);
  }
  testing::ProgramRun Run(const std::string& arguments = "") {
    const std::string exe = testing::ExeFolder() + "..\\..\\Vorelrun.exe";
    return testing::RunProgram("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
  }
  std::string Text(const char* name) {
    Win32Registry registry;
    return registry.Open(kSettingsKeyPath, true)->ReadText(name).text;
  }
  std::optional<int32_t> Int(const char* name) {
    Win32Registry registry;
    return registry.Open(kSettingsKeyPath, true)->ReadInt(name);
  }

  testing::TempFolder folder_;
  testing::TempFolder pictureFolder_;
  Settings settings_;
  std::vector<Picture> pictures_;
  int32_t delay_ = 0;
};

TEST_F(VorelrunWin32, NormalRunChangesTheWallpaperAndLeavesTheCalendarFreeCopy) {
  settings_.calender = true;
  Store();
  std::vector<int> seen;
  for (int run = 0; run < 3; ++run) {
    const testing::ProgramRun result = Run();
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0u);
    const int index = PictureIndex(Text("OldFile"));
    ASSERT_GE(index, 0) << Text("OldFile");
    seen.push_back(index);
    EXPECT_EQ(Text("OldTile"), kStandard);
    EXPECT_EQ(Int("Order").value_or(-1), 2 - run);  // indexes left in the cycle
    EXPECT_EQ(Int("FileNumMax").value_or(-1), 3);
    EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == CalendarFree(pictures_[index]));
    EXPECT_EQ(DesktopValue("Wallpaper"), settings_.wallFile);  // as the system stores it
    EXPECT_EQ(DesktopValue("TileWallpaper"), "0");
  }
  // Random without repeats: one cycle shows each picture once.
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
}

TEST_F(VorelrunWin32, DirectRunShowsTheNamedPictureAndLeavesTheOrderAlone) {
  settings_.vorelrun = true;  // ignored for a direct run
  settings_.calender = false;
  Store();
  const std::string named = folder_.File("名前 付き.bmp");
  const Picture picture = Striped(300, 200, 9);
  ASSERT_TRUE(testing::WriteFileBytes(named, EncodeBmp24(picture)));
  const testing::ProgramRun result = Run("\"" + named + "\"");
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(Text("OldFile"), named);
  EXPECT_FALSE(Int("Order").has_value());
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == CalendarFree(picture));
  EXPECT_EQ(DesktopValue("Wallpaper"), settings_.wallFile);  // as the system stores it

  // "0" as the first parameter is a normal run.
  ASSERT_TRUE(Run("0").finished);
  EXPECT_GE(PictureIndex(Text("OldFile")), 0);
  EXPECT_EQ(Int("Order").value_or(-1), 2);
}

TEST_F(VorelrunWin32, PreparedModeShowsYesterdaysPictureWithTodaysCalendar) {
  settings_.vorelrun = true;
  settings_.calender = true;
  const std::string marker = folder_.File("followed.txt");
  settings_.app = "cmd.exe";
  settings_.appOption = "/c echo x>>\"" + marker + "\"";
  Store();

  // First log-on: the present wallpaper is not the wallpaper file, and unreadable: a
  // screen of desktop colour with the calendar is shown; the next picture is prepared.
  ASSERT_TRUE(Run().finished);
  const int prepared = PictureIndex(Text("OldFile"));
  ASSERT_GE(prepared, 0);
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == CalendarFree(pictures_[prepared]));
  EXPECT_EQ(DesktopValue("Wallpaper"), settings_.wallFile);
  Sleep(1500);
  const std::string followedOnce = testing::ReadFileBytes(marker);
  EXPECT_EQ(std::count(followedOnce.begin(), followedOnce.end(), 'x'), 1);  // for the refresh only

  // Second log-on with nothing new to choose: the prepared picture gets today's calendar.
  settings_.folders.clear();
  settings_.current = {Text("OldFile"), Text("OldTile"), Text("OldSize"), Text("OldPosi")};
  Store();
  ASSERT_TRUE(Run().finished);
  EXPECT_EQ(Text("OldFile"), PicturePath(prepared));
  const Picture shown = testing::ReadBmpFile(settings_.wallFile);
  const int differences = Differences(shown, CalendarFree(pictures_[prepared]));
  EXPECT_GT(differences, 1000);
  EXPECT_LT(differences, 1024 * 768 / 8);
  EXPECT_EQ(DesktopValue("Wallpaper"), settings_.wallFile);  // as the system stores it
}

TEST_F(VorelrunWin32, NoCandidatesWritesBackOnlyTheRecord) {
  settings_.folders.clear();
  settings_.current = {"C:\\earlier.bmp", "タイル", "する", "右"};
  Store();
  ASSERT_TRUE(Run().finished);
  EXPECT_EQ(Text("OldFile"), "C:\\earlier.bmp");
  EXPECT_EQ(Text("OldTile"), "タイル");
  EXPECT_EQ(Text("OldSize"), "する");
  EXPECT_EQ(Text("OldPosi"), "右");
  EXPECT_FALSE(Int("Order").has_value());
  EXPECT_FALSE(testing::FileExists(settings_.wallFile));
}

TEST_F(VorelrunWin32, SecondInstanceEndsAtOnceChangingNothing) {
  Store();
  const UniqueKernelHandle guard(CreateMutexW(nullptr, FALSE, L"Vorel"));
  ASSERT_TRUE(guard);
  const testing::ProgramRun result = Run();
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(static_cast<int32_t>(result.exitCode), -1);
  EXPECT_EQ(Text("OldFile"), "");
  EXPECT_FALSE(Int("Order").has_value());
  EXPECT_FALSE(testing::FileExists(settings_.wallFile));
}

TEST_F(VorelrunWin32, StoredDelayIsWaitedBeforeTheRun) {
  delay_ = 3;
  Store();
  const testing::ProgramRun result = Run();
  ASSERT_TRUE(result.finished);
  EXPECT_GE(result.elapsedMs, 3000u + 900u);  // the delay, then the timer's second
  EXPECT_GE(PictureIndex(Text("OldFile")), 0);
}

// The run prepares the picture while the title shows, but the title keeps its second
// before anything is written, and it does not take the focus.
TEST_F(VorelrunWin32, TitleShowsItsSecondUnfocusedBeforeAnythingChanges) {
  settings_.calender = true;
  const std::wstring commandLine = L"\"" + ToWide(testing::ExeFolder() + "..\\..\\Vorelrun.exe") + L"\"";
  // A look taken after the title's second says nothing: on a loaded machine this thread may
  // wake that late. Such a run is made again, up to five times.
  bool lookedInTime = false;
  for (int attempt = 0; attempt < 5 && !lookedInTime; ++attempt) {
    DeleteFileW(ToWide(settings_.wallFile).c_str());
    testing::SetDesktopValue("Wallpaper", "");
    Store();
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const DWORD started = GetTickCount();
    ASSERT_TRUE(CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    HWND title = nullptr;
    // The window exists a moment before it is shown: wait for it to show. The title's second
    // begins after the last look that found it hidden, however late this thread saw it shown.
    DWORD hiddenAt = started;
    while (GetTickCount() - started < 20000) {
      const DWORD now = GetTickCount();
      title = FindWindowW(L"TFormMain.Vorelrun", nullptr);
      if (title && IsWindowVisible(title)) break;
      hiddenAt = now;
      Sleep(10);
    }
    ASSERT_NE(title, nullptr);
    ASSERT_TRUE(IsWindowVisible(title));
    EXPECT_NE(GetForegroundWindow(), title);
    // The timer is set after the title appears: 800 ms later nothing may have changed yet.
    while (GetTickCount() - hiddenAt < 800) Sleep(20);
    const bool written = testing::FileExists(settings_.wallFile);
    const std::string oldFile = Text("OldFile");
    const std::string wallpaper = DesktopValue("Wallpaper");
    lookedInTime = GetTickCount() - hiddenAt < 1000;
    ASSERT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
    if (!lookedInTime) continue;
    EXPECT_FALSE(written);
    EXPECT_EQ(oldFile, "");
    EXPECT_EQ(wallpaper, "");
  }
  ASSERT_TRUE(lookedInTime) << "this machine never let the test look within the title's second";
  const int index = PictureIndex(Text("OldFile"));
  ASSERT_GE(index, 0);
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == CalendarFree(pictures_[index]));
  EXPECT_EQ(DesktopValue("Wallpaper"), settings_.wallFile);
}

TEST_F(VorelrunWin32, PictureThatCannotBeLoadedLeavesTheOldWallpaper) {
  settings_.calender = false;
  settings_.current = {"C:\\earlier.bmp", kStandard, kStandard, kStandard};
  Store();
  const std::string before = EncodeBmp24(Striped(64, 48, 3));
  ASSERT_TRUE(testing::WriteFileBytes(settings_.wallFile, before));
  const std::string broken = folder_.File("broken.bmp");
  ASSERT_TRUE(testing::WriteFileBytes(broken, "BM this is not a bitmap"));
  for (const std::string& path : {folder_.File("missing.bmp"), broken}) {
    ASSERT_TRUE(Run("\"" + path + "\"").finished);
    EXPECT_TRUE(testing::ReadFileBytes(settings_.wallFile) == before) << path;
    EXPECT_EQ(Text("OldFile"), "C:\\earlier.bmp") << path;
  }
}

// The system's formats in the real program, whose run has a thread of its own: a folder whose
// one picture is a JPEG, and a photo stored turned named on the command line, which stands
// upright. Each is compared with ImageMagick's decode within the codecs' rounding.
TEST_F(VorelrunWin32, JpegPicturesAreReadThroughTheSystemsCodecs) {
  settings_.calender = false;
  const std::string only = folder_.File("写真") + "\\";
  ASSERT_TRUE(CreateDirectoryW(ToWide(only).c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(ToWide(testing::FixturePath("pictures\\baseline.jpg")).c_str(),
                        ToWide(only + "港.jpg").c_str(), FALSE));
  settings_.folders[0].path = only.substr(0, only.size() - 1);
  Store();
  const struct {
    std::string arguments;
    std::string shown;
    const char* reference;
  } runs[] = {{"", only + "港.jpg", "ref-baseline.bmp"},
              {"\"" + testing::FixturePath("pictures\\orient6.jpg") + "\"", testing::FixturePath("pictures\\orient6.jpg"),
               "ref-orient6.bmp"}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.reference);
    ASSERT_TRUE(Run(run.arguments).finished);
    EXPECT_EQ(Text("OldFile"), run.shown);
    const Picture expected = CalendarFree(testing::ReadBmpFile(testing::FixturePath(std::string("pictures\\") + run.reference)));
    const Picture wall = testing::ReadBmpFile(settings_.wallFile);
    ASSERT_EQ(wall.pixels.size(), expected.pixels.size());
    int largest = 0;
    for (size_t i = 0; i < wall.pixels.size(); ++i)
      for (int shift : {0, 8, 16})
        largest = std::max(largest, std::abs(static_cast<int>((wall.pixels[i] >> shift) & 0xFF) -
                                             static_cast<int>((expected.pixels[i] >> shift) & 0xFF)));
    EXPECT_LE(largest, 3);
  }
}

}  // namespace
}  // namespace vorel
