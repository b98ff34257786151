// The layer shadow's walks over the widget tree: gathering the sub-tree's
// shadow-casting alpha by maximum (under position), the container alpha
// with its tagging of the shadows met (between and over), the shadows
// aimed at the owner from in front of it (over), and merging the matte
// into another. Every walk moves the matte's (and image's) origin by each
// widget's position and puts it back on every return.

#include <algorithm>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/Widget.h"
#include "widgets/detail/Alphas.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/OriginShift.h"
#include "widgets/detail/RootBackdrop.h"
#include "widgets/effects/EffectLayerShadow.h"

using effectdetail::OnTarget;
using effectdetail::PinnedRect;
using widgetdetail::COriginShift;
using widgetdetail::WidgetAlpha;

namespace {

gCRect Local(const gCRect& r, const CWidget& w) {
    const gCRect& place = w.Rect();
    return PinnedRect(int64_t(r.left) - place.left, int64_t(r.top) - place.top,
                      int64_t(r.right) - place.left, int64_t(r.bottom) - place.top);
}

// The shadow in under place i of w when it is one the layers read.
CWidgetEffectShadow* CastingShadow(const CWidget& w, int32_t i) {
    CWidgetEffectBase* effect = w.EffectUnder(i);
    if (!effect ||
        (effect->TypeID() != kShadowEffectTypeID && effect->TypeID() != kLayerShadowEffectTypeID)) {
        return nullptr;
    }
    return static_cast<CWidgetEffectShadow*>(effect);
}

// Merges the run-length alpha into the matte over q (w-local, the matte's
// origin placing w-local coordinates): merge(byte, t) with t = (a x v) >>
// 8. The alpha is read within its own size only. 5 when the matte cannot
// be locked.
template <class Merge>
error MergeAlpha(CImage8& matte, const gCRect& q, CRLE8& alpha, uint32_t a, Merge&& merge) {
    const gCRect r =
        OnTarget(q, matte).Intersected(gCRect(0, 0, alpha.GetWidth(), alpha.GetHeight()));
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav8 view(&matte, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* row = view.Row(y - r.top);
        alpha.StartRLE(r.left, y);
        for (int32_t x = 0; x < r.Width(); ++x) {
            const uint32_t t = (a * uint32_t(alpha.NextRLE())) >> 8;
            row[x] = merge(row[x], uint8_t(t));
        }
    }
    return eNoError;
}

} // namespace

error CWidgetEffectLayerShadow::TraverseChildren(CWidget* w, const gCRect& r, CImage8* matte,
                                                 uint32_t alpha) {
    if (!w || !matte || !w->Visible()) {
        return eNoError;
    }
    gCRect q = r.Intersected(w->Rect());
    if (q.IsEmpty()) {
        return eNoError;
    }
    COriginShift shift(matte, w->Rect().left, w->Rect().top);
    q = Local(q, *w);
    const uint32_t a = WidgetAlpha(alpha, w->Opacity());
    for (int32_t i = 0; i < 3; ++i) {
        CWidgetEffectShadow* shadow = CastingShadow(*w, i);
        CRLE8* parentAlpha = shadow ? shadow->ParentAlpha() : nullptr;
        if (!parentAlpha) {
            continue;
        }
        if (error e = MergeAlpha(*matte, q, *parentAlpha, a,
                                 [](uint8_t m, uint8_t t) { return std::max(m, t); })) {
            return e;
        }
    }
    if (w->OpaqueBlit()) {
        return eNoError;
    }
    const uint32_t childAlpha = w->PropagateOpacity() ? a : 255;
    for (int32_t i = 0; i < w->ChildCount(); ++i) {
        if (error e = TraverseChildren(w->Child(i), q, matte, childAlpha)) {
            return e;
        }
    }
    return eNoError;
}

