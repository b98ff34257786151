#include "paint/relight/StandardRenderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/Relight.h"

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
    if (BuildHighlightTables() != eNoError) {
        (void)m_aLights.SetSize(0); // no lights without their tables
        return eOutOfMemory;
    }
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

error CStandardRenderer::BuildHighlightTables() {
    const int32_t count = m_aLights.GetSize();
    if (m_aHighlights.SetSize(count * kHighlightSteps) != eNoError) {
        (void)m_aHighlights.SetSize(0); // shrinking never fails
        return eOutOfMemory;
    }
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t d = 0; d < kHighlightSteps; ++d) {
            m_aHighlights[i * kHighlightSteps + d] = HighlightOf(i, d);
        }
    }
    return eNoError;
}

int32_t CStandardRenderer::HighlightOf(int32_t i, int32_t d) const {
    const CLight& light = m_aLights[i];
    int32_t s = 0;
    if (d > 0) {
        // Schlick's t^n with t = d / 4096, scaled to 0..512; e4 × d stays
        // below 2^32 for d up to 4096.
        const uint32_t e4 = uint32_t(light.m_nExponent);
        const uint32_t ud = uint32_t(d);
        const uint32_t q = (ud << 9) / (e4 - ((e4 * ud) >> 12) + ud);
        if (light.m_nHighlightMode == 0) {
            s = int32_t((q * uint32_t(light.m_nStrength)) >> 1);
        } else {
            int32_t u = int32_t(q) - 256;
            if (u < 1) {
                s = 0;
            } else {
                u = u + (((256 - u) * u) >> 8);
                s = std::min(u, 256) * light.m_nStrength;
            }
        }
    }
    return light.m_fNegative ? -s : s;
}

CPixel CStandardRenderer::EnviroPixel(const CImNav& env, CNormal n) const {
    const int32_t w = env.GetWidth(), h = env.GetHeight();
    if (w <= 0 || h <= 0) {
        return 0xFF000000u;
    }
    // 8.8 fixed point; the right and lower neighbours stay inside the map.
    const int32_t u = (n.x * ((w - 1) >> 1) + (w - 1) * 512) >> 2;
    const int32_t v = (n.y * ((h - 1) >> 1) + (h - 1) * 512) >> 2;
    const int32_t x0 = std::clamp(u >> 8, 0, w - 1), y0 = std::clamp(v >> 8, 0, h - 1);
    const int32_t x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    const CPixel* up = env.Row(y0);
    const CPixel* down = env.Row(y1);
    CPixel top = up[x0], bottom = down[x0];
    CPixel::Blend255Proc(&top, u & 255, up[x1]);
    CPixel::Blend255Proc(&bottom, u & 255, down[x1]);
    CPixel::Blend255Proc(&top, v & 255, bottom);
    return top | 0xFF000000u;
}

CPixel CStandardRenderer::RenderPixel(CNormal n, CPixel colour, const CImNav* env, uint32_t hw,
                                      uint32_t ew) const {
    const int32_t cR = int32_t((colour >> 16) & 255);
    const int32_t cG = int32_t((colour >> 8) & 255);
    const int32_t cB = int32_t(colour & 255);
    const uint32_t fill = m_FillLight;
    const int32_t aA = int32_t(fill >> 24);
    int32_t r = int32_t((fill >> 16) & 255) * aA * cR;
    int32_t g = int32_t((fill >> 8) & 255) * aA * cG;
    int32_t b = int32_t(fill & 255) * aA * cB;
    if (env && ew != 0) {
        const uint32_t e = EnviroPixel(*env, n);
        const int32_t w = int32_t(ew);
        r += int32_t((e >> 16) & 255) * w * cR;
        g += int32_t((e >> 8) & 255) * w * cG;
        b += int32_t(e & 255) * w * cB;
    }
    for (int32_t i = 0; i < m_aLights.GetSize(); ++i) {
        const CLight& light = m_aLights[i];
        if (light.m_fOff) {
            continue;
        }
        const uint32_t lc = light.m_Colour;
        const int32_t lR = int32_t((lc >> 16) & 255), lG = int32_t((lc >> 8) & 255),
                      lB = int32_t(lc & 255), lA = int32_t(lc >> 24);
        if (hw != 0 && light.m_nStrength != 0) {
            const int32_t* hv = light.m_aHalfVector;
            const int32_t d = (hv[0] * n.x - hv[1] * n.y - hv[2] * n.z) >> 10;
            const int32_t s = HighlightOf(i, d);
            const int32_t q = int32_t((int64_t(s) * int64_t(hw)) >> 8);
            if (q != 0) {
                r += q * lR;
                g += q * lG;
                b += q * lB;
            }
        }
        const int32_t* lv = light.m_aDirection;
        int32_t t = ((lv[0] * n.x - lv[1] * n.y - lv[2] * n.z) * lA) >> 22;
        t = std::max(t, 0);
        if (light.m_fNegative) {
            t = -t;
        }
        if (t != 0) {
            r += t * lR * cR;
            g += t * lG * cG;
            b += t * lB * cB;
        }
    }
    return relight::Finish(r, g, b);
}

error CStandardRenderer::Render(CImage* target, CCanvas& canvas, int32_t whole) {
    CImNav* l0 = canvas.LayerView(CCanvasLayers::kColour);
    CImNav* l1 = canvas.LayerView(CCanvasLayers::kHeight);
    CImNav* l2 = canvas.LayerView(CCanvasLayers::kFinish);
    if (!target || !l0 || !l1 || !l2 || !l0->IsLocked() || !l1->IsLocked() || !l2->IsLocked()) {
        return eOutOfMemory;
    }
    CImNav out(target);
    if (!out.IsLocked()) {
        return eOutOfMemory;
    }
    std::unique_ptr<CImNav> env;
    if (m_pEnvironment) {
        env.reset(new (std::nothrow) CImNav(m_pEnvironment));
        if (!env || !env->IsLocked()) {
            return eOutOfMemory;
        }
    }
    relight::Job job;
    job.l0 = reinterpret_cast<uint32_t*>(l0->GetData());
    job.l1 = reinterpret_cast<uint32_t*>(l1->GetData());
    job.l2 = reinterpret_cast<uint32_t*>(l2->GetData());
    job.width = l1->GetWidth();
    job.height = l1->GetHeight();
    job.target = reinterpret_cast<uint32_t*>(out.GetData());
    job.targetWidth = out.GetWidth();
    job.targetHeight = out.GetHeight();
    job.targetStride = out.GetStride();
    job.params = relight::ParamsFrom(canvas.GrainRelief(), canvas.PaperColour(),
                                     canvas.PaperHighlight(), canvas.PaperEnvironment());
    if (whole) {
        job.first = 0;
        job.last = job.height - 1;
    } else {
        const CMemBlockT<int32_t>* starts = canvas.SpanStarts();
        const CMemBlockT<int32_t>* ends = canvas.SpanEnds();
        if (!starts || !ends) {
            return eOutOfMemory;
        }
        job.first = canvas.FirstInvalidRow();
        job.last = canvas.LastInvalidRow();
        job.starts = starts->GetData();
        job.ends = ends->GetData();
        job.spanRows = int32_t(std::min(starts->GetCount(), ends->GetCount()));
    }
    relight::Run(*this, job, env.get());
    return eNoError;
}
