#include "tools/dry/detail/DryMedia.h"

#include <algorithm>

#include "tools/dry/detail/DryMath.h"

using drydetail::Rnd;

error CDryMedia::SetFirstPt(pointStruct pt, int32_t) {
    StartStroke(pt);
    m_StrokeColour = CurrentColour();
    (void)ResetBrushLoad(); // the reload flag is set: it always empties
    for (CPixel& slot : m_aBrushLoad) {
        const int32_t a = RoundToInt32(float(uint32_t(slot) >> 24) * 0.8f, 0, 255);
        CPixel fresh = m_StrokeColour;
        fresh.AlphaBlend255(a, slot);
        slot = fresh;
    }
    return eNoError;
}

error CDryMedia::SetColour(int32_t slot, uint32_t colour, uint32_t, uint32_t) {
    if (slot < 0 || slot >= kSlots) {
        return eBadParameter;
    }
    LoadSlot(slot, colour, PickLevel(colour), FillWeight());
    return eNoError;
}

int32_t CDryMedia::PickLevel(uint32_t colour) const {
    return RoundToInt32(float(colour >> 24) * m_rPickUp * m_rPressureResponse, 0, 255);
}

float CDryMedia::FillWeight() const {
    const float eased = m_rPressureResponse;
    return eased * eased * eased * eased * eased;
}

void CDryMedia::LoadSlot(int32_t slot, uint32_t colour, int32_t pick, float fillWeight) {
    CPixel& load = m_aBrushLoad[slot];
    drydetail::Lay(load, colour, pick);
    const float m = std::max(0.01f, fillWeight * m_aProfile[slot]);
    const int32_t fill = RoundToInt32(float(uint32_t(m_StrokeColour) >> 24) * m, 0, 255);
    drydetail::Lay(load, m_StrokeColour, fill);
}

void CDryMedia::LoadPiece(gCRPoint p3, gCRPoint p4) {
    std::copy(m_aBrushLoad, m_aBrushLoad + kSlots, m_aSnapshot);
    const float ex = p4.x - p3.x, ey = p4.y - p3.y;
    const float m = std::max(std::max(std::abs(ex), std::abs(ey)), 1.0f);
    const float step = 1.0f / m;
    const bool flip = m_fProfileFlip != 0;
    const float fillWeight = FillWeight();
    for (float t = 0.0f; t < 1.0f;) {
        const int32_t x = Rnd(p3.x + t * ex), y = Rnd(p3.y + t * ey);
        if (x >= 0 && x < m_nLayerWidth && y >= 0 && y < m_nLayerHeight) {
            const uint32_t colour = m_pLayer0[size_t(y) * size_t(m_nLayerWidth) + size_t(x)];
            const int32_t pick = PickLevel(colour);
            const int32_t end = Rnd(std::min(100.0f, 100.0f * (t + step)));
            for (int32_t k = std::max(0, Rnd(100.0f * t)); k < end && k < kSlots; ++k) {
                LoadSlot(flip ? kSlots - 1 - k : k, colour, pick, fillWeight);
            }
        }
        const float next = t + step;
        if (!(next > t)) {
            break;
        }
        t = next;
    }
}

error CDryMedia::Dab(pointStruct pt, gCRect& rect, CCanvas* canvas) {
    return PaintDab(pt, rect, canvas, [&](int32_t r, float p) {
        const size_t width = size_t(m_nLayerWidth);
        uint32_t gmin = 0xFFFFFFFFu, gmax = 0;
        ForEachDabSample(pt, r, [&](int32_t x, int32_t y, int32_t, int32_t) {
            const uint32_t g = uint32_t(m_pLayer1[size_t(y) * width + size_t(x)]) >> 16;
            gmin = std::min(gmin, g);
            gmax = std::max(gmax, g);
        });
        // Grain without relief (flat, or no paper) leaves the dab unmodulated,
        // as it leaves a piece.
        const bool grained = gmin != 0 && gmax != 0 && gmax > gmin && gmin != 0xFFFFFFFFu;
        const float range = std::max(1.0f, float(gmax) - float(gmin));
        const float weight = std::max(0.5f, p);
        ForEachDabSample(pt, r, [&](int32_t x, int32_t y, int32_t i, int32_t j) {
            const size_t k = size_t(y) * width + size_t(x);
            const uint32_t mark = m_pLayer3[k];
            if ((mark >> 16) != 0) {
                return;
            }
            const CPixel slot = m_aBrushLoad[i];
            const int32_t a1 =
                RoundToInt32(float(uint32_t(slot) >> 24) * m_aProfile[i] * m_aProfile[j], 0, 255);
            int32_t a = RoundToInt32(float(a1) * m_aProfile[i] * weight, 0, 255);
            if (grained) {
                const float g = float(uint32_t(m_pLayer1[k]) >> 16) - float(gmin);
                const float x0 =
                    std::max(0.0f, 0.2f + 0.8f * p * m_aProfile[i] - (1.0f - g / range));
                a = RoundToInt32(float(a) * x0 / 0.2f, 0, 255);
            }
            drydetail::Lay(m_pLayer0[k], slot, a);
            m_pLayer3[k] = (mark & 0xFFFFu) | 0x10000u;
        });
    });
}
