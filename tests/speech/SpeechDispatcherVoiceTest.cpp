#include "speech/SpeechDispatcherVoice.h"
#include "speech/ChoosingSpeechVoice.h"

#include "SpeechTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// libspeechd 0.11 leaks its copies of the client's names when a connection cannot be made (spd_open2 returns
// early); the fallback test makes such attempts on purpose. Read by the sanitizers in sanitizer builds only: the
// slow unwinder finds spd_open2 under glib's allocator, which has no frame pointers.
extern "C" const char* __lsan_default_suppressions() { // NOLINT(bugprone-reserved-identifier)
    return "leak:spd_open2\n";
}
extern "C" const char* __asan_default_options() { // NOLINT(bugprone-reserved-identifier)
    return "fast_unwind_on_malloc=0";
}

namespace horavia {
namespace {

using namespace std::chrono_literals;

// A speech-dispatcher stand-in on a Unix socket: it answers the SSIP commands libspeechd sends, offers two
// output modules with their voices, and records every command and spoken text, one list per connection.
// A mute server accepts connections and never answers, as a hung service does.
class FakeSsipServer {
public:
    FakeSsipServer(std::string path, bool mute = false) : path_(std::move(path)), mute_(mute) {
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        ::unlink(path_.c_str());
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || // NOLINT
            ::listen(listener_, 8) != 0) {
            ADD_FAILURE() << "cannot listen on " << path_;
        }
        acceptor_ = std::thread([this] { Accept(); });
    }
    ~FakeSsipServer() { Stop(); }
    FakeSsipServer(const FakeSsipServer&) = delete;
    FakeSsipServer& operator=(const FakeSsipServer&) = delete;

    // Goes away as a stopped service does: the socket file and every connection.
    void Stop() {
        if (listener_ < 0) {
            return;
        }
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        listener_ = -1;
        acceptor_.join();
        {
            const std::lock_guard lock(mutex_);
            for (const int client : clients_) {
                ::shutdown(client, SHUT_RDWR);
            }
        }
        for (std::thread& worker : workers_) {
            worker.join();
        }
        ::unlink(path_.c_str());
    }

    // The commands of each connection, in upper case, "SPEAK <text>" for a text.
    std::vector<std::vector<std::string>> Connections() const {
        const std::lock_guard lock(mutex_);
        return log_;
    }

    // Waits for a connection whose last command is the text spoken.
    bool WaitForSpeech(const std::string& text) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 30s, [&] {
            for (const std::vector<std::string>& connection : log_) {
                if (!connection.empty() && connection.back() == "SPEAK " + text) {
                    return true;
                }
            }
            return false;
        });
    }

