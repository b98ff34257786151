// The canvas widget's render procedure filling a widget of up to
// 1024 x 768 at the display scales 0.05, 0.25, 0.5, 0.75, 1, 2 and 4 (the
// project sized so the scaled canvas covers the widget, at most
// 4096 x 3072, the widget no larger than the scaled project), with the
// tracing image drawn over it and without. Counters: megapixels per second,
// the share of a memcpy of the target's bytes ("memcpy%") and, where the
// canvas is reduced, of a memcpy of the composite's bytes it reads
// ("src memcpy%").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

#include "bench/MemcpyShare.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr int32_t kMaxProjectWidth = 4096;
constexpr int32_t kMaxProjectHeight = 3072;

// scale is state.range(0) / 100; tracing is state.range(1).
void BM_CanvasRenderProc(benchmark::State& state) {
    const float scale = float(state.range(0)) / 100.0f;
    const int32_t tracing = int32_t(state.range(1));
    CCanvas canvas;
    CProjectInfo info;
    info.m_nWidth = std::min(kMaxProjectWidth, int32_t(std::ceil(float(kWidth) / scale)));
    info.m_nHeight = std::min(kMaxProjectHeight, int32_t(std::ceil(float(kHeight) / scale)));
    const int32_t width = std::min(kWidth, int32_t(std::floor(float(info.m_nWidth) * scale)));
    const int32_t height = std::min(kHeight, int32_t(std::floor(float(info.m_nHeight) * scale)));
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
    if (widget.SetSize(width, height, 0) != eNoError) {
        state.SkipWithError("the widget cannot be sized");
        return;
    }
    CImage target(width, height);
    CImNav(&target).Fill(0xFF808080u);
    const gCRect area(0, 0, width, height);
    for (auto _ : state) {
        if (CCanvas::CanvasRenderProc(&canvas, &widget, area, &target, 255) != eNoError) {
            state.SkipWithError("the render procedure failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    const size_t pixels = size_t(width) * size_t(height);
    state.counters["Mpx/s"] =
        benchmark::Counter(double(pixels) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
    SetMemcpyShare(state, pixels * 4);
    if (scale < 1.0f) {
        const double read = double(width) * double(height) / (double(scale) * double(scale));
        SetMemcpyShare(state, size_t(read) * 4, "src memcpy%");
    }
}
BENCHMARK(BM_CanvasRenderProc)
    ->ArgNames({"scale%", "tracing"})
    ->ArgsProduct({{5, 25, 50, 75, 100, 200, 400}, {0, 1}});

} // namespace
