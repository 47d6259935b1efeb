#pragma once

#include <cstdint>

namespace horavia {

// State of the sound player, one byte.
enum TPlayerState : std::uint8_t {
    psStopped = 0, // nothing plays; also right after a local file was opened
    psReady = 1,   // a network stream is open and connected but not started
    psPlaying = 2, // playback has been started
};

} // namespace horavia
