#include <benchmark/benchmark.h>

#include <cstdint>

#include "imaging/ImNav.h"
#include "imaging/RLE.h"

// Run-length encoding and decoding of a 1024 x 768 interface-like picture:
// a transparent surround with junk colour bits, flat panels, a title bar
// with a horizontal gradient, a panel with a vertical gradient, rounded
// corners with partial alpha and a few lines of small detail.
namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;

void Paint(CImage& image) {
    CImNav view(&image);
    for (int32_t y = 0; y < kHeight; ++y) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < kWidth; ++x) {
            uint32_t p = uint32_t(x * 2654435761u) & 0x00FFFFFFu; // transparent
            if (x >= 32 && x < 992 && y >= 24 && y < 744) {
                p = 0xFFD8D8D8u; // panel
                if (y < 56) {
                    p = 0xFF000000u | (uint32_t(x * 255 / kWidth) << 16) | 0x3050u; // title bar
                } else if (x >= 700 && x < 960 && y >= 80 && y < 700) {
                    p = 0xFF202020u + uint32_t((y - 80) * 200 / 620) * 0x010101u; // side panel
                } else if (y % 40 == 0 && x % 3 == 0) {
                    p = 0xFF404040u; // detail
                }
                const int32_t cx = x < 40 ? 40 - x : (x >= 984 ? x - 983 : 0);
                const int32_t cy = y < 32 ? 32 - y : (y >= 736 ? y - 735 : 0);
                if (cx * cx + cy * cy > 48) {
                    p = (p & 0x00FFFFFFu) | (uint32_t(255 - (cx + cy) * 16 % 256) << 24);
                }
            }
            row[x] = p;
        }
    }
}

CImage& Picture() {
    static CImage image(kWidth, kHeight);
    static bool painted = (Paint(image), true);
    (void)painted;
    return image;
}

void BM_RLEEncode(benchmark::State& state) {
    CImage& image = Picture();
    for (auto _ : state) {
        CRLE rle;
        benchmark::DoNotOptimize(rle.CreateFromImage(&image));
        benchmark::DoNotOptimize(rle.GetData());
    }
    CRLE rle;
    if (rle.CreateFromImage(&image) != eNoError) {
        state.SkipWithError("encoding failed");
        return;
    }
    state.counters["words"] = double(rle.GetCount());
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_RLEEncode)->Unit(benchmark::kMillisecond);

void BM_RLEDecode(benchmark::State& state) {
    CRLE rle;
    if (rle.CreateFromImage(&Picture()) != eNoError) {
        state.SkipWithError("encoding failed");
        return;
    }
    CImage out(kWidth, kHeight);
    CImNav view(&out);
    for (auto _ : state) {
        for (int32_t y = 0; y < kHeight; ++y) {
            rle.StartRLE(0, y);
            CPixel* row = view.Row(y);
            for (int32_t x = 0; x < kWidth; ++x) {
                row[x] = rle.NextRLE();
            }
        }
        benchmark::DoNotOptimize(view.GetData());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_RLEDecode)->Unit(benchmark::kMillisecond);

// The whole round trip of an image: Compress, then Decompress.
void BM_ImageCompressDecompress(benchmark::State& state) {
    CImage image(kWidth, kHeight);
    Paint(image);
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.Compress());
        benchmark::DoNotOptimize(image.Decompress());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_ImageCompressDecompress)->Unit(benchmark::kMillisecond);

} // namespace
