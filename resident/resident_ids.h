// What the shell and the tests see of Vorelset from outside: window classes, the tray's
// callback and the pop-up menu's command numbers.
#pragma once

#include <windows.h>

namespace vorel {

inline constexpr const wchar_t* kTrayFormClass = L"TFormStart";           // tray form and about window
inline constexpr const wchar_t* kTaskBarWindowClass = L"TTaskBar.Vorel";  // the tray icon's message window
inline constexpr const wchar_t* kFormMainClass = L"TFormMain";            // the settings window

inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kTrayCallbackMessage = 0x8064;  // WM_APP + 100

// Pop-up menu items, sent as WM_COMMAND to the tray form.
enum TrayCommand : UINT {
  kCmdHelp = 101,     // PopupMenuHelp
  kCmdAbout = 102,    // PopupMenuAbout
  kCmdReDraw = 103,   // PopupMenuReDraw
  kCmdErase = 104,    // K1
  kCmdStop = 105,     // PopupMenuStop
  kCmdScreen = 106,   // PopupMenuScreen
  kCmdSetting = 107,  // PopupMenuSetting
  kCmdClose = 108,    // PopupMenuClose
  kCmdPrev = 109,         // PopupMenuPrev "前の壁紙に戻す"
  kCmdOpenPicture = 110,  // PopupMenuOpen "この絵を開く"
  kCmdOpenFolder = 111,   // PopupMenuOpenFolder "この絵のフォルダーを開く"
  kCmdExclude = 112,      // PopupMenuExclude "この絵を今後使わない"
  // Without a menu item: the command line's "/pause" and "/resume" set the state the menu
  // item toggles.
  kCmdPause = 113,
  kCmdResume = 114,
};

// The caption that tells a second Vorelset's search the tray form from other programs'
// windows of the same class name.
inline constexpr const wchar_t* kTrayFormCaption = L"Vorel セットアップ";
// A command handed over by a second Vorelset, posted by the tray form to itself so that the
// sender is answered at once: wParam the RemoteCommand.
inline constexpr UINT kRemoteCommandMessage = WM_APP + 33;
// The system-wide keys, by their ids: 1 + HotKeyAction.
inline constexpr int kFirstHotKeyId = 1;

}  // namespace vorel
