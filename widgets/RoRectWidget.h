#pragma once
// A panel whose picture the program draws: a rectangle in the client
// colour with a border of a given width and colour, an optional title band
// in the border colour, and anti-aliased rounded corners on any of its four
// corners, outside which it is transparent. Its image is always made at the
// widget's size (and kept compressed once it has rounded corners); it
// cannot be replaced from outside.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "widgets/ImWidget.h"

inline constexpr uint32_t kRoRectWidgetTypeID = FourCC("rrwg");

class CRoRectWidget : public CImWidget {
public:
    // The corner flags.
    enum ECorner : uint32_t {
        eTopLeft = 1,
        eTopRight = 2,
        eBottomLeft = 4,
        eBottomRight = 8,
        eAllCorners = 15,
    };

    CRoRectWidget() = default;
    ~CRoRectWidget() override = default;

    uint32_t TypeID() const override { return kRoRectWidgetTypeID; }

    // Every setter stores its value (the corner setters set, add or clear
    // the given bits) and returns ApplyChanges(remake, redraw).
    virtual float Radius() const { return m_rRadius; }
    virtual error SetRadius(float radius, int32_t remake, int32_t redraw);
    virtual float BorderWidth() const { return m_rBorderWidth; }
    virtual error SetBorderWidth(float width, int32_t remake, int32_t redraw);
    virtual float TitleBarHeight() const { return m_rTitleBarHeight; }
    virtual error SetTitleBarHeight(float height, int32_t remake, int32_t redraw);
    virtual CPixel BorderColour() const { return m_BorderColour; }
    virtual error SetBorderColour(CPixel colour, int32_t remake, int32_t redraw);
    virtual uint32_t CornerFlags() const { return m_nCornerFlags; }
    virtual error SetCornerFlags(uint32_t flags, int32_t remake, int32_t redraw);
    virtual error AddCornerFlags(uint32_t flags, int32_t remake, int32_t redraw);
    virtual error RemoveCornerFlags(uint32_t flags, int32_t remake, int32_t redraw);
    using CCoWidget::SetClientColour;
    // The colour widget's setter without redraw, then ApplyChanges.
    virtual error SetClientColour(CPixel colour, int32_t remake, int32_t redraw);

    // With remake the picture is made again at the widget's size and the
    // effects follow its alpha; then a visible panel invalidates its client
    // area, and redraws when asked.
    virtual error ApplyChanges(int32_t remake, int32_t redraw);

    // Draws the panel into its image. 0 without an image, 5 when it cannot
    // be locked, else the result of compressing a panel with rounded
    // corners.
    // Loading: the panel chunks through the setters (nothing remade), the
    // rest straight to CCoWidget's parser, so no image chunk is taken.
    static CRoRectWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CRoRectWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder);

    error MakeContents() override;
    CImage* Image() override { return m_pImage.get(); }

    // The panel's picture cannot be replaced: these do nothing and return
    // 0, and an image handed in stays the caller's.
    error SetImage(CImage* image, int32_t resize, int32_t redraw) override;
    error SetImageList(gCImageList* list) override;
    error SetImage(int32_t index, int32_t resize, int32_t redraw) override;
    error AdvanceFrame(int32_t resize, int32_t redraw) override;

protected:
    float m_rRadius = 20.0f;
    float m_rBorderWidth = 0.0f;
    float m_rTitleBarHeight = 0.0f;
    CPixel m_BorderColour = 0xFF000000u;
    uint32_t m_nCornerFlags = eAllCorners;
};
