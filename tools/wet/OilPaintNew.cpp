// The second engine's oil brush: its profiles, widths and its three dabs.

#include "tools/wet/OilPaintNew.h"

#include <cmath>
#include <cstdint>

#include "paint/canvas/Canvas.h"
#include "tools/detail/ToolRounding.h"

using tooldetail::Rnd;

namespace {

float Length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

gCRPoint At(float x, float y) {
    return gCRPoint(x, y);
}

} // namespace

COilPaintNew::COilPaintNew() {
    m_rToolSize = 0.5f;
    m_nType = 0;
    m_fEmptyWells = 0;
    m_fFirstDab = 0;
    (void)m_nNoiseSeed; // always 0: the texture has one seed
    (void)m_nSpare;
}

error COilPaintNew::SetupDerivedTool() {
    m_fFirstDab = 0;
    // Stepped, not powers: 1 - 0.8^i up to 20, then full; 0.05 + 0.65 x
    // 0.6^i up to 30, then 0.05; mirrored about the middle.
    float deposit = 0.0f, pickUp = 0.7f;
    for (int32_t i = 0; i < kWells / 2; ++i) {
        m_aDeposit[i] = m_aDeposit[kWells - 1 - i] = deposit;
        m_aPickUp[i] = m_aPickUp[kWells - 1 - i] = pickUp;
        deposit = i < 20 ? deposit + (1.0f - deposit) * 0.2f : 1.0f;
        pickUp = i < 30 ? pickUp + (0.05f - pickUp) * 0.4f : 0.05f;
    }
    return eNoError;
}

float COilPaintNew::BrushWidth(float pressure, float most) {
    float q = pressure * (1.0f / 1024.0f);
    // Outside 0..2 the circular response has no root.
    q = q < 0.0f ? 0.0f : (q > most ? most : q);
    const float r = q - 1.0f;
    return ToolPixelSize() * (q + std::sqrt(1.0f - r * r)) / 2.0f;
}

error COilPaintNew::DoFirstDab(CCanvas* canvas, const CTabletPoint& P, gCRect& rect) {
    const float W = BrushWidth(P.pressure, 2.0f);
    const float h = W / 2.0f;
    m_fFirstDab = 0;
    if (m_nStrokeCount == 0 || m_fEmptyWells || m_fNeedsSetup) {
        for (CPixel& c : m_aWellColours) {
            c = 0u;
        }
        m_fNeedsSetup = 0;
    }
    // Loaded: the current colour under 80 % of what each well still holds.
    const CPixel colour = CurrentColour();
    for (int32_t i = 0; i < kWells; ++i) {
        const uint32_t held = uint32_t(m_aWellColours[i]);
        const int32_t level = int32_t(((held >> 24) * 205u) >> 8);
        CPixel loaded = colour;
        loaded.AlphaBlend255(level, CPixel((held & 0x00FFFFFFu) | (uint32_t(level) << 24)));
        m_aWellColours[i] = loaded;
        m_aWellAmounts[i] = kFullWell;
    }
    KeepPreviousWells();
    // A W by h rectangle centred on P.
    const gCRPoint d = m_CurrentDir;
    const gCRPoint perp(d.y, -d.x);
    const gCRPoint e1 = At(P.x + perp.x * h, P.y + perp.y * h);
    const gCRPoint e2 = At(P.x - perp.x * h, P.y - perp.y * h);
    const float half = h / 2.0f;
    m_EdgeA = At(e1.x - d.x * half, e1.y - d.y * half);
    m_EdgeB = At(e2.x - d.x * half, e2.y - d.y * half);
    const gCRPoint a = At(e1.x + d.x * half, e1.y + d.y * half);
    const gCRPoint b = At(e2.x + d.x * half, e2.y + d.y * half);
    const int32_t s = Rnd(W * 1.42f + 1.0f);
    const int32_t left = Rnd(P.x) - (s >> 1), top = Rnd(P.y) - (s >> 1);
    gCRect square(left, top, left + s, top + s);
    m_FirstDabPoint = SDabPoint{P.x, P.y, P.pressure};
    if (const error e = canvas->ProtectDabArea(square, 0); e != eNoError) {
        return e;
    }
    m_nPhase = eFirstDab;
    m_fFirstDab = 1;
    if (const error e = StartQuad(canvas, a, b, rect); e != eNoError) {
        return e;
    }
    rect = square;
    m_nNoisePosition += uint32_t(Rnd(h * 5000.0f));
    return eNoError;
}

