#include "kernel/segment_distance.h"

#include <algorithm>
#include <cmath>

#include "kernel/exact_predicates.h"

namespace spatialgeom::kernel {
namespace {

// start + f (end - start), interpolated from the nearer end so that the
// fractions 0 and 1 give the end points exactly.
DPoint3d pointAtFraction(const Segment3d& s, double f) {
    const Vec3d d = s.end - s.start;
    return f <= 0.5 ? s.start + f * d : s.end - (1.0 - f) * d;
}

// Is c within the closed interval of a and b on each kept axis?
bool withinBoxDropping(int droppedAxis, const DPoint3d& a, const DPoint3d& b, const DPoint3d& c) {
    for (int axis : {(droppedAxis + 1) % 3, (droppedAxis + 2) % 3}) {
        const double lo = std::min(coordinate(a, axis), coordinate(b, axis));
        const double hi = std::max(coordinate(a, axis), coordinate(b, axis));
        const double v = coordinate(c, axis);
        if (v < lo || v > hi) return false;
    }
    return true;
}

// Closed 2D segments a, b after dropping one axis: do they share a point?
bool intersectDropping(int axis, const Segment3d& a, const Segment3d& b) {
    const int o1 = orient2dDropping(axis, a.start, a.end, b.start);
    const int o2 = orient2dDropping(axis, a.start, a.end, b.end);
    const int o3 = orient2dDropping(axis, b.start, b.end, a.start);
    const int o4 = orient2dDropping(axis, b.start, b.end, a.end);
    if (o1 * o2 < 0 && o3 * o4 < 0) return true;
    return (o1 == 0 && withinBoxDropping(axis, a.start, a.end, b.start)) ||
           (o2 == 0 && withinBoxDropping(axis, a.start, a.end, b.end)) ||
           (o3 == 0 && withinBoxDropping(axis, b.start, b.end, a.start)) ||
           (o4 == 0 && withinBoxDropping(axis, b.start, b.end, a.end));
}

double maxAbs(const DPoint3d& p) { return std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}); }

// A strict order of segments by their coordinates, start first.
bool precedes(const Segment3d& a, const Segment3d& b) {
    const double ka[6] = {a.start.x, a.start.y, a.start.z, a.end.x, a.end.y, a.end.z};
    const double kb[6] = {b.start.x, b.start.y, b.start.z, b.end.x, b.end.y, b.end.z};
    return std::lexicographical_compare(ka, ka + 6, kb, kb + 6);
}

}  // namespace

double projectOntoSegment(const Segment3d& segment, DPoint3d* nearest, const DPoint3d& point) {
    const Vec3d d = segment.end - segment.start;
    const double length2 = dot(d, d);
    double f = length2 > 0.0 ? dot(point - segment.start, d) / length2 : 0.0;
    if (!(f > 0.0)) f = 0.0;  // also NaN
    if (f > 1.0) f = 1.0;
    *nearest = pointAtFraction(segment, f);
    return f;
}

double pointSegmentDistance(const Segment3d& segment, const DPoint3d& point) {
    DPoint3d nearest;
    projectOntoSegment(segment, &nearest, point);
    return pointDistance(point, nearest);
}

double segmentDistance(const Segment3d& first, const Segment3d& second) {
    // Always computed in one order, so that rounding cannot make the
    // distance of a pair depend on the order it is asked in.
    const bool swap = precedes(second, first);
    const Segment3d& a = swap ? second : first;
    const Segment3d& b = swap ? first : second;
    double best = std::min({pointSegmentDistance(b, a.start), pointSegmentDistance(b, a.end),
                            pointSegmentDistance(a, b.start), pointSegmentDistance(a, b.end)});
    // Interior closest approach of the two lines: minimise
    // |r + s da - t db|^2 with r = a.start - b.start.
    const Vec3d da = a.end - a.start, db = b.end - b.start, r = a.start - b.start;
    const double aa = dot(da, da), ab = dot(da, db), bb = dot(db, db);
    const double ar = dot(da, r), br = dot(db, r);
    const double denominator = aa * bb - ab * ab;
    if (denominator > 0.0) {
        const double s = (ab * br - ar * bb) / denominator;
        const double t = (aa * br - ab * ar) / denominator;
        if (s > 0.0 && s < 1.0 && t > 0.0 && t < 1.0)
            best = std::min(best, pointDistance(pointAtFraction(a, s), pointAtFraction(b, t)));
    }
    return best;
}

bool segmentsIntersect(const Segment3d& a, const Segment3d& b) {
    if (orient3d(a.start, a.end, b.start, b.end) != 0) return false;
    for (int axis = 0; axis < 3; ++axis)
        if (!intersectDropping(axis, a, b)) return false;
    return true;
}

double coordinateScale(const Segment3d& a, const Segment3d& b) {
    return std::max({maxAbs(a.start), maxAbs(a.end), maxAbs(b.start), maxAbs(b.end)});
}

}  // namespace spatialgeom::kernel
