// The second engine's data channel, input filter and stroke calls.

#include "paint/ToolBase.h"

#include <cmath>
#include <cstdint>

#include "foundation/Clock.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "foundation/Timing.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"

namespace {

// Whole milliseconds since a timer's moment, on the toolkit's 64-bit clock.
struct SBudget {
    CTimer timer;
    uint64_t Elapsed() const {
        return (gCClock::Microseconds() - timer.m_nMicroseconds) / 1000u;
    }
    // Its seconds, milliseconds and microseconds read again.
    void Restart() {
        const CTimer now;
        timer.m_nSeconds = now.m_nSeconds;
        timer.m_nMilliseconds = now.m_nMilliseconds;
        timer.m_nMicroseconds = now.m_nMicroseconds;
    }
};

// Render takes its rectangle inclusive and makes it exclusive in place.
error RenderCopy(CCanvas* canvas, const gCRect& r) {
    gCRect shown = r;
    return canvas->Render(shown);
}

CTabletPoint AsSample(const CToolBase::CPointInterp& p) {
    CTabletPoint s;
    s.x = p.x;
    s.y = p.y;
    s.pressure = p.pressure;
    return s;
}

float Distance(float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

void CToolBase::UniteRect(gCRect& into, const gCRect& r) {
    if (IsEmptyRect(r)) {
        return;
    }
    if (IsEmptyRect(into)) {
        into = r;
        return;
    }
    into.left = r.left < into.left ? r.left : into.left;
    into.top = r.top < into.top ? r.top : into.top;
    into.right = r.right > into.right ? r.right : into.right;
    into.bottom = r.bottom > into.bottom ? r.bottom : into.bottom;
}

int32_t CToolBase::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    const bool pointed = id == eCmdToolSize || id == eCmdSizeLowLimit || id == eCmdSizeHighLimit;
    if (pointed && value == 0) {
        return eBadParameter; // these carry the address of their value
    }
    switch (id) {
    case eCmdToolSize:
        if (set) {
            (void)SetToolSize(*ChannelPointer<float>(value)); // always 0
        } else {
            *ChannelPointer<float>(value) = ToolSize();
        }
        return 0;
    case eCmdSizeLowLimit:
        *ChannelPointer<float>(value) = SizeLowLimit();
        return 0;
    case eCmdSizeHighLimit:
        *ChannelPointer<float>(value) = SizeHighLimit();
        return 0;
    case eCmdSizeDown: {
        const float size = ToolSize() - 0.1f;
        (void)SetToolSize(size <= 0.0f ? 0.0f : size);
        return 0;
    }
    case eCmdSizeUp: {
        const float size = ToolSize() + 0.1f;
        (void)SetToolSize(size >= 1.0f ? 1.0f : size);
        return 0;
    }
    case eMsgPaintColour:
        m_fNeedsSetup = 1;
        return 0;
    default:
        return ProcessLocalData(id, sender, value, set);
    }
}

error CToolBase::SetupTool() {
    m_fNeedsSetup = 1;
    return SetupDerivedTool();
}

float CToolBase::ToolPixelSize() {
    const float low = SizeLowLimit();
    const float high = SizeHighLimit();
    return low + (high - low) * ToolSize();
}

CPixel CToolBase::CurrentColour() {
    if (CSMKBackbone* backbone = CSMKBackbone::Registered()) {
        return backbone->CurrentColour();
    }
    return 0xFF000000u;
}

error CToolBase::MouseMove(CCanvas*, CTabletPoint& sample) {
    const gCRPoint at(sample.x, sample.y);
    if (!m_fHistorySeeded) {
        for (gCRPoint& h : m_aHistory) {
            h = at;
        }
        m_fHistorySeeded = 1;
    }
    float dx = at.x - m_Current.x, dy = at.y - m_Current.y;
    float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.901f)) {
        return eNoError;
    }
    m_Previous = m_Current;
    m_PreviousDir = m_CurrentDir;
    m_aHistory[3] = m_aHistory[2];
    m_aHistory[2] = m_aHistory[1];
    m_aHistory[1] = m_aHistory[0];
    m_aHistory[0] = at;
    const gCRPoint& h0 = m_aHistory[0];
    const gCRPoint& h2 = m_aHistory[2];
    gCRPoint& h1 = m_aHistory[1];
    if (Distance(h1.x, h1.y, h2.x, h2.y) < 1.42f && Distance(h1.x, h1.y, h0.x, h0.y) < 1.42f) {
        h1 = gCRPoint((h0.x + h2.x) * 0.5f, (h0.y + h2.y) * 0.5f);
        dx = h0.x - h2.x;
        dy = h0.y - h2.y;
        length = std::sqrt(dx * dx + dy * dy);
    }
    m_Current.x = h1.x;
    m_Current.y = h1.y;
    // A step that the midpoint rule cancels keeps no direction.
    m_CurrentDir = length > 0.0f ? gCRPoint(dx / length, dy / length) : gCRPoint();
    return eNoError;
}

void CToolBase::StepTo(const CPointInterp& S) {
    m_Previous = m_Current;
    m_PreviousDir = m_CurrentDir;
    m_Current = SDabPoint{S.x, S.y, S.pressure};
    m_CurrentDir = gCRPoint(S.dx, S.dy);
}

error CToolBase::DabAtStrokePoint(CCanvas* canvas, int32_t skipStill, gCRect& r) {
    const CPointInterp S = m_aStrokePoints[m_nDabCount];
    StepTo(S);
    r = gCRect();
    if (!skipStill || S.dx != 0.0f || S.dy != 0.0f) {
        if (const error e = DoDab(canvas, AsSample(S), r); e != eNoError) {
            return e;
        }
    }
    ++m_nDabCount;
    if (!IsEmptyRect(r)) {
        SetCanvasInvalidationArea(canvas, r);
    }
    return eNoError;
}

