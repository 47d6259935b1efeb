#include "audio/lib/AudioEngine.h"

#include "audio/lib/HttpSource.h"
#include "audio/lib/LibraryLog.h"
#include "audio/lib/SyncDispatcher.h"
#include "audio/lib/Utf16.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace horavia::audiolib {

namespace {

using bass::DWORD;
using bass::QWORD;

thread_local int lastError = bass::BASS_OK;

// Decoded audio kept ahead of the mixer: about a third of a second, enough to ride out a slow decode.
constexpr std::size_t PendingLimit = 64 * 1024;
// SDL buffer in sample frames: 512 at 44.1 kHz is 11.6 ms, short enough for a quick start.
constexpr int OutputFrames = 512;
// How long BASS_Free waits for name lookups that outlived their stream.
constexpr std::chrono::milliseconds LookupJoinLimit{1000};

struct FiredSync {
    std::shared_ptr<SyncRecord> sync;
    DWORD data;
};

} // namespace

struct AudioEngine::Output {
    SDL_AudioDeviceID device = 0;

    static void Callback(void* userdata, Uint8* stream, int len) {
        static_cast<AudioEngine*>(userdata)->Mix(stream, len);
    }
};

AudioEngine& AudioEngine::Instance() {
    static AudioEngine engine;
    return engine;
}

void AudioEngine::SetError(int code) {
    lastError = code;
}
int AudioEngine::LastError() {
    return lastError;
}

bool AudioEngine::Init(int device, DWORD /*freq*/) {
    std::lock_guard life(lifeMutex_);
    if (initialised_) {
        SetError(bass::BASS_ERROR_ALREADY);
        return false;
    }
    // device -1 is the default output and 1 the first real one; both are SDL's default device here
    if (device != -1 && device != 1) {
        SetError(bass::BASS_ERROR_ILLPARAM);
        return false;
    }
    RouteFfmpegLog();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        Log(LogWarning, "no audio output: %s", SDL_GetError());
        SetError(bass::BASS_ERROR_DRIVER);
        return false;
    }
    SDL_AudioSpec want{};
    want.format = AUDIO_S16SYS;
    want.channels = Decoder::OutputChannels;
    want.samples = OutputFrames;
    want.callback = &Output::Callback;
    want.userdata = this;
    // the mixer always produces 44.1 kHz stereo; SDL converts when the device wants something else
    want.freq = Decoder::OutputRate;
    auto out = std::make_unique<Output>();
    out->device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (out->device == 0) {
        Log(LogWarning, "no audio output: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SetError(bass::BASS_ERROR_DRIVER);
        return false;
    }
    dispatcher_ = std::make_unique<SyncDispatcher>();
    {
        std::lock_guard lock(mutex_);
        output_ = std::move(out);
        initialised_ = true;
    }
    SDL_PauseAudioDevice(output_->device, 0);
    SetError(bass::BASS_OK);
    return true;
}

bool AudioEngine::Free() {
    std::lock_guard life(lifeMutex_);
    std::unique_ptr<Output> out;
    std::map<DWORD, std::shared_ptr<Channel>> channels;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_) {
            SetError(bass::BASS_ERROR_INIT);
            return false;
        }
        initialised_ = false;
        out = std::move(output_);
        channels.swap(channels_);
        for (auto& [h, ch] : channels) {
            ch->playing = false;
            for (auto& s : ch->syncs) {
                s->removed = true;
            }
        }
    }
    // Closing the device waits for a mix in progress; the lock must not be held, the mixer takes it.
    SDL_CloseAudioDevice(out->device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // after this no notification of ours runs any more: the caller may free what its routines use
    dispatcher_.reset();
    for (auto& [h, ch] : channels) {
        std::unique_lock lock(mutex_);
        StopThread(*ch, lock);
    }
    // a name lookup still running would return into this module after it has been unloaded
    HttpSource::JoinLookups(LookupJoinLimit);
    ReleaseFfmpegLog();
    SetError(bass::BASS_OK);
    return true;
}

bool AudioEngine::SetVolume(DWORD volume) {
    if (volume > 100) {
        SetError(bass::BASS_ERROR_ILLPARAM);
        return false;
    }
    volume_ = volume;
    SetError(bass::BASS_OK);
    return true;
}

std::shared_ptr<Channel> AudioEngine::Find(DWORD handle) {
    auto it = channels_.find(handle);
    if (it == channels_.end()) {
        SetError(bass::BASS_ERROR_HANDLE);
        return nullptr;
    }
    return it->second;
}

