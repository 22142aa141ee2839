// A polygon (a ring sequence: outer ring, then holes) prepared once per
// intersection call and then tested against any number of points,
// segments and other polygons.
//
// The polygon is the union of its rings' polylines (the stored edges,
// always, planar or not) and its region: the points of its plane (see
// polygon_plane.h) whose image lies in the closed region of the outer
// ring's image and in no hole's open interior (region_locator.h). The
// region is bounded by the rings lifted onto the plane: a ring lying
// exactly in the plane is its own lift; the others add their lifted edges
// where those lie in the region (lifted_boundary.h). A polygon without a
// region (a collinear outer ring, a zero or unusable normal) is its
// polylines.
//
// Every answer is exact for the stored coordinates: an element meets the
// polygon when its exact distance is at most the tolerance. Each question
// (a distance to an edge, a side of the plane, a distance from the plane,
// a place in the region) is first answered in floating point with a
// proven error bound (filter_bounds.h); the few that the bound leaves open
// are answered in rational arithmetic once every floating-point test of
// the element has failed to find a meeting. Elements with coordinates
// that are not finite are tested against the polylines only.
//
// Cost: preparing is a copy of the vertices and one pass over them:
// comparisons for a polygon in a plane of constant x, y or z, orientation
// predicates and Newell's sum otherwise, lifting for rings off the plane.
// The first few tests scan every edge; once the scans have cost a few times
// the edge count, a grid over the edges is built (edge_index.h) and later
// tests cost about the edges near the tested element. Consecutive segments
// of one chain that lie in such a constant-coordinate plane share their
// containment test; a single point of that plane costs one pass
// (meetsFlatPoint). The exact path costs O(edges) rational operations per
// question, plus once per polygon the exact normal (O(vertices) for a
// skew ring).
//
// Shared: share() builds at once all that the tests would build on demand
// (the edge index, frozen; every lifted edge's pieces; the plane's refined
// and exact normals; the box) and from then on the polygon's parts are
// read-only. A view made of it (the second constructor) tests at its own
// tolerance with the shared parts; any number of views, in any number of
// threads, may test at once. Its answers are those of a polygon prepared
// from the same rings at that tolerance. A single point of a flat plane
// goes through the edge index there rather than a pass over the edges.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "kernel/rational.h"
#include "kernel/segment_distance.h"
#include "queries/call_scratch.h"
#include "queries/edge_index.h"
#include "queries/flat_plane.h"
#include "queries/lifted_boundary.h"
#include "queries/polygon_plane.h"
#include "queries/polygon_rings.h"
#include "queries/region_locator.h"
#include "records/record_layout.h"

namespace spatialgeom {

// What a caller may already know of a polygon's rings from a pass of its
// own over them (measuring its record, say), so that preparing does not
// read every vertex again for it.
struct PolygonFacts {
    // The box of all the rings' vertices as RunningRange measures it, or
    // null: measured when first needed.
    const DRange3d* box = nullptr;
    // Every coordinate is known to be finite (false: checked here).
    bool finite = false;
};

class PreparedPolygon {
public:
    // tolerance: >= 0 and finite, the distance within which elements meet.
    PreparedPolygon(const Byte* rings, double tolerance, const PolygonFacts& facts = {});
    // A view of `shared`, on which share() has run and which must outlive
    // the view, testing at `tolerance`.
    PreparedPolygon(PreparedPolygon& shared, double tolerance);
    PreparedPolygon(const PreparedPolygon&) = delete;
    PreparedPolygon& operator=(const PreparedPolygon&) = delete;

    // Builds what the tests build on demand, so that views may share the
    // parts; the polygon itself is then only read. Cost: the index, O(n);
    // the exact normal of a skew ring, O(n) rational operations; each
    // lifted edge of a polygon of several rings, as a test would.
    void share();
    // The bytes the polygon's parts hold, the object included.
    std::size_t memoryBytes() const;

    bool hasVertices() const { return !rings_.vertices.empty(); }
    // The box of the polygon (its vertices and lifted outer ring) widened
    // by the tolerance. Measured on first use (a single point's test does
    // without it).
    const DRange3d& widenedBox() const;

    // Does the segment (a point when start == end) come within tolerance?
    bool meetsSegment(const kernel::Segment3d& segment);
    // Does the other polygon come within tolerance? The distance between
    // two polygons is reached on a stored or lifted boundary edge of one of
    // them, so each is tested against the other polygon.
    bool meetsPolygon(PreparedPolygon& other);

