// The points and segments of a point, multipoint, linestring or
// multilinestring record, gathered once per intersection call: a point is a
// zero-length segment, a line adds the segments of each of its sublines
// (sublines are not joined, a subline of fewer than two vertices adds
// nothing). The first query scans every segment; a grid over the segments'
// boxes, built on the second, finds the segments near later query boxes.
#pragma once

#include <vector>

#include "kernel/segment_distance.h"
#include "queries/call_scratch.h"
#include "queries/flat_plane.h"
#include "queries/segment_grid.h"
#include "records/record_layout.h"

namespace spatialgeom {

class LinearSet {
public:
    // tolerance >= 0 and finite: the segments' boxes are widened by it.
    explicit LinearSet(double tolerance) : tolerance_(tolerance) {}
    LinearSet(const LinearSet&) = delete;
    LinearSet& operator=(const LinearSet&) = delete;

    void addPoints(const DPoint3d* points, std::uint32_t count);
    // Every subline of a subline sequence.
    void addSublineSeq(const Byte* seq);
    // Every subline sequence of a ring sequence (the lines of a multilinestring).
    void addRingSeq(const Byte* lines);

    std::size_t size() const { return segments_.size(); }
    const kernel::Segment3d& segment(std::size_t i) const { return segments_[i]; }
    // Were the segments added as lines, in order along them (rather than
    // as several points)?
    bool isChained() const { return !severalPoints_; }
    // The index of the first segment of each chain, in order: each point,
    // and each subline of two or more vertices, starts one. The segments
    // of a chain are connected, each starting where the one before ended.
    const ScratchVector<std::uint32_t>& chainStarts() const { return chainStarts_; }
    // Do all segments lie in the plane?
    bool liesIn(const FlatPlane& plane) const;

    // visit(segment) for every segment whose widened box overlaps query,
    // stopping (and returning false) when visit returns false.
    template <typename Visit>
    bool forEachNear(const DRange3d& query, Visit&& visit) {
        if (boxes_.size() < segments_.size()) measureBoxes();
        if (!scanned_) {
            scanned_ = true;
            for (std::size_t i = 0; i < segments_.size(); ++i)
                if (kernel::boxesOverlap(boxes_[i], query) && !visit(segments_[i])) return false;
            return true;
        }
        if (!gridBuilt_) buildGrid();
        return grid_.forEachOverlapping(query, [&](std::uint32_t i) { return visit(segments_[i]); });
    }

private:
    // Room for count more segments, growing geometrically.
    void reserveMore(std::size_t count);
    void measureBoxes();
    void buildGrid();

    double tolerance_;
    ScratchVector<kernel::Segment3d> segments_;
    // The segments' boxes widened by the tolerance, measured on first use.
    ScratchVector<DRange3d> boxes_;
    SegmentGrid grid_;
    bool scanned_ = false;
    bool gridBuilt_ = false;
    bool severalPoints_ = false;
    ScratchVector<std::uint32_t> chainStarts_;
};

}  // namespace spatialgeom
