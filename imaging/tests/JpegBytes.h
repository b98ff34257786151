#pragma once
// JPEG files for the tests, written by libjpeg itself from rows of samples:
// grey, RGB and CMYK, with or without Adobe's marker.

#include <jpeglib.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "imaging/tests/CodecStreams.h"

namespace codectest {

struct JpegLayout {
    JDIMENSION width = 1;
    JDIMENSION height = 1;
    J_COLOR_SPACE space = JCS_RGB;         // of the samples: JCS_GRAYSCALE, JCS_RGB, JCS_CMYK
    J_COLOR_SPACE fileSpace = JCS_UNKNOWN; // in the file; unknown: libjpeg's default
    J_DCT_METHOD dct = JDCT_ISLOW;
    int quality = 75;
    // Adobe's marker; none given: libjpeg's choice (one for CMYK and YCCK).
    std::optional<bool> adobeMarker;
    bool progressive = false;
    std::vector<JSAMPLE> samples; // rows top first, components interleaved
};

inline Bytes LibjpegEncode(const JpegLayout& s) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = s.width;
    c.image_height = s.height;
    c.input_components = s.space == JCS_GRAYSCALE ? 1 : s.space == JCS_CMYK ? 4 : 3;
    c.in_color_space = s.space;
    jpeg_set_defaults(&c);
    if (s.fileSpace != JCS_UNKNOWN) {
        jpeg_set_colorspace(&c, s.fileSpace);
    }
    jpeg_set_quality(&c, s.quality, TRUE);
    if (s.progressive) {
        jpeg_simple_progression(&c);
    }
    if (s.adobeMarker) {
        c.write_Adobe_marker = *s.adobeMarker ? TRUE : FALSE;
    }
    c.dct_method = s.dct;
    jpeg_start_compress(&c, TRUE);
    const size_t stride = size_t(s.width) * size_t(c.input_components);
    while (c.next_scanline < s.height) {
        JSAMPROW rows[1] = {const_cast<JSAMPLE*>(s.samples.data()) + c.next_scanline * stride};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    const Bytes bytes(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return bytes;
}

// The old form: grey or RGB samples with libjpeg's defaults and the DCT.
inline Bytes LibjpegEncode(JDIMENSION width, JDIMENSION height, int components,
                           const std::vector<JSAMPLE>& samples, J_DCT_METHOD dct) {
    JpegLayout s;
    s.width = width;
    s.height = height;
    s.space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    s.dct = dct;
    s.samples = samples;
    return LibjpegEncode(s);
}

// Sets the sides in the file's frame header (SOF0..SOF2) to the given ones.
inline void PatchJpegSides(Bytes& file, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] >= 0xC0 && file[i + 1] <= 0xC2) {
            file[i + 5] = uint8_t(height >> 8);
            file[i + 6] = uint8_t(height);
            file[i + 7] = uint8_t(width >> 8);
            file[i + 8] = uint8_t(width);
            return;
        }
    }
}

} // namespace codectest
