#include "kernel/plane_frame.h"

#include <cmath>

#include "kernel/exact_predicates.h"

namespace spatialgeom::kernel {

bool polygonNormal(Vec3d* normal, DPoint3d* origin, const DPoint3d* points, std::size_t count) {
    if (count < 3) return false;
    Vec3d sum{0.0, 0.0, 0.0};
    for (std::size_t i = 1; i + 1 < count; ++i) sum = sum + cross(points[i] - points[0], points[i + 1] - points[0]);
    if (!normalize(sum, normal)) return false;
    *origin = points[0];
    return true;
}

int dominantAxis(const Vec3d& v) {
    const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    if (ax >= ay && ax >= az && ax > 0.0) return 0;
    if (ay >= az && ay > 0.0) return 1;
    return 2;
}

int edgeCrossesAxisRay(const DPoint3d& p, const DPoint3d& q, const DPoint3d& r, int along, int across, bool positive) {
    const double pb = coordinate(p, across), qb = coordinate(q, across);
    const double rb = coordinate(r, across);
    if ((pb > rb) == (qb > rb)) return 0;
    const int side = orient2d(coordinate(p, along), pb, coordinate(q, along), qb, coordinate(r, along), rb);
    // r left of the edge taken upwards in `across`: the edge lies ahead.
    const int ahead = qb > pb ? side : -side;
    return positive ? ahead > 0 : ahead < 0;
}

}  // namespace spatialgeom::kernel
