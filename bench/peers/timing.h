// Throughput measured as the median of several repetitions, each long
// enough to dwarf the clock's resolution.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <utility>
#include <vector>

namespace comparison {

constexpr int kRepetitions = 5;

// Items per second of one repetition of batch (which does some work and
// returns how many items it handled): batch run at least once and until
// minSeconds have passed.
template <typename Batch>
double rateOnce(Batch&& batch, double minSeconds) {
    using Clock = std::chrono::steady_clock;
    std::size_t items = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    do {
        items += batch();
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minSeconds);
    return static_cast<double>(items) / elapsed;
}

// The median of kRepetitions repetitions of rateOnce.
template <typename Batch>
double medianRate(Batch&& batch, double minSeconds = 0.2) {
    std::vector<double> rates;
    for (int r = 0; r < kRepetitions; ++r) rates.push_back(rateOnce(batch, minSeconds));
    std::nth_element(rates.begin(), rates.begin() + kRepetitions / 2, rates.end());
    return rates[kRepetitions / 2];
}

// The medians of two batches' rates, their repetitions taken in turns, so
// that a slow spell of a shared machine falls on both.
template <typename First, typename Second>
std::pair<double, double> medianRates(First&& first, Second&& second, double minSeconds = 0.1) {
    std::vector<double> firstRates, secondRates;
    for (int r = 0; r < kRepetitions; ++r) {
        firstRates.push_back(rateOnce(first, minSeconds));
        secondRates.push_back(rateOnce(second, minSeconds));
    }
    const auto median = [](std::vector<double>& rates) {
        std::nth_element(rates.begin(), rates.begin() + kRepetitions / 2, rates.end());
        return rates[kRepetitions / 2];
    };
    return {median(firstRates), median(secondRates)};
}

}  // namespace comparison
