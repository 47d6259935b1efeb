// How long the settings store and the string table take: parsing and printing the file, a whole
// load, a whole save (with its fsync and rename), and a string lookup as every announcement does.
#include "settings/RegistryFile.h"
#include "settings/SettingsStore.h"
#include "texts/Texts.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace horavia {
namespace {

class NoVoices final : public SpeechVoice {
public:
    QStringList GetVoices() override { return {}; }
    void SetVoice(int) override {}
    void Speak(const QString&) override {}
};

Settings Typical() {
    Settings s;
    s.SoundFile = QStringLiteral("/home/用户/音乐/闹钟 🔔.mp3");
    s.VoiceName = QStringLiteral("Mandarin 女声");
    s.RemindPeriod = 300;
    s.ShowMsgBox = true;
    s.PlaySound = true;
    return s;
}

struct TempStore {
    TempStore() : path(dir.path() + QStringLiteral("/horavia/settings.conf")) {
        Settings s = Typical();
        NoVoices voice;
        SaveSettings(s, voice, 100, 200, path);
    }
    QTemporaryDir dir;
    QString path;
};

void BM_ParseAndPrint(benchmark::State& state) {
    TempStore store;
    QFile file(store.path);
    file.open(QIODevice::ReadOnly);
    const std::string text = file.readAll().toStdString();
    for (auto _ : state) {
        auto parsed = RegistryFile::Parse(text);
        benchmark::DoNotOptimize(parsed->Serialize());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseAndPrint);

void BM_LoadSettings(benchmark::State& state) {
    TempStore store;
    NoVoices voice;
    for (auto _ : state) {
        Settings s;
        LoadSettings(s, voice, store.path);
        benchmark::DoNotOptimize(s.RemindPeriod);
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

void BM_SaveSettings(benchmark::State& state) {
    TempStore store;
    NoVoices voice;
    Settings s = Typical();
    for (auto _ : state) {
        SaveSettings(s, voice, 100, 200, store.path);
    }
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMicrosecond);

void BM_RemainingTimeText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatTemplate(
            LoadStr(StringId::RemainingTime),
            {UnitPhrase(TimeUnit::Hours, 1), UnitPhrase(TimeUnit::Minutes, 5), UnitPhrase(TimeUnit::Seconds, 0)}));
    }
}
BENCHMARK(BM_RemainingTimeText);

} // namespace
} // namespace horavia
