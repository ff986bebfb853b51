// TFormStart: Vorelset's main form. Hidden, it owns the tray icon and its pop-up menu and
// carries out the menu and the left click; shown modally, it is the about window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/dpi_win32.h"
#include "platform/tool_tip_win32.h"
#include "platform/unique_handle.h"
#include "platform/window_win32.h"
#include "resident/task_bar_win32.h"

namespace vorel {

class TFormMain;

inline constexpr const char* kHomePage = "https://example.jp/vorel/";

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

  // Every command the user can give, whatever gave it: the menu, a hot key, a second
  // Vorelset's command line. The menu's items and the left click, by their names, are these.
  void RunCommand(UINT command);
  void PopupMenuHelpClick();
  void PopupMenuReDrawClick();
  void PopupMenuPrevClick();
  void K1Click();
  void PopupMenuStopClick();
  void PopupMenuScreenClick();
  void PopupMenuOpenClick();
  void PopupMenuOpenFolderClick();
  void PopupMenuExcludeClick();
  void PopupMenuSettingClick();
  void PopupMenuCloseClick();
  void TaskBarTrayClick(int button);
  // The pause as "書き換え一時停止" sets it, for "/pause" and "/resume": setting it again
  // changes nothing.
  void SetPaused(bool paused);

  // The system-wide keys of the settings registered anew. The combinations another program
  // holds are named in the tray's tip, and with report (after OK) in a message box as well.
  void RegisterHotKeys(bool report);
  // Every key let go (while the settings window is open, and at the end).
  void UnregisterHotKeys();
  // The tip after a change of the picture or the pause.
  void UpdateTip();
  HMENU PopupMenu() const { return popupMenu1_; }

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
  // The items that need a picture or a history are greyed while there is none.
  void UpdateMenuStates();
  // WM_COPYDATA from a second Vorelset: TRUE when it carried a command, which then runs.
  LRESULT CopyDataReceived(const COPYDATASTRUCT& data);

  TFormMain* formMain_ = nullptr;
  TTaskBar taskBar_;
  UniqueMenu menuBar_;  // holds PopupMenu1 as its one submenu
  HMENU popupMenu1_ = nullptr;
  UniqueBitmap imageAbout_;
  UniqueIcon imageIconStop_;
  UniqueIcon imageIconNonStop_;
  UniqueIcon applicationIcon_;
  bool showingPaused_ = false;  // which of the two the tray shows
  std::vector<int> hotKeyIds_;               // registered now
  std::vector<std::string> keysHeldElsewhere_;  // names, for the tip
  HWND bitBtnOk_ = nullptr;
  UniqueFont okFont_;
  WindowIcons icons_;
  ToolTips hints_;
};

}  // namespace vorel
