// Loading a table from its block: the client colour and the shadow,
// cut-out and gradient effects; every other chunk goes to CWidget's parser,
// which refuses what it does not know (the glow and border effects too).

#include "FileIO/ResourceLoading.h"
#include "text/TableWidget.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/WidgetEffectConstructor.h"

using namespace widget_loading;

namespace {

struct SEffectChunk {
    uint32_t code;
    const char* failed;
};
constexpr SEffectChunk kTableEffectChunks[] = {
    {FourCC("ctot"), "Widget cutout effect failed."},
    {FourCC("grdf"), "Widget gradient effect failed."},
    {FourCC("shad"), "Widget shadow effect failed."},
};

} // namespace

CTableWidget* CTableWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTableWidget>(id, file, index);
}

CTableWidget* CTableWidget::CreateFromRes(const gCString& name, gCFile* file,
                                          gCResourceIndex* index) {
    return CreateFromResource<CTableWidget>(name, file, index);
}

error CTableWidget::SetFromResData(gCFile* file) {
    CWidgetDataHolder holder;
    return LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
}

error CTableWidget::ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder) {
    if (uint32_t(code) == FourCC("colr")) {
        int32_t colour = 0;
        if (error e = data->ReadInt32(colour)) {
            return Fail(e, eResourceReadError, "CoWidget colr.");
        }
        m_ClientColour = CPixel(uint32_t(colour));
        return eNoError;
    }
    for (const SEffectChunk& effect : kTableEffectChunks) {
        if (effect.code == uint32_t(code)) {
            if (!CWidgetEffectConstructor::ConstructEffect(code, this, data)) {
                return Fail(eResourceReadError, eCreateFailed, effect.failed);
            }
            return eNoError;
        }
    }
    return CWidget::ParseResData(code, data, holder);
}
