#include "platform/linux/WakeTimer.h"

#include "support/FakeDesktop.h"
#include "support/LogCapture.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace horavia {
namespace {

using test::Desktop;

constexpr std::int64_t ThirtyDays = 30LL * 24 * 3600;

// An opener that plays the kernel refusing the wake alarm to a program without CAP_WAKE_ALARM.
int RefuseWakeAlarm() {
    errno = EPERM;
    return -1;
}

std::int64_t SecondsLeft(int fd) {
    itimerspec current{};
    if (::timerfd_gettime(fd, &current) != 0) {
        return -1;
    }
    return current.it_value.tv_sec;
}

class WakeTimerTest : public ::testing::Test {
protected:
    void SetUp() override { Desktop().Reset(); }
    void TearDown() override { Desktop().Reset(); }
};

TEST_F(WakeTimerTest, TheRealAlarmTimerIsArmedAndReArmedForWholeSeconds) {
    const int probe = ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
    if (probe < 0) {
        GTEST_SKIP() << "CLOCK_REALTIME_ALARM timers are refused here (" << std::strerror(errno)
                     << "): run as root or give the test the wake-alarm capability "
                        "(setcap cap_wake_alarm+ep <test binary>)";
    }
    ::close(probe);

    WakeTimer timer;
    EXPECT_EQ(timer.Handle(), -1);
    ASSERT_EQ(timer.Arm(ThirtyDays), WakeTimer::Result::ArmedAlarmTimer);
    const int fd = timer.Handle();
    ASSERT_GE(fd, 0);
    const std::int64_t left = SecondsLeft(fd);
    EXPECT_LE(left, ThirtyDays);
    EXPECT_GE(left, ThirtyDays - 60);

    // Re-arming replaces the due time on the same timer.
    ASSERT_EQ(timer.Arm(ThirtyDays / 2), WakeTimer::Result::ArmedAlarmTimer);
    EXPECT_EQ(timer.Handle(), fd);
    EXPECT_LE(SecondsLeft(fd), ThirtyDays / 2);
    EXPECT_GE(SecondsLeft(fd), ThirtyDays / 2 - 60);

    itimerspec current{};
    ASSERT_EQ(::timerfd_gettime(fd, &current), 0);
    EXPECT_EQ(current.it_interval.tv_sec, 0); // fires once
    EXPECT_EQ(current.it_interval.tv_nsec, 0);
}

TEST_F(WakeTimerTest, TheTimerIsMadeOnFirstArmingKeptAndClosedAtTheEnd) {
    int opened = 0;
    // A monotonic timer behaves the same for this and needs no capability.
    auto timer = std::make_unique<WakeTimer>(QDBusConnection::sessionBus(), [&] {
        ++opened;
        return ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    });
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(timer->Arm(600), WakeTimer::Result::ArmedAlarmTimer);
    EXPECT_EQ(timer->Arm(300), WakeTimer::Result::ArmedAlarmTimer);
    EXPECT_EQ(timer->Arm(100), WakeTimer::Result::ArmedAlarmTimer);
    EXPECT_EQ(opened, 1);
    const int fd = timer->Handle();
    EXPECT_LE(SecondsLeft(fd), 100);
    EXPECT_GE(SecondsLeft(fd), 90);

    timer.reset();
    errno = 0;
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
}

TEST_F(WakeTimerTest, NothingIsArmedForNoTimeLeft) {
    int opened = 0;
    WakeTimer timer(QDBusConnection::sessionBus(), [&] {
        ++opened;
        return ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    });
    EXPECT_EQ(timer.Arm(0), WakeTimer::Result::NotArmed);
    EXPECT_EQ(timer.Arm(-5), WakeTimer::Result::NotArmed);
    EXPECT_EQ(opened, 0);
}

TEST_F(WakeTimerTest, WithoutTheCapabilityKdeIsAskedForTheWakeUp) {
    test::FakeKdePowerManagement* kde = Desktop().StartKde();
    ASSERT_NE(kde, nullptr);
    test::LogCapture log;
    WakeTimer timer(QDBusConnection::sessionBus(), RefuseWakeAlarm);

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    ASSERT_EQ(timer.Arm(3600), WakeTimer::Result::ArmedByKde);
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    ASSERT_EQ(timer.Arm(7200), WakeTimer::Result::ArmedByKde);

    const auto wakeups = kde->Wakeups();
    ASSERT_EQ(wakeups.size(), 2u);
    EXPECT_EQ(wakeups[0].service, QDBusConnection::sessionBus().baseService());
    EXPECT_FALSE(wakeups[0].path.isEmpty());
    EXPECT_GE(static_cast<qint64>(wakeups[0].timestamp), before + 3600);
    EXPECT_LE(static_cast<qint64>(wakeups[0].timestamp), after + 3600);
    EXPECT_GE(static_cast<qint64>(wakeups[1].timestamp), before + 7200);
    EXPECT_EQ(timer.Handle(), -1);

    ASSERT_EQ(log.Count(), 1); // the missing capability, once
    EXPECT_TRUE(log.Warnings().front().contains(QStringLiteral("CAP_WAKE_ALARM")));
}

TEST_F(WakeTimerTest, WithoutTheCapabilityAndWithoutKdeNothingIsArmedAndThatIsLoggedOnce) {
    test::LogCapture log;
    WakeTimer timer(QDBusConnection::sessionBus(), RefuseWakeAlarm);
    EXPECT_EQ(timer.Arm(3600), WakeTimer::Result::NotArmed);
    EXPECT_EQ(timer.Arm(60), WakeTimer::Result::NotArmed);
    EXPECT_EQ(timer.Handle(), -1);

    ASSERT_EQ(log.Count(), 2) << log.Warnings().join(u'\n').toStdString();
    EXPECT_TRUE(log.Warnings()[1].contains(QStringLiteral("first tick after")));
}

TEST_F(WakeTimerTest, AnotherRefusalAlsoFallsBackToKde) {
    test::FakeKdePowerManagement* kde = Desktop().StartKde();
    ASSERT_NE(kde, nullptr);
    WakeTimer timer(QDBusConnection::sessionBus(), [] {
        errno = EINVAL; // no alarm-capable real-time clock
        return -1;
    });
    EXPECT_EQ(timer.Arm(10), WakeTimer::Result::ArmedByKde);
    EXPECT_EQ(kde->Wakeups().size(), 1u);
}

} // namespace
} // namespace horavia
