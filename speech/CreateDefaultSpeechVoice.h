#pragma once

#include "speech/ChoosingSpeechVoice.h"
#include "speech/DeferredSpeechVoice.h"

#include <chrono>
#include <functional>
#include <memory>

namespace horavia {

/// The voice the main window speaks with: the desktop's speech-dispatcher when it answers, with the embedded
/// espeak-ng playing through the sound server as the fallback and for its own voices.
/// The service is asked for its voices at once, on the voice's own thread; GetVoices waits at most listWait
/// for that answer, so a caller that waits for nothing starts with the voices listed by then and finds the
/// service's voices later, while a command-line listing can afford to wait for them.
std::unique_ptr<ChoosingSpeechVoice> CreateDefaultSpeechVoice(std::chrono::milliseconds listWait);

/// The same voice for the window, with the service neither started nor asked until the returned voice's Start
/// or its first Speak: starting speech-dispatcher costs more than the whole first frame, and speech is the
/// last thing the window needs. beforeStart runs first, once (the program starts its sound output there).
/// Until then the embedded voices are listed, and a stored voice of the service is chosen once it answers.
std::unique_ptr<DeferredSpeechVoice> CreateDeferredSpeechVoice(std::function<void()> beforeStart);

} // namespace horavia
