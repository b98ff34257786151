#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>
#include <zlib.h>

#include "FileIO/gCMemFile.h"
#include "imaging/ImNav.h"
#include "imaging/PngIO.h"

// A 2048 x 2048 paint layer of noisy 32-bit words written and read as PNG,
// beside plain zlib compression of the same bytes at the same level (libpng's
// default, Z_DEFAULT_COMPRESSION). Rates are of the raw pixel bytes.
//
// Argument 0: every word random. Argument 1: two 16-bit channels that wander
// smoothly with a few bits of noise each, as the stroke engine's layers hold
// them.
namespace {

constexpr int32_t kSide = 2048;
constexpr int64_t kRawBytes = int64_t(kSide) * kSide * 4;

void Paint(CImage& image, bool smooth) {
    std::mt19937 rng(1);
    CImNav view(&image);
    for (int32_t y = 0; y < kSide; ++y) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < kSide; ++x) {
            const uint32_t hi = uint32_t(x * 13 + y * 7) * 16 + (rng() & 0xFF);
            const uint32_t lo = uint32_t(x * 5 + y * 11) * 8 + (rng() & 0x3F);
            row[x] = smooth ? ((hi & 0xFFFF) << 16) | (lo & 0xFFFF) : uint32_t(rng());
        }
    }
}

CImage& Layer(int64_t kind) {
    static CImage layers[2] = {CImage(kSide, kSide), CImage(kSide, kSide)};
    static bool painted[2] = {false, false};
    if (!painted[kind]) {
        Paint(layers[kind], kind == 1);
        painted[kind] = true;
    }
    return layers[kind];
}

void BM_PngWrite(benchmark::State& state) {
    CImage& image = Layer(state.range(0));
    int64_t encoded = 0;
    for (auto _ : state) {
        gCMemFile out;
        gCPngIO codec;
        if (codec.WriteImage(out, image) != eNoError) {
            state.SkipWithError("write failed");
            break;
        }
        encoded = out.Length();
    }
    state.SetBytesProcessed(state.iterations() * kRawBytes);
    state.counters["ratio"] = double(encoded) / double(kRawBytes);
}
BENCHMARK(BM_PngWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PngRead(benchmark::State& state) {
    gCMemFile encoded;
    gCPngIO writer;
    if (writer.WriteImage(encoded, Layer(state.range(0))) != eNoError) {
        state.SkipWithError("write failed");
        return;
    }
    CImage back;
    for (auto _ : state) {
        if (encoded.SetFilePos(0) != eNoError) {
            state.SkipWithError("rewind failed");
            break;
        }
        gCPngIO codec;
        if (codec.ReadImage(encoded, back) != eNoError) {
            state.SkipWithError("read failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kRawBytes);
}
BENCHMARK(BM_PngRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ZlibCompress(benchmark::State& state) {
    CImNav view(&Layer(state.range(0)));
    const Bytef* raw = static_cast<const Bytef*>(view.GetDataPtr());
    std::vector<Bytef> out(compressBound(uLong(kRawBytes)));
    uLongf size = 0;
    for (auto _ : state) {
        size = uLongf(out.size());
        compress2(out.data(), &size, raw, uLong(kRawBytes), Z_DEFAULT_COMPRESSION);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * kRawBytes);
    state.counters["ratio"] = double(size) / double(kRawBytes);
}
BENCHMARK(BM_ZlibCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ZlibUncompress(benchmark::State& state) {
    CImNav view(&Layer(state.range(0)));
    const Bytef* raw = static_cast<const Bytef*>(view.GetDataPtr());
    std::vector<Bytef> packed(compressBound(uLong(kRawBytes)));
    uLongf packedSize = uLongf(packed.size());
    compress2(packed.data(), &packedSize, raw, uLong(kRawBytes), Z_DEFAULT_COMPRESSION);
    std::vector<Bytef> out(static_cast<size_t>(kRawBytes));
    for (auto _ : state) {
        uLongf size = uLongf(out.size());
        uncompress(out.data(), &size, packed.data(), packedSize);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * kRawBytes);
}
BENCHMARK(BM_ZlibUncompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
