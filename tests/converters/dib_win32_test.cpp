// The DIB decoder against GDI itself: each variant goes through SetDIBits into a 32-bit
// DIB section and through DecodeDib, and the pixels must agree.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "converters/dib.h"
#include "platform/unique_handle.h"
#include "tests/converters/dib_test_support.h"

namespace vorel {
namespace {

using namespace vorel::testing;

// What GDI makes of the DIB; rows top-down, 0x00RRGGBB.
std::optional<Picture> ThroughGdi(const std::string& info, const std::string& bits, int width, int height) {
  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  target.bmiHeader.biWidth = width;
  target.bmiHeader.biHeight = -height;
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 32;
  void* pixels = nullptr;
  UniqueBitmap section(CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!section || !pixels) return std::nullopt;
  std::memset(pixels, 0, static_cast<size_t>(width) * height * 4);

  // BITMAPINFO wants DWORD alignment.
  std::vector<DWORD> infoCopy((info.size() + 3) / 4 + 1);
  std::memcpy(infoCopy.data(), info.data(), info.size());
  WindowDc screen(nullptr);
  if (SetDIBits(screen.Get(), section.Get(), 0, height, bits.data(), reinterpret_cast<BITMAPINFO*>(infoCopy.data()),
                DIB_RGB_COLORS) == 0)
    return std::nullopt;
  GdiFlush();
  Picture p{width, height, {}};
  const auto* px = static_cast<const uint32_t*>(pixels);
  for (int i = 0; i < width * height; ++i) p.pixels.push_back(px[i] & 0xFFFFFF);
  return p;
}

std::optional<Picture> Decode(const std::string& info, const std::string& bits) {
  return DecodeDib(info.data(), info.size(), bits.data(), bits.size());
}

TEST(DibAgainstGdiTest, EveryVariantMatchesSetDIBits) {
  for (const auto& c : DibVariants()) {
    SCOPED_TRACE(c.name);
    const auto gdi = ThroughGdi(c.info, c.bits, c.expected.width, c.expected.height);
    ASSERT_TRUE(gdi.has_value());
    const auto ours = Decode(c.info, c.bits);
    ASSERT_TRUE(ours.has_value());
    EXPECT_EQ(ours->pixels, gdi->pixels);
  }
}

TEST(DibAgainstGdiTest, RleMatchesSetDIBits) {
  for (const auto& c : RleCases()) {
    SCOPED_TRACE(c.name);
    const std::string info = RleInfo(c);
    const auto gdi = ThroughGdi(info, c.data, c.width, c.height);
    ASSERT_TRUE(gdi.has_value());
    const auto ours = Decode(info, c.data);
    ASSERT_TRUE(ours.has_value());
    EXPECT_EQ(ours->pixels, gdi->pixels);
  }
}

// Larger pictures with every palette index and odd widths, where row padding matters.
TEST(DibAgainstGdiTest, WidePalettedAndMaskedPictures) {
  const auto pal = TestPalette(256);
  for (int width : {1, 7, 33, 61}) {
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
      SCOPED_TRACE(::testing::Message() << width << " pixels, " << bitCount << " bits");
      const int height = 9;
      InfoFields f{
          .width = width, .height = bitCount == 8 ? -height : height, .bitCount = static_cast<uint16_t>(bitCount)};
      std::string info;
      if (bitCount <= 8) {
        f.clrUsed = (1u << bitCount) - 1;  // the highest index lies beyond the table
        info = InfoHeader(f) + Quads(std::vector<uint32_t>(pal.begin(), pal.begin() + f.clrUsed));
      } else if (bitCount == 16) {
        f.compression = kBitfields;
        info = InfoHeader(f);
        Put32(info, 0x0F00);  // 4-4-4
        Put32(info, 0x00F0);
        Put32(info, 0x000F);
      } else {
        info = InfoHeader(f);
      }
      const std::string bits = Rows(width, height, bitCount, bitCount == 8,
                                    [](int x, int y) { return static_cast<uint32_t>(x * 2654435761u ^ y * 40503u); });
      const auto gdi = ThroughGdi(info, bits, width, height);
      ASSERT_TRUE(gdi.has_value());
      const auto ours = Decode(info, bits);
      ASSERT_TRUE(ours.has_value());
      EXPECT_EQ(ours->pixels, gdi->pixels);
    }
  }
}

}  // namespace
}  // namespace vorel
