// The loop that spreads a join's work over threads: every index once,
// whatever the threads and chunks; a failure stops it and comes back.
#include "join/parallel_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace spatialgeom {
namespace {

TEST(ParallelLoop, VisitsEveryIndexOnce) {
    for (const std::uint32_t threads : {1u, 3u, 16u}) {
        for (const std::size_t count : {0u, 1u, 7u, 1000u}) {
            std::vector<std::atomic<int>> visits(count);
            parallelFor(count, threads, 3, [&](std::size_t begin, std::size_t end) {
                EXPECT_LE(end - begin, 3u);
                for (std::size_t i = begin; i < end; ++i) ++visits[i];
            });
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(visits[i], 1) << threads << " threads, index " << i;
        }
    }
}

TEST(ParallelLoop, StopsAndRethrowsTheFirstFailure) {
    // On one thread the chunks run in order: none after the failing one.
    std::atomic<int> chunks{0};
    const auto failAtTen = [&](std::size_t begin, std::size_t) {
        ++chunks;
        if (begin == 10) throw std::runtime_error("chunk 10");
    };
    EXPECT_THROW(parallelFor(100000, 1, 1, failAtTen), std::runtime_error);
    EXPECT_EQ(chunks, 11);
    // On several, how many chunks start before the others see the failure
    // depends on the scheduler; the failure still comes back.
    EXPECT_THROW(parallelFor(100000, 4, 1, failAtTen), std::runtime_error);
}

}  // namespace
}  // namespace spatialgeom
