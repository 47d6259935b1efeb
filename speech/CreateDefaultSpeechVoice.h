#pragma once

#include "speech/ChoosingSpeechVoice.h"

#include <memory>

namespace horavia {

/// The voice the main window speaks with: the desktop's speech-dispatcher when it answers, with the embedded
/// espeak-ng playing through the sound server as the fallback and for its own voices.
/// Nothing is started until the voice's first use.
std::unique_ptr<ChoosingSpeechVoice> CreateDefaultSpeechVoice();

} // namespace horavia
