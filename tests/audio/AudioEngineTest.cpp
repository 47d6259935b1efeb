// The real audio modules, played through SDL's disk driver: what reaches the output file is checked.

#include "audio/BassTypes.h"
#include "audio/ModuleLoader.h"
#include "audio/RsySoundPlayer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace horavia {
namespace {

using namespace horavia::bass;
using namespace std::chrono_literals;

constexpr double ToneSeconds = 0.5;

QTemporaryDir* mediaDir = nullptr;

std::string Media(const std::string& name) { return mediaDir->filePath(QString::fromStdString(name)).toStdString(); }

// Each test runs in its own process; the generated media are kept in the build tree and made only once.
std::string Cached(const std::string& name) { return std::string(HORAVIA_TEST_MEDIA_DIR) + "/" + name; }

// Makes a half-second 440 Hz stereo tone with the ffmpeg tool, then links it into this run's folder.
bool Encode(const std::string& name, const std::string& codecArgs) {
    const std::string cached = Cached(name);
    if (!std::ifstream(cached).good()) {
        // written under a private name and renamed, so a parallel test never reads half a file
        const std::string part = Cached("part" + std::to_string(::getpid()) + "-" + name);
        const std::string cmd = "mkdir -p '" + std::string(HORAVIA_TEST_MEDIA_DIR) +
                                "' && ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=" +
                                std::to_string(ToneSeconds) + ":sample_rate=44100 -ac 2 " + codecArgs + " '" + part +
                                "' && mv '" + part + "' '" + cached + "'";
        if (std::system(cmd.c_str()) != 0)
            return false;
    }
    return ::symlink(cached.c_str(), Media(name).c_str()) == 0;
}

class AudioEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        mediaDir = new QTemporaryDir;
        ASSERT_TRUE(mediaDir->isValid());
        ASSERT_TRUE(Encode("tone.wav", "-c:a pcm_s16le"));
        ASSERT_TRUE(Encode("tone.mp3", "-c:a libmp3lame -b:a 128k"));
        ASSERT_TRUE(Encode("tone.ogg", "-c:a libvorbis"));
        ASSERT_TRUE(Encode("tone.aac", "-c:a aac"));
        ASSERT_TRUE(Encode("tone.m4a", "-c:a aac"));
        ASSERT_TRUE(Encode("lossless.m4a", "-c:a alac"));
        ASSERT_TRUE(Encode("tone.wma", "-c:a wmav2"));
        ASSERT_TRUE(Encode("tone.flac", "-c:a flac"));
        // an mp3 disguised as a plug-in's format must be refused by that plug-in
        ASSERT_TRUE(Encode("fake.ape", "-c:a libmp3lame -f mp3"));
        setenv("HORAVIA_AUDIO_MODULE_DIR", HORAVIA_TEST_MODULE_DIR, 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
    }
    void TearDown() override {
        delete mediaDir;
        mediaDir = nullptr;
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new AudioEnvironment);

struct Span {
    std::size_t frames = 0;     // frames written in all
    std::size_t firstLoud = 0;  // first frame above the noise floor
    std::size_t lastLoud = 0;   // last such frame
    bool silent = true;
};

Span ReadOutput(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Span s;
    s.frames = bytes.size() / 4;
    for (std::size_t f = 0; f < s.frames; ++f) {
        std::int16_t l;
        std::memcpy(&l, bytes.data() + 4 * f, 2);
        if (l > 256 || l < -256) {
            if (s.silent)
                s.firstLoud = f;
            s.silent = false;
            s.lastLoud = f;
        }
    }
    return s;
}

class RealPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        output_ = Media(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".raw");
        setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
        player_ = std::make_unique<TRsySoundPlayer>(nullptr);
        SoundPlayer = player_.get();
        player_->OnPlayEnd = [this](bool aborted) {
            std::lock_guard lock(mutex_);
            ++ends_;
            aborted_ = aborted;
            endThread_ = std::this_thread::get_id();
            cv_.notify_all();
        };
    }
    void TearDown() override { Free(); }

    void Free() {
        SoundPlayer = nullptr;
        player_.reset();
    }

    bool WaitForEnd(std::chrono::seconds limit = 20s) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [this] { return ends_ > 0; });
    }

    // Plays a file to its end; returns what the output received.
    Span PlayToEnd(const std::string& file) {
        player_->SetFileName(QString::fromStdString(Media(file)));
        EXPECT_TRUE(player_->Play()) << file;
        EXPECT_EQ(player_->State(), psPlaying);
        EXPECT_TRUE(WaitForEnd()) << file;
        EXPECT_EQ(player_->State(), psStopped);
        Free(); // closes the device, so the file holds everything
        return ReadOutput(output_);
    }

    void ExpectTone(const std::string& file, double toleranceSeconds) {
        const Span s = PlayToEnd(file);
        ASSERT_FALSE(s.silent) << file;
        const double heard = static_cast<double>(s.lastLoud - s.firstLoud + 1) / 44100.0;
        EXPECT_NEAR(heard, ToneSeconds, toleranceSeconds) << file;
        std::lock_guard lock(mutex_);
        EXPECT_EQ(ends_, 1);
        EXPECT_FALSE(aborted_);
        EXPECT_NE(endThread_, std::this_thread::get_id());
    }

    std::string output_;
    std::unique_ptr<TRsySoundPlayer> player_;
    std::mutex mutex_;
    std::condition_variable cv_;
    int ends_ = 0;
    bool aborted_ = true;
    std::thread::id endThread_;
};

