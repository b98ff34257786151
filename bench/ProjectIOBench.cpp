#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCMemFile.h"
#include "bench/peer/PaintLikeLayers.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/PngIO.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectFile.h"
#include "paint/project/ProjectInfo.h"

// A painted 4000 x 3000 project saved and loaded through the backbone (the
// file in the system's temporary folder; a save encodes and a load decodes
// its layers on worker threads, or on one), its four layers encoded and decoded on one
// thread as the project file does, beside zlib's compress2 of the same
// bytes at the layer writer's level and uncompress of its output, on one
// thread. The layers are paint-like: paper grain, diagonal bands of paint
// with depth ramps, finish values, the grain copy in L3. Counters: bytes
// written, and the ratio to the raw 192 MB.
namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;
constexpr size_t kPixels = size_t(kWidth) * kHeight;
constexpr int64_t kRawBytes = int64_t(kPixels) * 4 * 4;

struct SPainting {
    CSMKBackbone backbone;
    std::string path;
    gCFRef file;

    SPainting() {
        gCCmdTarget::SetBackboneModule(&backbone);
        // Only memory could fail here, and then every figure says so.
        (void)backbone.ProcessData(eCmdInitBackbone, nullptr, 0, 1);
        CProjectInfo info;
        info.m_nWidth = kWidth;
        info.m_nHeight = kHeight;
        (void)backbone.ProcessData(eCmdNewProject, nullptr, ChannelValueOf(&info), 1);
        CCanvas* canvas = backbone.Canvas();
        uint32_t* l[4];
        for (int32_t i = 0; i < 4; ++i) {
            l[i] = reinterpret_cast<uint32_t*>(canvas->LayerView(i)->GetData());
        }
        std::mt19937 rng(7);
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const size_t i = size_t(y) * kWidth + size_t(x);
                const SPaintLikePixel p = PaintLikePixel(x, y, rng);
                l[0][i] = p.l0;
                l[1][i] = p.l1;
                l[2][i] = p.l2;
                l[3][i] = p.grain;
            }
        }
        const char* tmp = std::getenv("TMPDIR");
        path = std::string(tmp && *tmp ? tmp : "/tmp") + "/daublin-bench-project.ptg";
        std::u16string colon;
        (void)gCVolumeTable::PosixToColon(path, colon);
        gCString text;
        (void)text.CopyStringFromBuffer(colon.data(), int32_t(colon.size()));
        file = gCFRef(text);
    }
    ~SPainting() {
        std::remove(path.c_str());
        gCCmdTarget::SetBackboneModule(nullptr);
    }

    int32_t Send(uint32_t id) {
        CProjectInfo info;
        info.m_File = file;
        (void)info.m_Name.CopyString(u"Bench");
        return backbone.ProcessData(id, nullptr, ChannelValueOf(&info), 1);
    }
    CImage& Layer(int32_t i) { return *backbone.Canvas()->Layer(i); }
    const Bytef* Raw(int32_t i) {
        return reinterpret_cast<const Bytef*>(backbone.Canvas()->LayerView(i)->GetData());
    }
};

SPainting& Painting() {
    static SPainting painting;
    return painting;
}

using Files = std::vector<std::unique_ptr<gCMemFile>>;

// The four layers as PNGs in memory, written with the options.
Files Encode(const gCPngIO::SWriteOptions& options, benchmark::State& state) {
    Files out;
    for (int32_t i = 0; i < 4; ++i) {
        out.push_back(std::make_unique<gCMemFile>());
        if (gCPngIO(options).WriteImage(*out.back(), Painting().Layer(i)) != eNoError) {
            state.SkipWithError("encoding failed");
        }
    }
    return out;
}

void Report(benchmark::State& state, int64_t bytes) {
    state.SetBytesProcessed(state.iterations() * kRawBytes);
    state.counters["bytes"] = double(bytes);
    state.counters["ratio"] = double(bytes) / double(kRawBytes);
}

// Seconds one thread takes to compress2 the four layers' bytes at the layer
// writer's level, timed once in this run.
double OneThreadCompressSeconds() {
    static const double seconds = [] {
        const int level = ptgfile::LayerWriteOptions().level;
        std::vector<Bytef> out(compressBound(uLong(kPixels * 4)));
        const auto start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < 4; ++i) {
            uLongf size = uLongf(out.size());
            compress2(out.data(), &size, Painting().Raw(i), uLong(kPixels * 4), level);
            benchmark::DoNotOptimize(out.data());
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }();
    return seconds;
}

