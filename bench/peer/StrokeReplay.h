#pragma once
// The stroke the stroke benchmarks replay: the synthetic figure-eight of
// 3,000 samples over 2000 x 1500 (about 2 px a sample, a moderate pen at
// 200 Hz), fed through a tool's real engine with every event timed.

#include <cstdint>
#include <functional>

#include "bench/peer/StrokeTiming.h"
#include "foundation/Input.h"
#include "testsupport/paint/StrokeRecipes.h"

class CCanvas;
class CPaintTool;
class CStrokeCanvas;
struct SPeerBrushSettings;

constexpr int32_t kBenchWidth = 2000, kBenchHeight = 1500, kBenchSamples = 3000;

const CStroke& BenchFigureEight();

// A sample as the canvas hands it to the engine: pressure q on the pen's
// scale.
CTabletPoint TabletSample(const SStrokeSample& s);

// The stroke through the tool inside one undo record, as the canvas runs
// it (the pencils' pressure cap raised for its length): ToolDown, one timed
// ToolMove per later sample into moves, and ToolUp timed into moves too and
// added alone to up when given.
void ReplayTimed(CPaintTool& tool, CCanvas& canvas, const CStroke& stroke, CEventTimes& moves,
                 CEventTimes* up);

// The tool at the linear size on the figure-eight, stroke after stroke on
// one canvas (prepared first when a preparation is given) in the current
// colour 0xFF283C8C, beside the peer's brush on the same samples: events
// per second and per-event times of both (ToolUp also alone) and the
// ratios ours / peer of events per second and of p99. Without the peer, our
// side only.
void RunAgainstPeer(benchmark::State& state, CPaintTool& tool, float linearSize,
                    const SPeerBrushSettings& peer,
                    const std::function<void(CStrokeCanvas&)>& prepare = {});
