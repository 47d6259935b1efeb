#pragma once

#include "speech/ChoosingSpeechVoice.h"

#include <chrono>
#include <memory>

namespace horavia {

/// The voice the main window speaks with: the desktop's speech-dispatcher when it answers, with the embedded
/// espeak-ng playing through the sound server as the fallback and for its own voices.
/// The service is asked for its voices at once, on the voice's own thread; GetVoices waits at most listWait
/// for that answer, so the window (which waits for nothing) starts with the voices listed by then and finds
/// the service's voices later, while a command-line listing can afford to wait for them.
std::unique_ptr<ChoosingSpeechVoice> CreateDefaultSpeechVoice(std::chrono::milliseconds listWait);

} // namespace horavia
