#include "join/parallel_loop.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace spatialgeom {

void parallelFor(std::size_t count, std::uint32_t threads, std::size_t chunk,
                 const std::function<void(std::size_t, std::size_t)>& work) {
    chunk = std::max<std::size_t>(chunk, 1);
    std::atomic<std::size_t> next{0};
    std::mutex failureMutex;
    std::exception_ptr failure;
    auto drain = [&] {
        try {
            for (std::size_t begin = next.fetch_add(chunk); begin < count; begin = next.fetch_add(chunk)) {
                work(begin, std::min(count, begin + chunk));
            }
        } catch (...) {
            // The first failure wins; the others stop taking chunks.
            std::lock_guard lock(failureMutex);
            if (!failure) failure = std::current_exception();
            next = count;
        }
    };
    const std::size_t chunks = (count + chunk - 1) / chunk;
    const std::size_t helpers = std::min<std::size_t>(std::max<std::uint32_t>(threads, 1) - 1, chunks - (chunks > 0));
    std::vector<std::jthread> pool;
    try {
        pool.reserve(helpers);
        for (std::size_t i = 0; i < helpers; ++i) pool.emplace_back(drain);
    } catch (...) {
        // No memory or no thread to be had: the threads started stop at
        // their chunk's end (the pool joins them), and the loop fails.
        next = count;
        throw;
    }
    drain();
    pool.clear();  // joins
    if (failure) std::rethrow_exception(failure);
}

}  // namespace spatialgeom
