#include "widgets/effects/EffectShadow.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "foundation/Rounding.h"
#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/EffectRows.h"

using namespace effectdetail;

namespace {

// One fall-off table of count entries: 1.0, with a Gaussian edge of n
// entries (at most half the table, rounded up) at each end.
void FillTable(float* t, int64_t count, float k, int64_t n) {
    const int64_t q = std::min((count + 1) / 2, n);
    std::fill(t, t + count, 1.0f);
    for (int64_t i = 0; i < q; ++i) {
        const double ki = double(k * float(i));
        const float v = float(std::exp(-(ki * ki) * 0.5));
        t[q - 1 - i] = v;
        t[count - q + i] = v;
    }
}

} // namespace

CWidgetEffectShadow::CWidgetEffectShadow() {
    m_nOpacity = 200;
}

CWidgetEffectShadow::~CWidgetEffectShadow() = default;

float CWidgetEffectShadow::UsableRadius() const {
    return effectdetail::UsableRadius(m_rRadius, m_rDefaultRadius);
}

int64_t CWidgetEffectShadow::Margin() const {
    return effectdetail::Margin(UsableRadius());
}

bool CWidgetEffectShadow::OwnerSize(int64_t& width, int64_t& height) const {
    if (!m_pOwner) {
        return false;
    }
    width = m_pOwner->Width();
    height = m_pOwner->Height();
    return width > 0 && height > 0;
}

void CWidgetEffectShadow::PlaceExtent() {
    const int64_t e = m_nMargin;
    gCRect extent = PinnedRect(-e + m_Offset.x, -e + m_Offset.y, m_nWidth + e + m_Offset.x,
                               m_nHeight + e + m_Offset.y);
    if (m_fClipToWidget) {
        extent = extent.Intersected(gCRect(0, 0, Pinned(m_nWidth), Pinned(m_nHeight)));
    }
    m_rExtent = extent.IsEmpty() ? gCRect() : extent;
}

error CWidgetEffectShadow::Fail(error e) {
    m_rExtent = gCRect();
    m_pShadowCache.reset();
    (void)m_XTable.Resize(0, 0); // freeing always succeeds
    (void)m_YTable.Resize(0, 0);
    m_nWidth = 0;
    m_nHeight = 0;
    m_nMargin = 0;
    return e;
}

error CWidgetEffectShadow::RebuildLUT(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    if (width > kMaxWorkSide || height > kMaxWorkSide) {
        return eOutOfMemory;
    }
    if (!m_XTable.Resize(uint32_t(width), 0) || !m_YTable.Resize(uint32_t(height), 0)) {
        return eOutOfMemory;
    }
    const float radius = UsableRadius();
    const float k = 3.5f / std::max(0.5f, radius * 3.5f);
    // No table is longer than kMaxWorkSide, so a longer edge is never used.
    const float reach = radius * 3.5f;
    const int64_t n = reach >= float(kMaxWorkSide) ? kMaxWorkSide : int64_t(RoundHalfAway(reach));
    FillTable(m_XTable.GetData(), width, k, n);
    FillTable(m_YTable.GetData(), height, k, n);
    return eNoError;
}

error CWidgetEffectShadow::WidgetChanged() {
    int64_t w = 0;
    int64_t h = 0;
    if (!OwnerSize(w, h)) {
        return eNoError;
    }
    const int64_t e = Margin();
    if (w + 2 * e > kMaxWorkSide || h + 2 * e > kMaxWorkSide) {
        return eOutOfMemory;
    }
    if (CastsIntoLayers()) {
        // A rectangular shadow casts the whole rectangle into the layers.
        CImage8 opaque{int32_t(w), int32_t(h)};
        CImNav8 view(&opaque);
        if (!view.IsLocked()) {
            return Fail(eOutOfMemory);
        }
        view.Fill(255);
        if (error err = KeepParentAlpha(nullptr, &view)) {
            return Fail(err);
        }
    } else {
        m_pParentAlpha.reset();
    }
    m_pShadowCache.reset();
    if (error err = RebuildLUT(int32_t(w + 2 * e), int32_t(h + 2 * e))) {
        return Fail(err);
    }
    m_nWidth = w;
    m_nHeight = h;
    m_nMargin = e;
    PlaceExtent();
    return eNoError;
}

