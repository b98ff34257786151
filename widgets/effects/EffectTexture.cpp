#include "widgets/effects/EffectTexture.h"

#include <algorithm>

#include "imaging/ImNav.h"
#include "imaging/PixelMix.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/OwnerImage.h"

using effectdetail::OnTarget;

CWidgetEffectTexture::~CWidgetEffectTexture() = default;

error CWidgetEffectTexture::WidgetChanged() {
    m_pTexture.reset();
    (void)effectdetail::OwnerArea(m_pOwner, m_rExtent); // no size: the extent stays
    return eNoError;
}

error CWidgetEffectTexture::WidgetChanged(CImage* ownerImage) {
    if (!ownerImage || !m_pOwner || m_pOwner->OpaqueBlit()) {
        return WidgetChanged();
    }
    if (!effectdetail::OwnerArea(m_pOwner, m_rExtent)) {
        return eNoError;
    }
    const int32_t w = m_rExtent.right;
    const int32_t h = m_rExtent.bottom;
    if (error e = effectdetail::SizedImage(m_pTexture, w, h)) {
        return e;
    }
    CImNav to(m_pTexture.get());
    CImNav from(ownerImage);
    const int32_t cw = std::min(w, ownerImage->GetWidth());
    const int32_t ch = std::min(h, ownerImage->GetHeight());
    if (!to.IsLocked() || (cw > 0 && ch > 0 && !from.IsLocked())) {
        return eOutOfMemory;
    }
    // SetSize left the texture zeroed: what the image lacks is transparent.
    for (int32_t y = 0; y < ch; ++y) {
        std::copy(from.Row(y), from.Row(y) + cw, to.Row(y));
    }
    return eNoError;
}

error CWidgetEffectTexture::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    if (alpha == 0) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    gCRect r = OnTarget(area, *target);
    if (m_pTexture) {
        r = OnTarget(r, *m_pTexture);
    }
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    if (!m_pTexture) {
        return eNoError;
    }
    CImNav texture(m_pTexture.get(), &r);
    if (!texture.IsLocked()) {
        return eOutOfMemory;
    }
    const uint32_t a1 = std::min<uint32_t>(alpha, 255) + 1;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        CPixel* dst = view.Row(y);
        const CPixel* src = texture.Row(y);
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            const uint32_t t = src[x];
            const uint32_t blend = CPixel::AtOpacity(t, a1);
            dst[x] = CPixelMix::MixPixel(m_nBlendMode, blend, dst[x]);
        }
    }
    return eNoError;
}

error CWidgetEffectTexture::SetBlendMode(int32_t mode, int32_t redraw) {
    m_nBlendMode = mode;
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}
