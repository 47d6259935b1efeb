#include "settings/SettingsStore.h"
#include "speech/UnavailableSpeechVoice.h"

#include "StoreFixture.h"
#include "base/RemindIntervals.h"
#include "settings/RegistryError.h"
#include "support/FakeSpeechVoice.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <ostream>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace horavia {
namespace {

using test::DwordValue;
using test::FakeSpeechVoice;
using test::StoredValues;
using test::WideValue;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A stored set in which every value differs from its default.
StoredValues CompleteSet() {
    return {
        {"TimeFormat", DwordValue(1)},
        {"Language", DwordValue(2)},
        {"MinimizeToTray", DwordValue(0)},
        {"ShowMsgBox", DwordValue(0)},
        {"PlaySound", DwordValue(1)},
        {"SoundFileW", WideValue(QStringLiteral("/home/user/ring.ogg"))},
        {"TimerTTS", DwordValue(0)},
        {"StopwatchTTS", DwordValue(1)},
        {"ClockTTS", DwordValue(1)},
        {"RemindPeriod", DwordValue(600)},
        {"AutoIncreaseRemindFreq", DwordValue(1)},
        {"VoiceNameW", WideValue(QStringLiteral("Beta"))},
        {"LastWindowPosLeft", DwordValue(static_cast<std::uint32_t>(-40))},
        {"LastWindowsPosTop", DwordValue(300)},
    };
}

StoredValues Without(StoredValues values, const std::string& name) {
    std::erase_if(values, [&](const auto& v) { return v.first == name; });
    return values;
}

StoredValues With(StoredValues values, const std::string& name, RegistryValue value) {
    for (auto& v : values) {
        if (v.first == name) {
            v.second = std::move(value);
        }
    }
    return values;
}

void ExpectDefaults(const Settings& s) {
    EXPECT_EQ(s.TimeFormat, 0);
    EXPECT_EQ(s.Language, 0);
    EXPECT_TRUE(s.MinimizeToTray);
    EXPECT_TRUE(s.ShowMsgBox);
    EXPECT_FALSE(s.PlaySound);
    EXPECT_TRUE(s.SoundFile.isEmpty());
    EXPECT_FALSE(s.StopwatchTTS);
    EXPECT_FALSE(s.ClockTTS);
    EXPECT_EQ(s.RemindPeriod, 60);
    EXPECT_FALSE(s.AutoIncreaseRemindFreq);
}

class SettingsStoreTest : public test::StoreFixture {
protected:
    FakeSpeechVoice voice_{{QStringLiteral("Alpha"), QStringLiteral("Beta")}};
    Settings settings_;
};

TEST_F(SettingsStoreTest, FirstRunCreatesTheKeyEmptyAndWritesNothingElseUntilSaved) {
    LoadSettings(settings_, voice_);

    ExpectDefaults(settings_);
    EXPECT_TRUE(settings_.TimerTTS);
    EXPECT_EQ(settings_.VoiceName, QStringLiteral("Alpha"));
    EXPECT_EQ(voice_.current, 0);
    EXPECT_EQ(settings_.LastWindowPosLeft, 0);
    EXPECT_EQ(settings_.LastWindowPosTop, 0);
    EXPECT_FALSE(settings_.PositionStored); // the window stays centred
    auto stored = ReadStore();
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->Keys().size(), 1u);
    EXPECT_EQ(stored->Keys()[0].name, "Software\\Horavia");
    EXPECT_THAT(stored->Keys()[0].values, IsEmpty());

    SaveSettings(settings_, voice_, 12, 34);
    stored = ReadStore();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->FindKey("Software\\Horavia")->values.size(), 14u);
    Settings next;
    LoadSettings(next, voice_);
    EXPECT_TRUE(next.PositionStored);
    EXPECT_EQ(next.LastWindowPosLeft, 12);
    EXPECT_EQ(next.LastWindowPosTop, 34);
}

