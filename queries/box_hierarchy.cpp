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
    std::uint32_t below = static_cast<std::uint32_t>(leaves.size());
    std::size_t total = 0;
    for (std::uint32_t n = below; n > 1; n = (n + 1) / 2) total += (n + 1) / 2;
    tight_.reserve(total);
    wide_.reserve(total);
    for (int level = 1; below > 1; ++level) {
        levelStart_.push_back(static_cast<std::uint32_t>(tight_.size()));
        for (std::uint32_t i = 0; i < below; i += 2) {
            const bool pair = i + 1 < below;
            tight_.push_back(pair ? unite(tight(level - 1, i), tight(level - 1, i + 1)) : tight(level - 1, i));
            wide_.push_back(pair ? unite(wide(level - 1, i), wide(level - 1, i + 1)) : wide(level - 1, i));
        }
        below = (below + 1) / 2;
    }
}

std::uint32_t BoxHierarchy::count(int level) const {
    if (level == 0) return static_cast<std::uint32_t>(leaves_.size());
    const std::size_t end = level + 1 < static_cast<int>(levelStart_.size()) ? levelStart_[level + 1] : tight_.size();
    return static_cast<std::uint32_t>(end - levelStart_[level]);
}

}  // namespace spatialgeom
