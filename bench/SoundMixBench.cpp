// Refilling and mixing a playback: a looping 16-bit stereo sound at its own
// pitch (note 0, a straight copy) and a fifth up (note 7, interpolated),
// mixed into 16-bit stereo at the sound's rate. Each reports frames per
// second and its ratio to a memcpy of the same bytes measured in the same
// run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/App.h"
#include "platform/Mixer.h"
#include "platform/PlaybackInstance.h"
#include "platform/Sound.h"

namespace {

constexpr int32_t kFrames = 1024; // one device period
const SAudioFormat kStereo16{0x8010, 2, 22050};

// Output frames a memcpy of the mixed bytes moves per second.
double MemcpyFramesPerSecond() {
    static const double rate = [] {
        std::vector<unsigned char> from(size_t(kFrames) * 4, 1), to(from.size());
        const auto start = std::chrono::steady_clock::now();
        int64_t frames = 0;
        while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200)) {
            for (int i = 0; i < 1000; ++i) {
                std::memcpy(to.data(), from.data(), from.size());
                benchmark::DoNotOptimize(to.data());
                benchmark::ClobberMemory();
                frames += kFrames;
            }
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        return double(frames) / took.count();
    }();
    return rate;
}

void MixNote(benchmark::State& state) {
    CApp app;
    CSound sound;
    (void)sound.Create(16, 1, 22050, 0);
    if (sound.SetSampleCount(22050) != eNoError) {
        state.SkipWithError("no memory for the sound");
        return;
    }
    {
        CSoundLock lock(&sound);
        auto* samples = reinterpret_cast<int16_t*>(lock.Samples());
        for (int32_t i = 0; i < 2 * 22050; ++i) {
            samples[i] = int16_t((i * 97) % 20000 - 10000);
        }
    }
    auto instance = std::make_unique<CPlatformAudioManager::CPlaybackInstance>(
        &sound, -1, CMusic::ENote(state.range(0)), kStereo16);
    CPlatformAudioManager::CPlaybackInstance* list[] = {instance.get()};
    std::vector<unsigned char> out(size_t(kFrames) * 4);
    const double memcpyRate = MemcpyFramesPerSecond();
    const auto start = std::chrono::steady_clock::now();
    int64_t frames = 0;
    for (auto _ : state) {
        MixPlaybacks(list, 1, kStereo16, out.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
        frames += kFrames;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.counters["frames_per_s"] =
        benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    state.counters["ratio_to_memcpy"] = double(frames) / took.count() / memcpyRate;
}

BENCHMARK(MixNote)->Arg(0)->Arg(7);

} // namespace
