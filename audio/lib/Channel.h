#pragma once

#include "audio/lib/BassTypes.h"
#include "audio/lib/Decoder.h"
#include "audio/lib/PcmQueue.h"
#include "audio/lib/SyncRecord.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace horavia::audiolib {

class HttpSource;

// One stream of the library. Every field is guarded by the engine's lock, except the decoder, which only
// the stream's own decoding thread touches once that thread runs.
struct Channel {
    bass::HSTREAM handle = 0;
    bass::BASS_CHANNELINFO info{};
    bass::QWORD length = bass::BASS_LENGTH_UNKNOWN; // decoded bytes, once known
    bass::QWORD position = 0;                       // bytes handed to the output so far
    bool playing = false;
    bool ended = false;      // played to its end
    bool decodeDone = false; // the decoder gave its last byte
    bool quit = false;       // the decoding thread must finish
    PcmQueue pending;        // decoded, not yet mixed
    std::vector<std::shared_ptr<SyncRecord>> syncs;
    std::string icyTags;  // NUL-separated header lines, ending with an empty one
    std::string metaTags; // the newest stream title
    // the copy handed out by the last BASS_StreamGetTags(META): it stays as it is until the next such call
    // on this stream, however often the reader brings new titles meanwhile
    std::string metaReturned;
    std::condition_variable room; // the decoding thread waits here for space in pending

    std::unique_ptr<Decoder> decoder;
    // for network streams the decoder is opened on the decoding thread, which may wait for data
    std::function<std::unique_ptr<Decoder>()> openDecoder;
    std::shared_ptr<HttpSource> net;
    std::thread thread;
};

} // namespace horavia::audiolib
