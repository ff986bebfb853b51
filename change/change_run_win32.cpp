#include "change/change_run_win32.h"

#include "change/directory_listing_win32.h"
#include "engine/collect_pictures.h"
#include "engine/excluded_pictures.h"
#include "platform/files.h"

namespace vorel {
namespace {

std::vector<PictureEntry> Candidates(const Settings& settings, const std::vector<std::string>& patterns) {
  std::vector<FolderEntry> folders = settings.folders;
  std::vector<PictureEntry> candidates = settings.pictures;
  CollectPictures(folders, candidates, patterns, ListDirectoryWin32);
  // The pictures the user never wants again are no candidates: the order sees a shorter list,
  // as when a file leaves a folder.
  if (!settings.excluded.empty()) ExclusionFilter(settings.excluded, ResolvedPath).RemoveFrom(candidates);
  return candidates;
}

MonitorUse UseOf(InstallMode mode) { return mode == InstallMode::kShow ? MonitorUse::kShow : MonitorUse::kPrepare; }

ChangeOutcome ChangeEveryMonitor(Picture& canvas, const ChangeEnvironment& environment, InstallMode mode,
                                 const WallpaperLayout& layout, std::optional<CalendarFreeForm>* calendarFree) {
  ChangeOutcome outcome;
  const std::vector<PictureEntry> entries = ChooseNextPictures(environment, layout.monitors.size());
  if (entries.empty()) return outcome;
  outcome.hadCandidates = true;
  // A monitor whose new picture cannot be loaded keeps the one it shows now.
  std::vector<MonitorPictures> pictures = CurrentMonitorPictures(environment.settings, entries.size());
  for (size_t i = 0; i < entries.size(); ++i) pictures[i].insert(pictures[i].begin(), RecordOf(entries[i]));
  const std::optional<std::vector<int>> shown = InstallEveryMonitor(canvas, layout, pictures, environment.composition,
                                                                    environment.load, UseOf(mode), calendarFree);
  if (!shown) return outcome;
  for (size_t i = 0; i < entries.size() && !outcome.installed; ++i)
    if ((*shown)[i] == 0) outcome.installed = entries[i];
  outcome.records = ShownRecords(pictures, *shown);
  return outcome;
}

}  // namespace

bool HasCandidates(const Settings& settings, const std::vector<std::string>& patterns) {
  return !Candidates(settings, patterns).empty();
}

std::optional<PictureEntry> ChooseNextPicture(const ChangeEnvironment& environment) {
  const std::vector<PictureEntry> candidates = Candidates(environment.settings, environment.patterns);
  if (candidates.empty()) return std::nullopt;
  return NextPicture(candidates, environment.settings.inOrder, environment.registry, environment.random,
                     environment.cache);
}

std::vector<PictureEntry> ChooseNextPictures(const ChangeEnvironment& environment, size_t count) {
  const std::vector<PictureEntry> candidates = Candidates(environment.settings, environment.patterns);
  if (candidates.empty()) return {};
  return NextPictures(candidates, count, environment.settings.inOrder, environment.registry, environment.random,
                      environment.cache);
}

bool InstallPicture(const PictureEntry& entry, Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                    std::optional<CalendarFreeForm>* calendarFree) {
  const Settings& settings = environment.settings;
  if (const std::optional<WallpaperLayout> layout = EveryMonitorLayout(environment.composition)) {
    std::vector<MonitorPictures> pictures = CurrentMonitorPictures(settings, layout->monitors.size());
    pictures[0] = {RecordOf(entry)};
    return InstallEveryMonitor(picture, *layout, pictures, environment.composition, environment.load, UseOf(mode),
                               calendarFree)
        .has_value();
  }
  const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), entry.tile, entry.size, entry.position);
  // The prepared picture is shown bare at the next log-on: no margins, no calendar.
  const bool show = mode == InstallMode::kShow;
  if (!LoadFittedPicture(entry.path, ScreenFit(layout, show && settings.screen, settings), picture, environment.load))
    return false;
  if (show) {
    std::optional<Picture> free;
    InstallFitted(picture, environment.composition, layout, calendarFree ? &free : nullptr);
    if (calendarFree && free) *calendarFree = CalendarFreeForm{std::move(*free), std::nullopt, layout.tile};
    return true;
  }
  if (environment.composition.beforeEffects) environment.composition.beforeEffects();
  WriteWallpaperFile(settings.wallFile, picture);
  SetDesktopValues(layout.tile, &settings.wallFile);
  return true;
}

ChangeOutcome ChangeWallpaper(Picture& picture, const ChangeEnvironment& environment, InstallMode mode,
                              std::optional<CalendarFreeForm>* calendarFree) {
  if (const std::optional<WallpaperLayout> layout = EveryMonitorLayout(environment.composition))
    return ChangeEveryMonitor(picture, environment, mode, *layout, calendarFree);
  ChangeOutcome outcome;
  std::optional<PictureEntry> entry = ChooseNextPicture(environment);
  if (!entry) return outcome;
  outcome.hadCandidates = true;
  if (InstallPicture(*entry, picture, environment, mode, calendarFree)) {
    outcome.records = {RecordOf(*entry)};
    outcome.installed = std::move(entry);
  }
  return outcome;
}

std::vector<CurrentPictureRecord> RecomposeForScreens(Picture& picture, const ChangeEnvironment& environment) {
  const Settings& settings = environment.settings;
  const CurrentPictureRecord& primary = settings.current;
  if (primary.path.empty()) return {};
  if (const std::optional<WallpaperLayout> layout = EveryMonitorLayout(environment.composition)) {
    std::vector<MonitorPictures> pictures = CurrentMonitorPictures(settings, layout->monitors.size());
    size_t without = 0;
    for (const MonitorPictures& p : pictures) without += p.empty();
    const std::vector<PictureEntry> entries =
        without ? ChooseNextPictures(environment, without) : std::vector<PictureEntry>{};
    for (size_t i = 0, next = 0; i < pictures.size() && next < entries.size(); ++i)
      if (pictures[i].empty()) pictures[i].push_back(RecordOf(entries[next++]));
    const std::optional<std::vector<int>> shown = InstallEveryMonitor(
        picture, *layout, pictures, environment.composition, environment.load, MonitorUse::kRecompose);
    picture = Picture{};
    if (!shown) return {};
    return ShownRecords(pictures, *shown);
  }
  const bool recomposed = RecomposeWallpaper(picture, environment.composition, environment.load, primary);
  picture = Picture{};
  if (!recomposed) return {};
  return {primary};
}

CurrentPictureRecord RecordOf(const PictureEntry& entry) {
  return {entry.path, entry.tile, entry.size, entry.position};
}

void TakeRecords(Settings& settings, std::vector<CurrentPictureRecord> records) {
  if (records.empty()) return;
  settings.current = std::move(records.front());
  settings.otherMonitors.assign(std::make_move_iterator(records.begin() + 1), std::make_move_iterator(records.end()));
}

}  // namespace vorel
