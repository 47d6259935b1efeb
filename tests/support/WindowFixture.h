#pragma once

#include "app/TfmTimerMain.h"
#include "dialogs/TSpinEdit.h"
#include "dialogs/TfmTimerSetUp.h"
#include "support/FakeClock.h"
#include "support/FakeServices.h"
#include "support/FakeSpeechVoice.h"
#include "support/ModalDialog.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace horavia::test {

// The main window over fakes of all it works through: a clock that stands still until the test moves it, and a
// shell, power, wake-up and voice that record what they were asked. The time-up box is off; the tests of the
// alarm turn it on. Each test file of the window derives its fixture from this one.
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(const DateTimeParts& start = {2026, 12, 8, 9, 30, 0, 0},
                        QStringList voices = {QStringLiteral("Mandarin"), QStringLiteral("English")})
        : clock(EncodeDateTime(start)), voice(std::move(voices)) {}

    void SetUp() override {
        window = MakeWindow();
        window->Config.ShowMsgBox = false;
    }
    void TearDown() override { window.reset(); }

    // Another window over the same fakes, made as the program makes its one.
    std::unique_ptr<TfmTimerMain> MakeWindow() {
        MainWindowServices services;
        services.clock = &clock;
        services.shell = &shell;
        services.power = &power;
        services.voice = &voice;
        services.wakeUp = &wakeUp;
        services.makeSoundPlayer = makeSoundPlayer;
        return std::make_unique<TfmTimerMain>(services);
    }

    const SurfaceButtons& Buttons() const { return window->Buttons(); }
    void Click(TDxButton* button) { window->OnButtonClick(button); }
    static bool Shown(const std::unique_ptr<TDxLCDButton>& b) { return b && b->Visible; }

    // The next showing of the set-up dialog gets its controls set by fill and is confirmed, or is cancelled
    // when there is no fill.
    void AnswerSetUp(std::function<void(TfmTimerSetUp*)> fill) {
        WhenShown<TfmTimerSetUp>([this, fill](TfmTimerSetUp* d) {
            ++setUpShown;
            if (!fill) {
                d->Button2->click();
                return;
            }
            fill(d);
            d->Button1->click();
        });
    }
    // A countdown of this long, started from the timer tab.
    void StartCountdown(int minutes, int seconds = 0) {
        AnswerSetUp([minutes, seconds](TfmTimerSetUp* d) {
            d->seMins->SetValue(minutes);
            d->seSecs->SetValue(seconds);
        });
        Click(Buttons().btnTimerTab.get());
    }

    FakeClock clock;
    FakeShell shell;
    FakePower power;
    FakeWakeUp wakeUp;
    FakeSpeechVoice voice;
    // Makes the alarm's sound player; the real player when empty. A fixture sets it before SetUp makes the window.
    std::function<std::unique_ptr<TRsySoundPlayer>(void*)> makeSoundPlayer;
    int setUpShown = 0; // showings of the set-up dialog answered
    std::unique_ptr<TfmTimerMain> window;
};

} // namespace horavia::test
