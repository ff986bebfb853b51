// The file is read afresh at every drawing, so that an exported calendar replaced on disk
// shows at the next change; its size is known before a byte is read.
#include "change/calendar_file_win32.h"

#include "platform/files.h"
#include "platform/time_zone_win32.h"

namespace vorel {

IcsDays ReadCalendarFile(const std::string& path, const DateSpan& span) {
  IcsDays days;
  days.status = IcsStatus::kUnreadable;
  if (path.empty()) return days;
  std::string bytes;
  bool whole = false;
  const bool opened = ReadInOrder(path, [&](uint64_t size, const OrderedReader& read) {
    if (size > kMaxIcsBytes) {
      days.status = IcsStatus::kTooLarge;
      return;
    }
    bytes.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < bytes.size()) {
      const size_t got = read(bytes.data() + done, bytes.size() - done);
      if (got == 0) break;
      done += got;
    }
    whole = done == bytes.size();
  });
  if (!opened || !whole) return days;
  return ReadIcsDays(bytes, span, SystemUtcToLocal);
}

}  // namespace vorel
