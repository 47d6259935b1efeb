#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace horavia {

// One installed espeak-ng voice as the program lists it.
struct EspeakVoiceInfo {
    QByteArray identifier; // espeak-ng's voice file below its data folder, e.g. "sit/cmn-Latn-pinyin"
    QString name;          // espeak-ng's own name, e.g. "Chinese (Mandarin, latin as Pinyin)"
    QString language;      // the voice's first language tag, lower case, e.g. "cmn-latn-pinyin"
    QString description;   // what the user sees and the settings store; unique within the list

    /// Whether the voice reads Chinese characters; other voices spell them out as "Chinese letter".
    bool ReadsHan() const;
};

/// Puts the voices in the order the program offers them and gives each its description.
/// First the Mandarin voice that reads Chinese characters correctly (espeak-ng's plain "cmn" voice reads some as
/// pinyin spelled in English, "hai two" for 还), then American English (the hourly announcement says "PM"), the
/// other English voices, then the rest in espeak-ng's own order. The description is "name (language)", with the
/// identifier added in brackets only where that would repeat; it depends on the voice files alone, so it stays
/// the same from run to run.
std::vector<EspeakVoiceInfo> OrderEspeakVoices(std::vector<EspeakVoiceInfo> voices);

/// The voice that reads Chinese runs for a voice that cannot, or -1: the best Mandarin voice.
int FindMandarinVoice(const std::vector<EspeakVoiceInfo>& voices);
/// The voice that reads Latin runs for a Chinese voice, or -1: American English, else any English.
int FindEnglishVoice(const std::vector<EspeakVoiceInfo>& voices);

} // namespace horavia
