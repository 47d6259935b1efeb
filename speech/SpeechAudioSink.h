#pragma once

#include <cstddef>
#include <cstdint>

namespace horavia {

// Where synthesised speech goes: the sound server in the program, memory in tests and benchmarks.
// A speech voice calls every operation from its own synthesis thread, never from two threads at once.
class SpeechAudioSink {
public:
    virtual ~SpeechAudioSink() = default;

    /// Called before each utterance with the sample rate of the mono signed 16-bit samples that follow;
    /// false when there is no output now (the utterance is then synthesised and dropped).
    virtual bool Open(int sampleRate) = 0;
    /// Appends samples after those already queued.
    virtual void Write(const std::int16_t* samples, std::size_t count) = 0;
    /// Drops everything queued and not yet heard; the next utterance starts from silence.
    virtual void Clear() = 0;
    /// Releases the output; the last call, made on the synthesis thread just before that thread ends.
    virtual void Close() = 0;
};

} // namespace horavia
