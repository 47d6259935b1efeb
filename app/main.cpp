#include "app/CommandLine.h"
#include "app/HoraviaApplication.h"
#include "app/TfmTimerMain.h"
#include "platform/DeferredPower.h"
#include "platform/Shell.h"
#include "platform/SystemClock.h"
#include "platform/linux/LinuxPower.h"
#include "platform/linux/SleepWakeMonitor.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/WakeUpChooser.h"
#include "speech/AudioSubsystem.h"
#include "speech/CreateDefaultSpeechVoice.h"

#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace {

// The voices the settings dialog would offer, with the back-end of each; no window system is needed.
int ListVoices() {
    const std::unique_ptr<horavia::ChoosingSpeechVoice> voice =
        horavia::CreateDefaultSpeechVoice(std::chrono::seconds(3));
    QStringList names;
    try {
        names = voice->GetVoices();
    } catch (const horavia::SpeechError& error) {
        std::fprintf(stderr, "horavia: no speech voice: %s\n", error.what());
        return 1;
    }
    const QStringList backends = voice->VoiceBackends();
    for (qsizetype i = 0; i < names.size(); ++i) {
        std::printf("%s\t%s\n", qUtf8Printable(backends[i]), qUtf8Printable(names[i]));
    }
    return 0;
}

// Runs `then` once, through the event loop, right after the window has put its first composed frame on screen;
// should no paint come (a display that never exposes the window), after `latest` all the same.
class AfterFirstFrame final : public QObject {
public:
    AfterFirstFrame(horavia::TfmTimerMain& window, std::function<void()> then, std::chrono::milliseconds latest)
        : window_(window), then_(std::move(then)) {
        window_.installEventFilter(this);
        QTimer::singleShot(latest, this, [this] { Run(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The paint that follows the first present shows the composed picture; what runs next waits for the
        // event loop, so this paint reaches the screen first.
        if (watched == &window_ && event->type() == QEvent::Paint && window_.DXDraw.PresentCount() > 0) {
            window_.removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { Run(); });
        }
        return false;
    }

private:
    void Run() {
        window_.removeEventFilter(this);
        if (then_) {
            std::exchange(then_, nullptr)();
        }
    }

    horavia::TfmTimerMain& window_;
    std::function<void()> then_;
};

} // namespace

int main(int argc, char** argv) {
    const horavia::CommandLineResult command = horavia::ParseCommandLine(argc, argv);
    switch (command.Action) {
    case horavia::CommandLineAction::PrintHelp:
    case horavia::CommandLineAction::PrintVersion:
        std::fputs(command.Text.c_str(), stdout);
        return 0;
    case horavia::CommandLineAction::ListVoices:
        return ListVoices();
    case horavia::CommandLineAction::Refuse:
        std::fputs(command.Text.c_str(), stderr);
        return 2;
    case horavia::CommandLineAction::Run:
        break;
    }

    // Without a session Qt would abort with a core dump; a sentence serves the user better.
    if (const std::string missing = horavia::MissingSessionMessage(); !missing.empty()) {
        std::fputs(missing.c_str(), stderr);
        return 1;
    }

    // A tick repaints a few small rectangles. Through the X server's shared memory, Qt waits for the server's
    // answer before it writes again where it last sent from, a round trip on every tick; sent inside the request,
    // small rectangles need none. Only this program's own connection goes without: the variable is gone again
    // before anything is started that could inherit it, and a user's own choice is kept.
    const bool sharedMemoryChosen = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!sharedMemoryChosen) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    horavia::HoraviaApplication app(argc, argv);
    if (!sharedMemoryChosen) {
        qunsetenv("QT_XCB_NO_MITSHM");
    }
    horavia::SystemClock clock;
    horavia::DesktopShell shell;

    // What the first frame does not need starts right after it: the sound output, the desktop's speech
    // service, the D-Bus power services and the sleep monitor. An announcement due before then starts them
    // itself, first.
    std::function<void()> startTheRest;
    std::optional<horavia::AudioSubsystem> audio;
    horavia::DeferredPower power([] { return std::make_unique<horavia::LinuxPower>(); });
    horavia::WakeUpChooser wakeUp;
    const std::unique_ptr<horavia::DeferredSpeechVoice> voice = horavia::CreateDeferredSpeechVoice([&startTheRest] {
        if (startTheRest) {
            std::exchange(startTheRest, nullptr)();
        }
    });

    horavia::MainWindowServices services;
    services.clock = &clock;
    services.shell = &shell;
    services.power = &power;
    services.voice = voice.get();
    services.wakeUp = &wakeUp;
    horavia::TfmTimerMain window(services);

    std::optional<horavia::SleepWakeMonitor> sleepWake;
    startTheRest = [&] {
        audio.emplace();
        power.Start();
        sleepWake.emplace();
        QObject::connect(&*sleepWake, &horavia::SleepWakeMonitor::suspending, &window,
                         [&window] { window.PowerSuspend(); });
        QObject::connect(&*sleepWake, &horavia::SleepWakeMonitor::resumed, &window,
                         [&window] { window.PowerResume(); });
        QObject::connect(&*sleepWake, &horavia::SleepWakeMonitor::sessionChanged, &window,
                         [&window] { window.SessionChange(); });
        sleepWake->Start();
        voice->Start();
    };
    const AfterFirstFrame rest(
        window, [&voice] { voice->Start(); }, std::chrono::seconds(2));

    // The program ends with its window, whatever other window (the time-up box) was the last one shown;
    // the session ending or `kill` closes the window as the close button does, so the settings are saved.
    QObject::connect(&window, &horavia::TfmTimerMain::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    horavia::TerminationSignals terminations;
    QObject::connect(&terminations, &horavia::TerminationSignals::received, &window, [&window] { window.close(); });

    window.show();
    return horavia::HoraviaApplication::exec();
}
