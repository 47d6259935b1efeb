#include "speech/SpeakText.h"

#include "speech/SpeechVoice.h"

namespace horavia {

// Speak() itself purges what is queued, so a new announcement always replaces the old one.
void SpeakText(SpeechVoice& voice, const QString& text) {
    voice.Speak(text);
}

} // namespace horavia
