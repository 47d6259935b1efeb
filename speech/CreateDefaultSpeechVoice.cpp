#include "speech/CreateDefaultSpeechVoice.h"

#include "speech/EspeakVoice.h"
#include "speech/SdlSpeechAudioSink.h"
#include "speech/SpeechDispatcherVoice.h"

#include <utility>
#include <vector>

namespace horavia {

namespace {

// speech-dispatcher as a back-end that is not there until started: it lists no voice before, so the other
// back-ends list and speak, and nothing reaches the service, which libspeechd would spawn at the first ask.
class ServiceOnceStarted final : public SpeechVoice {
public:
    void Start() {
        if (!service_) {
            service_ = std::make_unique<SpeechDispatcherVoice>(QString(), std::chrono::milliseconds(0));
            service_->AskForVoices();
        }
    }

    QStringList GetVoices() override { return Service().GetVoices(); }
    void SetVoice(int index) override { Service().SetVoice(index); }
    void Speak(const QString& text) override { Service().Speak(text); }
    int VoiceFor(UiLanguage language) override { return service_ ? service_->VoiceFor(language) : -1; }

private:
    SpeechDispatcherVoice& Service() {
        if (!service_) {
            throw SpeechError("speech-dispatcher is not asked before the window is on screen");
        }
        return *service_;
    }

    std::unique_ptr<SpeechDispatcherVoice> service_;
};

std::unique_ptr<ChoosingSpeechVoice> Choosing(std::unique_ptr<SpeechVoice> service) {
    std::vector<ChoosingSpeechVoice::Backend> backends;
    backends.push_back({QStringLiteral("speech-dispatcher"), std::move(service)});
    backends.push_back(
        {QStringLiteral("espeak-ng"), std::make_unique<EspeakVoice>(std::make_unique<SdlSpeechAudioSink>())});
    return std::make_unique<ChoosingSpeechVoice>(std::move(backends));
}

} // namespace

std::unique_ptr<ChoosingSpeechVoice> CreateDefaultSpeechVoice(std::chrono::milliseconds listWait) {
    auto service = std::make_unique<SpeechDispatcherVoice>(QString(), listWait);
    service->AskForVoices();
    return Choosing(std::move(service));
}

std::unique_ptr<DeferredSpeechVoice> CreateDeferredSpeechVoice(std::function<void()> beforeStart) {
    auto service = std::make_unique<ServiceOnceStarted>();
    ServiceOnceStarted* late = service.get(); // owned by the voice returned, which outlives every call of start
    return std::make_unique<DeferredSpeechVoice>(Choosing(std::move(service)), [late, before = std::move(beforeStart)] {
        if (before) {
            before();
        }
        late->Start();
    });
}

} // namespace horavia
