#include "queries/box_hierarchy.h"

namespace spatialgeom {
namespace {

PlaneRect unite(const PlaneRect& a, const PlaneRect& b) {
    return {b.uLow < a.uLow ? b.uLow : a.uLow, b.uHigh > a.uHigh ? b.uHigh : a.uHigh, b.vLow < a.vLow ? b.vLow : a.vLow,
            b.vHigh > a.vHigh ? b.vHigh : a.vHigh};
}

// out[i] = the union of below[2i] and below[2i + 1] (below[2i] alone for
// the last of an odd count); returns the count written.
std::uint32_t uniteLevel(const PlaneRect* below, std::uint32_t count, PlaneRect* out) {
    std::uint32_t n = 0;
    for (std::uint32_t i = 0; i + 1 < count; i += 2) out[n++] = unite(below[i], below[i + 1]);
    if (count % 2 == 1) out[n++] = below[count - 1];
    return n;
}

}  // namespace

BoxHierarchy::BoxHierarchy(const PlanarBoxes& leaves) : leaves_(leaves) {
    levelStart_.push_back(0);
    std::size_t total = 0;
    for (std::size_t n = leaves.size(); n > 1; n = (n + 1) / 2) total += (n + 1) / 2;
    const bool widened = leaves.widened();
    tight_.resize(total);
    if (widened) wide_.resize(total);
    if (leaves.size() < 2) return;
    const PlaneRect* tightBelow = &leaves.tight(0);
    const PlaneRect* wideBelow = &leaves.wide(0);
    std::uint32_t next = 0;
    for (std::uint32_t below = static_cast<std::uint32_t>(leaves.size()); below > 1;) {
        levelStart_.push_back(next);
        const std::uint32_t written = uniteLevel(tightBelow, below, &tight_[next]);
        tightBelow = &tight_[next];
        if (widened) {
            uniteLevel(wideBelow, below, &wide_[next]);
            wideBelow = &wide_[next];
        }
        next += written;
        below = written;
    }
}

std::uint32_t BoxHierarchy::count(int level) const {
    if (level == 0) return static_cast<std::uint32_t>(leaves_.size());
    const std::size_t end = level + 1 < static_cast<int>(levelStart_.size()) ? levelStart_[level + 1] : tight_.size();
    return static_cast<std::uint32_t>(end - levelStart_[level]);
}

}  // namespace spatialgeom
