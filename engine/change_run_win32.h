// The one change of both programs: the candidates from the lists, the choice from the
// persistent order, the load, the composition and the installation. Vorelset's change run
// and Vorelrun's single run are this function with their own settings and mode.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/compose_win32.h"
#include "engine/load_picture_win32.h"
#include "engine/picture_order.h"
#include "engine/registry.h"
#include "engine/settings.h"

namespace vorel {

// What a change reads: the settings as they stand at its start, the store of the order, the
// picture-file patterns, the composition and load contexts, the random source.
struct ChangeEnvironment {
  const Settings& settings;
  Registry& registry;
  const std::vector<std::string>& patterns;
  const CompositionContext& composition;
  const PictureLoadContext& load;
  RandomSource random;
  OrderPieceCache* cache = nullptr;
};

enum class InstallMode {
  kShow,     // calendar, margins, the system told, the follow-up program started
  kPrepare,  // Vorelrun's prepared mode: the bare fitted picture, shown at the next log-on
};

// The folder list expanded and the next entry drawn; nullopt when there is no candidate.
std::optional<PictureEntry> ChooseNextPicture(const ChangeEnvironment& environment);

// Loads the entry's picture and installs it. False when it could not be loaded: nothing on the
// desktop or in the wallpaper file changed. Throws WallpaperWriteError when the file cannot be
// written. calendarFree, when given, receives the fitted picture before the calendar was drawn,
// when that is the wallpaper file's calendar-free form (calendar on, no margins).
bool InstallPicture(const PictureEntry& entry, Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                    std::optional<Picture>* calendarFree = nullptr);

struct ChangeOutcome {
  bool hadCandidates = false;
  std::optional<PictureEntry> installed;  // the entry now on the desktop
};

// Choose, then install.
ChangeOutcome ChangeWallpaper(Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                              std::optional<Picture>* calendarFree = nullptr);

CurrentPictureRecord RecordOf(const PictureEntry& entry);

}  // namespace vorel
