#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "bench/peer/PaintLikeLayers.h"
#include "imaging/PixelPaths.h"
#include "paint/relight/Relight.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/paint/RelightReference.h"

// The relight of a 4000 × 3000 painting: paper grain, patches of paint with
// depth ramps, and finish values, beside a memcpy of the 16 bytes per pixel
// it reads and writes. Counters: ns per pixel.
namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;
constexpr size_t kPixels = size_t(kWidth) * kHeight;

struct Painting {
    std::vector<uint32_t> l0, l1, l2, target;
    std::vector<int32_t> starts, ends;
    CStandardRenderer renderer;

    Painting() : l0(kPixels), l1(kPixels), l2(kPixels), target(kPixels) {
        (void)renderer.SetupRenderer(); // only memory could fail, and then the figures say so
        std::mt19937 rng(7);
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const size_t i = size_t(y) * kWidth + size_t(x);
                const SPaintLikePixel p = PaintLikePixel(x, y, rng);
                l0[i] = p.l0;
                l1[i] = p.l1;
                l2[i] = p.l2;
            }
        }
    }

    relight::Job Job() {
        relight::Job job;
        job.l0 = l0.data();
        job.l1 = l1.data();
        job.l2 = l2.data();
        job.width = kWidth;
        job.height = kHeight;
        job.target = target.data();
        job.targetWidth = kWidth;
        job.targetHeight = kHeight;
        job.targetStride = kWidth;
        job.params = relight::ParamsFrom(0.5f, 0xFFFFFFFAu, 0.2f, 0.0f);
        job.first = 0;
        job.last = kHeight - 1;
        return job;
    }

    // Spans of a square dab of the side at (x, y), or of a stroke of the
    // width along the diagonal; the pixels they hold.
    int64_t SetDab(int32_t x, int32_t y, int32_t side, relight::Job& job) {
        starts.assign(size_t(kHeight), 0x7FFFFFFF);
        ends.assign(size_t(kHeight), -1);
        for (int32_t r = y; r < y + side; ++r) {
            starts[size_t(r)] = x;
            ends[size_t(r)] = x + side - 1;
        }
        job.first = y;
        job.last = y + side - 1;
        Attach(job);
        return int64_t(side) * side;
    }
    int64_t SetDiagonal(int32_t width, relight::Job& job) {
        starts.assign(size_t(kHeight), 0x7FFFFFFF);
        ends.assign(size_t(kHeight), -1);
        int64_t pixels = 0;
        for (int32_t r = 0; r < kHeight; ++r) {
            // A stroke at 45 degrees is width × √2 wide along a row.
            const int32_t centre = r * kWidth / kHeight, half = width * 707 / 1000;
            starts[size_t(r)] = std::max(centre - half, 0);
            ends[size_t(r)] = std::min(centre + half, kWidth - 1);
            pixels += ends[size_t(r)] - starts[size_t(r)] + 1;
        }
        job.first = 0;
        job.last = kHeight - 1;
        Attach(job);
        return pixels;
    }
    void Attach(relight::Job& job) {
        job.starts = starts.data();
        job.ends = ends.data();
        job.spanRows = kHeight;
    }
};

Painting& Shared() {
    static Painting p;
    return p;
}

