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
    // One event timed elsewhere.
    void Add(double ns) { m_Ns.push_back(ns); }
    const std::vector<double>& Ns() const { return m_Ns; }

    // Events per second over the events' own time; 0 without events.
    double EventsPerSecond() const {
        const double total = Total();
        return total > 0.0 ? double(m_Ns.size()) / (total * 1e-9) : 0.0;
    }
    // The time at quantile q (0..1) in ns; 0 without events.
    double Quantile(double q) const {
        if (m_Ns.empty()) {
            return 0.0;
        }
        std::vector<double> sorted = m_Ns;
        std::sort(sorted.begin(), sorted.end());
        return sorted[size_t(q * double(sorted.size() - 1))];
    }

    // The counters under the prefix: events/s, mean, p50, p99 and worst in
    // ns.
    void Report(benchmark::State& state, const std::string& prefix) const {
        if (m_Ns.empty()) {
            return;
        }
        state.counters[prefix + "events/s"] = EventsPerSecond();
        state.counters[prefix + "mean_ns"] = Total() / double(m_Ns.size());
        state.counters[prefix + "p50_ns"] = Quantile(0.50);
        state.counters[prefix + "p99_ns"] = Quantile(0.99);
        state.counters[prefix + "worst_ns"] = Quantile(1.0);
    }

private:
    double Total() const {
        double total = 0.0;
        for (const double ns : m_Ns) {
            total += ns;
        }
        return total;
    }

    std::vector<double> m_Ns;
};
