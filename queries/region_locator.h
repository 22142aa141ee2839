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
// the grid's nearest side. Over a frozen index with its cells tabulated
// (tabulateCells), a point off the boundary usually costs a look-up or the
// edges of its own cell.
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

    // Once the index is frozen: notes per grid cell what places a point of
    // it without a ray, so that placeInCell answers from the cell alone:
    // for a cell in which no edge is registered, its place (all its points
    // share it: the segment between two of them stays in the cell, whose
    // points form a rectangle, and an edge that met it would be registered
    // there); for another cell of a polygon of at most kCellRings rings, the
    // rings' parities at the cell's middle, when the middle lies on no edge.
    // Cost: one sweep of each row of the grid, O(cells + registrations)
    // orientation tests; a byte per cell. Notes nothing for more than 64
    // rings or vertices the orientation predicates cannot take.
    void tabulateCells();
    enum class CellPlace : std::uint8_t { unknown, outside, inside, onRing };
    // The exact place of the point (u, v), whose coordinates the
    // orientation predicates take, from its cell alone: a cell without
    // edges gives its place; a cell with its middle's parities gives them
    // changed by the cell's edges that the segment from the point to the
    // middle crosses, or onRing when the point lies on one of them; any
    // other cell gives unknown. Cost: a look-up, or the cell's edges.
    CellPlace placeInCell(double u, double v) const;
    // The bytes the table holds.
    std::size_t memoryBytes() const { return cellCodes_.capacity(); }

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
    // Does (u, v) lie in the box of the image of edge a b (then, with a
    // zero orientation, on the edge)?
    bool inEdgeBox(const DPoint3d& a, const DPoint3d& b, double u, double v) const;

    const PolygonRings* rings_ = nullptr;
    EdgeIndex* index_ = nullptr;
    int u_ = 0, v_ = 1;
    // Per grid cell, row by row: kUnknownCell, kEmptyOutside, kEmptyInside,
    // or kMiddleParities with bit r set for an odd parity of ring r at the
    // cell's middle.
    static constexpr std::uint8_t kUnknownCell = 0, kEmptyOutside = 1, kEmptyInside = 2, kMiddleParities = 0x80;
    static constexpr std::uint32_t kCellRings = 7;
    std::vector<std::uint8_t> cellCodes_;
};

}  // namespace spatialgeom
