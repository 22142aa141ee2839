// Axis-aligned boxes (DRange3d): overlap and widening.
#pragma once

#include <cmath>
#include <limits>

#include "kernel/vector3d.h"

namespace Corvane {

// True when the closed boxes share a point (touching counts). A NaN bound
// makes the boxes disjoint.
inline bool cvgDRange3d_checkOverlap(const DRange3d& a, const DRange3d& b) {
    return a.low.x <= b.high.x && b.low.x <= a.high.x && a.low.y <= b.high.y && b.low.y <= a.high.y &&
           a.low.z <= b.high.z && b.low.z <= a.high.z;
}

// The box grown by distance on every side, rounded outwards so that it
// contains every point within that distance per axis despite rounding.
// distance must be >= 0.
inline DRange3d cvgDRange3d_widened(const DRange3d& box, double distance) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const auto down = [&](double v) { return std::nextafter(v - distance, -inf); };
    const auto up = [&](double v) { return std::nextafter(v + distance, inf); };
    return {{down(box.low.x), down(box.low.y), down(box.low.z)}, {up(box.high.x), up(box.high.y), up(box.high.z)}};
}

// The box of a segment or of two points.
inline DRange3d cvgDRange3d_initFrom2Points(const DPoint3d& a, const DPoint3d& b) {
    return {{std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z)},
            {std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z)}};
}

}  // namespace Corvane
