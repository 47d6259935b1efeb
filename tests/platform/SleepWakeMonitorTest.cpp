#include "platform/linux/SleepWakeMonitor.h"

#include "support/FakeDesktop.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace horavia {
namespace {

using test::Desktop;

class SleepWakeMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Desktop().Reset();
        monitor = std::make_unique<SleepWakeMonitor>();
        suspending = std::make_unique<QSignalSpy>(monitor.get(), &SleepWakeMonitor::suspending);
        resumed = std::make_unique<QSignalSpy>(monitor.get(), &SleepWakeMonitor::resumed);
        sessionChanged = std::make_unique<QSignalSpy>(monitor.get(), &SleepWakeMonitor::sessionChanged);
        monitor->Start();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return monitor->HoldsSleepDelay() && !monitor->SessionPath().isEmpty(); }, 10000));
        // The subscriptions to the session went out after logind named it; make sure the bus has them.
        ASSERT_TRUE(Desktop().SettleSystemBus());
    }
    void TearDown() override {
        monitor.reset();
        ASSERT_TRUE(Desktop().SettleSystemBus());
    }

    test::FakeLogind& Logind() { return Desktop().Logind(); }

    // Sends a signal and waits until the monitor has had the chance to see it: the following Ping travels the
    // same way, so once it is answered the signal has been delivered.
    void Deliver(const std::function<void()>& send) {
        send();
        ASSERT_TRUE(Desktop().SettleSystemBus());
        QCoreApplication::processEvents();
    }

    std::unique_ptr<SleepWakeMonitor> monitor;
    std::unique_ptr<QSignalSpy> suspending;
    std::unique_ptr<QSignalSpy> resumed;
    std::unique_ptr<QSignalSpy> sessionChanged;
};

TEST_F(SleepWakeMonitorTest, StartTakesASleepDelayAndFindsTheSession) {
    ASSERT_EQ(Logind().Inhibits().size(), 1u);
    const auto& lock = Logind().Inhibits().front();
    EXPECT_EQ(lock.what, QStringLiteral("sleep"));
    EXPECT_EQ(lock.mode, QStringLiteral("delay"));
    EXPECT_EQ(lock.who, QStringLiteral("Horavia"));
    EXPECT_FALSE(lock.why.isEmpty());
    EXPECT_FALSE(Logind().IsReleased(0));
    EXPECT_EQ(monitor->SessionPath(), test::FakeLogind::SessionPath);

    monitor->Start(); // a second start changes nothing
    ASSERT_TRUE(Desktop().SettleSystemBus());
    EXPECT_EQ(Logind().Inhibits().size(), 1u);
    EXPECT_EQ(Logind().GetSessionCalls(), 1);
}

TEST_F(SleepWakeMonitorTest, SuspendIsAnnouncedOnceWhileTheDelayIsHeldAndThenReleased) {
    bool delayHeldDuringHandler = false;
    QObject::connect(monitor.get(), &SleepWakeMonitor::suspending,
                     [&] { delayHeldDuringHandler = monitor->HoldsSleepDelay() && !Logind().IsReleased(0); });

    Logind().EmitPrepareForSleep(true);
    ASSERT_TRUE(suspending->wait(10000));
    EXPECT_TRUE(delayHeldDuringHandler);
    EXPECT_FALSE(monitor->HoldsSleepDelay());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Logind().IsReleased(0); }, 10000));

    ASSERT_TRUE(Desktop().SettleSystemBus());
    EXPECT_EQ(suspending->count(), 1);
    EXPECT_EQ(resumed->count(), 0);
    EXPECT_EQ(Logind().Inhibits().size(), 1u); // no new delay until the wake
}

