// The effects: a 1024 x 768 area under a rectangular
// shadow (radius 12) and under a shaped one cast by a 1024 x 768 rounded
// panel, and the glow in both forms, each at effect opacity 102 and 255;
// and the rebuild of a 640 x 480 panel's shaped shadow (blur and
// compression) at radius 12 and 40; the gradient in each form and the
// texture in Overlay over 1024 x 768; the layer shadow of an 800 x 600
// container over 20 shadow-casting children at speed 0, 1 and 3 (its
// pre-render after a full change and after one child moved, and its under
// render of the whole extent). Each prints megapixels per second and
// its ratio to a memcpy of the same bytes timed in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/RoRectWidget.h"
#include "widgets/Widget.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectGradient.h"
#include "widgets/effects/EffectLayerShadow.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/effects/EffectTexture.h"

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;

using Clock = std::chrono::steady_clock;

// Megapixels per second of a memcpy of width x height pixels, measured now.
double MemcpyRate(int32_t width, int32_t height) {
    std::vector<uint32_t> from(size_t(width) * size_t(height), 0x12345678u);
    std::vector<uint32_t> to(from.size());
    const int32_t rounds = 50;
    std::memcpy(to.data(), from.data(), from.size() * 4); // warm up
    const auto start = Clock::now();
    for (int32_t i = 0; i < rounds; ++i) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return double(width) * height * rounds * 1e-6 / seconds;
}

// Runs body once per iteration, timing the loop, and reports Mpx/s over
// pixels per iteration and the ratio to a memcpy of as many pixels.
template <class Body>
void Measure(benchmark::State& state, double pixels, int32_t width, int32_t height, Body&& body) {
    const double memcpyRate = MemcpyRate(width, height);
    int64_t n = 0;
    const auto start = Clock::now();
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
        ++n;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double rate = pixels * double(n) * 1e-6 / seconds;
    state.counters["Mpx/s"] = rate;
    state.counters["memcpy Mpx/s"] = memcpyRate;
    state.counters["ratio"] = rate / memcpyRate;
}

std::unique_ptr<CRoRectWidget> Panel(int32_t w, int32_t h) {
    auto panel = std::make_unique<CRoRectWidget>();
    if (panel->SetClientColour(0xE01E1D1Au, 0, 0) != eNoError ||
        panel->SetRadius(10.0f, 0, 0) != eNoError || panel->SetSize(w, h, 0) != eNoError) {
        return nullptr;
    }
    return panel;
}

// form: 0 rectangular (a plain widget), 1 shaped (the rounded panel).
template <class Effect> void Draw(benchmark::State& state, int32_t shaped, int32_t opacity) {
    std::unique_ptr<CWidget> owner;
    if (shaped) {
        owner = Panel(kWidth, kHeight);
    } else {
        owner = std::make_unique<CWidget>();
        if (owner && owner->SetSize(kWidth, kHeight, 0) != eNoError) {
            owner.reset();
        }
    }
    if (!owner) {
        state.SkipWithError("the owner cannot be set up");
        return;
    }
    auto* effect = new Effect();
    if (effect->SetRadius(12.0f, 0) != eNoError || owner->AddEffectU(effect, 0, 0) != eNoError ||
        (effect->ShadowCache() != nullptr) != (shaped != 0)) {
        state.SkipWithError("the effect cannot be set up");
        return;
    }
    CImage target(kWidth, kHeight);
    CImNav(&target).Fill(0xFF808080u);
    const gCRect area(0, 0, kWidth, kHeight);
    const uint32_t alpha = (256u * uint32_t(opacity)) >> 8;
    Measure(state, double(kWidth) * kHeight, kWidth, kHeight, [&] {
        benchmark::DoNotOptimize(effect->RenderEffect(area, &target, alpha));
    });
}

void BM_ShadowRectangular(benchmark::State& state) {
    Draw<CWidgetEffectShadow>(state, 0, int32_t(state.range(0)));
}
BENCHMARK(BM_ShadowRectangular)->Arg(102)->Arg(255);

void BM_ShadowShaped(benchmark::State& state) {
    Draw<CWidgetEffectShadow>(state, 1, int32_t(state.range(0)));
}
BENCHMARK(BM_ShadowShaped)->Arg(102)->Arg(255);

void BM_GlowRectangular(benchmark::State& state) {
    Draw<CWidgetEffectGlow>(state, 0, int32_t(state.range(0)));
}
BENCHMARK(BM_GlowRectangular)->Arg(102)->Arg(255);

void BM_GlowShaped(benchmark::State& state) {
    Draw<CWidgetEffectGlow>(state, 1, int32_t(state.range(0)));
}
BENCHMARK(BM_GlowShaped)->Arg(102)->Arg(255);

// The shaped shadow's rebuild for a 640 x 480 panel: Mpx/s of the panel.
void BM_ShadowRebuild(benchmark::State& state) {
    auto panel = Panel(640, 480);
    if (!panel || panel->DecompressImage() != eNoError || !panel->Image()) {
        state.SkipWithError("the panel cannot be set up");
        return;
    }
    auto* shadow = new CWidgetEffectShadow();
    if (shadow->SetRadius(float(state.range(0)), 0) != eNoError ||
        panel->AddEffectU(shadow, 0, 0) != eNoError) {
        state.SkipWithError("the shadow cannot be set up");
        return;
    }
    CImage* image = panel->Image();
    Measure(state, 640.0 * 480.0, 640, 480,
            [&] { benchmark::DoNotOptimize(shadow->WidgetChanged(image)); });
}
BENCHMARK(BM_ShadowRebuild)->Arg(12)->Arg(40)->Unit(benchmark::kMillisecond);

