// Steering the wallpaper by hand, end to end with the real programs: back and forward through
// the history with the order untouched, Vorelrun's change one step back for Vorelset, a picture
// never used again after a restart (in both programs), every switch of a second Vorelset with
// its exit codes, a hot key typed with SendInput, and the picture and its folder opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "change/load_picture_win32.h"
#include "engine/bmp_file.h"
#include "engine/fit_picture.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "resident/hot_keys.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/program_pictures.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/resident_fixture.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

using testing::RunningVorelset;
using testing::WaitFor;

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiW(ToWide(a).c_str(), ToWide(b).c_str()) == 0;
}

std::string Exe(const char* name) { return "\"" + testing::ExeFolder() + "..\\..\\" + name + "\""; }

// One of the programs started without waiting for it; its process.
UniqueKernelHandle Started(const char* name) {
  std::wstring line = ToWide(Exe(name));
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  CloseHandle(pi.hThread);
  return UniqueKernelHandle(pi.hProcess);
}

class SteeringWin32 : public testing::ResidentFixture {
 protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    // List order: the changes show 1, 2, 0, 1, ...; the order's values say where it stands.
    settings_.inOrder = true;
    settings_.vorelrun = false;
  }

  // One command from the menu, and the change it makes.
  void Change(const RunningVorelset& vorelset, UINT command, int expectShown) {
    const int before = Changes();
    vorelset.Command(command);
    ASSERT_TRUE(WaitForChanges(before + 1)) << "command " << command;
    EXPECT_TRUE(WaitFor([&] { return Shown() == expectShown; }, 5000)) << "shows " << Shown();
  }
  // The persistent order's values as stored.
  std::vector<std::string> Order() const {
    Win32Registry registry;
    const auto key = registry.Open(kSettingsKeyPath, true);
    std::vector<std::string> values;
    for (const char* name : {"Order", "FileNumMax"}) values.push_back(std::to_string(key->ReadInt(name).value_or(-1)));
    for (int k = 0; k < 3; ++k) values.push_back(key->ReadText("FileList" + std::to_string(k)).text);
    return values;
  }
  WallpaperHistory History() const {
    Win32Registry registry;
    return LoadHistory(registry);
  }
  std::vector<int> HistoryPictures() const {
    std::vector<int> shown;
    for (const HistoryEntry& entry : History().entries) {
      int which = -1;
      for (uint32_t i = 0; i < pictures_.size(); ++i)
        if (SamePath(entry.front().path, PicturePath(i))) which = static_cast<int>(i);
      shown.push_back(which);
    }
    return shown;
  }
  testing::ProgramRun Vorelset(const std::string& arguments) {
    return testing::RunProgram(Exe("Vorelset.exe") + " " + arguments, 90000);
  }
};

