#pragma once
// The text chunks the text widget and the captioned image widget share
// ("font", "fsiz", "fpsz", "fbld", "fita", "fudl", "text", "txls", "txlx",
// "txsz"): each read and handed at once to the class's own setter with
// neither resize nor redraw, the text list's name and entry kept for after
// the block.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "FileIO/FileTypes.h"
#include "FileIO/gCMemFile.h"
#include "foundation/Rounding.h"
#include "foundation/gCString.h"
#include "widgets/WidgetChunkLoop.h"

namespace text_chunks {

// A setter's result: a failure is shown with the chunk's text and ends the
// load.
inline error Applied(error e, const char* text) {
    return e != eNoError ? widget_loading::Fail(e, eResourceReadError, text) : eNoError;
}

// A pixel height read as a Real: the nearest whole number, halves away
// from zero, saturating at the Int32 range.
inline int32_t PixelHeightOf(float value) {
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
inline bool IsWord(const gCString& text, std::u16string_view word) {
    const char16_t* units = text.GetBuffer();
    return text.GetLength() == int32_t(word.size()) &&
           (word.empty() || std::u16string_view(units, word.size()) == word);
}

// Where the text list's chunks go, and the text a failed "txlx" read shows
// (none for the text widget).
struct STextListChunks {
    gCString& name;
    int32_t& index;
    const char* indexText;
};

// Reads a shared text chunk into the widget; false for any other code.
template <class Widget>
bool ReadTextChunk(Widget& widget, int32_t code, gCMemFile* data, STextListChunks list,
                   error& result) {
    using namespace widget_loading;
    int32_t value = 0;
    float real = 0.0f;
    gCString text;
    switch (uint32_t(code)) {
    case FourCC("font"):
        result = ReadChunkString(data, text, "TxWidget font.");
        result =
            result != eNoError ? result : Applied(widget.SetFontName(text, 0, 0), "TxWidget font.");
        return true;
    case FourCC("fsiz"):
        if ((result = data->ReadReal(real)) != eNoError) {
            result = ReadFailed(result, "TxWidget fsiz.");
        } else if (std::isfinite(real)) { // else the sizes stay as they were
            result =
                Applied(widget.SetFontPixelHeight(PixelHeightOf(real), 0, 0), "TxWidget fsiz.");
        }
        return true;
    case FourCC("fpsz"):
        if ((result = data->ReadReal(real)) != eNoError) {
            result = ReadFailed(result, "TxWidget fpsz.");
        } else if (std::isfinite(real)) {
            result = Applied(widget.SetFontPointHeight(real, 0, 0), "TxWidget fpsz.");
        }
        return true;
    case FourCC("fbld"):
    case FourCC("fita"):
    case FourCC("fudl"): {
        // A style flag: on when the value is 1.
        const bool bold = uint32_t(code) == FourCC("fbld");
        const bool italic = uint32_t(code) == FourCC("fita");
        const char* what = bold ? "TxWidget fbld." : italic ? "TxWidget fita." : "TxWidget fudl.";
        if ((result = ReadInt(data, value, what)) == eNoError) {
            const int32_t on = value == 1 ? 1 : 0;
            result = Applied(bold     ? widget.SetTextBold(on, 0, 0)
                             : italic ? widget.SetTextItalic(on, 0, 0)
                                      : widget.SetTextUnderline(on, 0, 0),
                             what);
        }
        return true;
    }
    case FourCC("text"):
        result = ReadChunkString(data, text, "TxWidget text.");
        result =
            result != eNoError ? result : Applied(widget.SetText(text, 0, 0), "TxWidget text.");
        return true;
    case FourCC("txls"):
        result = ReadChunkString(data, list.name, "TxWidget txls.");
        return true;
    case FourCC("txlx"):
        result = ReadInt(data, list.index, list.indexText);
        return true;
    case FourCC("txsz"):
        if ((result = ReadInt(data, value, "TxWidget txsz.")) == eNoError) {
            widget.SetAutoSizeImage(value == 1 ? 1 : 0);
        }
        return true;
    default:
        return false;
    }
}

} // namespace text_chunks
