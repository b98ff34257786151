#pragma once
// The standard renderer: paint over paper, a normal from the height layer,
// two fixed directional lights with a highlight, a fill light and an
// optional environment reflection.

#include <cstddef>
#include <cstdint>

#include "foundation/gCArray.h"
#include "imaging/Pixel.h"
#include "paint/relight/Renderer.h"

class CImNav;

// A surface normal, each component × 1024 (the viewer looks along +z, so a
// flat surface faces (0, 0, -1024)).
struct CNormal {
    int32_t x = 0, y = 0, z = 0;
};

class CStandardRenderer : public CRenderer {
public:
    CStandardRenderer() : CRenderer(0) {}
    ~CStandardRenderer() override;

    // The two lights and the fill light of the program; drops any
    // environment image. eOutOfMemory when the light list cannot grow (then empty).
    error SetupRenderer() override;
    error Render(CImage* target, CCanvas& canvas, int32_t whole) override;

    // Takes the environment image, deleting the previous one when it was
    // owned; always 0.
    error AttachEnvironment(CImage* image, int32_t own);

    // One lit pixel: the fill light, the environment (when env is given
    // and ew is non-zero), then each light's highlight and diffuse term,
    // with channel overflow spilled into the others.
    CPixel RenderPixel(CNormal n, CPixel colour, const CImNav* env, uint32_t hw, uint32_t ew) const;
    // The environment image's bilinear sample where the normal points.
    CPixel EnviroPixel(const CImNav& env, CNormal n) const;

    // The highlight of light i at a given d (the normal's dot product with
    // the half vector, >> 10), after the light's mode and sign.
    int32_t HighlightOf(int32_t i, int32_t d) const;
    // Light i's highlights for d = 0 .. 4096 (the same values), built by
    // SetupRenderer; only while HasHighlightTables().
    const int32_t* HighlightTable(int32_t i) const {
        return m_aHighlights.GetData() + ptrdiff_t(i) * kHighlightSteps;
    }
    bool HasHighlightTables() const {
        return m_aHighlights.GetSize() == m_aLights.GetSize() * kHighlightSteps;
    }
    static constexpr int32_t kHighlightSteps = 4097;

    const gCArray<CLight>& Lights() const { return m_aLights; }
    CPixel FillLight() const { return m_FillLight; }
    CImage* Environment() const { return m_pEnvironment; }
    int32_t OwnsEnvironment() const { return m_fOwnsEnvironment; }

private:
    void DropEnvironment();
    error BuildHighlightTables();

    gCArray<CLight> m_aLights;
    // Per light the highlight for d = 0 .. 4096: the quotient depends on
    // nothing else.
    gCArray<int32_t> m_aHighlights;
    int32_t m_fOwnsEnvironment = 1;
    CPixel m_FillLight = 0;
    CImage* m_pEnvironment = nullptr;
};
