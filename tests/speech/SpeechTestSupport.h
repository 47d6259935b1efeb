#pragma once

#include "speech/EspeakVoice.h"
#include "speech/MemorySpeechAudioSink.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace horavia::test {

// Generous: synthesis takes milliseconds, but the test machine is shared.
inline constexpr std::chrono::seconds KSpeechTimeout{60};

// Collects the warnings of the speech category while it lives.
class SpeechLogCapture final {
public:
    SpeechLogCapture() {
        Instance() = this;
        previous_ = qInstallMessageHandler(&SpeechLogCapture::Handle);
    }
    ~SpeechLogCapture() {
        qInstallMessageHandler(previous_);
        Instance() = nullptr;
    }
    SpeechLogCapture(const SpeechLogCapture&) = delete;
    SpeechLogCapture& operator=(const SpeechLogCapture&) = delete;

    QStringList Warnings() const {
        const std::lock_guard lock(mutex_);
        return warnings_;
    }

private:
    static SpeechLogCapture*& Instance() {
        static SpeechLogCapture* instance = nullptr;
        return instance;
    }
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        SpeechLogCapture* self = Instance();
        if (self != nullptr && type == QtWarningMsg && QString::fromLatin1(context.category) == u"horavia.speech") {
            const std::lock_guard lock(self->mutex_);
            self->warnings_.append(message);
        }
    }

    QtMessageHandler previous_ = nullptr;
    mutable std::mutex mutex_;
    QStringList warnings_;
};

struct AudioStats {
    double seconds = 0;
    double rms = 0;
    int peak = 0;
};

inline AudioStats Measure(const std::vector<std::int16_t>& samples, int sampleRate) {
    AudioStats stats;
    if (samples.empty() || sampleRate <= 0) {
        return stats;
    }
    double sum = 0;
    for (const std::int16_t sample : samples) {
        sum += double(sample) * sample;
        stats.peak = std::max(stats.peak, std::abs(int(sample)));
    }
    stats.seconds = double(samples.size()) / sampleRate;
    stats.rms = std::sqrt(sum / double(samples.size()));
    return stats;
}

// Normalised correlation of count values of two signals from the given starts; 1 for the same shape.
inline double Correlation(const std::vector<double>& a, std::size_t aStart, const std::vector<double>& b,
                          std::size_t bStart, std::size_t count) {
    if (count == 0 || aStart + count > a.size() || bStart + count > b.size()) {
        return 0;
    }
    double ab = 0;
    double aa = 0;
    double bb = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double x = a[aStart + i];
        const double y = b[bStart + i];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// Loudness of each 20 ms frame at 22050 Hz. espeak-ng adds random flutter to its waveform, so the same text never
// comes out sample for sample the same, but its loudness over time does.
inline std::vector<double> Envelope(const std::vector<std::int16_t>& samples, std::size_t from = 0) {
    constexpr std::size_t kFrame = 441;
    std::vector<double> envelope;
    for (std::size_t i = from; i + kFrame <= samples.size(); i += kFrame) {
        double sum = 0;
        for (std::size_t j = i; j < i + kFrame; ++j) {
            sum += double(samples[j]) * samples[j];
        }
        envelope.push_back(std::sqrt(sum / kFrame));
    }
    return envelope;
}

// Whether two recordings are the same speech: lengths within 2 % and the same loudness over time. The same
// sentence with one word changed ("4:00" for "3:00") or another English accent stays below 0.98.
inline bool SameSpeech(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
    const double longer = double(std::max(a.size(), b.size()));
    const double shorter = double(std::min(a.size(), b.size()));
    if (shorter == 0 || shorter / longer < 0.98) {
        return false;
    }
    const std::vector<double> ea = Envelope(a);
    const std::vector<double> eb = Envelope(b);
    return Correlation(ea, 0, eb, 0, std::min(ea.size(), eb.size())) > 0.99;
}

// An embedded voice that records into memory.
struct RecordedVoice {
    std::shared_ptr<MemorySpeechAudioSink::Recording> recording = std::make_shared<MemorySpeechAudioSink::Recording>();
    EspeakVoice voice;

    explicit RecordedVoice(bool soundOutput = true, QString dataPath = {})
        : voice(std::make_unique<MemorySpeechAudioSink>(recording, soundOutput), std::move(dataPath)) {}
};

} // namespace horavia::test
