#pragma once

#include "app/TfmTimerMain.h"
#include "support/FakeClock.h"
#include "support/FakeServices.h"
#include "support/FakeSpeechVoice.h"

namespace horavia::test {

// The main window's services, all of them fakes the test holds.
inline MainWindowServices ServicesOf(FakeClock& clock, FakeShell& shell, FakePower& power, FakeSpeechVoice& voice) {
    MainWindowServices services;
    services.clock = &clock;
    services.shell = &shell;
    services.power = &power;
    services.voice = &voice;
    return services;
}

} // namespace horavia::test
