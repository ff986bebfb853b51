// The stored history of the desktop's pictures ("History"), as a damaged key or a foreign
// program may have left it, read by both programs and then walked. Input: control (1 byte:
// the walk's direction and which entries are gone), then the stored text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/wallpaper_history.h"
#include "fuzz/fuzz_input.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  const uint8_t control = in.Byte();
  const auto text = in.Rest();

  vorel::WallpaperHistory history = vorel::ParseHistory(text);
  Check(history.entries.size() <= vorel::kHistoryLimit);
  Check(history.entries.empty() ? history.position == 0 : history.position < history.entries.size());
  for (const vorel::HistoryEntry& entry : history.entries) {
    Check(!entry.empty() && entry.size() <= static_cast<size_t>(vorel::kMaxMonitors));
    Check(!entry.front().path.empty());
  }
  // What is read is written back the same way and reads back the same.
  const std::string stored = vorel::FormatHistory(history);
  Check(vorel::ParseHistory(stored) == history);
  Check(vorel::FormatHistory(vorel::ParseHistory(stored)) == stored);

  // Walked with some entries gone and some refused, it stays consistent.
  size_t offered = 0;
  const auto show = [&](const vorel::HistoryEntry&) {
    const unsigned bit = (offered++ % 4) * 2;
    const unsigned kind = (control >> bit) & 3;
    return kind == 0   ? vorel::HistoryShow::kGone
           : kind == 1 ? vorel::HistoryShow::kNotShown
                       : vorel::HistoryShow::kShown;
  };
  const size_t before = history.entries.size();
  const auto direction = (control & 1) ? vorel::HistoryDirection::kForward : vorel::HistoryDirection::kBack;
  vorel::WalkHistory(history, direction, (control & 2) != 0, show);
  Check(offered <= before);
  Check(history.entries.empty() ? history.position == 0 : history.position < history.entries.size());
  vorel::AppendToHistory(history, {{"C:\\new.bmp"}}, {});
  Check(history.entries.back().front().path == "C:\\new.bmp" && history.position == history.entries.size() - 1);
  return 0;
}
