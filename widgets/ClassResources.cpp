// Loading of the colour, image and rounded-rectangle widgets: each runs
// CWidget's loop with its own parser and holder.

#include <memory>

#include "FileIO/ResourceLoading.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/WidgetEffectConstructor.h"
#include "widgets/detail/ChunkLoop.h"

using namespace widget_loading;

namespace {

// The effect chunks of colour widgets and what a failure shows.
struct SEffectChunk {
    uint32_t code;
    const char* failed;
};
constexpr SEffectChunk kEffectChunks[] = {
    {FourCC("shad"), "Widget shadow effect failed."},
    {FourCC("glow"), "Widget glow effect failed."},
    {FourCC("ctot"), "Widget cutout effect failed."},
    {FourCC("grdf"), "Widget gradient effect failed."},
    {FourCC("brde"), "Widget border effect failed."},
};

} // namespace

// --- CCoWidget

CCoWidget* CCoWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CCoWidget>(id, file, index);
}

CCoWidget* CCoWidget::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CCoWidget>(name, file, index);
}

error CCoWidget::SetFromResData(gCFile* file) {
    CWidgetDataHolder holder;
    return LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
}

error CCoWidget::ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder) {
    if (uint32_t(code) == FourCC("colr")) {
        int32_t colour = 0;
        const error e = data->ReadInt32(colour);
        if (e != eNoError) {
            return Fail(e, eResourceReadError, "CoWidget colr.");
        }
        m_ClientColour = CPixel(uint32_t(colour));
        return eNoError;
    }
    for (const SEffectChunk& effect : kEffectChunks) {
        if (effect.code == uint32_t(code)) {
            if (!CWidgetEffectConstructor::ConstructEffect(code, this, data)) {
                return Fail(eResourceReadError, eCreateFailed, effect.failed);
            }
            return eNoError;
        }
    }
    return CWidget::ParseResData(code, data, holder);
}

// --- CImWidget

CImWidget* CImWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CImWidget>(id, file, index);
}

CImWidget* CImWidget::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CImWidget>(name, file, index);
}

error CImWidget::SetFromResData(gCFile* file) {
    CImWidgetDataHolder holder;
    const error e = LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
    return e != eNoError ? e : ApplyHolder(holder, file);
}

error CImWidget::ParseResData(int32_t code, gCMemFile* data, CImWidgetDataHolder* holder) {
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
        return ReadChunkString(data, holder->m_ImageName, "ImWidget imag.");
    case FourCC("imls"):
        return ReadChunkString(data, holder->m_ImageListName, "ImWidget imls.");
    case FourCC("imlx"):
        return ReadInt(data, holder->m_nListIndex, "ImWidget imlx.");
    case FourCC("imsh"):
        return flag("ImWidget imsh.", holder->m_fSharedImage);
    case FourCC("stim"):
        return flag("ImWidget stim.", holder->m_fSizeToImage);
    case FourCC("imcm"):
        return flag("ImWidget imcm.", holder->m_fCompressImage);
    default:
        return CCoWidget::ParseResData(code, data, holder);
    }
}

error CImWidget::ApplyHolder(CImWidgetDataHolder& holder, gCFile* file) {
    error e = eNoError;
    if (holder.m_ImageName.GetLength() > 0) {
        ImagePtr image;
        if (holder.m_fSharedImage) {
            image.reset(CImage::CreateSharedFromRes(holder.m_ImageName, file, nullptr));
            if (!image) {
                return Fail(eResourceReadError, eResourceNotFound, "ImWidget image load.");
            }
        } else {
            image.reset(CImage::CreateFromRes(holder.m_ImageName, file, nullptr));
            if (!image) {
                return Fail(eResourceReadError, eCreateFailed, "ImWidget image load failed!");
            }
        }
        e = SetImage(image.get(), 0, 0);
        if (m_pImage.get() == image.get()) {
            (void)image.release(); // the widget holds it now
        }
        if (e != eNoError) {
            return Fail(e, eCreateFailed, "ImWidget assign image failed.");
        }
        if (holder.m_fCompressImage && (e = CompressImage()) != eNoError) {
            return e;
        }
        return holder.m_fSizeToImage ? ResizeAroundImage(0) : eNoError;
    }
    if (holder.m_ImageListName.GetLength() > 0) {
        ListPtr list(gCImageList::CreateFromRes(holder.m_ImageListName, file, nullptr));
        if (!list) {
            return Fail(eResourceReadError, eCreateFailed, "ImWidget image list load failed!");
        }
        e = SetImageList(list.get());
        if (m_pImageList.get() == list.get()) {
            (void)list.release(); // the widget holds it now
        }
        if (e != eNoError) {
            return Fail(e, eCreateFailed, "ImWidget assign image list failed.");
        }
        if ((e = SetImage(holder.m_nListIndex, 0, 0)) != eNoError) {
            return Fail(e, eCreateFailed, "ImWidget change image idx failed.");
        }
        return holder.m_fSizeToImage ? ResizeAroundImage(0) : eNoError;
    }
    return eNoError;
}

// --- CRoRectWidget

CRoRectWidget* CRoRectWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CRoRectWidget>(id, file, index);
}

CRoRectWidget* CRoRectWidget::CreateFromRes(const gCString& name, gCFile* file,
                                            gCResourceIndex* index) {
    return CreateFromResource<CRoRectWidget>(name, file, index);
}

error CRoRectWidget::SetFromResData(gCFile* file) {
    CWidgetDataHolder holder;
    return LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
}

error CRoRectWidget::ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder) {
    float real = 0.0f;
    int32_t value = 0;
    error e = eNoError;
    // A corner chunk: 1 adds the corner, anything else removes it.
    auto corner = [&](const char* text, uint32_t bit) {
        if ((e = ReadInt(data, value, text)) != eNoError) {
            return e;
        }
        return value == 1 ? AddCornerFlags(bit, 0, 0) : RemoveCornerFlags(bit, 0, 0);
    };
    switch (uint32_t(code)) {
    case FourCC("rrad"):
        e = ReadReal(data, real, 20.0f, "RoRectWidget rrad.");
        return e != eNoError ? e : SetRadius(real, 0, 0);
    case FourCC("rbwd"):
        e = ReadReal(data, real, 0.0f, "RoRectWidget rbwd.");
        return e != eNoError ? e : SetBorderWidth(real, 0, 0);
    case FourCC("rtbh"):
        e = ReadReal(data, real, 0.0f, "RoRectWidget rtbh.");
        return e != eNoError ? e : SetTitleBarHeight(real, 0, 0);
    case FourCC("rbcl"):
        e = ReadInt(data, value, "RoRectWidget rbcl.");
        return e != eNoError ? e : SetBorderColour(CPixel(uint32_t(value)), 0, 0);
    case FourCC("rctl"):
        return corner("RoRectWidget rctl.", eTopLeft);
    case FourCC("rctr"):
        return corner("RoRectWidget rctr.", eTopRight);
    case FourCC("rcbl"):
        return corner("RoRectWidget rcbl.", eBottomLeft);
    case FourCC("rcbr"):
        return corner("RoRectWidget rcbr.", eBottomRight);
    default:
        return CCoWidget::ParseResData(code, data, holder);
    }
}
