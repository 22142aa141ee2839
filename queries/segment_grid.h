// A uniform grid over two axes that finds the boxes near a query box, so
// that large pairs test only nearby segments instead of every pair.
//
// Cost: build O(n) time and memory (the cell count is about n, and the
// grid is coarsened until boxes spanning many cells register at most ~4n
// entries); a query visits the cells its box covers plus their entries.
// Queries keep per-box stamps, so a grid is used by one thread at a time,
// until it is frozen: then it keeps, instead of the boxes and stamps, the
// first cell of each box, visits a box only in the first cell (in the
// order of the visits) that both it and the query cover, and is read by
// any number of threads at once.
#pragma once

#include <cstdint>
#include <vector>

#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/grid_shape.h"
#include "queries/work_counter.h"

namespace spatialgeom {

class SegmentGrid {
public:
    // Indexes boxes (kept by reference: they must outlive the grid and not
    // change) on the axes uAxis and vAxis (0 x, 1 y, 2 z).
    void build(const ScratchVector<DRange3d>& boxes, int uAxis, int vAxis);

    // visit(i) once for every box i that overlaps query in 3D. Stops and
    // returns false as soon as visit returns false; true otherwise. Not on
    // a frozen grid (it has no boxes).
    template <typename Visit>
    bool forEachOverlapping(const DRange3d& query, Visit&& visit) {
        return forEachInCells(coordinate(query.low, uAxis_), coordinate(query.high, uAxis_),
                              coordinate(query.low, vAxis_), coordinate(query.high, vAxis_),
                              [&](std::uint32_t i) { return !kernel::boxesOverlap((*boxes_)[i], query) || visit(i); });
    }

    // visit(i) once for every box registered in a cell that the rectangle
    // [uLo, uHi] x [vLo, vHi] of the two grid axes covers: a superset of the
    // boxes meeting that rectangle. Unbounded limits are allowed. The same
    // boxes in the same order on a frozen grid (const there).
    template <typename Visit>
    bool forEachInCells(double uLo, double uHi, double vLo, double vHi, Visit&& visit) {
        if (count_ == 0) return true;
        const std::uint32_t c0 = column(uLo), c1 = column(uHi), r0 = row(vLo), r1 = row(vHi);
        if (frozen_) return forEachInFrozenCells(c0, c1, r0, r1, visit);
        const std::uint32_t stamp = nextStamp();
        for (std::uint32_t r = r0; r <= r1; ++r) {
            for (std::uint32_t c = c0; c <= c1; ++c) {
                const std::uint32_t cell = r * shape_.columns + c;
                for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
                    work::countCandidate();
                    const std::uint32_t i = entries_[k];
                    if (stamps_[i] == stamp) continue;
                    stamps_[i] = stamp;
                    if (!visit(i)) return false;
                }
            }
        }
        return true;
    }

    // The grid's shape and the cell of a coordinate on each grid axis
    // (coordinates outside the indexed extent fall in the border cells).
    std::uint32_t columns() const { return shape_.columns; }
    std::uint32_t rows() const { return shape_.rows; }
    std::uint32_t column(double u) const { return GridShape::slot(u, uOrigin_, shape_.uScale, shape_.columns); }
    std::uint32_t row(double v) const { return GridShape::slot(v, vOrigin_, shape_.vScale, shape_.rows); }
    // The middle of column c or row r as computed, which rounding may put
    // in a neighbour (check with column() and row()).
    double columnMiddle(std::uint32_t c) const { return middle(c, uOrigin_, shape_.uScale); }
    double rowMiddle(std::uint32_t r) const { return middle(r, vOrigin_, shape_.vScale); }
    // Whether no box is registered in cell (c, r).
    bool cellEmpty(std::uint32_t c, std::uint32_t r) const {
        const std::size_t cell = std::size_t{r} * shape_.columns + c;
        return count_ == 0 || cellStart_[cell] == cellStart_[cell + 1];
    }

    // The two axes of largest extent of box, the larger first.
    static void largestExtentAxes(const DRange3d& box, int* uAxis, int* vAxis);

    // Keeps the first cell of each box and lets go of the boxes (which may
    // be freed from then on) and of the stamps. Only after build.
    void freeze();
    bool frozen() const { return frozen_; }
    // The bytes the grid holds on the heap.
    std::size_t memoryBytes() const;

    // visit(i) as forEachInCells does, on a frozen grid: a box is visited
    // in the first cell of the rectangle, row by row, that it covers, which
    // is where the stamps of an unfrozen grid would first let it through.
    template <typename Visit>
    bool forEachInFrozenCells(std::uint32_t c0, std::uint32_t c1, std::uint32_t r0, std::uint32_t r1,
                              Visit&& visit) const {
        for (std::uint32_t r = r0; r <= r1; ++r) {
            for (std::uint32_t c = c0; c <= c1; ++c) {
                const std::uint32_t cell = r * shape_.columns + c;
                for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
                    work::countCandidate();
                    const std::uint32_t i = entries_[k];
                    const FirstCell& first = firstCell_[i];
                    if (c != (first.column > c0 ? first.column : c0) || r != (first.row > r0 ? first.row : r0))
                        continue;
                    if (!visit(i)) return false;
                }
            }
        }
        return true;
    }

private:
    static double coordinate(const DPoint3d& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }
    static double middle(std::uint32_t slot, double origin, double scale) {
        return scale > 0.0 ? origin + (slot + 0.5) / scale : origin;
    }
    std::uint64_t entryCount() const;
    void fillCells();
    std::uint32_t nextStamp();

    struct FirstCell {
        std::uint32_t column, row;
    };

    const ScratchVector<DRange3d>* boxes_ = nullptr;
    std::size_t count_ = 0;  // of the boxes
    bool frozen_ = false;
    ScratchVector<FirstCell> firstCell_;  // frozen: per box
    int uAxis_ = 0, vAxis_ = 1;
    double uOrigin_ = 0.0, vOrigin_ = 0.0;
    GridShape shape_;
    ScratchVector<std::uint32_t> cellStart_;
    ScratchVector<std::uint32_t> entries_;
    ScratchVector<std::uint32_t> stamps_;
    std::uint32_t stamp_ = 0;
};

}  // namespace spatialgeom
