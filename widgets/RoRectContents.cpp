// The rounded panel's picture: client colour, border and title band, then
// the corners, anti-aliased against the border ring and the transparent
// outside. Rows and columns that a tiny panel or an odd setting would put
// outside the image are skipped, and every float becomes an integer by a
// conversion that saturates (NaN counting as 0), whatever a resource holds.

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "widgets/RoRectWidget.h"

namespace {

constexpr float kIntLimit = 1073741824.0f; // 2^30: sums of two stay in range

// int(x): toward zero.
int32_t Trunc(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    return int32_t(std::clamp(v, -kIntLimit, kIntLimit));
}

// round(x) as a blend level 0..255.
uint32_t Level(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    return uint32_t(RoundHalfAway(std::clamp(v, 0.0f, 255.0f)));
}

// p moved toward q by level.
CPixel Blend(CPixel p, uint32_t level, CPixel q) {
    p.AlphaMasked(level, q);
    return p;
}

// The locked image with writes outside it dropped.
class CCanvas {
public:
    explicit CCanvas(CImNav& view) : m_View(view), m_nW(view.GetWidth()), m_nH(view.GetHeight()) {}

    int32_t Width() const { return m_nW; }
    int32_t Height() const { return m_nH; }
    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < m_nW && y < m_nH; }
    CPixel Get(int32_t x, int32_t y) const { return m_View.Row(y)[x]; }
    void Put(int32_t x, int32_t y, CPixel c) {
        if (Inside(x, y)) {
            m_View.Row(y)[x] = c;
        }
    }
    // Columns x0..x1-1 of row y.
    void Span(int32_t y, int32_t x0, int32_t x1, CPixel c) {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_nW);
        if (y < 0 || y >= m_nH || x0 >= x1) {
            return;
        }
        std::fill(m_View.Row(y) + x0, m_View.Row(y) + x1, c);
    }
    // Rows y0..y1-1, whole.
    void Rows(int32_t y0, int32_t y1, CPixel c) {
        for (int32_t y = std::max(y0, 0); y < std::min(y1, m_nH); ++y) {
            Span(y, 0, m_nW, c);
        }
    }

private:
    CImNav& m_View;
    int32_t m_nW;
    int32_t m_nH;
};

struct SPanel {
    float b; // border width
    float t; // title band height
    float r; // radius
    CPixel client;
    CPixel border;
    uint32_t corners;
};

// Steps 1 to 3: the fill, the top band, the bottom band and the sides.
void DrawBands(CCanvas& canvas, const SPanel& p) {
    const int32_t w = canvas.Width();
    const int32_t h = canvas.Height();
    canvas.Rows(0, h, p.client);

    const float top = std::min(std::max(p.b, p.t), float(h) - 2.0f - p.b);
    const int32_t n = Trunc(top);
    if (top > 0.0f) {
        canvas.Rows(0, n, p.border);
        if (n <= h - 1) {
            canvas.Span(n, 0, w, Blend(p.client, Level((top - float(n)) * 255.0f), p.border));
        }
    }
    if (!(p.b > 0.0f)) {
        return;
    }
    const float bottom = std::max(top, float(h) - p.b);
    const int32_t m = Trunc(bottom);
    const int32_t bw = std::min(Trunc(p.b), w - 2);
    canvas.Rows(m + 1, h, p.border);
    canvas.Span(m, 0, w, Blend(p.client, Level((float(m + 1) - bottom) * 255.0f), p.border));
    const bool blendedSide = p.b < float(w - 1) - p.b;
    const uint32_t sideLevel = Level((p.b - float(bw)) * 255.0f);
    for (int32_t y = std::max(n, 0); y <= std::min(m, h - 1); ++y) {
        canvas.Span(y, 0, bw, p.border);
        canvas.Span(y, w - bw, w, p.border);
        if (blendedSide && canvas.Inside(bw, y)) {
            const CPixel side = Blend(canvas.Get(bw, y), sideLevel, p.border);
            canvas.Put(bw, y, side);
            canvas.Put(w - 1 - bw, y, side);
        }
    }
}

