// The pictures never used again, as the settings window shows them: TFormExcluded, the list
// with a way to take pictures back, and the small button of the page "壁紙" that opens it
// (beside "画像ファイル", where the page had room, so that none of its controls moved).
// Taking a picture back edits the settings model: OK keeps it, Cancel brings it back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/tool_tip_win32.h"
#include "platform/unique_handle.h"
#include "platform/window_win32.h"
#include "settings_ui/control_table_win32.h"

namespace vorel {

class TFormMain;

inline constexpr const char* kExcludedCaption = "今後使わない絵";

class TFormExcluded final : public Window {
 public:
  // Created hidden, owned by the settings window.
  bool Create(HWND owner);
  // Shows the list of excluded (the model's) modally; pictures taken back leave it at once.
  void Run(std::vector<std::string>& excluded);
  const ControlSet& Controls() const { return controls_; }
  // The selected lines' pictures taken back ("ButtonTakeBack").
  void ButtonTakeBackClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  void Fill();
  UiFonts fonts_;
  ControlSet controls_;
  ToolTips hints_;
  std::vector<std::string>* excluded_ = nullptr;
};

// The page's button: a little window of its own holding the picture button, so that its click
// reaches it and not the page's handler.
class ExcludedPicturesButton final : public Window {
 public:
  bool Create(HWND page, TFormMain& form, ToolTips& hints, int id);
  // At the page's DPI: the button's place beside the label of the file list.
  void Place(int left, int top, int side);
  void Rescale(int dpi);
  void Click();
  TFormExcluded& Dialog() { return dialog_; }
  HWND Button() const { return button_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  TFormMain* form_ = nullptr;
  HWND button_ = nullptr;
  UniqueIcon icon_;
  TFormExcluded dialog_;
};

}  // namespace vorel
