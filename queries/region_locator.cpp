#include "queries/region_locator.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "kernel/exact_predicates.h"
#include "kernel/plane_frame.h"
#include "kernel/range3d.h"
#include "queries/filter_bounds.h"

namespace spatialgeom {
namespace {

using filter::kInflate;
using filter::kTiny;
using filter::kUnit;
using kernel::coordinate;

constexpr std::uint8_t kOdd = 1, kNear = 2, kTouched = 4;

}  // namespace

// Per-test scratch of the calling thread: crossing parity and nearness per
// ring (all zero between tests), and the rings touched. Kept between
// tests; it grows to the most rings a thread's polygons have had.
struct RegionLocator::Scratch {
    std::vector<std::uint8_t> state;
    std::vector<std::uint32_t> touched;
};

RegionLocator::Scratch& RegionLocator::threadScratch(std::uint32_t ringCount) {
    thread_local Scratch scratch;
    if (scratch.state.size() < ringCount) scratch.state.resize(ringCount, 0);
    return scratch;
}

void RegionLocator::attach(const PolygonRings* rings, EdgeIndex* index, int uAxis, int vAxis) {
    rings_ = rings;
    index_ = index;
    u_ = uAxis;
    v_ = vAxis;
}

inline RegionLocator::Ray RegionLocator::rayToNearestSide(double u, double v) const {
    const SegmentGrid& grid = index_->grid();
    const std::uint32_t column = grid.column(u), row = grid.row(v);
    const std::uint32_t cells[4] = {grid.columns() - column, column + 1, grid.rows() - row, row + 1};
    const int side = static_cast<int>(std::min_element(cells, cells + 4) - cells);
    const bool alongU = side < 2, positive = side % 2 == 0;
    return {alongU,
            positive,
            alongU && !positive ? -INFINITY : u,
            alongU && positive ? INFINITY : u,
            !alongU && !positive ? -INFINITY : v,
            !alongU && positive ? INFINITY : v};
}

// Once indexed: visit(edge, nearTest, crossTest, alongU, positive) for a
// superset of the edges that meet the rectangle [uLo, uHi] x [vLo, vHi]
// (nearTest), those of the cells it covers, when nearTests; then for a superset of those
// that cross the ray from (u, v) along the axis and direction given
// (crossTest), those of the cells towards the grid's nearest side (fewest
// cells). The ray's direction changes no parity of a point off every edge.
template <typename Visit>
void RegionLocator::visitIndexed(double u, double v, double uLo, double uHi, double vLo, double vHi, bool nearTests,
                                 Visit&& visit) {
    if (nearTests)
        index_->forEachInCells(uLo, uHi, vLo, vHi, [&](const PolygonRings::Edge& e) {
            visit(e, true, false, true, true);
            return true;
        });
    const Ray ray = rayToNearestSide(u, v);
    index_->forEachInCells(ray.lowU, ray.highU, ray.lowV, ray.highV, [&](const PolygonRings::Edge& e) {
        visit(e, false, true, ray.alongU, ray.positive);
        return true;
    });
}

RegionLocator::Place RegionLocator::find(double u, double v, double error, std::uint32_t skipRing, bool nearTests) {
    if (!(std::isfinite(u) && std::isfinite(v) && error >= 0.0 && error < INFINITY)) return Place::unsure;
    const bool exactPoint = error == 0.0;
    Scratch& scratch = threadScratch(rings_->ringCount());
    std::vector<std::uint8_t>& state = scratch.state;
    std::vector<std::uint32_t>& touched = scratch.touched;
    // The orientation predicates cannot take every coordinate: rational
    // arithmetic decides.
    const auto unsafe = [&] {
        for (std::uint32_t ring : touched) state[ring] = 0;
        touched.clear();
        if (!exactPoint) return Place::unsure;
        filter::countExactDecision();
        return exactlyInside({u, v}, skipRing) ? Place::inside : Place::outside;
    };
    if (!filter::predicateSafe(u) || !filter::predicateSafe(v)) return unsafe();
    bool safe = true;
    // The rectangle that holds the point, rounded outwards.
    const double uLo = exactPoint ? u : kernel::nextDown(u - error), uHi = exactPoint ? u : kernel::nextUp(u + error);
    const double vLo = exactPoint ? v : kernel::nextDown(v - error), vHi = exactPoint ? v : kernel::nextUp(v + error);
    DPoint3d point{0.0, 0.0, 0.0};
    (u_ == 0 ? point.x : u_ == 1 ? point.y : point.z) = u;
    (v_ == 0 ? point.x : v_ == 1 ? point.y : point.z) = v;
    const auto mark = [&](std::uint32_t ring, std::uint8_t flag) {
        if (!(state[ring] & kTouched)) {
            touched.push_back(ring);  // first: a failed push leaves the state clean
            state[ring] = kTouched;
        }
        state[ring] = flag == kOdd ? state[ring] ^ kOdd : state[ring] | flag;
    };
    // Does the edge come within the error of the point? Not when its box
    // misses the rectangle; else, for an exact point: is it on the edge;
    // else: is the point's distance from the edge's line not certainly
    // above error sqrt(2)? That distance is |c| / |b - a| with
    // c = du (v - a_v) - dv (u - a_u), which rounds by at most
    // 5u (|du (v - a_v)| + |dv (u - a_u)|) (four differences, two products,
    // a difference); 1.5 (|du| + |dv|) exceeds sqrt(2) |b - a| with room for
    // the rounding of du, dv and of the bound.
    const auto near = [&](const DPoint3d& a, const DPoint3d& b) {
        const double au = coordinate(a, u_), av = coordinate(a, v_), bu = coordinate(b, u_), bv = coordinate(b, v_);
        if (std::max(au, bu) < uLo || std::min(au, bu) > uHi || std::max(av, bv) < vLo || std::min(av, bv) > vHi)
            return false;
        if (exactPoint) {
            safe = safe && filter::predicateSafe(a) && filter::predicateSafe(b);
            return kernel::orient2d(au, av, bu, bv, u, v) == 0;
        }
        const double du = bu - au, dv = bv - av;
        const double p1 = du * (v - av), p2 = dv * (u - au);
        const double cError = 5 * kUnit * (std::fabs(p1) + std::fabs(p2)) * kInflate + kTiny;
        return !(std::fabs(p1 - p2) > cError * kInflate + 1.5 * error * (std::fabs(du) + std::fabs(dv)));
    };
    const auto cross = [&](const DPoint3d& a, const DPoint3d& b, std::uint32_t ring, int along, int across,
                           bool positive) {
        safe = safe && filter::predicateSafe(a) && filter::predicateSafe(b);
        if (kernel::edgeCrossesAxisRay(a, b, point, along, across, positive)) mark(ring, kOdd);
    };
    if (index_->built()) {
        visitIndexed(u, v, uLo, uHi, vLo, vHi, nearTests,
                     [&](const PolygonRings::Edge& e, bool nearTest, bool crossTest, bool alongU, bool positive) {
                         if (e.ring == skipRing) return;
                         const DPoint3d& a = rings_->vertices[e.from];
                         const DPoint3d& b = rings_->vertices[e.to];
                         if (nearTest && near(a, b)) mark(e.ring, kNear);
                         if (!crossTest) return;
                         // Most edges do not straddle the ray's line: tested first.
                         const int along = alongU ? u_ : v_, across = alongU ? v_ : u_;
                         const double at = coordinate(point, across);
                         if ((coordinate(a, across) > at) == (coordinate(b, across) > at)) return;
                         cross(a, b, e.ring, along, across, positive);
                     });
    } else {
        // Every edge, the ray along +u. An edge on one side of the line
        // v = v(point) crosses no such ray and is near only when it reaches
        // the rectangle's side of that line (most edges end at this test).
        index_->countScan();
        for (std::uint32_t r = 0; r < rings_->ringCount(); ++r) {
            if (r == skipRing) continue;
            rings_->forEachRingEdge(r, [&](const PolygonRings::Edge& e) {
                const DPoint3d &a = rings_->vertices[e.from], &b = rings_->vertices[e.to];
                const double av = coordinate(a, v_), bv = coordinate(b, v_);
                const bool aAbove = av > v, bAbove = bv > v;
                if (aAbove == bAbove && (!nearTests || (aAbove ? av > vHi && bv > vHi : av < vLo && bv < vLo)))
                    return true;
                if (nearTests && near(a, b)) mark(r, kNear);
                if (aAbove != bAbove) cross(a, b, r, u_, v_, true);
                return true;
            });
        }
    }
    if (!safe) return unsafe();
    return verdict(scratch, exactPoint, skipRing);
}

// The parities of find without the per-ring state: bit r of `odd` is
// ring r's parity, and a point off every ring is inside exactly when the
// outer ring's bit alone is set (verdict's rule with no ring near).
RegionLocator::Place RegionLocator::locateOffBoundary(double u, double v) {
    const std::uint32_t ringCount = rings_->ringCount();
    if (ringCount > 64 || !filter::predicateSafe(u) || !filter::predicateSafe(v))
        return find(u, v, 0.0, kNoRing, false);
    switch (placeInCell(u, v)) {
        case CellPlace::outside: return Place::outside;
        case CellPlace::inside: return Place::inside;
        default: break;
    }
    DPoint3d point{0.0, 0.0, 0.0};
    (u_ == 0 ? point.x : u_ == 1 ? point.y : point.z) = u;
    (v_ == 0 ? point.x : v_ == 1 ? point.y : point.z) = v;
    std::uint64_t odd = 0;
    bool safe = true;
    if (index_->built()) {
        const Ray ray = rayToNearestSide(u, v);
        const int along = ray.alongU ? u_ : v_, across = ray.alongU ? v_ : u_;
        const double at = ray.alongU ? v : u;
        // (The index knows whether the predicates take every vertex.)
        safe = index_->predicateSafe();
        const auto visit = [&](const PolygonRings::Edge& e, auto checkSafe) {
            const DPoint3d& a = rings_->vertices[e.from];
            const DPoint3d& b = rings_->vertices[e.to];
            // Most edges do not straddle the ray's line: tested first.
            if ((coordinate(a, across) > at) == (coordinate(b, across) > at)) return true;
            if constexpr (decltype(checkSafe)::value)
                safe = safe && filter::predicateSafe(a) && filter::predicateSafe(b);
            if (kernel::edgeCrossesAxisRay(a, b, point, along, across, ray.positive)) odd ^= std::uint64_t{1} << e.ring;
            return true;
        };
        if (safe) {
            index_->forEachInCells(ray.lowU, ray.highU, ray.lowV, ray.highV,
                                   [&](const PolygonRings::Edge& e) { return visit(e, std::false_type{}); });
        } else {
            safe = true;
            index_->forEachInCells(ray.lowU, ray.highU, ray.lowV, ray.highV,
                                   [&](const PolygonRings::Edge& e) { return visit(e, std::true_type{}); });
        }
    } else {
        index_->countScan();
        for (std::uint32_t r = 0; r < ringCount; ++r) {
            rings_->forEachRingEdge(r, [&](const PolygonRings::Edge& e) {
                const DPoint3d &a = rings_->vertices[e.from], &b = rings_->vertices[e.to];
                if ((coordinate(a, v_) > v) == (coordinate(b, v_) > v)) return true;
                safe = safe && filter::predicateSafe(a) && filter::predicateSafe(b);
                if (kernel::edgeCrossesAxisRay(a, b, point, u_, v_, true)) odd ^= std::uint64_t{1} << r;
                return true;
            });
        }
    }
    if (!safe) {
        // The orientation predicates cannot take every coordinate: rational
        // arithmetic decides, as in find.
        filter::countExactDecision();
        return exactlyInside({u, v}) ? Place::inside : Place::outside;
    }
    return odd == 1 ? Place::inside : Place::outside;
}

// Each row is swept from its last column to its first, carrying the ray
// parities (along +u) of the cells' middles: the parities of two middles of
// a row differ by the edges that cross one of their rays only, and such an
// edge crosses the row's line between them, in a cell between theirs where
// it is registered. A middle that rounds out of its cell, or that the
// predicates cannot take, is skipped (its cell stays unknown); the sweep
// goes on from the last middle it took.
void RegionLocator::tabulateCells() {
    const SegmentGrid& grid = index_->grid();
    if (rings_->ringCount() > 64 || !index_->predicateSafe() || !index_->frozen()) return;
    cellCodes_.assign(std::size_t{grid.columns()} * grid.rows(), kUnknownCell);
    DPoint3d middle{0.0, 0.0, 0.0}, behind{0.0, 0.0, 0.0};
    double& middleU = u_ == 0 ? middle.x : u_ == 1 ? middle.y : middle.z;
    double& behindU = u_ == 0 ? behind.x : u_ == 1 ? behind.y : behind.z;
    for (std::uint32_t r = 0; r < grid.rows(); ++r) {
        const double v = grid.rowMiddle(r);
        if (grid.row(v) != r || !filter::predicateSafe(v)) continue;
        (v_ == 0 ? middle.x : v_ == 1 ? middle.y : middle.z) = v;
        (v_ == 0 ? behind.x : v_ == 1 ? behind.y : behind.z) = v;
        behindU = INFINITY;  // a ray from there crosses nothing
        std::uint64_t odd = 0;
        for (std::uint32_t c = grid.columns(); c-- > 0;) {
            middleU = grid.columnMiddle(c);
            if (grid.column(middleU) != c || !filter::predicateSafe(middleU)) continue;
            index_->forEachInCells(middleU, behindU, v, v, [&](const PolygonRings::Edge& e) {
                const DPoint3d &a = rings_->vertices[e.from], &b = rings_->vertices[e.to];
                int flip = kernel::edgeCrossesAxisRay(a, b, middle, u_, v_, true);
                if (behindU < INFINITY) flip ^= kernel::edgeCrossesAxisRay(a, b, behind, u_, v_, true);
                if (flip) odd ^= std::uint64_t{1} << e.ring;
                return true;
            });
            behindU = middleU;
            std::uint8_t& code = cellCodes_[std::size_t{r} * grid.columns() + c];
            if (grid.cellEmpty(c, r)) {
                code = odd == 1 ? kEmptyInside : kEmptyOutside;
            } else if (rings_->ringCount() <= kCellRings &&
                       index_->forEachInCells(middleU, middleU, v, v, [&](const PolygonRings::Edge& e) {
                           const DPoint3d &a = rings_->vertices[e.from], &b = rings_->vertices[e.to];
                           return !inEdgeBox(a, b, middleU, v) ||
                                  kernel::orient2d(coordinate(a, u_), coordinate(a, v_), coordinate(b, u_),
                                                   coordinate(b, v_), middleU, v) != 0;
                       })) {
                code = static_cast<std::uint8_t>(kMiddleParities | odd);
            }
        }
    }
}

bool RegionLocator::inEdgeBox(const DPoint3d& a, const DPoint3d& b, double u, double v) const {
    const double au = coordinate(a, u_), av = coordinate(a, v_), bu = coordinate(b, u_), bv = coordinate(b, v_);
    return std::min(au, bu) <= u && u <= std::max(au, bu) && std::min(av, bv) <= v && v <= std::max(av, bv);
}

// Shifting the segment from p to the middle m infinitesimally to its left
// moves it off every vertex and changes no parity at its ends (neither
// lies on a ring): it then crosses the edges with one end strictly left of
// the line pm and the other not, whose line leaves p and m on strict
// opposite sides. Those edges meet the segment, which lies in the cell, so
// they are registered there.
RegionLocator::CellPlace RegionLocator::placeInCell(double u, double v) const {
    if (cellCodes_.empty()) return CellPlace::unknown;
    const SegmentGrid& grid = index_->grid();
    const std::uint32_t c = grid.column(u), r = grid.row(v);
    const std::uint8_t code = cellCodes_[std::size_t{r} * grid.columns() + c];
    if (code == kEmptyOutside) return CellPlace::outside;
    if (code == kEmptyInside) return CellPlace::inside;
    if (code == kUnknownCell) return CellPlace::unknown;
    const double mu = grid.columnMiddle(c), mv = grid.rowMiddle(r);
    const double uLow = std::min(u, mu), uHigh = std::max(u, mu), vLow = std::min(v, mv), vHigh = std::max(v, mv);
    std::uint32_t odd = code & ~kMiddleParities;
    const bool offRings = index_->forEachInCells(u, u, v, v, [&](const PolygonRings::Edge& e) {
        const DPoint3d &a = rings_->vertices[e.from], &b = rings_->vertices[e.to];
        const double au = coordinate(a, u_), av = coordinate(a, v_), bu = coordinate(b, u_), bv = coordinate(b, v_);
        // An edge whose box misses the segment's (closed) box is apart
        // from it, shifted or not.
        if (std::max(au, bu) < uLow || std::min(au, bu) > uHigh || std::max(av, bv) < vLow || std::min(av, bv) > vHigh)
            return true;
        const int pointSide = kernel::orient2d(au, av, bu, bv, u, v);
        if (pointSide == 0 && inEdgeBox(a, b, u, v)) return false;
        if (pointSide * kernel::orient2d(au, av, bu, bv, mu, mv) >= 0) return true;
        if ((kernel::orient2d(u, v, mu, mv, au, av) > 0) != (kernel::orient2d(u, v, mu, mv, bu, bv) > 0))
            odd ^= std::uint32_t{1} << e.ring;
        return true;
    });
    if (!offRings) return CellPlace::onRing;
    return odd == 1 ? CellPlace::inside : CellPlace::outside;
}

// Near a ring (an edge within the error): for an exact point, on the ring,
// which puts it in the outer ring's closed region and out of a hole's open
// interior; otherwise unsure. Else the ring's parity decides.
RegionLocator::Place RegionLocator::verdict(Scratch& scratch, bool exactPoint, std::uint32_t skipRing) {
    std::vector<std::uint8_t>& state = scratch.state;
    std::vector<std::uint32_t>& touched = scratch.touched;
    bool outerIn = true, outerUnsure = false, removed = false, holeUnsure = false;
    if (skipRing != 0) {
        const std::uint8_t s = state[0];
        if (s & kNear) outerUnsure = !exactPoint;
        else outerIn = (s & kOdd) != 0;
    }
    for (std::uint32_t ring : touched) {
        const std::uint8_t s = state[ring];
        state[ring] = 0;
        if (ring == 0) continue;
        if (s & kNear) holeUnsure |= !exactPoint;
        else removed |= (s & kOdd) != 0;
    }
    touched.clear();
    if (!outerIn || removed) return Place::outside;
    return outerUnsure || holeUnsure ? Place::unsure : Place::inside;
}

bool RegionLocator::exactlyInside(const RationalImage& p, std::uint32_t skipRing) const {
    // Doubles next to p settle most edges without rational arithmetic:
    // |p - (pu, pv)| stays below eu, ev on each coordinate (a conversion
    // off by under an ulp, the bound rounded generously).
    const double pu = p.u.get_d(), pv = p.v.get_d();
    const double eu = std::fabs(pu) * 0x1p-51 + 0x1p-1070, ev = std::fabs(pv) * 0x1p-51 + 0x1p-1070;
    const double uLo = pu - eu, uHi = pu + eu, vLo = pv - ev, vHi = pv + ev;
    bool outerIn = skipRing == 0;
    for (std::uint32_t r = 0; r < rings_->ringCount(); ++r) {
        if (r == skipRing) continue;
        bool on = false, odd = false;
        rings_->forEachRingEdge(r, [&](const PolygonRings::Edge& e) {
            const DPoint3d &a = rings_->vertices[e.from], &b = rings_->vertices[e.to];
            const double au = coordinate(a, u_), av = coordinate(a, v_), bu = coordinate(b, u_), bv = coordinate(b, v_);
            const bool boxNear =
                !(std::max(au, bu) < uLo || std::min(au, bu) > uHi || std::max(av, bv) < vLo || std::min(av, bv) > vHi);
            // The sign of (b - a) x (p - a), exactly.
            const auto orientation = [&] {
                const mpq_class du = mpq_class(bu) - au, dv = mpq_class(bv) - av;
                return sgn(du * (p.v - av) - dv * (p.u - au));
            };
            if (boxNear && orientation() == 0 && p.u >= std::min(au, bu) && p.u <= std::max(au, bu) &&
                p.v >= std::min(av, bv) && p.v <= std::max(av, bv)) {
                on = true;
                return false;
            }
            // Half-open in v: an end counts as above when strictly above p.
            const auto above = [&](double c) { return c > vHi ? true : c < vLo ? false : p.v < c; };
            const bool aAbove = above(av), bAbove = above(bv);
            if (aAbove == bAbove) return true;
            bool ahead;
            if (std::min(au, bu) > uHi) ahead = true;
            else if (std::max(au, bu) < uLo) ahead = false;
            else ahead = (bv > av ? orientation() : -orientation()) > 0;
            odd ^= ahead;
            return true;
        });
        if (r == 0) {
            outerIn = on || odd;
            if (!outerIn) return false;
        } else if (!on && odd) {
            return false;
        }
    }
    return outerIn;
}

}  // namespace spatialgeom
