#include "bench/peer/StrokeReplay.h"

#include <memory>

#include "bench/peer/PeerBrush.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"

const CStroke& BenchFigureEight() {
    static const CStroke stroke =
        StrokeRecipes::FigureEight(kBenchSamples, kBenchWidth, kBenchHeight);
    return stroke;
}

CTabletPoint TabletSample(const SStrokeSample& s) {
    CTabletPoint p;
    p.x = s.x;
    p.y = s.y;
    p.pressure = float(s.q);
    return p;
}

void ReplayTimed(CPaintTool& tool, CCanvas& canvas, const CStroke& stroke, CEventTimes& moves,
                 CEventTimes* up) {
    if (stroke.empty()) {
        return;
    }
    canvas.StartProtect();
    tool.BeginStroke();
    CTabletPoint first = TabletSample(stroke.front());
    benchmark::DoNotOptimize(tool.ToolDown(nullptr, &canvas, first));
    for (size_t i = 1; i < stroke.size(); ++i) {
        CTabletPoint p = TabletSample(stroke[i]);
        moves.Time([&] { benchmark::DoNotOptimize(tool.ToolMove(nullptr, &canvas, p)); });
    }
    CTabletPoint last = TabletSample(stroke.back());
    moves.Time([&] { benchmark::DoNotOptimize(tool.ToolUp(nullptr, &canvas, last)); });
    if (up) {
        up->Add(moves.Ns().back());
    }
    tool.EndStroke();
    canvas.EndProtect();
}

void RunAgainstPeer(benchmark::State& state, CPaintTool& tool, float linearSize,
                    const SPeerBrushSettings& peer,
                    const std::function<void(CStrokeCanvas&)>& prepare) {
    CStrokeCanvas canvas(kBenchWidth, kBenchHeight);
    if (!canvas.IsReady()) {
        state.SkipWithError("no canvas");
        return;
    }
    if (prepare) {
        prepare(canvas);
    }
    canvas.SetColour(0xFF283C8Cu);
    tool.SetToolLinearSize(linearSize);
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
