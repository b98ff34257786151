// An image widget of 1024 x 768 drawn over a target of the same size: with
// alpha edges (blended where the alpha is partial, written where it is
// full), as an opaque blit, and from the run-length form; beside a memcpy of
// the same bytes, in megapixels per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/MemcpyShare.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr int32_t kEdge = 24; // the alpha ramp round a panel picture

// A panel picture: bands of colour, opaque inside, alpha falling off over
// the outer edge; runs of equal pixels, so it compresses as panels do.
std::unique_ptr<CImage> PanelPicture() {
    auto image = std::make_unique<CImage>(kWidth, kHeight);
    CImNav view(image.get());
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const int32_t d = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
            const uint32_t alpha = d >= kEdge ? 255u : uint32_t(d * 255 / kEdge);
            view.Row(y)[x] = (alpha << 24) | (uint32_t((y / 32) & 7) * 0x00182030u + 0x00403020u);
        }
    }
    return image;
}

void Render(benchmark::State& state, int32_t opaqueBlit, int32_t compressed) {
    CImWidget widget;
    if (widget.SetImage(PanelPicture().release(), 1, 0) != eNoError ||
        (compressed && (widget.CompressImage() != eNoError || !widget.Compressed()))) {
        state.SkipWithError("the picture cannot be set up");
        return;
    }
    widget.SetOpaqueBlit(opaqueBlit);
    CImage target(kWidth, kHeight);
    CImNav(&target).Fill(0xFF808080u);
    const gCRect area(0, 0, kWidth, kHeight);
    for (auto _ : state) {
        benchmark::DoNotOptimize(widget.RenderArea(area, &target, 255));
        benchmark::ClobberMemory();
    }
    state.counters["Mpx/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
    SetMemcpyShare(state, size_t(kWidth) * kHeight * 4);
}

void BM_ImageWidgetBlended(benchmark::State& state) {
    Render(state, 0, 0);
}
BENCHMARK(BM_ImageWidgetBlended);

void BM_ImageWidgetOpaqueBlit(benchmark::State& state) {
    Render(state, 1, 0);
}
BENCHMARK(BM_ImageWidgetOpaqueBlit);

void BM_ImageWidgetCompressed(benchmark::State& state) {
    Render(state, 0, 1);
}
BENCHMARK(BM_ImageWidgetCompressed);

void BM_MemcpySameBytes(benchmark::State& state) {
    std::vector<uint32_t> from(size_t(kWidth) * kHeight, 0x12345678u);
    std::vector<uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    state.counters["Mpx/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MemcpySameBytes);

} // namespace