error CToolBase::ToolDown(CCanvas* canvas, CTabletPoint& sample) {
    for (int32_t i = 0; i < 3; ++i) {
        if (const error e = MouseMove(canvas, sample); e != eNoError) {
            return e;
        }
    }
    m_nDabCount = 0;
    m_rMaxPressure = 0.0f;
    m_aStrokePoints.RemoveAll();
    m_aRawPoints.RemoveAll();
    m_nLastStrokePoint = -1;
    m_nSplineAnchor = 0;
    m_nDirectionIndex = 0;
    m_nSmoothingIndex = 0;
    m_LastRaw = CPointInterp{sample.x, sample.y, sample.pressure, 0.0f, 0.0f};
    (void)m_aRawPoints.Add(m_LastRaw); // a point that cannot be stored is dropped
    canvas->ResetInvLut();
    m_EdgeA = gCRPoint(kNoEdge, kNoEdge);
    m_EdgeB = m_EdgeA;
    m_Current = SDabPoint{sample.x, sample.y, sample.pressure};
    gCRect rect;
    if (const error e = DoFirstDab(canvas, sample, rect); e != eNoError) {
        return e;
    }
    ++m_nDabCount;
    if (!IsEmptyRect(rect)) {
        SetCanvasInvalidationArea(canvas, rect);
        if (const error e = RenderCopy(canvas, rect); e != eNoError) {
            return e;
        }
    }
    canvas->ResetInvLut();
    return eNoError;
}

error CToolBase::ToolMove(CCanvas* canvas, CTabletPoint& sample) {
    const float pixelSize = ToolPixelSize();
    float spacing = DabSpace(sample.pressure * (1.0f / 1024.0f), pixelSize);
    if (spacing == 0.0f) {
        spacing = DabSpace(0.5f, pixelSize);
    }
    if (sample.pressure > m_rMaxPressure) {
        m_rMaxPressure = sample.pressure;
    }
    const float moved = Distance(m_LastRaw.x, m_LastRaw.y, sample.x, sample.y);
    if (RoundToInt32(moved, 0, INT32_MAX) > 0) {
        const CPointInterp raw{sample.x, sample.y, sample.pressure, 0.0f, 0.0f};
        if (m_aRawPoints.Add(raw) == eNoError) {
            m_LastRaw = raw;
        }
        const int32_t a = m_nSplineAnchor;
        if (a + 1 < m_aRawPoints.GetSize()) {
            const CPointInterp& p1 = m_aRawPoints[a];
            const CPointInterp& p2 = m_aRawPoints[a + 1];
            const float s = Distance(p1.x, p1.y, p2.x, p2.y);
            if (s >= spacing) {
                Spline(s);
            } else {
                AddStrokePt(spacing, p1, 0);
                ++m_nSplineAnchor;
            }
        }
    }
    if (m_aStrokePoints.GetSize() > 5) {
        const SBudget budget;
        gCRect united;
        while (m_nDabCount < m_nDirectionIndex && budget.Elapsed() <= 19u) {
            gCRect r;
            if (const error e = DabAtStrokePoint(canvas, 0, r); e != eNoError) {
                return e;
            }
            UniteRect(united, r);
        }
        if (!IsEmptyRect(united)) {
            if (const error e = RenderCopy(canvas, united); e != eNoError) {
                return e;
            }
        }
    }
    canvas->ResetInvLut();
    return eNoError;
}

error CToolBase::ToolUp(CCanvas* canvas, CTabletPoint& sample) {
    AddStrokePt(0.0f, CPointInterp{sample.x, sample.y, sample.pressure, 0.0f, 0.0f}, 1);
    const int32_t n = m_aStrokePoints.GetSize() - 1;
    if (n > 0 && m_nDabCount < n) {
        SBudget budget;
        gCRect united;
        while (m_nDabCount < n) {
            gCRect r;
            if (const error e = DabAtStrokePoint(canvas, 1, r); e != eNoError) {
                return e;
            }
            UniteRect(united, r);
            if ((budget.Elapsed() > 40u || m_nDabCount >= n) && !IsEmptyRect(united)) {
                if (const error e = RenderCopy(canvas, united); e != eNoError) {
                    return e;
                }
                united = gCRect();
                budget.Restart();
            }
        }
    }
    gCRect r;
    if (const error e = DoLastDab(canvas, sample, r); e != eNoError) {
        return e;
    }
    if (!IsEmptyRect(r)) {
        SetCanvasInvalidationArea(canvas, r);
        if (const error e = RenderCopy(canvas, r); e != eNoError) {
            return e;
        }
    }
    m_aRawPoints.RemoveAll();
    ++m_nStrokeCount;
    return eNoError;
}

void CToolBase::SetCanvasInvalidationArea(CCanvas* canvas, const gCRect& rect) {
    const int32_t w = canvas->Width(), h = canvas->Height();
    if (w <= 0 || h <= 0) {
        return;
    }
    auto hold = [](int32_t v, int32_t hi) { return v < 0 ? 0 : (v > hi ? hi : v); };
    const int32_t left = hold(rect.left, w - 1), right = hold(rect.right, w - 1);
    const int32_t top = hold(rect.top, h - 1), bottom = hold(rect.bottom, h - 1);
    // The spans take exclusive ends.
    canvas->InvalidateSpans(gCRect(left, top, right + 1, bottom + 1));
}
