#include "tools/wet/OilPaint.h"

#include <algorithm>
#include <cmath>

#include "imaging/ValueNoise.h"
#include "tools/detail/ToolRounding.h"
#include "tools/wet/detail/WetMath.h"

using tooldetail::Rnd;
using wetdetail::Alpha;
using wetdetail::Clamp;
using wetdetail::Mean;
using wetdetail::PaintWord;
using wetdetail::WithAlpha;

error COilPaint::SetupTool() {
    return SetupReload("Oil Paint", 0, 1.0f);
}

error COilPaint::SetFirstPt(pointStruct p, int32_t dab) {
    StartEdge(p);
    const float lin = m_rLinearSize;
    const float rateA = std::max(0.2f, lin * 0.9f - 0.2f);
    if (dab != 0) {
        BuildProfiles(rateA, 45, 0.1f);
    } else {
        BuildProfiles(rateA, 20, 0.2f);
    }
    const uint32_t load = dab != 0 ? 255u : uint32_t(1024 + Rnd(lin * 1020.0f));
    (void)ResetBrushLoad(); // emptied or not, the brush is loaded the same way
    const CPixel current = CurrentColour();
    for (int32_t i = 0; i < kBrushSlots; ++i) {
        const int32_t alpha = Rnd(float(Alpha(m_aBrushLoad[i])) * 0.8f);
        CPixel bristle = current;
        bristle.AlphaBlend255(alpha, CPixel(WithAlpha(m_aBrushLoad[i], alpha)));
        m_aBrushLoad[i] = bristle;
        m_aPaint[i] = load;
    }
    return eNoError;
}

float COilPaint::BrushWidth(float P, int32_t pr) {
    const float s = std::sqrt(1.0f - (P - 1.0f) * (P - 1.0f));
    float big = 25.0f + 20.0f * s;
    if (m_nDabNum < 20) {
        m_rSmoothedWidth = m_rSmoothedWidth + (big - m_rSmoothedWidth) * 0.3f;
        big = m_rSmoothedWidth;
    }
    const float small = std::max(0.0f, float(pr) * 0.005f);
    const float mid = (35.0f * s + 35.0f * P) * 0.5f;
    const float lin = m_rLinearSize;
    if (lin < 0.5f) {
        return small + (mid - small) * 2.0f * lin;
    }
    return mid + (big - mid) * 2.0f * (lin - 0.5f);
}

int32_t COilPaint::DabSize(int32_t pr) {
    const float lin = m_rLinearSize;
    const float q = float(pr);
    if (lin < 0.25f) {
        return std::max(0, Rnd(q * 0.01f));
    }
    if (lin < 0.5f) {
        const int32_t lo = std::max(0, Rnd(q * 0.01f));
        const int32_t hi = std::max(25, Rnd(q * 0.05f));
        return lo + Rnd((lin - 0.25f) * 4.0f * float(hi - lo));
    }
    if (lin < 0.75f) {
        const int32_t lo = std::max(25, Rnd(q * 0.05f));
        const int32_t hi = Rnd(q * 0.02924f) + 40;
        return lo + Rnd((lin - 0.5f) * 4.0f * float(hi - lo));
    }
    return Rnd(q * 0.02924f) + 40;
}

float COilPaint::NoiseStep() {
    const float lin = m_rLinearSize;
    const float P = m_rPressureResponse;
    if (lin == m_NoiseStep.lin && P == m_NoiseStep.P) {
        return m_NoiseStep.step;
    }
    int32_t K = 100;
    if (lin > 0.75f) {
        K = 150;
    } else if (lin > 0.5f) {
        K = 150 - Rnd((lin - 0.5f) * 4.0f * 100.0f);
    } else if (lin > 0.25f) {
        K = 50 + Rnd((lin - 0.25f) * 4.0f * 50.0f);
    }
    m_NoiseStep = {lin, P, float(K) * P + float(Rnd(lin * 50.0f)) + 100.0f};
    return m_NoiseStep.step;
}

error COilPaint::SetColour(int32_t i, uint32_t colour, uint32_t depth, uint32_t) {
    if (i < 0 || i >= kBrushSlots) {
        return eBadParameter;
    }
    const float P = m_rPressureResponse;
    const int32_t nx = Rnd(float(i) * NoiseStep() * 256.0f);
    const float nz = float(ValueNoise(int32_t(m_nNoisePosition << 8), nx)) / 65535.0f;

    const int32_t ap = Clamp(Rnd(float(Alpha(colour)) * m_aPickUp[i] * nz), 0, 255);
    ExchangePaint(i, colour, depth, ap, nz, (nz - 1.0f) * P + 1.0f, false);
    return eNoError;
}

error COilPaint::AveragePaint() {
    const SBladeState blade = BladeState();
    const uint32_t* const colours = blade.colours;
    const int32_t* const reservoirs = blade.reservoirs;
    for (int32_t i = 0; i < kBrushSlots; ++i) {
        int32_t reservoir;
        if (i == 0 || i == kBrushSlots - 1) {
            // The ends: the bristle and its one neighbour.
            const int32_t j = i == 0 ? 1 : kBrushSlots - 2;
            m_aBrushLoad[i] = Mean(colours[i], colours[j]);
            reservoir = Rnd(float(reservoirs[i] + reservoirs[j]) * 0.5f);
        } else {
            m_aBrushLoad[i] = Mean(colours[i - 1], colours[i + 1]);
            reservoir = Rnd(float(reservoirs[i - 1] + reservoirs[i] + reservoirs[i + 1]) * 0.333f);
        }
        m_aPaint[i] = PaintWord(reservoir, int32_t(m_aPaint[i] & 0xFFFFu));
    }
    return eNoError;
}
