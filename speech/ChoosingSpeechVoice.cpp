#include "speech/ChoosingSpeechVoice.h"

#include "speech/SpeechLog.h"

#include <utility>

namespace horavia {

ChoosingSpeechVoice::ChoosingSpeechVoice(std::vector<Backend> backends) : backends_(std::move(backends)) {}

QString ChoosingSpeechVoice::FollowingName() {
    // Stored in the settings, so it never changes with the interface's language; the words "Mandarin" and
    // "English" let the settings dialog count it among the voices of either language.
    return QStringLiteral("自动 (Mandarin or English, as the interface)");
}

QStringList ChoosingSpeechVoice::GetVoices() {
    QStringList voices;
    std::vector<Listed> listed;
    QString failures;
    for (std::size_t backend = 0; backend < backends_.size(); ++backend) {
        try {
            const QStringList own = backends_[backend].voice->GetVoices();
            for (int index = 0; index < own.size(); ++index) {
                voices.append(own[index]);
                listed.push_back(Listed{backend, index});
            }
        } catch (const SpeechError& error) {
            qCInfo(lcSpeech) << backends_[backend].name << "offers no voice:" << error.what();
            failures +=
                backends_[backend].name + QStringLiteral(": ") + QString::fromUtf8(error.what()) + QStringLiteral("; ");
        }
    }
    listed_ = std::move(listed);
    if (voices.isEmpty()) {
        throw SpeechError(("no speech back-end answers: " + failures).toStdString());
    }
    voices.prepend(FollowingName());
    return voices;
}

void ChoosingSpeechVoice::SetVoice(int index) {
    if (index == 0) {
        following_ = true;
        speaking_.reset();
        followed_.reset();
        wanted_.reset();
        return;
    }
    if (index < 0 || static_cast<std::size_t>(index) > listed_.size()) {
        throw SpeechError(QStringLiteral("there is no speech voice number %1").arg(index).toStdString());
    }
    const Listed& voice = listed_[static_cast<std::size_t>(index) - 1];
    backends_[voice.backend].voice->SetVoice(voice.index);
    following_ = false;
    speaking_ = voice.backend;
    followed_.reset();
    wanted_.reset();
}

void ChoosingSpeechVoice::WantVoice(const QString& name) {
    if (name == FollowingName()) {
        SetVoice(0);
        return;
    }
    wanted_ = name;
}

void ChoosingSpeechVoice::Speak(const QString& text) {
    if (wanted_) {
        // Listed by now? Then it is the voice the user chose; otherwise speak as before and look again next time.
        if (const int index = static_cast<int>(GetVoices().indexOf(*wanted_)); index > 0) {
            SetVoice(index);
        }
    }
    if (following_) {
        SpeakFollowing(text);
        return;
    }
    backends_[*speaking_].voice->Speak(text);
}

// The language is read at every announcement, so a switch of the interface's language takes effect at the next
// one; so does a back-end that has listed its voices since the last.
void ChoosingSpeechVoice::SpeakFollowing(const QString& text) {
    const UiLanguage language = CurrentUiLanguage();
    for (std::size_t backend = 0; backend < backends_.size(); ++backend) {
        SpeechVoice& voice = *backends_[backend].voice;
        try {
            const int index = voice.VoiceFor(language);
            if (index < 0) {
                continue;
            }
            if (followed_ != std::pair{backend, index}) {
                voice.SetVoice(index);
                followed_ = std::pair{backend, index};
            }
            voice.Speak(text);
            return;
        } catch (const SpeechError& error) {
            qCInfo(lcSpeech) << backends_[backend].name << "cannot speak the interface's language:" << error.what();
            followed_.reset();
        }
    }
    // No back-end has a voice of the language: the first that answers speaks with the voice it has.
    GetVoices();
    backends_[listed_.front().backend].voice->Speak(text);
}

QStringList ChoosingSpeechVoice::VoiceBackends() const {
    QStringList names{QStringLiteral("automatic")};
    for (const Listed& voice : listed_) {
        names.append(backends_[voice.backend].name);
    }
    return names;
}

} // namespace horavia