TEST_F(SettingsStoreTest, FirstRunSpeaksTheLanguageOfTheLocale) {
    const struct {
        const char* lcAll;
        const char* lang;
        std::int32_t language;
    } cases[] = {{nullptr, "en_US.UTF-8", 1},       {nullptr, "C", 1},       {nullptr, "zh_TW.UTF-8", 0},
                 {"en_GB.UTF-8", "zh_CN.UTF-8", 1}, {"zh_CN.UTF-8", "C", 0}, {nullptr, "de_DE.UTF-8", 1}};
    for (const auto& c : cases) {
        SetLocale(c.lcAll, c.lang);
        Settings first;
        LoadSettings(first, voice_);
        EXPECT_EQ(first.Language, c.language) << (c.lcAll ? c.lcAll : "") << " " << c.lang;
    }
    // Once stored, the choice no longer follows the locale.
    Settings chosen;
    LoadSettings(chosen, voice_);
    chosen.Language = 0;
    SaveSettings(chosen, voice_, 0, 0);
    Settings next;
    LoadSettings(next, voice_);
    EXPECT_EQ(next.Language, 0);
}

TEST_F(SettingsStoreTest, DefaultsWithoutVoicesTurnSpeechOffAndLeaveTheNameEmpty) {
    FakeSpeechVoice mute;
    settings_.VoiceName = QStringLiteral("stale");
    LoadSettings(settings_, mute);
    ExpectDefaults(settings_);
    EXPECT_FALSE(settings_.TimerTTS);
    EXPECT_TRUE(settings_.VoiceName.isEmpty());
    EXPECT_THAT(mute.setVoiceCalls, IsEmpty());
}

TEST_F(SettingsStoreTest, WithoutASpeechServiceTheDefaultsAreStillComplete) {
    UnavailableSpeechVoice none;
    settings_.RemindPeriod = 0;
    EXPECT_NO_THROW(LoadSettings(settings_, none));
    ExpectDefaults(settings_);
    EXPECT_EQ(settings_.RemindPeriod, 60);
    EXPECT_FALSE(settings_.TimerTTS);
    EXPECT_TRUE(settings_.VoiceName.isEmpty());
    // A stored voice name is kept even when no voice can be chosen now.
    WriteStore(CompleteSet());
    EXPECT_NO_THROW(LoadSettings(settings_, none));
    EXPECT_TRUE(settings_.PositionStored);
}

TEST_F(SettingsStoreTest, DefaultsLeaveThePositionAlone) {
    settings_.LastWindowPosLeft = 5;
    settings_.LastWindowPosTop = 6;
    SetDefaultSettings(settings_, voice_);
    EXPECT_EQ(settings_.LastWindowPosLeft, 5);
    EXPECT_EQ(settings_.LastWindowPosTop, 6);
}

TEST_F(SettingsStoreTest, LoadsACompleteSet) {
    WriteStore(CompleteSet());
    settings_.MinimizeToTray = true;
    LoadSettings(settings_, voice_);

    EXPECT_EQ(settings_.TimeFormat, 1);
    EXPECT_EQ(settings_.Language, 2);
    EXPECT_FALSE(settings_.MinimizeToTray);
    EXPECT_FALSE(settings_.ShowMsgBox);
    EXPECT_TRUE(settings_.PlaySound);
    EXPECT_EQ(settings_.SoundFile, QStringLiteral("/home/user/ring.ogg"));
    EXPECT_FALSE(settings_.TimerTTS);
    EXPECT_TRUE(settings_.StopwatchTTS);
    EXPECT_TRUE(settings_.ClockTTS);
    EXPECT_EQ(settings_.RemindPeriod, 600);
    EXPECT_TRUE(settings_.AutoIncreaseRemindFreq);
    EXPECT_EQ(settings_.VoiceName, QStringLiteral("Beta"));
    EXPECT_EQ(voice_.current, 1);
    EXPECT_EQ(settings_.LastWindowPosLeft, -40);
    EXPECT_EQ(settings_.LastWindowPosTop, 300);
}

TEST_F(SettingsStoreTest, MissingMinimizeToTrayKeepsTheFieldAndLoadsTheRest) {
    WriteStore(Without(CompleteSet(), "MinimizeToTray"));
    LoadSettings(settings_, voice_);
    EXPECT_FALSE(settings_.MinimizeToTray);
    EXPECT_EQ(settings_.TimeFormat, 1);
    EXPECT_EQ(settings_.RemindPeriod, 600);
    EXPECT_EQ(settings_.VoiceName, QStringLiteral("Beta"));
    EXPECT_EQ(settings_.LastWindowPosTop, 300);
}

