#pragma once
// A soft drop shadow of the owner widget: a blurred silhouette in one
// colour, moved by an offset, usually in the owner's under places so that
// the widget is drawn over it.
//
// A widget that draws an image with see-through pixels casts a shadow
// shaped by the image's alpha: the alpha is blurred once per change and
// kept run-length compressed (the shadow cache). Any other widget casts a
// rectangular shadow whose soft edges come from two fall-off tables, one
// factor per column and per row of the unmoved extent, so that drawing
// never allocates: each pixel's strength is the product of two entries.
//
// The extent is the widget's rectangle grown by the margin
// e = trunc(radius x 2.2) on every side and moved by the offset; with
// clip-to-widget it is cut to the widget's own rectangle. With outside-only
// the shadow is left out where the widget itself stands.
//
// Layer shadows (CWidgetEffectLayerShadow) gather shadows into one: a
// shadow with the parent-layer flag casts into the layer shadows above its
// owner instead of drawing itself, and a shadow naming destination
// containers draws onto those containers' layer shadow mattes, in the
// render cycle in which they tagged it. Both kinds keep the owner's alpha,
// run-length compressed, for the layer shadows to read (ParentAlpha).

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "foundation/CMemBlock.h"
#include "foundation/gCArray.h"
#include "imaging/Pixel.h"
#include "imaging/RLE8.h"
#include "widgets/WidgetEffectBase.h"

class CImage8;
class CImNav;
class CImNav8;

inline constexpr uint32_t kShadowEffectTypeID = FourCC("shfx");

class CWidgetEffectShadow : public CWidgetEffectBase {
public:
    static constexpr float kDefaultRadius = 7.0f;

    CWidgetEffectShadow();
    ~CWidgetEffectShadow() override;

    uint32_t TypeID() const override { return kShadowEffectTypeID; }

    // Nothing at alpha 0; otherwise DoShadowRender without a mask.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;
    // The rectangular shadow: extent and fall-off tables from the owner's
    // size; the shaped cache is dropped. A zero or negative size changes
    // nothing. 5 when a table cannot be made, or when the extent would be
    // wider or taller than a work image may be (then nothing changes);
    // after any other failure the extent is empty and nothing is kept, so
    // nothing is drawn until the next success.
    error WidgetChanged() override;
    // The shaped shadow, cast by the image's alpha (read within the image's
    // own bounds, the rest of the widget transparent). A null image or an
    // opaque-blit owner gives the rectangular shadow.
    error WidgetChanged(CImage* ownerImage) override;

    // Draws the part of the shadow in area (owner-local) at alpha 0..255,
    // from the tables or the cache; a mask with pixels, an 8-bit matte
    // whose origin places it in owner-local coordinates, limits it.
    // 5 when the target cannot be locked.
    virtual error DoShadowRender(const gCRect& area, CImage* target, uint32_t alpha,
                                 CImage8* mask);
    // Fills the fall-off tables for an unmoved extent of width x height: a
    // Gaussian edge (standard deviation: the radius) cut off after 3.5
    // radii at both ends of each, 1.0 between. A zero or negative side
    // leaves the tables; 5 when they cannot be sized.
    virtual error RebuildLUT(int32_t width, int32_t height);

    // --- Layer hooks.
    // Casts the shadow into the enclosing layer shadows instead of drawing
    // it; the owner brings the effect up to date.
    error SetParentLayer(int32_t on, int32_t redraw);
    int32_t ParentLayer() const { return m_fParentLayer; }
    // Appends a container id (5 when the list cannot grow), or removes
    // every entry equal to it; both invalidate the owner's total rect.
    virtual error AddDestContainerID(uint32_t id, int32_t redraw);
    virtual error RemoveDestContainerID(uint32_t id, int32_t redraw);
    virtual int32_t DestContainerCount() const;
    // Entry index, or 0 outside 0..count-1.
    virtual uint32_t DestContainerID(int32_t index) const;
    // The render cycle in which a layer shadow last met this shadow.
    virtual void SetInDestHierarchyPendingCycle(uint32_t cycle);
    uint32_t PendingCycle() const { return m_nPendingCycle; }
    // The owner's alpha for the layer shadows: null unless the shadow casts
    // into layers (flag or ids); then the kept one, or, the first time, one
    // made from the owner's GetAlpha (null without an owner or memory).
    CRLE8* ParentAlpha();
    // A moved or changed owner hands the touched rect (in its parent's
    // coordinates) to every layer shadow above it, in that shadow's
    // owner's coordinates; only while layer shadows live and the flag is
    // set.
    error EffectParentMoved(CWidget* moved, gCRect& rect) override;

