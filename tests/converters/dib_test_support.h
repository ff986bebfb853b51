// Builders for DIB headers and pixel rows, shared by the native decoder tests and the
// comparison with GDI under Wine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/picture.h"

namespace vorel::testing {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

inline void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

struct InfoFields {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = kRgb;
  uint32_t clrUsed = 0;
  uint32_t headerSize = 40;  // 40, 108 (V4) or 124 (V5)
  uint32_t sizeImage = 0;
  uint16_t planes = 1;
  uint32_t masks[3] = {0, 0, 0};  // written into V4/V5 headers
};

inline std::string InfoHeader(const InfoFields& f) {
  std::string s;
  Put32(s, f.headerSize);
  Put32(s, static_cast<uint32_t>(f.width));
  Put32(s, static_cast<uint32_t>(f.height));
  Put16(s, f.planes);
  Put16(s, f.bitCount);
  Put32(s, f.compression);
  Put32(s, f.sizeImage);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, f.clrUsed);
  Put32(s, 0);
  if (f.headerSize > 40) {
    for (uint32_t m : f.masks) Put32(s, m);
    Put32(s, 0);           // alpha mask
    Put32(s, 0x73524742);  // LCS_sRGB
    s.append(f.headerSize - s.size(), '\0');
  }
  return s;
}

inline std::string CoreHeader(uint16_t width, uint16_t height, uint16_t bitCount) {
  std::string s;
  Put32(s, 12);
  Put16(s, width);
  Put16(s, height);
  Put16(s, 1);
  Put16(s, bitCount);
  return s;
}

inline std::string Quads(const std::vector<uint32_t>& colors) {
  std::string s;
  for (uint32_t c : colors) {
    s += static_cast<char>(c & 0xFF);
    s += static_cast<char>((c >> 8) & 0xFF);
    s += static_cast<char>((c >> 16) & 0xFF);
    s += '\0';
  }
  return s;
}

inline std::string Triples(const std::vector<uint32_t>& colors) {
  std::string s;
  for (uint32_t c : colors) {
    s += static_cast<char>(c & 0xFF);
    s += static_cast<char>((c >> 8) & 0xFF);
    s += static_cast<char>((c >> 16) & 0xFF);
  }
  return s;
}

// Rows of `bitCount` bits per pixel, padded to 4 bytes, in stored order (bottom row first
// unless topDown). `value(x, y)` gives the raw pixel value of the picture's row y (0 = top).
inline std::string Rows(int width, int height, int bitCount, bool topDown,
                        const std::function<uint32_t(int, int)>& value) {
  const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
  std::string bits(stride * height, '\0');
  for (int r = 0; r < height; ++r) {
    const int y = topDown ? r : height - 1 - r;
    char* row = bits.data() + stride * r;
    for (int x = 0; x < width; ++x) {
      const uint32_t v = value(x, y);
      switch (bitCount) {
        case 1:
          row[x / 8] = static_cast<char>(row[x / 8] | ((v & 1) << (7 - x % 8)));
          break;
        case 4:
          row[x / 2] = static_cast<char>(row[x / 2] | ((v & 0xF) << (x % 2 ? 0 : 4)));
          break;
        case 8:
          row[x] = static_cast<char>(v);
          break;
        case 16:
          row[2 * x] = static_cast<char>(v & 0xFF);
          row[2 * x + 1] = static_cast<char>(v >> 8);
          break;
        case 24:
          for (int k = 0; k < 3; ++k) row[3 * x + k] = static_cast<char>(v >> (8 * k));
          break;
        default:
          for (int k = 0; k < 4; ++k) row[4 * x + k] = static_cast<char>(v >> (8 * k));
          break;
      }
    }
  }
  return bits;
}

// A .bmp file: the file header with the given bits offset, then the rest as given.
inline std::string BmpFile(const std::string& info, const std::string& table, const std::string& bits, uint32_t offBits,
                           const std::string& gap = "") {
  std::string f = "BM";
  Put32(f, static_cast<uint32_t>(14 + info.size() + table.size() + gap.size() + bits.size()));
  Put32(f, 0);
  Put32(f, offBits);
  return f + info + table + gap + bits;
}

inline Picture PictureOf(int width, int height, const std::function<uint32_t(int, int)>& color) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.pixels.push_back(color(x, y));
  return p;
}

// A small palette and pictures whose colours change with every pixel.
inline std::vector<uint32_t> TestPalette(int count) {
  std::vector<uint32_t> colors;
  for (int i = 0; i < count; ++i)
    colors.push_back((static_cast<uint32_t>(i * 53 + 17) & 0xFF) << 16 |
                     (static_cast<uint32_t>(i * 97 + 5) & 0xFF) << 8 | (static_cast<uint32_t>(255 - i * 31) & 0xFF));
  return colors;
}
inline uint32_t TestColor(int x, int y) {
  return (static_cast<uint32_t>(x * 41 + y * 7) & 0xFF) << 16 | (static_cast<uint32_t>(y * 67 + 3) & 0xFF) << 8 |
         (static_cast<uint32_t>(x * 13 ^ y * 29) & 0xFF);
}

