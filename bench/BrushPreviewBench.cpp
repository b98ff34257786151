#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/MessageIds.h"
#include "foundation/gCCmdTarget.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "paint/canvas/ProxyCanvas.h"
#include "paint/ToolId.h"
#include "tools/RegisterPaintTools.h"

// The brush picker's preview: one RenderBrushProxy (clear, the sample
// stroke of the real tool through the real engine, the relight of what it
// marked) on the preview's 104 x 136 project, for each of the seven tools
// at linear sizes 0.1, 0.5 and 1.0. Holding "+" repaints the preview as
// often as every 40 ms, so a preview should take well under 20 ms.
// Counters: ms per preview, and its ratio to a memcpy of the preview's
// five images (the four layers and the composite) measured in the same run.
namespace {

constexpr int32_t kWidth = 104;
constexpr int32_t kHeight = 136;

// The seconds one memcpy of the preview's bytes takes, measured once.
double CopySeconds() {
    static double seconds = 0.0;
    if (seconds == 0.0) {
        const size_t bytes = size_t(kWidth) * kHeight * 4 * 5;
        std::vector<uint8_t> from(bytes, 0x5A), to(bytes);
        constexpr int32_t kRuns = 20000;
        const auto start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < kRuns; ++i) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        seconds = took.count() / kRuns;
    }
    return seconds;
}

// A started backbone with the real tools, holding a small painting.
struct SQuietUI : gCCmdTarget {
    int32_t ProcessData(uint32_t, const void*, int64_t, int32_t) override { return 0; }
};

struct SDocument {
    SQuietUI ui;
    CSMKBackbone backbone;
    SDocument() {
        RegisterPaintTools();
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        (void)backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1);
        CProjectInfo info;
        info.m_nWidth = 400;
        info.m_nHeight = 300;
        (void)backbone.ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1);
    }
    ~SDocument() {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }
};

void BM_BrushPreview(benchmark::State& state) {
    const int32_t tool = int32_t(state.range(0));
    float size = float(state.range(1)) / 10.0f;
    SDocument document;
    CProxyCanvas proxy;
    CProjectInfo info;
    info.m_nWidth = kWidth;
    info.m_nHeight = kHeight;
    if (proxy.Initialise() != eNoError || proxy.CreateProject(&info) != eNoError ||
        document.backbone.ProcessData(eCmdSelectTool, &document.ui, tool, 1) != 0 ||
        document.backbone.ProcessData(eCmdToolLinearSize, &document.ui, ChannelValueOf(&size),
                                      1) != 0) {
        state.SkipWithError("no preview");
        return;
    }
    (void)proxy.ProcessData(eCmdSelectTool, &document.ui, tool, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(proxy.RenderBrushProxy(0));
        benchmark::ClobberMemory();
    }
    state.counters["ms_per_preview"] =
        benchmark::Counter(1e-3, benchmark::Counter::kIsIterationInvariantRate |
                                    benchmark::Counter::kInvert);
    state.counters["ratio_to_memcpy"] = benchmark::Counter(
        CopySeconds(),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BrushPreview)
    ->ArgNames({"tool", "size_tenths"})
    ->ArgsProduct({{eToolOilPaint, eToolPencils, eToolPaletteKnife, eToolPens, eToolChalk,
                    eToolCrayon, eToolEraser},
                   {1, 5, 10}})
    ->Unit(benchmark::kMillisecond);

} // namespace
