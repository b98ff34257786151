#pragma once
// The stroke the stroke benchmarks replay: the synthetic figure-eight of
// 3,000 samples over 2000 x 1500 (about 2 px a sample, a moderate pen at
// 200 Hz), fed through a tool's real engine with every event timed.

#include <cstdint>

#include "bench/peer/StrokeTiming.h"
#include "foundation/Input.h"
#include "testsupport/paint/StrokeRecipes.h"

class CCanvas;
class CPaintTool;

constexpr int32_t kBenchWidth = 2000, kBenchHeight = 1500, kBenchSamples = 3000;

const CStroke& BenchFigureEight();

// A sample as the canvas hands it to the engine: pressure q on the 1024
// scale.
CTabletPoint TabletSample(const SStrokeSample& s);

// The stroke through the tool inside one undo record, as the canvas runs
// it (the pencils' pressure cap raised for its length): ToolDown, one timed
// ToolMove per later sample into moves, and ToolUp timed into moves too and
// added alone to up when given.
void ReplayTimed(CPaintTool& tool, CCanvas& canvas, const CStroke& stroke, CEventTimes& moves,
                 CEventTimes* up);
