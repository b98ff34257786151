#include "testsupport/platform/TestRoot.h"

#include <new>

error CTestRoot::PassRedraw() {
    m_fInvalid = 0;
    if (CWindowHost* host = Host(); host && m_pBackBuffer) {
        const gCRect whole(0, 0, m_nWidth, m_nHeight);
        return host->CopyToScreen(*m_pBackBuffer, &whole, 1);
    }
    return eNoError;
}

error CTestRoot::SetSize(int32_t width, int32_t height, int32_t) {
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

void CTestRoot::LocalToDesktop(gCPoint& point) {
    if (CWindowHost* host = Host()) {
        point = point + host->ContentOrigin();
    }
}

void CTestRoot::ReleasedByWindow() {
    if (m_pReleased) {
        *m_pReleased = 1;
    }
    delete this;
}
