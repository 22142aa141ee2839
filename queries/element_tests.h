// The distance test between two bounded segments on which every other
// test of the intersection exports rests. A point is a zero-length
// segment.
#pragma once

#include "kernel/segment_distance.h"

namespace spatialgeom {

// True when the segments come within tolerance (>= 0) of each other.
// Segments that share a point in exact arithmetic always meet, whatever
// the tolerance (exact orientation predicates decide it when the computed
// distance is within rounding error of zero); otherwise the computed
// distance, a few ulps of the coordinates' magnitude off the true one, is
// compared with the tolerance.
bool segmentsWithin(const kernel::Segment3d& a, const kernel::Segment3d& b, double tolerance);

}  // namespace spatialgeom
