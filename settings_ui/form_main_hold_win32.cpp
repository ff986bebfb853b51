// The hold half of the settings window: the rules of the model handed to the schedule, the
// conditions read from the system at creation, at each timed trigger and whenever the system
// reports a change, and the one change that runs when a hold with a kept trigger ends.
#include <windows.h>
// After windows.h, which it needs.
#include <wtsapi32.h>

#include "settings_ui/form_main_win32.h"

namespace vorel {

void TFormMain::StartHolding() {
  holdNotices_.Register(Handle());
  // Nothing is kept yet, so nothing can be released here. Full screen is read with its rule.
  schedule_.ConditionChanged(HoldCondition::kOnBattery, RunningOnBattery(), rewritePaused_);
  schedule_.ConditionChanged(HoldCondition::kDisconnected, SessionDisconnected(), rewritePaused_);
}

void TFormMain::CheckBoxHoldClick() {
  const HoldRules rules{settings_.holdFullScreen, settings_.holdBattery, settings_.holdLocked};
  // The window in front is followed only while its rule wants it; without the rule its
  // condition counts as gone.
  if (!rules.fullScreen) foregroundWatch_.Stop();
  if (rules.fullScreen && !foregroundWatch_.Running() && Handle()) foregroundWatch_.Start(Handle(), kHoldCheckMessage);
  bool run =
      schedule_.ConditionChanged(HoldCondition::kFullScreen, rules.fullScreen && FullScreenInFront(), rewritePaused_);
  run = schedule_.HoldRulesSet(rules, rewritePaused_) || run;
  if (run) BitBtnChangeClick();
}

bool TFormMain::RefreshHold() {
  // A program may leave full screen without another window coming to the front, and the
  // battery saver may change without a message: both are read again before a trigger counts.
  bool run = schedule_.ConditionChanged(HoldCondition::kOnBattery, RunningOnBattery(), rewritePaused_);
  if (settings_.holdFullScreen)
    run = schedule_.ConditionChanged(HoldCondition::kFullScreen, FullScreenInFront(), rewritePaused_) || run;
  return run;
}

void TFormMain::HoldConditionIs(HoldCondition condition, bool present) {
  if (schedule_.ConditionChanged(condition, present, rewritePaused_)) BitBtnChangeClick();
}

void TFormMain::HoldCheck() {
  TimerHoldSettledTimer();
  if (Handle() && settings_.holdFullScreen) SetTimer(Handle(), kTimerHoldSettledId, kHoldSettledMs, nullptr);
}

void TFormMain::TimerHoldSettledTimer() {
  if (Handle()) KillTimer(Handle(), kTimerHoldSettledId);
  foregroundWatch_.Handled();
  if (settings_.holdFullScreen) HoldConditionIs(HoldCondition::kFullScreen, FullScreenInFront());
}

void TFormMain::PowerStatusChanged() {
  // The message says only that something changed: the status itself is read.
  HoldConditionIs(HoldCondition::kOnBattery, RunningOnBattery());
}

void TFormMain::SessionChanged(WPARAM code) {
  switch (code) {
    case WTS_SESSION_LOCK:
      HoldConditionIs(HoldCondition::kLocked, true);
      break;
    case WTS_SESSION_UNLOCK:
      HoldConditionIs(HoldCondition::kLocked, false);
      break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
      HoldConditionIs(HoldCondition::kDisconnected, true);
      break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      HoldConditionIs(HoldCondition::kDisconnected, false);
      break;
    default:
      break;
  }
}

}  // namespace vorel
