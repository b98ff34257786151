// The segment renderer of the wet-paint tools: pick-up along the front of
// the piece, then every pixel of the piece mixed from the blade as it was at
// the back and as it is at the front.

#include <algorithm>
#include <cmath>
#include <iterator>

#include "imaging/ValueNoise.h"
#include "tools/PieceScanner.h"
#include "tools/detail/ToolRounding.h"
#include "tools/wet/WetBrush.h"
#include "tools/wet/detail/WetMath.h"

using tooldetail::Rnd;
using wetdetail::Alpha;
using wetdetail::Clamp;
using wetdetail::Lerp255;
using wetdetail::Mix;
using wetdetail::RoundedMean;
using wetdetail::WithAlpha;

namespace {

constexpr int32_t kSlots = CBrushTool::kBrushSlots;
constexpr int32_t kLastSlot = CBrushTool::kLastSlot;
static_assert(kSlots <= wetdetail::kMeanCounts, "a window of every bristle has its reciprocal");
// A broad blade mixes each pixel from two neighbouring bristles, i and
// i + 1, at a fraction in 256ths: i runs up to kLastPair, and the position
// across the blade up to kPairSteps.
constexpr int32_t kLastPair = kSlots - 2;
constexpr int32_t kPairSteps = kLastPair * 256;
// A back edge shorter than kSlots / kBroadWindow pixels gives each pixel the
// average of a window of bristles instead.
constexpr int32_t kBroadWindow = 3;
// Pressure above kPressGrain presses the grain flat (and deepens the
// pick-up), in full at pressure 1.
constexpr float kPressGrain = 0.8f;

int32_t Load(uint32_t paint) {
    return int32_t(paint & 0xFFFFu);
}

} // namespace

// The blade under one pixel: colour and amount mixed from back to front,
// and the profiles there.
struct CWetBrushTool::SBlade {
    uint32_t colour = 0;
    int32_t amount = 0;
    int32_t w = 0; // 0 at the back, 255 at the front
    float pickUp = 0.0f;
    float deposit = 0.0f;
};

// A narrow blade's means over its window of bristles.
struct CWetBrushTool::SWindowMean {
    uint32_t back = 0, front = 0; // colours at the back and the front
    int32_t startLoad = 0, nowLoad = 0;
    float pickUp = 0.0f;
    float deposit = 0.0f;
};

error CWetBrushTool::Segment(gCRPoint a0, gCRPoint b0, gCRPoint a1, gCRPoint b1, int32_t cap) {
    const int32_t width = m_nLayerWidth, height = m_nLayerHeight;
    if (!m_pLayer0 || !m_pLayer1 || !m_pLayer2 || !m_pLayer3 || width <= 0 || height <= 0) {
        return eNoError;
    }
    if (const error e = AveragePaint(); e != eNoError) {
        return e;
    }
    std::copy(std::begin(m_aBrushLoad), std::end(m_aBrushLoad), m_aStartColours);
    std::copy(std::begin(m_aPaint), std::end(m_aPaint), m_aStartPaint);
    if (const error e = PickUpAlongFront(a1, b1); e != eNoError) {
        return e;
    }

    // A back edge of no length is the stroke's first cross-section laid on
    // itself (or a blade of no width): the piece has no area to fill. Left
    // to the scan, rounding would paint a hairline along it.
    if (a0 == b0) {
        return eNoError;
    }
    const CPieceScanner scanner(a0, b0, a1, b1, width, height);
    if (scanner.Top() >= scanner.Bottom()) {
        return eNoError;
    }
    const SGrainRange grain = GrainRange(scanner, a0, b0, a1, b1);
    const float bx = b0.x - a0.x, by = b0.y - a0.y;
    const int32_t window = Rnd(float(kSlots) / std::max(1.0f, std::sqrt(bx * bx + by * by)));

    // A narrow blade's window means, per centre bristle, worked out when a
    // pixel first needs them.
    SWindowMean means[kSlots];
    bool meanReady[kSlots] = {};
    const auto blade = [&](const CPieceScanner::SPixel& px) {
        if (window < kBroadWindow) {
            return BladeBetweenBristles(px.u, px.v);
        }
        const int32_t ce = WindowCentre(px.uMid);
        if (!meanReady[ce]) {
            means[ce] = MeanOverWindow(ce, window);
            meanReady[ce] = true;
        }
        return BladeOfMean(means[ce], px.vMid);
    };

    for (int32_t y = scanner.Top(); y < scanner.Bottom(); ++y) {
        CPieceScanner::SRow row;
        if (!scanner.ScanRow(y, row)) {
            continue;
        }
        m_WrittenRows.Add(y, row.first, row.last);
        const size_t rowAt = size_t(y) * size_t(width);
        CPieceScanner::ForEachPixel(row, [&](const CPieceScanner::SPixel& px) {
            const SBlade b = blade(px);
            int32_t alpha = int32_t(Alpha(b.colour));
            int32_t amount = b.amount;
            if (px.ramped) {
                alpha = Clamp(Rnd(float(alpha) * px.ramp), 0, 255);
            }
            if (cap != 0) {
                FadeCap(px, cap, alpha, amount);
            }
            // The left end of a row on a side edge fades in and lays no paint.
            float edge = px.ramped ? std::clamp(px.ramp, 0.0f, 1.0f) : 1.0f;
            if (row.leftRamp && px.x < row.leftRampEnd) {
                edge = 0.0f;
            }
            LayPixel(rowAt + size_t(px.x), b, alpha, amount, edge, grain);
        });
    }
    return eNoError;
}

