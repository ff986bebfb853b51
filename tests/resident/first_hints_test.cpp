// Which once-only hint Vorelset shows when, and what "HintShown" keeps of it: each story a
// row of events, driven as the tray drives them (what is due is shown at once and its balloon
// goes again unless the row keeps it up).
#include "resident/first_hints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/settings_store.h"

namespace vorel {
namespace {

enum class Event { kStartedEmpty, kStartedWithLists, kRunFound, kRunFoundNone, kSlideshow, kSpotlight, kOwn, kGone };

struct Story {
  const char* name;
  uint32_t stored;
  std::vector<Event> events;
  std::vector<Hint> shown;
  uint32_t storedAfter;
  bool keepUp = false;  // the balloons stay up until a kGone
};

TEST(FirstHints, EachHintIsShownOnceInItsTurn) {
  using E = Event;
  using H = Hint;
  const std::vector<Story> stories = {
      {"empty lists at the first start", 0, {E::kStartedEmpty}, {H::kNoPictures}, 1},
      {"lists: the look at the candidates decides", 0, {E::kStartedWithLists, E::kRunFound}, {H::kRunning}, 1},
      {"a change at start without pictures", 0, {E::kRunFoundNone, E::kStartedWithLists}, {H::kNoPictures}, 1},
      {"the first run told before", 1, {E::kStartedEmpty, E::kRunFoundNone, E::kRunFound}, {}, 1},
      {"once told, a later empty run says nothing",
       0,
       {E::kStartedWithLists, E::kRunFound, E::kRunFoundNone},
       {H::kRunning},
       1},
      {"the slideshow after the first hint",
       0,
       {E::kSlideshow, E::kStartedEmpty},
       {H::kNoPictures, H::kWindowsSlideshow},
       3},
      {"spotlight once the first run is told",
       1,
       {E::kStartedEmpty, E::kSpotlight, E::kSpotlight},
       {H::kWindowsSpotlight},
       3},
      {"Windows' changer told before", 2, {E::kSlideshow, E::kStartedEmpty}, {H::kNoPictures}, 3},
      {"nothing is shown before the start", 0, {E::kRunFound, E::kSlideshow}, {}, 0},
      {"the slideshow waits for the balloon up to go",
       0,
       {E::kStartedEmpty, E::kSlideshow, E::kGone},
       {H::kNoPictures, H::kWindowsSlideshow},
       3,
       true},
      {"the slideshow switched off before its turn",
       0,
       {E::kStartedEmpty, E::kSlideshow, E::kOwn, E::kGone},
       {H::kNoPictures},
       1,
       true},
  };
  for (const Story& story : stories) {
    FirstHints hints(story.stored);
    bool started = false;
    std::vector<Hint> shown;
    for (const Event event : story.events) {
      switch (event) {
        case E::kStartedEmpty:
        case E::kStartedWithLists:
          hints.Started(event == E::kStartedEmpty);
          started = true;
          break;
        case E::kRunFound:
        case E::kRunFoundNone:
          hints.RunFinished(event == E::kRunFound);
          break;
        case E::kSlideshow:
          hints.WindowsBackgroundIs(WindowsBackground::kSlideshow);
          break;
        case E::kSpotlight:
          hints.WindowsBackgroundIs(WindowsBackground::kSpotlight);
          break;
        case E::kOwn:
          hints.WindowsBackgroundIs(WindowsBackground::kOwn);
          break;
        case E::kGone:
          hints.Gone();
          break;
      }
      // The tray shows what is due, and (unless kept up) the balloon goes again.
      while (started && hints.Due()) {
        shown.push_back(*hints.Due());
        hints.Showing(shown.back());
        if (story.keepUp) break;
        hints.Gone();
      }
    }
    EXPECT_EQ(shown, story.shown) << story.name;
    EXPECT_EQ(hints.Shown(), story.storedAfter) << story.name;
  }
}

TEST(FirstHints, StartedWithListsWaitsForTheCandidatesOnly) {
  FirstHints hints(0);
  hints.Started(false);
  EXPECT_TRUE(hints.NeedsCandidates());
  EXPECT_FALSE(hints.Due());
  hints.RunFinished(false);
  EXPECT_FALSE(hints.NeedsCandidates());
  EXPECT_EQ(hints.Due(), Hint::kNoPictures);

  FirstHints told(kFirstRunHintShown);
  told.Started(false);
  EXPECT_FALSE(told.NeedsCandidates());
}

// A tray that does not wrap the balloon's text (Wine's) cuts a long line at the screen's edge.
TEST(FirstHints, EveryLineOfAHintFitsABalloon) {
  for (const Hint hint : {Hint::kNoPictures, Hint::kRunning, Hint::kWindowsSlideshow, Hint::kWindowsSpotlight}) {
    const std::string text = TextOf(hint).text;
    ASSERT_FALSE(text.empty());
    size_t start = 0;
    while (start <= text.size()) {
      const size_t end = std::min(text.find('\n', start), text.size());
      const std::string line = text.substr(start, end - start);
      EXPECT_LE(CutToChars(line, 1000).size(), CutToChars(line, 50).size()) << line;
      start = end + 1;
    }
  }
}

TEST(WindowsBackground, OnlyTheSlideshowAndSpotlightReplaceTheWallpaper) {
  EXPECT_EQ(WindowsBackgroundOf(std::nullopt), WindowsBackground::kOwn);
  for (const int32_t own : {0, 1, 4, -1, 0x7FFFFFFF})
    EXPECT_EQ(WindowsBackgroundOf(own), WindowsBackground::kOwn) << own;
  EXPECT_EQ(WindowsBackgroundOf(2), WindowsBackground::kSlideshow);
  EXPECT_EQ(WindowsBackgroundOf(3), WindowsBackground::kSpotlight);
}

TEST(HintShown, ReadsOnlyADwordAndLeavesTheRestOfTheKeyAlone) {
  MemoryRegistry registry;
  EXPECT_EQ(LoadHintShown(registry), 0u);
  EXPECT_FALSE(registry.HasKey(kSettingsKeyPath));  // reading creates no key
  registry.SetText(kSettingsKeyPath, "HintShown", "1");
  EXPECT_EQ(LoadHintShown(registry), 0u);
  ASSERT_TRUE(SaveHintShown(3, registry));
  EXPECT_EQ(LoadHintShown(registry), 3u);
  EXPECT_EQ(registry.Get(kSettingsKeyPath, "HintShown")->type, MemoryRegistry::Type::kDword);
  EXPECT_EQ(registry.KeyValues(kSettingsKeyPath).size(), 1u);

  EXPECT_EQ(LoadWindowsBackgroundType(registry), std::nullopt);
  registry.SetText(kWallpapersKeyPath, "BackgroundType", "2");
  EXPECT_EQ(LoadWindowsBackgroundType(registry), std::nullopt);
  registry.SetInt(kWallpapersKeyPath, "BackgroundType", 2);
  EXPECT_EQ(LoadWindowsBackgroundType(registry), 2);
}

}  // namespace
}  // namespace vorel
