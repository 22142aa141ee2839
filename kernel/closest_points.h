// The closest points of two bounded 3D segments, in floating point: where
// the distance between them is reached, for callers that need the points
// and not only the distance (segment_distance.h).
#pragma once

#include "kernel/segment_distance.h"

namespace spatialgeom::kernel {

// A point of each segment and their distance apart.
struct ClosestPair {
    DPoint3d onA;
    DPoint3d onB;
    double distance;
};

// The closest points of the closed segments a and b (either may be a
// point). The candidates are the four end-to-segment projections and, when
// the lines are not parallel, the points of closest approach of the lines
// clamped into both segments; the nearest pair wins. Each returned point
// lies on its segment within the rounding of its coordinates, and the
// returned distance is their computed distance apart, a few ulps of the
// coordinates' magnitude from the exact distance between the segments.
ClosestPair closestPoints(const Segment3d& a, const Segment3d& b);

// The same from the exact closest points (rational arithmetic, finite
// coordinates only), each coordinate rounded to a double: for pairs, such
// as nearly parallel segments, whose floating-point candidates may lie far
// from the closest points. Cost: a few dozen rational operations.
ClosestPair exactClosestPoints(const Segment3d& a, const Segment3d& b);

}  // namespace spatialgeom::kernel
