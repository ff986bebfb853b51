// When Vorelset changes the wallpaper: the interval timer, the day timer and the day check,
// the bracket around a change run (the interval timer off during it, its interval from the
// entry's display time, back on at its end), the nested run of a new day and the run
// requested while another is in progress, which is deferred to its end.
//
// The rules that hold the timed changes (a full-screen program in front, the machine on
// battery, the session locked) decide here too: the conditions come in as events, a timed
// trigger that meets a hold is remembered, and the remembered triggers become one change when
// nothing holds any more.
//
// Platform-neutral: the window turns its timer, tray, power and session messages into these
// calls and then sets its two window timers to what Timers() says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorel {

struct SystemTime {
  int year = 2000;
  int month = 1;
  int day = 1;  // of the month
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local time of the machine (Win32).
SystemTime LocalSystemTime();

// A window timer as the schedule wants it. restarts grows each time the countdown must
// begin anew (an interval set on a running timer, the timer switched back on).
struct TimerSetting {
  bool enabled = false;
  uint32_t intervalMs = 0;
  uint64_t restarts = 0;
  bool operator==(const TimerSetting&) const = default;
};

// --- Holding the timed changes.
// The stored switches "HoldFullScreen", "HoldBattery", "HoldLocked".
struct HoldRules {
  bool fullScreen = false;
  bool battery = false;
  bool locked = false;
  bool operator==(const HoldRules&) const = default;
};
// What the rules look at. A session that is disconnected (a remote one whose connection went,
// a console one switched away from) counts as locked: no one sees its desktop either.
enum class HoldCondition { kFullScreen, kOnBattery, kLocked, kDisconnected };

inline constexpr uint32_t kChangeTimerDesignMs = 60000;
// The longest interval a window timer takes (USER_TIMER_MAXIMUM).
inline constexpr uint32_t kMaxTimerMs = 0x7FFFFFFF;

// Milliseconds from now to 00:00:01 of the next day, as the day check sets the day timer.
uint32_t DayTimerIntervalMs(const SystemTime& now);

// The interval after a change to an entry with this display time: "標準" takes the global
// interval; a text that does not read as a positive number of seconds does too (an interval
// of 0 would stop the timer for good).
uint32_t DisplayTimeIntervalMs(const std::string& displayTime, int32_t changeInterval);

class ChangeSchedule {
 public:
  const TimerSetting& ChangeTimer() const { return change_; }
  const TimerSetting& DayTimer() const { return day_; }
  int RecordedDay() const { return recordedDay_; }
  bool InRun() const { return !runs_.empty(); }

  void RecordDay(int dayOfMonth) { recordedDay_ = dayOfMonth; }

  // The interval field committed (seconds, already clamped).
  void IntervalCommitted(int32_t changeInterval);
  // The interval option switched; the field is committed with changeInterval first.
  void IntervalOptionSwitched(bool on, int32_t changeInterval);
  // The day option switched. True when its day check found a new day: run a change.
  bool DayOptionSwitched(bool on, const SystemTime& now);
  // The day check (day timer, resume from suspend, end of a run, day option on): sets the
  // day timer and records a new day. True when the day changed: run a change. A new day that
  // meets a hold is recorded all the same and its change kept for the release.
  bool DayCheck(const SystemTime& now);
  // The interval timer expired: true when a change should run. A pause drops the expiry; a
  // hold keeps it for the release.
  bool ChangeTimerExpired(bool paused);

  // --- Holding (the stored rules, the conditions as the system reports them).
  // True when one of the rules that are on meets its condition.
  bool Held() const;
  // True while a timed trigger met a hold and no change has run since.
  bool ChangePending() const { return pendingInterval_ || pendingDay_; }
  // The rules switched or loaded; a condition came or went. True when this ended the hold
  // with a trigger kept: run the one change now (an interval kept through a pause is dropped).
  bool HoldRulesSet(const HoldRules& rules, bool paused);
  bool ConditionChanged(HoldCondition condition, bool present, bool paused);

  // A change asked for from outside a run (start, a timer, the tray, the button). True: run
  // it now. False: a run is in progress and this request is kept for its end.
  bool RequestRun();
  // Step 1 of every run, nested ones included: the interval timer's state noted, then off.
  // A run, whatever asked for it, is the change the kept triggers were waiting for.
  void BeginRun();
  // The run installed an entry with this display time.
  void Installed(const std::string& displayTime, int32_t changeInterval);
  // Steps 8 and 9 without the nested run: the day check, then the timer back on when it was
  // on at the start. Call on every way out of a run, errors included. True when the day check
  // found a new day; the caller then runs the nested change (BeginRun .. FinishRun) itself
  // before calling EndRun.
  bool DayCheckAtEnd(const SystemTime& now);
  void EndRun();
  // After the outermost run: true once when a request came in during it.
  bool TakeDeferred();

 private:
  TimerSetting change_{false, kChangeTimerDesignMs, 0};
  TimerSetting day_{};
  int recordedDay_ = 0;
  std::vector<bool> runs_;  // per run in progress: was the interval timer on at its start
  bool deferred_ = false;

  // Holding.
  bool Release(bool wasHeld, bool paused);
  HoldRules rules_;
  bool fullScreen_ = false;
  bool onBattery_ = false;
  bool locked_ = false;
  bool disconnected_ = false;
  bool pendingInterval_ = false;  // an interval expiry met a hold
  bool pendingDay_ = false;       // a new day (midnight, resume) met a hold
};

}  // namespace vorel
