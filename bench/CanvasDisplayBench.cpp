// The canvas widget's render procedure filling a 1024 x 768 widget at the
// display scales 1, 2, 0.75 and 0.25 (the project sized so the scaled
// canvas covers the widget), with the tracing image drawn over it and
// without; beside a memcpy of the target's bytes, in megapixels per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;

void SetMegapixels(benchmark::State& state) {
    state.counters["Mpx/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

// scale is state.range(0) / 100; tracing is state.range(1).
void BM_CanvasRenderProc(benchmark::State& state) {
    const float scale = float(state.range(0)) / 100.0f;
    const int32_t tracing = int32_t(state.range(1));
    CCanvas canvas;
    CProjectInfo info;
    info.m_nWidth = int32_t(std::ceil(float(kWidth) / scale));
    info.m_nHeight = int32_t(std::ceil(float(kHeight) / scale));
    info.m_nCanvasSetting = 0xFFFFFFFAu;
    if (canvas.CreateProject(&info) != eNoError || !canvas.Composite()) {
        state.SkipWithError("the project cannot be made");
        return;
    }
    {
        // Opaque noise: nothing for the scaling to take a short cut over.
        std::mt19937 rng(5);
        CImNav v(canvas.Composite());
        for (int32_t y = 0; y < v.GetHeight(); ++y) {
            for (int32_t x = 0; x < v.GetWidth(); ++x) {
                v.Row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
            }
        }
    }
    // A checked tracing picture of another shape, fitted to the widget.
    auto trace = std::make_unique<CImage>(600, 800);
    {
        CImNav t(trace.get());
        for (int32_t y = 0; y < 800; ++y) {
            for (int32_t x = 0; x < 600; ++x) {
                t.Row(y)[x] = ((x / 8 + y / 8) & 1) ? 0xFF2050F0u : 0xFFF0F0F0u;
            }
        }
    }
    canvas.SetTracingImage(std::move(trace));
    canvas.SetTracingDisplay(tracing);
    canvas.SetScale(scale, 0);
    CImWidget widget;
    if (widget.SetSize(kWidth, kHeight, 0) != eNoError) {
        state.SkipWithError("the widget cannot be sized");
        return;
    }
    CImage target(kWidth, kHeight);
    CImNav(&target).Fill(0xFF808080u);
    const gCRect area(0, 0, kWidth, kHeight);
    for (auto _ : state) {
        if (CCanvas::CanvasRenderProc(&canvas, &widget, area, &target, 255) != eNoError) {
            state.SkipWithError("the render procedure failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    SetMegapixels(state);
}
BENCHMARK(BM_CanvasRenderProc)
    ->ArgNames({"scale%", "tracing"})
    ->ArgsProduct({{100, 200, 75, 25}, {0, 1}});

void BM_MemcpyTarget(benchmark::State& state) {
    std::vector<uint32_t> from(size_t(kWidth) * kHeight, 0x12345678u);
    std::vector<uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    SetMegapixels(state);
}
BENCHMARK(BM_MemcpyTarget);

} // namespace
