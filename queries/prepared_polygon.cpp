#include "queries/prepared_polygon.h"

#include <algorithm>
#include <cmath>

#include "kernel/exact_predicates.h"
#include "kernel/plane_frame.h"
#include "kernel/range3d.h"
#include "queries/element_tests.h"
#include "queries/filter_bounds.h"
#include "queries/record_range.h"

namespace spatialgeom {
namespace {

using kernel::RationalPoint;
using kernel::Segment3d;
using Place = RegionLocator::Place;

enum class Verdict { no, yes, unsure };

// Is the distance between the exact segments at most t, each exact end
// within `radius` (in all) of its computed one? Moving the ends of a
// segment by at most r moves each of its points by at most r, so the
// distance moves by at most radius: beyond t + radius computed, beyond t
// exactly; within t - radius computed, within t exactly (both tolerances
// rounded outwards; segmentsWithin is exact for the computed segments).
Verdict segmentsWithinRadius(const Segment3d& a, const Segment3d& b, double radius, double t) {
    if (radius == 0.0) return segmentsWithin(a, b, t) ? Verdict::yes : Verdict::no;
    if (!segmentsWithin(a, b, kernel::nextUp(t + radius))) return Verdict::no;
    if (t >= radius && segmentsWithin(a, b, kernel::nextDown(t - radius))) return Verdict::yes;
    return Verdict::unsure;
}

}  // namespace

// The questions an element left open in floating point, settled exactly
// when no floating-point test found a meeting.
struct PreparedPolygon::Deferred {
    enum Foot : std::uint8_t { none, distance, distanceAndPlace };
    ScratchVector<Edge> edges;
    ScratchVector<LiftedBoundary::Piece> pieces;
    bool crossing = false;
    Foot foot[2] = {none, none};

