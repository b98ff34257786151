// The data pipe's frame reader on 64,000-byte feeds (one socket read each):
// feeds of 3,200 empty frames, and one 150,000-byte frame. Each reports
// bytes per second and its ratio to a memcpy of the same bytes measured in
// the same run ("vs_memcpy": the reader's time over memcpy's, wall clock);
// the empty frames run over 1, 4 and 16 feeds,
// so frames per second staying level shows time linear in the frames.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/DataPipeFrames.h"

namespace {

constexpr uint32_t kFeed = 64000;

// Bytes per second a memcpy of the stream, in the same 64,000-byte feeds,
// moves (wall-clock time, as the benchmarks below are measured).
double MemcpyBytesPerSecond(const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> to(stream.size());
    const auto start = std::chrono::steady_clock::now();
    int64_t bytes = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200)) {
        for (int i = 0; i < 100; ++i) {
            for (size_t at = 0; at < stream.size(); at += kFeed) {
                const size_t n = std::min<size_t>(kFeed, stream.size() - at);
                std::memcpy(to.data() + at, stream.data() + at, n);
            }
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
            bytes += int64_t(stream.size());
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return double(bytes) / took.count();
}

class CCountingSink : public CFrameReader::Sink {
public:
    error FrameReceived(uint32_t id, CASMemFile& payload) override {
        m_nFrames += 1;
        m_nBytes += uint64_t(payload.Length()) + id % 2;
        return eNoError;
    }
    uint64_t m_nFrames = 0;
    uint64_t m_nBytes = 0;
};

std::vector<uint8_t> Frames(uint32_t count, uint32_t payload) {
    std::vector<uint8_t> stream;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t header[kFrameHeaderBytes];
        WriteFrameHeader(header, i, payload);
        stream.insert(stream.end(), header, header + kFrameHeaderBytes);
        stream.resize(stream.size() + payload, uint8_t(i));
    }
    return stream;
}

void Report(benchmark::State& state, uint64_t bytes, uint64_t frames, double memcpyRate) {
    state.SetBytesProcessed(int64_t(bytes) * int64_t(state.iterations()));
    state.counters["frames/s"] = benchmark::Counter(double(frames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["vs_memcpy"] = benchmark::Counter(
        double(bytes) * double(state.iterations()) / memcpyRate,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Feed(benchmark::State& state, const std::vector<uint8_t>& stream, uint64_t frames) {
    const double memcpyRate = MemcpyBytesPerSecond(stream);
    for (auto _ : state) {
        CFrameReader reader;
        CCountingSink sink;
        for (size_t at = 0; at < stream.size(); at += kFeed) {
            const size_t n = std::min<size_t>(kFeed, stream.size() - at);
            if (reader.Feed(stream.data() + at, uint32_t(n), sink) != eNoError) {
                state.SkipWithError("refused");
                return;
            }
        }
        if (sink.m_nFrames != frames) {
            state.SkipWithError("frames lost");
            return;
        }
        benchmark::DoNotOptimize(sink.m_nBytes);
    }
    Report(state, stream.size(), frames, memcpyRate);
}

void BM_EmptyFrames(benchmark::State& state) {
    const uint32_t feeds = uint32_t(state.range(0));
    const std::vector<uint8_t> stream = Frames(3200 * feeds, 0);
    Feed(state, stream, 3200 * uint64_t(feeds));
}
BENCHMARK(BM_EmptyFrames)->Arg(1)->Arg(4)->Arg(16)->UseRealTime();

void BM_OneLargeFrame(benchmark::State& state) {
    const std::vector<uint8_t> stream = Frames(1, 150000);
    Feed(state, stream, 1);
}
BENCHMARK(BM_OneLargeFrame)->UseRealTime();

} // namespace
