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
};

}  // namespace vorel
