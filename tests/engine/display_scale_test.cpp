// The one scale rule of the display: design values at 96 DPI times the DPI ÷ 96, rounded as
// Windows' MulDiv rounds, at the scales Windows offers.
#include "engine/display_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace vorel {
namespace {

TEST(DisplayScale, RoundsAsMulDivAtEveryScaleWindowsOffers) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const struct {
    int32_t value;
    int32_t at120, at144, at168, at192, at288;
  } cases[] = {
      {0, 0, 0, 0, 0, 0},
      // Halves go away from zero: 1.5 is 2, 2.5 is 3, 3.5 is 4.
      {1, 1, 2, 2, 2, 3},
      {2, 3, 3, 4, 4, 6},
      {-1, -1, -2, -2, -2, -3},
      {-2, -3, -3, -4, -4, -6},
      // The window's fonts, a row of the calendar, the settings window's bottom bar.
      {12, 15, 18, 21, 24, 36},
      {19, 24, 29, 33, 38, 57},
      {20, 25, 30, 35, 40, 60},
      {35, 44, 53, 61, 70, 105},
      {353, 441, 530, 618, 706, 1059},
      {-37, -46, -56, -65, -74, -111},
      // Hand-edited calendar distances near the ends of the range saturate instead of wrapping.
      {kMax, kMax, kMax, kMax, kMax, kMax},
      {kMin, kMin, kMin, kMin, kMin, kMin},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ScaleForDpi(c.value, 96), c.value);
    EXPECT_EQ(ScaleForDpi(c.value, 120), c.at120);
    EXPECT_EQ(ScaleForDpi(c.value, 144), c.at144);
    EXPECT_EQ(ScaleForDpi(c.value, 168), c.at168);
    EXPECT_EQ(ScaleForDpi(c.value, 192), c.at192);
    EXPECT_EQ(ScaleForDpi(c.value, 288), c.at288);
    // A DPI the system could not tell leaves the design as it is.
    EXPECT_EQ(ScaleForDpi(c.value, 0), c.value);
  }
  // Back from the screen to the design: every design value survives the round trip.
  for (const int32_t dpi : {96, 120, 144, 168, 192, 288}) {
    for (int32_t value = -600; value <= 600; ++value) {
      ASSERT_EQ(DesignForDpi(ScaleForDpi(value, dpi), dpi), value) << value << " at " << dpi;
    }
  }
  EXPECT_EQ(DesignForDpi(45, 144), 30);  // a day font 45 pixels high at 150 % is 30 design pixels
  EXPECT_EQ(DesignForDpi(37, 144), 25);
}

}  // namespace
}  // namespace vorel
