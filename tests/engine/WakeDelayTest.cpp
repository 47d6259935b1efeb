#include "engine/WakeDelay.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

class WakeDelayTest : public ::testing::Test {
protected:
    test::FakeClock clock;
};

TEST_F(WakeDelayTest, APendingCountdownWakesAfterTheWholeSecondsLeft) {
    const TDateTime end = AddSeconds(clock.Now(), 5400);
    EXPECT_EQ(WakeDelaySeconds(dmTimer, end, clock.Now()), 5400);

    clock.AdvanceMs(700); // 5399.3 s left: truncated, the machine wakes a little early
    EXPECT_EQ(WakeDelaySeconds(dmTimer, end, clock.Now()), 5399);
}

TEST_F(WakeDelayTest, UnderASecondLeftStillArmsOneSecond) {
    const TDateTime end = AddSeconds(clock.Now(), 1);
    clock.AdvanceMs(600);
    EXPECT_EQ(WakeDelaySeconds(dmTimer, end, clock.Now()), 1);
}

TEST_F(WakeDelayTest, AnEndReachedOrPassedArmsNothing) {
    const TDateTime end = clock.Now();
    EXPECT_EQ(WakeDelaySeconds(dmTimer, end, clock.Now()), std::nullopt);
    clock.AdvanceSeconds(30);
    EXPECT_EQ(WakeDelaySeconds(dmTimer, end, clock.Now()), std::nullopt);
    // A countdown that ran out leaves EndTime at 0.
    EXPECT_EQ(WakeDelaySeconds(dmTimer, 0, clock.Now()), std::nullopt);
}

TEST_F(WakeDelayTest, StopwatchAndClockArmNothingEvenWithAFutureEnd) {
    const TDateTime end = AddSeconds(clock.Now(), 600);
    EXPECT_EQ(WakeDelaySeconds(dmStopwatch, end, clock.Now()), std::nullopt);
    EXPECT_EQ(WakeDelaySeconds(dmClock, end, clock.Now()), std::nullopt);
}

TEST_F(WakeDelayTest, LongCountdownsKeepAllTheirSeconds) {
    const TDateTime end = AddSeconds(clock.Now(), 100LL * 3600 + 59);
    EXPECT_EQ(WakeDelaySeconds(dmTimer, end, clock.Now()), 100LL * 3600 + 59);
}

} // namespace
} // namespace horavia
