// The rules that hold Vorelset's timed changes, end to end with the real program: a borderless
// window of this test covering the screen in front, the session's lock and disconnection as
// the terminal services report them to the program's window, and the machine unplugged from a
// power supply of this run's own (with_power_supply.sh), which the program reads itself.
// Wine 8 raises no event when the window in front changes; where Windows would, the test
// raises it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/win32_registry.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

using testing::CountLines;
using testing::RunningVorelset;

// Lets this test's own window be served while it waits.
void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  } while (GetTickCount() - start < ms);
}

template <typename Condition>
bool PumpUntil(Condition condition, DWORD timeoutMs = 15000) {
  return testing::WaitFor(
      [&] {
        Pump(0);
        return condition();
      },
      timeoutMs);
}

// A borderless window over the whole primary screen, in front: a game, a film, a slide show.
class FullScreenWindow {
 public:
  FullScreenWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VorelTestFullScreen";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                              wc.hInstance, nullptr);
    SetForegroundWindow(window_);
    Pump(200);
  }
  ~FullScreenWindow() { Close(); }
  bool InFront() const { return window_ && GetForegroundWindow() == window_; }
  void Close() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    Pump(100);
  }

 private:
  HWND window_ = nullptr;
};

// The power supply of this run: a mains adapter and a battery whose files the runner laid out
// and the program's GetSystemPowerStatus reads. Empty where the runner could not make one.
std::string PowerSupply() {
  const char* folder = std::getenv("VOREL_POWER_SUPPLY");
  return folder ? folder : "";
}

bool Unplug(bool unplugged) {
  const std::string folder = PowerSupply();
  return testing::WriteFileBytes(folder + "\\AC\\online", unplugged ? "0\n" : "1\n") &&
         testing::WriteFileBytes(folder + "\\BAT0\\status", unplugged ? "Discharging\n" : "Charging\n");
}

class HoldChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = testing::FreshResidentSettings(settings_, folder_);
    for (uint32_t i = 0; i < 3; ++i) {
      Picture p{320 + 40 * static_cast<int32_t>(i), 240,
                std::vector<uint32_t>(static_cast<size_t>(320 + 40 * i) * 240, 0x102030u * (i + 1))};
      ASSERT_TRUE(testing::WriteFileBytes(pictures_.File("絵" + std::to_string(i) + ".bmp"), EncodeBmp24(p)));
    }
    FolderEntry folder;
    folder.path = pictures_.Path();
    settings_.folders = {folder};
    settings_.interval = true;
  }
  void TearDown() override { testing::DeleteUserKey(kSettingsKeyPath); }
  void Store() {
    Win32Registry registry;
    ASSERT_TRUE(SaveSettings(settings_, registry));
  }
  int Changes() const { return CountLines(log_); }
  bool WaitForChanges(int n, DWORD timeoutMs = 15000) const {
    return PumpUntil([&] { return Changes() >= n; }, timeoutMs);
  }
  // The changes once none has come for a while (a follow-up program may start late).
  int Settled() const { return testing::SettledLines(log_); }
  // Changes that came during ms of waiting, this test's windows served meanwhile.
  int ChangesDuring(DWORD ms) const {
    const int before = Changes();
    Pump(ms);
    return Changes() - before;
  }
  void Send(HWND window, UINT message, WPARAM wParam) const {
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, message, wParam, 0, SMTO_NORMAL, 15000, &result));
  }

  testing::TempFolder folder_;
  testing::TempFolder pictures_;
  Settings settings_;
  std::string log_;
};

