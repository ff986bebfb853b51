// The desk's monitors as the wallpaper sees them: their order (the primary, then from left
// to right, then from top to bottom), the box around all of them (the virtual screen), the
// parts of that box no monitor shows, and how a tiled bitmap of the box must be rolled so
// that a system tiling from the primary's top-left corner puts every part on its monitor.
// Plain data: each program asks the system once and passes the answer in.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/fit_picture.h"

namespace vorel {

// Left and top inside, right and bottom outside, as the system gives monitor rectangles.
struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const ScreenRect&) const = default;
};

// One monitor in screen coordinates, whose origin is the primary's top-left corner.
struct MonitorArea {
  ScreenRect area;
  bool primary = false;
  bool operator==(const MonitorArea&) const = default;
};

// The monitors as the system lists them, in any order.
using ScreenGeometry = std::vector<MonitorArea>;

// The monitors of one composition, in the order they take pictures.
struct WallpaperLayout {
  ScreenRect box;                     // the virtual screen, in screen coordinates
  std::vector<ScreenRect> monitors;   // in the box's coordinates; monitors[0] is the primary
  std::vector<ScreenRect> uncovered;  // parts of the box no monitor shows, box coordinates

  int32_t Width() const { return box.Width(); }
  int32_t Height() const { return box.Height(); }
  // Where the primary's top-left corner lies in the box: a system that tiles the wallpaper
  // from that corner needs the bitmap rolled by this much.
  Offset PrimaryCorner() const { return monitors.empty() ? Offset{} : Offset{monitors[0].left, monitors[0].top}; }
};

// Monitors without area are left out; when none is marked primary, the one at the screen
// origin is taken, else the first. An empty result has no monitors and an empty box.
WallpaperLayout LayoutOf(const ScreenGeometry& geometry);

// The monitors in picture order: the primary first, then by left edge, then by top edge.
std::vector<MonitorArea> InPictureOrder(ScreenGeometry geometry);

// The smallest rectangle holding every rectangle; empty for none.
ScreenRect BoundingBox(const std::vector<ScreenRect>& rects);

// The parts of box that none of the rectangles covers, as disjoint rectangles in bands
// from top to bottom, left to right within a band.
std::vector<ScreenRect> UncoveredParts(const ScreenRect& box, const std::vector<ScreenRect>& rects);

// A virtual screen read back from a file written rolled by roll (see StreamBmp24Rolled) put
// back the way it was composed.
void UnrollVirtualScreen(Picture& picture, Offset roll);

// Loads monitor i's picture and fits it into target, that monitor's part of the virtual
// screen; false when the monitor has no picture to show.
using MonitorFitStep = std::function<bool(size_t monitor, const PixelWindow& target)>;

// The virtual screen of the layout into canvas: each monitor's picture fitted into its part,
// one monitor after the other so that only one source is held at a time; the parts no
// monitor shows, and monitors without a picture, in the desktop colour. Where monitors
// overlap, the one earlier in picture order shows. Returns, per monitor, whether it got its
// picture.
std::vector<bool> ComposeVirtualScreen(Picture& canvas, const WallpaperLayout& layout, const MonitorFitStep& fit,
                                       const DesktopColourSource& desktopColour);

}  // namespace vorel
