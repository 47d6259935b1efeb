#include "speech/SdlSpeechAudioSink.h"

#include "speech/SpeechLog.h"

#include <SDL.h>

namespace horavia {
namespace {

// About 46 ms at espeak-ng's 22050 Hz: short enough that a cut-off is heard at once.
constexpr Uint16 KDeviceSamples = 1024;

} // namespace

struct SdlSpeechAudioSink::Impl {
    bool audioStarted = false; // SDL's audio subsystem is initialised by us
    SDL_AudioDeviceID device = 0;
    int rate = 0;
    bool failureLogged = false;

    void CloseDevice() {
        if (device != 0) {
            SDL_CloseAudioDevice(device);
            device = 0;
        }
    }

    void Release() {
        CloseDevice();
        if (audioStarted) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            audioStarted = false;
        }
    }

    bool Failed(const char* what) {
        if (!failureLogged) {
            failureLogged = true;
            qCWarning(lcSpeech).noquote() << QStringLiteral("No sound output for speech (%1: %2); speech stays silent")
                                                 .arg(QString::fromLatin1(what), QString::fromUtf8(SDL_GetError()));
        }
        return false;
    }
};

SdlSpeechAudioSink::SdlSpeechAudioSink() : d(std::make_unique<Impl>()) {}

SdlSpeechAudioSink::~SdlSpeechAudioSink() {
    d->Release();
}

bool SdlSpeechAudioSink::Open(int sampleRate) {
    // A sound server that went away leaves the device stopped; open a fresh one rather than stay mute.
    if (d->device != 0 && SDL_GetAudioDeviceStatus(d->device) == SDL_AUDIO_STOPPED) {
        d->CloseDevice();
    }
    if (d->device != 0 && d->rate == sampleRate) {
        return true;
    }
    d->CloseDevice();
    if (!d->audioStarted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return d->Failed("SDL audio");
        }
        d->audioStarted = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = KDeviceSamples;
    wanted.callback = nullptr; // samples are queued with SDL_QueueAudio
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts our mono 16-bit samples to whatever the device wants.
    d->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (d->device == 0) {
        return d->Failed("opening the audio device");
    }
    d->rate = sampleRate;
    d->failureLogged = false;
    SDL_PauseAudioDevice(d->device, 0);
    return true;
}

void SdlSpeechAudioSink::Write(const std::int16_t* samples, std::size_t count) {
    if (d->device == 0) {
        return;
    }
    if (SDL_QueueAudio(d->device, samples, static_cast<Uint32>(count * sizeof(std::int16_t))) != 0) {
        d->Failed("queueing speech");
    }
}

void SdlSpeechAudioSink::Close() {
    d->Release();
    // SDL keeps its error text in thread-local storage that it frees by itself only for threads it started.
    SDL_TLSCleanup();
}

void SdlSpeechAudioSink::Clear() {
    if (d->device != 0) {
        SDL_ClearQueuedAudio(d->device);
    }
}

} // namespace horavia
