// DIB decoding. The rules follow what GDI does with a BITMAPINFO: masks of BI_BITFIELDS are
// read at offset 40 whatever the header size, colour-table entries beyond the table are
// black, RLE runs are clipped at the right edge and the top, and skipped pixels stay black.
#include "converters/dib.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace vorel {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr size_t kFileHeaderSize = 14;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// One colour channel of a 16- or 32-bit pixel: the lowest run of set bits of its mask.
struct Channel {
  int shift = 0;
  int length = 0;
};

Channel MakeChannel(uint32_t mask) {
  Channel c;
  if (mask == 0) return c;
  while (!(mask & 1u)) {
    mask >>= 1;
    ++c.shift;
  }
  while (mask & 1u) {
    mask >>= 1;
    ++c.length;
  }
  return c;
}

// Scales a channel to 8 bits; short fields repeat their bits so that full scale stays white.
uint32_t Extract(uint32_t pixel, Channel c) {
  if (c.length == 0) return 0;
  const uint32_t value = static_cast<uint32_t>((uint64_t{pixel} >> c.shift) & ((uint64_t{1} << c.length) - 1));
  if (c.length >= 8) return value >> (c.length - 8);
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << c.length) | value;
    filled += c.length;
  }
  return out >> (filled - 8);
}

struct DibLayout {
  int32_t width = 0;
  int32_t height = 0;  // rows, positive
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t sizeImage = 0;
  uint32_t headerSize = 0;
  std::array<uint32_t, 256> palette{};  // 0x00RRGGBB
  Channel red, green, blue;
  uint64_t stride = 0;
  uint64_t imageBytes = 0;      // uncompressed only
  uint64_t packedInfoSize = 0;  // where the bits start in a packed DIB
};

std::optional<DibLayout> ParseInfo(const uint8_t* info, size_t infoSize) {
  if (!info || infoSize < 4) return std::nullopt;
  DibLayout d;
  d.headerSize = Read32(info);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t planes = 0;
  uint32_t clrUsed = 0;
  const bool core = d.headerSize == kCoreHeaderSize;
  if (core) {
    if (infoSize < kCoreHeaderSize) return std::nullopt;
    width = Read16(info + 4);
    height = Read16(info + 6);
    planes = Read16(info + 8);
    d.bitCount = Read16(info + 10);
  } else if (d.headerSize >= kInfoHeaderSize) {
    if (infoSize < d.headerSize) return std::nullopt;
    width = static_cast<int32_t>(Read32(info + 4));
    height = static_cast<int32_t>(Read32(info + 8));
    planes = Read16(info + 12);
    d.bitCount = Read16(info + 14);
    d.compression = Read32(info + 16);
    d.sizeImage = Read32(info + 20);
    clrUsed = Read32(info + 32);
  } else {
    return std::nullopt;
  }

  if (width <= 0 || height == 0) return std::nullopt;
  d.topDown = height < 0;
  if (d.topDown) height = -height;
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) return std::nullopt;
  d.width = static_cast<int32_t>(width);
  d.height = static_cast<int32_t>(height);

  switch (d.compression) {
    case kBiRle8:
      if (d.bitCount != 8 || d.topDown) return std::nullopt;
      break;
    case kBiRle4:
      if (d.bitCount != 4 || d.topDown) return std::nullopt;
      break;
    case kBiRgb:
      if (planes == 0) return std::nullopt;
      if (d.bitCount != 1 && d.bitCount != 4 && d.bitCount != 8 && d.bitCount != 16 && d.bitCount != 24 &&
          d.bitCount != 32)
        return std::nullopt;
      break;
    case kBiBitfields:
      if (planes == 0 || (d.bitCount != 16 && d.bitCount != 32)) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }

  if (d.compression == kBiBitfields) {
    if (infoSize < kInfoHeaderSize + 12) return std::nullopt;
    d.red = MakeChannel(Read32(info + 40));
    d.green = MakeChannel(Read32(info + 44));
    d.blue = MakeChannel(Read32(info + 48));
  } else if (d.bitCount == 16) {
    d.red = MakeChannel(0x7C00);
    d.green = MakeChannel(0x03E0);
    d.blue = MakeChannel(0x001F);
  } else if (d.bitCount == 32) {
    d.red = MakeChannel(0xFF0000);
    d.green = MakeChannel(0x00FF00);
    d.blue = MakeChannel(0x0000FF);
  }

  if (d.bitCount <= 8) {
    const uint32_t maxColors = 1u << d.bitCount;
    const uint32_t colors = clrUsed == 0 ? maxColors : std::min(clrUsed, maxColors);
    const uint64_t entrySize = core ? 3 : 4;
    if (uint64_t{d.headerSize} + colors * entrySize > infoSize) return std::nullopt;
    const uint8_t* table = info + d.headerSize;
    for (uint32_t i = 0; i < colors; ++i) {
      const uint8_t* e = table + i * entrySize;
      d.palette[i] = (uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0];
    }
  }

  if (core) {
    d.packedInfoSize = kCoreHeaderSize + (d.bitCount <= 8 ? (uint64_t{1} << d.bitCount) * 3 : 0);
  } else {
    const uint64_t colors =
        clrUsed != 0 ? std::min<uint32_t>(clrUsed, 256) : (d.bitCount > 8 ? 0 : uint64_t{1} << d.bitCount);
    const uint64_t masks = d.compression == kBiBitfields ? 12 : 0;
    d.packedInfoSize = std::max<uint64_t>(d.headerSize, kInfoHeaderSize + masks) + colors * 4;
  }
  d.stride = (static_cast<uint64_t>(d.width) * d.bitCount + 31) / 32 * 4;
  d.imageBytes = d.stride * static_cast<uint64_t>(d.height);
  return d;
}

