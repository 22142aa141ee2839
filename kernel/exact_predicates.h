// Exact orientation predicates on double coordinates.
//
// Each answers the sign of a determinant of coordinate differences as if
// it were evaluated in exact arithmetic: a fast floating-point evaluation
// with a proven error bound decides almost every call; only when the value
// is within that bound of zero is it recomputed exactly with floating-point
// expansions (sums of non-overlapping doubles). Exactness holds as long as
// no product of two coordinate differences overflows or underflows, i.e.
// for finite coordinates of magnitude between about 1e-140 and 1e140 (and
// zero). NaN coordinates give an unspecified sign.
#pragma once

#include "spatialgeom/types.h"

namespace spatialgeom::kernel {

// Sign (-1, 0, +1) of (a - c) x (b - c) in 2D: +1 when a, b, c turn
// counter-clockwise, 0 when they are collinear (also when two coincide).
int orient2d(double ax, double ay, double bx, double by, double cx, double cy);

// Sign of det[a - d; b - d; c - d]: 0 exactly when the four points are
// coplanar (always so when three of them are collinear); otherwise the
// sign tells on which side of the plane through a, b, c the point d lies.
int orient3d(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c, const DPoint3d& d);

// The coordinate of p on axis 0 (x), 1 (y) or 2 (z).
constexpr double coordinate(const DPoint3d& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

// orient2d of the three points projected along `droppedAxis` onto
// the plane of the two other axes (taken in cyclic order after it). The
// projection itself is exact: it only drops a coordinate.
int orient2dDropping(int droppedAxis, const DPoint3d& a, const DPoint3d& b, const DPoint3d& c);

// True when a, b and c lie on one line (or coincide), exactly.
bool collinear(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c);

}  // namespace spatialgeom::kernel
