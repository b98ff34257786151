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
    // How the image data is compressed. Every choice is a standard PNG that
    // any decoder reads; -1 keeps libpng's own choice (a filter searched per
    // row, zlib's default level and strategy), which every writer but the
    // project file's layers uses.
    // The row filters a writer may use (libpng's PNG_FILTER_* masks); one
    // alone fixes that filter for every row.
    static constexpr int32_t kFilterNone = 0x08;
    static constexpr int32_t kFilterSub = 0x10;
    static constexpr int32_t kFilterUp = 0x20;
    static constexpr int32_t kFilterAverage = 0x40;
    static constexpr int32_t kFilterPaeth = 0x80;
    // zlib's strategies.
    static constexpr int32_t kStrategyDefault = 0;
    static constexpr int32_t kStrategyFiltered = 1;
    static constexpr int32_t kStrategyHuffmanOnly = 2;
    static constexpr int32_t kStrategyRle = 3;
    struct SWriteOptions {
        // A set of the filters above, or -1.
        int32_t filters = -1;
        // zlib's level 0..9, or -1.
        int32_t level = -1;
        // One of the strategies above, or -1.
        int32_t strategy = -1;
    };

    gCPngIO() = default;
    explicit gCPngIO(const SWriteOptions& options) : m_WriteOptions(options) {}

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

    // For worker threads: a whole PNG held in memory decoded straight into
    // width × height CPixel words (rows without padding), every word as
    // stored (a background chunk is not applied), with libpng and zlib and
    // libpng's blocks from the memory hooks, none above 64 MB (the cap):
    // no other toolkit code, no state shared with any other call, so the
    // hooks must be safe to call from any thread. A chunk longer than that
    // cap, or any other fault libpng would only warn about, is an error.
    // 0; 16 when the PNG is not of that size; 5 when libpng's structures
    // cannot be made; 15 for any libpng error (the pixels then hold what
    // was decoded).
    static error DecodeInto(const void* png, size_t bytes, uint32_t* pixels, int32_t width,
                            int32_t height);

    // For worker threads: width × height CPixel words (rows without
    // padding) written as WriteImage writes an image of them whose
    // resource name is title, with the options: libpng and zlib, libpng's
    // blocks and the stream's growth from the memory hooks, no other
    // toolkit code and no state shared with any other call. 0; 5 when
    // libpng's structures cannot be made or the sides are not positive; 15
    // for any libpng error or a write the stream refuses.
    static error EncodeFrom(const uint32_t* pixels, int32_t width, int32_t height,
                            const char* title, const SWriteOptions& options, gCStream& stream);
    // True when at least 8 bytes follow the position and they are the PNG
    // signature; the position is kept (false when it cannot be put back).
    static bool TypeOf(gCStream& stream);

    float GetGamma() const { return m_rGamma; }

private:
    // The whole read into a fresh image.
    error Decode(gCStream& stream, CImageBase* image);

    float m_rGamma = 1.0f;
    SWriteOptions m_WriteOptions;
};