// Channel value of `bits` bits scaled to 8 bits the way GDI scales 5- and 6-bit fields.
inline uint32_t Scale(uint32_t v, int bits) {
  return bits == 8 ? v : ((v << (8 - bits)) | (v >> (2 * bits - 8))) & 0xFF;
}

// Header and pixel variants with the picture each must give.
struct DibCase {
  std::string name;
  std::string info;
  std::string bits;
  Picture expected;
};

inline std::vector<DibCase> DibVariants() {
  std::vector<DibCase> cases;
  const auto pal = TestPalette(256);
  auto idx = [](int mod) { return [mod](int x, int y) { return static_cast<uint32_t>((x * 3 + y * 5) % mod); }; };

  cases.push_back(
      {"Core24BottomUp", CoreHeader(3, 2, 24), Rows(3, 2, 24, false, TestColor), PictureOf(3, 2, TestColor)});
  cases.push_back({"Core8RgbTriples", CoreHeader(5, 3, 8) + Triples(std::vector<uint32_t>(pal.begin(), pal.end())),
                   Rows(5, 3, 8, false, idx(256)), PictureOf(5, 3, [&](int x, int y) { return pal[idx(256)(x, y)]; })});
  cases.push_back({"Core1", CoreHeader(11, 2, 1) + Triples({0x102030, 0xFFEEDD}), Rows(11, 2, 1, false, idx(2)),
                   PictureOf(11, 2, [](int x, int y) { return (x * 3 + y * 5) % 2 ? 0xFFEEDDu : 0x102030u; })});

  cases.push_back({"Info1FullTable",
                   InfoHeader({.width = 11, .height = 3, .bitCount = 1}) + Quads({0x000000, 0xFFFFFF}),
                   Rows(11, 3, 1, false, idx(2)),
                   PictureOf(11, 3, [](int x, int y) { return (x * 3 + y * 5) % 2 ? 0xFFFFFFu : 0u; })});
  // Five colours for sixteen indexes: the rest are black, and nothing is read beyond the table.
  cases.push_back({"Info4ShortTable",
                   InfoHeader({.width = 7, .height = 3, .bitCount = 4, .clrUsed = 5}) +
                       Quads(std::vector<uint32_t>(pal.begin(), pal.begin() + 5)),
                   Rows(7, 3, 4, false, idx(16)), PictureOf(7, 3, [&](int x, int y) {
                     const uint32_t i = idx(16)(x, y);
                     return i < 5 ? pal[i] : 0u;
                   })});
  cases.push_back({"Info8TopDownShortTable",
                   InfoHeader({.width = 6, .height = -4, .bitCount = 8, .clrUsed = 40}) +
                       Quads(std::vector<uint32_t>(pal.begin(), pal.begin() + 40)),
                   Rows(6, 4, 8, true, [](int x, int y) { return static_cast<uint32_t>(x * 50 + y); }),
                   PictureOf(6, 4, [&](int x, int y) {
                     const uint32_t i = static_cast<uint32_t>(x * 50 + y);
                     return i < 40 ? pal[i] : 0u;
                   })});
  // clrUsed above the maximum is capped to the full table.
  cases.push_back({"Info4ClrUsedTooLarge",
                   InfoHeader({.width = 4, .height = 2, .bitCount = 4, .clrUsed = 300}) +
                       Quads(std::vector<uint32_t>(pal.begin(), pal.begin() + 16)),
                   Rows(4, 2, 4, false, idx(16)), PictureOf(4, 2, [&](int x, int y) { return pal[idx(16)(x, y)]; })});

  auto five = [](int x, int y) { return static_cast<uint32_t>((x * 7 + y) & 31); };
  auto six = [](int x, int y) { return static_cast<uint32_t>((x * 11 + y * 3) & 63); };
  cases.push_back(
      {"Info16Rgb555", InfoHeader({.width = 5, .height = 3, .bitCount = 16}),
       Rows(5, 3, 16, false, [&](int x, int y) { return five(x, y) << 10 | five(y, x) << 5 | 31; }),
       PictureOf(5, 3, [&](int x, int y) { return Scale(five(x, y), 5) << 16 | Scale(five(y, x), 5) << 8 | 0xFF; })});
  cases.push_back({"Info16Bitfields565",
                   InfoHeader({.width = 5, .height = 3, .bitCount = 16, .compression = kBitfields}) +
                       [] {
                         std::string m;
                         Put32(m, 0xF800);
                         Put32(m, 0x07E0);
                         Put32(m, 0x001F);
                         return m;
                       }(),
                   Rows(5, 3, 16, false, [&](int x, int y) { return five(x, y) << 11 | six(x, y) << 5 | five(y, x); }),
                   PictureOf(5, 3, [&](int x, int y) {
                     return Scale(five(x, y), 5) << 16 | Scale(six(x, y), 6) << 8 | Scale(five(y, x), 5);
                   })});
  cases.push_back({"Info24TopDown", InfoHeader({.width = 5, .height = -3}), Rows(5, 3, 24, true, TestColor),
                   PictureOf(5, 3, TestColor)});
  cases.push_back({"Info32RgbIgnoresTopByte", InfoHeader({.width = 3, .height = 2, .bitCount = 32}),
                   Rows(3, 2, 32, false, [](int x, int y) { return 0xAB000000u | TestColor(x, y); }),
                   PictureOf(3, 2, TestColor)});
  cases.push_back({"Info32BitfieldsSwapped",
                   InfoHeader({.width = 3, .height = 2, .bitCount = 32, .compression = kBitfields}) +
                       [] {
                         std::string m;
                         Put32(m, 0x000000FF);
                         Put32(m, 0x0000FF00);
                         Put32(m, 0x00FF0000);
                         return m;
                       }(),
                   Rows(3, 2, 32, false,
                        [](int x, int y) {
                          const uint32_t c = TestColor(x, y);
                          return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16);
                        }),
                   PictureOf(3, 2, TestColor)});
  cases.push_back({"V4Palette8", InfoHeader({.width = 4, .height = 2, .bitCount = 8, .headerSize = 108}) + Quads(pal),
                   Rows(4, 2, 8, false, idx(256)), PictureOf(4, 2, [&](int x, int y) { return pal[idx(256)(x, y)]; })});
  cases.push_back({"V5Bitfields32TopDown",
                   InfoHeader({.width = 3,
                               .height = -2,
                               .bitCount = 32,
                               .compression = kBitfields,
                               .headerSize = 124,
                               .masks = {0xFF0000, 0xFF00, 0xFF}}),
                   Rows(3, 2, 32, true, TestColor), PictureOf(3, 2, TestColor)});
  cases.push_back({"V5Bitfields565",
                   InfoHeader({.width = 5,
                               .height = 2,
                               .bitCount = 16,
                               .compression = kBitfields,
                               .headerSize = 124,
                               .masks = {0xF800, 0x07E0, 0x001F}}),
                   Rows(5, 2, 16, false, [&](int x, int y) { return five(x, y) << 11 | six(x, y) << 5 | five(y, x); }),
                   PictureOf(5, 2, [&](int x, int y) {
                     return Scale(five(x, y), 5) << 16 | Scale(six(x, y), 6) << 8 | Scale(five(y, x), 5);
                   })});
  return cases;
}

