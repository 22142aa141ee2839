#include "queries/lifted_boundary.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "kernel/exact_predicates.h"
#include "kernel/range3d.h"
#include "queries/filter_bounds.h"

namespace spatialgeom {
namespace {

using kernel::coordinate;
using kernel::RationalPoint;

// Do the closed segments ab and cd share a point, seen on axes u and v?
// Exact (orientation predicates).
bool imagesMeet(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c, const DPoint3d& d, int u, int v) {
    const auto orient = [&](const DPoint3d& p, const DPoint3d& q, const DPoint3d& r) {
        return kernel::orient2d(coordinate(p, u), coordinate(p, v), coordinate(q, u), coordinate(q, v),
                                coordinate(r, u), coordinate(r, v));
    };
    const auto within = [&](const DPoint3d& p, const DPoint3d& q, const DPoint3d& r) {
        for (int axis : {u, v})
            if (coordinate(r, axis) < std::min(coordinate(p, axis), coordinate(q, axis)) ||
                coordinate(r, axis) > std::max(coordinate(p, axis), coordinate(q, axis)))
                return false;
        return true;
    };
    const int o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
    if (o1 * o2 < 0 && o3 * o4 < 0) return true;
    return (o1 == 0 && within(a, b, c)) || (o2 == 0 && within(a, b, d)) || (o3 == 0 && within(c, d, a)) ||
           (o4 == 0 && within(c, d, b));
}

struct Q2 {
    mpq_class u, v;
};
Q2 operator-(const Q2& a, const Q2& b) { return {a.u - b.u, a.v - b.v}; }
mpq_class cross2(const Q2& a, const Q2& b) { return a.u * b.v - a.v * b.u; }
mpq_class dot2(const Q2& a, const Q2& b) { return a.u * b.u + a.v * b.v; }

// The double nearest below each coordinate's magnitude, and a bound on the
// Euclidean distance (the sum of the coordinates' bounds).
DPoint3d approximate(const RationalPoint& p, double* radius) {
    const DPoint3d d{p.x.get_d(), p.y.get_d(), p.z.get_d()};
    *radius = (std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z)) * 0x1p-51 + 0x1p-1070;
    return d;
}

RationalPoint along(const RationalPoint& a, const RationalPoint& b, const mpq_class& t) {
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
}

}  // namespace

void LiftedBoundary::prepare(const PolygonRings* rings, const PolygonPlane* plane, RegionLocator* locator,
                             EdgeIndex* index) {
    rings_ = rings;
    plane_ = plane;
    locator_ = locator;
    index_ = index;
    const std::uint32_t ringCount = rings->ringCount();
    ringLifted_.assign(ringCount, 0);
    // The outer ring lies in a flat or planar plane by its definition.
    for (std::uint32_t r = 0; r < ringCount; ++r) {
        ringLifted_[r] = plane->kind() == PolygonPlane::Kind::skew ||
                         (r > 0 && !plane->holdsAll(rings->ring(r), rings->ringSize(r)));
        any_ = any_ || ringLifted_[r];
    }
    if (!any_) return;
    lifted_.resize(rings->edgeCount());
    error_.resize(rings->edgeCount());
    for (std::uint32_t r = 0; r < ringCount; ++r) {
        if (!ringLifted_[r]) continue;
        const std::uint32_t first = rings->ringStart[r];
        plane->lift(rings->ring(r), rings->ringSize(r), lifted_.data() + first, error_.data() + first, &low_, &high_);
    }
    if (ringCount > 1) state_.assign(rings->edgeCount(), State::unknown);
}

void LiftedBoundary::widenRange(DRange3d& box) const {
    if (!any_) return;
    const int k = plane_->axis();
    double& boxLow = k == 0 ? box.low.x : k == 1 ? box.low.y : box.low.z;
    double& boxHigh = k == 0 ? box.high.x : k == 1 ? box.high.y : box.high.z;
    // (low_ and high_ rounded outwards: their sums may have rounded inwards.)
    boxLow = std::min(boxLow, kernel::nextDown(low_));
    boxHigh = std::max(boxHigh, kernel::nextUp(high_));
}

// An edge whose image meets no other ring's image stays on one side of
// each of them, so one end decides for all of it: its end lies on its own
// ring (in the outer ring's closed region, out of its own hole's open
// interior) and off every other ring, where parity is exact.
void LiftedBoundary::classify(const Edge& e) {
    const int u = plane_->uAxis(), v = plane_->vAxis();
    const DPoint3d& a = rings_->vertices[e.from];
    const DPoint3d& b = rings_->vertices[e.to];
    // Coordinates the orientation predicates cannot take count as a
    // crossing: the rational cut decides.
    bool crossed = !filter::predicateSafe(a) || !filter::predicateSafe(b);
    if (!crossed)
        index_->forEachInCells(
            std::min(coordinate(a, u), coordinate(b, u)), std::max(coordinate(a, u), coordinate(b, u)),
            std::min(coordinate(a, v), coordinate(b, v)), std::max(coordinate(a, v), coordinate(b, v)),
            [&](const Edge& g) {
                if (g.ring == e.ring) return true;
                const DPoint3d& c = rings_->vertices[g.from];
                const DPoint3d& d = rings_->vertices[g.to];
                crossed = !filter::predicateSafe(c) || !filter::predicateSafe(d) || imagesMeet(a, b, c, d, u, v);
                return !crossed;
            });
    if (crossed) {
        cut(e);
        return;
    }
    const bool inside =
        locator_->locate(coordinate(a, u), coordinate(a, v), 0.0, e.ring) == RegionLocator::Place::inside;
    state_[e.from] = inside ? State::whole : State::outside;
}

