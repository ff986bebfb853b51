// Vorelset's hints, each shown once per user in a balloon at the tray icon: on the first run,
// where Vorel lives or that it has no pictures to show; and that Windows' own slideshow (or its
// spotlight) would replace the wallpaper. This decides which hint is due when; the tray shows it
// and the settings store keeps what was shown ("HintShown").
#pragma once

#include <cstdint>
#include <optional>

namespace vorel {

enum class Hint {
  kNoPictures,        // the lists are empty, or a change found no picture in them
  kRunning,           // the first run found pictures: where Vorel lives
  kWindowsSlideshow,  // Windows' slideshow is on
  kWindowsSpotlight,  // Windows spotlight is on
};

// "HintShown": one bit for each kind of hint. A value of another type reads as nothing shown.
inline constexpr uint32_t kFirstRunHintShown = 0x1;        // kNoPictures or kRunning
inline constexpr uint32_t kWindowsChangerHintShown = 0x2;  // kWindowsSlideshow or kWindowsSpotlight

struct HintText {
  const char* text;
  bool warning;  // the balloon carries the warning icon instead of the information icon
};
HintText TextOf(Hint hint);
inline constexpr const char* kHintTitle = "Vorel";

// What Windows itself does with the desktop's background, from the value Windows 10 and 11 keep
// under HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Wallpapers, "BackgroundType"
// (REG_DWORD): 0 a picture, 1 a solid colour, 2 the slideshow, 3 Windows spotlight. Missing
// (older Windows, Wine) or any other value: nothing that replaces the wallpaper.
enum class WindowsBackground { kOwn, kSlideshow, kSpotlight };
WindowsBackground WindowsBackgroundOf(std::optional<int32_t> backgroundType);

class FirstHints {
 public:
  explicit FirstHints(uint32_t shown) : shown_(shown) {}

  // Vorelset has started with these lists (any change at its start already reported).
  void Started(bool listsEmpty);
  // A change run had candidates, or had none. Until the first-run hint is shown, the latest
  // run decides which one it is.
  void RunFinished(bool hadCandidates);
  // Started with lists and no change has reported yet: the first-run hint waits for a look at
  // the candidates, which then reports as RunFinished does.
  bool NeedsCandidates() const;
  void WindowsBackgroundIs(WindowsBackground background);

  // The hint to show now; none while a balloon is up or nothing is due.
  std::optional<Hint> Due() const;
  // The hint's balloon is up: returns what "HintShown" holds from now on.
  uint32_t Showing(Hint hint);
  // The balloon went: clicked, timed out or closed.
  void Gone() { onScreen_.reset(); }
  std::optional<Hint> OnScreen() const { return onScreen_; }
  uint32_t Shown() const { return shown_; }

 private:
  bool FirstRunShown() const { return (shown_ & kFirstRunHintShown) != 0; }
  bool WindowsChangerShown() const { return (shown_ & kWindowsChangerHintShown) != 0; }

  uint32_t shown_;
  bool awaitingCandidates_ = false;
  std::optional<Hint> firstRun_;  // decided, not shown yet
  std::optional<Hint> windows_;   // due, not shown yet
  std::optional<Hint> onScreen_;
};

}  // namespace vorel
