// Bounded 3D segments: exact contact tests and distances.
#pragma once

#include <cmath>

#include "kernel/vector3d.h"

namespace spatialgeom::kernel {

// The closed segment from start to end; start == end is a point.
struct Segment3d {
    DPoint3d start;
    DPoint3d end;
};

// Are all six coordinates finite?
inline bool finite(const Segment3d& s) {
    return std::isfinite(s.start.x) && std::isfinite(s.start.y) && std::isfinite(s.start.z) && std::isfinite(s.end.x) &&
           std::isfinite(s.end.y) && std::isfinite(s.end.z);
}

// The point of the segment nearest to point, written to *nearest; returns
// its fraction (0 at start, 1 at end). A zero-length segment gives start
// and 0. Fraction 1 gives end exactly, fraction 0 start exactly.
double projectOntoSegment(const Segment3d& segment, DPoint3d* nearest, const DPoint3d& point);

// Distance from point to the nearest point of the segment (rounding error
// a few ulps of the coordinates' magnitude).
double pointSegmentDistance(const Segment3d& segment, const DPoint3d& point);

// Shortest distance between two bounded segments: the smaller of the four
// end-to-segment distances and, when the lines are not parallel and their
// closest approach lies inside both segments, the distance there. Every
// candidate is a distance between two actual points of the segments, so
// the result never falls below the true distance by more than rounding.
// Parallel, collinear and zero-length segments need no special case.
// Symmetric: (a, b) and (b, a) give the same value, bit for bit.
double segmentDistance(const Segment3d& a, const Segment3d& b);

// True when the closed segments share a point, decided exactly with the
// orientation predicates: coplanar (orient3d) and crossing or touching in
// each of the three axis-plane projections. Covers collinear overlaps,
// shared end points, an end point on the other segment and zero-length
// segments (a point on a segment, two equal points).
bool segmentsIntersect(const Segment3d& a, const Segment3d& b);

// The largest magnitude among the coordinates of both segments: the scale
// of the rounding error of their distance.
double coordinateScale(const Segment3d& a, const Segment3d& b);

}  // namespace spatialgeom::kernel
