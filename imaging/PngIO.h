#pragma once
// PNG files over libpng 1.6: the format of the paint layers and tracing
// image inside project files, of most image resources, and an export format.
// Rows decode straight into a locked CImage (CPixel words with straight
// alpha) or CImage8 (one grey byte per pixel), top row first.
//
// On little-endian memory a CPixel row is B,G,R,A bytes: libpng's BGR order
// with the alpha (or a 255 filler) after the colour makes every 32-bit word
// round-trip unchanged.

#include "imaging/ImageFormat.h"

class gCPngIO : public gCImageFormat {
public:
    gCPngIO() = default;

    error ReadImage(gCStream& stream, CImage& image) override;
    error ReadImage(gCStream& stream, CImage8& image) override;
    error WriteImage(gCStream& stream, CImage& image) override;
    error WriteImage(gCStream& stream, CImage8& image) override;

    // Reads from the stream's position: 0; 5 when the libpng structures or
    // the image cannot be made; 15 for any libpng error (bad signature, CRC
    // error, data that ends early, sides beyond 32767). The file is decoded
    // into an image of its own first: a failed read leaves the image as it
    // was (size, pixels and compressed form).
    virtual error ReadImage(gCStream& stream, CImageBase* image);
    // Writes at the stream's position, with the "Title", "Author" and
    // "Description" text chunks: 0; 5 as for reading, also when the image
    // has no pixels; 15 for any libpng error or a write the stream refuses.
    virtual error WriteImage(gCStream& stream, CImageBase* image);

    // True when at least 8 bytes follow the position and they are the PNG
    // signature; the position is kept (false when it cannot be put back).
    static bool TypeOf(gCStream& stream);

    float GetGamma() const { return m_rGamma; }

private:
    // The whole read into a fresh image.
    error Decode(gCStream& stream, CImageBase* image);

    float m_rGamma = 1.0f;
};
