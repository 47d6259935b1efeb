#include "app/WindowSnap.h"
#include "dialogs/TfmSettings.h"
#include "settings/SettingsStore.h"
#include "support/GuiTestMain.h"
#include "support/WindowFixture.h"
#include "texts/Translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <climits>
#include <vector>

namespace horavia {
namespace {

// Sets the locale a first run takes its language from, for one test.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* lang) {
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            saved_.push_back({variable, qEnvironmentVariableIsSet(variable), qgetenv(variable)});
            qunsetenv(variable);
        }
        qputenv("LANG", lang);
    }
    ~ScopedLocale() {
        for (const Saved& s : saved_) {
            if (s.set) {
                qputenv(s.variable, s.value);
            } else {
                qunsetenv(s.variable);
            }
        }
    }
    void Set(const char* lang) { qputenv("LANG", lang); }

private:
    struct Saved {
        const char* variable;
        bool set;
        QByteArray value;
    };
    std::vector<Saved> saved_;
};

class TimerMainTest : public test::WindowTest {
protected:
    // The window's tests read the Chinese interface, which a Chinese locale gives on a first run.
    TimerMainTest() : WindowTest({2026, 12, 8, 15, 5, 9, 0}) {}
    ~TimerMainTest() override { ApplyUiLanguage(UiLanguage::Chinese); }

    ScopedLocale locale_{"zh_CN.UTF-8"};

    void Tick() {
        clock.AdvanceMs(window->Timer1.interval());
        window->Timer1Timer();
    }
    // The set-up dialog is shown from the timer tab and cancelled.
    void CancelCountdown() {
        AnswerSetUp({});
        Click(Buttons().btnTimerTab.get());
    }
};

TEST_F(TimerMainTest, CreatedAsTheSpareFramelessWindow) {
    EXPECT_EQ(window->windowTitle(), "Horavia");
    EXPECT_EQ(window->size(), QSize(400, 280));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_EQ(window->Timer1.interval(), 10);
    EXPECT_TRUE(window->Timer1.isActive());
}

TEST_F(TimerMainTest, ButtonListHoldsTheSevenButtonsInOrder) {
    ASSERT_EQ(Buttons().ButtonList().size(), 7u);
    const std::vector<std::pair<TDxButton*, TRect>> expected = {
        {Buttons().btnClose.get(), {379, 4, 394, 19}},     {Buttons().btnMinimize.get(), {361, 4, 376, 19}},
        {Buttons().btnTimerTab.get(), {15, 29, 107, 93}},  {Buttons().btnStopwatchTab.get(), {107, 29, 199, 93}},
        {Buttons().btnClockTab.get(), {199, 29, 291, 93}}, {Buttons().btnSettingsTab.get(), {291, 29, 383, 93}},
        {Buttons().btnSplitter.get(), {150, 95, 250, 101}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Buttons().ButtonList()[i], expected[i].first) << i;
        EXPECT_EQ(Buttons().ButtonList()[i]->BoundsRect, expected[i].second) << i;
    }
    EXPECT_TRUE(Buttons().btnTimerTab->TabMember && Buttons().btnTimerTab->CenterImage &&
                Buttons().btnTimerTab->HandCursor);
    EXPECT_FALSE(Buttons().btnClose->HandCursor);
    EXPECT_EQ(Buttons().btnSettingsTab->Caption, QString::fromUtf8("设置"));
}

TEST_F(TimerMainTest, TickRearmsAt200AndDrawsTheClock) {
    Tick();
    EXPECT_EQ(window->Timer1.interval(), 200);
    EXPECT_TRUE(window->Timer1.isActive());
    EXPECT_EQ(window->LastTexts(), (LcdTexts{"3:05:09P", "08/12"}));
    EXPECT_EQ(power.SystemRequests, 1); // not shown: only the system is kept awake
}

// The surface's pixels inside r.
std::vector<std::uint32_t> Pixels(const TfmTimerMain& window, const TRect& r) {
    std::vector<std::uint32_t> pixels;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const std::uint32_t* row = window.DXDraw.Canvas().Row(y);
        pixels.insert(pixels.end(), row + r.Left, row + r.Right);
    }
    return pixels;
}

