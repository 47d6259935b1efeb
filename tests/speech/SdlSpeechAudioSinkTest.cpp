#include "speech/SdlSpeechAudioSink.h"

#include "SpeechTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace horavia {
namespace {

constexpr int KRate = 22050;

// SDL reads its driver from the environment when the audio subsystem starts, which the sink does on Open.
class SdlSpeechAudioSinkTest : public testing::Test {
protected:
    void UseDriver(const char* driver) {
        ASSERT_TRUE(dir_.isValid());
        qputenv("SDL_AUDIODRIVER", driver);
        qputenv("SDL_DISKAUDIOFILE", OutputPath().toLocal8Bit());
    }
    void TearDown() override {
        qunsetenv("SDL_AUDIODRIVER");
        qunsetenv("SDL_DISKAUDIOFILE");
    }
    QString OutputPath() const { return dir_.filePath(QStringLiteral("speech.raw")); }

    // What SDL's disk driver has written so far: the device's signed 16-bit mono samples, silence included.
    std::vector<std::int16_t> Written() const {
        QFile file(OutputPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray bytes = file.readAll();
        std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes.size()) / 2);
        if (!samples.empty()) {
            std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
        }
        return samples;
    }

    // Polls the file until the condition holds; the disk driver writes at the pace of real playback.
    bool WaitForOutput(const std::function<bool(const std::vector<std::int16_t>&)>& done) const {
        const auto deadline = std::chrono::steady_clock::now() + test::KSpeechTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (done(Written())) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    QTemporaryDir dir_;
};

std::size_t FirstSound(const std::vector<std::int16_t>& samples) {
    const auto it = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
    return static_cast<std::size_t>(it - samples.begin());
}

TEST_F(SdlSpeechAudioSinkTest, TheDeviceReceivesTheSpeech) {
    UseDriver("disk");
    // The same utterance once into memory, to know what the device must receive.
    std::vector<std::int16_t> expected;
    {
        test::RecordedVoice recorded;
        recorded.voice.Speak(QStringLiteral("还有 4 分钟 59 秒"));
        ASSERT_TRUE(recorded.voice.WaitUntilIdle(test::KSpeechTimeout));
        expected = recorded.recording->Samples();
    }
    const std::size_t head = KRate; // the first second is enough to compare
    ASSERT_GT(expected.size(), head);

    EspeakVoice voice(std::make_unique<SdlSpeechAudioSink>());
    voice.Speak(QStringLiteral("还有 4 分钟 59 秒"));
    ASSERT_TRUE(WaitForOutput([&](const std::vector<std::int16_t>& out) {
        const std::size_t start = FirstSound(out);
        return start < out.size() && out.size() - start >= head;
    }));
    const std::vector<std::int16_t> out = Written();
    const std::size_t start = FirstSound(out);
    const std::size_t leadIn = FirstSound(expected);
    ASSERT_LT(leadIn + head, expected.size());
    const std::vector<double> heard = test::Envelope(out, start);
    const std::vector<double> spoken = test::Envelope(expected, leadIn);
    EXPECT_GT(test::Correlation(heard, 0, spoken, 0, head / 441), 0.99);
}

TEST_F(SdlSpeechAudioSinkTest, ClearDropsWhatIsQueuedAndNotYetPlayed) {
    UseDriver("disk");
    SdlSpeechAudioSink sink;
    ASSERT_TRUE(sink.Open(KRate));
    const std::vector<std::int16_t> old(static_cast<std::size_t>(KRate) * 10, 1000); // ten seconds
    const std::vector<std::int16_t> next(static_cast<std::size_t>(KRate) / 5, 2000);
    sink.Write(old.data(), old.size());
    sink.Clear();
    sink.Write(next.data(), next.size());
    ASSERT_TRUE(WaitForOutput([&](const std::vector<std::int16_t>& out) {
        return std::count(out.begin(), out.end(), std::int16_t{2000}) == static_cast<std::ptrdiff_t>(next.size());
    }));
    const std::vector<std::int16_t> out = Written();
    EXPECT_LT(std::count(out.begin(), out.end(), std::int16_t{1000}), KRate);
}

TEST_F(SdlSpeechAudioSinkTest, ReopeningAtTheSameRateKeepsTheDevice) {
    UseDriver("dummy");
    SdlSpeechAudioSink sink;
    ASSERT_TRUE(sink.Open(KRate));
    EXPECT_TRUE(sink.Open(KRate));
    EXPECT_TRUE(sink.Open(16000));
    const std::int16_t samples[4] = {1, 2, 3, 4};
    sink.Write(samples, 4);
    sink.Clear();
}

TEST_F(SdlSpeechAudioSinkTest, WithoutAnyOutputSpeechIsDroppedAndTheFailureLoggedOnce) {
    UseDriver("no-such-driver");
    test::SpeechLogCapture log;
    EspeakVoice voice(std::make_unique<SdlSpeechAudioSink>());
    voice.Speak(QStringLiteral("还有 4 分钟 59 秒"));
    ASSERT_TRUE(voice.WaitUntilIdle(test::KSpeechTimeout));
    voice.Speak(QStringLiteral("It's 3:00 PM"));
    ASSERT_TRUE(voice.WaitUntilIdle(test::KSpeechTimeout));
    const QStringList warnings = log.Warnings();
    ASSERT_EQ(warnings.size(), 1) << warnings.join(QStringLiteral("\n")).toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("No sound output"))) << warnings[0].toStdString();
}

} // namespace
} // namespace horavia
