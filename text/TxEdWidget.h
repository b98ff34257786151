#pragma once
// The single-line edit field: a captioned image widget whose image is the
// field's background and whose caption shows the text, with a caret, a
// selection, a blinking caret, a numeric mode, a maximum length, scrolling
// of the caption inside the field, mouse selection and keyboard editing
// with the clipboard keys (Ctrl is the command key).
//
// Positions are UTF-16 code units: the caret and the anchor (the other end
// of the selection) lie in 0..length, and the selection runs from the
// smaller to the larger; equal means no selection. The field acts on keys
// and blinks only while it is the focus widget of the backdrop at the root
// of its tree. Return (13, or 11) and Escape (27) are announced as
// eMsgEditConfirm and eMsgEditCancel with the field as data, through the
// application's broadcast (or its data channel).

#include <cstdint>

#include "foundation/Timing.h"
#include "foundation/gCArray.h"
#include "text/TxImWidget.h"

inline constexpr uint32_t kTxEdWidgetTypeID = FourCC("tewg");

class CTxEdWidget : public CTxImWidget {
public:
    CTxEdWidget();
    ~CTxEdWidget() override;

    uint32_t TypeID() const override { return kTxEdWidgetTypeID; }

    error KeyDown(CWidget*& taker, uint32_t key) override;
    // The caret's blink phase, while the field has the focus.
    error Heartbeat() override;
    // Places the caret, then follows the pointer while the button is held.
    error ButtonDownL(CWidget*& taker, gCPoint& point) override;
    // Losing the focus collapses the selection and hides the caret.
    int32_t PassMessage(uint32_t id, void* data, uintptr_t extra) override;
    // The field's own click handling stays.
    void SetButtonDownL(PointProc, void*) override {}
    // Tabbing in selects the whole text.
    error SetTabFocus(int32_t redraw) override;
    error PassRenderAreaOpaque(const gCRect& area, CImage* target, uint32_t alpha,
                               gCRect& covered) override;
    error PassRenderAreaTransparent(const gCRect& area, CImage* target, uint32_t alpha) override;

    // The text, refused (2) when it fails the numeric test or is longer
    // than the maximum; shown wholly selected, caret at its end, scrolled
    // to its start.
    using CTxImWidget::SetText;
    error SetText(const gCString& text, int32_t resize, int32_t redraw) override;
    // A field shows no text list: the list is let go (deleted unless
    // pooled), 0.
    error SetTextList(CTextList* list) override;
    CTextRenderer::EJustify Justify() const override { return m_eJustify; }
    // Where the caption sits while the whole text fits.
    error SetJustify(CTextRenderer::EJustify justify, int32_t resize, int32_t redraw) override;

    // The blink: shown for a quarter period after a restart, then hidden
    // and shown a period each.
    virtual void SetBlinkRate(int32_t milliseconds) {
        m_CaretTrack.m_rPeriod = float(milliseconds);
    }
    virtual int32_t BlinkRate() const { return int32_t(m_CaretTrack.m_rPeriod); }
    // The whole text selected, the caret at its end.
    virtual error SelectText(int32_t redraw);
    // The anchor joins the caret.
    virtual error UnselectText(int32_t redraw);
    // 2 for an index beyond the last boundary; nothing without positions.
    virtual error SetCaretPos(uint32_t index, int32_t keepAnchor, int32_t redraw);
    virtual void SetNumeric(int32_t numeric, int32_t allowReal) {
        m_fNumeric = numeric;
        m_fAllowReal = allowReal;
    }
    // The text as typing ch would leave it; with apply, caret and anchor
    // move as the typing would move them.
    virtual error GetResultantStringForAddedChar(char16_t ch, gCString& out, int32_t apply);
    virtual error AddChar(char16_t ch);
    // Backspace (backwards) or Delete.
    virtual error RemoveSingleChar(int32_t backwards);
    // The x of every character boundary of the text, from the caption's
    // left edge; caret and anchor clamped into the text.
    virtual error CalcCharacterPositions();
    // Inverts the selection, or else the caret while it shows, within the
    // area (parent coordinates) of the target.
    virtual error RenderSelectionAndCaret(const gCRect& area, CImage* target, uint32_t alpha);
    // Invalidates the caret (and selection); restart makes the caret show
    // at once and redraws it.
    virtual error Caret(int32_t restart);
    // Scrolls the caption so that boundary i lies inside the field.
    virtual error EnsureCharVisible(int32_t index);
    // Left, right, up, down, Home, End, Page Up and Page Down; with Shift
    // the selection extends, with Ctrl left and right jump by words.
    virtual error MovementKey(uint32_t key);

