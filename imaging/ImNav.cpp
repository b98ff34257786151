#include "imaging/ImNav.h"

#include <algorithm>
#include <cstring>

namespace {
int32_t Clamp(int64_t v, int32_t lo, int32_t hi) {
    return int32_t(std::clamp<int64_t>(v, lo, hi));
}
} // namespace

CImNavBase::CImNavBase(CImageBase* image, const gCRect* rect) {
    if (!image) {
        return;
    }
    const int32_t w = image->GetWidth();
    const int32_t h = image->GetHeight();
    if (rect) {
        // Caller's coordinates plus the origin are image coordinates; an area
        // that misses the image collapses to an empty one on its border.
        const gCPoint o = image->GetOrigin();
        m_rArea.left = Clamp(int64_t(rect->left) + o.x, 0, w);
        m_rArea.top = Clamp(int64_t(rect->top) + o.y, 0, h);
        m_rArea.right = Clamp(int64_t(rect->right) + o.x, m_rArea.left, w);
        m_rArea.bottom = Clamp(int64_t(rect->bottom) + o.y, m_rArea.top, h);
        m_pRect = &m_rArea;
    } else {
        // The whole image from its first pixel, whatever its origin.
        m_rArea = gCRect(0, 0, w, h);
        m_pRect = image->GetOrigin() == gCPoint(0, 0) ? nullptr : &m_rArea;
    }
    if (image->Lock(m_pData, m_pRect) != eNoError || !m_pData) {
        m_pData = nullptr;
        m_pRect = nullptr;
        return;
    }
    m_nWidth = m_rArea.Width();
    m_nHeight = m_rArea.Height();
    m_nStride = image->GetStride();
    m_nRowBytes = image->GetRowBytes();
    m_nBytesPerPixel = image->GetBytesPerPixel();
    m_fLocked = 1;
    m_pImage = image;
}

CImNavBase::~CImNavBase() {
    // A destructor has no one to hand a result to; releasing a memory
    // surface always succeeds.
    (void)Unlock();
}

error CImNavBase::Unlock() {
    const error e = m_fLocked ? m_pImage->Unlock(m_pRect) : eNoError;
    m_fLocked = 0;
    m_pImage = nullptr;
    m_pData = nullptr;
    m_pRect = nullptr;
    return e;
}

void CImNav::Fill(CPixel colour) {
    if (!m_fLocked) {
        return;
    }
    // As words: the compiler fills a row of them with vector stores.
    for (int32_t y = 0; y < m_nHeight; ++y) {
        std::fill_n(reinterpret_cast<uint32_t*>(Row(y)), m_nWidth, uint32_t(colour));
    }
}

void CImNav::SetAlpha(uint32_t alpha) {
    if (!m_fLocked) {
        return;
    }
    const uint32_t a = alpha << 24;
    for (int32_t y = 0; y < m_nHeight; ++y) {
        CPixel* row = Row(y);
        for (int32_t x = 0; x < m_nWidth; ++x) {
            row[x] = (uint32_t(row[x]) & 0x00FFFFFFu) | a;
        }
    }
}

void CImNav8::Fill(uint8_t value) {
    if (!m_fLocked) {
        return;
    }
    for (int32_t y = 0; y < m_nHeight; ++y) {
        std::memset(Row(y), value, size_t(m_nWidth));
    }
}
