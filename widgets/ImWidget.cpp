// The image widget's picture: which image it holds, frames of a list,
// sizes, cross-fades, and what its effects are told.

#include "widgets/ImWidget.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Stretcher.h"
#include "widgets/WidgetEffectBase.h"
#include "widgets/detail/RunLengthRows.h"

namespace {

bool HasPixels(const CImage* image) {
    return image && image->IsValid();
}

// A cross-fade's t as a level 0..255; a t that is not finite counts as 0.
uint32_t LerpLevel(float t) {
    if (!std::isfinite(t)) {
        return 0;
    }
    return uint32_t(RoundHalfAway(std::clamp(t * 255.0f, 0.0f, 255.0f)));
}

// A new image with a surface of that size, or null.
std::unique_ptr<CImage> NewImage(int32_t width, int32_t height) {
    std::unique_ptr<CImage> image(new (std::nothrow) CImage(width, height));
    if (!image || !image->IsValid()) {
        return nullptr;
    }
    return image;
}

} // namespace

CImWidget::~CImWidget() {
    // The image first: it may be a frame of the list, which deletes its
    // frames with itself.
    m_pImage.reset();
    m_pImageList.reset();
}

void CImWidget::HoldImage(CImage* image) {
    if (image != m_pImage.get()) {
        m_pImage.reset(image);
    }
}

