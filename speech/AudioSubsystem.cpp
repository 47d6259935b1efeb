#include "speech/AudioSubsystem.h"

#include "speech/SpeechLog.h"

#include <SDL.h>

namespace horavia {

AudioSubsystem::AudioSubsystem() {
    // SDL would otherwise take SIGINT and SIGTERM for itself and the program would ignore them:
    // the session could not end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
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
