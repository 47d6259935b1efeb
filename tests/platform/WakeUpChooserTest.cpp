#include "platform/linux/WakeUpChooser.h"

#include "platform/linux/KdeWakeUp.h"
#include "platform/linux/TimerFdWakeUp.h"
#include "support/FakeDesktop.h"
#include "support/LogCapture.h"

#include <QDateTime>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

namespace horavia {
namespace {

using test::Desktop;

// An opener that plays the kernel refusing the wake alarm to a program without CAP_WAKE_ALARM.
int RefuseWakeAlarm() {
    errno = EPERM;
    return -1;
}

// The alarm timer with this opener first, then KDE on the test's session bus.
WakeUpChooser ChooserOver(TimerFdWakeUp::TimerOpener open) {
    std::vector<std::unique_ptr<WakeUpProvider>> providers;
    providers.push_back(std::make_unique<TimerFdWakeUp>(std::move(open)));
    providers.push_back(std::make_unique<KdeWakeUp>(QDBusConnection::sessionBus()));
    return WakeUpChooser(std::move(providers));
}

class WakeUpChooserTest : public ::testing::Test {
protected:
    void SetUp() override { Desktop().Reset(); }
    void TearDown() override { Desktop().Reset(); }
};

TEST_F(WakeUpChooserTest, WithoutTheCapabilityKdeIsAskedForTheWakeUp) {
    test::FakeKdePowerManagement* kde = Desktop().StartKde();
    ASSERT_NE(kde, nullptr);
    test::LogCapture log;
    WakeUpChooser chooser = ChooserOver(RefuseWakeAlarm);

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(chooser.Arm(3600));
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    EXPECT_EQ(chooser.Name(), KdeWakeUp().Name());
    ASSERT_TRUE(chooser.Arm(7200));

    const auto wakeups = kde->Wakeups();
    ASSERT_EQ(wakeups.size(), 2u);
    EXPECT_EQ(wakeups[0].service, QDBusConnection::sessionBus().baseService());
    EXPECT_FALSE(wakeups[0].path.isEmpty());
    EXPECT_GE(static_cast<qint64>(wakeups[0].timestamp), before + 3600);
    EXPECT_LE(static_cast<qint64>(wakeups[0].timestamp), after + 3600);
    EXPECT_GE(static_cast<qint64>(wakeups[1].timestamp), before + 7200);

    ASSERT_EQ(log.Count(), 1); // the missing capability, once
    EXPECT_TRUE(log.Warnings().front().contains(QStringLiteral("CAP_WAKE_ALARM")));

    chooser.Disarm(); // both wake-ups KDE accepted are cleared
    ASSERT_TRUE(QTest::qWaitFor([&] { return kde->Cleared().size() == 2; }, 5000));
    EXPECT_EQ(kde->Cleared(), (std::vector<int>{1, 2}));
}

TEST_F(WakeUpChooserTest, WithoutTheCapabilityAndWithoutKdeNothingIsArmedAndThatIsLoggedOnce) {
    test::LogCapture log;
    WakeUpChooser chooser = ChooserOver(RefuseWakeAlarm);
    EXPECT_FALSE(chooser.Arm(3600));
    EXPECT_FALSE(chooser.Arm(60));
    EXPECT_EQ(chooser.Name(), QStringLiteral("nothing"));

    // Each mechanism's reason once, and once what that means for the countdown.
    ASSERT_EQ(log.Count(), 3) << log.Warnings().join(u'\n').toStdString();
    EXPECT_TRUE(log.Warnings()[2].contains(QStringLiteral("first tick after")));
}

TEST_F(WakeUpChooserTest, AnotherRefusalAlsoFallsBackToKde) {
    test::FakeKdePowerManagement* kde = Desktop().StartKde();
    ASSERT_NE(kde, nullptr);
    WakeUpChooser chooser = ChooserOver([] {
        errno = EINVAL; // no alarm-capable real-time clock
        return -1;
    });
    EXPECT_TRUE(chooser.Arm(10));
    EXPECT_EQ(kde->Wakeups().size(), 1u);
}

} // namespace
} // namespace horavia