private:
    void Accept() {
        for (;;) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            const std::lock_guard lock(mutex_);
            clients_.push_back(client);
            log_.emplace_back();
            const std::size_t number = log_.size() - 1;
            workers_.emplace_back([this, client, number] { Serve(client, number); });
        }
    }

    void Record(std::size_t connection, std::string command) {
        const std::lock_guard lock(mutex_);
        log_[connection].push_back(std::move(command));
        changed_.notify_all();
    }

    void Serve(int client, std::size_t connection) {
        std::string buffer;
        std::string module = "espeak-ng";
        bool receiving = false;
        std::string text;
        char chunk[1024];
        for (;;) {
            const ssize_t got = ::read(client, chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            buffer.append(chunk, static_cast<std::size_t>(got));
            for (std::size_t end = buffer.find("\r\n"); end != std::string::npos; end = buffer.find("\r\n")) {
                std::string line = buffer.substr(0, end);
                buffer.erase(0, end + 2);
                if (mute_) {
                    continue;
                }
                if (receiving) {
                    if (line == ".") {
                        receiving = false;
                        Record(connection, "SPEAK " + text);
                        Send(client, "225-1\r\n225 OK MESSAGE QUEUED\r\n");
                    } else {
                        text += (text.empty() ? "" : "\n") + line;
                    }
                    continue;
                }
                std::string upper = line;
                for (char& c : upper) {
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
                if (upper == "SPEAK") {
                    receiving = true;
                    text.clear();
                    Send(client, "230 OK RECEIVING DATA\r\n");
                    continue;
                }
                // The arguments keep their case: voice names are.
                const std::string command = upper.substr(0, upper.rfind(' ') + 1) + line.substr(upper.rfind(' ') + 1);
                Record(connection, upper.find(' ') == std::string::npos ? upper : command);
                if (upper == "LIST OUTPUT_MODULES") {
                    Send(client, "250-espeak-ng\r\n250-piper\r\n250 OK MODULE LIST SENT\r\n");
                } else if (upper == "GET OUTPUT_MODULE") {
                    Send(client, "251-piper\r\n251 OK GET RETURNED\r\n"); // the user's default module
                } else if (upper == "LIST SYNTHESIS_VOICES") {
                    Send(client, module == "piper" ? "249-Amy\ten-US\tnone\r\n249 OK VOICE LIST SENT\r\n"
                                                   : "249-English (America)\ten-US\tnone\r\n249-Mandarin\tcmn\tnone\r\n"
                                                     "249-Mandarin+Adam\tcmn\tAdam\r\n"
                                                     "249 OK VOICE LIST SENT\r\n");
                } else if (upper.rfind("SET SELF OUTPUT_MODULE ", 0) == 0) {
                    module = line.substr(std::strlen("SET SELF OUTPUT_MODULE "));
                    Send(client, "216 OK OUTPUT MODULE SET\r\n");
                } else if (upper == "QUIT") {
                    Send(client, "231 HAPPY HACKING\r\n");
                } else {
                    Send(client, "200 OK\r\n");
                }
            }
        }
        ::close(client);
    }

    static void Send(int client, const std::string& reply) {
        [[maybe_unused]] const ssize_t sent = ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    std::string path_;
    bool mute_;
    int listener_ = -1;
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> clients_;
    std::vector<std::vector<std::string>> log_;
};

// The commands of the connection that spoke text, from its first setting on.
std::vector<std::string> SpeakingConnection(const FakeSsipServer& server, const std::string& text) {
    for (const std::vector<std::string>& connection : server.Connections()) {
        for (const std::string& command : connection) {
            if (command == "SPEAK " + text) {
                return connection;
            }
        }
    }
    return {};
}

// The voice the service was last told to use before it was given text.
std::string VoiceBefore(const std::vector<std::string>& commands, const std::string& text) {
    std::string voice;
    for (const std::string& command : commands) {
        if (command == "SPEAK " + text) {
            return voice;
        }
        if (command.rfind("SET SELF SYNTHESIS_VOICE ", 0) == 0) {
            voice = command.substr(std::strlen("SET SELF SYNTHESIS_VOICE "));
        }
    }
    return {};
}

bool Contains(const std::vector<std::string>& commands, const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// The program's choice of back-ends, with the service at socket and an embedded voice that records.
std::unique_ptr<ChoosingSpeechVoice> Choosing(const std::string& socket, EspeakVoice& embedded,
                                              std::chrono::milliseconds listWait = std::chrono::milliseconds{3000}) {
    // The embedded voice stays the test's, to be read; the choosing voice speaks to it through this.
    class Forward final : public SpeechVoice {
    public:
        explicit Forward(SpeechVoice& voice) : to_(voice) {}
        QStringList GetVoices() override { return to_.GetVoices(); }
        void SetVoice(int index) override { to_.SetVoice(index); }
        void Speak(const QString& text) override { to_.Speak(text); }
        int VoiceFor(UiLanguage language) override { return to_.VoiceFor(language); }

    private:
        SpeechVoice& to_;
    };
    std::vector<ChoosingSpeechVoice::Backend> backends;
    backends.push_back({QStringLiteral("speech-dispatcher"),
                        std::make_unique<SpeechDispatcherVoice>(QString::fromStdString(socket), listWait)});
    backends.push_back({QStringLiteral("espeak-ng"), std::make_unique<Forward>(embedded)});
    return std::make_unique<ChoosingSpeechVoice>(std::move(backends));
}

class SpeechDispatcherVoiceTest : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentUiLanguage(UiLanguage::Chinese); }

    QTemporaryDir dir;
    std::string socket = (dir.path() + QStringLiteral("/speechd.sock")).toStdString();
};

TEST_F(SpeechDispatcherVoiceTest, ListsEveryModulesVoicesAndSpeaksWithTheChosenOneCancellingTheOldText) {
    FakeSsipServer server(socket);
    SpeechDispatcherVoice voice(QString::fromStdString(socket));

    // Mandarin first, for the Chinese announcements of a first run; then the user's default module, piper.
    ASSERT_EQ(voice.GetVoices(),
              QStringList({QStringLiteral("Mandarin (cmn, espeak-ng)"), QStringLiteral("Amy (en-US, piper)"),
                           QStringLiteral("English (America) (en-US, espeak-ng)")}));
    voice.SetVoice(1);
    voice.Speak(QStringLiteral("还有 2 小时"));
    ASSERT_TRUE(server.WaitForSpeech("还有 2 小时"));
    voice.Speak(QStringLiteral("It's 3:00 PM"));
    ASSERT_TRUE(server.WaitForSpeech("It's 3:00 PM"));

    const std::vector<std::string> commands = SpeakingConnection(server, "It's 3:00 PM");
    EXPECT_TRUE(Contains(commands, "SET SELF OUTPUT_MODULE piper"));
    EXPECT_TRUE(Contains(commands, "SET SELF SYNTHESIS_VOICE Amy"));
    const auto first = std::find(commands.begin(), commands.end(), "SPEAK 还有 2 小时");
    const auto second = std::find(commands.begin(), commands.end(), "SPEAK It's 3:00 PM");
    ASSERT_NE(first, commands.end());
    EXPECT_TRUE(std::find(first, second, "CANCEL SELF") != second) << "the new text did not cancel the old one";
}

TEST_F(SpeechDispatcherVoiceTest, SpeaksAgainWithTheChosenVoiceAfterTheServiceRestarts) {
    std::optional<FakeSsipServer> server(std::in_place, socket);
    SpeechDispatcherVoice voice(QString::fromStdString(socket));
    ASSERT_EQ(voice.GetVoices().size(), 3);
    voice.SetVoice(1);
    voice.Speak(QStringLiteral("before"));
    ASSERT_TRUE(server->WaitForSpeech("before"));

    server.reset();
    server.emplace(socket);
    voice.Speak(QStringLiteral("after"));
    ASSERT_TRUE(server->WaitForSpeech("after"));
    const std::vector<std::string> commands = SpeakingConnection(*server, "after");
    EXPECT_TRUE(Contains(commands, "SET SELF OUTPUT_MODULE piper"));
    EXPECT_TRUE(Contains(commands, "SET SELF SYNTHESIS_VOICE Amy"));
}

// A wait without bound would hang here: the service takes the connection and never answers.
TEST_F(SpeechDispatcherVoiceTest, AHungServiceNeverHoldsTheCaller) {
    FakeSsipServer server(socket, /*mute=*/true);
    {
        SpeechDispatcherVoice voice(QString::fromStdString(socket), 200ms);
        EXPECT_THROW(voice.GetVoices(), SpeechError);
        EXPECT_THROW(voice.GetVoices(), SpeechError);
        voice.Speak(QStringLiteral("nobody hears this"));
    }
    server.Stop();
}

TEST_F(SpeechDispatcherVoiceTest, WithoutTheServiceTheEmbeddedVoiceListsAndSpeaks) {
    test::RecordedVoice recorded;
    const std::unique_ptr<ChoosingSpeechVoice> choosing = Choosing(socket, recorded.voice);
    ChoosingSpeechVoice& voice = *choosing;

    const QStringList voices = voice.GetVoices();
    ASSERT_FALSE(voices.isEmpty());
    EXPECT_EQ(voices.mid(1), recorded.voice.GetVoices());
    EXPECT_EQ(voice.VoiceBackends().value(1), QStringLiteral("espeak-ng"));
    voice.Speak(QStringLiteral("It's 3:00 PM"));
    ASSERT_TRUE(recorded.voice.WaitUntilIdle(test::KSpeechTimeout));
    EXPECT_GT(recorded.recording->Written(), 0U);

    // Before any choice the embedded voice speaks the interface's language with a voice of that language, read
    // by that language's rules: an English "2" is "two", a Chinese one before a measure word 两.
    SetCurrentUiLanguage(UiLanguage::English);
    voice.Speak(QStringLiteral("2 minutes 2 seconds left"));
    const QString english = recorded.voice.Phonemes(QStringLiteral("2 minutes 2 seconds left"));
    EXPECT_FALSE(english.startsWith(u'[')) << "not read by the chosen voice: " << english.toStdString();
    EXPECT_TRUE(english.contains(QStringLiteral("t'u:"))) << english.toStdString();
    EXPECT_FALSE(english.contains(QStringLiteral("l'iA214N"))) << english.toStdString();
    SetCurrentUiLanguage(UiLanguage::Chinese);
    voice.Speak(QStringLiteral("还有 2 分钟"));
    const QString chinese = recorded.voice.Phonemes(QStringLiteral("还有 2 分钟"));
    EXPECT_FALSE(chinese.startsWith(u'[')) << "not read by the chosen voice: " << chinese.toStdString();
    EXPECT_TRUE(chinese.contains(QStringLiteral("l'iA214N"))) << chinese.toStdString();
}

// What a first run chooses speaks the interface's language: through the service with the English voice of the
// user's default module, or its Mandarin voice; a voice the user picked speaks whatever the language.
TEST_F(SpeechDispatcherVoiceTest, AFirstRunSpeaksTheInterfacesLanguageUntilTheUserPicksAVoice) {
    FakeSsipServer server(socket);
    test::RecordedVoice embedded;
    const std::unique_ptr<ChoosingSpeechVoice> choosing = Choosing(socket, embedded.voice);
    ChoosingSpeechVoice& voice = *choosing;
    const QStringList voices = voice.GetVoices();
    ASSERT_EQ(voices.first(), ChoosingSpeechVoice::FollowingName());
    voice.WantVoice(voices.first()); // what loading the settings of a first run does

    SetCurrentUiLanguage(UiLanguage::English);
    voice.Speak(QStringLiteral("4 minutes 59 seconds left"));
    ASSERT_TRUE(server.WaitForSpeech("4 minutes 59 seconds left"));
    EXPECT_EQ(VoiceBefore(SpeakingConnection(server, "4 minutes 59 seconds left"), "4 minutes 59 seconds left"), "Amy");

    SetCurrentUiLanguage(UiLanguage::Chinese);
    voice.Speak(QStringLiteral("还有 4 分钟 59 秒"));
    ASSERT_TRUE(server.WaitForSpeech("还有 4 分钟 59 秒"));
    EXPECT_EQ(VoiceBefore(SpeakingConnection(server, "还有 4 分钟 59 秒"), "还有 4 分钟 59 秒"), "Mandarin");

    voice.SetVoice(static_cast<int>(voices.indexOf(QStringLiteral("Amy (en-US, piper)"))));
    voice.Speak(QStringLiteral("还有 3 分钟"));
    ASSERT_TRUE(server.WaitForSpeech("还有 3 分钟"));
    EXPECT_EQ(VoiceBefore(SpeakingConnection(server, "还有 3 分钟"), "还有 3 分钟"), "Amy");
    EXPECT_EQ(embedded.recording->Written(), 0U);
}

TEST_F(SpeechDispatcherVoiceTest, AStoredNameIsFoundInTheBackEndThatOffersIt) {
    FakeSsipServer server(socket);
    test::RecordedVoice embedded;
    const std::unique_ptr<ChoosingSpeechVoice> choosing = Choosing(socket, embedded.voice);
    ChoosingSpeechVoice& voice = *choosing;

    const QStringList voices = voice.GetVoices();
    ASSERT_GT(voices.size(), 4);
    EXPECT_EQ(voices.mid(1, 3),
              QStringList({QStringLiteral("Mandarin (cmn, espeak-ng)"), QStringLiteral("Amy (en-US, piper)"),
                           QStringLiteral("English (America) (en-US, espeak-ng)")}));
    EXPECT_EQ(voice.VoiceBackends().mid(3, 2),
              QStringList({QStringLiteral("speech-dispatcher"), QStringLiteral("espeak-ng")}));

    // Before any choice the service speaks; a voice of the embedded back-end moves speech there.
    voice.Speak(QStringLiteral("through the service"));
    ASSERT_TRUE(server.WaitForSpeech("through the service"));
    voice.SetVoice(static_cast<int>(voices.indexOf(embedded.voice.GetVoices().first())));
    voice.Speak(QStringLiteral("embedded"));
    ASSERT_TRUE(embedded.voice.WaitUntilIdle(test::KSpeechTimeout));
    EXPECT_GT(embedded.recording->Written(), 0U);
    EXPECT_TRUE(SpeakingConnection(server, "embedded").empty());
}

// The window asks for the voices without waiting: while the service has not answered it gets the embedded
// ones, and a stored voice of the service is chosen at the first speech after the service has listed it.
TEST_F(SpeechDispatcherVoiceTest, TheWindowNeverWaitsForTheListAndAStoredServiceVoiceIsChosenLater) {
    std::optional<FakeSsipServer> server(std::in_place, socket, /*mute=*/true);
    test::RecordedVoice embedded;
    const std::unique_ptr<ChoosingSpeechVoice> choosing =
        Choosing(socket, embedded.voice, std::chrono::milliseconds{0});
    ChoosingSpeechVoice& voice = *choosing;

    EXPECT_EQ(voice.GetVoices().mid(1), embedded.voice.GetVoices()); // the service holds its answer back
    voice.WantVoice(QStringLiteral("Amy (en-US, piper)")); // what loading the settings does with a stored name

    server.reset(); // the hung service goes, a working one comes
    server.emplace(socket);
    bool listed = false;
    for (int tries = 0; tries < 300 && !listed; ++tries) {
        try {
            listed = voice.GetVoices().contains(QStringLiteral("Amy (en-US, piper)"));
        } catch (const SpeechError&) {
        }
        if (!listed) {
            std::this_thread::sleep_for(10ms); // waiting for the service's answer, not for time to pass
        }
    }
    ASSERT_TRUE(listed);
    voice.Speak(QStringLiteral("chosen"));
    ASSERT_TRUE(server->WaitForSpeech("chosen"));
    EXPECT_TRUE(Contains(SpeakingConnection(*server, "chosen"), "SET SELF SYNTHESIS_VOICE Amy"));
}

} // namespace
} // namespace horavia
