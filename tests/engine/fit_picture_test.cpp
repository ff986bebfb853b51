// Fitting pictures to the screen: where every source pixel lands, which pictures are
// scaled or cropped, tiling, margins, the desktop colour, and how the scaler looks.
#include "engine/fit_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace vorel {
namespace {

constexpr uint32_t kDesk = 0x00FFFFFF;  // never a pixel of Pattern (sides below 4095)
constexpr uint32_t kFlat = 0x00336699;

// Every pixel tells where it came from: x in the upper 12 bits, y in the lower.
uint32_t PatternAt(int64_t x, int64_t y) { return static_cast<uint32_t>((x << 12) | y); }

Picture Pattern(int32_t w, int32_t h) {
  Picture p{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) p.pixels[static_cast<size_t>(y) * w + x] = PatternAt(x, y);
  return p;
}

Picture Flat(int32_t w, int32_t h, uint32_t colour) {
  return {w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, colour)};
}

uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

struct Rect {
  int32_t x, y, w, h;
  bool Contains(int32_t px, int32_t py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Compares each pixel with expected(x, y) and reports the first difference only.
template <typename Expected>
void ExpectPixels(const Picture& p, int32_t w, int32_t h, Expected expected) {
  ASSERT_EQ(p.width, w);
  ASSERT_EQ(p.height, h);
  ASSERT_EQ(p.pixels.size(), static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if (p.At(x, y) != expected(x, y)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << p.At(x, y) << ", expected "
                      << expected(x, y);
        return;
      }
}

FitRequest Request(LayoutChoice layout, int32_t mx = 0, int32_t my = 0) { return {layout, mx, my, 1024, 768}; }

Picture Fit(Picture p, const FitRequest& request) {
  FitPicture(p, request, [] { return kDesk; });
  return p;
}

TEST(FitPicture, OverrideTextsAndPositionNames) {
  const char* names[] = {"左上", "左", "左下", "上", "中央", "下", "右上", "右", "右下"};
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(PositionIndex(names[i]), i) << names[i];
  EXPECT_EQ(PositionIndex("標準"), -1);
  EXPECT_EQ(PositionIndex(""), -1);

  const LayoutChoice on{true, 2, true, true};
  const LayoutChoice off{false, 4, false, false};
  struct Case {
    LayoutChoice global;
    const char *tile, *size, *position;
    LayoutChoice expected;
  } cases[] = {
      {on, "標準", "標準", "標準", on},
      {off, "x", "", "右上右", off},
      {off, "タイル", "する", "右", {true, 7, true, false}},
      {on, "中央", "しない", "中央", {false, 4, false, false}},
      {{false, 0, false, true}, "標準", "する", "左下", {false, 2, true, true}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ApplyOverrides(c.global, c.tile, c.size, c.position), c.expected)
        << c.tile << " " << c.size << " " << c.position;
}

TEST(FitPicture, PlacementOffsetTruncatesTowardZero) {
  struct Case {
    int32_t position, w, h, pw, ph;
    Offset expected;
  } cases[] = {
      {4, 1024, 768, 800, 600, {112, 84}}, {8, 1024, 768, 800, 600, {224, 168}}, {5, 1024, 768, 800, 600, {112, 168}},
      {4, 1024, 768, 799, 600, {112, 84}}, {4, 100, 100, 103, 103, {-1, -1}},    {7, 100, 100, 103, 0, {-3, 50}},
      {9, 1024, 768, 800, 600, {112, 84}}, {-1, 1024, 768, 800, 600, {112, 84}}, {INT_MIN, 10, 10, 0, 0, {5, 5}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlacementOffset(c.position, c.w, c.h, c.pw, c.ph), c.expected) << "position " << c.position;
}

TEST(FitPicture, ScaledSizesFollowTheTruncatingRule) {
  struct Case {
    int32_t pw, ph, w, h, ew, eh;
  } cases[] = {
      {2000, 1000, 1024, 768, 1024, 512},
      {100, 50, 1024, 768, 1024, 512},
      {799, 600, 1024, 768, 1022, 768},
      {3, 7, 5, 5, 2, 5},
      {1, 5000, 100, 100, 0, 100},
      {5000, 1, 100, 100, 100, 0},
      {40, 30, 0, 768, 0, 0},
      {40, 30, 1024, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Picture p = Flat(c.pw, c.ph, kFlat);
    ScaleToArea(p, c.w, c.h);
    EXPECT_EQ(p.width, c.ew) << c.pw << "x" << c.ph << " into " << c.w << "x" << c.h;
    EXPECT_EQ(p.height, c.eh) << c.pw << "x" << c.ph << " into " << c.w << "x" << c.h;
    EXPECT_EQ(p.pixels.size(), static_cast<size_t>(p.width) * p.height);
  }
  Picture empty;
  ScaleToArea(empty, 100, 100);
  EXPECT_TRUE(empty.pixels.empty());
}

TEST(FitPicture, CropKeepsTheMiddle) {
  Picture p = Pattern(2000, 1000);
  CropToArea(p, 1024, 768);
  ExpectPixels(p, 1024, 768, [](int32_t x, int32_t y) { return PatternAt(x + 488, y + 116); });

  Picture odd = Pattern(7, 5);
  CropToArea(odd, 4, 2);
  ExpectPixels(odd, 4, 2, [](int32_t x, int32_t y) { return PatternAt(x + 1, y + 1); });

  Picture narrow = Pattern(7, 5);
  CropToArea(narrow, 4, 10);
  ExpectPixels(narrow, 4, 5, [](int32_t x, int32_t y) { return PatternAt(x + 1, y); });
}

// Fit on 1024 × 768, texts applied over the globals. An unscaled picture must show its
// source pixels (from sourceX, sourceY) in the rectangle; a scaled one is flat and must
// stay exactly that colour. Everything else is desktop colour.
TEST(FitPicture, PlacesCropsAndScalesOnTheScreen) {
  const LayoutChoice none{};
  const LayoutChoice over{false, 4, false, true};
  const LayoutChoice both{false, 4, true, true};
  struct Case {
    const char* what;
    int32_t pw, ph;
    LayoutChoice global;
    const char *tile, *size, *position;
    int32_t mx, my;
    bool scaled;
    Rect rect;
    int32_t sourceX = 0, sourceY = 0;
  } cases[] = {
      {"centre", 800, 600, none, "標準", "標準", "標準", 0, 0, false, {112, 84, 800, 600}},
      {"bottom right", 800, 600, {false, 8}, "標準", "標準", "標準", 0, 0, false, {224, 168, 800, 600}},
      {"bottom", 800, 600, {false, 5}, "標準", "標準", "標準", 0, 0, false, {112, 168, 800, 600}},
      {"odd width", 799, 600, none, "標準", "標準", "標準", 0, 0, false, {112, 84, 799, 600}},
      {"shrink only", 2000, 1000, over, "標準", "標準", "標準", 0, 0, true, {0, 128, 1024, 512}},
      {"cropped", 2000, 1000, none, "標準", "標準", "標準", 0, 0, false, {0, 0, 1024, 768}, 488, 116},
      {"enlarged", 100, 50, both, "標準", "標準", "標準", 0, 0, true, {0, 128, 1024, 512}},
      {"not enlarged", 100, 50, over, "標準", "標準", "標準", 0, 0, false, {462, 359, 100, 50}},
      {"しない beats ResizeOver", 2000, 1000, over, "標準", "しない", "標準", 0, 0, false, {0, 0, 1024, 768}, 488, 116},
      {"する beats both off", 100, 50, none, "標準", "する", "標準", 0, 0, true, {0, 128, 1024, 512}},
      {"中央 beats Tile", 300, 200, {true, 4}, "中央", "標準", "標準", 0, 0, false, {362, 284, 300, 200}},
      {"右 beats 4", 800, 600, none, "標準", "標準", "右", 0, 0, false, {224, 84, 800, 600}},
      {"margins, placed", 800, 600, {false, 8}, "標準", "標準", "標準", 100, 50, false, {124, 118, 800, 600}},
      {"margins, cropped", 2000, 1000, none, "標準", "標準", "標準", 100, 50, false, {100, 50, 824, 668}, 588, 166},
      {"margins, shrunk", 2000, 1000, over, "標準", "標準", "標準", 100, 50, true, {100, 178, 824, 412}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LayoutChoice layout = ApplyOverrides(c.global, c.tile, c.size, c.position);
    const Picture fitted = Fit(c.scaled ? Flat(c.pw, c.ph, kFlat) : Pattern(c.pw, c.ph), Request(layout, c.mx, c.my));
    ExpectPixels(fitted, 1024, 768, [&](int32_t x, int32_t y) {
      if (!c.rect.Contains(x, y)) return kDesk;
      return c.scaled ? kFlat : PatternAt(x - c.rect.x + c.sourceX, y - c.rect.y + c.sourceY);
    });
  }
}

TEST(FitPicture, TilesAreRolledSoThatOneCornerIsAtTheOffset) {
  struct Case {
    int32_t mx, my;
    Rect area;
    int32_t x, y;  // offset inside the area
  } cases[] = {{0, 0, {0, 0, 1024, 768}, 362, 284}, {100, 50, {100, 50, 824, 668}, 262, 234}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mx);
    const Picture fitted = Fit(Pattern(300, 200), Request({true, 4}, c.mx, c.my));
    ExpectPixels(fitted, 1024, 768, [&](int32_t x, int32_t y) {
      if (!c.area.Contains(x, y)) return kDesk;
      const int32_t u = ((x - c.area.x - c.x) % 300 + 300) % 300;
      const int32_t v = ((y - c.area.y - c.y) % 200 + 200) % 200;
      return PatternAt(u, v);
    });
  }
  const Picture fitted = Fit(Pattern(300, 200), Request({true, 4}));
  EXPECT_EQ(fitted.At(362, 284), PatternAt(0, 0));
  EXPECT_EQ(fitted.At(62, 84), PatternAt(0, 0));
}

TEST(FitPicture, ScaledPictureIsTiledAfterScaling) {
  // Upper half red, lower half blue, enlarged to 1024 × 512 and rolled down by 128 rows.
  Picture p = Flat(100, 50, 0x00FF0000);
  std::fill(p.pixels.begin() + 25 * 100, p.pixels.end(), 0x000000FFu);
  const Picture fitted = Fit(p, Request({true, 4, true, false}));
  ASSERT_EQ(fitted.width, 1024);
  ASSERT_EQ(fitted.height, 768);
  constexpr uint32_t kRed = 0x00FF0000, kBlue = 0x000000FF;
  const struct {
    int32_t row;
    uint32_t colour;
  } rows[] = {{0, kBlue}, {120, kBlue}, {136, kRed}, {370, kRed}, {400, kBlue}, {630, kBlue}, {650, kRed}, {767, kRed}};
  for (const auto& r : rows)
    for (int32_t x : {0, 500, 1023}) EXPECT_EQ(fitted.At(x, r.row), r.colour) << "row " << r.row << " x " << x;
}

TEST(FitPicture, EmptyOrVanishingPictureGivesDesktopColour) {
  struct Case {
    int32_t pw, ph;
    LayoutChoice layout;
  } cases[] = {
      {0, 0, {false, 4}},          {0, 0, {true, 4, true}},           {0, 100, {true, 4}},
      {100, 0, {false, 4, true}},  {1, 5000, {true, 4, false, true}},  // shrinks to nothing wide
      {5000, 1, {false, 4, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pw << "x" << c.ph);
    ExpectPixels(Fit(Flat(c.pw, c.ph, kFlat), Request(c.layout, 10, 10)), 1024, 768,
                 [](int32_t, int32_t) { return kDesk; });
  }
}

TEST(FitPicture, HugeOrNegativeMarginsAndPositionsDoNotBreakTheFit) {
  const Picture centred = Fit(Pattern(300, 200), Request({false, 4}));
  for (int32_t position : {-1, 9, 1000, INT_MIN, INT_MAX})
    EXPECT_EQ(Fit(Pattern(300, 200), Request({false, position})), centred) << position;
  const Picture tiled = Fit(Pattern(300, 200), Request({true, 4}));
  EXPECT_EQ(Fit(Pattern(300, 200), Request({true, 99})), tiled);

  for (int32_t margin : {600, INT_MAX})
    for (const LayoutChoice& layout : {LayoutChoice{false, 4, true}, LayoutChoice{true, 4}})
      ExpectPixels(Fit(Pattern(300, 200), Request(layout, margin, margin)), 1024, 768,
                   [](int32_t, int32_t) { return kDesk; });
  // A negative margin counts as none: the picture is scaled to the screen, not beyond it.
  const LayoutChoice scaled{false, 4, true};
  EXPECT_EQ(Fit(Pattern(300, 200), Request(scaled, -50, INT_MIN)), Fit(Pattern(300, 200), Request(scaled)));
}

TEST(FitPicture, DesktopColourIsAskedAtEachFill) {
  uint32_t calls = 0;
  const DesktopColourSource counter = [&calls] { return ++calls; };
  for (uint32_t run = 0; run < 2; ++run) {
    Picture p = Flat(200, 100, kFlat);
    FitPicture(p, Request({false, 0}, 100, 50), counter);
    // The area is filled first, then the frame around it.
    EXPECT_EQ(p.At(150, 60), kFlat);
    EXPECT_EQ(p.At(400, 350), 2 * run + 1);
    EXPECT_EQ(p.At(0, 0), 2 * run + 2);
  }
}

TEST(FitPicture, PlacingAFittedPictureOnTheSameAreaKeepsIt) {
  for (const LayoutChoice& layout : {LayoutChoice{false, 8}, LayoutChoice{true, 4}, LayoutChoice{false, 0, true}}) {
    const Picture fitted = Fit(Pattern(300, 200), Request(layout, 100, 50));
    Picture placed = fitted;
    PlaceOnArea(placed, layout.tile, layout.position, 1024, 768, [] { return 0u; });
    EXPECT_EQ(placed, fitted) << layout.tile << " " << layout.position;
  }
}

TEST(FitPicture, PlacingOnAnotherAreaCropsOrCentres) {
  const Picture screen = Pattern(1024, 768);
  Picture smaller = screen;
  PlaceOnArea(smaller, false, 4, 800, 600, [] { return kDesk; });
  ExpectPixels(smaller, 800, 600, [](int32_t x, int32_t y) { return PatternAt(x + 112, y + 84); });

  Picture larger = screen;
  PlaceOnArea(larger, false, 4, 1280, 1024, [] { return kDesk; });
  ExpectPixels(larger, 1280, 1024, [](int32_t x, int32_t y) {
    return Rect{128, 128, 1024, 768}.Contains(x, y) ? PatternAt(x - 128, y - 128) : kDesk;
  });

  Picture tiled = screen;
  PlaceOnArea(tiled, true, 8, 1280, 1024, [] { return kDesk; });
  ExpectPixels(tiled, 1280, 1024, [](int32_t x, int32_t y) {
    return PatternAt(((x - 256) % 1024 + 1024) % 1024, ((y - 256) % 768 + 768) % 768);
  });
}

TEST(FitPicture, ShrinkingAveragesFineDetail) {
  // A one-pixel checkerboard shrunk by 3: every output pixel covers 5 of one and 4 of the
  // other colour; sampling would give pure black or white.
  Picture p = Flat(300, 300, 0);
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = (y & 1); x < 300; x += 2) p.pixels[static_cast<size_t>(y) * 300 + x] = 0x00FFFFFF;
  ScaleToArea(p, 100, 100);
  ASSERT_EQ(p.width, 100);
  for (uint32_t px : p.pixels)
    for (int shift : {0, 8, 16}) {
      ASSERT_GE(Channel(px, shift), 110u);
      ASSERT_LE(Channel(px, shift), 145u);
    }
}

TEST(FitPicture, FlatColourStaysExactlyFlat) {
  struct Case {
    int32_t pw, ph, w, h;
  } cases[] = {{97, 61, 40, 40}, {97, 61, 1000, 1000}, {1, 1, 333, 333}, {1000, 7, 301, 301}, {641, 480, 640, 640}};
  for (const Case& c : cases) {
    Picture p = Flat(c.pw, c.ph, 0x00A1B2C3);
    ScaleToArea(p, c.w, c.h);
    EXPECT_TRUE(std::all_of(p.pixels.begin(), p.pixels.end(), [](uint32_t px) { return px == 0x00A1B2C3; }))
        << c.pw << "x" << c.ph << " into " << c.w << "x" << c.h;
  }
}

TEST(FitPicture, EnlargingInterpolatesSmoothly) {
  Picture p{2, 1, {0x00000000, 0x00FFFFFF}};
  ScaleToArea(p, 64, 64);
  ASSERT_EQ(p.width, 64);
  ASSERT_EQ(p.height, 32);
  int between = 0;
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const uint32_t px = p.At(x, y);
      ASSERT_EQ(px, p.At(x, 0));
      ASSERT_EQ(Channel(px, 0), Channel(px, 8));
      ASSERT_EQ(Channel(px, 0), Channel(px, 16));
      if (x > 0) {
        ASSERT_GE(Channel(px, 0), Channel(p.At(x - 1, y), 0)) << x;
      }
      if (y == 0 && Channel(px, 0) > 0 && Channel(px, 0) < 255) ++between;
    }
  EXPECT_EQ(Channel(p.At(0, 0), 0), 0u);
  EXPECT_EQ(Channel(p.At(63, 0), 0), 255u);
  EXPECT_GE(between, 24);  // the middle half of the row climbs, no jump from black to white
}

TEST(FitPicture, VectorLoopsGiveThePlainLoopsPixels) {
  // Noise in every byte, the unused top one included, through shrinking, enlarging and
  // mixed axes; widths that leave 1 to 3 columns after the blocks of four, and odd and
  // even numbers of source rows and columns per output pixel.
  struct Case {
    int32_t pw, ph, w, h;
  } cases[] = {{6000 / 8, 4000 / 8, 1920 / 8, 1080 / 8},
               {97, 61, 40, 23},
               {101, 103, 7, 5},
               {33, 35, 1, 1},
               {5, 3, 4, 2},
               {1, 9, 1, 4},
               {13, 17, 41, 39},
               {2, 2, 9, 7},
               {300, 7, 41, 301},
               {7, 300, 301, 41},
               {64, 64, 64, 64}};
  uint32_t noise = 2463534242u;
  for (const Case& c : cases) {
    Picture p{c.pw, c.ph, std::vector<uint32_t>(static_cast<size_t>(c.pw) * c.ph)};
    for (uint32_t& px : p.pixels) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      px = noise;
    }
    const Picture plain = ScaledTo(p, c.w, c.h, ScaleLoops::kPlain);
    const Picture best = ScaledTo(p, c.w, c.h, ScaleLoops::kBest);
    ASSERT_EQ(plain.pixels.size(), static_cast<size_t>(c.w) * c.h);
    EXPECT_TRUE(std::all_of(best.pixels.begin(), best.pixels.end(), [](uint32_t px) { return px <= 0x00FFFFFF; }));
    ExpectPixels(best, c.w, c.h, [&plain](int32_t x, int32_t y) { return plain.At(x, y); });
  }
  // The extremes of the sums: all channels 255 and all 0 side by side.
  Picture bars = Flat(23, 11, 0x00FFFFFF);
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 23; x += 3) bars.pixels[static_cast<size_t>(y) * 23 + x] = 0xFF000000;
  for (const auto& [w, h] : {std::pair{5, 3}, std::pair{47, 21}}) {
    const Picture plain = ScaledTo(bars, w, h, ScaleLoops::kPlain);
    ExpectPixels(ScaledTo(bars, w, h), w, h, [&plain](int32_t x, int32_t y) { return plain.At(x, y); });
  }
}

}  // namespace
}  // namespace vorel
