// GDI objects are made per font and kept for the canvas's life: the calendar asks for the
// same three fonts hundreds of times.
#include "platform/gdi_canvas_win32.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/strings.h"

namespace vorel {
namespace {

// An empty top-down 32-bit DIB section; bits points at its pixels, null when GDI cannot hold it.
UniqueBitmap CreateDib(int32_t width, int32_t height, uint32_t*& bits) {
  bits = nullptr;
  const BITMAPINFO info = PictureDibInfo(width, height);
  void* section = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &section, nullptr, 0));
  if (!bitmap || !section) return {};
  bits = static_cast<uint32_t*>(section);
  return bitmap;
}

// A DIB section holding a copy of a part of a picture.
UniqueBitmap CreatePartDib(const PixelWindow& part, uint32_t*& bits) {
  bits = nullptr;
  if (!part.origin || part.width <= 0 || part.height <= 0) return {};
  UniqueBitmap bitmap = CreateDib(part.width, part.height, bits);
  if (!bits) return {};
  for (int32_t y = 0; y < part.height; ++y)
    std::memcpy(bits + static_cast<size_t>(y) * part.width, part.Row(y), static_cast<size_t>(part.width) * 4);
  return bitmap;
}

CanvasArea CutToPart(const CanvasArea& area, const PixelWindow& part) {
  const CanvasArea cut{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, part.width),
                       std::min(area.bottom, part.height)};
  return cut.Empty() ? CanvasArea{} : cut;
}

PixelWindow Within(const PixelWindow& part, const CanvasArea& area) {
  if (!part.origin || area.Empty()) return {};
  return {part.Row(area.top) + area.left, part.stride, area.right - area.left, area.bottom - area.top};
}

// Only a picture with every pixel serves whole.
PixelWindow PictureWindow(Picture& picture) {
  if (picture.pixels.size() != static_cast<size_t>(std::max(picture.width, 0)) * std::max(picture.height, 0)) return {};
  return WindowOf(picture);
}

// Only the colour bytes count: a stray top byte would make GDI read a palette index.
COLORREF Rgb(uint32_t colour) { return colour & 0x00FFFFFF; }

}  // namespace

BITMAPINFO PictureDibInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

UniqueBitmap CreatePictureDib(const Picture& picture, uint32_t*& bits) {
  bits = nullptr;
  if (picture.Empty() || picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) return {};
  UniqueBitmap bitmap = CreateDib(picture.width, picture.height, bits);
  if (!bits) return {};
  std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
  return bitmap;
}

GdiCanvas::GdiCanvas(Picture& picture, int32_t logPixelsY) : GdiCanvas(PictureWindow(picture), logPixelsY) {
  picture_ = &picture;
}

GdiCanvas::GdiCanvas(const PixelWindow& part, int32_t logPixelsY)
    : GdiCanvas(part, logPixelsY, CanvasArea{0, 0, part.width, part.height}) {}

GdiCanvas::GdiCanvas(const PixelWindow& part, int32_t logPixelsY, const CanvasArea& area)
    : picture_(nullptr),
      width_(part.width),
      height_(part.height),
      area_(CutToPart(area, part)),
      copied_(Within(part, area_)),
      logPixelsY_(logPixelsY > 0 ? logPixelsY : 96),
      measureDc_(CreateCompatibleDC(nullptr)),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(CreatePartDib(copied_, bits_)),
      bitmapSelection_(dc_.Get(), bitmap_.Get()),
      fontSelection_(dc_.Get(), GetStockObject(DEFAULT_GUI_FONT)),
      penSelection_(dc_.Get(), GetStockObject(BLACK_PEN)),
      brushSelection_(dc_.Get(), GetStockObject(NULL_BRUSH)),
      measureFontSelection_(measureDc_.Get(), GetStockObject(DEFAULT_GUI_FONT)) {
  SetBkMode(dc_.Get(), TRANSPARENT);
  // The part's coordinates stay the drawing's: the section's corner is the area's.
  SetViewportOrgEx(dc_.Get(), -area_.left, -area_.top, nullptr);
}

GdiCanvas::~GdiCanvas() { Finish(); }

