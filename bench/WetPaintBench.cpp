#include <benchmark/benchmark.h>

#include "bench/peer/PeerBrush.h"
#include "bench/peer/StrokeReplay.h"
#include "paint/ToolId.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"

// Oil paint and the palette knife on the synthetic figure-eight (3,000
// samples over 2000 x 1500) through the real stroke engine, the undo record
// open and the lit renderer relighting as in a stroke, over wet striped
// paint they pick up and drag, each stroke painting over the last. Beside
// each, the peer library's stroke call on the same samples with a brush
// built from its defaults, of our half-width at the stroke's median
// pressure (0.5): a smudging brush for oil, a pure smudge for the knife.
// The peer neither lights nor keeps undo.
namespace {

constexpr float kLinearSize = 0.3f; // the tools' default

void WetStripes(CStrokeCanvas& canvas) {
    canvas.PaintStripes(40, {0xFFC02020u, 0xFFE0C040u, 0xFF208040u}, 600);
}

void BM_OilAgainstPeer(benchmark::State& state) {
    COilPaint oil;
    (void)oil.SetupTool(); // names the tool; nothing the figures need
    oil.SetType(eToolOilPaint);
    SPeerBrushSettings peer;
    peer.name = "smudging oil";
    // Half the brush length at pressure 0.5 and linear size 0.3:
    // 2.56 + (0.5 (35 sqrt(0.75) + 17.5) - 2.56) x 0.6.
    peer.radius = 15.37f;
    peer.hardness = 0.8f;
    peer.opacity = 1.0f;
    peer.smudge = 0.5f;
    peer.smudgeLength = 0.5f;
    RunAgainstPeer(state, oil, kLinearSize, peer, WetStripes);
}
BENCHMARK(BM_OilAgainstPeer)->Unit(benchmark::kMillisecond);

void BM_KnifeAgainstPeer(benchmark::State& state) {
    CPaletteKnife knife;
    (void)knife.SetupTool(); // names the tool; nothing the figures need
    knife.SetType(eToolPaletteKnife);
    SPeerBrushSettings peer;
    peer.name = "pure smudge";
    peer.radius = 23.0f; // 40 x 0.3 + 10 + 2 x 0.5
    peer.hardness = 0.8f;
    peer.opacity = 1.0f;
    peer.smudge = 1.0f;
    peer.smudgeLength = 0.5f;
    RunAgainstPeer(state, knife, kLinearSize, peer, WetStripes);
}
BENCHMARK(BM_KnifeAgainstPeer)->Unit(benchmark::kMillisecond);

} // namespace
