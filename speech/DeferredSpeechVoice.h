#pragma once

#include "speech/SpeechVoice.h"

#include <functional>
#include <memory>

namespace horavia {

// A voice whose costly parts (the sound output, the desktop's speech service) start later than the voice is
// made: at Start, which the program calls once its window is on screen, or at the first Speak, whichever comes
// first, so an announcement due at the very first tick still speaks. Listing and choosing voices go straight
// to the voice before that; it lists what it can without the parts still to start.
class DeferredSpeechVoice final : public SpeechVoice {
public:
    /// start runs once, on the caller's thread, before the first Speak reaches voice.
    DeferredSpeechVoice(std::unique_ptr<SpeechVoice> voice, std::function<void()> start);
    ~DeferredSpeechVoice() override;

    DeferredSpeechVoice(const DeferredSpeechVoice&) = delete;
    DeferredSpeechVoice& operator=(const DeferredSpeechVoice&) = delete;

    /// Runs start, once; later calls (and calls from inside start) do nothing.
    void Start();
    bool Started() const { return started_; }

    QStringList GetVoices() override;
    void SetVoice(int index) override;
    void Speak(const QString& text) override;
    void WantVoice(const QString& name) override;
    int VoiceFor(UiLanguage language) override;

private:
    std::unique_ptr<SpeechVoice> voice_;
    std::function<void()> start_;
    bool started_ = false;
};

} // namespace horavia
