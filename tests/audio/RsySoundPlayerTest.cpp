#include "FakeBass.h"

#include "audio/RsySoundPlayer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace horavia::test {
namespace {

using namespace horavia::bass;

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        mixerLine_ = std::make_shared<FakeMixer::Line>();
        timerProbe_ = std::make_shared<ManualFadeTimer::Probe>();
    }
    void TearDown() override {
        SoundPlayer = nullptr;
        player_.reset();
    }

    TRsySoundPlayer& Make() {
        TRsySoundPlayer::Dependencies deps;
        deps.loader = &loader_;
        deps.makeMixer = [line = mixerLine_] { return std::make_unique<FakeMixer>(line); };
        deps.makeFadeTimer = [this] {
            auto t = std::make_unique<ManualFadeTimer>(timerProbe_);
            timer_ = t.get();
            return t;
        };
        deps.openOnCallerThread = true;
        player_ = std::make_unique<TRsySoundPlayer>(nullptr, std::move(deps));
        SoundPlayer = player_.get();
        return *player_;
    }

    // an existing file: Play looks for it before it opens
    QString File(const QString& name) {
        const QString path = dir_.filePath(name);
        std::ofstream(path.toStdString()) << "x";
        return path;
    }

    FakeBass bass_;
    FakeLoader loader_;
    QTemporaryDir dir_;
    std::shared_ptr<FakeMixer::Line> mixerLine_;
    std::shared_ptr<ManualFadeTimer::Probe> timerProbe_;
    ManualFadeTimer* timer_ = nullptr;
    std::unique_ptr<TRsySoundPlayer> player_;
};

// ---- opening by extension

TEST_F(PlayerTest, UpperCaseExtensionOpensOnceThroughTheCoreWithWideNameAndFlags) {
    auto& p = Make();
    const QString path = File(QStringLiteral("Alarm Wecker \u00e4.MP3"));
    p.SetFileName(path);
    ASSERT_EQ(bass_.creates.size(), 1u);
    EXPECT_EQ(bass_.creates[0].entry, "BASS_StreamCreateFile");
    EXPECT_EQ(bass_.creates[0].flags, 0x80020000u);
    EXPECT_EQ(bass_.creates[0].name, path.toStdU16String());
    EXPECT_EQ(p.State(), psStopped);
    EXPECT_EQ(p.LengthMs(), 5669); // 1 000 000 bytes at 176 400 bytes a second
    EXPECT_EQ(p.ChannelInfo().freq, 44100u);
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(p.State(), psPlaying);
    // Play starts the stream that SetFileName opened
    EXPECT_EQ(bass_.creates.size(), 1u);
    EXPECT_EQ(bass_.plays, std::vector<DWORD>{bass_.LastChannel()});
    // once played, the next Play opens the file again
    p.Stop();
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(bass_.creates.size(), 2u);
    EXPECT_EQ(bass_.freed.size(), 1u);
}

TEST_F(PlayerTest, UnknownExtensionOpensNothingAndPlayFails) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("alarm.mid")));
    EXPECT_TRUE(bass_.creates.empty());
    EXPECT_FALSE(p.Play());
    EXPECT_TRUE(bass_.plays.empty());
    EXPECT_EQ(p.State(), psStopped);
}

TEST_F(PlayerTest, MissingFileMakesPlayFailAndEndsTheSound) {
    auto& p = Make();
    int ends = 0;
    p.OnPlayEnd = [&](bool) { ++ends; };
    p.SetFileName(dir_.filePath(QStringLiteral("gone.mp3")));
    EXPECT_FALSE(p.Play());
    EXPECT_TRUE(bass_.plays.empty());
    EXPECT_EQ(p.State(), psStopped);
    EXPECT_EQ(ends, 1); // whoever showed a stop button for this sound hides it again
}

TEST_F(PlayerTest, WmaPluginIsLoadedAtTheFirstWmaOpenOnly) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    EXPECT_EQ(std::count(loader_.loads.begin(), loader_.loads.end(), ModuleFile("wma")), 0);
    p.SetFileName(File(QStringLiteral("a.wma")));
    EXPECT_TRUE(p.Play());
    p.SetFileName(File(QStringLiteral("b.WMV")));
    EXPECT_EQ(std::count(loader_.loads.begin(), loader_.loads.end(), ModuleFile("wma")), 1);
    EXPECT_EQ(bass_.creates.back().entry, "BASS_WMA_StreamCreateFile");
}

