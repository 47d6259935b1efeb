#pragma once

#include "audio/MasterMixer.h"

#include <memory>

namespace horavia {

// The master line of the default sound device, through alsa-lib's simple mixer (control "Master").
// Volumes are scaled to 0..65535. When the device has no such control every call reports failure.
class TMyAudioMixer final : public MasterMixer {
public:
    TMyAudioMixer();
    ~TMyAudioMixer() override;
    TMyAudioMixer(const TMyAudioMixer&) = delete;
    TMyAudioMixer& operator=(const TMyAudioMixer&) = delete;

    bool ReadMaster(int& left, int& right, bool& mute) override;
    bool WriteMaster(int left, int right, bool mute) override;
    bool SetMasterMute(bool mute) override;

    // whether the master control was found
    bool Available() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace horavia
