#pragma once
// The base of the image codecs (BMP, JPEG, PNG). A codec object lives for
// one read or write through the facade gCImageIO. The base also carries the
// palette and the row unpacking the BMP reader uses.
//
// Palette indexes at or above the colour count take entry 0, so a row never
// reads outside the colour map whatever a file holds.

#include <cstdint>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/gCBaseObject.h"
#include "imaging/Pixel.h"

class CImage;
class CImage8;
class CImageBase;
class gCStream;

class gCImageFormat : public gCBaseObject {
public:
    gCImageFormat() = default;
    ~gCImageFormat() override = default;
    gCImageFormat(const gCImageFormat&) = delete;
    gCImageFormat& operator=(const gCImageFormat&) = delete;

    virtual error UpdateImage() { return eNoError; }
    // Reading gives the image the encoded size and pixels; a failed read
    // leaves it as it was.
    virtual error ReadImage(gCStream& stream, CImage& image) = 0;
    virtual error ReadImage(gCStream& stream, CImage8& image) = 0;
    virtual error WriteImage(gCStream& stream, CImage& image) = 0;
    virtual error WriteImage(gCStream& stream, CImage8& image) = 0;

    // Resizes the colour map to the colour count, zero-filled: 0, or 5 when
    // memory runs out.
    error SetupColorMap();
    // The palette entry of pixel index out of its packed source byte.
    void GetRGBFromByte(uint32_t index, char byte, uint32_t& r, uint32_t& g, uint32_t& b) const;
    // count palette pixels into grey bytes (r + g + b) / 3.
    void GetMonoRowFromByteStream(const char* src, uint8_t* dst, uint32_t count) const;
    // count palette pixels into opaque pixels (palette alpha ignored).
    void GetRGBARowFromByteStream(const char* src, CPixel* dst, uint32_t count) const;
    // Byte order A,R,G,B to R,G,B,A over whole 4-byte pixels; the
    // destination's bytes are cleared first.
    void ConvertARGBRowToRGBARow(const char* src, char* dst, uint32_t bytes) const;

    uint32_t GetBitsPerPixel() const { return m_nBitsPerPixel; }
    void SetBitsPerPixel(uint32_t bits) { m_nBitsPerPixel = bits; }
    uint32_t GetColorCount() const { return m_nColorCount; }
    void SetColorCount(uint32_t count) { m_nColorCount = count; }
    CMemBlockT<CPixel>& GetColorMap() { return m_aColorMap; }
    const CMemBlockT<CPixel>& GetColorMap() const { return m_aColorMap; }

protected:
    // The palette entry of pixel i of a packed row.
    CPixel PaletteEntry(const char* src, uint32_t i) const;

    uint32_t m_nBitsPerPixel = 0;
    uint32_t m_nColorCount = 0;
    CMemBlockT<CPixel> m_aColorMap;
};
