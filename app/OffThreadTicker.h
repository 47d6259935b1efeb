#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace horavia {

// Runs a tick on a thread of its own, at the instants the ticks ask for, each with a lock held that the window
// thread lets go of only while it waits for events: a tick sees the window's state between two events, and the
// window thread is not woken for it. The owner calls every member with that lock held.
class OffThreadTicker final {
public:
    // The milliseconds to the next tick, or nothing to stop ticking. After a tick that throws, the next comes as the
    // last tick asked.
    using Tick = std::function<std::optional<int>()>;

    OffThreadTicker(std::mutex& lock, Tick tick);
    // Ends the thread; lets go of the lock meanwhile, so a tick waiting for it can see the end.
    ~OffThreadTicker();
    OffThreadTicker(const OffThreadTicker&) = delete;
    OffThreadTicker& operator=(const OffThreadTicker&) = delete;

    // Ticks first after firstMs, then as each tick asks.
    void Start(int firstMs);
    // No tick starts after this returns.
    void Stop();
    bool Running() const { return running_; }

private:
    using Clock = std::chrono::steady_clock;

    void Run();

    std::mutex& lock_;
    Tick tick_;
    std::condition_variable wake_;
    bool running_ = false;
    bool ending_ = false;
    Clock::time_point due_;
    int step_ = 0; // ms the last tick asked for
    std::thread thread_;
};

} // namespace horavia
