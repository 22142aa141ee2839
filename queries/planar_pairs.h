// Close pairs between two sets of segments lying in one axis plane (one
// coordinate the same for every end point): the pairs, one segment from
// each set, whose boxes come within the tolerance. Large sets are crossed
// through one grid over the region both sets cover, so a search costs
// about the sizes of the sets plus the close pairs, not their product.
#pragma once

#include <cstdint>
#include <vector>

#include "kernel/exact_predicates.h"
#include "kernel/range3d.h"
#include "kernel/segment_distance.h"
#include "queries/call_scratch.h"
#include "queries/grid_shape.h"
#include "queries/work_counter.h"

namespace spatialgeom {

// A closed rectangle in the plane's two axes.
struct PlaneRect {
    double uLow, uHigh, vLow, vHigh;
};

inline bool rectsOverlap(const PlaneRect& a, const PlaneRect& b) {
    return a.uLow <= b.uHigh && b.uLow <= a.uHigh && a.vLow <= b.vHigh && b.vLow <= a.vHigh;
}

// The boxes of one set of segments, seen in the axes uAxis and vAxis: as
// stored (tight) and, when the set is widened, grown by the tolerance and
// rounded outwards exactly as widenedBox grows a box (wide; the
// tight box otherwise). For segments in the plane these are the segments'
// 3D boxes, since their third coordinate is one value.
class PlanarBoxes {
public:
    PlanarBoxes(int uAxis, int vAxis, double tolerance, bool widen)
        : uAxis_(uAxis), vAxis_(vAxis), tolerance_(tolerance), widen_(widen) {}

    // Measures count segments, which forEach(visit) passes to visit in
    // order (visit returns true). Replaces any earlier contents. One pass;
    // NaN coordinates give unspecified boxes.
    template <typename ForEach>
    void measure(std::size_t count, ForEach&& forEach) {
        tight_.resize(count);
        std::size_t i = 0;
        forEach([&](const kernel::Segment3d& s) {
            tight_[i++] = tightRect(s.start, s.end);
            return true;
        });
        finish();
    }

    std::size_t size() const { return tight_.size(); }
    const PlaneRect& tight(std::size_t i) const { return tight_[i]; }
    const PlaneRect& wide(std::size_t i) const { return widen_ ? wide_[i] : tight_[i]; }
    bool widened() const { return widen_; }
    // The union of the wide boxes (meaningful when size() > 0).
    const PlaneRect& bounds() const { return bounds_; }

private:
    PlaneRect tightRect(const DPoint3d& a, const DPoint3d& b) const {
        const double u0 = kernel::coordinate(a, uAxis_), u1 = kernel::coordinate(b, uAxis_);
        const double v0 = kernel::coordinate(a, vAxis_), v1 = kernel::coordinate(b, vAxis_);
        // Branch-free minima and maxima: segment directions are random.
        return {u1 < u0 ? u1 : u0, u1 > u0 ? u1 : u0, v1 < v0 ? v1 : v0, v1 > v0 ? v1 : v0};
    }
    // The wide boxes and the bounds, from the tight boxes.
    void finish();

    int uAxis_, vAxis_;
    double tolerance_;
    bool widen_;
    ScratchVector<PlaneRect> tight_, wide_;
    PlaneRect bounds_{};
};

// Segment i of a and j of b are close when a's wide box i overlaps b's
// tight box j or a's tight box i overlaps b's wide box j.
inline bool closePair(const PlanarBoxes& a, std::size_t i, const PlanarBoxes& b, std::size_t j) {
    return rectsOverlap(a.wide(i), b.tight(j)) || rectsOverlap(a.tight(i), b.wide(j));
}

// A uniform grid over the overlap of two sets' bounds, each cell listing
// the segments of each set whose wide box reaches it. About one cell per
// segment, coarsened while long segments would register more than a few
// entries each. Build costs O(size) time and memory.
class PairGrid {
public:
    // False, and nothing to visit, when the bounds do not overlap.
    bool build(const PlanarBoxes& a, const PlanarBoxes& b);

    std::uint32_t cellCount() const { return shape_.columns * shape_.rows; }
    // The segments of set 0 (a) or 1 (b) registered in cell.
    // (A set may register no entry at all: its list is then empty.)
    const std::uint32_t* begin(int set, std::uint32_t cell) const {
        return entries_[set].data() + cellStart_[set][cell];
    }
    const std::uint32_t* end(int set, std::uint32_t cell) const {
        return entries_[set].data() + cellStart_[set][cell + 1];
    }
    // The cell of a point of the region.
    std::uint32_t cellOf(double u, double v) const { return row(v) * shape_.columns + column(u); }

private:
    struct Span {
        std::uint32_t c0, c1, r0, r1;
    };
    std::uint32_t column(double u) const { return GridShape::slot(u, region_.uLow, shape_.uScale, shape_.columns); }
    std::uint32_t row(double v) const { return GridShape::slot(v, region_.vLow, shape_.vScale, shape_.rows); }
    // The cells of each box meeting the region; false when they would
    // hold more than kEntriesPerSegment entries per segment.
    bool measureSpans(const PlanarBoxes& a, const PlanarBoxes& b);
    void fill(int set, const PlanarBoxes& boxes);

    PlaneRect region_{};
    GridShape shape_;
    ScratchVector<Span> spans_[2];
    ScratchVector<std::uint32_t> cellStart_[2];
    ScratchVector<std::uint32_t> entries_[2];
};

// Calls test(i, j) for close pairs (segment i of a, j of b), each at most
// once, until it returns true; returns whether it did. Small sets are
// crossed directly; larger ones through a PairGrid, where a pair is
// tested only in the cell holding the low corner of its wide boxes'
// overlap.
// Sets this small are crossed pair by pair.
inline bool crossedDirectly(const PlanarBoxes& a, const PlanarBoxes& b) {
    constexpr std::size_t kDirectFactor = 8;
    return a.size() * b.size() <= kDirectFactor * (a.size() + b.size());
}

template <typename Test>
bool anyClosePair(const PlanarBoxes& a, const PlanarBoxes& b, Test&& test) {
    if (crossedDirectly(a, b)) {
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b.size(); ++j) {
                work::countCandidate();
                if (closePair(a, i, b, j) && test(i, j)) return true;
            }
        return false;
    }
    PairGrid grid;
    if (!grid.build(a, b)) return false;
    for (std::uint32_t cell = 0; cell < grid.cellCount(); ++cell) {
        const std::uint32_t* bBegin = grid.begin(1, cell);
        const std::uint32_t* bEnd = grid.end(1, cell);
        if (bBegin == bEnd) continue;
        for (const std::uint32_t* i = grid.begin(0, cell); i != grid.end(0, cell); ++i) {
            for (const std::uint32_t* j = bBegin; j != bEnd; ++j) {
                work::countCandidate();
                if (!closePair(a, *i, b, *j)) continue;
                const PlaneRect& wa = a.wide(*i);
                const PlaneRect& wb = b.wide(*j);
                if (grid.cellOf(kernel::maxOf(wa.uLow, wb.uLow), kernel::maxOf(wa.vLow, wb.vLow)) != cell) continue;
                if (test(*i, *j)) return true;
            }
        }
    }
    return false;
}

}  // namespace spatialgeom