TEST_F(RealPlayerTest, WavPlaysWholeOnceAndEndsOnALibraryThread) {
    ASSERT_TRUE(player_->LibraryLoaded());
    ExpectTone("tone.wav", 0.005);
}

TEST_F(RealPlayerTest, Mp3Plays) { ExpectTone("tone.mp3", 0.06); }
TEST_F(RealPlayerTest, OggPlays) { ExpectTone("tone.ogg", 0.03); }
TEST_F(RealPlayerTest, AacPlaysThroughItsPlugin) { ExpectTone("tone.aac", 0.06); }
TEST_F(RealPlayerTest, AacM4aPlaysThroughTheMp4Entry) { ExpectTone("tone.m4a", 0.06); }
TEST_F(RealPlayerTest, AlacM4aFallsBackToTheAlacPlugin) { ExpectTone("lossless.m4a", 0.005); }
TEST_F(RealPlayerTest, WmaPlaysThroughItsPlugin) { ExpectTone("tone.wma", 0.1); }

TEST_F(RealPlayerTest, LengthAndInfoComeFromTheDecodedStream) {
    player_->SetFileName(QString::fromStdString(Media("tone.wav")));
    EXPECT_EQ(player_->LengthMs(), 500);
    EXPECT_EQ(player_->ChannelInfo().freq, 44100u);
    EXPECT_EQ(player_->ChannelInfo().chans, 2u);
    EXPECT_EQ(player_->ChannelInfo().ctype, BASS_CTYPE_STREAM_WAV);
    EXPECT_EQ(player_->ChannelInfo().origres, 16u);
    player_->SetFileName(QString::fromStdString(Media("tone.mp3")));
    EXPECT_NEAR(player_->LengthMs(), 500, 60);
}

TEST_F(RealPlayerTest, ProgressIsReportedWhilePlaying) {
    std::vector<int> percents;
    std::mutex m;
    player_->OnProgress = [&](int p) {
        std::lock_guard lock(m);
        percents.push_back(p);
    };
    PlayToEnd("tone.wav");
    std::lock_guard lock(m);
    // 88200 bytes: the first mark at 1 %, nothing more because the next would lie beyond the end
    ASSERT_EQ(percents.size(), 1u);
    EXPECT_LE(percents[0], 5);
}

TEST_F(RealPlayerTest, FormatsOutsideTheirPluginAreRefused) {
    player_->SetFileName(QString::fromStdString(Media("tone.flac")));
    EXPECT_FALSE(player_->Play());
    player_->SetFileName(QString::fromStdString(Media("fake.ape")));
    EXPECT_FALSE(player_->Play());
    EXPECT_EQ(player_->State(), psStopped);
}