class PixelSink {
 public:
  PixelSink(Picture& picture, const DibLayout& d) : p_(picture), d_(d) {}
  // Row 0 is the first row stored in the DIB; x and y may lie outside the picture.
  void Put(uint64_t x, uint64_t storedRow, uint32_t color) {
    if (x >= static_cast<uint64_t>(d_.width) || storedRow >= static_cast<uint64_t>(d_.height)) return;
    const uint64_t y = d_.topDown ? storedRow : d_.height - 1 - storedRow;
    p_.pixels[y * d_.width + x] = color;
  }
  uint32_t* Row(int32_t storedRow) {
    const int32_t y = d_.topDown ? storedRow : d_.height - 1 - storedRow;
    return p_.pixels.data() + static_cast<size_t>(y) * d_.width;
  }

 private:
  Picture& p_;
  const DibLayout& d_;
};

uint32_t MaskedPixel(uint32_t px, const DibLayout& d) {
  return (Extract(px, d.red) << 16) | (Extract(px, d.green) << 8) | Extract(px, d.blue);
}

// The stored rows first .. first + count - 1, whose bytes start at bits.
struct RowRange {
  int32_t first = 0;
  int32_t count = 0;
};

// Where converted rows go: the columns [first, first + columns) of each stored row that
// rowOf(stored row) gives a place for; done(stored row) after each.
struct RowOutput {
  int32_t first = 0;
  int32_t columns = 0;
  std::function<uint32_t*(int32_t storedRow)> rowOf;
  std::function<void(int32_t storedRow)> done;
};

// One loop per depth: the depth is the same for every pixel, and a loop without a choice
// inside is one the compiler can unroll and vectorise.
template <typename PixelOf>
void DecodeRowsWith(const DibLayout& d, const uint8_t* bits, const RowOutput& output, RowRange rows, PixelOf pixelOf) {
  const int32_t first = output.first;
  const int32_t end = output.first + output.columns;
  for (int32_t r = 0; r < rows.count; ++r) {
    uint32_t* __restrict out = output.rowOf(rows.first + r);
    if (!out) continue;
    const uint8_t* __restrict row = bits + static_cast<size_t>(r) * d.stride;
    for (int32_t x = first; x < end; ++x) *out++ = pixelOf(row, x);
    if (output.done) output.done(rows.first + r);
  }
}

void DecodeRows(const DibLayout& d, const uint8_t* bits, const RowOutput& output, RowRange rows) {
  const uint32_t* palette = d.palette.data();
  switch (d.bitCount) {
    case 1:
      return DecodeRowsWith(d, bits, output, rows, [palette](const uint8_t* row, int32_t x) {
        return palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
      });
    case 4:
      return DecodeRowsWith(d, bits, output, rows, [palette](const uint8_t* row, int32_t x) {
        return palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
      });
    case 8:
      return DecodeRowsWith(d, bits, output, rows,
                            [palette](const uint8_t* row, int32_t x) { return palette[row[x]]; });
    case 16:
      return DecodeRowsWith(d, bits, output, rows,
                            [&d](const uint8_t* row, int32_t x) { return MaskedPixel(Read16(row + 2 * x), d); });
    case 24:
      return DecodeRowsWith(d, bits, output, rows, [](const uint8_t* row, int32_t x) {
        const uint8_t* p = row + 3 * x;
        return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
      });
    default:
      if (d.compression == kBiRgb)
        return DecodeRowsWith(d, bits, output, rows,
                              [](const uint8_t* row, int32_t x) { return Read32(row + 4 * x) & 0xFFFFFF; });
      return DecodeRowsWith(d, bits, output, rows,
                            [&d](const uint8_t* row, int32_t x) { return MaskedPixel(Read32(row + 4 * x), d); });
  }
}

