// Every monitor its own picture: the monitors' order, the virtual screen around them, the
// parts no monitor shows, the roll that Windows 7's tiling needs, the composition of the
// virtual screen one monitor after the other, and one entry per monitor from the order.
#include "engine/monitor_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "converters/dib.h"
#include "engine/bmp_file.h"
#include "engine/picture_order.h"

namespace vorel {
namespace {

constexpr uint32_t kDesk = 0x00FFFFFF;

ScreenRect R(int32_t left, int32_t top, int32_t right, int32_t bottom) { return {left, top, right, bottom}; }

Picture Pattern(int32_t w, int32_t h, uint32_t tag) {
  Picture p{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      p.pixels[static_cast<size_t>(y) * w + x] = tag << 20 | (x & 0x3FF) << 10 | (y & 0x3FF);
  return p;
}

bool Inside(const ScreenRect& r, int32_t x, int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

struct LayoutCase {
  const char* what;
  ScreenGeometry monitors;
  std::vector<ScreenRect> ordered;  // screen coordinates, picture order
  ScreenRect box;
  Offset primaryCorner;
  std::vector<ScreenRect> uncovered;  // box coordinates
};

TEST(MonitorLayout, OrderBoxRollAndUncoveredParts) {
  const LayoutCase cases[] = {
      {"one monitor", {{R(0, 0, 1024, 768), true}}, {R(0, 0, 1024, 768)}, R(0, 0, 1024, 768), {0, 0}, {}},
      {"second to the right, shorter",
       {{R(1280, 0, 2304, 768), false}, {R(0, 0, 1280, 1024), true}},
       {R(0, 0, 1280, 1024), R(1280, 0, 2304, 768)},
       R(0, 0, 2304, 1024),
       {0, 0},
       {R(1280, 768, 2304, 1024)}},
      {"second to the left: negative coordinates, the roll is the primary's place",
       {{R(0, 0, 1920, 1080), true}, {R(-1280, 56, 0, 1080), false}},
       {R(0, 0, 1920, 1080), R(-1280, 56, 0, 1080)},
       R(-1280, 0, 1920, 1080),
       {1280, 0},
       {R(0, 0, 1280, 56)}},
      {"second above",
       {{R(0, 0, 1600, 900), true}, {R(200, -1024, 1480, 0), false}},
       {R(0, 0, 1600, 900), R(200, -1024, 1480, 0)},
       R(0, -1024, 1600, 900),
       {0, 1024},
       {R(0, 0, 200, 1024), R(1480, 0, 1600, 1024)}},
      {"left of and above: primary first, then by left edge, then by top",
       {{R(0, -768, 1024, 0), false},
        {R(-1024, 0, 0, 768), false},
        {R(0, 0, 1280, 1024), true},
        {R(-1024, -768, 0, 0), false}},
       {R(0, 0, 1280, 1024), R(-1024, -768, 0, 0), R(-1024, 0, 0, 768), R(0, -768, 1024, 0)},
       R(-1024, -768, 1280, 1024),
       {1024, 768},
       {R(2048, 0, 2304, 768), R(0, 1536, 1024, 1792)}},
      {"three of different sizes in a row",
       {{R(0, 0, 1280, 1024), true}, {R(2304, 0, 3904, 900), false}, {R(1280, 0, 2304, 768), false}},
       {R(0, 0, 1280, 1024), R(1280, 0, 2304, 768), R(2304, 0, 3904, 900)},
       R(0, 0, 3904, 1024),
       {0, 0},
       {R(1280, 768, 2304, 900), R(1280, 900, 3904, 1024)}},
      {"no primary named: the one at the origin; a monitor without area left out",
       {{R(1024, 0, 2048, 768), false}, {R(500, 500, 500, 900), false}, {R(0, 0, 1024, 768), false}},
       {R(0, 0, 1024, 768), R(1024, 0, 2048, 768)},
       R(0, 0, 2048, 768),
       {0, 0},
       {}},
  };
  for (const LayoutCase& c : cases) {
    const WallpaperLayout layout = LayoutOf(c.monitors);
    ASSERT_EQ(layout.monitors.size(), c.ordered.size()) << c.what;
    for (size_t i = 0; i < c.ordered.size(); ++i) {
      const ScreenRect& m = layout.monitors[i];
      EXPECT_EQ(
          R(m.left + layout.box.left, m.top + layout.box.top, m.right + layout.box.left, m.bottom + layout.box.top),
          c.ordered[i])
          << c.what << ", monitor " << i;
    }
    EXPECT_EQ(layout.box, c.box) << c.what;
    EXPECT_EQ(layout.PrimaryCorner(), c.primaryCorner) << c.what;
    EXPECT_EQ(layout.uncovered, c.uncovered) << c.what;
    // Every pixel of the box is on a monitor or in exactly one uncovered part.
    for (int32_t y = 0; y < layout.Height(); y += 7)
      for (int32_t x = 0; x < layout.Width(); x += 7) {
        const bool onMonitor = std::any_of(layout.monitors.begin(), layout.monitors.end(),
                                           [&](const ScreenRect& r) { return Inside(r, x, y); });
        const auto parts = std::count_if(layout.uncovered.begin(), layout.uncovered.end(),
                                         [&](const ScreenRect& r) { return Inside(r, x, y); });
        ASSERT_EQ(parts, onMonitor ? 0 : 1) << c.what << " at " << x << ", " << y;
      }
  }
  EXPECT_TRUE(LayoutOf({}).monitors.empty());
  EXPECT_TRUE(LayoutOf({}).box.Empty());
}

// Each monitor shows its own picture as the fit puts it on a screen of the monitor's size;
// the rest of the virtual screen is the desktop colour, and so is a monitor without picture.
TEST(MonitorLayout, VirtualScreenGetsEveryPictureInItsPartOneAfterTheOther) {
  const WallpaperLayout layout =
      LayoutOf({{R(0, 0, 320, 240), true}, {R(-200, 40, 0, 190), false}, {R(0, -100, 160, 0), false}});
  ASSERT_EQ(layout.monitors.size(), 3u);
  const std::vector<Picture> sources = {Pattern(400, 300, 1), Pattern(90, 60, 2), Pattern(50, 50, 3)};
  const std::vector<FitRequest> requests = {{{false, 4, false, true}, 10, 5, 0, 0},
                                            {{true, 8, false, false}, 0, 0, 0, 0},
                                            {{false, 0, false, false}, 0, 0, 0, 0}};
  for (const bool thirdLoads : {true, false}) {
    std::vector<size_t> calls;
    Picture canvas;
    const std::vector<bool> shown = ComposeVirtualScreen(
        canvas, layout,
        [&](size_t i, const PixelWindow& target) {
          calls.push_back(i);
          if (i == 2 && !thirdLoads) return false;
          FitPictureInto(
              sources[i], requests[i], [] { return kDesk; }, target);
          return true;
        },
        [] { return kDesk; });
    EXPECT_EQ(shown, (std::vector<bool>{true, true, thirdLoads}));
    EXPECT_EQ(calls.size(), 3u);
    ASSERT_EQ(canvas.width, 520);
    ASSERT_EQ(canvas.height, 340);

    std::vector<Picture> fitted;
    for (size_t i = 0; i < 3; ++i) {
      Picture p = sources[i];
      FitPicture(p,
                 {requests[i].layout, requests[i].marginX, requests[i].marginY, layout.monitors[i].Width(),
                  layout.monitors[i].Height()},
                 [] { return kDesk; });
      fitted.push_back(std::move(p));
    }
    for (int32_t y = 0; y < canvas.height; ++y)
      for (int32_t x = 0; x < canvas.width; ++x) {
        uint32_t expected = kDesk;
        for (size_t i = 0; i < 3; ++i)
          if (Inside(layout.monitors[i], x, y) && (i != 2 || thirdLoads))
            expected = fitted[i].At(x - layout.monitors[i].left, y - layout.monitors[i].top);
        if (canvas.At(x, y) != expected) {
          ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << canvas.At(x, y) << " not " << expected;
          return;
        }
      }
  }
}

// Monitors that overlap (a clone shown larger): the primary's picture stays whole.
TEST(MonitorLayout, OverlappingMonitorsShowTheEarlierOnesPicture) {
  const WallpaperLayout layout = LayoutOf({{R(0, 0, 100, 100), true}, {R(50, 0, 200, 100), false}});
  Picture canvas;
  ComposeVirtualScreen(
      canvas, layout,
      [](size_t i, const PixelWindow& target) {
        for (int32_t y = 0; y < target.height; ++y) std::fill_n(target.Row(y), target.width, i == 0 ? 0x10u : 0x20u);
        return true;
      },
      [] { return kDesk; });
  EXPECT_EQ(canvas.At(99, 50), 0x10u);
  EXPECT_EQ(canvas.At(100, 50), 0x20u);
}

// A system that tiles from the primary's top-left corner shows the rolled file so that every
// point of the desk shows the virtual screen's pixel for it, whichever side the primary is on.
TEST(MonitorLayout, RolledFileTiledFromThePrimaryShowsTheVirtualScreen) {
  const ScreenGeometry desks[] = {
      {{R(0, 0, 64, 48), true}, {R(64, 0, 104, 30), false}},
      {{R(0, 0, 64, 48), true}, {R(-40, 10, 0, 40), false}},
      {{R(0, 0, 64, 48), true}, {R(5, -30, 45, 0), false}, {R(-33, -17, 0, 31), false}},
  };
  for (const ScreenGeometry& desk : desks) {
    const WallpaperLayout layout = LayoutOf(desk);
    const Picture virtualScreen = Pattern(layout.Width(), layout.Height(), 5);
    const Offset corner = layout.PrimaryCorner();
    std::string file;
    ASSERT_TRUE(StreamBmp24Rolled(
        virtualScreen, corner.x, corner.y,
        [&file](std::string_view bytes) {
          file.append(bytes);
          return true;
        },
        100));
    const std::optional<Picture> tiled = DecodeBmpFile(file.data(), file.size());
    ASSERT_TRUE(tiled);
    ASSERT_EQ(tiled->width, layout.Width());
    ASSERT_EQ(tiled->height, layout.Height());
    const auto wrap = [](int32_t v, int32_t n) { return ((v % n) + n) % n; };
    for (int32_t y = layout.box.top; y < layout.box.bottom; ++y)
      for (int32_t x = layout.box.left; x < layout.box.right; ++x)
        ASSERT_EQ(tiled->At(wrap(x, tiled->width), wrap(y, tiled->height)),
                  virtualScreen.At(x - layout.box.left, y - layout.box.top) & 0xFFFFFF)
            << "desk point " << x << ", " << y;
    // Read back (Vorelrun's prepared mode), the file gives the virtual screen again.
    Picture readBack = *tiled;
    UnrollVirtualScreen(readBack, corner);
    EXPECT_TRUE(readBack == virtualScreen);
  }
}

// The fit into a monitor's part writes exactly what the fit of a screen that size holds,
// and nothing beside it, whether the picture is whole or a bitmap file read row by row.
TEST(MonitorLayout, FitIntoAPartEqualsTheFitOfThatScreen) {
  const struct {
    const char* what;
    Picture source;
    FitRequest request;
  } cases[] = {
      {"centred on the desktop colour", Pattern(60, 40, 1), {{false, 4, false, false}, 0, 0, 0, 0}},
      {"cropped to the middle", Pattern(300, 200, 1), {{false, 8, false, false}, 0, 0, 0, 0}},
      {"shrunk, with margins", Pattern(300, 200, 1), {{false, 2, false, true}, 7, 3, 0, 0}},
      {"enlarged", Pattern(30, 20, 1), {{false, 4, true, false}, 0, 0, 0, 0}},
      {"tiled and rolled", Pattern(37, 29, 1), {{true, 4, false, false}, 0, 0, 0, 0}},
      {"shrunk and tiled, with margins", Pattern(300, 90, 1), {{true, 5, false, true}, 4, 6, 0, 0}},
      {"enlarged and tiled", Pattern(20, 30, 1), {{true, 6, true, false}, 0, 0, 0, 0}},
      {"exactly the screen", Pattern(120, 80, 1), {{true, 4, true, false}, 0, 0, 0, 0}},
      {"empty", Picture{}, {{true, 4, true, true}, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    Picture expected = c.source;
    FitRequest screen = c.request;
    screen.screenWidth = 120;
    screen.screenHeight = 80;
    FitPicture(expected, screen, [] { return kDesk; });
    // The whole picture fitted into the part, and a bitmap file's rows fitted into it as
    // they are read.
    for (const bool streamed : {false, true}) {
      if (streamed && c.source.Empty()) continue;
      Picture canvas = Pattern(200, 150, 9);
      const Picture before = canvas;
      const PixelWindow part = WindowOf(canvas, 50, 40, 120, 80);
      const DesktopColourSource desk = [] { return kDesk; };
      if (streamed) {
        const std::string file = EncodeBmp24(c.source);
        size_t at = 0;
        StreamedFit fit(c.request, desk, part);
        const ByteReader read = [&](void* buffer, size_t bytes) {
          const size_t n = std::min(bytes, file.size() - at);
          std::copy_n(file.data() + at, n, static_cast<char*>(buffer));
          at += n;
          return n;
        };
        ASSERT_TRUE(StreamBmpFile(read, file.size(), fit, 4096)) << c.what;
        ASSERT_TRUE(fit.Finish()) << c.what;
      } else {
        FitPictureInto(c.source, c.request, desk, part);
      }
      for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x) {
          const bool inside = x >= 50 && x < 170 && y >= 40 && y < 120;
          ASSERT_EQ(canvas.At(x, y), inside ? expected.At(x - 50, y - 40) & 0xFFFFFF : before.At(x, y))
              << c.what << (streamed ? " (streamed)" : "") << " at " << x << ", " << y;
        }
    }
  }
}

// One entry per monitor from the persistent order: a random cycle holds across the monitors
// (no picture twice while the cycle lasts), list order goes on from monitor to monitor, and
// with fewer candidates than monitors the cycle is dealt again as it runs out.
TEST(MonitorLayout, OneEntryPerMonitorFromThePersistentOrder) {
  std::vector<PictureEntry> candidates;
  for (const char* name : {"a", "b", "c", "d", "e"}) candidates.push_back({name});
  const auto names = [](const std::vector<PictureEntry>& entries) {
    std::string out;
    for (const PictureEntry& e : entries) out += e.path;
    return out;
  };
  int draws = 0;
  const RandomSource random = [&draws] { return (draws++ * 9973) % (kRandomMax + 1); };

  MemoryRegistry inOrder;
  EXPECT_EQ(names(NextPictures(candidates, 3, true, inOrder, random)), "bcd");
  EXPECT_EQ(names(NextPictures(candidates, 3, true, inOrder, random)), "eab");

  MemoryRegistry cycle;
  const std::string first = names(NextPictures(candidates, 3, false, cycle, random));
  const std::string second = names(NextPictures(candidates, 2, false, cycle, random));
  std::string all = first + second;
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all, "abcde") << first << " then " << second;
  EXPECT_EQ(cycle.Get("Software\\Brelkin\\Vorel", "Order")->number, 0);

  // Two candidates, three monitors: the third begins a new cycle, dealt for two.
  const std::vector<PictureEntry> two(candidates.begin(), candidates.begin() + 2);
  MemoryRegistry few;
  const std::vector<PictureEntry> chosen = NextPictures(two, 3, false, few, random);
  ASSERT_EQ(chosen.size(), 3u);
  EXPECT_NE(chosen[0].path, chosen[1].path);
  EXPECT_EQ(few.Get("Software\\Brelkin\\Vorel", "FileNumMax")->number, 2);
  EXPECT_EQ(few.Get("Software\\Brelkin\\Vorel", "Order")->number, 1);
  const std::string left = few.Get("Software\\Brelkin\\Vorel", "FileList0")->text;
  EXPECT_EQ(left, chosen[2].path == "a" ? "11" : "10") << "the one not drawn yet in the new cycle";
}

}  // namespace
}  // namespace vorel
