// Planes of polygons and the axis-plane frame in which a planar polygon is
// tested for containment.
//
// A plane is measured by its unit normal; a point of it is mapped to 2D by
// dropping the coordinate of the normal's largest component. That mapping
// is exact (no arithmetic) and one-to-one on the plane, so containment in
// 2D is containment in the plane, and the exact orientation predicates
// apply to the stored coordinates themselves.
#pragma once

#include <cstddef>

#include "kernel/vector3d.h"

namespace spatialgeom::kernel {

struct Plane3d {
    DPoint3d origin;
    Vec3d normal;  // unit length
};

// Newell's normal of the closed polygon points[0 .. count): the sum of
// (p[i] - p[0]) x (p[i+1] - p[0]), normalised; *origin = points[0]. Measured
// from points[0] so that a polygon lying in an axis plane gets an exactly
// axis-parallel normal. Returns false, outputs untouched, when the sum is
// zero or not finite: fewer than three distinct points, all collinear, or
// signed areas that cancel (a figure eight).
bool polygonNormal(Vec3d* normal, DPoint3d* origin, const DPoint3d* points, std::size_t count);

inline Plane3d planeFromOriginAndNormal(const DPoint3d& origin, const Vec3d& unitNormal) {
    return {origin, unitNormal};
}

// Signed distance of point from the plane (positive on the normal's side).
inline double signedDistance(const Plane3d& plane, const DPoint3d& point) {
    return dot(point - plane.origin, plane.normal);
}

// The foot of point in the plane: point - evaluate(point) * normal.
inline DPoint3d projectOntoPlane(const Plane3d& plane, const DPoint3d& point) {
    return point - signedDistance(plane, point) * plane.normal;
}

// The axis (0 x, 1 y, 2 z) of the largest |component|; ties take the
// lower axis. The zero vector gives 2.
int dominantAxis(const Vec3d& v);

// 1 when the edge p -> q crosses the ray from r that runs along the axis
// `along` (increasing when `positive`, else decreasing), the three points
// seen in the axis plane of `along` and `across`; else 0. Half-open in the
// `across` coordinate, so a ray through a vertex counts it once; exact
// (orientation predicate). Summed over a closed ring, odd means r is
// inside; r on the ring may count either way.
int edgeCrossesAxisRay(const DPoint3d& p, const DPoint3d& q, const DPoint3d& r, int along, int across, bool positive);

}  // namespace spatialgeom::kernel