// RLE8 and RLE4 share their escapes; they differ in how a byte gives pixels.
void DecodeRle(const DibLayout& d, const uint8_t* data, size_t size, PixelSink& sink) {
  const bool four = d.compression == kBiRle4;
  uint64_t x = 0;
  uint64_t y = 0;
  size_t i = 0;
  const uint64_t width = static_cast<uint64_t>(d.width);
  while (i + 2 <= size && y < static_cast<uint64_t>(d.height)) {
    const uint32_t count = data[i];
    const uint8_t value = data[i + 1];
    i += 2;
    if (count > 0) {
      const uint64_t visible = x < width ? std::min<uint64_t>(count, width - x) : 0;
      for (uint64_t k = 0; k < visible; ++k) {
        const uint32_t index = four ? ((k & 1) ? value & 0xF : value >> 4) : value;
        sink.Put(x + k, y, d.palette[index]);
      }
      x += count;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (i + 2 > size) return;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1u) / 2 : value;
      if (bytes > size - i) return;
      const uint64_t visible = x < width ? std::min<uint64_t>(value, width - x) : 0;
      for (uint64_t k = 0; k < visible; ++k) {
        const uint32_t index = four ? ((k & 1) ? data[i + k / 2] & 0xF : data[i + k / 2] >> 4) : data[i + k];
        sink.Put(x + k, y, d.palette[index]);
      }
      x += value;
      i += bytes + (bytes & 1);
    }
  }
}

// zeroed: false only where every row is written afterwards whatever the file holds.
std::optional<Picture> Allocate(const DibLayout& d, bool zeroed = true) {
  Picture picture;
  const size_t count = static_cast<size_t>(d.width) * static_cast<size_t>(d.height);
  try {
    if (zeroed)
      picture.pixels.assign(count, 0);
    else
      picture.pixels.resize(count);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  picture.width = d.width;
  picture.height = d.height;
  return picture;
}

std::optional<Picture> DecodeWithLayout(const DibLayout& d, const uint8_t* bits, size_t bitsSize) {
  const bool rle = d.compression == kBiRle8 || d.compression == kBiRle4;
  size_t dataSize = bitsSize;
  if (rle) {
    if (d.sizeImage > bitsSize) return std::nullopt;
    if (d.sizeImage != 0) dataSize = d.sizeImage;
  } else if (d.imageBytes > bitsSize) {
    return std::nullopt;
  }
  if (!bits && dataSize > 0) return std::nullopt;

  std::optional<Picture> picture = Allocate(d);
  if (!picture) return std::nullopt;
  PixelSink sink(*picture, d);
  if (rle) {
    DecodeRle(d, bits, dataSize, sink);
  } else {
    DecodeRows(d, bits, {0, d.width, [&sink](int32_t storedRow) { return sink.Row(storedRow); }, nullptr},
               {0, d.height});
  }
  return picture;
}

size_t ReadFully(const ByteReader& read, void* buffer, size_t bytes) {
  size_t done = 0;
  while (done < bytes) {
    const size_t got = read(static_cast<uint8_t*>(buffer) + done, bytes - done);
    if (got == 0 || got > bytes - done) break;
    done += got;
  }
  return done;
}

}  // namespace

std::optional<Picture> DecodeDib(const void* info, size_t infoSize, const void* bits, size_t bitsSize) {
  const auto layout = ParseInfo(static_cast<const uint8_t*>(info), infoSize);
  if (!layout) return std::nullopt;
  return DecodeWithLayout(*layout, static_cast<const uint8_t*>(bits), bitsSize);
}

std::optional<Picture> DecodePackedDib(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  const auto layout = ParseInfo(bytes, size);
  if (!layout || layout->packedInfoSize > size) return std::nullopt;
  const auto offset = static_cast<size_t>(layout->packedInfoSize);
  return DecodeWithLayout(*layout, bytes + offset, size - offset);
}

