#include "speech/AudioSubsystem.h"

#include "speech/SpeechLog.h"

#include <SDL.h>

namespace horavia {

AudioSubsystem::AudioSubsystem() {
    started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!started_) {
        qCWarning(lcSpeech) << "No sound output:" << SDL_GetError() << "- the timer works without sound";
    }
}

AudioSubsystem::~AudioSubsystem() {
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

} // namespace horavia
