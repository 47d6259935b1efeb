#include "platform/linux/LinuxPower.h"

#include "platform/DeferredPower.h"

#include "support/FakeDesktop.h"
#include "support/LogCapture.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace horavia {
namespace {

using test::Desktop;

class LinuxPowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Desktop().Reset();
        power = std::make_unique<LinuxPower>();
    }
    void TearDown() override {
        power.reset();
        Settle();
    }

    // Lets every take come back and every call reach the fakes.
    void Settle() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !power || !power->IsSettling(); }, 10000));
        ASSERT_TRUE(Desktop().SettleSessionBus());
        ASSERT_TRUE(Desktop().SettleSystemBus());
    }

    test::FakeScreenSaver& ScreenSaver() { return Desktop().ScreenSaver(); }
    test::FakeLogind& Logind() { return Desktop().Logind(); }

    std::unique_ptr<LinuxPower> power;
};

TEST_F(LinuxPowerTest, ShownWindowTakesTheScreensaverInhibitOnceOverManyTicks) {
    power->KeepDisplayOn();
    Settle();
    for (int tick = 0; tick < 50; ++tick) {
        power->KeepDisplayOn();
    }
    Settle();

    EXPECT_TRUE(power->HoldsDisplayLock());
    EXPECT_FALSE(power->HoldsIdleLock());
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);
    EXPECT_EQ(ScreenSaver().UnInhibitCalls, 0);
    EXPECT_EQ(ScreenSaver().Active.size(), 1);
    EXPECT_EQ(ScreenSaver().LastApplication, QStringLiteral("Horavia"));
    EXPECT_FALSE(ScreenSaver().LastReason.isEmpty());
    EXPECT_TRUE(Logind().Inhibits().empty());
}

TEST_F(LinuxPowerTest, AWishMadeBeforeTheServicesAreReachedIsHonouredOnceTheyAre) {
    LinuxPower* real = nullptr;
    DeferredPower deferred([&real] {
        auto made = std::make_unique<LinuxPower>();
        real = made.get();
        return made;
    });
    // The first ticks come before the window is on screen: minimized, then shown.
    deferred.KeepSystemAwake();
    deferred.KeepDisplayOn();
    Settle();
    EXPECT_EQ(ScreenSaver().InhibitCalls, 0);
    EXPECT_TRUE(Logind().Inhibits().empty());

    deferred.Start();
    ASSERT_NE(real, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !real->IsSettling(); }, 10000));
    EXPECT_TRUE(real->HoldsDisplayLock());
    EXPECT_FALSE(real->HoldsIdleLock());
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);

    // From then on the requests go straight through.
    deferred.KeepBothAwake();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !real->IsSettling(); }, 10000));
    EXPECT_TRUE(real->HoldsIdleLock());
}

TEST_F(LinuxPowerTest, MinimizedWindowTakesAnIdleBlockOnceOverManyTicks) {
    for (int tick = 0; tick < 50; ++tick) {
        power->KeepSystemAwake();
        if (tick == 0) {
            Settle();
        }
    }
    Settle();

    EXPECT_TRUE(power->HoldsIdleLock());
    EXPECT_FALSE(power->HoldsDisplayLock());
    ASSERT_EQ(Logind().Inhibits().size(), 1u);
    const auto& lock = Logind().Inhibits().front();
    EXPECT_EQ(lock.what, QStringLiteral("idle"));
    EXPECT_EQ(lock.mode, QStringLiteral("block"));
    EXPECT_EQ(lock.who, QStringLiteral("Horavia"));
    EXPECT_FALSE(lock.why.isEmpty());
    EXPECT_EQ(Logind().HeldCount(QStringLiteral("idle")), 1);
    EXPECT_EQ(ScreenSaver().InhibitCalls, 0);
}

