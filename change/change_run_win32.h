// The one change of both programs: the candidates from the lists, the choice from the
// persistent order, the load, the composition and the installation. Vorelset's change run
// and Vorelrun's single run are this function with their own settings and mode. With every
// monitor its own picture, one entry is drawn per monitor and the virtual screen installed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "change/compose_win32.h"
#include "change/load_picture_win32.h"
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

// Whether the lists give a change anything to choose from: the folders searched as a change
// searches them, the order untouched.
bool HasCandidates(const Settings& settings, const std::vector<std::string>& patterns);

// The folder list expanded and the next entry drawn; nullopt when there is no candidate.
std::optional<PictureEntry> ChooseNextPicture(const ChangeEnvironment& environment);
// The folder list expanded and count entries drawn one after the other; empty when there is
// no candidate.
std::vector<PictureEntry> ChooseNextPictures(const ChangeEnvironment& environment, size_t count);

// Loads the entry's picture and installs it. False when it could not be loaded: nothing on the
// desktop or in the wallpaper file changed. Throws WallpaperWriteError when the file cannot be
// written. calendarFree, when given, receives the wallpaper file's calendar-free form when the
// composition had it (calendar on, no margins). With every monitor its own picture the entry
// goes on the primary and the other monitors keep their current pictures.
bool InstallPicture(const PictureEntry& entry, Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                    std::optional<CalendarFreeForm>* calendarFree = nullptr);

struct ChangeOutcome {
  bool hadCandidates = false;
  std::optional<PictureEntry> installed;  // the entry now on the desktop (the primary's, or the first shown)
  // The current pictures after the change, the primary's first; empty when nothing changed.
  std::vector<CurrentPictureRecord> records;
};

// Choose, then install: one entry, or one per monitor.
ChangeOutcome ChangeWallpaper(Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                              std::optional<CalendarFreeForm>* calendarFree = nullptr);

// The screens changed: the pictures now on the desktop composed again for them with a fresh
// calendar, without drawing new ones, except for a monitor that had none, which gets the next
// entry. Nothing happens while no picture is on the desktop (none yet, or erased). The
// records after it, as ChangeOutcome's; empty when nothing was written.
std::vector<CurrentPictureRecord> RecomposeForScreens(Picture& picture, const ChangeEnvironment& environment);

CurrentPictureRecord RecordOf(const PictureEntry& entry);
// The settings take the records of a change: the primary's and the others'.
void TakeRecords(Settings& settings, std::vector<CurrentPictureRecord> records);

}  // namespace vorel
