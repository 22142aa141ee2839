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
#include "queries/region_locator.h"

namespace spatialgeom {

class PolygonNearest {
public:
    // A ring sequence with finite coordinates; it must outlive the object.
    explicit PolygonNearest(const Byte* rings);
    // The same polygon from its rings already gathered (copied: `rings`
    // need not outlive the object).
    explicit PolygonNearest(const PolygonRings& rings);
    PolygonNearest(const PolygonNearest&) = delete;
    PolygonNearest& operator=(const PolygonNearest&) = delete;

    bool hasRegion() const { return plane_.hasRegion(); }
    // The box of every point of the polygon: its vertices and its lifted
    // rings (outwards by their error).
    const DRange3d& box() const { return box_; }

    // Whether some segments of forEachBoundarySegment are pieces of lifted
    // edges, rounded (the stored edges are exact).
    bool hasRoundedSegments() const { return lifted_.any(); }

    // visit(segment) for every stored edge and every lifted piece lying in
    // the region (its ends within a few ulps of the exact ones).
    template <typename Visit>
    void forEachBoundarySegment(Visit&& visit) {
        rings_.forEachEdge([&](const PolygonRings::Edge& e) {
            visit(rings_.segment(e));
            return true;
        });
        if (!lifted_.any()) return;
        if (lifted_.indexNeeded() && !index_.built()) buildIndex();
        rings_.forEachEdge([&](const PolygonRings::Edge& e) {
            return lifted_.forEachPiece(e, [&](const LiftedBoundary::Piece& piece) {
                visit(preciseSegment(piece));
                return true;
            });
        });
    }

    // The nearest pair (onA on the segment, onB in the region) among the
    // segment's crossing of the region and its ends' feet over the region,
    // when nearer than best: replaces best. Nothing when the polygon has no
    // region.
    void nearestInRegion(const kernel::Segment3d& segment, kernel::ClosestPair& best);

private:
    // The piece's computed ends, or when they may lie more than a few ulps
    // from the exact ones (a plane known only coarsely), the exact ends
    // rounded.
    kernel::Segment3d preciseSegment(const LiftedBoundary::Piece& piece) const;
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
