#include "kernel/closest_points.h"

#include <algorithm>

#include "kernel/rational.h"

namespace spatialgeom::kernel {
namespace {

// The point at fraction t of the segment, exact at both ends.
DPoint3d at(const Segment3d& s, double t) {
    if (t <= 0.0) return s.start;
    if (t >= 1.0) return s.end;
    return s.start + t * (s.end - s.start);
}

void consider(ClosestPair& best, const DPoint3d& onA, const DPoint3d& onB) {
    const double d = pointDistance(onA, onB);
    if (d < best.distance) best = {onA, onB, d};
}

RationalPoint minus(const RationalPoint& a, const RationalPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
mpq_class dotQ(const RationalPoint& a, const RationalPoint& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
DPoint3d rounded(const RationalPoint& p) { return {p.x.get_d(), p.y.get_d(), p.z.get_d()}; }

// The point of start + s d, s in [0, 1], nearest to q: s.
mpq_class clampedParameter(const RationalPoint& start, const RationalPoint& d, const RationalPoint& q) {
    const mpq_class dd = dotQ(d, d);
    if (sgn(dd) == 0) return 0;
    mpq_class s = dotQ(minus(q, start), d) / dd;
    if (sgn(s) < 0) s = 0;
    if (s > 1) s = 1;
    return s;
}

RationalPoint along(const RationalPoint& start, const RationalPoint& d, const mpq_class& s) {
    return {start.x + s * d.x, start.y + s * d.y, start.z + s * d.z};
}

}  // namespace

ClosestPair exactClosestPoints(const Segment3d& a, const Segment3d& b) {
    const RationalPoint a0 = toRational(a.start), a1 = toRational(a.end), b0 = toRational(b.start),
                        b1 = toRational(b.end);
    const RationalPoint da = minus(a1, a0), db = minus(b1, b0);
    if (a.start == a.end || b.start == b.end) {
        // A point against a segment (or a point): the other's point nearest
        // to it.
        const bool pointA = a.start == a.end;
        const RationalPoint p = pointA ? a0 : along(a0, da, clampedParameter(a0, da, b0));
        const RationalPoint q = pointA ? along(b0, db, clampedParameter(b0, db, a0)) : b0;
        const DPoint3d onA = rounded(p), onB = rounded(q);
        return {onA, onB, pointDistance(onA, onB)};
    }
    const RationalPoint r = minus(a0, b0);
    const mpq_class aa = dotQ(da, da), bb = dotQ(db, db), ab = dotQ(da, db);
    const mpq_class denominator = aa * bb - ab * ab;
    RationalPoint p, q;
    bool found = false;
    if (sgn(denominator) > 0) {
        const mpq_class ar = dotQ(da, r), br = dotQ(db, r);
        const mpq_class s = (ab * br - bb * ar) / denominator, t = (aa * br - ab * ar) / denominator;
        if (sgn(s) >= 0 && s <= 1 && sgn(t) >= 0 && t <= 1) {
            p = along(a0, da, s);
            q = along(b0, db, t);
            found = true;
        }
    }
    if (!found) {
        // An end point against the other segment.
        mpq_class best = -1;
        const auto consider = [&](const RationalPoint& onA, const RationalPoint& onB) {
            const RationalPoint gap = minus(onA, onB);
            const mpq_class squared = dotQ(gap, gap);
            if (sgn(best) < 0 || squared < best) {
                best = squared;
                p = onA;
                q = onB;
            }
        };
        consider(a0, along(b0, db, clampedParameter(b0, db, a0)));
        consider(a1, along(b0, db, clampedParameter(b0, db, a1)));
        consider(along(a0, da, clampedParameter(a0, da, b0)), b0);
        consider(along(a0, da, clampedParameter(a0, da, b1)), b1);
    }
    const DPoint3d onA = rounded(p), onB = rounded(q);
    return {onA, onB, pointDistance(onA, onB)};
}

ClosestPair closestPoints(const Segment3d& a, const Segment3d& b) {
    ClosestPair best{a.start, b.start, pointDistance(a.start, b.start)};
    DPoint3d foot;
    projectOntoSegment(b, &foot, a.start);
    consider(best, a.start, foot);
    projectOntoSegment(b, &foot, a.end);
    consider(best, a.end, foot);
    projectOntoSegment(a, &foot, b.start);
    consider(best, foot, b.start);
    projectOntoSegment(a, &foot, b.end);
    consider(best, foot, b.end);

    // The interior candidate: the lines' closest approach, clamped.
    const Vec3d d1 = a.end - a.start, d2 = b.end - b.start, r = a.start - b.start;
    const double aa = dot(d1, d1), ee = dot(d2, d2), f = dot(d2, r), c = dot(d1, r), bb = dot(d1, d2);
    const double denominator = aa * ee - bb * bb;
    if (aa > 0.0 && ee > 0.0 && denominator > 0.0) {
        const double s = std::clamp((bb * f - c * ee) / denominator, 0.0, 1.0);
        const DPoint3d p = at(a, s);
        projectOntoSegment(b, &foot, p);
        consider(best, p, foot);
        DPoint3d back;
        projectOntoSegment(a, &back, foot);
        consider(best, back, foot);
    }
    return best;
}

}  // namespace spatialgeom::kernel
