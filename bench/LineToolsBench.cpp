#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "bench/peer/PeerBrush.h"
#include "bench/peer/StrokeReplay.h"
#include "paint/ToolId.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"

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

void BM_PensAgainstPeer(benchmark::State& state) {
    CPens pen;
    (void)pen.SetupTool(); // names the tool; nothing the figures need
    pen.SetType(eToolPens);
    SPeerBrushSettings peer;
    peer.name = "ink";
    // The pen's half-width at pressure 0.5: 15 x 0.3 + 2 + 2 (1 - sqrt(0.75)).
    peer.radius = 6.77f;
    peer.hardness = 1.0f;
    peer.opacity = 1.0f;
    RunAgainstPeer(state, pen, kLinearSize, peer);
}
BENCHMARK(BM_PensAgainstPeer)->Unit(benchmark::kMillisecond);

void BM_PencilsAgainstPeer(benchmark::State& state) {
    CPencils pencil;
    (void)pencil.SetupTool(); // names the tool; nothing the figures need
    pencil.SetType(eToolPencils);
    SPeerBrushSettings peer;
    peer.name = "pencil";
    peer.radius = 2.5f; // 5 x 0.3 + 1
    peer.hardness = 1.0f;
    peer.opacity = 1.0f;
    RunAgainstPeer(state, pencil, kLinearSize, peer);
}
BENCHMARK(BM_PencilsAgainstPeer)->Unit(benchmark::kMillisecond);

} // namespace
