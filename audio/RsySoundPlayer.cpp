#include "audio/RsySoundPlayer.h"

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
#include <cstring>
#include <limits>

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

template <typename T>
void ResolveInto(ModuleLoader& loader, void* module, const char* name, T& slot) {
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

bool IsHttp(const QString& text) { return text.toLower().startsWith(QStringLiteral("http://")); }

bool IsHttp(const std::string& text) {
    static constexpr char scheme[] = "http://";
    if (text.size() < 7)
        return false;
    for (std::size_t i = 0; i < 7; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i])
            return false;
    return true;
}

} // namespace

TRsySoundPlayer::TRsySoundPlayer(void* windowHandle) : TRsySoundPlayer(windowHandle, Dependencies{}) {}

TRsySoundPlayer::TRsySoundPlayer(void* windowHandle, Dependencies deps)
    : loader_(deps.loader ? *deps.loader : ModuleLoader::System()), deps_(std::move(deps)) {
    lib_ = loader_.Load(CoreModule);
    if (!lib_)
        return; // inert: every operation that needs the library does nothing
    ResolveInto(loader_, lib_, "BASS_Init", api_.BASS_Init);
    ResolveInto(loader_, lib_, "BASS_Free", api_.BASS_Free);
    ResolveInto(loader_, lib_, "BASS_GetVolume", api_.BASS_GetVolume);
    ResolveInto(loader_, lib_, "BASS_SetVolume", api_.BASS_SetVolume);
    ResolveInto(loader_, lib_, "BASS_ErrorGetCode", api_.BASS_ErrorGetCode);
    ResolveInto(loader_, lib_, "BASS_StreamCreateFile", api_.BASS_StreamCreateFile);
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
    const TPlayerState s = state_.load();
    if (s == psReady || s == psPlaying)
        Stop();
    fadeTimer_.reset(); // no tick reaches the player once it is gone
    fading_ = false;
    if (mixer_) {
        mixer_->WriteMaster(savedMasterVolume_, savedMasterVolume_, savedMasterMute_ != 0);
        mixer_.reset();
    }
    SetVolume(savedOutputVolume_);
    if (lib_ && api_.BASS_Free)
        api_.BASS_Free(); // waits for the library's threads: none of our routines runs after this
    for (void** module : {&cd_, &wma_, &aac_, &alac_, &ape_, &lib_}) {
        if (*module) {
            loader_.Unload(*module);
            *module = nullptr;
        }
    }
}

DWORD TRsySoundPlayer::GetVolume() const {
    if (!lib_ || !api_.BASS_GetVolume)
        return 0;
    return std::min<DWORD>(api_.BASS_GetVolume(), 100);
}

void TRsySoundPlayer::SetVolume(DWORD volume) {
    if (lib_ && api_.BASS_SetVolume)
        api_.BASS_SetVolume(std::min<DWORD>(volume, 100));
}

void TRsySoundPlayer::SetFileName(const QString& name) {
    if (IsHttp(name)) {
        SetURL(name.toStdString());
        return;
    }
    fileName_ = name;
    OpenFile();
}

void TRsySoundPlayer::SetURL(const std::string& url) {
    url_ = url;
    OpenStream();
}

bool TRsySoundPlayer::LoadPlugin(Plugin plugin) {
    void** handle = nullptr;
    const char* file = nullptr;
    switch (plugin) {
    case Plugin::Wma:
        handle = &wma_;
        file = WmaModule;
        break;
    case Plugin::Cd:
        handle = &cd_;
        file = CdModule;
        break;
    case Plugin::Aac:
        handle = &aac_;
        file = AacModule;
        break;
    case Plugin::Alac:
        handle = &alac_;
        file = AlacModule;
        break;
    case Plugin::Ape:
        handle = &ape_;
        file = ApeModule;
        break;
    }
    if (*handle)
        return true;
    *handle = loader_.Load(file);
    if (!*handle) {
        qCWarning(lcPlayer) << "Unable to load library" << file;
        return false; // tried again at the next open of this format
    }
    switch (plugin) {
    case Plugin::Wma:
        ResolveInto(loader_, wma_, "BASS_WMA_StreamCreateFile", api_.BASS_WMA_StreamCreateFile);
        break;
    case Plugin::Cd:
        ResolveInto(loader_, cd_, "BASS_CD_StreamCreateFile", api_.BASS_CD_StreamCreateFile);
        break;
    case Plugin::Aac:
        ResolveInto(loader_, aac_, "BASS_AAC_StreamCreateFile", api_.BASS_AAC_StreamCreateFile);
        ResolveInto(loader_, aac_, "BASS_MP4_StreamCreateFile", api_.BASS_MP4_StreamCreateFile);
        break;
    case Plugin::Alac:
        ResolveInto(loader_, alac_, "BASS_ALAC_StreamCreateFile", api_.BASS_ALAC_StreamCreateFile);
        break;
    case Plugin::Ape:
        ResolveInto(loader_, ape_, "BASS_APE_StreamCreateFile", api_.BASS_APE_StreamCreateFile);
        break;
    }
    return true;
}

