#pragma once
// A widget that shows one text: a mask widget whose mask is the rendered
// text, so the text paints in the client colour (black unless set) and
// takes part in hit testing, effects and compositing like any shape. The
// text comes from a string, a text resource or an entry of a text list.
// The widget can size itself to its text, wrap the text to its width and
// turn it by 90, 180 or 270 degrees. Every setter renders at once; while a
// block is loaded rendering is held until the end.
//
// The widget owns its text and its text list unless a pool holds them. The
// mask is the widget's own: the mask widget's image operations are off.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "text/Text.h"
#include "text/TextRenderer.h"
#include "widgets/MaskWidget.h"
#include "widgets/TextList.h"
#include "widgets/UnlessPooled.h"

inline constexpr uint32_t kTxWidgetTypeID = FourCC("txwg");

class CTxWidget : public CMaskWidget {
public:
    // The turns of the text: 1 reads bottom to top, 3 top to bottom.
    enum : uint32_t { eNormal = 0, eTurnedLeft = 1, eUpsideDown = 2, eTurnedRight = 3 };

    CTxWidget();
    ~CTxWidget() override;

    uint32_t TypeID() const override { return kTxWidgetTypeID; }

    // Off for a text widget: nothing happens, 0.
    error SetImage(CImage8* image, int32_t resize, int32_t redraw) override;
    error SetImageList(gCImageList8* list) override;
    error SetImage(int32_t index, int32_t resize, int32_t redraw) override;
    error AdvanceFrame(int32_t resize, int32_t redraw) override;

    // The mask follows the size, then the text is rendered again (resize
    // on).
    error SizeChanged() override;
    // The colour, then the text rendered again (resize on).
    error SetClientColour(CPixel colour, int32_t redraw) override;

    virtual CText* Text() const { return m_pText.get(); }
    // The shown string; empty without a text.
    virtual gCString String() const;
    // A new text holding a copy of the string (also of a string that is
    // the current text's own). A widget without a mask gets a 4 x 4 one.
    virtual error SetText(const gCString& text, int32_t resize, int32_t redraw);
    // The text object, owned from here on unless pooled; the text held
    // already is kept and only rendered again.
    virtual error SetText(CText* text, int32_t resize, int32_t redraw);
    // Stored; nothing is rendered.
    virtual void SetAutoSizeImage(int32_t on) { m_fAutoSizeImage = on; }
    virtual int32_t AutoSizeImage() const { return m_fAutoSizeImage; }
    virtual const CTextRenderer& TextRenderer() const { return m_Renderer; }
    // 6 for null; the list held before goes unless pooled or the same. The
    // text is not changed.
    virtual error SetTextList(CTextList* list);
    // The list's entry becomes the text; 6 without a list or outside it.
    virtual error SetText(int32_t index, int32_t resize, int32_t redraw);
    // The next entry, after the last the first; 6 with fewer than two.
    virtual error AdvanceText(int32_t resize, int32_t redraw);
    // The list's current entry; -1 without a list.
    virtual int32_t GetTextIndex() const;

    // The renderer's settings; each setter renders again and answers that.
    virtual const gCString& FontName() const { return m_Renderer.m_sFontName; }
    virtual error SetFontName(const gCString& name, int32_t resize, int32_t redraw);
    virtual int32_t FontPixelHeight() const { return m_Renderer.m_nPixelHeight; }
    // Also sets the point height to 0.
    virtual error SetFontPixelHeight(int32_t pixels, int32_t resize, int32_t redraw);
    virtual float FontPointHeight() const { return m_Renderer.m_rPointHeight; }
    // Also sets the pixel height to 0.
    virtual error SetFontPointHeight(float points, int32_t resize, int32_t redraw);
    virtual CTextRenderer::EJustify Justify() const { return m_Renderer.m_eJustify; }
    virtual error SetJustify(CTextRenderer::EJustify justify, int32_t resize, int32_t redraw);
    // The three style flags with one render.
    virtual error SetTextFace(int32_t bold, int32_t italic, int32_t underline, int32_t resize,
                              int32_t redraw);
    virtual error SetTextBold(int32_t bold, int32_t resize, int32_t redraw);
    virtual error SetTextItalic(int32_t italic, int32_t resize, int32_t redraw);
    virtual error SetTextUnderline(int32_t underline, int32_t resize, int32_t redraw);
    virtual int32_t Bold() const { return m_Renderer.m_fBold; }
    virtual int32_t Italic() const { return m_Renderer.m_fItalic; }
    virtual int32_t Underline() const { return m_Renderer.m_fUnderline; }
    virtual error SetWordWrap(int32_t wrap, int32_t resize, int32_t redraw);
    virtual int32_t WordWrap() const { return m_Renderer.m_fWordWrap; }
    // Stored unchecked; values above 3 render nothing.
    virtual error SetOrientation(uint32_t orientation, int32_t resize, int32_t redraw);
    virtual uint32_t Orientation() const { return m_nOrientation; }
    virtual float KerningScale() const { return m_Renderer.m_rKerningScale; }
    virtual error SetKerningScale(float scale, int32_t resize, int32_t redraw);
    virtual float LineSpaceScale() const { return m_Renderer.m_rLineSpaceScale; }
    virtual error SetLineSpaceScale(float scale, int32_t resize, int32_t redraw);
    virtual float Aspect() const { return m_Renderer.m_rAspect; }
    virtual error SetAspect(float aspect, int32_t resize, int32_t redraw);

    // Renders the text into the mask in the client colour's gamma (light
    // text through the inverse table), turned by the orientation; with
    // resize and auto size the widget then takes the mask's size. Nothing
    // while rendering is held or without a text.
    virtual error RenderText(int32_t resize, int32_t redraw);

    // What the text chunks leave for after the block.
    class CTxWidgetDataHolder : public CMaskWidgetDataHolder {
    public:
        CTxWidgetDataHolder() = default;
        ~CTxWidgetDataHolder() override = default;

        int32_t m_nTextListIndex = 0;
        gCString m_TextListName;
    };

    // Loading: the text chunks act at once with rendering held; then the
    // text list, one render, the children.
    static CTxWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CTxWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CTxWidgetDataHolder* holder);

private:
    // RenderText, unless rendering is held: while a block loads, the
    // setters and size changes leave the one render to the end.
    error RenderUnlessHeld(int32_t resize, int32_t redraw) {
        return m_fHoldRendering ? eNoError : RenderText(resize, redraw);
    }
    // The text rendered into target, turned into the mask.
    error RenderTurned(CImage8& turned);
    error ApplyTextList(CTxWidgetDataHolder& holder, gCFile* file);

    CTextRenderer m_Renderer;
    std::unique_ptr<CText, SDeleteUnlessPooled> m_pText;
    std::unique_ptr<CTextList, SDeleteUnlessPooled> m_pTextList;
    int32_t m_fAutoSizeImage = 1;
    uint32_t m_nOrientation = eNormal;
    int32_t m_fHoldRendering = 0;
    // Set while the widget takes its text's size: the render that size
    // change causes does not resize again.
    int32_t m_fSizingToText = 0;
};

// The text library's widget classes join the widget constructor's table
// (the text widget 'txwg' and the edit field 'tewg'); once at start-up,
// before any widget is loaded. It also fills the backdrop's inspector hook.
error RegisterTextWidgets();