TEST_F(PlayerTest, AacAndApeGoThroughTheirPlugins) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.aac")));
    EXPECT_EQ(bass_.creates.back().entry, "BASS_AAC_StreamCreateFile");
    p.SetFileName(File(QStringLiteral("a.ape")));
    EXPECT_EQ(bass_.creates.back().entry, "BASS_APE_StreamCreateFile");
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(bass_.creates.back().entry, "BASS_APE_StreamCreateFile");
}

TEST_F(PlayerTest, AacM4aUsesMp4AndNeverLoadsAlac) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.m4a")));
    EXPECT_EQ(bass_.creates.back().entry, "BASS_MP4_StreamCreateFile");
    EXPECT_EQ(std::count(loader_.loads.begin(), loader_.loads.end(), ModuleFile("alac")), 0);
}

TEST_F(PlayerTest, AlacM4aFallsBackAndFailsWhileTheAlacPluginIsMissingThenRetries) {
    loader_.available.erase(ModuleFile("alac"));
    bass_.mp4Accepts = false;
    auto& p = Make();
    const QString file = File(QStringLiteral("lossless.m4a"));
    p.SetFileName(file);
    EXPECT_FALSE(p.Play());
    EXPECT_TRUE(bass_.plays.empty());
    // the plug-in appears: the next open of the format loads it and plays
    loader_.available.insert(ModuleFile("alac"));
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(bass_.creates.back().entry, "BASS_ALAC_StreamCreateFile");
    EXPECT_EQ(std::count(loader_.loads.begin(), loader_.loads.end(), ModuleFile("alac")), 3);
}

TEST_F(PlayerTest, CdTracksFailLikeAMissingPlugin) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("Track01.cda")));
    EXPECT_FALSE(p.Play());
    EXPECT_TRUE(bass_.creates.empty());
}

TEST_F(PlayerTest, RefusedStreamMakesPlayFailAfterStoppingTheOldSound) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.wav")));
    ASSERT_TRUE(p.Play());
    const DWORD playing = bass_.LastChannel();
    bass_.createFails = true;
    p.SetFileName(File(QStringLiteral("b.ogg")));
    EXPECT_FALSE(p.Play());
    EXPECT_NE(std::find(bass_.stops.begin(), bass_.stops.end(), playing), bass_.stops.end());
    EXPECT_EQ(p.State(), psStopped);
}

// ---- missing library, failed output

TEST_F(PlayerTest, MissingCoreModuleLeavesThePlayerInert) {
    loader_.available.clear();
    auto& p = Make();
    EXPECT_FALSE(p.LibraryLoaded());
    p.SetFileName(File(QStringLiteral("a.mp3")));
    EXPECT_FALSE(p.Play());
    p.SetVolume(10);
    p.Stop();
    p.FadeOut();
    ASSERT_NE(timer_, nullptr);
    EXPECT_TRUE(timer_->Tick());
    EXPECT_EQ(bass_.initCalls, 0);
    EXPECT_TRUE(bass_.volumeSets.empty());
    player_.reset();
    EXPECT_EQ(bass_.freeCalls, 0);
    EXPECT_TRUE(loader_.unloads.empty());
}

TEST_F(PlayerTest, FailedInitMakesNoMixerAndPlayFails) {
    bass_.initResult = false;
    bass_.createFails = true; // an uninitialised library refuses every stream
    auto& p = Make();
    EXPECT_TRUE(p.LibraryLoaded());
    p.SetFileName(File(QStringLiteral("a.mp3")));
    EXPECT_FALSE(p.Play());
    player_.reset();
    EXPECT_EQ(mixerLine_->writes, 0);
}

// ---- mixer

TEST_F(PlayerTest, MasterLineIsUnmutedForPlayAndRestoredAtDestroy) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    EXPECT_FALSE(mixerLine_->mute);
    EXPECT_EQ(mixerLine_->muteClears, 1);
    mixerLine_->left = mixerLine_->right = 100;
    player_.reset();
    EXPECT_EQ(mixerLine_->left, 50000); // the larger side, on both
    EXPECT_EQ(mixerLine_->right, 50000);
    EXPECT_TRUE(mixerLine_->mute);
}

TEST_F(PlayerTest, UnreadableMixerSavesFullVolume) {
    mixerLine_->works = false;
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    EXPECT_TRUE(p.Play());
    mixerLine_->works = true;
    player_.reset();
    EXPECT_EQ(mixerLine_->left, 65535);
    EXPECT_FALSE(mixerLine_->mute);
}

