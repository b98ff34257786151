#pragma once
// A paint tool that logs the stroke engine's calls on it: SetFirstPt,
// RenderDab, Dab and DabEnd, each with its point and flag (SetFirstPt's
// long; 0 for the others). RenderDab and Dab can report a rectangle as
// changed, and the k-th call of the four (counted from 1) can fail with a
// chosen code, once; the failing call is logged too.

#include <cstdint>
#include <vector>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "paint/PaintTool.h"
#include "paint/ToolId.h"

class CRecordingTool : public CPaintTool {
public:
    enum EKind { eSetFirstPt, eRenderDab, eDab, eDabEnd };

    struct SCall {
        EKind kind;
        pointStruct pt;
        int32_t flag;
        error result;
    };

    // A tool of the id answering the traits given.
    explicit CRecordingTool(EToolId type = eToolAirbrush, const SStrokeTraits& traits = {}) {
        SetType(type);
        m_StrokeTraits = traits;
    }

    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }
    error Dab(pointStruct pt, gCRect& rect, CCanvas*) override { return Log(eDab, pt, 0, &rect); }
    error RenderDab(pointStruct pt, gCRect& rect, CCanvas*) override {
        return Log(eRenderDab, pt, 0, &rect);
    }
    error SetFirstPt(pointStruct pt, int32_t flag) override {
        return Log(eSetFirstPt, pt, flag, nullptr);
    }
    error DabEnd() override { return Log(eDabEnd, pointStruct{}, 0, nullptr); }

    // How many calls of one kind were logged.
    int32_t Count(EKind kind) const;

    std::vector<SCall> m_Calls;
    // Written into the rectangle of RenderDab and Dab when m_bMark is set;
    // otherwise the rectangle is left as the caller gave it.
    bool m_bMark = false;
    gCRect m_MarkRect;
    // The call (1 = the first of the four kinds) that returns m_FailCode;
    // 0 = none.
    int32_t m_nFailAt = 0;
    error m_FailCode = eNoError;

private:
    error Log(EKind kind, const pointStruct& pt, int32_t flag, gCRect* rect);
};
