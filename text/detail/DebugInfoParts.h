#pragma once
// What the parts of the widget inspector share: the ids of the children it
// finds again, the family of every text it makes, and its text factory.

#include <cstdint>

#include "FileIO/FileTypes.h"

class CTxWidget;

inline constexpr char16_t kInspectorFont[] = u"DejaVu Sans";

inline constexpr uint32_t kFindFieldID = FourCC("txed");
inline constexpr uint32_t kByIDButtonID = FourCC("byID");
inline constexpr uint32_t kByNameButtonID = FourCC("byNM");
inline constexpr uint32_t kAssertButtonID = FourCC("Asst");
inline constexpr uint32_t kNoteID = FourCC("note");
inline constexpr uint32_t kTrackID = FourCC("scrl");
inline constexpr uint32_t kGripID = FourCC("grip");
inline constexpr uint32_t kListID = FourCC("tabl");

// The deepest a walk of the tree goes, and the most ancestors collected,
// before it reports a possible cycle.
inline constexpr int32_t kMaxDepth = 100;

// A visible text widget in the inspector's family at that size, or null.
CTxWidget* NewInspectorText(float points);

#include "foundation/Error.h"
#include "foundation/gCString.h"

// Builds a text piece by piece; the first failure to grow is kept.
struct SInspectorText {
    gCString m_Text;
    error m_nError = eNoError;

    SInspectorText& operator<<(const char16_t* piece) {
        Keep(m_Text.AppendString(piece));
        return *this;
    }
    SInspectorText& operator<<(const gCString& piece) {
        Keep(m_Text.AppendString(piece));
        return *this;
    }
    void Keep(error e) {
        if (m_nError == eNoError) {
            m_nError = e;
        }
    }
};

// A fixed text of the inspector (a failure leaves it empty).
inline gCString InspectorUnits(const char16_t* text) {
    gCString s;
    (void)s.CopyString(text); // a short constant
    return s;
}
