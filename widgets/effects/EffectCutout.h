#pragma once
// Makes the owner look pressed into the surface: an inner shadow that
// darkens the inside of the widget along the edges facing away from the
// light. The widget's shape (its rectangle, or its image's alpha) is
// blurred by the radius and shifted by the offset; the darkening is the
// shape minus the shifted, blurred shape, kept run-length compressed (the
// cut-out cache) and drawn within the widget's own rectangle.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "imaging/Pixel.h"
#include "imaging/RLE8.h"
#include "widgets/WidgetEffectBase.h"

inline constexpr uint32_t kCutoutEffectTypeID = FourCC("ctfx");

class CWidgetEffectCutout : public CWidgetEffectBase {
public:
    static constexpr float kDefaultRadius = 1.0f;

    CWidgetEffectCutout() = default;
    ~CWidgetEffectCutout() override;

    uint32_t TypeID() const override { return kCutoutEffectTypeID; }

    // Blends the colour by the cached strength, at (alpha + 1) / 256.
    // 5 when the target cannot be locked.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;
    // The rectangular shape at the owner's size, then RegenShadow. A zero
    // or negative size changes nothing; a margin that makes the work image
    // too large gives 5 and changes nothing; any other failure (5) leaves
    // the extent empty and nothing kept.
    error WidgetChanged() override;
    // The shape from the image's alpha (within the image's own bounds, the
    // rest of the widget transparent); a null image or an opaque-blit owner
    // gives WidgetChanged().
    error WidgetChanged(CImage* ownerImage) override;

    // Stores the offset and rebuilds the cache, then invalidates the owner.
    error ShadowOffset(const gCPoint& offset, int32_t redraw);
    // Rebuilds the cut-out cache from the shape; 0 without a shape.
    error RegenShadow();

    // Each stores its value and has the owner bring the effect up to date
    // (the colour only redraws). Without an owner they only store.
    error SetColour(CPixel colour, int32_t redraw);
    error SetRadius(float radius, int32_t redraw);

    CPixel Colour() const { return m_Colour; }
    float Radius() const { return m_rRadius; }
    const gCPoint& Offset() const { return m_Offset; }
    int64_t Margin() const;
    const CRLE8* CutoutCache() const { return m_pCache.get(); }
    const CRLE8* Shape() const { return m_pShape.get(); }

private:
    // Checks the owner's size and the work image's; sets the extent.
    // true to go on, false to stop with result (0, or 5 for a work image
    // too large).
    bool Begin(error& result);
    error Fail(error e);

    std::unique_ptr<CRLE8> m_pCache;
    std::unique_ptr<CRLE8> m_pShape;
    CPixel m_Colour = 0xFF000000u;
    float m_rRadius = kDefaultRadius;
    gCPoint m_Offset{1, 1};
};
