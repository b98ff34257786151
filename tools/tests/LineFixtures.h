#pragma once
// What the pen and pencil tests share: a canvas with the tool's layers
// handed over, steps through the tool as the stroke engine makes them, and
// reference pieces worked from the tools' formulas for a ribbon that runs
// straight along +x, where every row's span runs from the back edge to the
// front edge and u is constant along it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/Rounding.h"
#include "imaging/Pixel.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/tests/StrokeTestSupport.h"

namespace linetest {

using stroketest::Pt;

inline int32_t Rnd(float v) {
    return int32_t(RoundHalfAway(v));
}

// The engine's hold on a tool: the point it rendered last, the stroke
// points it holds and where it renders, for the ribbon's corner rule.
template <class Tool> class CEngineSeam : public Tool {
public:
    void SetPrevious(CPaintTool::pointStruct p) { this->m_PreviousPoint = p; }
    void SetStrokePoints(const std::vector<CPaintTool::pointStruct>& points, int32_t cursor) {
        this->m_aStrokePoints.RemoveAll();
        for (const CPaintTool::pointStruct& p : points) {
            ASSERT_EQ(this->m_aStrokePoints.Add(p), eNoError);
        }
        this->m_nRenderCursor = cursor;
    }
};

// A pen or pencil test: the tool (an engine seam on it) of the given id
// on a kW x kH stroke canvas, its layers handed over and the colour set,
// with steps through it as the engine makes them.
template <class Seam> class TLineToolTest : public ::testing::Test {
protected:
    static constexpr int32_t kW = 120, kH = 90;

    TLineToolTest(int32_t id, uint32_t strokeColour) : colour(strokeColour), m_nId(id) {}

    void SetUp() override {
        ASSERT_TRUE(canvas.IsReady());
        ASSERT_EQ(tool.SetupTool(), eNoError);
        tool.SetType(m_nId);
        CCanvas& c = canvas.Canvas();
        ASSERT_EQ(tool.SetSources(c.Layer(0), c.Layer(1), c.Layer(2), c.Layer(3)), eNoError);
        canvas.SetColour(colour);
    }

    // A piece as the engine paints it: then p is the point rendered last.
    gCRect Step(CPaintTool::pointStruct p) {
        gCRect rect;
        EXPECT_EQ(tool.RenderDab(p, rect, &canvas.Canvas()), eNoError);
        tool.SetPrevious(p);
        return rect;
    }

    // A stroke begun at p whose first cross-section lies at p: no wedge.
    void StartAt(CPaintTool::pointStruct p) {
        ASSERT_EQ(tool.SetFirstPt(p, 0), eNoError);
        ASSERT_EQ(tool.DabEnd(), eNoError); // no previous cross-section
        tool.SetPrevious(p);
        Step(p);
    }

    CStrokeCanvas canvas{kW, kH};
    Seam tool;
    uint32_t colour;

private:
    int32_t m_nId;
};

// One pixel of a straight piece along +x from the cross-section at x0 to
// the one at x1, both of half-width w about row c: its u (at the pixel's
// left edge and at its centre) and v likewise.
struct SStraightPixel {
    int32_t x = 0, y = 0;
    float u = 0.0f, v = 0.0f, uMid = 0.0f, vMid = 0.0f;
};

// Walks the piece's pixels on a width x height layer as the tools lay them
// out: rows round(c - w + 0.5) to round(c + w + 0.5), each crossing the back
// edge (x0, c + w) to (x0, c - w) at u = t; pixels round(x0 + 0.5) to
// round(x1 - 0.5), the span parameter starting at (first - x0) / (x1 - x0)
// and growing by 1 / (x1 - x0) per pixel.
inline void ForEachStraightPixel(float x0, float x1, float c, float w, int32_t width,
                                 int32_t height,
                                 const std::function<void(const SStraightPixel&)>& f) {
    const int32_t top = std::max(0, Rnd(c - w + 0.5f));
    const int32_t bottom = std::min(height, Rnd(c + w + 0.5f));
    const float step = 1.0f / std::max(1.0f, x1 - x0);
    for (int32_t y = top; y < bottom; ++y) {
        const float t = (float(y) - (c + w)) / ((c - w) - (c + w));
        const int32_t first = Rnd(x0 + 0.5f), last = Rnd(x1 - 0.5f);
        float sigma = step * (float(first) - x0);
        for (int32_t x = first; x <= last; ++x, sigma += step) {
            if (x < 0 || x >= width) {
                continue;
            }
            SStraightPixel px;
            px.x = x;
            px.y = y;
            px.u = px.uMid = t;
            px.v = sigma;
            px.vMid = sigma + step * 0.5f;
            f(px);
        }
    }
}

// The first word where the two layers differ, for a failure message.
inline ::testing::AssertionResult SameLayer(const CLayerWords& want, const CLayerWords& got,
                                            int32_t width) {
    for (size_t k = 0; k < want.size(); ++k) {
        if (want[k] != got[k]) {
            return ::testing::AssertionFailure()
                   << "at (" << k % size_t(width) << ", " << k / size_t(width) << "): want 0x"
                   << std::hex << want[k] << ", got 0x" << got[k];
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace linetest
