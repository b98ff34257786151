#include <benchmark/benchmark.h>

#include <chrono>

#include "imaging/CRegion.h"

namespace {

// Adds every 16 x 16 tile of a width x height area, row by row, as the undo
// of a whole-canvas change does; stops at the first failure.
error AddAllTiles(CRegion& region, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; y += 16) {
        for (int32_t x = 0; x < width; x += 16) {
            if (const error e = region.AddRect(
                    {x, y, x + 16 < width ? x + 16 : width, y + 16 < height ? y + 16 : height})) {
                return e;
            }
        }
    }
    return eNoError;
}

error SecondsToAddAllTiles(int32_t width, int32_t height, double& seconds) {
    CRegion region;
    const auto start = std::chrono::steady_clock::now();
    const error e = AddAllTiles(region, width, height);
    const auto stop = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(region.GetRects().GetData());
    seconds = std::chrono::duration<double>(stop - start).count();
    return e;
}

void BM_RegionAddTiles(benchmark::State& state) {
    const int32_t width = int32_t(state.range(0));
    const int32_t height = int32_t(state.range(1));
    int64_t tiles = 0;
    for (auto _ : state) {
        CRegion region;
        if (AddAllTiles(region, width, height) != eNoError) {
            state.SkipWithError("out of memory");
            break;
        }
        tiles = region.GetCount();
        benchmark::DoNotOptimize(region.GetRects().GetData());
    }
    state.SetItemsProcessed(state.iterations() * tiles);
    state.counters["tiles"] = double(tiles);
}
BENCHMARK(BM_RegionAddTiles)->Args({1000, 750})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

// Both sizes in one run, best of several: 16 times the tiles should cost
// well under 32 times the time.
void BM_RegionTileScaling(benchmark::State& state) {
    double small = 1e9;
    double large = 1e9;
    for (auto _ : state) {
        double smallRun = 0.0;
        double largeRun = 0.0;
        if (SecondsToAddAllTiles(1000, 750, smallRun) != eNoError ||
            SecondsToAddAllTiles(4000, 3000, largeRun) != eNoError) {
            state.SkipWithError("out of memory");
            return;
        }
        small = std::min(small, smallRun);
        large = std::min(large, largeRun);
    }
    state.counters["small_ms"] = small * 1e3;
    state.counters["large_ms"] = large * 1e3;
    state.counters["ratio"] = large / small;
}
BENCHMARK(BM_RegionTileScaling)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
