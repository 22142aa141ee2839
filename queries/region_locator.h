// Where a point of a polygon's image plane lies with respect to its
// region: in the closed region of the outer ring's image and in no hole's
// open interior, each ring's image being its stored vertices with
// coordinate k dropped and the even-odd rule deciding inside. (A point
// inside two overlapping holes is outside; a point on a hole's ring is
// not in its open interior.)
//
// Each ring's parity is counted along a ray with exact orientation
// predicates on the stored coordinates. A point known only to within an
// error (a computed foot or crossing) has the same place as its computed
// position unless some edge passes within that error of it, which is
// tested too: only then is the answer unsure, and exactlyInside decides
// in rational arithmetic.
//
// Cost: a scan of every edge (counted by the edge index) until the index
// is built, then the edges in the cells near the point and along a ray to
// the grid's nearest side.
//
// A locator writes nothing of its own while it locates (its per-test
// state is the calling thread's), so over a frozen index (edge_index.h)
// any number of threads may use one at once.
#pragma once

#include <cstdint>
#include <vector>

#include "queries/call_scratch.h"
#include "queries/edge_index.h"
#include "queries/polygon_plane.h"
#include "queries/polygon_rings.h"

namespace spatialgeom {

class RegionLocator {
public:
    enum class Place : std::uint8_t { outside, inside, unsure };
    static constexpr std::uint32_t kNoRing = ~std::uint32_t{0};

    // The rings and their index (both must outlive the locator), seen on
    // the image axes u and v.
    void attach(const PolygonRings* rings, EdgeIndex* index, int uAxis, int vAxis);

    // The place of a point known to be within error (on each coordinate,
    // error >= 0) of (u, v). With error 0 the answer is exact, never
    // unsure (found in rational arithmetic when the orientation predicates
    // cannot take the coordinates of the point or of an edge they meet:
    // filter::predicateSafe). skipRing: a ring the point
    // is known to lie on, whose edges are not examined.
    Place locate(double u, double v, double error, std::uint32_t skipRing = kNoRing) {
        return find(u, v, error, skipRing, true);
    }
    // The exact place of a point known to lie on no ring's image: the
    // rings' parities alone, without looking for edges through the point
    // (about half the work of locate once the index is built). Up to 64
    // rings, the parities are kept in one word and nothing else is
    // written.
    Place locateOffBoundary(double u, double v);
    // The exact answer for a rational point.
    bool exactlyInside(const RationalImage& p, std::uint32_t skipRing = kNoRing) const;

    // Once the index is frozen: notes the place of every grid cell in which
    // no edge is registered, so that locateOffBoundary answers for a point
    // in such a cell at once. All points of such a cell have one place: the
    // segment between two of them stays in the cell (the points of a cell
    // form a rectangle), and an edge that met it would be registered there.
    // Cost: one sweep of each row of the grid, O(cells + registrations)
    // orientation tests; a byte per cell. Tabulates nothing for more than
    // 64 rings or vertices the orientation predicates cannot take.
    void tabulateEmptyCells();
    // The tabulated place of the cell that holds (u, v) (finite): inside
    // or outside for a cell without edges, where no point lies on a ring;
    // unsure otherwise.
    Place placeInEmptyCell(double u, double v) const {
        if (cellPlaces_.empty()) return Place::unsure;
        const SegmentGrid& grid = index_->grid();
        return cellPlaces_[std::size_t{grid.row(v)} * grid.columns() + grid.column(u)];
    }
    // The bytes the table holds.
    std::size_t memoryBytes() const { return cellPlaces_.capacity() * sizeof(Place); }

private:
    // A ray from a point along a grid axis: the cells towards the grid's
    // nearest side (fewest cells), as the rectangle they cover.
    struct Ray {
        bool alongU, positive;
        double lowU, highU, lowV, highV;
    };
    Ray rayToNearestSide(double u, double v) const;
    Place find(double u, double v, double error, std::uint32_t skipRing, bool nearTests);
    template <typename Visit>
    void visitIndexed(double u, double v, double uLo, double uHi, double vLo, double vHi, bool nearTests,
                      Visit&& visit);
    struct Scratch;
    static Scratch& threadScratch(std::uint32_t ringCount);
    static Place verdict(Scratch& scratch, bool exactPoint, std::uint32_t skipRing);

    const PolygonRings* rings_ = nullptr;
    EdgeIndex* index_ = nullptr;
    int u_ = 0, v_ = 1;
    // Per grid cell, row by row: the place of the points of an empty cell;
    // unsure for a cell with edges or one the sweep could not reach.
    std::vector<Place> cellPlaces_;
};

}  // namespace spatialgeom