error COilPaintNew::DoDab(CCanvas* canvas, const CTabletPoint& P, gCRect& rect) {
    m_nPhase = eBody;
    const float W = BrushWidth(P.pressure, 1.0f);
    const float h = W / 2.0f;
    gCRect restored;
    const gCRPoint d = m_CurrentDir;
    const gCRPoint perp(d.y, -d.x);
    const gCRPoint a = At(P.x + perp.x * h, P.y + perp.y * h);
    const gCRPoint b = At(P.x - perp.x * h, P.y - perp.y * h);
    if (m_fFirstDab) {
        // The provisional square goes; the start is repainted as a W-long
        // quad ending at P.
        m_nPhase = eStart;
        if (const error e = canvas->ProtectDabArea(restored, 1); e != eNoError) {
            return e;
        }
        m_EdgeA = At(a.x - d.x * W, a.y - d.y * W);
        m_EdgeB = At(b.x - d.x * W, b.y - d.y * W);
        m_PreviousDir = m_CurrentDir;
    }
    if (Length(d.x + m_PreviousDir.x, d.y + m_PreviousDir.y) < 1.4142f) {
        // A turn over 90 degrees: a square cap, the wells mirrored.
        m_nPhase = eTurn;
        m_fFlip = !m_fFlip;
        m_EdgeA = At(a.x - d.x * h, a.y - d.y * h);
        m_EdgeB = At(b.x - d.x * h, b.y - d.y * h);
        SampleCanvasPaint(canvas, a, b);
        FilterWells();
        if (const error e = StartQuad(canvas, a, b, rect); e != eNoError) {
            return e;
        }
        if (m_fFirstDab) {
            UniteRect(rect, restored);
        }
        restored = rect;
    }
    SampleCanvasPaint(canvas, a, b);
    FilterWells();
    if (const error e = StartQuad(canvas, a, b, rect); e != eNoError) {
        return e;
    }
    if (m_fFirstDab || m_nPhase == eTurn) {
        UniteRect(rect, restored);
    }
    const float moved = Length(m_Current.x - m_Previous.x, m_Current.y - m_Previous.y);
    m_nNoisePosition += uint32_t(Rnd(moved * 500.0f + P.pressure * 500.0f));
    m_fFirstDab = 0;
    return eNoError;
}

error COilPaintNew::DoLastDab(CCanvas* canvas, const CTabletPoint& P, gCRect& rect) {
    if (m_nPhase == eFirstDab) {
        return eNoError; // a tap: the provisional dab is the stroke
    }
    m_nPhase = eEnd;
    const float W = BrushWidth(P.pressure, 2.0f);
    const float h = W / 2.0f;
    const gCRPoint d = m_CurrentDir;
    const gCRPoint perp(d.y, -d.x);
    const gCRPoint a = At(P.x + perp.x * h + d.x * h, P.y + perp.y * h + d.y * h);
    const gCRPoint b = At(P.x - perp.x * h + d.x * h, P.y - perp.y * h + d.y * h);
    if (Length(d.x + m_PreviousDir.x, d.y + m_PreviousDir.y) < 1.4142f) {
        const gCRPoint edge = m_EdgeA;
        m_EdgeA = m_EdgeB;
        m_EdgeB = edge;
        m_fFlip = !m_fFlip;
    }
    if (const error e = StartQuad(canvas, a, b, rect); e != eNoError) {
        return e;
    }
    const float moved = Length(m_Current.x - m_Previous.x, m_Current.y - m_Previous.y);
    m_nNoisePosition += uint32_t(Rnd(moved * 100.0f + P.pressure * 100.0f));
    return eNoError;
}
