// A polygon (a ring sequence: outer ring, then holes) prepared once per
// intersection call and then tested against any number of points,
// segments and other polygons without further allocation.
//
// The polygon is the closed region of its outer ring in the plane of that
// ring (Newell normal through its first vertex), minus the open interiors
// of its holes projected into that plane; the boundary of every ring
// belongs to it. A ring is all vertices of its sublines in order, closed
// from the last to the first. A ring lying exactly in the plane (decided by
// exact predicates) keeps its stored vertices; others are projected. When
// the outer ring has no area (no three non-collinear vertices) the polygon
// is the closed polylines of its rings, as stored. A hole without area
// removes nothing. Rings without vertices add nothing.
//
// Containment in the plane is decided in the axis-plane frame (the
// coordinate of the normal's largest component dropped) with exact
// orientation predicates, one ring at a time (a point inside two
// overlapping holes is outside).
//
// Cost: preparing is a copy of the vertices and one pass over them,
// without exact predicates and without Newell's normal when the outer ring
// lies in a plane of constant x, y or z. The first few tests scan every
// edge; once the scans have cost a few times the edge count, a grid over
// the edges is built and later tests cost about the edges near the tested
// element. Consecutive segments of one chain that lie in such a
// constant-coordinate plane share their containment test; a single point
// of that plane costs one pass (meetsFlatPoint).
#pragma once

#include <optional>
#include <vector>

#include "queries/call_scratch.h"
#include "kernel/plane_frame.h"
#include "kernel/segment_distance.h"
#include "queries/flat_plane.h"
#include "queries/segment_grid.h"
#include "records/record_layout.h"

namespace spatialgeom {

class PreparedPolygon {
public:
    // tolerance: >= 0 and finite, the distance within which elements meet.
    PreparedPolygon(const Byte* rings, double tolerance);
    PreparedPolygon(const PreparedPolygon&) = delete;
    PreparedPolygon& operator=(const PreparedPolygon&) = delete;

    // The box of the polygon widened by the tolerance (empty polygon: none).
    bool hasVertices() const { return !feet_.empty(); }
    // Measured on first use (a single point's test does without it).
    const DRange3d& widenedBox() const;

    // Does the segment (a point when start == end) come within tolerance?
    bool meetsSegment(const kernel::Segment3d& segment);
    // Does the other polygon come within tolerance? The distance between
    // two polygons is reached on the boundary of one of them, so each
    // boundary edge is tested against the other polygon.
    bool meetsPolygon(PreparedPolygon& other);

    // The plane of constant coordinate the whole polygon lies in exactly,
    // if any. (None for a polygon whose outer ring has no area: it is
    // tested as its rings' polylines.)
    std::optional<FlatPlane> flatPlane() const {
        if (!flat_) return std::nullopt;
        return FlatPlane{flatAxis_, flatValue_};
    }
    // For a point p of the polygon's plane that lies on no boundary edge:
    // is it inside the region? (A point on the boundary may go either way.)
    bool containsOffBoundary(const DPoint3d& p) { return hasArea_ && insideRegion(p); }
    // For a point of the polygon's flat plane (flatPlane() must hold):
    // does it come within tolerance of the polygon? The answer of the
    // planar tests (planar_meets.h) for a single point, found in one pass
    // over the edges that measures the boundary and counts ray crossings.
    bool meetsFlatPoint(const DPoint3d& p);
    // visit(segment) for every boundary edge, ring by ring, and
    // visit(vertex) for the first vertex of every ring that has one;
    // each stops (returning false) when visit returns false.
    template <typename Visit>
    bool forEachEdgeSegment(Visit&& visit) const {
        return forEachEdge([&](const Edge& e) { return visit(edgeSegment(e)); });
    }
    template <typename Visit>
    bool forEachRingStart(Visit&& visit) const {
        for (std::size_t r = 0; r + 1 < ringStart_.size(); ++r)
            if (ringStart_[r] < ringStart_[r + 1] && !visit(feet_[ringStart_[r]])) return false;
        return true;
    }
    std::uint32_t edgeCount() const { return edgeCount_; }
    // Edge i in the order of forEachEdgeSegment (i < edgeCount()).
    // Cost: O(log rings).
    kernel::Segment3d edgeSegmentAt(std::uint32_t i) const;

private:
    struct Edge {
        std::uint32_t from, to, ring;
    };

    // Every edge in ring order, stopping (false) when visit returns false.
    template <typename Visit>
    bool forEachEdge(Visit&& visit) const {
        for (std::uint32_t r = 0; r + 1 < ringStart_.size(); ++r) {
            const std::uint32_t first = ringStart_[r], end = ringStart_[r + 1];
            for (std::uint32_t i = first; i < end; ++i)
                if (!visit(Edge{i, i + 1 < end ? i + 1 : first, r})) return false;
        }
        return true;
    }

    void gatherRings(const Byte* rings);
    void findPlane();
    bool inExactPlane(const DPoint3d& p) const;
    bool allInExactPlane(const DPoint3d* points, std::size_t count) const;
    bool onFlatPlane(const DPoint3d& p) const;
    void projectRings();
    void indexEdgesWhenWorthIt();
    kernel::Segment3d edgeSegment(const Edge& e) const { return {feet_[e.from], feet_[e.to]}; }
    bool boundaryMeets(const kernel::Segment3d& segment);
    bool crossesInterior(const kernel::Segment3d& segment);
    bool interiorMeetsPoint(const DPoint3d& p);
    int side(const DPoint3d& p) const;
    bool insideRegion(const DPoint3d& foot);
    void countRayCrossings(const DPoint3d& foot);
    bool flatSegmentMeetsInterior(const kernel::Segment3d& segment);
    bool meetsEdgesOf(const PreparedPolygon& other);
    template <int U, int V>
    bool meetsFlatPointIn(const DPoint3d& p);

    double tolerance_;
    // Ring r holds feet_[ringStart_[r] .. ringStart_[r + 1]).
    ScratchVector<DPoint3d> feet_;
    ScratchVector<std::uint32_t> ringStart_;
    ScratchVector<std::uint8_t> ringHasArea_;
    std::uint32_t edgeCount_ = 0;
    mutable DRange3d widenedBox_{};
    mutable bool boxMeasured_ = false;

    // Built once scanning has cost kScansBeforeIndex times the edge count.
    ScratchVector<Edge> edges_;
    ScratchVector<DRange3d> edgeBoxes_;
    SegmentGrid grid_;
    bool indexed_ = false;
    std::uint64_t scannedEdges_ = 0;

    bool hasArea_ = false;
    bool exactPlane_ = false;        // the outer ring lies exactly in the plane of reference_
    DPoint3d reference_[3] = {};     // three non-collinear outer vertices
    kernel::Plane3d plane_{};
    int droppedAxis_ = 2;
    // When reference_ shares one coordinate value (flatValue_ on axis
    // flatAxis_), the plane is that of constant coordinate, and a point lies
    // in it exactly when its coordinate equals that value: no orientation
    // predicate is needed. flat_: every foot lies in that plane.
    int flatAxis_ = -1;
    double flatValue_ = 0.0;
    bool flat_ = false;

    // The end of the last flat segment found not to meet: a segment of the
    // same chain starting there is outside the interior too.
    DPoint3d outsideChainEnd_{};
    bool hasOutsideChainEnd_ = false;

    // Per-test scratch of insideRegion: crossing parity per ring.
    ScratchVector<std::uint8_t> parity_;
    ScratchVector<std::uint32_t> oddRings_;
};

}  // namespace spatialgeom
