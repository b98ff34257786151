#pragma once
// A brush of the second stroke engine that logs what the engine asks of it:
// each dab call with its point, the current direction and the dab count at
// that moment, every DabSpace question and every pixel a quad hands on.
// Its dabs write a chosen rectangle (empty: none), advance a fake clock by
// a chosen number of milliseconds, and the k-th dab call (counted from 1
// over all three kinds) can fail with a chosen code, once.

#include <cstdint>
#include <vector>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "paint/ToolBase.h"
#include "testsupport/foundation/FakeClock.h"

class CRecordingEngine : public CToolBase {
public:
    enum EKind : int32_t { eFirstDab = 0, eDab = 2, eLastDab = 4 };

    struct SCall {
        EKind kind;
        float x, y, pressure;
        gCRPoint direction;
        int32_t dabCount;
        error result;
    };
    struct SPixel {
        int32_t x, y;
        float u, v, width, coverage;
    };

    CRecordingEngine() {
        m_nType = 0;
        m_rToolSize = 0.5f;
    }

    error SetupDerivedTool() override { return eNoError; }
    float SizeLowLimit() override { return 4.0f; }
    float SizeHighLimit() override { return 100.0f; }
    // As the oil brush spaces its points: f x (pixel size / 12).
    float DabSpace(float f, float pixelSize) override {
        m_SpaceAsked.push_back(f);
        return f * (pixelSize / 12.0f);
    }
    error DoFirstDab(CCanvas*, const CTabletPoint& p, gCRect& rect) override {
        return Log(eFirstDab, p, rect);
    }
    error DoDab(CCanvas*, const CTabletPoint& p, gCRect& rect) override {
        return Log(eDab, p, rect);
    }
    error DoLastDab(CCanvas*, const CTabletPoint& p, gCRect& rect) override {
        return Log(eLastDab, p, rect);
    }
    void ApplyPaint(CCanvas*, CPixel* pixel, const gCRPoint& uv, float width, int32_t x, int32_t y,
                    float coverage) override {
        m_Pixels.push_back(SPixel{x, y, uv.x, uv.y, width, coverage});
        if (m_fMarkPixels) {
            *pixel = 0xFF000000u;
        }
    }
    int32_t ProcessLocalData(uint32_t id, const void*, int64_t, int32_t) override {
        m_LocalIds.push_back(id);
        return 7;
    }

    // The engine's point arrays and anchor, for steps worked by hand.
    gCArray<CPointInterp>& Raw() { return m_aRawPoints; }
    gCArray<CPointInterp>& Points() { return m_aStrokePoints; }
    void SetAnchor(int32_t a) { m_nSplineAnchor = a; }
    void SetCurrent(float x, float y, gCRPoint direction) {
        m_Current = SDabPoint{x, y, 0.0f};
        m_CurrentDir = direction;
    }

    int32_t Count(EKind kind) const {
        int32_t n = 0;
        for (const SCall& c : m_Calls) {
            n += c.kind == kind ? 1 : 0;
        }
        return n;
    }

    std::vector<SCall> m_Calls;
    std::vector<float> m_SpaceAsked;
    std::vector<SPixel> m_Pixels;
    std::vector<uint32_t> m_LocalIds;
    // Written into every dab's rectangle when not empty, moved right by
    // m_nRectShift per call before it.
    gCRect m_Rect;
    int32_t m_nRectShift = 0;
    // Advanced by m_nMsPerDab at every dab call.
    CFakeClock* m_pClock = nullptr;
    uint64_t m_nMsPerDab = 0;
    int32_t m_nFailAt = 0;
    error m_FailCode = eNoError;
    bool m_fMarkPixels = false;

private:
    error Log(EKind kind, const CTabletPoint& p, gCRect& rect) {
        const int32_t call = int32_t(m_Calls.size()) + 1;
        const error result = call == m_nFailAt ? m_FailCode : eNoError;
        m_Calls.push_back(SCall{kind, p.x, p.y, p.pressure, m_CurrentDir, m_nDabCount, result});
        if (m_pClock) {
            m_pClock->AdvanceMilliseconds(m_nMsPerDab);
        }
        if (result == eNoError && !m_Rect.IsEmpty()) {
            const int32_t shift = (call - 1) * m_nRectShift;
            rect = gCRect(m_Rect.left + shift, m_Rect.top, m_Rect.right + shift, m_Rect.bottom);
        }
        return result;
    }
};
