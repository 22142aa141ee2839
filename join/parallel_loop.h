// Spreading a loop over threads: work is handed out in chunks from a shared
// counter, so uneven items balance out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace spatialgeom {

// Calls work(begin, end) for consecutive chunks of [0, count) of at most
// chunk items, on up to `threads` threads (the caller's one included, and
// no more than there are chunks), and returns when all are done. When work
// throws, or a thread cannot be started, no further chunk starts and the
// first exception is rethrown once every thread has stopped.
void parallelFor(std::size_t count, std::uint32_t threads, std::size_t chunk,
                 const std::function<void(std::size_t, std::size_t)>& work);

}  // namespace spatialgeom
