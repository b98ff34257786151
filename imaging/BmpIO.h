#pragma once
// BMP files: reads the OS/2 and Windows forms with 1, 4, 8 or 24 bits per
// pixel, uncompressed or run-length encoded (RLE8, RLE4), bottom-up or
// top-down; writes an uncompressed 24-bit file from a CImage and an 8-bit
// file with a grey palette from a CImage8. Unlike the other codecs it shows
// each reading failure to the user itself (code 1 and a message).

#include "imaging/ImageFormat.h"

namespace bmp {
struct Info;
}
class CImNavBase;

class gCBmpIO : public gCImageFormat {
public:
    gCBmpIO() = default;
    // A copy shares nothing: it starts with an empty colour map.
    gCBmpIO(const gCBmpIO&) : gCImageFormat() {}
    gCBmpIO& operator=(const gCBmpIO&) { return *this; }

    error ReadImage(gCStream& stream, CImage& image) override;
    error ReadImage(gCStream& stream, CImage8& image) override;
    // 0, 5 when the image has no pixels to lock, 15 when the stream refuses
    // a write.
    error WriteImage(gCStream& stream, CImage& image) override;
    error WriteImage(gCStream& stream, CImage8& image) override;

    // Reads from the stream's position; the data offset counts from there.
    // 0; 1 after a message; 5 when memory runs out. The file is decoded
    // into an image of its own first: a failed read leaves the image as it
    // was (size, pixels and compressed form).
    virtual error ReadImage(gCStream& stream, CImageBase* image);

    // True when the stream starts with "BM"; the stream is left at 0 (false
    // when it cannot be put back there).
    static bool TypeOf(gCStream& stream);

private:
    // The whole read into a fresh image, and its part after the headers
    // (nullptr or the message to show; result takes a silent failure).
    error Decode(gCStream& stream, CImageBase& image);
    const char* ReadPixels(gCStream& stream, const bmp::Info& info, CImageBase& image,
                           error& result);
    // The pixel decoders; each returns nullptr or the message to show.
    const char* ReadPaletteRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                                error& result);
    const char* Read24BitRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                              error& result);
    const char* ReadRunLengthRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                                  error& result);
    // Turns a row of packed palette indexes into image row y.
    void PutPaletteRow(const char* packed, CImNavBase& view, int32_t y) const;
};
