#include "queries/planar_pairs.h"

#include <algorithm>
#include <cmath>

#include "kernel/exact_predicates.h"

namespace spatialgeom {

// Boxes of long segments may span many cells; beyond this many entries per
// segment the grid is coarsened.
static constexpr std::uint64_t kEntriesPerSegment = 4;

void PlanarBoxes::finish() {
    const std::size_t count = tight_.size();
    const auto widened = [&](const PlaneRect& t) {
        return PlaneRect{kernel::nextDown(t.uLow - tolerance_), kernel::nextUp(t.uHigh + tolerance_),
                         kernel::nextDown(t.vLow - tolerance_), kernel::nextUp(t.vHigh + tolerance_)};
    };
    if (widen_) {
        wide_.resize(count);
        for (std::size_t i = 0; i < count; ++i) wide_[i] = widened(tight_[i]);
    }
    // Widening is monotone, so the union of the wide boxes is the widened
    // union of the tight ones.
    PlaneRect bounds{INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (const PlaneRect& t : tight_)
        bounds = {std::min(bounds.uLow, t.uLow), std::max(bounds.uHigh, t.uHigh), std::min(bounds.vLow, t.vLow),
                  std::max(bounds.vHigh, t.vHigh)};
    bounds_ = widen_ && count > 0 ? widened(bounds) : bounds;
}

bool PairGrid::measureSpans(const PlanarBoxes& a, const PlanarBoxes& b) {
    const PlanarBoxes* sets[2] = {&a, &b};
    std::uint64_t entries = 0;
    for (int set = 0; set < 2; ++set) {
        const PlanarBoxes& boxes = *sets[set];
        spans_[set].resize(boxes.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const PlaneRect& w = boxes.wide(i);
            Span& span = spans_[set][i];
            if (!rectsOverlap(w, region_)) {
                span = {1, 0, 1, 0};  // no cell
                continue;
            }
            span = {column(w.uLow), column(w.uHigh), row(w.vLow), row(w.vHigh)};
            entries += std::uint64_t{span.c1 - span.c0 + 1} * (span.r1 - span.r0 + 1);
        }
    }
    return entries <= kEntriesPerSegment * (a.size() + b.size()) + 16;
}

void PairGrid::fill(int set, const PlanarBoxes& boxes) {
    ScratchVector<std::uint32_t>& start = cellStart_[set];
    start.assign(std::size_t{cellCount()} + 1, 0);
    const auto forEachCell = [&](const Span& s, auto&& act) {
        for (std::uint32_t r = s.r0; r <= s.r1; ++r)
            for (std::uint32_t c = s.c0; c <= s.c1; ++c) act(r * shape_.columns + c);
    };
    for (const Span& span : spans_[set]) forEachCell(span, [&](std::uint32_t cell) { ++start[cell + 1]; });
    for (std::size_t cell = 1; cell < start.size(); ++cell) start[cell] += start[cell - 1];
    entries_[set].resize(start.back());
    ScratchVector<std::uint32_t> cursor(start.begin(), start.end() - 1);
    for (std::uint32_t i = 0; i < boxes.size(); ++i)
        forEachCell(spans_[set][i], [&](std::uint32_t cell) { entries_[set][cursor[cell]++] = i; });
}

bool PairGrid::build(const PlanarBoxes& a, const PlanarBoxes& b) {
    if (a.size() == 0 || b.size() == 0 || !rectsOverlap(a.bounds(), b.bounds())) return false;
    region_ = {std::max(a.bounds().uLow, b.bounds().uLow), std::min(a.bounds().uHigh, b.bounds().uHigh),
               std::max(a.bounds().vLow, b.bounds().vLow), std::min(a.bounds().vHigh, b.bounds().vHigh)};
    shape_ = GridShape::forCells(static_cast<std::uint32_t>(a.size() + b.size()), region_.uHigh - region_.uLow,
                                 region_.vHigh - region_.vLow);
    // Long segments spanning many cells: coarsen until the entries stay linear.
    while (!measureSpans(a, b) && !shape_.single()) shape_ = shape_.coarser();
    fill(0, a);
    fill(1, b);
    return true;
}

}  // namespace spatialgeom
