// Where the running program lives and what the desktop shows now.
#pragma once

#include <string>

namespace vorel {

// Folder of the running executable, with its trailing backslash.
std::string ProgramFolder();
// "Wallpaper" under Control Panel\Desktop; empty when it cannot be read.
std::string PresentWallpaper();

}  // namespace vorel
