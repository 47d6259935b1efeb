#pragma once

#include <memory>
#include <mutex>

namespace horavia {

// The window thread's hold on the window's state. The window thread holds the lock whenever it runs and lets go
// only while its event loop waits for something to happen, so another thread that takes the lock finds the window
// between two events, never inside one. The event loop waiting is GLib's poll, which Qt's event loop goes through
// on Linux; the lock wraps that poll.
class WindowThreadLock final {
public:
    // The one lock of the calling thread's event loop, made on first use and shared by everyone who asks; nothing when
    // the event loop is not GLib's, whose waiting cannot be caught. Call from the window thread, outside a wait.
    static std::shared_ptr<WindowThreadLock> Shared();
    // Gives the event loop back its own poll; the window thread no longer holds the lock. On the window thread.
    ~WindowThreadLock();
    WindowThreadLock(const WindowThreadLock&) = delete;
    WindowThreadLock& operator=(const WindowThreadLock&) = delete;

    std::mutex& Mutex() { return mutex_; }

private:
    WindowThreadLock();

    std::mutex mutex_;
};

} // namespace horavia