error CImWidget::ShowNewImage(int32_t redraw) {
    if (m_fVisible) {
        if (error e = InvalidateClient(0)) {
            return e;
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

// ---------------------------------------------------------------------------
// Images and frames

error CImWidget::ResizeAroundImage(int32_t redraw) {
    if (!m_pImage) {
        return eNoError;
    }
    return CWidget::SetSize(m_pImage->GetWidth(), m_pImage->GetHeight(), redraw);
}

error CImWidget::SetImage(CImage* image, int32_t resize, int32_t redraw) {
    if (!image) {
        return eBadParameter;
    }
    if (m_fStretchImageOnSet) {
        return SetStretchedImage(image, redraw);
    }
    if (!HasPixels(image)) {
        return eBadParameter;
    }
    HoldImage(image);
    if (resize) {
        return ResizeAroundImage(redraw);
    }
    return ShowNewImage(redraw);
}

error CImWidget::SetStretchedImage(CImage* image, int32_t redraw) {
    // The given image goes once it is scaled, and on every way out before.
    ImagePtr given(image == m_pImage.get() ? m_pImage.release() : image);
    if (!HasPixels(given.get())) {
        return eBadParameter;
    }
    HoldImage(nullptr);
    std::unique_ptr<CImage> fresh = NewImage(Width(), Height());
    if (!fresh) {
        return eOutOfMemory;
    }
    {
        CImNav dst(fresh.get());
        CImNav src(given.get());
        if (!dst.IsLocked() || !src.IsLocked()) {
            return eOutOfMemory;
        }
        if (error e = CStretcher::StretchBlit(&dst, &src, 0)) {
            return e;
        }
    }
    m_pImage.reset(fresh.release());
    given.reset();
    return ShowNewImage(redraw);
}

error CImWidget::SetImageList(gCImageList* list) {
    if (!list) {
        return eBadParameter;
    }
    if (list == m_pImageList.get()) {
        return eNoError;
    }
    // An image shown from a list that deletes its frames with itself goes
    // with the list.
    const gCImageList* old = m_pImageList.get();
    bool dropImage = false;
    if (old && old->IsExclusive() && !old->IsPooled() && m_pImage) {
        const gCArray<CImage*>& frames = old->Images();
        dropImage = std::find(frames.begin(), frames.end(), m_pImage.get()) != frames.end();
    }
    if (dropImage) {
        (void)m_pImage.release(); // the list owns it
    }
    m_pImageList.reset(list);
    m_nListIndex = 0;
    return dropImage && m_fVisible ? InvalidateClient(0) : eNoError;
}

error CImWidget::SetImage(int32_t index, int32_t resize, int32_t redraw) {
    if (!m_pImageList || index < 0 || index >= m_pImageList->GetCount()) {
        return eBadParameter;
    }
    m_nImageIndex = index;
    m_nListIndex = index;
    return SetImage(m_pImageList->GetImage(index), resize, redraw);
}

error CImWidget::AdvanceFrame(int32_t resize, int32_t redraw) {
    if (!m_pImageList || m_pImageList->GetCount() < 2) {
        return eBadParameter;
    }
    const int32_t next = m_nListIndex + 1 < m_pImageList->GetCount() ? m_nListIndex + 1 : 0;
    return SetImage(next, resize, redraw);
}

error CImWidget::CompressImage() {
    return m_pImage && !m_pImage->IsCompressed() ? m_pImage->Compress() : eNoError;
}

error CImWidget::DecompressImage() {
    return m_pImage && m_pImage->IsCompressed() ? m_pImage->Decompress() : eNoError;
}

// ---------------------------------------------------------------------------
// Size and contents

error CImWidget::SetSize(int32_t width, int32_t height, int32_t redraw) {
    if (error e = CWidget::SetSize(width, height, redraw)) {
        return e;
    }
    // A parented widget hears of its size through the recalculation.
    return Parent() ? eNoError : SizeChanged();
}

error CImWidget::SizeChanged() {
    const int32_t width = Width();
    const int32_t height = Height();
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    if (m_pImage && m_pImage->GetWidth() == width && m_pImage->GetHeight() == height) {
        return eNoError;
    }
    if (m_pImage && !m_pImage->IsPooled()) {
        if (error e = m_pImage->SetSize(width, height)) {
            return e;
        }
    } else {
        // A shared image is let go, never resized under its other users.
        std::unique_ptr<CImage> fresh = NewImage(width, height);
        if (!fresh) {
            return eOutOfMemory;
        }
        HoldImage(fresh.release());
    }
    return MakeContents();
}

error CImWidget::MakeContents() {
    if (!m_pImage) {
        return eNoError;
    }
    CImNav view(m_pImage.get());
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    view.Fill(uint32_t(m_ClientColour) | 0xFF000000u);
    return eNoError;
}

// ---------------------------------------------------------------------------
// Cross-fades

error CImWidget::MakeImagePrivate() {
    std::unique_ptr<CImage> copy = NewImage(m_pImage->GetWidth(), m_pImage->GetHeight());
    if (!copy) {
        return eOutOfMemory;
    }
    if (error e = CStretcher::Blit(copy.get(), m_pImage.get())) {
        return e;
    }
    HoldImage(copy.release());
    return eNoError;
}

error CImWidget::LerpImage(CImage* a, CImage* b, float t, int32_t updateEffects, int32_t redraw) {
    if (!HasPixels(a) || !HasPixels(b) || !HasPixels(m_pImage.get())) {
        return redraw ? PassRedraw() : eNoError;
    }
    if (m_pImage->IsPooled()) {
        if (error e = MakeImagePrivate()) {
            return e;
        }
    }
    const uint32_t level = LerpLevel(t);
    {
        CImNav from(a);
        CImNav to(b);
        CImNav own(m_pImage.get());
        if (!from.IsLocked() || !to.IsLocked() || !own.IsLocked()) {
            return eOutOfMemory;
        }
        const int32_t width = std::min({from.GetWidth(), to.GetWidth(), own.GetWidth()});
        const int32_t height = std::min({from.GetHeight(), to.GetHeight(), own.GetHeight()});
        for (int32_t y = 0; y < height; ++y) {
            const CPixel* rowA = from.Row(y);
            const CPixel* rowB = to.Row(y);
            CPixel* out = own.Row(y);
            for (int32_t x = 0; x < width; ++x) {
                CPixel p = rowA[x];
                p.AlphaMasked(level, rowB[x]);
                out[x] = p;
            }
        }
    }
    if (updateEffects) {
        if (error e = UpdateAllEffects()) {
            return e;
        }
    }
    if (error e = InvalidateTotal(0)) {
        return e;
    }
    return redraw ? PassRedraw() : eNoError;
}

error CImWidget::LerpImage(int32_t i, int32_t j, float t, int32_t updateEffects, int32_t redraw) {
    const int32_t count = m_pImageList ? m_pImageList->GetCount() : 0;
    if (i < 0 || i >= count || j < 0 || j >= count) {
        return redraw ? PassRedraw() : eNoError;
    }
    m_nListIndex = i;
    return LerpImage(m_pImageList->GetImage(i), m_pImageList->GetImage(j), t, updateEffects,
                     redraw);
}

// ---------------------------------------------------------------------------
// Effects

error CImWidget::AlphaChanged(int32_t redraw) {
    if (error e = UpdateAllEffects()) {
        return e;
    }
    return InvalidateTotal(redraw);
}

error CImWidget::EffectChanged(CWidgetEffectBase* effect, int32_t redraw) {
    if (!effect) {
        return eBadParameter;
    }
    if (m_pImage) {
        if (m_pImage->IsCompressed()) {
            CImage copy;
            if (error e = widgetdetail::ExpandRunLength(*m_pImage->GetRLE(), copy)) {
                return e;
            }
            if (error e = effect->WidgetChanged(&copy)) {
                return e;
            }
        } else if (error e = effect->WidgetChanged(m_pImage.get())) {
            return e;
        }
    }
    RebuildTotalAreaRect();
    return InvalidateTotal(redraw);
}