// The edge's image p0 + t (p1 - p0), t in [0, 1], is cut wherever it meets
// another ring's image (at both ends of a collinear overlap). Between two
// cuts its points stay on one side of every other ring, so a part's middle
// decides for the closed part; a cut point that belongs while neither part
// beside it does is kept as a part of zero length.
void LiftedBoundary::cut(const Edge& e) {
    filter::countExactDecision();
    const int u = plane_->uAxis(), v = plane_->vAxis();
    const DPoint3d& a = rings_->vertices[e.from];
    const DPoint3d& b = rings_->vertices[e.to];
    const auto image = [&](const DPoint3d& p) { return Q2{coordinate(p, u), coordinate(p, v)}; };
    const Q2 p0 = image(a), p1 = image(b), d = p1 - p0;
    const mpq_class dd = dot2(d, d);
    std::vector<mpq_class> cuts{0, 1};
    if (sgn(dd) != 0) {
        index_->forEachInCells(std::min(coordinate(a, u), coordinate(b, u)),
                               std::max(coordinate(a, u), coordinate(b, u)),
                               std::min(coordinate(a, v), coordinate(b, v)),
                               std::max(coordinate(a, v), coordinate(b, v)), [&](const Edge& g) {
                                   if (g.ring == e.ring) return true;
                                   const Q2 q0 = image(rings_->vertices[g.from]), q1 = image(rings_->vertices[g.to]);
                                   const Q2 gd = q1 - q0, w = q0 - p0;
                                   const mpq_class denominator = cross2(d, gd);
                                   if (sgn(denominator) != 0) {
                                       // p0 + t d = q0 + s gd.
                                       const mpq_class t = cross2(w, gd) / denominator, s = cross2(w, d) / denominator;
                                       if (sgn(t) >= 0 && t <= 1 && sgn(s) >= 0 && s <= 1) cuts.push_back(t);
                                   } else if (sgn(cross2(w, d)) == 0) {
                                       for (const Q2* q : {&q0, &q1}) {
                                           const mpq_class t = dot2(*q - p0, d) / dd;
                                           if (sgn(t) >= 0 && t <= 1) cuts.push_back(t);
                                       }
                                   }
                                   return true;
                               });
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    const RationalPoint l0 = plane_->exactLifted(a), l1 = plane_->exactLifted(b);
    const auto inRegion = [&](const mpq_class& t) {
        return locator_->exactlyInside({p0.u + t * d.u, p0.v + t * d.v}, e.ring);
    };
    const auto add = [&](const mpq_class& from, const mpq_class& to) {
        CutPart part{along(l0, l1, from), along(l0, l1, to), {}, 0.0};
        double startRadius, endRadius;
        part.approx = {approximate(part.start, &startRadius), approximate(part.end, &endRadius)};
        part.radius = std::max(startRadius, endRadius);
        cuts_.push_back(std::move(part));
    };
    cutFirst_.resize(rings_->edgeCount());
    cutCount_.resize(rings_->edgeCount());
    cutFirst_[e.from] = static_cast<std::uint32_t>(cuts_.size());
    const std::size_t parts = cuts.size() - 1;
    std::vector<bool> partIn(parts);
    for (std::size_t j = 0; j < parts; ++j) {
        partIn[j] = inRegion((cuts[j] + cuts[j + 1]) / 2);
        if (partIn[j]) add(cuts[j], cuts[j + 1]);
    }
    for (std::size_t j = 0; j < cuts.size(); ++j) {
        const bool covered = (j > 0 && partIn[j - 1]) || (j < parts && partIn[j]);
        if (!covered && inRegion(cuts[j])) add(cuts[j], cuts[j]);
    }
    cutCount_[e.from] = static_cast<std::uint32_t>(cuts_.size()) - cutFirst_[e.from];
    state_[e.from] = State::cut;
}

std::pair<RationalPoint, RationalPoint> LiftedBoundary::exactEnds(const Edge& e, std::uint32_t cut) const {
    if (cut != kWhole) return {cuts_[cut].start, cuts_[cut].end};
    return {plane_->exactLifted(rings_->vertices[e.from]), plane_->exactLifted(rings_->vertices[e.to])};
}

}  // namespace spatialgeom
