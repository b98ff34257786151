#include "bench/peer/PeerBrush.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "paint/Pressure.h"

#if DAUBLIN_HAVE_PEER
extern "C" {
#include <mypaint-brush.h>
#include <mypaint-fixed-tiled-surface.h>
}
#endif

std::string SPeerBrushSettings::Describe() const {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s: radius %.2f px, hardness %.2f, opacity %.2f, smudge %.2f, smudge length "
                  "%.2f, eraser %.2f",
                  name, double(radius), double(hardness), double(opacity), double(smudge),
                  double(smudgeLength), double(eraser));
    return text;
}

#if DAUBLIN_HAVE_PEER

struct CPeerBrush::SState {
    MyPaintBrush* brush = nullptr;
    MyPaintFixedTiledSurface* surface = nullptr;
};

bool CPeerBrush::Available() {
    return true;
}

CPeerBrush::CPeerBrush(const SPeerBrushSettings& s, int32_t w, int32_t h)
    : m_pState(std::make_unique<SState>()) {
    m_pState->surface = mypaint_fixed_tiled_surface_new(w, h);
    MyPaintBrush* brush = mypaint_brush_new();
    mypaint_brush_from_defaults(brush);
    // The library takes the radius as its logarithm.
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_RADIUS_LOGARITHMIC,
                                 std::log(std::max(0.2f, s.radius)));
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_HARDNESS, s.hardness);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_OPAQUE, s.opacity);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_SMUDGE, s.smudge);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_SMUDGE_LENGTH, s.smudgeLength);
    mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_ERASER, s.eraser);
    m_pState->brush = brush;
}

CPeerBrush::~CPeerBrush() {
    if (m_pState->brush) {
        mypaint_brush_unref(m_pState->brush);
    }
    if (m_pState->surface) {
        mypaint_surface_unref(reinterpret_cast<MyPaintSurface*>(m_pState->surface));
    }
}

void CPeerBrush::Paint(const CStroke& stroke, CEventTimes& times) {
    MyPaintSurface* surface = reinterpret_cast<MyPaintSurface*>(m_pState->surface);
    mypaint_brush_reset(m_pState->brush);
    mypaint_brush_new_stroke(m_pState->brush);
    for (const SStrokeSample& s : stroke) {
        const float pressure = std::min(1.0f, ToolPressure(s.q));
        times.Time([&] {
            mypaint_surface_begin_atomic(surface);
            mypaint_brush_stroke_to(m_pState->brush, surface, s.x, s.y, pressure, 0.0f, 0.0f,
                                    0.005);
            MyPaintRectangle roi;
            mypaint_surface_end_atomic(surface, &roi);
        });
    }
}

#else

struct CPeerBrush::SState {};

bool CPeerBrush::Available() {
    return false;
}

CPeerBrush::CPeerBrush(const SPeerBrushSettings&, int32_t, int32_t) {}

CPeerBrush::~CPeerBrush() = default;

void CPeerBrush::Paint(const CStroke&, CEventTimes&) {}

#endif
