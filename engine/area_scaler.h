// The area-averaging scaler: box filters when shrinking, linear ones when enlarging, each
// axis separable, in fixed point, with SSE2 loops that give the plain loops' pixels to the
// bit. Output rows are made one at a time, so a source that arrives row by row (a streamed
// file) can be scaled as it comes, holding only the rows still needed.
#pragma once

#include <cstdint>
#include <memory>

namespace vorel {

// The scaler's loops: the vector ones where the processor has them (SSE2), or the plain
// ones, which give the same pixels to the bit and are kept to check the others against.
enum class ScaleLoops { kBest, kPlain };

// A rectangle of some picture's pixels; cropping only moves the window. A ring view holds
// only `ring` rows of a taller picture, row y in slot y mod ring: the rows a streamed source
// has delivered and the scaler still needs.
struct PixelView {
  const uint32_t* origin = nullptr;
  int64_t stride = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t ring = 0;

  bool Empty() const { return origin == nullptr || width <= 0 || height <= 0; }
  const uint32_t* Row(int64_t y) const { return origin + (ring > 0 ? y % ring : y) * stride; }
};

// The source indices one output index reads, and where its weights start.
struct Tap {
  int32_t first = 0;    // first source index
  int32_t count = 0;    // number of source indices
  int32_t weights = 0;  // position of the first weight in the axis's weights
};

// Makes the output rows of a scale one at a time, each from the source rows its tap names,
// so a source that arrives row by row can be scaled as it comes.
class RowScaler {
 public:
  RowScaler(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height, ScaleLoops loops);
  ~RowScaler();
  RowScaler(RowScaler&&) noexcept;
  RowScaler& operator=(RowScaler&&) noexcept;

  // The source rows output row y reads.
  const Tap& RowTap(int32_t y) const;
  int32_t MostRowsPerOutput() const;
  void MakeRow(const PixelView& src, int32_t y, uint32_t* out);

 private:
  struct Filters;
  std::unique_ptr<Filters> filters_;
};

// Scales the whole view into a width × height rectangle of a buffer with the given stride.
void ScaleInto(const PixelView& src, uint32_t* dst, int64_t dstStride, int32_t width, int32_t height,
               ScaleLoops loops = ScaleLoops::kBest);

}  // namespace vorel
