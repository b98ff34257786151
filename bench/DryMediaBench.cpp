#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "bench/peer/PeerBrush.h"
#include "bench/peer/StrokeReplay.h"
#include "paint/ToolId.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"

// Chalk, crayon and the eraser on the synthetic figure-eight (3,000 samples
// over 2000 x 1500) through the real stroke engine: ToolDown, one timed
// ToolMove per sample and a timed ToolUp, inside an open undo record, the
// lit renderer relighting as in a stroke (no widget to show it). Beside
// each, the peer library on the same samples: a soft charcoal-like brush
// (opacity by pressure, the library's default mapping; no grain) of chalk's
// half-width at the stroke's median pressure, and the same brush in the
// library's eraser mode. Our eraser erases a canvas painted beforehand; the
// peer's surface cannot be painted through the harness, so its eraser runs
// over a blank one. Counters: events/s over the whole stroke (ToolUp
// included), mean, p50, p99 and worst per event, ToolUp alone, and the
// ratios ours / peer of events/s and of p99. Then the tools' RenderDab alone
// on the engine's stroke points, for where the time goes.
namespace {

constexpr float kLinearSize = 0.3f;

// Chalk's half-width at the figure-eight's median pressure (0.5).
float PeerRadius() {
    return CChalk::HalfWidth(kLinearSize, CChalk::EasedPressure(512));
}

SPeerBrushSettings Charcoal(bool eraser) {
    SPeerBrushSettings s;
    s.name = eraser ? "charcoal-like eraser" : "charcoal-like";
    s.radius = PeerRadius();
    s.hardness = 0.3f;
    s.opacity = 1.0f;
    s.eraser = eraser ? 1.0f : 0.0f;
    return s;
}

struct SFigures {
    double eventsPerSecond = 0.0;
    double p99 = 0.0;
};

SFigures Figures(const CEventTimes& times) {
    return {times.EventsPerSecond(), times.Quantile(0.99)};
}

// The peer's figures for one brush, measured once per process.
SFigures PeerFigures(bool eraser) {
    static SFigures cached[2];
    static bool measured[2] = {false, false};
    if (!measured[eraser] && CPeerBrush::Available()) {
        CPeerBrush peer(Charcoal(eraser), kBenchWidth, kBenchHeight);
        CEventTimes events;
        for (int32_t run = 0; run < 3; ++run) {
            events.Clear();
            peer.Paint(BenchFigureEight(), events);
        }
        cached[eraser] = Figures(events);
        measured[eraser] = true;
    }
    return cached[eraser];
}

template <class Tool> void OurSide(benchmark::State& state, EToolId id, bool erasing) {
    CStrokeCanvas canvas(kBenchWidth, kBenchHeight);
    if (!canvas.IsReady()) {
        state.SkipWithError("no canvas");
        return;
    }
    canvas.SetColour(0xFF203060u);
    Tool tool;
    if (tool.SetupTool() != eNoError) {
        state.SkipWithError("no tool");
        return;
    }
    tool.SetType(id);
    tool.SetToolLinearSize(kLinearSize);
    const CStroke& stroke = BenchFigureEight();
    CEventTimes whole; // every ToolMove, then ToolUp
    double up = 0.0, upWorst = 0.0;
    int64_t points = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (erasing) {
            canvas.PaintPatch(gCRect(0, 0, kBenchWidth, kBenchHeight), 0xFF806040u, 60);
        }
        whole.Clear();
        state.ResumeTiming();
        ReplayTimed(tool, canvas.Canvas(), stroke, whole, nullptr);
        up = whole.Ns().back();
        upWorst = std::max(upWorst, up);
        points = int64_t(tool.StrokePoints().GetSize());
    }
    whole.Report(state, "");
    state.counters["up_ns"] = up;
    state.counters["up_worst_ns"] = upWorst;
    state.counters["points"] = double(points);
    const SFigures ours = Figures(whole);
    const SFigures peer = PeerFigures(erasing);
    if (peer.eventsPerSecond > 0.0) {
        state.counters["peer_events/s"] = peer.eventsPerSecond;
        state.counters["peer_p99_ns"] = peer.p99;
        state.counters["ratio_events/s"] = ours.eventsPerSecond / peer.eventsPerSecond;
        state.counters["ratio_p99"] = ours.p99 / peer.p99;
    }
    state.SetLabel(Charcoal(erasing).Describe());
}

