// The picture bitmap of the engine: 32-bit pixels 0x00RRGGBB, rows top-down, contiguous.
// Decoders (BMP files, plug-in output, the viewer's output) all land in this one type,
// and the composition works on it.
#pragma once

#include <cstdint>
#include <vector>

namespace vorel {

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // width * height, row 0 is the top row

  bool Empty() const { return width <= 0 || height <= 0; }
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Picture&) const = default;
};

// Pictures larger than this are refused by every decoder: a 32-bit process cannot hold
// them, and a header claiming such a size is far more likely broken than real.
inline constexpr int32_t kMaxPictureSide = 32767;
inline constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

}  // namespace vorel
