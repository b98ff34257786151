// The shadow's side of the layer shadows: the parent-layer flag, the
// destination containers, the owner's alpha kept for the layers, drawing
// through a container's matte and telling the layers what moved.

#include <new>

#include "imaging/ImNav.h"
#include "imaging/Image8.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/RectMath.h"
#include "widgets/detail/RootBackdrop.h"
#include "widgets/effects/EffectLayerShadow.h"
#include "widgets/effects/EffectShadow.h"

error CWidgetEffectShadow::SetParentLayer(int32_t on, int32_t redraw) {
    m_fParentLayer = on;
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}

error CWidgetEffectShadow::AddDestContainerID(uint32_t id, int32_t redraw) {
    if (m_aDestIDs.Add(id) != eNoError) {
        return eOutOfMemory;
    }
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectShadow::RemoveDestContainerID(uint32_t id, int32_t redraw) {
    for (int32_t i = m_aDestIDs.GetSize() - 1; i >= 0; --i) {
        if (m_aDestIDs[i] == id) {
            m_aDestIDs.RemoveAt(i);
        }
    }
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

int32_t CWidgetEffectShadow::DestContainerCount() const {
    return m_aDestIDs.GetSize();
}

uint32_t CWidgetEffectShadow::DestContainerID(int32_t index) const {
    return index >= 0 && index < m_aDestIDs.GetSize() ? m_aDestIDs[index] : 0;
}

void CWidgetEffectShadow::SetInDestHierarchyPendingCycle(uint32_t cycle) {
    m_nPendingCycle = cycle;
}

CRLE8* CWidgetEffectShadow::ParentAlpha() {
    if (!CastsIntoLayers() || m_pParentAlpha || !m_pOwner) {
        return m_pParentAlpha.get();
    }
    const int32_t w = m_pOwner->Width();
    const int32_t h = m_pOwner->Height();
    if (w <= 0 || h <= 0 || w > effectdetail::kMaxWorkSide || h > effectdetail::kMaxWorkSide) {
        return nullptr;
    }
    CImage8 alpha{w, h};
    if (!alpha.IsValid() || m_pOwner->GetAlpha(&alpha) != eNoError) {
        return nullptr;
    }
    std::unique_ptr<CRLE8> rle(new (std::nothrow) CRLE8());
    if (!rle || rle->CreateFromImage(&alpha) != eNoError) {
        return nullptr;
    }
    m_pParentAlpha = std::move(rle);
    return m_pParentAlpha.get();
}

error CWidgetEffectShadow::KeepParentAlpha(CImNav* view16, CImNav8* view8) {
    if (!CastsIntoLayers()) {
        m_pParentAlpha.reset();
        return eNoError;
    }
    if (!m_pParentAlpha) {
        m_pParentAlpha.reset(new (std::nothrow) CRLE8());
        if (!m_pParentAlpha) {
            return eOutOfMemory;
        }
    }
    const error made = view16 ? m_pParentAlpha->CreateFromImage16(*view16, 0)
                              : m_pParentAlpha->CreateFromImage(*view8);
    if (made != eNoError) {
        m_pParentAlpha.reset();
        return made;
    }
    gCRect rect = m_pOwner->Rect();
    return EffectParentMoved(m_pOwner, rect);
}

error CWidgetEffectShadow::RenderIntoContainers(const gCRect& area, CImage* target,
                                                uint32_t alpha) {
    const CBackdrop* root = widgetdetail::RootBackdrop(m_pOwner);
    if (!root || root->RenderCycle() != m_nPendingCycle) {
        return eNoError;
    }
    for (int32_t i = 0; i < m_aDestIDs.GetSize(); ++i) {
        CWidget* container = m_pOwner->FindInHierarchy(m_aDestIDs[i]);
        if (!container) {
            continue;
        }
        // The container's top-left corner in the owner's coordinates.
        gCPoint p(0, 0);
        container->LocalToBackdrop(p);
        m_pOwner->BackdropToLocal(p);
        for (int32_t place = 0; place < 3; ++place) {
            CWidgetEffectBase* effect = container->EffectBetween(place);
            if (!effect || effect->TypeID() != kLayerShadowEffectTypeID) {
                continue;
            }
            CImage8* matte = static_cast<CWidgetEffectLayerShadow*>(effect)->ContainerAlpha();
            if (!matte || !matte->IsValid()) {
                continue;
            }
            const gCPoint saved = matte->GetOrigin();
            matte->SetOrigin(gCPoint(widgetdetail::Saturated(-int64_t(p.x)),
                                     widgetdetail::Saturated(-int64_t(p.y))));
            const error e = DoShadowRender(area, target, alpha, matte);
            matte->SetOrigin(saved);
            if (e != eNoError) {
                return e;
            }
        }
    }
    return eNoError;
}

error CWidgetEffectShadow::EffectParentMoved(CWidget* moved, gCRect& rect) {
    if (CWidgetEffectLayerShadow::m_nRefCount < 1 || !m_pOwner || moved != m_pOwner ||
        !m_fParentLayer) {
        return eNoError;
    }
    CWidgetEffectBase* found = m_pOwner->FindFirstParentEffect(kLayerShadowEffectTypeID);
    while (found && found->Owner()) {
        auto* layer = static_cast<CWidgetEffectLayerShadow*>(found);
        CWidget* layerOwner = layer->Owner();
        gCRect r = widgetdetail::Shifted(rect, -m_pOwner->Rect().left, -m_pOwner->Rect().top);
        m_pOwner->LocalToBackdrop(r);
        layerOwner->BackdropToLocal(r);
        if (error e = layer->AddChangeRect(r)) {
            return e;
        }
        CWidget* above = layerOwner->Parent();
        found = above ? above->FindFirstParentEffect(kLayerShadowEffectTypeID) : nullptr;
    }
    return eNoError;
}
