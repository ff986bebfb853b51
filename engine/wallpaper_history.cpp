// The history of the desktop's pictures: appending, the walk, and its stored text.
#include "engine/wallpaper_history.h"

#include <algorithm>
#include <charconv>

namespace vorel {
namespace {

constexpr std::string_view kHeader = "VorelHistory 1 ";
constexpr size_t kFieldsPerRecord = 4;

// Fields are ended by tabs and entries by line breaks; a field holding any control character
// could not be read back as it was written.
bool Writable(std::string_view field) {
  if (field.size() > kMaxHistoryFieldBytes) return false;
  return std::none_of(field.begin(), field.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The entry as it can be stored: an override text that cannot be is "標準", a monitor whose
// path cannot be shows nothing, and an entry without a storable primary path is no entry.
std::optional<HistoryEntry> Storable(const HistoryEntry& entry) {
  if (entry.empty() || entry.front().path.empty() || !Writable(entry.front().path)) return std::nullopt;
  HistoryEntry out(entry.begin(),
                   entry.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(entry.size(), kMaxMonitors)));
  for (CurrentPictureRecord& r : out) {
    if (!Writable(r.path)) r.path.clear();
    for (std::string* text : {&r.tile, &r.size, &r.position})
      if (!Writable(*text) || text->empty()) *text = kStandard;
  }
  return out;
}

void AppendLine(std::string& out, const HistoryEntry& entry) {
  for (const CurrentPictureRecord& r : entry)
    for (const std::string* field : {&r.path, &r.tile, &r.size, &r.position}) {
      out += *field;
      out += '\t';
    }
  out += '\n';
}

// One stored line as an entry; nullopt when it is not one this program writes.
std::optional<HistoryEntry> ParseLine(std::string_view line) {
  if (line.empty() || line.back() != '\t') return std::nullopt;
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
    if (fields.size() > kFieldsPerRecord * kMaxMonitors) return std::nullopt;
  }
  if (fields.empty() || fields.size() % kFieldsPerRecord != 0) return std::nullopt;
  HistoryEntry entry;
  for (size_t f = 0; f < fields.size(); f += kFieldsPerRecord) {
    CurrentPictureRecord r;
    r.path = fields[f];
    r.tile = fields[f + 1];
    r.size = fields[f + 2];
    r.position = fields[f + 3];
    entry.push_back(std::move(r));
  }
  // As the writer would have stored it: an unusable text reads as "標準".
  return Storable(entry);
}

// The oldest entries dropped until at most limit remain, the position following its entry.
void KeepNewest(WallpaperHistory& history, size_t limit) {
  if (history.entries.size() <= limit) return;
  const size_t drop = history.entries.size() - limit;
  history.entries.erase(history.entries.begin(), history.entries.begin() + static_cast<std::ptrdiff_t>(drop));
  history.position = history.position >= drop ? history.position - drop : 0;
}

}  // namespace

void AppendToHistory(WallpaperHistory& history, HistoryEntry shown, const CurrentPictureRecord& previous) {
  if (shown.empty() || shown.front().path.empty()) return;
  if (history.entries.empty() && !previous.path.empty() && previous.path != shown.front().path)
    history.entries.push_back({previous});
  history.entries.push_back(std::move(shown));
  history.position = history.entries.size() - 1;
  KeepNewest(history, kHistoryLimit);
}

bool CanGoBack(const WallpaperHistory& history, bool desktopShowsPosition) {
  if (history.entries.empty()) return false;
  return desktopShowsPosition ? history.position > 0 : true;
}

std::optional<HistoryEntry> WalkHistory(WallpaperHistory& history, HistoryDirection direction,
                                        bool desktopShowsPosition, const HistoryShower& show) {
  auto& entries = history.entries;
  if (entries.empty()) return std::nullopt;
  history.position = std::min(history.position, entries.size() - 1);
  const bool back = direction == HistoryDirection::kBack;
  // Indexes are signed here: the walk back ends below 0.
  auto at = static_cast<std::ptrdiff_t>(history.position);
  if (back && desktopShowsPosition) --at;
  if (!back) ++at;
  while (at >= 0 && at < static_cast<std::ptrdiff_t>(entries.size())) {
    const auto index = static_cast<size_t>(at);
    switch (show(entries[index])) {
      case HistoryShow::kShown:
        history.position = index;
        return entries[index];
      case HistoryShow::kGone:
        entries.erase(entries.begin() + at);
        if (index < history.position) --history.position;
        // Back: the next entry is the one before; forward: it moved into this place.
        if (back) --at;
        if (entries.empty()) {
          history.position = 0;
          return std::nullopt;
        }
        history.position = std::min(history.position, entries.size() - 1);
        break;
      case HistoryShow::kNotShown:
        at += back ? -1 : 1;
        break;
    }
  }
  return std::nullopt;
}

std::string FormatHistory(const WallpaperHistory& history) {
  WallpaperHistory kept;
  for (size_t n = 0; n < history.entries.size(); ++n) {
    if (std::optional<HistoryEntry> entry = Storable(history.entries[n])) {
      kept.entries.push_back(std::move(*entry));
      if (n <= history.position) kept.position = kept.entries.size() - 1;
    }
  }
  KeepNewest(kept, kHistoryLimit);
  // Far below the bound in any real use; the oldest go first should paths be very long.
  while (true) {
    std::string out(kHeader);
    out += std::to_string(kept.position);
    out += '\n';
    for (const HistoryEntry& entry : kept.entries) AppendLine(out, entry);
    if (out.size() <= kMaxHistoryBytes || kept.entries.empty()) return out;
    KeepNewest(kept, kept.entries.size() - 1);
  }
}

WallpaperHistory ParseHistory(std::string_view stored) {
  WallpaperHistory history;
  if (stored.size() > kMaxHistoryBytes || !stored.starts_with(kHeader)) return history;
  stored.remove_prefix(kHeader.size());
  const size_t headerEnd = stored.find('\n');
  if (headerEnd == std::string_view::npos) return history;
  const std::string_view positionText = stored.substr(0, headerEnd);
  size_t position = SIZE_MAX;
  const auto [end, error] = std::from_chars(positionText.data(), positionText.data() + positionText.size(), position);
  if (error != std::errc() || end != positionText.data() + positionText.size()) position = SIZE_MAX;
  stored.remove_prefix(headerEnd + 1);

  size_t line = 0;
  while (!stored.empty()) {
    const size_t lineEnd = stored.find('\n');
    // A text cut short loses its last, unfinished line.
    if (lineEnd == std::string_view::npos) break;
    if (std::optional<HistoryEntry> entry = ParseLine(stored.substr(0, lineEnd))) {
      history.entries.push_back(std::move(*entry));
      // The position stays with its entry when damaged lines before it are dropped; a damaged
      // or missing entry at it gives the one before, a position past the end the newest.
      if (line <= position) history.position = history.entries.size() - 1;
    }
    stored.remove_prefix(lineEnd + 1);
    ++line;
  }
  KeepNewest(history, kHistoryLimit);
  return history;
}

}  // namespace vorel
