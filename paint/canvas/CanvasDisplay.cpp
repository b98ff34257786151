// The canvas on screen: the display scale and the widget's size and place,
// the panning limits, the relight-and-repaint of a changed rectangle, and
// the render procedure that draws the composite at any scale with the
// tracing image faintly over it.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/ErrorReport.h"
#include "foundation/Rounding.h"
#include "imaging/CRegion.h"
#include "imaging/ImNav.h"
#include "imaging/PixelPaths.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/DisplayRows.h"
#include "paint/relight/Renderer.h"
#include "widgets/CoWidget.h"
#include "widgets/Widget.h"

namespace {

// A locked target area back in widget coordinates.
gCRect Unshifted(const gCRect& r, const gCPoint& origin) {
    return gCRect(int32_t(int64_t(r.left) - origin.x), int32_t(int64_t(r.top) - origin.y),
                  int32_t(int64_t(r.right) - origin.x), int32_t(int64_t(r.bottom) - origin.y));
}

// The zoom steps; 8 is reached only going up.
constexpr float kZoomUp[] = {0.05f, 0.1f, 0.25f, 0.5f, 0.75f, 1.0f, 2.0f,
                             3.0f,  4.0f, 5.0f,  6.0f, 7.0f,  8.0f};
constexpr float kZoomDown[] = {7.0f, 6.0f,  5.0f, 4.0f,  3.0f, 2.0f,
                               1.0f, 0.75f, 0.5f, 0.25f, 0.1f, 0.05f};

// Widget sides stay well inside 32 bits whatever scale is asked for.
constexpr int32_t kMaxSide = 1 << 30;

int32_t ScaledSide(int32_t side, float scale) {
    return RoundToInt32(float(side) * scale, 0, kMaxSide);
}

int32_t ScaledCoordinate(int32_t v, float scale) {
    return RoundToInt32(float(v) * scale, -kMaxSide, kMaxSide);
}

gCRect ScaledRect(const gCRect& r, float scale) {
    return gCRect(ScaledCoordinate(r.left, scale), ScaledCoordinate(r.top, scale),
                  ScaledCoordinate(r.right, scale), ScaledCoordinate(r.bottom, scale));
}

// The smoothstep ease of a 16-bit fraction, in 8 bits; the product reaches
// 0xFFFFFFFC.
inline uint32_t Ease(uint32_t f) {
    return (((f * f) >> 16) * (0x30000u - 2u * f)) >> 24;
}

// One axis of a 16.16 source coordinate: the pixel, its neighbour and the
// eased weight between them, clamped into a side of size pixels.
struct SAxis {
    int32_t i0;
    int32_t i1;
    uint32_t e;
};

inline SAxis Axis(int64_t v, int32_t size) {
    int64_t i = v >> 16;
    uint32_t f = uint32_t(v & 0xFFFF);
    if (i < 0) {
        i = 0;
        f = 0;
    } else if (i >= int64_t(size) - 1) {
        // A side of one pixel has no neighbour: both taps are pixel 0.
        i = std::max<int64_t>(0, int64_t(size) - 2);
        f = 0xFFFF;
    }
    const int32_t i0 = int32_t(i);
    return {i0, std::min(i0 + 1, size - 1), Ease(f)};
}

// The step of a 16.16 walk through the source at display scale s, held to
// a range whose products with any widget coordinate fit 64 bits.
inline int64_t Step(float s) {
    const float step = std::clamp(RoundHalfAway(65536.0f / s), 1.0f, 1099511627776.0f);
    return int64_t(step);
}

// Source rows blended across at the columns' taps and weights, the last
// two kept with their row numbers while the target rows below use them.
struct SAcrossRows {
    const display::SRows& rows;
    const CImNav& src;
    const std::vector<int32_t>& i0;
    const std::vector<int32_t>& i1;
    const std::vector<uint32_t>& level;
    std::vector<uint32_t> kept[2] = {std::vector<uint32_t>(i0.size(), 0u),
                                     std::vector<uint32_t>(i0.size(), 0u)};
    int32_t tag[2] = {-1, -1};

