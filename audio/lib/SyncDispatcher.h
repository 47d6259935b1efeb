#pragma once

#include "audio/lib/SyncRecord.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace horavia::audiolib {

// Runs notifications that are not mix-time on a thread of their own, in the order they happened, so a
// slow routine never holds up the mixer and a routine may call back into the library.
class SyncDispatcher final {
public:
    SyncDispatcher();
    ~SyncDispatcher();
    SyncDispatcher(const SyncDispatcher&) = delete;
    SyncDispatcher& operator=(const SyncDispatcher&) = delete;

    void Post(std::shared_ptr<SyncRecord> sync, bass::DWORD data);

private:
    struct Pending {
        std::shared_ptr<SyncRecord> sync;
        bass::DWORD data;
    };
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Pending> queue_;
    bool quit_ = false;
    std::thread thread_;
};

} // namespace horavia::audiolib
