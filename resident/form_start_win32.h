// TFormStart: Vorelset's main form. Hidden, it owns the tray icon and its pop-up menu and
// carries out the menu and the left click; shown modally, it is the about window.
#pragma once

#include <windows.h>

#include "platform/dpi_win32.h"
#include "platform/tool_tip_win32.h"
#include "platform/unique_handle.h"
#include "platform/window_win32.h"
#include "resident/task_bar_win32.h"

namespace vorel {

class TFormMain;

inline constexpr const char* kHomePage = "https://example.jp/vorel/";
inline constexpr const char* kTipRunning = "Vorel";
inline constexpr const char* kTipPaused = "Vorel（書き換え一時停止中）";

class TFormStart final : public Window {
 public:
  TFormStart() = default;
  ~TFormStart() override = default;

  // Created hidden; the tray icon goes in at once.
  bool Create();
  // The settings window the menu and the left click act on; set right after it exists.
  void SetFormMain(TFormMain* formMain) { formMain_ = formMain; }

  // The about window ("ヴァージョン情報", the settings window's "About").
  void ShowAbout();

  // Menu items and the left click, by their names.
  void PopupMenuHelpClick();
  void PopupMenuReDrawClick();
  void K1Click();
  void PopupMenuStopClick();
  void PopupMenuScreenClick();
  void PopupMenuSettingClick();
  void PopupMenuCloseClick();
  void TaskBarTrayClick(int button);

  TTaskBar& TaskBar() { return taskBar_; }
  HWND OkButton() const { return bitBtnOk_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  static constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
  void CreatePopupMenu1();
  // The tray's icons at the small-icon size the taskbar asks for at dpi, the one shown kept.
  void TrayIcons(int dpi);
  // The about picture, its button and the window's icons at the window's DPI.
  void LayOutAbout();
  void Paint();
  void ShowPauseCaption(bool paused);
  void EndSession();

  TFormMain* formMain_ = nullptr;
  TTaskBar taskBar_;
  UniqueMenu menuBar_;  // holds PopupMenu1 as its one submenu
  HMENU popupMenu1_ = nullptr;
  UniqueBitmap imageAbout_;
  UniqueIcon imageIconStop_;
  UniqueIcon imageIconNonStop_;
  UniqueIcon applicationIcon_;
  bool showingPaused_ = false;  // which of the two the tray shows
  HWND bitBtnOk_ = nullptr;
  UniqueFont okFont_;
  WindowIcons icons_;
  ToolTips hints_;
};

}  // namespace vorel
