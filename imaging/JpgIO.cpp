// The JPEG codec. libjpeg reports errors by a long jump to the jump point of
// the error manager: the functions that set it hold only plain locals, and
// everything with a destructor lives in their callers.

#include "imaging/JpgIO.h"

#include "FileIO/StreamBytes.h"
#include "imaging/ImNav.h"
#include "imaging/detail/JpgStreamManagers.h"
#include "imaging/detail/StagedRead.h"

#include <cstring>

namespace {

void ErrorExit(j_common_ptr cinfo) {
    gCJpgIO::JpegErrorHandler(cinfo);
}

void OutputMessage(j_common_ptr cinfo) {
    gCJpgIO::JpegErrorMessage(cinfo);
}

// The decompressor or compressor of one call with its error manager;
// destroyed on every return (destroying one never created does nothing).
template <class Struct, void (*Destroy)(Struct*)> struct CJpegObject {
    Struct cinfo;
    JpegErrorManager err;
    CJpegObject() {
        std::memset(static_cast<void*>(&cinfo), 0, sizeof cinfo);
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        err.pub.output_message = OutputMessage;
    }
    ~CJpegObject() { Destroy(&cinfo); }
    CJpegObject(const CJpegObject&) = delete;
    CJpegObject& operator=(const CJpegObject&) = delete;
};

using CDecompressor = CJpegObject<jpeg_decompress_struct, jpeg_destroy_decompress>;
using CCompressor = CJpegObject<jpeg_compress_struct, jpeg_destroy_compress>;

// The most libjpeg may take for one decode (its buffers and, for
// progressive and multi-scan files, the whole picture's coefficients);
// beyond it the decode fails, since there is no backing store.
constexpr long kCodecMemoryBytes = 512L << 20;

enum class EStart { eStarted, eFailed, eTooShort };

// True when the data after the headers can hold one bit for every 8 x 8
// block of the largest component: the least any complete file codes, since
// each block's DC difference takes at least one bit of a Huffman code. A
// file that claims a huge picture over a few bytes is refused before
// anything is made for it; a file cut off later still reads.
bool DataCanHoldBlocks(jpeg_decompress_struct* cinfo, gCStream& stream) {
    uint64_t blocks = 0;
    for (int c = 0; c < cinfo->num_components; ++c) {
        const jpeg_component_info& comp = cinfo->comp_info[c];
        const uint64_t n = uint64_t(comp.width_in_blocks) * uint64_t(comp.height_in_blocks);
        blocks = n > blocks ? n : blocks;
    }
    const uint64_t bytes =
        uint64_t(streambytes::Remaining(stream)) + uint64_t(cinfo->src->bytes_in_buffer);
    return bytes * 8 >= blocks;
}

EStart StartDecompress(jpeg_decompress_struct* cinfo, JpegErrorManager* err,
                       JpegStreamProcs* procs) {
    if (setjmp(err->jump)) {
        return EStart::eFailed;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kCodecMemoryBytes;
    VantorJpegStreamSource(cinfo, procs);
    jpeg_read_header(cinfo, TRUE);
    if (!DataCanHoldBlocks(cinfo, *procs->stream)) {
        // Told as libjpeg tells a file that ends early (silently).
        cinfo->err->msg_code = JERR_INPUT_EOF;
        (*cinfo->err->output_message)(j_common_ptr(cinfo));
        return EStart::eTooShort;
    }
    // CMYK and YCCK files come out as CMYK (libjpeg turns YCCK into it)
    // and are turned into colour here.
    if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) {
        cinfo->out_color_space = JCS_CMYK;
    }
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_start_decompress(cinfo);
    return EStart::eStarted;
}

// One CMYK sample set as opaque 0xAARRGGBB. Files with Adobe's marker store
// the inks inverted (0 is full ink), so a channel is C x K / 255; plain
// files store them as they are: (255 - C) x (255 - K) / 255. Rounded to the
// nearest (x / 255 never falls on a half).
CPixel CmykToRgb(const JSAMPLE* s, bool inverted) {
    const uint32_t k = inverted ? s[3] : 255u - s[3];
    uint32_t p = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const uint32_t ink = inverted ? s[i] : 255u - s[i];
        p |= ((ink * k + 127) / 255) << (16 - 8 * i);
    }
    return p;
}

