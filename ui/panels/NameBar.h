#pragma once
// The name bar: the title bar at the window's left edge that shows the
// open painting's name followed by the project suffix ("Untitled.ptg"). It
// follows every new painting, open and save through the dialog (each ends
// in eCmdNewProject on the data channel). Its content tree (300) holds the
// name text (302); the bar is 49 pixels wider than the text. A name too
// long for half the window is shortened in its middle for display, so the
// cap, the only way to retract the bar, always stays in the window.

#include <cstdint>

#include "foundation/gCString.h"
#include "ui/panels/Titlebar.h"

class CTxWidget;

class CNameBar : public CTitlebar {
public:
    static constexpr uint32_t kContentID = 300;
    static constexpr uint32_t kNameTextID = 302;
    // The bar's width beyond its text, and without a text.
    static constexpr int32_t kTextMargin = 49;
    static constexpr int32_t kWidthWithoutText = 100;

    explicit CNameBar(CBackdrop* backdrop) : CTitlebar(backdrop) { m_fLeftAnchored = 1; }

    // eCmdNewProject shows the project's name (SetName with redraw); 0 for
    // every other id.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    // Shows the current project's name and the suffix text: the bar takes
    // the text's width and keeps its cap where it was on screen. 0 without
    // a text widget; a failed project query keeps text and place and
    // returns its code.
    error SetName(int32_t redraw);

    CTxWidget* NameText() const { return m_pNameText; }

protected:
    // Sizes and places the bar, then adds the content tree (21 without it
    // or without its name text; the error of adding it).
    error LocalSetupRoot() override;
    // The text's width plus 49, or 100 without a text.
    error LocalSizeTitlebar() override;

private:
    // The text shown for a name: shortened in its middle with "…" when the
    // extended bar would be wider than half the backdrop.
    error ShowFitted(const gCString& text);

    CTxWidget* m_pNameText = nullptr; // belongs to the content tree
};
