// Writing PNG files: 8-bit colour with alpha from a CImage, 8-bit grey from
// a CImage8, no interlace, the codec's compression and filters (libpng's
// defaults unless it was given others), and three text chunks. As in reading, only plain locals
// live where libpng may jump.

#include <string>

#include "imaging/ImNav.h"
#include "imaging/PngIO.h"
#include "imaging/detail/PngShared.h"

#include <csetjmp>
#include <png.h>

#include <zlib.h>

static_assert(gCPngIO::kFilterNone == PNG_FILTER_NONE && gCPngIO::kFilterSub == PNG_FILTER_SUB &&
              gCPngIO::kFilterUp == PNG_FILTER_UP && gCPngIO::kFilterAverage == PNG_FILTER_AVG &&
              gCPngIO::kFilterPaeth == PNG_FILTER_PAETH);
static_assert(gCPngIO::kStrategyDefault == Z_DEFAULT_STRATEGY &&
              gCPngIO::kStrategyFiltered == Z_FILTERED &&
              gCPngIO::kStrategyHuffmanOnly == Z_HUFFMAN_ONLY && gCPngIO::kStrategyRle == Z_RLE);

namespace {

char kTitleKey[] = "Title";
char kAuthorKey[] = "Author";
char kAuthor[] = "Quillon Works LTD";
char kDescriptionKey[] = "Description";
char kDescription[] = "Image written with Quillon Works LTD Vantor application toolkit.";

bool WriteAll(png_structp png, png_infop info, gCStream* stream, int32_t width, int32_t height,
              bool grey, const char* title, png_bytepp rows,
              const gCPngIO::SWriteOptions* options) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, stream, g_PNGIO_VantorWriteData, g_PNGIO_VantorFlushData);
    if (options->filters >= 0) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, options->filters);
    }
    if (options->level >= 0) {
        png_set_compression_level(png, options->level);
    }
    if (options->strategy >= 0) {
        png_set_compression_strategy(png, options->strategy);
    }
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_text text[3] = {};
    text[0].compression = PNG_TEXT_COMPRESSION_NONE;
    text[0].key = kTitleKey;
    text[0].text = const_cast<char*>(title); // libpng only reads it
    text[1].compression = PNG_TEXT_COMPRESSION_NONE;
    text[1].key = kAuthorKey;
    text[1].text = kAuthor;
    text[2].compression = PNG_TEXT_COMPRESSION_zTXt;
    text[2].key = kDescriptionKey;
    text[2].text = kDescription;
    png_set_text(png, info, text, 3);
    png_write_info(png, info);
    if (!grey) {
        // Memory B,G,R,A (the word 0xAARRGGBB on a little-endian host) to
        // the file's R,G,B,A.
        png_set_bgr(png);
    }
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

} // namespace

error gCPngIO::WriteImage(gCStream& stream, CImage& image) {
    return WriteImage(stream, static_cast<CImageBase*>(&image));
}

error gCPngIO::WriteImage(gCStream& stream, CImage8& image) {
    return WriteImage(stream, static_cast<CImageBase*>(&image));
}

error gCPngIO::WriteImage(gCStream& stream, CImageBase* image) {
    if (!image) {
        return eBadParameter;
    }
    CPngStructs s(true);
    if (!s.IsValid()) {
        return eOutOfMemory;
    }
    CImNavBase view(image, nullptr);
    if (!view.IsLocked() || view.GetWidth() <= 0 || view.GetHeight() <= 0) {
        return eOutOfMemory;
    }
    CMemBlockT<png_bytep> rows;
    if (!g_PNGIO_RowTable(view, rows)) {
        return eOutOfMemory;
    }
    // The image's resource name as Latin-1; empty for an image without one.
    std::string title = image->GetResName().Ascii();
    if (!WriteAll(s.png, s.info, &stream, view.GetWidth(), view.GetHeight(),
                  image->GetBitsPerPixel() == 8, title.data(), rows.GetData(), &m_WriteOptions)) {
        return eFileReadWriteError;
    }
    return eNoError;
}

error gCPngIO::EncodeFrom(const uint32_t* pixels, int32_t width, int32_t height, const char* title,
                          const SWriteOptions& options, gCStream& stream) {
    if (!pixels || width <= 0 || height <= 0) {
        return eOutOfMemory;
    }
    CPngStructs s(true);
    if (!s.IsValid()) {
        return eOutOfMemory;
    }
    CMemBlockT<png_bytep> rows;
    if (!rows.Resize(uint32_t(height), 1)) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < height; ++y) {
        // libpng only reads the rows it writes.
        rows.GetData()[y] =
            reinterpret_cast<png_bytep>(const_cast<uint32_t*>(pixels + size_t(y) * size_t(width)));
    }
    if (!WriteAll(s.png, s.info, &stream, width, height, false, title ? title : "", rows.GetData(),
                  &options)) {
        return eFileReadWriteError;
    }
    return eNoError;
}
