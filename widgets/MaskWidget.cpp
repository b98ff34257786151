// The mask widget's mask: which image it holds, frames of a list, sizes,
// and its loading.

#include "widgets/MaskWidget.h"

#include <algorithm>
#include <new>

#include "FileIO/ResourceLoading.h"
#include "imaging/ImNav.h"
#include "imaging/Stretcher.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/detail/ImageChunks.h"

using namespace widget_loading;

namespace {

bool HasPixels(const CImage8* image) {
    return image && image->IsValid();
}

// A new mask with a surface of that (positive) size, or null.
std::unique_ptr<CImage8> NewMask(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    std::unique_ptr<CImage8> mask(new (std::nothrow) CImage8(width, height));
    if (!mask || !mask->IsValid()) {
        return nullptr;
    }
    return mask;
}

} // namespace

CMaskWidget::~CMaskWidget() {
    // The mask first: it may be a frame of the list, which deletes its
    // frames with itself.
    m_pMask.reset();
    m_pImageList.reset();
}

void CMaskWidget::HoldMask(CImage8* mask) {
    if (mask != m_pMask.get()) {
        m_pMask.reset(mask);
    }
}

error CMaskWidget::ShowNewMask(int32_t redraw) {
    if (m_fVisible) {
        if (error e = InvalidateClient(0)) {
            return e;
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

// ---------------------------------------------------------------------------
// Masks and frames

error CMaskWidget::ResizeAroundImage(int32_t redraw) {
    if (!m_pMask) {
        return eNoError;
    }
    return CWidget::SetSize(m_pMask->GetWidth(), m_pMask->GetHeight(), redraw);
}

error CMaskWidget::SetImage(CImage8* image, int32_t resize, int32_t redraw) {
    if (!image) {
        return eBadParameter;
    }
    if (m_fStretchImageOnSet) {
        return SetStretchedImage(image, redraw);
    }
    if (!HasPixels(image)) {
        return eBadParameter;
    }
    HoldMask(image);
    if (resize) {
        return ResizeAroundImage(redraw);
    }
    return ShowNewMask(redraw);
}

error CMaskWidget::SetStretchedImage(CImage8* image, int32_t redraw) {
    // The given image goes once it is scaled, and on every way out before;
    // the mask held stays until the scaled one is made.
    const bool held = image == m_pMask.get();
    MaskPtr given(held ? nullptr : image);
    if (!HasPixels(image)) {
        return eBadParameter;
    }
    std::unique_ptr<CImage8> fresh = NewMask(Width(), Height());
    if (!fresh) {
        return eOutOfMemory;
    }
    {
        CImNav8 dst(fresh.get());
        CImNav8 src(image);
        if (!dst.IsLocked() || !src.IsLocked()) {
            return eOutOfMemory;
        }
        if (error e = CStretcher::StretchBlit(&dst, &src)) {
            return e;
        }
    }
    HoldMask(fresh.release()); // deletes the old mask, the given one when it was held
    given.reset();
    return ShowNewMask(redraw);
}

error CMaskWidget::SetImageList(gCImageList8* list) {
    if (!list) {
        return eBadParameter;
    }
    if (list == m_pImageList.get()) {
        return eNoError;
    }
    // A mask shown from a list that deletes its frames with itself goes
    // with the list.
    const gCImageList8* old = m_pImageList.get();
    bool dropMask = false;
    if (old && old->IsExclusive() && !old->IsPooled() && m_pMask) {
        const gCArray<CImage8*>& frames = old->Images();
        dropMask = std::find(frames.begin(), frames.end(), m_pMask.get()) != frames.end();
    }
    if (dropMask) {
        (void)m_pMask.release(); // the list owns it
    }
    m_pImageList.reset(list);
    m_nImageIndex = 0;
    return dropMask && m_fVisible ? InvalidateClient(0) : eNoError;
}

error CMaskWidget::SetImage(int32_t index, int32_t resize, int32_t redraw) {
    if (!m_pImageList || index < 0 || index >= m_pImageList->GetCount()) {
        return eBadParameter;
    }
    m_nImageIndex = index;
    return SetImage(m_pImageList->GetImage(index), resize, redraw);
}

error CMaskWidget::AdvanceFrame(int32_t resize, int32_t redraw) {
    if (!m_pImageList || m_pImageList->GetCount() < 2) {
        return eBadParameter;
    }
    const int32_t next = m_nImageIndex + 1 < m_pImageList->GetCount() ? m_nImageIndex + 1 : 0;
    return SetImage(next, resize, redraw);
}

error CMaskWidget::CompressImage() {
    return m_pMask && !m_pMask->IsCompressed() ? m_pMask->Compress() : eNoError;
}

error CMaskWidget::DecompressImage() {
    return m_pMask && m_pMask->IsCompressed() ? m_pMask->Decompress() : eNoError;
}

error CMaskWidget::AlphaChanged(int32_t redraw) {
    if (error e = UpdateAllEffects()) {
        return e;
    }
    return InvalidateTotal(redraw);
}

// ---------------------------------------------------------------------------
// Size and contents

error CMaskWidget::SizeChanged() {
    const int32_t width = Width();
    const int32_t height = Height();
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    if (m_pMask && m_pMask->GetWidth() == width && m_pMask->GetHeight() == height) {
        return eNoError;
    }
    // A new mask rather than a resized one: a shared mask is let go, never
    // resized under its other users.
    std::unique_ptr<CImage8> fresh = NewMask(width, height);
    if (!fresh) {
        return eOutOfMemory;
    }
    HoldMask(fresh.release());
    return MakeContents();
}

error CMaskWidget::MakeContents() {
    if (!m_pMask) {
        return eNoError;
    }
    if (m_pMask->IsPooled() || m_pMask->IsCompressed() || !m_pMask->IsValid()) {
        // Never written into: a shared mask, or one without a plain surface.
        std::unique_ptr<CImage8> fresh = NewMask(m_pMask->GetWidth(), m_pMask->GetHeight());
        if (!fresh) {
            return eOutOfMemory;
        }
        HoldMask(fresh.release());
    }
    CImNav8 view(m_pMask.get());
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    view.Fill(uint8_t(uint32_t(m_ClientColour) >> 24));
    return eNoError;
}

// ---------------------------------------------------------------------------
// Loading

CMaskWidget* CMaskWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CMaskWidget>(id, file, index);
}

CMaskWidget* CMaskWidget::CreateFromRes(const gCString& name, gCFile* file,
                                        gCResourceIndex* index) {
    return CreateFromResource<CMaskWidget>(name, file, index);
}

error CMaskWidget::SetFromResData(gCFile* file) {
    CMaskWidgetDataHolder holder;
    const error e = LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
    return e != eNoError ? e : ApplyHolder(holder, file);
}

namespace {

constexpr SImageTexts kMaskWidgetTexts{
    "MaskWidget imag.",
    "MaskWidget imls.",
    "MaskWidget imlx.",
    "MaskWidget imsh.",
    "MaskWidget stim.",
    nullptr, // "imcm" cut short shows the code's message alone
    "MaskWidget image load.",
    "MaskWidget image load failed!",
    "MaskWidget assign image failed.",
    "MaskWidget image list load failed!",
    "MaskWidget assign image list failed.",
    "MaskWidget change image idx failed.",
};

} // namespace

error CMaskWidget::ParseResData(int32_t code, gCMemFile* data, CMaskWidgetDataHolder* holder) {
    error e = eNoError;
    if (ReadImageChunk(code, data, *holder, kMaskWidgetTexts, e)) {
        return e;
    }
    return CCoWidget::ParseResData(code, data, holder);
}

error CMaskWidget::ApplyHolder(CMaskWidgetDataHolder& holder, gCFile* file) {
    return ApplyImageHolder<CImage8, gCImageList8>(*this, holder, file, kMaskWidgetTexts);
}
