// Cost of the per-tick glyph drawing and of building the picture collections at start-up.

#include "display/GlyphIndex.h"
#include "display/ImageAssets.h"
#include "display/ImageDraw.h"

#include <benchmark/benchmark.h>

#include <string>

namespace horavia {
namespace {

const TImageCollections& Images() {
    static const TImageCollections Images = LoadImageCollections();
    return Images;
}

void BM_DrawLargeGlyph(benchmark::State& state) {
    Bitmap surface(400, 280);
    const TPngImage& glyph = Images().Digits.Item(GlyphIndex('8', true));
    for (auto _ : state) {
        Draw(glyph, surface, 38, 165);
        benchmark::DoNotOptimize(surface.Data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawLargeGlyph);

// One tick of the countdown: eight large and two small glyphs.
void BM_DrawCountdownTexts(benchmark::State& state) {
    Bitmap surface(400, 280);
    const std::string main = "00:12:34";
    const std::string hundredths = "56";
    for (auto _ : state) {
        const int n = static_cast<int>(main.size());
        for (int k = 0; k < n; ++k) {
            Draw(Images().Digits.Item(GlyphIndex(main[k], true)), surface, 16 + 310 - 36 * (n - k), 165);
        }
        for (int k = 0; k < 2; ++k) {
            Draw(Images().Digits.Item(GlyphIndex(hundredths[k], false)), surface, 16 + 310 + 18 * k, 165);
        }
        benchmark::DoNotOptimize(surface.Data());
    }
}
BENCHMARK(BM_DrawCountdownTexts);

void BM_StretchDrawWindowEdge(benchmark::State& state) {
    Bitmap surface(400, 280);
    const TPngImage& top = Images().MainBox.Item(5);
    for (auto _ : state) {
        StretchDraw(top, surface, {6, 0, 394, 2});
        benchmark::DoNotOptimize(surface.Data());
    }
}
BENCHMARK(BM_StretchDrawWindowEdge);

void BM_LoadAllCollections(benchmark::State& state) {
    for (auto _ : state) {
        TImageCollections images = LoadImageCollections();
        benchmark::DoNotOptimize(images.Buttons.Count());
    }
    state.SetItemsProcessed(state.iterations() * (26 + 24 + 8 + 8));
}
BENCHMARK(BM_LoadAllCollections)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace horavia
