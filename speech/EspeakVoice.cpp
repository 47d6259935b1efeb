#include "speech/EspeakVoice.h"

#include "speech/EspeakVoiceInfo.h"
#include "speech/ReadingRules.h"
#include "speech/ScriptRun.h"
#include "speech/SpeechAudioSink.h"
#include "speech/SpeechLog.h"

#include <QFile>

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace horavia {
namespace {

// espeak-ng hands over audio in pieces of about this length; the smaller, the sooner a cut-off takes effect.
constexpr int KChunkMilliseconds = 20;

// espeak-ng keeps one engine per process. It is started once and kept to the end of the process:
// espeak_ng_Terminate in 1.51 can deadlock against espeak-ng's own queue thread once the engine has been
// started a second time, which would hang the window that drops its voice.
struct Engine {
    std::mutex mutex;
    bool taken = false;       // a connected voice holds the engine
    bool initialised = false; // espeak_ng_Initialize succeeded
    QString dataPath;         // the data folder it was started with
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

QString StatusText(espeak_ng_STATUS status) {
    char buffer[256] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return QString::fromLocal8Bit(buffer);
}

// The first language tag of an espeak-ng voice: its languages field is a list of (priority byte, text, NUL),
// ended by a zero priority.
QString FirstLanguage(const espeak_VOICE& voice) {
    if (voice.languages == nullptr || voice.languages[0] == 0) {
        return {};
    }
    return QString::fromUtf8(voice.languages + 1).toLower();
}

struct Request {
    QString text;
    int voice = 0; // index into the ordered voice list
};

} // namespace

struct EspeakVoice::Impl {
    std::unique_ptr<SpeechAudioSink> sink;
    QString dataPath;

    // Connection; touched by the caller's thread only, except that the worker fills these in before the
    // caller learns the connection succeeded.
    bool connected = false;
    std::thread worker;
    std::vector<EspeakVoiceInfo> voices;
    int mandarin = -1;
    int english = -1;
    int sampleRate = 0;
    int chosen = 0;

    // Hand-over from the caller to the worker.
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<Request> pending;
    bool busy = false;
    std::atomic<bool> stopping = false;
    // Bumped by every request; a synthesis whose number is no longer current aborts at its next piece of audio.
    std::atomic<std::uint64_t> generation = 0;

    // Worker state. espeakMutex keeps Phonemes() from using espeak-ng while the worker synthesises.
    std::mutex espeakMutex;
    QByteArray loadedVoice;
    std::uint64_t speakingGeneration = 0;
    bool sinkOpen = false;

    void Connect();
    void Disconnect();
    QString StartEngine();
    void Run();
    void Synthesise(const Request& request, std::uint64_t number);
    bool LoadVoice(int index);
    int VoiceFor(const ScriptRun& run, int chosenVoice) const;
    [[noreturn]] void Fail(const QString& message) const;

    // espeak-ng calls this on the worker thread from inside espeak_ng_Synthesize (synchronous mode).
    static int OnSynthesised(short* samples, int count, espeak_EVENT* events);
    static thread_local Impl* speaking;
};

thread_local EspeakVoice::Impl* EspeakVoice::Impl::speaking = nullptr;

void EspeakVoice::Impl::Fail(const QString& message) const {
    qCWarning(lcSpeech).noquote() << message;
    throw SpeechError(message.toStdString());
}

void EspeakVoice::Impl::Connect() {
    if (connected) {
        return;
    }
    Engine& engine = TheEngine();
    {
        const std::lock_guard lock(engine.mutex);
        if (engine.taken) {
            Fail(QStringLiteral("espeak-ng is already in use by another voice of this program"));
        }
        engine.taken = true;
    }
    std::promise<QString> started;
    std::future<QString> result = started.get_future();
    stopping = false;
    worker = std::thread([this, started = std::move(started)]() mutable {
        const QString error = StartEngine();
        started.set_value(error);
        if (error.isEmpty()) {
            Run();
            sink->Close();
        }
    });
    const QString error = result.get();
    if (!error.isEmpty()) {
        worker.join();
        {
            const std::lock_guard lock(engine.mutex);
            engine.taken = false;
        }
        Fail(QStringLiteral("espeak-ng cannot start: %1").arg(error));
    }
    connected = true;
}

void EspeakVoice::Impl::Disconnect() {
    if (!connected) {
        return;
    }
    {
        const std::lock_guard lock(mutex);
        stopping = true;
        ++generation;
    }
    wake.notify_all();
    worker.join();
    connected = false;
    Engine& engine = TheEngine();
    const std::lock_guard lock(engine.mutex);
    engine.taken = false;
}

// Runs on the worker; an empty result means the engine is ready.
QString EspeakVoice::Impl::StartEngine() {
    Engine& engine = TheEngine();
    {
        const std::lock_guard lock(engine.mutex);
        if (engine.initialised && engine.dataPath != dataPath) {
            return QStringLiteral("espeak-ng already runs with the data in \"%1\"").arg(engine.dataPath);
        }
    }
    if (!engine.initialised) {
        const QByteArray path = QFile::encodeName(dataPath);
        espeak_ng_InitializePath(path.isEmpty() ? nullptr : path.constData());
        espeak_ng_ERROR_CONTEXT context = nullptr;
        const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
        espeak_ng_ClearErrorContext(&context);
        if (status != ENS_OK) {
            return StatusText(status);
        }
        const std::lock_guard lock(engine.mutex);
        engine.initialised = true;
        engine.dataPath = dataPath;
    }
    // Synchronous mode: espeak-ng plays nothing itself and hands every piece of audio to our callback on this
    // thread, so this thread decides when a synthesis stops and where its samples go.
    const espeak_ng_STATUS status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, KChunkMilliseconds, nullptr);
    if (status != ENS_OK) {
        return StatusText(status);
    }
    espeak_SetSynthCallback(OnSynthesised);
    sampleRate = espeak_ng_GetSampleRate();

    std::vector<EspeakVoiceInfo> found;
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    for (int i = 0; list != nullptr && list[i] != nullptr; ++i) {
        const espeak_VOICE& voice = *list[i];
        if (voice.identifier == nullptr || voice.name == nullptr) {
            continue;
        }
        found.push_back(EspeakVoiceInfo{voice.identifier, QString::fromUtf8(voice.name), FirstLanguage(voice), {}});
    }
    voices = OrderEspeakVoices(std::move(found));
    mandarin = FindMandarinVoice(voices);
    english = FindEnglishVoice(voices);
    return {};
}

void EspeakVoice::Impl::Run() {
    for (;;) {
        Request request;
        std::uint64_t number = 0;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || pending.has_value(); });
            if (stopping) {
                return;
            }
            request = std::move(*pending);
            pending.reset();
            number = generation;
            busy = true;
        }
        // Whatever the sound server still holds belongs to an announcement that has just been replaced.
        sink->Clear();
        sinkOpen = sink->Open(sampleRate);
        Synthesise(request, number);
        {
            const std::lock_guard lock(mutex);
            busy = false;
        }
        idle.notify_all();
    }
}

