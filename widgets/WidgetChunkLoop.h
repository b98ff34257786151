#pragma once
// The loop every widget class runs over its block (here and in the text
// widgets above), and the helpers its chunk parsers share.

#include <cmath>
#include <cstdint>

#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "widgets/Widget.h"

namespace widget_loading {

// The texts the loop shows, one per step.
struct SLoopTexts {
    const char* size;
    const char* memorySize;
    const char* block;
    const char* rewind;
    const char* chunkType;
    const char* parse;
    const char* hierarchy;
};

inline constexpr SLoopTexts kWidgetTexts{
    "Error reading widget data block size.", "Error setting widget memfile size",
    "Error reading widget data block.",      "Error rewinding widget data block.",
    "Error reading widget data chunk type.", "Error parsing widget data chunk type.",
    "Error constructing widget hierarchy.",
};

// Shows the text with the code shown and returns result.
inline error Fail(error result, int32_t shown, const char* text) {
    (void)ReportError(shown, text); // the alert is all there is to show
    return result;
}

// A payload that cannot be read: shown with eResourceReadError and the
// chunk's text, the read's error returned.
inline error ReadFailed(error e, const char* text) {
    return Fail(e, eResourceReadError, text);
}

inline error ReadInt(gCMemFile* data, int32_t& value, const char* text) {
    const error e = data->ReadInt32(value);
    return e != eNoError ? ReadFailed(e, text) : eNoError;
}

// A Real payload; one that is not finite gives the field's default.
inline error ReadReal(gCMemFile* data, float& value, float fallback, const char* text) {
    const error e = data->ReadReal(value);
    if (e != eNoError) {
        return ReadFailed(e, text);
    }
    if (!std::isfinite(value)) {
        value = fallback;
    }
    return eNoError;
}

// A chunk string: stored with one unit more than its text (the line feed
// the writer adds), which is dropped.
inline error ReadChunkString(gCMemFile* data, gCString& text, const char* textOnFailure) {
    const error e = data->ReadString(text);
    if (e != eNoError) {
        return ReadFailed(e, textOnFailure);
    }
    if (text.GetLength() > 0) {
        (void)text.RemoveChar(text.GetLength() - 1, 1); // the count removed is not needed
    }
    return eNoError;
}

// The widgets whose blocks are being read, innermost first: a child block
// naming one of them would be a cycle.
class CLoadingFrame {
public:
    explicit CLoadingFrame(const CWidget* widget) : m_pWidget(widget), m_pOuter(s_pInnermost) {
        s_pInnermost = this;
    }
    ~CLoadingFrame() { s_pInnermost = m_pOuter; }
    CLoadingFrame(const CLoadingFrame&) = delete;
    CLoadingFrame& operator=(const CLoadingFrame&) = delete;

    // Whether a block of that tag and name is being read.
    static bool IsLoading(uint32_t type, const gCString& name);

private:
    const CWidget* m_pWidget;
    CLoadingFrame* m_pOuter;
    static inline CLoadingFrame* s_pInnermost = nullptr;
};

// Reads the block's data at the file's position into memory and hands each
// chunk to parse(code, data); the holder's use afterwards is the caller's.
// The size is checked against what is left of the block before anything is
// allocated: one that runs past it fails with the block's text.
template <class Parse>
error ReadChunks(gCResourceObject& object, gCFile* file, const SLoopTexts& texts, Parse parse) {
    if (!file) {
        CAppServices* app = CAppServices::Get();
        file = app ? app->GetResFile() : nullptr;
    }
    if (!file) {
        return Fail(eInvalidFile, eResourceReadError, texts.size);
    }
    int32_t size = 0;
    error e = object.ReadPayloadCount(file, size, 1);
    if (e != eNoError) {
        // A size that runs past the block is a data block that cannot be
        // read; the size text is for a size field that cannot be read.
        return Fail(e, eResourceReadError, e == eResourceReadError ? texts.block : texts.size);
    }
    gCMemFile data;
    if ((e = data.GrowBy(size)) != eNoError) {
        return Fail(e, eResourceReadError, texts.memorySize);
    }
    if (size > 0 && (e = file->ReadBlock(data.GetMemBlock()->GetData(), size)) != eNoError) {
        return Fail(e, eResourceReadError, texts.block);
    }
    if ((e = data.Rewind()) != eNoError) {
        return Fail(e, eResourceReadError, texts.rewind);
    }
    int32_t code = 0;
    if ((e = data.ReadInt32(code)) != eNoError) {
        return Fail(e, eResourceReadError, texts.chunkType);
    }
    const int64_t end = data.GetSize();
    while (data.GetFilePos() < end) {
        if ((e = parse(code, &data)) != eNoError) {
            return Fail(e, eResourceReadError, texts.parse);
        }
        if (data.GetFilePos() >= end) {
            break;
        }
        if ((e = data.ReadInt32(code)) != eNoError) {
            return Fail(e, eResourceReadError, texts.chunkType);
        }
    }
    return eNoError;
}

// The whole load of a class: the chunks, then the children.
template <class Holder, class Parse>
error LoadWidget(CWidget& widget, gCFile* file, Holder& holder, Parse parse) {
    CLoadingFrame frame(&widget);
    error e = ReadChunks(widget, file, kWidgetTexts, parse);
    if (e != eNoError) {
        return e;
    }
    if ((e = widget.ConstructHierarchy(&holder, file)) != eNoError) {
        return Fail(e, eCreateFailed, kWidgetTexts.hierarchy);
    }
    return eNoError;
}

} // namespace widget_loading
