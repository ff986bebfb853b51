// What the calendar drawers need from a drawing surface. The product draws with GDI on the
// wallpaper's bitmap; the layout tests record the calls with a deterministic measurer.
// Coordinates are pixels of the wallpaper canvas; shapes follow GDI: the right and bottom
// coordinates lie outside the shape. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>

#include "engine/settings.h"

namespace vorel {

struct TextSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const TextSize&) const = default;
};

enum class PenStyle { kSolid, kClear };
enum class BrushStyle { kSolid, kClear };

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Single-line width and full line height (ascent plus descent) of the text in the font,
  // as on the screen. The empty text is measured as one space.
  virtual TextSize MeasureText(const CalendarFont& font, const std::string& text) = 0;
  // Point size x logical pixels per inch / 72, rounded.
  virtual int32_t CharHeight(const CalendarFont& font) = 0;

  // The font later texts are drawn in: upright, as the settings describe it...
  virtual void SetFont(const CalendarFont& font) = 0;
  // ...or rotated to read downwards (escapement 2700), with the given cell height, weight
  // 700 or 400 from the font's bold flag, and its other styles.
  virtual void SetRotatedFont(const CalendarFont& font, int32_t cellHeight) = 0;
  // Text in the current font, transparent background, top-left of the text at (x, y).
  virtual void PutText(int32_t x, int32_t y, const std::string& text, uint32_t colour) = 0;

  virtual void SetPen(PenStyle style, uint32_t colour, int32_t width) = 0;
  virtual void SetBrush(BrushStyle style, uint32_t colour) = 0;
  virtual void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  virtual void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  virtual void DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                             int32_t cornerHeight) = 0;
};

}  // namespace vorel
