#include "tools/wet/WetBrush.h"

#include <algorithm>
#include <cmath>

#include "imaging/ImNav.h"
#include "paint/Pressure.h"
#include "paint/SharpTurn.h"
#include "paint/canvas/Canvas.h"
#include "tools/detail/ToolRounding.h"
#include "tools/wet/detail/WetMath.h"

using tooldetail::Rnd;
using wetdetail::Alpha;
using wetdetail::Clamp;
using wetdetail::PaintWord;
using wetdetail::WithAlpha;

bool CWetBrushTool::LayersReady(CCanvas* canvas) const {
    if (!canvas || m_nLayerWidth <= 0 || m_nLayerHeight <= 0) {
        return false;
    }
    CPixel* const layers[4] = {m_pLayer0, m_pLayer1, m_pLayer2, m_pLayer3};
    for (int32_t i = 0; i < 4; ++i) {
        const CImNav* view = canvas->LayerView(i);
        if (!view || !view->IsLocked() || !layers[i] || view->GetDataPtr() != layers[i] ||
            view->GetWidth() != m_nLayerWidth || view->GetHeight() != m_nLayerHeight ||
            view->GetStride() != m_nLayerWidth) {
            return false;
        }
    }
    return true;
}

void CWetBrushTool::ExchangePaint(int32_t i, uint32_t colour, uint32_t depth, int32_t ap,
                                  float lay0, float lay1, bool bare) {
    const float P = m_rPressureResponse;
    const CPixel picked(WithAlpha(colour, ap));

    // Depths from a loaded canvas may run far above what painting makes;
    // held well inside int32_t.
    const int32_t d = int32_t(std::min(depth, 0x3FFFFFFFu));
    const int32_t T = int32_t(m_aPaint[i] >> 16) + int32_t(m_aPaint[i] & 0xFFFFu);
    const int32_t cap = Rnd(std::max(0.6f, P) * 500.0f);
    int32_t t;
    if (d < T) {
        const float v = float(T) + float(std::max(d - T, -cap)) * m_aPickUp[i];
        t = int32_t(std::max(0.0f, v));
    } else {
        t = std::max(0, Rnd(float(T) * 0.8f + float(d)));
    }
    int32_t reservoir = std::max(0, t - cap);
    const int32_t m = std::min(t, cap);
    const int32_t laid = Rnd(float(m) * lay0 * lay1);
    reservoir += std::max(0, m - laid);
    m_aPaint[i] = PaintWord(reservoir, laid);

    CPixel bristle = m_aBrushLoad[i];
    const int32_t ab = int32_t(Alpha(bristle));
    if (depth != 0 || (bare && ap > 0)) {
        if (ab > ap) {
            bristle.AlphaBlend255(ap, picked);
        } else {
            bristle.AlphaBlend255(int32_t(Alpha(colour)), CPixel(colour));
            if (depth != 0) {
                bristle = uint32_t(bristle) | 0xFF000000u;
            }
        }
    }
    if (laid > 0) {
        bristle = uint32_t(bristle) | 0xFF000000u;
    }
    if (ab > ap && laid == 0) {
        bristle = WithAlpha(bristle, Clamp(Rnd(float(ab) * 0.9f + float(ap) * 0.1f), 0, 255));
    }
    m_aBrushLoad[i] = bristle;
}

CWetBrushTool::SBladeState CWetBrushTool::BladeState() const {
    SBladeState blade;
    for (int32_t i = 0; i < kBrushSlots; ++i) {
        blade.colours[i] = m_aBrushLoad[i];
        blade.reservoirs[i] = int32_t(m_aPaint[i] >> 16);
    }
    return blade;
}

void CWetBrushTool::BuildProfiles(float rateA, int32_t stepsB, float rateB) {
    const float lin = m_rLinearSize;
    const int32_t r = Rnd(lin * 35.0f);
    // From each edge to the middle of the blade, the two halves meeting at
    // slots kMiddle - 1 and kMiddle.
    constexpr int32_t kMiddle = kBrushSlots / 2;
    const int32_t stepsA = std::max(0, kMiddle - (r + 5));
    float a = 0.9f - lin * 0.1f;
    float b = 0.0f;
    for (int32_t i = 0; i <= kMiddle; ++i) {
        m_aPickUp[i] = m_aPickUp[kLastSlot - i] = a;
        m_aDeposit[i] = m_aDeposit[kLastSlot - i] = b;
        a = i < stepsA ? a + (0.05f - a) * rateA : 0.05f;
        b = i < stepsB ? b + (1.0f - b) * rateB : 1.0f;
    }
}

