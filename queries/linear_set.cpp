#include "queries/linear_set.h"

#include <algorithm>

#include "queries/record_range.h"
#include "records/navigation.h"

namespace spatialgeom {

bool LinearSet::liesIn(const FlatPlane& plane) const {
    bool all = true;  // without early exit: a loop the compiler keeps tight
    for (const kernel::Segment3d& s : segments_) {
        all &= plane.holds(s.start);
        all &= plane.holds(s.end);
    }
    return all;
}

void LinearSet::reserveMore(std::size_t count) {
    const std::size_t needed = segments_.size() + count;
    if (needed <= segments_.capacity()) return;
    segments_.reserve(std::max(needed, 2 * segments_.capacity()));
}

void LinearSet::measureBoxes() {
    boxes_.reserve(segments_.size());
    for (std::size_t i = boxes_.size(); i < segments_.size(); ++i)
        boxes_.push_back(kernel::widenedBox(kernel::boxOfPoints(segments_[i].start, segments_[i].end), tolerance_));
}

void LinearSet::addPoints(const DPoint3d* points, std::uint32_t count) {
    reserveMore(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        chainStarts_.push_back(static_cast<std::uint32_t>(segments_.size()));
        segments_.push_back({points[i], points[i]});
    }
    severalPoints_ = severalPoints_ || segments_.size() > 1;
}

void LinearSet::addSublineSeq(const Byte* seq) {
    forEachSubline(seq, [&](const Byte* subline) {
        const DPoint3d* v = sublineVertices(subline);
        const std::uint32_t n = sublineVertexCount(subline);
        if (n > 1) reserveMore(n - 1);
        if (n > 1) chainStarts_.push_back(static_cast<std::uint32_t>(segments_.size()));
        for (std::uint32_t i = 1; i < n; ++i) segments_.push_back({v[i - 1], v[i]});
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
