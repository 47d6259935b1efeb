#include "support/GuiTestMain.h"
#include "support/WindowFixture.h"

#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTest>

namespace horavia {
namespace {

// Sleep, wake and session changes as the window handles them; the wake-up records what it was asked for.
class TimerMainPowerTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->Timer1Timer();
    }
};

TEST_F(TimerMainPowerTest, SuspendDuringACountdownArmsTheWholeSecondsLeft) {
    StartCountdown(10);
    clock.AdvanceMs(1500);
    window->PowerSuspend();
    EXPECT_FALSE(window->Timer1.isActive());
    EXPECT_EQ(wakeUp.Armed, std::vector<std::int64_t>{598}); // 598.5 s left, truncated
}

TEST_F(TimerMainPowerTest, SuspendInTheStopwatchTheClockOrAfterTheEndArmsNothing) {
    Click(Buttons().btnStopwatchTab.get());
    window->PowerSuspend();
    Click(Buttons().btnClockTab.get());
    window->PowerSuspend();
    EXPECT_TRUE(wakeUp.Armed.empty());
    StartCountdown(1);
    clock.AdvanceSeconds(61); // ended, but no tick has noticed it yet
    window->PowerSuspend();
    EXPECT_TRUE(wakeUp.Armed.empty());
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
    EXPECT_EQ(window->LastTexts().Large, "00:00:00");
}

// Two sleeps in a row: each resume repaints the whole picture and leaves the tick running in the mode the
// machine slept in.
TEST_F(TimerMainPowerTest, TwoResumesRepaintTheWholePictureAndChangeNothingElse) {
    Click(Buttons().btnStopwatchTab.get());
    window->PowerSuspend();
    const Rgb8 ground = window->DXDraw.Canvas().Pixel(200, 10);
    const Rgb8 scribble{static_cast<std::uint8_t>(ground.r ^ 0xff), ground.g, ground.b};
    window->DXDraw.Canvas().SetPixel(200, 10, scribble); // what a screen that slept may hold
    window->PowerResume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->DXDraw.Canvas().Pixel(200, 10) == ground; }, 5000));
    window->PowerSuspend();
    window->DXDraw.Canvas().SetPixel(200, 10, scribble);
    window->PowerResume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->DXDraw.Canvas().Pixel(200, 10) == ground; }, 5000))
        << "the second resume did not repaint";
    EXPECT_EQ(window->Engine.Mode, dmStopwatch);
    EXPECT_TRUE(window->Timer1.isActive());
}

// A wake-up while the time-up box waits: the display is repainted, but no second tick starts inside the
// first, so nothing of the countdown's LCD buttons lands in the window's corner.
TEST_F(TimerMainPowerTest, ResumeWhileTheTimeUpBoxIsOpenStartsNoTickInsideTheTick) {
    Bitmap cornerBefore;
    window->DXDraw.CopyRect({0, 0, 60, 16}, cornerBefore);
    window->Config.ShowMsgBox = true;
    StartCountdown(1);
    window->Timer1Timer();
    clock.AdvanceSeconds(61);
    bool timerArmedInside = true;
    test::WhenShown<QMessageBox>([&](QMessageBox* box) {
        window->PowerSuspend();
        window->PowerResume();
        const long presents = window->DXDraw.PresentCount();
        const bool repainted = QTest::qWaitFor([&] { return window->DXDraw.PresentCount() > presents; }, 5000);
        EXPECT_TRUE(repainted) << "no repaint after the resume";
        timerArmedInside = window->Timer1.isActive();
        window->Timer1Timer(); // as a tick that fired anyway would
        box->button(QMessageBox::Ok)->click();
    });
    window->Timer1Timer();
    EXPECT_FALSE(timerArmedInside);
    EXPECT_TRUE(window->Timer1.isActive());
    window->Timer1Timer(); // the next tick, in the clock
    Bitmap cornerAfter;
    window->DXDraw.CopyRect({0, 0, 60, 16}, cornerAfter);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 60; ++x) {
            ASSERT_TRUE(cornerBefore.Pixel(x, y) == cornerAfter.Pixel(x, y))
                << "the corner changed at " << x << "," << y;
        }
    }
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
    Click(Buttons().btnMinimize.get());
    EXPECT_TRUE(window->isMinimized());
    const auto* icon = window->findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->isVisible());
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