// Decodes every scanline into the view, top row first.
bool DecodeRows(jpeg_decompress_struct* cinfo, JpegErrorManager* err, char* data, int32_t rowBytes,
                bool grey) {
    if (setjmp(err->jump)) {
        return false;
    }
    const JDIMENSION width = cinfo->output_width;
    const int comps = cinfo->output_components;
    const bool cmyk = cinfo->out_color_space == JCS_CMYK;
    const bool inverted = cinfo->saw_Adobe_marker != 0;
    JSAMPARRAY buffer =
        (*cinfo->mem->alloc_sarray)(j_common_ptr(cinfo), JPOOL_IMAGE, width * JDIMENSION(comps), 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION y = cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, buffer, 1);
        const JSAMPLE* s = buffer[0];
        char* row = data + ptrdiff_t(y) * rowBytes;
        for (JDIMENSION x = 0; x < width; ++x) {
            const JSAMPLE* sample = s + size_t(x) * comps;
            CPixel p;
            if (cmyk) {
                p = CmykToRgb(sample, inverted);
            } else if (comps == 3) {
                p = 0xFF000000u | (uint32_t(sample[0]) << 16) | (uint32_t(sample[1]) << 8) |
                    sample[2];
            } else {
                p = 0xFF000000u + uint32_t(sample[0]) * 0x010101u;
            }
            if (grey) {
                reinterpret_cast<uint8_t*>(row)[x] =
                    uint8_t((((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3);
            } else {
                reinterpret_cast<CPixel*>(row)[x] = p;
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

bool Compress(jpeg_compress_struct* cinfo, JpegErrorManager* err, JpegStreamProcs* procs,
              const CImNavBase* view, bool grey) {
    if (setjmp(err->jump)) {
        return false;
    }
    jpeg_create_compress(cinfo);
    VantorJpegStreamDestination(cinfo, procs);
    const JDIMENSION width = JDIMENSION(view->GetWidth());
    cinfo->image_width = width;
    cinfo->image_height = JDIMENSION(view->GetHeight());
    cinfo->input_components = grey ? 1 : 3;
    cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_start_compress(cinfo, TRUE);
    JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(j_common_ptr(cinfo), JPOOL_IMAGE,
                                                    width * JDIMENSION(cinfo->input_components), 1);
    const char* data = static_cast<const char*>(view->GetDataPtr());
    while (cinfo->next_scanline < cinfo->image_height) {
        const char* row = data + ptrdiff_t(cinfo->next_scanline) * view->GetRowBytes();
        JSAMPLE* out = buffer[0];
        if (grey) {
            std::memcpy(out, row, width);
        } else {
            const CPixel* in = reinterpret_cast<const CPixel*>(row);
            for (JDIMENSION x = 0; x < width; ++x) {
                const uint32_t p = in[x];
                out[x * 3] = JSAMPLE(p >> 16);
                out[x * 3 + 1] = JSAMPLE(p >> 8);
                out[x * 3 + 2] = JSAMPLE(p);
            }
        }
        jpeg_write_scanlines(cinfo, buffer, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

error WriteView(gCStream& stream, CImNavBase& view, bool grey) {
    if (!view.IsLocked() || view.GetWidth() <= 0 || view.GetHeight() <= 0) {
        return eOutOfMemory;
    }
    CCompressor c;
    JpegStreamProcs procs = {gCJpgIO::VantorWriteProc, gCJpgIO::VantorReadProc, &stream};
    return Compress(&c.cinfo, &c.err, &procs, &view, grey) ? eNoError : eGenericFailure;
}

} // namespace

uint32_t gCJpgIO::VantorWriteProc(void* stream, void* data, uint32_t n) {
    return streambytes::Write(*static_cast<gCStream*>(stream), data, n) ? 0xFFFFFFFFu : n;
}

uint32_t gCJpgIO::VantorReadProc(void* stream, void* data, uint32_t n) {
    const int64_t got = streambytes::ReadSome(*static_cast<gCStream*>(stream), data, n);
    return got < 0 ? 0xFFFFFFFFu : uint32_t(got);
}

void gCJpgIO::JpegErrorHandler(void* cinfo) {
    j_common_ptr common = static_cast<j_common_ptr>(cinfo);
    (*common->err->output_message)(common);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(common->err)->jump, 1);
}

void gCJpgIO::JpegErrorMessage(void* cinfo) {
    j_common_ptr common = static_cast<j_common_ptr>(cinfo);
    char text[JMSG_LENGTH_MAX];
    (*common->err->format_message)(common, text);
}

bool gCJpgIO::TypeOf(gCStream& stream) {
    unsigned char head[10] = {};
    // A stream shorter than the head leaves zeros (or what it has), and the
    // test needs only the first two bytes: the read's result adds nothing.
    (void)stream.ReadBlock(reinterpret_cast<char*>(head), sizeof head);
    // A stream that cannot go back to its start cannot be read from there.
    if (stream.Rewind() != eNoError) {
        return false;
    }
    return head[0] == 0xFF && head[1] == 0xD8;
}

error gCJpgIO::ReadImage(gCStream& stream, CImage& image) {
    return ReadImage(stream, static_cast<CImageBase*>(&image));
}

error gCJpgIO::ReadImage(gCStream& stream, CImage8& image) {
    return ReadImage(stream, static_cast<CImageBase*>(&image));
}

error gCJpgIO::ReadImage(gCStream& stream, CImageBase* image) {
    if (!image) {
        return eBadParameter;
    }
    return ReadStaged(*image, [&](CImageBase& fresh) { return Decode(stream, &fresh); });
}

error gCJpgIO::Decode(gCStream& stream, CImageBase* image) {
    CDecompressor d;
    JpegStreamProcs procs = {VantorWriteProc, VantorReadProc, &stream};
    switch (StartDecompress(&d.cinfo, &d.err, &procs)) {
    case EStart::eFailed:
        return eGenericFailure;
    case EStart::eTooShort:
        return eInvalidFile;
    case EStart::eStarted:
        break;
    }
    if (image->SetSize(int32_t(d.cinfo.output_width), int32_t(d.cinfo.output_height)) != eNoError) {
        return eOutOfMemory;
    }
    CImNavBase view(image, nullptr);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const bool grey = image->GetBitsPerPixel() == 8;
    return DecodeRows(&d.cinfo, &d.err, static_cast<char*>(view.GetDataPtr()), view.GetRowBytes(),
                      grey)
               ? eNoError
               : eGenericFailure;
}

error gCJpgIO::WriteImage(gCStream& stream, CImage& image) {
    CImNav view(&image);
    return WriteView(stream, view, false);
}

error gCJpgIO::WriteImage(gCStream& stream, CImage8& image) {
    CImNav8 view(&image);
    return WriteView(stream, view, true);
}
