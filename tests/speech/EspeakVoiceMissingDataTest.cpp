#include "speech/EspeakVoice.h"

#include "SpeechTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// espeak-ng keeps one engine per process and keeps it once started, so a voice that cannot start has to be tried
// before any voice has started the engine: this file runs in a process of its own.

namespace horavia {
namespace {

using test::RecordedVoice;

TEST(EspeakVoiceErrorTest, MissingDataGivesSpeechErrorOnEveryCallAndIsLogged) {
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    test::SpeechLogCapture log;
    {
        RecordedVoice broken(true, empty.path());
        EXPECT_THROW(broken.voice.GetVoices(), SpeechError);
        EXPECT_THROW(broken.voice.SetVoice(0), SpeechError);
        EXPECT_THROW(broken.voice.Speak(QStringLiteral("还有 4 分钟")), SpeechError);
        EXPECT_TRUE(broken.voice.WaitUntilIdle(std::chrono::milliseconds(0)));
        EXPECT_EQ(broken.recording->Written(), 0u);
    }
    const QStringList warnings = log.Warnings();
    ASSERT_EQ(warnings.size(), 3);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("espeak-ng cannot start"))) << warnings[0].toStdString();

    // The failure leaves nothing behind: a voice with the real data connects afterwards.
    RecordedVoice healthy;
    EXPECT_FALSE(healthy.voice.GetVoices().isEmpty());
}

TEST(EspeakVoiceErrorTest, OnceStartedTheEngineRefusesAnotherDataFolder) {
    {
        RecordedVoice healthy;
        ASSERT_FALSE(healthy.voice.GetVoices().isEmpty());
    }
    const QTemporaryDir other;
    test::SpeechLogCapture log;
    RecordedVoice elsewhere(true, other.path());
    EXPECT_THROW(elsewhere.voice.GetVoices(), SpeechError);
    ASSERT_EQ(log.Warnings().size(), 1);
    EXPECT_TRUE(log.Warnings()[0].contains(QStringLiteral("already runs"))) << log.Warnings()[0].toStdString();
}

} // namespace
} // namespace horavia
