#include "join/box_tree.h"

#include <algorithm>
#include <cmath>

namespace spatialgeom {
namespace {

// Centres as sort keys: a NaN one (a box that overlaps nothing) sorts
// last, so that the order is a strict weak one.
double sortKey(double center) { return center == center ? center : INFINITY; }
double centerX(const DRange3d& box) { return sortKey(0.5 * (box.low.x + box.high.x)); }
double centerY(const DRange3d& box) { return sortKey(0.5 * (box.low.y + box.high.y)); }

DRange3d around(const DRange3d* boxes, std::size_t count) {
    DRange3d all = boxes[0];
    for (std::size_t i = 1; i < count; ++i) {
        all.low = {std::min(all.low.x, boxes[i].low.x), std::min(all.low.y, boxes[i].low.y),
                   std::min(all.low.z, boxes[i].low.z)};
        all.high = {std::max(all.high.x, boxes[i].high.x), std::max(all.high.y, boxes[i].high.y),
                    std::max(all.high.z, boxes[i].high.z)};
    }
    return all;
}

}  // namespace

BoxTree::BoxTree(const std::vector<DRange3d>& boxes, const std::vector<std::uint32_t>& ids) {
    if (boxes.empty()) return;
    // Sort-tile packing: order by x, cut into vertical slices of whole
    // leaves, order each slice by y. Consecutive runs of 16 then form
    // compact leaves. Sorting pairs of (centre, item) keeps the comparisons
    // on contiguous numbers.
    struct Keyed {
        double key;
        std::uint32_t item;
        bool operator<(const Keyed& other) const { return key < other.key; }
    };
    std::vector<Keyed> order(boxes.size());
    for (std::uint32_t k = 0; k < boxes.size(); ++k) order[k] = {centerX(boxes[k]), k};
    std::sort(order.begin(), order.end());
    const std::size_t leaves = (boxes.size() + kFanout - 1) / kFanout;
    const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(leaves))));
    const std::size_t sliceSize = ((leaves + slices - 1) / slices) * kFanout;
    for (std::size_t begin = 0; begin < order.size(); begin += sliceSize) {
        const auto first = order.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto end = order.begin() + static_cast<std::ptrdiff_t>(std::min(order.size(), begin + sliceSize));
        for (auto k = first; k != end; ++k) k->key = centerY(boxes[k->item]);
        std::sort(first, end);
    }

    levels_.emplace_back();
    levels_[0].reserve(boxes.size());
    ids_.reserve(boxes.size());
    for (const Keyed& k : order) {
        levels_[0].push_back(boxes[k.item]);
        ids_.push_back(ids[k.item]);
    }
    while (levels_.back().size() > kFanout) {
        const std::vector<DRange3d>& below = levels_.back();
        std::vector<DRange3d> above;
        above.reserve((below.size() + kFanout - 1) / kFanout);
        for (std::size_t first = 0; first < below.size(); first += kFanout) {
            above.push_back(around(below.data() + first, std::min(kFanout, below.size() - first)));
        }
        levels_.push_back(std::move(above));
    }
}

}  // namespace spatialgeom
