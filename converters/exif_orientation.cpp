#include "converters/exif_orientation.h"

#include <algorithm>
#include <array>
#include <optional>

namespace vorel {
namespace {

constexpr uint16_t kOrientationTag = 274;
constexpr uint16_t kShortType = 3;
// Markers come first in a JPEG file; no camera puts its EXIF block beyond this.
constexpr uint64_t kMarkerSearchLimit = 1u << 20;
constexpr int kMaxMarkers = 64;
constexpr uint16_t kMaxEntries = 512;

struct Reader {
  const ReadAt& read;
  uint64_t size;

  template <size_t N>
  bool Get(uint64_t offset, std::array<uint8_t, N>& out) const {
    return offset <= size && N <= size - offset && read(offset, out.data(), N) == N;
  }
};

// A TIFF structure (a TIFF file, or the body of an EXIF block) starting at `base` and ending
// at `end`: the orientation entry of its first directory.
int TiffOrientation(const Reader& r, uint64_t base, uint64_t end) {
  std::array<uint8_t, 8> header{};
  if (end < base + 8 || !r.Get(base, header)) return 0;
  bool little;
  if (header[0] == 'I' && header[1] == 'I' && header[2] == 42 && header[3] == 0)
    little = true;
  else if (header[0] == 'M' && header[1] == 'M' && header[2] == 0 && header[3] == 42)
    little = false;
  else
    return 0;
  const auto u16 = [little](const uint8_t* p) {
    return static_cast<uint16_t>(little ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1]);
  };
  const auto u32 = [little](const uint8_t* p) {
    return little ? uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24
                  : uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
  };
  const uint64_t directory = base + u32(header.data() + 4);
  std::array<uint8_t, 2> count{};
  if (directory + 2 > end || !r.Get(directory, count)) return 0;
  // Directories are short; a count beyond this is a broken file, not more to read.
  const uint16_t entries = std::min<uint16_t>(u16(count.data()), kMaxEntries);
  for (uint16_t i = 0; i < entries; ++i) {
    const uint64_t at = directory + 2 + uint64_t{i} * 12;
    std::array<uint8_t, 12> entry{};
    if (at + 12 > end || !r.Get(at, entry)) return 0;
    if (u16(entry.data()) != kOrientationTag) continue;
    if (u16(entry.data() + 2) != kShortType || u32(entry.data() + 4) < 1) return 0;
    const uint16_t value = u16(entry.data() + 8);
    return value >= 1 && value <= 8 ? value : 0;
  }
  return 0;
}

int JpegOrientation(const Reader& r) {
  uint64_t at = 2;
  for (int markers = 0; markers < kMaxMarkers && at < kMarkerSearchLimit; ++markers) {
    std::array<uint8_t, 4> segment{};
    if (!r.Get(at, segment) || segment[0] != 0xFF) return 0;
    const uint8_t marker = segment[1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    // Start of scan and end of image: the metadata is over. Stand-alone markers have no length.
    if (marker == 0xDA || marker == 0xD9) return 0;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    const uint32_t length = (uint32_t{segment[2]} << 8) | segment[3];
    if (length < 2) return 0;
    if (marker == 0xE1 && length >= 8 + 6) {
      std::array<uint8_t, 6> signature{};
      if (r.Get(at + 4, signature) && signature == std::array<uint8_t, 6>{'E', 'x', 'i', 'f', 0, 0})
        if (const int o = TiffOrientation(r, at + 10, at + 2 + length)) return o;
    }
    at += 2 + length;
  }
  return 0;
}

}  // namespace

int ExifOrientation(const ReadAt& read, uint64_t fileSize) {
  const Reader r{read, fileSize};
  std::array<uint8_t, 4> magic{};
  if (!r.Get(0, magic)) return 0;
  if (magic[0] == 0xFF && magic[1] == 0xD8) return JpegOrientation(r);
  return TiffOrientation(r, 0, fileSize);
}

OrientationMap MapOfOrientation(int orientation) {
  switch (orientation) {
    case 2:
      return {false, true, false};
    case 3:
      return {false, true, true};
    case 4:
      return {false, false, true};
    case 5:
      return {true, false, false};
    case 6:
      return {true, true, false};
    case 7:
      return {true, true, true};
    case 8:
      return {true, false, true};
    default:
      return {};
  }
}

}  // namespace vorel
