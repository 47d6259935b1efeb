// The real audio modules, played through SDL's disk driver: what reaches the output file is checked.

#include "audio/ModuleLoader.h"
#include "audio/RsySoundPlayer.h"
#include "audio/lib/BassTypes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>

namespace horavia {
namespace {

using namespace horavia::bass;
using namespace std::chrono_literals;

constexpr double ToneSeconds = 0.5;

QTemporaryDir* mediaDir = nullptr;

std::string Media(const std::string& name) {
    return mediaDir->filePath(QString::fromStdString(name)).toStdString();
}

// Each test runs in its own process; the generated media are kept in the build tree and made only once.
std::string Cached(const std::string& name) {
    return std::string(HORAVIA_TEST_MEDIA_DIR) + "/" + name;
}

// Runs the ffmpeg tool once per build tree for a file of media; `make` is the shell command that writes
// the file named by $out. The result is linked into this run's folder.
bool Make(const std::string& name, const std::string& make) {
    const std::string cached = Cached(name);
    if (!std::ifstream(cached).good()) {
        // written under a private name and renamed, so a parallel test never reads half a file
        const std::string part = Cached("part" + std::to_string(::getpid()) + "-" + name);
        const std::string cmd = "mkdir -p '" + std::string(HORAVIA_TEST_MEDIA_DIR) + "' && out='" + part + "' && " +
                                make + " && mv \"$out\" '" + cached + "'";
        if (std::system(cmd.c_str()) != 0) {
            return false;
        }
    }
    return ::symlink(cached.c_str(), Media(name).c_str()) == 0;
}

std::string Sine(double seconds, int rate, int channels, int frequency, const std::string& codecArgs,
                 const std::string& out) {
    return "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=" + std::to_string(frequency) +
           ":duration=" + std::to_string(seconds) + ":sample_rate=" + std::to_string(rate) + " -ac " +
           std::to_string(channels) + " " + codecArgs + " " + out;
}

// Makes a half-second 440 Hz stereo tone in the given format.
bool Encode(const std::string& name, const std::string& codecArgs) {
    return Make(name, Sine(ToneSeconds, 44100, 2, 440, codecArgs, "\"$out\""));
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
        ASSERT_TRUE(Encode("tone.flac", "-c:a flac -f flac"));
        ASSERT_TRUE(Encode("tone.opus", "-c:a libopus -f ogg"));
        ASSERT_TRUE(Encode("tone.oga", "-c:a libvorbis -f ogg"));
        ASSERT_TRUE(Encode("tone.aiff", "-c:a pcm_s16be -f aiff"));
        // a stereo mp3 followed by a mono one at another rate, as a stream that changes its layout
        ASSERT_TRUE(
            Make("stereo-then-mono.mp3", Sine(0.5, 44100, 2, 440, "-c:a libmp3lame -f mp3", "\"$out.1\"") + " && " +
                                             Sine(0.5, 22050, 1, 660, "-c:a libmp3lame -f mp3", "\"$out.2\"") +
                                             " && cat \"$out.1\" \"$out.2\" > \"$out\" && rm \"$out.1\" \"$out.2\""));
        // a short MPEG-2 layer III file with variable bit rate and its seek table
        ASSERT_TRUE(Make("short-vbr.mp3", Sine(2, 22050, 1, 440, "-c:a libmp3lame -q:a 5 -f mp3", "\"$out\"")));
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

const auto* const Environment = ::testing::AddGlobalTestEnvironment(new AudioEnvironment);

struct Span {
    std::size_t frames = 0;    // frames written in all
    std::size_t firstLoud = 0; // first frame above the noise floor
    std::size_t lastLoud = 0;  // last such frame
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
            if (s.silent) {
                s.firstLoud = f;
            }
            s.silent = false;
            s.lastLoud = f;
        }
    }
    return s;
}

double Heard(const Span& s) {
    return s.silent ? 0.0 : static_cast<double>(s.lastLoud - s.firstLoud + 1) / 44100.0;
}

// What the ffmpeg tool itself decodes from a file, as 16-bit stereo at 44.1 kHz.
Span Reference(const std::string& file) {
    const std::string raw = Media(file + ".reference.raw");
    const std::string cmd =
        "ffmpeg -nostdin -loglevel quiet -y -i '" + Media(file) + "' -f s16le -ac 2 -ar 44100 '" + raw + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return ReadOutput(raw);
}

class RealPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        output_ = Media(name + ".raw");
        setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
        MakePlayer(false);
    }
    void TearDown() override { Free(); }

    // A player that opens on the caller's thread shows each call's whole effect when the call returns.
    void MakePlayer(bool openOnCallerThread) {
        Free();
        TRsySoundPlayer::Dependencies deps;
        deps.openOnCallerThread = openOnCallerThread;
        player_ = std::make_unique<TRsySoundPlayer>(nullptr, std::move(deps));
        SoundPlayer = player_.get();
        player_->OnPlayEnd = [this](bool aborted) {
            std::lock_guard lock(mutex_);
            ++ends_;
            aborted_ = aborted;
            endThread_ = std::this_thread::get_id();
            cv_.notify_all();
        };
    }

    void Free() {
        SoundPlayer = nullptr;
        player_.reset();
    }

    bool WaitForEnd(std::chrono::seconds limit = 20s, int count = 1) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [this, count] { return ends_ >= count; });
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

