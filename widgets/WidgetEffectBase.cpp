#include "widgets/WidgetEffectBase.h"

#include "widgets/Widget.h"
#include "widgets/detail/RectMath.h"

using widgetdetail::Shifted;

error CWidgetEffectBase::PreRenderNotification(const gCRect&, CImage*, uint32_t) {
    return eNoError;
}

error CWidgetEffectBase::EffectParentMoved(CWidget*, gCRect&) {
    return eNoError;
}

error CWidgetEffectBase::SetOpacity(int32_t opacity, int32_t redraw) {
    return Opacity(opacity, redraw);
}

error CWidgetEffectBase::Opacity(int32_t opacity, int32_t redraw) {
    m_nOpacity = opacity;
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectBase::AddExclusion(const gCRect& rect, int32_t redraw) {
    if (error e = m_Exclusions.AddRect(rect)) {
        return e;
    }
    return InvalidateExclusion(rect, redraw);
}

error CWidgetEffectBase::RemoveExclusion(const gCRect& rect, int32_t redraw) {
    if (error e = m_Exclusions.RemoveRect(rect)) {
        return e;
    }
    return InvalidateExclusion(rect, redraw);
}

error CWidgetEffectBase::ResetExclusion(int32_t redraw) {
    m_Exclusions.Reset();
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectBase::InvalidateExclusion(const gCRect& rect, int32_t redraw) {
    if (!m_pOwner) {
        return eNoError;
    }
    // The exclusion is owner-local, as the passes use it: the total rect is
    // brought to the owner's coordinates to clip it.
    const gCRect& place = m_pOwner->Rect();
    const gCRect total = Shifted(m_pOwner->TotalRect(), -place.left, -place.top);
    const gCRect dirty = rect.Intersected(total);
    if (!dirty.IsEmpty()) {
        if (error e = m_pOwner->PassInvalidatedAreaToParent(dirty, 0)) {
            return e;
        }
    }
    return redraw ? m_pOwner->PassRedraw() : eNoError;
}
