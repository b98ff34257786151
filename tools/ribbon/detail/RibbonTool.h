#pragma once
// The ribbon that pens and pencils draw: each stroke point adds a piece from
// the cross-section where the last one ended to a new one at the point, with
// a faded cap and a re-seeded start where the path turns sharply. What a
// piece does to the pixels is the tool's own.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "foundation/Geometry.h"
#include "paint/PaintTool.h"
#include "paint/SharpTurn.h"
#include "paint/canvas/Canvas.h"
#include "tools/ribbon/detail/RibbonGeometry.h"
#include "tools/ribbon/detail/StampWalk.h"

namespace ribbon {

// The taper of a piece: plain, the cap that fades out beyond a corner, the
// piece that fades in after it.
enum ETaper : int32_t { ePlain = 0, eCap = 1, eAfterCorner = 2 };

} // namespace ribbon

template <class Base> class CRibbonTool : public Base {
protected:
    using pointStruct = CPaintTool::pointStruct;

    // f(at) for a sample of a single stamp that lies on the layers and whose
    // pixel (at, its index in them) the stamp has not reached yet; the pixel
    // is then marked so in L3's high half.
    template <class F> void StampOnce(const ribbon::SStampSample& s, F&& f) {
        if (!s.inside) {
            return;
        }
        const size_t at = size_t(s.y) * size_t(this->m_nLayerWidth) + size_t(s.x);
        CPixel& mark = this->m_pLayer3[at];
        if ((uint32_t(mark) >> 16) != 0) {
            return;
        }
        f(at);
        mark = (uint32_t(mark) & 0xFFFFu) | 0x10000u;
    }

    // Lays the piece of ribbon that ends at p, of half-width w, with r as
    // the current pressure response: paint(a1, a2, b1, b2, taper) paints a
    // piece from the cross-section a1 (left), a2 (right) to b1, b2. Without a
    // previous cross-section nothing is painted and rect is left as it was.
    // The layers must be ready.
    template <class Paint>
    void LayRibbon(const pointStruct& p, float r, float w, CCanvas& canvas, gCRect& rect,
                   Paint&& paint) {
        using namespace ribbon;
        this->m_rPressureResponse = r;
        if (this->m_rPreviousPressureResponse == -1.0f) {
            this->m_rPreviousPressureResponse = r;
        }
        float* edge = this->m_aPreviousEdge;
        float dx = p.dx, dy = p.dy;
        SCrossSection now;
        if (edge[0] == -1.0f || edge[1] == -1.0f) {
            now = CrossSectionAt(p.x, p.y, dx, dy, w);
        } else {
            const int32_t width = this->m_nLayerWidth, height = this->m_nLayerHeight;
            SCrossSection before{{edge[0], edge[1]}, {edge[2], edge[3]}};
            const pointStruct& last = this->m_PreviousPoint;
            const bool corner = IsSharpTurn(last.dx + dx, last.dy + dy, ETurnEdge::eEdgeTurns);
            const float half = 0.5f * w;
            gCRect capArea;
            if (corner) {
                // The old direction carried half a width on, fading out.
                const SCrossSection cap = CrossSectionAt(
                    last.x + half * last.dx, last.y + half * last.dy, last.dx, last.dy, w);
                capArea = AreaOf({before.left, before.right, cap.left, cap.right}, width, height);
                gCRect capRect = Widened(capArea, 1);
                // Protecting only records the tiles for undo; it always succeeds.
                (void)this->ProtectStrokeArea(canvas, capRect);
                ++this->m_nDabNum;
                paint(before.left, before.right, cap.left, cap.right, eCap);
                // The new piece leaves the way the path goes on, starting
                // half a width behind the point.
                const int32_t next = this->m_nRenderCursor + 1;
                if (next > 0 && next < this->m_aStrokePoints.GetSize()) {
                    dx = this->m_aStrokePoints[next].dx;
                    dy = this->m_aStrokePoints[next].dy;
                }
                before = CrossSectionAt(p.x - half * dx, p.y - half * dy, dx, dy, w);
                this->m_fProfileFlip = this->m_fProfileFlip == 0 ? 1 : 0;
            }
            now = CrossSectionAt(p.x, p.y, dx, dy, w);
            gCRect area = AreaOf({before.left, before.right, now.left, now.right}, width, height);
            rect = Widened(area, 1);
            gCRect protect = rect;
            (void)this->ProtectStrokeArea(canvas, protect); // always succeeds, as above
            ++this->m_nDabNum;
            paint(before.left, before.right, now.left, now.right, corner ? eAfterCorner : ePlain);
            if (corner) {
                area = area.United(capArea);
                rect = Widened(area, 1);
            }
            this->m_WrittenRows.MarkOn(canvas, SpansOf(area, rect));
        }
        edge[0] = now.left.x;
        edge[1] = now.left.y;
        edge[2] = now.right.x;
        edge[3] = now.right.y;
        this->m_rPreviousPressureResponse = r;
    }
};