TEST_F(RealPlayerTest, Mp3Plays) {
    ExpectTone("tone.mp3", 0.06);
}
TEST_F(RealPlayerTest, OggPlays) {
    ExpectTone("tone.ogg", 0.03);
}
TEST_F(RealPlayerTest, AacPlaysThroughItsPlugin) {
    ExpectTone("tone.aac", 0.06);
}
TEST_F(RealPlayerTest, AacM4aPlaysThroughTheMp4Entry) {
    ExpectTone("tone.m4a", 0.06);
}
TEST_F(RealPlayerTest, AlacM4aFallsBackToTheAlacPlugin) {
    ExpectTone("lossless.m4a", 0.005);
}
TEST_F(RealPlayerTest, WmaPlaysThroughItsPlugin) {
    ExpectTone("tone.wma", 0.1);
}

TEST_F(RealPlayerTest, LengthAndInfoComeFromTheDecodedStream) {
    MakePlayer(true);
    player_->SetFileName(QString::fromStdString(Media("tone.wav")));
    EXPECT_EQ(player_->LengthMs(), 500);
    EXPECT_EQ(player_->ChannelInfo().freq, 44100u);
    EXPECT_EQ(player_->ChannelInfo().chans, 2u);
    EXPECT_EQ(player_->ChannelInfo().ctype, BASS_CTYPE_STREAM_WAV);
    EXPECT_EQ(player_->ChannelInfo().origres, 16u);
    player_->SetFileName(QString::fromStdString(Media("tone.mp3")));
    EXPECT_NEAR(player_->LengthMs(), 500, 60);
    // the source's own rate and channels, not those of the output
    player_->SetFileName(QString::fromStdString(Media("short-vbr.mp3")));
    EXPECT_EQ(player_->ChannelInfo().freq, 22050u);
    EXPECT_EQ(player_->ChannelInfo().chans, 1u);
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

// The desktop's own sounds (.oga) and alarms kept as FLAC or Opus.
class DesktopFormatTest : public RealPlayerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DesktopFormatTest, Plays) {
    ExpectTone(GetParam(), 0.03);
}

INSTANTIATE_TEST_SUITE_P(Formats, DesktopFormatTest, ::testing::Values("tone.flac", "tone.opus", "tone.oga"));

TEST_F(RealPlayerTest, StreamThatChangesItsChannelLayoutPlaysWhole) {
    const Span reference = Reference("stereo-then-mono.mp3");
    ASSERT_GT(Heard(reference), 0.9);
    const Span s = PlayToEnd("stereo-then-mono.mp3");
    EXPECT_NEAR(Heard(s), Heard(reference), 0.03);
}

TEST_F(RealPlayerTest, ShortVbrMp3SoundsFromItsStartAsLongAsFfmpegDecodesIt) {
    const Span reference = Reference("short-vbr.mp3");
    ASSERT_GT(Heard(reference), 1.9);
    const Span s = PlayToEnd("short-vbr.mp3");
    EXPECT_NEAR(Heard(s), Heard(reference), 0.03);
}

TEST_F(RealPlayerTest, FormatsOutsideTheirPluginAreRefused) {
    MakePlayer(true);
    player_->SetFileName(QString::fromStdString(Media("tone.aiff")));
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

// A listening socket on 127.0.0.1 at a port the system picks; the port is written to `port`, 0 when the
// socket could not be made to listen.
int ListenOnLoopback(int backlog, int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0 || ::listen(fd, backlog) != 0) {
        *port = 0;
        return fd;
    }
    *port = ntohs(a.sin_port);
    return fd;
}

