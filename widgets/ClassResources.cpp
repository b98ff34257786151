// Loading of the colour, image and rounded-rectangle widgets: each runs
// CWidget's loop with its own parser and holder.

#include <memory>

#include "FileIO/ResourceLoading.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/WidgetEffectConstructor.h"
#include "widgets/detail/ImageChunks.h"

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

namespace {

constexpr SImageTexts kImWidgetTexts{
    "ImWidget imag.",
    "ImWidget imls.",
    "ImWidget imlx.",
    "ImWidget imsh.",
    "ImWidget stim.",
    "ImWidget imcm.",
    "ImWidget image load.",
    "ImWidget image load failed!",
    "ImWidget assign image failed.",
    "ImWidget image list load failed!",
    "ImWidget assign image list failed.",
    "ImWidget change image idx failed.",
};

} // namespace

error CImWidget::ParseResData(int32_t code, gCMemFile* data, CImWidgetDataHolder* holder) {
    error e = eNoError;
    if (ReadImageChunk(code, data, *holder, kImWidgetTexts, e)) {
        return e;
    }
    return CCoWidget::ParseResData(code, data, holder);
}

error CImWidget::ApplyHolder(CImWidgetDataHolder& holder, gCFile* file) {
    return ApplyHolder(holder, file, kImWidgetTexts);
}

error CImWidget::ApplyHolder(CImWidgetDataHolder& holder, gCFile* file, const SImageTexts& texts) {
    return ApplyImageHolder<CImage, gCImageList>(*this, holder, file, texts);
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
