// For the Wine tests of the drawn calendar: a canvas that hands every call to GDI and notes
// where each text and shape went, and the count of role colours in one text's place.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/canvas.h"
#include "engine/picture.h"
#include "platform/gdi_canvas_win32.h"

namespace vorel::testing {

// A canvas colour (0x00BBGGRR) as a picture pixel (0x00RRGGBB).
inline uint32_t PixelOf(uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

struct Area {
  RECT rect;
  uint32_t colour;
  bool shape;
  bool blank;
};

// Hands every call to the GDI canvas and notes the rectangle each text and shape covers,
// from that canvas's own measures. Ellipses and round rectangles are today's marks.
class TracingCanvas : public Canvas {
 public:
  TracingCanvas(GdiCanvas& gdi, uint32_t markColour) : gdi_(gdi), markColour_(markColour) {}
  std::vector<Area> areas;

  TextSize MeasureText(const CalendarFont& font, const std::string& text) override {
    return gdi_.MeasureText(font, text);
  }
  int32_t CharHeight(const CalendarFont& font) override { return gdi_.CharHeight(font); }
  void SetFont(const CalendarFont& font) override {
    font_ = font;
    cellHeight_ = 0;
    gdi_.SetFont(font);
  }
  void SetRotatedFont(const CalendarFont& font, int32_t cellHeight) override {
    font_ = font;
    cellHeight_ = cellHeight;
    gdi_.SetRotatedFont(font, cellHeight);
  }
  void PutText(int32_t x, int32_t y, const std::string& text, uint32_t colour) override {
    const TextSize size = gdi_.MeasureText(font_, text);
    // A rotated text reads downwards in the strip of its cell height left of the pen.
    const RECT rect =
        cellHeight_ > 0 ? RECT{x - cellHeight_, y, x, y + size.width} : RECT{x, y, x + size.width, y + size.height};
    areas.push_back({rect, colour, false, text.find_first_not_of(' ') == std::string::npos});
    gdi_.PutText(x, y, text, colour);
  }
  void SetPen(PenStyle style, uint32_t colour, int32_t width) override { gdi_.SetPen(style, colour, width); }
  void SetBrush(BrushStyle style, uint32_t colour) override {
    brushColour_ = colour;
    gdi_.SetBrush(style, colour);
  }
  void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    areas.push_back({{left, top, right, bottom}, brushColour_, true, false});
    gdi_.DrawRectangle(left, top, right, bottom);
  }
  void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    areas.push_back({{left, top, right, bottom}, markColour_, true, false});
    gdi_.DrawEllipse(left, top, right, bottom);
  }
  void DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                     int32_t cornerHeight) override {
    areas.push_back({{left, top, right, bottom}, markColour_, true, false});
    gdi_.DrawRoundRect(left, top, right, bottom, cornerWidth, cornerHeight);
  }

 private:
  GdiCanvas& gdi_;
  uint32_t markColour_;
  CalendarFont font_;
  int32_t cellHeight_ = 0;
  uint32_t brushColour_ = 0;
};

struct RoleCount {
  int32_t own = 0;    // pixels of the expected colour
  int32_t other = 0;  // pixels of another of the roles
};

// The pixels of texts[index]'s place that no other text shares (line heights exceed the rows,
// so shared pixels prove nothing), counted by role colour.
inline RoleCount CountRoles(const Picture& picture, const std::vector<Area>& texts, size_t index,
                            const std::vector<uint32_t>& roles, uint32_t expected) {
  RoleCount count;
  const RECT& r = texts[index].rect;
  for (int32_t y = std::max<int32_t>(r.top, 0); y < std::min<int32_t>(r.bottom, picture.height); ++y) {
    for (int32_t x = std::max<int32_t>(r.left, 0); x < std::min<int32_t>(r.right, picture.width); ++x) {
      const bool shared = std::any_of(texts.begin(), texts.end(), [&](const Area& a) {
        return &a != &texts[index] && x >= a.rect.left && x < a.rect.right && y >= a.rect.top && y < a.rect.bottom;
      });
      if (shared) continue;
      const uint32_t p = picture.At(x, y);
      for (const uint32_t role : roles)
        if (p == PixelOf(role)) (role == expected ? count.own : count.other) += 1;
    }
  }
  return count;
}

}  // namespace vorel::testing
