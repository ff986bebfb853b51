// The composition against the real system: the wallpaper file, the desktop values, the
// system's wallpaper, the follow-up program, erasing, the calendar-free copy at exit and a
// wallpaper file that cannot be replaced.
#include "change/compose_win32.h"

#include <gtest/gtest.h>

#include "engine/bmp_file.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::DesktopValue;
using testing::SystemWallpaper;

Picture Gradient(int32_t width, int32_t height) {
  Picture p{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      p.pixels[static_cast<size_t>(y) * width + x] =
          (uint32_t(x * 255 / width) << 16) | (uint32_t(y * 255 / height) << 8) | 0x40;
  return p;
}

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 200 && !testing::FileExists(path); ++i) Sleep(50);
  return testing::FileExists(path);
}

class ComposeWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = Settings::VorelsetDefaults();
    settings_.calender = false;
    settings_.wallFile = folder_.File("WallPaper.bmp");
    settings_.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    settings_.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    layout_ = CalendarLayoutFromSettings(settings_);
  }
  void Compose(Picture picture, const LayoutChoice& globals, const std::string& tile = kStandard,
               const std::string& position = kStandard, const std::string& size = kStandard) {
    layout_ = CalendarLayoutFromSettings(settings_);
    ComposeWallpaper(picture, {settings_, layout_}, tile, position, size, globals);
  }

  PictureLoadContext Load() const {
    PictureLoadContext load;
    load.wallFile = settings_.wallFile;
    return load;
  }

  testing::TempFolder folder_;
  Settings settings_;
  CalendarLayout layout_;
};

TEST_F(ComposeWin32, WritesTheScreenSizedFileAndInstallsIt) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  const Picture source = Gradient(800, 600);
  for (const bool tile : {false, true}) {
    testing::SetDesktopValue("TileWallpaper", "x");
    Compose(source, {tile, 4, false, true});
    const Picture written = testing::ReadBmpFile(settings_.wallFile);
    ASSERT_EQ(written.width, 1024);
    ASSERT_EQ(written.height, 768);
    EXPECT_EQ(written.At(112, 84), source.At(0, 0));
    EXPECT_EQ(written.At(911, 683), source.At(799, 599));
    if (tile)
      EXPECT_EQ(written.At(111, 83), source.At(799, 599));  // the tile to the upper left
    else
      EXPECT_EQ(written.At(0, 0), DesktopColour());
    EXPECT_EQ(DesktopValue("TileWallpaper"), tile ? "1" : "0");
    EXPECT_EQ(DesktopValue("WallpaperOriginX"), "0");
    EXPECT_EQ(DesktopValue("WallpaperOriginY"), "0");
    EXPECT_EQ(SystemWallpaper(), settings_.wallFile);
  }
}

TEST_F(ComposeWin32, CalendarIsDrawnOnlyInsideItsCorner) {
  const Picture source = Gradient(1024, 768);
  Compose(source, {false, 4, false, true});
  const Picture plain = testing::ReadBmpFile(settings_.wallFile);
  settings_.calender = true;
  Compose(source, {false, 4, false, true});
  const Picture stamped = testing::ReadBmpFile(settings_.wallFile);
  ASSERT_EQ(stamped.width, plain.width);
  int changed = 0;
  for (int32_t y = 0; y < plain.height; ++y)
    for (int32_t x = 0; x < plain.width; ++x)
      if (plain.At(x, y) != stamped.At(x, y)) {
        ++changed;
        // Two months side by side in the bottom-right corner (the defaults).
        EXPECT_GT(x, 1024 - 37 - 2 * 7 * 48 - 16 - 8) << y;
        EXPECT_GT(y, 768 - 16 - 6 * 20 - 80) << x;
      }
  EXPECT_GT(changed, 2000);
}