void BM_DryChalk(benchmark::State& state) {
    OurSide<CChalk>(state, eToolChalk, false);
}
void BM_DryCrayon(benchmark::State& state) {
    OurSide<CCrayon>(state, eToolCrayon, false);
}
void BM_DryEraser(benchmark::State& state) {
    OurSide<CEraser>(state, eToolEraser, true);
}
BENCHMARK(BM_DryChalk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DryCrayon)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DryEraser)->Unit(benchmark::kMillisecond)->Iterations(3);

// The tools' own work without the engine or the relight: the stroke points
// the engine made for the figure-eight, each handed to RenderDab.
// The tool with the engine's note of the point it rendered last, which
// RenderDab reads for sharp turns.
template <class Tool> class TDabTool : public Tool {
public:
    void SetPrevious(const CPaintTool::pointStruct& p) { this->m_PreviousPoint = p; }
};

template <class Tool> void DabsOnly(benchmark::State& state, EToolId id, bool erasing) {
    CStrokeCanvas canvas(kBenchWidth, kBenchHeight);
    if (!canvas.IsReady()) {
        state.SkipWithError("no canvas");
        return;
    }
    canvas.SetColour(0xFF203060u);
    TDabTool<Tool> tool;
    if (tool.SetupTool() != eNoError) {
        state.SkipWithError("no tool");
        return;
    }
    tool.SetType(id);
    tool.SetToolLinearSize(kLinearSize);
    CCanvas& c = canvas.Canvas();
    const CStroke& stroke = BenchFigureEight();
    CTabletPoint first = TabletSample(stroke.front());
    benchmark::DoNotOptimize(tool.ToolDown(nullptr, &c, first));
    for (size_t i = 1; i < stroke.size(); ++i) {
        CTabletPoint p = TabletSample(stroke[i]);
        benchmark::DoNotOptimize(tool.ToolMove(nullptr, &c, p));
    }
    CTabletPoint last = TabletSample(stroke.back());
    benchmark::DoNotOptimize(tool.ToolUp(nullptr, &c, last));
    std::vector<CPaintTool::pointStruct> points(tool.StrokePoints().begin(),
                                                tool.StrokePoints().end());
    CEventTimes dabs;
    for (auto _ : state) {
        state.PauseTiming();
        if (erasing) {
            canvas.PaintPatch(gCRect(0, 0, kBenchWidth, kBenchHeight), 0xFF806040u, 60);
        }
        dabs.Clear();
        state.ResumeTiming();
        tool.SetPrevious(points.front());
        (void)tool.SetFirstPt(points.front(), 0); // always 0
        for (const CPaintTool::pointStruct& p : points) {
            gCRect rect;
            dabs.Time([&] { benchmark::DoNotOptimize(tool.RenderDab(p, rect, &c)); });
            tool.SetPrevious(p);
        }
        (void)tool.DabEnd(); // always 0
    }
    dabs.Report(state, "dab_");
}

void BM_DryChalkDabsOnly(benchmark::State& state) {
    DabsOnly<CChalk>(state, eToolChalk, false);
}
void BM_DryCrayonDabsOnly(benchmark::State& state) {
    DabsOnly<CCrayon>(state, eToolCrayon, false);
}
void BM_DryEraserDabsOnly(benchmark::State& state) {
    DabsOnly<CEraser>(state, eToolEraser, true);
}
BENCHMARK(BM_DryChalkDabsOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DryCrayonDabsOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DryEraserDabsOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PeerCharcoal(benchmark::State& state, bool eraser) {
    if (!CPeerBrush::Available()) {
        state.SkipWithError("the peer library was not found at build time");
        return;
    }
    const SPeerBrushSettings settings = Charcoal(eraser);
    state.SetLabel(settings.Describe());
    CPeerBrush peer(settings, kBenchWidth, kBenchHeight);
    CEventTimes events;
    for (auto _ : state) {
        events.Clear();
        peer.Paint(BenchFigureEight(), events);
    }
    events.Report(state, "peer_");
}
BENCHMARK_CAPTURE(BM_PeerCharcoal, paint, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_PeerCharcoal, erase, true)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
