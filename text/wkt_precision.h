// The process-wide number of significant digits of written coordinates.
#pragma once

#include <cstdint>

namespace spatialgeom {

// The value last stored by spatialWKT_setPrecision (initially 6), unchecked:
// 0 and negative values are interpreted by formatNumber.
std::int32_t wktPrecision();

}  // namespace spatialgeom