error CWetBrushTool::PickUpAlongFront(gCRPoint a1, gCRPoint b1) {
    const int32_t width = m_nLayerWidth, height = m_nLayerHeight;
    const uint32_t* const l0 = reinterpret_cast<const uint32_t*>(m_pLayer0);
    const uint32_t* const l1 = reinterpret_cast<const uint32_t*>(m_pLayer1);
    const uint32_t* const l3 = reinterpret_cast<const uint32_t*>(m_pLayer3);
    const bool flip = m_fProfileFlip != 0;
    const float P = m_rPressureResponse;

    // A run of bristles per step; at least one bristle a step however long
    // the edge, so the walk always ends.
    const float ex = b1.x - a1.x, ey = b1.y - a1.y;
    const float step = 1.0f / std::max(std::max(std::fabs(ex), std::fabs(ey)), 1.0f);
    const int32_t k = std::max(1, Rnd(step * float(kSlots)));
    float t = 0.0f;
    for (int32_t j = 0; j < kSlots; t += step) {
        const int32_t x = Rnd(a1.x + ex * t), y = Rnd(a1.y + ey * t);
        const int32_t end = std::min(j + k, kSlots);
        if (x >= 0 && x < width && y >= 0 && y < height) {
            const size_t at = size_t(y) * size_t(width) + size_t(x);
            const uint32_t h = l1[at];
            int32_t depth = int32_t(h & 0xFFFFu);
            if (P > kPressGrain) {
                const int32_t above = int32_t(h >> 16) - int32_t(l3[at] & 0xFFFFu);
                depth += Rnd(float(above) * (P - kPressGrain) * 5.0f);
            }
            // Grain below its reference would take the depth below 0.
            const uint32_t d = uint32_t(std::max(depth, 0));
            for (int32_t jj = j; jj < end; ++jj) {
                if (const error e = SetColour(flip ? kLastSlot - jj : jj, l0[at], d);
                    e != eNoError) {
                    return e;
                }
            }
        }
        j = end;
    }
    return eNoError;
}

CWetBrushTool::SGrainRange CWetBrushTool::GrainRange(const CPieceScanner& scanner, gCRPoint a0,
                                                     gCRPoint b0, gCRPoint a1, gCRPoint b1) const {
    const int32_t width = m_nLayerWidth;
    const uint32_t* const l1 = reinterpret_cast<const uint32_t*>(m_pLayer1);
    const float minX = std::min(std::min(a0.x, b0.x), std::min(a1.x, b1.x));
    const float maxX = std::max(std::max(a0.x, b0.x), std::max(a1.x, b1.x));
    const int32_t c0 = std::clamp(Rnd(minX - 0.5f), 0, width - 1);
    const int32_t c1 = std::clamp(Rnd(maxX + 0.5f), 0, width - 1);
    int32_t lowest = 9999, highest = 0;
    for (int32_t y = scanner.Top(); y < scanner.Bottom(); ++y) {
        const uint32_t* row = l1 + size_t(y) * size_t(width);
        for (int32_t x = c0; x <= c1; ++x) {
            const int32_t grain = int32_t(row[x] >> 16);
            lowest = std::min(lowest, grain);
            highest = std::max(highest, grain);
        }
    }
    if (c0 == c1 || lowest >= highest) {
        return {0, 1};
    }
    return {lowest, highest};
}

