// The layer shadow's sizes and setters, and its under position: rebuilding
// the changed parts of the mattes (gather, reduce, blur) and drawing the
// blurred matte upsampled.

#include "widgets/effects/EffectLayerShadow.h"

#include <algorithm>
#include <new>

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/EffectRows.h"
#include "widgets/detail/LayerUpsample.h"
#include "widgets/detail/LevelBlend.h"

using namespace effectdetail;

namespace {

// Allocates the matte at w x h, or resizes it when its size differs.
error SizeMatte(std::unique_ptr<CImage8>& matte, int64_t w, int64_t h) {
    if (!matte) {
        std::unique_ptr<CImage8> made(new (std::nothrow) CImage8(int32_t(w), int32_t(h)));
        if (!made || !made->IsValid()) {
            return eOutOfMemory;
        }
        matte = std::move(made);
        return eNoError;
    }
    if (matte->GetWidth() != w || matte->GetHeight() != h) {
        return matte->SetSize(int32_t(w), int32_t(h));
    }
    return eNoError;
}

gCRect Grown(const gCRect& r, int64_t by) {
    return PinnedRect(int64_t(r.left) - by, int64_t(r.top) - by, int64_t(r.right) + by,
                      int64_t(r.bottom) + by);
}

gCRect Moved(const gCRect& r, int64_t dx, int64_t dy) {
    return PinnedRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
}

gCRect WholeOf(const CImageBase& image) {
    return gCRect(0, 0, image.GetWidth(), image.GetHeight());
}

} // namespace

CWidgetEffectLayerShadow::CWidgetEffectLayerShadow() {
    ++m_nRefCount;
}

CWidgetEffectLayerShadow::~CWidgetEffectLayerShadow() {
    m_pBlurredMatte.reset();
    m_pRawMatte.reset();
    m_ChangeRegion.Reset();
    --m_nRefCount;
}

error CWidgetEffectLayerShadow::WidgetChanged(CImage*) {
    return WidgetChanged();
}

error CWidgetEffectLayerShadow::WidgetChanged() {
    int64_t w = 0;
    int64_t h = 0;
    if (!OwnerSize(w, h)) {
        return eNoError;
    }
    const int64_t m = Margin();
    const int64_t s = Step();
    const int64_t rawW = w + 2 * m;
    const int64_t rawH = h + 2 * m;
    const int64_t blurW = rawW / s + s;
    const int64_t blurH = rawH / s + s;
    if (std::max({rawW, rawH, blurW, blurH}) > kMaxWorkSide) {
        return eOutOfMemory;
    }
    if (error e = SizeMatte(m_pBlurredMatte, blurW, blurH)) {
        return e;
    }
    if (error e = SizeMatte(m_pRawMatte, rawW, rawH)) {
        return e;
    }
    m_nWidth = w;
    m_nHeight = h;
    m_nMargin = m;
    m_rExtent =
        PinnedRect(-m + m_Offset.x, -m + m_Offset.y, w + m + m_Offset.x, h + m + m_Offset.y);
    // The whole layer is rebuilt: the extent before the offset, which
    // AddChangeRect applies itself where it reports the coverage.
    return AddChangeRect(PinnedRect(-m, -m, w + m, h + m));
}

error CWidgetEffectLayerShadow::AddChangeRect(const gCRect& r) {
    if (!m_pOwner) {
        return eNoError;
    }
    const gCRect grown = Grown(r, m_nMargin);
    if (grown.IsEmpty()) {
        return eNoError;
    }
    if (error e = m_ChangeRegion.AddRect(grown)) {
        return e;
    }
    const gCRect& place = m_pOwner->Rect();
    return m_pOwner->PassChangeCoverageToParent(
        Moved(grown, int64_t(place.left) + m_Offset.x, int64_t(place.top) + m_Offset.y), 0);
}

error CWidgetEffectLayerShadow::SetSpeed(int32_t n) {
    const int32_t before = m_nSpeed;
    m_nSpeed = std::clamp(n, 0, kMaxSpeed);
    if (!m_pOwner) {
        return eNoError;
    }
    // A speed whose mattes cannot be made is not kept.
    const error e = WidgetChanged();
    if (e != eNoError) {
        m_nSpeed = before;
    }
    return e;
}

