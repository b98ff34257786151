#include <benchmark/benchmark.h>

#include "foundation/gCArray.h"

// Appending one element at a time: automatic growth keeps reallocations rare.
static void BM_ArrayAppend(benchmark::State& state) {
    const int32_t n = int32_t(state.range(0));
    for (auto _ : state) {
        gCArray<int32_t> a;
        for (int32_t i = 0; i < n; ++i) {
            if (a.Add(i) != eNoError) {
                state.SkipWithError("out of memory");
                return;
            }
        }
        benchmark::DoNotOptimize(a.GetData());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ArrayAppend)->Arg(1000)->Arg(100000);
