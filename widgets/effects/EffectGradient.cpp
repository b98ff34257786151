#include "widgets/effects/EffectGradient.h"

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/PixelMix.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/OwnerImage.h"

using effectdetail::OnTarget;

namespace {

constexpr float kTwoPi = 6.2831855f;

// Rounds half away from zero and saturates to 32 bits.
int64_t Round(float v) {
    if (!(v == v)) {
        return 0;
    }
    const float r = RoundHalfAway(v);
    return r >= 2147483647.0f ? INT32_MAX : r <= -2147483648.0f ? INT32_MIN : int64_t(r);
}

int64_t Round(double v) {
    if (!(v == v)) {
        return 0;
    }
    const double r = RoundHalfAway(v);
    return r >= 2147483647.0 ? INT32_MAX : r <= -2147483648.0 ? INT32_MIN : int64_t(r);
}

float Finite(float v, float fallback) {
    return std::isfinite(v) ? v : fallback;
}

// The colour g with its alpha weighted by w (1..256).
uint32_t Weighted(uint32_t g, uint32_t w) {
    return CPixel::AtOpacity(g, w);
}

} // namespace

CGradientIndexer::CGradientIndexer(int32_t type, float angle, float centreX, float centreY,
                                   int32_t width, int32_t height)
    : m_nType(type) {
    angle = Finite(angle, 0.0f);
    centreX = Finite(centreX, 0.5f);
    centreY = Finite(centreY, 0.5f);
    const float W = float(width);
    const float H = float(height);
    if (type == eLinear) {
        if (angle == 0.0f) {
            m_fVertical = true;
            return;
        }
        const float theta = angle * kTwoPi;
        const float sn = float(std::sin(double(theta)));
        const float cs = float(std::cos(double(theta)));
        const float L = std::fabs(cs * H) + std::fabs(sn * W);
        m_nDx = Round(((-sn / L) * 65535.0f) * 4095.0f);
        m_nDy = Round(((cs / L) * 65535.0f) * 4095.0f);
        m_nStart = 0x7FF8000 - (m_nDx * width) / 2 - (m_nDy * height) / 2;
        return;
    }
    float phi = ((1.0f - angle) - 0.25f) * kTwoPi;
    if (phi > kTwoPi) {
        phi -= kTwoPi;
    } else if (phi < 0.0f) {
        phi += kTwoPi;
    }
    m_rRot = float(double(phi) + M_PI);
    m_nCx = Round(centreX * W);
    m_nCy = Round(centreY * H);
    const float rx = (centreX > 0.5f ? centreX : 1.0f - centreX) * W;
    const float ry = (centreY > 0.5f ? centreY : 1.0f - centreY) * H;
    const double rad = std::sqrt(double(rx * rx + ry * ry));
    m_dK = double(float(4095.0 / rad));
}

int32_t CGradientIndexer::Index(int32_t x, int32_t y) const {
    if (m_nType == eLinear) {
        return Clamped(LinearAt(x, y) >> 16);
    }
    const int64_t dx = x - m_nCx;
    const int64_t dy = y - m_nCy;
    if (m_nType == eRadial) {
        const float d2 = float(dx * dx + dy * dy);
        return Clamped(Round(std::sqrt(double(d2)) * m_dK));
    }
    float a = float(std::atan2(double(float(dy)), double(float(dx))) + double(m_rRot));
    if (a > kTwoPi) {
        a -= kTwoPi;
    }
    return Clamped(Round(a * 651.7395f));
}

CWidgetEffectGradient::CWidgetEffectGradient() : m_Gradient(0xFF000000u, 0xFFFFFFFFu) {}

CWidgetEffectGradient::~CWidgetEffectGradient() = default;

CGradientIndexer CWidgetEffectGradient::Indexer() const {
    return CGradientIndexer(m_nType, m_rAngle, m_rCentreX, m_rCentreY, m_rExtent.Width(),
                            m_rExtent.Height());
}

