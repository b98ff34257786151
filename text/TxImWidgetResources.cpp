// Loading the captioned image widget: its chunks, with the text chunks
// going to the caption at once; then the image or image list and the text
// list. A "hier" chunk is read and builds nothing.

#include "FileIO/ResourceLoading.h"
#include "text/TxImWidget.h"
#include "text/detail/TextChunks.h"
#include "widgets/WidgetChunkLoop.h"

using namespace widget_loading;
using namespace text_chunks;

namespace {

constexpr SImageTexts kTxImWidgetTexts{
    "ImWidget imag.",
    "ImWidget imls.",
    "ImWidget imlx.",
    "ImWidget imsh.",
    "ImWidget stim.",
    "ImWidget imcm.",
    "ImWidget image load.",
    "TxImWidget image load failed!",
    "TxImWidget assign image failed.",
    "TxImWidget image list load failed!",
    "TxImWidget assign image list failed.",
    "TxImWidget change image idx failed.",
};

} // namespace

CTxImWidget* CTxImWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTxImWidget>(id, file, index);
}

CTxImWidget* CTxImWidget::CreateFromRes(const gCString& name, gCFile* file,
                                        gCResourceIndex* index) {
    return CreateFromResource<CTxImWidget>(name, file, index);
}

error CTxImWidget::SetFromResData(gCFile* file) {
    CTxImWidgetDataHolder holder;
    return LoadCaptioned(
        file, holder,
        [&](int32_t code, gCMemFile* data) { return ParseResData(code, data, &holder); }, [] {});
}

error CTxImWidget::LoadCaptioned(gCFile* file, CTxImWidgetDataHolder& holder,
                                 const std::function<error(int32_t, gCMemFile*)>& parse,
                                 const std::function<void()>& afterImage) {
    CLoadingFrame frame(this);
    if (error e = ReadChunks(*this, file, kWidgetTexts, parse)) {
        return e;
    }
    if (error e = ApplyHolder(holder, file, kTxImWidgetTexts)) {
        return e;
    }
    afterImage();
    ApplyTextList(holder, file);
    return eNoError;
}

void CTxImWidget::ApplyTextList(CTxImWidgetDataHolder& holder, gCFile* file) {
    if (holder.m_sTextListName.GetLength() == 0) {
        return;
    }
    std::unique_ptr<CTextList, SDeleteUnlessPooled> list(
        CTextList::CreateFromRes(holder.m_sTextListName, file, nullptr));
    if (!list) {
        // Shown, and the widget loads without a list.
        (void)ReportError(eCreateFailed, "TxImWidget text list failed.");
        return;
    }
    if (SetTextList(list.get()) == eNoError) {
        (void)list.release(); // the caption holds it now
    }
    // A list or an entry the caption refuses leaves the caption as it was.
    (void)SetText(holder.m_nTextListIndex, 0, 0);
}

error CTxImWidget::ParseResData(int32_t code, gCMemFile* data, CTxImWidgetDataHolder* holder) {
    error e = eNoError;
    if (ReadTextChunk(*this, code, data,
                      {holder->m_sTextListName, holder->m_nTextListIndex, "TxWidget txlx."}, e)) {
        return e;
    }
    if (uint32_t(code) == FourCC("fjst")) {
        // Read and compared, and the caption's placement left as it is.
        gCString word;
        return ReadChunkString(data, word, "TxWidget fjst.");
    }
    return CImWidget::ParseResData(code, data, holder);
}