    // Row y across, never evicting row keep.
    const uint32_t* Get(int32_t y, int32_t keep) {
        for (int32_t c = 0; c < 2; ++c) {
            if (tag[c] == y) {
                return kept[c].data();
            }
        }
        const int32_t c = tag[0] == keep ? 1 : 0;
        rows.across(kept[c].data(), reinterpret_cast<const uint32_t*>(src.Row(y)), i0.data(),
                    i1.data(), level.data(), int32_t(i0.size()));
        tag[c] = y;
        return kept[c].data();
    }
};

// Enlarging or mild reduction: the eased bilinear mix of four composite
// pixels for every pixel of the held area (widget coordinates). The column
// axis is found once a draw; each source row is blended across once and
// kept while the target rows below use it.
void DrawBilinear(const CImNav& dst, const gCRect& held, const CImNav& src, float s) {
    const display::SRows& rows = display::RowsFor(CPixelPaths::Active());
    const int32_t w = src.GetWidth();
    const int32_t h = src.GetHeight();
    const int64_t step = Step(s);
    const int32_t n = held.Width();
    std::vector<int32_t> i0(size_t(n), 0), i1(size_t(n), 0);
    std::vector<uint32_t> level(size_t(n), 0u);
    for (int32_t k = 0; k < n; ++k) {
        const SAxis ax = Axis(step * int64_t(held.left + k), w);
        i0[size_t(k)] = ax.i0;
        i1[size_t(k)] = ax.i1;
        level[size_t(k)] = ax.e;
    }
    SAcrossRows across{rows, src, i0, i1, level};
    for (int32_t y = held.top; y < held.bottom; ++y) {
        const float sy =
            std::clamp(RoundHalfAway(float(y) * 65536.0f / s), -1099511627776.0f, 1099511627776.0f);
        const SAxis ay = Axis(int64_t(sy), h);
        const uint32_t* top = across.Get(ay.i0, ay.i1);
        const uint32_t* bottom = across.Get(ay.i1, ay.i0);
        rows.down(reinterpret_cast<uint32_t*>(dst.Row(y - held.top)), top, bottom, ay.e, n);
    }
}

// floor(v / n) for every v up to 255 * n as (v * m) >> 40 with
// m = floor(2^40 / n) + 1, exact while 255 * n * n < 2^40; larger blocks
// divide.
struct SDivide {
    uint64_t m = 0;
    uint64_t n = 1;
    explicit SDivide(uint64_t count)
        : m(count < 65536 ? (uint64_t(1) << 40) / count + 1 : 0), n(count) {}
    uint32_t operator()(uint64_t v) const { return uint32_t(m ? (v * m) >> 40 : v / n); }
};

// Strong reduction: every target pixel is the average of its block of
// composite pixels, taken at the widget's absolute columns and rows. The
// blocks' edges are found once a draw; each target row sums its source
// rows down each column at once, then each block's columns.
void DrawBoxAverage(const CImNav& dst, const gCRect& held, const CImNav& src, float s) {
    const display::SRows& rows = display::RowsFor(CPixelPaths::Active());
    const int64_t w = src.GetWidth();
    const int64_t h = src.GetHeight();
    const int64_t step = Step(s);
    auto edge = [step](int64_t v, int64_t size) {
        return int32_t(std::clamp((step * v) >> 16, int64_t(0), size));
    };
    const int32_t n = held.Width();
    std::vector<int32_t> x0(size_t(n), 0), x1(size_t(n), 0);
    int32_t widest = 0;
    for (int32_t k = 0; k < n; ++k) {
        x0[size_t(k)] = edge(int64_t(held.left) + k, w);
        x1[size_t(k)] = edge(int64_t(held.left) + k + 1, w);
        widest = std::max(widest, x1[size_t(k)] - x0[size_t(k)]);
    }
    // The source columns under the held area: the blocks follow each other.
    const int32_t first = x0[0];
    const int32_t span = x1[size_t(n) - 1] - first;
    if (span <= 0) {
        return;
    }
    std::vector<uint32_t> acc(size_t(span) * 4);
    const ptrdiff_t stride = ptrdiff_t(src.GetRowBytes() / int32_t(sizeof(CPixel)));
    std::vector<SDivide> divide;
    for (int32_t y = held.top; y < held.bottom; ++y) {
        const int32_t y0 = edge(y, h);
        const int32_t y1 = edge(int64_t(y) + 1, h);
        if (y0 >= y1) {
            continue;
        }
        rows.sum(acc.data(), reinterpret_cast<const uint32_t*>(src.Row(y0)) + first, stride,
                 y1 - y0, span);
        divide.clear();
        for (int32_t bw = 0; bw <= widest; ++bw) {
            divide.emplace_back(uint64_t(std::max(bw, 1)) * uint64_t(y1 - y0));
        }
        CPixel* out = dst.Row(y - held.top);
        for (int32_t k = 0; k < n; ++k) {
            const int32_t a = x0[size_t(k)];
            const int32_t b = x1[size_t(k)];
            if (a >= b) {
                continue;
            }
            uint64_t sum[4] = {0, 0, 0, 0};
            for (const uint32_t* c = acc.data() + 4 * (a - first); c < acc.data() + 4 * (b - first);
                 c += 4) {
                sum[0] += c[0];
                sum[1] += c[1];
                sum[2] += c[2];
                sum[3] += c[3];
            }
            const SDivide& d = divide[size_t(b - a)];
            out[k] = (d(sum[3]) << 24) | (d(sum[2]) << 16) | (d(sum[1]) << 8) | d(sum[0]);
        }
    }
}

// The composite's pixels under the held area at scale 1.
void DrawCopy(const CImNav& dst, const gCRect& held, const CImNav& src) {
    const gCRect both = held.Intersected(gCRect(0, 0, src.GetWidth(), src.GetHeight()));
    if (both.IsEmpty()) {
        return;
    }
    for (int32_t y = both.top; y < both.bottom; ++y) {
        std::copy_n(src.Row(y) + both.left, both.Width(),
                    dst.Row(y - held.top) + (both.left - held.left));
    }
}

// The tracing image over the held area, faded toward the widget's colour;
// outside the picture the widget's colour tints the painting. The columns
// inside the picture follow each other; their taps and weights are found
// once a draw.
void DrawTracing(const CImNav& dst, const gCRect& held, const CImNav& trace, CPixel bg,
                 int32_t fitMode, int32_t ww, int32_t wh) {
    const display::SRows& rows = display::RowsFor(CPixelPaths::Active());
    const int64_t w = trace.GetWidth();
    const int64_t h = trace.GetHeight();
    int64_t sx = (w * 256) / ww;
    int64_t sy = (h * 256) / wh;
    int64_t ox = 0;
    int64_t oy = 0;
    if (fitMode != 0) {
        // Fill (2) takes the smaller step; fit inside (1), and any value a
        // damaged file may hold, the larger.
        sx = sy = fitMode == 2 ? std::min(sx, sy) : std::max(sx, sy);
        ox = (w * 256 - int64_t(ww) * sx) / 2;
        oy = (h * 256 - int64_t(wh) * sy) / 2;
    }
    const int32_t n = held.Width();
    std::vector<int32_t> i0, i1;
    std::vector<uint32_t> level;
    int32_t inside0 = n; // the first column inside the picture
    for (int32_t k = 0; k < n; ++k) {
        const int64_t tx = ox + sx * (int64_t(held.left) + k);
        const int64_t ix = tx >> 8;
        if (ix < 0 || ix >= w) {
            if (i0.empty()) {
                continue;
            }
            break;
        }
        inside0 = std::min(inside0, k);
        i0.push_back(int32_t(ix));
        i1.push_back(int32_t(std::min(ix + 1, w - 1)));
        level.push_back(uint32_t(tx & 255));
    }
    const int32_t inside = int32_t(i0.size());
    SAcrossRows across{rows, trace, i0, i1, level};
    std::vector<uint32_t> mixed(size_t(inside), 0u);
    const std::vector<uint32_t> tinted(size_t(n), static_cast<uint32_t>(bg));
    auto tint = [&](CPixel* out, int32_t from, int32_t to) {
        uint32_t* words = reinterpret_cast<uint32_t*>(out) + from;
        rows.down(words, words, tinted.data(), 100, to - from);
    };
    for (int32_t y = held.top; y < held.bottom; ++y) {
        CPixel* out = dst.Row(y - held.top);
        const int64_t ty = oy + sy * int64_t(y);
        const int64_t iy = ty >> 8;
        if (iy < 0 || iy >= h) {
            tint(out, 0, n);
            continue;
        }
        tint(out, 0, inside0);
        if (inside > 0) {
            const int32_t below = int32_t(std::min(iy + 1, h - 1));
            const uint32_t* top = across.Get(int32_t(iy), below);
            const uint32_t* bottom = across.Get(below, int32_t(iy));
            rows.down(mixed.data(), top, bottom, uint32_t(ty & 255), inside);
            rows.trace(reinterpret_cast<uint32_t*>(out + inside0), mixed.data(), bg, inside);
        }
        tint(out, inside0 + inside, n);
    }
}

} // namespace

