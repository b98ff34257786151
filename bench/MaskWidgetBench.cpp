// A mask widget of 1024 x 768 drawn over a target of the same size: a mask
// of label-like runs with soft edges, the same mask run-length compressed,
// and a uniform mask at alpha 255; beside a memcpy of the same bytes, in
// megapixels per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "widgets/MaskWidget.h"

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;

// Lines of "text": strokes of full coverage a few pixels wide with a
// one-pixel soft edge each side, gaps between words and between lines.
CImage8* LabelMask() {
    auto* mask = new CImage8(kWidth, kHeight);
    CImNav8 view(mask);
    for (int32_t y = 0; y < kHeight; ++y) {
        uint8_t* row = view.Row(y);
        const int32_t line = y % 24;
        for (int32_t x = 0; x < kWidth; ++x) {
            uint8_t value = 0;
            if (line >= 4 && line < 20 && (x % 160) < 140) {
                const int32_t stroke = (x + y / 24 * 3) % 9;
                value = stroke < 3 ? 255 : stroke == 3 || stroke == 8 ? 96 : 0;
            }
            row[x] = value;
        }
    }
    return mask;
}

CImage8* UniformMask() {
    auto* mask = new CImage8(kWidth, kHeight);
    CImNav8(mask).Fill(255);
    return mask;
}

void Render(benchmark::State& state, CImage8* mask, int32_t compressed) {
    CMaskWidget widget;
    if (widget.SetClientColour(0xFF203040u, 0) != eNoError ||
        widget.SetImage(mask, 1, 0) != eNoError ||
        (compressed && (widget.CompressImage() != eNoError || !widget.Compressed()))) {
        state.SkipWithError("the mask cannot be set up");
        return;
    }
    CImage target(kWidth, kHeight);
    CImNav(&target).Fill(0xFFE0E0E0u);
    const gCRect area(0, 0, kWidth, kHeight);
    for (auto _ : state) {
        benchmark::DoNotOptimize(widget.RenderArea(area, &target, 255));
        benchmark::ClobberMemory();
    }
    state.counters["Mpx/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MaskWidgetSoftLabel(benchmark::State& state) {
    Render(state, LabelMask(), 0);
}
BENCHMARK(BM_MaskWidgetSoftLabel);

void BM_MaskWidgetSoftLabelCompressed(benchmark::State& state) {
    Render(state, LabelMask(), 1);
}
BENCHMARK(BM_MaskWidgetSoftLabelCompressed);

void BM_MaskWidgetUniform(benchmark::State& state) {
    Render(state, UniformMask(), 0);
}
BENCHMARK(BM_MaskWidgetUniform);

// The reference: a memcpy of the target's bytes.
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
