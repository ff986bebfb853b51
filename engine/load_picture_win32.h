// Loading the chosen picture into the picture bitmap: as a bitmap file, else through the
// Susie plug-ins, else through GV with the wallpaper file's path as GV's output.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "converters/gv_thread_win32.h"
#include "engine/picture.h"
#include "engine/settings.h"

namespace vorel {

struct PictureLoadContext {
  std::string wallFile;  // the wallpaper file; GV's output goes there for a while
  std::string gvPath;
  ProgramKind program = ProgramKind::kVorelset;
  // The plug-in host's decoder (path, target) → decoded; empty when there is no host.
  std::function<bool(const std::string&, Picture&)> susie;
  DWORD gvCommandTimeoutMs = kGvCommandTimeoutMs;
};

// True when picture now holds the file's picture; otherwise picture is unchanged. The
// wallpaper file has its previous content again afterwards, whatever GV did.
bool LoadPicture(const std::string& path, Picture& picture, const PictureLoadContext& context);

}  // namespace vorel
