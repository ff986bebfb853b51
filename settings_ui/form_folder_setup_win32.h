// TFormFolderSetup: the folder and file settings dialog. Created once, hidden, and reused:
// its lists keep their selection from one use to the next, which is what a text matching no
// item leaves in place.
#pragma once

#include <windows.h>

#include <string>

#include "engine/numeric_field.h"
#include "platform/tool_tip_win32.h"
#include "platform/unique_handle.h"
#include "platform/window_win32.h"
#include "settings_ui/wallpaper_lists.h"

namespace vorel {

inline constexpr int kFolderSetupClientWidth = 311;
inline constexpr int kFolderSetupClientHeight = 270;
inline constexpr FieldRange kEntryTimeRange{1, 9999};  // an entry's display time, seconds
inline constexpr int32_t kEntryTimeStep = 1;

inline constexpr const char* kFolderSetupCaption = "壁紙フォルダに関する設定";
inline constexpr const char* kFileSetupCaption = "壁紙ファイルに関する設定";

enum FolderSetupControl : int {
  kSetupLabelSub = 201,
  kSetupComboBoxSub,
  kSetupLabel1,
  kSetupCheckBoxTime,
  kSetupMemoTime,
  kSetupButtonTimeUp,
  kSetupButtonTimeDown,
  kSetupLabelSec,
  kSetupLabel2,
  kSetupComboBoxTile,
  kSetupLabel3,
  kSetupComboBoxSize,
  kSetupLabel4,
  kSetupComboBoxPosi,
  kSetupListBoxFolder,
};

class TFormFolderSetup final : public Window {
 public:
  bool Create(HWND owner);

  // Fills the dialog from the entries being changed: the list of their paths and the texts
  // shown; folders show the subfolder choice, files hide it.
  void Fill(const SetupGathering& gathering, bool folders);
  // Modal; true on OK. The caption and the subfolder controls return to the folder form
  // afterwards.
  bool Run();
  // The texts OK writes. A list without a selection (a stored text no item matched) gives
  // "標準", or "無視" for the subfolders.
  SetupTexts Texts() const;

  HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  std::string ControlText(int id) const;
  // The numeric field applied: read, stepped, clamped and written back.
  void MemoTimeCommit(int32_t step);
  void CheckBoxTimeClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  void ShowFolderForm(bool folders);
  // Every control at its design place and in the GUI font for the dialog's DPI.
  void PlaceControls();
  ToolTips hints_;
  UniqueFont font_;
};

}  // namespace vorel
