#pragma once

#include "speech/SpeechVoice.h"

#include <chrono>
#include <memory>
#include <thread>

namespace horavia {

// The desktop's speech service, speech-dispatcher, reached through libspeechd. Its voices are the service's
// synthesis voices of every output module, each named "voice (language, module)" so that names stay unique.
// Every exchange with the service happens on a thread of the voice's own: Speak and SetVoice only leave a note
// for it and return, and GetVoices waits at most answerTimeout for the first list, so a service that hangs
// costs the caller that wait once and nothing afterwards. The connection is opened on first use and opened
// again when the service has gone away (a restart), with the chosen voice set anew.
class SpeechDispatcherVoice final : public SpeechVoice {
public:
    /// socketPath is the service's socket; empty means libspeechd's own choice, which also starts an installed
    /// service that is not running yet.
    explicit SpeechDispatcherVoice(QString socketPath = {},
                                   std::chrono::milliseconds answerTimeout = std::chrono::milliseconds{3000});
    ~SpeechDispatcherVoice() override;

    SpeechDispatcherVoice(const SpeechDispatcherVoice&) = delete;
    SpeechDispatcherVoice& operator=(const SpeechDispatcherVoice&) = delete;

    /// Asks the service for its voices now, on the voice's thread, so that a later GetVoices finds them ready.
    void AskForVoices();
    /// Raises SpeechError when the service does not answer in time, refuses the connection or has no voice.
    QStringList GetVoices() override;
    void SetVoice(int index) override;
    /// Cancels what this program still has spoken or queued in the service, then queues text.
    void Speak(const QString& text) override;
    /// A Mandarin voice for Chinese, pinyin-reading first; for English an English voice of the first module that
    /// has one (the user's default module comes first), American where that module offers it. -1 while the
    /// service has not listed its voices, which it is then asked to do.
    int VoiceFor(UiLanguage language) override;

    /// Waits until everything asked of SetVoice and Speak has been handed to the service; false on timeout.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

private:
    struct State;
    std::shared_ptr<State> state_;
    std::thread thread_; // joined when it ends in time, so none of its teardown runs into the program's exit
};

} // namespace horavia
