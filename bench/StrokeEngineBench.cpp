#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/peer/PeerBrush.h"
#include "bench/peer/StrokeReplay.h"
#include "foundation/gCArray.h"
#include "imaging/Image.h"
#include "paint/ToolId.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/Airbrush.h"
#include "tools/dry/Chalk.h"

// The stroke engine on the synthetic figure-eight (3,000 samples over
// 2000 x 1500, about 2 px a sample) with the airbrush, which paints nothing,
// so the figures are the engine's own: per event (ToolUp, which drains the
// points that piled up, counted in and also shown alone);
// beside it the same samples appended to a point array, and the peer
// library's stroke call with a minimal brush on the same samples. Then the
// end of a figure-eight stroke clearing its marks on a 5000 x 5000 layer
// beside memset of the whole layer.
namespace {

void BM_EngineAirbrush(benchmark::State& state) {
    CStrokeCanvas canvas(kBenchWidth, kBenchHeight);
    CAirbrush airbrush;
    (void)airbrush.SetupTool(); // names the tool; nothing the figures need
    airbrush.SetType(eToolAirbrush);
    CEventTimes moves, ups;
    for (auto _ : state) {
        moves.Clear();
        ReplayTimed(airbrush, canvas.Canvas(), BenchFigureEight(), moves, &ups);
    }
    moves.Report(state, "event_");
    ups.Report(state, "up_");
    state.counters["points"] = double(airbrush.StrokePoints().GetSize());
}
BENCHMARK(BM_EngineAirbrush)->Unit(benchmark::kMillisecond);

void BM_AppendSamples(benchmark::State& state) {
    const CStroke& stroke = BenchFigureEight();
    CEventTimes appends;
    for (auto _ : state) {
        appends.Clear();
        gCArray<CPaintTool::pointStruct> points;
        for (const SStrokeSample& s : stroke) {
            CPaintTool::pointStruct p;
            p.x = s.x;
            p.y = s.y;
            p.pressure = s.q;
            appends.Time([&] { benchmark::DoNotOptimize(points.Add(p)); });
        }
        benchmark::DoNotOptimize(points.GetData());
    }
    appends.Report(state, "append_");
}
BENCHMARK(BM_AppendSamples)->Unit(benchmark::kMillisecond);

void BM_PeerMinimalBrush(benchmark::State& state) {
    if (!CPeerBrush::Available()) {
        state.SkipWithError("the peer library was not found at build time");
        return;
    }
    SPeerBrushSettings settings;
    settings.name = "minimal";
    settings.radius = 2.0f;
    state.SetLabel(settings.Describe());
    CPeerBrush peer(settings, kBenchWidth, kBenchHeight);
    CEventTimes events;
    for (auto _ : state) {
        events.Clear();
        peer.Paint(BenchFigureEight(), events);
    }
    events.Report(state, "peer_");
}
BENCHMARK(BM_PeerMinimalBrush)->Unit(benchmark::kMillisecond);

constexpr int32_t kMarkSide = 5000;

// Chalk with the tiles of a stroke along the figure-eight noted, as its
// pieces (about 32 px across) protect them.
class CFigureEightChalk : public CChalk {
public:
    int64_t NoteFigureEight() {
        for (const SStrokeSample& p : BenchFigureEight()) {
            const int32_t x = int32_t(p.x), y = int32_t(p.y);
            m_StrokeTiles.Add(gCRect(x - 16, y - 16, x + 16, y + 16), kMarkSide, kMarkSide);
        }
        int64_t bytes = 0;
        m_StrokeTiles.Take(kMarkSide, kMarkSide,
                           [&](int32_t, int32_t x0, int32_t x1) { bytes += 4 * (x1 - x0); });
        for (const SStrokeSample& p : BenchFigureEight()) {
            const int32_t x = int32_t(p.x), y = int32_t(p.y);
            m_StrokeTiles.Add(gCRect(x - 16, y - 16, x + 16, y + 16), kMarkSide, kMarkSide);
        }
        return bytes;
    }
};

// The end of a stroke along the figure-eight on a 5000 x 5000 layer: its
// marks cleared in the tiles the stroke noted; bytes are those of the
// whole layer, which memset below clears.
void BM_DabEndClearsMarks(benchmark::State& state) {
    CImage layer(kMarkSide, kMarkSide);
    CFigureEightChalk chalk;
    (void)chalk.SetupTool(); // names the tool; nothing the figures need
    (void)chalk.SetSources(&layer, nullptr, nullptr, &layer); // a plain image locks
    int64_t cleared = 0;
    for (auto _ : state) {
        state.PauseTiming();
        cleared = chalk.NoteFigureEight();
        state.ResumeTiming();
        benchmark::DoNotOptimize(chalk.DabEnd());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kMarkSide * kMarkSide * 4);
    state.counters["bytes_cleared"] = double(cleared);
}
BENCHMARK(BM_DabEndClearsMarks)->Unit(benchmark::kMillisecond);

void BM_MemsetSameBytes(benchmark::State& state) {
    std::vector<uint32_t> words(size_t(kMarkSide) * kMarkSide, 0x12345678u);
    for (auto _ : state) {
        std::memset(words.data(), 0, words.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kMarkSide * kMarkSide * 4);
}
BENCHMARK(BM_MemsetSameBytes)->Unit(benchmark::kMillisecond);

} // namespace
