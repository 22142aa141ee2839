// Throughput measured as the median of several repetitions, each long
// enough to dwarf the clock's resolution.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <thread>
#include <vector>

namespace comparison {

constexpr int kRepetitions = 5;

// The CPU time of the calling thread: on a shared machine, the time the
// thread ran, without the spells other processes held its core.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<ThreadCpuClock>;
    static constexpr bool is_steady = true;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec));
    }
};

// Items per second of one repetition of batch (which does some work and
// returns how many items it handled): batch run at least once and until
// minSeconds have passed on Clock.
template <typename Batch, typename Clock = std::chrono::steady_clock>
double rateOnce(Batch&& batch, double minSeconds, Clock = {}) {
    std::size_t items = 0;
    const typename Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    do {
        items += batch();
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minSeconds);
    return static_cast<double>(items) / elapsed;
}

// The median of kRepetitions repetitions of rateOnce.
template <typename Batch, typename Clock = std::chrono::steady_clock>
double medianRate(Batch&& batch, double minSeconds = 0.2, Clock clock = {}) {
    std::vector<double> rates;
    for (int r = 0; r < kRepetitions; ++r) rates.push_back(rateOnce(batch, minSeconds, clock));
    std::nth_element(rates.begin(), rates.begin() + kRepetitions / 2, rates.end());
    return rates[kRepetitions / 2];
}

// The CPU time (user and system) of the whole process so far, in seconds.
inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// work(begin, end) over [0, count) cut into `threads` consecutive slices,
// one thread each (the calling one waits).
template <typename Work>
void splitAcrossThreads(std::size_t count, unsigned threads, Work&& work) {
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&work, count, threads, t] { work(count * t / threads, count * (t + 1) / threads); });
    for (std::thread& worker : workers) worker.join();
}

}  // namespace comparison
