// Chalk's and crayon's segment renderer: one piece of the stroke, blended
// from the load snapshot to the load along it, weighted by the profile, the
// pressure and the paper grain.

#include <algorithm>

#include "tools/PieceScanner.h"
#include "tools/dry/detail/DryMath.h"
#include "tools/dry/detail/DryMedia.h"
#include "tools/dry/detail/DrySlots.h"

using namespace drydetail;

namespace {

// The grain range of the piece's box: over its rows and the columns it
// spans, the lowest and highest grain. No relief (a single column, or flat
// grain) gives 0..1, which leaves the piece unmodulated.
void GrainRange(const CPixel* layer1, int32_t width, int32_t top, int32_t bottom, float minX,
                float maxX, uint32_t& gmin, uint32_t& gmax) {
    const int32_t first = std::clamp(Rnd(minX - 0.5f), 0, width - 1);
    const int32_t last = std::clamp(Rnd(maxX + 0.5f), 0, width - 1);
    gmin = 0xFFFFFFFFu;
    gmax = 0;
    for (int32_t y = top; y < bottom; ++y) {
        const CPixel* row = layer1 + size_t(y) * size_t(width);
        for (int32_t x = first; x <= last; ++x) {
            const uint32_t g = uint32_t(row[x]) >> 16;
            gmin = std::min(gmin, g);
            gmax = std::max(gmax, g);
        }
    }
    if (first == last || gmax <= gmin) {
        gmin = 0;
        gmax = 1;
    }
}

} // namespace

error CDryMedia::RenderSegment(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t mode) {
    if (!m_pLayer0 || !m_pLayer1 || m_nLayerWidth <= 0 || m_nLayerHeight <= 0) {
        return eNoError;
    }
    const CPieceScanner scanner(p1, p2, p3, p4, m_nLayerWidth, m_nLayerHeight);
    if (scanner.Top() >= scanner.Bottom()) {
        return eNoError;
    }
    const int32_t slotsPerPixel = SlotsPerPixel(p1, p2);
    LoadPiece(p3, p4);

    const float minX = std::min(std::min(p1.x, p2.x), std::min(p3.x, p4.x));
    const float maxX = std::max(std::max(p1.x, p2.x), std::max(p3.x, p4.x));
    uint32_t gmin = 0, gmax = 1;
    GrainRange(m_pLayer1, m_nLayerWidth, scanner.Top(), scanner.Bottom(), minX, maxX, gmin, gmax);
    const bool grained = gmin != 0 && gmax != 0;
    const float r = 1.0f / std::max(1.0f, float(gmax) - float(gmin));

    const bool flip = m_fProfileFlip != 0;
    const bool wide = IsWide(slotsPerPixel);
    // Narrow brushes: old and new colour and weight per centre slot, worked
    // out when a pixel first needs them.
    CPixel narrowOld[kSlots], narrowNew[kSlots];
    float narrowWeight[kSlots];
    bool narrowReady[kSlots] = {};
    auto narrow = [&](int32_t e) {
        if (!narrowReady[e]) {
            int32_t lo = 0, hi = 0;
            NarrowRange(e, slotsPerPixel, lo, hi);
            narrowOld[e] = MeanColour(m_aSnapshot, lo, hi, flip);
            narrowNew[e] = MeanColour(m_aBrushLoad, lo, hi, flip);
            narrowWeight[e] = MeanProfile(m_aProfile, lo, hi, flip);
            narrowReady[e] = true;
        }
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
        const CPixel* height = m_pLayer1 + size_t(y) * width;
        CPieceScanner::ForEachPixel(row, [&](const CPieceScanner::SPixel& px) {
            CPixel colour;
            float w = 0.0f;
            int32_t mu = 0;
            if (wide) {
                const SWideSlot s = WideSlot(px.u, flip);
                const CPixel old = MixPixel(m_aSnapshot[s.j], m_aSnapshot[s.j + 1], s.fraction);
                const CPixel now = MixPixel(m_aBrushLoad[s.j], m_aBrushLoad[s.j + 1], s.fraction);
                w = m_aProfile[s.j];
                mu = MixWeight(px.v);
                colour = MixPixel(old, now, mu);
            } else {
                const int32_t e = NarrowCentre(px.uMid);
                narrow(e);
                w = narrowWeight[e];
                mu = MixWeight(px.vMid);
                colour = MixPixel(narrowOld[e], narrowNew[e], mu);
            }
            int32_t alpha = int32_t(uint32_t(colour) >> 24);
            if (px.ramped) {
                alpha = RoundToInt32(float(alpha) * px.ramp, 0, 255);
            }
            alpha = UnderCap(alpha, mode, px.uMid, px.vMid);
            const float pressure = PiecePressure(previous, current, mu);
            int32_t a = RoundToInt32(float(alpha) * w * pressure, 0, 255);
            if (grained) {
                const float h = (float(uint32_t(height[px.x]) >> 16) - float(gmin)) * r;
                const float g0 = 0.2f + 0.2f * pressure;
                const float x = std::max(0.0f, g0 + 0.8f * pressure * w + h - 1.0f);
                a = RoundToInt32(float(a) * x / g0, 0, 255);
            }
            Lay(paint[px.x], colour, a);
        });
    }
    return eNoError;
}