void CCanvas::SetScale(float scale, int32_t redraw) {
    if (!std::isfinite(scale) || !(scale > 0.0f)) {
        return;
    }
    m_rDisplayScale = scale;
    CWidget* widget = m_pCanvasWidget;
    if (!widget) {
        return;
    }
    const int32_t nw = ScaledSide(m_nWidth, scale);
    const int32_t nh = ScaledSide(m_nHeight, scale);
    CWidget* parent = widget->Parent();
    // Resizing and moving only invalidate (nothing is redrawn here), and
    // the widget takes whatever size it is given: their results carry
    // nothing to act on.
    if (!parent) {
        (void)widget->SetSize(nw, nh, 0);
    } else {
        const gCRect pr = parent->Rect();
        const gCPoint c(int32_t((int64_t(pr.left) + pr.right) / 2 - pr.left),
                        int32_t((int64_t(pr.top) + pr.bottom) / 2 - pr.top));
        const gCRect r = widget->Rect();
        const int32_t ow = widget->Width();
        const int32_t oh = widget->Height();
        const bool inside = r.left <= c.x && c.x <= r.right && r.top <= c.y && c.y <= r.bottom;
        if (!inside || ow <= 0 || oh <= 0) {
            // About the widget's own centre (a widget without area has no
            // point to keep under the parent's centre).
            const int32_t mx = int32_t((int64_t(r.left) + r.right) / 2);
            const int32_t my = int32_t((int64_t(r.top) + r.bottom) / 2);
            (void)widget->SetSize(nw, nh, 0);
            (void)widget->SetPosition(mx - nw / 2, my - nh / 2, 0);
        } else {
            gCPoint p = c;
            widget->ParentToLocal(p);
            (void)widget->SetSize(nw, nh, 0);
            const double dx = RoundHalfAway(double(nw) * p.x / ow);
            const double dy = RoundHalfAway(double(nh) * p.y / oh);
            (void)widget->SetPosition(int32_t(c.x - dx), int32_t(c.y - dy), 0);
        }
        ConstrainCanvasToBackdrop(0);
    }
    if (redraw) {
        // Climbs to the backdrop, which draws what changed.
        (void)widget->PassRedraw(); // a failed redraw leaves the area dirty for the next
    }
}

