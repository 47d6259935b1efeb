#pragma once

#include <QLoggingCategory>

namespace horavia {

// Lines of the audio library, FFmpeg and ALSA, which would otherwise go raw to stderr.
Q_DECLARE_LOGGING_CATEGORY(lcAudio)

// Sends ALSA's error lines to lcAudio from now on, for the whole process (the system mixer and SDL's ALSA
// output alike). Safe to call more than once.
void RouteAlsaLog();

// The routine handed to the audio library for its own and FFmpeg's lines; level 0 debug, 1 info, 2 warning.
void LibraryLogLine(int level, const char* text);

} // namespace horavia