TEST_F(TimerMainTest, FirstRunSpeaksTheLocalesLanguageUntilAKnownOneIsStored) {
    const auto timerCaption = [this](const char* lang) {
        locale_.Set(lang);
        window = MakeWindow();
        return Buttons().btnTimerTab->Caption;
    };
    QFile::remove(Registry::UserStorePath());
    EXPECT_EQ(timerCaption("en_US.UTF-8"), QStringLiteral("Timer"));
    QFile::remove(Registry::UserStorePath());
    EXPECT_EQ(timerCaption("zh_CN.UTF-8"), QStringLiteral("定时器"));

    // A language the program does not know, stored by a newer one, follows the locale too.
    Settings stored;
    SetDefaultSettings(stored, voice);
    stored.Language = 7;
    SaveSettings(stored, voice, 0, 0);
    EXPECT_EQ(timerCaption("en_GB.UTF-8"), QStringLiteral("Timer"));
    EXPECT_EQ(timerCaption("zh_TW.UTF-8"), QStringLiteral("定时器"));

    stored.Language = 0;
    SaveSettings(stored, voice, 0, 0);
    EXPECT_EQ(timerCaption("en_US.UTF-8"), QStringLiteral("定时器"));
    QFile::remove(Registry::UserStorePath());
}

TEST_F(TimerMainTest, OkInTheSettingsDialogSwitchesTheLanguageAtOnce) {
    CancelCountdown(); // the set-up dialog is made in Chinese
    Tick();
    const TRect tab = Buttons().btnTimerTab->BoundsRect;
    window->DXDrawMouseMove((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2); // the caption shows on hover
    const std::vector<std::uint32_t> chinese = Pixels(*window, tab);
    QPointer<TfmSettings> dialog;
    const auto choose = [&](int language) {
        test::WhenShown<TfmSettings>([&dialog, language](TfmSettings* d) {
            dialog = d;
            d->cbLanguages->setCurrentIndex(language);
            d->bnOK->click();
        });
        Click(Buttons().btnSettingsTab.get());
        QCoreApplication::sendPostedEvents(); // the LanguageChange Qt posts to every window
    };

    choose(1);
    EXPECT_EQ(window->Config.Language, 1);
    EXPECT_EQ(Buttons().btnTimerTab->Caption, QStringLiteral("Timer"));
    EXPECT_EQ(Buttons().btnSettingsTab->Caption, QStringLiteral("Settings"));
    EXPECT_NE(Pixels(*window, tab), chinese); // drawn anew, not at the next start
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(dialog->cbRemindFrequency->itemText(1), QStringLiteral("3 minutes"));
    EXPECT_EQ(dialog->cbLanguages->itemText(0), QStringLiteral("简体中文"));
    QString setUpTitle;
    QString setUpInterval;
    AnswerSetUp([&](TfmTimerSetUp* d) {
        setUpTitle = d->windowTitle();
        setUpInterval = d->cbRemindInterval->itemText(7);
    });
    Click(Buttons().btnTimerTab.get());
    EXPECT_EQ(setUpTitle, QStringLiteral("Timer set-up"));
    EXPECT_EQ(setUpInterval, QStringLiteral("hour"));
    Click(Buttons().btnLcdCancel.get());
    window->DXDrawMouseMove((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2); // the pointer came back

    choose(0);
    EXPECT_EQ(Buttons().btnTimerTab->Caption, QStringLiteral("定时器"));
    EXPECT_EQ(Pixels(*window, tab), chinese);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("设置"));
}

TEST_F(TimerMainTest, TheTimeUpBoxSpeaksTheLanguageQtsButtonToo) {
    window->Config.ShowMsgBox = true;
    for (const auto& [language, text, ok] : {std::tuple{UiLanguage::Chinese, "时间到了。", "确定"},
                                             std::tuple{UiLanguage::English, "Time is up.", "OK"}}) {
        ApplyUiLanguage(language);
        QString boxText;
        QString buttonText;
        test::WhenShown<QMessageBox>([&](QMessageBox* box) {
            boxText = box->text();
            buttonText = box->button(QMessageBox::Ok)->text().remove(QLatin1Char('&'));
            box->accept();
        });
        StartCountdown(0, 1);
        while (window->Engine.Mode == dmTimer) {
            Tick();
        }
        EXPECT_EQ(boxText, QString::fromUtf8(text));
        EXPECT_EQ(buttonText, QString::fromUtf8(ok));
    }
}

TEST_F(TimerMainTest, TickWhoseStepThrowsStillRearms) {
    power.Fail = true;
    Tick();
    Tick();
    EXPECT_TRUE(window->Timer1.isActive());
    EXPECT_EQ(window->Timer1.interval(), 200);
    EXPECT_EQ(power.SystemRequests, 2);
}

TEST_F(TimerMainTest, CountdownFromTheTabRunsAndEndsInTheClock) {
    StartCountdown(1);
    EXPECT_EQ(window->Engine.Mode, dmTimer);
    EXPECT_TRUE(Shown(Buttons().btnLcdCancel));
    EXPECT_EQ(Buttons().ButtonList().back(), Buttons().btnLcdCancel.get());
    Click(Buttons().btnTimerTab.get()); // ignored while counting down
    EXPECT_EQ(setUpShown, 1);
    Tick();
    EXPECT_EQ(window->LastTexts().Large, "00:00:59");
    // With 150 ms left, the next tick is armed for the end instant itself rather than 200 ms on.
    clock.AdvanceMs(MillisecondsBetween(window->Engine.EndTime, clock.Now()) - 150);
    window->Timer1Timer();
    EXPECT_EQ(window->Timer1.interval(), 150);
    clock.AdvanceMs(window->Timer1.interval()); // the armed tick, as the clock reads its end instant
    window->Timer1Timer();
    EXPECT_EQ(window->LastTexts(), (LcdTexts{"00:00:00", "00"}));
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_EQ(window->Timer1.interval(), 200);
    EXPECT_FALSE(Shown(Buttons().btnLcdCancel));
}

TEST_F(TimerMainTest, DialogCancelledStaysInTheClock) {
    CancelCountdown();
    EXPECT_EQ(setUpShown, 1);
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_FALSE(Buttons().btnLcdCancel);
}

TEST_F(TimerMainTest, DialogCancelledFromTheStopwatchLeavesItsButtonsHidden) {
    Click(Buttons().btnStopwatchTab.get());
    EXPECT_TRUE(Shown(Buttons().btnLcdCancel) && Shown(Buttons().btnLcdStartPause) && Shown(Buttons().btnLcdReset));
    CancelCountdown();
    EXPECT_EQ(setUpShown, 1);
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_FALSE(Shown(Buttons().btnLcdCancel) || Shown(Buttons().btnLcdStartPause) || Shown(Buttons().btnLcdReset));
}

TEST_F(TimerMainTest, StopwatchByMouseAndKeys) {
    Click(Buttons().btnStopwatchTab.get());
    EXPECT_EQ(Buttons().btnLcdStartPause->NormalImage, "lcd_start");
    window->FormKeyUp(Qt::Key_Space);
    EXPECT_TRUE(window->Engine.SwRunning);
    EXPECT_EQ(Buttons().btnLcdStartPause->NormalImage, "lcd_pause");
    clock.AdvanceMs(2340);
    Click(Buttons().btnLcdStartPause.get());
    EXPECT_FALSE(window->Engine.SwRunning);
    EXPECT_EQ(window->LastTexts(), (LcdTexts{"00:00:02", "34"})); // drawn at once on pause
    Click(Buttons().btnLcdReset.get());
    EXPECT_EQ(window->Engine.SwAccumulatedMs, 0);
    Click(Buttons().btnStopwatchTab.get());
    window->FormKeyUp(Qt::Key_Escape);
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_FALSE(Shown(Buttons().btnLcdStartPause));
}

TEST_F(TimerMainTest, StopwatchTabAgainKeepsItRunning) {
    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnLcdStartPause.get());
    clock.AdvanceSeconds(5);
    Click(Buttons().btnStopwatchTab.get());
    EXPECT_TRUE(window->Engine.SwRunning);
    EXPECT_EQ(window->Engine.StopwatchElapsedMs(), 5000);
}