CWetBrushTool::SBlade CWetBrushTool::BladeBetweenBristles(float u, float v) const {
    const bool knife = m_eKind == EKind::eKnife;
    const bool flip = m_fProfileFlip != 0;
    SBlade out;
    const int32_t f = std::clamp(Rnd(float(kPairSteps) * (flip ? 1.0f - u : u)), 0, kPairSteps);
    const int32_t i = std::min(f >> 8, kLastPair), fr = f & 255;
    out.w = Rnd(std::clamp(255.0f * v, 0.0f, 255.0f));
    uint32_t s0 = m_aStartColours[i], s1 = m_aStartColours[i + 1];
    uint32_t c0 = m_aBrushLoad[i], c1 = m_aBrushLoad[i + 1];
    if (knife) {
        // An empty bristle reads as its neighbour.
        const uint32_t os0 = s0, oc0 = c0;
        s0 = Alpha(s0) == 0 ? s1 : s0;
        s1 = Alpha(s1) == 0 ? os0 : s1;
        c0 = Alpha(c0) == 0 ? c1 : c0;
        c1 = Alpha(c1) == 0 ? oc0 : c1;
    }
    uint32_t back = Mix(s0, s1, fr);
    const uint32_t front = Mix(c0, c1, fr);
    if (knife && Load(m_aStartPaint[i]) == 0) {
        back = front;
    }
    out.colour = Mix(back, front, out.w);
    const int32_t A0 = Lerp255(Load(m_aStartPaint[i]), Load(m_aStartPaint[i + 1]), fr);
    const int32_t A1 = Lerp255(Load(m_aPaint[i]), Load(m_aPaint[i + 1]), fr);
    out.amount = Lerp255(A0, A1, out.w);
    out.pickUp = m_aPickUp[i];
    out.deposit = m_aDeposit[i];
    return out;
}

int32_t CWetBrushTool::WindowCentre(float uMid) {
    return Rnd(std::clamp(float(kSlots) * uMid, 0.0f, float(kLastSlot)));
}

CWetBrushTool::SWindowMean CWetBrushTool::MeanOverWindow(int32_t ce, int32_t window) const {
    const bool knife = m_eKind == EKind::eKnife;
    const bool flip = m_fProfileFlip != 0;
    constexpr float kLast = float(kLastSlot);
    const float half = float(window) * 0.5f;
    const int32_t first = Rnd(std::clamp(float(ce) - half, 0.0f, kLast));
    const int32_t last = Rnd(std::clamp(float(ce) + half, 0.0f, kLast));
    // Channels summed in pairs, 0 and 2 in one word, 1 and 3 in another:
    // a window's sums stay below 2^16.
    uint32_t start02 = 0, start13 = 0, now02 = 0, now13 = 0;
    uint32_t startLoad = 0, nowLoad = 0;
    float pickUp = 0.0f, deposit = 0.0f;
    for (int32_t j = first; j <= last; ++j) {
        const int32_t b = flip ? kLastSlot - j : j;
        const uint32_t c = m_aBrushLoad[b];
        uint32_t s = m_aStartColours[b];
        if (knife && Alpha(s) == 0) {
            s = c;
        }
        start02 += s & 0x00FF00FFu;
        start13 += (s >> 8) & 0x00FF00FFu;
        now02 += c & 0x00FF00FFu;
        now13 += (c >> 8) & 0x00FF00FFu;
        startLoad += uint32_t(Load(m_aStartPaint[b]));
        nowLoad += uint32_t(Load(m_aPaint[b]));
        pickUp += m_aPickUp[b];
        deposit += m_aDeposit[b];
    }
    const int32_t n = std::max(1, last - first + 1);
    const auto colour = [n](uint32_t pair02, uint32_t pair13) {
        return uint32_t(RoundedMean(pair02 & 0xFFFFu, n)) |
               uint32_t(RoundedMean(pair13 & 0xFFFFu, n)) << 8 |
               uint32_t(RoundedMean(pair02 >> 16, n)) << 16 |
               uint32_t(RoundedMean(pair13 >> 16, n)) << 24;
    };
    const float count = float(n);
    SWindowMean mean;
    mean.back = colour(start02, start13);
    mean.front = colour(now02, now13);
    mean.startLoad = RoundedMean(startLoad, n);
    mean.nowLoad = RoundedMean(nowLoad, n);
    mean.pickUp = pickUp / count;
    mean.deposit = deposit / count;
    return mean;
}

