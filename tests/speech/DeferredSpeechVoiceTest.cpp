#include "speech/DeferredSpeechVoice.h"

#include "support/FakeSpeechVoice.h"

#include <gtest/gtest.h>

#include <memory>

namespace horavia {
namespace {

TEST(DeferredSpeechVoiceTest, AnAnnouncementDueBeforeTheFirstFrameStartsTheRestFirstAndIsSpoken) {
    auto fake = std::make_unique<test::FakeSpeechVoice>(QStringList{QStringLiteral("Mandarin")});
    test::FakeSpeechVoice* inner = fake.get();
    int starts = 0;
    std::size_t spokenWhenStarted = 99;
    DeferredSpeechVoice* self = nullptr;
    DeferredSpeechVoice voice(std::move(fake), [&] {
        ++starts;
        spokenWhenStarted = inner->spoken.size();
        self->Start(); // the program's start-up starts the voice too
    });
    self = &voice;

    // The stored voice is chosen as the settings load, before anything has started.
    ASSERT_EQ(voice.GetVoices(), QStringList{QStringLiteral("Mandarin")});
    voice.SetVoice(0);
    EXPECT_EQ(starts, 0);

    // The hourly chime at the first tick, before the window is on screen: the sound output starts first.
    voice.Speak(QStringLiteral("十点整"));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(spokenWhenStarted, 0u);
    ASSERT_EQ(inner->spoken.size(), 1u);
    EXPECT_EQ(inner->current, 0);

    // The first frame comes later and starts nothing a second time.
    voice.Start();
    voice.Speak(QStringLiteral("十点零一分"));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(inner->spoken.size(), 2u);
}

} // namespace
} // namespace horavia
