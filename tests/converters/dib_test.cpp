// DIB decoding: every header and pixel layout, RLE escapes, and refusal of broken input.
// Inputs are copied into buffers of exactly their size, so the sanitizer catches overreads.
#include "converters/dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "engine/bmp_file.h"
#include "tests/converters/dib_test_support.h"

namespace vorel {
namespace {

using namespace vorel::testing;

std::optional<Picture> Decode(const std::string& info, const std::string& bits) {
  const std::vector<uint8_t> i(info.begin(), info.end());
  const std::vector<uint8_t> b(bits.begin(), bits.end());
  return DecodeDib(i.data(), i.size(), b.empty() ? nullptr : b.data(), b.size());
}

class DibVariantTest : public ::testing::TestWithParam<DibCase> {};

TEST_P(DibVariantTest, DecodesToTopDownRgb) {
  const auto picture = Decode(GetParam().info, GetParam().bits);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(*picture, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Variants, DibVariantTest, ::testing::ValuesIn(DibVariants()),
                         [](const auto& param) { return param.param.name; });

TEST(DibRleTest, EscapesAndClipping) {
  const auto pal = TestPalette(16);
  const std::vector<RleCase> cases = RleCases();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto picture = Decode(RleInfo(c), c.data);
    ASSERT_TRUE(picture.has_value());
    std::vector<uint32_t> expected;
    for (int i : c.expected) expected.push_back(i < 0 ? 0u : pal[i]);
    EXPECT_EQ(picture->pixels, expected);
  }
}

TEST(DibMalformedTest, RefusedWithoutReadingPastTheInput) {
  auto masks = [] {
    std::string m;
    Put32(m, 0xF800);
    Put32(m, 0x07E0);
    Put32(m, 0x001F);
    return m;
  };
  const std::string bits24 = Rows(4, 4, 24, false, TestColor);
  struct Malformed {
    std::string name;
    std::string info;
    std::string bits;
  };
  const std::vector<Malformed> cases = {
      {"EmptyInfo", "", bits24},
      {"ThreeBytes", std::string("\x28\0\0", 3), bits24},
      {"HeaderSizeBetweenCoreAndInfo", InfoHeader({.width = 4, .height = 4}).replace(0, 1, "\x20"), bits24},
      {"HeaderSize39", InfoHeader({.width = 4, .height = 4}).replace(0, 1, "\x27"), bits24},
      {"V5ClaimedInfoGiven", InfoHeader({.width = 4, .height = 4}).replace(0, 1, "\x7C"), bits24},
      {"HugeHeaderSize", InfoHeader({.width = 4, .height = 4}).replace(0, 4, "\xF0\xFF\xFF\xFF"), bits24},
      {"CoreTruncated", CoreHeader(4, 4, 24).substr(0, 10), bits24},
      {"ZeroWidth", InfoHeader({.width = 0, .height = 4}), bits24},
      {"NegativeWidth", InfoHeader({.width = -4, .height = 4}), bits24},
      {"ZeroHeight", InfoHeader({.width = 4, .height = 0}), bits24},
      {"MinimumHeight", InfoHeader({.width = 4, .height = INT32_MIN}), bits24},
      {"WidthBeyondLimit", InfoHeader({.width = kMaxPictureSide + 1, .height = 1}), std::string(200000, '\0')},
      {"TopDownHeightBeyondLimit",
       InfoHeader({.width = 1, .height = -(kMaxPictureSide + 1), .bitCount = 8}) + Quads(TestPalette(256)),
       std::string(200000, '\0')},
      {"TooManyPixels", InfoHeader({.width = 30000, .height = 30000, .bitCount = 1}) + Quads({0, 0xFFFFFF}),
       std::string(16, '\0')},
      {"ZeroPlanes", InfoHeader({.width = 4, .height = 4, .planes = 0}), bits24},
      {"BitCount7", InfoHeader({.width = 4, .height = 4, .bitCount = 7}), bits24},
      {"BitCount0", InfoHeader({.width = 4, .height = 4, .bitCount = 0}), bits24},
      {"JpegCompression", InfoHeader({.width = 4, .height = 4, .compression = 4}), bits24},
      {"Bitfields24", InfoHeader({.width = 4, .height = 4, .compression = kBitfields}) + masks(), bits24},
      {"BitfieldsWithoutMasks", InfoHeader({.width = 4, .height = 4, .bitCount = 16, .compression = kBitfields}),
       bits24},
      {"BitfieldsMasksCut",
       InfoHeader({.width = 4, .height = 4, .bitCount = 16, .compression = kBitfields}) + masks().substr(0, 10),
       bits24},
      {"Rle8TopDown",
       InfoHeader({.width = 4, .height = -4, .bitCount = 8, .compression = kRle8}) + Quads(TestPalette(256)),
       Bytes({0, 1})},
      {"Rle8With4Bits",
       InfoHeader({.width = 4, .height = 4, .bitCount = 4, .compression = kRle8}) + Quads(TestPalette(16)),
       Bytes({0, 1})},
      {"Rle8SizeImageBeyondBits",
       InfoHeader({.width = 4, .height = 4, .bitCount = 8, .compression = kRle8, .sizeImage = 100}) +
           Quads(TestPalette(256)),
       Bytes({4, 1, 0, 1})},
      {"ColourTableMissing", InfoHeader({.width = 4, .height = 4, .bitCount = 8}), std::string(16, '\0')},
      {"ColourTableShort", InfoHeader({.width = 4, .height = 4, .bitCount = 8, .clrUsed = 20}) + Quads(TestPalette(19)),
       std::string(16, '\0')},
      {"CoreTableShort", CoreHeader(4, 4, 4) + Triples(TestPalette(15)), std::string(16, '\0')},
      {"BitsShortByOne", InfoHeader({.width = 4, .height = 4}), bits24.substr(0, bits24.size() - 1)},
      {"BitsMissing", InfoHeader({.width = 4, .height = 4}), ""},
      {"TopDownBitsShort", InfoHeader({.width = 3, .height = -2, .bitCount = 32}), std::string(23, '\0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Decode(c.info, c.bits).has_value());
  }
  EXPECT_FALSE(DecodeDib(nullptr, 40, bits24.data(), bits24.size()).has_value());
  const std::string info = InfoHeader({.width = 4, .height = 4});
  EXPECT_FALSE(DecodeDib(info.data(), info.size(), nullptr, 48).has_value());
}

std::optional<Picture> DecodeFile(const std::string& file) {
  const std::vector<uint8_t> bytes(file.begin(), file.end());
  return DecodeBmpFile(bytes.data(), bytes.size());
}

TEST(BmpFileTest, FindsTheBitsAndRefusesBrokenFiles) {
  const std::string info = InfoHeader({.width = 5, .height = 3, .bitCount = 8, .clrUsed = 16});
  const auto pal = TestPalette(16);
  const std::string table = Quads(pal);
  const std::string bits = Rows(5, 3, 8, false, [](int x, int y) { return static_cast<uint32_t>((x + y) % 16); });
  const Picture expected = PictureOf(5, 3, [&](int x, int y) { return pal[(x + y) % 16]; });
  const uint32_t packed = static_cast<uint32_t>(14 + info.size() + table.size());

  struct FileCase {
    std::string name;
    std::string file;
  };
  const std::vector<FileCase> good = {
      {"Offset", BmpFile(info, table, bits, packed)},
      {"OffsetAfterGap", BmpFile(info, table, bits, packed + 6, std::string(6, '\x7F'))},
      {"ZeroOffset", BmpFile(info, table, bits, 0)},
      {"OffsetPastEnd", BmpFile(info, table, bits, 0x7FFFFFF0)},
      {"OffsetInsideHeader", BmpFile(info, table, bits, 20)},
      {"OffsetLeavesTooFewBits", BmpFile(info, table, bits, packed + 8)},
  };
  for (const auto& c : good) {
    SCOPED_TRACE(c.name);
    const auto picture = DecodeFile(c.file);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(*picture, expected);
  }

  const std::string whole = BmpFile(info, table, bits, packed);
  const std::vector<FileCase> bad = {
      {"Empty", ""},
      {"FileHeaderOnly", whole.substr(0, 14)},
      {"NotBm", "XM" + whole.substr(2)},
      {"TruncatedBits", whole.substr(0, whole.size() - 1)},
      {"TruncatedTable", whole.substr(0, 14 + info.size() + 10)},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(DecodeFile(c.file).has_value());
  }
}

// A file read in order, its rows converted as they come: the same answer as the whole
// file decoded at once, for every layout, offset and broken file, however the reads are cut.
TEST(BmpFileTest, ReadInOrderGivesWhatTheWholeFileGives) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const DibCase& c : DibVariants())
    files.emplace_back(c.name, BmpFile(c.info, "", c.bits, static_cast<uint32_t>(14 + c.info.size())));
  for (const RleCase& c : RleCases())
    files.emplace_back("Rle" + c.name, BmpFile(RleInfo(c), "", c.data, static_cast<uint32_t>(14 + RleInfo(c).size())));
  const std::string info = InfoHeader({.width = 5, .height = 3, .bitCount = 8, .clrUsed = 16});
  const std::string table = Quads(TestPalette(16));
  const std::string bits = Rows(5, 3, 8, false, [](int x, int y) { return static_cast<uint32_t>((x * y) % 16); });
  const auto packed = static_cast<uint32_t>(14 + info.size() + table.size());
  files.emplace_back("Packed", BmpFile(info, table, bits, packed));
  files.emplace_back("AfterGap", BmpFile(info, table, bits, packed + 6, std::string(6, '\x11')));
  files.emplace_back("FarGap", BmpFile(info, table, bits, packed + 3000, std::string(3000, '\x22')));
  files.emplace_back("ZeroOffset", BmpFile(info, table, bits, 0));
  files.emplace_back("InsideHeader", BmpFile(info, table, bits, 20));
  files.emplace_back("TooFewBits", BmpFile(info, table, bits, packed + 8));
  const std::string whole = BmpFile(info, table, bits, packed);
  files.emplace_back("Truncated", whole.substr(0, whole.size() - 1));
  files.emplace_back("TableCut", whole.substr(0, 14 + info.size() + 10));
  files.emplace_back("NotBm", "XM" + whole.substr(2));
  files.emplace_back("Empty", "");
  for (const auto& [name, file] : files)
    for (size_t piece : {size_t{1}, size_t{7}, size_t{1} << 20})
      for (size_t chunk : {size_t{1}, size_t{64}, size_t{1} << 20}) {
        SCOPED_TRACE(name + " read " + std::to_string(piece) + " chunk " + std::to_string(chunk));
        size_t at = 0;
        const ByteReader read = [&](void* buffer, size_t bytes) {
          const size_t n = std::min({bytes, piece, file.size() - at});
          std::copy_n(file.data() + at, n, static_cast<char*>(buffer));
          at += n;
          return n;
        };
        const std::optional<Picture> expected = DecodeFile(file);
        const std::optional<Picture> streamed = DecodeBmpStream(read, file.size(), chunk);
        ASSERT_EQ(streamed.has_value(), expected.has_value());
        if (expected) {
          EXPECT_EQ(*streamed, *expected);
        }
      }
  // A file that ends before the size it was said to have is refused, not read past.
  size_t at = 0;
  const ByteReader shorter = [&](void* buffer, size_t bytes) {
    const size_t n = std::min(bytes, whole.size() - 5 - at);
    std::copy_n(whole.data() + at, n, static_cast<char*>(buffer));
    at += n;
    return n;
  };
  EXPECT_FALSE(DecodeBmpStream(shorter, whole.size(), 1).has_value());
}

// The wallpaper file's bytes: headers, then bottom-up rows of B, G, R padded to four bytes,
// whatever the width (the packing goes four pixels at a time) and however the rows are cut
// into writes; and it reads back as the picture.
TEST(BmpFileTest, WrittenFileIsTheReferenceLayoutForAnyWidthAndChunk) {
  for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 13})
    for (size_t chunk : {size_t{1}, size_t{50}, size_t{1} << 20}) {
      const int height = 3;
      // The top byte is not part of the colour and must not reach the file.
      const Picture picture = PictureOf(width, height, [](int x, int y) { return 0xA5000000u | TestColor(x, y); });
      std::string file;
      int writes = 0;
      ASSERT_TRUE(StreamBmp24(
          picture,
          [&](std::string_view bytes) {
            file.append(bytes);
            ++writes;
            return true;
          },
          chunk));
      const std::string rows = Rows(width, height, 24, false, TestColor);
      ASSERT_EQ(file.size(), 54 + rows.size()) << width;
      EXPECT_EQ(file.substr(0, 2), "BM");
      EXPECT_EQ(file.substr(54), rows) << "width " << width << " chunk " << chunk;
      EXPECT_EQ(file, EncodeBmp24(picture));
      // One write for the headers and one for all rows when the chunk holds them.
      if (chunk >= rows.size()) {
        EXPECT_EQ(writes, 2);
      }
      const std::optional<Picture> back = DecodeBmpFile(file.data(), file.size());
      ASSERT_TRUE(back);
      EXPECT_TRUE(*back == PictureOf(width, height, TestColor)) << width;
    }
}

TEST(PackedDibTest, BitsFollowMasksAndTable) {
  std::string masks;
  Put32(masks, 0xF800);
  Put32(masks, 0x07E0);
  Put32(masks, 0x001F);
  const std::string block = InfoHeader({.width = 2, .height = 1, .bitCount = 16, .compression = kBitfields}) + masks +
                            Rows(2, 1, 16, false, [](int x, int) { return x ? 0xFFFFu : 0xF800u; });
  const std::vector<uint8_t> bytes(block.begin(), block.end());
  const auto picture = DecodePackedDib(bytes.data(), bytes.size());
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, (std::vector<uint32_t>{0xFF0000, 0xFFFFFF}));
  EXPECT_FALSE(DecodePackedDib(bytes.data(), bytes.size() - 1).has_value());
}

}  // namespace
}  // namespace vorel
