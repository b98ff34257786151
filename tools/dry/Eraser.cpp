#include "tools/dry/Eraser.h"

#include <algorithm>

#include "tools/PieceScanner.h"
#include "tools/dry/detail/DryMath.h"
#include "tools/dry/detail/DrySlots.h"

using namespace drydetail;

namespace {

// The largest amount a pixel can lose at once: its depth's whole range.
constexpr float kMostErased = 65535.0f;

uint32_t Amount(float v) {
    return uint32_t(Rnd(Clamp(v, 0.0f, kMostErased)));
}

} // namespace

error CEraser::SetupTool() {
    return SetupReload("Eraser", 1, 1.0f);
}

error CEraser::SetFirstPt(pointStruct pt, int32_t) {
    StartStroke(pt);
    return eNoError;
}

void CEraser::ErasePixel(CPixel& colour, CPixel& height, uint32_t amount) {
    const uint32_t h = height;
    const uint32_t depth = h & 0xFFFFu;
    const uint32_t worn = depth > amount ? depth - amount : 0u;
    height = (h & 0xFFFF0000u) | worn;
    if (worn == 0) {
        const uint32_t c = colour;
        const uint32_t alpha = c >> 24;
        colour = (c & 0x00FFFFFFu) | ((alpha > amount ? alpha - amount : 0u) << 24);
    }
}

error CEraser::RenderSegment(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t mode) {
    if (!m_pLayer0 || !m_pLayer1 || m_nLayerWidth <= 0 || m_nLayerHeight <= 0) {
        return eNoError;
    }
    const CPieceScanner scanner(p1, p2, p3, p4, m_nLayerWidth, m_nLayerHeight);
    if (scanner.Top() >= scanner.Bottom()) {
        return eNoError;
    }
    const int32_t slotsPerPixel = SlotsPerPixel(p1, p2);
    const bool flip = m_fProfileFlip != 0;
    const bool wide = IsWide(slotsPerPixel);
    // Narrow brushes: the weight per centre slot, worked out when a pixel
    // first needs it.
    float narrowWeight[kSlots];
    bool narrowReady[kSlots] = {};
    auto narrow = [&](int32_t e) {
        if (!narrowReady[e]) {
            int32_t lo = 0, hi = 0;
            NarrowRange(e, slotsPerPixel, lo, hi);
            narrowWeight[e] = MeanProfile(m_aProfile, lo, hi, flip);
            narrowReady[e] = true;
        }
        return narrowWeight[e];
    };
    const float previous = m_rPreviousPressureResponse, current = m_rPressureResponse;
    const size_t width = size_t(m_nLayerWidth);

    CPieceScanner::SRow row;
    for (int32_t y = scanner.Top(); y < scanner.Bottom(); ++y) {
        if (!scanner.ScanRow(y, row)) {
            continue;
        }
        m_WrittenRows.Add(y, row.first, row.last);
        CPixel* paint = m_pLayer0 + size_t(y) * width;
        CPixel* height = m_pLayer1 + size_t(y) * width;
        CPieceScanner::ForEachPixel(row, [&](const CPieceScanner::SPixel& px) {
            float w = 0.0f;
            int32_t mu = 0;
            if (wide) {
                w = m_aProfile[WideSlot(px.u, flip).j];
                mu = MixWeight(px.v);
            } else {
                w = narrow(NarrowCentre(px.uMid));
                mu = MixWeight(px.vMid);
            }
            const float ramp = px.ramped ? px.ramp : 1.0f;
            // The cap shapes the pressure blend here, not the amount.
            mu = UnderCap(mu, mode, px.uMid, px.vMid);
            const float pressure = PiecePressure(previous, current, mu);
            ErasePixel(paint[px.x], height[px.x], Amount(w * 50.0f * pressure * ramp));
        });
    }
    return eNoError;
}

error CEraser::Dab(pointStruct pt, gCRect& rect, CCanvas* canvas) {
    return PaintDab(pt, rect, canvas, [&](int32_t r, float p) {
        const float weight = std::max(0.5f, p);
        const size_t width = size_t(m_nLayerWidth);
        ForEachDabSample(pt, r, [&](int32_t x, int32_t y, int32_t i, int32_t) {
            const size_t k = size_t(y) * width + size_t(x);
            const uint32_t mark = m_pLayer3[k];
            if ((mark >> 16) != 0) {
                return;
            }
            ErasePixel(m_pLayer0[k], m_pLayer1[k], Amount(m_aProfile[i] * 50.0f * weight));
            m_pLayer3[k] = (mark & 0xFFFFu) | 0x10000u;
        });
    });
}
