#include "queries/box_hierarchy.h"

namespace spatialgeom {
namespace {

PlaneRect unite(const PlaneRect& a, const PlaneRect& b) {
    return {b.uLow < a.uLow ? b.uLow : a.uLow, b.uHigh > a.uHigh ? b.uHigh : a.uHigh, b.vLow < a.vLow ? b.vLow : a.vLow,
            b.vHigh > a.vHigh ? b.vHigh : a.vHigh};
}

}  // namespace

BoxHierarchy::BoxHierarchy(const PlanarBoxes& leaves) : leaves_(leaves) {
    levelStart_.push_back(0);
    std::size_t total = 0;
    for (std::size_t n = leaves.size(); n > 1; n = (n + 1) / 2) total += (n + 1) / 2;
    tight_.resize(total);
    wide_.resize(total);
    std::uint32_t next = 0;
    for (std::uint32_t below = static_cast<std::uint32_t>(leaves.size()), level = 1; below > 1; below = (below + 1) / 2, ++level) {
        levelStart_.push_back(next);
        for (std::uint32_t i = 0; i + 1 < below; i += 2, ++next) {
            tight_[next] = unite(tight(level - 1, i), tight(level - 1, i + 1));
            wide_[next] = unite(wide(level - 1, i), wide(level - 1, i + 1));
        }
        if (below % 2 == 1) {  // the last box alone
            tight_[next] = tight(level - 1, below - 1);
            wide_[next++] = wide(level - 1, below - 1);
        }
    }
}

std::uint32_t BoxHierarchy::count(int level) const {
    if (level == 0) return static_cast<std::uint32_t>(leaves_.size());
    const std::size_t end = level + 1 < static_cast<int>(levelStart_.size()) ? levelStart_[level + 1] : tight_.size();
    return static_cast<std::uint32_t>(end - levelStart_[level]);
}

}  // namespace spatialgeom
