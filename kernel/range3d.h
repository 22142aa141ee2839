// Axis-aligned boxes (DRange3d): overlap and widening.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "kernel/vector3d.h"

namespace Corvane {

// True when the closed boxes share a point (touching counts). A NaN bound
// makes the boxes disjoint.
inline bool cvgDRange3d_checkOverlap(const DRange3d& a, const DRange3d& b) {
    return a.low.x <= b.high.x && b.low.x <= a.high.x && a.low.y <= b.high.y && b.low.y <= a.high.y &&
           a.low.z <= b.high.z && b.low.z <= a.high.z;
}

// std::nextafter(v, +infinity) and std::nextafter(v, -infinity), inline
// and without branches (the library call dominated the cost of widening
// many boxes). NaN and the infinity in the direction of the step come back
// unchanged; a zero of either sign steps to the smallest subnormal.
inline double cvgDouble_nextUp(double v) {
    const double w = v + 0.0;  // -0 becomes +0, which steps like it
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(w);
    // One step away from zero for a positive w, towards it for a negative one.
    const double stepped = std::bit_cast<double>(bits + 1 - ((bits >> 63) << 1));
    return w < std::numeric_limits<double>::infinity() ? stepped : v;
}

inline double cvgDouble_nextDown(double v) { return -cvgDouble_nextUp(-v); }

// std::fmin and std::fmax for unordered arguments: a signalling NaN gives a
// quiet NaN, a quiet NaN the other argument. Out of line: NaNs are rare.
[[gnu::cold, gnu::noinline]] inline double cvgDouble_unorderedMinMax(double a, double b) {
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
inline double cvgDouble_min(double a, double b) {
    if (a < b) return a;
    if (b <= a) return b;
    return cvgDouble_unorderedMinMax(a, b);
}
inline double cvgDouble_max(double a, double b) {
    if (a > b) return a;
    if (b >= a) return b;
    return cvgDouble_unorderedMinMax(a, b);
}

// The box grown by distance on every side, rounded outwards so that it
// contains every point within that distance per axis despite rounding.
// distance must be >= 0.
inline DRange3d cvgDRange3d_widened(const DRange3d& box, double distance) {
    const auto down = [&](double v) { return cvgDouble_nextDown(v - distance); };
    const auto up = [&](double v) { return cvgDouble_nextUp(v + distance); };
    return {{down(box.low.x), down(box.low.y), down(box.low.z)}, {up(box.high.x), up(box.high.y), up(box.high.z)}};
}

// The box of a segment or of two points.
inline DRange3d cvgDRange3d_initFrom2Points(const DPoint3d& a, const DPoint3d& b) {
    return {{cvgDouble_min(a.x, b.x), cvgDouble_min(a.y, b.y), cvgDouble_min(a.z, b.z)},
            {cvgDouble_max(a.x, b.x), cvgDouble_max(a.y, b.y), cvgDouble_max(a.z, b.z)}};
}

// cvgDRange3d_checkOverlap(cvgDRange3d_widened(cvgDRange3d_initFrom2Points(
// a, b), distance), query), one axis at a time: cheaper when most segments
// miss the query on their first axis.
inline bool cvgDRange3d_widenedSegmentOverlaps(const DPoint3d& a, const DPoint3d& b, double distance,
                                               const DRange3d& query) {
    const auto axisOverlaps = [&](double p, double q, double low, double high) {
        return cvgDouble_nextDown(cvgDouble_min(p, q) - distance) <= high &&
               low <= cvgDouble_nextUp(cvgDouble_max(p, q) + distance);
    };
    return axisOverlaps(a.x, b.x, query.low.x, query.high.x) && axisOverlaps(a.y, b.y, query.low.y, query.high.y) &&
           axisOverlaps(a.z, b.z, query.low.z, query.high.z);
}

}  // namespace Corvane
