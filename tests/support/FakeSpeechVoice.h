#pragma once

#include "speech/SpeechVoice.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace horavia::test {

// A speech service with a fixed list of voices that records what it was asked to do.
class FakeSpeechVoice final : public SpeechVoice {
public:
    explicit FakeSpeechVoice(QStringList voices = {}) : voices_(std::move(voices)) {}

    QStringList GetVoices() override {
        ++getVoicesCalls;
        return voices_;
    }
    void SetVoice(int index) override {
        if (index < 0 || index >= voices_.size()) {
            throw SpeechError("no voice at that index");
        }
        current = index;
        setVoiceCalls.push_back(index);
    }
    void Speak(const QString& text) override {
        spoken.push_back(text);
        if (failSpeaking) {
            throw SpeechError("the speech service went away");
        }
    }

    void SetVoices(QStringList voices) { voices_ = std::move(voices); }

    bool failSpeaking = false; // Speak records the text, then fails as a lost service would
    int current = -1;          // index of the chosen voice, -1 while none was chosen
    int getVoicesCalls = 0;
    std::vector<int> setVoiceCalls;
    std::vector<QString> spoken;

private:
    QStringList voices_;
};

} // namespace horavia::test
