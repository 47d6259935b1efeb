#include "speech/SpeechDispatcherVoice.h"

#include "speech/SpeechLog.h"

#include <libspeechd.h>

#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <pthread.h>

namespace horavia {
namespace {

// How long the destructor waits for a thread that is stuck in an exchange with a hung service before it
// leaves the thread behind.
constexpr std::chrono::milliseconds ShutdownWait{1000};

struct ServiceVoice {
    QString description; // "voice (language, module)"
    QByteArray module;
    QByteArray name;
    QByteArray language;
};

enum class ListState { NotAsked, Asked, Listed, Failed };

bool IsMandarin(const ServiceVoice& voice) {
    const QByteArray language = voice.language.toLower();
    return language.startsWith("cmn") || language.startsWith("zh");
}

bool IsEnglish(const ServiceVoice& voice) {
    const QByteArray language = voice.language.toLower();
    return language == "en" || language.startsWith("en-") || language.startsWith("en_");
}

bool IsAmerican(const ServiceVoice& voice) {
    const QByteArray language = voice.language.toLower();
    return language == "en-us" || language == "en_us";
}

QByteArray TakeText(char* text) {
    QByteArray copy(text != nullptr ? text : "");
    std::free(text); // NOLINT(cppcoreguidelines-no-malloc): libspeechd's strings are malloc'ed
    return copy;
}

} // namespace

// Shared by the voice and its thread, so that a thread left behind with a hung service stays valid.
struct SpeechDispatcherVoice::State {
    QByteArray socketPath;
    std::chrono::milliseconds answerTimeout{};

    std::mutex mutex;
    std::condition_variable wake;    // the thread: there is work, or the voice is going
    std::condition_variable changed; // the callers: a list arrived, or the thread went idle
    bool stopping = false;
    bool busy = false;
    ListState listState = ListState::NotAsked;
    bool listTimedOut = false; // a caller already waited in vain: later callers do not wait again
    QString listError;
    std::vector<ServiceVoice> voices;
    std::optional<int> chosen;           // index into voices, set by SetVoice
    bool voiceChanged = false;           // chosen has not yet been told to the service
    std::optional<QString> pending;      // text still to be spoken
    SPDConnection* connection = nullptr; // owned by the thread; published so the destructor can unblock it
    bool finished = false;

    SPDConnection* Open(QString& error) const {
        SPDConnectionAddress* address = nullptr;
        SPDConnectionAddress own{};
        if (!socketPath.isEmpty()) {
            own.method = SPD_METHOD_UNIX_SOCKET;
            own.unix_socket_name = const_cast<char*>(socketPath.constData()); // NOLINT: libspeechd only reads it
            address = &own;
        }
        char* failure = nullptr;
        SPDConnection* opened =
            spd_open2("horavia", "main", nullptr, SPD_MODE_SINGLE, address, socketPath.isEmpty() ? 1 : 0, &failure);
        if (opened == nullptr) {
            error = QString::fromUtf8(TakeText(failure));
        } else {
            std::free(failure); // NOLINT(cppcoreguidelines-no-malloc)
        }
        return opened;
    }

    static std::vector<ServiceVoice> List(SPDConnection* connection) {
        std::vector<ServiceVoice> found;
        char** modules = spd_list_modules(connection);
        if (modules == nullptr) {
            throw SpeechError("speech-dispatcher did not list its output modules");
        }
        std::vector<QByteArray> names;
        for (char** module = modules; *module != nullptr; ++module) {
            names.emplace_back(*module);
        }
        free_spd_modules(modules);
        // The user's default module first: its voices are the ones the user chose for the desktop.
        const QByteArray preferred = TakeText(spd_get_output_module(connection));
        std::stable_partition(names.begin(), names.end(),
                              [&preferred](const QByteArray& module) { return module == preferred; });
        for (const QByteArray& module : names) {
            if (spd_set_output_module(connection, module.constData()) != 0) {
                continue; // a module that failed to load in the service
            }
            // The list is asked and read here rather than by spd_list_synthesis_voices, whose reading of a long
            // reply (espeak-ng's module sends some 13000 lines) takes seconds more than the service does.
            char* reply = nullptr;
            const int failed = spd_execute_command_with_reply(connection, "LIST SYNTHESIS_VOICES", &reply);
            const QByteArray text = TakeText(reply);
            if (failed != 0) {
                continue;
            }
            for (const QByteArray& line : text.split('\n')) {
                // "249-name<TAB>language<TAB>variant"; the last line, "249 OK VOICE LIST SENT", has no dash.
                if (line.size() < 4 || line[3] != '-') {
                    continue;
                }
                const QList<QByteArray> fields = line.mid(4).trimmed().split('\t');
                // espeak-ng's module offers every voice once more with each of its hundred variants ("+Adam");
                // a list of thousands is no choice, so only the plain voices are offered.
                const QByteArray variant = fields.value(2);
                if (fields.value(0).isEmpty() || (!variant.isEmpty() && variant != "none")) {
                    continue;
                }
                ServiceVoice entry;
                entry.module = module;
                entry.name = fields.value(0);
                entry.language = fields.value(1);
                entry.description = QStringLiteral("%1 (%2, %3)")
                                        .arg(QString::fromUtf8(entry.name), QString::fromUtf8(entry.language),
                                             QString::fromUtf8(module));
                found.push_back(std::move(entry));
            }
        }
        // Mandarin voices first, as the settings dialog lists them for the Chinese interface, and espeak-ng's
        // pinyin one before its plain one, which reads some characters (还) by their English spelling.
        const auto rank = [](const ServiceVoice& voice) {
            if (!IsMandarin(voice)) {
                return 2;
            }
            return voice.language.toLower().contains("pinyin") ? 0 : 1;
        };
        std::stable_sort(found.begin(), found.end(),
                         [&rank](const ServiceVoice& a, const ServiceVoice& b) { return rank(a) < rank(b); });
        return found;
    }