    // Moves the extent to the new offset and invalidates the owner; the
    // tables and cache stay as they are.
    error ShadowOffset(const gCPoint& offset, int32_t redraw);

    // Each stores its value and has the owner bring the effect up to date
    // (the colour only redraws: nothing cached depends on it). Without an
    // owner they only store.
    error SetColour(CPixel colour, int32_t redraw);
    error SetRadius(float radius, int32_t redraw);
    error SetClipToWidget(int32_t clip, int32_t redraw);
    error SetOutsideOnly(int32_t outside, int32_t redraw);

    CPixel Colour() const { return m_Colour; }
    float Radius() const { return m_rRadius; }
    const gCPoint& Offset() const { return m_Offset; }
    int32_t ClipToWidget() const { return m_fClipToWidget; }
    int32_t OutsideOnly() const { return m_fOutsideOnly; }
    // The margin of the current radius (a radius the effect cannot use
    // counts as described for UsableRadius).
    int64_t Margin() const;
    const CMemBlockT<float>& XTable() const { return m_XTable; }
    const CMemBlockT<float>& YTable() const { return m_YTable; }
    const CRLE8* ShadowCache() const { return m_pShadowCache.get(); }

protected:
    // The radius as drawing uses it.
    float UsableRadius() const;
    // The owner's size, or false when there is no owner or the size is zero
    // or negative.
    bool OwnerSize(int64_t& width, int64_t& height) const;
    // The extent for the unmoved rectangle (-e, -e, w + e, h + e) of the
    // last success, moved by the offset and clipped when asked.
    void PlaceExtent();
    // Forgets everything drawn from: empty extent, no cache, no tables.
    error Fail(error e);
    // A mask without pixels is dropped (null); with pixels, r is cut to
    // the mask's rect. False when nothing of r is left.
    static bool ClipToMask(gCRect& r, CImage8*& mask);
    // Whether the shadow casts into layer shadows: the flag or an id.
    bool CastsIntoLayers() const { return m_fParentLayer || m_aDestIDs.GetSize() > 0; }
    // The parent-alpha upkeep of a rebuild: for a shadow that casts into
    // layers, the kept alpha becomes view's bytes (channel as for
    // CRLE8::CreateFromImage16, or the 8-bit view) and the layers hear of
    // the owner's rect; otherwise the kept alpha goes. 5 without memory.
    error KeepParentAlpha(CImNav* view16, CImNav8* view8);
    // With destination ids: draws through the mattes of the containers'
    // between-place layer shadows, in the cycle that tagged the shadow.
    error RenderIntoContainers(const gCRect& area, CImage* target, uint32_t alpha);

    // Draws the part of r (owner-local, inside the mask's rectangle when
    // there is a mask) that lies on the target, from the cache when there
    // is one (outsideForm: the outside-only level with a mask), else from
    // the tables. 5 when a view cannot be made.
    error DrawPiece(const gCRect& r, CImage& target, uint32_t alpha, CImage8* mask,
                    bool outsideForm);

    std::unique_ptr<CRLE8> m_pShadowCache;
    CPixel m_Colour = 0xFF000000u;
    float m_rRadius = kDefaultRadius;
    gCPoint m_Offset{8, 8};
    int32_t m_fClipToWidget = 0;
    int32_t m_fOutsideOnly = 0;
    CMemBlockT<float> m_XTable;
    CMemBlockT<float> m_YTable;
    // The default a subclass gives the radius, used for a non-finite one.
    float m_rDefaultRadius = kDefaultRadius;
    // The owner's size and margin at the last success (0 before it).
    int64_t m_nWidth = 0;
    int64_t m_nHeight = 0;
    int64_t m_nMargin = 0;
    int32_t m_fParentLayer = 0;
    uint32_t m_nPendingCycle = 0xFFFFFFFFu;
    std::unique_ptr<CRLE8> m_pParentAlpha;
    gCArray<uint32_t> m_aDestIDs;
};
