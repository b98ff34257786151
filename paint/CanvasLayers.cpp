#include "paint/CanvasLayers.h"

#include <new>

error CCanvasLayers::Make(int32_t width, int32_t height, std::unique_ptr<CCanvasLayers>& made) {
    std::unique_ptr<CCanvasLayers> layers(new (std::nothrow) CCanvasLayers);
    if (!layers) {
        return eCreateFailed;
    }
    for (auto& image : layers->m_apImages) {
        image.reset(new (std::nothrow) CImage(width, height));
        if (!image || !image->IsValid()) {
            return eCreateFailed;
        }
    }
    for (int32_t i = 0; i < kCount; ++i) {
        auto& view = layers->m_apViews[i];
        view.reset(new (std::nothrow) CImNav(layers->m_apImages[i].get()));
        if (!view || !view->IsLocked() || !view->GetData()) {
            return eCreateFailed;
        }
    }
    if (!layers->m_SpanStarts.Resize(uint32_t(height), 0) ||
        !layers->m_SpanEnds.Resize(uint32_t(height), 0)) {
        return eOutOfMemory;
    }
    layers->ResetSpans();
    made = std::move(layers);
    return eNoError;
}

void CCanvasLayers::ResetSpans() {
    int32_t* starts = m_SpanStarts.GetData();
    int32_t* ends = m_SpanEnds.GetData();
    for (uint32_t y = 0; y < m_SpanStarts.GetCount(); ++y) {
        starts[y] = 0x7FFFFFFF;
        ends[y] = -1;
    }
}
