#include "queries/linear_set.h"

#include <algorithm>

#include "queries/record_range.h"
#include "records/navigation.h"

namespace spatialgeom {

void LinearSet::add(const DPoint3d& start, const DPoint3d& end) {
    segments_.push_back({start, end});
    boxes_.push_back(Corvane::cvgDRange3d_widened(Corvane::cvgDRange3d_initFrom2Points(start, end), tolerance_));
}

void LinearSet::reserveMore(std::size_t count) {
    const std::size_t needed = segments_.size() + count;
    if (needed <= segments_.capacity()) return;
    const std::size_t capacity = std::max(needed, 2 * segments_.capacity());
    segments_.reserve(capacity);
    boxes_.reserve(capacity);
}

void LinearSet::addPoints(const DPoint3d* points, std::uint32_t count) {
    reserveMore(count);
    for (std::uint32_t i = 0; i < count; ++i) add(points[i], points[i]);
}

void LinearSet::addSublineSeq(const Byte* seq) {
    forEachSubline(seq, [&](const Byte* subline) {
        const DPoint3d* v = sublineVertices(subline);
        const std::uint32_t n = sublineVertexCount(subline);
        if (n > 1) reserveMore(n - 1);
        for (std::uint32_t i = 1; i < n; ++i) add(v[i - 1], v[i]);
        return true;
    });
}

void LinearSet::addRingSeq(const Byte* lines) {
    forEachSublineSeq(lines, [&](const Byte* seq) {
        addSublineSeq(seq);
        return true;
    });
}

void LinearSet::buildGrid() {
    RunningRange all;
    for (const DRange3d& box : boxes_) {
        all.add(box.low);
        all.add(box.high);
    }
    int uAxis = 0, vAxis = 1;
    if (!all.empty()) SegmentGrid::largestExtentAxes(all.box(), &uAxis, &vAxis);
    grid_.build(boxes_, uAxis, vAxis);
    gridBuilt_ = true;
}

}  // namespace spatialgeom
