#include "engine/change_run_win32.h"

#include "engine/collect_pictures.h"
#include "engine/directory_listing_win32.h"

namespace vorel {

std::optional<PictureEntry> ChooseNextPicture(const ChangeEnvironment& environment) {
  const Settings& settings = environment.settings;
  std::vector<FolderEntry> folders = settings.folders;
  std::vector<PictureEntry> candidates = settings.pictures;
  CollectPictures(folders, candidates, environment.patterns, ListDirectoryWin32);
  if (candidates.empty()) return std::nullopt;
  return NextPicture(candidates, settings.inOrder, environment.registry, environment.random, environment.cache);
}

bool InstallPicture(const PictureEntry& entry, Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                    std::optional<Picture>* calendarFree) {
  const Settings& settings = environment.settings;
  const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), entry.tile, entry.size, entry.position);
  // The prepared picture is shown bare at the next log-on: no margins, no calendar.
  const bool show = mode == InstallMode::kShow;
  if (!LoadFittedPicture(entry.path, ScreenFit(layout, show && settings.screen, settings), picture, environment.load))
    return false;
  if (show) {
    InstallFitted(picture, environment.composition, layout, calendarFree);
    return true;
  }
  if (environment.composition.beforeEffects) environment.composition.beforeEffects();
  WriteWallpaperFile(settings.wallFile, picture);
  SetDesktopValues(layout.tile, &settings.wallFile);
  return true;
}

ChangeOutcome ChangeWallpaper(Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                              std::optional<Picture>* calendarFree) {
  ChangeOutcome outcome;
  std::optional<PictureEntry> entry = ChooseNextPicture(environment);
  if (!entry) return outcome;
  outcome.hadCandidates = true;
  if (InstallPicture(*entry, picture, environment, mode, calendarFree)) outcome.installed = std::move(entry);
  return outcome;
}

CurrentPictureRecord RecordOf(const PictureEntry& entry) {
  return {entry.path, entry.tile, entry.size, entry.position};
}

}  // namespace vorel
