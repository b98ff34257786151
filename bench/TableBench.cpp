// The table widget, each comparison as a ratio within one run (best of
// several):
//   - RenderArea of a 562 x 150 table with opaque row backgrounds and an
//     overlay full of cells, in megapixels per second, against a memcpy of
//     the same bytes;
//   - scrolling by one line (the cached overlay moves, one row is rendered)
//     against rendering the whole view again, 30 text rows with shadows.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BuiltFonts.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "text/TableWidget.h"

namespace {

constexpr int32_t kWidth = 562;
constexpr int32_t kHeight = 150;

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A table of the benchmark's size with 30 rows of two text columns, in
// DejaVu Sans, shadows on.
bool Fill(CTableWidget& table) {
    CTextRenderer renderer;
    (void)renderer.m_sFontName.CopyString(u"DejaVu Sans"); // else the fallback family
    renderer.m_nPixelHeight = 12;
    if (table.SetSize(kWidth, kHeight, 0) != eNoError ||
        table.SetTextAttributes(renderer, 0) != eNoError ||
        table.SetSelectedTextAttributes(renderer, 0) != eNoError ||
        table.SetColumnWidth(0, 380, 0) != eNoError || table.AddColumn(182, 1, 0) != eNoError ||
        table.SetJustification(1, CTextRenderer::eJustifyRight, 0) != eNoError) {
        return false;
    }
    for (int32_t i = 0; i < 30; ++i) {
        gCString name;
        gCString number;
        const std::u16string a = u"CWidget number " + std::u16string(1, char16_t(u'A' + i % 26)) +
                                 u" of the inspector's list";
        const std::u16string b = std::u16string(1, char16_t(u'0' + i % 10)) + u"2,345";
        if (name.CopyString(a.c_str()) != eNoError || number.CopyString(b.c_str()) != eNoError ||
            table.AddRow(0) != eNoError || table.SetCellText(i, 0, name, 0) != eNoError ||
            table.SetCellText(i, 1, number, 0) != eNoError) {
            return false;
        }
    }
    return true;
}

void BM_RenderAreaAgainstMemcpy(benchmark::State& state) {
    CFonts fonts;
    CTableWidget table;
    if (!fonts.Ready() || !Fill(table) || table.SetAltRowColour(0xFFF0F0F0u, 0) != eNoError) {
        state.SkipWithError("the table cannot be set up");
        return;
    }
    // Every overlay pixel covered: the rendered cells, the gaps at half.
    {
        CImNav overlay(&table.Overlay());
        for (int32_t y = 0; y < overlay.GetHeight(); ++y) {
            for (int32_t x = 0; x < overlay.GetWidth(); ++x) {
                CPixel& p = overlay.Row(y)[x];
                if ((uint32_t(p) >> 24) == 0) {
                    p = 0x80406080u;
                }
            }
        }
    }
    CImage target(kWidth, kHeight);
    std::vector<uint32_t> from(size_t(kWidth) * kHeight, 0x12345678u);
    std::vector<uint32_t> to(from.size());
    const gCRect area(0, 0, kWidth, kHeight);
    double best[2] = {1e9, 1e9};
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < 20; ++i) {
            benchmark::DoNotOptimize(table.RenderArea(area, &target, 255));
            benchmark::ClobberMemory();
        }
        best[0] = std::min(best[0], Since(start) / 20);
        start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < 20; ++i) {
            std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
            benchmark::ClobberMemory();
        }
        best[1] = std::min(best[1], Since(start) / 20);
    }
    const double pixels = double(kWidth) * kHeight * 1e-6;
    state.counters["render_Mpx/s"] = pixels / best[0];
    state.counters["memcpy_Mpx/s"] = pixels / best[1];
    state.counters["ratio"] = best[0] / best[1];
}
BENCHMARK(BM_RenderAreaAgainstMemcpy)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_ScrollOneLineAgainstWholeView(benchmark::State& state) {
    CFonts fonts;
    CTableWidget table;
    if (!fonts.Ready() || !Fill(table)) {
        state.SkipWithError("the table cannot be set up");
        return;
    }
    const gCRect view(0, 0, kWidth, kHeight);
    double best[2] = {1e9, 1e9};
    for (auto _ : state) {
        // Down and back up: each step renders one row's strip.
        auto start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < 10; ++i) {
            benchmark::DoNotOptimize(table.VScrollDownOneLine(0));
            benchmark::DoNotOptimize(table.VScrollUpOneLine(0));
        }
        best[0] = std::min(best[0], Since(start) / 20);
        start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < 5; ++i) {
            benchmark::DoNotOptimize(table.InvalidateOverlay(view));
        }
        best[1] = std::min(best[1], Since(start) / 5);
    }
    state.counters["line_ms"] = best[0] * 1e3;
    state.counters["whole_view_ms"] = best[1] * 1e3;
    state.counters["ratio"] = best[1] / best[0];
}
BENCHMARK(BM_ScrollOneLineAgainstWholeView)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
