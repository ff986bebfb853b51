// The calendar's canvas in the product: GDI drawing on a 32-bit DIB section holding a copy
// of the wallpaper picture (or of one part of it), with texts measured on a screen-compatible
// DC as the screen shows them. The drawing goes back into the picture at Finish and at the
// end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "calendar/canvas.h"
#include "calendar/canvas_bounds.h"
#include "engine/picture.h"
#include "platform/unique_handle.h"

namespace vorel {

// The header of a top-down 32-bit DIB: the picture's own memory layout, 0x00RRGGBB per pixel.
BITMAPINFO PictureDibInfo(int32_t width, int32_t height);
// A DIB section holding a copy of the picture; bits points at its pixels. Empty (bits null) when
// the picture is empty or GDI cannot hold it.
UniqueBitmap CreatePictureDib(const Picture& picture, uint32_t*& bits);

// What a drawing replaced: the old pixels of the rectangle it changed, at (left, top) of
// the part drawn on; empty when it changed nothing.
struct OverwrittenPixels {
  int32_t left = 0;
  int32_t top = 0;
  Picture pixels;
};
// Puts them back into the part they came from.
void PutBack(const OverwrittenPixels& overwritten, const PixelWindow& part);

class GdiCanvas : public Canvas {
 public:
  // The picture must keep its size while the canvas lives. A picture that GDI cannot hold
  // (empty, or no memory for the section) leaves the canvas drawing nowhere. The fonts' point
  // sizes become pixels by logPixelsY, the DPI the calendar is drawn for.
  GdiCanvas(Picture& picture, int32_t logPixelsY);
  // Draws on one part of a larger picture, which stays where it is while the canvas lives;
  // only that part is copied for GDI.
  GdiCanvas(const PixelWindow& part, int32_t logPixelsY);
  // The same, with only the area of the part copied for GDI (in the part's coordinates, cut to
  // it): drawing outside it is lost. The calendar's area comes from a BoundsCanvas.
  GdiCanvas(const PixelWindow& part, int32_t logPixelsY, const CanvasArea& area);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // Copies what was drawn since the last copy into the picture; overwritten, when given,
  // receives what the drawing replaced there.
  void Finish(OverwrittenPixels* overwritten = nullptr);
  bool Drawable() const { return bits_ != nullptr; }

  TextSize MeasureText(const CalendarFont& font, const std::string& text) override;
  int32_t CharHeight(const CalendarFont& font) override;
  void SetFont(const CalendarFont& font) override;
  void SetRotatedFont(const CalendarFont& font, int32_t cellHeight) override;
  void PutText(int32_t x, int32_t y, const std::string& text, uint32_t colour) override;
  void SetPen(PenStyle style, uint32_t colour, int32_t width) override;
  void SetBrush(BrushStyle style, uint32_t colour) override;
  void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                     int32_t cornerHeight) override;

 private:
  struct CachedFont {
    CalendarFont font;
    bool rotated;
    int32_t cellHeight;
    UniqueFont handle;
  };
  HFONT Font(const CalendarFont& font, bool rotated, int32_t cellHeight);

  Picture* picture_;  // the whole picture drawn on, whose size must not change; or none
  const int32_t width_;   // the part's
  const int32_t height_;
  CanvasArea area_;       // the part's pixels in the section, cut to the part
  PixelWindow copied_;    // those pixels in the part
  const int32_t logPixelsY_;
  bool drawn_ = false;
  UniqueMemoryDc measureDc_;
  UniqueMemoryDc dc_;
  uint32_t* bits_ = nullptr;  // set with bitmap_, owned by it
  UniqueBitmap bitmap_;
  std::vector<CachedFont> fonts_;
  UniquePen pen_;
  UniqueBrush brush_;
  // Last, so the DCs get their own objects back before the ones above are deleted.
  SelectionRestorer bitmapSelection_;
  SelectionRestorer fontSelection_;
  SelectionRestorer penSelection_;
  SelectionRestorer brushSelection_;
  SelectionRestorer measureFontSelection_;
};

}  // namespace vorel
