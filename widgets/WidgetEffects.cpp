// The widget's side of its effects: nine places, three under its own
// pixels, three between them and its children, three over everything; the
// total rect they make together with the rect; and drawing one array of
// them for the render passes.

#include <algorithm>

#include "imaging/CRegion.h"
#include "widgets/Widget.h"
#include "widgets/WidgetEffectBase.h"
#include "widgets/detail/Alphas.h"
#include "widgets/detail/RectMath.h"

using widgetdetail::EffectAlpha;
using widgetdetail::Saturated;

namespace {

bool IsPlace(int32_t index) {
    return index >= 0 && index < 3;
}

CWidgetEffectBase* Place(CWidgetEffectBase* const (&places)[3], int32_t index) {
    return IsPlace(index) ? places[index] : nullptr;
}

// The place is emptied before the effect goes, so that nothing its
// destructor reaches finds it still there.
void DestroyPlace(CWidgetEffectBase* (&places)[3], int32_t index) {
    if (!IsPlace(index)) {
        return;
    }
    CWidgetEffectBase* effect = places[index];
    places[index] = nullptr;
    delete effect;
}

} // namespace

CWidgetEffectBase* CWidget::EffectUnder(int32_t index) const {
    return Place(m_apEffectsU, index);
}

CWidgetEffectBase* CWidget::EffectBetween(int32_t index) const {
    return Place(m_apEffectsB, index);
}

CWidgetEffectBase* CWidget::EffectOver(int32_t index) const {
    return Place(m_apEffectsO, index);
}

