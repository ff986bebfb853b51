// HintBalloons: Vorelset's once-only hints (resident/first_hints.h) shown as balloons at the
// tray icon. A hidden message window of its own turns the shell's balloon notices and its
// timers into the hints' events, so that what a click opens (the settings window, modally)
// runs outside the shell's notification. Vorelrun has no tray and shows none.
#pragma once

#include <windows.h>

#include <functional>

#include "engine/registry.h"
#include "platform/window_win32.h"
#include "resident/first_hints.h"
#include "resident/task_bar_win32.h"

namespace vorel {

struct HintActions {
  // Whether the lists give a change a picture, searched as a change searches them.
  std::function<bool()> hasCandidates;
  // The settings window on the page "壁紙".
  std::function<void()> openWallpaperPage;
  // Windows' own settings of the desktop's background.
  std::function<void()> openWindowsBackground;
};

class HintBalloons final : public Window {
 public:
  HintBalloons(TTaskBar& taskBar, Registry& registry) : taskBar_(taskBar), registry_(registry) {}
  ~HintBalloons() override;

  // Reads what was shown already; the balloons' notices come here from now on.
  bool Create(HintActions actions);
  // Vorelset has started: its settings loaded, a change at its start done.
  void Started(bool listsEmpty);
  // A change run chose from candidates, or found none.
  void RunFinished(bool hadCandidates);

  const FirstHints& Hints() const { return hints_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void LookAtWindows();
  void ShowDue();
  void BalloonEvent(UINT event);

  TTaskBar& taskBar_;
  Registry& registry_;
  HintActions actions_;
  FirstHints hints_{0};
  bool started_ = false;
};

}  // namespace vorel