TEST_F(RealPlayerTest, StopSilencesAndRaisesNoEnd) {
    player_->SetFileName(QString::fromStdString(Media("tone.wav")));
    ASSERT_TRUE(player_->Play());
    player_->Stop();
    EXPECT_FALSE(WaitForEnd(1s));
    EXPECT_EQ(player_->State(), psStopped);
}

TEST_F(RealPlayerTest, OutputVolumeScalesTheSamples) {
    player_->SetVolume(0);
    const Span s = PlayToEnd("tone.wav");
    EXPECT_TRUE(s.silent);
}

// ---- network stream served from inside the test

class IcyServer {
public:
    explicit IcyServer(std::string response) : response_(std::move(response)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        ::listen(fd_, 1);
        // serves every connection the same answer until the server goes
        thread_ = std::thread([this] {
            for (;;) {
                const int c = ::accept(fd_, nullptr, nullptr);
                if (c < 0)
                    return;
                char buf[2048];
                (void)::recv(c, buf, sizeof buf, 0);
                std::size_t sent = 0;
                while (sent < response_.size()) {
                    const ssize_t n = ::send(c, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += static_cast<std::size_t>(n);
                }
                ::close(c);
            }
        });
    }
    ~IcyServer() {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/stream"; }

private:
    std::string response_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Interleaves a metadata block after every interval bytes of audio, as an ICY server does.
std::string WithMetadata(const std::string& audio, std::size_t interval, const std::string& title) {
    std::string meta = "StreamTitle='" + title + "';";
    meta.resize((meta.size() + 15) / 16 * 16, '\0');
    std::string out;
    for (std::size_t i = 0; i < audio.size(); i += interval) {
        out += audio.substr(i, interval);
        if (i + interval <= audio.size()) {
            out += static_cast<char>(meta.size() / 16);
            out += meta;
        }
    }
    return out;
}

TEST_F(RealPlayerTest, HttpStreamPlaysWithHeadersAsStatusAndIcyTags) {
    const std::string audio = ReadFile(Media("tone.mp3"));
    ASSERT_GT(audio.size(), 2000u);
    IcyServer server("ICY 200 OK\r\nicy-name:Test FM\r\nicy-br:128\r\nicy-metaint:1000\r\n"
                     "content-type:audio/mpeg\r\n\r\n" +
                     WithMetadata(audio, 1000, "Wake up"));
    std::vector<std::string> status;
    std::vector<std::string> metas;
    std::mutex m;
    player_->OnDownloadStatus = [&](const std::string& t) {
        std::lock_guard lock(m);
        status.push_back(t);
    };
    player_->OnMetaData = [&](const char* text) {
        std::lock_guard lock(m);
        if (text)
            metas.emplace_back(text);
    };
    player_->SetFileName(QString::fromStdString(server.Url()));
    ASSERT_EQ(player_->State(), psReady);
    EXPECT_EQ(player_->BroadcastInfo().StationName, "Test FM");
    EXPECT_EQ(player_->BroadcastInfo().BitRate, "128");
    EXPECT_TRUE(player_->Play());
    ASSERT_TRUE(WaitForEnd());
    Free();
    const Span s = ReadOutput(output_);
    ASSERT_FALSE(s.silent);
    EXPECT_NEAR(static_cast<double>(s.lastLoud - s.firstLoud + 1) / 44100.0, ToneSeconds, 0.08);
    std::lock_guard lock(m);
    ASSERT_EQ(status.size(), 5u);
    EXPECT_EQ(status[0], "ICY 200 OK");
    EXPECT_EQ(status[1], "icy-name:Test FM");
    ASSERT_FALSE(metas.empty());
    EXPECT_EQ(metas.back(), "StreamTitle='Wake up';");
}

TEST_F(RealPlayerTest, HostileHeaderIsCutOffAndTheStreamRefused) {
    IcyServer server("ICY 200 OK\r\nicy-name:" + std::string(100000, 'A') + "\r\n\r\n");
    player_->SetURL(server.Url());
    EXPECT_EQ(player_->State(), psStopped);
    EXPECT_FALSE(player_->Play());
}

} // namespace
} // namespace horavia
