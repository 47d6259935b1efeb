#include "engine/TimerEngine.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

class TimerEngineTest : public ::testing::Test {
protected:
    test::FakeClock clock{EncodeDateTime({2026, 12, 8, 15, 5, 9, 0})};
    TimerEngine engine{clock};

    void StartRelative(int h, int m, int s) {
        CountdownRequest r;
        r.Hours = h;
        r.Minutes = m;
        r.Seconds = s;
        engine.StartCountdown(r);
    }
};

TEST_F(TimerEngineTest, StartsInTheClock) {
    EXPECT_EQ(engine.Mode, dmClock);
    EXPECT_EQ(engine.LastChimeHour, -1);
    EXPECT_TRUE(engine.TabBarShown);
}

TEST_F(TimerEngineTest, CountdownTruncatesTheRemainingTime) {
    StartRelative(0, 0, 3);
    clock.AdvanceMs(1500);
    const DisplayUpdate u = engine.UpdateDisplay();
    EXPECT_FALSE(u.TimeUp);
    EXPECT_EQ(u.Texts, (LcdTexts{"00:00:01", "50"}));
}

TEST_F(TimerEngineTest, HundredHoursShowThreeHourDigits) {
    StartRelative(99, 59, 59);
    clock.AdvanceMs(-1001); // the clock stepped back a second: the end is further away
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "100:00:00");
    StartRelative(0, 0, 0);
    engine.EndTime = AddSeconds(clock.Now(), 123 * 3600 + 4 * 60 + 5);
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "123:04:05");
}

TEST_F(TimerEngineTest, TimeUpGoesToTheClockOnce) {
    StartRelative(0, 0, 1);
    clock.AdvanceMs(1000);
    const DisplayUpdate u = engine.UpdateDisplay();
    EXPECT_TRUE(u.TimeUp);
    EXPECT_EQ(u.Texts, (LcdTexts{"00:00:00", "00"}));
    EXPECT_EQ(engine.Mode, dmClock);
    EXPECT_EQ(engine.EndTime, 0);
    const DisplayUpdate next = engine.UpdateDisplay();
    EXPECT_FALSE(next.TimeUp);
    EXPECT_EQ(next.Texts.Large, "3:05:10P");
}

TEST_F(TimerEngineTest, ZeroOrPastEndsAtTheFirstUpdate) {
    StartRelative(0, 0, 0);
    EXPECT_TRUE(engine.UpdateDisplay().TimeUp);
    CountdownRequest absolute;
    absolute.RelativeTime = false;
    absolute.AbsoluteTime = AddSeconds(clock.Now(), -60);
    engine.StartCountdown(absolute);
    EXPECT_EQ(engine.Mode, dmTimer);
    EXPECT_TRUE(engine.UpdateDisplay().TimeUp);
}

TEST_F(TimerEngineTest, ClockJumpsMoveTheCountdown) {
    StartRelative(2, 0, 0);
    clock.AdvanceSeconds(3600); // the system clock is set an hour forward
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "01:00:00");
    clock.AdvanceSeconds(-7200); // and two hours back
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "03:00:00");
}

TEST_F(TimerEngineTest, ReminderArmedOneIntervalAfterStart) {
    CountdownRequest r;
    r.Minutes = 10;
    r.VoiceRemind = true;
    r.RemindIndex = 2; // five minutes
    engine.StartCountdown(r);
    EXPECT_EQ(SecondsBetween(engine.NextRemindTime, clock.Now()), 300);
    clock.AdvanceSeconds(299);
    EXPECT_FALSE(engine.ReminderDue());
    clock.AdvanceSeconds(1);
    EXPECT_TRUE(engine.ReminderDue());
    r.VoiceRemind = false;
    engine.StartCountdown(r);
    EXPECT_EQ(engine.NextRemindTime, 0);
    EXPECT_FALSE(engine.ReminderDue());
}

TEST_F(TimerEngineTest, StopwatchRunsPausesAndResets) {
    EXPECT_TRUE(engine.EnterStopwatch());
    EXPECT_EQ(engine.UpdateDisplay().Texts, (LcdTexts{"00:00:00", "00"}));
    clock.AdvanceMs(5000);
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "00:00:00"); // stopped: time passing adds nothing
    EXPECT_TRUE(engine.ToggleStopwatch());
    clock.AdvanceMs(61230);
    EXPECT_EQ(engine.UpdateDisplay().Texts, (LcdTexts{"00:01:01", "23"}));
    EXPECT_FALSE(engine.ToggleStopwatch());
    clock.AdvanceMs(10000);
    EXPECT_EQ(engine.UpdateDisplay().ElapsedMs, 61230);
    EXPECT_TRUE(engine.ToggleStopwatch()); // continues from the accumulated time
    clock.AdvanceMs(770);
    EXPECT_EQ(engine.UpdateDisplay().Texts, (LcdTexts{"00:01:02", "00"}));
    EXPECT_FALSE(engine.EnterStopwatch()); // the tab again does not reset a running stopwatch
    EXPECT_TRUE(engine.SwRunning);
    engine.ResetStopwatch();
    EXPECT_FALSE(engine.SwRunning);
    EXPECT_EQ(engine.UpdateDisplay().ElapsedMs, 0);
}

TEST_F(TimerEngineTest, StopwatchDropsARunningCountdown) {
    StartRelative(0, 5, 0);
    EXPECT_TRUE(engine.EnterStopwatch());
    EXPECT_EQ(engine.Mode, dmStopwatch);
    EXPECT_FALSE(engine.UpdateDisplay().TimeUp);
}

TEST_F(TimerEngineTest, StopwatchBeyond596HoursKeepsCounting) {
    engine.EnterStopwatch();
    engine.ToggleStopwatch();
    clock.AdvanceSeconds(700LL * 3600 + 1);
    const DisplayUpdate u = engine.UpdateDisplay();
    EXPECT_EQ(u.Texts.Large, "700:00:01");
    EXPECT_EQ(u.ElapsedMs, 700LL * 3600000 + 1000);
}

TEST_F(TimerEngineTest, StopwatchClockStepBackCountsDownThenUp) {
    engine.EnterStopwatch();
    engine.ToggleStopwatch();
    clock.AdvanceSeconds(10);
    clock.AdvanceSeconds(-15); // set back further than the run has lasted
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "00:00:05");
    clock.AdvanceSeconds(5);
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "00:00:00");
    clock.AdvanceSeconds(3);
    EXPECT_EQ(engine.UpdateDisplay().Texts.Large, "00:00:03");
}

TEST_F(TimerEngineTest, ClockTextsInBothFormats) {
    EXPECT_EQ(engine.UpdateDisplay().Texts, (LcdTexts{"3:05:09P", "08/12"}));
    clock.Set({2026, 7, 12, 10, 5, 7, 0});
    EXPECT_EQ(engine.UpdateDisplay().Texts, (LcdTexts{"10:05:07A", "12/07"}));
    engine.DisplayFormat.LongTimeFormat = "h:mm:ss";
    clock.Set({2026, 7, 12, 22, 5, 7, 0});
    EXPECT_EQ(engine.UpdateDisplay().Texts, (LcdTexts{"22:05:07", "12/07"}));
}

TEST(TwoDigits, PadsOnlyOneDigit) {
    EXPECT_EQ(TwoDigits(0), "00");
    EXPECT_EQ(TwoDigits(7), "07");
    EXPECT_EQ(TwoDigits(42), "42");
    EXPECT_EQ(TwoDigits(100), "100");
}

} // namespace
} // namespace horavia
