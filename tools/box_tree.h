// A static tree of 3D boxes for finding every box that overlaps a query
// box. Built once by sorting (sort-tile packing: slices along x, runs along
// y, nodes of 16), so it adapts to clustered data where a fixed grid would
// not. Build O(n log n); a query costs O(log n + answers) on well spread
// boxes. Queries may run on many threads at once.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "spatialgeom/types.h"

namespace spatialgeom::tool {

// Closed boxes, as the library's intersection pre-check compares them:
// boxes that touch overlap; a NaN bound overlaps nothing.
inline bool boxesOverlap(const DRange3d& a, const DRange3d& b) {
    return a.low.x <= b.high.x && b.low.x <= a.high.x && a.low.y <= b.high.y && b.low.y <= a.high.y &&
           a.low.z <= b.high.z && b.low.z <= a.high.z;
}

// box grown by margin (>= 0) on every side and rounded outwards, exactly as
// the library widens a range before its intersection tests
// (spatialWKB_widenRange), so that no pair the library would find to meet
// is lost among the candidates.
DRange3d widened(const DRange3d& box, double margin);

class BoxTree {
public:
    // boxes[k] is the box of the item ids[k].
    BoxTree(const std::vector<DRange3d>& boxes, const std::vector<std::uint32_t>& ids);

    // Calls visit(id) for every item whose box overlaps box.
    template <typename Visit>
    void query(const DRange3d& box, Visit&& visit) const {
        // Depth first: at most 16 pending nodes per level, and 2^32 items
        // take at most 8 levels above the items.
        struct Pending {
            std::uint32_t level;
            std::uint32_t node;
        };
        std::array<Pending, kFanout * 10> pending;
        std::size_t count = 0;
        if (levels_.empty()) return;
        const auto top = static_cast<std::uint32_t>(levels_.size() - 1);
        for (std::uint32_t node = 0; node < levels_.back().size(); ++node) pending[count++] = {top, node};
        while (count > 0) {
            const Pending next = pending[--count];
            if (!boxesOverlap(levels_[next.level][next.node], box)) continue;
            if (next.level == 0) {
                visit(ids_[next.node]);
                continue;
            }
            const std::size_t end = std::min(levels_[next.level - 1].size(), (next.node + 1) * kFanout);
            for (std::size_t child = next.node * kFanout; child < end; ++child) {
                pending[count++] = {next.level - 1, static_cast<std::uint32_t>(child)};
            }
        }
    }

private:
    static constexpr std::size_t kFanout = 16;

    // levels_[0]: the items' boxes in packed order; levels_[k + 1][j]: the
    // box around levels_[k][j * 16 .. j * 16 + 15].
    std::vector<std::vector<DRange3d>> levels_;
    std::vector<std::uint32_t> ids_;  // item of levels_[0][k]
};

}  // namespace spatialgeom::tool
