#include "speech/SpeakText.h"

#include "SpeechTestSupport.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

using test::Measure;
using test::RecordedVoice;

std::vector<std::int16_t> SpokenAlone(RecordedVoice& recorded, const QString& text) {
    SpeakText(recorded.voice, text);
    EXPECT_TRUE(recorded.voice.WaitUntilIdle(test::KSpeechTimeout));
    return recorded.recording->Samples();
}

TEST(SpeakTextSynthesisTest, ChineseReminderGivesAFewSecondsOfSound) {
    RecordedVoice recorded;
    const std::vector<std::int16_t> samples = SpokenAlone(recorded, QStringLiteral("还有 4 分钟 59 秒"));
    const test::AudioStats stats = Measure(samples, recorded.recording->SampleRate());
    // Eight syllables: about two and a half seconds in espeak-ng.
    EXPECT_GT(stats.seconds, 1.2);
    EXPECT_LT(stats.seconds, 6.0);
    EXPECT_GT(stats.peak, 3000);
    EXPECT_GT(stats.rms, 300.0);
}

TEST(SpeakTextSynthesisTest, EnglishAnnouncementOnTheDefaultVoiceSoundsLikeTheEnglishVoice) {
    RecordedVoice recorded;
    const QString text = QStringLiteral("It's 3:00 PM");
    const std::vector<std::int16_t> onDefault = SpokenAlone(recorded, text);
    const test::AudioStats stats = Measure(onDefault, recorded.recording->SampleRate());
    EXPECT_GT(stats.seconds, 0.8);
    EXPECT_LT(stats.seconds, 5.0);
    EXPECT_GT(stats.peak, 3000);
    EXPECT_GT(stats.rms, 300.0);

    recorded.voice.SetVoice(1); // American English
    EXPECT_TRUE(test::SameSpeech(SpokenAlone(recorded, text), onDefault));
    recorded.voice.SetVoice(0);
    EXPECT_TRUE(test::SameSpeech(SpokenAlone(recorded, text), onDefault));
    // A different time is a different sound: the comparison does tell announcements apart.
    EXPECT_FALSE(test::SameSpeech(SpokenAlone(recorded, QStringLiteral("It's 4:00 PM")), onDefault));
}

TEST(SpeakTextSynthesisTest, TheChosenVoiceChangesTheSound) {
    RecordedVoice recorded;
    const QString text = QStringLiteral("It's 3:00 PM");
    recorded.voice.SetVoice(1);
    const std::vector<std::int16_t> american = SpokenAlone(recorded, text);
    const QStringList voices = recorded.voice.GetVoices();
    recorded.voice.SetVoice(static_cast<int>(voices.indexOf(QStringLiteral("English (Great Britain) (en-gb)"))));
    EXPECT_FALSE(test::SameSpeech(SpokenAlone(recorded, text), american));
}

TEST(SpeakTextSynthesisTest, SpeakingAgainCutsOffTheFirstAndLeavesOnlyTheSecond) {
    RecordedVoice recorded;
    const QString longText = QStringLiteral("还有 1 小时 59 分钟 59 秒。").repeated(150);
    const QString shortText = QStringLiteral("It's 3:00 PM");
    const std::size_t longLength = SpokenAlone(recorded, longText).size();
    const std::vector<std::int16_t> shortAlone = SpokenAlone(recorded, shortText);
    ASSERT_GT(longLength, shortAlone.size() * 50);

    const std::size_t writtenBefore = recorded.recording->Written();
    SpeakText(recorded.voice, longText);
    SpeakText(recorded.voice, shortText);
    ASSERT_TRUE(recorded.voice.WaitUntilIdle(test::KSpeechTimeout));

    const std::vector<std::int16_t> left = recorded.recording->Samples();
    EXPECT_TRUE(test::SameSpeech(left, shortAlone));
    // The long text was abandoned early, not synthesised to its end and thrown away.
    const std::size_t ofLong = recorded.recording->Written() - writtenBefore - left.size();
    EXPECT_LT(ofLong, longLength / 2);
}

TEST(SpeakTextSynthesisTest, EmptyTextSilencesWhatIsStillQueued) {
    RecordedVoice recorded;
    SpokenAlone(recorded, QStringLiteral("还有 4 分钟 59 秒"));
    ASSERT_FALSE(recorded.recording->Samples().empty());
    EXPECT_TRUE(SpokenAlone(recorded, QString()).empty());
}

} // namespace
} // namespace horavia