bool CWidget::HasEffects() const {
    for (int32_t i = 0; i < 3; ++i) {
        if (m_apEffectsU[i] || m_apEffectsB[i] || m_apEffectsO[i]) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Adding, changing and destroying

error CWidget::AddEffectAt(CWidgetEffectBase* (&places)[3], uint32_t priority,
                           CWidgetEffectBase* effect, int32_t index, int32_t redraw) {
    if (!effect || effect->m_pOwner || !IsPlace(index)) {
        return eBadParameter;
    }
    DestroyPlace(places, index);
    places[index] = effect;
    effect->SetPriority(priority);
    effect->m_pOwner = this;
    if (error e = EffectChanged(effect, 0)) {
        return e;
    }
    RebuildTotalAreaRect();
    return InvalidateTotal(redraw);
}

error CWidget::AddEffectU(CWidgetEffectBase* effect, int32_t index, int32_t redraw) {
    return AddEffectAt(m_apEffectsU, 0, effect, index, redraw);
}

error CWidget::AddEffectB(CWidgetEffectBase* effect, int32_t index, int32_t redraw) {
    return AddEffectAt(m_apEffectsB, 1, effect, index, redraw);
}

error CWidget::AddEffectO(CWidgetEffectBase* effect, int32_t index, int32_t redraw) {
    return AddEffectAt(m_apEffectsO, 2, effect, index, redraw);
}

void CWidget::DestroyEffectU(int32_t index) {
    DestroyPlace(m_apEffectsU, index);
}

void CWidget::DestroyEffectB(int32_t index) {
    DestroyPlace(m_apEffectsB, index);
}

void CWidget::DestroyEffectO(int32_t index) {
    DestroyPlace(m_apEffectsO, index);
}

void CWidget::DestroyEffects() {
    for (int32_t i = 0; i < 3; ++i) {
        DestroyPlace(m_apEffectsU, i);
    }
    for (int32_t i = 0; i < 3; ++i) {
        DestroyPlace(m_apEffectsB, i);
    }
    for (int32_t i = 0; i < 3; ++i) {
        DestroyPlace(m_apEffectsO, i);
    }
}

error CWidget::EffectChanged(CWidgetEffectBase* effect, int32_t redraw) {
    if (!effect) {
        return eBadParameter;
    }
    if (error e = effect->WidgetChanged()) {
        return e;
    }
    RebuildTotalAreaRect();
    return InvalidateTotal(redraw);
}

error CWidget::UpdateAllEffects() {
    for (int32_t i = 0; i < 3; ++i) {
        for (CWidgetEffectBase* effect : {m_apEffectsU[i], m_apEffectsB[i], m_apEffectsO[i]}) {
            if (effect) {
                if (error e = EffectChanged(effect, 0)) {
                    return e;
                }
            }
        }
    }
    return eNoError;
}

void CWidget::RebuildTotalAreaRect() {
    gCRect extents;
    for (int32_t i = 0; i < 3; ++i) {
        for (const CWidgetEffectBase* effect :
             {m_apEffectsU[i], m_apEffectsB[i], m_apEffectsO[i]}) {
            // An empty extent would pull the union towards its corner.
            if (!effect || effect->Extent().IsEmpty()) {
                continue;
            }
            const gCRect& r = effect->Extent();
            extents =
                extents.IsEmpty()
                    ? r
                    : gCRect(std::min(extents.left, r.left), std::min(extents.top, r.top),
                             std::max(extents.right, r.right), std::max(extents.bottom, r.bottom));
        }
    }
    m_TotalRect = m_Rect;
    if (extents.IsEmpty()) {
        return;
    }
    const int64_t left = m_Rect.left;
    const int64_t top = m_Rect.top;
    m_TotalRect = gCRect(Saturated(std::min(left, left + extents.left)),
                         Saturated(std::min(top, top + extents.top)),
                         Saturated(std::max<int64_t>(m_Rect.right, left + extents.right)),
                         Saturated(std::max<int64_t>(m_Rect.bottom, top + extents.bottom)));
}

// ---------------------------------------------------------------------------
// Telling and finding

error CWidget::EffectParentMoved(CWidget* moved, gCRect& rect) {
    if (!m_pParent || !m_fVisible) {
        return eNoError;
    }
    for (int32_t i = 0; i < 3; ++i) {
        for (CWidgetEffectBase* effect : {m_apEffectsU[i], m_apEffectsB[i]}) {
            if (effect) {
                if (error e = effect->EffectParentMoved(moved, rect)) {
                    return e;
                }
            }
        }
    }
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        gCRect local = widgetdetail::Shifted(rect, -m_Rect.left, -m_Rect.top);
        if (error e = m_aChildren[i]->EffectParentMoved(moved, local)) {
            return e;
        }
    }
    for (CWidgetEffectBase* effect : m_apEffectsO) {
        if (effect) {
            if (error e = effect->EffectParentMoved(moved, rect)) {
                return e;
            }
        }
    }
    return eNoError;
}

CWidgetEffectBase* CWidget::FindFirstParentEffect(uint32_t typeID) {
    for (const auto* places : {&m_apEffectsU, &m_apEffectsB, &m_apEffectsO}) {
        for (CWidgetEffectBase* effect : *places) {
            if (effect && effect->TypeID() == typeID) {
                return effect;
            }
        }
    }
    return m_pParent ? m_pParent->FindFirstParentEffect(typeID) : nullptr;
}

// ---------------------------------------------------------------------------
// Drawing

error CWidget::RenderEffectsU(const gCRect& area, CImage* target, uint32_t alpha) {
    return RenderEffectsOneArray(m_apEffectsU, area, target, alpha);
}

error CWidget::RenderEffectsB(const gCRect& area, CImage* target, uint32_t alpha) {
    return RenderEffectsOneArray(m_apEffectsB, area, target, alpha);
}

error CWidget::RenderEffectsO(const gCRect& area, CImage* target, uint32_t alpha) {
    return RenderEffectsOneArray(m_apEffectsO, area, target, alpha);
}

error CWidget::RenderEffectsOneArray(CWidgetEffectBase* const* places, const gCRect& area,
                                     CImage* target, uint32_t alpha) {
    for (int32_t i = 0; i < 3; ++i) {
        CWidgetEffectBase* effect = places[i];
        if (!effect) {
            continue;
        }
        const gCRect meeting = area.Intersected(effect->Extent());
        if (meeting.IsEmpty()) {
            continue;
        }
        const uint32_t effectAlpha = EffectAlpha(alpha, effect->Opacity());
        if (effect->Exclusions().IsEmpty()) {
            if (error e = effect->RenderEffect(meeting, target, effectAlpha)) {
                return e;
            }
            continue;
        }
        CRegion region;
        if (error e = region.AddRect(meeting)) {
            return e;
        }
        for (const gCRect& excluded : effect->Exclusions().GetRects()) {
            if (error e = region.RemoveRect(excluded)) {
                return e;
            }
        }
        for (const gCRect& piece : region.GetRects()) {
            if (error e = effect->RenderEffect(piece, target, effectAlpha)) {
                return e;
            }
        }
    }
    return eNoError;
}

error CWidget::NotifyPreRenderEffects(CWidgetEffectBase* const* places, const gCRect& area,
                                      CImage* target, uint32_t alpha) {
    for (int32_t i = 0; i < 3; ++i) {
        CWidgetEffectBase* effect = places[i];
        if (!effect) {
            continue;
        }
        const gCRect meeting = area.Intersected(effect->Extent());
        if (meeting.IsEmpty()) {
            continue;
        }
        if (error e = effect->PreRenderNotification(meeting, target,
                                                    EffectAlpha(alpha, effect->Opacity()))) {
            return e;
        }
    }
    return eNoError;
}