// GDI gets a copy of only the calendar's area: every form, place and size draws the pixels
// of a drawing on the whole picture, and reports the same overwritten pixels.
TEST(CalendarArea, DrawsWhatTheWholePictureWouldShow) {
  struct Case {
    const char* name;
    int32_t form, place, arrangement, length, todayMark, dpi;
    bool italic;
  };
  const Case cases[] = {
      {"box corner", 0, 4, 1, 1, 2, 96, false},  {"box stacked", 0, 0, 0, 3, 3, 96, true},
      {"box 192 dpi", 0, 2, 1, 2, 4, 192, true}, {"bar right (upright)", 1, 2, 1, 1, 4, 96, false},
      {"bar left", 1, 1, 0, 4, 5, 144, true},    {"bar bottom", 1, 3, 0, 2, 5, 96, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings settings = Settings::VorelsetDefaults();
    settings.screenWidth = 1024;
    settings.screenHeight = 768;
    settings.screenDpi = c.dpi;
    settings.calenForm = c.form;
    settings.calenPlace = c.place;
    settings.calenTraOrLon = c.arrangement;
    settings.calenLength = c.length;
    settings.calenDay = c.todayMark;
    for (CalendarFont& font : settings.fonts) font.italic = c.italic;
    const CalendarLayout layout = CalendarLayoutFromSettings(settings);
    const Clock day = [] { return Date{2026, 5, 6}; };

    Picture whole = Gradient(1024, 768);
    OverwrittenPixels wholeOld;
    {
      GdiCanvas canvas(WindowOf(whole), layout.Dpi);
      DrawCalendar(canvas, layout, c.form, day);
      canvas.Finish(&wholeOld);
    }
    Picture area = Gradient(1024, 768);
    OverwrittenPixels areaOld;
    DrawCalendarOn(WindowOf(area), layout, c.form, day, &areaOld);

    ASSERT_FALSE(wholeOld.pixels.Empty());
    EXPECT_TRUE(whole.pixels == area.pixels);
    EXPECT_EQ(areaOld.left, wholeOld.left);
    EXPECT_EQ(areaOld.top, wholeOld.top);
    EXPECT_TRUE(areaOld.pixels.pixels == wholeOld.pixels.pixels);
    PutBack(areaOld, WindowOf(area));
    EXPECT_TRUE(area.pixels == Gradient(1024, 768).pixels);
  }
}

TEST_F(ComposeWin32, FollowUpProgramStarts) {
  const std::string marker = folder_.File("followed.txt");
  settings_.app = "cmd.exe";
  settings_.appOption = "/c echo done>\"" + marker + "\"";
  Compose(Gradient(64, 64), {false, 4, false, true});
  EXPECT_TRUE(WaitForFile(marker));
}

TEST_F(ComposeWin32, UnreplaceableWallpaperFileStaysWholeAndNothingIsInstalled) {
  const std::string before = EncodeBmp24(Gradient(16, 16));
  struct Case {
    const char* what;
    std::function<std::function<void()>(const std::string&)> obstruct;  // returns the undo
  } cases[] = {
      {"held open without sharing",
       [](const std::string& path) -> std::function<void()> {
         auto file = std::make_shared<UniqueFile>(
             CreateFileW(ToWide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         EXPECT_TRUE(*file);
         return [file] { file->Reset(); };
       }},
      {"read-only",
       [](const std::string& path) -> std::function<void()> {
         SetFileAttributesW(ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY);
         return [path] { SetFileAttributesW(ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL); };
       }},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(testing::WriteFileBytes(settings_.wallFile, before));
    testing::SetDesktopValue("TileWallpaper", "x");
    const std::string system = SystemWallpaper();
    const std::function<void()> undo = c.obstruct(settings_.wallFile);
    EXPECT_THROW(Compose(Gradient(300, 200), {true, 4, false, true}), WallpaperWriteError) << c.what;
    undo();
    EXPECT_TRUE(testing::ReadFileBytes(settings_.wallFile) == before) << c.what;
    EXPECT_EQ(DesktopValue("TileWallpaper"), "x") << c.what;
    EXPECT_EQ(SystemWallpaper(), system) << c.what;
  }
  // No temporary file is left beside it.
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileW(ToWide(folder_.File("*")).c_str(), &data));
  int files = 0;
  if (find) do
      files += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(find.Get(), &data));
  EXPECT_EQ(files, 1);

  settings_.wallFile = folder_.File("no such folder\\WallPaper.bmp");
  EXPECT_THROW(Compose(Gradient(30, 20), {false, 4, false, true}), WallpaperWriteError);
}

TEST_F(ComposeWin32, ExitWithShadeErasesAndStartsTheFollowUp) {
  Compose(Gradient(64, 64), {false, 4, false, true});
  ASSERT_EQ(SystemWallpaper(), settings_.wallFile);
  settings_.shade = true;
  const std::string marker = folder_.File("after-erase.txt");
  settings_.app = "cmd.exe";
  settings_.appOption = "/c echo done>\"" + marker + "\"";
  Picture picture;
  RecomposeAtExit(picture, {settings_, layout_}, Load());
  EXPECT_EQ(SystemWallpaper(), "");
  EXPECT_TRUE(WaitForFile(marker));
}

TEST_F(ComposeWin32, ExitLeavesTheCalendarFreePictureWithoutTellingTheSystem) {
  const Picture source = Gradient(500, 400);
  const std::string picturePath = folder_.File("写真.bmp");
  ASSERT_TRUE(testing::WriteFileBytes(picturePath, EncodeBmp24(source)));
  settings_.calender = true;
  settings_.screen = true;  // margins are never applied to the copy
  settings_.screenX = 40;
  settings_.screenY = 30;
  settings_.tile = false;
  settings_.current = {picturePath, "タイル", kStandard, "左上"};
  Compose(source, GlobalLayout(settings_));
  const std::string other = folder_.File("other.bmp");
  ASSERT_TRUE(testing::WriteFileBytes(other, EncodeBmp24(Gradient(8, 8))));
  TellSystemWallpaper(other);

  Picture picture;
  RecomposeAtExit(picture, {settings_, layout_}, Load());
  Picture expected = source;
  FitPicture(expected, {{true, 0, false, true}, 0, 0, 1024, 768}, DesktopColour);
  EXPECT_TRUE(testing::ReadBmpFile(settings_.wallFile) == expected);
  EXPECT_EQ(DesktopValue("TileWallpaper"), "1");
  EXPECT_EQ(SystemWallpaper(), other);
}

}  // namespace
}  // namespace vorel
