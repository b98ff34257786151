#include "ui/SMKBackdrop.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "imaging/ImLocker.h"

CSMKBackdrop::CSMKBackdrop() {
    // The name is only the window's title: without memory for it the title
    // is empty.
    (void)m_Name.CopyString(u"Daublin");
}

CSMKBackdrop::~CSMKBackdrop() = default;

error CSMKBackdrop::PassRedraw() {
    if (CWindowHost* host = Host(); host && m_pBackBuffer) {
        const gCRect whole(0, 0, m_nWidth, m_nHeight);
        return host->CopyToScreen(*m_pBackBuffer, &whole, 1);
    }
    return eNoError;
}

error CSMKBackdrop::SetSize(int32_t width, int32_t height, int32_t) {
    if (width <= 0 || height <= 0) {
        return eBadParameter;
    }
    auto buffer = std::unique_ptr<CImage>(new (std::nothrow) CImage(width, height, 1));
    if (!buffer || buffer->GetWidth() != width || buffer->GetHeight() != height) {
        return eOutOfMemory;
    }
    {
        uint32_t* words = nullptr;
        const CImLocker lock(buffer.get(), words);
        if (!lock.IsLocked() || !words) {
            return eOutOfMemory;
        }
        std::fill_n(words, size_t(width) * size_t(height), kColour);
    }
    m_pBackBuffer = std::move(buffer);
    m_nWidth = width;
    m_nHeight = height;
    (void)PassRedraw(); // a window that cannot show it yet shows it when painted
    return eNoError;
}

void CSMKBackdrop::LocalToDesktop(gCPoint& point) {
    if (CWindowHost* host = Host()) {
        point = point + host->ContentOrigin();
    }
}
