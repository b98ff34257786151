#pragma once
// A shadow of a whole widget sub-tree, the owner's layer, instead of one
// widget. What it does depends on the place that holds it (its priority):
//
//   - Under (0): one soft shadow of every shadow-casting widget of the
//     sub-tree. Their alpha is gathered by maximum into a full-resolution
//     8-bit matte (the raw matte, owner pixel (x, y) at (x + m, y + m)),
//     reduced by the step s = speed + 1, blurred once and kept (the
//     blurred matte); drawing upsamples it bilinearly under the owner,
//     moved by the offset. Only the parts of the layer reported changed
//     (the change region) are gathered and blurred again.
//   - Between (1): the container alpha. Before each render the raw matte
//     (owner-local, unshifted) is filled with the alpha of the sub-tree's
//     shadow-casting widgets (added, or cut out when include children is
//     0) and every shadow met is tagged with the render cycle; shadows
//     naming the owner's id then draw onto the owner through that matte.
//     The effect draws nothing itself.
//   - Over (2): the same container alpha, then the shadows that widgets in
//     front of the owner aim at the owner's id, drawn over the owner and
//     its children, clipped to that alpha.
//
// A widget casts into the mattes through its shadow's ParentAlpha (see
// CWidgetEffectShadow). The layer shadow keeps ids and rectangles only,
// never pointers to the widgets it gathered from, so widgets may leave the
// tree between redraws. Integer divisions truncate toward zero.

#include <cstdint>
#include <memory>

#include "imaging/CRegion.h"
#include "imaging/Image8.h"
#include "widgets/effects/EffectShadow.h"

class CImage;
class CWidget;

inline constexpr uint32_t kLayerShadowEffectTypeID = FourCC("lsfx");

class CWidgetEffectLayerShadow : public CWidgetEffectShadow {
public:
    static constexpr int32_t kMaxSpeed = 10;

    CWidgetEffectLayerShadow();
    ~CWidgetEffectLayerShadow() override;

    uint32_t TypeID() const override { return kLayerShadowEffectTypeID; }

    // Under: the shadow's drawing, through DoShadowRender below. Between:
    // nothing. Over: the shadows aimed at the owner from in front of it.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;
    // Under: rebuilds the changed parts of the mattes. Between and over:
    // refills the container alpha over area.
    error PreRenderNotification(const gCRect& area, CImage* target, uint32_t alpha) override;
    // Sizes the extent and both mattes from the owner's size and marks the
    // whole extent changed. A zero or negative size changes nothing; a
    // matte side above 32767, or no memory, gives 5 and leaves the state.
    error WidgetChanged() override;
    // As WidgetChanged(); the image is not used.
    error WidgetChanged(CImage* ownerImage) override;
    // The shadow from the blurred matte, upsampled bilinearly in 8.8 fixed
    // point, through the mask when it has pixels.
    error DoShadowRender(const gCRect& area, CImage* target, uint32_t alpha,
                         CImage8* mask) override;

    // The raw matte (may be null).
    virtual CImage8* ContainerAlpha() { return m_pRawMatte.get(); }
    // r (owner-local) grown by the margin joins the change region, and the
    // owner passes the changed coverage on. 5 when the region cannot grow.
    virtual error AddChangeRect(const gCRect& r);
    virtual int32_t Speed() const { return m_nSpeed; }
    // Stores n clamped to 0..10 and rebuilds; when the rebuild fails the
    // speed stays as it was.
    virtual error SetSpeed(int32_t n);
    // dst := max(dst, raw matte) over r (backdrop coordinates); dst's
    // pixel (0, 0) stands for r's top-left corner.
    virtual error MaskAlpha(CImage8& dst, const gCRect& r);
    // 1 adds the sub-tree's alpha to the container alpha, 0 cuts it out.
    virtual error SetIncludeChildren(int32_t include, int32_t redraw);
    int32_t IncludeChildren() const { return m_fIncludeChildren; }

    // The three walks; r is in w's parent's coordinates, the matte's (and
    // image's) origin places that parent's coordinates, and is restored on
    // every return.
    // Gathers by maximum the alpha of w's shadow-casting sub-tree.
    virtual error TraverseChildren(CWidget* w, const gCRect& r, CImage8* matte, uint32_t alpha);
    // Fills the container alpha and tags every shadow met.
    virtual error AlphaMattChildren(CWidget* w, const gCRect& r, CImage8* matte, uint32_t alpha);
    // Draws the shadows aimed at stop's id, front to back until stop: 2
    // when stop was reached.
    virtual error AlphaMattFromAbove(CWidget* w, const gCRect& r, CImage* image, CImage8* matte,
                                     uint32_t alpha, CWidget* stop);

    const CImage8* BlurredMatte() const { return m_pBlurredMatte.get(); }
    const CRegion& ChangeRegion() const { return m_ChangeRegion; }

    // The number of live layer shadows.
    static inline int32_t m_nRefCount = 0;

protected:
    int32_t Step() const { return m_nSpeed + 1; }
    // The under position's rebuild of the changed parts.
    error RebuildChanged(uint32_t alpha);
    // Reduces and blurs F (raw-matte coordinates) into the blurred matte
    // over the reduced rect.
    error ReduceAndBlur(const gCRect& reduced, const gCRect& full);
    // The between and over positions' container alpha over area.
    error FillContainerAlpha(const gCRect& area, uint32_t alpha);
    error RenderFromAbove(const gCRect& area, CImage* target);

    std::unique_ptr<CImage8> m_pRawMatte;
    std::unique_ptr<CImage8> m_pBlurredMatte;
    CRegion m_ChangeRegion;
    int32_t m_nSpeed = 0;
    int32_t m_fIncludeChildren = 1;
};