TEST_F(SteeringWin32, BackAndForwardLeaveTheOrderAlone) {
  settings_.start = true;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));
  ASSERT_TRUE(WaitFor([&] { return Shown() == 1; }, 5000));
  Change(vorelset, kCmdReDraw, 2);
  Change(vorelset, kCmdReDraw, 0);
  const std::vector<std::string> order = Order();
  EXPECT_EQ(HistoryPictures(), (std::vector<int>{1, 2, 0}));

  // Back twice: the pictures before, the order as it was.
  Change(vorelset, kCmdPrev, 2);
  Change(vorelset, kCmdPrev, 1);
  EXPECT_EQ(Order(), order);
  EXPECT_EQ(History().position, 0u);
  // The changes walk forward first, then go on from the order where it stood.
  Change(vorelset, kCmdReDraw, 2);
  Change(vorelset, kCmdReDraw, 0);
  EXPECT_EQ(Order(), order);
  Change(vorelset, kCmdReDraw, 1);
  EXPECT_NE(Order(), order);
  EXPECT_EQ(HistoryPictures(), (std::vector<int>{1, 2, 0, 1}));

  // A picture whose file is gone is passed over and dropped from the history.
  ASSERT_TRUE(DeleteFileW(ToWide(PicturePath(0)).c_str()));
  Change(vorelset, kCmdPrev, 2);
  EXPECT_EQ(HistoryPictures(), (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(History().position, 1u);
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(SteeringWin32, AVorelrunChangeIsOneStepBackForVorelset) {
  Store();
  for (const int expect : {1, 2}) {
    const testing::ProgramRun run = testing::RunProgram(Exe("Vorelrun.exe"), 60000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Shown(), expect);
  }
  EXPECT_EQ(HistoryPictures(), (std::vector<int>{1, 2}));
  const std::vector<std::string> order = Order();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  Change(vorelset, kCmdPrev, 1);
  EXPECT_EQ(Order(), order);
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(SteeringWin32, AnExcludedPictureNeverComesBackAfterARestart) {
  // Picture 0 also in the file list, written as Windows reads it but not as the folder gives it.
  std::string other = PicturePath(0);
  for (char& c : other)
    if (c == '\\') c = '/';
  for (char& c : other) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  settings_.pictures = {PictureEntry{.path = other}};
  settings_.start = true;
  Store();
  {
    RunningVorelset vorelset;
    ASSERT_TRUE(vorelset.Start());
    ASSERT_TRUE(WaitForChanges(1));
    // In list order the first choice is the second candidate: the folder's picture 0.
    ASSERT_TRUE(WaitFor([&] { return Shown() == 0; }, 5000));
    const int before = Changes();
    vorelset.Command(kCmdExclude);
    ASSERT_TRUE(WaitForChanges(before + 1));  // a change follows at once
    EXPECT_NE(Shown(), 0);
    EXPECT_EQ(vorelset.Close(), 0u);
  }
  Win32Registry registry;
  const std::vector<std::string> excluded = LoadExcluded(registry);
  ASSERT_EQ(excluded.size(), 1u);
  EXPECT_TRUE(SamePath(excluded[0], PicturePath(0))) << excluded[0];

  RunningVorelset again;
  ASSERT_TRUE(again.Start());
  ASSERT_TRUE(WaitForChanges(3));
  for (int n = 0; n < 4; ++n) {
    const int before = Changes();
    again.Command(kCmdReDraw);
    ASSERT_TRUE(WaitForChanges(before + 1));
    EXPECT_NE(Shown(), 0) << "change " << n;
  }
  EXPECT_EQ(again.Close(), 0u);
  for (int n = 0; n < 2; ++n) {
    ASSERT_TRUE(testing::RunProgram(Exe("Vorelrun.exe"), 60000).finished);
    EXPECT_NE(Shown(), 0) << "Vorelrun's change " << n;
  }
}

TEST_F(SteeringWin32, EverySwitchAndTheThreeExitCodes) {
  // Nothing runs: nothing to hand over; an unknown switch hands nothing over either.
  EXPECT_EQ(Vorelset("/next").exitCode, 1u);
  EXPECT_EQ(Vorelset("/bogus").exitCode, 2u);
  EXPECT_EQ(Vorelset("-NEXT /bogus").exitCode, 2u);
  EXPECT_EQ(Changes(), 0);

  // Only Vorelrun holds "Vorel" (waiting its delay): no Vorelset to tell, at once.
  settings_.delayTime = 6;
  Store();
  {
    const UniqueKernelHandle process = Started("Vorelrun.exe");
    ASSERT_TRUE(process);
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"TFormMain.Vorelrun", nullptr) != nullptr; }));
    const testing::ProgramRun run = Vorelset("/next");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_LT(run.elapsedMs, 5000u);
    WaitForSingleObject(process.Get(), 60000);
  }

  // A Vorelset just started takes the command once its window is there.
  settings_.delayTime = 0;
  settings_.interval = true;
  settings_.changeTime = 1;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(Started("Vorelset.exe"));
  EXPECT_EQ(Vorelset("/Pause").exitCode, 0u);
  ASSERT_TRUE(WaitFor([&] { return vorelset.TrayForm() != nullptr; }));
  vorelset.Settle();
  // Paused, twice (no toggling): the one-second interval changes nothing.
  const int held = testing::SettledLines(log_);
  EXPECT_EQ(Vorelset("-pause").exitCode, 0u);
  Sleep(2500);
  EXPECT_EQ(Changes(), held);

  // Every command of a running Vorelset.
  EXPECT_EQ(Vorelset("/next").exitCode, 0u);
  EXPECT_TRUE(WaitForChanges(held + 1));
  EXPECT_EQ(Vorelset("/next").exitCode, 0u);
  EXPECT_TRUE(WaitForChanges(held + 2));
  const WallpaperHistory history = History();
  ASSERT_GE(history.position, 1u);
  const std::string before = history.entries[history.position - 1].front().path;
  EXPECT_EQ(Vorelset("/prev").exitCode, 0u);
  EXPECT_TRUE(WaitForChanges(held + 3));
  EXPECT_TRUE(WaitFor([&] { return Shown() >= 0 && SamePath(PicturePath(static_cast<uint32_t>(Shown())), before); }));
  EXPECT_EQ(Vorelset("/exclude").exitCode, 0u);
  EXPECT_TRUE(WaitForChanges(held + 4));
  EXPECT_TRUE(WaitFor([&] {
    Win32Registry r;
    return LoadExcluded(r).size() == 1;
  }));
  EXPECT_EQ(Vorelset("/erase").exitCode, 0u);
  EXPECT_TRUE(WaitFor([] { return testing::DesktopValue("Wallpaper").empty(); }));
  EXPECT_EQ(Vorelset("/resume").exitCode, 0u);
  // The menu's erase starts the follow-up program without its parameters: no line of its own.
  EXPECT_TRUE(WaitForChanges(held + 6)) << "the interval changes again";
  EXPECT_EQ(Vorelset("/settings").exitCode, 0u);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(vorelset.FormMain()) != FALSE; }));
  PostMessageW(vorelset.FormMain(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(vorelset.FormMain()); }));
  // Without a switch: the running one keeps the other out, as always.
  EXPECT_EQ(Vorelset("picture.bmp").exitCode, static_cast<DWORD>(-1));
  EXPECT_EQ(Vorelset("/EXIT").exitCode, 0u);
  EXPECT_TRUE(WaitFor([] { return FindWindowW(kTrayFormClass, kTrayFormCaption) == nullptr; }));
  EXPECT_EQ(Vorelset("/next").exitCode, 1u);
}

