// The settings window of the running Vorelset.exe, opened from the tray's "設定" and driven
// from outside through its controls, as the shell and a user reach them; the registry and
// the wallpaper file are inspected afterwards.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "change/compose_win32.h"
#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

// The window's waits are given more time than the shared default.
template <typename Condition>
bool WaitFor(Condition condition) {
  return testing::WaitFor(condition, 20000);
}

std::string Text(HWND window) {
  wchar_t text[512] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &copied);
  return ToUtf8(text);
}

struct Search {
  const wchar_t* className;
  std::string text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
  auto* s = reinterpret_cast<Search*>(data);
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (_wcsicmp(name, s->className) != 0 || Text(child) != s->text) return TRUE;
  s->found = child;
  return FALSE;
}

// A control of the window, at any depth, by its class and its text.
HWND Find(HWND root, const wchar_t* className, const std::string& text) {
  Search search{className, text};
  EnumChildWindows(root, &MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result) != 0;
}

// The running program with the steps of its settings window.
class RunningVorelset : public testing::RunningVorelset {
 public:
  // "設定" from the tray's menu; true once the window shows.
  bool OpenSettings() const {
    Command(kCmdSetting);
    return WaitFor([this] { return IsWindowVisible(FormMain()) != FALSE; });
  }
  // The page chosen as the keyboard does it, from the first page on.
  bool ShowPage(int index) const {
    const HWND tab = FindWindowExW(FormMain(), nullptr, WC_TABCONTROLW, nullptr);
    for (int i = 0; i < index; ++i) {
      PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 1);
      PostMessageW(tab, WM_KEYUP, VK_RIGHT, 0xC0000001);
    }
    return WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == index; });
  }
  HWND CheckBox(const std::string& caption) const { return Find(FormMain(), L"Button", caption); }
};

class VorelsetSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = testing::FreshResidentSettings(settings_, folder_);
    picture_ = Picture{480, 360, std::vector<uint32_t>(480 * 360)};
    for (size_t i = 0; i < picture_.pixels.size(); ++i) picture_.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    for (uint32_t& p : picture_.pixels) p &= 0xFFFFFF;
    ASSERT_TRUE(testing::WriteFileBytes(pictures_.File("絵.bmp"), EncodeBmp24(picture_)));
    FolderEntry folder;
    folder.path = pictures_.Path();
    settings_.folders = {folder};
  }
  void TearDown() override { testing::DeleteUserKey(kSettingsKeyPath); }

  void Store() {
    Win32Registry registry;
    ASSERT_TRUE(SaveSettings(settings_, registry));
  }
  std::optional<int32_t> Stored(const char* name) {
    Win32Registry registry;
    return registry.Open(kSettingsKeyPath, true)->ReadInt(name);
  }
  int Changes() const { return testing::CountLines(log_); }
  // The wallpaper file holds the picture alone, centred on the 1024 x 768 screen: no calendar.
  bool PictureAlone() const {
    Picture fitted = picture_;
    FitPicture(fitted, {{false, 4, false, false}, 0, 0, 1024, 768}, DesktopColour);
    return testing::ReadBmpFile(settings_.wallFile) == fitted;
  }

  testing::TempFolder folder_;
  testing::TempFolder pictures_;
  Settings settings_;
  Picture picture_;
  std::string log_;
};

TEST_F(VorelsetSettings, ACheckBoxTickedAndOkIsInTheRegistry) {
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(vorelset.OpenSettings());
  ASSERT_TRUE(vorelset.ShowPage(1));  // "張り替えかた"
  const HWND start = vorelset.CheckBox("起動したときに書き換える");
  ASSERT_NE(start, nullptr);
  ASSERT_TRUE(Send(start, BM_CLICK));
  EXPECT_EQ(SendMessageW(start, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Stored("Start"), 0);  // not before OK
  const HWND ok = Find(vorelset.FormMain(), L"Button", "OK");
  ASSERT_NE(ok, nullptr);
  ASSERT_TRUE(Send(ok, BM_CLICK));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(vorelset.FormMain()); }));
  EXPECT_EQ(Stored("Start"), 1);
  EXPECT_EQ(vorelset.Close(), 0u);
  EXPECT_EQ(Stored("Start"), 1);
}

TEST_F(VorelsetSettings, ATimedChangeWhileTheWindowIsOpenTakesItsUnsavedEdit) {
  settings_.calender = true;
  settings_.interval = true;
  settings_.changeTime = 1;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitFor([&] { return Changes() >= 1; }));
  EXPECT_FALSE(PictureAlone());  // the calendar is on it
  ASSERT_TRUE(vorelset.OpenSettings());
  ASSERT_TRUE(vorelset.ShowPage(2));  // "カレンダー"
  const HWND calendar = vorelset.CheckBox("カレンダーを表示する");
  ASSERT_NE(calendar, nullptr);
  ASSERT_TRUE(Send(calendar, BM_CLICK));
  ASSERT_EQ(SendMessageW(calendar, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // A run in progress at the click may still draw the calendar; the ones after it do not.
  const int atClick = Changes();
  ASSERT_TRUE(WaitFor([&] { return Changes() >= atClick + 2; }));
  EXPECT_TRUE(WaitFor([&] { return PictureAlone(); }));
  EXPECT_TRUE(IsWindowVisible(vorelset.FormMain()));

  // The close box: the edit stays for the running program, the key keeps the opening's value.
  PostMessageW(vorelset.FormMain(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(vorelset.FormMain()); }));
  const int afterClose = Changes();
  ASSERT_TRUE(WaitFor([&] { return Changes() >= afterClose + 2; }));
  EXPECT_TRUE(WaitFor([&] { return PictureAlone(); }));
  EXPECT_EQ(Stored("Calender"), 1);
  EXPECT_EQ(vorelset.Close(), 0u);
  EXPECT_EQ(Stored("Calender"), 1);
}

}  // namespace
}  // namespace vorel
