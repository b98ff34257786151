#include "widgets/effects/EffectCutout.h"

#include <algorithm>
#include <new>

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/EffectRows.h"

using namespace effectdetail;

CWidgetEffectCutout::~CWidgetEffectCutout() = default;

int64_t CWidgetEffectCutout::Margin() const {
    return effectdetail::Margin(UsableRadius(m_rRadius, kDefaultRadius));
}

error CWidgetEffectCutout::Fail(error e) {
    m_rExtent = gCRect();
    m_pCache.reset();
    m_pShape.reset();
    return e;
}

bool CWidgetEffectCutout::Begin(error& result) {
    result = eNoError;
    if (!m_pOwner) {
        return false;
    }
    const int64_t w = m_pOwner->Width();
    const int64_t h = m_pOwner->Height();
    if (w <= 0 || h <= 0) {
        return false;
    }
    const int64_t e = Margin();
    if (w + 2 * e > kMaxWorkSide || h + 2 * e > kMaxWorkSide) {
        result = eOutOfMemory;
        return false;
    }
    m_rExtent = gCRect(0, 0, int32_t(w), int32_t(h));
    return true;
}

error CWidgetEffectCutout::WidgetChanged() {
    error result = eNoError;
    if (!Begin(result)) {
        return result;
    }
    CImage8 full(m_rExtent.right, m_rExtent.bottom);
    if (!full.IsValid()) {
        return Fail(eOutOfMemory);
    }
    CImNav8(&full).Fill(255);
    if (!m_pShape) {
        m_pShape.reset(new (std::nothrow) CRLE8());
        if (!m_pShape) {
            return Fail(eOutOfMemory);
        }
    }
    if (error e = m_pShape->CreateFromImage(&full)) {
        return Fail(e);
    }
    if (error e = RegenShadow()) {
        return Fail(e);
    }
    return eNoError;
}

error CWidgetEffectCutout::WidgetChanged(CImage* ownerImage) {
    if (!ownerImage || !m_pOwner || m_pOwner->OpaqueBlit()) {
        return WidgetChanged();
    }
    error result = eNoError;
    if (!Begin(result)) {
        return result;
    }
    if (!m_pShape) {
        m_pShape.reset(new (std::nothrow) CRLE8());
        if (!m_pShape) {
            return Fail(eOutOfMemory);
        }
    }
    if (error e = m_pShape->CreateFromImage16(ownerImage, 1)) {
        return Fail(e);
    }
    if (error e = RegenShadow()) {
        return Fail(e);
    }
    return eNoError;
}

error CWidgetEffectCutout::RegenShadow() {
    if (!m_pShape) {
        return eNoError;
    }
    const int64_t e = Margin();
    const int64_t w = m_rExtent.Width();
    const int64_t h = m_rExtent.Height();
    if (w <= 0 || h <= 0) {
        return eNoError;
    }
    if (w + 2 * e > kMaxWorkSide || h + 2 * e > kMaxWorkSide) {
        return eOutOfMemory;
    }
    CImage work{int32_t(w + 2 * e), int32_t(h + 2 * e)};
    CImage8 strength{int32_t(w), int32_t(h)};
    if (!work.IsValid() || !strength.IsValid()) {
        return eOutOfMemory;
    }
    {
        CImNav wv(&work);
        CImNav8 mv(&strength);
        if (!wv.IsLocked() || !mv.IsLocked()) {
            return eOutOfMemory;
        }
        // The shape within its own bounds; the rest stays 0.
        const int64_t sw = std::min<int64_t>(w, m_pShape->GetWidth());
        const int64_t sh = std::min<int64_t>(h, m_pShape->GetHeight());
        for (int64_t y = 0; y < sh; ++y) {
            m_pShape->StartRLE(0, int32_t(y));
            CPixel* to = wv.Row(int32_t(y + e)) + e;
            uint8_t* m = mv.Row(int32_t(y));
            for (int64_t x = 0; x < sw; ++x) {
                const uint8_t s = m_pShape->NextRLE();
                to[x] = uint32_t(s) * 257u;
                m[x] = s;
            }
        }
    }
    if (!CBlur::GaussianBlur(&work, UsableRadius(m_rRadius, kDefaultRadius), 0)) {
        return eOutOfMemory;
    }
    {
        CImNav wv(&work);
        CImNav8 mv(&strength);
        const int64_t ww = work.GetWidth();
        const int64_t wh = work.GetHeight();
        for (int64_t y = 0; y < h; ++y) {
            uint8_t* m = mv.Row(int32_t(y));
            const int64_t sy = y - m_Offset.y + e;
            for (int64_t x = 0; x < w; ++x) {
                const int64_t sx = x - m_Offset.x + e;
                if (sx < 0 || sy < 0 || sx >= ww || sy >= wh) {
                    m[x] = 255;
                    continue;
                }
                const uint32_t low = uint32_t(wv.Row(int32_t(sy))[sx]) & 0xFFFFu;
                m[x] = uint8_t(((uint32_t(m[x]) + 1) * (0xFFFFu - low)) >> 16);
            }
        }
    }
    if (!m_pCache) {
        m_pCache.reset(new (std::nothrow) CRLE8());
        if (!m_pCache) {
            return eOutOfMemory;
        }
    }
    return m_pCache->CreateFromImage(&strength);
}

error CWidgetEffectCutout::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    if (alpha == 0 || !m_pCache) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    const gCRect r = OnTarget(area, *target);
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const uint32_t a1 = std::min<uint32_t>(alpha, 255) + 1;
    const CLevelSink sink = CLevelSink::ByLevel(m_Colour);
    CacheRows(view, r, *m_pCache, 0, 0,
              [&](CPixel* dst, CRLE8& cache, int32_t count, int32_t, int32_t) {
                  PutRow(sink, dst, count, [&](uint8_t* levels, int32_t, int32_t n) {
                      for (int32_t i = 0; i < n; ++i) {
                          levels[i] = uint8_t((a1 * cache.NextRLE()) >> 8);
                      }
                  });
              });
    return eNoError;
}

error CWidgetEffectCutout::ShadowOffset(const gCPoint& offset, int32_t redraw) {
    m_Offset = offset;
    if (error e = RegenShadow()) {
        return Fail(e);
    }
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectCutout::SetColour(CPixel colour, int32_t redraw) {
    m_Colour = colour;
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectCutout::SetRadius(float radius, int32_t redraw) {
    m_rRadius = radius;
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}
