// The distance test between two bounded segments on which every other
// test of the intersection exports rests. A point is a zero-length
// segment.
#pragma once

#include "kernel/segment_distance.h"

namespace spatialgeom {

// True when the exact distance between the segments, for their stored
// coordinates, is at most tolerance (a tolerance that is negative or NaN:
// false; +infinity: true). A floating-point evaluation with proven error
// bounds decides almost every pair; pairs within those bounds of the
// tolerance are decided exactly: at tolerance 0 by the exact orientation
// predicates (do they share a point?), otherwise in rational arithmetic.
// Coordinates that are not finite fall back to the computed distance.
bool segmentsWithin(const kernel::Segment3d& a, const kernel::Segment3d& b, double tolerance);

}  // namespace spatialgeom