// Argument: the threads the layers are encoded on (0: one a layer, as the
// program does). Counter "x compress2": the save's time over one thread's
// compress2 of the same bytes.
void BM_SaveProject(benchmark::State& state) {
    SPainting& p = Painting();
    const double compress = OneThreadCompressSeconds();
    ptgfile::ForceEncodeThreads(int32_t(state.range(0)));
    for (auto _ : state) {
        if (p.Send(eCmdSaveProject) != 0) {
            state.SkipWithError("save failed");
            break;
        }
    }
    ptgfile::ForceEncodeThreads(0);
    Report(state, int64_t(p.file.GetSize()));
    state.counters["x compress2"] = benchmark::Counter(
        compress, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SaveProject)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Argument: the threads the layers are decoded on (0: one a layer, as the
// program does).
void BM_LoadProject(benchmark::State& state) {
    SPainting& p = Painting();
    ptgfile::ForceDecodeThreads(int32_t(state.range(0)));
    if (p.Send(eCmdSaveProject) != 0) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        if (p.Send(eCmdLoadProject) != 0) {
            state.SkipWithError("load failed");
            break;
        }
    }
    ptgfile::ForceDecodeThreads(0);
    Report(state, int64_t(p.file.GetSize()));
}
BENCHMARK(BM_LoadProject)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Argument 0: the project file's layer options; 1: the default writer.
void BM_EncodeLayers(benchmark::State& state) {
    const gCPngIO::SWriteOptions options =
        state.range(0) == 0 ? ptgfile::LayerWriteOptions() : gCPngIO::SWriteOptions();
    int64_t bytes = 0;
    for (auto _ : state) {
        const Files files = Encode(options, state);
        bytes = 0;
        for (const auto& f : files) {
            bytes += f->GetSize();
        }
    }
    Report(state, bytes);
}
BENCHMARK(BM_EncodeLayers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DecodeLayers(benchmark::State& state) {
    const Files files = Encode(ptgfile::LayerWriteOptions(), state);
    int64_t bytes = 0;
    for (const auto& f : files) {
        bytes += f->GetSize();
    }
    for (auto _ : state) {
        for (const auto& f : files) {
            CImage image;
            if (f->SetFilePos(0) != eNoError || gCPngIO().ReadImage(*f, image) != eNoError) {
                state.SkipWithError("decoding failed");
                break;
            }
        }
    }
    Report(state, bytes);
}
BENCHMARK(BM_DecodeLayers)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ZlibCompress(benchmark::State& state) {
    const int level = ptgfile::LayerWriteOptions().level;
    std::vector<Bytef> out(compressBound(uLong(kPixels * 4)));
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (int32_t i = 0; i < 4; ++i) {
            uLongf size = uLongf(out.size());
            compress2(out.data(), &size, Painting().Raw(i), uLong(kPixels * 4), level);
            benchmark::DoNotOptimize(out.data());
            bytes += int64_t(size);
        }
    }
    Report(state, bytes);
}
BENCHMARK(BM_ZlibCompress)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ZlibUncompress(benchmark::State& state) {
    const int level = ptgfile::LayerWriteOptions().level;
    std::vector<std::vector<Bytef>> packed(4);
    int64_t bytes = 0;
    for (int32_t i = 0; i < 4; ++i) {
        packed[size_t(i)].resize(compressBound(uLong(kPixels * 4)));
        uLongf size = uLongf(packed[size_t(i)].size());
        compress2(packed[size_t(i)].data(), &size, Painting().Raw(i), uLong(kPixels * 4), level);
        packed[size_t(i)].resize(size);
        bytes += int64_t(size);
    }
    std::vector<Bytef> out(kPixels * 4);
    for (auto _ : state) {
        for (const auto& p : packed) {
            uLongf size = uLongf(out.size());
            uncompress(out.data(), &size, p.data(), uLong(p.size()));
            benchmark::DoNotOptimize(out.data());
        }
    }
    Report(state, bytes);
}
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