    static bool Choose(SPDConnection* connection, const ServiceVoice& voice) {
        return spd_set_output_module(connection, voice.module.constData()) == 0 &&
               spd_set_language(connection, voice.language.constData()) == 0 &&
               spd_set_synthesis_voice(connection, voice.name.constData()) == 0;
    }

    void Publish(SPDConnection* opened) {
        const std::lock_guard lock(mutex);
        connection = opened;
    }

    void Close(SPDConnection*& open) {
        if (open != nullptr) {
            Publish(nullptr);
            spd_close(open);
            open = nullptr;
        }
    }

    // One attempt, and a second on a fresh connection when the first failed: the service may have been
    // restarted since the last exchange, which leaves the old connection dead.
    template <typename Exchange> bool WithConnection(SPDConnection*& open, const Exchange& exchange) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (open == nullptr) {
                QString error;
                open = Open(error);
                if (open == nullptr) {
                    qCWarning(lcSpeech) << "speech-dispatcher cannot be reached:" << error;
                    return false;
                }
                Publish(open);
                std::optional<ServiceVoice> voice;
                {
                    const std::lock_guard lock(mutex);
                    if (chosen) {
                        voice = voices[static_cast<std::size_t>(*chosen)];
                    }
                }
                if (voice && !Choose(open, *voice)) {
                    qCWarning(lcSpeech) << "speech-dispatcher refused the voice" << voice->description;
                }
            }
            if (exchange(open)) {
                return true;
            }
            Close(open);
        }
        return false;
    }

    void Run() {
        // A service that has gone away must not end the program: writes to its socket fail with EPIPE instead.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

        SPDConnection* open = nullptr;
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] {
                return stopping || listState == ListState::Asked || voiceChanged || pending.has_value();
            });
            if (stopping) {
                break;
            }
            busy = true;
            const bool listNow = listState == ListState::Asked;
            const bool chooseNow = std::exchange(voiceChanged, false);
            std::optional<QString> text = std::exchange(pending, std::nullopt);
            lock.unlock();

            if (listNow) {
                RunList();
            }
            if (chooseNow && open != nullptr) {
                // A connection opened from here on chooses the voice itself.
                std::optional<ServiceVoice> voice;
                {
                    const std::lock_guard guard(mutex);
                    voice = voices[static_cast<std::size_t>(*chosen)];
                }
                if (!Choose(open, *voice)) {
                    Close(open);
                }
            }
            if (text) {
                const QByteArray utf8 = text->toUtf8();
                const bool spoken = WithConnection(open, [&utf8](SPDConnection* live) {
                    return spd_cancel(live) == 0 && spd_say(live, SPD_MESSAGE, utf8.constData()) >= 0;
                });
                if (!spoken) {
                    qCWarning(lcSpeech) << "speech-dispatcher did not take the text" << *text;
                }
            }

            lock.lock();
            busy = false;
            changed.notify_all();
        }
        lock.unlock();
        Close(open);
        lock.lock();
        finished = true;
        changed.notify_all();
    }

    // The list is asked on a connection of its own: listing switches the connection's output module.
    void RunList() {
        QString error;
        std::vector<ServiceVoice> found;
        if (SPDConnection* listing = Open(error)) {
            Publish(listing);
            try {
                found = List(listing);
                if (found.empty()) {
                    error = QStringLiteral("speech-dispatcher offers no voice");
                }
            } catch (const SpeechError& failure) {
                error = QString::fromUtf8(failure.what());
            }
            Publish(nullptr);
            spd_close(listing);
        }
        const std::lock_guard lock(mutex);
        if (error.isEmpty()) {
            voices = std::move(found);
            listState = ListState::Listed;
        } else {
            listError = error;
            listState = ListState::Failed;
        }
        changed.notify_all();
    }
};

