#include "tools/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace spatialgeom::tool {
namespace {

TEST(ParallelFor, VisitsEveryIndexOnceWhateverTheThreadsAndChunks) {
    for (const std::uint32_t threads : {1u, 3u, 16u}) {
        for (const std::size_t count : {0u, 1u, 7u, 1000u}) {
            std::vector<std::atomic<int>> visits(count);
            parallelFor(count, threads, 3, [&](std::size_t begin, std::size_t end) {
                for (std::size_t i = begin; i < end; ++i) ++visits[i];
            });
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(visits[i], 1) << threads << " threads, index " << i;
        }
    }
}

TEST(ParallelFor, RethrowsTheFailure) {
    EXPECT_THROW(parallelFor(1000, 4, 1,
                             [&](std::size_t begin, std::size_t) {
                                 if (begin == 10) throw std::runtime_error("chunk 10");
                             }),
                 std::runtime_error);
}

}  // namespace
}  // namespace spatialgeom::tool
