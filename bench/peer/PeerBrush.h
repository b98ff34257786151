#pragma once
// The peer painting library the stroke benchmarks compare with, behind a
// small interface of our own. The brush is built in code from the
// library's defaults (no brush files); the surface is its fixed tiled one;
// one thread. Without the library (pkg-config did not find it) Available()
// is false and nothing paints.

#include <cstdint>
#include <memory>
#include <string>

#include "bench/peer/StrokeTiming.h"
#include "testsupport/paint/StrokeRecipes.h"

struct SPeerBrushSettings {
    const char* name = "minimal";
    float radius = 2.0f; // pixels
    float hardness = 0.8f;
    float opacity = 1.0f;
    float smudge = 0.0f;
    float smudgeLength = 0.5f;
    float eraser = 0.0f;

    // The settings as one line for the benchmark's output.
    std::string Describe() const;
};

class CPeerBrush {
public:
    static bool Available();

    // A w x h surface and the brush, made before any timing.
    CPeerBrush(const SPeerBrushSettings& settings, int32_t w, int32_t h);
    ~CPeerBrush();
    CPeerBrush(const CPeerBrush&) = delete;
    CPeerBrush& operator=(const CPeerBrush&) = delete;

    // The stroke, one timed stroke call per sample (x, y, pressure
    // min(1, q / 1024), 5 ms apart, no tilt), each between the surface's
    // begin and end of an atomic step.
    void Paint(const CStroke& stroke, CEventTimes& times);

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};
