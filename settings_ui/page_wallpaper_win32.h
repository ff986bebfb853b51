// The page "壁紙": the folder list, the file list, the folder contents beside them and the
// preview square. The two lists show the settings model's own entry vectors (virtual list
// views), so an edit here is the live setting a change run reads.
#pragma once

#include <windows.h>
// windows.h first: the shell header builds on it.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/picture.h"
#include "platform/unique_handle.h"
#include "settings_ui/form_dir_win32.h"
#include "settings_ui/form_excluded_win32.h"
#include "settings_ui/form_folder_setup_win32.h"
#include "settings_ui/settings_page_win32.h"
#include "settings_ui/wallpaper_lists.h"

namespace vorel {

enum WallpaperControl : int {
  kWallLabel1 = 301,
  kWallImageFolder,
  kWallBitBtnWallAdd,
  kWallBitBtnWallDelete,
  kWallSpeedButtonFolderSetup,
  kWallListViewFolder,
  kWallImageFile,
  kWallLabelFile,
  kWallBitBtnFileAdd,
  kWallBitBtnFileDelete,
  kWallSpeedButtonFileSetup,
  kWallListViewFile,
  kWallListBoxFolDir,
  kWallPanelPreview,
  kWallButtonExcluded,  // in a little window of its own (form_excluded_win32.h)
};

// Sends a file to the Recycle Bin, with no question or progress of the shell's own (the
// caller has asked). False for a folder, a missing file, or when the file is still there.
// Where the Recycle Bin cannot take it, the shell asks before destroying the file.
bool SendToRecycleBin(const std::string& path);

// The shell's order of the folder contents: the list box's order, without case.
std::vector<size_t> ShellNameOrder(const std::vector<std::string>& names);

// Reads the paths of a drop from the shell (UTF-8, the shell's order).
std::vector<std::string> DroppedPaths(HDROP drop);

// The preview square: the picture stretched into its fitted rectangle, the notice while empty.
class PreviewPanel final : public Window {
 public:
  bool Create(HWND parent, int id, std::function<void()> clicked);
  void Show(Picture picture);
  void Clear();
  void SetSide(int side);
  // The font of the notice shown while the panel is empty (the page's).
  void SetNoticeFont(HFONT font);
  const Picture& Shown() const { return picture_; }
  PreviewRect Placement() const { return FitIntoSquare(picture_.width, picture_.height, side_); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  Picture picture_;
  int side_ = 140;
  HFONT noticeFont_ = nullptr;
  std::function<void()> clicked_;
};

class WallpaperPage final : public SettingsPage {
 public:
  using FolderPicker = std::function<std::optional<FormDirResult>(HWND owner, const FormDirRequest& request)>;
  using MessageBoxFunction =
      std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;

  WallpaperPage();
  ~WallpaperPage() override;

  bool CreatePage(HWND parent, TFormMain& form, ToolTips& hints) override;
  void Arrange(int width, int height) override;
  void Rescale(int dpi) override;
  void ShowModel() override;
  void FilesDropped(const std::vector<std::string>& paths) override;
  void Opening() override;

  // The picker and the message boxes, replaceable for the tests.
  void SetPicker(FolderPicker picker) { picker_ = std::move(picker); }
  void SetMessageBox(MessageBoxFunction box) { messageBox_ = std::move(box); }

  // --- Handlers, named after the control and the event.
  void BitBtnWallAddClick();
  void BitBtnWallDeleteClick();
  void SpeedButtonFolderSetupClick();
  void BitBtnFileAddClick();
  void BitBtnFileDeleteClick();
  void SpeedButtonFileSetupClick();
  void ListViewFileClick();  // the file-list preview rule
  void ListBoxFolDirClick();
  void ListBoxFolDirKeyDown(WORD key);
  void ImageWallClick();
  // The folder-contents refresh over the selected folders, at once.
  void RefreshFolderContents();

  // --- What the page shows, for the window's tests and screenshots.
  HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  Selection FolderSelection() const;
  Selection FileSelection() const;
  void SelectFolders(const Selection& rows);
  void SelectFiles(const Selection& rows);
  int FocusedFolder() const;
  const FolderContents& Contents() const { return contents_; }
  const PreviewPanel& Preview() const { return preview_; }
  // LabelTmpTile, LabelTmpSize, LabelTmpPosi, and the path the preview was loaded from.
  const PictureEntry& Previewed() const { return previewed_; }
  TFormFolderSetup& FolderSetup() { return setup_; }
  ExcludedPicturesButton& Excluded() { return excluded_; }
  bool RefreshPending() const { return refreshPending_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT Notify(const NMHDR& header, LPARAM lParam);
  void RequestRefresh();
  void UpdateFolderButtons();
  void UpdateFileButtons();
  void ListsChanged();  // counts and texts of both lists from the model
  void ShowPreview(const std::string& path, const std::string& tile, const std::string& size,
                   const std::string& position);
  void DrawContentItem(const DRAWITEMSTRUCT& item);
  // The controls' font, the folder contents' row height and the small pictures at the DPI.
  void GiveFonts();
  int ContentRowHeight() const;
  HWND Root() const;
  std::vector<FolderEntry>& Folders();
  std::vector<PictureEntry>& Files();

  TFormMain* form_ = nullptr;
  TFormFolderSetup setup_;
  PreviewPanel preview_;
  ExcludedPicturesButton excluded_;
  FolderPicker picker_;
  MessageBoxFunction messageBox_;
  FolderContents contents_;  // ListBoxFolDir with its paired ListViewFolDirTmp
  PictureEntry previewed_;
  std::string lastFolder_;    // where the picker opens next
  std::wstring displayText_;  // the text a virtual list row asked for last
  bool refreshPending_ = false;
  UniqueFont font_;
  UniqueIcon folderIcon_;
  UniqueIcon fileIcon_;
};

}  // namespace vorel
