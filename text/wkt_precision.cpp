#include "text/wkt_precision.h"

#include <atomic>

namespace spatialgeom {
namespace {

// Relaxed ordering suffices: the value is independent of any other memory,
// and a change reaches the vertex lists that read it afterwards.
std::atomic<std::int32_t> gPrecision{6};

}  // namespace

std::int32_t wktPrecision() { return gPrecision.load(std::memory_order_relaxed); }

std::int32_t exchangeWktPrecision(std::int32_t precision) {
    return gPrecision.exchange(precision, std::memory_order_relaxed);
}

}  // namespace spatialgeom