TEST_F(TimerMainTest, KeysOutsideTheirModesDoNothing) {
    window->FormKeyUp(Qt::Key_Escape);
    window->FormKeyUp(Qt::Key_Space);
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_FALSE(Buttons().btnLcdCancel);
    StartCountdown(5);
    window->FormKeyUp(Qt::Key_Space); // space in a countdown
    EXPECT_EQ(window->Engine.Mode, dmTimer);
    window->FormKeyUp(Qt::Key_Escape);
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_FALSE(Shown(Buttons().btnLcdCancel));
}

TEST_F(TimerMainTest, ClockTabCancelsAndRepaints) {
    StartCountdown(5);
    const long presents = window->DXDraw.PresentCount();
    Click(Buttons().btnClockTab.get());
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_FALSE(Shown(Buttons().btnLcdCancel));
    EXPECT_GT(window->DXDraw.PresentCount(), presents);
    EXPECT_EQ(window->LastTexts().Large, "3:05:09P");
}

TEST_F(TimerMainTest, StopwatchTabDropsTheCountdownWithoutAlert) {
    StartCountdown(5);
    Click(Buttons().btnStopwatchTab.get());
    EXPECT_EQ(window->Engine.Mode, dmStopwatch);
    clock.AdvanceSeconds(600);
    window->DrawDisplay();
    EXPECT_EQ(window->Engine.Mode, dmStopwatch);
}

