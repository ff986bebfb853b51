#include "engine/bmp_file.h"

#include <algorithm>
#include <memory>

namespace vorel {
namespace {

char* Put16(char* out, uint32_t v) {
  out[0] = static_cast<char>(v & 0xFF);
  out[1] = static_cast<char>((v >> 8) & 0xFF);
  return out + 2;
}
char* Put32(char* out, uint32_t v) { return Put16(Put16(out, v & 0xFFFF), v >> 16); }

// One row of 0x00RRGGBB pixels as B, G, R bytes: four pixels make three whole words, so
// the loop stores words rather than single bytes.
void PackRow24(const uint32_t* src, uint32_t width, char* row) {
  uint32_t x = 0;
  for (; x + 4 <= width; x += 4, row += 12) {
    const uint32_t a = src[x] & 0xFFFFFF, b = src[x + 1] & 0xFFFFFF, c = src[x + 2] & 0xFFFFFF,
                   d = src[x + 3] & 0xFFFFFF;
    const uint32_t words[3] = {a | b << 24, b >> 8 | c << 16, c >> 16 | d << 8};
    for (int w = 0; w < 3; ++w) Put32(row + 4 * w, words[w]);
  }
  for (; x < width; ++x, row += 3) {
    const uint32_t c = src[x];
    row[0] = static_cast<char>(c & 0xFF);
    row[1] = static_cast<char>((c >> 8) & 0xFF);
    row[2] = static_cast<char>((c >> 16) & 0xFF);
  }
}

}  // namespace

bool StreamBmp24(const Picture& picture, const ByteSink& sink, size_t chunkBytes) {
  return StreamBmp24Rolled(picture, 0, 0, sink, chunkBytes);
}

bool StreamBmp24Rolled(const Picture& picture, int32_t rollX, int32_t rollY, const ByteSink& sink, size_t chunkBytes) {
  const uint32_t width = static_cast<uint32_t>(picture.Empty() ? 0 : picture.width);
  const uint32_t height = static_cast<uint32_t>(picture.Empty() ? 0 : picture.height);
  const uint32_t stride = (width * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * height;
  constexpr uint32_t kHeaders = 14 + 40;

  const size_t rowsPerChunk = std::max<size_t>(1, chunkBytes / std::max<uint32_t>(stride, 1));
  // Every byte of the buffer is written before it goes out: no zeros first.
  const size_t bufferBytes = std::max<size_t>(kHeaders, std::min<size_t>(rowsPerChunk, height) * stride);
  const std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(bufferBytes);
  char* p = buffer.get();
  *p++ = 'B';
  *p++ = 'M';
  p = Put32(p, kHeaders + imageSize);
  p = Put32(p, 0);
  p = Put32(p, kHeaders);
  p = Put32(p, 40);
  p = Put32(p, width);
  p = Put32(p, height);
  p = Put16(p, 1);
  p = Put16(p, 24);
  p = Put32(p, 0);  // BI_RGB
  p = Put32(p, imageSize);
  p = Put32(p, 2835);  // 72 dpi
  p = Put32(p, 2835);
  p = Put32(p, 0);
  Put32(p, 0);
  if (!sink(std::string_view(buffer.get(), kHeaders))) return false;

  const auto wrap = [](int64_t v, uint32_t n) { return n == 0 ? 0u : static_cast<uint32_t>(((v % n) + n) % n); };
  const uint32_t dx = wrap(rollX, width);
  const uint32_t dy = wrap(rollY, height);
  uint32_t y = height;
  while (y > 0) {
    const uint32_t rows = static_cast<uint32_t>(std::min<size_t>(rowsPerChunk, y));
    char* out = buffer.get();
    for (uint32_t r = 0; r < rows; ++r) {
      --y;
      const uint32_t from = y + dy < height ? y + dy : y + dy - height;
      const uint32_t* src = picture.pixels.data() + static_cast<size_t>(from) * width;
      char* row = out + static_cast<size_t>(r) * stride;
      PackRow24(src + dx, width - dx, row);
      if (dx) PackRow24(src, dx, row + static_cast<size_t>(width - dx) * 3);
      std::fill(row + width * 3, row + stride, '\0');
    }
    if (!sink(std::string_view(out, static_cast<size_t>(rows) * stride))) return false;
  }
  return true;
}

std::string EncodeBmp24(const Picture& picture) {
  std::string out;
  StreamBmp24(picture, [&out](std::string_view bytes) {
    out.append(bytes);
    return true;
  });
  return out;
}

}  // namespace vorel