SpeechDispatcherVoice::SpeechDispatcherVoice(QString socketPath, std::chrono::milliseconds answerTimeout)
    : state_(std::make_shared<State>()) {
    state_->socketPath = socketPath.toLocal8Bit();
    state_->answerTimeout = answerTimeout;
    thread_ = std::thread([state = state_] { state->Run(); });
}

SpeechDispatcherVoice::~SpeechDispatcherVoice() {
    std::unique_lock lock(state_->mutex);
    state_->stopping = true;
    state_->wake.notify_all();
    if (state_->connection != nullptr) {
        // Unblocks an exchange that waits on a hung service; the thread then closes the connection itself.
        ::shutdown(state_->connection->socket, SHUT_RDWR);
    }
    if (!state_->changed.wait_for(lock, ShutdownWait, [this] { return state_->finished; })) {
        qCWarning(lcSpeech) << "speech-dispatcher does not answer; its connection is left behind";
        thread_.detach();
        return;
    }
    lock.unlock();
    // The thread has only its own teardown left (Qt's record of a thread that logged among it): waited for, so it
    // never runs while the program exits.
    thread_.join();
}

void SpeechDispatcherVoice::AskForVoices() {
    const std::lock_guard lock(state_->mutex);
    if (state_->listState == ListState::NotAsked) {
        state_->listState = ListState::Asked;
        state_->wake.notify_all();
    }
}

QStringList SpeechDispatcherVoice::GetVoices() {
    std::unique_lock lock(state_->mutex);
    if (state_->listState == ListState::NotAsked || state_->listState == ListState::Failed) {
        state_->listState = ListState::Asked;
        state_->listTimedOut = false;
        state_->wake.notify_all();
    }
    if (state_->listState == ListState::Asked && !state_->listTimedOut) {
        if (!state_->changed.wait_for(lock, state_->answerTimeout,
                                      [this] { return state_->listState != ListState::Asked; })) {
            state_->listTimedOut = true;
        }
    }
    switch (state_->listState) {
    case ListState::Listed:
        break;
    case ListState::Failed:
        throw SpeechError(state_->listError.toStdString());
    case ListState::NotAsked:
    case ListState::Asked:
        throw SpeechError("speech-dispatcher does not answer");
    }
    QStringList descriptions;
    for (const ServiceVoice& voice : state_->voices) {
        descriptions.append(voice.description);
    }
    return descriptions;
}

int SpeechDispatcherVoice::VoiceFor(UiLanguage language) {
    const std::lock_guard lock(state_->mutex);
    if (state_->listState == ListState::NotAsked) {
        state_->listState = ListState::Asked;
        state_->wake.notify_all();
    }
    if (state_->listState != ListState::Listed) {
        return -1;
    }
    const std::vector<ServiceVoice>& voices = state_->voices;
    const auto position = [&voices](std::vector<ServiceVoice>::const_iterator it) {
        return it == voices.end() ? -1 : static_cast<int>(it - voices.begin());
    };
    if (language == UiLanguage::Chinese) {
        return position(std::find_if(voices.begin(), voices.end(), IsMandarin)); // the list's best comes first
    }
    const auto english = std::find_if(voices.begin(), voices.end(), IsEnglish);
    if (english == voices.end()) {
        return -1;
    }
    const auto american = std::find_if(english, voices.end(), [&english](const ServiceVoice& voice) {
        return voice.module == english->module && IsAmerican(voice);
    });
    return position(american != voices.end() ? american : english);
}

void SpeechDispatcherVoice::SetVoice(int index) {
    const std::lock_guard lock(state_->mutex);
    if (state_->listState != ListState::Listed || index < 0 ||
        static_cast<std::size_t>(index) >= state_->voices.size()) {
        throw SpeechError(QStringLiteral("speech-dispatcher has no voice number %1").arg(index).toStdString());
    }
    state_->chosen = index;
    state_->voiceChanged = true;
    state_->wake.notify_all();
}

void SpeechDispatcherVoice::Speak(const QString& text) {
    const std::lock_guard lock(state_->mutex);
    state_->pending = text; // a text not yet handed over is replaced, as the service would cut it off anyway
    state_->wake.notify_all();
}

bool SpeechDispatcherVoice::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [this] {
        return !state_->busy && !state_->pending && !state_->voiceChanged && state_->listState != ListState::Asked;
    });
}

} // namespace horavia
