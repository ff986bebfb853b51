// The steering half of the settings window: the history of the desktop's pictures walked back
// ("前の壁紙に戻す") and forward (the change runs after going back), and the pictures never used
// again ("この絵を今後使わない").
#include "change/history_change_win32.h"
#include "engine/excluded_pictures.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "settings_ui/form_main_win32.h"

namespace vorel {

bool TFormMain::CanGoBack() const { return vorel::CanGoBack(history_, !settings_.current.path.empty()); }

void TFormMain::GoBack() {
  if (!CanGoBack()) return;
  // Not while a run waits for the viewer: its picture would replace the one gone back to.
  if (!schedule_.RequestRun()) return;
  RunChange(RunKind::kBack);
  while (schedule_.TakeDeferred()) RunChange();
}

bool TFormMain::ShowFromHistory(HistoryDirection direction, const ChangeEnvironment& environment) {
  std::vector<CurrentPictureRecord> shown;
  const bool desktopShowsPosition = !settings_.current.path.empty();
  const size_t before = history_.entries.size();
  const bool found = WalkHistory(history_, direction, desktopShowsPosition, [&](const HistoryEntry& entry) {
                       return ShowHistoryEntry(entry, picture_, environment, shown);
                     }).has_value();
  if (found) {
    TakeRecords(settings_, std::move(shown));
    // The interval after a picture of the history is the global one.
    schedule_.Installed(kStandard, settings_.changeTime);
  }
  if (found || history_.entries.size() != before) SaveHistory(history_, registry_);
  return found;
}

void TFormMain::RecordInHistory(const std::vector<CurrentPictureRecord>& records) {
  AppendToHistory(history_, records, settings_.current);
  SaveHistory(history_, registry_);
}

void TFormMain::ExcludeCurrent() {
  if (settings_.current.path.empty()) return;
  // The file's own full name, so that the list names it however the lists wrote it.
  const std::string path = ResolvedPath(settings_.current.path);
  // The stored list gets it at once, without the settings window's edits not yet saved.
  std::vector<std::string> stored = LoadExcluded(registry_);
  if (AddExcluded(stored, path)) SaveExcluded(stored, registry_);
  AddExcluded(settings_.excluded, path);
  BitBtnChangeClick();
}

}  // namespace vorel
