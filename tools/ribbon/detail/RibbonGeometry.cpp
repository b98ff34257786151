#include "tools/ribbon/detail/RibbonGeometry.h"

#include <algorithm>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"

namespace ribbon {

SCrossSection CrossSectionAt(float x, float y, float dx, float dy, float w) {
    return {{x - w * dy, y + w * dx}, {x + w * dy, y - w * dx}};
}

gCRect AreaOf(std::initializer_list<gCRPoint> points, int32_t width, int32_t height) {
    float minX = points.begin()->x, maxX = minX;
    float minY = points.begin()->y, maxY = minY;
    for (const gCRPoint& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Far-off coordinates are held a little beyond the layer before
    // rounding, which the clamp below makes the same.
    const int32_t kFar = 1 << 20;
    return {std::clamp(RoundToInt32(minX, -kFar, kFar) - 2, 0, width - 1),
            std::clamp(RoundToInt32(minY, -kFar, kFar) - 2, 0, height - 1),
            std::clamp(RoundToInt32(maxX, -kFar, kFar) + 2, 0, width - 1),
            std::clamp(RoundToInt32(maxY, -kFar, kFar) + 2, 0, height - 1)};
}

gCRect Widened(const gCRect& r, int32_t by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

gCRect SpansOf(const gCRect& area, const gCRect& rect) {
    // Spans take exclusive right and bottom ends.
    return gCRect(rect.left, area.top, rect.right + 1, area.bottom + 1);
}

void MarkSpans(CCanvas& canvas, const gCRect& area, const gCRect& rect) {
    canvas.InvalidateSpans(SpansOf(area, rect));
}

bool LayersReady(const CPaintTool& tool, CCanvas* canvas) {
    if (!canvas || !tool.Layer0() || !tool.Layer1() || !tool.Layer2() || !tool.Layer3() ||
        tool.LayerWidth() <= 0 || tool.LayerHeight() <= 0) {
        return false;
    }
    for (int32_t i = 0; i < 4; ++i) {
        const CImNav* view = canvas->LayerView(i);
        if (!view || !view->IsLocked() || !view->GetData() ||
            view->GetWidth() != tool.LayerWidth() || view->GetHeight() != tool.LayerHeight() ||
            view->GetRowBytes() != tool.LayerWidth() * 4) {
            return false;
        }
    }
    return true;
}

} // namespace ribbon
