#include "queries/element_tests.h"

#include <algorithm>
#include <cmath>

#include "kernel/rational.h"
#include "queries/work_counter.h"

namespace spatialgeom {
namespace {

using kernel::Segment3d;
using kernel::Vec3d;

enum class Verdict { no, yes, unsure };

constexpr double kUnit = 0x1p-53;  // the unit roundoff u
// Inside this range of magnitudes (lengths, coordinates, tolerance) no
// product the filter forms overflows or falls into the subnormal range, so
// its relative error bounds hold.
constexpr double kFilterLow = 0x1p-240, kFilterHigh = 0x1p240;

bool filterable(double magnitude) { return magnitude == 0.0 || (magnitude >= kFilterLow && magnitude <= kFilterHigh); }

double pointToSegment(const DPoint3d& p, const Segment3d& s) { return kernel::pointSegmentDistance(s, p); }

// The floating-point decision with proven error bounds. M is the largest
// coordinate magnitude; u the unit roundoff.
//  - Every computed distance is that of two computed points, each within
//    7uM of a point of its segment, and is rounded by at most 3u of itself:
//    the true distance is at most d (1 + 4u) + 16uM. (The bounds below use
//    at least twice the error they cover.)
//  - An end point's computed distance to the other segment exceeds the true
//    one by at most the error of the computed fraction (under 20uM along
//    the segment) plus the rounding above: at most 64uM + 8u d in all.
//  - The segments' lines are at least as far apart as the segments. With
//    da, db, r = a.start - b.start of lengths A, B, R, the cross product
//    n = da x db errs by at most 10uAB, r.n by 14uRAB, and the critical
//    point's numerators (ab br - ar bb, aa br - ab ar) and the denominator
//    aa bb - ab^2 by less than 48u A B^2 R, 48u A^2 B R and 48u A^2 B^2.
//  - When the critical point lies certainly outside the parameter square,
//    the distance is reached at an end point.
//  - Nearly parallel lines: points of b lie within B sin(angle) of the
//    distance of b.start from a's line, and sin(angle) = |n| / (AB).
Verdict filteredWithin(const Segment3d& a, const Segment3d& b, double tolerance) {
    const double scale = kernel::coordinateScale(a, b);
    const Vec3d da = a.end - a.start, db = b.end - b.start, r = a.start - b.start;
    const double lengthA = kernel::magnitude(da), lengthB = kernel::magnitude(db), lengthR = kernel::magnitude(r);
    if (!filterable(scale) || !filterable(tolerance) || !filterable(lengthA) || !filterable(lengthB) ||
        !filterable(lengthR))
        return Verdict::unsure;
    const double u = kUnit;
    const double distance = kernel::segmentDistance(a, b);
    if (distance * (1 + 4 * u) + 32 * u * scale <= tolerance) return Verdict::yes;

    const double endDistance = std::min(
        {pointToSegment(a.start, b), pointToSegment(a.end, b), pointToSegment(b.start, a), pointToSegment(b.end, a)});
    const double endLower = endDistance * (1 - 8 * u) - 64 * u * scale;
    if (lengthA == 0.0 || lengthB == 0.0) return endLower > tolerance ? Verdict::no : Verdict::unsure;

    const double aa = kernel::dot(da, da), bb = kernel::dot(db, db), ab = kernel::dot(da, db);
    const double ar = kernel::dot(da, r), br = kernel::dot(db, r);
    const double denominator = aa * bb - ab * ab;
    const double denominatorError = 48 * u * aa * bb;
    double lower;
    if (denominator > denominatorError) {
        const Vec3d n = kernel::cross(da, db);
        const double areaAB = lengthA * lengthB;
        lower = (std::fabs(kernel::dot(r, n)) - 16 * u * lengthR * areaAB) / (kernel::magnitude(n) + 16 * u * areaAB) *
                (1 - 4 * u);
        const double s = ab * br - ar * bb, sError = 48 * u * lengthA * bb * lengthR;
        const double t = aa * br - ab * ar, tError = 48 * u * aa * lengthB * lengthR;
        const auto outside = [&](double numerator, double error) {
            return numerator + error < 0.0 || numerator - error > denominator + denominatorError;
        };
        if (outside(s, sError) || outside(t, tError)) lower = std::max(lower, endLower);
    } else {
        const double sinUpper =
            std::sqrt(std::max(denominator, 0.0) + denominatorError) / (lengthA * lengthB) * (1 + 8 * u);
        const double startToLine =
            (kernel::magnitude(kernel::cross(r, da)) - 16 * u * lengthR * lengthA) / lengthA * (1 - 4 * u);
        lower = startToLine - lengthB * sinUpper;
    }
    return lower > tolerance ? Verdict::no : Verdict::unsure;
}

// At tolerance 0 the segments meet when they share a point: the exact
// orientation predicates decide it without rational arithmetic, provided
// no product of coordinate differences leaves the double range.
bool predicatesExact(const Segment3d& a, const Segment3d& b) {
    for (const DPoint3d& p : {a.start, a.end, b.start, b.end})
        for (double c : {p.x, p.y, p.z})
            if (c != 0.0 && !(std::fabs(c) >= 0x1p-300 && std::fabs(c) <= 0x1p300)) return false;
    return true;
}

bool exactlyWithin(const Segment3d& a, const Segment3d& b, double tolerance) {
    kernel::noteExactDecision();
    if (tolerance == 0.0 && predicatesExact(a, b)) return kernel::segmentsIntersect(a, b);
    const mpq_class squared = kernel::squaredSegmentDistance(kernel::toRational(a.start), kernel::toRational(a.end),
                                                             kernel::toRational(b.start), kernel::toRational(b.end));
    const mpq_class t(tolerance);
    return squared <= t * t;
}

}  // namespace

bool segmentsWithin(const Segment3d& a, const Segment3d& b, double tolerance) {
    work::countSegmentPair();
    if (!(tolerance >= 0.0)) return false;
    if (tolerance == INFINITY) return true;
    if (!finite(a) || !finite(b)) return kernel::segmentDistance(a, b) <= tolerance;
    switch (filteredWithin(a, b, tolerance)) {
        case Verdict::yes: return true;
        case Verdict::no: return false;
        case Verdict::unsure: break;
    }
    return exactlyWithin(a, b, tolerance);
}

}  // namespace spatialgeom
