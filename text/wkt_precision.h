// The process-wide number of significant digits of written coordinates.
#pragma once

#include <cstdint>

namespace spatialgeom {

// The value last stored (initially 6), unchecked: 0 and negative values are
// interpreted by formatNumber. Read and replaced atomically; a change
// reaches the vertex lists started after it, in any thread.
std::int32_t wktPrecision();
// Stores precision and returns the previous value.
std::int32_t exchangeWktPrecision(std::int32_t precision);

}  // namespace spatialgeom