// ---- end of playback

TEST_F(PlayerTest, EndOfPlaybackRaisesOnPlayEndOnceWithFalseAndStops) {
    auto& p = Make();
    std::vector<bool> ends;
    p.OnPlayEnd = [&](bool aborted) { ends.push_back(aborted); };
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    FakeSync* end = bass_.LiveEnd();
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->type, 0x80000002u);
    FakeSync* mark = bass_.LivePositionMark();
    ASSERT_NE(mark, nullptr);
    bass_.Fire(*end);
    EXPECT_EQ(ends, std::vector<bool>{false});
    EXPECT_EQ(p.State(), psStopped);
    EXPECT_TRUE(mark->removed); // the pending progress mark went with the end
}

TEST_F(PlayerTest, StopNeverRaisesOnPlayEndAndRemovesTheEndNotification) {
    auto& p = Make();
    int ends = 0;
    p.OnPlayEnd = [&](bool) { ++ends; };
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    p.Stop();
    EXPECT_EQ(bass_.LiveEnd(), nullptr);
    EXPECT_EQ(p.State(), psStopped);
    EXPECT_EQ(ends, 0);
}

TEST_F(PlayerTest, EndOfAReplacedStreamIsIgnored) {
    auto& p = Make();
    int ends = 0;
    p.OnPlayEnd = [&](bool) { ++ends; };
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    FakeSync old = *bass_.LiveEnd();
    p.SetFileName(File(QStringLiteral("b.mp3")));
    ASSERT_TRUE(p.Play());
    old.proc(old.handle, old.channel, 0, nullptr);
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(p.State(), psPlaying);
}

TEST_F(PlayerTest, RoutinesDoNothingWithoutTheProgramWidePlayer) {
    auto& p = Make();
    int ends = 0;
    p.OnPlayEnd = [&](bool) { ++ends; };
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    SoundPlayer = nullptr;
    bass_.Fire(*bass_.LiveEnd());
    EXPECT_EQ(ends, 0);
}

// ---- progress marks

class ProgressTest : public PlayerTest {
protected:
    // fires each mark at its own position until no mark is left; returns the positions and the percentages
    void Run(std::vector<QWORD>& positions, std::vector<int>& percents) {
        auto& p = Make();
        p.OnProgress = [&](int pc) { percents.push_back(pc); };
        p.SetFileName(File(QStringLiteral("a.mp3")));
        ASSERT_TRUE(p.Play());
        for (int guard = 0; guard < 1000; ++guard) {
            FakeSync* mark = bass_.LivePositionMark();
            if (!mark) {
                return;
            }
            positions.push_back(mark->param);
            bass_.position = mark->param;
            bass_.Fire(*mark);
        }
        FAIL() << "marks never stop";
    }
};

TEST_F(ProgressTest, LongStreamGetsAMarkEveryHundredth) {
    bass_.length = 200000000;
    std::vector<QWORD> pos;
    std::vector<int> pc;
    Run(pos, pc);
    // a mark would fall on the very end at 100 %, where the end notification speaks instead
    ASSERT_EQ(pos.size(), 99u);
    for (std::size_t i = 0; i < pos.size(); ++i) {
        EXPECT_EQ(pos[i], 2000000u * (i + 1)) << i;
    }
    EXPECT_EQ(pc.front(), 1);
    EXPECT_EQ(pc.back(), 99);
    // the first mark is set for mix time, the later ones once each
    EXPECT_EQ(bass_.syncs[1].type, 0x40000000u);
    EXPECT_EQ(bass_.LiveSyncs(0xffffffff, 0x80000000u).size(), 0u);
}

TEST_F(ProgressTest, ShortStreamMarksAreAtLeast128KiBApart) {
    bass_.length = 1000000;
    std::vector<QWORD> pos;
    std::vector<int> pc;
    Run(pos, pc);
    ASSERT_EQ(pos.size(), 8u);
    EXPECT_EQ(pos[0], 10000u);
    for (std::size_t i = 1; i < pos.size(); ++i) {
        EXPECT_EQ(pos[i] - pos[i - 1], 131072u) << i;
    }
    EXPECT_LT(pos.back(), 1000000u);
    EXPECT_EQ(pc[0], 1);
    EXPECT_EQ(pc[1], 14); // 141072 of 1000000
}

