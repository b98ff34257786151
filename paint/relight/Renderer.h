#pragma once
// A renderer lights the canvas's paint layers into a picture: the base of
// every renderer and its directional light.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/Pixel.h"

class CCanvas;
class CImage;

// One directional light: vectors are unit vectors × 4096, the exponent is
// n × 4096.
struct CLight {
    CPixel m_Colour;              // RGB: colour; A: diffuse intensity
    int32_t m_fOff = 0;           // skipped
    int32_t m_fNegative = 0;      // subtracts
    int32_t m_nHighlightMode = 0; // 0 soft, else sharpened
    int32_t m_aHalfVector[3] = {0, 0, 0};
    int32_t m_aDirection[3] = {0, 0, 0};
    int32_t m_nExponent = 0;
    int32_t m_nStrength = 0; // highlight strength 0..255
};

class CRenderer : public gCCmdTarget {
public:
    // The renderer id the backbone made it for.
    explicit CRenderer(int32_t id = 0) : m_nRendererId(id) {}
    ~CRenderer() override = default;
    CRenderer(const CRenderer&) = delete;
    CRenderer& operator=(const CRenderer&) = delete;

    int32_t RendererId() const { return m_nRendererId; }

    virtual error SetupRenderer() = 0;
    // Lights the canvas into target: every pixel (whole non-zero) or the
    // canvas's invalid spans.
    virtual error Render(CImage* target, CCanvas& canvas, int32_t whole) = 0;

private:
    int32_t m_nRendererId;
};
