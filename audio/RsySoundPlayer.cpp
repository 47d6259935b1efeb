#include "audio/RsySoundPlayer.h"

#include "audio/AudioLog.h"
#include "audio/FadeTimer.h"
#include "audio/MasterMixer.h"
#include "audio/ModuleLoader.h"
#include "audio/QtFadeTimer.h"
#include "audio/TMyAudioMixer.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <optional>
#include <thread>

namespace horavia {

std::atomic<TRsySoundPlayer*> SoundPlayer{nullptr};

namespace {

Q_LOGGING_CATEGORY(lcPlayer, "horavia.audio.player", QtWarningMsg)

using bass::DWORD;
using bass::QWORD;

constexpr DWORD OpenFlags = bass::BASS_UNICODE | bass::BASS_STREAM_PRESCAN;
constexpr DWORD EndSyncType = bass::BASS_SYNC_ONETIME | bass::BASS_SYNC_END;
constexpr DWORD FirstMarkType = bass::BASS_SYNC_MIXTIME | bass::BASS_SYNC_POS;
constexpr DWORD NextMarkType = bass::BASS_SYNC_ONETIME | bass::BASS_SYNC_POS;
// bounds of the walk over an ICY header list
constexpr std::size_t MaxIcyEntries = 256;
constexpr std::size_t MaxIcyBytes = 64 * 1024;

template <typename T> void ResolveInto(ModuleLoader& loader, void* module, const char* name, T& slot) {
    slot = reinterpret_cast<T>(loader.Resolve(module, name));
}

// Rounds to the nearest integer, halves to even.
double RoundEven(double v) {
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

// The library's 64-bit lengths read as signed; "unknown" (all ones) and other negatives become 0.
std::int64_t SignedLength(QWORD len) {
    const auto v = static_cast<std::int64_t>(len);
    return v < 0 ? 0 : v;
}

bool IsHttp(const QString& text) {
    return text.toLower().startsWith(QStringLiteral("http://"));
}

// Why the library gave no stream, in words for the log.
const char* Reason(int error) {
    switch (error) {
    case bass::BASS_ERROR_FILEOPEN:
        return "the file is missing, unreadable or not a regular file";
    case bass::BASS_ERROR_FILEFORM:
        return "not a sound of its kind";
    case bass::BASS_ERROR_CODEC:
        return "no decoder for it";
    case bass::BASS_ERROR_TIMEOUT:
        return "the server did not answer in time";
    case bass::BASS_ERROR_NONET:
        return "the server cannot be reached";
    case bass::BASS_ERROR_INIT:
        return "no sound output";
    case bass::BASS_ERROR_ILLPARAM:
        return "not an address that can be played";
    case bass::BASS_ERROR_NOTAVAIL:
        return "the module for its format is missing";
    default:
        return "the audio library refused it";
    }
}

bool IsHttp(const std::string& text) {
    static constexpr char Scheme[] = "http://";
    if (text.size() < 7) {
        return false;
    }
    for (std::size_t i = 0; i < 7; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != Scheme[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

// What the worker opens: a local file, or a stream when url is set.
struct TRsySoundPlayer::Source {
    std::uint64_t generation = 0;
    QString fileName;
    std::string url;

    QString Text() const { return url.empty() ? fileName : QString::fromStdString(url); }
};

// The worker thread and what it shares with the caller's thread, under its lock. The thread holds this
// too, so that a thread stuck in a blocking call can be left behind when the player goes: on waking it
// finds `abandoned` and leaves without touching the player.
struct TRsySoundPlayer::Worker {
    enum class Opened {
        None,    // nothing to start: no source, or its open failed
        Pending, // the open of the current source is queued or running
        Fresh,   // the current source is open and has not been started
        Used,    // the current source has been started (or stopped): a new start opens it again
    };

    std::mutex m;
    std::condition_variable wake; // work for the thread, or quit
    std::condition_variable idle; // the thread left a job or entered a blocking call
    std::thread thread;
    bool inlineJobs = false;
    bool quit = false;
    bool busy = false;
    bool blocking = false;
    bool abandoned = false;
    std::optional<Source> open; // the next source to open
    std::uint64_t generation = 0;
    Opened opened = Opened::None;
    bool startWanted = false;
    bass::BASS_StreamFree_t streamFree = nullptr; // what a left-behind thread frees its stream with

    bool HasWork() const { return open.has_value() || (startWanted && opened == Opened::Fresh); }
};

namespace {

// Runs a call that may wait on the sound source with the worker's lock released. False when the player
// was destroyed meanwhile: the caller must then leave without touching it.
template <typename Call> bool Blocking(auto& w, std::unique_lock<std::mutex>& lock, Call&& call) {
    w.blocking = true;
    w.idle.notify_all();
    lock.unlock();
    call();
    lock.lock();
    w.blocking = false;
    return !w.abandoned;
}

} // namespace

TRsySoundPlayer::TRsySoundPlayer(void* windowHandle) : TRsySoundPlayer(windowHandle, Dependencies{}) {}

TRsySoundPlayer::TRsySoundPlayer(void* windowHandle, Dependencies deps)
    : loader_(deps.loader ? *deps.loader : ModuleLoader::System()), deps_(std::move(deps)), modules_(loader_),
      worker_(std::make_shared<Worker>()) {
    worker_->inlineJobs = deps_.openOnCallerThread;
    RouteAlsaLog();
    lib_ = modules_.Load(CoreModule) ? modules_.Handle(CoreModule) : nullptr;
    if (!lib_) {
        return; // inert: every operation that needs the library does nothing
    }
    if (auto setLog = reinterpret_cast<void (*)(void (*)(int, const char*))>(
            loader_.Resolve(lib_, "HoraviaAudio_SetLogHandler"))) {
        setLog(&TRsySoundPlayer::LibraryLog);
    }
    ResolveInto(loader_, lib_, "BASS_Init", api_.BASS_Init);
    ResolveInto(loader_, lib_, "BASS_Free", api_.BASS_Free);
    ResolveInto(loader_, lib_, "BASS_GetVolume", api_.BASS_GetVolume);
    ResolveInto(loader_, lib_, "BASS_SetVolume", api_.BASS_SetVolume);
    ResolveInto(loader_, lib_, "BASS_ErrorGetCode", api_.BASS_ErrorGetCode);
    ResolveInto(loader_, lib_, "BASS_StreamCreateURL", api_.BASS_StreamCreateURL);
    ResolveInto(loader_, lib_, "BASS_StreamFree", api_.BASS_StreamFree);
    ResolveInto(loader_, lib_, "BASS_StreamGetTags", api_.BASS_StreamGetTags);
    ResolveInto(loader_, lib_, "BASS_ChannelSetSync", api_.BASS_ChannelSetSync);
    ResolveInto(loader_, lib_, "BASS_ChannelRemoveSync", api_.BASS_ChannelRemoveSync);
    ResolveInto(loader_, lib_, "BASS_ChannelGetLength", api_.BASS_ChannelGetLength);
    ResolveInto(loader_, lib_, "BASS_ChannelGetPosition", api_.BASS_ChannelGetPosition);
    ResolveInto(loader_, lib_, "BASS_ChannelBytes2Seconds", api_.BASS_ChannelBytes2Seconds);
    ResolveInto(loader_, lib_, "BASS_ChannelGetInfo", api_.BASS_ChannelGetInfo);
    ResolveInto(loader_, lib_, "BASS_ChannelPlay", api_.BASS_ChannelPlay);
    ResolveInto(loader_, lib_, "BASS_ChannelStop", api_.BASS_ChannelStop);
    worker_->streamFree = api_.BASS_StreamFree;

    if (!api_.BASS_Init || !api_.BASS_Init(1, 44100, 0, windowHandle, nullptr)) {
        // later opens are refused by the uninitialised library
        qCWarning(lcPlayer) << "Unable to initialize sound playback subsystem.";
        return;
    }
    mixer_ = deps_.makeMixer ? deps_.makeMixer() : std::make_unique<TMyAudioMixer>();
    int left = 0;
    int right = 0;
    bool mute = false;
    if (mixer_ && mixer_->ReadMaster(left, right, mute)) {
        savedMasterVolume_ = std::clamp(std::max(left, right), 0, 65535);
        savedMasterMute_ = mute ? 1 : 0;
    } else {
        savedMasterVolume_ = 65535;
    }
    savedOutputVolume_ = GetVolume();
    state_ = psStopped;
}

TRsySoundPlayer::~TRsySoundPlayer() {
    {
        Worker& w = *worker_;
        Lock lock(w.m);
        w.quit = true;
        w.open.reset();
        w.startWanted = false;
        w.wake.notify_all();
        if (w.thread.joinable()) {
            // A job that only talks to the library ends soon; one waiting on a source may never end.
            w.idle.wait(lock, [&] { return !w.busy || w.blocking; });
            workerAbandoned_ = w.busy;
            w.abandoned = workerAbandoned_;
        }
    }
    if (worker_->thread.joinable()) {
        if (workerAbandoned_) {
            qCWarning(lcPlayer) << "A sound source still holds the player's worker; it is left behind";
            worker_->thread.detach();
        } else {
            worker_->thread.join();
        }
    }
    const TPlayerState s = state_.load();
    if (s == psReady || s == psPlaying) {
        Stop();
    }
    fadeTimer_.reset(); // no tick reaches the player once it is gone
    fading_ = false;
    if (mixer_) {
        mixer_->WriteMaster(savedMasterVolume_, savedMasterVolume_, savedMasterMute_ != 0);
        mixer_.reset();
    }
    SetVolume(savedOutputVolume_);
    if (lib_ && api_.BASS_Free) {
        api_.BASS_Free(); // waits for the library's threads: none of our routines runs after this
    }
    // the worker left behind is inside (or will call) the modules: they stay loaded; else they go with modules_
    if (workerAbandoned_) {
        modules_.KeepLoaded();
    }
}

DWORD TRsySoundPlayer::GetVolume() const {
    if (!lib_ || !api_.BASS_GetVolume) {
        return 0;
    }
    return std::min<DWORD>(api_.BASS_GetVolume(), 100);
}

void TRsySoundPlayer::SetVolume(DWORD volume) {
    if (lib_ && api_.BASS_SetVolume) {
        api_.BASS_SetVolume(std::min<DWORD>(volume, 100));
    }
}

bass::BASS_CHANNELINFO TRsySoundPlayer::ChannelInfo() const {
    std::lock_guard lock(worker_->m);
    return channelInfo_;
}

TBroadcastInfo TRsySoundPlayer::BroadcastInfo() const {
    std::lock_guard lock(worker_->m);
    return broadcastInfo_;
}

void TRsySoundPlayer::SetFileName(const QString& name) {
    if (IsHttp(name)) {
        SetURL(name.toStdString());
        return;
    }
    fileName_ = name;
    url_.clear(); // a local file replaces an earlier stream address as the source
    if (!lib_) {
        return;
    }
    Source source;
    source.fileName = name;
    Request(KnownFormat(name) ? &source : nullptr);
}

void TRsySoundPlayer::SetURL(const std::string& url) {
    url_ = url;
    if (!lib_) {
        return;
    }
    Source source;
    source.url = url;
    Request(IsHttp(url) ? &source : nullptr);
}

// Makes the given source the current one and has it opened; null leaves no source to open or start.
void TRsySoundPlayer::Request(const Source* source) {
    Worker& w = *worker_;
    Lock lock(w.m);
    ++w.generation;
    w.startWanted = false;
    if (source) {
        w.open = *source;
        w.open->generation = w.generation;
        w.opened = Worker::Opened::Pending;
    } else {
        w.open.reset();
        w.opened = Worker::Opened::None;
    }
    Kick(lock);
}

bool TRsySoundPlayer::CurrentSource(Source& source) const {
    if (IsHttp(url_)) {
        source.url = url_;
        return true;
    }
    source.fileName = fileName_;
    return KnownFormat(fileName_);
}

void TRsySoundPlayer::Kick(Lock& lock) {
    Worker& w = *worker_;
    if (w.inlineJobs) {
        w.busy = true;
        while (w.HasWork() && Step(w, lock)) {
        }
        w.busy = false;
        return;
    }
    if (!w.thread.joinable()) {
        w.thread = std::thread(&TRsySoundPlayer::WorkerMain, worker_, this);
    }
    w.wake.notify_all();
}

void TRsySoundPlayer::WorkerMain(std::shared_ptr<Worker> worker, TRsySoundPlayer* self) {
    Worker& w = *worker;
    Lock lock(w.m);
    for (;;) {
        w.wake.wait(lock, [&] { return w.quit || w.HasWork(); });
        if (w.quit) {
            return;
        }
        w.busy = true;
        if (!self->Step(w, lock)) {
            return; // the player is gone
        }
        w.busy = false;
        w.idle.notify_all();
    }
}

// One piece of work, with the worker's lock held: the pending open, else the wanted start. False when the
// player was destroyed during a blocking call.
bool TRsySoundPlayer::Step(Worker& w, Lock& lock) {
    if (w.open) {
        const Source source = std::move(*w.open);
        w.open.reset();
        return OpenSource(w, lock, source);
    }
    if (w.startWanted && w.opened == Worker::Opened::Fresh) {
        StartChannel(w, lock);
    }
    return true;
}

bool TRsySoundPlayer::OpenSource(Worker& w, Lock& lock, const Source& source) {
    // The sound that was open goes first, as at every open: stopped, its notifications removed, freed.
    if (const DWORD old = channel_.exchange(0); old != 0) {
        progressSync_ = 0;
        const DWORD end = endSync_.exchange(0);
        if (api_.BASS_ChannelStop) {
            api_.BASS_ChannelStop(old);
        }
        if (end != 0 && api_.BASS_ChannelRemoveSync) {
            api_.BASS_ChannelRemoveSync(old, end);
        }
        // freeing waits for the stream's decoding thread, which may be reading from the source
        const auto streamFree = api_.BASS_StreamFree;
        if (!Blocking(w, lock, [streamFree, old] {
                if (streamFree) {
                    streamFree(old);
                }
            })) {
            return false;
        }
    }
    if (source.generation != w.generation) {
        return true; // another source was chosen meanwhile
    }
    DWORD handle = 0;
    int error = bass::BASS_OK;
    const bool alive = source.url.empty() ? CreateFromFile(w, lock, source, handle, error)
                                          : CreateFromUrl(w, lock, source, handle, error);
    if (!alive) {
        // the player is gone: only what the worker holds itself may be used, and without the lock, which
        // the player's last steps still take
        const auto streamFree = w.streamFree;
        lock.unlock();
        if (handle != 0 && streamFree) {
            streamFree(handle);
        }
        return false;
    }
    if (source.generation != w.generation) {
        // not wanted any more
        if (handle != 0) {
            const auto streamFree = api_.BASS_StreamFree;
            if (!Blocking(w, lock, [streamFree, handle] {
                    if (streamFree) {
                        streamFree(handle);
                    }
                })) {
                return false;
            }
        }
        return true;
    }
    if (handle == 0) {
        qCWarning(lcPlayer).noquote() << "Unable to play" << source.Text() << "-" << Reason(error);
        w.opened = Worker::Opened::None;
        // a stream that could not be connected is not "ready", and nothing plays
        state_ = psStopped;
        if (w.startWanted) {
            w.startWanted = false;
            RaisePlayEnd(lock);
        }
        return true;
    }
    Install(w, lock, source, handle);
    return true;
}

// Creates the stream of a local file through the rows of its extension, loading the modules they need.
// Returns false when the player was destroyed meanwhile (handle then holds what must be freed).
bool TRsySoundPlayer::CreateFromFile(Worker& w, Lock& lock, const Source& source, DWORD& handle, int& error) {
    const QString extension = ExtensionOf(source.fileName);
    const std::u16string wide(reinterpret_cast<const char16_t*>(source.fileName.utf16()),
                              static_cast<std::size_t>(source.fileName.size()));
    const QString name = source.fileName;
    const auto errorCode = api_.BASS_ErrorGetCode;
    error = bass::BASS_ERROR_FILEFORM;
    // In table order: a module that cannot be loaded ends the open, and so does a missing file; a file that
    // one call refuses goes on to the next row of its extension.
    bool known = false;
    for (const TAudioFormat& format : AudioFormats) {
        if (!Plays(format, extension)) {
            continue;
        }
        known = true;
        if (!modules_.Load(format.module)) {
            qCWarning(lcPlayer) << "Unable to load library" << ModuleFile(format.module).c_str();
            error = bass::BASS_ERROR_NOTAVAIL; // tried again at the next open of this format
            return true;
        }
        const auto create = modules_.Call(format);
        // Looking for the file may wait as long as the open: a hung network mount holds both.
        if (!Blocking(w, lock, [&handle, &error, &name, &wide, errorCode, create] {
                if (!QFileInfo::exists(name)) {
                    error = bass::BASS_ERROR_FILEOPEN;
                    return;
                }
                handle = create ? create(0, wide.c_str(), 0, 0, OpenFlags) : 0;
                error = handle == 0 && errorCode ? errorCode() : bass::BASS_OK;
            })) {
            return false;
        }
        if (handle != 0 || error == bass::BASS_ERROR_FILEOPEN) {
            return true;
        }
    }
    if (!known) {
        qCWarning(lcPlayer).noquote() << "Not a sound file the player knows (by its extension):" << name;
    }
    return true;
}

bool TRsySoundPlayer::CreateFromUrl(Worker& w, Lock& lock, const Source& source, DWORD& handle, int& error) {
    const auto createUrl = api_.BASS_StreamCreateURL;
    const auto errorCode = api_.BASS_ErrorGetCode;
    Worker* user = &w;
    return Blocking(w, lock, [&handle, &error, &source, createUrl, errorCode, user] {
        handle = createUrl ? createUrl(source.url.c_str(), 0, bass::BASS_STREAM_STATUS,
                                       &TRsySoundPlayer::DownloadRoutine, user)
                           : 0;
        error = handle == 0 && errorCode ? errorCode() : bass::BASS_OK;
    });
}

// Takes a new stream as the current sound: notifications, length, information, and for a network stream
// its station data and first metadata.
void TRsySoundPlayer::Install(Worker& w, Lock& lock, const Source& source, DWORD handle) {
    channel_ = handle;
    const bool stream = !source.url.empty();
    const char* meta = nullptr;
    broadcastInfo_ = {};
    if (stream) {
        if (api_.BASS_StreamGetTags) {
            broadcastInfo_ = ParseBroadcastInfo(api_.BASS_StreamGetTags(handle, bass::BASS_TAG_ICY));
            meta = api_.BASS_StreamGetTags(handle, bass::BASS_TAG_META);
        }
        if (api_.BASS_ChannelSetSync) {
            api_.BASS_ChannelSetSync(handle, bass::BASS_SYNC_META, 0, &TRsySoundPlayer::MetaRoutine, nullptr);
        }
    }
    ArmNotifications();
    double ms = -1.0;
    if (!stream && api_.BASS_ChannelGetLength && api_.BASS_ChannelBytes2Seconds) {
        const QWORD len = api_.BASS_ChannelGetLength(handle, bass::BASS_POS_BYTE);
        if (len != bass::BASS_LENGTH_UNKNOWN) {
            ms = RoundEven(api_.BASS_ChannelBytes2Seconds(handle, len) * 1000.0);
        }
    }
    // a length beyond the 32-bit millisecond range is capped, not wrapped
    lengthMs_ = ms < 0 || !std::isfinite(ms)
                    ? 0
                    : static_cast<std::int32_t>(std::min(ms, double(std::numeric_limits<std::int32_t>::max())));
    channelInfo_ = {};
    if (api_.BASS_ChannelGetInfo) {
        api_.BASS_ChannelGetInfo(handle, &channelInfo_);
    }
    w.opened = Worker::Opened::Fresh;
    if (!w.startWanted) {
        state_ = stream ? psReady : psStopped;
    }
    if (stream && OnMetaData) {
        const MetaDataEvent onMeta = OnMetaData;
        lock.unlock();
        onMeta(meta);
        lock.lock();
    }
}

void TRsySoundPlayer::StartChannel(Worker& w, Lock& lock) {
    const std::uint64_t generation = w.generation;
    lock.unlock();
    ClearMasterMute();
    lock.lock();
    // a Stop or another source may have come in while the mute was cleared
    if (!w.startWanted || w.opened != Worker::Opened::Fresh || w.generation != generation) {
        return;
    }
    w.startWanted = false;
    w.opened = Worker::Opened::Used;
    const DWORD ch = channel_.load();
    if (api_.BASS_ChannelPlay && api_.BASS_ChannelPlay(ch, 0)) {
        state_ = psPlaying;
        return;
    }
    qCWarning(lcPlayer) << "The audio library did not start the sound";
    state_ = psStopped;
    RaisePlayEnd(lock);
}

void TRsySoundPlayer::RaisePlayEnd(Lock& lock) {
    const PlayEndEvent onEnd = OnPlayEnd;
    if (!onEnd) {
        return;
    }
    lock.unlock();
    onEnd(false);
    lock.lock();
}

void TRsySoundPlayer::ArmNotifications() {
    const DWORD ch = channel_.load();
    if (!api_.BASS_ChannelSetSync) {
        return;
    }
    endSync_ = api_.BASS_ChannelSetSync(ch, EndSyncType, 0, &TRsySoundPlayer::EndRoutine, nullptr);
    const std::int64_t len = api_.BASS_ChannelGetLength ? SignedLength(api_.BASS_ChannelGetLength(ch, 0)) : 0;
    const auto first = static_cast<QWORD>(RoundEven(static_cast<double>(len) / 100.0));
    progressSync_ = api_.BASS_ChannelSetSync(ch, FirstMarkType, first, &TRsySoundPlayer::ProgressRoutine, nullptr);
}

void TRsySoundPlayer::ClearMasterMute() {
    try {
        if (mixer_) {
            mixer_->SetMasterMute(false);
        }
    } catch (...) {
        // an alarm that stays muted is better than one that takes the program down
    }
}

bool TRsySoundPlayer::Play() {
    if (!lib_) {
        return false;
    }
    Source source;
    if (!CurrentSource(source)) {
        return false;
    }
    Worker& w = *worker_;
    Lock lock(w.m);
    // the source is opened once: a start right after SetFileName waits for that open instead of repeating it
    if (w.opened != Worker::Opened::Pending && w.opened != Worker::Opened::Fresh) {
        ++w.generation;
        source.generation = w.generation;
        w.open = source;
        w.opened = Worker::Opened::Pending;
    }
    w.startWanted = true;
    state_ = psPlaying;
    Kick(lock);
    return state_.load() == psPlaying;
}

void TRsySoundPlayer::Stop() {
    Worker& w = *worker_;
    Lock lock(w.m);
    w.startWanted = false;
    // a stopped stream is not started again where it stopped: the next Play opens the source anew
    if (w.opened == Worker::Opened::Fresh) {
        w.opened = Worker::Opened::Used;
    }
    const DWORD ch = channel_.load();
    if (lib_ && ch != 0) {
        if (api_.BASS_ChannelStop) {
            api_.BASS_ChannelStop(ch);
        }
        const DWORD end = endSync_.exchange(0);
        if (end != 0 && api_.BASS_ChannelRemoveSync) {
            api_.BASS_ChannelRemoveSync(ch, end);
        }
    }
    state_ = psStopped;
}

void TRsySoundPlayer::FadeOut() {
    if (!fadeTimer_) {
        fadeTimer_ = deps_.makeFadeTimer ? deps_.makeFadeTimer() : std::make_unique<QtFadeTimer>();
        fadeTimer_->SetEnabled(false);
        fadeTimer_->SetInterval(FadeIntervalMs);
        fadeTimer_->SetHandler([this] { FadeTick(); });
    }
    // A second fade while one runs keeps the volume from before the first; taking the already lowered
    // volume here would leave the output quieter for good.
    if (!fading_) {
        volumeBeforeFade_ = GetVolume();
    }
    fading_ = true;
    fadeTimer_->SetEnabled(true);
}

void TRsySoundPlayer::FadeTick() {
    fadeTimer_->SetEnabled(false);
    const DWORD v = GetVolume();
    if (v != 0 && state_.load() == psPlaying) {
        SetVolume(v - 1);
        fadeTimer_->SetEnabled(true);
        return;
    }
    Stop();
    fading_ = false;
    SetVolume(volumeBeforeFade_);
}

TBroadcastInfo TRsySoundPlayer::ParseBroadcastInfo(const char* icyTags) {
    TBroadcastInfo info;
    if (!icyTags) {
        return info;
    }
    const char* p = icyTags;
    std::size_t used = 0;
    for (std::size_t n = 0; n < MaxIcyEntries && used < MaxIcyBytes && *p; ++n) {
        const std::size_t len = strnlen(p, MaxIcyBytes - used);
        const std::string_view entry(p, len);
        if (entry.substr(0, 9) == "icy-name:") {
            info.StationName = std::string(entry.substr(9));
        } else if (entry.substr(0, 7) == "icy-br:") {
            info.BitRate = std::string(entry.substr(7));
        }
        used += len + 1;
        if (used >= MaxIcyBytes) {
            break;
        }
        p += len + 1;
    }
    return info;
}

void TRsySoundPlayer::EndRoutine(bass::HSYNC, DWORD channel, DWORD, void*) {
    if (TRsySoundPlayer* self = SoundPlayer.load()) {
        self->HandleEnd(channel);
    }
}

void TRsySoundPlayer::HandleEnd(DWORD channel) {
    Lock lock(worker_->m);
    // a stream that was replaced meanwhile has nothing to report
    if (channel != channel_.load()) {
        return;
    }
    const DWORD mark = progressSync_.exchange(0);
    if (mark != 0 && api_.BASS_ChannelRemoveSync) {
        api_.BASS_ChannelRemoveSync(channel, mark);
    }
    endSync_ = 0;
    // the sound asked for by a Play since then is still to come: its own end will be reported
    if (worker_->startWanted) {
        return;
    }
    state_ = psStopped;
    RaisePlayEnd(lock);
}

void TRsySoundPlayer::ProgressRoutine(bass::HSYNC, DWORD channel, DWORD, void*) {
    if (TRsySoundPlayer* self = SoundPlayer.load()) {
        self->HandleProgress(channel);
    }
}

void TRsySoundPlayer::HandleProgress(DWORD channel) {
    if (channel != channel_.load()) {
        return;
    }
    const DWORD fired = progressSync_.exchange(0);
    if (fired != 0 && api_.BASS_ChannelRemoveSync) {
        api_.BASS_ChannelRemoveSync(channel, fired);
    }

    // 64-bit throughout: a long stream's byte counts pass 2^31 and must not wrap
    const std::int64_t len = api_.BASS_ChannelGetLength ? SignedLength(api_.BASS_ChannelGetLength(channel, 0)) : 0;
    const std::int64_t pos = api_.BASS_ChannelGetPosition ? SignedLength(api_.BASS_ChannelGetPosition(channel, 0)) : 0;
    int percent = 0;
    if (len > 0) {
        const double p = RoundEven(100.0 * static_cast<double>(pos) / static_cast<double>(len));
        percent = std::isfinite(p) ? static_cast<int>(std::clamp(p, 0.0, 1000.0)) : 0;
    }
    if (OnProgress) {
        OnProgress(percent);
    }
    if (percent > 99) {
        return;
    }
    double step = static_cast<double>(len) / 100.0;
    if (step < MinProgressStep) {
        step = MinProgressStep;
    }
    const auto next = static_cast<std::int64_t>(RoundEven(static_cast<double>(pos) + step));
    if (next < len && api_.BASS_ChannelSetSync) {
        progressSync_ = api_.BASS_ChannelSetSync(channel, NextMarkType, static_cast<QWORD>(next),
                                                 &TRsySoundPlayer::ProgressRoutine, nullptr);
    }
}

void TRsySoundPlayer::MetaRoutine(bass::HSYNC, DWORD channel, DWORD, void*) {
    TRsySoundPlayer* self = SoundPlayer.load();
    if (!self || channel != self->channel_.load() || !self->OnMetaData) {
        return;
    }
    // the notification's 32-bit data cannot carry a pointer on a 64-bit system: ask for the text instead
    self->OnMetaData(self->api_.BASS_StreamGetTags ? self->api_.BASS_StreamGetTags(channel, bass::BASS_TAG_META)
                                                   : nullptr);
}

// Runs on the thread that connects the stream, the worker's, while it waits in the library with the lock
// released. The user value is the worker: once the player has gone (and left the worker behind), its
// lock tells so.
void TRsySoundPlayer::DownloadRoutine(const void* buffer, DWORD length, void* user) {
    if (!buffer || length != 0 || !user) {
        return;
    }
    auto& w = *static_cast<Worker*>(user);
    DownloadStatusEvent onStatus;
    {
        std::lock_guard lock(w.m);
        TRsySoundPlayer* self = SoundPlayer.load();
        if (w.abandoned || !self || self->worker_.get() != &w) {
            return;
        }
        onStatus = self->OnDownloadStatus;
    }
    if (onStatus) {
        onStatus(std::string(static_cast<const char*>(buffer), strnlen(static_cast<const char*>(buffer), 64 * 1024)));
    }
}

void TRsySoundPlayer::LibraryLog(int level, const char* text) {
    LibraryLogLine(level, text);
}

} // namespace horavia