TEST_F(TimerMainTest, F1OpensTheWelcomeTopic) {
    window->FormKeyUp(Qt::Key_F1);
    EXPECT_EQ(shell.Topics, QStringList{"Welcometopic.htm"});
}

TEST_F(TimerMainTest, SplitterMovesTheLcdAndKeepsTheMode) {
    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnSplitter.get());
    EXPECT_FALSE(window->Engine.TabBarShown);
    EXPECT_EQ(window->Engine.Mode, dmStopwatch);
    EXPECT_EQ(window->Composer().LcdBox(), (TRect{16, 73, 384, 207}));
    EXPECT_FALSE(Buttons().btnTimerTab->Visible);
    EXPECT_EQ(Buttons().btnSplitter->BoundsRect, (TRect{150, 31, 250, 37}));
    EXPECT_EQ(Buttons().btnSplitter->NormalImage, "splitter_dn");
    EXPECT_EQ(Buttons().btnLcdCancel->BoundsRect, (TRect{36, 93, 91, 105}));
    EXPECT_TRUE(Shown(Buttons().btnLcdReset));
    Click(Buttons().btnSplitter.get());
    EXPECT_EQ(window->Composer().LcdBox(), (TRect{16, 103, 384, 237}));
    EXPECT_EQ(Buttons().btnLcdCancel->BoundsRect, (TRect{36, 123, 91, 135}));
    EXPECT_EQ(Buttons().btnSplitter->NormalImage, "splitter_norm");
    EXPECT_TRUE(Buttons().btnTimerTab->Visible);
}

TEST_F(TimerMainTest, SurfaceThatCannotDrawNoticesTheEndLater) {
    StartCountdown(1);
    window->DXDraw.SetCanDraw(false);
    clock.AdvanceSeconds(120);
    Tick();
    EXPECT_EQ(window->Engine.Mode, dmTimer);
    window->DXDraw.SetCanDraw(true);
    Tick();
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_EQ(window->LastTexts().Large, "00:00:00");
}

TEST_F(TimerMainTest, ReleaseOverAVisibleButtonClicksWithAnyMouseButton) {
    window->DXDrawMouseDown(Qt::RightButton, 200, 10); // on the title, not a button
    window->show();
    window->DXDrawMouseUp(Qt::RightButton, 385, 10); // over close
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TimerMainTest, RightClickOnAnLcdButtonClicksIt) {
    Click(Buttons().btnStopwatchTab.get());
    const TRect start = Buttons().btnLcdStartPause->BoundsRect;
    window->DXDrawMouseDown(Qt::RightButton, start.Left + 5, start.Top + 5);
    window->DXDrawMouseUp(Qt::RightButton, start.Left + 5, start.Top + 5);
    EXPECT_TRUE(window->Engine.SwRunning);
}

TEST_F(TimerMainTest, LeftPressOnATabThenAMoveDoesNotDrag) {
    window->show();
    const QPoint before = window->pos();
    window->DXDrawMouseDown(Qt::LeftButton, 50, 50);
    window->DXDrawMouseMove(250, 150);
    window->DXDrawMouseUp(Qt::LeftButton, 250, 150);
    EXPECT_EQ(window->pos(), before);
}