    bool empty() const { return edges.empty() && pieces.empty() && !crossing && foot[0] == none && foot[1] == none; }
};

PreparedPolygon::PreparedPolygon(const Byte* rings, double tolerance, const PolygonFacts& facts)
    : tolerance_(tolerance),
      own_(std::in_place),
      parts_(*own_),
      rings_(parts_.rings),
      plane_(parts_.plane),
      index_(parts_.index),
      locator_(parts_.locator),
      lifted_(parts_.lifted) {
    rings_.gather(rings);
    if (facts.box != nullptr) {
        vertexBox_ = *facts.box;
        vertexBoxKnown_ = true;
    }
    // A polygon with a coordinate that is not finite is its polylines.
    if (rings_.ringCount() > 0 && (facts.finite || filter::allFinite(rings_.vertices.data(), rings_.vertices.size())))
        plane_.find(rings_.ring(0), rings_.ringSize(0));
    index_.attach(&rings_, plane_.uAxis(), plane_.vAxis());
    if (!plane_.hasRegion()) return;
    locator_.attach(&rings_, &index_, plane_.uAxis(), plane_.vAxis());
    lifted_.prepare(&rings_, &plane_, &locator_, &index_);
    flat_ = plane_.kind() == PolygonPlane::Kind::flat && !lifted_.any();
}

PreparedPolygon::PreparedPolygon(PreparedPolygon& shared, double tolerance)
    : tolerance_(tolerance),
      parts_(shared.parts_),
      rings_(parts_.rings),
      plane_(parts_.plane),
      index_(parts_.index),
      locator_(parts_.locator),
      lifted_(parts_.lifted),
      flat_(shared.flat_) {}

void PreparedPolygon::share() {
    if (parts_.shared) return;
    if (hasVertices()) {
        RunningRange all;
        all.addVertices(rings_.vertices.data(), rings_.edgeCount());
        parts_.box = all.box();
        lifted_.widenRange(parts_.box);
        if (!index_.built()) indexEdges();
        if (lifted_.indexNeeded()) {
            rings_.forEachEdge([&](const Edge& e) {
                return lifted_.forEachPiece(e, [](const LiftedBoundary::Piece&) { return true; });
            });
        }
        if (plane_.hasRegion()) {
            plane_.refinedDistance(rings_.vertices[0]);
            plane_.exactSide(kernel::toRational(rings_.vertices[0]));
        }
        index_.freeze();
        if (plane_.hasRegion()) locator_.tabulateCells();
    }
    parts_.shared = true;
}

std::size_t PreparedPolygon::memoryBytes() const {
    return sizeof(PreparedPolygon) + rings_.vertices.capacity() * sizeof(DPoint3d) +
           rings_.ringStart.capacity() * sizeof(std::uint32_t) + index_.memoryBytes() + lifted_.memoryBytes() +
           locator_.memoryBytes();
}

const DRange3d& PreparedPolygon::widenedBox() const {
    if (!boxMeasured_ && hasVertices()) {
        DRange3d box = parts_.box;
        if (!parts_.shared) {
            if (vertexBoxKnown_) {
                box = vertexBox_;
            } else {
                RunningRange all;
                all.addVertices(rings_.vertices.data(), rings_.edgeCount());
                box = all.box();
            }
            lifted_.widenRange(box);
        }
        widenedBox_ = kernel::widenedBox(box, tolerance_);
    }
    boxMeasured_ = true;
    return widenedBox_;
}

// Each edge under the box of its stored and lifted ends (the latter
// widened by their error), widened by the tolerance; a polygon without a
// region is gridded on the two axes of its largest extent.
void PreparedPolygon::indexEdges() {
    if (!plane_.hasRegion()) {
        RunningRange all;
        all.addVertices(rings_.vertices.data(), rings_.edgeCount());
        int uAxis = 0, vAxis = 1;
        SegmentGrid::largestExtentAxes(all.box(), &uAxis, &vAxis);
        index_.attach(&rings_, uAxis, vAxis);
    }
    index_.build([&](const Edge& e) {
        DRange3d box = kernel::boxOfPoints(rings_.vertices[e.from], rings_.vertices[e.to]);
        if (lifted_.any() && lifted_.lifted(e.ring)) {
            const Segment3d l = lifted_.liftedEdge(e);
            box = kernel::unitedBox(box, kernel::widenedBox(kernel::boxOfPoints(l.start, l.end), lifted_.radius(e)));
        }
        return kernel::widenedBox(box, tolerance_);
    });
}

void PreparedPolygon::indexEdgesWhenWorthIt() {
    if (index_.worthBuilding()) indexEdges();
}

template <typename Visit>
bool PreparedPolygon::forEachPiece(const Edge& e, Visit&& visit) {
    if (lifted_.indexNeeded() && !index_.built()) indexEdges();
    return lifted_.forEachPiece(e, visit);
}

bool PreparedPolygon::meetsSegment(const Segment3d& segment) { return meetsProbe(Probe{segment, 0.0, {}}); }

bool PreparedPolygon::meetsProbe(const Probe& probe) {
    if (!hasVertices()) return false;
    const Segment3d& s = probe.segment;
    DRange3d box = kernel::boxOfPoints(s.start, s.end);
    if (probe.radius > 0.0) box = kernel::widenedBox(box, probe.radius);
    if (!kernel::boxesOverlap(widenedBox(), box)) return false;
    indexEdgesWhenWorthIt();
    Deferred deferred;
    if (boundaryMeets(probe, box, deferred)) return true;
    if (plane_.hasRegion() && finite(s)) {
        // (No question is left open here: exact ends, no lifted edges.)
        if (flat_ && probe.radius == 0.0 && plane_.side(s.start) == 0 && plane_.side(s.end) == 0)
            return flatSegmentMeetsInterior(s);
        if (regionMeets(probe, deferred)) return true;
    }
    return settle(probe, deferred);
}

// The stored edges near the element, and the lifted pieces of the edges
// whose lifted box comes near it.
bool PreparedPolygon::boundaryMeets(const Probe& probe, const DRange3d& box, Deferred& deferred) {
    const Segment3d& s = probe.segment;
    const double t = tolerance_;
    const bool withLifted = lifted_.any();
    const int k = plane_.axis(), u = plane_.uAxis(), v = plane_.vAxis();
    using kernel::coordinate;
    // kernel::widenedSegmentOverlaps one axis at a time: a stored edge and
    // its lift share the two image axes, and most edges end at the first.
    const auto overlaps = [&](double p, double q, double distance, int axis) __attribute__((always_inline)) {
        return kernel::nextDown(kernel::minOf(p, q) - distance) <= coordinate(box.high, axis) &&
               coordinate(box.low, axis) <= kernel::nextUp(kernel::maxOf(p, q) + distance);
    };
    const auto meets = [&](const Edge& e) __attribute__((always_inline)) {
        const DPoint3d& a = rings_.vertices[e.from];
        const DPoint3d& b = rings_.vertices[e.to];
        if (!overlaps(coordinate(a, u), coordinate(b, u), t, u) || !overlaps(coordinate(a, v), coordinate(b, v), t, v))
            return false;
        if (overlaps(coordinate(a, k), coordinate(b, k), t, k)) {
            const Verdict verdict = segmentsWithinRadius({a, b}, s, probe.radius, t);
            if (verdict == Verdict::yes) return true;
            if (verdict == Verdict::unsure) deferred.edges.push_back(e);
        }
        if (!withLifted || !lifted_.lifted(e.ring)) return false;
        const Segment3d l = lifted_.liftedEdge(e);
        if (!overlaps(coordinate(l.start, k), coordinate(l.end, k), kernel::nextUp(t + lifted_.radius(e)), k))
            return false;
        return !forEachPiece(e, [&](const LiftedBoundary::Piece& piece) {
            const Verdict verdict = segmentsWithinRadius(piece.segment, s, probe.radius + piece.radius, t);
            if (verdict == Verdict::unsure) deferred.pieces.push_back(piece);
            return verdict != Verdict::yes;
        });
    };
    // (A shared index holds the edges' boxes unwidened.)
    if (index_.built())
        return !index_.forEachOverlapping(parts_.shared ? kernel::widenedBox(box, t) : box,
                                          [&](const Edge& e) { return !meets(e); });
    index_.countScan();
    return !rings_.forEachEdge([&](const Edge& e) { return !meets(e); });
}

// The region, for an element that meets no boundary edge: it crosses the
// plane strictly at a point of the region, or an end's foot lies in the
// region within tolerance. (Otherwise the nearest points of the element
// and the region include an end of the element or a point of the region's
// boundary, which boundaryMeets has measured.)
bool PreparedPolygon::regionMeets(const Probe& probe, Deferred& deferred) {
    const Segment3d& s = probe.segment;
    const double r = probe.radius;
    const bool point = r == 0.0 && s.start == s.end;
    End ends[2] = {{s.start, 0, plane_.distance(s.start, r)}, {s.end, 1, {}}};
    ends[1].d = point ? ends[0].d : plane_.distance(s.end, r);
    if (!point) {
        // Strictly opposite sides: the filtered distances rule out most
        // segments, exact sides decide the others.
        const auto surelyAbove = [](const Estimate& d) { return d.value - d.error > 0.0; };
        const auto surelyBelow = [](const Estimate& d) { return d.value + d.error < 0.0; };
        const bool sameSide =
            (surelyAbove(ends[0].d) && surelyAbove(ends[1].d)) || (surelyBelow(ends[0].d) && surelyBelow(ends[1].d));
        if (!sameSide && side(probe, ends[0]) * side(probe, ends[1]) < 0) {
            const double a = std::fabs(ends[0].d.value), b = std::fabs(ends[1].d.value);
            if (!(ends[0].d.error + ends[1].d.error <= 0x1p-20 * (a + b))) {
                sharpen(probe, ends[0]);
                sharpen(probe, ends[1]);
            }
            const PlaneImage x = plane_.crossingImage(s, ends[0].d, ends[1].d, r);
            const Place place = locator_.locate(x.u, x.v, x.error);
            if (place == Place::inside) return true;
            if (place == Place::unsure) deferred.crossing = true;
        }
    }
    if (footMeets(probe, ends[0], deferred)) return true;
    return !point && footMeets(probe, ends[1], deferred);
}

// The end's distance made as precise as the filters can: refined for an
// exact end, measured through the other plane for a lifted vertex.
void PreparedPolygon::sharpen(const Probe& probe, End& end) {
    if (end.sharpened) return;
    end.sharpened = true;
    Estimate sharper{0.0, INFINITY};
    if (probe.radius == 0.0) sharper = plane_.refinedDistance(end.p);
    else if (probe.liftedFrom != nullptr) sharper = plane_.liftedDistance(probe.stored[end.index], *probe.liftedFrom);
    if (sharper.error < end.d.error) end.d = sharper;
}

// The exact side of the end: the predicates for an exact end of a flat or
// planar polygon; otherwise its distance when it decides, sharpened if need
// be, else rational arithmetic.
int PreparedPolygon::side(const Probe& probe, End& end) {
    if (end.side != kUnknownSide) return end.side;
    const auto sign = [](double v) { return (v > 0.0) - (v < 0.0); };
    if (probe.radius == 0.0 && plane_.kind() != PolygonPlane::Kind::skew) {
        end.side = plane_.side(end.p);  // a comparison or orient3d
    } else if (std::fabs(end.d.value) > end.d.error) {
        end.side = sign(end.d.value);
    } else {
        sharpen(probe, end);
        if (std::fabs(end.d.value) > end.d.error) {
            end.side = sign(end.d.value);
        } else {
            filter::countExactDecision();
            end.side = plane_.exactSide(probe.radius == 0.0 ? kernel::toRational(end.p)
                                        : end.index == 0    ? probe.exact().start
                                                            : probe.exact().end);
        }
    }
    return end.side;
}

// Does the end's foot lie in the region within tolerance?
bool PreparedPolygon::footMeets(const Probe& probe, End& end, Deferred& deferred) {
    const double t = tolerance_, r = probe.radius;
    const DPoint3d& p = end.p;
    const double pu = kernel::coordinate(p, plane_.uAxis()), pv = kernel::coordinate(p, plane_.vAxis());
    if (t == 0.0) {
        // Only an end in the plane, where it is its own foot. Its exact side
        // may need the refined normal, an O(vertices) sum once per polygon:
        // until that is at hand the place (a scan) goes first.
        if (std::fabs(end.d.value) > end.d.error) return false;
        const bool sideFirst = plane_.refinedAtHand();
        if (sideFirst && side(probe, end) != 0) return false;
        const Place place = locator_.locate(pu, pv, r);
        if (place == Place::outside || (!sideFirst && side(probe, end) != 0)) return false;
        if (place == Place::inside) return true;
        deferred.foot[end.index] = Deferred::distanceAndPlace;
        return false;
    }
    if (filter::certainlyBeyond(end.d.value, end.d.error, t)) return false;
    const PlaneImage foot = plane_.footImage(p, end.d, r);
    const Place place = locator_.locate(foot.u, foot.v, foot.error);
    if (place == Place::outside) return false;
    if (!filter::certainlyWithin(end.d.value, end.d.error, t)) {
        sharpen(probe, end);
        if (filter::certainlyBeyond(end.d.value, end.d.error, t)) return false;
    }
    if (place == Place::inside && filter::certainlyWithin(end.d.value, end.d.error, t)) return true;
    deferred.foot[end.index] = place == Place::inside ? Deferred::distance : Deferred::distanceAndPlace;
    return false;
}

bool PreparedPolygon::settle(const Probe& probe, Deferred& deferred) {
    if (deferred.empty()) return false;
    // Rational arithmetic cannot take a coordinate that is not finite: such
    // pairs get the floating answer, as two segments do (element_tests.h).
    // (The region was not tested for such a probe, and a polygon with such
    // a vertex has no region and no lifted pieces.)
    const auto floatingMeets = [&](const Segment3d& s) {
        return kernel::segmentDistance(probe.segment, s) <= tolerance_;
    };
    if (!finite(probe.segment)) {
        for (const Edge& e : deferred.edges)
            if (floatingMeets(rings_.segment(e))) return true;
        for (const LiftedBoundary::Piece& piece : deferred.pieces)
            if (floatingMeets(piece.segment)) return true;
        return false;
    }
    const ExactSegment ends = probe.radius == 0.0 ? ExactSegment{kernel::toRational(probe.segment.start),
                                                                 kernel::toRational(probe.segment.end)}
                                                  : probe.exact();
    const mpq_class t(tolerance_), squared = t * t;
    for (const Edge& e : deferred.edges) {
        const Segment3d edge = rings_.segment(e);
        if (!finite(edge)) {
            if (floatingMeets(edge)) return true;
            continue;
        }
        filter::countExactDecision();
        if (kernel::squaredSegmentDistance(ends.start, ends.end, kernel::toRational(edge.start),
                                           kernel::toRational(edge.end)) <= squared)
            return true;
    }
    for (const LiftedBoundary::Piece& piece : deferred.pieces) {
        filter::countExactDecision();
        const auto [a, b] = lifted_.exactEnds(piece);
        if (kernel::squaredSegmentDistance(ends.start, ends.end, a, b) <= squared) return true;
    }
    if (deferred.crossing) {
        filter::countExactDecision();
        if (locator_.exactlyInside(plane_.exactCrossingImage(ends.start, ends.end))) return true;
    }
    for (int end = 0; end < 2; ++end) {
        if (deferred.foot[end] == Deferred::none) continue;
        filter::countExactDecision();
        const RationalPoint& p = end == 0 ? ends.start : ends.end;
        if (!plane_.exactlyWithin(p, tolerance_)) continue;
        if (deferred.foot[end] == Deferred::distance || locator_.exactlyInside(plane_.exactFootImage(p))) return true;
    }
    return false;
}

bool PreparedPolygon::containsOffBoundary(const DPoint3d& p) {
    if (!plane_.hasRegion()) return false;
    indexEdgesWhenWorthIt();
    return locator_.locateOffBoundary(kernel::coordinate(p, plane_.uAxis()), kernel::coordinate(p, plane_.vAxis())) ==
           Place::inside;
}

// A segment in the plane of a flat polygon that meets no boundary edge
// lies wholly inside or wholly outside the region, so its start decides;
// a chain's next segment starting where an outside one ended is outside.
bool PreparedPolygon::flatSegmentMeetsInterior(const Segment3d& segment) {
    const bool knownOutside = hasOutsideChainEnd_ && segment.start == outsideChainEnd_;
    if (!knownOutside && containsOffBoundary(segment.start)) return true;
    outsideChainEnd_ = segment.end;
    hasOutsideChainEnd_ = true;
    return false;
}

// U and V are the plane's axes, fixed at compile time so that the loop
// reads coordinates without selecting them.
template <int U, int V>
bool PreparedPolygon::meetsFlatPointIn(const DPoint3d& p) {
    using kernel::coordinate;
    const double pu = coordinate(p, U), pv = coordinate(p, V);
    // The edge's widened box holds p exactly when its box grown by the
    // tolerance (unrounded) reaches p's coordinates stepped outwards:
    // nextDown(x) <= y if and only if x <= nextUp(y).
    const double puUp = kernel::nextUp(pu), puDown = kernel::nextDown(pu);
    const double pvUp = kernel::nextUp(pv), pvDown = kernel::nextDown(pv);
    const Segment3d point{p, p};
    bool outerOdd = false, inHole = false;
    for (std::uint32_t r = 0; r < rings_.ringCount(); ++r) {
        const std::uint32_t first = rings_.ringStart[r], end = rings_.ringStart[r + 1];
        bool odd = false;
        for (std::uint32_t i = first; i < end; ++i) {
            const DPoint3d& a = rings_.vertices[i];
            const DPoint3d& b = rings_.vertices[i + 1 < end ? i + 1 : first];
            const double av = coordinate(a, V), bv = coordinate(b, V);
            const double vLow = bv < av ? bv : av, vHigh = bv > av ? bv : av;
            // Most edges end here: an edge the ray crosses also passes this.
            if (vLow - tolerance_ > pvUp || pvDown > vHigh + tolerance_) continue;
            const double au = coordinate(a, U), bu = coordinate(b, U);
            const double uLow = bu < au ? bu : au, uHigh = bu > au ? bu : au;
            if (uLow - tolerance_ <= puUp && puDown <= uHigh + tolerance_ && segmentsWithin({a, b}, point, tolerance_))
                return true;
            if ((av > pv) != (bv > pv)) {
                if (!filter::predicateSafe(a) || !filter::predicateSafe(b)) return meetsSegment(point);
                odd ^= kernel::edgeCrossesAxisRay(a, b, p, U, V, true) != 0;
            }
        }
        // (A point off a hole without area has even parity on it.)
        if (r == 0) outerOdd = odd;
        else if (odd) inHole = true;
    }
    return plane_.hasRegion() && outerOdd && !inHole;
}

bool PreparedPolygon::meetsFlatPoint(const DPoint3d& p) {
    // Its ray parity needs the orientation predicates; a shared polygon
    // has its index at hand.
    if (!filter::predicateSafe(p) || parts_.shared) return meetsSegment({p, p});
    switch (plane_.axis()) {
        case 0: return meetsFlatPointIn<1, 2>(p);
        case 1: return meetsFlatPointIn<2, 0>(p);
        default: return meetsFlatPointIn<0, 1>(p);
    }
}

std::optional<bool> PreparedPolygon::sharedFlatPointMeets(const DPoint3d& p, double tolerance) const {
    if (!parts_.shared || !flat_ || !index_.predicateSafe() || !filter::predicateSafe(p)) return std::nullopt;
    if (!plane_.flatPlane()->holds(p)) {
        if (tolerance == 0.0) return false;
        return std::nullopt;
    }
    using kernel::nextDown;
    using kernel::nextUp;
    const double u = kernel::coordinate(p, plane_.uAxis()), v = kernel::coordinate(p, plane_.vAxis());
    if (tolerance == 0.0) {
        const RegionLocator::CellPlace place = locator_.placeInCell(u, v);
        if (place != RegionLocator::CellPlace::unknown) return place != RegionLocator::CellPlace::outside;
    }
    const Segment3d point{p, p};
    // Within a tolerance of 0: on the edge, which lies in p's plane.
    const auto within = [&](const DPoint3d& a, const DPoint3d& b) {
        if (tolerance > 0.0) return segmentsWithin({a, b}, point, tolerance);
        const double au = kernel::coordinate(a, plane_.uAxis()), av = kernel::coordinate(a, plane_.vAxis());
        const double bu = kernel::coordinate(b, plane_.uAxis()), bv = kernel::coordinate(b, plane_.vAxis());
        return std::min(au, bu) <= u && u <= std::max(au, bu) && std::min(av, bv) <= v && v <= std::max(av, bv) &&
               kernel::orient2d(au, av, bu, bv, u, v) == 0;
    };
    const bool nearEdge = !index_.forEachInCells(
        nextDown(u - tolerance), nextUp(u + tolerance), nextDown(v - tolerance), nextUp(v + tolerance),
        [&](const Edge& e) { return !within(rings_.vertices[e.from], rings_.vertices[e.to]); });
    return nearEdge || locator_.locateOffBoundary(u, v) == Place::inside;
}

bool PreparedPolygon::meetsStoredEdgesOf(const PreparedPolygon& other) {
    return !other.rings_.forEachEdge([&](const Edge& e) { return !meetsSegment(other.rings_.segment(e)); });
}

bool PreparedPolygon::meetsLiftedEdgesOf(PreparedPolygon& other) {
    if (!other.lifted_.any()) return false;
    return !other.rings_.forEachEdge([&](const Edge& e) {
        if (!other.lifted_.lifted(e.ring)) return true;
        const Segment3d l = other.lifted_.liftedEdge(e);
        const DRange3d box = kernel::widenedBox(kernel::boxOfPoints(l.start, l.end), other.lifted_.radius(e));
        if (!kernel::boxesOverlap(widenedBox(), box)) return true;
        return other.forEachPiece(e, [&](const LiftedBoundary::Piece& piece) {
            const LiftedBoundary* source = &other.lifted_;
            const LiftedBoundary::Piece* at = &piece;
            Probe probe{piece.segment, piece.radius, [source, at] {
                            auto [a, b] = source->exactEnds(*at);
                            return ExactSegment{std::move(a), std::move(b)};
                        }};
            if (piece.cut == LiftedBoundary::kWhole) {
                probe.liftedFrom = &other.plane_;
                probe.stored[0] = other.rings_.vertices[e.from];
                probe.stored[1] = other.rings_.vertices[e.to];
            }
            return !meetsProbe(probe);
        });
    });
}

bool PreparedPolygon::meetsPolygon(PreparedPolygon& other) {
    if (!hasVertices() || !other.hasVertices()) return false;
    if (!kernel::boxesOverlap(widenedBox(), other.widenedBox())) return false;
    if (meetsStoredEdgesOf(other) || other.meetsStoredEdgesOf(*this)) return true;
    return meetsLiftedEdgesOf(other) || other.meetsLiftedEdgesOf(*this);
}

}  // namespace spatialgeom
