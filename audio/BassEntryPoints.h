#pragma once

#include "audio/lib/BassTypes.h"

namespace horavia {

// The core module's entry points as the player resolves them by name; the calls that create a stream from
// a file are the format table's (AudioModules). A null entry is one that the module did not offer.
struct TBassEntryPoints {
    bass::BASS_Init_t BASS_Init = nullptr;
    bass::BASS_Free_t BASS_Free = nullptr;
    bass::BASS_GetVolume_t BASS_GetVolume = nullptr;
    bass::BASS_SetVolume_t BASS_SetVolume = nullptr;
    bass::BASS_ErrorGetCode_t BASS_ErrorGetCode = nullptr;
    bass::BASS_StreamCreateURL_t BASS_StreamCreateURL = nullptr;
    bass::BASS_StreamFree_t BASS_StreamFree = nullptr;
    bass::BASS_StreamGetTags_t BASS_StreamGetTags = nullptr;
    bass::BASS_ChannelSetSync_t BASS_ChannelSetSync = nullptr;
    bass::BASS_ChannelRemoveSync_t BASS_ChannelRemoveSync = nullptr;
    bass::BASS_ChannelGetLength_t BASS_ChannelGetLength = nullptr;
    bass::BASS_ChannelGetPosition_t BASS_ChannelGetPosition = nullptr;
    bass::BASS_ChannelBytes2Seconds_t BASS_ChannelBytes2Seconds = nullptr;
    bass::BASS_ChannelGetInfo_t BASS_ChannelGetInfo = nullptr;
    bass::BASS_ChannelPlay_t BASS_ChannelPlay = nullptr;
    bass::BASS_ChannelStop_t BASS_ChannelStop = nullptr;
};

} // namespace horavia
