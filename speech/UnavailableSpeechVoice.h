#pragma once

#include "speech/SpeechVoice.h"

namespace horavia {

// The voice of a program that has no speech service: every call fails, so callers log and go on.
class UnavailableSpeechVoice final : public SpeechVoice {
public:
    QStringList GetVoices() override { throw SpeechError("no speech service is available"); }
    void SetVoice(int) override { throw SpeechError("no speech service is available"); }
    void Speak(const QString&) override { throw SpeechError("no speech service is available"); }
};

} // namespace horavia