// Accepts connections on 127.0.0.1 on a thread of its own, reads each request and hands the connection to
// serve, which answers it; the connection is closed after. Stops accepting when it goes.
class LoopbackServer {
public:
    LoopbackServer(int backlog, std::function<void(int client)> serve) : fd_(ListenOnLoopback(backlog, &port_)) {
        thread_ = std::thread([this, serve = std::move(serve)] {
            for (;;) {
                const int c = ::accept(fd_, nullptr, nullptr);
                if (c < 0) {
                    return;
                }
                char buf[2048];
                (void)::recv(c, buf, sizeof buf, 0);
                serve(c);
                ::close(c);
            }
        });
    }
    ~LoopbackServer() {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    std::string Url(const char* path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    int port_ = 0;
    int fd_ = -1;
    std::thread thread_;
};

// Serves every connection the same answer until the server goes.
class IcyServer {
public:
    explicit IcyServer(std::string response)
        : response_(std::move(response)), server_(1, [this](int c) {
              std::size_t sent = 0;
              while (sent < response_.size()) {
                  const ssize_t n = ::send(c, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
                  if (n <= 0) {
                      break;
                  }
                  sent += static_cast<std::size_t>(n);
              }
          }) {}
    std::string Url() const { return server_.Url("/stream"); }

private:
    std::string response_;
    LoopbackServer server_; // last: it stops before what it serves from goes
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
    IcyServer server("ICY 200 OK\r\nicy-name:Test FM\r\nicy-br:128\r\nicy-metaint:300\r\n"
                     "content-type:audio/mpeg\r\n\r\n" +
                     WithMetadata(audio, 300, "Wake up"));
    std::vector<std::string> status;
    std::vector<std::string> metas;
    std::mutex m;
    MakePlayer(true);
    player_->OnDownloadStatus = [&](const std::string& t) {
        std::lock_guard lock(m);
        status.push_back(t);
    };
    player_->OnMetaData = [&](const char* text) {
        std::lock_guard lock(m);
        if (text) {
            metas.emplace_back(text);
        }
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

// Accepts connections and reads each request, but answers only once the test releases it; until then, or
// when never released, it holds the connection open without a word.
class HeldServer {
public:
    explicit HeldServer(std::string response)
        : response_(std::move(response)), server_(4, [this](int c) { Hold(c); }) {}
    ~HeldServer() {
        {
            std::lock_guard lock(m_);
            closing_ = true;
        }
        cv_.notify_all();
    }
    void Release() {
        std::lock_guard lock(m_);
        released_ = true;
        cv_.notify_all();
    }
    bool WaitAccepted(int count) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, 20s, [&] { return accepted_ >= count; });
    }
    bool WaitHungUp(int count) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, 20s, [&] { return hungUp_ >= count; });
    }
    std::string Url() const { return server_.Url("/alarm"); }

private:
    // Counts the connection, then waits for the test's release (or the end) before answering.
    void Hold(int c) {
        std::unique_lock lock(m_);
        ++accepted_;
        cv_.notify_all();
        cv_.wait(lock, [this] { return released_ || closing_; });
        if (!released_) {
            return;
        }
        lock.unlock();
        (void)::send(c, response_.data(), response_.size(), MSG_NOSIGNAL);
        ::shutdown(c, SHUT_WR);
        char buf[2048];
        while (::recv(c, buf, sizeof buf, 0) > 0) {
        }
        lock.lock();
        ++hungUp_; // the client has closed its end
        cv_.notify_all();
    }

    std::string response_;
    std::mutex m_;
    std::condition_variable cv_;
    bool released_ = false;
    bool closing_ = false;
    int accepted_ = 0;
    int hungUp_ = 0;
    LoopbackServer server_; // last: it stops before the state it waits on goes
};

// Warnings of the audio categories, gathered while a test runs.
class AudioWarnings {
public:
    AudioWarnings() {
        std::lock_guard lock(mutex);
        lines.clear();
        previous = qInstallMessageHandler(&AudioWarnings::Handle);
    }
    ~AudioWarnings() { qInstallMessageHandler(previous); }
    bool Mention(const std::string& text) const {
        std::lock_guard lock(mutex);
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg && context.category &&
            std::string_view(context.category).starts_with("horavia.audio")) {
            std::lock_guard lock(mutex);
            lines.push_back(message.toStdString());
        }
    }
    static inline std::mutex mutex;
    static inline std::vector<std::string> lines;
    static inline QtMessageHandler previous = nullptr;
};