error CWidgetEffectLayerShadow::FillContainerAlpha(const gCRect& area, uint32_t alpha) {
    m_pBlurredMatte.reset();
    if (!m_pRawMatte || !m_pOwner) {
        return eNoError;
    }
    const gCRect q =
        area.Intersected(gCRect(0, 0, m_pRawMatte->GetWidth(), m_pRawMatte->GetHeight()));
    if (q.IsEmpty()) {
        return eNoError;
    }
    {
        CImNav8 view(m_pRawMatte.get(), &q);
        if (!view.IsLocked()) {
            return eOutOfMemory;
        }
        view.Fill(0);
    }
    const gCRect& place = m_pOwner->Rect();
    m_pRawMatte->SetOrigin(gCPoint(-place.left, -place.top));
    const error e =
        AlphaMattChildren(m_pOwner,
                          PinnedRect(int64_t(q.left) + place.left, int64_t(q.top) + place.top,
                                     int64_t(q.right) + place.left, int64_t(q.bottom) + place.top),
                          m_pRawMatte.get(), alpha);
    m_pRawMatte->SetOrigin(gCPoint(0, 0));
    return e;
}

error CWidgetEffectLayerShadow::AlphaMattChildren(CWidget* w, const gCRect& r, CImage8* matte,
                                                  uint32_t alpha) {
    if (!w || !matte || !w->Visible() || r.Intersected(w->TotalRect()).IsEmpty()) {
        return eNoError;
    }
    COriginShift shift(matte, w->Rect().left, w->Rect().top);
    const uint32_t a = WidgetAlpha(alpha, w->Opacity());
    const gCRect q = Local(r.Intersected(w->Rect()), *w);
    const CBackdrop* root = widgetdetail::RootBackdrop(m_pOwner);
    const bool cut = !m_fIncludeChildren && w != m_pOwner;
    for (int32_t i = 0; i < 3; ++i) {
        CWidgetEffectShadow* shadow = CastingShadow(*w, i);
        if (!shadow) {
            continue;
        }
        if (root) {
            shadow->SetInDestHierarchyPendingCycle(root->RenderCycle());
        }
        if (q.IsEmpty()) {
            continue;
        }
        CRLE8* parentAlpha = shadow->ParentAlpha();
        if (!parentAlpha) {
            continue;
        }
        const error e =
            cut ? MergeAlpha(*matte, q, *parentAlpha, a,
                             [](uint8_t m, uint8_t t) { return std::min<uint8_t>(m, 255 - t); })
                : MergeAlpha(*matte, q, *parentAlpha, a,
                             [](uint8_t m, uint8_t t) { return std::max(m, t); });
        if (e != eNoError) {
            return e;
        }
    }
    if (w->OpaqueBlit() || q.IsEmpty()) {
        return eNoError;
    }
    const uint32_t childAlpha = w->PropagateOpacity() ? a : 255;
    for (int32_t i = w->ChildCount() - 1; i >= 0; --i) {
        if (error e = AlphaMattChildren(w->Child(i), q, matte, childAlpha)) {
            return e;
        }
    }
    return eNoError;
}

error CWidgetEffectLayerShadow::RenderFromAbove(const gCRect& area, CImage* target) {
    m_pBlurredMatte.reset();
    if (!m_pRawMatte || !m_pOwner || !target) {
        return eNoError;
    }
    const gCRect q =
        area.Intersected(gCRect(0, 0, m_pRawMatte->GetWidth(), m_pRawMatte->GetHeight()));
    if (q.IsEmpty()) {
        return eNoError;
    }
    gCPoint p(0, 0);
    m_pOwner->LocalToBackdrop(p);
    const gCPoint saved = target->GetOrigin();
    target->SetOrigin(gCPoint(0, 0));
    m_pRawMatte->SetOrigin(gCPoint(-p.x, -p.y));
    error e = AlphaMattFromAbove(widgetdetail::TreeRoot(m_pOwner),
                                 PinnedRect(int64_t(q.left) + p.x, int64_t(q.top) + p.y,
                                            int64_t(q.right) + p.x, int64_t(q.bottom) + p.y),
                                 target, m_pRawMatte.get(), 255, m_pOwner);
    target->SetOrigin(saved);
    m_pRawMatte->SetOrigin(gCPoint(0, 0));
    return e == eHandled ? eNoError : e;
}

