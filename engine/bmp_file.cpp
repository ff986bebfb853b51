#include "engine/bmp_file.h"

namespace vorel {
namespace {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::string EncodeBmp24(const Picture& picture) {
  const uint32_t width = static_cast<uint32_t>(picture.Empty() ? 0 : picture.width);
  const uint32_t height = static_cast<uint32_t>(picture.Empty() ? 0 : picture.height);
  const uint32_t stride = (width * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * height;
  constexpr uint32_t kHeaders = 14 + 40;

  std::string out;
  out.reserve(kHeaders + imageSize);
  out += "BM";
  Put32(out, kHeaders + imageSize);
  Put32(out, 0);
  Put32(out, kHeaders);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);

  std::string row(stride, '\0');
  for (uint32_t y = height; y-- > 0;) {
    const uint32_t* src = picture.pixels.data() + static_cast<size_t>(y) * width;
    for (uint32_t x = 0; x < width; ++x) {
      row[x * 3 + 0] = static_cast<char>(src[x] & 0xFF);
      row[x * 3 + 1] = static_cast<char>((src[x] >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((src[x] >> 16) & 0xFF);
    }
    out += row;
  }
  return out;
}

}  // namespace vorel
