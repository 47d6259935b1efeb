#include "app/OffThreadTicker.h"
#include "app/WindowThreadLock.h"
#include "support/GuiTestMain.h"

#include <QTimer>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace horavia {
namespace {

// Runs the window thread's events, waiting for each, until done() or after at most `rounds` of them.
template <typename Done> void RunEventsUntil(const Done& done, int rounds) {
    for (int i = 0; i < rounds && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// The ticker's thread takes the window thread's lock: its ticks come only while the window thread waits for
// events, never in the middle of one.
TEST(OffThreadTickerTest, TicksOnlyBetweenTheWindowThreadsEventsAndStopsWhenATickSaysSo) {
    const std::shared_ptr<WindowThreadLock> lock = WindowThreadLock::Shared();
    ASSERT_NE(lock, nullptr) << "Qt's event loop here is GLib's";
    EXPECT_EQ(WindowThreadLock::Shared(), lock) << "one lock for the thread";

    int inEvent = 0; // the window thread's, written without atomics: the lock is all that orders it
    bool tickSawAnEventHalfDone = false;
    std::atomic<int> ticks{0};
    constexpr int ticksWanted = 30;
    OffThreadTicker ticker(lock->Mutex(), [&]() -> std::optional<int> {
        tickSawAnEventHalfDone = tickSawAnEventHalfDone || inEvent != 0;
        ++ticks;
        return ticks < ticksWanted ? std::optional<int>(1) : std::nullopt;
    });

    // Events that take about as long as the waits between them: a tick let in at any moment would often land inside.
    QTimer busy;
    busy.setTimerType(Qt::PreciseTimer);
    QObject::connect(&busy, &QTimer::timeout, [&] {
        inEvent = 1;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
        while (std::chrono::steady_clock::now() < until) {
        }
        inEvent = 0;
    });
    busy.start(2);
    ticker.Start(0);
    RunEventsUntil([&] { return !ticker.Running(); }, 20000);
    ASSERT_FALSE(ticker.Running());
    EXPECT_EQ(ticks.load(), ticksWanted) << "no tick after the one that said stop";
    EXPECT_FALSE(tickSawAnEventHalfDone);

    // Started again, it ticks again; stopped, it starts no tick.
    ticks = 0;
    ticker.Start(0);
    RunEventsUntil([&] { return ticks >= 3; }, 20000);
    ASSERT_GE(ticks.load(), 3);
    ticker.Stop();
    const int ticksAtStop = ticks.load();
    QCoreApplication::processEvents(); // a wait of the window thread: the ticker could take the lock now
    EXPECT_EQ(ticks.load(), ticksAtStop);
}

// A tick that throws ends that tick, not the program nor the ticking: the next comes as the last one asked.
TEST(OffThreadTickerTest, ATickThatThrowsIsFollowedByTheNext) {
    const std::shared_ptr<WindowThreadLock> lock = WindowThreadLock::Shared();
    ASSERT_NE(lock, nullptr);
    std::atomic<int> ticks{0};
    OffThreadTicker ticker(lock->Mutex(), [&]() -> std::optional<int> {
        if (++ticks % 2 == 0) {
            throw std::runtime_error("a failing tick");
        }
        return 1;
    });
    QTimer waits; // the window thread's loop wakes every 2 ms, and waits in between
    waits.start(2);
    ticker.Start(0);
    RunEventsUntil([&] { return ticks >= 5; }, 2000);
    EXPECT_GE(ticks.load(), 5);
    EXPECT_TRUE(ticker.Running());
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