error CWidgetEffectLayerShadow::SetIncludeChildren(int32_t include, int32_t redraw) {
    m_fIncludeChildren = include;
    return m_pOwner ? m_pOwner->InvalidateTotal(redraw) : eNoError;
}

error CWidgetEffectLayerShadow::PreRenderNotification(const gCRect& area, CImage*, uint32_t alpha) {
    if (Priority() != 0) {
        return FillContainerAlpha(area, alpha);
    }
    return RebuildChanged(alpha);
}

error CWidgetEffectLayerShadow::RebuildChanged(uint32_t alpha) {
    if (!m_pRawMatte || !m_pBlurredMatte || m_ChangeRegion.IsEmpty() || !m_pOwner) {
        m_ChangeRegion.Reset();
        return eNoError;
    }
    const int64_t m = m_nMargin;
    const int64_t s = Step();
    const int64_t reducedMargin = m / s;
    const gCRect raw = WholeOf(*m_pRawMatte);
    const gCRect& place = m_pOwner->Rect();
    gCRect bounds;
    for (const gCRect& k : m_ChangeRegion.GetRects()) {
        bounds = bounds.IsEmpty()
                     ? k
                     : gCRect(std::min(bounds.left, k.left), std::min(bounds.top, k.top),
                              std::max(bounds.right, k.right), std::max(bounds.bottom, k.bottom));
        // Gather: the layer's alpha over k, in raw-matte coordinates.
        const gCRect kr = Moved(k, m, m).Intersected(raw);
        if (kr.IsEmpty()) {
            continue;
        }
        {
            CImNav8 view(m_pRawMatte.get(), &kr);
            if (!view.IsLocked()) {
                return eOutOfMemory;
            }
            view.Fill(0);
        }
        m_pRawMatte->SetOrigin(gCPoint(Pinned(m - place.left), Pinned(m - place.top)));
        const error e =
            TraverseChildren(m_pOwner, Moved(kr, int64_t(place.left) - m, int64_t(place.top) - m),
                             m_pRawMatte.get(), alpha);
        m_pRawMatte->SetOrigin(gCPoint(0, 0));
        if (e != eNoError) {
            return e;
        }
    }
    // The reduced rect R' and the full-resolution rect F it is blurred
    // from, F reaching the blur's margin beyond R'.
    const gCRect reduced =
        PinnedRect(bounds.left / s + reducedMargin, bounds.top / s + reducedMargin,
                   (int64_t(bounds.right) + m_nSpeed) / s + reducedMargin,
                   (int64_t(bounds.bottom) + m_nSpeed) / s + reducedMargin);
    const gCRect full =
        PinnedRect((reduced.left - reducedMargin) * s, (reduced.top - reducedMargin) * s,
                   (reduced.right + reducedMargin) * s, (reduced.bottom + reducedMargin) * s)
            .Intersected(raw);
    if (!full.IsEmpty()) {
        if (error e = ReduceAndBlur(reduced, full)) {
            return e;
        }
    }
    m_ChangeRegion.Reset();
    return eNoError;
}

