// The pen's pixels along one piece of its ribbon.

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "tools/PieceScanner.h"
#include "tools/ribbon/Pens.h"
#include "tools/ribbon/detail/InkRules.h"
#include "tools/ribbon/detail/RibbonPixels.h"

namespace {

// The brush slots and profile entries under one pixel, averaged.
struct SInkWindow {
    int32_t lo = -1, hi = -1;
    CPixel ink = 0u;
    float density = 0.0f;
};

void Average(SInkWindow& w, const CPixel* load, const float* profile) {
    uint32_t sum[4] = {0, 0, 0, 0};
    float density = 0.0f;
    for (int32_t i = w.lo; i <= w.hi; ++i) {
        const uint32_t c = load[i];
        for (int32_t ch = 0; ch < 4; ++ch) {
            sum[ch] += (c >> (8 * ch)) & 0xFFu;
        }
        density += profile[i];
    }
    const uint32_t n = uint32_t(w.hi - w.lo + 1);
    uint32_t ink = 0;
    for (int32_t ch = 0; ch < 4; ++ch) {
        ink |= ((2u * sum[ch] + n) / (2u * n)) << (8 * ch); // rounded
    }
    w.ink = ink;
    w.density = density / float(n);
}

} // namespace

error CPens::RenderSegment(gCRPoint a1, gCRPoint a2, gCRPoint b1, gCRPoint b2, int32_t taper) {
    const int32_t width = m_nLayerWidth;
    const CPieceScanner scanner(a1, a2, b1, b2, width, m_nLayerHeight);
    if (scanner.Top() >= scanner.Bottom()) {
        return eNoError;
    }
    // Profile entries per pixel: all of them for the wedge that starts a
    // stroke at a single point.
    const float back = std::sqrt((a2.x - a1.x) * (a2.x - a1.x) + (a2.y - a1.y) * (a2.y - a1.y));
    const float half = RoundHalfAway(100.0f / std::max(1.0f, back)) * 0.5f;
    const float r0 = m_rPreviousPressureResponse, r = m_rPressureResponse;
    // The profile is symmetric and every slot holds the same ink, so the
    // profile flip flag would change nothing here: it is not read.
    // The windows of a piece, one per centre slot (the half-width is the
    // piece's), averaged when a pixel first needs them.
    SInkWindow windows[100];
    CPieceScanner::SRow row;
    for (int32_t y = scanner.Top(); y < scanner.Bottom(); ++y) {
        if (!scanner.ScanRow(y, row)) {
            continue;
        }
        m_WrittenRows.Add(y, row.first, row.last);
        CPixel* line = m_pLayer0 + size_t(y) * size_t(width);
        CPieceScanner::ForEachPixel(row, [&](const CPieceScanner::SPixel& px) {
            const float u = px.uMid, v = px.vMid;
            const int32_t centre = RoundToInt32(u * 100.0f, 0, 99);
            SInkWindow& window = windows[centre];
            if (window.lo < 0) {
                const float m = float(centre);
                window.lo = RoundToInt32(m - half, 0, 99);
                window.hi = RoundToInt32(m + half, 0, 99);
                Average(window, m_aBrushLoad, m_aDensity);
            }
            int32_t alpha = int32_t(uint32_t(window.ink) >> 24);
            if (px.ramped) {
                alpha = ribbon::RampedAlpha(alpha, px.ramp);
            }
            if (taper != ribbon::ePlain) {
                const float w = taper == ribbon::eCap ? v : 1.0f - v;
                alpha = ribbon::CornerFade(alpha, ribbon::CornerBell(w) + 0.3325f);
            }
            const float f = ribbon::PressureAlong(r0, r, v);
            const float level = float(alpha) * window.density * std::max(0.0f, f);
            const int32_t a = RoundToInt32(level, 0, 255);
            CPixel& pixel = line[px.x];
            const CPixel shown = ink::CanvasShows(m_nPaperColour, pixel);
            pixel.AlphaBlend255(a, ink::Darken(window.ink, shown, uint32_t(a)));
        });
    }
    return eNoError;
}
