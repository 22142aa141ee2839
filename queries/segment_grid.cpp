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
    cellStart_.assign(std::size_t{shape_.columns} * shape_.rows + 1, 0);
    const auto forEachCell = [&](const DRange3d& box, auto&& act) {
        const std::uint32_t c0 = column(coordinate(box.low, uAxis_)), c1 = column(coordinate(box.high, uAxis_));
        const std::uint32_t r0 = row(coordinate(box.low, vAxis_)), r1 = row(coordinate(box.high, vAxis_));
        for (std::uint32_t r = r0; r <= r1; ++r)
            for (std::uint32_t c = c0; c <= c1; ++c) act(r * shape_.columns + c);
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
    count_ = boxes.size();
    frozen_ = false;
    uAxis_ = uAxis;
    vAxis_ = vAxis;
    stamps_.assign(boxes.size(), 0);
    stamp_ = 0;
    const std::uint32_t n = static_cast<std::uint32_t>(std::max<std::size_t>(1, boxes.size()));
    double uLow = INFINITY, uHigh = -INFINITY, vLow = INFINITY, vHigh = -INFINITY;
    for (const DRange3d& box : boxes) {
        uLow = kernel::minOf(uLow, coordinate(box.low, uAxis));
        uHigh = kernel::maxOf(uHigh, coordinate(box.high, uAxis));
        vLow = kernel::minOf(vLow, coordinate(box.low, vAxis));
        vHigh = kernel::maxOf(vHigh, coordinate(box.high, vAxis));
    }
    uOrigin_ = uLow;
    vOrigin_ = vLow;
    shape_ = GridShape::forCells(n, uHigh - uLow, vHigh - vLow);
    // Boxes spanning many cells: coarsen until the entries stay linear.
    while (!shape_.single() && entryCount() > 4 * std::uint64_t{n} + 16) shape_ = shape_.coarser();
    fillCells();
}

void SegmentGrid::freeze() {
    firstCell_.resize(count_);
    for (std::size_t i = 0; i < count_; ++i) {
        const DRange3d& box = (*boxes_)[i];
        firstCell_[i] = {column(coordinate(box.low, uAxis_)), row(coordinate(box.low, vAxis_))};
    }
    boxes_ = nullptr;
    stamps_.clear();
    stamps_.shrink_to_fit();
    frozen_ = true;
}

std::size_t SegmentGrid::memoryBytes() const {
    return cellStart_.capacity() * sizeof(std::uint32_t) + entries_.capacity() * sizeof(std::uint32_t) +
           stamps_.capacity() * sizeof(std::uint32_t) + firstCell_.capacity() * sizeof(FirstCell);
}

std::uint32_t SegmentGrid::nextStamp() {
    if (++stamp_ == 0) {
        std::fill(stamps_.begin(), stamps_.end(), 0);
        stamp_ = 1;
    }
    return stamp_;
}

}  // namespace spatialgeom
