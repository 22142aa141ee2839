// A static tree of 3D boxes over the records of a list, for finding every
// box that overlaps a query box and for visiting boxes nearest first.
// Built once by sorting (sort-tile packing: slices along x, runs along y,
// nodes of 16), so it adapts to clustered data where a fixed grid would
// not. Build O(n log n); an overlap query costs O(log n + answers) on well
// spread boxes. Queries only read the tree: many threads may query it at
// once.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

#include "kernel/range3d.h"

namespace spatialgeom {

class BoxTree {
public:
    // boxes[k] is the box of the item ids[k]. Throws std::bad_alloc.
    BoxTree(const std::vector<DRange3d>& boxes, const std::vector<std::uint32_t>& ids);

    // Calls visit(id) for every item whose box overlaps box (closed boxes:
    // touching counts; a NaN bound overlaps nothing).
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
            if (!kernel::boxesOverlap(levels_[next.level][next.node], box)) continue;
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

    // Best first: items in increasing order of gap(their box), where gap
    // is a lower bound of whatever the caller measures that grows with the
    // box (gap of a node's box <= gap of any box inside it). Calls
    // visit(id, itsGap), which returns the largest gap still wanted; the
    // walk stops at the first node or item whose gap exceeds it (or is
    // NaN). limit: that largest gap before the first visit. Equal gaps
    // come in no particular order. Throws std::bad_alloc.
    template <typename Gap, typename Visit>
    void nearestFirst(Gap&& gap, double limit, Visit&& visit) const {
        struct Pending {
            double gap;
            std::uint32_t level;
            std::uint32_t node;
            bool operator>(const Pending& other) const { return gap > other.gap; }
        };
        std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> pending;
        const auto push = [&](std::uint32_t level, std::uint32_t node) {
            const double g = gap(levels_[level][node]);
            if (g <= limit) pending.push({g, level, node});
        };
        if (levels_.empty()) return;
        const auto top = static_cast<std::uint32_t>(levels_.size() - 1);
        for (std::uint32_t node = 0; node < levels_.back().size(); ++node) push(top, node);
        while (!pending.empty()) {
            const Pending next = pending.top();
            pending.pop();
            if (!(next.gap <= limit)) break;
            if (next.level == 0) {
                limit = visit(ids_[next.node], next.gap);
                continue;
            }
            const std::size_t end = std::min(levels_[next.level - 1].size(), (next.node + 1) * kFanout);
            for (std::size_t child = next.node * kFanout; child < end; ++child) {
                push(next.level - 1, static_cast<std::uint32_t>(child));
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

}  // namespace spatialgeom