void GdiCanvas::Finish(OverwrittenPixels* overwritten) {
  if (overwritten) *overwritten = {};
  if (!drawn_ || !bits_) return;
  drawn_ = false;
  if (picture_ && (picture_->width != width_ || picture_->height != height_ ||
                   picture_->pixels.size() != static_cast<size_t>(width_) * height_))
    return;
  GdiFlush();
  // GDI may leave its own value in the unused top byte.
  const int32_t width = copied_.width, height = copied_.height;
  const auto drawnRow = [this, width](int32_t y) { return bits_ + static_cast<size_t>(y) * width; };
  if (overwritten) {
    int32_t left = width, top = height, right = 0, bottom = 0;
    for (int32_t y = 0; y < height; ++y) {
      const uint32_t* now = drawnRow(y);
      const uint32_t* was = copied_.Row(y);
      for (int32_t x = 0; x < width; ++x)
        if ((now[x] & 0x00FFFFFF) != was[x]) {
          left = std::min(left, x);
          right = std::max(right, x + 1);
          top = std::min(top, y);
          bottom = y + 1;
        }
    }
    if (right > left) {
      Picture& old = overwritten->pixels;
      old.width = right - left;
      old.height = bottom - top;
      old.pixels.resize(static_cast<size_t>(old.width) * old.height);
      for (int32_t y = top; y < bottom; ++y)
        std::memcpy(old.pixels.data() + static_cast<size_t>(y - top) * old.width, copied_.Row(y) + left,
                    static_cast<size_t>(old.width) * 4);
      overwritten->left = area_.left + left;
      overwritten->top = area_.top + top;
    }
  }
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* now = drawnRow(y);
    uint32_t* out = copied_.Row(y);
    for (int32_t x = 0; x < width; ++x) out[x] = now[x] & 0x00FFFFFF;
  }
}

void PutBack(const OverwrittenPixels& overwritten, const PixelWindow& part) {
  const Picture& old = overwritten.pixels;
  if (old.Empty() || overwritten.left < 0 || overwritten.top < 0 || overwritten.left + old.width > part.width ||
      overwritten.top + old.height > part.height)
    return;
  for (int32_t y = 0; y < old.height; ++y)
    std::memcpy(part.Row(overwritten.top + y) + overwritten.left,
                old.pixels.data() + static_cast<size_t>(y) * old.width, static_cast<size_t>(old.width) * 4);
}

HFONT GdiCanvas::Font(const CalendarFont& font, bool rotated, int32_t cellHeight) {
  for (const CachedFont& cached : fonts_) {
    if (cached.font == font && cached.rotated == rotated && cached.cellHeight == cellHeight) {
      return cached.handle.Get();
    }
  }
  LOGFONTW logFont{};
  logFont.lfHeight = rotated ? cellHeight : -CharHeight(font);
  if (rotated) logFont.lfEscapement = logFont.lfOrientation = 2700;
  logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = font.italic;
  logFont.lfUnderline = font.underline;
  logFont.lfStrikeOut = font.strikeOut;
  logFont.lfCharSet = static_cast<BYTE>(font.charset);
  const std::wstring face = ToWide(font.name);
  face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
  fonts_.push_back({font, rotated, cellHeight, UniqueFont(CreateFontIndirectW(&logFont))});
  return fonts_.back().handle.Get();
}

TextSize GdiCanvas::MeasureText(const CalendarFont& font, const std::string& text) {
  const HDC dc = measureDc_.Get();
  SelectObject(dc, Font(font, false, 0));
  const std::wstring wide = ToWide(text.empty() ? std::string(" ") : text);
  SIZE extent{};
  TEXTMETRICW metrics{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
  GetTextMetricsW(dc, &metrics);
  return {extent.cx, metrics.tmHeight};
}

int32_t GdiCanvas::CharHeight(const CalendarFont& font) { return MulDiv(font.size, logPixelsY_, 72); }

void GdiCanvas::SetFont(const CalendarFont& font) { SelectObject(dc_.Get(), Font(font, false, 0)); }

void GdiCanvas::SetRotatedFont(const CalendarFont& font, int32_t cellHeight) {
  SelectObject(dc_.Get(), Font(font, true, cellHeight));
}

void GdiCanvas::PutText(int32_t x, int32_t y, const std::string& text, uint32_t colour) {
  const std::wstring wide = ToWide(text);
  SetTextColor(dc_.Get(), Rgb(colour));
  TextOutW(dc_.Get(), x, y, wide.c_str(), static_cast<int>(wide.size()));
  drawn_ = true;
}

void GdiCanvas::SetPen(PenStyle style, uint32_t colour, int32_t width) {
  UniquePen pen(style == PenStyle::kSolid ? CreatePen(PS_SOLID, width, Rgb(colour)) : nullptr);
  SelectObject(dc_.Get(), pen ? static_cast<HGDIOBJ>(pen.Get()) : GetStockObject(NULL_PEN));
  pen_ = std::move(pen);  // the previous pen is out of the DC now
}

void GdiCanvas::SetBrush(BrushStyle style, uint32_t colour) {
  UniqueBrush brush(style == BrushStyle::kSolid ? CreateSolidBrush(Rgb(colour)) : nullptr);
  SelectObject(dc_.Get(), brush ? static_cast<HGDIOBJ>(brush.Get()) : GetStockObject(NULL_BRUSH));
  brush_ = std::move(brush);
}

void GdiCanvas::DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Rectangle(dc_.Get(), left, top, right, bottom);
  drawn_ = true;
}

void GdiCanvas::DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Ellipse(dc_.Get(), left, top, right, bottom);
  drawn_ = true;
}

void GdiCanvas::DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                              int32_t cornerHeight) {
  RoundRect(dc_.Get(), left, top, right, bottom, cornerWidth, cornerHeight);
  drawn_ = true;
}

}  // namespace vorel
