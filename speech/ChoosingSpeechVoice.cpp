#include "speech/ChoosingSpeechVoice.h"

#include "speech/SpeechLog.h"

#include <utility>

namespace horavia {

ChoosingSpeechVoice::ChoosingSpeechVoice(std::vector<Backend> backends) : backends_(std::move(backends)) {}

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
    return voices;
}

void ChoosingSpeechVoice::SetVoice(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= listed_.size()) {
        throw SpeechError(QStringLiteral("there is no speech voice number %1").arg(index).toStdString());
    }
    const Listed& voice = listed_[static_cast<std::size_t>(index)];
    backends_[voice.backend].voice->SetVoice(voice.index);
    speaking_ = voice.backend;
    wanted_.reset();
}

void ChoosingSpeechVoice::WantVoice(const QString& name) {
    wanted_ = name;
}

void ChoosingSpeechVoice::Speak(const QString& text) {
    if (wanted_) {
        // Listed by now? Then it is the voice the user chose; otherwise speak as before and look again next time.
        if (const int index = static_cast<int>(GetVoices().indexOf(*wanted_)); index >= 0) {
            SetVoice(index);
        }
    }
    if (!speaking_) {
        GetVoices();
        speaking_ = listed_.front().backend;
    }
    backends_[*speaking_].voice->Speak(text);
}

QStringList ChoosingSpeechVoice::VoiceBackends() const {
    QStringList names;
    for (const Listed& voice : listed_) {
        names.append(backends_[voice.backend].name);
    }
    return names;
}

} // namespace horavia
