#pragma once
// Lays a picture of the owner's size over the owner's pixels by one of the
// seven mix modes, weighted by the render alpha. The picture is a copy of
// the owner's own image, taken when the owner hands it over: the effect
// blends the widget's picture onto itself by its mode.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "imaging/Image.h"
#include "widgets/WidgetEffectBase.h"

inline constexpr uint32_t kTextureEffectTypeID = FourCC("txtr");

class CWidgetEffectTexture : public CWidgetEffectBase {
public:
    CWidgetEffectTexture() = default;
    ~CWidgetEffectTexture() override;

    uint32_t TypeID() const override { return kTextureEffectTypeID; }

    // Mixes the texture over the target: each texture pixel's alpha weighted
    // by (alpha + 1) / 256, then CPixelMix::MixPixel by the blend mode.
    // Nothing at alpha 0 or without a texture; 5 when the target cannot be
    // locked.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;
    // Drops the texture; the extent is the owner's rectangle.
    error WidgetChanged() override;
    // Takes a copy of the image as the texture, at the owner's size (pixels
    // the image does not have are transparent). A null image or an
    // opaque-blit owner gives WidgetChanged(); a zero or negative size
    // changes nothing. 5 when the texture cannot be made; SetSize's error.
    error WidgetChanged(CImage* ownerImage) override;

    // 0-6 as CPixelMix::EMixMode; any other leaves the pixels. Redraws the
    // owner.
    error SetBlendMode(int32_t mode, int32_t redraw);
    int32_t BlendMode() const { return m_nBlendMode; }
    const CImage* Texture() const { return m_pTexture.get(); }

private:
    std::unique_ptr<CImage> m_pTexture;
    int32_t m_nBlendMode = 1; // Multiply
};
