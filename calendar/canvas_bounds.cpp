#include "calendar/canvas_bounds.h"

#include <algorithm>
#include <limits>

namespace vorel {
namespace {

int32_t Clamp(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

TextSize BoundsCanvas::MeasureText(const CalendarFont& font, const std::string& text) {
  return measures_.MeasureText(font, text);
}

int32_t BoundsCanvas::CharHeight(const CalendarFont& font) { return measures_.CharHeight(font); }

void BoundsCanvas::SetFont(const CalendarFont& font) {
  font_ = font;
  cellHeight_ = 0;
}

void BoundsCanvas::SetRotatedFont(const CalendarFont& font, int32_t cellHeight) {
  font_ = font;
  cellHeight_ = std::max(cellHeight, 1);
}

void BoundsCanvas::PutText(int32_t x, int32_t y, const std::string& text, uint32_t) {
  const TextSize size = measures_.MeasureText(font_, text);
  // A glyph reaches past its cell by a fraction of the line's height (italic leans a third of
  // it); a whole line's height on every side is ample.
  const int64_t height = std::max({size.height, cellHeight_, 1});
  const int64_t width = std::max(size.width, 0);
  const int64_t lean = font_.italic ? height / 3 : 0;
  if (cellHeight_ > 0) {
    // Reads downwards, in the strip of its cell height left of the pen.
    Add(int64_t{x} - cellHeight_ - height, int64_t{y} - height, int64_t{x} + height, int64_t{y} + width + height);
    Join(covered_, int64_t{x} - cellHeight_, y, x, int64_t{y} + width + lean);
  } else {
    Add(int64_t{x} - height, int64_t{y} - height, int64_t{x} + width + height, int64_t{y} + size.height + height);
    Join(covered_, x, y, int64_t{x} + width + lean, int64_t{y} + size.height);
  }
}

void BoundsCanvas::SetPen(PenStyle style, uint32_t, int32_t width) {
  penWidth_ = style == PenStyle::kSolid ? std::max(width, 1) : 0;
}

void BoundsCanvas::AddShape(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  // A pen is centred on the edge; two pixels more for the rounding of its ends.
  const int64_t reach = penWidth_ / 2 + 2;
  Add(int64_t{std::min(left, right)} - reach, int64_t{std::min(top, bottom)} - reach,
      int64_t{std::max(left, right)} + reach, int64_t{std::max(top, bottom)} + reach);
  Join(covered_, int64_t{std::min(left, right)} - penWidth_ / 2, int64_t{std::min(top, bottom)} - penWidth_ / 2,
       int64_t{std::max(left, right)} + penWidth_ / 2, int64_t{std::max(top, bottom)} + penWidth_ / 2);
}

void BoundsCanvas::DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  AddShape(left, top, right, bottom);
}

void BoundsCanvas::DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  AddShape(left, top, right, bottom);
}

void BoundsCanvas::DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t, int32_t) {
  AddShape(left, top, right, bottom);
}

void BoundsCanvas::Add(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  Join(area_, left, top, right, bottom);
}

void BoundsCanvas::Join(CanvasArea& area, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  const CanvasArea added{Clamp(left), Clamp(top), Clamp(right), Clamp(bottom)};
  if (added.Empty()) return;
  if (area.Empty()) {
    area = added;
    return;
  }
  area = {std::min(area.left, added.left), std::min(area.top, added.top), std::max(area.right, added.right),
          std::max(area.bottom, added.bottom)};
}

}  // namespace vorel
