#pragma once
// JPEG files over libjpeg 62: reads baseline and progressive files into a
// CImage (opaque pixels) or CImage8 (grey bytes); writes either as a baseline
// JPEG at the library's default quality, with the float DCT both ways.
// Grey files read as grey, colour files as RGB, and CMYK and YCCK files
// (print workflows) are turned into RGB from their inks.
// Any libjpeg error (not a JPEG, damaged data, empty input, a refused write)
// ends the call with 1; libjpeg's messages stay silent.

#include <cstdint>

#include "imaging/ImageFormat.h"

class gCJpgIO : public gCImageFormat {
public:
    gCJpgIO() = default;

    error ReadImage(gCStream& stream, CImage& image) override;
    error ReadImage(gCStream& stream, CImage8& image) override;
    // Alpha is dropped: pixels are written with their colour as it is.
    error WriteImage(gCStream& stream, CImage& image) override;
    error WriteImage(gCStream& stream, CImage8& image) override;

    // Reads from the stream's position: 0; 1 for any libjpeg error; 5 when
    // the image cannot be sized or locked; 16 when the data after the
    // headers is too short for the size they claim (less than a bit for
    // each 8 x 8 block), before any image is made. A file cut off after
    // that reads: the rows past the cut are what libjpeg makes of no data. The file is decoded into
    // an image of its own first: a failed read leaves the image as it was (size, pixels and
    // compressed form).
    virtual error ReadImage(gCStream& stream, CImageBase* image);

    // True when the stream starts with 0xFF 0xD8; the stream is left at 0
    // (false when it cannot be put back there).
    static bool TypeOf(gCStream& stream);

    // The stream procedures behind the source and destination managers:
    // the count moved, fewer (down to 0) at the end of the stream, or
    // 0xFFFFFFFF when the stream refuses.
    static uint32_t VantorWriteProc(void* stream, void* data, uint32_t n);
    static uint32_t VantorReadProc(void* stream, void* data, uint32_t n);
    // libjpeg's error exit: formats the message, then jumps back to the
    // codec. The message output formats it and shows nothing.
    static void JpegErrorHandler(void* cinfo);
    static void JpegErrorMessage(void* cinfo);

private:
    // The whole read into a fresh image.
    error Decode(gCStream& stream, CImageBase* image);
};
