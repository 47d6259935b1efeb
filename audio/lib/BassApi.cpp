// The entry points of the core module, resolved by name by the sound player.

#include "audio/lib/AudioEngine.h"
#include "audio/lib/BassTypes.h"
#include "audio/lib/Export.h"
#include "audio/lib/LibraryLog.h"

using namespace horavia::bass;
using horavia::audiolib::AudioEngine;
using horavia::audiolib::FormatFamily;

HORAVIA_AUDIO_EXPORT BOOL BASS_Init(int device, DWORD freq, DWORD /*flags*/, HWND /*win*/, const void* /*clsid*/) {
    return AudioEngine::Instance().Init(device, freq);
}

HORAVIA_AUDIO_EXPORT BOOL BASS_Free() {
    return AudioEngine::Instance().Free();
}

HORAVIA_AUDIO_EXPORT DWORD BASS_GetVolume() {
    return AudioEngine::Instance().GetVolume();
}

HORAVIA_AUDIO_EXPORT BOOL BASS_SetVolume(DWORD volume) {
    return AudioEngine::Instance().SetVolume(volume);
}

HORAVIA_AUDIO_EXPORT int BASS_ErrorGetCode() {
    return AudioEngine::LastError();
}

HORAVIA_AUDIO_EXPORT HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                                                   DWORD flags) {
    return AudioEngine::Instance().CreateFile(mem != 0, file, offset, length, flags, FormatFamily::Core);
}

HORAVIA_AUDIO_EXPORT HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC proc,
                                                  void* user) {
    return AudioEngine::Instance().CreateUrl(url, offset, flags, proc, user);
}

HORAVIA_AUDIO_EXPORT BOOL BASS_StreamFree(HSTREAM handle) {
    return AudioEngine::Instance().StreamFree(handle);
}

HORAVIA_AUDIO_EXPORT const char* BASS_StreamGetTags(DWORD handle, DWORD tags) {
    return AudioEngine::Instance().GetTags(handle, tags);
}

HORAVIA_AUDIO_EXPORT HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC proc, void* user) {
    return AudioEngine::Instance().SetSync(handle, type, param, proc, user);
}

HORAVIA_AUDIO_EXPORT BOOL BASS_ChannelRemoveSync(DWORD handle, HSYNC sync) {
    return AudioEngine::Instance().RemoveSync(handle, sync);
}

HORAVIA_AUDIO_EXPORT QWORD BASS_ChannelGetLength(DWORD handle, DWORD /*mode*/) {
    return AudioEngine::Instance().GetLength(handle);
}

HORAVIA_AUDIO_EXPORT QWORD BASS_ChannelGetPosition(DWORD handle, DWORD /*mode*/) {
    return AudioEngine::Instance().GetPosition(handle);
}

HORAVIA_AUDIO_EXPORT double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    return AudioEngine::Instance().Bytes2Seconds(handle, pos);
}

HORAVIA_AUDIO_EXPORT BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    return AudioEngine::Instance().GetInfo(handle, info);
}

HORAVIA_AUDIO_EXPORT BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    return AudioEngine::Instance().Play(handle, restart != 0);
}

HORAVIA_AUDIO_EXPORT BOOL BASS_ChannelStop(DWORD handle) {
    return AudioEngine::Instance().Stop(handle);
}

// Used by the format plug-ins, which create their streams through the core: one engine, one output.
HORAVIA_AUDIO_EXPORT HSTREAM HoraviaAudio_StreamCreateFamily(BOOL mem, const void* file, DWORD offset, DWORD length,
                                                             DWORD flags, int family) {
    return AudioEngine::Instance().CreateFile(mem != 0, file, offset, length, flags, static_cast<FormatFamily>(family));
}

// Where the library's and FFmpeg's log lines go (level 0 debug, 1 info, 2 warning); null drops them.
HORAVIA_AUDIO_EXPORT void HoraviaAudio_SetLogHandler(void (*handler)(int level, const char* text)) {
    horavia::audiolib::SetLogHandler(handler);
}
