// TFormDir: the folder and picture picker, one modal dialog for four choices (a picture
// folder, picture files, the plug-in folder, the viewer's folder). Created once, reused, so
// what it shows survives from one use to the next.
#pragma once

#include <windows.h>

#include <functional>
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

class TFormDir final : public Window {
 public:
  bool Create();
  // Shows the picker modally over owner. nullopt on Cancel, which restores the folder text.
  std::optional<FormDirResult> Pick(HWND owner, const FormDirRequest& request, const PreviewLoader& load);
};

}  // namespace vorel
