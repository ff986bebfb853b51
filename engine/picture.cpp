#include "engine/picture.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vorel {

bool WholePicture::Begin(int32_t width, int32_t height, bool) {
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
      int64_t{width} * height > kMaxPicturePixels)
    return false;
  try {
    // Every row is written before the picture is used; no zeros first.
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  picture.width = width;
  picture.height = height;
  return true;
}

bool RowTarget::TakeWhole(Picture&& picture) { return FeedRows(picture, *this); }

bool WholePicture::TakeWhole(Picture&& whole) {
  if (whole.Empty()) return false;
  picture = std::move(whole);
  return true;
}

bool FeedRows(const Picture& picture, RowTarget& target) {
  if (picture.Empty() || picture.pixels.size() < static_cast<size_t>(picture.width) * picture.height) return false;
  if (!target.Begin(picture.width, picture.height, false)) return false;
  const int32_t first = target.FirstColumn();
  const int32_t columns = target.Columns();
  for (int32_t y = 0; y < picture.height; ++y) {
    uint32_t* out = target.Row(y);
    if (!out) continue;
    const uint32_t* row = picture.pixels.data() + static_cast<size_t>(y) * picture.width + first;
    std::copy_n(row, columns, out);
    target.RowDone(y);
  }
  return true;
}

}  // namespace vorel
