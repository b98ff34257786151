// The two colour picks of a press: with Alt held, the composited screen
// colour under the moving cursor; with the tracing colour pick on, the
// tracing image's colour under the press.

#include <algorithm>
#include <cstdint>

#include "foundation/AppServices.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Pixel.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/CanvasInputSupport.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace {

// The standard blend of one pixel toward another at level 0..255.
CPixel Toward(CPixel d, uint32_t level, CPixel s) {
    CPixel::Blend255Proc(&d, int32_t(level), s);
    return d;
}

// One 8.8 coordinate of the tracing image: offset + round(step × v / scale),
// the product taken whole and divided as a float. Held to a range that any
// image side leaves far behind.
int64_t TracingCoordinate(int64_t offset, int64_t step, int32_t v, float scale) {
    constexpr float kLimit = 1099511627776.0f; // 2^40
    const float scaled = RoundHalfAway(float(step * int64_t(v)) / scale);
    return offset + int64_t(std::clamp(scaled, -kLimit, kLimit));
}

} // namespace

void CCanvas::PickScreenColour(CWidget* widget) {
    CAppServices* app = CAppServices::Get();
    CWidget* root = CanvasInput::Root(widget);
    CBackdrop* backdrop = CanvasInput::BackdropOf(widget);
    if (!app || !root) {
        return;
    }
    gCPoint last(-1, -1);
    while (app->LButtonStillDown()) {
        gCPoint at = app->CursorLoc();
        root->DesktopToLocal(at);
        if (backdrop && at != last) {
            const CPixel colour = backdrop->GetColourAtPoint(at);
            // The colour goes round the whole chain; there is nothing to
            // undo if a receiver refuses it.
            (void)SetBackboneData(eMsgPaintColour, this, int64_t(uint32_t(colour)));
            last = at;
        }
        (void)app->AppHeartbeat(); // a failed tick is the heartbeat's own to show
    }
}

error CCanvas::CheckForCloneColour(gCPoint& point) {
    CImage* tracing = m_pTracingImage;
    if (!tracing || !m_fTracingColourPick) {
        return eNoError;
    }
    CImNav view(tracing);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const int64_t w = view.GetWidth();
    const int64_t h = view.GetHeight();
    const float scale = m_rDisplayScale;
    if (w < 2 || h < 2 || m_nWidth <= 0 || m_nHeight <= 0 || !CanvasInput::ScaleUsable(scale)) {
        // No 2 x 2 block to mix, or no canvas point under the press.
        return eNoError;
    }
    int64_t sx = (w * 256) / m_nWidth;
    int64_t sy = (h * 256) / m_nHeight;
    int64_t ox = 0;
    int64_t oy = 0;
    if (m_nTracingFitMode != 0) {
        // Fill (2) takes the smaller step; fit inside (1), and any other
        // value a damaged file may hold, the larger, as the overlay shows
        // it.
        sx = sy = m_nTracingFitMode == 2 ? std::min(sx, sy) : std::max(sx, sy);
        ox = (w * 256 - int64_t(m_nWidth) * sx) / 2;
        oy = (h * 256 - int64_t(m_nHeight) * sy) / 2;
    }
    const int64_t ty = TracingCoordinate(oy, sy, point.y, scale);
    const int64_t tx = TracingCoordinate(ox, sx, point.x, scale);
    const int64_t iy = ty >> 8;
    const int64_t ix = tx >> 8;
    if (iy < 0 || iy >= h - 1 || ix < 0 || ix >= w - 1) {
        // Outside the picture the colour stays.
        return eNoError;
    }
    const uint32_t fy = uint32_t(ty & 255);
    const uint32_t fx = uint32_t(tx & 255);
    const CPixel* row0 = view.Row(int32_t(iy));
    const CPixel* row1 = view.Row(int32_t(iy + 1));
    const CPixel top = Toward(row0[ix], fx, row0[ix + 1]);
    const CPixel bottom = Toward(row1[ix], fx, row1[ix + 1]);
    const CPixel colour = Toward(top, fy, bottom);
    // The paint colour for the whole chain; the stroke goes on with it
    // whatever a receiver answers.
    (void)SetBackboneData(eMsgPaintColour, this, int64_t(uint32_t(colour)));
    return eNoError;
}
