// A plane of constant coordinate: where coordinate `axis` (0 x, 1 y, 2 z)
// equals `value`. Shapes lying in one such plane exactly are tested in its
// two other axes, without any projection.
#pragma once

#include "kernel/exact_predicates.h"

namespace spatialgeom {

struct FlatPlane {
    int axis;
    double value;

    bool operator==(const FlatPlane&) const = default;
    bool holds(const DPoint3d& p) const { return kernel::coordinate(p, axis) == value; }
    // The two other axes, in cyclic order after `axis`.
    int uAxis() const { return (axis + 1) % 3; }
    int vAxis() const { return (axis + 2) % 3; }
};

}  // namespace spatialgeom
