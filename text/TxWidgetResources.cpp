// Loading the text widget: its chunks act at once with rendering held,
// then the text list, one render and the children.

#include <cmath>
#include <limits>
#include <string_view>

#include "FileIO/ResourceLoading.h"
#include "foundation/Rounding.h"
#include "text/TxWidget.h"
#include "widgets/WidgetChunkLoop.h"

using namespace widget_loading;

namespace {

// A setter's result: a failure is shown with the chunk's text and ends the
// load.
error Applied(error e, const char* text) {
    return e != eNoError ? Fail(e, eResourceReadError, text) : eNoError;
}

// A pixel height read as a Real: the nearest whole number, halves away
// from zero, saturating at the Int32 range.
int32_t PixelHeightOf(float value) {
    const float rounded = RoundHalfAway(value);
    constexpr float kMost = 2147483520.0f; // the largest float below 2^31
    if (rounded >= kMost) {
        return std::numeric_limits<int32_t>::max();
    }
    if (rounded <= -kMost) {
        return std::numeric_limits<int32_t>::min();
    }
    return int32_t(rounded);
}

// Whether the text is exactly the word (code unit by code unit).
bool IsWord(const gCString& text, std::u16string_view word) {
    const char16_t* units = text.GetBuffer();
    return text.GetLength() == int32_t(word.size()) &&
           (word.empty() || std::u16string_view(units, word.size()) == word);
}

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
    }
    if (error e = RecalcSizePosition(0)) {
        return e;
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
    float real = 0.0f;
    gCString text;
    error e = eNoError;
    switch (uint32_t(code)) {
    case FourCC("font"):
        if ((e = ReadChunkString(data, text, "TxWidget font.")) != eNoError) {
            return e;
        }
        return Applied(SetFontName(text, 0, 0), "TxWidget font.");
    case FourCC("fsiz"):
        if ((e = data->ReadReal(real)) != eNoError) {
            return ReadFailed(e, "TxWidget fsiz.");
        }
        // A size that is not finite leaves the sizes as they were.
        return std::isfinite(real)
                   ? Applied(SetFontPixelHeight(PixelHeightOf(real), 0, 0), "TxWidget fsiz.")
                   : eNoError;
    case FourCC("fpsz"):
        if ((e = data->ReadReal(real)) != eNoError) {
            return ReadFailed(e, "TxWidget fpsz.");
        }
        return std::isfinite(real) ? Applied(SetFontPointHeight(real, 0, 0), "TxWidget fpsz.")
                                   : eNoError;
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
    case FourCC("fbld"):
        if ((e = ReadInt(data, value, "TxWidget fbld.")) != eNoError) {
            return e;
        }
        return Applied(SetTextBold(value == 1 ? 1 : 0, 0, 0), "TxWidget fbld.");
    case FourCC("fita"):
        if ((e = ReadInt(data, value, "TxWidget fita.")) != eNoError) {
            return e;
        }
        return Applied(SetTextItalic(value == 1 ? 1 : 0, 0, 0), "TxWidget fita.");
    case FourCC("fudl"):
        if ((e = ReadInt(data, value, "TxWidget fudl.")) != eNoError) {
            return e;
        }
        return Applied(SetTextUnderline(value == 1 ? 1 : 0, 0, 0), "TxWidget fudl.");
    case FourCC("text"):
        if ((e = ReadChunkString(data, text, "TxWidget text.")) != eNoError) {
            return e;
        }
        return Applied(SetText(text, 0, 0), "TxWidget text.");
    case FourCC("txls"):
        return ReadChunkString(data, holder->m_TextListName, "TxWidget txls.");
    case FourCC("txlx"):
        return ReadInt(data, holder->m_nTextListIndex, nullptr);
    case FourCC("txsz"):
        if ((e = ReadInt(data, value, "TxWidget txsz.")) != eNoError) {
            return e;
        }
        SetAutoSizeImage(value == 1 ? 1 : 0);
        return eNoError;
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
