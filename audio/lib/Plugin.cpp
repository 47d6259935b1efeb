// A format plug-in. Every plug-in is this file, built once for each plug-in that AudioFormats.def names,
// with HORAVIA_AUDIO_PLUGIN_CALLS holding one HORAVIA_AUDIO_PLUGIN_CALL(entry, family) for each of its rows
// (CMakeLists.txt reads the table). Each becomes an exported call that creates the stream in the core, so
// that there is one engine and one output, limited to the row's family: a file of another kind opened
// through a plug-in is refused.

#include "audio/lib/BassTypes.h"
#include "audio/lib/Decoder.h"
#include "audio/lib/Export.h"

// Provided by the core module, which the plug-ins link against.
extern "C" horavia::bass::HSTREAM HoraviaAudio_StreamCreateFamily(horavia::bass::BOOL mem, const void* file,
                                                                  horavia::bass::DWORD offset,
                                                                  horavia::bass::DWORD length,
                                                                  horavia::bass::DWORD flags, int family);

#define HORAVIA_AUDIO_PLUGIN_CALL(entry, family)                                                                       \
    HORAVIA_AUDIO_EXPORT horavia::bass::HSTREAM entry(horavia::bass::BOOL mem, const void* file,                       \
                                                      horavia::bass::DWORD offset, horavia::bass::DWORD length,        \
                                                      horavia::bass::DWORD flags) {                                    \
        return HoraviaAudio_StreamCreateFamily(mem, file, offset, length, flags,                                       \
                                               static_cast<int>(horavia::audiolib::FormatFamily::family));             \
    }

#ifndef HORAVIA_AUDIO_PLUGIN_CALLS
#error "a plug-in is built by audio/lib/CMakeLists.txt, which gives it its calls from AudioFormats.def"
#endif

HORAVIA_AUDIO_PLUGIN_CALLS