int EspeakVoice::Impl::VoiceFor(const ScriptRun& run, int chosenVoice) const {
    const bool chosenReadsHan = voices[static_cast<std::size_t>(chosenVoice)].ReadsHan();
    if (run.script == ScriptRun::Script::Han && !chosenReadsHan && mandarin >= 0) {
        return mandarin;
    }
    // Mandarin voices read Latin letters as pinyin, so "PM" would come out as a Chinese syllable.
    if (run.script == ScriptRun::Script::Other && chosenReadsHan && english >= 0) {
        return english;
    }
    return chosenVoice;
}

bool EspeakVoice::Impl::LoadVoice(int index) {
    const QByteArray& identifier = voices[static_cast<std::size_t>(index)].identifier;
    if (identifier == loadedVoice) {
        return true;
    }
    const espeak_ng_STATUS status = espeak_ng_SetVoiceByName(identifier.constData());
    if (status != ENS_OK) {
        loadedVoice.clear();
        qCWarning(lcSpeech).noquote() << QStringLiteral("espeak-ng cannot load the voice %1: %2")
                                             .arg(QString::fromUtf8(identifier), StatusText(status));
        return false;
    }
    loadedVoice = identifier;
    return true;
}

void EspeakVoice::Impl::Synthesise(const Request& request, std::uint64_t number) {
    const std::lock_guard lock(espeakMutex);
    speakingGeneration = number;
    speaking = this;
    for (const ScriptRun& run : SplitScriptRuns(request.text)) {
        if (generation != number) {
            break;
        }
        const int voice = VoiceFor(run, request.voice);
        if (!LoadVoice(voice)) {
            continue;
        }
        const QByteArray utf8 = ReadingOf(run.text, voices[static_cast<std::size_t>(voice)].language).toUtf8();
        const espeak_ng_STATUS status =
            espeak_ng_Synthesize(utf8.constData(), static_cast<std::size_t>(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                                 espeakCHARS_UTF8, nullptr, nullptr);
        if (status != ENS_OK && status != ENS_SPEECH_STOPPED) {
            qCWarning(lcSpeech).noquote() << QStringLiteral("espeak-ng failed to speak: %1").arg(StatusText(status));
        }
    }
    speaking = nullptr;
}

int EspeakVoice::Impl::OnSynthesised(short* samples, int count, espeak_EVENT* /*events*/) {
    Impl* d = speaking;
    if (d == nullptr) {
        return 1;
    }
    // Returning 1 stops espeak-ng within this piece; espeak_Cancel would let the synthesis run on much longer.
    if (d->stopping || d->generation != d->speakingGeneration) {
        return 1;
    }
    if (d->sinkOpen && samples != nullptr && count > 0) {
        d->sink->Write(reinterpret_cast<const std::int16_t*>(samples), static_cast<std::size_t>(count));
    }
    return 0;
}

EspeakVoice::EspeakVoice(std::unique_ptr<SpeechAudioSink> sink, QString dataPath) : d(std::make_unique<Impl>()) {
    d->sink = std::move(sink);
    d->dataPath = std::move(dataPath);
}

EspeakVoice::~EspeakVoice() {
    d->Disconnect();
}

QStringList EspeakVoice::GetVoices() {
    d->Connect();
    QStringList descriptions;
    descriptions.reserve(static_cast<qsizetype>(d->voices.size()));
    for (const EspeakVoiceInfo& voice : d->voices) {
        descriptions.append(voice.description);
    }
    return descriptions;
}

void EspeakVoice::SetVoice(int index) {
    d->Connect();
    if (index < 0 || static_cast<std::size_t>(index) >= d->voices.size()) {
        d->Fail(QStringLiteral("there is no speech voice number %1 (%2 installed)").arg(index).arg(d->voices.size()));
    }
    d->chosen = index;
}

void EspeakVoice::Speak(const QString& text) {
    d->Connect();
    if (d->voices.empty()) {
        d->Fail(QStringLiteral("no espeak-ng voice is installed"));
    }
    {
        const std::lock_guard lock(d->mutex);
        d->pending = Request{text, d->chosen};
        ++d->generation;
    }
    d->wake.notify_one();
}

int EspeakVoice::VoiceFor(UiLanguage language) {
    d->Connect();
    return language == UiLanguage::English ? d->english : d->mandarin;
}

QString EspeakVoice::Phonemes(const QString& text) {
    d->Connect();
    if (d->voices.empty()) {
        d->Fail(QStringLiteral("no espeak-ng voice is installed"));
    }
    const std::lock_guard lock(d->espeakMutex);
    QStringList parts;
    for (const ScriptRun& run : SplitScriptRuns(text)) {
        const int voice = d->VoiceFor(run, d->chosen);
        if (!d->LoadVoice(voice)) {
            d->Fail(QStringLiteral("espeak-ng cannot load a voice"));
        }
        QString part;
        if (voice != d->chosen) {
            part = QStringLiteral("[%1] ").arg(d->voices[static_cast<std::size_t>(voice)].language);
        }
        const QByteArray utf8 = ReadingOf(run.text, d->voices[static_cast<std::size_t>(voice)].language).toUtf8();
        const void* position = utf8.constData();
        while (position != nullptr) {
            const char* phonemes = espeak_TextToPhonemes(&position, espeakCHARS_UTF8, 0);
            if (phonemes != nullptr) {
                part += QString::fromUtf8(phonemes);
            }
        }
        parts.append(part.trimmed());
    }
    return parts.join(QStringLiteral(" | "));
}

bool EspeakVoice::WaitUntilIdle(std::chrono::milliseconds timeout) {
    if (!d->connected) {
        return true;
    }
    std::unique_lock lock(d->mutex);
    return d->idle.wait_for(lock, timeout, [this] { return !d->pending.has_value() && !d->busy; });
}

} // namespace horavia
