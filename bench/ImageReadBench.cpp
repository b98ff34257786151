#include <benchmark/benchmark.h>

#include <jpeglib.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FileIO/gCMemFile.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "testsupport/foundation/FakeAppServices.h"

// Tiny files (under 2 KB) whose headers claim huge pictures, read through
// the facade into a 32-bit image: each must be refused, or read, in a few
// milliseconds at most. A 512 x 512 baseline JPEG read for comparison.
namespace {

using Bytes = std::vector<uint8_t>;

void Le(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) {
        b.push_back(uint8_t(v >> (8 * i)));
    }
}
void Be(Bytes& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) {
        b.push_back(uint8_t(v >> (8 * i)));
    }
}

// A Windows BMP of 20000 x 20000 at the depth, with a 4-entry palette for
// the run-length forms, followed by the given data.
Bytes ClaimingBmp(uint16_t bits, uint32_t compression, const Bytes& data) {
    const uint32_t palette = bits == 24 ? 0 : 4;
    const uint32_t offset = 54 + palette * 4;
    Bytes b = {'B', 'M'};
    Le(b, offset + uint32_t(data.size()), 4);
    Le(b, 0, 4);
    Le(b, offset, 4);
    Le(b, 40, 4);
    Le(b, 20000, 4);
    Le(b, 20000, 4);
    Le(b, 1, 2);
    Le(b, bits, 2);
    Le(b, compression, 4);
    for (int i = 0; i < 5; ++i) {
        Le(b, i == 3 ? palette : 0, 4);
    }
    for (uint32_t i = 0; i < palette; ++i) {
        Le(b, 0x00FF0000u >> i, 4);
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
    Be(out, uint32_t(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Be(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

Bytes ClaimingPng() {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Be(ihdr, 20000);
    Be(ihdr, 20000);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Chunk(b, "IHDR", ihdr);
    Chunk(b, "IDAT", {0x78, 0x9C, 0x63, 0x60, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01});
    Chunk(b, "IEND", {});
    return b;
}

Bytes Jpeg(JDIMENSION side) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = side;
    c.image_height = side;
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(side);
    while (c.next_scanline < side) {
        for (JDIMENSION x = 0; x < side; ++x) {
            row[x] = JSAMPLE((x * 7 + c.next_scanline * 3) & 255);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    const Bytes bytes(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return bytes;
}

// A 16 x 16 JPEG whose frame header says 30000 x 30000.
Bytes ClaimingJpeg() {
    Bytes b = Jpeg(16);
    for (size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = b[i + 7] = 30000 >> 8;
            b[i + 6] = b[i + 8] = 30000 & 255;
            break;
        }
    }
    return b;
}

Bytes EndsOfLine() {
    Bytes data;
    for (int i = 0; i < 900; ++i) {
        data.insert(data.end(), {0, 0});
    }
    data.insert(data.end(), {0, 1});
    return data;
}

void Read(benchmark::State& state, const Bytes& file) {
    CFakeAppServices quiet; // the BMP reader's alerts
    CMemBlock block;
    block.Resize(uint32_t(file.size()), 0);
    std::memcpy(block.GetData(), file.data(), file.size());
    for (auto _ : state) {
        CImage image;
        benchmark::DoNotOptimize(gCImageIO::ReadImage(block, image));
        quiet.m_Alerts.clear();
    }
    state.counters["file bytes"] = double(file.size());
}

void BM_ClaimingBmp24(benchmark::State& state) {
    Read(state, ClaimingBmp(24, 0, Bytes(300, 0x55)));
}
void BM_ClaimingRle8Cut(benchmark::State& state) {
    Read(state, ClaimingBmp(8, 1, {200, 1, 0, 0, 3, 2}));
}
void BM_ClaimingRle8EndsOfLine(benchmark::State& state) {
    Read(state, ClaimingBmp(8, 1, EndsOfLine()));
}
void BM_ClaimingPng(benchmark::State& state) {
    Read(state, ClaimingPng());
}
void BM_ClaimingJpeg(benchmark::State& state) {
    Read(state, ClaimingJpeg());
}
void BM_HonestJpeg512(benchmark::State& state) {
    Read(state, Jpeg(512));
}

BENCHMARK(BM_ClaimingBmp24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClaimingRle8Cut)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClaimingRle8EndsOfLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClaimingPng)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClaimingJpeg)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HonestJpeg512)->Unit(benchmark::kMicrosecond);

} // namespace