void AudioEngine::StopThread(Channel& ch, std::unique_lock<std::mutex>& lock) {
    ch.quit = true;
    ch.room.notify_all();
    if (ch.net) {
        ch.net->Abort();
    }
    lock.unlock();
    if (ch.thread.joinable()) {
        ch.thread.join();
    }
    lock.lock();
}

bass::HSTREAM AudioEngine::Adopt(std::shared_ptr<Channel> ch) {
    std::lock_guard lock(mutex_);
    if (!initialised_) {
        // Free ran meanwhile
        SetError(bass::BASS_ERROR_INIT);
        return 0;
    }
    if (nextHandle_ == 0) {
        nextHandle_ = 1;
    }
    ch->handle = nextHandle_++;
    channels_[ch->handle] = ch;
    ch->thread = std::thread([this, ch] { DecodeLoop(ch); });
    SetError(bass::BASS_OK);
    return ch->handle;
}

bass::HSTREAM AudioEngine::CreateFile(bool mem, const void* file, DWORD offset, DWORD length, DWORD flags,
                                      FormatFamily family) {
    {
        std::lock_guard lock(mutex_);
        if (!initialised_) {
            SetError(bass::BASS_ERROR_INIT);
            return 0;
        }
    }
    // playing from memory or from a slice of a file is not offered
    if (mem || offset != 0 || length != 0) {
        SetError(bass::BASS_ERROR_NOTAVAIL);
        return 0;
    }
    if (!file) {
        SetError(bass::BASS_ERROR_FILEOPEN);
        return 0;
    }
    const std::string path = (flags & bass::BASS_UNICODE) != 0 ? Utf16ToUtf8(static_cast<const char16_t*>(file))
                                                               : std::string(static_cast<const char*>(file));
    if (path.empty()) {
        SetError(bass::BASS_ERROR_FILEOPEN);
        return 0;
    }
    int error = bass::BASS_OK;
    auto decoder = Decoder::OpenFile(path, family, (flags & bass::BASS_STREAM_PRESCAN) != 0, error);
    if (!decoder) {
        SetError(error);
        return 0;
    }
    auto ch = std::make_shared<Channel>();
    ch->length = decoder->LengthBytes();
    ch->info = {decoder->SourceRate(), decoder->SourceChannels(), flags & ~bass::BASS_UNICODE, decoder->ChannelType(),
                decoder->SourceResolution()};
    ch->decoder = std::move(decoder);
    return Adopt(std::move(ch));
}

bass::HSTREAM AudioEngine::CreateUrl(const char* url, DWORD offset, DWORD flags, bass::DOWNLOADPROC proc, void* user) {
    {
        std::lock_guard lock(mutex_);
        if (!initialised_) {
            SetError(bass::BASS_ERROR_INIT);
            return 0;
        }
    }
    if (!url || offset != 0) {
        SetError(url ? bass::BASS_ERROR_NOTAVAIL : bass::BASS_ERROR_ILLPARAM);
        return 0;
    }
    auto ch = std::make_shared<Channel>();
    int error = bass::BASS_OK;
    // connects and reads the response headers within a short, fixed time; the body follows on its own thread
    auto net = HttpSource::Connect(url, (flags & bass::BASS_STREAM_STATUS) != 0 ? proc : nullptr, proc, user, error);
    if (!net) {
        SetError(error);
        return 0;
    }
    ch->icyTags = net->IcyTags();
    // rate and channels stay 0 until the decoding thread has read the stream's first frames
    ch->info = {0, 0, flags, bass::BASS_CTYPE_STREAM_NET, 0};
    ch->net = net;
    ch->openDecoder = [net] {
        int err = bass::BASS_OK;
        return Decoder::OpenReader([net](std::uint8_t* buf, int size) { return net->Read(buf, size); }, err);
    };
    const bass::HSTREAM handle = Adopt(ch);
    if (handle != 0) {
        net->OnMeta([this, handle](const std::string& title) { MetaChanged(handle, title); });
        net->Start();
    }
    return handle;
}

bool AudioEngine::StreamFree(bass::HSTREAM handle) {
    std::unique_lock lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return false;
    }
    channels_.erase(handle);
    ch->playing = false;
    for (auto& s : ch->syncs) {
        s->removed = true;
    }
    StopThread(*ch, lock);
    SetError(bass::BASS_OK);
    return true;
}

