#pragma once
// A one-pixel bevel along the inside of the owner's rectangle: each edge
// in its own colour, by default light on the top and left and dark on the
// bottom and right, so that the widget looks raised. A thickness and a
// line pattern per edge are kept for those who ask for them; the drawing
// is always one solid pixel wide.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "imaging/Pixel.h"
#include "widgets/WidgetEffectBase.h"

inline constexpr uint32_t kBorderEffectTypeID = FourCC("bdfx");

class CWidgetEffectBorder : public CWidgetEffectBase {
public:
    // The edge bits of the edge setters.
    enum EEdge : uint32_t {
        eTop = 1,
        eBottom = 2,
        eLeft = 4,
        eRight = 8,
        eAllEdges = 15,
    };

    CWidgetEffectBorder();
    ~CWidgetEffectBorder() override = default;

    uint32_t TypeID() const override { return kBorderEffectTypeID; }

    // Blends, through the current blend hook, the left colour down the
    // area's first column when it is the widget's left edge, then the top
    // colour along its first row, the right colour down its last column and
    // the bottom colour along its last row, each edge only where the area
    // reaches it; each colour's alpha is first weighted by (alpha + 1) / 256.
    // 5 when the target cannot be locked.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;
    // The extent is the owner's rectangle (a zero or negative size changes
    // nothing); the image plays no part.
    error WidgetChanged() override;
    error WidgetChanged(CImage* ownerImage) override;

    // The setters store their value and, with an owner, return its
    // EffectChanged.
    virtual error SetBorderThickness(float thickness, int32_t redraw);
    virtual float BorderThickness() const { return m_rThickness; }
    virtual error SetEdgeStyle(uint32_t edges, uint32_t style, int32_t redraw);
    virtual error SetEdgeColour(uint32_t edges, CPixel colour, int32_t redraw);
    virtual error SetTopLeftColour(CPixel colour, int32_t redraw);
    virtual error SetBottomRightColour(CPixel colour, int32_t redraw);

    CPixel TopColour() const { return m_Top; }
    CPixel LeftColour() const { return m_Left; }
    CPixel BottomColour() const { return m_Bottom; }
    CPixel RightColour() const { return m_Right; }
    // The line pattern of one edge (eTop, eLeft, eRight or eBottom).
    uint32_t EdgeStyle(uint32_t edge) const;

private:
    error Changed(int32_t redraw);

    CPixel m_Top = 0xA0FFFFFFu;
    CPixel m_Left = 0xA0FFFFFFu;
    CPixel m_Bottom = 0x80000000u;
    CPixel m_Right = 0x80000000u;
    float m_rThickness = 1.0f;
    uint32_t m_nTopStyle = 0;
    uint32_t m_nLeftStyle = 0;
    uint32_t m_nRightStyle = 0;
    uint32_t m_nBottomStyle = 0;
};
