#include "testsupport/paint/SpyBackbone.h"

#include <new>

CCanvas* CSpyBackbone::MakeCanvas() {
    m_pSpyCanvas = nullptr;
    if (m_fRefuseCanvas) {
        return nullptr;
    }
    m_pSpyCanvas = new (std::nothrow) CSpyCanvas;
    if (m_pSpyCanvas) {
        m_pSpyCanvas->m_fPassOn = m_fCanvasPassesOn;
    }
    return m_pSpyCanvas;
}

CRenderer* CSpyBackbone::CreateRenderer(int32_t id) {
    if (id != 0 || m_fRefuseRenderer) {
        return nullptr;
    }
    ++m_nRenderersMade;
    m_pSpyRenderer = new (std::nothrow) CSpyRenderer(id);
    return m_pSpyRenderer;
}