error CWidgetEffectShadow::WidgetChanged(CImage* ownerImage) {
    if (!ownerImage || !m_pOwner || m_pOwner->OpaqueBlit()) {
        return WidgetChanged();
    }
    int64_t w = 0;
    int64_t h = 0;
    if (!OwnerSize(w, h)) {
        return eNoError;
    }
    const int64_t e = Margin();
    if (w + 2 * e > kMaxWorkSide || h + 2 * e > kMaxWorkSide) {
        return eOutOfMemory;
    }
    CImage work{int32_t(w + 2 * e), int32_t(h + 2 * e)};
    if (!work.IsValid()) {
        return Fail(eOutOfMemory);
    }
    // The image's alpha within its own bounds; the rest of the widget is
    // transparent.
    const int64_t sw = std::min<int64_t>(w, ownerImage->GetWidth());
    const int64_t sh = std::min<int64_t>(h, ownerImage->GetHeight());
    {
        CImNav source(ownerImage);
        CImNav dest(&work);
        if (!dest.IsLocked() || (sw > 0 && sh > 0 && !source.IsLocked())) {
            return Fail(eOutOfMemory);
        }
        for (int64_t y = 0; y < sh; ++y) {
            const CPixel* from = source.Row(int32_t(y));
            CPixel* to = dest.Row(int32_t(y + e)) + e;
            for (int64_t x = 0; x < sw; ++x) {
                to[x] = (uint32_t(from[x]) >> 24) * 257u;
            }
        }
    }
    {
        // The layers take the alpha itself: the high bytes of the 16-bit
        // values over the widget.
        const gCRect widget = PinnedRect(e, e, e + w, e + h);
        CImNav view(&work, &widget);
        if (!view.IsLocked()) {
            return Fail(eOutOfMemory);
        }
        if (error err = KeepParentAlpha(&view, nullptr)) {
            return Fail(err);
        }
    }
    if (!CBlur::GaussianBlur(&work, UsableRadius(), 0)) {
        return Fail(eOutOfMemory);
    }
    if (m_fOutsideOnly) {
        // Dims the blurred value where, once moved by the offset, it lies
        // under the widget's opaque pixels.
        CImNav source(ownerImage);
        CImNav dest(&work);
        const int64_t ww = work.GetWidth();
        const int64_t wh = work.GetHeight();
        for (int64_t y = 0; y < sh; ++y) {
            const int64_t wy = y + e - m_Offset.y;
            if (wy < 0 || wy >= wh) {
                continue;
            }
            const CPixel* from = source.Row(int32_t(y));
            CPixel* to = dest.Row(int32_t(wy));
            for (int64_t x = 0; x < sw; ++x) {
                const int64_t wx = x + e - m_Offset.x;
                if (wx < 0 || wx >= ww) {
                    continue;
                }
                const uint32_t a = uint32_t(from[x]) >> 24;
                const uint32_t word = to[wx];
                const uint32_t v = ((256u - a) * (word & 0xFFFFu)) >> 8;
                to[wx] = (word & 0xFFFF0000u) | v;
            }
        }
    }
    std::unique_ptr<CRLE8> cache(new (std::nothrow) CRLE8());
    if (!cache) {
        return Fail(eOutOfMemory);
    }
    if (error err = cache->CreateFromImage16(&work, 0)) {
        return Fail(err);
    }
    m_pShadowCache = std::move(cache);
    m_nWidth = w;
    m_nHeight = h;
    m_nMargin = e;
    PlaceExtent();
    return eNoError;
}

error CWidgetEffectShadow::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    if (alpha == 0 || m_fParentLayer) {
        return eNoError;
    }
    if (m_aDestIDs.GetSize() > 0) {
        return RenderIntoContainers(area, target, alpha);
    }
    return DoShadowRender(area, target, alpha, nullptr);
}