TEST_F(ProgressTest, ZeroLengthReportsZeroAndArmsNothingMore) {
    bass_.length = 0;
    std::vector<QWORD> pos;
    std::vector<int> pc;
    Run(pos, pc);
    EXPECT_EQ(pos, std::vector<QWORD>{0});
    EXPECT_EQ(pc, std::vector<int>{0});
}

TEST_F(ProgressTest, UnknownLengthActsLikeZero) {
    bass_.length = BASS_LENGTH_UNKNOWN;
    std::vector<QWORD> pos;
    std::vector<int> pc;
    Run(pos, pc);
    EXPECT_EQ(pos, std::vector<QWORD>{0});
    EXPECT_EQ(pc, std::vector<int>{0});
}

TEST_F(ProgressTest, PositionsPast2GiBNeitherWrapNorSkewThePercentage) {
    // about seven hours of decoded sound: byte counts beyond 32 bits
    bass_.length = 5000000000ull;
    auto& p = Make();
    std::vector<int> pc;
    p.OnProgress = [&](int v) { pc.push_back(v); };
    p.SetFileName(File(QStringLiteral("long.mp3")));
    ASSERT_TRUE(p.Play());
    FakeSync* mark = bass_.LivePositionMark();
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->param, 50000000u);
    bass_.position = 3000000000ull;
    bass_.Fire(*mark);
    ASSERT_EQ(pc.size(), 1u);
    EXPECT_EQ(pc[0], 60);
    FakeSync* next = bass_.LivePositionMark();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->param, 3050000000ull);
}

// ---- fade

TEST_F(PlayerTest, FadeFromFullVolumeTakesAboutHundredTicksThenStopsAndRestores) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    p.FadeOut();
    ASSERT_NE(timer_, nullptr);
    EXPECT_EQ(timerProbe_->interval, 10);
    EXPECT_TRUE(p.Fading());
    int ticks = 0;
    while (timer_->Tick() && ticks < 1000) {
        ++ticks;
        if (p.State() == psPlaying) {
            EXPECT_EQ(bass_.volume, 100u - static_cast<DWORD>(ticks));
        }
    }
    EXPECT_EQ(ticks, 101); // 100 steps down, then the one that stops
    EXPECT_EQ(p.State(), psStopped);
    EXPECT_FALSE(p.Fading());
    EXPECT_EQ(bass_.volume, 100u);
    EXPECT_FALSE(timerProbe_->enabled);
}

TEST_F(PlayerTest, FadeWhileNothingPlaysEndsAtTheFirstTick) {
    auto& p = Make();
    bass_.volume = 70;
    p.FadeOut();
    EXPECT_TRUE(timer_->Tick());
    EXPECT_FALSE(timer_->Tick());
    EXPECT_EQ(bass_.volume, 70u);
    EXPECT_EQ(p.State(), psStopped);
}

TEST_F(PlayerTest, SecondFadeDuringAFadeStillRestoresTheOriginalVolume) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    p.FadeOut();
    for (int i = 0; i < 30; ++i) {
        timer_->Tick();
    }
    p.FadeOut();
    while (timer_->Tick()) {
    }
    EXPECT_EQ(bass_.volume, 100u);
}

TEST_F(PlayerTest, EndDuringAFadeStopsAtTheNextTick) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    p.FadeOut();
    timer_->Tick();
    bass_.Fire(*bass_.LiveEnd());
    EXPECT_TRUE(timer_->Tick());
    EXPECT_FALSE(timerProbe_->enabled);
    EXPECT_EQ(bass_.volume, 100u);
}

TEST_F(PlayerTest, DestroyDuringAFadeStopsTheTimerAndRestoresTheVolume) {
    auto& p = Make();
    p.SetFileName(File(QStringLiteral("a.mp3")));
    ASSERT_TRUE(p.Play());
    p.FadeOut();
    for (int i = 0; i < 40; ++i) {
        timer_->Tick();
    }
    ASSERT_EQ(bass_.volume, 60u);
    SoundPlayer = nullptr;
    player_.reset();
    EXPECT_FALSE(timerProbe_->alive);
    EXPECT_EQ(bass_.volume, 100u);
    EXPECT_EQ(bass_.freeCalls, 1);
    // plug-ins go before the core
    ASSERT_FALSE(loader_.unloads.empty());
    EXPECT_EQ(loader_.unloads.back(), ModuleFile(CoreModule));
}

// ---- network streams

