#pragma once
// A halo of light round the owner widget. It has the shadow's geometry,
// parameters, fall-off tables, shaped cache and change handling, and
// differs only in how it puts its colour on the target: it adds the colour
// to the pixels, brightening towards white and spilling an overflowing
// channel into the others, and leaves every pixel it touches opaque.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "widgets/effects/EffectShadow.h"

inline constexpr uint32_t kGlowEffectTypeID = FourCC("glfx");

class CWidgetEffectGlow : public CWidgetEffectShadow {
public:
    static constexpr float kDefaultRadius = 10.0f;

    // Yellow, radius 10, no offset, opacity 100.
    CWidgetEffectGlow();
    ~CWidgetEffectGlow() override = default;

    uint32_t TypeID() const override { return kGlowEffectTypeID; }

    // Adds the glow at strength 2 x alpha + 2 times the table product (or
    // the cached value / 256); with outside-only and an owner, only outside
    // the widget's rectangle. 5 when the target cannot be locked.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;

    // Adds colour x its alpha x strength / 65536 to the target's red, green
    // and blue; a channel that overflows spills half its excess into the
    // other two. Nothing changes for strength 0 or less, a colour of alpha
    // 0 or a white target; any other result is opaque.
    static void Add(CPixel& target, CPixel colour, int32_t strength);

private:
    error GlowPiece(const gCRect& piece, CImage& target, uint32_t k);
};
