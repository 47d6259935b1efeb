#pragma once

namespace horavia::audiolib {

// Lines of the library and of FFmpeg go to the routine the player sets (HoraviaAudio_SetLogHandler), so
// they land in the program's log categories instead of on stderr. Levels: 0 debug, 1 info, 2 warning.
using LogHandler = void (*)(int level, const char* text);

inline constexpr int LogDebug = 0;
inline constexpr int LogInfo = 1;
inline constexpr int LogWarning = 2;

void SetLogHandler(LogHandler handler);
// One line, printf style; dropped when no handler is set.
void Log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Takes FFmpeg's log over while the library is initialised, and gives it back (silenced) at the end, so
// that FFmpeg never calls into a module that has been unloaded.
void RouteFfmpegLog();
void ReleaseFfmpegLog();

} // namespace horavia::audiolib
