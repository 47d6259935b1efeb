#include "app/TfmTimerMain.h"

#include "platform/linux/WakeTimer.h"
#include "settings/TSpinEdit.h"
#include "support/FakeClock.h"
#include "support/FakeServices.h"
#include "support/WindowServices.h"
#include "support/FakeSpeechVoice.h"
#include "support/GuiTestMain.h"
#include "support/ModalDialog.h"

#include <QDBusConnection>
#include <QPushButton>
#include <QTest>

#include <sys/timerfd.h>
#include <unistd.h>

namespace horavia {
namespace {

// Sleep, wake and session changes as the window handles them. The wake-up timer is the real one on an
// ordinary real-time clock, which needs no capability, so the armed time can be read back.
class TimerMainPowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        wakeTimer = std::make_unique<WakeTimer>(QDBusConnection(QStringLiteral("none")), [] {
            return timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
        });
        MainWindowServices services = test::ServicesOf(clock, shell, power, voice);
        services.wakeTimer = wakeTimer.get();
        window = std::make_unique<TfmTimerMain>(services);
        window->Config.ShowMsgBox = false;
        window->Timer1Timer();
    }

    void StartCountdown(int minutes) {
        test::WhenShown<TfmTimerSetUp>([minutes](TfmTimerSetUp* d) {
            d->seMins->SetValue(minutes);
            d->Button1->click();
        });
        window->OnButtonClick(window->btnTimerTab.get());
    }
    // Seconds until the wake-up timer fires; 0 when it is not armed.
    long ArmedSeconds() const {
        if (wakeTimer->Handle() < 0) {
            return 0;
        }
        itimerspec spec{};
        timerfd_gettime(wakeTimer->Handle(), &spec);
        return spec.it_value.tv_sec + (spec.it_value.tv_nsec > 500000000 ? 1 : 0);
    }

    test::FakeClock clock{EncodeDateTime({2026, 12, 8, 9, 30, 0, 0})};
    test::FakeShell shell;
    test::FakePower power;
    test::FakeSpeechVoice voice;
    std::unique_ptr<WakeTimer> wakeTimer;
    std::unique_ptr<TfmTimerMain> window;
};

TEST_F(TimerMainPowerTest, SuspendDuringACountdownArmsTheWholeSecondsLeft) {
    StartCountdown(10);
    clock.AdvanceMs(1500);
    window->PowerSuspend();
    EXPECT_FALSE(window->Timer1.isActive());
    EXPECT_NEAR(ArmedSeconds(), 598, 1); // 598.5 s left, truncated
}

TEST_F(TimerMainPowerTest, SuspendInTheStopwatchTheClockOrAfterTheEndArmsNothing) {
    window->OnButtonClick(window->btnStopwatchTab.get());
    window->PowerSuspend();
    window->OnButtonClick(window->btnClockTab.get());
    window->PowerSuspend();
    EXPECT_EQ(wakeTimer->Handle(), -1);
    StartCountdown(1);
    clock.AdvanceSeconds(61); // ended, but no tick has noticed it yet
    window->PowerSuspend();
    EXPECT_EQ(wakeTimer->Handle(), -1);
}

TEST_F(TimerMainPowerTest, ResumeRepaintsAndTheTickRunsAgainAndAnEndPassedAsleepAlarmsAtOnce) {
    StartCountdown(1);
    window->PowerSuspend();
    clock.AdvanceSeconds(3600); // slept past the end
    const long presents = window->DXDraw.PresentCount();
    window->PowerResume();
    EXPECT_EQ(power.BothRequests, 1);
    EXPECT_FALSE(window->Timer1.isActive()); // not before the half second has passed
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Timer1.isActive(); }, 5000));
    EXPECT_GT(window->DXDraw.PresentCount(), presents);
    window->Timer1Timer();
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_EQ(window->LastTexts.Large, "00:00:00");
}

TEST_F(TimerMainPowerTest, TwoResumesRepaintTwiceAndChangeNothingElse) {
    window->OnButtonClick(window->btnStopwatchTab.get());
    window->PowerSuspend();
    int repaints = 0;
    const long before = window->DXDraw.PresentCount();
    window->PowerResume();
    window->PowerResume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->DXDraw.PresentCount() - before >= 2 * 8; }, 5000));
    repaints = static_cast<int>(window->DXDraw.PresentCount() - before);
    EXPECT_EQ(window->Engine.Mode, dmStopwatch);
    EXPECT_TRUE(window->Timer1.isActive());
    EXPECT_GE(repaints, 2);
}

TEST_F(TimerMainPowerTest, SessionChangeRepaints) {
    const long before = window->DXDraw.PresentCount();
    window->SessionChange();
    EXPECT_GT(window->DXDraw.PresentCount(), before);
}

TEST_F(TimerMainPowerTest, MinimizedOrInTheTrayKeepsOnlyTheSystemAwake) {
    const int system = power.SystemRequests;
    window->show();
    window->Timer1Timer();
    EXPECT_EQ(power.DisplayRequests, 1);
    EXPECT_EQ(power.SystemRequests, system);
    window->hide(); // as in the tray
    window->Timer1Timer();
    EXPECT_EQ(power.SystemRequests, system + 1);
    EXPECT_EQ(power.DisplayRequests, 1);
}

TEST_F(TimerMainPowerTest, WithoutATrayMinimizingIsAnOrdinaryMinimize) {
    window->Config.MinimizeToTray = true; // the offscreen platform has no tray
    window->show();
    window->OnButtonClick(window->btnMinimize.get());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->TrayIcon.isVisible());
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
