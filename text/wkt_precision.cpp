#include "text/wkt_precision.h"

#include <atomic>

#include "spatialgeom/text.h"

namespace spatialgeom {
namespace {

// Relaxed ordering suffices: the value is independent of any other memory,
// and a change reaches the vertex lists that read it afterwards.
std::atomic<std::int32_t> gPrecision{6};

}  // namespace

std::int32_t wktPrecision() { return gPrecision.load(std::memory_order_relaxed); }

}  // namespace spatialgeom

extern "C" {

SPATIALGEOM_API int32_t spatialWKT_getPrecision(void) { return spatialgeom::wktPrecision(); }

SPATIALGEOM_API int32_t spatialWKT_setPrecision(int32_t precision) {
    return spatialgeom::gPrecision.exchange(precision, std::memory_order_relaxed);
}

}  // extern "C"
