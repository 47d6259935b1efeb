// Sound player through the real modules and SDL's disk driver: how long from Play until the first sample
// reaches the output, what SetFileName and Play cost their caller, and how much CPU a long mp3 costs while
// it plays. Reports numbers, asserts nothing.

#include "audio/RsySoundPlayer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono;
using horavia::SoundPlayer;
using horavia::TRsySoundPlayer;

const std::string Dir = std::string(HORAVIA_BENCH_DIR);
const std::string Song = Dir + "/three-minutes.mp3";
const std::string Output = Dir + "/output.raw";

void Prepare() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    setenv("HORAVIA_AUDIO_MODULE_DIR", HORAVIA_BENCH_MODULE_DIR, 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", Output.c_str(), 1);
    if (!std::ifstream(Song).good()) {
        const std::string cmd =
            "mkdir -p '" + Dir +
            "' && ffmpeg -nostdin -loglevel error -y -f lavfi -i "
            "'sine=frequency=440:duration=180:sample_rate=44100' -ac 2 -c:a libmp3lame -b:a 192k '" +
            Song + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::abort();
        }
    }
}

off_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// True once a sample that is not silence lies in the output beyond `from`.
bool LoudAfter(off_t from) {
    std::ifstream in(Output, std::ios::binary);
    in.seekg(from);
    char buf[8192];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        const auto n = in.gcount() / 2;
        for (std::streamsize i = 0; i < n; ++i) {
            std::int16_t v;
            std::memcpy(&v, buf + 2 * i, 2);
            if (v > 256 || v < -256) {
                return true;
            }
        }
    }
    return false;
}

void BM_PlayToFirstSample(benchmark::State& state) {
    Prepare();
    TRsySoundPlayer player(nullptr);
    SoundPlayer = &player;
    for (auto _ : state) {
        player.SetFileName(QString::fromStdString(Song));
        std::this_thread::sleep_for(50ms); // let the output settle to silence
        const off_t before = FileSize(Output);
        const auto start = steady_clock::now();
        player.Play();
        while (!LoudAfter(before) && steady_clock::now() - start < 5s) {
            std::this_thread::sleep_for(200us);
        }
        state.SetIterationTime(duration<double>(steady_clock::now() - start).count());
        player.Stop();
    }
    SoundPlayer = nullptr;
}
BENCHMARK(BM_PlayToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void BM_CpuWhilePlayingLongMp3(benchmark::State& state) {
    Prepare();
    TRsySoundPlayer player(nullptr);
    SoundPlayer = &player;
    double cpuShare = 0;
    for (auto _ : state) {
        player.SetFileName(QString::fromStdString(Song));
        player.Play();
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = steady_clock::now();
        std::this_thread::sleep_for(10s);
        cpuShare = (ProcessCpuSeconds() - cpu0) / duration<double>(steady_clock::now() - wall0).count();
        player.Stop();
    }
    state.counters["cpu_percent_of_one_core"] = cpuShare * 100.0;
    SoundPlayer = nullptr;
}
BENCHMARK(BM_CpuWhilePlayingLongMp3)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

namespace {

// Opening alone: container probe and the length scan of the whole file. The player does this on its worker;
// here it runs on the calling thread so that its cost can be timed.
void BM_OpenLongMp3(benchmark::State& state) {
    Prepare();
    TRsySoundPlayer::Dependencies deps;
    deps.openOnCallerThread = true;
    TRsySoundPlayer player(nullptr, std::move(deps));
    for (auto _ : state) {
        player.SetFileName(QString::fromStdString(Song));
    }
}
BENCHMARK(BM_OpenLongMp3)->Unit(benchmark::kMillisecond)->Iterations(10);

// What the window's thread pays for SetFileName and Play: handing the work to the worker.
void BM_CallerCostOfSetFileNameAndPlay(benchmark::State& state) {
    Prepare();
    TRsySoundPlayer player(nullptr);
    SoundPlayer = &player;
    for (auto _ : state) {
        player.SetFileName(QString::fromStdString(Song));
        player.Play();
        state.PauseTiming();
        player.Stop();
        state.ResumeTiming();
    }
    SoundPlayer = nullptr;
}
BENCHMARK(BM_CallerCostOfSetFileNameAndPlay)->Unit(benchmark::kMicrosecond)->Iterations(20);

} // namespace
