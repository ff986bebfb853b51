// The picture bitmap of the engine: 32-bit pixels 0x00RRGGBB, rows top-down, contiguous.
// Decoders (BMP files, plug-in output, the viewer's output) all land in this one type,
// and the composition works on it.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vorel {

// Like std::allocator, except that a value-less construction (resize(n)) leaves the new
// elements unset: a buffer that is written whole straight afterwards (a decoder's rows, the
// scaler's output) is not first filled with zeros, which for a large picture costs as much
// as a pass of the work itself. resize(n, value) and assign(n, value) still fill.
template <typename T>
struct UnsetOnResizeAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UnsetOnResizeAllocator<U>;
  };
  UnsetOnResizeAllocator() = default;
  template <typename U>
  UnsetOnResizeAllocator(const UnsetOnResizeAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* at) noexcept {
    std::uninitialized_default_construct_n(at, 1);
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    std::construct_at(at, std::forward<Args>(args)...);
  }
};

// The pixels of a picture; resize(n) leaves them unset (see above).
class PixelBuffer : public std::vector<uint32_t, UnsetOnResizeAllocator<uint32_t>> {
  using Base = std::vector<uint32_t, UnsetOnResizeAllocator<uint32_t>>;

 public:
  using Base::Base;
  PixelBuffer(const std::vector<uint32_t>& pixels) : Base(pixels.begin(), pixels.end()) {}  // NOLINT: implicit
  bool operator==(const PixelBuffer& other) const {
    return static_cast<const Base&>(*this) == static_cast<const Base&>(other);
  }
};

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  PixelBuffer pixels;  // width * height, row 0 is the top row

  bool Empty() const { return width <= 0 || height <= 0; }
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Picture&) const = default;
};

// A rectangle of a picture's pixels that a step writes into in place: one monitor's part of
// the virtual screen, the primary's part under the calendar.
struct PixelWindow {
  uint32_t* origin = nullptr;
  int64_t stride = 0;  // pixels from one row to the next
  int32_t width = 0;
  int32_t height = 0;

  uint32_t* Row(int64_t y) const { return origin + y * stride; }
};

// The part of the picture at (left, top), cut to the picture; the whole picture by default.
inline PixelWindow WindowOf(Picture& picture, int32_t left = 0, int32_t top = 0, int32_t width = -1,
                            int32_t height = -1) {
  if (picture.Empty() || picture.pixels.size() < static_cast<size_t>(picture.width) * picture.height) return {};
  if (width < 0) width = picture.width;
  if (height < 0) height = picture.height;
  const int32_t x0 = left < 0 ? 0 : left > picture.width ? picture.width : left;
  const int32_t y0 = top < 0 ? 0 : top > picture.height ? picture.height : top;
  const int64_t x1 = static_cast<int64_t>(left) + width > picture.width ? picture.width : int64_t{left} + width;
  const int64_t y1 = static_cast<int64_t>(top) + height > picture.height ? picture.height : int64_t{top} + height;
  if (x1 <= x0 || y1 <= y0) return {};
  return {picture.pixels.data() + static_cast<size_t>(y0) * picture.width + x0, picture.width,
          static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0)};
}

// Where a decoder that reads a picture's rows one after another puts them: a whole picture,
// or a fit that consumes each row as it arrives so the source is never held whole.
class RowTarget {
 public:
  virtual ~RowTarget() = default;
  // The picture's size, and whether its rows will come bottom row first. False refuses the
  // picture (no memory for it); nothing else is asked then.
  virtual bool Begin(int32_t width, int32_t height, bool bottomUp) = 0;
  // The columns [FirstColumn(), FirstColumn() + Columns()) that every row needs.
  virtual int32_t FirstColumn() const = 0;
  virtual int32_t Columns() const = 0;
  // Where row y (0 is the top row) goes, Columns() pixels; nullptr when the row is not needed.
  // Rows are asked for in the order Begin announced, each once, each followed by RowDone
  // once its pixels are in place.
  virtual uint32_t* Row(int32_t y) = 0;
  virtual void RowDone(int32_t y) = 0;
  // The size a picture of this size will be shown at; a decoder that can deliver fewer pixels
  // cheaply may deliver any size at least this large instead.
  virtual std::pair<int32_t, int32_t> NeededSize(int32_t width, int32_t height) const { return {width, height}; }
  // A picture that had to be decoded whole, handed over in place of its rows.
  virtual bool TakeWhole(Picture&& picture);
};

// The plain target: the whole picture.
class WholePicture : public RowTarget {
 public:
  bool Begin(int32_t width, int32_t height, bool bottomUp) override;
  int32_t FirstColumn() const override { return 0; }
  int32_t Columns() const override { return picture.width; }
  uint32_t* Row(int32_t y) override { return picture.pixels.data() + static_cast<size_t>(y) * picture.width; }
  void RowDone(int32_t) override {}
  bool TakeWhole(Picture&& whole) override;

  Picture picture;
};

// Feeds a whole picture's rows to a target, top row first.
bool FeedRows(const Picture& picture, RowTarget& target);

// Pictures larger than this are refused by every decoder: a 32-bit process cannot hold
// them, and a header claiming such a size is far more likely broken than real.
inline constexpr int32_t kMaxPictureSide = 32767;
inline constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

}  // namespace vorel
