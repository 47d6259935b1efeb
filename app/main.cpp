#include "app/HoraviaApplication.h"
#include "app/TfmTimerMain.h"
#include "platform/Clock.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "speech/UnavailableSpeechVoice.h"

int main(int argc, char** argv) {
    horavia::HoraviaApplication app(argc, argv);
    horavia::SystemClock clock;
    horavia::DesktopShell shell;
    horavia::NoPower power;
    horavia::UnavailableSpeechVoice voice;
    horavia::MainWindowServices services;
    services.clock = &clock;
    services.shell = &shell;
    services.power = &power;
    services.voice = &voice;
    horavia::TfmTimerMain window(services);
    window.show();
    return horavia::HoraviaApplication::exec();
}