// Stops the current stream and frees it, so that an alarm repeated all day does not pile up streams.
void TRsySoundPlayer::ReleaseChannel() {
    const DWORD old = channel_.load();
    if (old == 0)
        return;
    const TPlayerState s = state_.load();
    if (s == psStopped || s == psPlaying)
        Stop();
    channel_ = 0;
    progressSync_ = 0;
    endSync_ = 0;
    if (api_.BASS_StreamFree)
        api_.BASS_StreamFree(old);
}

bool TRsySoundPlayer::OpenFile() {
    const QString name = QFileInfo(fileName_).fileName();
    const auto dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot).toLower();
    static const QStringList known = {QStringLiteral(".wav"), QStringLiteral(".mp3"), QStringLiteral(".ogg"),
                                      QStringLiteral(".wma"), QStringLiteral(".wmv"), QStringLiteral(".cda"),
                                      QStringLiteral(".aac"), QStringLiteral(".m4a"), QStringLiteral(".ape")};
    if (!known.contains(ext))
        return false;
    if (!lib_)
        return false;
    ReleaseChannel();

    const std::u16string wide(reinterpret_cast<const char16_t*>(fileName_.utf16()),
                              static_cast<std::size_t>(fileName_.size()));
    const void* file = wide.c_str();
    DWORD handle = 0;
    auto create = [&](bass::BASS_StreamCreateFile_t fn) { return fn ? fn(0, file, 0, 0, OpenFlags) : 0; };
    if (ext == QLatin1String(".wav") || ext == QLatin1String(".mp3") || ext == QLatin1String(".ogg")) {
        handle = create(api_.BASS_StreamCreateFile);
    } else if (ext == QLatin1String(".wma") || ext == QLatin1String(".wmv")) {
        if (!LoadPlugin(Plugin::Wma))
            return false;
        handle = create(api_.BASS_WMA_StreamCreateFile);
    } else if (ext == QLatin1String(".cda")) {
        if (!LoadPlugin(Plugin::Cd))
            return false;
        handle = api_.BASS_CD_StreamCreateFile ? api_.BASS_CD_StreamCreateFile(file, OpenFlags) : 0;
    } else if (ext == QLatin1String(".aac")) {
        if (!LoadPlugin(Plugin::Aac))
            return false;
        handle = create(api_.BASS_AAC_StreamCreateFile);
    } else if (ext == QLatin1String(".m4a")) {
        if (!LoadPlugin(Plugin::Aac))
            return false;
        handle = create(api_.BASS_MP4_StreamCreateFile);
        if (handle == 0) {
            if (!LoadPlugin(Plugin::Alac))
                return false;
            handle = create(api_.BASS_ALAC_StreamCreateFile);
        }
    } else if (ext == QLatin1String(".ape")) {
        if (!LoadPlugin(Plugin::Ape))
            return false;
        handle = create(api_.BASS_APE_StreamCreateFile);
    }
    channel_ = handle;
    if (handle == 0)
        return false;
    ArmNotifications();

    double ms = -1.0;
    if (api_.BASS_ChannelGetLength && api_.BASS_ChannelBytes2Seconds) {
        const QWORD len = api_.BASS_ChannelGetLength(handle, bass::BASS_POS_BYTE);
        if (len != bass::BASS_LENGTH_UNKNOWN)
            ms = RoundEven(api_.BASS_ChannelBytes2Seconds(handle, len) * 1000.0);
    }
    // a length beyond the 32-bit millisecond range is capped, not wrapped
    lengthMs_ = ms < 0 || !std::isfinite(ms)
                    ? 0
                    : static_cast<std::int32_t>(std::min(ms, double(std::numeric_limits<std::int32_t>::max())));
    channelInfo_ = {};
    if (api_.BASS_ChannelGetInfo)
        api_.BASS_ChannelGetInfo(handle, &channelInfo_);
    state_ = psStopped;
    return true;
}