error CCanvas::DoZoom(int32_t up, int32_t) {
    const float s = m_rDisplayScale;
    float next = 0.0f;
    if (up) {
        for (const float step : kZoomUp) {
            if (step > s) {
                next = step;
                break;
            }
        }
    } else {
        for (const float step : kZoomDown) {
            if (step < s) {
                next = step;
                break;
            }
        }
    }
    if (next == 0.0f) {
        return eNoError;
    }
    return error(SetBackboneData(eCmdDisplayScale, this, ChannelValueOf(&next)));
}

void CCanvas::ConstrainCanvasToBackdrop(int32_t redraw) {
    CWidget* widget = m_pCanvasWidget;
    CWidget* parent = widget ? widget->Parent() : nullptr;
    if (!parent) {
        return;
    }
    const gCRect r = widget->Rect();
    const int32_t pw = parent->Width();
    const int32_t ph = parent->Height();
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    const int32_t xMax = std::max(pw - w, pw / 2);
    const int32_t xMin = std::min(pw / 2, w);
    const int32_t yMax = std::max(ph - h, ph / 2);
    const int32_t yMin = std::min(ph / 2, h);
    // Moving only invalidates; the results carry nothing to act on.
    if (r.left > xMax) {
        (void)widget->SetXPos(xMax, 0);
    } else if (r.right < xMin) {
        (void)widget->SetXPos(xMin - w, 0);
    }
    if (r.top > yMax) {
        (void)widget->SetYPos(yMax, 0);
    } else if (r.bottom < yMin) {
        (void)widget->SetYPos(yMin - h, 0);
    }
    if (redraw) {
        (void)widget->PassRedraw(); // a failed redraw leaves the area dirty for the next
    }
}