    // The selected text; with none, the whole text when wholeIfNone, else
    // empty.
    gCString GetSelectedText(int32_t wholeIfNone) const;
    // Removes the selection (with none and clearIfNone, the whole text).
    error DeleteSelectedText(int32_t clearIfNone, int32_t redraw);
    // Replaces the selection by the text (NUL-terminated; null deletes the
    // selection).
    error InsertText(const char16_t* text, int32_t redraw);
    // The caption's horizontal placement only.
    void SetChildTxWJustify(CTextRenderer::EJustify justify);

    // State read by owners and tests.
    int32_t CaretPos() const { return m_nCaretPos; }
    int32_t AnchorPos() const { return m_nAnchorPos; }
    int32_t CaretPhase() const { return m_nCaretPhase; }
    const gCArray<int32_t>& CharPositions() const { return m_aCharPositions; }
    // The caret's and the selection's rectangles in the field.
    gCRect CaretRect() const;
    gCRect SelectionRect() const;

    int32_t m_fFocusCaret = 1;
    int32_t m_fNumeric = 0;
    int32_t m_fAllowReal = 1;
    int32_t m_nMaxLength = -1; // -1: no limit
    int32_t m_fNotifyByData = 0;

    class CTxEdWidgetDataHolder : public CTxImWidgetDataHolder {
    public:
        CTxEdWidgetDataHolder() = default;
        ~CTxEdWidgetDataHolder() override = default;

        CPixel m_nTextColour = 0xFF000000;
    };

    // Loading: the captioned widget's, with "txcl" for the text colour,
    // set after the image (black without it).
    static CTxEdWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CTxEdWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CTxEdWidgetDataHolder* holder);

private:
    // Whether the field is the focus widget of the backdrop at its root.
    bool HasBackdropFocus() const;
    // The boundary a caption x falls on: a point in the left 60 % of a
    // character goes before it.
    int32_t BoundaryAt(int32_t x) const;
    // The last boundary (the text's length), 0 without positions.
    int32_t LastBoundary() const;
    // The height the caret spans: the image's, or the field's own.
    int32_t FieldHeight() const;
    // The caret and selection rows.
    void Rows(int32_t& top, int32_t& bottom) const;
    // Whether the text passes the numeric test of the field's mode.
    bool PassesNumeric(const gCString& text) const;
    // The selection's start and length.
    int32_t SelectionStart() const;
    int32_t SelectionLength() const;
    // The caption placed from the left with that x offset, laid out.
    error PlaceCaption(float xOffset);
    // The Ctrl keys: select all, cut, copy, paste.
    error CommandKey(CWidget*& taker, uint32_t key, bool& handled);
    error Paste(CWidget*& taker);
    // A typed character's filters and typing.
    error TypeChar(CWidget*& taker, char16_t ch, bool& restart);
    // eMsgEditConfirm or eMsgEditCancel, through the route the field uses.
    error Notify(CWidget*& taker, uint32_t id);
    // The caption's text after an edit: set, positions, caret shown.
    error TakeEdit(const gCString& text, int32_t redraw);

    int32_t m_nCaretPos = 0;
    int32_t m_nAnchorPos = 0;
    gCArray<int32_t> m_aCharPositions;
    CTimeTrack m_CaretTrack;
    int32_t m_nCaretPhase = 0;
    CTextRenderer::EJustify m_eJustify = CTextRenderer::eJustifyLeft;
};
