#include "widgets/effects/EffectGlow.h"

#include <algorithm>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/EffectRows.h"

using namespace effectdetail;

CWidgetEffectGlow::CWidgetEffectGlow() {
    m_Colour = 0xFFFFFF00u;
    m_rRadius = kDefaultRadius;
    m_rDefaultRadius = kDefaultRadius;
    m_Offset = gCPoint(0, 0);
    m_nOpacity = 100;
}

void CWidgetEffectGlow::Add(CPixel& target, CPixel colour, int32_t strength) {
    const uint32_t t = target;
    const uint32_t c = colour;
    if (strength <= 0 || (c >> 24) == 0 || (t & 0x00FFFFFFu) == 0x00FFFFFFu) {
        return;
    }
    // 64 bits: no strength makes a channel wrap round.
    const uint64_t f = uint64_t(c >> 24) * uint64_t(strength);
    uint64_t r = ((t >> 16) & 0xFFu) + ((((c >> 16) & 0xFFu) * f) >> 16);
    uint64_t g = ((t >> 8) & 0xFFu) + ((((c >> 8) & 0xFFu) * f) >> 16);
    uint64_t b = (t & 0xFFu) + (((c & 0xFFu) * f) >> 16);
    if (r > 255) {
        const uint64_t x = (r - 255) >> 1;
        g += x;
        b += x;
        r = 255;
    }
    if (g > 255) {
        uint64_t x = (g - 255) >> 1;
        g = 255;
        r += x;
        if (r > 255) {
            x += r - 255;
            r = 255;
        }
        b += x;
    }
    if (b > 255) {
        uint64_t x = (b - 255) >> 1;
        b = 255;
        r += x;
        if (r > 255) {
            x += r - 255;
            r = 255;
        }
        g += x;
        if (g > 255) {
            r = std::min<uint64_t>(255, r + (g - 255));
            g = 255;
        }
    }
    target = 0xFF000000u | uint32_t(r & 0xFFu) << 16 | uint32_t(g & 0xFFu) << 8 |
             uint32_t(b & 0xFFu);
}

error CWidgetEffectGlow::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    if (alpha == 0) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    const uint32_t k = 2 * std::min<uint32_t>(alpha, 255) + 2;
    if (!m_fOutsideOnly || !m_pOwner) {
        return GlowPiece(area, *target, k);
    }
    gCRect pieces[4];
    const int32_t count =
        area.IsEmpty()
            ? 0
            : gCRect::Difference(area, gCRect(0, 0, m_pOwner->Width(), m_pOwner->Height()),
                                 pieces);
    for (int32_t i = 0; i < count; ++i) {
        if (error e = GlowPiece(pieces[i], *target, k)) {
            return e;
        }
    }
    return eNoError;
}

error CWidgetEffectGlow::GlowPiece(const gCRect& piece, CImage& target, uint32_t k) {
    const gCRect r = OnTarget(piece, target);
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(&target, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const CPixel colour = m_Colour;
    const int64_t shiftX = m_nMargin - m_Offset.x;
    const int64_t shiftY = m_nMargin - m_Offset.y;
    if (m_pShadowCache) {
        CacheRows(view, r, *m_pShadowCache, shiftX, shiftY,
                  [&](CPixel* dst, CRLE8& cache, int32_t count, int32_t, int32_t) {
                      for (int32_t i = 0; i < count; ++i) {
                          Add(dst[i], colour, int32_t((k * cache.NextRLE()) >> 8));
                      }
                  });
        return eNoError;
    }
    TableRows(view, r, m_XTable, m_YTable, shiftX, shiftY,
              [&](CPixel* dst, const float* tx, int32_t count, float ty, int32_t, int32_t) {
                  const float f = float(k) * ty;
                  for (int32_t i = 0; i < count; ++i) {
                      Add(dst[i], colour, RoundNonNegative(f * tx[i]));
                  }
              });
    return eNoError;
}
