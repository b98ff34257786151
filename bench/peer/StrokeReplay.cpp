#include "bench/peer/StrokeReplay.h"

#include "paint/Canvas.h"
#include "paint/PaintTool.h"

namespace {

constexpr int32_t kPencils = 1;

} // namespace

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
    if (tool.Type() == kPencils) {
        tool.SetMaxPencilPressure(1.1f);
        tool.SetProfileFlip(0);
    }
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
    if (tool.Type() == kPencils) {
        tool.SetMaxPencilPressure(1.0f);
    }
    canvas.EndProtect();
}