TEST_F(LinuxPowerTest, FlippingDisplaySystemDisplaySwapsTheLocks) {
    power->KeepDisplayOn();
    Settle();
    ASSERT_EQ(ScreenSaver().Active.size(), 1);

    // Minimized: the cookie goes back, the idle block comes.
    for (int tick = 0; tick < 10; ++tick) {
        power->KeepSystemAwake();
    }
    Settle();
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);
    EXPECT_EQ(ScreenSaver().UnInhibitCalls, 1);
    EXPECT_EQ(ScreenSaver().UnknownCookies, 0);
    EXPECT_TRUE(ScreenSaver().Active.isEmpty());
    ASSERT_EQ(Logind().Inhibits().size(), 1u);
    EXPECT_FALSE(Logind().IsReleased(0));

    // Shown again: the idle block is closed, a new cookie is taken.
    for (int tick = 0; tick < 10; ++tick) {
        power->KeepDisplayOn();
    }
    Settle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Logind().IsReleased(0); }, 10000));
    EXPECT_EQ(Logind().Inhibits().size(), 1u);
    EXPECT_EQ(ScreenSaver().InhibitCalls, 2);
    EXPECT_EQ(ScreenSaver().Active.size(), 1);
    EXPECT_TRUE(power->HoldsDisplayLock());
    EXPECT_FALSE(power->HoldsIdleLock());
}

TEST_F(LinuxPowerTest, AlarmHoldsBothAndGivingItUpKeepsOnlyTheWantedOne) {
    power->KeepDisplayOn();
    Settle();
    for (int tick = 0; tick < 10; ++tick) {
        power->KeepBothAwake();
    }
    Settle();
    EXPECT_TRUE(power->HoldsDisplayLock());
    EXPECT_TRUE(power->HoldsIdleLock());
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);
    EXPECT_EQ(ScreenSaver().Active.size(), 1);
    EXPECT_EQ(Logind().HeldCount(QStringLiteral("idle")), 1);

    power->KeepDisplayOn();
    Settle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Logind().IsReleased(0); }, 10000));
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);
    EXPECT_EQ(ScreenSaver().UnInhibitCalls, 0);
}

TEST_F(LinuxPowerTest, ALockGrantedAfterItStoppedBeingWantedIsHandedBack) {
    // Both flips happen before either service answers.
    power->KeepDisplayOn();
    power->KeepSystemAwake();
    power->KeepDisplayOn();
    Settle();

    EXPECT_TRUE(power->HoldsDisplayLock());
    EXPECT_EQ(ScreenSaver().Active.size(), 1);
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);
    ASSERT_EQ(Logind().Inhibits().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Logind().IsReleased(0); }, 10000));
    EXPECT_FALSE(power->HoldsIdleLock());
}

TEST_F(LinuxPowerTest, ARefusedInhibitIsLoggedOnceAndRetriedOnlyAfterAWhile) {
    test::LogCapture log;
    ScreenSaver().FailInhibit = true;
    power->KeepDisplayOn();
    Settle();
    for (int tick = 0; tick < Inhibitor::RetryAfterRequests; ++tick) {
        power->KeepDisplayOn();
    }
    Settle();
    EXPECT_EQ(ScreenSaver().InhibitCalls, 1);
    EXPECT_FALSE(power->HoldsDisplayLock());

    power->KeepDisplayOn();
    Settle();
    EXPECT_EQ(ScreenSaver().InhibitCalls, 2);

    ScreenSaver().FailInhibit = false;
    power->KeepSystemAwake();
    power->KeepDisplayOn(); // wanted anew: tried at once
    Settle();
    EXPECT_EQ(ScreenSaver().InhibitCalls, 3);
    EXPECT_TRUE(power->HoldsDisplayLock());
    EXPECT_EQ(log.Count(), 1) << log.Warnings().join(u'\n').toStdString();
}

TEST_F(LinuxPowerTest, ARefusedIdleBlockLeavesTheDisplayLockAlone) {
    test::LogCapture log;
    Logind().FailInhibit = true;
    power->KeepBothAwake();
    Settle();
    for (int tick = 0; tick < 20; ++tick) {
        power->KeepBothAwake();
    }
    Settle();
    EXPECT_TRUE(power->HoldsDisplayLock());
    EXPECT_FALSE(power->HoldsIdleLock());
    EXPECT_EQ(Logind().Inhibits().size(), 1u);
    EXPECT_EQ(log.Count(), 1);
}

TEST_F(LinuxPowerTest, DestroyingThePowerReleasesWhatItHolds) {
    power->KeepBothAwake();
    Settle();
    ASSERT_TRUE(power->HoldsDisplayLock());
    ASSERT_TRUE(power->HoldsIdleLock());

    power.reset();
    Settle();
    EXPECT_TRUE(ScreenSaver().Active.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Logind().IsReleased(0); }, 10000));
}

} // namespace
} // namespace horavia
