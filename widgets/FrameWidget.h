#pragma once
// A flat-colour widget split into two sets of rectangles: the frame
// rectangles, painted in the region colour, and the rest of its area (the
// client region), painted in the client colour. Its owner adds and removes
// frame rectangles at run time for bars and holes of a second colour.
//
// The two regions are disjoint and together cover the local area. A change
// that runs out of memory leaves both as they were, so no rectangle ever
// belongs to neither.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "imaging/CRegion.h"
#include "widgets/CoWidget.h"

inline constexpr uint32_t kFrameWidgetTypeID = FourCC("fmwg");

class CFrameWidget : public CCoWidget {
public:
    CFrameWidget();
    ~CFrameWidget() override;

    uint32_t TypeID() const override { return kFrameWidgetTypeID; }

    // The client region first, then the frame region, each colour's alpha
    // scaled by the opacity (made opaque for an opaque-blit widget); an
    // opaque colour is stored, any other blended through the blend hook.
    // 5 when the target cannot be locked.
    error RenderArea(const gCRect& area, CImage* target, uint32_t opacity) override;
    // The client region becomes the whole area again; with auto clear the
    // frame rectangles go, else they are cut out of it where they are.
    error SizeChanged() override;

    // Stores the colour and invalidates the client area.
    virtual error SetRegionColour(CPixel colour, int32_t redraw);
    virtual CPixel GetRegionColour() const { return m_RegionColour; }
    // Whether a size change drops the frame rectangles; nothing is redrawn.
    virtual void SetAutoClearOnSize(int32_t on) { m_fAutoClearOnSize = on; }
    // The rectangle (local) joins the frame, leaving the client region.
    virtual error AddRect(const gCRect& rect, int32_t redraw);
    // The rectangle goes back to the client region, also when it was never
    // a frame rectangle.
    virtual error RemoveRect(const gCRect& rect, int32_t redraw);
    // No frame rectangles: the whole area is client.
    virtual error ClearAll(int32_t redraw);

    const CRegion& FrameRegion() const { return *m_pFrame; }
    const CRegion& ClientRegion() const { return *m_pClient; }

    // Loading: "frcl" here, the rest CCoWidget's.
    static CFrameWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CFrameWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder);

private:
    using RegionPtr = std::unique_ptr<CRegion>;

    // The client region as the whole area minus the frame rectangles,
    // into a new region.
    error RebuildClient(RegionPtr& client) const;
    // Paints the region's rectangles met by the area in one colour.
    static error Paint(const CRegion& region, const gCRect& area, CImage* target, CPixel colour);

    CPixel m_RegionColour = 0xFF000000u;
    RegionPtr m_pFrame;
    RegionPtr m_pClient;
    int32_t m_fAutoClearOnSize = 1;
};
