// The edge index of a prepared polygon: a grid over the widened boxes of
// its edges on two axes, built only once scanning every edge has cost a few
// times the edge count (a polygon tested against a few elements is never
// indexed). Until then its users scan and count their scans here.
//
// Cost: building is O(n) time and memory (segment_grid.h); a query visits
// the cells its rectangle covers and the edges registered there.
//
// A built index may be frozen: it then lets go of its copies of the edges
// and of their boxes (each edge found again from its number), and its
// queries write nothing, so that any number of threads may query it at
// once. A frozen index's forEachOverlapping tests no box: it visits every
// edge registered in a cell that the query's rectangle on the grid axes
// covers, a superset that its users' own tests narrow.
#pragma once

#include <cstdint>

#include "kernel/exact_predicates.h"
#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/filter_bounds.h"
#include "queries/polygon_rings.h"
#include "queries/segment_grid.h"

namespace spatialgeom {

class EdgeIndex {
public:
    using Edge = PolygonRings::Edge;

    // The rings (they must outlive the index), gridded on uAxis and vAxis.
    void attach(const PolygonRings* rings, int uAxis, int vAxis) {
        rings_ = rings;
        uAxis_ = uAxis;
        vAxis_ = vAxis;
    }
    int uAxis() const { return uAxis_; }
    int vAxis() const { return vAxis_; }

    bool built() const { return built_; }
    // A scan over every edge happened.
    void countScan() { scanned_ += rings_->edgeCount(); }
    // Have the scans cost enough that the grid pays for itself?
    bool worthBuilding() const { return !built_ && scanned_ >= kScansBeforeIndex * rings_->edgeCount(); }
    // Indexes every edge under boxOf(edge), its box widened by whatever
    // distance the queries need, and notes whether the orientation
    // predicates take every vertex (each is the start of one edge).
    template <typename BoxOf>
    void build(BoxOf&& boxOf) {
        edges_.reserve(rings_->edgeCount());
        boxes_.reserve(rings_->edgeCount());
        bool safe = true;
        rings_->forEachEdge([&](const Edge& e) {
            edges_.push_back(e);
            boxes_.push_back(boxOf(e));
            safe = safe && filter::predicateSafe(rings_->vertices[e.from]);
            return true;
        });
        grid_.build(boxes_, uAxis_, vAxis_);
        predicateSafe_ = safe;
        built_ = true;
    }
    // Once built: do the orientation predicates take every vertex
    // (filter::predicateSafe)?
    bool predicateSafe() const { return predicateSafe_; }

    // visit(edge) once for every edge whose box overlaps query in 3D;
    // stops (false) when visit does. Only once built.
    template <typename Visit>
    bool forEachOverlapping(const DRange3d& query, Visit&& visit) {
        if (frozen_) {
            return forEachInCells(kernel::coordinate(query.low, uAxis_), kernel::coordinate(query.high, uAxis_),
                                  kernel::coordinate(query.low, vAxis_), kernel::coordinate(query.high, vAxis_), visit);
        }
        return grid_.forEachOverlapping(query, [&](std::uint32_t i) { return visit(edges_[i]); });
    }
    // visit(edge) once for every edge registered in a cell that the
    // rectangle of the grid axes covers (unbounded limits allowed).
    template <typename Visit>
    bool forEachInCells(double uLo, double uHi, double vLo, double vHi, Visit&& visit) {
        if (frozen_)
            return grid_.forEachInCells(uLo, uHi, vLo, vHi, [&](std::uint32_t i) { return visit(rings_->edgeAt(i)); });
        return grid_.forEachInCells(uLo, uHi, vLo, vHi, [&](std::uint32_t i) { return visit(edges_[i]); });
    }
    const SegmentGrid& grid() const { return grid_; }

    // Lets go of the edges and boxes and makes queries write nothing.
    // Only once built.
    void freeze() {
        grid_.freeze();
        edges_.clear();
        edges_.shrink_to_fit();
        boxes_.clear();
        boxes_.shrink_to_fit();
        frozen_ = true;
    }
    bool frozen() const { return frozen_; }
    // The bytes the index holds on the heap.
    std::size_t memoryBytes() const {
        return edges_.capacity() * sizeof(Edge) + boxes_.capacity() * sizeof(DRange3d) + grid_.memoryBytes();
    }

private:
    // Scanning every edge is cheaper than building the grid for the first
    // few tests; after this many scans' worth of edges the grid pays.
    static constexpr std::uint64_t kScansBeforeIndex = 4;

    const PolygonRings* rings_ = nullptr;
    int uAxis_ = 0, vAxis_ = 1;
    ScratchVector<Edge> edges_;
    ScratchVector<DRange3d> boxes_;
    SegmentGrid grid_;
    bool built_ = false;
    bool frozen_ = false;
    bool predicateSafe_ = false;
    std::uint64_t scanned_ = 0;
};

}  // namespace spatialgeom
