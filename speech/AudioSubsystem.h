#pragma once

namespace horavia {

// Starts the sound output subsystem once, on the main thread, for the whole run. Speech and the
// alarm sound each open their own output from their own threads later; SDL counts its starts but
// does not guard two first starts that race, so the program makes the first one here.
class AudioSubsystem final {
public:
    AudioSubsystem();
    ~AudioSubsystem();
    AudioSubsystem(const AudioSubsystem&) = delete;
    AudioSubsystem& operator=(const AudioSubsystem&) = delete;

    bool Started() const { return started_; }

private:
    bool started_ = false;
};

} // namespace horavia
