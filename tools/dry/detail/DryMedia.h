#pragma once
// Chalk and crayon: one code path. They lay colour into L0 only, and the
// paper grain decides where it sticks. They differ only in how much of the
// canvas colour their brush picks up (the pick-up factor of SetColour).
//
// The brush carries 100 slots across its width. Every stroke starts with a
// fresh brush of the current colour; each piece first copies the load (the
// snapshot), lets the slots pick up along its front edge and refill toward
// the stroke colour, then paints from snapshot to load along the piece.

#include <cstdint>

#include "tools/PaintingTool.h"
#include "tools/dry/detail/DryTool.h"

class CDryMedia : public TDryTool<CDryMedia, CBrushTool> {
public:
    explicit CDryMedia(float pickUp) : m_rPickUp(pickUp) {}

    // Starts a stroke at pt: previous edge on the point, profile filled, the
    // stroke colour taken from the backbone and the brush emptied and
    // refilled with it. The flag is not used.
    error SetFirstPt(pointStruct pt, int32_t) override;
    // One circular dab at pt for a stroke too short to draw as a line;
    // eOutOfMemory when a layer cannot be locked.
    error Dab(pointStruct pt, gCRect& rect, CCanvas* canvas) override;

    // One piece from the edge (p1 left, p2 right) to (p3 left, p4 right);
    // mode 0 plain, 1 the cap at a sharp turn, 2 the piece after it.
    // Nothing without layers. Always 0.
    error RenderSegment(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t mode);
    // Slot (already flipped by the caller) picks up the canvas colour in
    // proportion to the pick-up factor and the pressure response, then
    // refills toward the stroke colour. eBadParameter for a slot outside 0..99.
    error SetColour(int32_t slot, uint32_t colour, uint32_t, uint32_t);

    float PickUp() const { return m_rPickUp; }
    CPixel StrokeColour() const { return m_StrokeColour; }
    const CPixel* Snapshot() const { return m_aSnapshot; }

private:
    // Steps 3 and 4 of a piece: snapshot, then pick-up along the front edge.
    void LoadPiece(gCRPoint p3, gCRPoint p4);
    // SetColour's parts: what a slot picks up of the colour, the pressure's
    // share of the refill (both fixed for a piece's pixel and pressure), and
    // the slot's pick-up and refill with them.
    int32_t PickLevel(uint32_t colour) const;
    float FillWeight() const;
    void LoadSlot(int32_t slot, uint32_t colour, int32_t pick, float fillWeight);

    CPixel m_aSnapshot[kSlots] = {};
    CPixel m_StrokeColour;
    float m_rPickUp = 0.0f;
};
