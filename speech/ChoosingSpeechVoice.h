#pragma once

#include "speech/SpeechVoice.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace horavia {

// Several speech back-ends offered as one voice: the voice list is the lists of the back-ends that answer, in
// the back-ends' order, so a stored voice name is found in whichever back-end offers it. Choosing a voice makes
// its back-end the one that speaks.
// The list begins with one more entry, FollowingName(): speaking the interface's language, Mandarin while it is
// Chinese and English while it is English, with the best such voice of the first back-end that has one. It is
// what a first run chooses, and what speaks before any choice or while a stored voice is not listed yet.
class ChoosingSpeechVoice final : public SpeechVoice {
public:
    struct Backend {
        QString name; // how the back-end is shown, "speech-dispatcher"
        std::unique_ptr<SpeechVoice> voice;
    };

    explicit ChoosingSpeechVoice(std::vector<Backend> backends);

    /// The name of the entry that follows the interface's language; the settings store it like a voice's.
    static QString FollowingName();

    /// Raises SpeechError only when no back-end answers.
    QStringList GetVoices() override;
    void SetVoice(int index) override;
    void Speak(const QString& text) override;
    void WantVoice(const QString& name) override;

    /// The name of the back-end of each entry of the last GetVoices, in the same order; "automatic" for the
    /// entry that follows the interface's language.
    QStringList VoiceBackends() const;

private:
    struct Listed {
        std::size_t backend = 0;
        int index = 0; // in the back-end's own list
    };

    void SpeakFollowing(const QString& text);

    std::vector<Backend> backends_;
    std::vector<Listed> listed_;          // the voices of the last GetVoices after the first entry
    bool following_ = true;               // no voice of a back-end chosen: speak the interface's language
    std::optional<std::size_t> speaking_; // the back-end of the chosen voice
    std::optional<std::pair<std::size_t, int>> followed_; // the back-end voice last set for the language
    std::optional<QString> wanted_; // a stored voice not listed yet: chosen once a back-end lists it
};

} // namespace horavia
