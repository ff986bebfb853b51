// The one scale rule for the display: every size, place and font height is designed in pixels
// of a 96-DPI screen and shown as that value times the DPI ÷ 96, rounded as Windows' MulDiv
// rounds (halves away from zero). Both programs' windows and the wallpaper calendar use it.
#pragma once

#include <cstdint>
#include <limits>

namespace vorel {

inline constexpr int32_t kDesignDpi = 96;

// MulDiv(value, numerator, denominator) for a positive denominator, except that a result
// beyond the 32-bit range saturates instead of becoming MulDiv's -1: a hand-edited calendar
// distance near the range's end then stays far off the screen instead of landing on it.
constexpr int32_t MulDivSaturated(int32_t value, int32_t numerator, int32_t denominator) {
  const int64_t product = int64_t{value} * numerator;
  const int64_t magnitude = ((product < 0 ? -product : product) + denominator / 2) / denominator;
  const int64_t result = product < 0 ? -magnitude : magnitude;
  if (result > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (result < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(result);
}

// A 96-DPI design value at dpi. A DPI the system could not tell (0 or less) leaves the value
// as designed.
constexpr int32_t ScaleForDpi(int32_t value, int32_t dpi) {
  return dpi <= 0 || dpi == kDesignDpi ? value : MulDivSaturated(value, dpi, kDesignDpi);
}

// Pixels at dpi back in 96-DPI design units.
constexpr int32_t DesignForDpi(int32_t pixels, int32_t dpi) {
  return dpi <= 0 || dpi == kDesignDpi ? pixels : MulDivSaturated(pixels, kDesignDpi, dpi);
}

}  // namespace vorel
