// The gamma tables every renderer's coverage goes through.

#include <cmath>

#include "foundation/Rounding.h"
#include "text/TextRenderer.h"

uint8_t CTextRenderer::m_nGammaLUT[256];
uint8_t CTextRenderer::m_nGammaLUTInv[256];

namespace {

uint8_t GammaEntry(int32_t i, float exponent) {
    const float v = 255.0f * std::pow(float(i) / 255.0f, exponent);
    if (!(v > 0.0f)) {
        return 0;
    }
    return v >= 255.0f ? 255 : uint8_t(RoundHalfAway(v));
}

} // namespace

void CTextRenderer::BuildGammaLUT(float gamma) {
    // A gamma that is not a positive number would fill the tables with
    // what is not coverage: it means no correction.
    if (!(gamma > 0.0f) || !std::isfinite(gamma)) {
        gamma = 1.0f;
    }
    for (int32_t i = 0; i < 256; ++i) {
        m_nGammaLUT[i] = GammaEntry(i, gamma);
        m_nGammaLUTInv[i] = GammaEntry(i, 1.0f / gamma);
    }
}
