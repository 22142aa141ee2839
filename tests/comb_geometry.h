// A large polygon with many concave teeth and a line weaving between them
// without touching: geometries whose boxes overlap fully but that meet only
// from a tolerance of 0.5 on. Shared by tests and benchmarks.
#pragma once

#include "record_test_builder.h"

namespace testgeometry {

using testrecords::Vertices;

// A comb of `teeth` teeth in z = 0 (4 vertices per tooth): a base strip
// 0 <= y <= 1 and teeth 2i <= x <= 2i + 1 up to y = 10.
inline Vertices combRing(int teeth) {
    Vertices ring{{0, 0, 0}, {2.0 * teeth - 1, 0, 0}};
    for (int i = teeth - 1; i >= 0; --i) {
        ring.push_back({2.0 * i + 1, 10, 0});
        ring.push_back({2.0 * i, 10, 0});
        if (i > 0) {
            ring.push_back({2.0 * i, 1, 0});
            ring.push_back({2.0 * i - 1, 1, 0});
        }
    }
    return ring;
}

// A line weaving down into every gap of the comb, 0.5 from the teeth and
// 1 above the base, in the comb's plane.
inline Vertices weavingLine(int gaps) {
    Vertices line;
    for (int i = 0; i < gaps; ++i) {
        const double x = 2.0 * i + 1.5;
        line.push_back({x, 11, 0});
        line.push_back({x, 5, 0});
        line.push_back({x, 2, 0});
        line.push_back({x, 11.5, 0});
    }
    return line;
}

}  // namespace testgeometry
