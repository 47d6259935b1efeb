#pragma once

#include "speech/SpeechAudioSink.h"

#include <memory>
#include <mutex>
#include <vector>

namespace horavia {

// Keeps speech in memory instead of playing it, so tests and benchmarks can look at what would be heard.
// The recording is shared: the voice owns the sink, the test keeps a Recording handle to read it from its thread.
class MemorySpeechAudioSink final : public SpeechAudioSink {
public:
    struct Recording {
        mutable std::mutex mutex;
        std::vector<std::int16_t> samples; // what would be heard now: cleared with the queue
        std::size_t written = 0;           // every sample ever written, cleared or not
        int sampleRate = 0;
        int clears = 0;

        std::vector<std::int16_t> Samples() const;
        std::size_t Written() const;
        int SampleRate() const;
    };

    /// available false makes Open fail, as when no sound output exists.
    explicit MemorySpeechAudioSink(std::shared_ptr<Recording> recording, bool available = true);

    bool Open(int sampleRate) override;
    void Write(const std::int16_t* samples, std::size_t count) override;
    void Clear() override;
    void Close() override {}

private:
    std::shared_ptr<Recording> recording_;
    bool available_;
};

} // namespace horavia
