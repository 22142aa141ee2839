// The region's boundary along the rings that do not lie in the polygon's
// plane. Such a ring bounds the region along its lifted edges: each stored
// vertex moved along axis k onto the plane (the image keeps its stored
// coordinates, so the region's boundary is the lifted edges' points that
// lie in the region). The stored edges of every ring belong to the polygon
// anyway; the lifted ones only where they lie in the region: everywhere
// for a polygon of one ring, else found per edge on first use, the edge
// being whole, outside, or cut where its image meets another ring's image
// (rare: rings that cross or touch each other).
//
// Lifted vertices are computed in double precision with an error bound
// (PolygonPlane::lifted); a piece's computed ends lie within its radius of
// the exact ones, which exactEnds gives in rational arithmetic.
//
// Cost: preparing is one pass over the lifted rings' vertices. Deciding an
// edge of a polygon of several rings queries the edge index around it
// (which must be built: indexNeeded()) and, for a cut edge, rational
// arithmetic over the edges it meets.
#pragma once

#include <cstdint>
#include <utility>

#include "kernel/rational.h"
#include "kernel/segment_distance.h"
#include "queries/call_scratch.h"
#include "queries/edge_index.h"
#include "queries/polygon_plane.h"
#include "queries/polygon_rings.h"
#include "queries/region_locator.h"

namespace spatialgeom {

class LiftedBoundary {
public:
    using Edge = PolygonRings::Edge;
    static constexpr std::uint32_t kWhole = ~std::uint32_t{0};

    struct Piece {
        kernel::Segment3d segment;  // the computed ends
        double radius;              // each exact end lies within radius of its computed one
        Edge edge;
        std::uint32_t cut;  // kWhole, or the part of a cut edge
    };

    // Lifts the vertices of every ring that does not lie exactly in the
    // plane (every ring of a skew plane). All must outlive this object.
    void prepare(const PolygonRings* rings, const PolygonPlane* plane, RegionLocator* locator, EdgeIndex* index);

    bool any() const { return any_; }
    bool lifted(std::uint32_t ring) const { return ringLifted_[ring] != 0; }
    // Must the edge index be built before forEachPiece?
    bool indexNeeded() const { return any_ && rings_->ringCount() > 1; }

    // The lifted edge of a lifted ring as computed, and the largest error
    // of its ends.
    kernel::Segment3d liftedEdge(const Edge& e) const { return {liftedVertex(e.from), liftedVertex(e.to)}; }
    double radius(const Edge& e) const { return std::max(error_[e.from], error_[e.to]); }
    // The box grown to hold every lifted vertex, widened by its error.
    void widenRange(DRange3d& box) const;

    // visit(piece) for every piece of the lifted edge that lies in the
    // region; stops (false) when visit returns false.
    template <typename Visit>
    bool forEachPiece(const Edge& e, Visit&& visit) {
        if (!lifted(e.ring)) return true;
        switch (state(e)) {
            case State::whole: return visit(Piece{liftedEdge(e), radius(e), e, kWhole});
            case State::cut:
                for (std::uint32_t c = cutFirst_[e.from], end = c + cutCount_[e.from]; c < end; ++c)
                    if (!visit(Piece{cuts_[c].approx, cuts_[c].radius, e, c})) return false;
                return true;
            default: return true;
        }
    }
    std::pair<kernel::RationalPoint, kernel::RationalPoint> exactEnds(const Piece& piece) const {
        return exactEnds(piece.edge, piece.cut);
    }
    // The same for the piece of edge e with that cut.
    std::pair<kernel::RationalPoint, kernel::RationalPoint> exactEnds(const Edge& e, std::uint32_t cut) const;
    // The bytes held on the heap (the cut parts' rationals not included).
    std::size_t memoryBytes() const {
        return ringLifted_.capacity() + (lifted_.capacity() + error_.capacity()) * sizeof(double) +
               state_.capacity() * sizeof(State) + (cutFirst_.capacity() + cutCount_.capacity()) * 4 +
               cuts_.capacity() * sizeof(CutPart);
    }

private:
    enum class State : std::uint8_t { unknown, whole, outside, cut };
    struct CutPart {
        kernel::RationalPoint start, end;
        kernel::Segment3d approx;
        double radius;
    };

    DPoint3d liftedVertex(std::uint32_t i) const {
        DPoint3d p = rings_->vertices[i];
        const int k = plane_->axis();
        (k == 0 ? p.x : k == 1 ? p.y : p.z) = lifted_[i];
        return p;
    }
    State state(const Edge& e) {
        if (state_.empty()) return State::whole;  // one ring: every lifted edge bounds the region
        if (state_[e.from] == State::unknown) classify(e);
        return state_[e.from];
    }
    void classify(const Edge& e);
    void cut(const Edge& e);

    const PolygonRings* rings_ = nullptr;
    const PolygonPlane* plane_ = nullptr;
    RegionLocator* locator_ = nullptr;
    EdgeIndex* index_ = nullptr;
    bool any_ = false;
    ScratchVector<std::uint8_t> ringLifted_;
    // Per vertex of a lifted ring: coordinate k lifted, and its error.
    ScratchVector<double> lifted_, error_;
    double low_ = INFINITY, high_ = -INFINITY;  // of lifted_ -/+ error_
    // Per edge, for polygons of several rings.
    ScratchVector<State> state_;
    ScratchVector<std::uint32_t> cutFirst_, cutCount_;
    ScratchVector<CutPart> cuts_;
};

}  // namespace spatialgeom
