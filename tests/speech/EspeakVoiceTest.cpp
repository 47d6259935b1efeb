#include "speech/EspeakVoice.h"

#include "SpeechTestSupport.h"

#include <QSet>

#include <gtest/gtest.h>

namespace horavia {
namespace {

using test::RecordedVoice;

const QString KMandarin = QStringLiteral("Chinese (Mandarin, latin as Pinyin) (cmn-latn-pinyin)");
const QString KAmerican = QStringLiteral("English (America) (en-us)");

// espeak-ng's mnemonics for English number words, and its marker for a switch to English inside a voice:
// "hai two", "fen one" and "miao three" are what the plain Mandarin voice makes of 还, 分 and 秒.
const QStringList KEnglishInMandarin = {QStringLiteral("(en)"), QStringLiteral("w'0n"), QStringLiteral("t'u:"),
                                        QStringLiteral("Tr'i:"), QStringLiteral("w'Vn")};

void ExpectNoEnglish(const QString& phonemes) {
    for (const QString& english : KEnglishInMandarin) {
        EXPECT_FALSE(phonemes.contains(english)) << phonemes.toStdString() << " holds " << english.toStdString();
    }
}

TEST(EspeakVoiceListTest, ListsManyVoicesWithMandarinFirstAndAmericanEnglishSecond) {
    RecordedVoice recorded;
    const QStringList voices = recorded.voice.GetVoices();
    ASSERT_GT(voices.size(), 2);
    EXPECT_EQ(voices[0], KMandarin);
    EXPECT_EQ(voices[1], KAmerican);
    EXPECT_TRUE(voices.contains(QStringLiteral("Chinese (Mandarin, latin as English) (cmn)")));
}

TEST(EspeakVoiceListTest, DescriptionsAreUniqueAndTheSameForANewConnection) {
    QStringList first;
    {
        RecordedVoice recorded;
        first = recorded.voice.GetVoices();
    }
    RecordedVoice again;
    const QStringList second = again.voice.GetVoices();
    EXPECT_EQ(first, second);
    EXPECT_EQ(QSet<QString>(first.begin(), first.end()).size(), first.size());
    for (const QString& description : first) {
        EXPECT_FALSE(description.trimmed().isEmpty());
        EXPECT_EQ(description, description.trimmed());
    }
}

TEST(EspeakVoicePhonemeTest, DefaultVoiceReadsEveryReminderAsMandarin) {
    RecordedVoice recorded;
    const QString hms = recorded.voice.Phonemes(QStringLiteral("还有 1 小时 2 分钟 3 秒"));
    ExpectNoEnglish(hms);
    EXPECT_TRUE(hms.contains(QStringLiteral("X'ai35"))) << hms.toStdString();    // 还 hái
    EXPECT_TRUE(hms.contains(QStringLiteral("S;j'Au214"))) << hms.toStdString(); // 小 xiǎo
    EXPECT_TRUE(hms.contains(QStringLiteral("f'@55n"))) << hms.toStdString();    // 分 fēn
    EXPECT_TRUE(hms.contains(QStringLiteral("mj'Au214"))) << hms.toStdString();  // 秒 miǎo
    EXPECT_TRUE(hms.contains(QStringLiteral("s'a55n"))) << hms.toStdString();    // 3 sān
    EXPECT_FALSE(hms.contains(u'['));                                            // no run went to another voice
    // 2 before a measure word is read 两 liǎng, as a person says it; 12 and 22 keep 二 èr.
    EXPECT_TRUE(hms.contains(QStringLiteral("l'iA214N"))) << hms.toStdString();
    EXPECT_FALSE(hms.contains(QStringLiteral("@r51"))) << hms.toStdString();
    for (const QString& er :
         {QStringLiteral("还有 12 小时"), QStringLiteral("22 秒"), QStringLiteral("还有 20 分钟")}) {
        const QString phonemes = recorded.voice.Phonemes(er);
        EXPECT_TRUE(phonemes.contains(QStringLiteral("@r51"))) << phonemes.toStdString();
        EXPECT_FALSE(phonemes.contains(QStringLiteral("l'iA214N"))) << phonemes.toStdString();
    }

    ExpectNoEnglish(recorded.voice.Phonemes(QStringLiteral("还有 4 分钟 59 秒")));
    ExpectNoEnglish(recorded.voice.Phonemes(QStringLiteral("还有   ")));
    ExpectNoEnglish(recorded.voice.Phonemes(QStringLiteral("1 小时 0 分钟 12 秒")));
}

TEST(EspeakVoicePhonemeTest, DefaultVoiceReadsTheHourlyAnnouncementInEnglish) {
    RecordedVoice recorded;
    const QString phonemes = recorded.voice.Phonemes(QStringLiteral("It's 3:00 PM"));
    EXPECT_TRUE(phonemes.startsWith(QStringLiteral("[en-us] "))) << phonemes.toStdString();
    EXPECT_TRUE(phonemes.contains(QStringLiteral("Tr'i:"))) << phonemes.toStdString(); // three
    EXPECT_TRUE(phonemes.contains(QStringLiteral("p,i:"))) << phonemes.toStdString();  // P M
    EXPECT_FALSE(phonemes.contains(QStringLiteral("s'a55n"))) << phonemes.toStdString();
    // A whole hour is read as a person reads it, not "three zero zero".
    EXPECT_FALSE(phonemes.contains(QStringLiteral("z'i@roU"))) << phonemes.toStdString();
    const QString fifteen = recorded.voice.Phonemes(QStringLiteral("It's 15:00"));
    EXPECT_TRUE(fifteen.contains(QStringLiteral("f'Ifti:n h'VndrI2d"))) << fifteen.toStdString();
    EXPECT_FALSE(fifteen.contains(QStringLiteral("z'i@roU"))) << fifteen.toStdString();
}

TEST(EspeakVoicePhonemeTest, PlainMandarinVoiceIsTheOneThatMisreadsAndEnglishVoicesGetMandarinForChinese) {
    RecordedVoice recorded;
    const QStringList voices = recorded.voice.GetVoices();
    const int plain = static_cast<int>(voices.indexOf(QStringLiteral("Chinese (Mandarin, latin as English) (cmn)")));
    ASSERT_GE(plain, 0);
    recorded.voice.SetVoice(plain);
    // The reason voice 0 is the pinyin voice: this one says "hai two" for 还.
    EXPECT_TRUE(recorded.voice.Phonemes(QStringLiteral("还有 4 分钟")).contains(QStringLiteral("(en)")));

    recorded.voice.SetVoice(1);
    const QString mixed = recorded.voice.Phonemes(QStringLiteral("It's 3:00 PM，还有 5 分钟"));
    const QStringList runs = mixed.split(QStringLiteral(" | "));
    ASSERT_EQ(runs.size(), 2) << mixed.toStdString();
    EXPECT_FALSE(runs[0].startsWith(u'[')) << mixed.toStdString();
    EXPECT_TRUE(runs[1].startsWith(QStringLiteral("[cmn-latn-pinyin] "))) << mixed.toStdString();
    ExpectNoEnglish(runs[1]);
}

TEST(EspeakVoiceErrorTest, SetVoiceOutOfRangeRaisesAndKeepsTheVoice) {
    test::SpeechLogCapture log;
    RecordedVoice recorded;
    const int count = static_cast<int>(recorded.voice.GetVoices().size());
    EXPECT_THROW(recorded.voice.SetVoice(count), SpeechError);
    EXPECT_THROW(recorded.voice.SetVoice(-1), SpeechError);
    EXPECT_EQ(log.Warnings().size(), 2);
    EXPECT_NO_THROW(recorded.voice.SetVoice(count - 1));
    // Voice 0 is still the one in use after the failed calls: Chinese stays Mandarin.
    recorded.voice.SetVoice(0);
    EXPECT_THROW(recorded.voice.SetVoice(count), SpeechError);
    EXPECT_FALSE(recorded.voice.Phonemes(QStringLiteral("还有")).startsWith(u'['));
}

TEST(EspeakVoiceErrorTest, ASecondConnectedVoiceInTheProcessIsRefusedUntilTheFirstGoes) {
    auto first = std::make_unique<RecordedVoice>();
    ASSERT_FALSE(first->voice.GetVoices().isEmpty());
    RecordedVoice second;
    EXPECT_THROW(second.voice.GetVoices(), SpeechError);
    first.reset();
    EXPECT_FALSE(second.voice.GetVoices().isEmpty());
}

TEST(EspeakVoiceLifeTest, NothingStartsBeforeFirstUseAndDestroyingWhileSpeakingIsClean) {
    {
        RecordedVoice unused;
        EXPECT_TRUE(unused.voice.WaitUntilIdle(std::chrono::milliseconds(0)));
    }
    RecordedVoice unused;
    EXPECT_EQ(unused.recording->SampleRate(), 0);
    {
        RecordedVoice talking;
        talking.voice.Speak(QStringLiteral("还有 4 分钟 59 秒。").repeated(200));
    } // joins a worker that is mid-synthesis
    SUCCEED();
}

TEST(EspeakVoiceLifeTest, WithoutSoundOutputTheSynthesisStillRuns) {
    RecordedVoice silent(false);
    silent.voice.Speak(QStringLiteral("还有 4 分钟 59 秒"));
    ASSERT_TRUE(silent.voice.WaitUntilIdle(test::KSpeechTimeout));
    EXPECT_GT(silent.recording->SampleRate(), 0); // the sink was asked to open
    EXPECT_EQ(silent.recording->Written(), 0u);
    // And the voice keeps working for the next one.
    silent.voice.Speak(QStringLiteral("It's 3:00 PM"));
    EXPECT_TRUE(silent.voice.WaitUntilIdle(test::KSpeechTimeout));
}

} // namespace
} // namespace horavia
