#include "platform/linux/TimerFdWakeUp.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/timerfd.h>
#include <unistd.h>

namespace horavia {
namespace {

constexpr std::int64_t ThirtyDays = 30LL * 24 * 3600;

std::int64_t SecondsLeft(int fd) {
    itimerspec current{};
    if (::timerfd_gettime(fd, &current) != 0) {
        return -1;
    }
    return current.it_value.tv_sec;
}

TEST(TimerFdWakeUpTest, TheRealAlarmTimerIsArmedAndReArmedForWholeSeconds) {
    const int probe = ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
    if (probe < 0) {
        GTEST_SKIP() << "CLOCK_REALTIME_ALARM timers are refused here (" << std::strerror(errno)
                     << "): run as root or give the test the wake-alarm capability "
                        "(setcap cap_wake_alarm+ep <test binary>)";
    }
    ::close(probe);

    TimerFdWakeUp timer;
    EXPECT_EQ(timer.Handle(), -1);
    ASSERT_TRUE(timer.Arm(ThirtyDays));
    const int fd = timer.Handle();
    ASSERT_GE(fd, 0);
    const std::int64_t left = SecondsLeft(fd);
    EXPECT_LE(left, ThirtyDays);
    EXPECT_GE(left, ThirtyDays - 60);

    // Re-arming replaces the due time on the same timer.
    ASSERT_TRUE(timer.Arm(ThirtyDays / 2));
    EXPECT_EQ(timer.Handle(), fd);
    EXPECT_LE(SecondsLeft(fd), ThirtyDays / 2);
    EXPECT_GE(SecondsLeft(fd), ThirtyDays / 2 - 60);

    itimerspec current{};
    ASSERT_EQ(::timerfd_gettime(fd, &current), 0);
    EXPECT_EQ(current.it_interval.tv_sec, 0); // fires once
    EXPECT_EQ(current.it_interval.tv_nsec, 0);
}

TEST(TimerFdWakeUpTest, TheTimerIsMadeOnFirstArmingKeptAndClosedAtTheEnd) {
    int opened = 0;
    // A monotonic timer behaves the same for this and needs no capability.
    auto timer = std::make_unique<TimerFdWakeUp>([&] {
        ++opened;
        return ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    });
    timer->Disarm(); // nothing made yet: nothing to do
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(timer->Arm(600));
    EXPECT_TRUE(timer->Arm(300));
    EXPECT_TRUE(timer->Arm(100));
    EXPECT_EQ(opened, 1);
    const int fd = timer->Handle();
    EXPECT_LE(SecondsLeft(fd), 100);
    EXPECT_GE(SecondsLeft(fd), 90);
    timer->Disarm();
    EXPECT_EQ(SecondsLeft(fd), 0);

    timer.reset();
    errno = 0;
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
}

TEST(TimerFdWakeUpTest, NothingIsArmedForNoTimeLeft) {
    int opened = 0;
    TimerFdWakeUp timer([&] {
        ++opened;
        return ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    });
    EXPECT_FALSE(timer.Arm(0));
    EXPECT_FALSE(timer.Arm(-5));
    EXPECT_EQ(opened, 0);
}

} // namespace
} // namespace horavia
