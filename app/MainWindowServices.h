#pragma once

#include "base/Clock.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "platform/WakeUpProvider.h"
#include "speech/SpeechVoice.h"

#include <functional>
#include <memory>

namespace horavia {

class TRsySoundPlayer;

// The outside services the main window works through; tests hand in fakes.
struct MainWindowServices {
    const Clock* clock = nullptr;
    Shell* shell = nullptr;
    Power* power = nullptr;
    SpeechVoice* voice = nullptr;
    WakeUpProvider* wakeUp = nullptr; // arms the wake-up from sleep for a pending countdown; may be none
    // Makes the alarm's sound player for a window; the real player over the audio library when empty.
    std::function<std::unique_ptr<TRsySoundPlayer>(void* windowHandle)> makeSoundPlayer;
};

} // namespace horavia