error CWidgetEffectLayerShadow::AlphaMattFromAbove(CWidget* w, const gCRect& r, CImage* image,
                                                   CImage8* matte, uint32_t alpha, CWidget* stop) {
    if (!w || !image || !matte) {
        return eNoError;
    }
    if (w == stop) {
        return eHandled;
    }
    if (!w->Visible()) {
        return eNoError;
    }
    gCRect q = r.Intersected(w->TotalRect());
    if (q.IsEmpty()) {
        return eNoError;
    }
    COriginShift imageShift(image, w->Rect().left, w->Rect().top);
    COriginShift matteShift(matte, w->Rect().left, w->Rect().top);
    q = Local(q, *w);
    const uint32_t stopID = stop ? uint32_t(stop->GetResID()) : 0;
    for (int32_t i = 0; i < 3 && stop && Priority() == 2; ++i) {
        CWidgetEffectShadow* shadow = CastingShadow(*w, i);
        if (!shadow) {
            continue;
        }
        for (int32_t k = 0; k < shadow->DestContainerCount(); ++k) {
            if (shadow->DestContainerID(k) != stopID) {
                continue;
            }
            const gCRect d = q.Intersected(shadow->Extent());
            if (d.IsEmpty()) {
                continue;
            }
            if (error e = shadow->DoShadowRender(d, image, alpha, matte)) {
                return e;
            }
        }
    }
    const gCRect own = Local(r.Intersected(w->Rect()), *w);
    const uint32_t childAlpha = w->PropagateOpacity() ? WidgetAlpha(alpha, w->Opacity()) : 255;
    for (int32_t i = 0; i < w->ChildCount(); ++i) {
        if (error e = AlphaMattFromAbove(w->Child(i), own, image, matte, childAlpha, stop)) {
            return e;
        }
    }
    return eNoError;
}

error CWidgetEffectLayerShadow::MaskAlpha(CImage8& dst, const gCRect& r) {
    if (!m_pOwner || !m_pRawMatte) {
        return eNoError;
    }
    gCRect local = r;
    m_pOwner->BackdropToLocal(local);
    const int64_t m = m_nMargin;
    const gCRect moved = PinnedRect(int64_t(local.left) + m, int64_t(local.top) + m,
                                    int64_t(local.right) + m, int64_t(local.bottom) + m);
    gCRect c = moved.Intersected(gCRect(0, 0, m_pRawMatte->GetWidth(), m_pRawMatte->GetHeight()));
    // dst's pixel (0, 0) stands for moved's top-left corner.
    const gCRect onDst =
        OnTarget(PinnedRect(int64_t(c.left) - moved.left, int64_t(c.top) - moved.top,
                            int64_t(c.right) - moved.left, int64_t(c.bottom) - moved.top),
                 dst);
    if (c.IsEmpty() || onDst.IsEmpty()) {
        return eNoError;
    }
    c = PinnedRect(int64_t(onDst.left) + moved.left, int64_t(onDst.top) + moved.top,
                   int64_t(onDst.right) + moved.left, int64_t(onDst.bottom) + moved.top);
    CImNav8 from(m_pRawMatte.get(), &c);
    CImNav8 to(&dst, &onDst);
    if (!from.IsLocked() || !to.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < from.GetHeight(); ++y) {
        const uint8_t* src = from.Row(y);
        uint8_t* out = to.Row(y);
        for (int32_t x = 0; x < from.GetWidth(); ++x) {
            out[x] = std::max(out[x], src[x]);
        }
    }
    return eNoError;
}
