// The single dab of the wet-paint tools: a row of bristle lines across the
// direction of travel, each as long as its deposit, walked in half-pixel
// steps; every pixel takes paint once a stroke.

#include <algorithm>

#include "imaging/ValueNoise.h"
#include "paint/Pressure.h"
#include "paint/canvas/Canvas.h"
#include "tools/detail/ToolRounding.h"
#include "tools/wet/WetBrush.h"
#include "tools/wet/detail/WetMath.h"

using tooldetail::Rnd;
using wetdetail::Alpha;
using wetdetail::Clamp;
using wetdetail::WithAlpha;

namespace {

constexpr int32_t kSlots = CBrushTool::kBrushSlots;
constexpr int32_t kLastSlot = CBrushTool::kLastSlot;

// The slot at fraction f across the blade (or along a bristle's line),
// turned over with the blade.
int32_t SlotAt(float f, bool flip) {
    const int32_t slot = std::min(kLastSlot, Rnd(float(kSlots) * f));
    return flip ? kLastSlot - slot : slot;
}

// A dab's bristle lines: across the cross-section e0-e1, 2 half-size long,
// each line reaching reach times its bristle's deposit either side along
// (dx, dy).
struct SDabLines {
    gCRPoint e0, e1;
    float across;
    float dx, dy;
    int32_t reach;
    bool flip;
    const float* deposit;
};

// Calls sample(bristle, g, x, y) along the cross-section in half pixels
// and along each bristle's line in half pixels, g running 0..1 along it.
template <class Sample> void WalkBristleLines(const SDabLines& lines, Sample&& sample) {
    const gCRPoint e0 = lines.e0, e1 = lines.e1;
    float f = 0.0f;
    while (true) {
        const int32_t b = SlotAt(f, lines.flip);
        const float cx = e0.x + f * (e1.x - e0.x), cy = e0.y + f * (e1.y - e0.y);
        const int32_t L = Rnd(float(lines.reach) * lines.deposit[b]);
        const float sx = cx - float(L) * lines.dx, sy = cy - float(L) * lines.dy;
        const float along = 2.0f * float(L);
        float g = 0.0f;
        while (true) {
            const int32_t x = Rnd(sx + g * along * lines.dx - 0.5f);
            const int32_t y = Rnd(sy + g * along * lines.dy - 0.5f);
            sample(b, g, x, y);
            if (along == 0.0f) {
                break; // one sample at 0
            }
            g += 0.5f / along;
            if (!(g < 1.0f)) {
                break;
            }
        }
        if (lines.across == 0.0f) {
            break;
        }
        f += 0.5f / lines.across;
        if (!(f < 1.0f)) {
            break;
        }
    }
}

} // namespace

