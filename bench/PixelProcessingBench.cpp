#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/PixelMix.h"
#include "imaging/PixelPaths.h"
#include "imaging/Stretcher.h"

// Each benchmark counts megapixels per second (items) of the larger of its
// source and destination; the memcpy beside it copies the same number of
// bytes, for scale.

namespace {

void FillRandom(CImage& image, uint32_t seed) {
    std::mt19937 rng(seed);
    CImNav view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            view.Row(y)[x] = CPixel(rng());
        }
    }
}

void Memcpy(benchmark::State& state, int64_t pixels) {
    std::vector<uint32_t> from(size_t(pixels), 0x12345678u);
    std::vector<uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
}

void BM_Multiply_1024x768(benchmark::State& state) {
    CImage dst(1024, 768), blend(1024, 768), base(1024, 768);
    FillRandom(blend, 1);
    FillRandom(base, 2);
    for (auto _ : state) {
        if (CPixelMix::Multiply(&dst, &blend, &base) != eNoError) {
            state.SkipWithError("mix failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_Multiply_1024x768)->Unit(benchmark::kMicrosecond);

// The same on the plain loop, for the gain of the vector one.
void BM_Multiply_1024x768_plain(benchmark::State& state) {
    CForcePixelPath plain(CPixelPaths::ePlain);
    BM_Multiply_1024x768(state);
}
BENCHMARK(BM_Multiply_1024x768_plain)->Unit(benchmark::kMicrosecond);

void BM_Multiply_1024x768_memcpy(benchmark::State& state) {
    Memcpy(state, 1024 * 768);
}
BENCHMARK(BM_Multiply_1024x768_memcpy)->Unit(benchmark::kMicrosecond);

void BM_GaussianBlur_1024x768_r40(benchmark::State& state) {
    CImage image(1024, 768);
    FillRandom(image, 3);
    for (auto _ : state) {
        CBlur::GaussianBlur(&image, 40.0f, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_GaussianBlur_1024x768_r40)->Unit(benchmark::kMillisecond);

void BM_GaussianBlur_1024x768_r40_memcpy(benchmark::State& state) {
    Memcpy(state, 1024 * 768);
}
BENCHMARK(BM_GaussianBlur_1024x768_r40_memcpy)->Unit(benchmark::kMillisecond);

void BM_HighChannelBlur_4000x3000_r05(benchmark::State& state) {
    CImage image(4000, 3000);
    FillRandom(image, 4);
    for (auto _ : state) {
        CBlur::GaussianBlur(&image, 0.5f, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}
BENCHMARK(BM_HighChannelBlur_4000x3000_r05)->Unit(benchmark::kMillisecond);

void BM_HighChannelBlur_4000x3000_r05_memcpy(benchmark::State& state) {
    Memcpy(state, 4000 * 3000);
}
BENCHMARK(BM_HighChannelBlur_4000x3000_r05_memcpy)->Unit(benchmark::kMillisecond);

// StretchBlit of a 2048 x 2048 image to 0.37 and 2.7 times its size, and
// SuperSample to a quarter, on the path the program takes; the _plain forms
// force the plain loops for comparison.
void Scale(benchmark::State& state, int32_t dw, int32_t dh, bool boxes) {
    CImage src(2048, 2048), dst(dw, dh);
    FillRandom(src, 5);
    CImNav sv(&src), dv(&dst);
    for (auto _ : state) {
        const error e =
            boxes ? CStretcher::SuperSample(&dv, &sv) : CStretcher::StretchBlit(&dv, &sv, 0);
        if (e != eNoError) {
            state.SkipWithError("scaling failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::max<int64_t>(2048 * 2048, int64_t(dw) * dh));
}

constexpr int32_t kReduced = 758;   // 0.37 x 2048
constexpr int32_t kEnlarged = 5530; // 2.7 x 2048

void BM_StretchBlit_2048_to_0_37(benchmark::State& state) {
    Scale(state, kReduced, kReduced, false);
}
BENCHMARK(BM_StretchBlit_2048_to_0_37)->Unit(benchmark::kMillisecond);

void BM_StretchBlit_2048_to_0_37_plain(benchmark::State& state) {
    CForcePixelPath plain(CPixelPaths::ePlain);
    Scale(state, kReduced, kReduced, false);
}
BENCHMARK(BM_StretchBlit_2048_to_0_37_plain)->Unit(benchmark::kMillisecond);

void BM_StretchBlit_2048_to_0_37_memcpy(benchmark::State& state) {
    Memcpy(state, 2048 * 2048);
}
BENCHMARK(BM_StretchBlit_2048_to_0_37_memcpy)->Unit(benchmark::kMillisecond);

void BM_StretchBlit_2048_to_2_7(benchmark::State& state) {
    Scale(state, kEnlarged, kEnlarged, false);
}
BENCHMARK(BM_StretchBlit_2048_to_2_7)->Unit(benchmark::kMillisecond);

void BM_StretchBlit_2048_to_2_7_plain(benchmark::State& state) {
    CForcePixelPath plain(CPixelPaths::ePlain);
    Scale(state, kEnlarged, kEnlarged, false);
}
BENCHMARK(BM_StretchBlit_2048_to_2_7_plain)->Unit(benchmark::kMillisecond);

void BM_StretchBlit_2048_to_2_7_memcpy(benchmark::State& state) {
    Memcpy(state, int64_t(kEnlarged) * kEnlarged);
}
BENCHMARK(BM_StretchBlit_2048_to_2_7_memcpy)->Unit(benchmark::kMillisecond);

void BM_SuperSample_2048_to_quarter(benchmark::State& state) {
    Scale(state, 512, 512, true);
}
BENCHMARK(BM_SuperSample_2048_to_quarter)->Unit(benchmark::kMillisecond);

void BM_SuperSample_2048_to_quarter_plain(benchmark::State& state) {
    CForcePixelPath plain(CPixelPaths::ePlain);
    Scale(state, 512, 512, true);
}
BENCHMARK(BM_SuperSample_2048_to_quarter_plain)->Unit(benchmark::kMillisecond);

void BM_SuperSample_2048_to_quarter_memcpy(benchmark::State& state) {
    Memcpy(state, 2048 * 2048);
}
BENCHMARK(BM_SuperSample_2048_to_quarter_memcpy)->Unit(benchmark::kMillisecond);

} // namespace
