#pragma once
// An image widget with a text caption: the image (or an image-list frame)
// is the background, and a text widget it holds by value, centred and
// sized to its text, is its one child for its whole life. Every text,
// font and style setting goes to the caption; after a change that can
// alter the caption's size the widget lays itself out again.
//
// The child list holds nothing else: AddChild takes no widget (the caller
// keeps it), and the caption never leaves through the list's removals.

#include <cstdint>
#include <functional>

#include "text/TxWidget.h"
#include "widgets/ImWidget.h"

inline constexpr uint32_t kTxImWidgetTypeID = FourCC("tiwg");

class CTxImWidget : public CImWidget {
public:
    CTxImWidget();
    ~CTxImWidget() override;
    CTxImWidget(const CTxImWidget&) = delete;
    CTxImWidget& operator=(const CTxImWidget&) = delete;

    uint32_t TypeID() const override { return kTxImWidgetTypeID; }

    // Adds nothing: 0, and the caller still owns the widget.
    error AddChild(CWidget* child, int32_t redraw) override;
    // The caption stays: 6 for its index (and so for every removal by
    // widget, name or id that finds it). Removing all children or
    // destroying them leaves it.
    using CImWidget::RemoveChild;
    error RemoveChild(int32_t index, int32_t redraw) override;
    error RemoveChildren(int32_t redraw) override;
    void DestroyChildren() override;

    CTxWidget& Caption() { return m_Caption; }
    const CTxWidget& Caption() const { return m_Caption; }

    virtual CText* Text() const { return m_Caption.Text(); }
    // The caption's string; empty without a text.
    virtual gCString String() const { return m_Caption.String(); }
    // The setters taking (resize, redraw) pass the value to the caption
    // with resize and no redraw; then, with resize, the widget is laid out
    // again (with the redraw), else it redraws when asked.
    virtual error SetText(const gCString& text, int32_t resize, int32_t redraw);
    virtual error SetText(CText* text, int32_t resize, int32_t redraw);
    // Stored in the caption; nothing is rendered.
    virtual void SetAutoSizeImage(int32_t on) { m_Caption.SetAutoSizeImage(on); }
    virtual int32_t AutoSizeImage() const { return m_Caption.AutoSizeImage(); }
    virtual error SetTextList(CTextList* list) { return m_Caption.SetTextList(list); }
    virtual error SetText(int32_t index, int32_t resize, int32_t redraw);
    // A caption without a mask gets a 4 x 4 one first.
    virtual error AdvanceText(int32_t resize, int32_t redraw);
    virtual CPixel TextColour() const { return m_Caption.GetClientColour(); }
    // Always 0.
    virtual error SetTextColour(CPixel colour, int32_t redraw);
    virtual const gCString& FontName() const { return m_Caption.FontName(); }
    virtual error SetFontName(const gCString& name, int32_t resize, int32_t redraw);
    virtual int32_t FontPixelHeight() const { return m_Caption.FontPixelHeight(); }
    virtual error SetFontPixelHeight(int32_t pixels, int32_t resize, int32_t redraw);
    virtual error SetFontPointHeight(float points, int32_t resize, int32_t redraw);
    virtual CTextRenderer::EJustify Justify() const { return m_Caption.Justify(); }
    virtual error SetJustify(CTextRenderer::EJustify justify, int32_t resize, int32_t redraw);
    // The style setters re-render and redraw the caption at once (one
    // render per flag, their results not counted), then lay out or redraw
    // the widget as the value setters do.
    virtual error SetTextFace(int32_t bold, int32_t italic, int32_t underline, int32_t resize,
                              int32_t redraw);
    virtual error SetTextBold(int32_t bold, int32_t resize, int32_t redraw);
    virtual error SetTextItalic(int32_t italic, int32_t resize, int32_t redraw);
    virtual error SetTextUnderline(int32_t underline, int32_t resize, int32_t redraw);
    // The scales re-render the caption with the caller's flags; the widget
    // is not laid out again.
    virtual float KerningScale() const { return m_Caption.KerningScale(); }
    virtual error SetKerningScale(float scale, int32_t resize, int32_t redraw);
    virtual float LineSpaceScale() const { return m_Caption.LineSpaceScale(); }
    virtual error SetLineSpaceScale(float scale, int32_t resize, int32_t redraw);
    virtual float Aspect() const { return m_Caption.Aspect(); }
    virtual error SetAspect(float aspect, int32_t resize, int32_t redraw);

    class CTxImWidgetDataHolder : public CImWidgetDataHolder {
    public:
        CTxImWidgetDataHolder() = default;
        ~CTxImWidgetDataHolder() override = default;

        int32_t m_nTextListIndex = 0;
        gCString m_sTextListName;
    };

    // Loading: the chunks (a "hier" builds no children), then the image or
    // image list, then the text list; a text list that cannot be loaded is
    // shown and the load goes on without it.
    static CTxImWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CTxImWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CTxImWidgetDataHolder* holder);

protected:
    // The loading of a captioned widget with a class's own holder and
    // chunk parser: the chunks, the image or image list, then afterImage,
    // then the text list.
    error LoadCaptioned(gCFile* file, CTxImWidgetDataHolder& holder,
                        const std::function<error(int32_t, gCMemFile*)>& parse,
                        const std::function<void()>& afterImage);

private:
    // After the caption's setter: the layout or the redraw.
    error Settle(error captionResult, int32_t resize, int32_t redraw);
    // The style rule's tail, the caption's results not counted.
    error SettleStyle(int32_t resize, int32_t redraw) { return Settle(eNoError, resize, redraw); }
    void ApplyTextList(CTxImWidgetDataHolder& holder, gCFile* file);

    CTxWidget m_Caption;
};