const char* AudioEngine::GetTags(DWORD handle, DWORD tags) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return nullptr;
    }
    if (tags == bass::BASS_TAG_ICY && !ch->icyTags.empty()) {
        return ch->icyTags.c_str();
    }
    if (tags == bass::BASS_TAG_META && !ch->metaTags.empty()) {
        ch->metaReturned = ch->metaTags;
        return ch->metaReturned.c_str();
    }
    SetError(bass::BASS_ERROR_NOTAVAIL);
    return nullptr;
}

void AudioEngine::MetaChanged(bass::HSTREAM handle, const std::string& title) {
    std::vector<std::shared_ptr<SyncRecord>> fire;
    {
        std::lock_guard lock(mutex_);
        auto it = channels_.find(handle);
        if (it == channels_.end()) {
            return;
        }
        Channel& ch = *it->second;
        ch.metaTags = title;
        for (auto& s : ch.syncs) {
            if (s->Kind() == bass::BASS_SYNC_META) {
                fire.push_back(s);
            }
        }
        if (dispatcher_) {
            for (auto& s : fire) {
                if (!s->MixTime()) {
                    dispatcher_->Post(s, 0);
                }
            }
        }
    }
    for (auto& s : fire) {
        if (s->MixTime() && !s->removed.load()) {
            s->proc(s->handle, s->channel, 0, s->user);
        }
    }
}

bass::HSYNC AudioEngine::SetSync(DWORD handle, DWORD type, QWORD param, bass::SYNCPROC proc, void* user) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return 0;
    }
    const DWORD kind = type & 0xffffu;
    if (!proc || (kind != bass::BASS_SYNC_POS && kind != bass::BASS_SYNC_END && kind != bass::BASS_SYNC_META)) {
        SetError(bass::BASS_ERROR_ILLPARAM);
        return 0;
    }
    auto s = std::make_shared<SyncRecord>();
    if (nextHandle_ == 0) {
        nextHandle_ = 1;
    }
    s->handle = nextHandle_++;
    s->channel = handle;
    s->type = type;
    s->param = param;
    s->proc = proc;
    s->user = user;
    ch->syncs.push_back(s);
    SetError(bass::BASS_OK);
    return s->handle;
}

bool AudioEngine::RemoveSync(DWORD handle, bass::HSYNC sync) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return false;
    }
    auto it = std::find_if(ch->syncs.begin(), ch->syncs.end(), [sync](auto& s) { return s->handle == sync; });
    if (it == ch->syncs.end()) {
        SetError(bass::BASS_ERROR_HANDLE);
        return false;
    }
    (*it)->removed = true;
    ch->syncs.erase(it);
    SetError(bass::BASS_OK);
    return true;
}

QWORD AudioEngine::GetLength(DWORD handle) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return bass::BASS_LENGTH_UNKNOWN;
    }
    if (ch->length == bass::BASS_LENGTH_UNKNOWN) {
        SetError(bass::BASS_ERROR_NOTAVAIL);
    } else {
        SetError(bass::BASS_OK);
    }
    return ch->length;
}

QWORD AudioEngine::GetPosition(DWORD handle) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return bass::BASS_LENGTH_UNKNOWN;
    }
    SetError(bass::BASS_OK);
    return ch->position;
}

double AudioEngine::Bytes2Seconds(DWORD handle, QWORD pos) {
    std::lock_guard lock(mutex_);
    if (!Find(handle)) {
        return -1.0;
    }
    if (pos == bass::BASS_LENGTH_UNKNOWN) {
        SetError(bass::BASS_ERROR_ILLPARAM);
        return -1.0;
    }
    SetError(bass::BASS_OK);
    return static_cast<double>(pos) / (Decoder::OutputRate * Decoder::BytesPerFrame);
}

bool AudioEngine::GetInfo(DWORD handle, bass::BASS_CHANNELINFO* info) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return false;
    }
    if (!info) {
        SetError(bass::BASS_ERROR_ILLPARAM);
        return false;
    }
    *info = ch->info;
    SetError(bass::BASS_OK);
    return true;
}

bool AudioEngine::Play(DWORD handle, bool restart) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return false;
    }
    // a stream is not rewound: once it has played to its end it has to be created again
    if (ch->ended || restart) {
        SetError(bass::BASS_ERROR_NOTAVAIL);
        return false;
    }
    ch->playing = true;
    SetError(bass::BASS_OK);
    return true;
}

