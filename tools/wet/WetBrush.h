#pragma once
// The wet-paint model that oil paint and the palette knife share: a flat
// blade of 100 bristles laid across the stroke. Each bristle carries its own
// colour and paint; along the front of every piece the blade picks up the
// wet paint under it, mixes it with what it carries and lays the mixture
// into the four-sided piece it swept. Paint depth lives in L1's low half and
// is mirrored into L2; hard pressure presses the grain in L1's high half
// toward its reference copy in L3's low half.
//
// The two tools differ in their profiles, width, pick-up (SetColour),
// smoothing across the blade (AveragePaint), how the segment renderer reads
// empty bristles and fades the ends, and the size of a single dab. Those
// per-bristle steps are the tools' own; the per-pixel differences are
// selected by the kind given at construction.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/Pixel.h"
#include "tools/PaintingTool.h"
#include "tools/PieceScanner.h"

class CWetBrushTool : public CBrushTool {
public:
    static constexpr int32_t kMaxDepth = 9999;

    // Paints the piece of stroke that ends at p (the first call of a stroke
    // only records the cross-section). eOutOfMemory when the canvas or a layer is
    // missing.
    error RenderDab(pointStruct p, gCRect& rect, CCanvas* canvas) override;
    // One isolated dab at p: lays paint, picks nothing up, and changes each
    // pixel at most once a stroke (the mark in L3's high half). eOutOfMemory as above.
    error Dab(pointStruct p, gCRect& rect, CCanvas* canvas) override;
    // The quadrilateral between cross-sections a0-b0 and a1-b1; cap 0
    // ordinary, 1 fading out towards a1-b1, 2 fading in from a0-b0.
    error RenderSegment(gCRPoint a0, gCRPoint b0, gCRPoint a1, gCRPoint b1, int32_t cap) {
        return Segment(a0, b0, a1, b1, cap);
    }
    // The tool's exchange of paint between bristle i and a canvas pixel of
    // the colour and depth; the fourth argument is not used.
    virtual error SetColour(int32_t i, uint32_t colour, uint32_t depth, uint32_t = 0) = 0;
    // The tool's smoothing of colour and reservoir across the blade.
    virtual error AveragePaint() = 0;

    // The blade as it is now and as it was when the current piece began;
    // paint words carry the reservoir in the high half, the load in the low.
    const CPixel* StartColours() const { return m_aStartColours; }
    const uint32_t* BristlePaint() const { return m_aPaint; }
    const uint32_t* StartPaint() const { return m_aStartPaint; }
    const float* PickUpProfile() const { return m_aPickUp; }
    const float* DepositProfile() const { return m_aDeposit; }
    float SmoothedWidth() const { return m_rSmoothedWidth; }

protected:
    enum class EKind { eOil, eKnife };

    explicit CWetBrushTool(EKind kind) : m_eKind(kind) {}

    // Half the blade's length in pixels at pressure response P; pr is the
    // pressure floored at 0.
    virtual float BrushWidth(float P, int32_t pr) = 0;
    // The dab's half-size D and the bristle line's reach on either side for
    // deposit 1 (scaled by each bristle's deposit).
    virtual int32_t DabSize(int32_t pr) = 0;
    virtual int32_t DabReach(int32_t H) = 0;

    // The piece between cross-sections a0-b0 and a1-b1; cap 0 ordinary, 1
    // fading out towards a1-b1, 2 fading in from a0-b0.
    error Segment(gCRPoint a0, gCRPoint b0, gCRPoint a1, gCRPoint b1, int32_t cap);

    // The part of SetColour both tools share, for bristle i (in range) and
    // a pixel of the colour and depth once the tool has chosen the alpha ap
    // it takes of the colour: the paint the bristle holds meets the depth,
    // and of the part m it may give it lays round(m x lay0 x lay1), the rest
    // going back to its reservoir. Its colour moves toward the pixel's where
    // the pixel carries paint, and with bare also where the pixel has none
    // but ap is above 0.
    void ExchangePaint(int32_t i, uint32_t colour, uint32_t depth, int32_t ap, float lay0,
                       float lay1, bool bare);

    // Every bristle's colour and reservoir as they are now, for a smoothing
    // that reads the neighbours of the bristles it rewrites.
    struct SBladeState {
        uint32_t colours[kBrushSlots];
        int32_t reservoirs[kBrushSlots];
    };
    SBladeState BladeState() const;

    // The profiles of a stroke start: pick-up falling from 0.9 - 0.1 lin at
    // the edges towards 0.05 at rateA, deposit rising from 0 to 1 at rateB
    // (for stepsB steps), both symmetric.
    void BuildProfiles(float rateA, int32_t stepsB, float rateB);

    // The layers through SetSources, when the canvas's views agree with them.
    bool LayersReady(CCanvas* canvas) const;

    EKind m_eKind;
    CPixel m_aStartColours[kBrushSlots] = {};
    uint32_t m_aPaint[kBrushSlots] = {};
    uint32_t m_aStartPaint[kBrushSlots] = {};
    float m_aPickUp[kBrushSlots] = {};
    float m_aDeposit[kBrushSlots] = {};

private:
    // The canvas box of points, each bound rounded, grown by 2 and clamped
    // (inclusive).
    gCRect ClampedBox(const gCRPoint* points, int32_t count) const;
    // A clamped box grown by 1, right and bottom exclusive.
    static gCRect Grown(const gCRect& box) {
        return gCRect(box.left - 1, box.top - 1, box.right + 1, box.bottom + 1);
    }
    // Advances the noise position after a piece.
    void AdvanceNoise();

    // The second pass of Dab: the paint bristle b lays at g along its line
    // into pixel (x, y), over a grain ranging lowest..highest.
    void LayDabSample(int32_t b, float g, int32_t x, int32_t y, int32_t lowest, int32_t highest);

    // The steps of Segment.
    struct SBlade;
    // The grain's lowest and highest over a piece's box; 0 and 1 when the
    // box is one column wide or its grain flat.
    struct SGrainRange {
        int32_t lowest = 0;
        int32_t highest = 1;
        int32_t Range() const { return std::max(highest - lowest, 1); }
        bool Grained() const { return lowest != 0 && highest != 0; }
    };
    // Pick-up along the front edge a1-b1, a run of bristles per step.
    error PickUpAlongFront(gCRPoint a1, gCRPoint b1);
    SGrainRange GrainRange(const CPieceScanner& scanner, gCRPoint a0, gCRPoint b0, gCRPoint a1,
                           gCRPoint b1) const;
    // The blade under a pixel at (u, v) of the piece: between two bristles
    // for a broad brush, averaged over a window of bristles (at the
    // half-pixel point) for a narrow one.
    SBlade BladeBetweenBristles(float u, float v) const;
    // The narrow blade in two steps: the window's means depend only on its
    // centre bristle (of uMid) within a piece, so Segment works them out
    // once per centre, then the blade at vMid from them.
    struct SWindowMean;
    static int32_t WindowCentre(float uMid);
    SWindowMean MeanOverWindow(int32_t centre, int32_t window) const;
    static SBlade BladeOfMean(const SWindowMean& mean, float vMid);
    // The fade of a capped piece (cap 1 fading out, 2 fading in) on a
    // pixel's alpha and paint amount.
    void FadeCap(const CPieceScanner::SPixel& px, int32_t cap, int32_t& alpha,
                 int32_t& amount) const;
    // Lays the blade's paint into the pixel at word at of the layers; edge
    // scales the paint laid at the piece's side edges.
    void LayPixel(size_t at, const SBlade& b, int32_t alpha, int32_t amount, float edge,
                  const SGrainRange& range);
};
