#include "audio/FakeBass.h" // the fake audio library of the player tests
#include "audio/RsySoundPlayer.h"
#include "support/GuiTestMain.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QTemporaryDir>

#include <fstream>

namespace horavia {
namespace {

using test::FakeBass;
using test::FakeLoader;
using test::FakeMixer;
using test::ManualFadeTimer;

// The alarm and the spoken announcements, with the fake clock, a voice that records what it was
// asked to say, and the real player over a fake audio library.
class TimerMainAlarmTest : public test::WindowTest {
protected:
    TimerMainAlarmTest() : WindowTest({2026, 12, 8, 9, 30, 0, 0}, {QStringLiteral("Mandarin")}) {
        makeSoundPlayer = [this](void*) {
            TRsySoundPlayer::Dependencies deps;
            deps.loader = &loader;
            deps.makeMixer = [line = mixerLine] { return std::make_unique<FakeMixer>(line); };
            deps.makeFadeTimer = [this] {
                auto t = std::make_unique<ManualFadeTimer>(timerProbe);
                fadeTimer = t.get();
                return t;
            };
            deps.openOnCallerThread = true; // the fake library answers at once; see each call's effect
            return std::make_unique<TRsySoundPlayer>(nullptr, std::move(deps));
        };
    }
    void SetUp() override {
        WindowTest::SetUp();
        window->Config.PlaySound = false;
        soundFile = dir.filePath(QStringLiteral("alarm.wav"));
        std::ofstream(soundFile.toStdString()) << "x";
        Tick();
    }

    void Tick() {
        window->Timer1Timer();
        clock.AdvanceMs(200);
    }
    // Ticks every 200 ms for the given time.
    void Run(int seconds) {
        for (int i = 0; i < seconds * 5; ++i) {
            Tick();
        }
    }
    void StartCountdown(int minutes, int seconds, bool remind, int index, bool autoIncrease) {
        AnswerSetUp([=](TfmTimerSetUp* d) {
            d->seMins->SetValue(minutes);
            d->seSecs->SetValue(seconds);
            if (d->chbVoiceRemind->isChecked() != remind) {
                d->chbVoiceRemind->click();
            }
            d->cbRemindInterval->setCurrentIndex(index);
            d->chbAutoIncrease->setChecked(autoIncrease);
        });
        Click(Buttons().btnTimerTab.get());
        clock.AdvanceMs(50); // the user's OK never falls exactly on a tick
    }
    QStringList Spoken() const {
        QStringList all;
        for (const QString& s : voice.spoken) {
            all << s;
        }
        return all;
    }
    TRsySoundPlayer* Player() const { return SoundPlayer.load(); }

