// The distance between two boxes, as a lower bound for the distance
// between whatever lies in them.
#pragma once

#include <algorithm>
#include <cmath>

#include "kernel/range3d.h"

namespace spatialgeom::kernel {

// The distance between the closed boxes, rounded downwards (a lower
// bound); 0 when they overlap. Bounds must not be NaN.
inline double boxGap(const DRange3d& a, const DRange3d& b) {
    const auto gap = [](double aLow, double aHigh, double bLow, double bHigh) {
        return std::max({0.0, nextDown(bLow - aHigh), nextDown(aLow - bHigh)});
    };
    const double x = gap(a.low.x, a.high.x, b.low.x, b.high.x), y = gap(a.low.y, a.high.y, b.low.y, b.high.y),
                 z = gap(a.low.z, a.high.z, b.low.z, b.high.z);
    if (std::max({x, y, z}) > 0x1p500) [[unlikely]] {
        // The squares would overflow: measured scaled by 2^-600 (exactly;
        // a component that falls below the subnormals only lowers the sum).
        constexpr double kDown = 0x1p-600;
        const double xs = x * kDown, ys = y * kDown, zs = z * kDown;
        return nextDown(std::sqrt(xs * xs + ys * ys + zs * zs) * (1.0 - 0x1p-50) / kDown);
    }
    return nextDown(std::sqrt(x * x + y * y + z * z) * (1.0 - 0x1p-50));
}

}  // namespace spatialgeom::kernel