void PerPixel(benchmark::State& state, int64_t pixels) {
    state.counters["ns_per_px"] =
        benchmark::Counter(double(pixels) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

// Parts: 1, or 0 for as many as the machine has.
void Relight(benchmark::State& state, CPixelPaths::EPath path, int32_t parts) {
    Painting& p = Shared();
    CForcePixelPath force(path);
    if (!force.IsForced() && path != CPixelPaths::Active()) {
        state.SkipWithError("path not present");
        return;
    }
    relight::ForceParts(parts);
    const relight::Job job = p.Job();
    for (auto _ : state) {
        relight::Run(p.renderer, job, nullptr);
        benchmark::DoNotOptimize(p.target.data());
    }
    relight::ForceParts(0);
    PerPixel(state, int64_t(kPixels));
}

void BM_RelightReference(benchmark::State& state) {
    Painting& p = Shared();
    const relight::Job job = p.Job();
    for (auto _ : state) {
        ReferenceRelight(p.renderer, job, nullptr);
        benchmark::DoNotOptimize(p.target.data());
    }
    PerPixel(state, int64_t(kPixels));
}
BENCHMARK(BM_RelightReference)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_CAPTURE(Relight, plain_1, CPixelPaths::ePlain, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Relight, plain_all, CPixelPaths::ePlain, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Relight, sse2_1, CPixelPaths::eSse2, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Relight, avx2_1, CPixelPaths::eAvx2, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Relight, avx2_all, CPixelPaths::eAvx2, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What the relight's memory traffic alone costs: 16 bytes per pixel.
void BM_Memcpy16PerPixel(benchmark::State& state) {
    std::vector<uint8_t> from(kPixels * 8, 1), to(kPixels * 8);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
    }
    PerPixel(state, int64_t(kPixels));
}
BENCHMARK(BM_Memcpy16PerPixel)->Unit(benchmark::kMillisecond);

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
// The shading kernel alone on AVX2, the highlight gathered (as the relight
// runs it) or looked up lane by lane, over a row of paint-like pixels lit
// by the standard renderer's lights, with normals of a gently bumpy canvas.
void ShadeKernel(benchmark::State& state, relight::ShadeProc shade) {
    if (CPixelPaths::Active() < CPixelPaths::eAvx2) {
        state.SkipWithError("no AVX2 on this processor");
        return;
    }
    static Painting painting;
    const CStandardRenderer& r = painting.renderer;
    const relight::Shading shading = relight::MakeShading(
        r.Lights().GetData(), r.Lights().GetSize(), r.FillLight(), r.HighlightTable(0),
        [](const void* c, int32_t i, int32_t d) {
            return static_cast<const CStandardRenderer*>(c)->HighlightOf(i, d);
        },
        &r);
    constexpr int32_t kRow = 1 << 16;
    std::mt19937 rng(11);
    std::vector<int32_t> nx(kRow), ny(kRow), nz(kRow);
    for (int32_t i = 0; i < kRow; ++i) {
        const int32_t x = int32_t(rng() % 401) - 200, y = int32_t(rng() % 401) - 200;
        nx[size_t(i)] = x;
        ny[size_t(i)] = y;
        nz[size_t(i)] = int32_t(std::sqrt(float(1024 * 1024 - x * x - y * y)));
    }
    std::vector<uint32_t> out(kRow);
    const relight::Params params = relight::ParamsFrom(0.5f, 0xFFFFFFFAu, 0.2f, 0.0f);
    for (auto _ : state) {
        shade(shading, params, painting.l0.data(), painting.l2.data(), nx.data(), ny.data(),
              nz.data(), kRow, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["ns_per_pixel"] = benchmark::Counter(
        double(state.iterations()) * kRow, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["lights"] = shading.count;
}
BENCHMARK_CAPTURE(ShadeKernel, avx2_gather, relight::ShadeAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ShadeKernel, avx2_table, relight::ShadeAvx2Table)->Unit(benchmark::kMicrosecond);
#endif

void BM_RelightDab64(benchmark::State& state) {
    Painting& p = Shared();
    relight::Job job = p.Job();
    const int64_t pixels = p.SetDab(1800, 1400, 64, job);
    for (auto _ : state) {
        relight::Run(p.renderer, job, nullptr);
        benchmark::DoNotOptimize(p.target.data());
    }
    PerPixel(state, pixels);
}
BENCHMARK(BM_RelightDab64)->Unit(benchmark::kMicrosecond);

void BM_RelightDiagonalStroke40(benchmark::State& state) {
    Painting& p = Shared();
    relight::Job job = p.Job();
    const int64_t pixels = p.SetDiagonal(40, job);
    for (auto _ : state) {
        relight::Run(p.renderer, job, nullptr);
        benchmark::DoNotOptimize(p.target.data());
    }
    PerPixel(state, pixels);
}
BENCHMARK(BM_RelightDiagonalStroke40)->Unit(benchmark::kMicrosecond);

} // namespace
