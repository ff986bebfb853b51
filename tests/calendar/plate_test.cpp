// The plate's strength over a table of backgrounds and text colours: every pixel under it
// reaches 4.5:1 against the text, no weaker plate would do, and where the picture already
// gives that contrast it stays untouched.
#include "calendar/plate.h"

#include <gtest/gtest.h>

#include <vector>

#include "calendar/canvas_bounds.h"
#include "tests/calendar/recording_canvas.h"

namespace vorel {
namespace {

// Canvas colours are 0x00BBGGRR, picture pixels 0x00RRGGBB.
constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kYellow = 0x00FFFF, kRed = 0x0000FF, kNavy = 0x800000,
                   kGrey = 0x808080;

struct Background {
  const char* name;
  std::vector<uint32_t> pixels;
};

std::vector<uint32_t> Ramp(uint32_t from, uint32_t to) {
  std::vector<uint32_t> out;
  for (int i = 0; i <= 16; ++i) {
    uint32_t p = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int a = static_cast<int>((from >> shift) & 0xFF), b = static_cast<int>((to >> shift) & 0xFF);
      p |= static_cast<uint32_t>(a + (b - a) * i / 16) << shift;
    }
    out.push_back(p);
  }
  return out;
}

double WorstContrast(const std::vector<uint32_t>& pixels, uint32_t text) {
  double worst = 100;
  for (const uint32_t p : pixels)
    worst = std::min(worst, ContrastRatio(LuminanceOfPixel(p), LuminanceOfColour(text)));
  return worst;
}

std::vector<uint32_t> Plated(std::vector<uint32_t> pixels, const Plate& plate) {
  ApplyPlate({pixels.data(), static_cast<int64_t>(pixels.size()), static_cast<int32_t>(pixels.size()), 1}, plate);
  return pixels;
}

TEST(Plate, ReachesTheContrastJustEnoughOverEveryBackground) {
  const Background backgrounds[] = {
      {"white", {0xFFFFFF}},
      {"black", {0x000000}},
      {"grey just short for white text", {0x777777}},
      {"grey just enough for white text", {0x767676}},
      {"bright sky", Ramp(0x87CEEB, 0xFFFFFF)},
      {"sunset", Ramp(0xFF9A3C, 0x2B1055)},
      {"dark forest with one bright pixel", {0x102010, 0x0A1A0A, 0x203020, 0xFFF8E0, 0x001000}},
      {"saturated colours", {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF}},
  };
  for (const uint32_t text : {kWhite, kBlack, kYellow, kRed, kNavy, kGrey}) {
    for (const Background& b : backgrounds) {
      SCOPED_TRACE(std::string(b.name) + " / text " + std::to_string(text));
      std::vector<uint32_t> pixels = b.pixels;
      const Plate plate = PlateFor({pixels.data(), 0, static_cast<int32_t>(pixels.size()), 1}, text);
      // Light text is set off by darkness, dark text by light.
      EXPECT_EQ(plate.darken, ContrastRatio(LuminanceOfColour(text), 0) >= ContrastRatio(LuminanceOfColour(text), 1));
      const std::vector<uint32_t> after = Plated(pixels, plate);
      EXPECT_GE(WorstContrast(after, text), kPlateContrast);
      if (WorstContrast(pixels, text) >= kPlateContrast) {
        EXPECT_EQ(plate.strength, 0);
        EXPECT_EQ(after, pixels);
      } else {
        ASSERT_GT(plate.strength, 0);
        // A plate a little weaker leaves some pixel short of the contrast.
        Plate weaker = plate;
        weaker.strength = std::max(0.0, plate.strength - 0.02);
        EXPECT_LT(WorstContrast(Plated(pixels, weaker), text), kPlateContrast);
      }
    }
  }
}

TEST(Plate, LuminanceOfColoursAndPixelsAndTheRatio) {
  EXPECT_DOUBLE_EQ(LuminanceOfColour(kRed), LuminanceOfPixel(0xFF0000));
  EXPECT_NEAR(LuminanceOfColour(kRed), 0.2126, 1e-9);
  EXPECT_NEAR(LuminanceOfPixel(0x00FF00), 0.7152, 1e-9);
  EXPECT_NEAR(LuminanceOfPixel(0x808080), 0.2158605, 1e-6);
  EXPECT_DOUBLE_EQ(ContrastRatio(1.0, 0.0), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(0.0, 1.0), 21.0);
  // The empty area needs no plate.
  EXPECT_EQ(PlateFor({}, kWhite).strength, 0);
}

// The plate covers the texts as measured (an italic one's lean too) and the shapes, with its
// margin, cut to the picture; not the generous reach GDI is given to draw in.
TEST(Plate, ItsRectangleIsWhatTheCalendarCoversWithAMargin) {
  testing::RecordingCanvas measures;  // a text is characters × size / 2 wide, size + 1 high
  BoundsCanvas bounds(measures);
  CalendarFont upright;
  upright.size = 20;
  upright.italic = false;
  bounds.SetFont(upright);
  bounds.PutText(100, 50, "12", 0);  // 20 × 21
  CalendarFont italic = upright;
  italic.italic = true;
  bounds.SetFont(italic);
  bounds.PutText(300, 60, "3", 0);  // 10 × 21, leaning 7 further
  EXPECT_EQ(bounds.Covered(), (CanvasArea{100, 50, 317, 81}));
  EXPECT_EQ(bounds.Area(), (CanvasArea{79, 29, 331, 102}));
  bounds.SetPen(PenStyle::kSolid, 0, 2);
  bounds.DrawEllipse(90, 40, 130, 70);
  EXPECT_EQ(bounds.Covered(), (CanvasArea{89, 39, 317, 81}));

  EXPECT_EQ(PlateArea(bounds.Covered(), 4, 1024, 768), (CanvasArea{85, 35, 321, 85}));
  EXPECT_EQ(PlateArea({-10, 700, 50, 780}, 4, 1024, 768), (CanvasArea{0, 696, 54, 768}));
  EXPECT_EQ(PlateArea({2000, 10, 2100, 20}, 4, 1024, 768), CanvasArea{});
  EXPECT_EQ(PlateArea({}, 4, 1024, 768), CanvasArea{});
}

}  // namespace
}  // namespace vorel
