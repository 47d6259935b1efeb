#pragma once

#include <QString>

namespace horavia {

class SpeechVoice;

/// Speaks an announcement without waiting, cutting off whatever the voice is still saying.
/// Raises SpeechError when the speech service cannot be had.
void SpeakText(SpeechVoice& voice, const QString& text);

} // namespace horavia
