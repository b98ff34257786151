// The second engine's oil brush: the pick-up along a dab edge and the paint
// of one quad pixel.

#include <cmath>
#include <cstdint>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/ValueNoise.h"
#include "paint/canvas/Canvas.h"
#include "tools/detail/ToolRounding.h"
#include "tools/wet/OilPaintNew.h"

using tooldetail::Rnd;

namespace {

constexpr float kNoiseScale = 1.0f / 65535.0f;

// A noise coordinate from a float: saturated at the int32_t limits.
int32_t NoiseCoord(float v) {
    return RoundToInt32(v, INT32_MIN, INT32_MAX);
}

// The noise at the position plus an offset, the sum formed in uint32_t and
// read as int32_t.
float Noise(uint32_t position, int32_t offset, int32_t y) {
    return float(ValueNoise(int32_t(position + uint32_t(offset)), y)) * kNoiseScale;
}

float Bell(float t) {
    const float s = t * 3.5f;
    return std::exp(-(s * s) / 2.0f);
}

// Running sums over the wells under one pixel.
struct SWellSums {
    int32_t A = 0;
    int32_t rgb[3] = {0, 0, 0};
    int32_t M = 0;
};

} // namespace

void COilPaintNew::SampleCanvasPaint(CCanvas* canvas, gCRPoint a, gCRPoint b) {
    KeepPreviousWells();
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float L = std::sqrt(dx * dx + dy * dy);
    CImNav* view = canvas ? canvas->LayerView(CCanvasLayers::kColour) : nullptr;
    if (!(L >= 0.00001f) || !view || !view->GetDataPtr()) {
        return;
    }
    const CPixel* const base = static_cast<const CPixel*>(view->GetDataPtr());
    const int32_t w = view->GetWidth(), h = view->GetHeight();
    const float K = L * 500.0f + 20000.0f;
    const float p = m_Current.pressure;
    const float step = 1.0f / L;
    int32_t from = 0;
    for (float t = 0.0f; t <= 1.0f; t += step) {
        const int32_t x = Rnd(a.x + dx * t), y = Rnd(a.y + dy * t);
        const int32_t limit = Rnd(t * 100.0f);
        if (x >= 0 && x < w && y >= 0 && y < h) {
            const CPixel c = base[size_t(y) * size_t(view->GetStride()) + size_t(x)];
            for (int32_t j = from; j < limit && j < kWells; ++j) {
                PickUpInto(m_fFlip ? kWells - 1 - j : j, c, K, p);
            }
        }
        // Wells whose pixel lies off the canvas pick up nothing.
        from = limit > from ? limit : from;
    }
}

void COilPaintNew::PickUpInto(int32_t w, CPixel colour, float K, float pressure) {
    const uint32_t ca = uint32_t(colour) >> 24;
    const int32_t cap = int32_t((ca * 20000u) >> 10);
    if (cap == 0) {
        return; // bare canvas gives no paint and takes none
    }
    const float n = Noise(m_nNoisePosition, 0, NoiseCoord((K * pressure + K + 150.0f) * float(w)));
    const int32_t amount = m_aWellAmounts[w];
    const float e = 1.0f - m_aPickUp[w];
    int32_t after, level;
    if (amount < cap) {
        const int32_t gain = Rnd(e * 0.25f * n * float(cap - amount));
        after = amount + gain < kFullWell ? amount + gain : kFullWell;
        level = Rnd(e * float(after) * 20.0f * n / float(cap));
    } else {
        level = Rnd(e * float(amount) * 10.0f * n / float(cap));
        after = amount - Rnd(n * 200.0f);
        after = after > 0 ? after : 0;
    }
    level = level < 128 ? level : 128;
    level = level > 0 ? level : 0;
    m_aWellAmounts[w] = after;
    const CPixel picked((uint32_t(colour) & 0x00FFFFFFu) | (uint32_t(level) << 24));
    m_aWellColours[w].AlphaBlend255(level, picked);
}