error CWetBrushTool::Dab(pointStruct p, gCRect& rect, CCanvas* canvas) {
    if (!LayersReady(canvas)) {
        return eOutOfMemory;
    }
    const int32_t width = m_nLayerWidth, height = m_nLayerHeight;
    const uint32_t* const l1 = reinterpret_cast<const uint32_t*>(m_pLayer1);
    const bool flip = m_fProfileFlip != 0;

    // A negative pressure would turn the bristle lines inside out.
    const int32_t pr = std::max(0, p.pressure);
    const int32_t D = std::max(0, DabSize(pr));
    const float P = std::min(1.0f, ToolPressure(pr));
    m_rPressureResponse = P;
    const int32_t H = Rnd(float(D) * (P * 0.3f + 0.3f));
    const int32_t reach = DabReach(H);
    const float dx = p.dx, dy = p.dy;
    const gCRPoint e0(p.x - float(D) * dy, p.y + float(D) * dx);
    const gCRPoint e1(p.x + float(D) * dy, p.y - float(D) * dx);

    // The box the bristle lines can reach, whatever their deposit.
    const float rx = float(reach) * dx, ry = float(reach) * dy;
    const gCRPoint corners[4] = {gCRPoint(e0.x - rx, e0.y - ry), gCRPoint(e0.x + rx, e0.y + ry),
                                 gCRPoint(e1.x - rx, e1.y - ry), gCRPoint(e1.x + rx, e1.y + ry)};
    const gCRect box = ClampedBox(corners, 4);
    gCRect protect = Grown(box);
    if (const error e = ProtectStrokeArea(*canvas, protect); e != eNoError) {
        return e;
    }

    // Both passes walk the same samples: the grain's range first, then the
    // paint laid.
    const SDabLines lines{e0, e1, 2.0f * float(D), dx, dy, reach, flip, m_aDeposit};
    int32_t lowest = 9999, highest = 0;
    WalkBristleLines(lines, [&](int32_t, float, int32_t x, int32_t y) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            const int32_t grain = int32_t(l1[size_t(y) * size_t(width) + size_t(x)] >> 16);
            lowest = std::min(lowest, grain);
            highest = std::max(highest, grain);
        }
    });
    WalkBristleLines(lines, [&](int32_t b, float g, int32_t x, int32_t y) {
        LayDabSample(b, g, x, y, lowest, highest);
    });

    canvas->InvalidateSpans(protect);
    rect = Grown(box);
    return eNoError;
}

void CWetBrushTool::LayDabSample(int32_t b, float g, int32_t x, int32_t y, int32_t lowest,
                                 int32_t highest) {
    const int32_t width = m_nLayerWidth, height = m_nLayerHeight;
    uint32_t* const l0 = reinterpret_cast<uint32_t*>(m_pLayer0);
    uint32_t* const l1 = reinterpret_cast<uint32_t*>(m_pLayer1);
    uint32_t* const l3 = reinterpret_cast<uint32_t*>(m_pLayer3);
    const float P = m_rPressureResponse;

    // The noise moves on for every sample, on the canvas or not.
    const int32_t c = SlotAt(g, m_fProfileFlip != 0);
    const float w = m_aDeposit[b] * m_aDeposit[c];
    const int32_t nx = Rnd(float(b) * (P * 200.0f + 150.0f) * 256.0f);
    const uint32_t noise = ValueNoise(int32_t(m_nNoisePosition << 8), nx);
    m_nNoisePosition += 50u;
    if (x < 0 || x >= width || y < 0 || y >= height) {
        return;
    }
    // L3's high half marks a pixel that took paint this stroke.
    const size_t at = size_t(y) * size_t(width) + size_t(x);
    if ((l3[at] >> 16) != 0) {
        return;
    }
    const int32_t load = int32_t(m_aPaint[b] & 0xFFFFu);
    const int32_t amount = Rnd(float(load) * float(noise) / 65535.0f * (w * w * w));
    const uint32_t h = l1[at];
    const int32_t grain = int32_t(h >> 16);
    const int32_t d = int32_t(h & 0xFFFFu);
    const int32_t depth = Clamp(d + Rnd(float(amount - d) * w) + lowest - grain, 0, kMaxDepth);
    l1[at] = (h & 0xFFFF0000u) | uint32_t(depth);

    // Thin oil paint shows more of its colour, and follows the grain.
    const uint32_t colour = m_aBrushLoad[b];
    int32_t a = Rnd(float(Alpha(colour)) * w) & 255;
    if (m_eKind == EKind::eOil && depth < 11) {
        const float k = float(depth) * 0.1f;
        a += Rnd(float(255 - a) * k);
        if (lowest != 0 && highest != 0) {
            const int32_t share = (a * (grain - lowest)) / std::max(1, highest - lowest);
            a = Rnd(float(a) * k) + Rnd(float(share) * (1.0f - k));
        }
    }
    a = Clamp(a, 0, 255);
    reinterpret_cast<CPixel&>(l0[at]).AlphaBlend255(a, CPixel(WithAlpha(colour, a)));
    l3[at] = (l3[at] & 0xFFFFu) | 0x10000u;
}