TEST_F(PlayerTest, UpperCaseSchemeGoesToTheNetworkAndPlayStartsWithoutReopening) {
    static constexpr char Tags[] = "icy-name:Radio Eins\0icy-br:128\0icy-genre:Pop\0"; // the list ends with ""
    bass_.icyTags = std::string(Tags, sizeof Tags - 1);
    auto& p = Make();
    p.SetFileName(QStringLiteral("HTTP://127.0.0.1:8000/stream"));
    ASSERT_EQ(bass_.creates.size(), 1u);
    EXPECT_EQ(bass_.creates[0].entry, "BASS_StreamCreateURL");
    EXPECT_EQ(bass_.creates[0].flags, 0x800000u);
    EXPECT_EQ(p.State(), psReady);
    EXPECT_EQ(p.LengthMs(), 0);
    EXPECT_EQ(p.BroadcastInfo().StationName, "Radio Eins");
    EXPECT_EQ(p.BroadcastInfo().BitRate, "128");
    EXPECT_EQ(bass_.LiveSyncs(0xffff, BASS_SYNC_META).size(), 1u);
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(bass_.creates.size(), 1u);
    EXPECT_EQ(p.State(), psPlaying);
    EXPECT_EQ(mixerLine_->muteClears, 1);
}

TEST_F(PlayerTest, LocalFileAfterAStreamIsWhatPlays) {
    auto& p = Make();
    p.SetFileName(QStringLiteral("http://127.0.0.1:8000/stream"));
    ASSERT_TRUE(p.Play());
    const QString file = File(QStringLiteral("a.mp3"));
    p.SetFileName(file);
    ASSERT_TRUE(p.Play());
    EXPECT_EQ(bass_.creates.back().entry, "BASS_StreamCreateFile");
    EXPECT_EQ(bass_.creates.back().name, file.toStdU16String());
    EXPECT_EQ(bass_.plays.back(), bass_.LastChannel());
}

TEST_F(PlayerTest, StreamThatCannotBeCreatedIsNotReady) {
    bass_.createFails = true;
    auto& p = Make();
    p.SetURL("http://127.0.0.1:1/none");
    EXPECT_EQ(p.State(), psStopped);
    EXPECT_FALSE(p.Play());
}

TEST_F(PlayerTest, StatusTextsReachOnDownloadStatusAndDataDoesNot) {
    auto& p = Make();
    std::vector<std::string> texts;
    p.OnDownloadStatus = [&](const std::string& t) { texts.push_back(t); };
    p.SetURL("http://example.invalid/x");
    ASSERT_NE(bass_.downloadProc, nullptr);
    bass_.downloadProc("ICY 200 OK", 0, bass_.downloadUser);
    bass_.downloadProc("\x01\x02", 2, bass_.downloadUser);
    bass_.downloadProc(nullptr, 0, bass_.downloadUser);
    EXPECT_EQ(texts, std::vector<std::string>{"ICY 200 OK"});
}

TEST_F(PlayerTest, MetadataIsFetchedFromTheLibraryNotFromTheNotificationData) {
    static const char Title[] = "StreamTitle='Song';";
    bass_.metaTags = Title;
    auto& p = Make();
    std::vector<std::string> metas;
    p.OnMetaData = [&](const char* m) { metas.push_back(m ? m : "(null)"); };
    p.SetURL("http://example.invalid/x");
    auto meta = bass_.LiveSyncs(0xffff, BASS_SYNC_META);
    ASSERT_EQ(meta.size(), 1u);
    bass_.Fire(*meta[0], 0xdeadbeef);
    EXPECT_EQ(metas, (std::vector<std::string>{Title, Title}));
}

TEST(BroadcastInfo, TakesExactLowerCasePrefixesOnly) {
    const std::string upper("ICY-NAME:Loud\0ICY-BR:320\0\0", 26);
    EXPECT_EQ(TRsySoundPlayer::ParseBroadcastInfo(upper.c_str()).StationName, "");
    EXPECT_EQ(TRsySoundPlayer::ParseBroadcastInfo(upper.c_str()).BitRate, "");
    const std::string mixed("content-type:audio/mpeg\0icy-br:64\0icy-name:\0\0", 46);
    const TBroadcastInfo info = TRsySoundPlayer::ParseBroadcastInfo(mixed.c_str());
    EXPECT_EQ(info.BitRate, "64");
    EXPECT_EQ(info.StationName, "");
    EXPECT_EQ(TRsySoundPlayer::ParseBroadcastInfo(nullptr).BitRate, "");
}

} // namespace
} // namespace horavia::test
