#include "resident/change_schedule.h"

#include <algorithm>

#include "engine/numeric_field.h"
#include "engine/settings.h"

namespace vorel {

uint32_t DayTimerIntervalMs(const SystemTime& now) {
  const int h = std::clamp(now.hour, 0, 23);
  const int m = std::clamp(now.minute, 0, 59);
  const int s = std::clamp(now.second, 0, 59);
  return static_cast<uint32_t>(((23 - h) * 3600 + (59 - m) * 60 + (60 - s)) * 1000 + 1000);
}

uint32_t DisplayTimeIntervalMs(const std::string& displayTime, int32_t changeInterval) {
  const int64_t global = static_cast<int64_t>(std::max(changeInterval, 1)) * 1000;
  int64_t seconds = displayTime == kStandard ? 0 : ReadFieldNumber(displayTime);
  const int64_t ms = seconds > 0 ? std::min<int64_t>(seconds, kMaxTimerMs / 1000) * 1000 : global;
  return static_cast<uint32_t>(std::min<int64_t>(ms, kMaxTimerMs));
}

void ChangeSchedule::IntervalCommitted(int32_t changeInterval) {
  change_.intervalMs = static_cast<uint32_t>(std::max(changeInterval, 1)) * 1000;
  if (change_.enabled) ++change_.restarts;
}

void ChangeSchedule::IntervalOptionSwitched(bool on, int32_t changeInterval) {
  IntervalCommitted(changeInterval);
  if (!runs_.empty()) {
    // Switched during a run: the run's end puts the timer into the new state.
    runs_.front() = on;
    return;
  }
  if (on && !change_.enabled) ++change_.restarts;
  change_.enabled = on;
}

bool ChangeSchedule::DayOptionSwitched(bool on, const SystemTime& now) {
  const bool changed = on && DayCheck(now);
  if (on && !day_.enabled) ++day_.restarts;
  day_.enabled = on;
  return changed;
}

bool ChangeSchedule::DayCheck(const SystemTime& now) {
  day_.intervalMs = DayTimerIntervalMs(now);
  ++day_.restarts;
  if (now.day == recordedDay_) return false;
  recordedDay_ = now.day;
  if (Held()) {
    pendingDay_ = true;
    return false;
  }
  return true;
}

bool ChangeSchedule::ChangeTimerExpired(bool paused) {
  if (paused) return false;
  if (Held()) {
    pendingInterval_ = true;
    return false;
  }
  return true;
}

bool ChangeSchedule::RequestRun() {
  if (!runs_.empty()) {
    deferred_ = true;
    return false;
  }
  return true;
}

void ChangeSchedule::BeginRun() {
  pendingInterval_ = false;
  pendingDay_ = false;
  runs_.push_back(change_.enabled);
  change_.enabled = false;
}

void ChangeSchedule::Installed(const std::string& displayTime, int32_t changeInterval) {
  if (!runs_.empty() && runs_.back()) change_.intervalMs = DisplayTimeIntervalMs(displayTime, changeInterval);
}

bool ChangeSchedule::DayCheckAtEnd(const SystemTime& now) { return DayCheck(now); }

void ChangeSchedule::EndRun() {
  if (runs_.empty()) return;
  const bool wasOn = runs_.back();
  runs_.pop_back();
  if (wasOn) {
    change_.enabled = true;
    ++change_.restarts;
  }
}

bool ChangeSchedule::TakeDeferred() {
  if (!runs_.empty() || !deferred_) return false;
  deferred_ = false;
  return true;
}

bool ChangeSchedule::Held() const {
  return (rules_.fullScreen && fullScreen_) || (rules_.battery && onBattery_) ||
         (rules_.locked && (locked_ || disconnected_));
}

bool ChangeSchedule::HoldRulesSet(const HoldRules& rules, bool paused) {
  const bool wasHeld = Held();
  rules_ = rules;
  return Release(wasHeld, paused);
}

bool ChangeSchedule::ConditionChanged(HoldCondition condition, bool present, bool paused) {
  const bool wasHeld = Held();
  switch (condition) {
    case HoldCondition::kFullScreen:
      fullScreen_ = present;
      break;
    case HoldCondition::kOnBattery:
      onBattery_ = present;
      break;
    case HoldCondition::kLocked:
      locked_ = present;
      break;
    case HoldCondition::kDisconnected:
      disconnected_ = present;
      break;
  }
  return Release(wasHeld, paused);
}

bool ChangeSchedule::Release(bool wasHeld, bool paused) {
  if (!wasHeld || Held()) return false;
  // The kept triggers fold into one change. A pause switched on meanwhile still holds the
  // interval's, as it holds every expiry; a new day is not the pause's to hold.
  const bool run = pendingDay_ || (pendingInterval_ && !paused);
  pendingInterval_ = false;
  pendingDay_ = false;
  return run;
}

}  // namespace vorel
