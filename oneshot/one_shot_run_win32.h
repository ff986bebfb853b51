// Vorelrun's single change: the settings, the refresh of the prepared wallpaper, the
// choice of the next picture, the composition, the current-picture record and the
// calendar-free copy.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "engine/registry.h"

namespace vorel {

// The picture named on the command line, if any: at least one parameter, and the first
// one not the text "0".
std::optional<std::string> DirectPictureFromCommandLine(const wchar_t* commandLine);

// "DelayTime" in milliseconds; nullopt when it cannot be read. Negative counts as 0.
std::optional<DWORD> StoredDelayMs(Registry& registry);

// The run. Errors that escape a step (a wallpaper file that cannot be written) are
// thrown to the caller; the run does not go on past them. beforeEffects, when given, is
// called before the first change of the wallpaper file, the desktop or the current-picture
// record: everything before it (choosing, loading, fitting, drawing the calendar) may run
// ahead while the caller waits; it may throw to abandon the run.
void RunOnce(Registry& registry, const std::optional<std::string>& directPicture, HWND owner,
             const std::function<void()>& beforeEffects = {});

}  // namespace vorel