TEST_F(RealPlayerTest, SourcesThatHoldBackNeverHoldTheCaller) {
    AudioWarnings warnings;
    // The server answers only after both calls have come back; had either waited for it, it would have
    // given up before the answer came.
    HeldServer slow("ICY 200 OK\r\ncontent-type:audio/mpeg\r\n\r\n" + ReadFile(Media("tone.mp3")));
    player_->SetFileName(QString::fromStdString(slow.Url()));
    EXPECT_TRUE(player_->Play());
    EXPECT_EQ(player_->State(), psPlaying);
    slow.Release();
    ASSERT_TRUE(WaitForEnd(20s, 1));

    // A server that never answers: the attempt ends, reported, once the library gives up on it.
    HeldServer silent("");
    player_->SetFileName(QString::fromStdString(silent.Url()));
    EXPECT_TRUE(player_->Play());
    EXPECT_EQ(player_->State(), psPlaying);
    ASSERT_TRUE(WaitForEnd(30s, 2));
    EXPECT_EQ(player_->State(), psStopped);
    EXPECT_TRUE(warnings.Mention(silent.Url()));

    // A FIFO named like a sound file would hold whoever opens it until a writer comes.
    const std::string fifo = Media("pipe.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    player_->SetFileName(QString::fromStdString(fifo));
    player_->Play();
    ASSERT_TRUE(WaitForEnd(20s, 3));
    EXPECT_EQ(player_->State(), psStopped);
    EXPECT_TRUE(warnings.Mention("pipe.mp3"));

    Free();
    EXPECT_NEAR(Heard(ReadOutput(output_)), ToneSeconds, 0.08); // the slow server's sound, whole
}

TEST_F(RealPlayerTest, PlayerClosedWhileItsServerHoldsBackLeavesNothingBehind) {
    HeldServer held("ICY 200 OK\r\ncontent-type:audio/mpeg\r\n\r\n" + ReadFile(Media("tone.mp3")));
    player_->SetFileName(QString::fromStdString(held.Url()));
    player_->Play();
    ASSERT_TRUE(held.WaitAccepted(1));
    Free(); // the program closes while the connect waits for an answer
    // the answer comes after all: what was waiting for it finds the player gone and lets the stream go
    held.Release();
    EXPECT_TRUE(held.WaitHungUp(1));
}

TEST_F(RealPlayerTest, PathShapedLikeAnAddressIsOpenedAsAFile) {
    // a port that the text would reach, were it taken as an address
    int port = 0;
    const int listener = ListenOnLoopback(4, &port);
    ASSERT_GT(port, 0);
    const std::string host = "127.0.0.1:" + std::to_string(port);
    const std::string name = "tcp://" + host + "/x.mp3";
    // the same text read as a path below the working folder holds a real sound
    ASSERT_TRUE(QDir(mediaDir->path()).mkpath(QString::fromStdString("tcp:/" + host)));
    ASSERT_EQ(::symlink(Cached("tone.mp3").c_str(), Media("tcp:/" + host + "/x.mp3").c_str()), 0);
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(mediaDir->path()));
    player_->SetFileName(QString::fromStdString(name));
    EXPECT_TRUE(player_->Play());
    const bool ended = WaitForEnd();
    QDir::setCurrent(cwd);
    ASSERT_TRUE(ended);
    Free();
    EXPECT_NEAR(Heard(ReadOutput(output_)), ToneSeconds, 0.06);
    pollfd p{listener, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0) << "a connection came in";
    ::close(listener);
}

TEST_F(RealPlayerTest, HostileHeaderIsCutOffAndTheStreamRefused) {
    MakePlayer(true);
    IcyServer server("ICY 200 OK\r\nicy-name:" + std::string(100000, 'A') + "\r\n\r\n");
    player_->SetURL(server.Url());
    EXPECT_EQ(player_->State(), psStopped);
    EXPECT_FALSE(player_->Play());
}

} // namespace
} // namespace horavia
