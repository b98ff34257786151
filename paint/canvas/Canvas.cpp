#include "paint/canvas/Canvas.h"

#include "paint/Backbone.h"
#include "paint/ToolBase.h"

CCanvas::CCanvas() : m_pBackbone(CSMKBackbone::Registered()) {
    if (s_pSecondEngineCreator) {
        m_pSecondEngine = s_pSecondEngineCreator();
    }
}

void CCanvas::SetSecondEngineCreator(CSecondEngineCreator creator) {
    s_pSecondEngineCreator = creator;
}

CCanvas::~CCanvas() {
    // The layers (views first) go with m_pLayers; a tracing image shared
    // through a resource pool belongs to the pool.
    m_pLayers.reset();
    if (m_pTracingImage && !m_pTracingImage->IsPooled()) {
        delete m_pTracingImage;
    }
}

error CCanvas::Initialise() {
    for (CImage& image : m_aProtectImages) {
        if (image.IsValid() && image.GetWidth() == kProtectSide &&
            image.GetHeight() == kProtectSide) {
            continue;
        }
        const error e = image.SetSize(kProtectSide, kProtectSide);
        if (e != eNoError) {
            return e;
        }
    }
    return eNoError;
}

CImage* CCanvas::Layer(int32_t which) const {
    if (!m_pLayers || which < 0 || which >= CCanvasLayers::kCount) {
        return nullptr;
    }
    return m_pLayers->m_apImages[which].get();
}

CImNav* CCanvas::LayerView(int32_t which) const {
    if (!m_pLayers || which < 0 || which >= CCanvasLayers::kCount) {
        return nullptr;
    }
    return m_pLayers->m_apViews[which].get();
}

CMemBlockT<int32_t>* CCanvas::SpanStarts() const {
    return m_pLayers ? &m_pLayers->m_SpanStarts : nullptr;
}

CMemBlockT<int32_t>* CCanvas::SpanEnds() const {
    return m_pLayers ? &m_pLayers->m_SpanEnds : nullptr;
}