std::optional<Picture> DecodeBmpFile(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (!bytes || size < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const uint8_t* info = bytes + kFileHeaderSize;
  const size_t infoSize = size - kFileHeaderSize;
  const auto layout = ParseInfo(info, infoSize);
  if (!layout) return std::nullopt;

  // Writers get bfOffBits wrong now and then; like Windows, fall back to the bits that
  // follow the colour table.
  const uint64_t packedOffset = kFileHeaderSize + layout->packedInfoSize;
  const uint64_t declared = Read32(bytes + 10);
  if (declared >= kFileHeaderSize + layout->headerSize && declared < size) {
    const auto offset = static_cast<size_t>(declared);
    if (auto picture = DecodeWithLayout(*layout, bytes + offset, size - offset)) return picture;
    if (declared == packedOffset) return std::nullopt;
  }
  if (packedOffset > size) return std::nullopt;
  const auto offset = static_cast<size_t>(packedOffset);
  return DecodeWithLayout(*layout, bytes + offset, size - offset);
}

namespace {

// StreamBmpFile, except that a file that is not read in order is decoded into `whole` and
// not handed to the target.
bool StreamOrDecode(const ByteReader& read, uint64_t fileSize, RowTarget& target, size_t chunkBytes,
                    std::optional<Picture>& whole) {
  if (fileSize > SIZE_MAX) return false;
  const auto size = static_cast<size_t>(fileSize);
  // The headers, masks and colour table of every layout fit in the first bytes.
  const size_t have = std::min<size_t>(size, kFileHeaderSize + 124 + 12 + 256 * 4);
  std::string head(have, '\0');
  if (ReadFully(read, head.data(), have) != have) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(head.data());
  const auto decodeWhole = [&]() {
    std::string file = std::move(head);
    try {
      file.resize(size);
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (ReadFully(read, file.data() + have, size - have) != size - have) return false;
    whole = DecodeBmpFile(file.data(), file.size());
    return whole.has_value();
  };
  if (have < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const auto layout = ParseInfo(bytes + kFileHeaderSize, have - kFileHeaderSize);
  // Rows are converted as they arrive where the file says plainly where they are; anything
  // else (run lengths, an offset that needs the fallback) is decoded from the whole file.
  const uint64_t declared = Read32(bytes + 10);
  if (!layout || layout->compression == kBiRle8 || layout->compression == kBiRle4 || layout->height <= 0 ||
      layout->stride == 0 || declared < kFileHeaderSize + layout->headerSize || declared >= size ||
      layout->imageBytes > size - declared)
    return decodeWhole();

  const DibLayout& d = *layout;
  if (!target.Begin(d.width, d.height, !d.topDown)) return false;
  const auto pictureRow = [&d](int32_t storedRow) { return d.topDown ? storedRow : d.height - 1 - storedRow; };
  const RowOutput output{target.FirstColumn(), target.Columns(),
                         [&](int32_t storedRow) { return target.Row(pictureRow(storedRow)); },
                         [&](int32_t storedRow) { target.RowDone(pictureRow(storedRow)); }};
  const auto stride = static_cast<size_t>(d.stride);
  const auto perChunk = static_cast<int32_t>(
      std::clamp<size_t>(chunkBytes / std::max<size_t>(stride, 1), 1, static_cast<size_t>(d.height)));
  std::vector<uint8_t> chunk;
  try {
    chunk.resize(static_cast<size_t>(perChunk) * stride);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The bytes between what was read and the rows, and the rows that came with the headers.
  std::string_view carried;
  if (declared <= have) {
    carried = std::string_view(head).substr(static_cast<size_t>(declared));
  } else {
    for (size_t skip = static_cast<size_t>(declared) - have; skip > 0;) {
      const size_t step = std::min(skip, chunk.size());
      if (ReadFully(read, chunk.data(), step) != step) return false;
      skip -= step;
    }
  }
  // Every row is converted from bytes read in full, or the decoding fails.
  for (int32_t row = 0; row < d.height; row += perChunk) {
    const int32_t count = std::min(perChunk, d.height - row);
    const size_t need = static_cast<size_t>(count) * stride;
    const size_t taken = std::min(carried.size(), need);
    std::copy_n(carried.data(), taken, chunk.data());
    carried.remove_prefix(taken);
    if (ReadFully(read, chunk.data() + taken, need - taken) != need - taken) return false;
    DecodeRows(d, chunk.data(), output, {row, count});
  }
  return true;
}

}  // namespace

bool StreamBmpFile(const ByteReader& read, uint64_t fileSize, RowTarget& target, size_t chunkBytes) {
  std::optional<Picture> whole;
  if (!StreamOrDecode(read, fileSize, target, chunkBytes, whole)) return false;
  return !whole || FeedRows(*whole, target);
}

std::optional<Picture> DecodeBmpStream(const ByteReader& read, uint64_t fileSize, size_t chunkBytes) {
  WholePicture target;
  std::optional<Picture> whole;
  if (!StreamOrDecode(read, fileSize, target, chunkBytes, whole)) return std::nullopt;
  if (whole) return whole;
  return std::move(target.picture);
}

}  // namespace vorel