bool TRsySoundPlayer::OpenStream() {
    if (!IsHttp(url_) || !lib_)
        return false;
    ReleaseChannel();
    const DWORD handle = api_.BASS_StreamCreateURL
                             ? api_.BASS_StreamCreateURL(url_.c_str(), 0, bass::BASS_STREAM_STATUS,
                                                         &TRsySoundPlayer::DownloadRoutine, nullptr)
                             : 0;
    broadcastInfo_ = {};
    channel_ = handle;
    if (handle == 0) {
        // a stream that could not be connected is not "ready": Play would only fail later
        state_ = psStopped;
        return false;
    }
    if (api_.BASS_StreamGetTags)
        broadcastInfo_ = ParseBroadcastInfo(api_.BASS_StreamGetTags(handle, bass::BASS_TAG_ICY));
    if (OnMetaData)
        OnMetaData(api_.BASS_StreamGetTags ? api_.BASS_StreamGetTags(handle, bass::BASS_TAG_META) : nullptr);
    if (api_.BASS_ChannelSetSync)
        api_.BASS_ChannelSetSync(handle, bass::BASS_SYNC_META, 0, &TRsySoundPlayer::MetaRoutine, nullptr);
    ArmNotifications();
    lengthMs_ = 0;
    channelInfo_ = {};
    if (api_.BASS_ChannelGetInfo)
        api_.BASS_ChannelGetInfo(handle, &channelInfo_);
    state_ = psReady;
    return true;
}

void TRsySoundPlayer::ArmNotifications() {
    const DWORD ch = channel_.load();
    if (!api_.BASS_ChannelSetSync)
        return;
    endSync_ = api_.BASS_ChannelSetSync(ch, EndSyncType, 0, &TRsySoundPlayer::EndRoutine, nullptr);
    const std::int64_t len = api_.BASS_ChannelGetLength ? SignedLength(api_.BASS_ChannelGetLength(ch, 0)) : 0;
    const auto first = static_cast<QWORD>(RoundEven(static_cast<double>(len) / 100.0));
    progressSync_ = api_.BASS_ChannelSetSync(ch, FirstMarkType, first, &TRsySoundPlayer::ProgressRoutine, nullptr);
}

void TRsySoundPlayer::ClearMasterMute() {
    try {
        if (mixer_)
            mixer_->SetMasterMute(false);
    } catch (...) {
        // an alarm that stays muted is better than one that takes the program down
    }
}

bool TRsySoundPlayer::Play() {
    if (!QFileInfo::exists(fileName_) && !IsHttp(url_))
        return false;
    if (!lib_)
        return false;
    if (channel_.load() == 0)
        state_ = psStopped;
    if (state_.load() == psReady) {
        ClearMasterMute();
        const bool ok = api_.BASS_ChannelPlay && api_.BASS_ChannelPlay(channel_.load(), 0);
        state_ = psPlaying;
        return ok;
    }
    const bool opened = IsHttp(url_) ? OpenStream() : OpenFile();
    if (!opened)
        return false;
    ClearMasterMute();
    const bool ok = api_.BASS_ChannelPlay && api_.BASS_ChannelPlay(channel_.load(), 0);
    state_ = psPlaying;
    return ok;
}

