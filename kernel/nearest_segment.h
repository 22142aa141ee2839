// The exact nearest of a few segments to a point, on integers: every
// coordinate scaled by one power of two, so that no division and no
// reduction of fractions is needed until the closest point is rounded.
// Several times faster than rational arithmetic (rational.h), for the
// final, exact step of a point's distance.
#pragma once

#include <optional>
#include <span>

#include "kernel/segment_distance.h"

namespace spatialgeom::kernel {

struct NearestSegment {
    std::size_t index;  // the first of the nearest segments
    double distance;    // the exact distance, rounded upwards
    DPoint3d point;     // the exact closest point of that segment, each coordinate rounded towards zero
};

// The segment of `segments` (not empty; zero-length ones are points)
// nearest to p, for finite coordinates. nullopt when the coordinates'
// magnitudes span more than 2^900, or the distance is neither 0 nor within
// 2^-500 .. 2^500: the rational path must answer. Cost: a dozen integer
// products a segment, then a few to round the root, on integers each
// thread keeps from call to call (freed when it ends); may throw
// std::bad_alloc. Any number of threads may call it at once.
std::optional<NearestSegment> nearestSegment(const DPoint3d& p, std::span<const Segment3d> segments);

}  // namespace spatialgeom::kernel