template <class Put> void CWidgetEffectGradient::ForColours(const gCRect& r, Put&& put) {
    const CGradientIndexer indexer = Indexer();
    if (!indexer.Draws() || m_rExtent.IsEmpty()) {
        return;
    }
    if (m_Gradient.IsDirty()) {
        m_Gradient.Rebuild();
    }
    const CPixel* table = m_Gradient.Table();
    for (int32_t y = r.top; y < r.bottom; ++y) {
        if (indexer.Vertical()) {
            const uint32_t g = m_Gradient.GetColourAtPoint(y, m_rExtent.Height());
            for (int32_t x = r.left; x < r.right; ++x) {
                put(x, y, g);
            }
        } else if (m_nType == CGradientIndexer::eLinear) {
            // 16.16 steps: integers only along the row.
            int64_t at = indexer.LinearAt(r.left, y);
            const int64_t step = indexer.LinearStep();
            for (int32_t x = r.left; x < r.right; ++x, at += step) {
                put(x, y, uint32_t(table[CGradientIndexer::Clamped(at >> 16)]));
            }
        } else {
            for (int32_t x = r.left; x < r.right; ++x) {
                put(x, y, uint32_t(table[indexer.Index(x, y)]));
            }
        }
    }
}

error CWidgetEffectGradient::WidgetChanged() {
    m_pCache.reset();
    (void)effectdetail::OwnerArea(m_pOwner, m_rExtent); // no size: the extent stays
    return eNoError;
}

error CWidgetEffectGradient::WidgetChanged(CImage* ownerImage) {
    if (!ownerImage || !m_pOwner || m_pOwner->OpaqueBlit()) {
        return WidgetChanged();
    }
    if (!effectdetail::OwnerArea(m_pOwner, m_rExtent)) {
        return eNoError;
    }
    const int32_t w = m_rExtent.right;
    const int32_t h = m_rExtent.bottom;
    if (error e = effectdetail::SizedImage(m_pCache, w, h)) {
        return e;
    }
    CImNav cache(m_pCache.get());
    CImNav mask(ownerImage);
    const int32_t mw = std::min(w, ownerImage->GetWidth());
    const int32_t mh = std::min(h, ownerImage->GetHeight());
    if (!cache.IsLocked() || (mw > 0 && mh > 0 && !mask.IsLocked())) {
        return eOutOfMemory;
    }
    ForColours(m_rExtent, [&](int32_t x, int32_t y, uint32_t g) {
        // Pixels the image does not have count as alpha 0.
        const uint32_t m = (x < mw && y < mh) ? uint32_t(mask.Row(y)[x]) >> 24 : 0;
        cache.Row(y)[x] = Weighted(g, m + 1);
    });
    return eNoError;
}

error CWidgetEffectGradient::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    if (alpha == 0) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    gCRect r = OnTarget(area, *target).Intersected(m_rExtent);
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const uint32_t a1 = std::min<uint32_t>(alpha, 255) + 1;
    const int32_t mode = m_nBlendMode;
    if (m_pCache) {
        CImNav cache(m_pCache.get(), &r);
        if (!cache.IsLocked()) {
            return eOutOfMemory;
        }
        for (int32_t j = 0; j < view.GetHeight(); ++j) {
            CPixel* dst = view.Row(j);
            const CPixel* src = cache.Row(j);
            for (int32_t i = 0; i < view.GetWidth(); ++i) {
                dst[i] = CPixelMix::MixPixel(mode, Weighted(src[i], a1), dst[i]);
            }
        }
        return eNoError;
    }
    ForColours(r, [&](int32_t x, int32_t y, uint32_t g) {
        CPixel& d = view.Row(y - r.top)[x - r.left];
        d = CPixelMix::MixPixel(mode, Weighted(g, a1), d);
    });
    return eNoError;
}

error CWidgetEffectGradient::Changed(int32_t redraw) {
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}

error CWidgetEffectGradient::SetAngle(float angle, int32_t redraw) {
    m_rAngle = angle;
    return Changed(redraw);
}

error CWidgetEffectGradient::SetType(int32_t type, int32_t redraw) {
    m_nType = type;
    return Changed(redraw);
}

error CWidgetEffectGradient::SetCentre(float x, float y, int32_t redraw) {
    m_rCentreX = x;
    m_rCentreY = y;
    return Changed(redraw);
}

error CWidgetEffectGradient::SetBlendMode(int32_t mode, int32_t redraw) {
    m_nBlendMode = mode;
    return Changed(redraw);
}

error CWidgetEffectGradient::AddStop(CPixel colour, float position, int32_t redraw) {
    if (m_Gradient.AddPoint(colour, position) < 0) {
        return m_Gradient.RefusesPosition(position) ? eBadParameter : eOutOfMemory;
    }
    return Changed(redraw);
}
