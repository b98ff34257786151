#include <benchmark/benchmark.h>

#include "bench/peer/StrokeReplay.h"
#include "paint/ToolId.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/OilPaintNew.h"

// The second engine's oil beside the first oil on the shared figure-eight
// (3,000 samples over 2000 x 1500), in the same run, each on its own canvas
// of wet stripes, inside one undo record with the lit renderer relighting
// as in a stroke: the second oil at size 0.43, whose width at the median
// pressure (0.5) equals the first oil's at linear size 0.3 (about 31
// pixels). Events per second and per-event times of both, ToolUp alone,
// the dabs made, and the ratios second / first.
namespace {

void Stripes(CStrokeCanvas& canvas) {
    canvas.PaintStripes(40, {0xFFC02020u, 0xFFE0C040u, 0xFF208040u}, 600);
    canvas.SetColour(0xFF283C8Cu);
}

void ReplaySecond(COilPaintNew& oil, CCanvas& canvas, const CStroke& stroke, CEventTimes& moves,
                  CEventTimes& up) {
    canvas.StartProtect();
    CTabletPoint first = TabletSample(stroke.front());
    benchmark::DoNotOptimize(oil.ToolDown(&canvas, first));
    for (size_t i = 1; i < stroke.size(); ++i) {
        CTabletPoint p = TabletSample(stroke[i]);
        moves.Time([&] { benchmark::DoNotOptimize(oil.ToolMove(&canvas, p)); });
    }
    CTabletPoint last = TabletSample(stroke.back());
    moves.Time([&] { benchmark::DoNotOptimize(oil.ToolUp(&canvas, last)); });
    up.Add(moves.Ns().back());
    canvas.EndProtect();
}

void BM_SecondOilBesideFirst(benchmark::State& state) {
    CStrokeCanvas firstCanvas(kBenchWidth, kBenchHeight), secondCanvas(kBenchWidth, kBenchHeight);
    if (!firstCanvas.IsReady() || !secondCanvas.IsReady()) {
        state.SkipWithError("no canvas");
        return;
    }
    Stripes(firstCanvas);
    Stripes(secondCanvas);
    COilPaint first;
    (void)first.SetupTool(); // names the tool; nothing the figures need
    first.SetType(eToolOilPaint);
    first.SetToolLinearSize(0.3f);
    COilPaintNew second;
    (void)second.SetupTool(); // builds the profiles; always 0
    (void)second.SetToolSize(0.43f);
    CEventTimes oldMoves, oldUps, newMoves, newUps;
    double oldDabs = 0.0, newDabs = 0.0;
    for (auto _ : state) {
        oldMoves.Clear();
        newMoves.Clear();
        ReplayTimed(first, firstCanvas.Canvas(), BenchFigureEight(), oldMoves, &oldUps);
        oldDabs = double(first.StrokePoints().GetSize());
        ReplaySecond(second, secondCanvas.Canvas(), BenchFigureEight(), newMoves, newUps);
        newDabs = double(second.DabCount());
    }
    newMoves.Report(state, "second_");
    newUps.Report(state, "second_up_");
    state.counters["second_dabs"] = newDabs;
    oldMoves.Report(state, "first_");
    oldUps.Report(state, "first_up_");
    state.counters["first_dabs"] = oldDabs;
    state.counters["ratio_events/s"] = newMoves.EventsPerSecond() / oldMoves.EventsPerSecond();
    state.counters["ratio_p99"] = newMoves.Quantile(0.99) / oldMoves.Quantile(0.99);
    state.SetLabel("second oil size 0.43 / first oil linear size 0.3");
}
BENCHMARK(BM_SecondOilBesideFirst)->Unit(benchmark::kMillisecond);

} // namespace