// RLE pictures are bottom-up; the expected grids below are written top row first.
struct RleCase {
  std::string name;
  uint32_t compression;
  int width, height;
  std::string data;
  std::vector<int> expected;  // palette indexes, -1 for pixels no code touched (black)
};

inline std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

inline std::vector<RleCase> RleCases() {
  return {
      {"Rle8RunsAbsoluteEol",
       kRle8,
       4,
       2,
       Bytes({2, 1, 0, 3, 5, 6, 7, 0 /*pad*/, 0, 0, 0, 4, 8, 9, 10, 11, 0, 1}),
       {8, 9, 10, 11, /**/ 1, 1, 5, 6}},
      {"Rle8DeltaSkipsPixels",
       kRle8,
       4,
       3,
       Bytes({1, 2, 0, 2, 2, 1, 1, 3, 0, 1}),
       {-1, -1, -1, -1, /**/ -1, -1, -1, 3, /**/ 2, -1, -1, -1}},
      // A run longer than the row is cut at the edge and does not wrap; a delta past the
      // top ends the picture; data without an end-of-bitmap code simply stops.
      {"Rle8RunsClipped",
       kRle8,
       3,
       2,
       Bytes({255, 4, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 2, 0, 9, 2, 7}),
       {1, 2, 3, /**/ 4, 4, 4}},
      {"Rle8AbsoluteRunCutShort", kRle8, 4, 1, Bytes({0, 6, 1, 2}), {-1, -1, -1, -1}},
      {"Rle4RunsAndAbsolute",
       kRle4,
       5,
       2,
       Bytes({5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1}),
       {3, 4, 5, 6, 7, /**/ 1, 2, 1, 2, 1}},
      {"Rle4RunClipped", kRle4, 3, 1, Bytes({200, 0xAB, 0, 1}), {10, 11, 10}},
  };
}

inline std::string RleInfo(const RleCase& c) {
  return InfoHeader({.width = c.width,
                     .height = c.height,
                     .bitCount = static_cast<uint16_t>(c.compression == kRle8 ? 8 : 4),
                     .compression = c.compression,
                     .clrUsed = 16,
                     .sizeImage = static_cast<uint32_t>(c.data.size())}) +
         Quads(TestPalette(16));
}

}  // namespace vorel::testing
