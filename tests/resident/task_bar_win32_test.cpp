// The tray component in this process: which notifications fire OnTrayClick, the record the
// shell is handed, and the icon put back when Explorer starts again.
#include "resident/task_bar_win32.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "resident/resident_ids.h"

namespace vorel {
namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(TaskBarWin32, PressesFireTheirButtonAndNothingElseDoes) {
  TTaskBar bar;
  ASSERT_TRUE(bar.Create(LoadIconW(nullptr, IDI_APPLICATION)));
  bar.Loaded();
  std::vector<int> clicks;
  bar.OnTrayClick = [&](int button) { clicks.push_back(button); };
  for (const UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                           WM_MBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_LBUTTONDOWN})
    SendMessageW(bar.Handle(), kTrayCallbackMessage, kTrayIconId, mouse);
  // The releases open no menu, since none is assigned; a message of another number is ignored.
  SendMessageW(bar.Handle(), kTrayCallbackMessage, kTrayIconId, WM_RBUTTONUP);
  SendMessageW(bar.Handle(), kTrayCallbackMessage + 1, kTrayIconId, WM_LBUTTONDOWN);
  EXPECT_EQ(clicks, (std::vector<int>{0, 1, 2, 0}));
  Pump();
}

TEST(TaskBarWin32, TheRecordCarriesTheNamedFieldsAndATipOfAtMost63Characters) {
  TTaskBar bar;
  ASSERT_TRUE(bar.Create(LoadIconW(nullptr, IDI_APPLICATION)));
  bar.Loaded();
  bar.SetTips(std::string(300, 'a'));
  const NOTIFYICONDATAW& record = bar.Record();
  EXPECT_EQ(record.hWnd, bar.Handle());
  EXPECT_EQ(record.uID, kTrayIconId);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(record.uCallbackMessage, kTrayCallbackMessage);
  EXPECT_EQ(std::wstring(record.szTip), std::wstring(63, L'a'));
  // Without an icon of its own the application's icon is shown.
  EXPECT_EQ(record.hIcon, LoadIconW(nullptr, IDI_APPLICATION));
  bar.SetIcon(LoadIconW(nullptr, IDI_WARNING));
  EXPECT_NE(bar.Record().hIcon, nullptr);
  EXPECT_NE(bar.Record().hIcon, LoadIconW(nullptr, IDI_APPLICATION));
  // Explorer started again: the window answers the broadcast and keeps working.
  SendMessageW(bar.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(IsWindow(bar.Handle()));
  EXPECT_EQ(bar.Record().uID, kTrayIconId);
}

// The balloon handed to the shell: NIF_INFO with the title and the text cut to their fields,
// the icon of its kind; the tray's later refreshes do not hand it again; and the shell's
// balloon notices reach OnBalloonEvent while the mouse's do not.
TEST(TaskBarWin32, TheBalloonIsHandedOnceWithItsTextsAndItsNoticesComeBack) {
  TTaskBar bar;
  ASSERT_TRUE(bar.Create(LoadIconW(nullptr, IDI_APPLICATION)));
  bar.Loaded();
  const std::string text = "絵が見つかりません。" + std::string(300, 'x');
  EXPECT_TRUE(bar.ShowBalloon("Vorel", text, false));
  const NOTIFYICONDATAW& balloon = bar.Balloon();
  EXPECT_EQ(balloon.uFlags & NIF_INFO, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(std::wstring(balloon.szInfoTitle), L"Vorel");
  const std::wstring wide(balloon.szInfo);
  EXPECT_EQ(wide.size(), std::size(balloon.szInfo) - 1);
  EXPECT_EQ(wide.substr(0, 10), L"絵が見つかりません。");
  EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
  EXPECT_EQ(balloon.uID, kTrayIconId);
  EXPECT_EQ(bar.Record().uFlags & NIF_INFO, 0u);
  bar.SetTips("Vorel");
  EXPECT_EQ(bar.Record().uFlags & NIF_INFO, 0u);
  EXPECT_TRUE(bar.ShowBalloon(std::string(100, 't'), "x", true));
  EXPECT_EQ(bar.Balloon().dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_EQ(std::wstring(bar.Balloon().szInfoTitle).size(), std::size(bar.Balloon().szInfoTitle) - 1);

  std::vector<UINT> events;
  bar.OnBalloonEvent = [&](UINT event) { events.push_back(event); };
  for (const UINT notice : {NIN_BALLOONSHOW, WM_LBUTTONDOWN, NIN_BALLOONUSERCLICK, NIN_BALLOONTIMEOUT, NIN_BALLOONHIDE})
    SendMessageW(bar.Handle(), kTrayCallbackMessage, kTrayIconId, notice);
  EXPECT_EQ(events, (std::vector<UINT>{NIN_BALLOONSHOW, NIN_BALLOONUSERCLICK, NIN_BALLOONTIMEOUT, NIN_BALLOONHIDE}));

  // No icon in the tray, no balloon.
  bar.SetEnableTaskTray(false);
  EXPECT_FALSE(bar.ShowBalloon("Vorel", "x", false));
  Pump();
}

}  // namespace
}  // namespace vorel
