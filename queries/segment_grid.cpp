#include "queries/segment_grid.h"

#include <algorithm>
#include <cmath>

namespace spatialgeom {

void SegmentGrid::largestExtentAxes(const DRange3d& box, int* uAxis, int* vAxis) {
    const double extent[3] = {box.high.x - box.low.x, box.high.y - box.low.y, box.high.z - box.low.z};
    int smallest = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (!(extent[axis] >= extent[smallest])) smallest = axis;
    *uAxis = (smallest + 1) % 3;
    *vAxis = (smallest + 2) % 3;
    if (extent[*vAxis] > extent[*uAxis]) std::swap(*uAxis, *vAxis);
}

std::uint32_t SegmentGrid::cellOf(double x, double origin, double scale, std::uint32_t count) {
    const double f = (x - origin) * scale;
    if (!(f > 0.0)) return 0;  // also NaN
    if (f >= count) return count - 1;
    return static_cast<std::uint32_t>(f);
}

void SegmentGrid::chooseShape(std::uint32_t n, double uExtent, double vExtent) {
    const bool spreadU = uExtent > 0.0 && std::isfinite(uExtent);
    const bool spreadV = vExtent > 0.0 && std::isfinite(vExtent);
    columns_ = rows_ = 1;
    if (spreadU && spreadV) {
        const double ideal = std::sqrt(n * (uExtent / vExtent));
        columns_ = static_cast<std::uint32_t>(std::clamp(std::round(ideal), 1.0, double(n)));
        rows_ = std::max<std::uint32_t>(1, n / columns_);
    } else if (spreadU) {
        columns_ = n;
    } else if (spreadV) {
        rows_ = n;
    }
    uScale_ = spreadU ? columns_ / uExtent : 0.0;
    vScale_ = spreadV ? rows_ / vExtent : 0.0;
}

std::uint64_t SegmentGrid::entryCount() const {
    std::uint64_t count = 0;
    for (const DRange3d& box : *boxes_) {
        const std::uint64_t spanU = column(coordinate(box.high, uAxis_)) - column(coordinate(box.low, uAxis_)) + 1;
        const std::uint64_t spanV = row(coordinate(box.high, vAxis_)) - row(coordinate(box.low, vAxis_)) + 1;
        count += spanU * spanV;
    }
    return count;
}

void SegmentGrid::fillCells() {
    cellStart_.assign(std::size_t{columns_} * rows_ + 1, 0);
    const auto forEachCell = [&](const DRange3d& box, auto&& act) {
        const std::uint32_t c0 = column(coordinate(box.low, uAxis_)), c1 = column(coordinate(box.high, uAxis_));
        const std::uint32_t r0 = row(coordinate(box.low, vAxis_)), r1 = row(coordinate(box.high, vAxis_));
        for (std::uint32_t r = r0; r <= r1; ++r)
            for (std::uint32_t c = c0; c <= c1; ++c) act(r * columns_ + c);
    };
    for (const DRange3d& box : *boxes_) forEachCell(box, [&](std::uint32_t cell) { ++cellStart_[cell + 1]; });
    for (std::size_t cell = 1; cell < cellStart_.size(); ++cell) cellStart_[cell] += cellStart_[cell - 1];
    entries_.resize(cellStart_.back());
    ScratchVector<std::uint32_t> cursor(cellStart_.begin(), cellStart_.end() - 1);
    for (std::uint32_t i = 0; i < boxes_->size(); ++i)
        forEachCell((*boxes_)[i], [&](std::uint32_t cell) { entries_[cursor[cell]++] = i; });
}

void SegmentGrid::build(const ScratchVector<DRange3d>& boxes, int uAxis, int vAxis) {
    boxes_ = &boxes;
    uAxis_ = uAxis;
    vAxis_ = vAxis;
    stamps_.assign(boxes.size(), 0);
    stamp_ = 0;
    const std::uint32_t n = static_cast<std::uint32_t>(std::max<std::size_t>(1, boxes.size()));
    double uLow = INFINITY, uHigh = -INFINITY, vLow = INFINITY, vHigh = -INFINITY;
    for (const DRange3d& box : boxes) {
        uLow = Corvane::cvgDouble_min(uLow, coordinate(box.low, uAxis));
        uHigh = Corvane::cvgDouble_max(uHigh, coordinate(box.high, uAxis));
        vLow = Corvane::cvgDouble_min(vLow, coordinate(box.low, vAxis));
        vHigh = Corvane::cvgDouble_max(vHigh, coordinate(box.high, vAxis));
    }
    uOrigin_ = uLow;
    vOrigin_ = vLow;
    chooseShape(n, uHigh - uLow, vHigh - vLow);
    // Boxes spanning many cells: coarsen until the entries stay linear.
    while ((columns_ > 1 || rows_ > 1) && entryCount() > 4 * std::uint64_t{n} + 16) {
        const double uExtent = columns_ > 1 ? columns_ / uScale_ : 0.0;
        const double vExtent = rows_ > 1 ? rows_ / vScale_ : 0.0;
        columns_ = std::max<std::uint32_t>(1, columns_ / 2);
        rows_ = std::max<std::uint32_t>(1, rows_ / 2);
        uScale_ = columns_ > 1 ? columns_ / uExtent : 0.0;
        vScale_ = rows_ > 1 ? rows_ / vExtent : 0.0;
    }
    fillCells();
}

std::uint32_t SegmentGrid::nextStamp() {
    if (++stamp_ == 0) {
        std::fill(stamps_.begin(), stamps_.end(), 0);
        stamp_ = 1;
    }
    return stamp_;
}

}  // namespace spatialgeom
