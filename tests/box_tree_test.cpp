#include "join/box_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "kernel/box_gap.h"

namespace spatialgeom {
namespace {

using kernel::boxesOverlap;
using kernel::boxGap;

using kernel::widenedBox;

DRange3d randomBox(std::mt19937& random, double spread, double size) {
    std::uniform_real_distribution<double> where(0.0, spread);
    std::uniform_real_distribution<double> extent(0.0, size);
    const DPoint3d low{where(random), where(random), where(random) / 10};
    return {low, {low.x + extent(random), low.y + extent(random), low.z + extent(random)}};
}

// Uniform boxes, one dense cluster with a few huge boxes, and sizes around
// the node size: every query must give exactly the overlapping items,
// queries that only touch a box's corner included.
TEST(BoxTree, FindsExactlyTheOverlappingBoxes) {
    std::mt19937 random(3);
    for (const std::size_t count : {0u, 1u, 15u, 16u, 17u, 257u, 3000u}) {
        std::vector<DRange3d> boxes;
        std::vector<std::uint32_t> ids;
        for (std::size_t k = 0; k < count; ++k) {
            const bool clustered = k % 2 == 0;
            boxes.push_back(k % 97 == 5 ? randomBox(random, 100, 100)
                                        : randomBox(random, clustered ? 1.0 : 100.0, clustered ? 0.1 : 3.0));
            ids.push_back(static_cast<std::uint32_t>(1000 + 3 * k));
        }
        const BoxTree tree(boxes, ids);
        for (int q = 0; q < 200; ++q) {
            DRange3d query = widenedBox(randomBox(random, 100, q % 2 ? 1.0 : 20.0), q % 3 == 0 ? 0.5 : 0.0);
            if (count > 0 && q % 4 == 3) {
                const DPoint3d corner = boxes[q % count].high;
                query = {corner, {corner.x + 1, corner.y + 1, corner.z + 1}};
            }
            std::vector<std::uint32_t> found, expected;
            tree.query(query, [&](std::uint32_t id) { found.push_back(id); });
            for (std::size_t k = 0; k < count; ++k)
                if (boxesOverlap(boxes[k], query)) expected.push_back(ids[k]);
            std::sort(found.begin(), found.end());
            EXPECT_EQ(found, expected) << count << " boxes, query " << q;
        }
    }
}

// Nearest first: gaps come in order, and a fixed limit gives exactly the
// items within it; a limit that shrinks to each gap met stops at once
// after the nearest items.
TEST(BoxTree, VisitsNearestFirst) {
    std::mt19937 random(5);
    std::vector<DRange3d> boxes;
    std::vector<std::uint32_t> ids;
    for (std::uint32_t k = 0; k < 2000; ++k) {
        boxes.push_back(randomBox(random, 100, k % 50 == 0 ? 30.0 : 2.0));
        ids.push_back(k);
    }
    const BoxTree tree(boxes, ids);
    for (int q = 0; q < 50; ++q) {
        const DRange3d query = randomBox(random, 120, 1.0);
        const auto gap = [&](const DRange3d& box) { return boxGap(box, query); };
        const double limit = q % 2 ? 5.0 : 12.0;
        std::vector<std::uint32_t> found;
        double last = -INFINITY;
        tree.nearestFirst(gap, limit, [&](std::uint32_t id, double g) {
            EXPECT_GE(g, last);
            EXPECT_EQ(g, gap(boxes[id]));
            last = g;
            found.push_back(id);
            return limit;
        });
        std::sort(found.begin(), found.end());
        std::vector<std::uint32_t> expected;
        double nearest = INFINITY;
        for (std::uint32_t k = 0; k < boxes.size(); ++k) {
            if (gap(boxes[k]) <= limit) expected.push_back(k);
            nearest = std::min(nearest, gap(boxes[k]));
        }
        EXPECT_EQ(found, expected);
        std::size_t visits = 0;
        tree.nearestFirst(gap, INFINITY, [&](std::uint32_t, double g) {
            EXPECT_EQ(g, nearest);
            ++visits;
            return g;
        });
        EXPECT_GE(visits, 1u);
    }
}

}  // namespace
}  // namespace spatialgeom
