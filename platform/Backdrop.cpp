#include "platform/Backdrop.h"

#include <new>

#include "platform/WindowBase.h"

CBackdrop::~CBackdrop() = default;

error CBackdrop::PassKeyDown(CWidget*&, uint32_t) {
    return eNoError;
}
error CBackdrop::PassKeyUp(CWidget*&, uint32_t) {
    return eNoError;
}
error CBackdrop::PassTimer(CWidget*&, uint32_t) {
    return eNoError;
}
error CBackdrop::PassMouseMove(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassButtonDownL(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassButtonUpL(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassButtonDownM(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassButtonUpM(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassButtonDownR(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassButtonUpR(CWidget*&, gCPoint&) {
    return eNoError;
}
error CBackdrop::PassMouseWheel(CWidget*&, int32_t, gCPoint&) {
    return eNoError;
}

void CBackdrop::PassRedraw() {
    m_fInvalid = 0;
    CWindowBase* window = CWindowBase::m_pThis;
    if (!window || !m_pBackBuffer || window->GetBackdrop() != this) {
        return;
    }
    const gCRect whole(0, 0, m_nWidth, m_nHeight);
    window->CopyToScreen(*m_pBackBuffer, &whole, 1);
}

error CBackdrop::SetSize(int32_t width, int32_t height, int32_t) {
    if (width <= 0 || height <= 0) {
        return eBadParameter;
    }
    auto buffer = std::unique_ptr<CImage>(new (std::nothrow) CImage(width, height, 1));
    if (!buffer || buffer->GetWidth() != width || buffer->GetHeight() != height) {
        return eOutOfMemory;
    }
    m_pBackBuffer = std::move(buffer);
    m_nWidth = width;
    m_nHeight = height;
    m_fInvalid = 1;
    return eNoError;
}

void CBackdrop::LocalToDesktop(gCPoint& point) {
    if (CWindowBase* window = CWindowBase::m_pThis) {
        const gCPoint origin = window->ContentOrigin();
        point.x += origin.x;
        point.y += origin.y;
    }
}
