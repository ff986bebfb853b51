// The pictures the desktop has shown, change by change, and the walk back and forward through
// them ("前の壁紙に戻す", and the change run's forward walk after it). Both programs keep it in
// the one value "History" under the settings key, so a change made by Vorelrun at log-on is
// one step back for Vorelset.
//
// Stored form (REG_SZ): a header line "VorelHistory 1 <position>", then one line per entry,
// oldest first; an entry is the records of its monitors, primary first, each as four fields
// path, tile, size, position, every field ended by a tab. Paths cannot hold tabs or line
// breaks (Windows allows no control characters in names), so nothing needs escaping. The
// value is untrusted: ParseHistory keeps what is well formed and drops the rest.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"

namespace vorel {

// What every monitor showed after one change: the primary's record first, then the others'
// in the monitors' order (one record when there is one picture for the whole desk).
using HistoryEntry = std::vector<CurrentPictureRecord>;

// The newest entries kept; older ones fall out.
inline constexpr size_t kHistoryLimit = 100;
// A stored value longer than this is not a history this program wrote: it is not read.
inline constexpr size_t kMaxHistoryBytes = size_t{4} << 20;
// A field longer than this (in bytes of UTF-8) is no path Windows can open: its entry is dropped.
inline constexpr size_t kMaxHistoryFieldBytes = 32767 * 3;
inline constexpr const char* kHistoryValue = "History";

struct WallpaperHistory {
  std::vector<HistoryEntry> entries;  // oldest first
  size_t position = 0;                // the entry on the desktop; 0 while empty
  bool operator==(const WallpaperHistory&) const = default;
  bool HasForward() const { return position + 1 < entries.size(); }
};

// A change put new pictures on the desktop: they become the newest entry and the one on the
// desktop. Entries after the position stay where they are, before it: they were shown, and
// going back reaches them again. An empty history first takes `previous`, the picture that
// was on the desktop before (one put there before the history was kept), when there is one.
void AppendToHistory(WallpaperHistory& history, HistoryEntry shown, const CurrentPictureRecord& previous);

// How showing an entry went.
enum class HistoryShow {
  kShown,     // it is on the desktop now
  kGone,      // its pictures are gone: the entry is dropped from the history
  kNotShown,  // it could not be shown now (or must not be): passed over, kept
};
using HistoryShower = std::function<HistoryShow(const HistoryEntry&)>;

enum class HistoryDirection { kBack, kForward };

// Offers the entries in the direction, nearest first, to show until one is shown, which
// becomes the position. Back starts before the position, or at it when the desktop shows
// nothing of the history (after an erase); forward starts after it. nullopt when none was
// shown: the position stays (gone entries are dropped all the same).
std::optional<HistoryEntry> WalkHistory(WallpaperHistory& history, HistoryDirection direction,
                                        bool desktopShowsPosition, const HistoryShower& show);

// Whether going back has an entry to offer.
bool CanGoBack(const WallpaperHistory& history, bool desktopShowsPosition);

std::string FormatHistory(const WallpaperHistory& history);
// The stored text read back: a foreign or oversized text gives an empty history; a damaged
// line loses its entry only; a position out of range becomes the newest entry.
WallpaperHistory ParseHistory(std::string_view stored);

}  // namespace vorel
