// Windows Media plug-in: ".wma" and ".wmv" sound.

#include "audio/lib/Export.h"
#include "audio/lib/PluginCore.h"

using namespace horavia::bass;
using horavia::audiolib::CreateFamilyStream;
using horavia::audiolib::FormatFamily;

HORAVIA_AUDIO_EXPORT HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                                                       DWORD flags) {
    return CreateFamilyStream(mem, file, offset, length, flags, FormatFamily::Wma);
}