TEST_F(SleepWakeMonitorTest, ResumeIsAnnouncedAndANewDelayTaken) {
    Logind().EmitPrepareForSleep(true);
    ASSERT_TRUE(suspending->wait(10000));
    Logind().EmitPrepareForSleep(false);
    ASSERT_TRUE(resumed->wait(10000));

    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->HoldsSleepDelay(); }, 10000));
    ASSERT_EQ(Logind().Inhibits().size(), 2u);
    EXPECT_EQ(Logind().Inhibits()[1].what, QStringLiteral("sleep"));
    EXPECT_EQ(Logind().Inhibits()[1].mode, QStringLiteral("delay"));
    EXPECT_TRUE(Logind().IsReleased(0));
    EXPECT_FALSE(Logind().IsReleased(1));
    EXPECT_EQ(suspending->count(), 1);
    EXPECT_EQ(resumed->count(), 1);
}

TEST_F(SleepWakeMonitorTest, TwoWakeAnnouncementsResumeTwiceButHoldOneDelay) {
    Logind().EmitPrepareForSleep(true);
    ASSERT_TRUE(suspending->wait(10000));
    Deliver([&] {
        Logind().EmitPrepareForSleep(false);
        Logind().EmitPrepareForSleep(false);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return resumed->count() == 2 && monitor->HoldsSleepDelay(); }, 10000));
    ASSERT_TRUE(Desktop().SettleSystemBus());

    EXPECT_EQ(resumed->count(), 2);
    EXPECT_EQ(Logind().HeldCount(QStringLiteral("sleep")), 1);
    EXPECT_EQ(Logind().Inhibits().size(), 2u);
}

TEST_F(SleepWakeMonitorTest, AWakeWithoutASleepIsStillAnnouncedAndKeepsTheOneDelay) {
    Deliver([&] { Logind().EmitPrepareForSleep(false); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return resumed->count() == 1; }, 10000));
    ASSERT_TRUE(Desktop().SettleSystemBus());
    EXPECT_EQ(Logind().Inhibits().size(), 1u);
    EXPECT_FALSE(Logind().IsReleased(0));
}

TEST_F(SleepWakeMonitorTest, UnlockAndLockOfOurSessionAnnounceASessionChange) {
    Logind().EmitSessionSignal(QStringLiteral("Unlock"));
    ASSERT_TRUE(sessionChanged->wait(10000));
    Logind().EmitSessionSignal(QStringLiteral("Lock"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sessionChanged->count() == 2; }, 10000));
    EXPECT_EQ(suspending->count(), 0);
    EXPECT_EQ(resumed->count(), 0);
}

TEST_F(SleepWakeMonitorTest, OurSessionBecomingActiveAnnouncesASessionChange) {
    Deliver([&] { Logind().EmitSessionActive(false); });
    EXPECT_EQ(sessionChanged->count(), 0);

    Logind().EmitSessionActive(true);
    ASSERT_TRUE(sessionChanged->wait(10000));
    EXPECT_EQ(sessionChanged->count(), 1);
}

TEST_F(SleepWakeMonitorTest, ChangesOfAnotherSessionAreIgnored) {
    const QString other = QStringLiteral("/org/freedesktop/login1/session/c2");
    Deliver([&] {
        Logind().EmitSessionSignal(QStringLiteral("Unlock"), other);
        Logind().EmitSessionActive(true, other);
    });
    // Ours follows the other session's signals, so once it arrives the others have been passed over.
    Logind().EmitSessionSignal(QStringLiteral("Unlock"));
    ASSERT_TRUE(sessionChanged->wait(10000));
    EXPECT_EQ(sessionChanged->count(), 1);
}

TEST_F(SleepWakeMonitorTest, ADelayGrantedDuringTheSleepIsHandedBackAtOnce) {
    // Wake and sleep again before logind answers the new delay.
    Logind().EmitPrepareForSleep(true);
    ASSERT_TRUE(suspending->wait(10000));
    Deliver([&] {
        Logind().EmitPrepareForSleep(false);
        Logind().EmitPrepareForSleep(true);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return suspending->count() == 2 && resumed->count() == 1; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Logind().Inhibits().size() == 2u && Logind().IsReleased(1); }, 10000));
    EXPECT_FALSE(monitor->HoldsSleepDelay());
}

} // namespace
} // namespace horavia
