#include "change/history_change_win32.h"

#include "engine/excluded_pictures.h"
#include "platform/files.h"

namespace vorel {

HistoryShow ShowHistoryEntry(const HistoryEntry& entry, Picture& picture, const ChangeEnvironment& environment,
                             std::vector<CurrentPictureRecord>& shown) {
  if (entry.empty()) return HistoryShow::kGone;
  bool anyFile = false;
  for (const CurrentPictureRecord& record : entry)
    anyFile = anyFile || (!record.path.empty() && FileExists(record.path));
  if (!anyFile) return HistoryShow::kGone;
  const Settings& settings = environment.settings;
  ExclusionFilter excluded(settings.excluded, ResolvedPath);
  if (excluded.Excluded(entry.front().path)) return HistoryShow::kNotShown;

  if (const std::optional<WallpaperLayout> layout = EveryMonitorLayout(environment.composition)) {
    std::vector<MonitorPictures> pictures = CurrentMonitorPictures(settings, layout->monitors.size());
    for (size_t i = 0; i < pictures.size() && i < entry.size(); ++i)
      if (!entry[i].path.empty() && !excluded.Excluded(entry[i].path))
        pictures[i].insert(pictures[i].begin(), entry[i]);
    const std::optional<std::vector<int>> onDesktop =
        InstallEveryMonitor(picture, *layout, pictures, environment.composition, environment.load, MonitorUse::kShow);
    if (!onDesktop) return HistoryShow::kNotShown;
    shown = ShownRecords(pictures, *onDesktop);
    return HistoryShow::kShown;
  }
  const CurrentPictureRecord& primary = entry.front();
  const PictureEntry again{primary.path, kStandard, primary.tile, primary.size, primary.position};
  if (!InstallPicture(again, picture, environment, InstallMode::kShow)) return HistoryShow::kNotShown;
  shown = {primary};
  return HistoryShow::kShown;
}

}  // namespace vorel
