// TFormDir: the folder and picture picker, one modal dialog for four choices (a picture
// folder, picture files, the plug-in folder, the viewer's folder). Created once, reused, so
// what it shows survives from one use to the next.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/picture.h"
#include "platform/window_win32.h"

namespace vorel {

struct FormDirRequest {
  std::string caption;
  std::string folderText;             // Edit's text at opening; the starting folder
  std::vector<std::string> patterns;  // "*.BMP", ...: extension compared without case
  bool multipleFiles = false;
};

struct FormDirResult {
  std::string directory;           // the folder list's current folder
  std::vector<std::string> files;  // the selected names, in list order
  std::string folderText;          // Edit's text as the user left it
};

// Loads a picture for the preview (the engine's LoadPicture with the program's contexts).
using PreviewLoader = std::function<bool(const std::string& path, Picture& picture)>;

// Whether a file name matches one of the patterns "*.EXT": its extension, dot included, equals
// the pattern without its first character, case aside. Nothing else is interpreted, so
// "*.*" matches no name.
bool MatchesPattern(const std::string& name, const std::vector<std::string>& patterns);

// Where the preview shows a picture of width × height in a client area of clientWidth ×
// clientHeight: the design area scaled with the client, the picture fitted into it.
RECT FitPreview(int clientWidth, int clientHeight, int width, int height);

class TFormDir final : public Window {
 public:
  TFormDir();
  ~TFormDir() override;
  bool Create();
  // Shows the picker modally over owner. nullopt on Cancel, which restores the folder text,
  // and on the close box, which does not.
  std::optional<FormDirResult> Pick(HWND owner, const FormDirRequest& request, const PreviewLoader& load);

  // For the tests and the screenshots.
  HWND Control(const std::string& name) const;
  std::string Hint(HWND control) const;
  const std::string& Directory() const { return directory_; }
  // The preview's place in the client area; empty when nothing is previewed.
  RECT PreviewPlace() const { return previewPlace_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  struct Parts;
  bool GoTo(const std::string& folder);  // DirectoryListBoxChange for that folder
  void ListBoxFileClick();
  void SingleSelection();
  void DrawPreview(const DRAWITEMSTRUCT& item);
  void Finish(bool ok);

  std::unique_ptr<Parts> parts_;
  std::string directory_;
  std::string lastGood_;
  std::string textAtOpening_;
  std::vector<std::string> patterns_;
  std::vector<std::string> folderPaths_;  // one per line of DirectoryListBox
  bool multiple_ = false;
  PreviewLoader load_;
  Picture preview_;
  RECT previewPlace_{};
  std::optional<FormDirResult> result_;
};

}  // namespace vorel
