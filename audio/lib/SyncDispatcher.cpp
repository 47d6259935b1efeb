#include "audio/lib/SyncDispatcher.h"

namespace horavia::audiolib {

SyncDispatcher::SyncDispatcher() : thread_([this] { Run(); }) {}

SyncDispatcher::~SyncDispatcher() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SyncDispatcher::Post(std::shared_ptr<SyncRecord> sync, bass::DWORD data) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({std::move(sync), data});
    }
    wake_.notify_one();
}

void SyncDispatcher::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        // what is still queued at shutdown is dropped: the library is going away
        if (quit_) {
            return;
        }
        Pending p = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        if (!p.sync->removed.load()) {
            p.sync->proc(p.sync->handle, p.sync->channel, p.data, p.sync->user);
        }
        lock.lock();
    }
}

} // namespace horavia::audiolib
