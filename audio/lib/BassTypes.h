#pragma once

// Types and constants of the audio library's C interface. Shared by the library modules, which export the
// entry points, and by the sound player, which resolves them by name at run time.

#include <cstdint>

namespace horavia::bass {

using BOOL = int;
using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using HSTREAM = DWORD;
using HSYNC = DWORD;
using HWND = void*;

// notification routine: (sync handle, channel, data, user value); runs on a thread of the library
using SYNCPROC = void (*)(HSYNC handle, DWORD channel, DWORD data, void* user);
// download routine of a network stream: a status text arrives with length 0, data blocks with their length
using DOWNLOADPROC = void (*)(const void* buffer, DWORD length, void* user);

// What BASS_ChannelGetInfo fills: five 32-bit values.
struct BASS_CHANNELINFO {
    DWORD freq;
    DWORD chans;
    DWORD flags;
    DWORD ctype;
    DWORD origres;
};

inline constexpr DWORD BASS_UNICODE = 0x80000000u;
inline constexpr DWORD BASS_STREAM_PRESCAN = 0x20000u;
inline constexpr DWORD BASS_STREAM_STATUS = 0x800000u;

inline constexpr DWORD BASS_TAG_ICY = 4;
inline constexpr DWORD BASS_TAG_META = 5;

inline constexpr DWORD BASS_SYNC_POS = 0;
inline constexpr DWORD BASS_SYNC_END = 2;
inline constexpr DWORD BASS_SYNC_META = 4;
inline constexpr DWORD BASS_SYNC_MIXTIME = 0x40000000u;
inline constexpr DWORD BASS_SYNC_ONETIME = 0x80000000u;

// channel types reported in BASS_CHANNELINFO::ctype
inline constexpr DWORD BASS_CTYPE_STREAM_OGG = 0x10002;
inline constexpr DWORD BASS_CTYPE_STREAM_MP3 = 0x10005;
inline constexpr DWORD BASS_CTYPE_STREAM_WAV = 0x40000;
inline constexpr DWORD BASS_CTYPE_STREAM_WMA = 0x10300;
inline constexpr DWORD BASS_CTYPE_STREAM_AAC = 0x10b00;
inline constexpr DWORD BASS_CTYPE_STREAM_MP4 = 0x10b01;
inline constexpr DWORD BASS_CTYPE_STREAM_ALAC = 0x10e00;
inline constexpr DWORD BASS_CTYPE_STREAM_APE = 0x10700;
inline constexpr DWORD BASS_CTYPE_STREAM_FLAC = 0x10900;
inline constexpr DWORD BASS_CTYPE_STREAM_FLAC_OGG = 0x10901;
inline constexpr DWORD BASS_CTYPE_STREAM_OPUS = 0x11200;
inline constexpr DWORD BASS_CTYPE_STREAM_NET = 0x10000;

// error codes kept per thread and read with BASS_ErrorGetCode
inline constexpr int BASS_OK = 0;
inline constexpr int BASS_ERROR_MEM = 1;
inline constexpr int BASS_ERROR_FILEOPEN = 2;
inline constexpr int BASS_ERROR_DRIVER = 3;
inline constexpr int BASS_ERROR_HANDLE = 5;
inline constexpr int BASS_ERROR_FORMAT = 6;
inline constexpr int BASS_ERROR_INIT = 8;
inline constexpr int BASS_ERROR_ALREADY = 14;
inline constexpr int BASS_ERROR_ILLPARAM = 20;
inline constexpr int BASS_ERROR_NOTAVAIL = 37;
inline constexpr int BASS_ERROR_DECODE = 38;
inline constexpr int BASS_ERROR_FILEFORM = 41;
inline constexpr int BASS_ERROR_TIMEOUT = 40;
inline constexpr int BASS_ERROR_NONET = 32;
inline constexpr int BASS_ERROR_CODEC = 44;
inline constexpr int BASS_ERROR_UNKNOWN = -1;

// Signatures of the entry points, as the player resolves them.
using BASS_Init_t = BOOL (*)(int device, DWORD freq, DWORD flags, HWND win, const void* clsid);
using BASS_Free_t = BOOL (*)();
using BASS_GetVolume_t = DWORD (*)();
using BASS_SetVolume_t = BOOL (*)(DWORD volume);
using BASS_ErrorGetCode_t = int (*)();
using BASS_StreamCreateFile_t = HSTREAM (*)(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);
using BASS_StreamCreateURL_t = HSTREAM (*)(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC proc, void* user);
using BASS_StreamFree_t = BOOL (*)(HSTREAM handle);
using BASS_StreamGetTags_t = const char* (*)(DWORD handle, DWORD tags);
using BASS_ChannelSetSync_t = HSYNC (*)(DWORD handle, DWORD type, QWORD param, SYNCPROC proc, void* user);
using BASS_ChannelRemoveSync_t = BOOL (*)(DWORD handle, HSYNC sync);
using BASS_ChannelGetLength_t = QWORD (*)(DWORD handle, DWORD mode);
using BASS_ChannelGetPosition_t = QWORD (*)(DWORD handle, DWORD mode);
using BASS_ChannelBytes2Seconds_t = double (*)(DWORD handle, QWORD pos);
using BASS_ChannelGetInfo_t = BOOL (*)(DWORD handle, BASS_CHANNELINFO* info);
using BASS_ChannelPlay_t = BOOL (*)(DWORD handle, BOOL restart);
using BASS_ChannelStop_t = BOOL (*)(DWORD handle);

inline constexpr DWORD BASS_POS_BYTE = 0;
inline constexpr QWORD BASS_LENGTH_UNKNOWN = ~QWORD{0};

} // namespace horavia::bass