    // The plane of constant coordinate the whole polygon lies in exactly,
    // if any. (None for a polygon whose outer ring has no area: it is
    // tested as its rings' polylines.)
    std::optional<FlatPlane> flatPlane() const {
        if (!flat_) return std::nullopt;
        return plane_.flatPlane();
    }
    // For a point p of the polygon's flat plane that lies on no boundary
    // edge: is it inside the region? (For a point on the boundary, either
    // answer: callers that may pass one test the boundary as well.)
    bool containsOffBoundary(const DPoint3d& p);
    // For a point of the polygon's flat plane (flatPlane() must hold):
    // does it come within tolerance of the polygon? The answer of the
    // planar tests (planar_meets.h) for a single point, found in one pass
    // over the edges that measures the boundary and counts ray crossings.
    bool meetsFlatPoint(const DPoint3d& p);
    // For a shared polygon that lies in a plane of constant coordinate:
    // does the point p come within tolerance (finite, >= 0)? nullopt when
    // the question is not for this path: the polygon is not shared or not
    // flat, p lies off its plane and the tolerance is above 0, or the
    // orientation predicates cannot take p or a vertex. Only reads the
    // shared parts, so any number of threads may ask at once. Cost: at a
    // tolerance of 0 usually the place or the edges of p's grid cell
    // (RegionLocator::placeInCell); otherwise the edges registered in the
    // cells within the tolerance of p, then those along a ray to the grid's
    // nearest side. Allocates only for more than 64 rings (the locator's
    // per-thread state; may throw std::bad_alloc).
    std::optional<bool> sharedFlatPointMeets(const DPoint3d& p, double tolerance) const;
    // visit(segment) for every stored edge, ring by ring, and
    // visit(vertex) for the first vertex of every ring that has one;
    // each stops (returning false) when visit returns false.
    template <typename Visit>
    bool forEachEdgeSegment(Visit&& visit) const {
        return rings_.forEachEdge([&](const PolygonRings::Edge& e) { return visit(rings_.segment(e)); });
    }
    template <typename Visit>
    bool forEachRingStart(Visit&& visit) const {
        for (std::uint32_t r = 0; r < rings_.ringCount(); ++r)
            if (rings_.ringSize(r) > 0 && !visit(*rings_.ring(r))) return false;
        return true;
    }
    std::uint32_t edgeCount() const { return rings_.edgeCount(); }
    // The vertices of the rings, as gathered from the record.
    const PolygonRings& rings() const { return rings_; }
    // The plane of the outer ring; once shared, with everything it
    // computes lazily computed.
    const PolygonPlane& plane() const { return plane_; }
    // The edge index (built and frozen once shared).
    const EdgeIndex& index() const { return index_; }
    // Edge i in the order of forEachEdgeSegment (i < edgeCount()).
    // Cost: O(log rings).
    kernel::Segment3d edgeSegmentAt(std::uint32_t i) const { return rings_.segment(rings_.edgeAt(i)); }

private:
    using Edge = PolygonRings::Edge;
    struct ExactSegment {
        kernel::RationalPoint start, end;
    };
    // An element to test: its computed ends, each within radius of the
    // exact one (0: they are exact), and the exact ends on demand. A whole
    // lifted edge of another polygon also names its plane and the stored
    // vertices it lifts, which place its ends precisely against this plane.
    struct Probe {
        kernel::Segment3d segment;
        double radius;
        std::function<ExactSegment()> exact;
        const PolygonPlane* liftedFrom = nullptr;
        DPoint3d stored[2] = {};
    };
    struct Deferred;
    // An end of the element against the plane: its filtered distance,
    // sharpened and its exact side found only when a test needs them.
    static constexpr int kUnknownSide = 2;
    struct End {
        const DPoint3d& p;
        int index;  // 0 start, 1 end
        Estimate d;
        bool sharpened = false;
        int side = kUnknownSide;
    };

    bool meetsProbe(const Probe& probe);
    bool boundaryMeets(const Probe& probe, const DRange3d& box, Deferred& deferred);
    bool regionMeets(const Probe& probe, Deferred& deferred);
    void sharpen(const Probe& probe, End& end);
    int side(const Probe& probe, End& end);
    bool footMeets(const Probe& probe, End& end, Deferred& deferred);
    bool settle(const Probe& probe, Deferred& deferred);
    bool flatSegmentMeetsInterior(const kernel::Segment3d& segment);
    bool meetsStoredEdgesOf(const PreparedPolygon& other);
    bool meetsLiftedEdgesOf(PreparedPolygon& other);
    template <typename Visit>
    bool forEachPiece(const Edge& e, Visit&& visit);
    void indexEdgesWhenWorthIt();
    void indexEdges();
    template <int U, int V>
    bool meetsFlatPointIn(const DPoint3d& p);

    // What a polygon is prepared into; a view uses those of the polygon it
    // views.
    struct Parts {
        Parts() : shared(false), box() {}  // (no member initialisers: std::optional must see it constructible)
        PolygonRings rings;
        PolygonPlane plane;
        EdgeIndex index;
        RegionLocator locator;
        LiftedBoundary lifted;
        // Shared: the parts are read-only and box is the polygon's box
        // before widening.
        bool shared;
        DRange3d box;
    };

    double tolerance_;
    std::optional<Parts> own_;  // empty in a view
    Parts& parts_;
    PolygonRings& rings_;
    PolygonPlane& plane_;
    EdgeIndex& index_;
    RegionLocator& locator_;
    LiftedBoundary& lifted_;
    // The whole polygon lies in the plane of constant coordinate.
    bool flat_ = false;
    mutable DRange3d widenedBox_{};
    mutable bool boxMeasured_ = false;
    // The vertices' box, when the caller gave it.
    DRange3d vertexBox_{};
    bool vertexBoxKnown_ = false;

    // The end of the last flat segment found not to meet: a segment of the
    // same chain starting there is outside the interior too.
    DPoint3d outsideChainEnd_{};
    bool hasOutsideChainEnd_ = false;
};

}  // namespace spatialgeom
