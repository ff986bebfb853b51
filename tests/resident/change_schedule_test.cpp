// The scheduling decisions of Vorelset with a clock the test sets: the day timer, the day
// check, the interval after a change, and runs nested in or requested during another run.
#include "resident/change_schedule.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

SystemTime At(int day, int hour, int minute, int second) { return {2026, 12, day, hour, minute, second}; }

TEST(DayTimer, RunsToOneSecondPastMidnight) {
  struct Case {
    SystemTime now;
    uint32_t ms;
  };
  for (const Case& c : {Case{At(9, 23, 59, 59), 2000}, Case{At(9, 0, 0, 0), 86401000}, Case{At(9, 12, 0, 0), 43201000},
                        Case{At(9, 0, 0, 1), 86400000}})
    EXPECT_EQ(DayTimerIntervalMs(c.now), c.ms) << c.now.hour << ":" << c.now.minute << ":" << c.now.second;
}

TEST(DisplayTime, GivesTheNextIntervalAndNeverZero) {
  struct Case {
    const char* text;
    uint32_t ms;
  };
  for (const Case& c : {Case{"標準", 60000}, Case{"30", 30000}, Case{"30秒", 30000}, Case{"abc", 60000},
                        Case{"0", 60000}, Case{"-5", 60000}, Case{"", 60000}, Case{"99999999999", 2147483000}})
    EXPECT_EQ(DisplayTimeIntervalMs(c.text, 60), c.ms) << c.text;
}

class Schedule : public ::testing::Test {
 protected:
  void SetUp() override {
    schedule_.RecordDay(9);
    EXPECT_FALSE(schedule_.DayOptionSwitched(true, At(9, 12, 0, 0)));
    schedule_.IntervalOptionSwitched(true, 60);
  }
  // One run as the window carries it out, with an optional installed display time; returns
  // how many runs happened (nested ones included).
  int Run(const SystemTime& now, const char* displayTime = nullptr) {
    int runs = 1;
    schedule_.BeginRun();
    EXPECT_FALSE(schedule_.ChangeTimer().enabled);
    if (displayTime) schedule_.Installed(displayTime, 60);
    if (schedule_.DayCheckAtEnd(now)) runs += Run(now, "標準");
    schedule_.EndRun();
    return runs;
  }
  ChangeSchedule schedule_;
};

TEST_F(Schedule, MidnightChangesOnceAndSetsTheDayTimerForAnotherDay) {
  EXPECT_TRUE(schedule_.DayTimer().enabled);
  EXPECT_EQ(schedule_.DayTimer().intervalMs, 43201000u);
  // The day timer fires at 00:00:01 of the 10th.
  EXPECT_TRUE(schedule_.DayCheck(At(10, 0, 0, 1)));
  EXPECT_EQ(schedule_.DayTimer().intervalMs, 86400000u);
  EXPECT_EQ(Run(At(10, 0, 0, 2)), 1);  // the run's own day check finds the day recorded
  EXPECT_FALSE(schedule_.DayCheck(At(10, 0, 0, 3)));
}

TEST_F(Schedule, ResumeOnTheSameDayChangesNothingAndOnALaterDayChangesOnce) {
  EXPECT_FALSE(schedule_.DayCheck(At(9, 18, 0, 0)));
  EXPECT_TRUE(schedule_.DayCheck(At(11, 8, 0, 0)));
  EXPECT_FALSE(schedule_.DayCheck(At(11, 8, 0, 5)));
  // Only the day of the month is compared: a month later on the same day is no change.
  EXPECT_FALSE(schedule_.DayCheck({2027, 1, 11, 8, 0, 0}));
}

TEST_F(Schedule, TheIntervalFollowsTheEntryAndComesBackOnAtTheEnd) {
  const uint64_t restarts = schedule_.ChangeTimer().restarts;
  EXPECT_EQ(Run(At(9, 12, 0, 0), "30"), 1);
  EXPECT_TRUE(schedule_.ChangeTimer().enabled);
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 30000u);
  EXPECT_GT(schedule_.ChangeTimer().restarts, restarts);  // measured from the end of the run
  Run(At(9, 12, 1, 0), "標準");
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 60000u);
  Run(At(9, 12, 2, 0), "garbage");
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 60000u);
  // A failed load installs nothing: the interval stays.
  Run(At(9, 12, 3, 0), "45");
  Run(At(9, 12, 4, 0));
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 45000u);
}

TEST_F(Schedule, WithTheIntervalOptionOffTheDisplayTimeHasNoEffect) {
  schedule_.IntervalOptionSwitched(false, 60);
  Run(At(9, 12, 0, 0), "30");
  EXPECT_FALSE(schedule_.ChangeTimer().enabled);
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 60000u);
}

TEST_F(Schedule, TheFirstIntervalChangeAfterMidnightIsFollowedByANestedRun) {
  // The day timer has not fired yet (the machine was busy); the interval run finds the day.
  EXPECT_EQ(Run(At(10, 0, 0, 0), "30"), 2);
  // The nested run found the timer off and left it to the outer run's choice.
  EXPECT_TRUE(schedule_.ChangeTimer().enabled);
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 30000u);
  EXPECT_EQ(schedule_.RecordedDay(), 10);
}

TEST_F(Schedule, ARequestDuringARunIsDeferredToItsEndAndRunsOnce) {
  ASSERT_TRUE(schedule_.RequestRun());
  schedule_.BeginRun();
  // A timer, a tray click and the button while a load waits for the viewer.
  EXPECT_FALSE(schedule_.RequestRun());
  EXPECT_FALSE(schedule_.RequestRun());
  EXPECT_FALSE(schedule_.TakeDeferred());  // not while the run is still going
  EXPECT_FALSE(schedule_.DayCheckAtEnd(At(9, 12, 0, 0)));
  schedule_.EndRun();
  EXPECT_TRUE(schedule_.TakeDeferred());
  EXPECT_FALSE(schedule_.TakeDeferred());
  EXPECT_TRUE(schedule_.RequestRun());
}

TEST_F(Schedule, SwitchingTheIntervalOptionDuringARunIsHonouredAtItsEnd) {
  schedule_.BeginRun();
  schedule_.IntervalOptionSwitched(false, 60);
  EXPECT_FALSE(schedule_.ChangeTimer().enabled);
  schedule_.EndRun();
  EXPECT_FALSE(schedule_.ChangeTimer().enabled);
}

TEST_F(Schedule, PauseHoldsOnlyTheIntervalTimer) {
  EXPECT_FALSE(schedule_.ChangeTimerExpired(true));
  EXPECT_TRUE(schedule_.ChangeTimerExpired(false));
  EXPECT_TRUE(schedule_.DayCheck(At(10, 0, 0, 1)));  // a new day changes while paused too
}

}  // namespace
}  // namespace vorel
