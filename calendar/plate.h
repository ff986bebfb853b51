// The plate under the calendar ("CalenPlate"): the picture under the calendar darkened (for
// light text) or lightened (for dark text) just as much as the normal days' colour needs to
// stand out at a contrast ratio of 4.5:1 (WCAG 2) against every pixel there; not at all where
// the picture already gives that.
#pragma once

#include <cstdint>

#include "calendar/canvas_bounds.h"
#include "engine/picture.h"

namespace vorel {

inline constexpr double kPlateContrast = 4.5;
// The plate reaches this far beyond the calendar's texts and shadows (96-DPI pixels), so that
// no glyph touches its edge.
inline constexpr int32_t kPlateMargin = 4;

// WCAG 2 relative luminance of a canvas colour (0x00BBGGRR) and of a picture pixel (0x00RRGGBB).
double LuminanceOfColour(uint32_t colour);
double LuminanceOfPixel(uint32_t pixel);
double ContrastRatio(double luminanceA, double luminanceB);

struct Plate {
  bool darken = true;   // towards black, for light text; towards white for dark text
  double strength = 0;  // 0 leaves the picture as it is, 1 makes it black (or white)
  bool operator==(const Plate&) const = default;
};

// The weakest plate under which the text colour (0x00BBGGRR) reaches kPlateContrast against
// every pixel of the area. Light text gets a darkening plate, dark text a lightening one:
// whichever of black and white gives the text the larger contrast.
Plate PlateFor(const PixelWindow& area, uint32_t textColour);
// The plate's rectangle: the calendar's area widened by the margin, cut to a part of
// width × height; empty for an empty area.
CanvasArea PlateArea(const CanvasArea& calendar, int32_t margin, int32_t width, int32_t height);

// Each pixel blended towards black (or white) in linear light by the plate's strength, and
// rounded so that it never falls short of the contrast.
void ApplyPlate(const PixelWindow& area, const Plate& plate);

}  // namespace vorel
