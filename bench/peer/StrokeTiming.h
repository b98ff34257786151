#pragma once
// Per-event timing of a replayed stroke, shared by the stroke benchmarks:
// each event is timed with the steady clock and the run reports events per
// second over the whole stroke, mean, p50, p99 and worst per event.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class CEventTimes {
public:
    template <class F> void Time(F&& event) {
        const auto start = std::chrono::steady_clock::now();
        event();
        const auto end = std::chrono::steady_clock::now();
        m_Ns.push_back(
            double(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()));
    }
    void Clear() { m_Ns.clear(); }
    const std::vector<double>& Ns() const { return m_Ns; }

    // The counters under the prefix: events/s (over the events' own time),
    // mean, p50, p99 and worst in ns.
    void Report(benchmark::State& state, const std::string& prefix) const {
        if (m_Ns.empty()) {
            return;
        }
        std::vector<double> sorted = m_Ns;
        std::sort(sorted.begin(), sorted.end());
        double total = 0.0;
        for (const double ns : sorted) {
            total += ns;
        }
        auto at = [&](double q) { return sorted[size_t(q * double(sorted.size() - 1))]; };
        state.counters[prefix + "events/s"] = double(sorted.size()) / (total * 1e-9);
        state.counters[prefix + "mean_ns"] = total / double(sorted.size());
        state.counters[prefix + "p50_ns"] = at(0.50);
        state.counters[prefix + "p99_ns"] = at(0.99);
        state.counters[prefix + "worst_ns"] = sorted.back();
    }

private:
    std::vector<double> m_Ns;
};
