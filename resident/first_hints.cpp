#include "resident/first_hints.h"

namespace vorel {

HintText TextOf(Hint hint) {
  switch (hint) {
    case Hint::kNoPictures:
      return {"絵が見つかりません。アイコンを右クリックして「設定」から壁紙にするフォルダーを選んでください。", false};
    case Hint::kRunning:
      return {"Vorel は通知領域で動いています。右クリックで設定やメニューを開けます。", false};
    // Two lines: a tray that does not wrap (Wine's) would cut one line this long.
    case Hint::kWindowsSlideshow:
      return {
          "Windows のスライドショーがオンになっていて、Vorel の壁紙を置き換えてしまいます。\n"
          "Windows の「設定」→「個人用設定」→「背景」で、背景を「画像」にしてください。",
          true};
    case Hint::kWindowsSpotlight:
      return {
          "Windows スポットライトがオンになっていて、Vorel の壁紙を置き換えてしまいます。\n"
          "Windows の「設定」→「個人用設定」→「背景」で、背景を「画像」にしてください。",
          true};
  }
  return {"", false};
}

WindowsBackground WindowsBackgroundOf(std::optional<int32_t> backgroundType) {
  if (backgroundType == 2) return WindowsBackground::kSlideshow;
  if (backgroundType == 3) return WindowsBackground::kSpotlight;
  return WindowsBackground::kOwn;
}

void FirstHints::Started(bool listsEmpty) {
  if (FirstRunShown() || firstRun_) return;
  if (listsEmpty) {
    firstRun_ = Hint::kNoPictures;
  } else {
    awaitingCandidates_ = true;
  }
}

void FirstHints::RunFinished(bool hadCandidates) {
  awaitingCandidates_ = false;
  if (FirstRunShown()) return;
  firstRun_ = hadCandidates ? Hint::kRunning : Hint::kNoPictures;
}

bool FirstHints::NeedsCandidates() const { return awaitingCandidates_ && !FirstRunShown() && !firstRun_; }

void FirstHints::WindowsBackgroundIs(WindowsBackground background) {
  if (WindowsChangerShown()) return;
  // Switched back before the hint was up: nothing to say any more.
  windows_.reset();
  if (background == WindowsBackground::kSlideshow) windows_ = Hint::kWindowsSlideshow;
  if (background == WindowsBackground::kSpotlight) windows_ = Hint::kWindowsSpotlight;
}

std::optional<Hint> FirstHints::Due() const {
  if (onScreen_) return std::nullopt;
  if (firstRun_) return firstRun_;
  return windows_;
}

uint32_t FirstHints::Showing(Hint hint) {
  onScreen_ = hint;
  if (hint == Hint::kNoPictures || hint == Hint::kRunning) {
    shown_ |= kFirstRunHintShown;
    firstRun_.reset();
    awaitingCandidates_ = false;
  } else {
    shown_ |= kWindowsChangerHintShown;
    windows_.reset();
  }
  return shown_;
}

}  // namespace vorel
