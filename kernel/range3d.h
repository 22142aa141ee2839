// Axis-aligned boxes (DRange3d): overlap and widening.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "kernel/vector3d.h"

namespace spatialgeom::kernel {

// True when the closed boxes share a point (touching counts). A NaN bound
// makes the boxes disjoint.
inline bool boxesOverlap(const DRange3d& a, const DRange3d& b) {
    return a.low.x <= b.high.x && b.low.x <= a.high.x && a.low.y <= b.high.y && b.low.y <= a.high.y &&
           a.low.z <= b.high.z && b.low.z <= a.high.z;
}

// std::nextafter(v, +infinity) and std::nextafter(v, -infinity), inline
// and without branches (the library call dominated the cost of widening
// many boxes). NaN and the infinity in the direction of the step come back
// unchanged; a zero of either sign steps to the smallest subnormal.
inline double nextUp(double v) {
    const double w = v + 0.0;  // -0 becomes +0, which steps like it
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(w);
    // One step away from zero for a positive w, towards it for a negative one.
    const double stepped = std::bit_cast<double>(bits + 1 - ((bits >> 63) << 1));
    return w < std::numeric_limits<double>::infinity() ? stepped : v;
}

inline double nextDown(double v) { return -nextUp(-v); }

// std::fmin and std::fmax for unordered arguments: a signalling NaN gives a
// quiet NaN, a quiet NaN the other argument. Out of line: NaNs are rare.
[[gnu::cold, gnu::noinline]] inline double unorderedMinMax(double a, double b) {
    const auto signalling = [](double v) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
        return (bits & 0x7ff0000000000000u) == 0x7ff0000000000000u && (bits & 0x000fffffffffffffu) != 0 &&
               (bits & 0x0008000000000000u) == 0;
    };
    if (signalling(a) || signalling(b)) return a + b;
    return a != a ? b : a;
}

// std::fmin and std::fmax, inline (the library calls dominated box
// computations); between equal values the second.
inline double minOf(double a, double b) {
    if (a < b) return a;
    if (b <= a) return b;
    return unorderedMinMax(a, b);
}
inline double maxOf(double a, double b) {
    if (a > b) return a;
    if (b >= a) return b;
    return unorderedMinMax(a, b);
}

// The box grown by distance on every side, rounded outwards so that it
// contains every point within that distance per axis despite rounding.
// distance must be >= 0.
inline DRange3d widenedBox(const DRange3d& box, double distance) {
    const auto down = [&](double v) { return nextDown(v - distance); };
    const auto up = [&](double v) { return nextUp(v + distance); };
    return {{down(box.low.x), down(box.low.y), down(box.low.z)}, {up(box.high.x), up(box.high.y), up(box.high.z)}};
}

// The smallest box holding both boxes.
inline DRange3d unitedBox(const DRange3d& a, const DRange3d& b) {
    return {{minOf(a.low.x, b.low.x), minOf(a.low.y, b.low.y), minOf(a.low.z, b.low.z)},
            {maxOf(a.high.x, b.high.x), maxOf(a.high.y, b.high.y), maxOf(a.high.z, b.high.z)}};
}

// The largest magnitude among the box's coordinates.
inline double largestCoordinate(const DRange3d& box) {
    return std::max({std::fabs(box.low.x), std::fabs(box.low.y), std::fabs(box.low.z), std::fabs(box.high.x),
                     std::fabs(box.high.y), std::fabs(box.high.z)});
}

// The box of a segment or of two points.
inline DRange3d boxOfPoints(const DPoint3d& a, const DPoint3d& b) {
    return {{minOf(a.x, b.x), minOf(a.y, b.y), minOf(a.z, b.z)}, {maxOf(a.x, b.x), maxOf(a.y, b.y), maxOf(a.z, b.z)}};
}

// boxesOverlap(widenedBox(boxOfPoints(a, b), distance), query), one axis
// at a time: cheaper when most segments miss the query on their first axis.
inline bool widenedSegmentOverlaps(const DPoint3d& a, const DPoint3d& b, double distance, const DRange3d& query) {
    const auto axisOverlaps = [&](double p, double q, double low, double high) {
        return nextDown(minOf(p, q) - distance) <= high && low <= nextUp(maxOf(p, q) + distance);
    };
    return axisOverlaps(a.x, b.x, query.low.x, query.high.x) && axisOverlaps(a.y, b.y, query.low.y, query.high.y) &&
           axisOverlaps(a.z, b.z, query.low.z, query.high.z);
}

}  // namespace spatialgeom::kernel
