// Loading the text widget: its chunks act at once with rendering held,
// then the text list, one render and the children.

#include "FileIO/ResourceLoading.h"
#include "text/TxWidget.h"
#include "text/detail/TextChunks.h"
#include "widgets/WidgetChunkLoop.h"

using namespace widget_loading;
using namespace text_chunks;

namespace {

// Rendering held while it lives.
class CHeldRendering {
public:
    explicit CHeldRendering(int32_t& flag) : m_rFlag(flag) { m_rFlag = 1; }
    ~CHeldRendering() { m_rFlag = 0; }
    CHeldRendering(const CHeldRendering&) = delete;
    CHeldRendering& operator=(const CHeldRendering&) = delete;

private:
    int32_t& m_rFlag;
};

} // namespace

CTxWidget* CTxWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTxWidget>(id, file, index);
}

CTxWidget* CTxWidget::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTxWidget>(name, file, index);
}

error CTxWidget::SetFromResData(gCFile* file) {
    CTxWidgetDataHolder holder;
    CLoadingFrame frame(this);
    {
        CHeldRendering held(m_fHoldRendering);
        if (error e = ReadChunks(*this, file, kWidgetTexts, [&](int32_t code, gCMemFile* data) {
                return ParseResData(code, data, &holder);
            })) {
            return e;
        }
        if (error e = ApplyTextList(holder, file)) {
            return e;
        }
        // The size of the block, with the one render still to come.
        if (error e = RecalcSizePosition(0)) {
            return e;
        }
    }
    if (error e = RenderText(1, 0)) {
        return e;
    }
    if (error e = ConstructHierarchy(&holder, file)) {
        return Fail(e, eCreateFailed, kWidgetTexts.hierarchy);
    }
    return eNoError;
}

error CTxWidget::ApplyTextList(CTxWidgetDataHolder& holder, gCFile* file) {
    if (holder.m_TextListName.GetLength() == 0) {
        return eNoError;
    }
    constexpr const char* kFailed = "TxWidget text list failed.";
    std::unique_ptr<CTextList, SDeleteUnlessPooled> list(
        CTextList::CreateFromRes(holder.m_TextListName, file, nullptr));
    if (!list) {
        return Fail(eResourceReadError, eCreateFailed, kFailed);
    }
    error e = SetTextList(list.get());
    if (m_pTextList.get() == list.get()) {
        (void)list.release(); // the widget holds it now
    }
    if (e != eNoError) {
        return Fail(e, eCreateFailed, kFailed);
    }
    if ((e = SetText(holder.m_nTextListIndex, 0, 0)) != eNoError) {
        return Fail(e, eCreateFailed, "TxWidget text list entry index failed.");
    }
    return eNoError;
}

error CTxWidget::ParseResData(int32_t code, gCMemFile* data, CTxWidgetDataHolder* holder) {
    int32_t value = 0;
    gCString text;
    error e = eNoError;
    if (ReadTextChunk(*this, code, data,
                      {holder->m_TextListName, holder->m_nTextListIndex, nullptr}, e)) {
        return e;
    }
    switch (uint32_t(code)) {
    case FourCC("fjst"): {
        if ((e = ReadChunkString(data, text, "TxWidget fjst.")) != eNoError) {
            return e;
        }
        CTextRenderer::EJustify justify = CTextRenderer::eJustifyLeft;
        if (IsWord(text, u"right")) {
            justify = CTextRenderer::eJustifyRight;
        } else if (IsWord(text, u"centre") || IsWord(text, u"center")) {
            justify = CTextRenderer::eJustifyCentre;
        }
        (void)SetJustify(justify, 0, 0); // its result does not count
        return eNoError;
    }
    case FourCC("txwr"):
        if ((e = ReadInt(data, value, nullptr)) != eNoError) {
            return e;
        }
        (void)SetWordWrap(value != 0 ? 1 : 0, 0, 0); // its result does not count
        return eNoError;
    default:
        return CMaskWidget::ParseResData(code, data, holder);
    }
}
