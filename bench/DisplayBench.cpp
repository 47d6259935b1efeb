// The window's drawing on the real window with the real pictures: one DrawDisplay per mode, a whole
// tick with the paint it asks for, and one RefreshBackground. The clock moves on by one tick (200 ms)
// before each drawing, as it does between real ticks. Also counts heap allocations on the tick's path
// after the first tick.
#include "app/TfmTimerMain.h"

#include "platform/SystemClock.h"
#include "speech/UnavailableSpeechVoice.h"

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

} // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace horavia {
namespace {

// The system's time when the benchmark starts, moved on by whole ticks.
class TickingClock final : public Clock {
public:
    TDateTime Now() const override { return now_; }
    void Tick() { now_ += 200.0 / MillisecondsPerDay; }

private:
    TDateTime now_ = SystemClock().Now();
};

struct Fixture {
    TickingClock clock;
    NoPower power;
    DesktopShell shell;
    UnavailableSpeechVoice voice;
    std::unique_ptr<TfmTimerMain> window;

    Fixture() {
        MainWindowServices services;
        services.clock = &clock;
        services.shell = &shell;
        services.power = &power;
        services.voice = &voice;
        window = std::make_unique<TfmTimerMain>(services);
        window->Config.ShowMsgBox = false; // a countdown the ticks run out ends without a box to wait in
        window->Config.PlaySound = false;
        window->Timer1.stop();
        window->Timer1Timer(); // the first tick composes everything
        window->Timer1.stop();
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// What the window repaints after a present: the rectangles the tick changed.
QRegion PresentedRegion(const TfmTimerMain& w) {
    QRegion region;
    for (const TRect& r : w.DXDraw.LastPresented()) {
        region += QRect(r.Left, r.Top, r.Width(), r.Height());
    }
    return region;
}

void TickPath(benchmark::State& state, TfmTimerMain& w) {
    w.DrawDisplay(); // warm: strip and texts reach their sizes
    const long before = allocations.load();
    long iterations = 0;
    for (auto _ : state) {
        Shared().clock.Tick();
        w.DrawDisplay();
        ++iterations;
    }
    state.counters["allocs_per_draw"] =
        benchmark::Counter(static_cast<double>(allocations.load() - before) / static_cast<double>(iterations));
}

void BM_DrawDisplayClock(benchmark::State& state) {
    TfmTimerMain& w = *Shared().window;
    w.Engine.ShowClock();
    TickPath(state, w);
}
BENCHMARK(BM_DrawDisplayClock);

void BM_DrawDisplayCountdown(benchmark::State& state) {
    TfmTimerMain& w = *Shared().window;
    CountdownRequest r;
    r.Hours = 99; // 1.8 million ticks
    w.Engine.StartCountdown(r);
    TickPath(state, w);
    w.Engine.ShowClock();
}
BENCHMARK(BM_DrawDisplayCountdown);

void BM_DrawDisplayStopwatch(benchmark::State& state) {
    TfmTimerMain& w = *Shared().window;
    w.OnButtonClick(w.Buttons().btnStopwatchTab.get());
    w.OnButtonClick(w.Buttons().btnLcdStartPause.get());
    TickPath(state, w);
    w.OnButtonClick(w.Buttons().btnClockTab.get());
}
BENCHMARK(BM_DrawDisplayStopwatch);

// A whole tick: compose, present, and the window's paint of what the present asked for, rendered
// offscreen into an image of the backing store's format.
void BM_TickWithPaintStopwatch(benchmark::State& state) {
    TfmTimerMain& w = *Shared().window;
    w.OnButtonClick(w.Buttons().btnStopwatchTab.get());
    w.OnButtonClick(w.Buttons().btnLcdStartPause.get());
    QImage target(w.DXDraw.Width(), w.DXDraw.Height(), QImage::Format_RGB32);
    w.DrawDisplay();
    for (auto _ : state) {
        Shared().clock.Tick();
        w.DrawDisplay();
        const QRegion region = PresentedRegion(w);
        w.render(&target, region.boundingRect().topLeft(), region);
    }
    w.OnButtonClick(w.Buttons().btnClockTab.get());
}
BENCHMARK(BM_TickWithPaintStopwatch);

void BM_RefreshBackground(benchmark::State& state) {
    TfmTimerMain& w = *Shared().window;
    for (auto _ : state) {
        w.RefreshBackground();
    }
}
BENCHMARK(BM_RefreshBackground);

} // namespace
} // namespace horavia

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
