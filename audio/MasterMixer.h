#pragma once

namespace horavia {

// The system's master output line: volume per side (0..65535) and mute. Every call reports whether it
// worked; with no mixer all of them report failure.
class MasterMixer {
public:
    virtual ~MasterMixer() = default;
    // Reads left and right volume and the mute state of the master line.
    virtual bool ReadMaster(int& left, int& right, bool& mute) = 0;
    // Sets both volumes and the mute state of the master line.
    virtual bool WriteMaster(int left, int right, bool mute) = 0;
    // Sets the mute state alone.
    virtual bool SetMasterMute(bool mute) = 0;
};

} // namespace horavia