void TRsySoundPlayer::Stop() {
    const DWORD ch = channel_.load();
    if (lib_ && ch != 0) {
        if (api_.BASS_ChannelStop)
            api_.BASS_ChannelStop(ch);
        const DWORD end = endSync_.exchange(0);
        if (end != 0 && api_.BASS_ChannelRemoveSync)
            api_.BASS_ChannelRemoveSync(ch, end);
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
    if (!fading_)
        volumeBeforeFade_ = GetVolume();
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
    if (!icyTags)
        return info;
    const char* p = icyTags;
    std::size_t used = 0;
    for (std::size_t n = 0; n < MaxIcyEntries && used < MaxIcyBytes && *p; ++n) {
        const std::size_t len = strnlen(p, MaxIcyBytes - used);
        const std::string_view entry(p, len);
        if (entry.substr(0, 9) == "icy-name:")
            info.StationName = std::string(entry.substr(9));
        else if (entry.substr(0, 7) == "icy-br:")
            info.BitRate = std::string(entry.substr(7));
        used += len + 1;
        if (used >= MaxIcyBytes)
            break;
        p += len + 1;
    }
    return info;
}

void TRsySoundPlayer::EndRoutine(bass::HSYNC, DWORD channel, DWORD, void*) {
    if (TRsySoundPlayer* self = SoundPlayer.load())
        self->HandleEnd(channel);
}

void TRsySoundPlayer::HandleEnd(DWORD channel) {
    // a stream that was replaced meanwhile has nothing to report
    if (channel != channel_.load())
        return;
    const DWORD mark = progressSync_.exchange(0);
    if (mark != 0 && api_.BASS_ChannelRemoveSync)
        api_.BASS_ChannelRemoveSync(channel, mark);
    endSync_ = 0;
    state_ = psStopped;
    if (OnPlayEnd)
        OnPlayEnd(false);
}

void TRsySoundPlayer::ProgressRoutine(bass::HSYNC, DWORD channel, DWORD, void*) {
    if (TRsySoundPlayer* self = SoundPlayer.load())
        self->HandleProgress(channel);
}

void TRsySoundPlayer::HandleProgress(DWORD channel) {
    if (channel != channel_.load())
        return;
    const DWORD fired = progressSync_.exchange(0);
    if (fired != 0 && api_.BASS_ChannelRemoveSync)
        api_.BASS_ChannelRemoveSync(channel, fired);

    // 64-bit throughout: a long stream's byte counts pass 2^31 and must not wrap
    const std::int64_t len = api_.BASS_ChannelGetLength ? SignedLength(api_.BASS_ChannelGetLength(channel, 0)) : 0;
    const std::int64_t pos =
        api_.BASS_ChannelGetPosition ? SignedLength(api_.BASS_ChannelGetPosition(channel, 0)) : 0;
    int percent = 0;
    if (len > 0) {
        const double p = RoundEven(100.0 * static_cast<double>(pos) / static_cast<double>(len));
        percent = std::isfinite(p) ? static_cast<int>(std::clamp(p, 0.0, 1000.0)) : 0;
    }
    if (OnProgress)
        OnProgress(percent);
    if (percent > 99)
        return;
    double step = static_cast<double>(len) / 100.0;
    if (step < MinProgressStep)
        step = MinProgressStep;
    const auto next = static_cast<std::int64_t>(RoundEven(static_cast<double>(pos) + step));
    if (next < len && api_.BASS_ChannelSetSync)
        progressSync_ = api_.BASS_ChannelSetSync(channel, NextMarkType, static_cast<QWORD>(next),
                                                 &TRsySoundPlayer::ProgressRoutine, nullptr);
}

void TRsySoundPlayer::MetaRoutine(bass::HSYNC, DWORD channel, DWORD, void*) {
    TRsySoundPlayer* self = SoundPlayer.load();
    if (!self || channel != self->channel_.load() || !self->OnMetaData)
        return;
    // the notification's 32-bit data cannot carry a pointer on a 64-bit system: ask for the text instead
    self->OnMetaData(self->api_.BASS_StreamGetTags ? self->api_.BASS_StreamGetTags(channel, bass::BASS_TAG_META)
                                                   : nullptr);
}

void TRsySoundPlayer::DownloadRoutine(const void* buffer, DWORD length, void*) {
    TRsySoundPlayer* self = SoundPlayer.load();
    if (!self || !buffer || length != 0 || !self->OnDownloadStatus)
        return;
    self->OnDownloadStatus(std::string(static_cast<const char*>(buffer),
                                       strnlen(static_cast<const char*>(buffer), 64 * 1024)));
}

} // namespace horavia
