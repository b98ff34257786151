#pragma once
// PNG files for the tests, written with libpng itself from raw rows in the
// file's own sample layout, and read back chunk by chunk.

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <string>
#include <vector>

#include "imaging/tests/CodecStreams.h"

namespace codectest {

struct PngLayout {
    png_uint_32 width = 1;
    png_uint_32 height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    int interlace = PNG_INTERLACE_NONE;
    std::vector<png_color> palette;
    std::vector<png_byte> trnsAlpha; // palette files
    bool hasTrnsColour = false;      // grey and colour files
    png_color_16 trnsColour = {};
    bool hasBackground = false;
    png_color_16 background = {};
    std::vector<Bytes> rows; // packed, samples big-endian
};

inline void AppendBytes(png_structp png, png_bytep data, size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

inline bool WritePng(const PngLayout& s, Bytes* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (const Bytes& r : s.rows) {
        rows.push_back(const_cast<png_bytep>(r.data()));
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, nullptr);
    png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colourType, s.interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty()) {
        png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
    }
    if (!s.trnsAlpha.empty()) {
        png_set_tRNS(png, info, s.trnsAlpha.data(), int(s.trnsAlpha.size()), nullptr);
    }
    if (s.hasTrnsColour) {
        png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16p>(&s.trnsColour));
    }
    if (s.hasBackground) {
        png_set_bKGD(png, info, &s.background);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

inline Bytes MakePng(const PngLayout& s) {
    Bytes out;
    EXPECT_TRUE(WritePng(s, &out));
    return out;
}

struct PngText {
    std::string key;
    std::string text;
    int compression;
};

inline void ReadBytes(png_structp png, png_bytep data, size_t n) {
    auto* in = static_cast<std::pair<const Bytes*, size_t>*>(png_get_io_ptr(png));
    if (in->second + n > in->first->size()) {
        png_error(png, "short");
    }
    std::memcpy(data, in->first->data() + in->second, n);
    in->second += n;
}

// The text chunks of a PNG, in file order.
inline std::vector<PngText> ReadTexts(const Bytes& bytes) {
    std::vector<PngText> texts;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::pair<const Bytes*, size_t> in(&bytes, 0);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_set_read_fn(png, &in, ReadBytes);
    png_read_info(png, info);
    png_textp text = nullptr;
    int count = 0;
    png_get_text(png, info, &text, &count);
    for (int i = 0; i < count; ++i) {
        texts.push_back(
            {text[i].key, std::string(text[i].text, text[i].text_length), text[i].compression});
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return texts;
}

// One chunk with its length and CRC, for files libpng would not write.
inline Bytes Chunk(const char* type, const Bytes& data) {
    Bytes out;
    auto put32 = [&](uint32_t v) {
        for (int i = 3; i >= 0; --i) {
            out.push_back(uint8_t(v >> (8 * i)));
        }
    };
    put32(uint32_t(data.size()));
    Bytes body(type, type + 4);
    Append(body, data);
    Append(out, body);
    put32(uint32_t(crc32(0, body.data(), uInt(body.size()))));
    return out;
}

inline Bytes Signature() {
    return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

// An IHDR for the given sides, 8-bit RGBA.
inline Bytes Ihdr(uint32_t width, uint32_t height) {
    Bytes d;
    for (uint32_t v : {width, height}) {
        for (int i = 3; i >= 0; --i) {
            d.push_back(uint8_t(v >> (8 * i)));
        }
    }
    Append(d, {8, 6, 0, 0, 0});
    return Chunk("IHDR", d);
}

} // namespace codectest
