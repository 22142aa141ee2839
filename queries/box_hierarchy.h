// A hierarchy of boxes over a set of segments in their stored order: level
// 0 holds the segments' own boxes, each level above the unions of pairs of
// boxes of the level below, up to one box for the whole set. Consecutive
// segments of a line or ring lie next to each other, so the unions stay
// small and two such sets are crossed by descending both hierarchies
// together, only into pairs of boxes that come close. Points in no
// particular order gain nothing from it; a grid suits them (planar_pairs.h).
//
// Cost: build O(n) time and memory; a crossing visits about the pairs of
// boxes, at every level, that come within the tolerance.
#pragma once

#include <cstdint>
#include <vector>

#include "queries/call_scratch.h"
#include "queries/planar_pairs.h"

namespace spatialgeom {

class BoxHierarchy {
public:
    explicit BoxHierarchy(const PlanarBoxes& leaves);

    // The top level (0 when there is one segment); level l has
    // count(l) boxes, box i of level l + 1 covering boxes 2i and 2i + 1
    // of level l (the last one alone when the count is odd).
    int top() const { return static_cast<int>(levelStart_.size()) - 1; }
    std::uint32_t count(int level) const;
    const PlaneRect& tight(int level, std::uint32_t i) const {
        return level == 0 ? leaves_.tight(i) : tight_[levelStart_[level] + i];
    }
    const PlaneRect& wide(int level, std::uint32_t i) const {
        if (level == 0) return leaves_.wide(i);
        return (leaves_.widened() ? wide_ : tight_)[levelStart_[level] + i];
    }

private:
    const PlanarBoxes& leaves_;
    // Levels 1 and up, one after the other; levelStart_[0] is unused.
    // wide_ stays empty when the leaves are not widened.
    ScratchVector<PlaneRect> tight_, wide_;
    ScratchVector<std::uint32_t> levelStart_;
};

// The close pairs of two hierarchies, as anyClosePair finds them.
template <typename Test>
bool anyClosePairInHierarchies(const BoxHierarchy& a, const BoxHierarchy& b, Test&& test) {
    struct Visit {
        int aLevel, bLevel;
        std::uint32_t aIndex, bIndex;
    };
    ScratchVector<Visit> pending{{a.top(), b.top(), 0, 0}};
    while (!pending.empty()) {
        const Visit v = pending.back();
        pending.pop_back();
        work::countCandidate();
        if (!rectsOverlap(a.wide(v.aLevel, v.aIndex), b.tight(v.bLevel, v.bIndex)) &&
            !rectsOverlap(a.tight(v.aLevel, v.aIndex), b.wide(v.bLevel, v.bIndex)))
            continue;
        if (v.aLevel == 0 && v.bLevel == 0) {
            if (test(v.aIndex, v.bIndex)) return true;
            continue;
        }
        // Descend the side with more segments under its box.
        if (v.aLevel >= v.bLevel) {
            const std::uint32_t first = 2 * v.aIndex;
            if (first + 1 < a.count(v.aLevel - 1)) pending.push_back({v.aLevel - 1, v.bLevel, first + 1, v.bIndex});
            pending.push_back({v.aLevel - 1, v.bLevel, first, v.bIndex});
        } else {
            const std::uint32_t first = 2 * v.bIndex;
            if (first + 1 < b.count(v.bLevel - 1)) pending.push_back({v.aLevel, v.bLevel - 1, v.aIndex, first + 1});
            pending.push_back({v.aLevel, v.bLevel - 1, v.aIndex, first});
        }
    }
    return false;
}

}  // namespace spatialgeom
