// One page of the settings window: a child window inside the tab control's display area
// that creates its controls from its table of rows, shows the settings model in them and
// writes every edit straight back into the model.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/tool_tip_win32.h"
#include "platform/window_win32.h"

namespace vorel {

class TFormMain;

class SettingsPage : public Window {
 public:
  // Creates the page hidden as a child of parent; hints go into the window's tool tips.
  virtual bool CreatePage(HWND parent, TFormMain& form, ToolTips& hints) = 0;
  // The page's layout rule for its new client size (in pixels of the window's DPI).
  virtual void Arrange(int width, int height) = 0;
  // The window moved to another DPI and made its fonts anew: the page gives its controls the
  // new fonts and design places; Arrange follows with the new size.
  virtual void Rescale(int dpi) = 0;
  // The model shown in the controls (after every load, and when the window opens).
  virtual void ShowModel() = 0;
  // Files and folders dropped from the shell on the window, in the shell's order.
  virtual void FilesDropped(const std::vector<std::string>& /*paths*/) {}
  // The window opens: the page clears what it previews.
  virtual void Opening() {}
};

// The page "壁紙": folder list, file list, folder contents and preview.
std::unique_ptr<SettingsPage> MakeWallpaperPage();

}  // namespace vorel
