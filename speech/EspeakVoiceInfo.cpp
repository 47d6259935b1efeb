#include "speech/EspeakVoiceInfo.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace horavia {
namespace {

bool HasTagPrefix(const QString& language, QStringView prefix) {
    return language == prefix || language.startsWith(prefix.toString() + QLatin1Char('-'));
}

// Lower ranks come first. Ties keep espeak-ng's order (the sort is stable).
int Rank(const EspeakVoiceInfo& voice) {
    if (voice.language == u"cmn-latn-pinyin") {
        return 0;
    }
    if (voice.language == u"en-us") {
        return 1;
    }
    if (HasTagPrefix(voice.language, u"en")) {
        return 2;
    }
    return 3;
}

int FindFirst(const std::vector<EspeakVoiceInfo>& voices, auto&& matches) {
    const auto it = std::find_if(voices.begin(), voices.end(), matches);
    return it == voices.end() ? -1 : static_cast<int>(it - voices.begin());
}

} // namespace

bool EspeakVoiceInfo::ReadsHan() const {
    static constexpr std::array<QStringView, 4> KChinese = {u"cmn", u"yue", u"hak", u"zh"};
    return std::any_of(KChinese.begin(), KChinese.end(),
                       [this](QStringView tag) { return HasTagPrefix(language, tag); });
}

std::vector<EspeakVoiceInfo> OrderEspeakVoices(std::vector<EspeakVoiceInfo> voices) {
    std::stable_sort(voices.begin(), voices.end(),
                     [](const EspeakVoiceInfo& a, const EspeakVoiceInfo& b) { return Rank(a) < Rank(b); });

    QHash<QString, int> uses;
    for (EspeakVoiceInfo& voice : voices) {
        voice.description = QStringLiteral("%1 (%2)").arg(voice.name.trimmed(), voice.language);
        ++uses[voice.description];
    }
    for (EspeakVoiceInfo& voice : voices) {
        if (uses.value(voice.description) > 1) {
            voice.description += QStringLiteral(" [%1]").arg(QString::fromUtf8(voice.identifier));
        }
    }
    return voices;
}

int FindMandarinVoice(const std::vector<EspeakVoiceInfo>& voices) {
    const int pinyin = FindFirst(voices, [](const EspeakVoiceInfo& v) { return v.language == u"cmn-latn-pinyin"; });
    if (pinyin >= 0) {
        return pinyin;
    }
    return FindFirst(voices, [](const EspeakVoiceInfo& v) {
        return HasTagPrefix(v.language, u"cmn") || HasTagPrefix(v.language, u"zh");
    });
}

int FindEnglishVoice(const std::vector<EspeakVoiceInfo>& voices) {
    const int american = FindFirst(voices, [](const EspeakVoiceInfo& v) { return v.language == u"en-us"; });
    if (american >= 0) {
        return american;
    }
    return FindFirst(voices, [](const EspeakVoiceInfo& v) { return HasTagPrefix(v.language, u"en"); });
}

} // namespace horavia