error CWidgetEffectShadow::DoShadowRender(const gCRect& area, CImage* target, uint32_t alpha,
                                          CImage8* mask) {
    if (!target) {
        return eBadParameter;
    }
    alpha = std::min<uint32_t>(alpha, 255);
    gCRect r = area;
    if (!ClipToMask(r, mask)) {
        return eNoError;
    }
    if (!m_fOutsideOnly || !m_pOwner) {
        return DrawPiece(r, *target, alpha, mask, false);
    }
    if (m_pShadowCache) {
        // The cache already leaves the widget out.
        return DrawPiece(r, *target, alpha, mask, true);
    }
    gCRect pieces[4];
    const int32_t count =
        r.IsEmpty()
            ? 0
            : gCRect::Difference(r, gCRect(0, 0, m_pOwner->Width(), m_pOwner->Height()), pieces);
    for (int32_t i = 0; i < count; ++i) {
        if (error e = DrawPiece(pieces[i], *target, alpha, mask, false)) {
            return e;
        }
    }
    return eNoError;
}

bool CWidgetEffectShadow::ClipToMask(gCRect& r, CImage8*& mask) {
    if (!mask || !mask->IsValid() || mask->IsCompressed()) {
        mask = nullptr;
        return true;
    }
    r = OnTarget(r, *mask);
    return !r.IsEmpty();
}

error CWidgetEffectShadow::DrawPiece(const gCRect& piece, CImage& target, uint32_t alpha,
                                     CImage8* mask, bool outsideForm) {
    const gCRect r = OnTarget(piece, target);
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(&target, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    CImNav8 maskView(mask, &r);
    if (mask && !maskView.IsLocked()) {
        return eOutOfMemory;
    }
    // The mask byte under owner-local (x, y).
    auto maskRow = [&](int32_t x, int32_t y) { return maskView.Row(y - r.top) + (x - r.left); };
    const uint32_t a1 = alpha + 1;
    const int64_t shiftX = m_nMargin - m_Offset.x;
    const int64_t shiftY = m_nMargin - m_Offset.y;
    if (m_pShadowCache) {
        const CLevelSink sink = CLevelSink::ByLevel(m_Colour);
        // Without a mask the level is (a1 x s) >> 8; with one
        // (a1 x (s + 1) x m) >> 16, or (a1 x s x m) >> 16 in the
        // outside-only form.
        const uint32_t lift = outsideForm ? 0 : 1;
        CacheRows(view, r, *m_pShadowCache, shiftX, shiftY,
                  [&](CPixel* dst, CRLE8& cache, int32_t count, int32_t x, int32_t y) {
                      const uint8_t* m = mask ? maskRow(x, y) : nullptr;
                      PutRow(sink, dst, count, [&](uint8_t* levels, int32_t first, int32_t n) {
                          for (int32_t i = 0; i < n; ++i) {
                              const uint32_t s = cache.NextRLE();
                              levels[i] = uint8_t(m ? (a1 * (s + lift) * m[first + i]) >> 16
                                                    : (a1 * s) >> 8);
                          }
                      });
                  });
        return eNoError;
    }
    // The alpha is a1 x ty x tx without a mask, ((a1 x ty) / 255) x tx x m
    // with one, rounded, at most 255.
    const CLevelSink sink = CLevelSink::ByAlpha(m_Colour);
    TableRows(view, r, m_XTable, m_YTable, shiftX, shiftY,
              [&](CPixel* dst, const float* tx, int32_t count, float ty, int32_t x, int32_t y) {
                  const uint8_t* m = mask ? maskRow(x, y) : nullptr;
                  const float f = m ? (float(a1) * ty) / 255.0f : float(a1) * ty;
                  PutRow(sink, dst, count, [&](uint8_t* levels, int32_t first, int32_t n) {
                      for (int32_t i = 0; i < n; ++i) {
                          const float v =
                              m ? f * tx[first + i] * float(m[first + i]) : f * tx[first + i];
                          levels[i] = uint8_t(std::min(255, RoundNonNegative(v)));
                      }
                  });
              });
    return eNoError;
}

error CWidgetEffectShadow::ShadowOffset(const gCPoint& offset, int32_t redraw) {
    m_Offset = offset;
    if (m_nWidth > 0) {
        PlaceExtent();
    }
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectShadow::SetColour(CPixel colour, int32_t redraw) {
    m_Colour = colour;
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectShadow::SetRadius(float radius, int32_t redraw) {
    m_rRadius = radius;
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}

error CWidgetEffectShadow::SetClipToWidget(int32_t clip, int32_t redraw) {
    m_fClipToWidget = clip;
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}

error CWidgetEffectShadow::SetOutsideOnly(int32_t outside, int32_t redraw) {
    m_fOutsideOnly = outside;
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}
