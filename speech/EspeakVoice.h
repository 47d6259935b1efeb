#pragma once

#include "speech/SpeechVoice.h"

#include <chrono>
#include <memory>

namespace horavia {

class SpeechAudioSink;

// The embedded speech voice: espeak-ng inside the program's process, so speech works with nothing else running.
// Connects on first use; synthesis runs on a thread of its own and feeds the audio sink, so no call waits for
// speech. A text mixing Chinese characters and Latin letters is read run by run, Chinese by a Mandarin voice and
// Latin by an English one whenever the chosen voice cannot read that script itself.
// espeak-ng has one engine per process: only one EspeakVoice can be connected at a time, and once started the
// engine stays with the data folder it was started with until the process ends.
class EspeakVoice final : public SpeechVoice {
public:
    /// sink receives the speech. dataPath is espeak-ng's data folder; empty means the library's own
    /// (or $ESPEAK_DATA_PATH).
    explicit EspeakVoice(std::unique_ptr<SpeechAudioSink> sink, QString dataPath = {});
    ~EspeakVoice() override;

    EspeakVoice(const EspeakVoice&) = delete;
    EspeakVoice& operator=(const EspeakVoice&) = delete;

    QStringList GetVoices() override;
    void SetVoice(int index) override;
    void Speak(const QString& text) override;
    /// The Mandarin voice for Chinese, American English (else any English) for English.
    int VoiceFor(UiLanguage language) override;

    /// espeak-ng's phoneme mnemonics for text as the chosen voice would read it, runs separated by " | ";
    /// a run read by another voice than the chosen one starts with that voice's language in brackets, "[en-us]".
    QString Phonemes(const QString& text);
    /// Waits until everything asked of Speak has gone to the sink (not until it has been heard);
    /// false on timeout. Returns at once when the voice has never connected.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace horavia
