#include "tools/wet/PaletteKnife.h"

#include <algorithm>
#include <iterator>

#include "tools/detail/ToolRounding.h"
#include "tools/wet/detail/WetMath.h"

using tooldetail::Rnd;
using wetdetail::Alpha;
using wetdetail::Clamp;
using wetdetail::Mean;
using wetdetail::PaintWord;

error CPaletteKnife::SetupTool() {
    return SetupReload("Palette Paint", 0, 1.0f);
}

error CPaletteKnife::SetFirstPt(pointStruct p, int32_t) {
    StartEdge(p);
    if (m_nStyle == 0) {
        BuildProfiles(std::max(0.1f, m_rLinearSize * 0.9f - 0.2f), 49, 0.05f);
    } else {
        for (int32_t i = 0; i < kBrushSlots; ++i) {
            m_aDeposit[i] = float(i) * (1.0f / float(kLastSlot));
            m_aPickUp[i] = 1.0f - m_aDeposit[i];
        }
    }
    if (ResetBrushLoad()) {
        std::fill(std::begin(m_aPaint), std::end(m_aPaint), 0u);
    }
    return eNoError;
}

float CPaletteKnife::BrushWidth(float P, int32_t) {
    return m_rLinearSize * 40.0f + 10.0f + 2.0f * P;
}

int32_t CPaletteKnife::DabSize(int32_t) {
    return Rnd(m_rLinearSize * 40.0f + 12.0f);
}

error CPaletteKnife::SetColour(int32_t i, uint32_t colour, uint32_t depth, uint32_t) {
    if (i < 0 || i >= kBrushSlots) {
        return eBadParameter;
    }
    const float P = m_rPressureResponse;
    const int32_t ap = Clamp(Rnd(float(Alpha(colour)) * m_aPickUp[i] * 0.7f), 0, 255);
    ExchangePaint(i, colour, depth, ap, 0.7f, 1.0f - 0.3f * P, true);
    return eNoError;
}

error CPaletteKnife::AveragePaint() {
    const SBladeState blade = BladeState();
    const uint32_t* const colours = blade.colours;
    const int32_t* const reservoirs = blade.reservoirs;
    for (int32_t i = 0; i < kBrushSlots; ++i) {
        const bool end = i == 0 || i == kBrushSlots - 1;
        const int32_t l = i == 0 ? 0 : i - 1;
        const int32_t r = i == kBrushSlots - 1 ? i : i + 1;
        int32_t reservoir;
        if (Alpha(colours[l]) == 0) {
            m_aBrushLoad[i] = colours[r];
            reservoir = Rnd(float(reservoirs[r]) * 0.5f);
        } else if (Alpha(colours[r]) == 0) {
            m_aBrushLoad[i] = colours[l];
            reservoir = Rnd(float(reservoirs[l]) * 0.5f);
        } else {
            m_aBrushLoad[i] = Mean(colours[l], colours[r]);
            reservoir = end ? Rnd(float(reservoirs[l] + reservoirs[r]) * 0.5f)
                            : Rnd(float(reservoirs[l] + reservoirs[i] + reservoirs[r]) * 0.333f);
        }
        m_aPaint[i] = PaintWord(reservoir, int32_t(m_aPaint[i] & 0xFFFFu));
    }
    return eNoError;
}
