#pragma once
// The standard renderer: paint over paper, a normal from the height layer,
// two fixed directional lights with a highlight, a fill light and an
// optional environment reflection.

#include <cstdint>

#include "foundation/gCArray.h"
#include "paint/Renderer.h"

class CStandardRenderer : public CRenderer {
public:
    CStandardRenderer() : CRenderer(0) {}
    ~CStandardRenderer() override;

    // The two lights and the fill light of the program; drops any
    // environment image. 5 when the light list cannot grow (then empty).
    error SetupRenderer() override;
    error Render(CImage* target, CCanvas& canvas, int32_t whole) override;

    // Takes the environment image, deleting the previous one when it was
    // owned; always 0.
    error AttachEnvironment(CImage* image, int32_t own);

    const gCArray<CLight>& Lights() const { return m_aLights; }
    CPixel FillLight() const { return m_FillLight; }
    CImage* Environment() const { return m_pEnvironment; }
    int32_t OwnsEnvironment() const { return m_fOwnsEnvironment; }

private:
    void DropEnvironment();

    gCArray<CLight> m_aLights;
    int32_t m_fOwnsEnvironment = 1;
    CPixel m_FillLight = 0;
    CImage* m_pEnvironment = nullptr;
};