class MissingRequiredValue : public SettingsStoreTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingRequiredValue, GivesTheWholeDefaultSetAndIgnoresTheStoredPosition) {
    WriteStore(Without(CompleteSet(), GetParam()));
    LoadSettings(settings_, voice_);
    ExpectDefaults(settings_);
    EXPECT_TRUE(settings_.TimerTTS);
    EXPECT_EQ(settings_.VoiceName, QStringLiteral("Alpha"));
    EXPECT_EQ(settings_.LastWindowPosLeft, 0);
    EXPECT_EQ(settings_.LastWindowPosTop, 0);
}

INSTANTIATE_TEST_SUITE_P(Values, MissingRequiredValue,
                         ::testing::Values("TimeFormat", "Language", "ShowMsgBox", "PlaySound", "SoundFileW",
                                           "TimerTTS", "StopwatchTTS", "ClockTTS", "RemindPeriod",
                                           "AutoIncreaseRemindFreq", "VoiceNameW", "LastWindowPosLeft",
                                           "LastWindowsPosTop"));

TEST_F(SettingsStoreTest, TheTopEdgeIsOnlyReadUnderItsHistoricalName) {
    StoredValues values = Without(CompleteSet(), "LastWindowsPosTop");
    values.emplace_back("LastWindowPosTop", DwordValue(300));
    WriteStore(values);
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.LastWindowPosTop, 0);
    EXPECT_EQ(settings_.TimeFormat, 0);
}

TEST_F(SettingsStoreTest, EmptySoundFileIsAZeroLengthBinaryValue) {
    settings_.SoundFile.clear();
    SaveSettings(settings_, voice_, 0, 0);
    const auto stored = ReadStore();
    ASSERT_TRUE(stored);
    const RegistryValue* value = stored->FindKey("Software\\Horavia")->Find("SoundFileW");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, RegBinary);
    EXPECT_THAT(value->data, IsEmpty());

    Settings loaded;
    loaded.SoundFile = QStringLiteral("x");
    LoadSettings(loaded, voice_);
    EXPECT_TRUE(loaded.SoundFile.isEmpty());
}

TEST_F(SettingsStoreTest, PeriodsOutsideTheTableAreKeptAsLoaded) {
    WriteStore(With(CompleteSet(), "RemindPeriod", DwordValue(45)));
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.RemindPeriod, 45);
    EXPECT_EQ(RemindIndexOf(settings_.RemindPeriod), 0);
    EXPECT_EQ(EffectiveRemindPeriod(settings_.RemindPeriod), 45);

    WriteStore(With(CompleteSet(), "RemindPeriod", DwordValue(static_cast<std::uint32_t>(-5))));
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.RemindPeriod, -5);
    EXPECT_EQ(EffectiveRemindPeriod(settings_.RemindPeriod), 60);
}

TEST_F(SettingsStoreTest, AVoiceNoLongerInstalledKeepsItsNameAndTheCurrentVoice) {
    WriteStore(With(CompleteSet(), "VoiceNameW", WideValue(QStringLiteral("Gone"))));
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.VoiceName, QStringLiteral("Gone"));
    EXPECT_THAT(voice_.setVoiceCalls, IsEmpty());
}

TEST_F(SettingsStoreTest, OnlyTheLowByteOfTimeFormatAndAnyNonZeroBooleanCount) {
    StoredValues values = With(CompleteSet(), "TimeFormat", DwordValue(0x0301));
    values = With(values, "ShowMsgBox", DwordValue(0x100));
    WriteStore(values);
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.TimeFormat, 1);
    EXPECT_TRUE(settings_.ShowMsgBox);
}

