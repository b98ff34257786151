#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "imaging/CRegion.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/Renderer.h"
#include "paint/undo/UndoManager.h"
#include "testsupport/paint/StrokeCanvas.h"

// The undo ring on a painted 4000 × 3000 canvas (47,000 tiles): clearing's
// protect of the whole canvas, then undo and redo in the manager alone,
// beside a memcpy of each tile's 4,104 bytes; then the backbone's undo of a
// clear with its relight, beside the relight alone. Counters: ns per tile.
namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;
constexpr int64_t kTiles = int64_t((kWidth + 15) / 16) * ((kHeight + 15) / 16);

void Paint(uint32_t* const layers[4]) {
    std::mt19937 rng(11);
    for (int32_t i = 0; i < 4; ++i) {
        for (size_t k = 0; k < size_t(kWidth) * kHeight; ++k) {
            layers[i][k] = rng();
        }
    }
}

struct Layers {
    Layers() {
        uint32_t* data[4];
        for (int32_t i = 0; i < 4; ++i) {
            images[i] = std::make_unique<CImage>(kWidth, kHeight);
            views[i] = std::make_unique<CImNav>(images[i].get());
            data[i] = reinterpret_cast<uint32_t*>(views[i]->GetData());
        }
        Paint(data);
    }
    std::unique_ptr<CImage> images[4];
    std::unique_ptr<CImNav> views[4];
};

Layers& SharedLayers() {
    static Layers layers;
    return layers;
}

CSMKUndoManager& SharedManager() {
    static CSMKUndoManager manager;
    if (manager.RingSize() == 0) {
        (void)manager.Initialise(kWidth * kHeight * 24, kWidth, kHeight); // checked by the runs
    }
    return manager;
}

void ProtectWhole(CSMKUndoManager& m, Layers& l) {
    gCRect whole(0, 0, kWidth, kHeight);
    m.StartProtect(0);
    (void)m.ProtectArea(whole, l.views[0].get(), l.views[1].get(), l.views[2].get(),
                        l.views[3].get()); // always 0
    m.EndProtect();
}

void PerTile(benchmark::State& state) {
    state.counters["ns_per_tile"] =
        benchmark::Counter(double(kTiles) * double(state.iterations()) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ClearProtect(benchmark::State& state) {
    Layers& l = SharedLayers();
    CSMKUndoManager& m = SharedManager();
    if (m.RingSize() == 0) {
        state.SkipWithError("no ring");
        return;
    }
    for (auto _ : state) {
        ProtectWhole(m, l);
        benchmark::DoNotOptimize(m.Position());
    }
    PerTile(state);
}
BENCHMARK(BM_ClearProtect)->Unit(benchmark::kMillisecond);

void BM_UndoRedoInManager(benchmark::State& state) {
    Layers& l = SharedLayers();
    CSMKUndoManager& m = SharedManager();
    if (m.RingSize() == 0) {
        state.SkipWithError("no ring");
        return;
    }
    ProtectWhole(m, l);
    CRegion region;
    CImNav *a = l.views[0].get(), *b = l.views[1].get(), *c = l.views[2].get(),
           *d = l.views[3].get();
    for (auto _ : state) {
        (void)m.DoUndo(region, a, b, c, d); // the region's memory is there
        (void)m.DoRedo(region, a, b, c, d);
        benchmark::DoNotOptimize(region.GetCount());
    }
    // Undo and redo each touch every tile once.
    state.counters["ns_per_tile_step"] =
        benchmark::Counter(double(kTiles) * 2.0 * double(state.iterations()) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedoInManager)->Unit(benchmark::kMillisecond);

void BM_MemcpyTiles(benchmark::State& state) {
    const size_t bytes = size_t(kTiles) * CSMKUndoManager::kBlockBytes;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        for (int64_t t = 0; t < kTiles; ++t) {
            std::memcpy(to.data() + size_t(t) * CSMKUndoManager::kBlockBytes,
                        from.data() + size_t(t) * CSMKUndoManager::kBlockBytes,
                        CSMKUndoManager::kBlockBytes);
        }
        benchmark::DoNotOptimize(to.data());
    }
    PerTile(state);
}
BENCHMARK(BM_MemcpyTiles)->Unit(benchmark::kMillisecond);

// A backbone with a painted 4000 × 3000 project whose clear is recorded:
// the stroke canvas shows in a widget, without which the backbone undoes
// nothing.
struct PaintedBackbone {
    PaintedBackbone() : canvas(kWidth, kHeight) {
        ready = canvas.IsReady();
        if (ready) {
            uint32_t* data[4];
            for (int32_t i = 0; i < 4; ++i) {
                data[i] = canvas.Layer(i);
            }
            Paint(data);
            ready = canvas.Canvas().ClearCanvas() == eNoError &&
                    canvas.Backbone().UndoManager().CanUndo();
        }
    }
    CStrokeCanvas canvas;
    bool ready = false;
};

PaintedBackbone& SharedBackbone() {
    static PaintedBackbone painted;
    return painted;
}

void BM_BackboneUndoRedo(benchmark::State& state) {
    PaintedBackbone& p = SharedBackbone();
    if (!p.ready) {
        state.SkipWithError("no project, or its clear left nothing to undo");
        return;
    }
    CSMKBackbone& backbone = p.canvas.Backbone();
    CSMKUndoManager& undo = backbone.UndoManager();
    for (auto _ : state) {
        (void)backbone.DoUndoRedo(1); // undo, relight and show
        if (!undo.CanRedo()) {
            state.SkipWithError("the undo did nothing");
            break;
        }
        (void)backbone.DoUndoRedo(0); // redo
        if (!undo.CanUndo()) {
            state.SkipWithError("the redo did nothing");
            break;
        }
    }
    state.counters["ns_per_tile_step"] =
        benchmark::Counter(double(kTiles) * 2.0 * double(state.iterations()) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BackboneUndoRedo)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RelightAlone(benchmark::State& state) {
    PaintedBackbone& p = SharedBackbone();
    if (!p.ready) {
        state.SkipWithError("no project");
        return;
    }
    CCanvas& canvas = p.canvas.Canvas();
    for (auto _ : state) {
        (void)p.canvas.Backbone().CurrentRenderer()->Render(canvas.Composite(), canvas, 1);
    }
    PerTile(state);
}
BENCHMARK(BM_RelightAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
