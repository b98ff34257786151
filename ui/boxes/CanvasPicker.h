#pragma once
// The canvas picker: a modal box over a blurred picture of the window in
// which the painter changes the paper of the open painting (one of four)
// and its colour. It opens with the painting's own paper and colour and
// hands back what changed when confirmed (OK, Return, or a double click on
// a paper); cancelling (Cancel, Escape) changes nothing. The tree is built
// on every showing and removed on every closing, whatever way it closes.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/Timing.h"
#include "foundation/gCCmdTarget.h"
#include "ui/boxes/PaperBox.h"

class CCoWidget;
class CSMKBackdrop;
class CWidget;

class CCanvasPicker : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 2200;
    static constexpr uint32_t kOKID = 2031;
    static constexpr uint32_t kCancelID = 2032;
    static constexpr uint32_t kFirstPaperID = 2230;
    static constexpr int32_t kPaperCount = 4;
    // The label of paper option kFirstPaperID + i is kFirstLabelID + i.
    static constexpr uint32_t kFirstLabelID = 2241;
    // Its first child is the colour swatch.
    static constexpr uint32_t kColourHolderID = 2256;
    // Two clicks on one paper at most this far apart are a double click.
    static constexpr uint32_t kDoubleClickMilliseconds = 500;

    explicit CCanvasPicker(CSMKBackdrop* backdrop) : m_pBackdrop(backdrop) {}
    ~CCanvasPicker() override;
    CCanvasPicker(const CCanvasPicker&) = delete;
    CCanvasPicker& operator=(const CCanvasPicker&) = delete;

    // Builds the tree anew over the blurred window with the painting's
    // paper chosen (lit from the first frame) and its colour in the swatch;
    // the papers form a two-by-two grid about the centre, each label
    // centred under its paper. Modal, with the opening sound. Asked again
    // while shown it does nothing. 23 without the tree or memory, 21 for a
    // missing widget, or the backbone's code: a failed showing leaves no
    // tree behind and the modal stack as it was.
    error Show(int32_t redraw);
    // Closes; with confirm, first hands the backbone what changed: the
    // colour (the painting then counts as modified; the paper alone does
    // not), then the paper, which re-renders the painting, or else, when
    // only the colour changed, a redraw of the canvas. The tree goes
    // whatever happens; 21 when a paper option is missing, or the
    // backbone's code (what was set before it stays set). The closing
    // sound plays only when all went well.
    error Hide(int32_t confirm, int32_t redraw);

    // OK applies and closes, Cancel closes; a press released outside its
    // button does nothing and plays no sound.
    static error ButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    // One click chooses the paper (with the click sound); a second click
    // on the same paper within kDoubleClickMilliseconds chooses it and
    // closes as OK does (with the closing sound only).
    static error DentClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    // Return applies and closes, Escape closes; the box takes every key.
    static error RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key);
    // Shared with the new-painting panel.
    static constexpr CWidget::PointProc ColourClick = &PaperBox::ColourClick;
    static constexpr CWidget::HeartbeatProc ButtonHeart = &PaperBox::ButtonHeart;
    static constexpr CWidget::HeartbeatProc DentHeart = &PaperBox::DentHeart;

    // The click clock: the low 32 bits of the microsecond clock in whole
    // milliseconds.
    static uint32_t ClickMilliseconds(uint64_t microseconds);
    // Whether a click at `now` follows one at `then` closely enough to make
    // a double click; the difference is taken unsigned, so a wrap of the
    // click clock (at 2^32 microseconds) between the two counts as slow,
    // while the X server's millisecond clock wraps at 2^32 and stays quick.
    static bool IsDoubleClick(uint32_t then, uint32_t now);

    CWidget* Root() const { return m_pRoot; }
    CCoWidget* Swatch() const { return m_pColour; }
    const CWidget* LastOption() const { return m_pLastOption; }

private:
    error BuildShown();
    error SetupPapers(int32_t width);
    // Hands the backbone what changed, with the window's redraws held.
    error Apply();
    error ApplyChanges();
    // The tree taken out whole; the fields forgotten.
    void RemoveTree();
    void ForgetWidgets();
    void PlaySound(int32_t sound);

    CSMKBackdrop* m_pBackdrop;  // not owned
    CWidget* m_pRoot = nullptr; // the backdrop's while shown
    CCoWidget* m_pColour = nullptr;
    // When the last single click on a paper was handled, and when its press
    // happened on the window system's clock (0: not known).
    CTimer m_ClickTimer;
    uint32_t m_nLastPressed = 0;
    // The paper clicked last: only compared, never followed.
    const CWidget* m_pLastOption = nullptr;
};