TEST_F(TimerMainTest, LeftPressOffTheButtonsDragsAndDoesNotClick) {
    window->show();
    window->DXDrawMouseDown(Qt::LeftButton, 200, 10);
    window->DXDrawMouseUp(Qt::LeftButton, 385, 10);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(TimerMainTest, HiddenTabNeitherHoversNorSetsThePointer) {
    window->DXDrawMouseMove(50, 50);
    EXPECT_TRUE(Buttons().btnTimerTab->Hovered);
    EXPECT_EQ(window->cursor().shape(), Qt::PointingHandCursor);
    window->DXDrawMouseMove(385, 10);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor); // close has no hand pointer
    Click(Buttons().btnSplitter.get());
    window->DXDrawMouseMove(120, 50);
    EXPECT_FALSE(Buttons().btnStopwatchTab->Hovered);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

// Leaving the window ends every highlight, and a button that comes back shows the hover of where the
// pointer is now: never two highlights at once.
TEST_F(TimerMainTest, HighlightsFollowThePointerOnlyWhileItIsThere) {
    window->show();
    const auto centre = [](const TDxButton* b) {
        return QPoint((b->BoundsRect.Left + b->BoundsRect.Right) / 2, (b->BoundsRect.Top + b->BoundsRect.Bottom) / 2);
    };
    const auto pointAt = [&](const TDxButton* b) {
        QCursor::setPos(window->mapToGlobal(centre(b)));
        window->DXDrawMouseMove(centre(b).x(), centre(b).y());
    };
    pointAt(Buttons().btnTimerTab.get());
    ASSERT_TRUE(Buttons().btnTimerTab->Hovered);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_FALSE(Buttons().btnTimerTab->Hovered);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);

    Click(Buttons().btnStopwatchTab.get());
    pointAt(Buttons().btnLcdCancel.get());
    ASSERT_TRUE(Buttons().btnLcdCancel->Hovered);
    Click(Buttons().btnLcdCancel.get()); // hidden under the pointer
    pointAt(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnStopwatchTab.get());
    ASSERT_TRUE(Shown(Buttons().btnLcdCancel));
    EXPECT_FALSE(Buttons().btnLcdCancel->Hovered);
    EXPECT_TRUE(Buttons().btnStopwatchTab->Hovered);
}

// A stored position is used only where the whole window shows on a screen; edges near the limits of a
// 32-bit number, or a window half off the screen, leave it centred.
TEST_F(TimerMainTest, StoredPositionOffTheScreensLeavesTheWindowCentred) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centred = area.center() - QPoint(window->width() / 2, 250 / 2);
    const QPoint tests[] = {{INT_MAX, 0},
                            {INT_MIN, 0},
                            {0, INT_MAX},
                            {0, INT_MIN},
                            {INT_MAX - 100, INT_MAX - 100},
                            {area.left() - 200, area.top() + 10},
                            {area.right() - 100, area.top() + 10}};
    for (const QPoint stored : tests) {
        const auto w = MakeWindow();
        w->Config.PositionStored = true;
        w->Config.LastWindowPosLeft = stored.x();
        w->Config.LastWindowPosTop = stored.y();
        w->show();
        EXPECT_EQ(w->pos(), centred) << stored.x() << "," << stored.y();
    }
    const auto w = MakeWindow();
    w->Config.PositionStored = true;
    w->Config.LastWindowPosLeft = area.left() + 20;
    w->Config.LastWindowPosTop = area.top() + 30;
    w->show();
    EXPECT_EQ(w->pos(), area.topLeft() + QPoint(20, 30));
}

TEST(WindowSnap, SnapsToEachEdgeWithinTenPixels) {
    const QRect area(0, 30, 1280, 770); // a panel above
    const QSize size(400, 250);
    EXPECT_EQ(SnapToArea(QRect(QPoint(9, 300), size), area, 10).topLeft(), QPoint(0, 300));
    EXPECT_EQ(SnapToArea(QRect(QPoint(11, 300), size), area, 10).topLeft(), QPoint(11, 300));
    EXPECT_EQ(SnapToArea(QRect(QPoint(500, 38), size), area, 10).topLeft(), QPoint(500, 30));
    EXPECT_EQ(SnapToArea(QRect(QPoint(500, 21), size), area, 10).topLeft(), QPoint(500, 30)); // from above too
    EXPECT_EQ(SnapToArea(QRect(QPoint(872, 300), size), area, 10).topLeft(), QPoint(880, 300));
    EXPECT_EQ(SnapToArea(QRect(QPoint(500, 545), size), area, 10).topLeft(), QPoint(500, 550));
    EXPECT_EQ(SnapToArea(QRect(QPoint(500, 539), size), area, 10).topLeft(), QPoint(500, 539));
    EXPECT_EQ(SnapToArea(QRect(QPoint(300, 795), size), area, 10).topLeft(), QPoint(300, 795)); // far off: kept
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
