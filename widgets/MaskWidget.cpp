// The mask widget's mask: which image it holds, frames of a list, sizes,
// and its loading.

#include "widgets/MaskWidget.h"

#include <algorithm>
#include <new>

#include "FileIO/ResourceLoading.h"
#include "imaging/ImNav.h"
#include "imaging/Stretcher.h"
#include "widgets/detail/ChunkLoop.h"

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

error CMaskWidget::ParseResData(int32_t code, gCMemFile* data, CMaskWidgetDataHolder* holder) {
    int32_t value = 0;
    auto flag = [&](const char* text, int32_t& field) {
        const error e = ReadInt(data, value, text);
        if (e == eNoError) {
            field = value == 1 ? 1 : 0;
        }
        return e;
    };
    switch (uint32_t(code)) {
    case FourCC("imag"):
        return ReadChunkString(data, holder->m_ImageName, "MaskWidget imag.");
    case FourCC("imls"):
        return ReadChunkString(data, holder->m_ImageListName, "MaskWidget imls.");
    case FourCC("imlx"):
        return ReadInt(data, holder->m_nListIndex, "MaskWidget imlx.");
    case FourCC("imsh"):
        return flag("MaskWidget imsh.", holder->m_fSharedImage);
    case FourCC("stim"):
        return flag("MaskWidget stim.", holder->m_fSizeToImage);
    case FourCC("imcm"):
        return flag("MaskWidget imcm.", holder->m_fCompressImage);
    default:
        return CCoWidget::ParseResData(code, data, holder);
    }
}

error CMaskWidget::ApplyHolder(CMaskWidgetDataHolder& holder, gCFile* file) {
    error e = eNoError;
    if (holder.m_ImageName.GetLength() > 0) {
        MaskPtr image;
        if (holder.m_fSharedImage) {
            image.reset(CImage8::CreateSharedFromRes(holder.m_ImageName, file, nullptr));
            if (!image) {
                return Fail(eResourceReadError, eResourceNotFound, "MaskWidget image load.");
            }
        } else {
            image.reset(CImage8::CreateFromRes(holder.m_ImageName, file, nullptr));
            if (!image) {
                return Fail(eResourceReadError, eCreateFailed, "MaskWidget image load failed!");
            }
        }
        e = SetImage(image.get(), 0, 0);
        if (m_pMask.get() == image.get()) {
            (void)image.release(); // the widget holds it now
        }
        if (e != eNoError) {
            return Fail(e, eCreateFailed, "MaskWidget assign image failed.");
        }
        if (holder.m_fCompressImage && (e = CompressImage()) != eNoError) {
            return e;
        }
        return holder.m_fSizeToImage ? ResizeAroundImage(0) : eNoError;
    }
    if (holder.m_ImageListName.GetLength() > 0) {
        ListPtr list(gCImageList8::CreateFromRes(holder.m_ImageListName, file, nullptr));
        if (!list) {
            return Fail(eResourceReadError, eCreateFailed, "MaskWidget image list load failed!");
        }
        e = SetImageList(list.get());
        if (m_pImageList.get() == list.get()) {
            (void)list.release(); // the widget holds it now
        }
        if (e != eNoError) {
            return Fail(e, eCreateFailed, "MaskWidget assign image list failed.");
        }
        if ((e = SetImage(holder.m_nListIndex, 0, 0)) != eNoError) {
            return Fail(e, eCreateFailed, "MaskWidget change image idx failed.");
        }
        return holder.m_fSizeToImage ? ResizeAroundImage(0) : eNoError;
    }
    return eNoError;
}