void COilPaintNew::ApplyPaint(CCanvas*, CPixel* pixel, const gCRPoint& uv, float width, int32_t,
                              int32_t, float coverage) {
    const float u = uv.x, v = uv.y;
    float vf = m_fFlip ? 1.0f - v : v;
    // The rounded ends narrow towards the back edge at the start and the
    // front edge at the end.
    if (m_nPhase == eStart || m_nPhase == eEnd) {
        const float g = Bell(m_nPhase == eStart ? 1.0f - u : u);
        vf = (vf - 0.5f) / g + 0.5f;
        if (vf < 0.0f || vf > 1.0f) {
            return;
        }
    }
    // The wells under the pixel: first and last in part, those between
    // whole.
    const float k = (100.0f / width) / 2.0f;
    const float lo = std::fmax(0.0f, vf * 99.0f - k);
    const float hi = std::fmin(99.0f, vf * 99.0f + k);
    const int32_t inner = Rnd(lo + 0.5f);
    const int32_t first = inner - 1 > 0 ? inner - 1 : 0;
    int32_t last = Rnd(hi - 0.5f);
    last = last < 0 ? 0 : (last > kWells - 1 ? kWells - 1 : last);
    const float fl = 1.0f - (lo - float(first));
    const float fh = hi - float(last);
    float D = fl * m_aDeposit[first] + fh * m_aDeposit[last];
    for (int32_t i = inner; i < last; ++i) {
        D += m_aDeposit[i];
    }
    auto sums = [&](const CPixel* colours, const int32_t* amounts) {
        SWellSums s;
        auto add = [&](int32_t i, int32_t alpha) {
            const uint32_t c = uint32_t(colours[i]);
            s.A += alpha;
            s.rgb[0] += int32_t((c >> 16) & 0xFFu) * alpha;
            s.rgb[1] += int32_t((c >> 8) & 0xFFu) * alpha;
            s.rgb[2] += int32_t(c & 0xFFu) * alpha;
        };
        add(first, Rnd(fl * float(uint32_t(colours[first]) >> 24)));
        add(last, Rnd(fh * float(uint32_t(colours[last]) >> 24)));
        s.M = Rnd(fl * float(amounts[first]) + fh * float(amounts[last]));
        for (int32_t i = inner; i < last; ++i) {
            add(i, int32_t(uint32_t(colours[i]) >> 24));
            s.M += amounts[i];
        }
        return s;
    };
    SWellSums cur = sums(m_aWellColours, m_aWellAmounts);
    SWellSums prev = sums(m_aPrevWellColours, m_aPrevWellAmounts);
    // Empty wells take the other set's colour at weight 1.
    if (cur.A == 0) {
        cur.A = 1;
        for (int32_t c = 0; c < 3; ++c) {
            cur.rgb[c] = prev.rgb[c];
        }
    }
    if (prev.A == 0) {
        prev.A = 1;
        for (int32_t c = 0; c < 3; ++c) {
            prev.rgb[c] = cur.rgb[c];
        }
    }
    const float s = width / 100.0f;
    const float base = s * (float(cur.A) * u + float(prev.A) * (1.0f - u)) * coverage * D * s;
    const int32_t alpha0 = Rnd(base);
    uint32_t rgb = 0;
    for (int32_t c = 0; c < 3; ++c) {
        const float mix = float(cur.rgb[c]) / float(cur.A) * u +
                          float(prev.rgb[c]) / float(prev.A) * (1.0f - u);
        rgb = (rgb << 8) | uint32_t(RoundToInt32(mix, 0, 255));
    }
    int32_t alpha = alpha0;
    if (m_nPhase == eBody) {
        alpha = alpha0;
    } else if (m_nPhase == eFirstDab) {
        const float K0 = width * 20000.0f + 800000.0f;
        const float n = Noise(m_nNoisePosition, Rnd(K0 * u * 0.5f), Rnd(K0 * v));
        const float f = Bell(u - 0.5f) * Bell(v - 0.5f) + n * 0.3f * 0.8f;
        alpha = f <= 0.3f ? 0 : (f >= 0.63f ? 255 : Rnd((f - 0.3f) / 0.33f * float(alpha0)));
    } else {
        const float t = m_nPhase == eEnd ? u : 1.0f - u;
        const float K1 = width * 10000.0f + 400000.0f;
        const float n = Noise(m_nNoisePosition, Rnd(K1 * u * 0.0001f), Rnd(K1 * (2.0f * v - 1.0f)));
        const float f = n * 0.5f * 0.95f + Bell(t);
        alpha = f <= 0.5f ? 0 : (f < 0.73f ? Rnd((f - 0.5f) / 0.23f * float(alpha0)) : alpha0);
    }
    alpha = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
    uint32_t colour = (uint32_t(alpha) << 24) | rgb;
    // Under 1000 the paint runs dry: the alpha fades with the amount.
    const int32_t m = Rnd(s * (float(cur.M) * u + float(prev.M) * (1.0f - u)));
    if (uint32_t(m) < 1000u) {
        const uint32_t f = (uint32_t(m) * 255u) / 1000u + 1u;
        colour = (colour & 0x00FFFFFFu) | (((colour >> 8) * f) & 0xFF000000u);
        alpha = int32_t(colour >> 24);
    }
    pixel->AlphaBlend255(alpha, CPixel(colour));
}
