// How quickly an announcement starts: the cost of Speak() on the window's thread, and the time from Speak()
// returning to the first synthesised sample, both with the voice idle and while it is cutting off a long text.

#include "speech/EspeakVoice.h"
#include "speech/SpeechAudioSink.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace horavia {
namespace {

using Clock = std::chrono::steady_clock;

// Notes when the first sample of each utterance arrives; an utterance starts with Clear().
class FirstSampleSink final : public SpeechAudioSink {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable arrived;
        int utterance = 0;       // counts Clear() calls
        int lastStamped = 0;     // the utterance whose first sample has come
        Clock::time_point first; // when it came

        // Waits for the first sample of the utterance after `after`; returns its arrival.
        Clock::time_point WaitFirstAfter(int after) {
            std::unique_lock lock(mutex);
            arrived.wait_for(lock, std::chrono::seconds(30), [&] { return lastStamped > after; });
            return first;
        }
        int Utterance() {
            const std::lock_guard lock(mutex);
            return utterance;
        }
    };

    explicit FirstSampleSink(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    bool Open(int /*sampleRate*/) override { return true; }
    void Write(const std::int16_t* /*samples*/, std::size_t count) override {
        const std::lock_guard lock(shared_->mutex);
        if (count > 0 && shared_->lastStamped != shared_->utterance) {
            shared_->first = Clock::now();
            shared_->lastStamped = shared_->utterance;
            shared_->arrived.notify_all();
        }
    }
    void Clear() override {
        const std::lock_guard lock(shared_->mutex);
        ++shared_->utterance;
    }
    void Close() override {}

private:
    std::shared_ptr<Shared> shared_;
};

const QString KReminder = QStringLiteral("还有 4 分钟 59 秒");

struct Fixture {
    std::shared_ptr<FirstSampleSink::Shared> shared = std::make_shared<FirstSampleSink::Shared>();
    EspeakVoice voice{std::make_unique<FirstSampleSink>(shared)};

    Fixture() {
        voice.GetVoices(); // connect outside the measurement
        voice.Speak(KReminder);
        voice.WaitUntilIdle(std::chrono::seconds(30)); // voices and dictionaries loaded
    }
};

double Microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// The caller's cost of Speak(); every call also cuts off the previous one, as quick announcements would.
void BM_SpeakCallOnCallerThread(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        f.voice.Speak(KReminder);
    }
    f.voice.WaitUntilIdle(std::chrono::seconds(30));
}
BENCHMARK(BM_SpeakCallOnCallerThread)->Unit(benchmark::kMicrosecond);

// Speaks text and records, as the iteration's time, how long after Speak() returned its first sample came.
void TimeFirstSample(benchmark::State& state, Fixture& f, const QString& text, double& worst) {
    const int before = f.shared->Utterance();
    f.voice.Speak(text);
    const Clock::time_point returned = Clock::now();
    const Clock::time_point first = f.shared->WaitFirstAfter(before);
    const double us = Microseconds(first - returned);
    worst = std::max(worst, us);
    state.SetIterationTime(us / 1e6);
    f.voice.WaitUntilIdle(std::chrono::seconds(30));
}

// Speak() returning to the first sample, the voice idle before.
void BM_SpeakToFirstSampleIdle(benchmark::State& state) {
    Fixture f;
    double worst = 0;
    for (auto _ : state) {
        TimeFirstSample(state, f, KReminder, worst);
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_SpeakToFirstSampleIdle)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Speak() returning to the first sample of the new text while a long one is still being synthesised:
// how soon a new announcement cuts off the old.
void BM_SpeakToFirstSampleCuttingOff(benchmark::State& state) {
    Fixture f;
    const QString longText = QStringLiteral("还有 1 小时 59 分钟 59 秒。").repeated(400);
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int started = f.shared->Utterance();
        f.voice.Speak(longText);
        f.shared->WaitFirstAfter(started);
        state.ResumeTiming();

        TimeFirstSample(state, f, QStringLiteral("It's 3:00 PM"), worst);
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_SpeakToFirstSampleCuttingOff)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace horavia