error CWidgetEffectLayerShadow::ReduceAndBlur(const gCRect& reduced, const gCRect& full) {
    const int32_t s = Step();
    const int32_t workW = full.Width() / s + m_nSpeed;
    const int32_t workH = full.Height() / s + m_nSpeed;
    CImage work{workW, workH};
    if (!work.IsValid()) {
        return eOutOfMemory;
    }
    CImNav to(&work);
    CImNav8 from(m_pRawMatte.get(), &full);
    if (!to.IsLocked() || !from.IsLocked()) {
        return eOutOfMemory;
    }
    const int32_t fw = from.GetWidth();
    const int32_t fh = from.GetHeight();
    if (s == 1) {
        for (int32_t y = 0; y < fh; ++y) {
            const uint8_t* src = from.Row(y);
            CPixel* dst = to.Row(y);
            for (int32_t x = 0; x < fw; ++x) {
                dst[x] = uint32_t(src[x]) * 257u;
            }
        }
    } else {
        // Each s x s block averages the bytes of it that lie inside F.
        for (int32_t by = 0; by < fh; by += s) {
            const int32_t rows = std::min(s, fh - by);
            CPixel* dst = to.Row(by / s);
            for (int32_t bx = 0; bx < fw; bx += s) {
                const int32_t cols = std::min(s, fw - bx);
                uint32_t sum = 0;
                for (int32_t y = 0; y < rows; ++y) {
                    const uint8_t* src = from.Row(by + y) + bx;
                    for (int32_t x = 0; x < cols; ++x) {
                        sum += src[x];
                    }
                }
                dst[bx / s] = sum * 257u / uint32_t(rows * cols);
            }
        }
    }
    if (!CBlur::GaussianBlur(to, UsableRadius() / float(s), 0)) {
        return eOutOfMemory;
    }
    // Blurred-matte position X is work pixel X - F.left / s; what lies past
    // the work image is 0.
    const gCRect into = reduced.Intersected(WholeOf(*m_pBlurredMatte));
    if (into.IsEmpty()) {
        return eNoError;
    }
    CImNav8 out(m_pBlurredMatte.get(), &into);
    if (!out.IsLocked()) {
        return eOutOfMemory;
    }
    const int32_t x0 = full.left / s;
    const int32_t y0 = full.top / s;
    for (int32_t y = into.top; y < into.bottom; ++y) {
        uint8_t* dst = out.Row(y - into.top);
        const int32_t wy = y - y0;
        const bool rowInside = wy >= 0 && wy < workH;
        const CPixel* src = rowInside ? to.Row(wy) : nullptr;
        for (int32_t x = into.left; x < into.right; ++x) {
            const int32_t wx = x - x0;
            dst[x - into.left] =
                src && wx >= 0 && wx < workW ? uint8_t((uint32_t(src[wx]) >> 8) & 0xFFu) : 0;
        }
    }
    return eNoError;
}

error CWidgetEffectLayerShadow::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    switch (Priority()) {
    case 1:
        return eNoError;
    case 2:
        return RenderFromAbove(area, target);
    default:
        return CWidgetEffectShadow::RenderEffect(area, target, alpha);
    }
}

error CWidgetEffectLayerShadow::DoShadowRender(const gCRect& area, CImage* target, uint32_t alpha,
                                               CImage8* mask) {
    if (!target) {
        return eBadParameter;
    }
    alpha = std::min<uint32_t>(alpha, 255);
    gCRect r = area;
    if (!ClipToMask(r, mask) || !m_pBlurredMatte || alpha == 0) {
        return eNoError;
    }
    r = OnTarget(r, *target);
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &r);
    CImNav8 maskView(mask, &r);
    CImNav8 source(m_pBlurredMatte.get());
    if (!view.IsLocked() || (mask && !maskView.IsLocked()) || !source.IsLocked()) {
        return eOutOfMemory;
    }
    const int64_t s = Step();
    const int64_t m = m_nMargin;
    const int64_t srcLeft = (int64_t(r.left) + m - m_Offset.x) / s;
    const int64_t srcTop = (int64_t(r.top) + m - m_Offset.y) / s;
    const int64_t half = s / 2;
    const int64_t x0 = int64_t(r.left) + m - m_Offset.x - half - srcLeft * s;
    const int64_t y0 = int64_t(r.top) + m - m_Offset.y - half - srcTop * s;
    const int64_t bh = source.GetHeight();
    const CLevelSink sink = CLevelSink::ByLevel(m_Colour);
    SUpsampleRow row;
    row.width = source.GetWidth();
    row.srcLeft = srcLeft;
    row.x0 = x0;
    row.step = s;
    row.a1 = alpha + 1;
    // The matte's row y, or null past its edges.
    auto matteRow = [&](int64_t y) -> const uint8_t* {
        return y >= 0 && y < bh ? source.Row(int32_t(y)) : nullptr;
    };
    for (int32_t j = 0; j < view.GetHeight(); ++j) {
        const int64_t v = std::max<int64_t>(0, ((y0 + j) * 256) / s);
        row.rowA = matteRow(srcTop + (v >> 8));
        row.rowB = matteRow(srcTop + (v >> 8) + 1);
        row.fy = int32_t(v & 255);
        row.mask = mask ? maskView.Row(j) : nullptr;
        PutRow(sink, view.Row(j), view.GetWidth(), [&](uint8_t* levels, int32_t first, int32_t n) {
            UpsampleLevelsFast(row, first, n, levels);
        });
    }
    return eNoError;
}
