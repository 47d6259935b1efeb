#pragma once

#include "audio/lib/BassTypes.h"
#include "audio/lib/Decoder.h"

// Provided by the core module; the plug-ins link against it.
extern "C" horavia::bass::HSTREAM HoraviaAudio_StreamCreateFamily(horavia::bass::BOOL mem, const void* file,
                                                                  horavia::bass::DWORD offset,
                                                                  horavia::bass::DWORD length,
                                                                  horavia::bass::DWORD flags, int family);

namespace horavia::audiolib {

inline bass::HSTREAM CreateFamilyStream(bass::BOOL mem, const void* file, bass::DWORD offset, bass::DWORD length,
                                        bass::DWORD flags, FormatFamily family) {
    return HoraviaAudio_StreamCreateFamily(mem, file, offset, length, flags, static_cast<int>(family));
}

} // namespace horavia::audiolib
