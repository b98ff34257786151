#pragma once
// Compress and Decompress shared by CImage (CRLE over pixel words) and
// CImage8 (CRLE8 over bytes). Included only by their sources.

#include <new>

#include "imaging/ImageBase.h"
#include "imaging/detail/RunLengthCoder.h"

template <class Coder, class Image>
error CImageBase::CompressWith(Image* image, std::unique_ptr<Coder>& rle) {
    if (image->m_fPlatform || image->IsCompressed()) {
        return eNoError;
    }
    rle.reset();
    std::unique_ptr<Coder> fresh(new (std::nothrow) Coder);
    if (!fresh) {
        return eOutOfMemory;
    }
    const int64_t estimate = Coder::TestCompression(image);
    if (estimate >= runlength::Threshold(int64_t(image->m_nWidth) * image->m_nHeight)) {
        return eNoError;
    }
    const error e = fresh->CreateFromImage(image);
    if (e != eNoError) {
        return e;
    }
    rle = std::move(fresh);
    image->ReleasePixelBlock();
    return eNoError;
}

template <class Coder, class Unit> error CImageBase::DecompressFrom(std::unique_ptr<Coder>& rle) {
    if (m_fPlatform || !rle || !rle->IsCompressed()) {
        return eNoError;
    }
    if (AllocatePixelBlock() != eNoError) {
        return eOutOfMemory;
    }
    Unit* out = reinterpret_cast<Unit*>(m_pPixels.get());
    for (int32_t y = 0; y < m_nHeight; ++y) {
        rle->StartRLE(0, y);
        rle->ReadRLE(out, m_nWidth);
        out += m_nWidth;
    }
    rle.reset();
    return eNoError;
}
