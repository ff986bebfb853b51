// A photo's first bytes as the orientation reader meets them: the whole input is the file.
// The answer is an orientation or none, nothing is read outside the file, and the number of
// reads stays small however the markers and directories are laid out.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "converters/exif_orientation.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> file(data, data + size);  // exact size: an overread is caught
  int reads = 0;
  const int orientation = vorel::ExifOrientation(
      [&](uint64_t offset, void* buffer, size_t bytes) {
        ++reads;
        Check(bytes <= 16);
        if (offset >= file.size()) return size_t{0};
        const size_t n = std::min<size_t>(bytes, file.size() - offset);
        std::memcpy(buffer, file.data() + offset, n);
        return n;
      },
      file.size());
  Check(orientation >= 0 && orientation <= 8);
  Check(reads <= 1 + 2 * 64 + 4 * (2 + 512));
  return 0;
}
