// A 1920 x 1080 backdrop composited whole, loaded the way the widgets demo
// loads it (the block "WidgetsDemo" of the demo's built resource file): the
// background alone (the demo's angled gradient at opacity 200 over the
// backdrop's colour), and the demo's tree (opaque panel, half-transparent
// panel, image with alpha edges, rounded panel) over its background; beside
// a memcpy of the same 8.3 MB, in megapixels per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "bench/MemcpyShare.h"
#include "imaging/Image.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "text/Font.h"
#include "text/TextRenderer.h"
#include "text/TxWidget.h"
#include "widgets/Backdrop.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

// A backdrop whose gradient opacity can be set.
class CBenchBackdrop : public CBackdrop {
public:
    void SetGradientOpacity(int32_t opacity) { m_nGradientOpacity = opacity; }
};

// The demo's resource file open as the application's while it lives, with
// the text widgets its tree holds registered and the font manager running.
class CDemoResources {
public:
    CDemoResources() {
        m_fFonts = gCFont::InitializeManager() == eNoError;
        CTextRenderer::BuildGammaLUT(1.0f);
        gCVolumeTable::Register(u"DemoBuilt", DAUBLIN_DEMO_RESOURCE_DIR);
        gCString path;
        (void)path.CopyString(u"DemoBuilt:system.vrf"); // an empty path fails to open below
        gCFRef ref(path);
        m_fReady = m_fFonts && RegisterTextWidgets() == eNoError &&
                   m_File.Open(&ref, eAccessReadOnly) == eNoError &&
                   m_Index.SetupIndex(&m_File) == eNoError;
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
    }
    ~CDemoResources() {
        for (CResourcePool& pool : m_Services.m_aResourcePools) {
            pool.Empty();
        }
        (void)m_File.Close(); // read only: nothing is lost
        if (m_fFonts) {
            gCFont::ShutDownManager();
        }
    }
    bool Ready() const { return m_fReady; }
    bool Quiet() const { return m_Services.m_Alerts.empty(); }

private:
    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
    bool m_fFonts = false;
    bool m_fReady = false;
};

void SetMegapixels(benchmark::State& state) {
    state.counters["Mpx/s"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
    SetMemcpyShare(state, size_t(kWidth) * kHeight * 4);
}

void Composite(benchmark::State& state, bool backgroundOnly) {
    CDemoResources resources;
    if (!resources.Ready()) {
        state.SkipWithError("the demo's resource file cannot be read");
        return;
    }
    gCString name;
    if (name.CopyString(u"WidgetsDemo") != eNoError) {
        state.SkipWithError("out of memory");
        return;
    }
    auto backdrop = std::make_unique<CBenchBackdrop>();
    if (backdrop->GetFromRes(name, nullptr, nullptr) != eNoError || !resources.Quiet()) {
        state.SkipWithError("the demo's backdrop cannot be loaded");
        return;
    }
    if (backdrop->SetSize(kWidth, kHeight, 0) != eNoError || !backdrop->BackBuffer()) {
        state.SkipWithError("the back buffer cannot be made");
        return;
    }
    backdrop->CreationComplete();
    const gCRect whole(0, 0, kWidth, kHeight);
    CImage* buffer = backdrop->BackBuffer();
    if (backgroundOnly) {
        backdrop->SetGradientOpacity(200);
        for (auto _ : state) {
            if (backdrop->RenderArea(whole, buffer, 255) != eNoError) {
                state.SkipWithError("the background failed");
                break;
            }
            benchmark::ClobberMemory();
        }
    } else {
        for (auto _ : state) {
            if (backdrop->CompositeArea(whole) != eNoError) {
                state.SkipWithError("the composite failed");
                break;
            }
            benchmark::ClobberMemory();
        }
    }
    SetMegapixels(state);
}

void BM_BackdropBackgroundOnly(benchmark::State& state) {
    Composite(state, true);
}
BENCHMARK(BM_BackdropBackgroundOnly);

void BM_BackdropDemoTree(benchmark::State& state) {
    Composite(state, false);
}
BENCHMARK(BM_BackdropDemoTree);

void BM_MemcpySameBytes(benchmark::State& state) {
    std::vector<uint32_t> from(size_t(kWidth) * kHeight, 0x12345678u);
    std::vector<uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    SetMegapixels(state);
}
BENCHMARK(BM_MemcpySameBytes);

} // namespace
