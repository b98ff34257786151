#pragma once
// A widget filled with one colour, its client colour: the base of every
// widget that paints its own pixels (image widgets, panels, text).

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "imaging/Pixel.h"
#include "widgets/Widget.h"

inline constexpr uint32_t kCoWidgetTypeID = FourCC("cowg");

class CCoWidget : public CWidget {
public:
    CCoWidget() = default;
    ~CCoWidget() override = default;

    uint32_t TypeID() const override { return kCoWidgetTypeID; }

    // A different colour is stored and the client area invalidated; with
    // redraw the redraw follows, also for the colour already held.
    virtual error SetClientColour(CPixel colour, int32_t redraw);
    virtual CPixel GetClientColour() const { return m_ClientColour; }

    // The client colour over the area at the client alpha scaled by the
    // opacity, through the blend hook; opaque-blit widgets and opaque
    // results are written without blending. 5 when the target cannot be
    // locked.
    error RenderArea(const gCRect& area, CImage* target, uint32_t opacity) override;
    // Opaque wherever the opacity is at least the opaque threshold.
    int32_t OpaquePixel(gCPoint& local) override;
    // The part of the mask inside the widget's size (from 0, 0) becomes 255
    // for an opaque-blit widget, else the client colour's alpha. Nothing for
    // a null, empty or compressed mask.
    error GetAlpha(CImage8* mask) override;

    // Loading (CWidget's): "colr" and the effect chunks here, the rest
    // CWidget's.
    static CCoWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CCoWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder);

protected:
    CPixel m_ClientColour = 0xFFFFFFFFu;
};