TEST_F(HoldChanges, AFullScreenWindowInFrontHoldsTheIntervalAndItsEndGivesOneChange) {
  for (const bool rule : {false, true}) {
    SCOPED_TRACE(rule ? "HoldFullScreen on" : "HoldFullScreen off");
    settings_.holdFullScreen = rule;
    settings_.start = true;
    // With the rule on, the interval is long enough that no expiry falls near the window's end:
    // the change then can only come from the program noticing the window go.
    settings_.changeTime = rule ? 20 : 1;
    Store();
    DeleteFileW(ToWide(log_).c_str());
    RunningVorelset vorelset;
    ASSERT_TRUE(vorelset.Start());
    ASSERT_TRUE(WaitForChanges(1));
    FullScreenWindow window;
    ASSERT_TRUE(window.InFront());
    if (!rule) {
      // Without the switch the changes go on under it.
      const int now = Changes();
      EXPECT_TRUE(WaitForChanges(now + 3));
      EXPECT_EQ(vorelset.Close(), 0u);
      continue;
    }
    // A change asked for from the menu runs all the same; the interval counts from its end.
    const int before = Settled();
    vorelset.Command(kCmdReDraw);
    ASSERT_TRUE(WaitForChanges(before + 1));
    const int held = Changes();
    EXPECT_EQ(ChangesDuring(22000), 0) << "the interval's expiry passed under the window";
    ASSERT_TRUE(window.InFront());
    // Closed: one change for the kept expiry long before the next one is due, then the
    // interval goes on from that change.
    window.Close();
    // Windows raises the event of another window in front itself; Wine 8 raises none, so the
    // test raises it as Windows would. The hold above was found without it, at the expiry.
    const HWND front = GetForegroundWindow();
    NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, front ? front : GetDesktopWindow(), OBJID_WINDOW, CHILDID_SELF);
    EXPECT_TRUE(WaitForChanges(held + 1, 10000));
    EXPECT_EQ(ChangesDuring(3000), 0);
    EXPECT_TRUE(WaitForChanges(held + 2, 30000));
    EXPECT_TRUE(vorelset.Alive());
    EXPECT_EQ(vorelset.Close(), 0u);
  }
}

TEST_F(HoldChanges, ALockedOrDisconnectedSessionHoldsTheIntervalUntilItIsBack) {
  settings_.holdLocked = true;
  settings_.changeTime = 1;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));
  Send(vorelset.FormMain(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  const int held = Settled();
  EXPECT_EQ(ChangesDuring(3000), 0);
  // The remote client goes away, then the lock screen is passed: still no one sees the desk.
  Send(vorelset.FormMain(), WM_WTSSESSION_CHANGE, WTS_REMOTE_DISCONNECT);
  Send(vorelset.FormMain(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_EQ(ChangesDuring(2500), 0);
  // The client back: one change at once, then the interval again.
  Send(vorelset.FormMain(), WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT);
  EXPECT_TRUE(WaitForChanges(held + 1, 10000));
  EXPECT_TRUE(WaitForChanges(held + 3));
  EXPECT_EQ(vorelset.Close(), 0u);
}

TEST_F(HoldChanges, OnBatteryTheIntervalWaitsForTheMains) {
  if (PowerSupply().empty()) GTEST_SKIP() << "no power supply of this run's own (see with_power_supply.sh)";
  ASSERT_TRUE(Unplug(false));
  settings_.holdBattery = true;
  settings_.changeTime = 1;
  Store();
  RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start());
  ASSERT_TRUE(WaitForChanges(1));
  // The message alone, on the mains, holds nothing: the program reads the status itself.
  Send(vorelset.FormMain(), WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_TRUE(WaitForChanges(Changes() + 2));
  ASSERT_TRUE(Unplug(true));
  Send(vorelset.FormMain(), WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  const int held = Settled();
  EXPECT_EQ(ChangesDuring(3000), 0);
  ASSERT_TRUE(Unplug(false));
  Send(vorelset.FormMain(), WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_TRUE(WaitForChanges(held + 1, 10000));
  // Unplugged again, then plugged in without a word from the system: the next expiry reads
  // the status again and changes.
  ASSERT_TRUE(Unplug(true));
  Send(vorelset.FormMain(), WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  const int again = Settled();
  EXPECT_EQ(ChangesDuring(2500), 0);
  ASSERT_TRUE(Unplug(false));
  EXPECT_TRUE(WaitForChanges(again + 1));
  EXPECT_EQ(vorelset.Close(), 0u);
}

}  // namespace
}  // namespace vorel
