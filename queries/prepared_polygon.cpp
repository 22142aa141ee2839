#include "queries/prepared_polygon.h"

#include <algorithm>
#include <cmath>

#include "kernel/exact_predicates.h"
#include "kernel/range3d.h"
#include "queries/element_tests.h"
#include "queries/record_range.h"
#include "records/navigation.h"

namespace spatialgeom {

using kernel::Segment3d;

// Scanning every edge is cheaper than building the grid for the first few
// tests; after this many scans' worth of edges the grid pays for itself.
static constexpr std::uint64_t kScansBeforeIndex = 4;

PreparedPolygon::PreparedPolygon(const Byte* rings, double tolerance) : tolerance_(tolerance) {
    gatherRings(rings);
    findPlane();
    projectRings();
    edgeCount_ = static_cast<std::uint32_t>(feet_.size());
}

void PreparedPolygon::gatherRings(const Byte* rings) {
    forEachSublineSeq(rings, [&](const Byte* seq) {
        ringStart_.push_back(static_cast<std::uint32_t>(feet_.size()));
        forEachSubline(seq, [&](const Byte* subline) {
            const DPoint3d* v = sublineVertices(subline);
            feet_.insert(feet_.end(), v, v + sublineVertexCount(subline));
            return true;
        });
        return true;
    });
    ringStart_.push_back(static_cast<std::uint32_t>(feet_.size()));
    parity_.assign(ringStart_.size() - 1, 0);
    ringHasArea_.assign(ringStart_.size() - 1, 0);
}

void PreparedPolygon::findPlane() {
    if (ringStart_.size() < 2) return;
    const DPoint3d* outer = feet_.data() + ringStart_[0];
    const std::size_t count = ringStart_[1] - ringStart_[0];
    std::size_t triple[3];
    if (!kernel::spanningTriple(outer, count, triple)) return;
    for (int k = 0; k < 3; ++k) reference_[k] = outer[triple[k]];
    for (int axis = 0; axis < 3; ++axis) {
        const double value = kernel::coordinate(reference_[0], axis);
        if (value == kernel::coordinate(reference_[1], axis) &&
            value == kernel::coordinate(reference_[2], axis)) {
            flatAxis_ = axis;
            flatValue_ = value;
        }
    }
    exactPlane_ = true;  // for the test that follows
    exactPlane_ = allInExactPlane(outer, count);
    kernel::Vec3d normal{0.0, 0.0, 0.0};
    DPoint3d origin = outer[0];
    if (exactPlane_ && flatAxis_ >= 0) {
        // Newell's normal of a ring in a plane of constant coordinate is
        // that axis; its sign (the ring's orientation) decides no test.
        (flatAxis_ == 0 ? normal.x : flatAxis_ == 1 ? normal.y : normal.z) = 1.0;
    } else if (!kernel::polygonNormal(&normal, &origin, outer, count)) {
        // Signed areas that cancel: the plane of three of its vertices.
        if (!kernel::normalize(kernel::cross(reference_[1] - reference_[0], reference_[2] - reference_[0]), &normal)) {
            exactPlane_ = false;
            return;
        }
    }
    plane_ = {origin, normal};
    droppedAxis_ = kernel::dominantAxis(normal);
    hasArea_ = true;
    ringHasArea_[0] = 1;
}

bool PreparedPolygon::onFlatPlane(const DPoint3d& p) const {
    return flatAxis_ >= 0 && kernel::coordinate(p, flatAxis_) == flatValue_;
}

bool PreparedPolygon::allInExactPlane(const DPoint3d* points, std::size_t count) const {
    if (count == 0) return true;
    if (!exactPlane_) return false;
    if (flatAxis_ >= 0) {  // one comparison per point, in a loop the compiler keeps tight
        const auto all = [&](double DPoint3d::*coordinate) {
            bool on = true;
            for (std::size_t i = 0; i < count; ++i) on &= points[i].*coordinate == flatValue_;
            return on;
        };
        return all(flatAxis_ == 0 ? &DPoint3d::x : flatAxis_ == 1 ? &DPoint3d::y : &DPoint3d::z);
    }
    for (std::size_t i = 0; i < count; ++i)
        if (!inExactPlane(points[i])) return false;
    return true;
}

bool PreparedPolygon::inExactPlane(const DPoint3d& p) const {
    if (!exactPlane_) return false;
    if (flatAxis_ >= 0) return onFlatPlane(p);
    return kernel::orient3d(reference_[0], reference_[1], reference_[2], p) == 0;
}

void PreparedPolygon::projectRings() {
    if (!hasArea_) return;
    flat_ = exactPlane_ && flatAxis_ >= 0;
    for (std::size_t r = 1; r + 1 < ringStart_.size(); ++r) {
        DPoint3d* ring = feet_.data() + ringStart_[r];
        const std::size_t count = ringStart_[r + 1] - ringStart_[r];
        const bool exact = allInExactPlane(ring, count);
        flat_ = flat_ && exact;
        if (!exact)
            for (std::size_t i = 0; i < count; ++i) ring[i] = kernel::projectOntoPlane(plane_, ring[i]);
        std::size_t triple[3];
        ringHasArea_[r] = kernel::spanningTriple(ring, count, triple);
    }
    if (!exactPlane_) {
        for (std::uint32_t i = ringStart_[0]; i < ringStart_[1]; ++i)
            feet_[i] = kernel::projectOntoPlane(plane_, feet_[i]);
    }
}

Segment3d PreparedPolygon::edgeSegmentAt(std::uint32_t i) const {
    // The ring holding vertex i: the last one starting at or before it.
    const std::size_t ring = std::upper_bound(ringStart_.begin(), ringStart_.end(), i) - ringStart_.begin() - 1;
    return {feet_[i], feet_[i + 1 < ringStart_[ring + 1] ? i + 1 : ringStart_[ring]]};
}

const DRange3d& PreparedPolygon::widenedBox() const {
    if (!boxMeasured_ && !feet_.empty()) {
        RunningRange all;
        all.addVertices(feet_.data(), edgeCount_);
        widenedBox_ = kernel::widenedBox(all.box(), tolerance_);
    }
    boxMeasured_ = true;
    return widenedBox_;
}

void PreparedPolygon::indexEdgesWhenWorthIt() {
    if (indexed_ || scannedEdges_ < kScansBeforeIndex * edgeCount_) return;
    RunningRange all;
    edges_.reserve(edgeCount_);
    edgeBoxes_.reserve(edgeCount_);
    forEachEdge([&](const Edge& edge) {
        edges_.push_back(edge);
        edgeBoxes_.push_back(kernel::widenedBox(
            kernel::boxOfPoints(feet_[edge.from], feet_[edge.to]), tolerance_));
        all.add(feet_[edge.from]);
        return true;
    });
    int uAxis = (droppedAxis_ + 1) % 3, vAxis = (droppedAxis_ + 2) % 3;
    if (!hasArea_) SegmentGrid::largestExtentAxes(all.box(), &uAxis, &vAxis);
    grid_.build(edgeBoxes_, uAxis, vAxis);
    indexed_ = true;
}

bool PreparedPolygon::boundaryMeets(const Segment3d& segment) {
    const DRange3d box = kernel::boxOfPoints(segment.start, segment.end);
    indexEdgesWhenWorthIt();
    if (indexed_)
        return !grid_.forEachOverlapping(
            box, [&](std::uint32_t i) { return !segmentsWithin(edgeSegment(edges_[i]), segment, tolerance_); });
    scannedEdges_ += edgeCount_;
    return !forEachEdge([&](const Edge& e) {
        return !kernel::widenedSegmentOverlaps(feet_[e.from], feet_[e.to], tolerance_, box) ||
               !segmentsWithin(edgeSegment(e), segment, tolerance_);
    });
}

int PreparedPolygon::side(const DPoint3d& p) const {
    if (exactPlane_ && onFlatPlane(p)) return 0;
    if (exactPlane_) return kernel::orient3d(reference_[0], reference_[1], reference_[2], p);
    const double h = kernel::signedDistance(plane_, p);
    return (h > 0.0) - (h < 0.0);
}

bool PreparedPolygon::crossesInterior(const Segment3d& segment) {
    if (side(segment.start) * side(segment.end) >= 0) return false;
    const double hs = kernel::signedDistance(plane_, segment.start);
    const double he = kernel::signedDistance(plane_, segment.end);
    double f = hs / (hs - he);
    if (!(f >= 0.0)) f = 0.0;  // also NaN
    if (f > 1.0) f = 1.0;
    const DPoint3d crossing = segment.start + f * (segment.end - segment.start);
    return insideRegion(kernel::projectOntoPlane(plane_, crossing));
}

bool PreparedPolygon::interiorMeetsPoint(const DPoint3d& p) {
    if (inExactPlane(p)) return insideRegion(p);
    const double h = kernel::signedDistance(plane_, p);
    if (!(std::fabs(h) <= tolerance_)) return false;
    return insideRegion(p - h * plane_.normal);
}

// Flips the parity of each ring for every edge crossing a ray from foot
// along a grid axis: through the grid's cells towards its nearest side once
// the edges are indexed, otherwise over every edge along +u. For a foot off
// the boundary every ray gives the same parities.
void PreparedPolygon::countRayCrossings(const DPoint3d& foot) {
    const int u = (droppedAxis_ + 1) % 3, v = (droppedAxis_ + 2) % 3;
    const auto flipCrossed = [&](const Edge& e, bool alongU, bool positive) {
        // Edges not straddling the ray's line cross no ray on it (tested
        // here first: most edges do not).
        const int across = alongU ? v : u;
        const double from = kernel::coordinate(feet_[e.from], across);
        const double to = kernel::coordinate(feet_[e.to], across);
        const double at = kernel::coordinate(foot, across);
        if ((from > at) == (to > at)) return true;
        if (kernel::edgeCrossesAxisRay(feet_[e.from], feet_[e.to], foot, alongU ? u : v, alongU ? v : u, positive) &&
            (parity_[e.ring] ^= 1))
            oddRings_.push_back(e.ring);
        return true;
    };
    if (!indexed_) {
        scannedEdges_ += edgeCount_;
        forEachEdge([&](const Edge& e) { return flipCrossed(e, true, true); });
        return;
    }
    const double fu = kernel::coordinate(foot, u), fv = kernel::coordinate(foot, v);
    // Cast the ray towards the nearest side of the grid: fewest cells.
    const std::uint32_t column = grid_.column(fu), row = grid_.row(fv);
    const std::uint32_t cells[4] = {grid_.columns() - column, column + 1, grid_.rows() - row, row + 1};
    const int ray = static_cast<int>(std::min_element(cells, cells + 4) - cells);
    const bool alongU = ray < 2, positive = ray % 2 == 0;
    const double lowU = alongU && !positive ? -INFINITY : fu, highU = alongU && positive ? INFINITY : fu;
    const double lowV = !alongU && !positive ? -INFINITY : fv, highV = !alongU && positive ? INFINITY : fv;
    grid_.forEachInCells(lowU, highU, lowV, highV, [&](std::uint32_t i) { return flipCrossed(edges_[i], alongU, positive); });
}

bool PreparedPolygon::insideRegion(const DPoint3d& foot) {
    indexEdgesWhenWorthIt();
    countRayCrossings(foot);
    bool inside = parity_[0] != 0;
    for (std::uint32_t ring : oddRings_) {
        if (ring != 0 && parity_[ring] && ringHasArea_[ring]) inside = false;
    }
    for (std::uint32_t ring : oddRings_) parity_[ring] = 0;
    oddRings_.clear();
    return inside;
}

// A segment in the plane of a flat polygon that meets no boundary edge
// lies wholly inside or wholly outside the region, so its start decides;
// a chain's next segment starting where an outside one ended is outside.
bool PreparedPolygon::flatSegmentMeetsInterior(const Segment3d& segment) {
    const bool knownOutside = hasOutsideChainEnd_ && segment.start.x == outsideChainEnd_.x &&
                              segment.start.y == outsideChainEnd_.y && segment.start.z == outsideChainEnd_.z;
    if (!knownOutside && insideRegion(segment.start)) return true;
    outsideChainEnd_ = segment.end;
    hasOutsideChainEnd_ = true;
    return false;
}

bool PreparedPolygon::meetsSegment(const Segment3d& segment) {
    if (feet_.empty()) return false;
    const DRange3d box = kernel::boxOfPoints(segment.start, segment.end);
    if (!kernel::boxesOverlap(widenedBox(), box)) return false;
    if (boundaryMeets(segment)) return true;
    if (!hasArea_) return false;
    if (flat_ && onFlatPlane(segment.start) && onFlatPlane(segment.end)) return flatSegmentMeetsInterior(segment);
    return crossesInterior(segment) || interiorMeetsPoint(segment.start) || interiorMeetsPoint(segment.end);
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
    for (std::uint32_t r = 0; r + 1 < ringStart_.size(); ++r) {
        const std::uint32_t first = ringStart_[r], end = ringStart_[r + 1];
        bool odd = false;
        for (std::uint32_t i = first; i < end; ++i) {
            const DPoint3d& a = feet_[i];
            const DPoint3d& b = feet_[i + 1 < end ? i + 1 : first];
            const double av = coordinate(a, V), bv = coordinate(b, V);
            const double vLow = bv < av ? bv : av, vHigh = bv > av ? bv : av;
            // Most edges end here: an edge the ray crosses also passes this.
            if (vLow - tolerance_ > pvUp || pvDown > vHigh + tolerance_) continue;
            const double au = coordinate(a, U), bu = coordinate(b, U);
            const double uLow = bu < au ? bu : au, uHigh = bu > au ? bu : au;
            if (uLow - tolerance_ <= puUp && puDown <= uHigh + tolerance_ && segmentsWithin({a, b}, point, tolerance_))
                return true;
            if ((av > pv) != (bv > pv)) odd ^= kernel::edgeCrossesAxisRay(a, b, p, U, V, true) != 0;
        }
        if (r == 0) outerOdd = odd;
        else if (odd && ringHasArea_[r]) inHole = true;
    }
    return hasArea_ && outerOdd && !inHole;
}

bool PreparedPolygon::meetsFlatPoint(const DPoint3d& p) {
    switch (flatAxis_) {
        case 0: return meetsFlatPointIn<1, 2>(p);
        case 1: return meetsFlatPointIn<2, 0>(p);
        default: return meetsFlatPointIn<0, 1>(p);
    }
}

bool PreparedPolygon::meetsEdgesOf(const PreparedPolygon& other) {
    return !other.forEachEdge([&](const Edge& e) { return !meetsSegment(other.edgeSegment(e)); });
}

bool PreparedPolygon::meetsPolygon(PreparedPolygon& other) {
    if (feet_.empty() || other.feet_.empty()) return false;
    if (!kernel::boxesOverlap(widenedBox(), other.widenedBox())) return false;
    return meetsEdgesOf(other) || other.meetsEdgesOf(*this);
}

}  // namespace spatialgeom