// The colour under the border ring in a corner row: the title band's
// where the band is deeper than the border.
CPixel InnerColour(const SPanel& p, int32_t row, int32_t titleRows) {
    if (!(p.b < p.t)) {
        return p.client;
    }
    if (row < titleRows) {
        return p.border;
    }
    if (row == titleRows) {
        return Blend(p.client, Level((p.t - float(titleRows)) * 255.0f), p.border);
    }
    return p.client;
}

// Step 4: the flagged corners, K + 1 rows and columns each.
void DrawCorners(CCanvas& canvas, const SPanel& p) {
    const int32_t w = canvas.Width();
    const int32_t h = canvas.Height();
    const int32_t k = std::min(Trunc(p.r) + 2, std::min(w, h) / 2);
    const float outer = p.r + 1.0f;
    const float ringOuter = std::max(0.0f, p.r - p.b + 1.0f);
    const float ringInner = std::max(0.0f, ringOuter - 1.0f);
    const int32_t titleRows = Trunc(p.t);
    const bool ring = p.b > 0.0f && p.b < p.r;

    for (int32_t i = 0; i <= k; ++i) {
        const float dy = std::max(0.0f, p.r - float(i));
        const CPixel innerTop = InnerColour(p, i, titleRows);
        const CPixel innerBottom = InnerColour(p, h - 1 - i, titleRows);
        for (int32_t j = 0; j <= k; ++j) {
            const float dx = std::max(0.0f, p.r - float(j));
            const float d2 = dx * dx + dy * dy;
            struct SCorner {
                uint32_t flag;
                int32_t x;
                int32_t y;
                CPixel inner;
            };
            const SCorner corners[4] = {
                {CRoRectWidget::eTopLeft, j, i, innerTop},
                {CRoRectWidget::eTopRight, w - 1 - j, i, innerTop},
                {CRoRectWidget::eBottomLeft, j, h - 1 - i, innerBottom},
                {CRoRectWidget::eBottomRight, w - 1 - j, h - 1 - i, innerBottom},
            };
            for (const SCorner& c : corners) {
                if (!(p.corners & c.flag) || !canvas.Inside(c.x, c.y)) {
                    continue;
                }
                if (d2 > outer * outer) {
                    canvas.Put(c.x, c.y, 0u);
                    continue;
                }
                if (ring) {
                    if (d2 < ringInner * ringInner) {
                        canvas.Put(c.x, c.y, c.inner);
                    } else if (d2 <= ringOuter * ringOuter) {
                        const uint32_t level = Level((std::sqrt(d2) - ringInner) * 255.0f);
                        canvas.Put(c.x, c.y, Blend(p.border, 255 - level, c.inner));
                    } else {
                        canvas.Put(c.x, c.y, p.border);
                    }
                }
                if (d2 > p.r * p.r) {
                    const uint32_t level = Level((outer - std::sqrt(d2)) * 255.0f);
                    const uint32_t pixel = canvas.Get(c.x, c.y);
                    const uint32_t alpha = ((pixel >> 8) * (level + 1)) >> 24;
                    canvas.Put(c.x, c.y, (pixel & 0x00FFFFFFu) | (alpha << 24));
                }
            }
        }
    }
}

} // namespace

error CRoRectWidget::MakeContents() {
    if (!m_pImage) {
        return eNoError;
    }
    // The picture is drawn whole, so a compressed one is expanded first.
    if (error e = DecompressImage()) {
        return e;
    }
    const SPanel panel{m_rBorderWidth, m_rTitleBarHeight, m_rRadius,
                       m_ClientColour, m_BorderColour,    m_nCornerFlags};
    const bool rounded = m_rRadius > 0.0f && (m_nCornerFlags & eAllCorners) != 0;
    {
        CImNav view(m_pImage.get());
        if (!view.IsLocked()) {
            return eOutOfMemory;
        }
        CCanvas canvas(view);
        DrawBands(canvas, panel);
        if (rounded) {
            DrawCorners(canvas, panel);
        }
    }
    return rounded ? CompressImage() : eNoError;
}
