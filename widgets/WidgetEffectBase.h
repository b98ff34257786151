#pragma once
// A piece of drawing that belongs to one widget and is painted by that
// widget's render pass at a fixed depth: under the widget's own pixels,
// between them and its children, or over its children (the priority, 0, 1
// or 2, records which). Shadows, glows, cut-outs, borders, textures and
// gradients derive from it.
//
// The widget that holds the effect in one of its nine places owns it: it
// sets the owner and priority when the effect is added, calls WidgetChanged
// whenever the effect or the widget changes, draws it during its passes and
// deletes it when the place is emptied or replaced. An effect never moves
// to another place or widget.
//
// Everything an effect draws lies in its extent, a rectangle in the owner's
// local coordinates (0, 0 is the owner's top-left corner) that WidgetChanged
// sets; it may reach outside the owner's rect (a shadow) or lie inside it
// (a border). Exclusions are rectangles, also in the owner's local
// coordinates, where the effect must not draw.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCBaseObject.h"
#include "imaging/CRegion.h"

class CImage;
class CWidget;

inline constexpr uint32_t kWidgetEffectTypeID = FourCC("wgfx");

class CWidgetEffectBase : public gCBaseObject {
public:
    CWidgetEffectBase() = default;
    // Does not detach the effect from its owner: the owner deletes it.
    ~CWidgetEffectBase() override = default;
    CWidgetEffectBase(const CWidgetEffectBase&) = delete;
    CWidgetEffectBase& operator=(const CWidgetEffectBase&) = delete;

    virtual uint32_t TypeID() const { return kWidgetEffectTypeID; }

    // Draws the part of the effect inside area (owner-local, within the
    // extent) into the target, whose origin the pass has placed so that
    // owner-local coordinates address it. alpha is 0..255.
    virtual error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) = 0;
    // What is about to be drawn; nothing here.
    virtual error PreRenderNotification(const gCRect& area, CImage* target, uint32_t alpha);
    // The owner's size or the effect's parameters changed: recompute the
    // extent and every cache from the owner's width and height.
    virtual error WidgetChanged() = 0;
    // The same for an owner that draws an image, after whose alpha the
    // effect may shape itself.
    virtual error WidgetChanged(CImage* ownerImage) = 0;
    // Widget moved changed its area rect (in the coordinates of the widget
    // whose subtree passes it on); nothing here.
    virtual error EffectParentMoved(CWidget* moved, gCRect& rect);

    virtual void SetPriority(uint32_t priority) { m_nPriority = priority; }
    virtual uint32_t Priority() const { return m_nPriority; }
    // Both store the opacity as given and invalidate the owner's total rect;
    // the render passes clamp it to 0..255. A subclass that overrides one
    // form brings the others back with a using-declaration.
    virtual error SetOpacity(int32_t opacity, int32_t redraw);
    virtual error Opacity(int32_t opacity, int32_t redraw);
    virtual int32_t Opacity() const { return m_nOpacity; }

    // Add or remove an exclusion (owner-local) and invalidate what of it
    // lies in the owner's total rect; with redraw the owner redraws. The
    // region's error (5) or the invalidation's is returned.
    error AddExclusion(const gCRect& rect, int32_t redraw);
    error RemoveExclusion(const gCRect& rect, int32_t redraw);
    // Empties the exclusions and invalidates the owner's total rect.
    error ResetExclusion(int32_t redraw);

    CWidget* Owner() const { return m_pOwner; }
    const gCRect& Extent() const { return m_rExtent; }
    const CRegion& Exclusions() const { return m_Exclusions; }

protected:
    CWidget* m_pOwner = nullptr; // not owned
    gCRect m_rExtent;
    int32_t m_nOpacity = 255;
    CRegion m_Exclusions;
    uint32_t m_nPriority = 0;

private:
    friend class CWidget; // sets the owner when it takes the effect

    // Invalidates the part of an exclusion that lies in the owner's total
    // rect, then redraws when asked.
    error InvalidateExclusion(const gCRect& rect, int32_t redraw);
};
