#include "app/CommandLine.h"
#include "app/HoraviaApplication.h"
#include "app/TfmTimerMain.h"
#include "platform/Shell.h"
#include "platform/SystemClock.h"
#include "platform/linux/LinuxPower.h"
#include "platform/linux/SleepWakeMonitor.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/WakeUpChooser.h"
#include "speech/AudioSubsystem.h"
#include "speech/CreateDefaultSpeechVoice.h"

#include <chrono>
#include <cstdio>
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

    horavia::HoraviaApplication app(argc, argv);
    horavia::AudioSubsystem audio;
    horavia::SystemClock clock;
    horavia::DesktopShell shell;
    horavia::LinuxPower power;
    horavia::WakeUpChooser wakeUp;
    // The window's thread never waits on the speech service: its voices join the list once it has answered.
    const std::unique_ptr<horavia::SpeechVoice> voice = horavia::CreateDefaultSpeechVoice(std::chrono::milliseconds(0));

    horavia::MainWindowServices services;
    services.clock = &clock;
    services.shell = &shell;
    services.power = &power;
    services.voice = voice.get();
    services.wakeUp = &wakeUp;
    horavia::TfmTimerMain window(services);

    horavia::SleepWakeMonitor sleepWake;
    QObject::connect(&sleepWake, &horavia::SleepWakeMonitor::suspending, &window, [&window] { window.PowerSuspend(); });
    QObject::connect(&sleepWake, &horavia::SleepWakeMonitor::resumed, &window, [&window] { window.PowerResume(); });
    QObject::connect(&sleepWake, &horavia::SleepWakeMonitor::sessionChanged, &window,
                     [&window] { window.SessionChange(); });
    sleepWake.Start();

    // The program ends with its window, whatever other window (the time-up box) was the last one shown;
    // the session ending or `kill` closes the window as the close button does, so the settings are saved.
    QObject::connect(&window, &horavia::TfmTimerMain::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    horavia::TerminationSignals terminations;
    QObject::connect(&terminations, &horavia::TerminationSignals::received, &window, [&window] { window.close(); });

    window.show();
    return horavia::HoraviaApplication::exec();
}
