// A picture that a system decoder hands out in bands of rows, turned upright as its
// orientation says, composed over the desktop colour where it is transparent, and passed on
// row by row to the picture's target (a fit that never holds it whole, or a whole picture).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "converters/exif_orientation.h"
#include "engine/picture.h"

namespace vorel {

// The pixel layouts a band comes in, bytes in memory order.
enum class BandFormat {
  kPremultipliedBgra,  // what the system's converter gives for every source
  kBgra,
  kBgr32,
  kBgr24,
  kGray8,
};
size_t BytesPerPixel(BandFormat format);

class BandFeed {
 public:
  // storedWidth × storedHeight are the decoder's; the target sees the upright picture.
  BandFeed(int32_t storedWidth, int32_t storedHeight, OrientationMap orientation, BandFormat format,
           uint32_t background);

  // Asks the target to take the upright picture; false when it refuses (or there is no memory
  // for a picture that has to be turned whole).
  bool Begin(RowTarget& target);
  // The stored columns every band holds: [FirstColumn(), FirstColumn() + Columns()).
  int32_t FirstColumn() const { return firstColumn_; }
  int32_t Columns() const { return columns_; }
  // Stored rows [firstRow, firstRow + rows), top row first and in order, Columns() pixels each,
  // stride bytes apart.
  void Band(int32_t firstRow, int32_t rows, const uint8_t* pixels, size_t stride);
  // After the last band: a turned picture goes to the target whole. False when rows are missing.
  bool Finish();

 private:
  void ConvertRow(const uint8_t* from, uint32_t* out, int32_t count, int64_t step) const;

  int32_t width_;
  int32_t height_;
  OrientationMap orientation_;
  BandFormat format_;
  uint32_t background_;
  RowTarget* target_ = nullptr;
  int32_t firstColumn_ = 0;
  int32_t columns_ = 0;
  int32_t rowsDone_ = 0;
  std::optional<Picture> turned_;  // transposed orientations are put together whole
};

}  // namespace vorel
