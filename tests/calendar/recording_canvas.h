// A canvas that records every call and measures by a fixed rule, so layout tests can name
// exact coordinates: a text is (characters x size / 2) wide and size + 1 high (one pixel of
// internal leading), the empty text counts as one space, and CharHeight is the font size
// unless a test sets it for that size.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "calendar/canvas.h"

namespace vorel::testing {

enum class CallKind { kFont, kRotatedFont, kText, kPen, kBrush, kRectangle, kEllipse, kRoundRect };

struct Call {
  CallKind kind = CallKind::kText;
  // Texts: x, y. Shapes: left, top, right, bottom and the round corner.
  int32_t x = 0;
  int32_t y = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t cornerWidth = 0;
  int32_t cornerHeight = 0;
  std::string text;
  uint32_t colour = 0;  // text colour; pen and brush colour for their own calls
  // The state the call was made in.
  CalendarFont font;
  bool rotated = false;
  int32_t cellHeight = 0;
  PenStyle pen = PenStyle::kSolid;
  uint32_t penColour = 0;
  int32_t penWidth = 1;
  BrushStyle brush = BrushStyle::kSolid;
  uint32_t brushColour = 0xFFFFFF;
};

class RecordingCanvas : public Canvas {
 public:
  std::map<int32_t, int32_t> charHeights;  // by font size
  std::vector<Call> calls;

  static int32_t Glyphs(const std::string& text) {
    int32_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
  }
  // Sizes read back from the registry may be any number: the rule is applied in 64 bits
  // and saturated, as a real device reports at most its coordinate range.
  static int32_t Saturate(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }
  static TextSize Measure(const CalendarFont& font, const std::string& text) {
    return {Saturate(int64_t{std::max(Glyphs(text), 1)} * (font.size / 2)), Saturate(int64_t{font.size} + 1)};
  }

  TextSize MeasureText(const CalendarFont& font, const std::string& text) override { return Measure(font, text); }
  int32_t CharHeight(const CalendarFont& font) override {
    const auto it = charHeights.find(font.size);
    return it != charHeights.end() ? it->second : font.size;
  }
  void SetFont(const CalendarFont& font) override {
    font_ = font;
    rotated_ = false;
    cellHeight_ = 0;
    Record(CallKind::kFont);
  }
  void SetRotatedFont(const CalendarFont& font, int32_t cellHeight) override {
    font_ = font;
    rotated_ = true;
    cellHeight_ = cellHeight;
    Record(CallKind::kRotatedFont);
  }
  void PutText(int32_t x, int32_t y, const std::string& text, uint32_t colour) override {
    Call& c = Record(CallKind::kText);
    c.x = x;
    c.y = y;
    c.text = text;
    c.colour = colour;
  }
  void SetPen(PenStyle style, uint32_t colour, int32_t width) override {
    pen_ = style;
    penColour_ = colour;
    penWidth_ = width;
    Record(CallKind::kPen).colour = colour;
  }
  void SetBrush(BrushStyle style, uint32_t colour) override {
    brush_ = style;
    brushColour_ = colour;
    Record(CallKind::kBrush).colour = colour;
  }
  void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    Shape(CallKind::kRectangle, left, top, right, bottom);
  }
  void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    Shape(CallKind::kEllipse, left, top, right, bottom);
  }
  void DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                     int32_t cornerHeight) override {
    Call& c = Shape(CallKind::kRoundRect, left, top, right, bottom);
    c.cornerWidth = cornerWidth;
    c.cornerHeight = cornerHeight;
  }

  // Texts drawn in a colour other than the shadow's, in order.
  std::vector<Call> Texts(uint32_t shadowColour) const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.kind == CallKind::kText && c.colour != shadowColour) out.push_back(c);
    }
    return out;
  }
  std::vector<Call> Shapes() const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.kind == CallKind::kRectangle || c.kind == CallKind::kEllipse || c.kind == CallKind::kRoundRect) {
        out.push_back(c);
      }
    }
    return out;
  }

 private:
  Call& Record(CallKind kind) {
    Call& c = calls.emplace_back();
    c.kind = kind;
    c.font = font_;
    c.rotated = rotated_;
    c.cellHeight = cellHeight_;
    c.pen = pen_;
    c.penColour = penColour_;
    c.penWidth = penWidth_;
    c.brush = brush_;
    c.brushColour = brushColour_;
    return c;
  }
  Call& Shape(CallKind kind, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Call& c = Record(kind);
    c.x = left;
    c.y = top;
    c.right = right;
    c.bottom = bottom;
    return c;
  }

  CalendarFont font_;
  bool rotated_ = false;
  int32_t cellHeight_ = 0;
  PenStyle pen_ = PenStyle::kSolid;
  uint32_t penColour_ = 0;
  int32_t penWidth_ = 1;
  BrushStyle brush_ = BrushStyle::kSolid;
  uint32_t brushColour_ = 0xFFFFFF;
};

}  // namespace vorel::testing