    FakeBass bass;
    FakeLoader loader;
    std::shared_ptr<FakeMixer::Line> mixerLine = std::make_shared<FakeMixer::Line>();
    std::shared_ptr<ManualFadeTimer::Probe> timerProbe = std::make_shared<ManualFadeTimer::Probe>();
    ManualFadeTimer* fadeTimer = nullptr;
    QTemporaryDir dir;
    QString soundFile;
};

TEST_F(TimerMainAlarmTest, ReminderDueAtFiveMinutesSaysTheTruncatedTime) {
    StartCountdown(10, 0, true, 2, false);
    Run(301);
    ASSERT_EQ(Spoken().size(), 1);
    EXPECT_EQ(Spoken()[0], QStringLiteral("还有  4 分钟 59 秒"));
}

TEST_F(TimerMainAlarmTest, AutoIncreaseSpeaksAtFiveTwoAndOneMinuteLeft) {
    StartCountdown(10, 0, true, 2, true);
    Run(605);
    EXPECT_EQ(Spoken(), (QStringList{QStringLiteral("还有  4 分钟 59 秒"), QStringLiteral("还有  1 分钟 59 秒"),
                                     QStringLiteral("还有   59 秒")}));
    const auto* setUp = window->findChild<TfmTimerSetUp*>();
    ASSERT_NE(setUp, nullptr);
    EXPECT_EQ(setUp->cbRemindInterval->currentIndex(), 0); // the dialog's list followed
    EXPECT_EQ(window->Engine.Mode, dmClock);
}

// A speech service that fails costs the reminder, never the countdown or its alarm.
TEST_F(TimerMainAlarmTest, FailingSpeechLeavesTheCountdownAndItsEndAlone) {
    voice.failSpeaking = true;
    StartCountdown(2, 0, true, 0, false);
    Run(125);
    EXPECT_EQ(Spoken().size(), 1); // tried at a minute left
    EXPECT_EQ(window->Engine.Mode, dmClock);
    EXPECT_TRUE(window->Timer1.isActive());
}

TEST_F(TimerMainAlarmTest, IntervalAtIndexZeroStaysAMinute) {
    StartCountdown(3, 30, true, 0, true);
    Run(215);
    EXPECT_EQ(Spoken().size(), 3); // 2:29, 1:29, 0:29 left
    EXPECT_EQ(window->Engine.RemindIndex, 0);
}

TEST_F(TimerMainAlarmTest, EndAtTheTickOfADueReminderGivesOnlyTheAlarm) {
    StartCountdown(1, 0, true, 0, false);
    Run(61);
    EXPECT_TRUE(Spoken().isEmpty());
    EXPECT_EQ(window->Engine.Mode, dmClock);
}

TEST_F(TimerMainAlarmTest, NoSoundAndNoBoxOnlyShowZerosAndTheClock) {
    StartCountdown(0, 2, false, 0, false);
    while (window->Engine.Mode == dmTimer) {
        Tick();
    }
    EXPECT_EQ(window->LastTexts(), (LcdTexts{"00:00:00", "00"}));
    EXPECT_EQ(Player(), nullptr);
    EXPECT_FALSE(Buttons().btnLcdStop);
    Tick();
    EXPECT_EQ(window->LastTexts().Large, "9:30:02A");
    EXPECT_TRUE(Spoken().isEmpty());
}

TEST_F(TimerMainAlarmTest, BoxShownWhileTheSoundPlaysThenFadesItAndNeverShowsStop) {
    window->Config.PlaySound = true;
    window->Config.ShowMsgBox = true;
    window->Config.SoundFile = soundFile;
    QString boxText;
    QString boxTitle;
    bool playingWhileBoxShown = false;
    test::WhenShown<QMessageBox>([&](QMessageBox* box) {
        boxText = box->text();
        boxTitle = box->windowTitle();
        playingWhileBoxShown = Player() != nullptr && Player()->State() == psPlaying;
        box->accept();
    });
    StartCountdown(0, 1, false, 0, false);
    Run(2);
    EXPECT_EQ(boxText, QStringLiteral("时间到了。"));
    EXPECT_EQ(boxTitle, QStringLiteral("Horavia"));
    EXPECT_TRUE(playingWhileBoxShown);
    EXPECT_GE(power.BothRequests, 1);
    ASSERT_NE(Player(), nullptr);
    EXPECT_TRUE(Player()->Fading());
    EXPECT_FALSE(Buttons().btnLcdStop);
}

TEST_F(TimerMainAlarmTest, WithoutTheBoxTheStopButtonShowsAndAPressSilences) {
    window->Config.PlaySound = true;
    window->Config.SoundFile = soundFile;
    StartCountdown(0, 1, false, 0, false);
    Run(2);
    ASSERT_NE(Player(), nullptr);
    EXPECT_EQ(Player()->State(), psPlaying);
    ASSERT_TRUE(Buttons().btnLcdStop);
    EXPECT_TRUE(Buttons().btnLcdStop->Visible);
    // While it sounds, every tick asks for what the sound's progress asks for, so the inhibitors stay put.
    const int system = power.SystemRequests;
    const int display = power.DisplayRequests;
    Run(1);
    EXPECT_TRUE(Buttons().btnLcdStop->Visible);
    EXPECT_EQ(power.SystemRequests, system);
    EXPECT_EQ(power.DisplayRequests, display);
    const long presents = window->DXDraw.PresentCount();
    window->DXDrawMouseDown(Qt::RightButton, 10, 10);
    EXPECT_FALSE(Buttons().btnLcdStop->Visible);
    EXPECT_GT(window->DXDraw.PresentCount(), presents);
    EXPECT_TRUE(Player()->Fading());
    while (fadeTimer->Tick()) {
    }
    EXPECT_EQ(Player()->State(), psStopped);
    EXPECT_EQ(Player()->GetVolume(), 100u); // the volume is back for the next alarm
}

TEST_F(TimerMainAlarmTest, SoundEndingByItselfHidesTheStopButton) {
    window->Config.PlaySound = true;
    window->Config.SoundFile = soundFile;
    StartCountdown(0, 1, false, 0, false);
    Run(2);
    ASSERT_TRUE(Buttons().btnLcdStop && Buttons().btnLcdStop->Visible);
    bass.Fire(*bass.LiveEnd());
    QApplication::processEvents(); // the end arrives on the library's thread and is handed to the window
    EXPECT_FALSE(Buttons().btnLcdStop->Visible);
}

TEST_F(TimerMainAlarmTest, MissingSoundFileStillGivesTheBox) {
    window->Config.PlaySound = true;
    window->Config.ShowMsgBox = true;
    window->Config.SoundFile = dir.filePath(QStringLiteral("gone.mp3"));
    bool boxShown = false;
    test::WhenShown<QMessageBox>([&](QMessageBox* box) {
        boxShown = true;
        box->accept();
    });
    StartCountdown(0, 1, false, 0, false);
    Run(2);
    EXPECT_TRUE(boxShown);
    EXPECT_NE(Player()->State(), psPlaying);
}

TEST_F(TimerMainAlarmTest, StopwatchSpeaksEachPeriodAfterTenSecondsAndNotWhilePaused) {
    window->Config.StopwatchTTS = true;
    window->Config.RemindPeriod = 5;
    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnLcdStartPause.get());
    Run(10);
    EXPECT_TRUE(Spoken().isEmpty()); // 5 s, and 10 s exactly, are within the first ten seconds
    Run(6);
    EXPECT_EQ(Spoken(), (QStringList{QStringLiteral("  10 秒"), QStringLiteral("  15 秒")}));
    Click(Buttons().btnLcdStartPause.get()); // pause
    Run(30);
    EXPECT_EQ(Spoken().size(), 2);
}

TEST_F(TimerMainAlarmTest, StopwatchAtOneHourSaysTheHoursAndTwoEmptyPhrases) {
    window->Config.StopwatchTTS = true;
    window->Config.RemindPeriod = 3600;
    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnLcdStartPause.get());
    clock.AdvanceMs(3600 * 1000 - 600);
    Run(1);
    EXPECT_EQ(Spoken(), QStringList{QStringLiteral("1 小时  ")});
}

TEST_F(TimerMainAlarmTest, NonPositivePeriodCountsAsAMinute) {
    window->Config.StopwatchTTS = true;
    window->Config.RemindPeriod = 0;
    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnLcdStartPause.get());
    Run(61);
    EXPECT_EQ(Spoken(), QStringList{QStringLiteral(" 1 分钟 ")});
}

TEST_F(TimerMainAlarmTest, ChimeOncePerHourInTheChosenFormat) {
    window->Config.ClockTTS = true;
    clock.Set({2026, 12, 8, 14, 59, 58, 0});
    Run(10);
    EXPECT_EQ(Spoken(), QStringList{QStringLiteral("It's 3:00 PM")});
    window->Config.TimeFormat = 1;
    Click(Buttons().btnStopwatchTab.get());
    clock.Set({2026, 12, 8, 15, 59, 30, 0});
    Run(35); // the hour turns in the stopwatch: no chime there
    EXPECT_EQ(Spoken().size(), 1);
    Click(Buttons().btnClockTab.get()); // back in the clock within the first minute
    Tick();
    EXPECT_EQ(Spoken().last(), QStringLiteral("It's 16:00"));
    Run(70);
    EXPECT_EQ(Spoken().size(), 2);
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
