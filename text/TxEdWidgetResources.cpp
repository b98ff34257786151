// Loading the edit field: the captioned widget's chunks and completion,
// with "txcl" (the text colour) kept for after the image and applied
// always, so the text is opaque black unless the block says otherwise.

#include "FileIO/ResourceLoading.h"
#include "text/TxEdWidget.h"
#include "widgets/WidgetChunkLoop.h"

using namespace widget_loading;

CTxEdWidget* CTxEdWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTxEdWidget>(id, file, index);
}

CTxEdWidget* CTxEdWidget::CreateFromRes(const gCString& name, gCFile* file,
                                        gCResourceIndex* index) {
    return CreateFromResource<CTxEdWidget>(name, file, index);
}

error CTxEdWidget::SetFromResData(gCFile* file) {
    CTxEdWidgetDataHolder holder;
    return LoadCaptioned(
        file, holder,
        [&](int32_t code, gCMemFile* data) { return ParseResData(code, data, &holder); },
        [&] {
            // The caption's colour always changes: its result is its own
            // render's, which shows its failures.
            (void)SetTextColour(holder.m_nTextColour, 1);
        });
}

error CTxEdWidget::ParseResData(int32_t code, gCMemFile* data, CTxEdWidgetDataHolder* holder) {
    if (uint32_t(code) == FourCC("txcl")) {
        int32_t colour = 0;
        if (error e = ReadInt(data, colour, "TxEdWidget txcl.")) {
            return e;
        }
        holder->m_nTextColour = CPixel(uint32_t(colour));
        return eNoError;
    }
    return CTxImWidget::ParseResData(code, data, holder);
}
