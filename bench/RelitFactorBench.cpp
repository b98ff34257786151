#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/peer/StrokeReplay.h"
#include "paint/ToolId.h"
#include "paint/relight/Relight.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"

// How much the relight does against what a stroke paints: each tool at its
// default linear size (0.3) draws the figure-eight (3,000 samples over
// 2000 x 1500) once through the real engine, on wet stripes for oil and the
// knife, on a painted patch for the eraser, on bare paper for the rest.
// Counters: pixels relit during the stroke, pixels it changed in the
// colour, height and finish layers, and their ratio (relit / painted).
namespace {

constexpr float kLinearSize = 0.3f;

template <class Tool> void RelitAgainstPainted(benchmark::State& state, EToolId id) {
    CStrokeCanvas canvas(kBenchWidth, kBenchHeight);
    Tool tool;
    if (!canvas.IsReady() || tool.SetupTool() != eNoError) {
        state.SkipWithError("no canvas or no tool");
        return;
    }
    tool.SetType(id);
    tool.SetToolLinearSize(kLinearSize);
    if (id == eToolOilPaint || id == eToolPaletteKnife) {
        canvas.PaintStripes(40, {0xFFC02020u, 0xFFE0C040u, 0xFF208040u}, 600);
    } else if (id == eToolEraser) {
        canvas.PaintPatch(gCRect(0, 0, kBenchWidth, kBenchHeight), 0xFF806040u, 60);
    }
    canvas.SetColour(0xFF283C8Cu);
    int64_t relit = 0, painted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const CLayerSet before = canvas.CopyAll();
        state.ResumeTiming();
        CEventTimes times;
        const int64_t lit = relight::PixelsLit();
        ReplayTimed(tool, canvas.Canvas(), BenchFigureEight(), times, nullptr);
        relit = relight::PixelsLit() - lit;
        state.PauseTiming();
        const CLayerSet after = canvas.CopyAll();
        painted = 0;
        for (size_t k = 0; k < before[0].size(); ++k) {
            painted += before[0][k] != after[0][k] || before[1][k] != after[1][k] ||
                       before[2][k] != after[2][k];
        }
        state.ResumeTiming();
    }
    state.counters["relit"] = double(relit);
    state.counters["painted"] = double(painted);
    state.counters["relit/painted"] = painted > 0 ? double(relit) / double(painted) : 0.0;
}

void BM_RelitOil(benchmark::State& s) {
    RelitAgainstPainted<COilPaint>(s, eToolOilPaint);
}
void BM_RelitKnife(benchmark::State& s) {
    RelitAgainstPainted<CPaletteKnife>(s, eToolPaletteKnife);
}
void BM_RelitChalk(benchmark::State& s) {
    RelitAgainstPainted<CChalk>(s, eToolChalk);
}
void BM_RelitCrayon(benchmark::State& s) {
    RelitAgainstPainted<CCrayon>(s, eToolCrayon);
}
void BM_RelitEraser(benchmark::State& s) {
    RelitAgainstPainted<CEraser>(s, eToolEraser);
}
void BM_RelitPens(benchmark::State& s) {
    RelitAgainstPainted<CPens>(s, eToolPens);
}
void BM_RelitPencils(benchmark::State& s) {
    RelitAgainstPainted<CPencils>(s, eToolPencils);
}
BENCHMARK(BM_RelitOil)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RelitKnife)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RelitChalk)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RelitCrayon)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RelitEraser)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RelitPens)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RelitPencils)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
