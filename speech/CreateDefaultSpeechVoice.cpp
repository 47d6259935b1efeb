#include "speech/CreateDefaultSpeechVoice.h"

#include "speech/EspeakVoice.h"
#include "speech/SdlSpeechAudioSink.h"
#include "speech/SpeechDispatcherVoice.h"

#include <vector>

namespace horavia {

std::unique_ptr<ChoosingSpeechVoice> CreateDefaultSpeechVoice(std::chrono::milliseconds listWait) {
    std::vector<ChoosingSpeechVoice::Backend> backends;
    auto service = std::make_unique<SpeechDispatcherVoice>(QString(), listWait);
    service->AskForVoices();
    backends.push_back({QStringLiteral("speech-dispatcher"), std::move(service)});
    backends.push_back(
        {QStringLiteral("espeak-ng"), std::make_unique<EspeakVoice>(std::make_unique<SdlSpeechAudioSink>())});
    return std::make_unique<ChoosingSpeechVoice>(std::move(backends));
}

} // namespace horavia
