#include "paint/StandardRenderer.h"

#include <cmath>

#include "foundation/Rounding.h"
#include "imaging/Image.h"

namespace {

// A direction × 4096, rounded halves away from zero, with the half vector
// between it and the viewer (0, 0, 1): both worked out in 32-bit floats.
CLight MakeLight(float x, float y, float z, CPixel colour, int32_t exponent, int32_t strength) {
    const float length = std::sqrt(x * x + y * y + z * z);
    const float ux = x / length, uy = y / length, uz = z / length;
    const float hz = uz + 1.0f;
    const float half = std::sqrt(ux * ux + uy * uy + hz * hz);
    CLight light;
    light.m_Colour = colour;
    light.m_aDirection[0] = int32_t(RoundHalfAway(ux * 4096.0f));
    light.m_aDirection[1] = int32_t(RoundHalfAway(uy * 4096.0f));
    light.m_aDirection[2] = int32_t(RoundHalfAway(uz * 4096.0f));
    light.m_aHalfVector[0] = int32_t(RoundHalfAway(ux / half * 4096.0f));
    light.m_aHalfVector[1] = int32_t(RoundHalfAway(uy / half * 4096.0f));
    light.m_aHalfVector[2] = int32_t(RoundHalfAway(hz / half * 4096.0f));
    light.m_nExponent = exponent;
    light.m_nStrength = strength;
    return light;
}

} // namespace

CStandardRenderer::~CStandardRenderer() {
    DropEnvironment();
}

void CStandardRenderer::DropEnvironment() {
    if (m_fOwnsEnvironment) {
        delete m_pEnvironment;
    }
    m_pEnvironment = nullptr;
}

error CStandardRenderer::SetupRenderer() {
    const CLight lights[] = {
        MakeLight(-50.0f, 50.0f, 65.0f, 0xFFFFFFFFu, 0xDF000, 255),
        MakeLight(40.0f, 0.0f, 20.0f, 0xB0FFFFFFu, 0xFF000, 88),
    };
    (void)m_aLights.SetSize(0); // emptying never fails
    for (const CLight& light : lights) {
        if (m_aLights.Add(light) != eNoError) {
            (void)m_aLights.SetSize(0); // no half-made list stays behind
            return eOutOfMemory;
        }
    }
    m_FillLight = 0x00FFFFFFu;
    DropEnvironment();
    return eNoError;
}

error CStandardRenderer::AttachEnvironment(CImage* image, int32_t own) {
    if (image != m_pEnvironment) {
        DropEnvironment();
    }
    m_pEnvironment = image;
    m_fOwnsEnvironment = own;
    return eNoError;
}

error CStandardRenderer::Render(CImage*, CCanvas&, int32_t) {
    // The relight of the layers comes with the lit renderer; until then the
    // target keeps what it holds.
    return eNoError;
}
