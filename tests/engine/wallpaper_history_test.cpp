// The history of the desktop's pictures: appending, the walk back and forward with vanished
// and unshowable pictures, its bound, and the stored text read back whole or damaged.
#include "engine/wallpaper_history.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/settings_store.h"

namespace vorel {
namespace {

HistoryEntry One(const std::string& path) { return {CurrentPictureRecord{.path = path}}; }

std::vector<std::string> Paths(const WallpaperHistory& h) {
  std::vector<std::string> paths;
  for (const HistoryEntry& e : h.entries) paths.push_back(e.front().path);
  return paths;
}

// One step of a story: a change from the order, or a walk, with what the walk must show.
struct Step {
  enum Kind { kAppend, kBack, kForward, kBackAfterErase } kind;
  std::string path;                  // appended; or the picture the walk must show ("" none)
  size_t position;                   // afterwards
  std::vector<std::string> entries;  // afterwards
};

struct Story {
  const char* name;
  std::vector<std::string> start;  // appended first, the last on the desktop
  std::set<std::string> gone;      // files that no longer exist
  std::set<std::string> refused;   // files that exist but cannot be shown now
  std::vector<Step> steps;
};

TEST(WallpaperHistory, StoriesOfBackAndForward) {
  using S = Step;
  const Story stories[] = {
      {"back twice, then the change runs walk forward and return to the order",
       {"a", "b", "c"},
       {},
       {},
       {S{S::kBack, "b", 1, {"a", "b", "c"}}, S{S::kBack, "a", 0, {"a", "b", "c"}},
        S{S::kBack, "", 0, {"a", "b", "c"}},  // nothing before the first
        S{S::kForward, "b", 1, {"a", "b", "c"}}, S{S::kForward, "c", 2, {"a", "b", "c"}},
        S{S::kForward, "", 2, {"a", "b", "c"}},  // the end: the next comes from the order
        S{S::kAppend, "d", 3, {"a", "b", "c", "d"}}}},
      {"a vanished picture is passed over and dropped, both ways",
       {"a", "b", "c", "d"},
       {"b", "c"},
       {},
       {S{S::kBack, "a", 0, {"a", "d"}}, S{S::kForward, "d", 1, {"a", "d"}}}},
      {"a picture that cannot be shown is passed over and kept",
       {"a", "b", "c"},
       {},
       {"b"},
       {S{S::kBack, "a", 0, {"a", "b", "c"}}, S{S::kForward, "c", 2, {"a", "b", "c"}}}},
      {"every picture before is gone: nothing shown, the desktop's entry stays",
       {"a", "b", "c"},
       {"a", "b"},
       {},
       {S{S::kBack, "", 0, {"c"}}, S{S::kAppend, "d", 1, {"c", "d"}}}},
      {"a change while back in the history keeps what was ahead, behind the new one",
       {"a", "b", "c"},
       {},
       {},
       {S{S::kBack, "b", 1, {"a", "b", "c"}}, S{S::kAppend, "d", 3, {"a", "b", "c", "d"}},
        S{S::kBack, "c", 2, {"a", "b", "c", "d"}}}},
      {"after an erase, back brings the erased picture back first",
       {"a", "b"},
       {},
       {},
       {S{S::kBackAfterErase, "b", 1, {"a", "b"}}, S{S::kBack, "a", 0, {"a", "b"}}}},
  };
  for (const Story& story : stories) {
    SCOPED_TRACE(story.name);
    WallpaperHistory h;
    for (const std::string& p : story.start) AppendToHistory(h, One(p), {});
    const HistoryShower show = [&](const HistoryEntry& e) {
      if (story.gone.count(e.front().path)) return HistoryShow::kGone;
      if (story.refused.count(e.front().path)) return HistoryShow::kNotShown;
      return HistoryShow::kShown;
    };
    for (size_t n = 0; n < story.steps.size(); ++n) {
      const Step& step = story.steps[n];
      SCOPED_TRACE(n);
      if (step.kind == Step::kAppend) {
        AppendToHistory(h, One(step.path), {});
      } else {
        const auto direction = step.kind == Step::kForward ? HistoryDirection::kForward : HistoryDirection::kBack;
        const std::optional<HistoryEntry> shown = WalkHistory(h, direction, step.kind != Step::kBackAfterErase, show);
        EXPECT_EQ(shown ? shown->front().path : "", step.path);
      }
      EXPECT_EQ(h.position, step.position);
      EXPECT_EQ(Paths(h), step.entries);
    }
  }
}

TEST(WallpaperHistory, StartsFromThePictureBeforeItAndKeepsTheNewestHundred) {
  WallpaperHistory h;
  EXPECT_FALSE(CanGoBack(h, true));
  // A picture on the desktop from before the history was kept is where back leads first.
  AppendToHistory(h, One("new"), CurrentPictureRecord{.path = "old"});
  EXPECT_EQ(Paths(h), (std::vector<std::string>{"old", "new"}));
  EXPECT_TRUE(CanGoBack(h, true));
  for (int n = 0; n < 150; ++n) AppendToHistory(h, One("p" + std::to_string(n)), {});
  ASSERT_EQ(h.entries.size(), kHistoryLimit);
  EXPECT_EQ(h.entries.front().front().path, "p50");
  EXPECT_EQ(h.position, kHistoryLimit - 1);
  // An entry without a primary picture is no change of the desktop.
  AppendToHistory(h, {}, {});
  AppendToHistory(h, One(""), {});
  EXPECT_EQ(h.entries.size(), kHistoryLimit);
}

TEST(WallpaperHistory, StoredTextReadsBackAndDamageLosesOnlyItsPart) {
  WallpaperHistory two;
  two.entries = {{{"C:\\絵\\a.bmp", "タイル", "する", "左上"}, {"", "標準", "標準", "標準"}},
                 {{"D:\\b.jpg", "標準", "標準", "標準"}}};
  two.position = 0;
  const std::string good = FormatHistory(two);
  EXPECT_EQ(good,
            "VorelHistory 1 0\nC:\\絵\\a.bmp\tタイル\tする\t左上\t\t標準\t標準\t標準\t\n"
            "D:\\b.jpg\t標準\t標準\t標準\t\n");
  EXPECT_EQ(ParseHistory(good), two);

  struct Case {
    const char* name;
    std::string stored;
    std::vector<std::string> paths;
    size_t position;
  };
  const std::string line1 = "C:\\a.bmp\t標準\t標準\t標準\t\n";
  const std::string line2 = "C:\\b.bmp\t標準\t標準\t標準\t\n";
  const Case cases[] = {
      {"foreign text", "C:\\a.bmp\n", {}, 0},
      {"empty", "", {}, 0},
      {"header only", "VorelHistory 1 0\n", {}, 0},
      {"header cut short", "VorelHistory 1 0", {}, 0},
      {"position not a number", "VorelHistory 1 x\n" + line1 + line2, {"C:\\a.bmp", "C:\\b.bmp"}, 1},
      {"position past the end", "VorelHistory 1 99\n" + line1 + line2, {"C:\\a.bmp", "C:\\b.bmp"}, 1},
      {"position beyond size_t", "VorelHistory 1 99999999999999999999999\n" + line1, {"C:\\a.bmp"}, 0},
      {"three fields", "VorelHistory 1 0\nC:\\x\tA\tB\t\n" + line1, {"C:\\a.bmp"}, 0},
      {"no closing tab", "VorelHistory 1 1\n" + line1 + "C:\\x\tA\tB\tC\n" + line2, {"C:\\a.bmp", "C:\\b.bmp"}, 0},
      {"empty primary path", "VorelHistory 1 0\n\t標準\t標準\t標準\t\n" + line1, {"C:\\a.bmp"}, 0},
      {"last line cut short", "VorelHistory 1 1\n" + line1 + "C:\\b.bmp\t標準", {"C:\\a.bmp"}, 0},
      {"damaged line before the position",
       "VorelHistory 1 2\n" + line1 + "junk\n" + line2,
       {"C:\\a.bmp", "C:\\b.bmp"},
       1},
      {"carriage return in a path", "VorelHistory 1 0\nC:\\a\r\t標準\t標準\t標準\t\n", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const WallpaperHistory h = ParseHistory(c.stored);
    EXPECT_EQ(Paths(h), c.paths);
    EXPECT_EQ(h.position, c.position);
  }
  // Too many monitors, an oversized value, an empty override text.
  std::string wide = "VorelHistory 1 0\n";
  for (size_t m = 0; m <= kMaxMonitors; ++m) wide += "C:\\m.bmp\t標準\t標準\t標準\t";
  EXPECT_TRUE(ParseHistory(wide + "\n").entries.empty());
  EXPECT_TRUE(ParseHistory("VorelHistory 1 0\n" + std::string(kMaxHistoryBytes, 'x')).entries.empty());
  const WallpaperHistory blank = ParseHistory("VorelHistory 1 0\nC:\\a.bmp\t\t\t\t\n");
  ASSERT_EQ(blank.entries.size(), 1u);
  EXPECT_EQ(blank.entries[0][0].tile, "標準");
}

TEST(WallpaperHistory, TheStoreKeepsItUnderTheSettingsKeyAndSkipsAForeignValue) {
  MemoryRegistry reg;
  WallpaperHistory h;
  AppendToHistory(h, One("C:\\a.bmp"), {});
  AppendToHistory(h, One("C:\\b.bmp"), {});
  ASSERT_TRUE(SaveHistory(h, reg));
  EXPECT_EQ(LoadHistory(reg), h);
  reg.SetInt(kSettingsKeyPath, kHistoryValue, 7);
  EXPECT_EQ(LoadHistory(reg), WallpaperHistory{});
  reg.SetBinary(kSettingsKeyPath, kHistoryValue, {1, 2, 3});
  EXPECT_EQ(LoadHistory(reg), WallpaperHistory{});
  // A path with a tab cannot be a file: its entry is not stored at all.
  h.entries.push_back(One("C:\\tab\there"));
  h.position = 2;
  ASSERT_TRUE(SaveHistory(h, reg));
  const WallpaperHistory back = LoadHistory(reg);
  EXPECT_EQ(Paths(back), (std::vector<std::string>{"C:\\a.bmp", "C:\\b.bmp"}));
  EXPECT_EQ(back.position, 1u);
}

}  // namespace
}  // namespace vorel
