// Vorelset's once-only hints in the real program: which balloon comes up at the tray icon
// (Wine's tray shows it as a balloon tool tip), what "HintShown" keeps of it, what a click on it
// opens (the click sent as the shell sends it, since Wine's tray tells of none), that a second
// start stays quiet, and that Vorelrun shows and stores nothing.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cwchar>
#include <optional>
#include <string>

#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/win32_registry.h"
#include "resident/first_hints.h"
#include "resident/resident_ids.h"
#include "settings_ui/form_main_win32.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

using testing::WaitFor;

// A balloon tool tip is up on the desktop.
bool BalloonUp() {
  bool found = false;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL CALLBACK {
        wchar_t kind[64]{};
        GetClassNameW(window, kind, 64);
        if (std::wcscmp(kind, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(window) ||
            (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON) == 0)
          return TRUE;
        *reinterpret_cast<bool*>(result) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Long enough for a balloon asked for at the start to be up (Wine shows it two seconds later).
constexpr DWORD kBalloonWaitMs = 8000;

HWND TabOf(HWND form) { return FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr); }

enum class Lists { kNone, kFolderWithoutPictures, kPictures };

struct Story {
  const char* name;
  Lists lists;
  bool changeAtStart;
  std::optional<DWORD> stored;          // "HintShown" before the start
  std::optional<DWORD> backgroundType;  // Windows' "BackgroundType"
  DWORD storedAfter;
  bool balloon;
  bool clickOpensWallpaperPage;
};

class FirstHintsWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FreshResidentSettings(settings_, folder_);
    testing::DeleteUserKey(kWallpapersKeyPath);
  }
  void TearDown() override {
    testing::DeleteUserKey(kSettingsKeyPath);
    testing::DeleteUserKey(kWallpapersKeyPath);
  }
  void Prepare(const Story& story) {
    if (story.lists != Lists::kNone) {
      FolderEntry folder;
      folder.path = pictures_.Path();
      settings_.folders = {folder};
    }
    if (story.lists == Lists::kPictures) {
      const Picture dark{4, 4, std::vector<uint32_t>(16)};
      ASSERT_TRUE(testing::WriteFileBytes(pictures_.File("朝.bmp"), EncodeBmp24(dark)));
    }
    settings_.start = story.changeAtStart;
    ASSERT_TRUE(SaveSettings(settings_, registry_));
    if (story.stored) {
      ASSERT_TRUE(SaveHintShown(*story.stored, registry_));
    }
    if (story.backgroundType) {
      const auto windows = registry_.Open(kWallpapersKeyPath, true);
      ASSERT_TRUE(windows && windows->WriteInt("BackgroundType", static_cast<int32_t>(*story.backgroundType)));
    }
  }
  std::optional<DWORD> Stored() {
    auto key = registry_.Open(kSettingsKeyPath, false);
    if (!key) return std::nullopt;
    auto value = key->ReadInt("HintShown");
    if (!value) return std::nullopt;
    return static_cast<DWORD>(*value);
  }

  // The story from the start: the balloon due comes up once, "HintShown" keeps it, a click on
  // it does what it says, and the next start stays quiet.
  void Tell(const Story& story) {
    SCOPED_TRACE(story.name);
    Prepare(story);
    if (HasFatalFailure()) return;
    ShownOnce(story);
  }
  void ShownOnce(const Story& story);

  testing::TempFolder folder_;
  testing::TempFolder pictures_;
  Settings settings_;
  Win32Registry registry_;
};

void FirstHintsWin32::ShownOnce(const Story& story) {
  testing::RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  // The settings window was left on another page than "壁紙".
  vorelset.Command(kCmdSetting);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(vorelset.FormMain()) != FALSE; }));
  SendMessageW(TabOf(vorelset.FormMain()), TCM_SETCURSEL, kPageCalendar, 0);
  PostMessageW(vorelset.FormMain(), WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(vorelset.FormMain()); }));

  EXPECT_EQ(WaitFor(BalloonUp, kBalloonWaitMs), story.balloon);
  EXPECT_EQ(Stored(), story.storedAfter);
  vorelset.Tray(NIN_BALLOONUSERCLICK);
  vorelset.Settle();
  if (story.clickOpensWallpaperPage) {
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(vorelset.FormMain()) != FALSE; }));
    EXPECT_EQ(SendMessageW(TabOf(vorelset.FormMain()), TCM_GETCURSEL, 0, 0), kPageWallpaper);
    PostMessageW(vorelset.FormMain(), WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(vorelset.FormMain()); }));
  } else {
    Sleep(1000);
    vorelset.Settle();
    EXPECT_FALSE(IsWindowVisible(vorelset.FormMain()));
  }
  EXPECT_EQ(vorelset.Close(), 0u);

  // Once per user: the next start says nothing, also when its change finds no picture now.
  DeleteFileW(ToWide(pictures_.File("朝.bmp")).c_str());
  testing::RunningVorelset again;
  ASSERT_TRUE(again.Start());
  again.Command(kCmdReDraw);
  EXPECT_FALSE(WaitFor(BalloonUp, kBalloonWaitMs));
  EXPECT_EQ(Stored(), story.storedAfter);
  EXPECT_EQ(again.Close(), 0u);
}

TEST_F(FirstHintsWin32, NoListsAskForAFolderAndTheClickOpensThePage) {
  Tell({"no lists", Lists::kNone, false, std::nullopt, std::nullopt, kFirstRunHintShown, true, true});
}

TEST_F(FirstHintsWin32, AChangeAtStartWithoutPicturesAsksForAFolder) {
  Tell({"a folder without pictures", Lists::kFolderWithoutPictures, true, std::nullopt, std::nullopt,
        kFirstRunHintShown, true, true});
}

TEST_F(FirstHintsWin32, PicturesFoundTellWhereVorelLives) {
  Tell({"pictures", Lists::kPictures, false, std::nullopt, std::nullopt, kFirstRunHintShown, true, false});
}

TEST_F(FirstHintsWin32, WindowsSlideshowIsToldOnceAfterTheFirstRun) {
  Tell({"slideshow", Lists::kNone, false, kFirstRunHintShown, 2, kFirstRunHintShown | kWindowsChangerHintShown, true,
        false});
}

TEST_F(FirstHintsWin32, NothingIsToldTwice) {
  Tell({"all told", Lists::kNone, false, kFirstRunHintShown | kWindowsChangerHintShown, 2,
        kFirstRunHintShown | kWindowsChangerHintShown, false, false});
}

// Vorelrun runs once with nothing to show, and Windows' slideshow on: no hint, nothing stored.
TEST(FirstHintsVorelrunWin32, VorelrunShowsAndStoresNoHint) {
  testing::DeleteUserKey(kSettingsKeyPath);
  Win32Registry registry;
  ASSERT_TRUE(registry.Open(kWallpapersKeyPath, true)->WriteInt("BackgroundType", 2));
  const testing::ProgramRun run = testing::RunProgram("\"" + testing::ExeFolder() + "..\\..\\Vorelrun.exe\"", 60000);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(registry.Open(kSettingsKeyPath, false));
  EXPECT_EQ(LoadHintShown(registry), 0u);
  EXPECT_FALSE(BalloonUp());
  testing::DeleteUserKey(kWallpapersKeyPath);
  testing::DeleteUserKey(kSettingsKeyPath);
}

}  // namespace
}  // namespace vorel
