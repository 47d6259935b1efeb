#include "app/OffThreadTicker.h"

namespace horavia {

OffThreadTicker::OffThreadTicker(std::mutex& lock, Tick tick) : lock_(lock), tick_(std::move(tick)) {
    thread_ = std::thread([this] { Run(); });
}

OffThreadTicker::~OffThreadTicker() {
    ending_ = true;
    wake_.notify_one();
    lock_.unlock();
    thread_.join();
    lock_.lock();
}

void OffThreadTicker::Start(int firstMs) {
    running_ = true;
    step_ = firstMs;
    due_ = Clock::now() + std::chrono::milliseconds(firstMs);
    wake_.notify_one();
}

void OffThreadTicker::Stop() {
    // Not woken: the thread finds it stopped when the tick it waits for falls due, and waits for a start from then on.
    // Stop is called at every tick of the window's thread, and a wake each time would cost two thread switches.
    running_ = false;
}

void OffThreadTicker::Run() {
    std::unique_lock<std::mutex> held(lock_);
    while (!ending_) {
        if (!running_) {
            wake_.wait(held);
            continue;
        }
        // Woken early (a start, a stop, the end, or for no reason), the loop looks again at what it should do.
        if (Clock::now() < due_) {
            wake_.wait_until(held, due_);
            continue;
        }
        std::optional<int> next = step_;
        try {
            next = tick_();
        } catch (...) {
            // A thread's exception would end the program, and an end of the ticking would stop the display: a tick
            // that throws is over, and the next one comes a step later as the last one asked.
        }
        if (!next) {
            running_ = false;
            continue;
        }
        // Each tick comes a whole interval after the last one was due, so the ticks keep their step; a tick so
        // late that the next is already due comes at once, without a burst to catch up.
        step_ = *next;
        due_ += std::chrono::milliseconds(*next);
        const Clock::time_point now = Clock::now();
        if (due_ < now) {
            due_ = now;
        }
    }
}

} // namespace horavia
