// When Vorelset changes the wallpaper: the interval timer, the day timer and the day check,
// the bracket around a change run (the interval timer off during it, its interval from the
// entry's display time, back on at its end), the nested run of a new day and the run
// requested while another is in progress, which is deferred to its end.
//
// Platform-neutral: the window turns its timer, tray and power messages into these calls
// and then sets its two window timers to what Timers() says.
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
  // day timer and records a new day. True when the day changed: run a change.
  bool DayCheck(const SystemTime& now);
  // The interval timer expired: true when a change should run.
  bool ChangeTimerExpired(bool paused) const { return !paused; }

  // A change asked for from outside a run (start, a timer, the tray, the button). True: run
  // it now. False: a run is in progress and this request is kept for its end.
  bool RequestRun();
  // Step 1 of every run, nested ones included: the interval timer's state noted, then off.
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
};

}  // namespace vorel
