#pragma once

#include "speech/SpeechVoice.h"

#include <memory>

namespace horavia {

/// The voice the main window speaks with: embedded espeak-ng playing through the sound server.
/// Nothing is started until the voice's first use.
std::unique_ptr<SpeechVoice> CreateDefaultSpeechVoice();

} // namespace horavia