TEST(SelectVoice, TakesTheFirstExactMatch) {
    FakeSpeechVoice voice({QStringLiteral("Anna"), QStringLiteral("anna"), QStringLiteral("anna")});
    Settings s;
    SelectVoice(s, voice, QStringLiteral("anna"));
    EXPECT_EQ(s.VoiceName, QStringLiteral("anna"));
    EXPECT_THAT(voice.setVoiceCalls, ElementsAre(1));

    SelectVoice(s, voice, QStringLiteral("Anna "));
    EXPECT_EQ(s.VoiceName, QStringLiteral("Anna "));
    EXPECT_THAT(voice.setVoiceCalls, ElementsAre(1));
}

// The fields of a load, for comparing whole sets.
auto Fields(const Settings& s) {
    return std::make_tuple(s.TimeFormat, s.Language, s.MinimizeToTray, s.ShowMsgBox, s.PlaySound,
                           s.SoundFile.toStdString(), s.TimerTTS, s.StopwatchTTS, s.ClockTTS, s.RemindPeriod,
                           s.AutoIncreaseRemindFreq, s.VoiceName.toStdString(), s.LastWindowPosLeft, s.LastWindowPosTop,
                           s.PositionStored);
}

// CompleteSet() as the window holds it after a load.
Settings LoadedCompleteSet() {
    Settings s;
    s.TimeFormat = 1;
    s.Language = 2;
    s.MinimizeToTray = false;
    s.ShowMsgBox = false;
    s.PlaySound = true;
    s.SoundFile = QStringLiteral("/home/user/ring.ogg");
    s.TimerTTS = false;
    s.StopwatchTTS = true;
    s.ClockTTS = true;
    s.RemindPeriod = 600;
    s.AutoIncreaseRemindFreq = true;
    s.VoiceName = QStringLiteral("Beta");
    s.LastWindowPosLeft = -40;
    s.LastWindowPosTop = 300;
    s.PositionStored = true;
    return s;
}

struct BadValue {
    const char* name;
    RegistryValue stored;
    std::function<void(Settings&)> expected; // what the load makes of CompleteSet() with this value
};

void PrintTo(const BadValue& bad, std::ostream* os) {
    *os << bad.name;
}

class UnreadableValue : public SettingsStoreTest, public ::testing::WithParamInterface<BadValue> {};

TEST_P(UnreadableValue, TakesItsDefaultTheRestLoadsAndTheFileIsKeptBeforeTheSave) {
    const BadValue& bad = GetParam();
    WriteStore(With(CompleteSet(), bad.name, bad.stored));
    const QByteArray original = ReadRaw();

    test::LogCapture log("horavia.settings");
    EXPECT_NO_THROW(LoadSettings(settings_, voice_));
    Settings expected = LoadedCompleteSet();
    bad.expected(expected);
    EXPECT_EQ(Fields(settings_), Fields(expected));
    const QString quoted = QStringLiteral("'%1'").arg(QLatin1String(bad.name));
    EXPECT_EQ(std::count_if(log.Warnings().begin(), log.Warnings().end(),
                            [&](const QString& w) { return w.contains(quoted); }),
              1)
        << log.Warnings().join(QLatin1Char('\n')).toStdString();
    EXPECT_THAT(AsideFiles(), IsEmpty()); // loading alone leaves the file as it is

    SaveSettings(settings_, voice_, 7, 8);
    const QStringList aside = AsideFiles();
    ASSERT_EQ(aside.size(), 1);
    QFile kept(StoreDir() + QLatin1Char('/') + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), original);

    // The saved file holds the good values and reads without a complaint.
    const qsizetype warningsBefore = log.Count();
    Settings reloaded;
    LoadSettings(reloaded, voice_);
    expected.LastWindowPosLeft = 7;
    expected.LastWindowPosTop = 8;
    expected.PositionStored = true;
    EXPECT_EQ(Fields(reloaded), Fields(expected));
    EXPECT_EQ(log.Count(), warningsBefore);
    SaveSettings(reloaded, voice_, 7, 8);
    EXPECT_EQ(AsideFiles().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, UnreadableValue,
    ::testing::Values(BadValue{"TimeFormat", WideValue(QStringLiteral("1")), [](Settings& s) { s.TimeFormat = 0; }},
                      // The box was off because the sound was on: with the sound lost, the box comes back.
                      BadValue{"PlaySound", RegistryValue{1, {'1', 0, 0, 0}},
                               [](Settings& s) {
                                   s.PlaySound = false;
                                   s.ShowMsgBox = true;
                               }},
                      BadValue{"SoundFileW", RegistryValue{RegBinary, std::vector<std::uint8_t>(524, 'a')},
                               [](Settings& s) {
                                   s.SoundFile.clear();
                                   s.ShowMsgBox = true;
                               }},
                      BadValue{"RemindPeriod", RegistryValue{RegDword, {0x58, 0x02}},
                               [](Settings& s) { s.RemindPeriod = 60; }},
                      BadValue{"VoiceNameW", DwordValue(0), [](Settings& s) { s.VoiceName = QStringLiteral("Alpha"); }},
                      BadValue{"LastWindowsPosTop", WideValue(QStringLiteral("300")), [](Settings& s) {
                                   s.LastWindowPosTop = 0;
                                   s.PositionStored = false;
                               }}));