// The gradient over 1024 x 768: type and angle by the first argument (0:
// linear at 0, 1: linear at 0.125, 2: radial, 3: angular), direct (0) or
// cached (1) by the second, Normal (0) or Multiply (1) by the third.
void BM_Gradient(benchmark::State& state) {
    const int32_t form = int32_t(state.range(0));
    const bool cached = state.range(1) != 0;
    std::unique_ptr<CWidget> owner;
    if (cached) {
        owner = Panel(kWidth, kHeight);
        if (owner && static_cast<CRoRectWidget&>(*owner).DecompressImage() != eNoError) {
            owner.reset();
        }
    } else {
        owner = std::make_unique<CWidget>();
        if (owner->SetSize(kWidth, kHeight, 0) != eNoError) {
            owner.reset();
        }
    }
    auto* g = new CWidgetEffectGradient();
    (void)g->SetType(form <= 1 ? 0 : form - 1, 0);
    (void)g->SetAngle(form == 1 ? 0.125f : 0.0f, 0);
    (void)g->SetBlendMode(int32_t(state.range(2)), 0);
    if (!owner || owner->AddEffectO(g, 0, 0) != eNoError || (g->Cache() != nullptr) != cached) {
        state.SkipWithError("the gradient cannot be set up");
        return;
    }
    CImage target(kWidth, kHeight);
    CImNav(&target).Fill(0xFF808080u);
    const gCRect area(0, 0, kWidth, kHeight);
    Measure(state, double(kWidth) * kHeight, kWidth, kHeight,
            [&] { benchmark::DoNotOptimize(g->RenderEffect(area, &target, 255)); });
}
BENCHMARK(BM_Gradient)->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 1}});

// The texture in Overlay over 1024 x 768: the rounded panel's picture.
void BM_TextureOverlay(benchmark::State& state) {
    auto panel = Panel(kWidth, kHeight);
    auto* t = new CWidgetEffectTexture();
    (void)t->SetBlendMode(3, 0);
    if (!panel || panel->DecompressImage() != eNoError || panel->AddEffectO(t, 0, 0) != eNoError ||
        !t->Texture()) {
        state.SkipWithError("the texture cannot be set up");
        return;
    }
    CImage target(kWidth, kHeight);
    CImNav(&target).Fill(0xFF808080u);
    const gCRect area(0, 0, kWidth, kHeight);
    Measure(state, double(kWidth) * kHeight, kWidth, kHeight,
            [&] { benchmark::DoNotOptimize(t->RenderEffect(area, &target, 255)); });
}
BENCHMARK(BM_TextureOverlay);

// An 800 x 600 container with a layer shadow (radius 8) at the speed and
// 20 children of 120 x 100 in a 5 x 4 grid, each casting into it.
struct SLayer {
    CWidget container;
    CWidgetEffectLayerShadow* layer = nullptr;
    CWidget* first = nullptr;

    bool SetUp(int32_t speed) {
        if (container.SetSize(800, 600, 0) != eNoError ||
            container.SetVisibility(1, 0) != eNoError) {
            return false;
        }
        layer = new CWidgetEffectLayerShadow();
        if (layer->SetRadius(8.0f, 0) != eNoError || layer->SetSpeed(speed) != eNoError ||
            container.AddEffectU(layer, 0, 0) != eNoError) {
            return false;
        }
        for (int32_t i = 0; i < 20; ++i) {
            auto child = std::make_unique<CWidget>();
            auto* shadow = new CWidgetEffectShadow();
            if (child->SetSize(120, 100, 0) != eNoError ||
                child->SetPosition(20 + (i % 5) * 155, 25 + (i / 5) * 145, 0) != eNoError ||
                child->SetVisibility(1, 0) != eNoError ||
                shadow->SetParentLayer(1, 0) != eNoError ||
                child->AddEffectU(shadow, 0, 0) != eNoError) {
                return false;
            }
            first = child.get();
            if (container.AddChild(child.release(), 0) != eNoError) {
                return false;
            }
        }
        return layer->PreRenderNotification(layer->Extent(), nullptr, 255) == eNoError;
    }
};

// What is timed by the second argument: 0 the pre-render after a full
// change, 1 the pre-render after one child moved, 2 the under render of
// the whole extent. Ratios against a memcpy of the container's pixels (the
// render: of the extent's).
void BM_LayerShadow(benchmark::State& state) {
    SLayer l;
    if (!l.SetUp(int32_t(state.range(0)))) {
        state.SkipWithError("the layer cannot be set up");
        return;
    }
    const gCRect extent = l.layer->Extent();
    switch (state.range(1)) {
    case 0:
        Measure(state, 800.0 * 600.0, 800, 600, [&] {
            benchmark::DoNotOptimize(l.layer->WidgetChanged());
            benchmark::DoNotOptimize(l.layer->PreRenderNotification(extent, nullptr, 255));
        });
        break;
    case 1: {
        int32_t step = 0;
        Measure(state, 800.0 * 600.0, 800, 600, [&] {
            step ^= 1;
            benchmark::DoNotOptimize(l.first->SetPosition(20 + step * 7, 25 + step * 5, 0));
            benchmark::DoNotOptimize(l.layer->PreRenderNotification(extent, nullptr, 255));
        });
        break;
    }
    default: {
        CImage target(extent.Width(), extent.Height());
        CImNav(&target).Fill(0xFF808080u);
        target.SetOrigin(gCPoint(-extent.left, -extent.top));
        Measure(state, double(extent.Width()) * extent.Height(), extent.Width(), extent.Height(),
                [&] { benchmark::DoNotOptimize(l.layer->RenderEffect(extent, &target, 200)); });
    }
    }
}
BENCHMARK(BM_LayerShadow)->ArgsProduct({{0, 1, 3}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

} // namespace
