// The shadow panel: its falloff tables and drawing, and its chunks.

#include "widgets/ShadWidget.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "FileIO/ResourceLoading.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/detail/Alphas.h"
#include "widgets/detail/LevelBlend.h"

using namespace widget_loading;

namespace {

// exp(-t * t / 2), every step in single precision.
float Gauss(float t) {
    const float exponent = -t * t * 0.5f;
    return std::exp(exponent);
}

// near(3.5 * radius) for a radius of 0 or more, saturating at the largest
// axis there can be.
int64_t FadeLength(float radius) {
    const float fade = RoundHalfAway(3.5f * radius);
    constexpr float kMost = float(std::numeric_limits<int32_t>::max());
    return fade >= kMost ? std::numeric_limits<int32_t>::max() : int64_t(fade);
}

} // namespace

void FillShadowAxis(float* factors, int32_t n, bool softStart, bool softEnd, float radius) {
    std::fill_n(factors, n, 1.0f);
    if ((!softStart && !softEnd) || n <= 0) {
        return;
    }
    if (!(radius >= 0.0f)) {
        if (n == 1) {
            return; // no span to fade over
        }
        const float k = 3.5f / float(n - 1);
        for (int32_t i = 0; i < n; ++i) {
            if (softStart && softEnd) {
                factors[i] = Gauss(2.0f * k * float(i) - 3.5f);
            } else if (softEnd) {
                factors[i] = Gauss(k * float(i));
            } else {
                factors[n - 1 - i] = Gauss(k * float(i));
            }
        }
        return;
    }
    const float s = std::max(0.5f, 3.5f * radius);
    const float k = 3.5f / s;
    const int64_t f = FadeLength(radius);
    if (softStart && softEnd) {
        const int32_t m = int32_t(std::min<int64_t>((int64_t(n) + 1) / 2, f));
        for (int32_t i = 0; i < m; ++i) {
            factors[m - 1 - i] = Gauss(k * float(i));
            factors[n - m + i] = Gauss(k * float(i));
        }
        return;
    }
    const int32_t m = int32_t(std::min<int64_t>(n, f));
    for (int32_t i = 0; i < m; ++i) {
        factors[softEnd ? n - m + i : m - 1 - i] = Gauss(k * float(i));
    }
}

CShadWidget::CShadWidget() {
    m_ClientColour = 0xFF000000u;
}

CShadWidget::~CShadWidget() = default;

error CShadWidget::SetShadowLocation(uint32_t location, int32_t redraw) {
    m_nShadowLocation = location;
    m_fTablesStale = 1;
    return InvalidateClient(redraw);
}

error CShadWidget::AddShadowLocation(uint32_t location, int32_t redraw) {
    return SetShadowLocation(m_nShadowLocation | location, redraw);
}

error CShadWidget::ClearShadowLocation(uint32_t location, int32_t redraw) {
    return SetShadowLocation(m_nShadowLocation & ~location, redraw);
}

error CShadWidget::SetShadowRadius(float radius, int32_t redraw) {
    m_rRadius = radius;
    m_fTablesStale = 1;
    return InvalidateClient(redraw);
}

error CShadWidget::SizeChanged() {
    m_fTablesStale = 1;
    return eNoError;
}

error CShadWidget::RebuildLUT() {
    const int32_t width = Width();
    const int32_t height = Height();
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    if (!m_aColumns.Resize(uint32_t(width), 0) || !m_aRows.Resize(uint32_t(height), 0)) {
        return eOutOfMemory;
    }
    const uint32_t at = m_nShadowLocation;
    FillShadowAxis(m_aColumns.GetData(), width, at & eShadowLeft, at & eShadowRight, m_rRadius);
    FillShadowAxis(m_aRows.GetData(), height, at & eShadowTop, at & eShadowBottom, m_rRadius);
    m_fTablesStale = 0;
    return eNoError;
}

error CShadWidget::RenderArea(const gCRect& area, CImage* target, uint32_t opacity) {
    opacity = widgetdetail::ClampAlpha(opacity);
    if (opacity == 0) {
        return eNoError;
    }
    if (m_fTablesStale) {
        if (error e = RebuildLUT()) {
            return e;
        }
    }
    // The tables cover the widget alone; an area reaching past it (its
    // effects' extent) draws only the widget's part.
    const gCRect own = area.Intersected(gCRect(0, 0, Width(), Height()));
    if (own.IsEmpty() || m_fTablesStale) {
        return eNoError;
    }
    CImNav view(target, &own);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const uint32_t rgb = uint32_t(m_ClientColour) & 0x00FFFFFFu;
    const float* rows = m_aRows.GetData() + own.top;
    const float* columns = m_aColumns.GetData() + own.left;
    const CPixel::BlendProcPtr blend = CPixel::m_pBlendProc;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        const float ry = float(opacity) * rows[y];
        CPixel* row = view.Row(y);
        if (blend == &CPixel::BlendProc) {
            // The standard blend keeps the target's alpha below 255 and
            // writes the opaque colour at 255: one colour at a level a pixel.
            uint8_t levels[effectdetail::kLevelChunk];
            for (int32_t x = 0; x < view.GetWidth(); x += effectdetail::kLevelChunk) {
                const int32_t n = std::min(effectdetail::kLevelChunk, view.GetWidth() - x);
                for (int32_t k = 0; k < n; ++k) {
                    levels[k] = uint8_t(RoundHalfAway(ry * columns[x + k]));
                }
                effectdetail::BlendLevels(row + x, levels, n, rgb | 0xFF000000u);
            }
            continue;
        }
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            const float a = ry * columns[x];
            const uint32_t level = uint32_t(RoundHalfAway(a));
            blend(&row[x], rgb | (level << 24));
        }
    }
    return eNoError;
}

// --- Loading

CShadWidget* CShadWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CShadWidget>(id, file, index);
}

CShadWidget* CShadWidget::CreateFromRes(const gCString& name, gCFile* file,
                                        gCResourceIndex* index) {
    return CreateFromResource<CShadWidget>(name, file, index);
}

error CShadWidget::SetFromResData(gCFile* file) {
    CWidgetDataHolder holder;
    return LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
}

error CShadWidget::ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder) {
    int32_t value = 0;
    // An edge chunk: 1 adds the edge, anything else removes it.
    auto edge = [&](const char* text, uint32_t bit) {
        if (error e = ReadInt(data, value, text)) {
            return e;
        }
        return value == 1 ? AddShadowLocation(bit, 0) : ClearShadowLocation(bit, 0);
    };
    switch (uint32_t(code)) {
    case FourCC("swst"):
        return edge("ShadWidget swst.", eShadowTop);
    case FourCC("swsb"):
        return edge("ShadWidget swsb.", eShadowBottom);
    case FourCC("swsl"):
        return edge("ShadWidget swsl.", eShadowLeft);
    case FourCC("swsr"):
        return edge("ShadWidget swsr.", eShadowRight);
    case FourCC("swrd"): {
        float radius = 0.0f;
        if (error e = ReadReal(data, radius, -1.0f, "ShadWidget swrd.")) {
            return e;
        }
        return SetShadowRadius(radius, 0);
    }
    default:
        return CCoWidget::ParseResData(code, data, holder);
    }
}
