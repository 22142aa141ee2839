// A polygon gathered for the distance export: its boundary as segments
// and the points of its region nearest to a segment, in floating point.
//
// The polygon is the one of the intersection tests (prepared_polygon.h):
// its rings' stored polylines and its region, bounded by the rings lifted
// onto the plane (lifted_boundary.h). The distance from a segment to the
// polygon is reached either on a boundary segment (a stored edge or a
// lifted piece lying in the region) or between a point of the segment and
// a point of the region's interior: where the segment crosses the region,
// or at an end of the segment over the region (its foot on the plane lies
// in the region). The distance between two polygons is reached on a
// boundary segment of one of them, so a segment's test covers it too.
//
// Every candidate is a pair of actual points, computed in floating point;
// the distance export decides the exact value separately. Whether a
// crossing or a foot lies in the region is decided exactly (the locator
// with its error bound, rational arithmetic where it is unsure).
//
// Cost: preparing copies the vertices and finds the plane and the lifted
// rings (one pass); the first region queries scan the edges, later ones
// use the edge index. Non-finite coordinates must not reach this class.
#pragma once

#include "kernel/closest_points.h"
#include "queries/edge_index.h"
#include "queries/lifted_boundary.h"
#include "queries/polygon_plane.h"
#include "queries/polygon_rings.h"
#include "queries/prepared_polygon.h"
#include "queries/region_locator.h"

namespace spatialgeom {

class PolygonNearest {
public:
    // A ring sequence with finite coordinates; it must outlive the object.
    explicit PolygonNearest(const Byte* rings);
    // The same polygon from a shared prepared polygon: its rings and its
    // plane copied (`shared` need not outlive the object), so that nothing
    // it found is found again.
    explicit PolygonNearest(const PreparedPolygon& shared);
    PolygonNearest(const PolygonNearest&) = delete;
    PolygonNearest& operator=(const PolygonNearest&) = delete;

    bool hasRegion() const { return plane_.hasRegion(); }
    // The box of every point of the polygon: its vertices and its lifted
    // rings (outwards by their error).
    const DRange3d& box() const { return box_; }

    // Whether some segments of forEachBoundarySegment are pieces of lifted
    // edges, rounded (the stored edges are exact).
    bool hasRoundedSegments() const { return lifted_.any(); }

    // visit(segment, coarse) for every stored edge and every lifted piece
    // lying in the region. coarse is null when the segment's ends lie
    // within a few ulps of the exact ones; else it is the piece (each exact
    // end within piece.radius of its computed one; a plane known only
    // coarsely), whose preciseSegment the caller takes where it matters.
    template <typename Visit>
    void forEachBoundarySegment(Visit&& visit) {
        rings_.forEachEdge([&](const PolygonRings::Edge& e) {
            visit(rings_.segment(e), nullptr);
            return true;
        });
        if (!lifted_.any()) return;
        if (lifted_.indexNeeded() && !index_.built()) buildIndex();
        rings_.forEachEdge([&](const PolygonRings::Edge& e) {
            return lifted_.forEachPiece(e, [&](const LiftedBoundary::Piece& piece) {
                visit(piece.segment, preciseAsComputed(piece) ? nullptr : &piece);
                return true;
            });
        });
    }

    // The exact ends, rounded, of the coarse piece of edge e with that cut.
    // Cost: rational arithmetic on the plane's exact normal and the edge's
    // two vertices (or the cut part's ends, kept).
    kernel::Segment3d preciseSegment(const PolygonRings::Edge& e, std::uint32_t cut) const;

    // The nearest pair (onA on the segment, onB in the region) among the
    // segment's crossing of the region and its ends' feet over the region,
    // when nearer than best: replaces best. Nothing when the polygon has no
    // region.
    void nearestInRegion(const kernel::Segment3d& segment, kernel::ClosestPair& best);

private:
    // Do the piece's computed ends lie within a few ulps of the exact ones?
    static bool preciseAsComputed(const LiftedBoundary::Piece& piece);
    void prepare();
    void buildIndex();
    template <typename ExactImage>
    bool inRegion(const PlaneImage& image, ExactImage&& exactImage);
    DPoint3d liftedImage(const PlaneImage& image) const;

    PolygonRings rings_;
    PolygonPlane plane_;
    EdgeIndex index_;
    RegionLocator locator_;
    LiftedBoundary lifted_;
    DRange3d box_{};
};

}  // namespace spatialgeom
