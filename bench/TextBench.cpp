// Text drawing, with the fonts of the built resource file, each comparison
// as a ratio within one run (best of several):
//   - a 2,000-character paragraph wrapped at 400 pixels in 13-pixel DejaVu
//     Sans, from the glyph cache against rasterised on every draw (sub-pixel
//     positions turn the cache off);
//   - two renderers alternating 12 and 14 pixels on one font (the shared
//     cache empties at each change) against one size.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "bench/BuiltFonts.h"
#include "imaging/Image8.h"
#include "text/TextRenderer.h"

namespace {

gCString Paragraph() {
    const std::u16string words = u"Oil paint and the palette knife pick up and smear the paint "
                                 u"already on the canvas; chalk and crayon catch on the grain. ";
    std::u16string text;
    while (text.size() < 2000) {
        text += words;
    }
    text.resize(2000);
    gCString s;
    (void)s.CopyString(text.c_str()); // an empty paragraph shows as no work
    return s;
}

CTextRenderer Renderer(int32_t pixels, int32_t subPixel) {
    CTextRenderer renderer;
    (void)renderer.m_sFontName.CopyString(u"DejaVu Sans"); // else the fallback family
    renderer.m_nPixelHeight = pixels;
    renderer.m_fWordWrap = 1;
    renderer.m_fSubPixelX = subPixel;
    return renderer;
}

// Seconds to draw the text with each renderer in turn, `rounds` times.
template <size_t N>
double SecondsToDraw(CTextRenderer (&renderers)[N], const gCString& text, CImage8& image,
                     int32_t rounds) {
    const auto start = std::chrono::steady_clock::now();
    for (int32_t i = 0; i < rounds; ++i) {
        for (CTextRenderer& renderer : renderers) {
            benchmark::DoNotOptimize(renderer.RenderText(text, &image, 0));
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_WrappedParagraphCachedAgainstUncached(benchmark::State& state) {
    CFonts fonts;
    if (!fonts.Ready()) {
        state.SkipWithError("no built system.vrf");
        return;
    }
    const gCString text = Paragraph();
    CImage8 image(400, 1200);
    CTextRenderer cached[] = {Renderer(13, 0)};
    CTextRenderer uncached[] = {Renderer(13, 1)};
    double best[2] = {1e9, 1e9};
    for (auto _ : state) {
        best[0] = std::min(best[0], SecondsToDraw(cached, text, image, 1));
        best[1] = std::min(best[1], SecondsToDraw(uncached, text, image, 1));
    }
    state.counters["cached_ms"] = best[0] * 1e3;
    state.counters["uncached_ms"] = best[1] * 1e3;
    state.counters["ratio"] = best[1] / best[0];
}
BENCHMARK(BM_WrappedParagraphCachedAgainstUncached)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_AlternatingSizesAgainstOneSize(benchmark::State& state) {
    CFonts fonts;
    if (!fonts.Ready()) {
        state.SkipWithError("no built system.vrf");
        return;
    }
    gCString line;
    (void)line.CopyString(u"Zoom 100%  Size 24  Opacity 80%"); // empty: no work
    CImage8 image(300, 20);
    CTextRenderer alternating[] = {Renderer(12, 0), Renderer(14, 0)};
    CTextRenderer same[] = {Renderer(12, 0), Renderer(12, 0)};
    double best[2] = {1e9, 1e9};
    for (auto _ : state) {
        best[0] = std::min(best[0], SecondsToDraw(same, line, image, 50));
        best[1] = std::min(best[1], SecondsToDraw(alternating, line, image, 50));
    }
    state.counters["one_size_ms"] = best[0] * 1e3;
    state.counters["alternating_ms"] = best[1] * 1e3;
    state.counters["ratio"] = best[1] / best[0];
}
BENCHMARK(BM_AlternatingSizesAgainstOneSize)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
