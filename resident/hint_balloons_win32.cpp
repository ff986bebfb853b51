#include "resident/hint_balloons_win32.h"

#include <exception>

#include "engine/settings_store.h"

namespace vorel {
namespace {

constexpr wchar_t kHintsWindowClass[] = L"Vorel.HintBalloons";
constexpr UINT kMsgLookAtCandidates = WM_APP + 1;
constexpr UINT kMsgBalloonEvent = WM_APP + 2;
constexpr UINT_PTR kBalloonTimerId = 1;
// A balloon whose end the shell does not tell (Wine tells nothing) counts as gone after this.
constexpr UINT kBalloonUpMs = 30000;
// A hint the shell could not take (no icon in the tray yet, Explorer still starting) is tried
// again after this.
constexpr UINT kRetryMs = 10000;

}  // namespace

HintBalloons::~HintBalloons() {
  if (Handle()) taskBar_.OnBalloonEvent = nullptr;
}

bool HintBalloons::Create(HintActions actions) {
  actions_ = std::move(actions);
  hints_ = FirstHints(LoadHintShown(registry_));
  if (!CreateWindowOf(kHintsWindowClass, 0, 0, 0, 0, 0, 0, HWND_MESSAGE, L"")) return false;
  taskBar_.OnBalloonEvent = [this](UINT event) { PostMessageW(Handle(), kMsgBalloonEvent, event, 0); };
  return true;
}

void HintBalloons::Started(bool listsEmpty) {
  started_ = true;
  hints_.Started(listsEmpty);
  LookAtWindows();
  // The look at the candidates waits for the message loop: a change asked for right after the
  // start (the installer's "/next") answers it on its way.
  if (hints_.NeedsCandidates()) PostMessageW(Handle(), kMsgLookAtCandidates, 0, 0);
  ShowDue();
}

void HintBalloons::RunFinished(bool hadCandidates) {
  hints_.RunFinished(hadCandidates);
  LookAtWindows();
  ShowDue();
}

void HintBalloons::LookAtWindows() {
  if ((hints_.Shown() & kWindowsChangerHintShown) != 0) return;
  hints_.WindowsBackgroundIs(WindowsBackgroundOf(LoadWindowsBackgroundType(registry_)));
}

void HintBalloons::ShowDue() {
  if (!started_ || !Handle()) return;
  const std::optional<Hint> due = hints_.Due();
  if (!due) return;
  const HintText text = TextOf(*due);
  if (!taskBar_.ShowBalloon(kHintTitle, text.text, text.warning)) {
    SetTimer(Handle(), kBalloonTimerId, kRetryMs, nullptr);
    return;
  }
  // Stored the moment it is up: a Vorelset that ends now never shows it again.
  SaveHintShown(hints_.Showing(*due), registry_);
  SetTimer(Handle(), kBalloonTimerId, kBalloonUpMs, nullptr);
}

void HintBalloons::BalloonEvent(UINT event) {
  if (event == NIN_BALLOONSHOW) return;
  KillTimer(Handle(), kBalloonTimerId);
  const std::optional<Hint> clicked = event == NIN_BALLOONUSERCLICK ? hints_.OnScreen() : std::nullopt;
  hints_.Gone();
  // The next hint first: the settings window a click opens is modal.
  ShowDue();
  if (clicked == Hint::kNoPictures && actions_.openWallpaperPage) actions_.openWallpaperPage();
  if ((clicked == Hint::kWindowsSlideshow || clicked == Hint::kWindowsSpotlight) && actions_.openWindowsBackground)
    actions_.openWindowsBackground();
}

LRESULT HintBalloons::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMsgBalloonEvent:
      BalloonEvent(static_cast<UINT>(wParam));
      return 0;
    case kMsgLookAtCandidates:
      if (hints_.NeedsCandidates() && actions_.hasCandidates) {
        try {
          hints_.RunFinished(actions_.hasCandidates());
        } catch (const std::exception&) {
          // A folder that cannot be searched now: the next change run decides instead.
        }
        ShowDue();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kBalloonTimerId) {
        KillTimer(Handle(), kBalloonTimerId);
        hints_.Gone();
        ShowDue();
      }
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace vorel