CRenderer* CCanvas::CurrentRenderer() {
    return m_pBackbone ? m_pBackbone->CurrentRenderer() : nullptr;
}

error CCanvas::Render(gCRect& rect) {
    CRenderer* renderer = CurrentRenderer();
    if (renderer && Composite()) {
        if (const error e = renderer->Render(Composite(), *this, 0); e != eNoError) {
            return e;
        }
    }
    rect.right += 1;
    rect.bottom += 1;
    if (m_pCanvasWidget) {
        (void)m_pCanvasWidget->InvalidateArea(ScaledRect(rect, m_rDisplayScale),
                                              1); // a failed redraw stays dirty for the next
    }
    return eNoError;
}

void CCanvas::ShowStrokeArea(CWidget* widget, const gCRect& rect, int32_t pass) {
    if (!widget) {
        return;
    }
    // A failed redraw leaves the area dirty for the next.
    (void)widget->InvalidateArea(ScaledRect(rect, m_rDisplayScale), 1);
    if (pass) {
        (void)widget->PassRedraw();
    }
}

error CCanvas::CanvasRenderProc(void* user, CWidget* widget, const gCRect& area, CImage* target,
                                uint32_t flags) {
    CCanvas* canvas = static_cast<CCanvas*>(user);
    if (!canvas || !widget || !target) {
        return eBadParameter;
    }
    const gCPoint origin = target->GetOrigin();
    if (!canvas->Composite()) {
        if (const error e = widget->RenderArea(area, target, flags); e != eNoError) {
            return e;
        }
    } else {
        const CImNav* src = canvas->LayerView(CCanvasLayers::kComposite);
        CImNav dst(target, &area);
        if (!dst.IsLocked() || !src || !src->IsLocked()) {
            return eOutOfMemory;
        }
        const gCRect held = Unshifted(dst.GetArea(), origin);
        const float s = canvas->m_rDisplayScale;
        if (held.IsEmpty() || src->GetWidth() <= 0 || src->GetHeight() <= 0) {
            // Nothing of the composite to draw.
        } else if (s == 1.0f) {
            DrawCopy(dst, held, *src);
        } else if (s > 0.5001f) {
            DrawBilinear(dst, held, *src, s);
        } else {
            DrawBoxAverage(dst, held, *src, s);
        }
    }
    CImage* tracing = canvas->m_pTracingImage;
    if (!tracing || !canvas->m_fTracingDisplay) {
        return eNoError;
    }
    CImNav trace(tracing);
    CImNav dst(target, &area);
    if (!trace.IsLocked() || !dst.IsLocked()) {
        return eOutOfMemory;
    }
    const gCRect held = Unshifted(dst.GetArea(), origin);
    const int32_t ww = widget->Width();
    const int32_t wh = widget->Height();
    if (held.IsEmpty() || ww <= 0 || wh <= 0 || trace.GetWidth() <= 0 || trace.GetHeight() <= 0) {
        return eNoError;
    }
    const CCoWidget* coloured = dynamic_cast<const CCoWidget*>(widget);
    const CPixel bg = coloured ? coloured->GetClientColour() : CPixel(0xFFFFFFFFu);
    DrawTracing(dst, held, trace, bg, canvas->m_nTracingFitMode, ww, wh);
    return eNoError;
}

