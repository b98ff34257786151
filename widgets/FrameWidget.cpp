// The frame widget: two regions of one widget's area in two colours.

#include "widgets/FrameWidget.h"

#include <new>

#include "FileIO/ResourceLoading.h"
#include "imaging/ImNav.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/detail/Alphas.h"

using namespace widget_loading;

namespace {

// A new region holding the same rectangles, or null when memory runs out.
std::unique_ptr<CRegion> CopyOf(const CRegion& region) {
    std::unique_ptr<CRegion> copy(new (std::nothrow) CRegion);
    if (!copy) {
        return nullptr;
    }
    for (const gCRect& r : region.GetRects()) {
        if (copy->AddRect(r) != eNoError) {
            return nullptr;
        }
    }
    return copy;
}

// A colour's alpha scaled by the opacity: (c >> 8) * (opacity + 1) keeps
// its top byte.
CPixel Scaled(CPixel colour, uint32_t opacity, int32_t opaqueBlit) {
    uint32_t out = CPixel::AtOpacity(colour, opacity + 1);
    if (opaqueBlit) {
        out |= 0xFF000000u;
    }
    return out;
}

} // namespace

CFrameWidget::CFrameWidget()
    : m_pFrame(std::make_unique<CRegion>()), m_pClient(std::make_unique<CRegion>()) {}

CFrameWidget::~CFrameWidget() = default;

error CFrameWidget::SetRegionColour(CPixel colour, int32_t redraw) {
    m_RegionColour = colour;
    return InvalidateClient(redraw);
}

error CFrameWidget::AddRect(const gCRect& rect, int32_t redraw) {
    RegionPtr client = CopyOf(*m_pClient);
    RegionPtr frame = CopyOf(*m_pFrame);
    if (!client || !frame) {
        return eOutOfMemory;
    }
    if (error e = client->RemoveRect(rect)) {
        return e;
    }
    if (error e = frame->AddRect(rect)) {
        return e;
    }
    m_pClient = std::move(client);
    m_pFrame = std::move(frame);
    return InvalidateArea(rect, redraw);
}

error CFrameWidget::RemoveRect(const gCRect& rect, int32_t redraw) {
    RegionPtr client = CopyOf(*m_pClient);
    RegionPtr frame = CopyOf(*m_pFrame);
    if (!client || !frame) {
        return eOutOfMemory;
    }
    if (error e = frame->RemoveRect(rect)) {
        return e;
    }
    if (error e = client->AddRect(rect)) {
        return e;
    }
    m_pClient = std::move(client);
    m_pFrame = std::move(frame);
    return InvalidateArea(rect, redraw);
}

error CFrameWidget::ClearAll(int32_t redraw) {
    RegionPtr client(new (std::nothrow) CRegion);
    RegionPtr frame(new (std::nothrow) CRegion);
    if (!client || !frame) {
        return eOutOfMemory;
    }
    if (error e = client->AddRect(gCRect(0, 0, Width(), Height()))) {
        return e;
    }
    m_pClient = std::move(client);
    m_pFrame = std::move(frame);
    return InvalidateClient(redraw);
}

error CFrameWidget::RebuildClient(RegionPtr& client) const {
    client.reset(new (std::nothrow) CRegion);
    if (!client) {
        return eOutOfMemory;
    }
    if (error e = client->AddRect(gCRect(0, 0, Width(), Height()))) {
        return e;
    }
    for (const gCRect& r : m_pFrame->GetRects()) {
        if (error e = client->RemoveRect(r)) {
            return e;
        }
    }
    return eNoError;
}

error CFrameWidget::SizeChanged() {
    RegionPtr client;
    if (m_fAutoClearOnSize) {
        RegionPtr frame(new (std::nothrow) CRegion);
        if (!frame) {
            return eOutOfMemory;
        }
        m_pFrame.swap(frame);
        const error e = RebuildClient(client);
        if (e != eNoError) {
            m_pFrame.swap(frame); // the frame rectangles stay with the old client
            return e;
        }
    } else if (error e = RebuildClient(client)) {
        return e;
    }
    m_pClient = std::move(client);
    return eNoError;
}

error CFrameWidget::Paint(const CRegion& region, const gCRect& area, CImage* target,
                          CPixel colour) {
    const CPixel::BlendProcPtr blend = CPixel::m_pBlendProc;
    const bool opaque = (uint32_t(colour) >> 24) == 0xFF;
    for (const gCRect& r : region.GetRects()) {
        const gCRect part = r.Intersected(area);
        if (part.IsEmpty()) {
            continue;
        }
        CImNav view(target, &part);
        if (!view.IsLocked()) {
            return eOutOfMemory;
        }
        if (opaque) {
            view.Fill(colour);
            continue;
        }
        for (int32_t y = 0; y < view.GetHeight(); ++y) {
            CPixel* row = view.Row(y);
            for (int32_t x = 0; x < view.GetWidth(); ++x) {
                blend(&row[x], colour);
            }
        }
    }
    return eNoError;
}

error CFrameWidget::RenderArea(const gCRect& area, CImage* target, uint32_t opacity) {
    opacity = widgetdetail::ClampAlpha(opacity);
    if (opacity == 0) {
        return eNoError;
    }
    if (error e = Paint(*m_pClient, area, target, Scaled(m_ClientColour, opacity, m_fOpaqueBlit))) {
        return e;
    }
    return Paint(*m_pFrame, area, target, Scaled(m_RegionColour, opacity, m_fOpaqueBlit));
}

// --- Loading

CFrameWidget* CFrameWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CFrameWidget>(id, file, index);
}

CFrameWidget* CFrameWidget::CreateFromRes(const gCString& name, gCFile* file,
                                          gCResourceIndex* index) {
    return CreateFromResource<CFrameWidget>(name, file, index);
}

error CFrameWidget::SetFromResData(gCFile* file) {
    CWidgetDataHolder holder;
    return LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
}

error CFrameWidget::ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder) {
    if (uint32_t(code) == FourCC("frcl")) {
        int32_t colour = 0;
        if (error e = ReadInt(data, colour, "FrameWidget frcl.")) {
            return e;
        }
        m_RegionColour = CPixel(uint32_t(colour));
        return eNoError;
    }
    return CCoWidget::ParseResData(code, data, holder);
}