TEST_F(SettingsStoreTest, A522ByteWideValueIsReadWhole) {
    const QString longest(WideValueMaxUnits, QChar(u'路'));
    WriteStore(With(CompleteSet(), "SoundFileW", WideValue(longest)));
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.SoundFile, longest);
}

TEST_F(SettingsStoreTest, WideValuesStopAtTheFirstZeroUnitAndOddBytesAreKept) {
    RegistryValue withZero = WideValue(QStringLiteral("ab"));
    withZero.data.insert(withZero.data.end(), {0, 0, 'c', 0});
    RegistryValue odd{RegBinary, {'x', 0, 'y'}};
    WriteStore(With(With(CompleteSet(), "SoundFileW", withZero), "VoiceNameW", odd));
    LoadSettings(settings_, voice_);
    EXPECT_EQ(settings_.SoundFile, QStringLiteral("ab"));
    EXPECT_EQ(settings_.VoiceName, QStringLiteral("xy"));
}

TEST_F(SettingsStoreTest, EveryValueRoundTripsWithNonAsciiText) {
    Settings original;
    original.TimeFormat = 1;
    original.Language = -7;
    original.MinimizeToTray = false;
    original.ShowMsgBox = false;
    original.PlaySound = true;
    original.SoundFile = QStringLiteral("/home/用户/音乐/闹钟 🔔 \"%s\"\\.mp3");
    original.TimerTTS = false;
    original.StopwatchTTS = true;
    original.ClockTTS = true;
    original.RemindPeriod = 10800;
    original.AutoIncreaseRemindFreq = true;
    original.VoiceName = QStringLiteral("Mandarin 😀 女声");
    FakeSpeechVoice voice({QStringLiteral("English"), original.VoiceName});

    Settings saved = original;
    SaveSettings(saved, voice, -1920, 2160);
    EXPECT_EQ(saved.VoiceName, original.VoiceName);

    Settings loaded;
    LoadSettings(loaded, voice);
    original.LastWindowPosLeft = -1920;
    original.LastWindowPosTop = 2160;
    EXPECT_EQ(loaded.TimeFormat, original.TimeFormat);
    EXPECT_EQ(loaded.Language, original.Language);
    EXPECT_EQ(loaded.MinimizeToTray, original.MinimizeToTray);
    EXPECT_EQ(loaded.ShowMsgBox, original.ShowMsgBox);
    EXPECT_EQ(loaded.PlaySound, original.PlaySound);
    EXPECT_EQ(loaded.SoundFile, original.SoundFile);
    EXPECT_EQ(loaded.TimerTTS, original.TimerTTS);
    EXPECT_EQ(loaded.StopwatchTTS, original.StopwatchTTS);
    EXPECT_EQ(loaded.ClockTTS, original.ClockTTS);
    EXPECT_EQ(loaded.RemindPeriod, original.RemindPeriod);
    EXPECT_EQ(loaded.AutoIncreaseRemindFreq, original.AutoIncreaseRemindFreq);
    EXPECT_EQ(loaded.VoiceName, original.VoiceName);
    EXPECT_EQ(voice.current, 1);
    EXPECT_EQ(loaded.LastWindowPosLeft, -1920);
    EXPECT_EQ(loaded.LastWindowPosTop, 2160);

    // The emoji is stored as its surrogate pair, little-endian.
    const auto stored = ReadStore();
    ASSERT_TRUE(stored);
    const RegistryValue* voiceName = stored->FindKey("Software\\Horavia")->Find("VoiceNameW");
    ASSERT_NE(voiceName, nullptr);
    const std::vector<std::uint8_t> smiley{0x3d, 0xd8, 0x00, 0xde};
    EXPECT_NE(std::search(voiceName->data.begin(), voiceName->data.end(), smiley.begin(), smiley.end()),
              voiceName->data.end());
    EXPECT_EQ(voiceName->data.size(), 2u * static_cast<std::size_t>(original.VoiceName.size()));
}

