#pragma once

#include "speech/SpeechAudioSink.h"

#include <memory>

namespace horavia {

// Plays speech on the desktop's sound server through SDL2 audio (PipeWire, PulseAudio or ALSA, as SDL picks).
// With no output to be had, speech is dropped and the failure logged once until output works again.
class SdlSpeechAudioSink final : public SpeechAudioSink {
public:
    SdlSpeechAudioSink();
    ~SdlSpeechAudioSink() override;

    SdlSpeechAudioSink(const SdlSpeechAudioSink&) = delete;
    SdlSpeechAudioSink& operator=(const SdlSpeechAudioSink&) = delete;

    bool Open(int sampleRate) override;
    void Write(const std::int16_t* samples, std::size_t count) override;
    void Clear() override;
    void Close() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace horavia
