#pragma once
// The share of a memcpy that a pixel loop reaches: a memcpy of the same
// bytes is timed once per size in the same run (the median of repeated
// copies), and a counter gives the loop's bytes per second as a percentage
// of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// Seconds one memcpy of the given bytes takes in this run.
inline double MemcpySeconds(size_t bytes) {
    static std::map<size_t, double> measured;
    if (const auto it = measured.find(bytes); it != measured.end()) {
        return it->second;
    }
    std::vector<uint8_t> from(bytes, 0x5A);
    std::vector<uint8_t> to(bytes);
    std::memcpy(to.data(), from.data(), bytes); // touches every page before timing
    std::vector<double> times;
    const auto start = std::chrono::steady_clock::now();
    while (times.size() < 15 || (times.size() < 1000 && std::chrono::steady_clock::now() - start <
                                                            std::chrono::milliseconds(300))) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return measured[bytes] = times[times.size() / 2];
}

// The counter name "memcpy%" (or the given one): each iteration's bytes
// as a percentage of a memcpy of them.
inline void SetMemcpyShare(benchmark::State& state, size_t bytes, const char* name = "memcpy%") {
    state.counters[name] = benchmark::Counter(MemcpySeconds(bytes) * 100.0,
                                              benchmark::Counter::kIsIterationInvariantRate);
}
