#include "speech/MemorySpeechAudioSink.h"

namespace horavia {

std::vector<std::int16_t> MemorySpeechAudioSink::Recording::Samples() const {
    const std::lock_guard lock(mutex);
    return samples;
}

std::size_t MemorySpeechAudioSink::Recording::Written() const {
    const std::lock_guard lock(mutex);
    return written;
}

int MemorySpeechAudioSink::Recording::SampleRate() const {
    const std::lock_guard lock(mutex);
    return sampleRate;
}

MemorySpeechAudioSink::MemorySpeechAudioSink(std::shared_ptr<Recording> recording, bool available)
    : recording_(std::move(recording)), available_(available) {}

bool MemorySpeechAudioSink::Open(int sampleRate) {
    const std::lock_guard lock(recording_->mutex);
    recording_->sampleRate = sampleRate;
    return available_;
}

void MemorySpeechAudioSink::Write(const std::int16_t* samples, std::size_t count) {
    const std::lock_guard lock(recording_->mutex);
    recording_->samples.insert(recording_->samples.end(), samples, samples + count);
    recording_->written += count;
}

void MemorySpeechAudioSink::Clear() {
    const std::lock_guard lock(recording_->mutex);
    recording_->samples.clear();
    ++recording_->clears;
}

} // namespace horavia
