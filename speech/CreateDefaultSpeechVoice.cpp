#include "speech/CreateDefaultSpeechVoice.h"

#include "speech/EspeakVoice.h"
#include "speech/SdlSpeechAudioSink.h"

namespace horavia {

std::unique_ptr<SpeechVoice> CreateDefaultSpeechVoice() {
    return std::make_unique<EspeakVoice>(std::make_unique<SdlSpeechAudioSink>());
}

} // namespace horavia
