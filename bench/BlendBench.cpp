#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "imaging/Pixel.h"

// The blends over a 1024 x 1024 picture: random colours, levels and
// destination alphas, so that nearly every pixel takes the general path.
namespace {

constexpr int32_t kSide = 1024;
constexpr size_t kPixels = size_t(kSide) * kSide;

struct Pictures {
    std::vector<CPixel> dst, src, fresh;
    std::vector<uint8_t> level;
    Pictures() : dst(kPixels), src(kPixels), fresh(kPixels), level(kPixels) {
        std::mt19937 rng(1);
        std::uniform_int_distribution<uint32_t> any;
        for (size_t i = 0; i < kPixels; ++i) {
            fresh[i] = any(rng);
            src[i] = any(rng);
            level[i] = uint8_t(any(rng));
        }
    }
    // Puts the destination back, untimed, so every pass blends the same data.
    void Reset(benchmark::State& state) {
        state.PauseTiming();
        std::memcpy(static_cast<void*>(dst.data()), fresh.data(), kPixels * sizeof(CPixel));
        state.ResumeTiming();
    }
};

Pictures& Shared() {
    static Pictures p;
    return p;
}

// Blends every pixel of the shared destination with op(dst, level, src).
template <class Op> void BlendAll(benchmark::State& state, Op op) {
    Pictures& p = Shared();
    for (auto _ : state) {
        p.Reset(state);
        for (size_t i = 0; i < kPixels; ++i) {
            op(p.dst[i], p.level[i], p.src[i]);
        }
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kPixels));
}

void BM_Blend255Proc(benchmark::State& state) {
    BlendAll(state, [](CPixel& d, int32_t l, CPixel s) { CPixel::Blend255Proc(&d, l, s); });
}
BENCHMARK(BM_Blend255Proc)->Unit(benchmark::kMillisecond);

// As the widget toolkit composites: through the process-wide hook.
void BM_Blend255Hook(benchmark::State& state) {
    CPixel::Blend255ProcPtr blend = CPixel::m_pBlend255Proc;
    benchmark::DoNotOptimize(blend);
    BlendAll(state, [blend](CPixel& d, int32_t l, CPixel s) { blend(&d, l, s); });
}
BENCHMARK(BM_Blend255Hook)->Unit(benchmark::kMillisecond);

void BM_AlphaBlend255(benchmark::State& state) {
    BlendAll(state, [](CPixel& d, int32_t l, CPixel s) { d.AlphaBlend255(l, s); });
}
BENCHMARK(BM_AlphaBlend255)->Unit(benchmark::kMillisecond);

void BM_AlphaMasked(benchmark::State& state) {
    BlendAll(state, [](CPixel& d, int32_t l, CPixel s) { d.AlphaMasked(uint32_t(l), s); });
}
BENCHMARK(BM_AlphaMasked)->Unit(benchmark::kMillisecond);

} // namespace
