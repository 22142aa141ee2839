// The rings the tests build polygons, lines and point sets of: vertices
// spaced evenly in angle around a centre, in a plane.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "tests/record_test_builder.h"

namespace testrecords {

// n vertices around (cx, cy) from angle 0 through `turns` full turns
// (negative: clockwise), at radius times 1 + wave sin(25 angle), in the
// plane z = a (x - cx) + b (y - cy) + c as computed; the first vertex
// repeated at the end when closed. Cost: O(n).
inline Vertices ringAround(std::uint32_t n, double cx, double cy, double radius, double wave, double turns, double a,
                           double b, double c, bool closed) {
    Vertices ring;
    for (std::uint32_t i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * turns * i / n;
        const double r = radius * (1 + wave * std::sin(25 * angle));
        const double x = cx + r * std::cos(angle), y = cy + r * std::sin(angle);
        ring.push_back({x, y, a * (x - cx) + b * (y - cy) + c});
    }
    if (closed) ring.push_back(ring.front());
    return ring;
}

}  // namespace testrecords
