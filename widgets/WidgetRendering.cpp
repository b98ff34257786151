// The render passes: how a widget clips, offsets and fades its drawing,
// the order of its effects, its own pixels and its children, and the
// front-to-back search for opaque cover that spares drawing what is hidden.

#include "imaging/Image.h"
#include "widgets/Widget.h"
#include "widgets/detail/Alphas.h"
#include "widgets/detail/OriginShift.h"
#include "widgets/detail/RectMath.h"

using widgetdetail::ClampAlpha;
using widgetdetail::COriginShift;
using widgetdetail::Shifted;
using widgetdetail::WidgetAlpha;

// ---------------------------------------------------------------------------
// The passes

error CWidget::PassRenderAreaTransparent(const gCRect& area, CImage* target, uint32_t alpha) {
    return LayeredPass(ELayeredPass::eRender, area, target, alpha);
}

error CWidget::LayeredPass(ELayeredPass pass, const gCRect& area, CImage* target, uint32_t alpha) {
    if (!m_fVisible) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    const gCRect clip = area.Intersected(m_TotalRect);
    if (clip.IsEmpty()) {
        return eNoError;
    }
    CPassScope scope;
    COriginShift shift(target, m_Rect.left, m_Rect.top);
    const gCRect total = Shifted(clip, -m_Rect.left, -m_Rect.top);
    const gCRect own = total.Intersected(gCRect(0, 0, Width(), Height()));
    const uint32_t a = WidgetAlpha(alpha, m_nOpacity);
    const bool render = pass == ELayeredPass::eRender;

    if (error e = render ? RenderEffectsU(total, target, a)
                         : NotifyPreRenderEffects(m_apEffectsU, total, target, a)) {
        return e;
    }
    if (!own.IsEmpty()) {
        if (error e =
                render ? DoRenderArea(own, target, a) : PreRenderNotification(own, target, a)) {
            return e;
        }
    }
    if (error e = render ? RenderEffectsB(total, target, a)
                         : NotifyPreRenderEffects(m_apEffectsB, total, target, a)) {
        return e;
    }
    if (!own.IsEmpty()) {
        const uint32_t childAlpha = m_fPropagateOpacity ? a : 255;
        for (int32_t i = m_aChildren.GetSize() - 1; i >= 0; --i) {
            if (i >= m_aChildren.GetSize()) {
                continue; // a drawing changed the list
            }
            CWidget* child = m_aChildren[i];
            if (error e = render ? child->PassRenderAreaTransparent(own, target, childAlpha)
                                 : child->PassPreRenderNotification(own, target, childAlpha)) {
                return e;
            }
        }
    }
    return render ? RenderEffectsO(total, target, a)
                  : NotifyPreRenderEffects(m_apEffectsO, total, target, a);
}

error CWidget::PassRenderAreaOpaque(const gCRect& area, CImage* target, uint32_t alpha,
                                    gCRect& covered) {
    if (!m_fVisible) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    const gCRect clip = area.Intersected(m_TotalRect);
    if (clip.IsEmpty()) {
        return eNoError;
    }
    CPassScope pass;
    COriginShift shift(target, m_Rect.left, m_Rect.top);
    const gCRect total = Shifted(clip, -m_Rect.left, -m_Rect.top);
    const uint32_t childAlpha = m_fPropagateOpacity ? WidgetAlpha(alpha, m_nOpacity) : 255;

    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        CWidget* child = m_aChildren[i];
        const gCRect part = total.Intersected(child->m_Rect);
        if (part.IsEmpty()) {
            continue;
        }
        gCRect childCovered;
        if (error e = child->PassRenderAreaOpaque(part, target, 255, childCovered)) {
            return e;
        }
        if (!childCovered.IsEmpty()) {
            // The list may have changed while the child drew: it is still
            // this widget's child at the same place only if it stayed.
            child->LocalToParent(childCovered);
            covered = childCovered;
            return CompositeUp(childCovered, target, childAlpha, GetChildIndex(child) - 1);
        }
    }
    if (!m_fOpaqueBlit) {
        return eNoError;
    }
    if (error e = DoRenderArea(total, target, 255)) {
        return e;
    }
    if (error e = RenderEffectsB(total, target, childAlpha)) {
        return e;
    }
    if (error e = CompositeUp(total, target, childAlpha, m_aChildren.GetSize() - 1)) {
        return e;
    }
    covered = total;
    return eNoError;
}

error CWidget::CompositeUp(const gCRect& area, CImage* target, uint32_t alpha, int32_t last) {
    if (!target) {
        return eBadParameter;
    }
    alpha = ClampAlpha(alpha);
    for (int32_t i = last; i >= 0; --i) {
        if (i >= m_aChildren.GetSize()) {
            continue;
        }
        if (error e = m_aChildren[i]->PassRenderAreaTransparent(area, target, alpha)) {
            return e;
        }
    }
    return RenderEffectsO(area, target, alpha);
}

error CWidget::PassPreRenderNotification(const gCRect& area, CImage* target, uint32_t alpha) {
    return LayeredPass(ELayeredPass::ePreRender, area, target, alpha);
}

// ---------------------------------------------------------------------------
// The widget's own drawing: a registered render procedure, or the class's
// RenderArea.

error CWidget::RenderArea(const gCRect&, CImage*, uint32_t) {
    return eNoError;
}

error CWidget::PreRenderNotification(const gCRect&, CImage*, uint32_t) {
    return eNoError;
}

error CWidget::DoRenderArea(const gCRect& local, CImage* target, uint32_t alpha) {
    if (RenderProc proc = CallbackOf<RenderProc>(eRenderEntry)) {
        return proc(UserOf(eRenderEntry), this, local, target, alpha);
    }
    return RenderArea(local, target, alpha);
}

int32_t CWidget::OpaquePixel(gCPoint&) {
    return m_nOpaqueThreshold != 0 ? 1 : 0;
}

error CWidget::GetAlpha(CImage8*) {
    return eNoError;
}
