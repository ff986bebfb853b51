// Where a drawing on a canvas can reach, worked out before it is drawn: the wallpaper's
// calendar covers a small corner of the screen, and GDI needs a copy of only that corner.
#pragma once

#include <cstdint>
#include <string>

#include "calendar/canvas.h"

namespace vorel {

// Right and bottom are outside; empty until something is drawn.
struct CanvasArea {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const CanvasArea&) const = default;
};

// Draws nothing: measures with the canvas it is given and notes the rectangle of every text
// and shape, widened by what GDI paints past a measured rectangle (the lean of italic and the
// overhang of glyphs, a pen straddling the edge of a shape).
class BoundsCanvas : public Canvas {
 public:
  explicit BoundsCanvas(Canvas& measures) : measures_(measures) {}
  const CanvasArea& Area() const { return area_; }
  // Tighter: the measured rectangles of the texts (an italic one's lean included) and the
  // shapes with their pens, what the eye takes for the calendar and its shadow.
  const CanvasArea& Covered() const { return covered_; }

  TextSize MeasureText(const CalendarFont& font, const std::string& text) override;
  int32_t CharHeight(const CalendarFont& font) override;
  void SetFont(const CalendarFont& font) override;
  void SetRotatedFont(const CalendarFont& font, int32_t cellHeight) override;
  void PutText(int32_t x, int32_t y, const std::string& text, uint32_t colour) override;
  void SetPen(PenStyle style, uint32_t colour, int32_t width) override;
  void SetBrush(BrushStyle, uint32_t) override {}
  void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                     int32_t cornerHeight) override;

 private:
  void Add(int64_t left, int64_t top, int64_t right, int64_t bottom);
  static void Join(CanvasArea& area, int64_t left, int64_t top, int64_t right, int64_t bottom);
  void AddShape(int32_t left, int32_t top, int32_t right, int32_t bottom);

  Canvas& measures_;
  CalendarFont font_;
  int32_t cellHeight_ = 0;  // a rotated font's; 0 for an upright one
  int32_t penWidth_ = 0;
  CanvasArea area_;
  CanvasArea covered_;
};

}  // namespace vorel
