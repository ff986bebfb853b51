// Luminance is linear in each channel's linear-light value, so one blend strength serves the
// whole area: it is fixed by the brightest pixel (darkening) or the darkest (lightening), and
// the blend itself is a table of 256 values per channel.
#include "calendar/plate.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vorel {
namespace {

const std::array<double, 256>& LinearTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (int v = 0; v < 256; ++v) {
      const double c = v / 255.0;
      t[static_cast<size_t>(v)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return t;
  }();
  return table;
}

double Luminance(uint32_t red, uint32_t green, uint32_t blue) {
  const std::array<double, 256>& linear = LinearTable();
  return 0.2126 * linear[red & 0xFF] + 0.7152 * linear[green & 0xFF] + 0.0722 * linear[blue & 0xFF];
}

// The text's luminance limits: the brightest background light text stands out from, and the
// darkest that dark text does. Kept a hair inside so rounding cannot land on the wrong side.
constexpr double kMargin = 1e-9;
double BrightestFor(double text) { return (text + 0.05) / kPlateContrast - 0.05 - kMargin; }
double DarkestFor(double text) { return kPlateContrast * (text + 0.05) - 0.05 + kMargin; }

}  // namespace

double LuminanceOfColour(uint32_t colour) { return Luminance(colour, colour >> 8, colour >> 16); }
double LuminanceOfPixel(uint32_t pixel) { return Luminance(pixel >> 16, pixel >> 8, pixel); }

double ContrastRatio(double a, double b) {
  const double lighter = std::max(a, b);
  const double darker = std::min(a, b);
  return (lighter + 0.05) / (darker + 0.05);
}

Plate PlateFor(const PixelWindow& area, uint32_t textColour) {
  const double text = LuminanceOfColour(textColour);
  Plate plate;
  plate.darken = ContrastRatio(text, 0.0) >= ContrastRatio(text, 1.0);
  if (!area.origin || area.width <= 0 || area.height <= 0) return plate;
  double extreme = plate.darken ? 0.0 : 1.0;
  for (int32_t y = 0; y < area.height; ++y) {
    const uint32_t* row = area.Row(y);
    for (int32_t x = 0; x < area.width; ++x) {
      const double l = LuminanceOfPixel(row[x]);
      extreme = plate.darken ? std::max(extreme, l) : std::min(extreme, l);
    }
  }
  if (plate.darken) {
    const double brightest = std::max(BrightestFor(text), 0.0);
    if (extreme > brightest) plate.strength = 1.0 - brightest / extreme;
  } else {
    const double darkest = std::min(DarkestFor(text), 1.0);
    if (extreme < darkest) plate.strength = (darkest - extreme) / (1.0 - extreme);
  }
  plate.strength = std::clamp(plate.strength, 0.0, 1.0);
  return plate;
}

CanvasArea PlateArea(const CanvasArea& calendar, int32_t margin, int32_t width, int32_t height) {
  if (calendar.Empty()) return {};
  const auto widened = [margin](int32_t v, int32_t by, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} + by * int64_t{margin}, low, high));
  };
  const CanvasArea area{widened(calendar.left, -1, 0, width), widened(calendar.top, -1, 0, height),
                        widened(calendar.right, 1, 0, width), widened(calendar.bottom, 1, 0, height)};
  return area.Empty() ? CanvasArea{} : area;
}

void ApplyPlate(const PixelWindow& area, const Plate& plate) {
  if (plate.strength <= 0 || !area.origin) return;
  const std::array<double, 256>& linear = LinearTable();
  // Per channel value: darkening takes the brightest value not above the blended light,
  // lightening the darkest not below it, so the luminance is always on the safe side.
  std::array<uint32_t, 256> blended{};
  for (int v = 0; v < 256; ++v) {
    const double c = linear[static_cast<size_t>(v)];
    const double target = plate.darken ? c * (1.0 - plate.strength) : c + plate.strength * (1.0 - c);
    const auto above = std::upper_bound(linear.begin(), linear.end(), target);
    const auto notBelow = std::lower_bound(linear.begin(), linear.end(), target);
    const auto chosen = plate.darken ? above - 1 : notBelow;
    blended[static_cast<size_t>(v)] =
        static_cast<uint32_t>(std::clamp<std::ptrdiff_t>(chosen - linear.begin(), 0, 255));
  }
  for (int32_t y = 0; y < area.height; ++y) {
    uint32_t* row = area.Row(y);
    for (int32_t x = 0; x < area.width; ++x) {
      const uint32_t p = row[x];
      row[x] = blended[(p >> 16) & 0xFF] << 16 | blended[(p >> 8) & 0xFF] << 8 | blended[p & 0xFF];
    }
  }
}

}  // namespace vorel
