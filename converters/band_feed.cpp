#include "converters/band_feed.h"

#include <utility>

namespace vorel {
namespace {

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

// c over the background with coverage a, c already multiplied by a.
inline uint32_t OverPremultiplied(uint32_t c, uint32_t a, uint32_t background) {
  return c + ((255 - a) * background + 127) / 255;
}
inline uint32_t OverStraight(uint32_t c, uint32_t a, uint32_t background) {
  return (c * a + background * (255 - a) + 127) / 255;
}

}  // namespace

size_t BytesPerPixel(BandFormat format) {
  switch (format) {
    case BandFormat::kBgr24:
      return 3;
    case BandFormat::kGray8:
      return 1;
    default:
      return 4;
  }
}

BandFeed::BandFeed(int32_t storedWidth, int32_t storedHeight, OrientationMap orientation, BandFormat format,
                   uint32_t background)
    : width_(storedWidth),
      height_(storedHeight),
      orientation_(orientation),
      format_(format),
      background_(background & 0xFFFFFF) {}

bool BandFeed::Begin(RowTarget& target) {
  target_ = &target;
  if (width_ <= 0 || height_ <= 0) return false;
  if (orientation_.transposed) {
    // Every band is a column of the upright picture: it is put together whole first.
    WholePicture turned;
    if (!turned.Begin(height_, width_, false)) return false;
    turned_ = std::move(turned.picture);
    firstColumn_ = 0;
    columns_ = width_;
    return true;
  }
  if (!target.Begin(width_, height_, orientation_.mirrorRows)) return false;
  const int32_t first = target.FirstColumn();
  columns_ = target.Columns();
  firstColumn_ = orientation_.mirrorColumns ? width_ - first - columns_ : first;
  return true;
}

void BandFeed::ConvertRow(const uint8_t* from, uint32_t* out, int32_t count, int64_t step) const {
  const size_t bytes = BytesPerPixel(format_);
  const uint32_t br = background_ >> 16, bg = (background_ >> 8) & 0xFF, bb = background_ & 0xFF;
  for (int32_t i = 0; i < count; ++i, from += bytes, out += step) {
    switch (format_) {
      case BandFormat::kPremultipliedBgra: {
        const uint32_t a = from[3];
        *out = a == 255 ? Rgb(from[2], from[1], from[0])
                        : Rgb(OverPremultiplied(from[2], a, br), OverPremultiplied(from[1], a, bg),
                              OverPremultiplied(from[0], a, bb));
        break;
      }
      case BandFormat::kBgra: {
        const uint32_t a = from[3];
        *out = a == 255 ? Rgb(from[2], from[1], from[0])
                        : Rgb(OverStraight(from[2], a, br), OverStraight(from[1], a, bg), OverStraight(from[0], a, bb));
        break;
      }
      case BandFormat::kBgr32:
      case BandFormat::kBgr24:
        *out = Rgb(from[2], from[1], from[0]);
        break;
      case BandFormat::kGray8:
        *out = Rgb(from[0], from[0], from[0]);
        break;
    }
  }
}

void BandFeed::Band(int32_t firstRow, int32_t rows, const uint8_t* pixels, size_t stride) {
  for (int32_t r = 0; r < rows; ++r, pixels += stride) {
    const int32_t stored = firstRow + r;
    if (stored < 0 || stored >= height_) continue;
    ++rowsDone_;
    if (turned_) {
      // Stored row s is column s of the transposed picture, before the mirrors.
      Picture& t = *turned_;
      const int32_t x = orientation_.mirrorColumns ? t.width - 1 - stored : stored;
      const int32_t y0 = orientation_.mirrorRows ? t.height - 1 : 0;
      const int64_t step = orientation_.mirrorRows ? -int64_t{t.width} : int64_t{t.width};
      ConvertRow(pixels, t.pixels.data() + static_cast<size_t>(y0) * t.width + x, width_, step);
      continue;
    }
    const int32_t y = orientation_.mirrorRows ? height_ - 1 - stored : stored;
    uint32_t* out = target_->Row(y);
    if (!out) continue;
    if (orientation_.mirrorColumns)
      ConvertRow(pixels, out + columns_ - 1, columns_, -1);
    else
      ConvertRow(pixels, out, columns_, 1);
    target_->RowDone(y);
  }
}

bool BandFeed::Finish() {
  if (!target_ || rowsDone_ != height_) return false;
  if (!turned_) return true;
  Picture turned = std::move(*turned_);
  turned_.reset();
  return target_->TakeWhole(std::move(turned));
}

}  // namespace vorel