CWetBrushTool::SBlade CWetBrushTool::BladeOfMean(const SWindowMean& mean, float vMid) {
    SBlade out;
    out.w = Rnd(std::clamp(255.0f * vMid, 0.0f, 255.0f));
    out.colour = Mix(mean.back, mean.front, out.w);
    out.amount = Lerp255(mean.startLoad, mean.nowLoad, out.w);
    out.pickUp = mean.pickUp;
    out.deposit = mean.deposit;
    return out;
}

void CWetBrushTool::FadeCap(const CPieceScanner::SPixel& px, int32_t cap, int32_t& alpha,
                            int32_t& amount) const {
    const float tc = cap == 1 ? px.vMid : 1.0f - px.vMid;
    const float x = 3.5f * tc;
    const float g = std::exp(-(x * x) / 2.0f);
    float m;
    if (m_eKind == EKind::eKnife) {
        m = g + 0.3325f;
    } else {
        const int32_t nx = Rnd(800000.0f * (2.0f * px.uMid - 1.0f));
        const uint32_t ny = m_nNoisePosition + uint32_t(Rnd(800000.0f * tc * 0.0001f));
        const uint32_t noise = ValueNoise(int32_t(ny), nx);
        m = g + 0.95f * (float(noise) / 65535.0f * 0.5f);
    }
    if (m <= 0.5f) {
        alpha = 0;
        amount = 0;
    } else if (m < 0.73f) {
        const float k = (m - 0.5f) / 0.23f;
        alpha = Rnd(float(alpha) * k);
        amount = Rnd(float(amount) * k);
    }
}

void CWetBrushTool::LayPixel(size_t at, const SBlade& b, int32_t alpha, int32_t amount, float edge,
                             const SGrainRange& range) {
    uint32_t* const l0 = reinterpret_cast<uint32_t*>(m_pLayer0);
    uint32_t* const l1 = reinterpret_cast<uint32_t*>(m_pLayer1);
    uint32_t* const l2 = reinterpret_cast<uint32_t*>(m_pLayer2);
    const uint32_t* const l3 = reinterpret_cast<const uint32_t*>(m_pLayer3);
    const float P = m_rPressureResponse;
    const float P0 = m_rPreviousPressureResponse;

    // The grain, pressed towards its reference under a hard press.
    const uint32_t h = l1[at];
    int32_t grain = int32_t(h >> 16);
    const float pressure = P0 + (P - P0) * float(b.w) / 256.0f;
    if (pressure > kPressGrain) {
        const int32_t reference = int32_t(l3[at] & 0xFFFFu);
        const float keep = 1.0f - (pressure - kPressGrain) * 5.0f * (1.0f - b.pickUp);
        grain = Clamp(reference + Rnd(float(grain - reference) * keep), 0, 0xFFFF);
    }

    // The paint laid into the depth.
    const int32_t d = int32_t(h & 0xFFFFu);
    const int32_t laid = Rnd(float(amount - d) * edge * b.deposit);
    const int32_t depth = Clamp(d + laid + range.lowest - grain, 0, kMaxDepth);
    l1[at] = (uint32_t(grain) << 16) | uint32_t(depth);
    l2[at] = uint32_t(depth) * 65537u;

    // Thin paint shows more of its colour, and follows the grain.
    if (amount < 11) {
        const float k = float(amount) * 0.1f;
        alpha += Rnd(float(255 - alpha) * k);
        if (range.Grained()) {
            const int32_t share = Rnd(float(alpha * (grain - range.lowest)) / float(range.Range()));
            alpha = Rnd(float(alpha) * k) + Rnd(float(share) * (1.0f - k));
        }
    }
    alpha = Clamp(alpha, 0, 255);
    CPixel& pixel = reinterpret_cast<CPixel&>(l0[at]);
    pixel.AlphaBlend255(alpha, CPixel(WithAlpha(b.colour, alpha)));
}
