#pragma once

#include "audio/lib/BassTypes.h"

#include <atomic>

namespace horavia::audiolib {

// One notification set on a channel with BASS_ChannelSetSync.
struct SyncRecord {
    bass::HSYNC handle = 0;
    bass::DWORD channel = 0;
    bass::DWORD type = 0; // kind in the low bits, plus BASS_SYNC_MIXTIME / BASS_SYNC_ONETIME
    bass::QWORD param = 0;
    bass::SYNCPROC proc = nullptr;
    void* user = nullptr;
    // set by BASS_ChannelRemoveSync or when the stream goes; a queued delivery is then dropped
    std::atomic<bool> removed{false};

    bass::DWORD Kind() const { return type & 0xffffu; }
    bool MixTime() const { return (type & bass::BASS_SYNC_MIXTIME) != 0; }
    bool OneTime() const { return (type & bass::BASS_SYNC_ONETIME) != 0; }
};

} // namespace horavia::audiolib
