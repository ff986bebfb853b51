// A bitmap file fitted as its rows are read gives the pixels of the whole file decoded and
// then fitted: every depth and row order, crops, scales up and down, tiles, margins and
// positions, and files that break off.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "converters/dib.h"
#include "engine/fit_picture.h"
#include "tests/converters/dib_test_support.h"

namespace vorel {
namespace {

using namespace vorel::testing;

constexpr uint32_t kArea = 0x00101010;
constexpr uint32_t kFrame = 0x00F0E0D0;

// The desktop colour changes between the area's fill and the frame's, as it may in use.
DesktopColourSource Colours() {
  auto calls = std::make_shared<int>(0);
  return [calls] { return (*calls)++ % 2 ? kFrame : kArea; };
}

ByteReader ReaderOf(const std::string& file, size_t piece) {
  auto at = std::make_shared<size_t>(0);
  return [&file, piece, at](void* buffer, size_t bytes) {
    const size_t n = std::min({bytes, piece, file.size() - *at});
    std::copy_n(file.data() + *at, n, static_cast<char*>(buffer));
    *at += n;
    return n;
  };
}

// A file of the depth whose pixels differ everywhere, so a misplaced row or column shows.
std::string FileOf(int bitCount, int width, int height, bool topDown) {
  const auto value = [bitCount](int x, int y) -> uint32_t {
    const uint32_t v = static_cast<uint32_t>(x * 7919 + y * 104729 + x * y);
    return bitCount <= 8 ? v % (1u << bitCount) : v;
  };
  const int32_t storedHeight = topDown ? -height : height;
  std::string table;
  if (bitCount <= 8) table = Quads(TestPalette(1 << bitCount));
  const std::string info =
      InfoHeader({.width = width, .height = storedHeight, .bitCount = static_cast<uint16_t>(bitCount)});
  return BmpFile(info, table, Rows(width, height, bitCount, topDown, value),
                 static_cast<uint32_t>(14 + info.size() + table.size()));
}

std::string RleFile(int width, int height) {
  std::string data;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; x += 3) {
      data += static_cast<char>(std::min(3, width - x));
      data += static_cast<char>((x + y) % 16);
    }
    data += std::string("\0\0", 2);
  }
  data += std::string("\0\1", 2);
  const std::string info = InfoHeader({.width = width,
                                       .height = height,
                                       .bitCount = 8,
                                       .compression = kRle8,
                                       .clrUsed = 16,
                                       .sizeImage = static_cast<uint32_t>(data.size())}) +
                           Quads(TestPalette(16));
  return BmpFile(info, "", data, static_cast<uint32_t>(14 + info.size()));
}

std::optional<Picture> WholeThenFit(const std::string& file, const FitRequest& request) {
  std::optional<Picture> picture = DecodeBmpFile(file.data(), file.size());
  if (picture) FitPicture(*picture, request, Colours());
  return picture;
}

std::optional<Picture> Streamed(const std::string& file, const FitRequest& request, size_t piece, size_t chunk) {
  StreamedFit fit(request, Colours());
  if (!StreamBmpFile(ReaderOf(file, piece), file.size(), fit, chunk)) return std::nullopt;
  return fit.Finish();
}

TEST(StreamedFit, GivesTheWholePicturesFitToTheBit) {
  struct Layout {
    const char* name;
    LayoutChoice choice;
    int32_t marginX, marginY;
  };
  const Layout layouts[] = {
      {"crop centre", {false, 4, false, false}, 0, 0},
      {"crop top left, margins", {false, 0, false, false}, 3, 2},
      {"crop bottom right", {false, 8, false, false}, 0, 0},
      {"scale", {false, 4, true, false}, 0, 0},
      {"shrink only, margins", {false, 5, false, true}, 2, 5},
      {"tile cropped", {true, 4, false, false}, 0, 0},
      {"tile scaled, margins", {true, 7, true, false}, 1, 1},
      {"margins wider than the screen", {false, 4, true, false}, 40, 40},
  };
  struct Size {
    int32_t width, height;
  };
  const Size sources[] = {{97, 61}, {61, 97}, {40, 30}, {5, 3}, {300, 2}, {1, 1}};
  const Size screens[] = {{40, 30}, {13, 41}, {128, 96}};
  struct Depth {
    int bitCount;
    bool topDown;
  };
  const Depth depths[] = {{1, false},  {4, false},  {8, false}, {8, true},
                          {16, false}, {24, false}, {24, true}, {32, false}};
  for (const Depth& depth : depths)
    for (const Size& source : sources) {
      const std::string file = FileOf(depth.bitCount, source.width, source.height, depth.topDown);
      for (const Size& screen : screens)
        for (const Layout& layout : layouts) {
          SCOPED_TRACE(std::to_string(depth.bitCount) + (depth.topDown ? " top-down " : " bottom-up ") +
                       std::to_string(source.width) + "x" + std::to_string(source.height) + " on " +
                       std::to_string(screen.width) + "x" + std::to_string(screen.height) + ", " + layout.name);
          const FitRequest request{layout.choice, layout.marginX, layout.marginY, screen.width, screen.height};
          const std::optional<Picture> expected = WholeThenFit(file, request);
          ASSERT_TRUE(expected);
          const std::optional<Picture> streamed = Streamed(file, request, 977, 1 + source.width % 3 * 150);
          ASSERT_TRUE(streamed);
          ASSERT_TRUE(*streamed == *expected);
        }
    }
}

TEST(StreamedFit, RunLengthsAndBrokenFilesGoTheWholeWayOrFail) {
  const FitRequest request{{false, 4, true, false}, 0, 0, 32, 24};
  const std::string rle = RleFile(70, 50);
  const std::optional<Picture> expected = WholeThenFit(rle, request);
  ASSERT_TRUE(expected);
  const std::optional<Picture> streamed = Streamed(rle, request, 64, 1 << 20);
  ASSERT_TRUE(streamed);
  EXPECT_TRUE(*streamed == *expected);

  const std::string whole = FileOf(24, 90, 60, false);
  for (size_t cut : {size_t{10}, size_t{60}, whole.size() / 2, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    const std::string truncated = whole.substr(0, cut);
    StreamedFit fit(request, Colours());
    // The file says it is whole; the reader runs dry before.
    EXPECT_FALSE(StreamBmpFile(ReaderOf(truncated, 100), whole.size(), fit, 1 << 10));
  }
  // Rows that never came are no picture.
  StreamedFit unfinished(request, Colours());
  ASSERT_TRUE(unfinished.Begin(90, 60, false));
  EXPECT_FALSE(unfinished.Finish().has_value());
}

}  // namespace
}  // namespace vorel
