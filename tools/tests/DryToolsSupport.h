#pragma once
// Shared by the dry-media tests: a tool driven as the stroke engine drives
// it, a canvas to call it on, and the tools as the backbone makes them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/tests/StrokeTestSupport.h"

// T driven by hand: the previously rendered point is kept as the engine
// keeps it, and the pressure responses can be set for a piece.
template <class T> class TDriven : public T {
public:
    using Pt = CPaintTool::pointStruct;

    // Set up as the backbone makes a tool of id, on the canvas's layers.
    ::testing::AssertionResult Prepare(int32_t id, CStrokeCanvas& canvas) {
        if (this->SetupTool() != eNoError) {
            return ::testing::AssertionFailure() << "SetupTool failed";
        }
        this->SetType(id);
        CCanvas& c = canvas.Canvas();
        if (this->SetSources(c.Layer(0), c.Layer(1), c.Layer(2), c.Layer(3)) != eNoError) {
            return ::testing::AssertionFailure() << "SetSources failed";
        }
        return ::testing::AssertionSuccess();
    }

    // The engine's way: SetFirstPt at the first point, which is also the
    // previously rendered point of the first RenderDab.
    error Start(Pt first) {
        this->m_PreviousPoint = first;
        return this->SetFirstPt(first, 0);
    }
    // RenderDab, after which pt is the previously rendered point.
    error Render(Pt pt, gCRect& rect, CCanvas* canvas) {
        const error e = this->RenderDab(pt, rect, canvas);
        this->m_PreviousPoint = pt;
        return e;
    }
    error Render(Pt pt, CCanvas* canvas) {
        gCRect rect;
        return Render(pt, rect, canvas);
    }

    void SetResponses(float previous, float current) {
        this->m_rPreviousPressureResponse = previous;
        this->m_rPressureResponse = current;
    }
};

using stroketest::Pt;

// The colours and the canvas size of the dabs and pieces worked by hand,
// and their rounding.
namespace drytest {

constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr int32_t kW = 120, kH = 90;

inline int32_t Rnd(float v) {
    return int32_t(std::round(v));
}

} // namespace drytest

// Chalk, crayon or (any other id) the eraser as the backbone makes it;
// null when its set-up fails.
inline std::unique_ptr<CPaintTool> MakeDryTool(int32_t id) {
    if (id == eToolChalk) {
        return stroketest::MakeTool<CChalk>(id);
    }
    if (id == eToolCrayon) {
        return stroketest::MakeTool<CCrayon>(id);
    }
    return stroketest::MakeTool<CEraser>(id);
}
