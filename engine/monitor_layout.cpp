#include "engine/monitor_layout.h"

#include <algorithm>
#include <utility>

namespace vorel {
namespace {

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

ScreenRect Moved(const ScreenRect& r, int32_t dx, int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

std::vector<MonitorArea> InPictureOrder(ScreenGeometry geometry) {
  std::erase_if(geometry, [](const MonitorArea& m) { return m.area.Empty(); });
  if (geometry.empty()) return geometry;
  auto primary = std::find_if(geometry.begin(), geometry.end(), [](const MonitorArea& m) { return m.primary; });
  // A system that names no primary still has its screen origin on one of them.
  if (primary == geometry.end())
    primary = std::find_if(geometry.begin(), geometry.end(),
                           [](const MonitorArea& m) { return m.area.left == 0 && m.area.top == 0; });
  if (primary == geometry.end()) primary = geometry.begin();
  std::iter_swap(geometry.begin(), primary);
  for (auto it = geometry.begin() + 1; it != geometry.end(); ++it) it->primary = false;
  geometry.front().primary = true;
  std::stable_sort(geometry.begin() + 1, geometry.end(), [](const MonitorArea& a, const MonitorArea& b) {
    return std::pair(a.area.left, a.area.top) < std::pair(b.area.left, b.area.top);
  });
  return geometry;
}

ScreenRect BoundingBox(const std::vector<ScreenRect>& rects) {
  ScreenRect box;
  bool first = true;
  for (const ScreenRect& r : rects) {
    if (r.Empty()) continue;
    if (first) {
      box = r;
      first = false;
      continue;
    }
    box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
           std::max(box.bottom, r.bottom)};
  }
  return box;
}

std::vector<ScreenRect> UncoveredParts(const ScreenRect& box, const std::vector<ScreenRect>& rects) {
  std::vector<ScreenRect> inside;
  std::vector<int32_t> edges{box.top, box.bottom};
  for (const ScreenRect& r : rects) {
    const ScreenRect clipped = Intersection(r, box);
    if (clipped.Empty()) continue;
    inside.push_back(clipped);
    edges.push_back(clipped.top);
    edges.push_back(clipped.bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  std::vector<ScreenRect> parts;
  std::vector<size_t> previousBand;  // parts of the band just above, to be continued downwards
  for (size_t e = 0; e + 1 < edges.size(); ++e) {
    const int32_t top = edges[e];
    const int32_t bottom = edges[e + 1];
    std::vector<std::pair<int32_t, int32_t>> covered;
    for (const ScreenRect& r : inside)
      if (r.top <= top && r.bottom >= bottom) covered.emplace_back(r.left, r.right);
    std::sort(covered.begin(), covered.end());
    std::vector<size_t> band;
    int32_t x = box.left;
    const auto gap = [&](int32_t left, int32_t right) {
      if (right <= left) return;
      // The same columns as a part of the band above: that part grows instead.
      for (size_t index : previousBand) {
        ScreenRect& above = parts[index];
        if (above.left == left && above.right == right && above.bottom == top) {
          above.bottom = bottom;
          band.push_back(index);
          return;
        }
      }
      band.push_back(parts.size());
      parts.push_back({left, top, right, bottom});
    };
    for (const auto& [left, right] : covered) {
      gap(x, left);
      x = std::max(x, right);
    }
    gap(x, box.right);
    previousBand = std::move(band);
  }
  return parts;
}

namespace {

void FillWindow(const PixelWindow& window, uint32_t colour) {
  for (int32_t y = 0; y < window.height; ++y) std::fill_n(window.Row(y), window.width, colour);
}

}  // namespace

std::vector<bool> ComposeVirtualScreen(Picture& canvas, const WallpaperLayout& layout, const MonitorFitStep& fit,
                                       const DesktopColourSource& desktopColour) {
  canvas = Picture{};
  canvas.width = std::max(layout.Width(), 0);
  canvas.height = std::max(layout.Height(), 0);
  // Every pixel is written below: the uncovered parts and each monitor's part.
  canvas.pixels.resize(static_cast<size_t>(canvas.width) * static_cast<size_t>(canvas.height));
  std::vector<bool> shown(layout.monitors.size(), false);
  if (canvas.Empty()) return shown;
  const uint32_t colour = desktopColour();
  for (const ScreenRect& r : layout.uncovered)
    FillWindow(WindowOf(canvas, r.left, r.top, r.Width(), r.Height()), colour);
  for (size_t i = layout.monitors.size(); i-- > 0;) {
    const ScreenRect& r = layout.monitors[i];
    const PixelWindow part = WindowOf(canvas, r.left, r.top, r.Width(), r.Height());
    if (!part.origin) continue;
    shown[i] = fit(i, part);
    if (!shown[i]) FillWindow(part, desktopColour());
  }
  return shown;
}

void UnrollVirtualScreen(Picture& picture, Offset roll) {
  if (picture.Empty() || picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) return;
  const auto wrap = [](int64_t v, int64_t n) { return ((v % n) + n) % n; };
  const int64_t dx = wrap(roll.x, picture.width);
  const int64_t dy = wrap(roll.y, picture.height);
  const auto begin = picture.pixels.begin();
  if (dy) std::rotate(begin, begin + (picture.height - dy) * picture.width, picture.pixels.end());
  if (dx)
    for (int64_t y = 0; y < picture.height; ++y) {
      const auto row = begin + y * picture.width;
      std::rotate(row, row + (picture.width - dx), row + picture.width);
    }
}

WallpaperLayout LayoutOf(const ScreenGeometry& geometry) {
  WallpaperLayout layout;
  const std::vector<MonitorArea> ordered = InPictureOrder(geometry);
  std::vector<ScreenRect> areas;
  for (const MonitorArea& m : ordered) areas.push_back(m.area);
  layout.box = BoundingBox(areas);
  for (const ScreenRect& r : areas) layout.monitors.push_back(Moved(r, -layout.box.left, -layout.box.top));
  layout.uncovered = UncoveredParts({0, 0, layout.Width(), layout.Height()}, layout.monitors);
  return layout;
}

}  // namespace vorel
