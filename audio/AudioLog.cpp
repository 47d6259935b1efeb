#include "audio/AudioLog.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace horavia {

Q_LOGGING_CATEGORY(lcAudio, "horavia.audio", QtWarningMsg)

namespace {

__attribute__((format(printf, 5, 6))) void AlsaLine(const char* file, int line, const char* function, int err,
                                                    const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (err != 0) {
        qCWarning(lcAudio).noquote() << "ALSA:" << text << "(" << snd_strerror(err) << ") in" << function << "at"
                                     << file << line;
    } else {
        qCWarning(lcAudio).noquote() << "ALSA:" << text << "in" << function << "at" << file << line;
    }
}

} // namespace

void RouteAlsaLog() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&AlsaLine); });
}

void LibraryLogLine(int level, const char* text) {
    if (!text) {
        return;
    }
    if (level >= 2) {
        qCWarning(lcAudio).noquote() << text;
    } else if (level == 1) {
        qCInfo(lcAudio).noquote() << text;
    } else {
        qCDebug(lcAudio).noquote() << text;
    }
}

} // namespace horavia
