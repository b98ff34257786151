#include "paint/canvas/CanvasLayers.h"

#include <new>

error CCanvasLayers::Make(int32_t width, int32_t height, std::unique_ptr<CCanvasLayers>& made) {
    std::unique_ptr<CImage> none[4];
    return Adopt(width, height, none, made);
}

error CCanvasLayers::Adopt(int32_t width, int32_t height, std::unique_ptr<CImage> (&images)[4],
                           std::unique_ptr<CCanvasLayers>& made) {
    std::unique_ptr<CCanvasLayers> layers(new (std::nothrow) CCanvasLayers);
    if (!layers) {
        return eCreateFailed;
    }
    for (int32_t i = 0; i < kCount; ++i) {
        if (i < 4 && images[i]) {
            continue; // a given layer
        }
        auto& image = layers->m_apImages[i];
        image.reset(new (std::nothrow) CImage(width, height));
        if (!image || !image->IsValid()) {
            return eCreateFailed;
        }
    }
    bool given[4] = {};
    for (int32_t i = 0; i < 4; ++i) {
        given[i] = images[i] != nullptr;
        if (given[i]) {
            layers->m_apImages[i] = std::move(images[i]);
        }
    }
    error e = eNoError;
    for (int32_t i = 0; i < kCount && e == eNoError; ++i) {
        auto& view = layers->m_apViews[i];
        view.reset(new (std::nothrow) CImNav(layers->m_apImages[i].get()));
        if (!view || !view->IsLocked() || !view->GetData()) {
            e = eCreateFailed;
        }
    }
    if (e == eNoError && (!layers->m_SpanStarts.Resize(uint32_t(height), 0) ||
                          !layers->m_SpanEnds.Resize(uint32_t(height), 0))) {
        e = eOutOfMemory;
    }
    if (e != eNoError) {
        // The given layers go back to the caller, unlocked.
        for (int32_t i = 0; i < 4; ++i) {
            layers->m_apViews[i].reset();
            if (given[i]) {
                images[i] = std::move(layers->m_apImages[i]);
            }
        }
        return e;
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
