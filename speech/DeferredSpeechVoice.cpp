#include "speech/DeferredSpeechVoice.h"

#include <utility>

namespace horavia {

DeferredSpeechVoice::DeferredSpeechVoice(std::unique_ptr<SpeechVoice> voice, std::function<void()> start)
    : voice_(std::move(voice)), start_(std::move(start)) {}

DeferredSpeechVoice::~DeferredSpeechVoice() = default;

void DeferredSpeechVoice::Start() {
    if (started_) {
        return;
    }
    // Marked first: whatever start calls may come back here.
    started_ = true;
    if (start_) {
        std::exchange(start_, nullptr)();
    }
}

QStringList DeferredSpeechVoice::GetVoices() {
    return voice_->GetVoices();
}

void DeferredSpeechVoice::SetVoice(int index) {
    voice_->SetVoice(index);
}

void DeferredSpeechVoice::Speak(const QString& text) {
    Start();
    voice_->Speak(text);
}

void DeferredSpeechVoice::WantVoice(const QString& name) {
    voice_->WantVoice(name);
}

int DeferredSpeechVoice::VoiceFor(UiLanguage language) {
    return voice_->VoiceFor(language);
}

} // namespace horavia
