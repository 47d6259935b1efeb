#include "audio/lib/LibraryLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace horavia::audiolib {

namespace {

std::atomic<LogHandler> handler{nullptr};

constexpr std::size_t LineLimit = 1024;

// FFmpeg prints a line in pieces at times; the pieces are gathered per thread until the line ends.
// Plain arrays: a thread-local object with a destructor would pin this module while the thread lives.
thread_local char pending[LineLimit];
thread_local std::size_t pendingLength = 0;
thread_local int printPrefix = 1;

int LevelOf(int ffmpegLevel) {
    if (ffmpegLevel <= AV_LOG_ERROR) {
        return LogWarning;
    }
    return ffmpegLevel <= AV_LOG_WARNING ? LogInfo : LogDebug;
}

void FfmpegLine(void* context, int level, const char* format, va_list args) {
    const LogHandler h = handler.load();
    if (!h || level > AV_LOG_INFO) {
        return;
    }
    char piece[LineLimit];
    av_log_format_line2(context, level, format, args, piece, sizeof piece, &printPrefix);
    const std::size_t n = strnlen(piece, sizeof piece);
    const std::size_t take = std::min(n, LineLimit - 1 - pendingLength);
    std::memcpy(pending + pendingLength, piece, take);
    pendingLength += take;
    pending[pendingLength] = '\0';
    const bool ended = n > 0 && piece[n - 1] == '\n';
    if (!ended && pendingLength < LineLimit - 1) {
        return;
    }
    while (pendingLength > 0 && (pending[pendingLength - 1] == '\n' || pending[pendingLength - 1] == '\r')) {
        pending[--pendingLength] = '\0';
    }
    if (pendingLength > 0) {
        h(LevelOf(level), pending);
    }
    pendingLength = 0;
    pending[0] = '\0';
}

} // namespace

void SetLogHandler(LogHandler h) {
    handler = h;
}

void Log(int level, const char* format, ...) {
    const LogHandler h = handler.load();
    if (!h) {
        return;
    }
    char line[LineLimit];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    h(level, line);
}

void RouteFfmpegLog() {
    av_log_set_level(AV_LOG_INFO);
    av_log_set_callback(&FfmpegLine);
}

void ReleaseFfmpegLog() {
    av_log_set_level(AV_LOG_QUIET);
    av_log_set_callback(&av_log_default_callback);
}

} // namespace horavia::audiolib
