// Lateness of the alarm: from a countdown's end instant to the start of the time-up sequence, over
// many countdowns run by the real tick against the real clock. The tick is 200 ms, which bounds it.
#include "app/TfmTimerMain.h"

#include "platform/SystemClock.h"
#include "speech/UnavailableSpeechVoice.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    const int countdowns = argc > 1 ? std::atoi(argv[1]) : 30;

    using namespace horavia;
    SystemClock clock;
    NoPower power;
    DesktopShell shell;
    UnavailableSpeechVoice voice;
    MainWindowServices services;
    services.clock = &clock;
    services.shell = &shell;
    services.power = &power;
    services.voice = &voice;
    TfmTimerMain window(services);
    window.Config.ShowMsgBox = false;
    window.Config.PlaySound = false;

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> startDelayMs(0, 199); // countdowns start at any phase of the tick
    std::vector<double> lateMs;
    TDateTime end = 0;
    const auto startNext = [&] {
        CountdownRequest r;
        r.Seconds = 1;
        window.Engine.StartCountdown(r);
        end = window.Engine.EndTime;
    };
    // Runs after the window's own tick handler: the first tick that finds the countdown gone is the alarm's.
    QObject::connect(&window.Timer1, &QTimer::timeout, [&] {
        if (end != 0 && window.Engine.Mode == dmClock) {
            lateMs.push_back(static_cast<double>(MillisecondsBetween(window.Alarm().LastAlarmStart(), end)));
            end = 0;
            if (static_cast<int>(lateMs.size()) == countdowns) {
                QApplication::quit();
                return;
            }
            QTimer::singleShot(startDelayMs(random), startNext);
        }
    });
    QTimer::singleShot(300, startNext);
    QApplication::exec();

    std::sort(lateMs.begin(), lateMs.end());
    const double median = lateMs[lateMs.size() / 2];
    std::printf("alarm lateness over %zu countdowns: median %.1f ms, worst %.1f ms, best %.1f ms\n", lateMs.size(),
                median, lateMs.back(), lateMs.front());
    return 0;
}
