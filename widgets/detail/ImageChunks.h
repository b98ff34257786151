#pragma once
// The image chunks the image and mask widgets share ("imag", "imls",
// "imlx", "imsh", "stim", "imcm") and what their loaders do with them once
// the block is read: the picture by name (shared through the image pool
// when asked), compressed and sized to when asked, or else the list and
// its frame. Each class brings its own image and list types and texts.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "FileIO/gCMemFile.h"
#include "widgets/ImageChunkTexts.h"
#include "widgets/UnlessPooled.h"
#include "widgets/WidgetChunkLoop.h"

namespace widget_loading {


// Reads an image chunk into the holder; false for any other code.
template <class Holder>
bool ReadImageChunk(int32_t code, gCMemFile* data, Holder& holder, const SImageTexts& texts,
                    error& result) {
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
        result = ReadChunkString(data, holder.m_ImageName, texts.imag);
        return true;
    case FourCC("imls"):
        result = ReadChunkString(data, holder.m_ImageListName, texts.imls);
        return true;
    case FourCC("imlx"):
        result = ReadInt(data, holder.m_nListIndex, texts.imlx);
        return true;
    case FourCC("imsh"):
        result = flag(texts.imsh, holder.m_fSharedImage);
        return true;
    case FourCC("stim"):
        result = flag(texts.stim, holder.m_fSizeToImage);
        return true;
    case FourCC("imcm"):
        result = flag(texts.imcm, holder.m_fCompressImage);
        return true;
    default:
        return false;
    }
}

// The holder applied to the widget once the block is read. Image and List
// are the widget's picture and list types.
template <class Image, class List, class Widget, class Holder>
error ApplyImageHolder(Widget& widget, Holder& holder, gCFile* file, const SImageTexts& texts) {
    error e = eNoError;
    if (holder.m_ImageName.GetLength() > 0) {
        std::unique_ptr<Image, SDeleteUnlessPooled> image;
        if (holder.m_fSharedImage) {
            image.reset(Image::CreateSharedFromRes(holder.m_ImageName, file, nullptr));
            if (!image) {
                return Fail(eResourceReadError, eResourceNotFound, texts.sharedLoad);
            }
        } else {
            image.reset(Image::CreateFromRes(holder.m_ImageName, file, nullptr));
            if (!image) {
                return Fail(eResourceReadError, eCreateFailed, texts.load);
            }
        }
        e = widget.SetImage(image.get(), 0, 0);
        if (widget.Image() == image.get()) {
            (void)image.release(); // the widget holds it now
        }
        if (e != eNoError) {
            return Fail(e, eCreateFailed, texts.assign);
        }
        if (holder.m_fCompressImage && (e = widget.CompressImage()) != eNoError) {
            return e;
        }
        return holder.m_fSizeToImage ? widget.ResizeAroundImage(0) : eNoError;
    }
    if (holder.m_ImageListName.GetLength() > 0) {
        std::unique_ptr<List, SDeleteUnlessPooled> list(
            List::CreateFromRes(holder.m_ImageListName, file, nullptr));
        if (!list) {
            return Fail(eResourceReadError, eCreateFailed, texts.listLoad);
        }
        e = widget.SetImageList(list.get());
        if (widget.ImageList() == list.get()) {
            (void)list.release(); // the widget holds it now
        }
        if (e != eNoError) {
            return Fail(e, eCreateFailed, texts.assignList);
        }
        if ((e = widget.SetImage(holder.m_nListIndex, 0, 0)) != eNoError) {
            return Fail(e, eCreateFailed, texts.index);
        }
        return holder.m_fSizeToImage ? widget.ResizeAroundImage(0) : eNoError;
    }
    return eNoError;
}

} // namespace widget_loading
