#pragma once

#include "texts/UiLanguage.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace horavia {

// Raised by a speech back-end when the service cannot be reached or reports a failure.
class SpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The speech voice the program speaks with. One real implementation per back-end, a fake in tests.
// Every call may raise SpeechError; the callers let it reach the application-wide handler.
class SpeechVoice {
public:
    virtual ~SpeechVoice() = default;

    /// Descriptions of the installed voices in the service's order; each is the voice's stable name.
    virtual QStringList GetVoices() = 0;
    /// Makes the voice at this position of GetVoices() the one later speech uses.
    virtual void SetVoice(int index) = 0;
    /// Speaks text asynchronously, first discarding whatever is still spoken or queued.
    virtual void Speak(const QString& text) = 0;
    /// Remembers a voice by its name that is not listed yet (its service has not answered so far), to be
    /// chosen once it is; a voice whose list is complete from the start has nothing to remember.
    virtual void WantVoice(const QString& name) { (void)name; }
    /// The position in GetVoices() of the voice that best reads the texts of this interface language (Mandarin
    /// for Chinese, English for English), or -1 when there is none or the list is not known yet. Never waits for
    /// a service to answer.
    virtual int VoiceFor(UiLanguage language) {
        (void)language;
        return -1;
    }
};

} // namespace horavia
