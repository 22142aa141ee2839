#include "kernel/rational.h"

#include <atomic>
#include <cmath>
#include <limits>

#include "kernel/range3d.h"

namespace spatialgeom::kernel {
namespace {

std::atomic<std::uint64_t> gExactDecisions{0};

RationalPoint minus(const RationalPoint& a, const RationalPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

mpq_class dot(const RationalPoint& a, const RationalPoint& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// |r + s d|^2 minimised over s in [0, 1]: the squared distance from the
// point -r to the segment from 0 to d.
mpq_class squaredToSegment(const RationalPoint& r, const RationalPoint& d) {
    const mpq_class dd = dot(d, d);
    mpq_class s = 0;
    if (sgn(dd) > 0) {
        s = -dot(r, d) / dd;
        if (sgn(s) < 0) s = 0;
        if (s > 1) s = 1;
    }
    const RationalPoint at{r.x + s * d.x, r.y + s * d.y, r.z + s * d.z};
    return dot(at, at);
}

}  // namespace

void noteExactDecision() { gExactDecisions.fetch_add(1, std::memory_order_relaxed); }

std::uint64_t exactDecisionCount() { return gExactDecisions.load(std::memory_order_relaxed); }

mpq_class squaredSegmentDistance(const RationalPoint& a0, const RationalPoint& a1, const RationalPoint& b0,
                                 const RationalPoint& b1) {
    // Q(s, t) = |r + s da - t db|^2 over [0, 1]^2.
    const RationalPoint da = minus(a1, a0), db = minus(b1, b0), r = minus(a0, b0);
    const RationalPoint minusDb{-db.x, -db.y, -db.z};
    const mpq_class aa = dot(da, da), bb = dot(db, db);
    // A point against a segment: Q depends on one parameter only.
    if (sgn(aa) == 0) return squaredToSegment(r, minusDb);
    if (sgn(bb) == 0) return squaredToSegment(r, da);
    const mpq_class ab = dot(da, db);
    const mpq_class denominator = aa * bb - ab * ab;
    if (sgn(denominator) > 0) {
        const mpq_class ar = dot(da, r), br = dot(db, r);
        const mpq_class s = (ab * br - bb * ar) / denominator;
        const mpq_class t = (aa * br - ab * ar) / denominator;
        if (sgn(s) >= 0 && s <= 1 && sgn(t) >= 0 && t <= 1) {
            const RationalPoint at{r.x + s * da.x - t * db.x, r.y + s * da.y - t * db.y, r.z + s * da.z - t * db.z};
            return dot(at, at);
        }
    }
    // The four edges of the square, each an end point against the other
    // segment: s = 0, s = 1, t = 0, t = 1.
    mpq_class best = squaredToSegment(r, minusDb);
    for (const mpq_class& candidate :
         {squaredToSegment(minus(a1, b0), minusDb), squaredToSegment(r, da), squaredToSegment(minus(a0, b1), da)})
        if (candidate < best) best = candidate;
    return best;
}

double upwardSqrt(const mpq_class& q) {
    if (sgn(q) == 0) return 0.0;
    double r = std::sqrt(q.get_d());
    if (!(r > 0x1p-500 && r < 0x1p500)) return std::numeric_limits<double>::quiet_NaN();
    const auto square = [](double v) {
        const mpq_class x(v);
        return mpq_class(x * x);
    };
    while (square(r) < q) r = nextUp(r);
    while (r > 0.0 && square(nextDown(r)) >= q) r = nextDown(r);
    return r;
}

}  // namespace spatialgeom::kernel