// Key presses as a keyboard makes them, through the system's input.
void Type(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *--key;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST_F(SteeringWin32, AHotKeyTypedWithSendInputChangesTheWallpaper) {
  // Ctrl+Alt+F9 for the next picture; Ctrl+Alt+F10 for back, which this test holds first.
  settings_.hotKeyNext = (kHotKeyControl | kHotKeyAlt) << 8 | VK_F9;
  settings_.hotKeyPrev = (kHotKeyControl | kHotKeyAlt) << 8 | VK_F10;
  ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F10));
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  Type({VK_CONTROL, VK_MENU, VK_F9});
  ASSERT_TRUE(WaitForChanges(1));
  EXPECT_TRUE(WaitFor([&] { return Shown() == 1; }, 5000));
  Type({VK_CONTROL, VK_MENU, VK_F9});
  ASSERT_TRUE(WaitForChanges(2));

  // After OK the key another program holds is named in a message box.
  vorelset.Command(kCmdSetting);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(vorelset.FormMain()) != FALSE; }));
  PostMessageW(vorelset.FormMain(), WM_COMMAND, IDOK, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = FindWindowW(L"#32770", L"Vorel")) != nullptr; }));
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t line[512]{};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(child, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(line), SMTO_NORMAL, 5000, &got);
    text += ToUtf8(line);
  }
  EXPECT_NE(text.find("前の壁紙に戻す"), std::string::npos) << text;
  EXPECT_NE(text.find("Ctrl+Alt+F10"), std::string::npos) << text;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  // The keys it has are registered again after OK.
  Type({VK_CONTROL, VK_MENU, VK_F9});
  EXPECT_TRUE(WaitForChanges(3));
  UnregisterHotKey(nullptr, 1);
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(SteeringWin32, OpensThePictureAndItsFolder) {
  // The pictures' own type, opened by a program that writes down what it was given.
  const std::string opened = folder_.File("opened.log");
  {
    UniqueKey type;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L".vtpic", 0, nullptr, 0, KEY_WRITE, nullptr, type.Put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring name = L"VorelTest.Picture";
    RegSetValueExW(type.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    UniqueKey command;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"VorelTest.Picture\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE,
                              nullptr, command.Put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring line =
        ToWide("\"" + testing::FixturePath("follow_up\\follow_up.exe") + "\" \"" + opened + "\" \"%1\"");
    RegSetValueExW(command.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                   static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t)));
  }
  const std::string picture = pictureFolder_.File("海.vtpic");
  ASSERT_TRUE(testing::WriteFileBytes(picture, EncodeBmp24(testing::SeededPicture(320, 200, 5))));
  settings_.folders.clear();
  settings_.pictures = {PictureEntry{.path = picture}};
  settings_.start = true;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));
  vorelset.Command(kCmdOpenPicture);
  ASSERT_TRUE(WaitFor([&] { return testing::CountLines(opened) >= 1; }));
  std::string line = testing::ReadFileBytes(opened);
  line.erase(line.find_last_not_of("\r\n") + 1);
  EXPECT_TRUE(SamePath(line, picture)) << line;

  // Explorer shows the picture's folder.
  const std::string folderName = pictureFolder_.Path().substr(pictureFolder_.Path().find_last_of('\\') + 1);
  const auto explorerShowsIt = [&] {
    bool found = false;
    for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
      wchar_t title[512]{};
      GetWindowTextW(w, title, 512);
      found = IsWindowVisible(w) && ToUtf8(title).find(folderName) != std::string::npos;
    }
    return found;
  };
  EXPECT_FALSE(explorerShowsIt());
  vorelset.Command(kCmdOpenFolder);
  EXPECT_TRUE(WaitFor(explorerShowsIt, 30000));
  EXPECT_EQ(vorelset.Close(), 0u);
}

}  // namespace
}  // namespace vorel