TEST_F(SettingsStoreTest, SaveStoresTheWindowsCurrentPositionNotTheLoadedOne) {
    settings_.LastWindowPosLeft = 1;
    settings_.LastWindowPosTop = 2;
    SaveSettings(settings_, voice_, 700, 80);
    const auto stored = ReadStore();
    ASSERT_TRUE(stored);
    const RegistryKey* key = stored->FindKey("Software\\Horavia");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(*key->Find("LastWindowPosLeft"), DwordValue(700));
    EXPECT_EQ(*key->Find("LastWindowsPosTop"), DwordValue(80));
    EXPECT_EQ(key->Find("LastWindowPosTop"), nullptr);
}

TEST_F(SettingsStoreTest, SaveKeepsTheSiblingsKeyAndValuesItDoesNotKnow) {
    RegistryFile file;
    file.AddKey("Software\\Rousely!").Set("Anything", RegistryValue{7, {1, 2}});
    RegistryKey& ours = file.AddKey("Software\\Horavia");
    ours.Set("FutureOption", RegistryValue{RegBinary, {9}});
    ours.Set("TimeFormat", DwordValue(1));
    const std::string text = file.Serialize();
    WriteRaw(QByteArray::fromStdString(text));

    settings_.TimeFormat = 0;
    SaveSettings(settings_, voice_, 0, 0);
    const auto stored = ReadStore();
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored->FindKey("Software\\Rousely!"), *file.FindKey("Software\\Rousely!"));
    const RegistryKey* key = stored->FindKey("Software\\Horavia");
    EXPECT_EQ(*key->Find("FutureOption"), (RegistryValue{RegBinary, {9}}));
    EXPECT_EQ(*key->Find("TimeFormat"), DwordValue(0));
}

TEST_F(SettingsStoreTest, APathTheStoreCannotHoldIsRefusedAndTheStoredSetStaysWhole) {
    WriteStore(CompleteSet());
    const QByteArray before = ReadRaw();
    // 261 characters, but the emoji takes two of the 261 code units; and a zero unit would end the path.
    for (const QString& path : {QString(WideValueMaxUnits - 1, QChar(u'a')) + QStringLiteral("😀"),
                                QStringLiteral("/a") + QChar(0) + QStringLiteral("b.ogg")}) {
        settings_.SoundFile = path;
        try {
            SaveSettings(settings_, voice_, 0, 0);
            ADD_FAILURE() << "no error raised";
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Failed to set data for 'SoundFileW'"));
        }
        EXPECT_EQ(ReadRaw(), before);
    }
}

TEST_F(SettingsStoreTest, AFileThatDoesNotParseIsKeptAsideAndDefaultsApply) {
    const QByteArray garbage("TimeFormat=1\n\x01\x02 not a settings file");
    WriteRaw(garbage);
    test::LogCapture log("horavia.settings");

    EXPECT_FALSE(IsSiblingInstalled());
    EXPECT_THAT(AsideFiles(), IsEmpty()); // a read-only look never moves the user's file

    LoadSettings(settings_, voice_);
    ExpectDefaults(settings_);
    ASSERT_EQ(log.Count(), 1) << log.Warnings().join(QLatin1Char('\n')).toStdString(); // one failure, one line
    EXPECT_THAT(log.Warnings().first().toStdString(), HasSubstr("Cannot read settings file"));
    const QStringList aside = AsideFiles();
    ASSERT_EQ(aside.size(), 1);
    QFile kept(StoreDir() + QLatin1Char('/') + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), garbage);
    const auto fresh = ReadStore();
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->FindKey("Software\\Horavia"), nullptr);

    // A second bad file gets its own name instead of replacing the first.
    WriteRaw(garbage + "2");
    LoadSettings(settings_, voice_);
    EXPECT_EQ(AsideFiles().size(), 2);
}

