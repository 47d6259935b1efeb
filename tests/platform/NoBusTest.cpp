// Without any D-Bus: both bus addresses point at a socket that does not exist, as on a machine with no bus.
#include "platform/linux/KdeWakeUp.h"
#include "platform/linux/LinuxPower.h"
#include "platform/linux/SleepWakeMonitor.h"
#include "platform/linux/TimerFdWakeUp.h"
#include "platform/linux/WakeUpChooser.h"

#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cerrno>

namespace horavia {
namespace {

TEST(NoBusTest, TheBusesAreReallyMissing) {
    EXPECT_FALSE(QDBusConnection::systemBus().isConnected());
    EXPECT_FALSE(QDBusConnection::sessionBus().isConnected());
}

TEST(NoBusTest, KeepAwakeRequestsDoNothingAndLogOneLinePerBus) {
    test::LogCapture log;
    LinuxPower power;
    // An hour of ticks, flipping between shown, minimized and alarm.
    for (int tick = 0; tick < 5 * 3600; ++tick) {
        switch (tick % 3) {
        case 0:
            power.KeepDisplayOn();
            break;
        case 1:
            power.KeepSystemAwake();
            break;
        default:
            power.KeepBothAwake();
            break;
        }
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(power.HoldsDisplayLock());
    EXPECT_FALSE(power.HoldsIdleLock());
    EXPECT_FALSE(power.IsSettling());
    EXPECT_EQ(log.Count(), 2) << log.Warnings().join(u'\n').toStdString();
}

TEST(NoBusTest, TheSleepMonitorLogsOnceAndNeverSignals) {
    test::LogCapture log;
    SleepWakeMonitor monitor;
    QSignalSpy suspending(&monitor, &SleepWakeMonitor::suspending);
    QSignalSpy resumed(&monitor, &SleepWakeMonitor::resumed);
    QSignalSpy sessionChanged(&monitor, &SleepWakeMonitor::sessionChanged);
    monitor.Start();
    monitor.Start();
    QCoreApplication::processEvents();

    EXPECT_FALSE(monitor.HoldsSleepDelay());
    EXPECT_TRUE(monitor.SessionPath().isEmpty());
    EXPECT_EQ(suspending.count() + resumed.count() + sessionChanged.count(), 0);
    EXPECT_EQ(log.Count(), 1) << log.Warnings().join(u'\n').toStdString();
}

TEST(NoBusTest, WithoutTheCapabilityTheWakeUpIsNotArmedAndSaysSo) {
    test::LogCapture log;
    std::vector<std::unique_ptr<WakeUpProvider>> providers;
    providers.push_back(std::make_unique<TimerFdWakeUp>([] {
        errno = EPERM;
        return -1;
    }));
    providers.push_back(std::make_unique<KdeWakeUp>(QDBusConnection::sessionBus()));
    WakeUpChooser chooser(std::move(providers));
    EXPECT_FALSE(chooser.Arm(600));
    EXPECT_FALSE(chooser.Arm(60));
    ASSERT_EQ(log.Count(), 3) << log.Warnings().join(u'\n').toStdString();
    EXPECT_TRUE(log.Warnings()[2].contains(QStringLiteral("first tick after")));
}

} // namespace
} // namespace horavia

int main(int argc, char** argv) {
    const QByteArray nowhere = "unix:path=/nonexistent/horavia-test/bus";
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", nowhere);
    qputenv("DBUS_SESSION_BUS_ADDRESS", nowhere);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