void CCanvas::SetTracingImage(std::unique_ptr<CImage> image) {
    if (m_pTracingImage && !m_pTracingImage->IsPooled() && m_pTracingImage != image.get()) {
        delete m_pTracingImage;
    }
    m_pTracingImage = image.release();
}

error CCanvas::AttachCanvasWidget(CWidget* widget) {
    if (!widget) {
        return eBadParameter;
    }
    m_pCanvasWidget = widget;
    widget->SetRenderProc(&CCanvas::CanvasRenderProc, this);
    if (Composite()) {
        if (CRenderer* renderer = CurrentRenderer()) {
            if (const error e = renderer->Render(Composite(), *this, 1); e != eNoError) {
                return e;
            }
        }
    }
    // Marks the whole client area for the next redraw; nothing is drawn
    // here that could fail.
    (void)widget->InvalidateClient(0);
    return eNoError;
}

error CCanvas::RedrawCanvas() {
    if (!Composite() || !m_pCanvasWidget) {
        return eNoError;
    }
    CRenderer* renderer = CurrentRenderer();
    if (!renderer) {
        return eNoError;
    }
    if (const error e = renderer->Render(Composite(), *this, 1); e != eNoError) {
        return e;
    }
    return m_pCanvasWidget->InvalidateClient(1);
}

void CCanvas::InvalidateCanvasWidget(int32_t redraw) {
    if (m_pCanvasWidget) {
        (void)m_pCanvasWidget->InvalidateClient(redraw); // a failed redraw stays dirty for the next
    }
}

void CCanvas::ShowTracingChange() {
    if (m_pTracingImage && m_pCanvasWidget) {
        (void)m_pCanvasWidget->InvalidateClient(1); // a failed redraw stays dirty for the next
    }
}

void CCanvas::ShowUndoArea(const CRegion* region) {
    CWidget* widget = m_pCanvasWidget;
    if (!widget) {
        return;
    }
    const gCRect bounds(0, 0, m_nWidth, m_nHeight);
    auto show = [&](const gCRect& r) {
        const gCRect clipped = r.Intersected(bounds);
        if (!clipped.IsEmpty()) {
            // Invalidating only marks; the redraw below reports nothing
            // either: what stays dirty is drawn with the next.
            (void)widget->InvalidateArea(ScaledRect(clipped, m_rDisplayScale), 0);
        }
    };
    if (region) {
        for (const gCRect& r : region->GetRects()) {
            show(r);
        }
    } else {
        show(bounds);
    }
    (void)widget->PassRedraw();
}

int32_t CCanvas::DisplayData(uint32_t id, int64_t value, int32_t set, int32_t& handled) {
    handled = 1;
    switch (id) {
    case eCmdZoomOut:
    case eCmdZoomIn:
        return DoZoom(id == eCmdZoomIn ? 1 : 0, 1);
    case eCmdSetupCanvasWidget:
        if (const error e = SetupCanvasWidget(ChannelPointer<CWidget>(value)); e != eNoError) {
            (void)ReportError(
                e, "CCanvas Failed to set up the canvas image widget."); // shown; e goes back
            return e;
        }
        return 0;
    case eCmdRedrawCanvas:
        return RedrawCanvas();
    case eCmdDisplayScale:
        if (set) {
            SetScale(*ChannelPointer<float>(value), 0);
        } else {
            *ChannelPointer<float>(value) = m_rDisplayScale;
        }
        return 0;
    default:
        handled = 0;
        return 0;
    }
}