bool AudioEngine::Stop(DWORD handle) {
    std::lock_guard lock(mutex_);
    auto ch = Find(handle);
    if (!ch) {
        return false;
    }
    ch->playing = false;
    SetError(bass::BASS_OK);
    return true;
}

void AudioEngine::DecodeLoop(const std::shared_ptr<Channel>& ch) {
    std::unique_ptr<Decoder> decoder;
    {
        std::lock_guard lock(mutex_);
        decoder = std::move(ch->decoder);
    }
    if (!decoder && ch->openDecoder) {
        decoder = ch->openDecoder();
        if (decoder) {
            std::lock_guard lock(mutex_);
            ch->info.freq = decoder->SourceRate();
            ch->info.chans = decoder->SourceChannels();
        }
    }
    std::vector<std::uint8_t> chunk;
    std::uint64_t produced = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            ch->room.wait(lock, [&] { return ch->quit || ch->pending.Size() < PendingLimit; });
            if (ch->quit) {
                return;
            }
        }
        chunk.clear();
        const bool more = decoder && decoder->DecodeMore(chunk);
        std::lock_guard lock(mutex_);
        ch->pending.Append(chunk.data(), chunk.size() - chunk.size() % Decoder::BytesPerFrame);
        produced += chunk.size();
        if (!more) {
            ch->decodeDone = true;
            // the length measured beforehand is an estimate from the container; the count decoded is exact
            if (ch->length != bass::BASS_LENGTH_UNKNOWN || ch->net == nullptr) {
                ch->length = produced - produced % Decoder::BytesPerFrame;
            }
            return;
        }
    }
}

void AudioEngine::Mix(std::uint8_t* out, int bytes) {
    const int samples = bytes / 2;
    // the volume is taken before any notification of this buffer goes out: a routine that changes it
    // (the end of a fade, for one) must not reach back into the samples that caused the notification
    const std::int32_t gain = static_cast<std::int32_t>(volume_.load());
    std::vector<std::int32_t> acc(static_cast<std::size_t>(samples), 0);
    std::vector<FiredSync> mixTime;
    {
        std::lock_guard lock(mutex_);
        for (auto& [h, chp] : channels_) {
            Channel& ch = *chp;
            if (!ch.playing) {
                continue;
            }
            std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytes), ch.pending.Size());
            n -= n % Decoder::BytesPerFrame;
            const auto* src = reinterpret_cast<const std::int16_t*>(ch.pending.Front());
            for (std::size_t i = 0; i < n / 2; ++i) {
                std::int16_t v;
                std::memcpy(&v, src + i, sizeof v);
                acc[i] += v;
            }
            const QWORD oldPos = ch.position;
            ch.position += n;
            ch.pending.Consume(n);
            if (n > 0) {
                ch.room.notify_one();
            }
            const bool finished = ch.decodeDone && ch.pending.Empty();
            std::vector<FiredSync> fired;
            for (auto& s : ch.syncs) {
                if (s->Kind() == bass::BASS_SYNC_POS &&
                    ((s->param >= oldPos && s->param < ch.position) || (finished && s->param == ch.position))) {
                    fired.push_back({s, 0});
                } else if (s->Kind() == bass::BASS_SYNC_END && finished) {
                    fired.push_back({s, 0});
                }
            }
            if (finished) {
                ch.playing = false;
                ch.ended = true;
            }
            for (auto& f : fired) {
                if (f.sync->OneTime()) {
                    std::erase(ch.syncs, f.sync);
                }
                if (f.sync->MixTime()) {
                    mixTime.push_back(f);
                } else if (dispatcher_) {
                    dispatcher_->Post(f.sync, f.data);
                }
            }
        }
    }
    for (int i = 0; i < samples; ++i) {
        const std::int32_t v = std::clamp(acc[static_cast<std::size_t>(i)] * gain / 100, -32768, 32767);
        const auto s = static_cast<std::int16_t>(v);
        std::memcpy(out + 2 * i, &s, sizeof s);
    }
    // mix-time routines run here, on the mixing thread, without the lock so that they may call back in
    for (auto& f : mixTime) {
        if (!f.sync->removed.load()) {
            f.sync->proc(f.sync->handle, f.sync->channel, f.data, f.sync->user);
        }
    }
}

} // namespace horavia::audiolib
