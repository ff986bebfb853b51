// The rules that hold Vorelset's timed changes, given as sequences of events: what each rule
// holds, how the held triggers fold into one change, what still runs while held, and where
// the interval and the day stand after the release.
#include <gtest/gtest.h>

#include "resident/change_schedule.h"

namespace vorel {
namespace {

SystemTime At(int day, int hour, int minute, int second) { return {2026, 12, day, hour, minute, second}; }

class HoldSchedule : public ::testing::Test {
 protected:
  void SetUp() override {
    schedule_.RecordDay(9);
    schedule_.DayOptionSwitched(true, At(9, 12, 0, 0));
    schedule_.IntervalOptionSwitched(true, 60);
  }
  // A run as the window carries it out: nested runs of a new day included.
  int Run(const SystemTime& now) {
    int runs = 1;
    schedule_.BeginRun();
    schedule_.Installed("標準", 60);
    if (schedule_.DayCheckAtEnd(now)) runs += Run(now);
    schedule_.EndRun();
    return runs;
  }
  bool Condition(HoldCondition c, bool present, bool paused = false) {
    return schedule_.ConditionChanged(c, present, paused);
  }
  ChangeSchedule schedule_;
};

TEST_F(HoldSchedule, EachRuleHoldsOnlyWhileItsOwnConditionIsThere) {
  struct Case {
    const char* name;
    HoldRules rules;
    HoldCondition condition;
    bool holds;
  };
  const Case cases[] = {
      {"full screen, its rule on", {true, false, false}, HoldCondition::kFullScreen, true},
      {"battery, its rule on", {false, true, false}, HoldCondition::kOnBattery, true},
      {"locked, its rule on", {false, false, true}, HoldCondition::kLocked, true},
      {"disconnected counts as locked", {false, false, true}, HoldCondition::kDisconnected, true},
      {"full screen, only the other rules on", {false, true, true}, HoldCondition::kFullScreen, false},
      {"battery, only the other rules on", {true, false, true}, HoldCondition::kOnBattery, false},
      {"locked, only the other rules on", {true, true, false}, HoldCondition::kLocked, false},
      {"disconnected, only the other rules on", {true, true, false}, HoldCondition::kDisconnected, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChangeSchedule s;
    s.RecordDay(9);
    EXPECT_FALSE(s.HoldRulesSet(c.rules, false));
    EXPECT_TRUE(s.ChangeTimerExpired(false));  // nothing there yet: the interval changes
    EXPECT_FALSE(s.ConditionChanged(c.condition, true, false));
    EXPECT_EQ(s.Held(), c.holds);
    EXPECT_EQ(s.ChangeTimerExpired(false), !c.holds);
    // Midnight and the resume are held with the interval.
    EXPECT_EQ(s.DayCheck(At(10, 0, 0, 1)), !c.holds);
    EXPECT_EQ(s.RecordedDay(), 10);
    EXPECT_EQ(s.ChangePending(), c.holds);
    // The condition gone: the held triggers become one change.
    EXPECT_EQ(s.ConditionChanged(c.condition, false, false), c.holds);
    EXPECT_FALSE(s.Held());
    EXPECT_FALSE(s.ChangePending());
  }
}

TEST_F(HoldSchedule, HeldTriggersFoldIntoOneChangeWhenNothingHoldsAnyMore) {
  schedule_.HoldRulesSet({true, true, true}, false);
  EXPECT_FALSE(Condition(HoldCondition::kFullScreen, true));
  EXPECT_FALSE(Condition(HoldCondition::kLocked, true));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(schedule_.ChangeTimerExpired(false));
  EXPECT_FALSE(schedule_.DayCheck(At(10, 0, 0, 1)));
  EXPECT_FALSE(Condition(HoldCondition::kOnBattery, true));
  // One condition gone while others stay: still held.
  EXPECT_FALSE(Condition(HoldCondition::kFullScreen, false));
  EXPECT_FALSE(Condition(HoldCondition::kLocked, false));
  // The same condition reported twice changes nothing.
  EXPECT_FALSE(Condition(HoldCondition::kOnBattery, true));
  EXPECT_TRUE(Condition(HoldCondition::kOnBattery, false));
  // Exactly one: the release is not repeated, and a hold with nothing kept releases nothing.
  EXPECT_FALSE(Condition(HoldCondition::kOnBattery, false));
  EXPECT_FALSE(Condition(HoldCondition::kLocked, true));
  EXPECT_FALSE(Condition(HoldCondition::kLocked, false));
}

TEST_F(HoldSchedule, ARuleSwitchedOffEndsTheHoldItMadeAndOnWithoutItsConditionHoldsNothing) {
  schedule_.HoldRulesSet({false, true, false}, false);
  Condition(HoldCondition::kOnBattery, true);
  EXPECT_FALSE(schedule_.ChangeTimerExpired(false));
  EXPECT_TRUE(schedule_.HoldRulesSet({false, false, false}, false));
  EXPECT_TRUE(schedule_.ChangeTimerExpired(false));
  // Switched on again while the battery still runs it: held again, nothing to release yet.
  EXPECT_FALSE(schedule_.HoldRulesSet({false, true, false}, false));
  EXPECT_TRUE(schedule_.Held());
  EXPECT_FALSE(schedule_.HoldRulesSet({false, false, false}, false));
}

TEST_F(HoldSchedule, AChangeAskedForRunsWhileHeldAndIsTheChangeTheTriggersWaitedFor) {
  schedule_.HoldRulesSet({true, false, false}, false);
  Condition(HoldCondition::kFullScreen, true);
  EXPECT_FALSE(schedule_.ChangeTimerExpired(false));
  // The menu, the left click, the button: the request is not held.
  ASSERT_TRUE(schedule_.RequestRun());
  EXPECT_EQ(Run(At(9, 12, 5, 0)), 1);
  EXPECT_FALSE(schedule_.ChangePending());
  EXPECT_FALSE(Condition(HoldCondition::kFullScreen, false));
  // An expiry after it is kept again and released as one change.
  Condition(HoldCondition::kFullScreen, true);
  EXPECT_FALSE(schedule_.ChangeTimerExpired(false));
  EXPECT_TRUE(Condition(HoldCondition::kFullScreen, false));
}

TEST_F(HoldSchedule, TheIntervalStartsAfreshFromTheReleasedChange) {
  schedule_.HoldRulesSet({false, false, true}, false);
  Condition(HoldCondition::kLocked, true);
  // The timer keeps running while held; its expiries are kept, not acted on.
  EXPECT_TRUE(schedule_.ChangeTimer().enabled);
  EXPECT_FALSE(schedule_.ChangeTimerExpired(false));
  const uint64_t restarts = schedule_.ChangeTimer().restarts;
  ASSERT_TRUE(Condition(HoldCondition::kLocked, false));
  ASSERT_TRUE(schedule_.RequestRun());
  EXPECT_EQ(Run(At(9, 12, 10, 0)), 1);
  EXPECT_TRUE(schedule_.ChangeTimer().enabled);
  EXPECT_EQ(schedule_.ChangeTimer().intervalMs, 60000u);
  EXPECT_GT(schedule_.ChangeTimer().restarts, restarts);
}

TEST_F(HoldSchedule, MidnightWhileHeldRefreshesTheCalendarAtTheReleaseOnce) {
  schedule_.HoldRulesSet({false, false, true}, false);
  Condition(HoldCondition::kDisconnected, true);
  // The day timer at 00:00:01: no change, the day recorded, the timer set for the next day.
  EXPECT_FALSE(schedule_.DayCheck(At(10, 0, 0, 1)));
  EXPECT_EQ(schedule_.RecordedDay(), 10);
  EXPECT_EQ(schedule_.DayTimer().intervalMs, 86400000u);
  // The resume on the same day adds nothing.
  EXPECT_FALSE(schedule_.DayCheck(At(10, 7, 0, 0)));
  ASSERT_TRUE(Condition(HoldCondition::kDisconnected, false));
  // The released change's own day check finds the day recorded: no nested run.
  ASSERT_TRUE(schedule_.RequestRun());
  EXPECT_EQ(Run(At(10, 7, 0, 2)), 1);
}

TEST_F(HoldSchedule, AManualChangeAcrossMidnightWhileHeldKeepsTheNestedRunForTheRelease) {
  schedule_.HoldRulesSet({true, false, false}, false);
  Condition(HoldCondition::kFullScreen, true);
  // Started on the 9th, its end finds the 10th: the nested run is the midnight refresh.
  EXPECT_EQ(Run(At(10, 0, 0, 0)), 1);
  EXPECT_TRUE(schedule_.ChangePending());
  EXPECT_TRUE(Condition(HoldCondition::kFullScreen, false));
}

TEST_F(HoldSchedule, APauseKeepsHoldingTheIntervalButNotTheNewDay) {
  schedule_.HoldRulesSet({false, true, false}, false);
  Condition(HoldCondition::kOnBattery, true);
  EXPECT_FALSE(schedule_.ChangeTimerExpired(false));
  // Paused before the release: the interval's kept expiry is dropped, as a paused one is.
  EXPECT_FALSE(Condition(HoldCondition::kOnBattery, false, true));
  Condition(HoldCondition::kOnBattery, true, true);
  EXPECT_FALSE(schedule_.ChangeTimerExpired(true));  // paused expiries are not even kept
  EXPECT_FALSE(schedule_.ChangePending());
  EXPECT_FALSE(schedule_.DayCheck(At(10, 0, 0, 1)));
  EXPECT_TRUE(Condition(HoldCondition::kOnBattery, false, true));
}

TEST_F(HoldSchedule, WithNoRuleOnTheConditionsChangeNothing) {
  for (HoldCondition c :
       {HoldCondition::kFullScreen, HoldCondition::kOnBattery, HoldCondition::kLocked, HoldCondition::kDisconnected})
    EXPECT_FALSE(Condition(c, true));
  EXPECT_FALSE(schedule_.Held());
  EXPECT_TRUE(schedule_.ChangeTimerExpired(false));
  EXPECT_TRUE(schedule_.DayCheck(At(10, 0, 0, 1)));
}

}  // namespace
}  // namespace vorel
