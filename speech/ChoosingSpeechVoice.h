#pragma once

#include "speech/SpeechVoice.h"

#include <memory>
#include <optional>
#include <vector>

namespace horavia {

// Several speech back-ends offered as one voice: the voice list is the lists of the back-ends that answer, in
// the back-ends' order, so a stored voice name is found in whichever back-end offers it. Choosing a voice makes
// its back-end the one that speaks; before any choice the first back-end that answers speaks.
class ChoosingSpeechVoice final : public SpeechVoice {
public:
    struct Backend {
        QString name; // how the back-end is shown, "speech-dispatcher"
        std::unique_ptr<SpeechVoice> voice;
    };

    explicit ChoosingSpeechVoice(std::vector<Backend> backends);

    /// Raises SpeechError only when no back-end answers.
    QStringList GetVoices() override;
    void SetVoice(int index) override;
    void Speak(const QString& text) override;
    void WantVoice(const QString& name) override;

    /// The name of the back-end of each voice of the last GetVoices, in the same order.
    QStringList VoiceBackends() const;

private:
    struct Listed {
        std::size_t backend = 0;
        int index = 0; // in the back-end's own list
    };

    std::vector<Backend> backends_;
    std::vector<Listed> listed_;
    std::optional<std::size_t> speaking_; // the back-end that speaks
    std::optional<QString> wanted_;       // a stored voice not listed yet: chosen once a back-end lists it
};

} // namespace horavia
