#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "bench/peer/PeerBrush.h"
#include "bench/peer/StrokeReplay.h"
#include "paint/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/Pencils.h"
#include "tools/Pens.h"

// The pen and the pencil on the synthetic figure-eight (3,000 samples over
// 2000 x 1500, about 2 px a sample) through the real stroke engine, with the
// undo record open and the lit renderer relighting as in a stroke: per
// ToolMove (ToolUp, which drains the points that piled up, inside the
// whole-stroke figure and also alone). Beside each, the peer library's
// stroke call on the same samples with a brush built in code from its
// defaults: a hard, opaque brush of the tool's half-width at the stroke's
// median pressure (0.5), whose opacity follows the pressure. The peer
// neither lights nor keeps undo.
namespace {

constexpr float kLinearSize = 0.3f; // the tools' default

void RunAgainstPeer(benchmark::State& state, CPaintTool& tool, const SPeerBrushSettings& peer) {
    CStrokeCanvas canvas(kBenchWidth, kBenchHeight);
    if (!canvas.IsReady()) {
        state.SkipWithError("no canvas");
        return;
    }
    canvas.SetColour(0xFF283C8Cu);
    tool.SetToolLinearSize(kLinearSize);
    CEventTimes ours, ups, theirs;
    std::unique_ptr<CPeerBrush> brush;
    if (CPeerBrush::Available()) {
        brush = std::make_unique<CPeerBrush>(peer, kBenchWidth, kBenchHeight);
    }
    double dabs = 0.0;
    for (auto _ : state) {
        ours.Clear();
        ReplayTimed(tool, canvas.Canvas(), BenchFigureEight(), ours, &ups);
        dabs = double(tool.StrokePoints().GetSize());
        if (brush) {
            theirs.Clear();
            brush->Paint(BenchFigureEight(), theirs);
        }
    }
    ours.Report(state, "ours_");
    ups.Report(state, "ours_up_");
    state.counters["ours_dabs"] = dabs;
    if (brush) {
        theirs.Report(state, "peer_");
        state.counters["ratio_events/s"] = ours.EventsPerSecond() / theirs.EventsPerSecond();
        state.counters["ratio_p99"] = ours.Quantile(0.99) / theirs.Quantile(0.99);
        state.SetLabel(peer.Describe());
    } else {
        state.SetLabel("the peer library was not found at build time: our side only");
    }
}

void BM_PensAgainstPeer(benchmark::State& state) {
    CPens pen;
    (void)pen.SetupTool(); // names the tool; nothing the figures need
    pen.SetType(7);
    SPeerBrushSettings peer;
    peer.name = "ink";
    // The pen's half-width at pressure 0.5: 15 x 0.3 + 2 + 2 (1 - sqrt(0.75)).
    peer.radius = 6.77f;
    peer.hardness = 1.0f;
    peer.opacity = 1.0f;
    RunAgainstPeer(state, pen, peer);
}
BENCHMARK(BM_PensAgainstPeer)->Unit(benchmark::kMillisecond);

void BM_PencilsAgainstPeer(benchmark::State& state) {
    CPencils pencil;
    (void)pencil.SetupTool(); // names the tool; nothing the figures need
    pencil.SetType(1);
    SPeerBrushSettings peer;
    peer.name = "pencil";
    peer.radius = 2.5f; // 5 x 0.3 + 1
    peer.hardness = 1.0f;
    peer.opacity = 1.0f;
    RunAgainstPeer(state, pencil, peer);
}
BENCHMARK(BM_PencilsAgainstPeer)->Unit(benchmark::kMillisecond);

} // namespace