gCRect CWetBrushTool::ClampedBox(const gCRPoint* points, int32_t count) const {
    float minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (int32_t i = 1; i < count; ++i) {
        minX = std::min(minX, points[i].x);
        maxX = std::max(maxX, points[i].x);
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    const int32_t w = m_nLayerWidth - 1, h = m_nLayerHeight - 1;
    return gCRect(std::clamp(Rnd(minX) - 2, 0, w), std::clamp(Rnd(minY) - 2, 0, h),
                  std::clamp(Rnd(maxX) + 2, 0, w), std::clamp(Rnd(maxY) + 2, 0, h));
}

void CWetBrushTool::AdvanceNoise() {
    m_nNoisePosition += uint32_t(Rnd(m_rPressureResponse * 20.0f + 5.5f));
}

error CWetBrushTool::RenderDab(pointStruct p, gCRect& rect, CCanvas* canvas) {
    if (!LayersReady(canvas)) {
        return eOutOfMemory;
    }
    const int32_t pr = std::max(0, p.pressure);
    const float P = std::min(1.0f, ToolPressure(pr));
    m_rPressureResponse = P;
    const float W = BrushWidth(P, pr);
    if (m_rPreviousPressureResponse == -1.0f) {
        m_rPreviousPressureResponse = P;
    }
    const bool hasPrevious = !(m_aPreviousEdge[0] == -1.0f || m_aPreviousEdge[1] == -1.0f);

    float dx = p.dx, dy = p.dy;
    bool turned = false;
    gCRect turnRect;
    if (hasPrevious) {
        const pointStruct q = m_PreviousPoint;
        if (IsSharpTurn(q.dx + p.dx, q.dy + p.dy, ETurnEdge::eEdgeTurns)) {
            // A sharp turn: a piece that fades out half a width past the
            // previous point, then the blade starts again half a width
            // behind p, turned over.
            const float ux = q.dx * W, uy = q.dy * W;
            const float mx = q.x + ux * 0.5f, my = q.y + uy * 0.5f;
            const gCRPoint prevA(m_aPreviousEdge[0], m_aPreviousEdge[1]);
            const gCRPoint prevB(m_aPreviousEdge[2], m_aPreviousEdge[3]);
            const gCRPoint turnA(mx - uy, my + ux), turnB(mx + uy, my - ux);
            const gCRPoint corners[4] = {prevA, prevB, turnA, turnB};
            turnRect = Grown(ClampedBox(corners, 4));
            gCRect protect = turnRect;
            if (const error e = ProtectStrokeArea(*canvas, protect); e != eNoError) {
                return e;
            }
            ++m_nDabNum;
            if (const error e = Segment(prevA, prevB, turnA, turnB, 1); e != eNoError) {
                return e;
            }
            AdvanceNoise();

            float ndx = p.dx, ndy = p.dy;
            const int32_t next = m_nRenderCursor + 1;
            if (next >= 0 && next < m_aStrokePoints.GetSize()) {
                ndx = m_aStrokePoints[next].dx;
                ndy = m_aStrokePoints[next].dy;
            }
            const float vx = ndx * W, vy = ndy * W;
            const float hx = p.x - vx * 0.5f, hy = p.y - vy * 0.5f;
            m_aPreviousEdge[0] = hx - vy;
            m_aPreviousEdge[1] = hy + vx;
            m_aPreviousEdge[2] = hx + vy;
            m_aPreviousEdge[3] = hy - vx;
            m_fProfileFlip = m_fProfileFlip ? 0 : 1;
            dx = ndx;
            dy = ndy;
            turned = true;
        }
    }

    const gCRPoint a1(p.x - W * dy, p.y + W * dx), b1(p.x + W * dy, p.y - W * dx);
    if (hasPrevious) {
        const gCRPoint a0(m_aPreviousEdge[0], m_aPreviousEdge[1]);
        const gCRPoint b0(m_aPreviousEdge[2], m_aPreviousEdge[3]);
        const gCRPoint corners[4] = {a0, b0, a1, b1};
        const gCRect piece = Grown(ClampedBox(corners, 4));
        gCRect protect = piece;
        if (const error e = ProtectStrokeArea(*canvas, protect); e != eNoError) {
            return e;
        }
        ++m_nDabNum;
        if (const error e = Segment(a0, b0, a1, b1, turned ? 2 : 0); e != eNoError) {
            return e;
        }
        AdvanceNoise();
        rect = turned ? piece.United(turnRect) : piece;
        // The turn piece's rows are relit with the piece's; should they not
        // fit, the whole of both boxes.
        m_WrittenRows.MarkOn(*canvas, rect);
    }
    m_aPreviousEdge[0] = a1.x;
    m_aPreviousEdge[1] = a1.y;
    m_aPreviousEdge[2] = b1.x;
    m_aPreviousEdge[3] = b1.y;
    m_rPreviousPressureResponse = P;
    return eNoError;
}
