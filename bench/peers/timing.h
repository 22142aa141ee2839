// Throughput measured as the median of several repetitions, each long
// enough to dwarf the clock's resolution.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace comparison {

constexpr int kRepetitions = 5;

// Items per second of batch (which does some work and returns how many
// items it handled): the median of kRepetitions repetitions, each running
// batch at least once and until minSeconds have passed.
template <typename Batch>
double medianRate(Batch&& batch, double minSeconds = 0.2) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> rates;
    for (int r = 0; r < kRepetitions; ++r) {
        std::size_t items = 0;
        const Clock::time_point start = Clock::now();
        double elapsed = 0.0;
        do {
            items += batch();
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < minSeconds);
        rates.push_back(static_cast<double>(items) / elapsed);
    }
    std::nth_element(rates.begin(), rates.begin() + kRepetitions / 2, rates.end());
    return rates[kRepetitions / 2];
}

}  // namespace comparison