TEST_F(SettingsStoreTest, AnOversizedFileIsKeptAsideUnread) {
    QByteArray huge = QByteArray(RegistryFile::Header.data(), RegistryFile::Header.size()) + '\n';
    huge.append(QByteArray(static_cast<qsizetype>(MaxStoreFileBytes), '\n'));
    WriteRaw(huge);
    LoadSettings(settings_, voice_);
    ExpectDefaults(settings_);
    EXPECT_EQ(AsideFiles().size(), 1);
}

// Runs action on a thread. Should it block on opening the FIFO at fifo, a writer opening and closing
// the FIFO lets it go on, so a test fails instead of hanging; true when that was needed.
bool NeededUnblocking(const QString& fifo, const std::function<void()>& action) {
    auto done = std::async(std::launch::async, action);
    bool blocked = false;
    for (auto wait = std::chrono::milliseconds(10000); done.wait_for(wait) != std::future_status::ready;
         wait = std::chrono::milliseconds(50)) {
        blocked = true;
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
        }
    }
    EXPECT_NO_THROW(done.get());
    return blocked;
}

TEST_F(SettingsStoreTest, AFifoAtTheSettingsPathNeitherHangsTheStartNorIsSavedOver) {
    ASSERT_TRUE(QDir().mkpath(StoreDir()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
    test::LogCapture log("horavia.settings");

    // Start-up: the sibling check, then the load.
    bool sibling = true;
    EXPECT_FALSE(NeededUnblocking(path_, [&] {
        sibling = IsSiblingInstalled();
        LoadSettings(settings_, voice_);
    }));
    EXPECT_FALSE(sibling);
    ExpectDefaults(settings_);
    EXPECT_EQ(std::count_if(log.Warnings().begin(), log.Warnings().end(),
                            [](const QString& w) { return w.contains(QStringLiteral("Cannot read settings file")); }),
              1)
        << log.Warnings().join(QLatin1Char('\n')).toStdString();

    EXPECT_FALSE(NeededUnblocking(path_, [&] { SaveSettings(settings_, voice_, 1, 2); }));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path_).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(QDir(StoreDir()).entryList(QDir::Files | QDir::System | QDir::Hidden),
              QStringList{QStringLiteral("settings.conf")});
}

TEST_F(SettingsStoreTest, AStoreThatCannotBeCreatedRaisesAfterTheDefaultsApply) {
    QFile blocker(StoreDir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    try {
        LoadSettings(settings_, voice_);
        FAIL() << "no error raised";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Failed to create key Software\\Horavia"));
    }
    ExpectDefaults(settings_);

    // Saving cannot open or create the key: it stops without a word.
    settings_.TimeFormat = 1;
    EXPECT_NO_THROW(SaveSettings(settings_, voice_, 0, 0));
    EXPECT_EQ(settings_.TimeFormat, 1);
}

TEST_F(SettingsStoreTest, WithNoPlaceForTheStoreLoadDefaultsAndSaveKeepsTheChoices) {
    const QByteArray home = qgetenv("HOME");
    qunsetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_TRUE(Registry::UserStorePath().isEmpty());
    LoadSettings(settings_, voice_);
    ExpectDefaults(settings_);
    settings_.TimeFormat = 1;
    SaveSettings(settings_, voice_, 0, 0);
    EXPECT_EQ(settings_.TimeFormat, 1);
    EXPECT_FALSE(IsSiblingInstalled());
    qputenv("HOME", home);
}

TEST_F(SettingsStoreTest, TheSiblingIsInstalledWhenItsKeyExists) {
    EXPECT_FALSE(IsSiblingInstalled());
    WriteStore({}, "Software\\Rousely");
    EXPECT_FALSE(IsSiblingInstalled());
    WriteStore({}, "Software\\Rousely!");
    EXPECT_TRUE(IsSiblingInstalled());
}

} // namespace
} // namespace horavia
