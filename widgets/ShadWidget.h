#pragma once
// A rectangular panel that draws a soft shadow: its colour (black unless
// set; only red, green and blue are used) at an opacity that is full inside
// and falls off along a Gaussian toward the edges chosen as soft. The
// falloff is separable, one factor per column and one per row, rebuilt
// lazily after the size, the soft edges or the radius change.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "foundation/CMemBlock.h"
#include "widgets/CoWidget.h"

inline constexpr uint32_t kShadWidgetTypeID = FourCC("shwg");

class CShadWidget : public CCoWidget {
public:
    // The soft edges.
    enum : uint32_t { eShadowTop = 1, eShadowBottom = 2, eShadowLeft = 4, eShadowRight = 8 };

    CShadWidget();
    ~CShadWidget() override;

    uint32_t TypeID() const override { return kShadWidgetTypeID; }

    // Each pixel blended with the colour at alpha near(alpha * row factor *
    // column factor), the tables rebuilt first when stale. 5 when a table
    // or the target cannot be had; nothing is drawn then.
    error RenderArea(const gCRect& area, CImage* target, uint32_t opacity) override;
    // Marks the tables stale.
    error SizeChanged() override;

    virtual uint32_t GetShadowLocation() const { return m_nShadowLocation; }
    // Each setter stores, marks the tables stale and invalidates the client
    // area, also for the value already held.
    virtual error SetShadowLocation(uint32_t location, int32_t redraw);
    virtual error AddShadowLocation(uint32_t location, int32_t redraw);
    virtual error ClearShadowLocation(uint32_t location, int32_t redraw);
    virtual float ShadowRadius() const { return m_rRadius; }
    // The fade's scale in pixels (it fades over about 3.5 radii); a negative
    // radius fades over the whole axis.
    virtual error SetShadowRadius(float radius, int32_t redraw);
    // Both tables for the present size; 0 with nothing done for an empty
    // widget (the tables stay stale), 5 when a table cannot be sized.
    virtual error RebuildLUT();

    const CMemBlockT<float>& ColumnFactors() const { return m_aColumns; }
    const CMemBlockT<float>& RowFactors() const { return m_aRows; }

    // Loading: "swst", "swsb", "swsl", "swsr" and "swrd" act at once; the
    // rest CCoWidget's.
    static CShadWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CShadWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder);

private:
    uint32_t m_nShadowLocation = eShadowBottom;
    CMemBlockT<float> m_aColumns;
    CMemBlockT<float> m_aRows;
    int32_t m_fTablesStale = 1;
    float m_rRadius = -1.0f;
};

// One axis of n factors with soft start and end edges as the flags say:
// 1.0 inside, falling to the soft edges as exp(-t * t / 2). A negative
// radius fades over the whole axis (an axis of one pixel is 1.0); a radius
// of 0 or more over near(3.5 * radius) pixels, at most the axis (half of it
// from each side when both are soft).
void FillShadowAxis(float* factors, int32_t n, bool softStart, bool softEnd, float radius);
