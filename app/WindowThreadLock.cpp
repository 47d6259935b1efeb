#include "app/WindowThreadLock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <cerrno>
#include <glib.h>
#include <thread>

namespace horavia {
namespace {

std::mutex* gMutex = nullptr;
std::thread::id gOwner;

// The window thread's poll, with the lock let go while it waits. Another thread iterating the same context (GLib
// allows one at a time) does not hold the lock and polls as usual.
gint PollUnlocked(GPollFD* fds, guint count, gint timeout) {
    if (std::this_thread::get_id() != gOwner) {
        return g_poll(fds, count, timeout);
    }
    gMutex->unlock();
    const gint ready = g_poll(fds, count, timeout);
    const int pollErrno = errno;
    gMutex->lock();
    errno = pollErrno; // GLib reads it after a failed poll
    return ready;
}

} // namespace

std::shared_ptr<WindowThreadLock> WindowThreadLock::Shared() {
    static std::weak_ptr<WindowThreadLock> shared;
    if (auto lock = shared.lock()) {
        return lock;
    }
    // Qt runs the main thread's events through GLib's default context when it uses GLib at all.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr || !dispatcher->inherits("QEventDispatcherGlib") ||
        QCoreApplication::instance() == nullptr || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return nullptr;
    }
    std::shared_ptr<WindowThreadLock> lock(new WindowThreadLock);
    shared = lock;
    return lock;
}

WindowThreadLock::WindowThreadLock() {
    mutex_.lock();
    gMutex = &mutex_;
    gOwner = std::this_thread::get_id();
    g_main_context_set_poll_func(g_main_context_default(), PollUnlocked);
}

WindowThreadLock::~WindowThreadLock() {
    g_main_context_set_poll_func(g_main_context_default(), nullptr); // GLib's own poll again
    gMutex = nullptr;
    gOwner = {};
    mutex_.unlock();
}

} // namespace horavia
